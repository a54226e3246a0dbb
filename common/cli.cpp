#include "quenvar/cli.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string_view>
#include <system_error>

#include "osfile.h"
#include "quenvar/forms.h"
#include "quenvar/script.h"

#ifndef QUENVAR_VERSION
#error "QUENVAR_VERSION is set by the build"
#endif

namespace qv::cli {

namespace {

int refuse(const Tool& tool, std::ostream& err, const std::string& what)
{
    err << tool.name << ": " << what << "; see \"" << tool.name << " --help\"\n";
    return 2;
}

// Makes the directory of `arg` (or `arg` itself, a directory) the current directory; a file's
// absolute path goes to `file`.
bool startIn(const std::string& arg, std::string& file, std::string& why)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path dir = arg;
    if (!fs::is_directory(dir, ec)) {
        if (!fs::exists(dir, ec)) {
            why = "no such file or directory";
            return false;
        }
        file = fs::absolute(dir, ec).lexically_normal().string();
        dir = fs::path(file).parent_path();
    }
    fs::current_path(dir, ec);
    if (ec) why = ec.message();
    return !ec;
}

}  // namespace

const char* version() { return QUENVAR_VERSION; }

void showAbout(forms::Application& app, const std::string& tool, const std::string& what)
{
    app.message(tool + " " + version() + "\n" + what, "About " + tool, forms::Buttons::Ok, forms::Icon::Information);
}

void reportsInBinary() { osfile::binaryStandardStreams(); }

std::string helpText(const Tool& tool)
{
    const std::string name = tool.name;
    const std::string databases = tool.checkDatabases;
    std::string s = "Usage: " + name + " [DIRECTORY | DATAFILE] [--script SCRIPT]\n";
    if (tool.check) {
        s += "       " + name + " --check FILE... [--json]";
        for (std::size_t at = 0; at < databases.size();) {
            const std::size_t next = std::min(databases.find(' ', databases.find(' ', at) + 1), databases.size());
            s += " [" + databases.substr(at, next - at) + "]";
            at = next + (next < databases.size());
        }
        s += "\n";
    }
    s += "\n";
    s += std::string(tool.summary) + "\n\n";
    if (tool.windowed)
        s += "Start it in a Quenvar data directory (cd there and run " + name +
             ", or give the directory\n"
             "or one of its files): it opens its window and reads and writes the data files there;\n"
             "a file it could open with File > Open is opened at once.\n"
             "Without a display it says so and ends; run it under xvfb-run -a then.\n\n";
    else
        s += "This build has no windows: it runs in script mode and checks files only.\n\n";
    s += "Options:\n"
         "  --script SCRIPT   run SCRIPT (- for standard input) in script mode instead of opening the\n"
         "                    window: user actions and checks of what it shows, one per line;\n"
         "                    exit status 0 when all held, 1 on a failure, 2 on a script error\n"
         "  --check FILE...   check data files without changing them and report what is wrong in\n"
         "                    them (exit status 0 none, 1 an error, 2 a file not read at all);\n"
         "                    --json reports one JSON object a line\n";
    if (!databases.empty())
        s += "                    " + databases +
             ": the databases to check against\n"
             "                    (default: those of the data directory)\n";
    s += "  --fault STEP:N:fail|kill\n"
         "                    testing option: makes the N-th file step of kind STEP (open, write,\n"
         "                    flush, close, rename, copy, delete) fail, or ends the program there\n"
         "  --help            show this text\n"
         "  --version         show the version\n";
    return s;
}

Command parse(const Tool& tool, int& argc, char** argv, std::ostream& out, std::ostream& err)
{
    Command c;
    auto exit = [&](int status) {
        c.action = Command::Action::Exit;
        c.status = status;
        return c;
    };
    if (!script::takeFaultOption(argc, argv)) {
        err << "bad --fault option: STEP:N:fail or STEP:N:kill\n";
        return exit(2);
    }
    bool startDir = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out << helpText(tool);
            return exit(0);
        }
        if (arg == "--version") {
            out << tool.name << ' ' << version() << '\n';
            return exit(0);
        }
        if (arg == "--script") {
            if (i + 1 >= argc) return exit(refuse(tool, err, "option --script needs a FILE (- for standard input)"));
            c.action = Command::Action::Script;
            c.scriptFile = argv[++i];
        } else if (arg == "--check") {
            if (!tool.check) return exit(refuse(tool, err, "option --check is not available in this build"));
            c.action = Command::Action::Check;
            c.checkArgs.assign(argv + i + 1, argv + argc);
            reportsInBinary();
            return c;
        } else if (arg == "--quit-when-shown" && tool.windowed) {
            c.quitWhenShown = true;
        } else if (arg == "--fault") {
            return exit(refuse(tool, err, "option --fault needs STEP:N:fail or STEP:N:kill"));
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return exit(refuse(tool, err, "unknown option " + std::string(arg)));
        } else if (!startDir) {
            startDir = true;
            std::string why;
            if (!startIn(std::string(arg), c.openFile, why))
                return exit(refuse(tool, err, "cannot start in " + std::string(arg) + ": " + why));
        } else {
            return exit(refuse(tool, err, "unexpected argument " + std::string(arg)));
        }
    }
    if (c.action == Command::Action::Window && !tool.windowed)
        return exit(refuse(tool, err, "this build has no windows: give --script FILE or --check FILE..."));
    return c;
}

}  // namespace qv::cli
