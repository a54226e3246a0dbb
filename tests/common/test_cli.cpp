// The command line every program takes: the options read by qv::cli::parse, and the installed
// behaviour of each real program (--help, --version, an unknown option) with no display at all.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <array>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quenvar/cli.h"
#include "testsupport.h"

using qv::cli::Command;
using Action = qv::cli::Command::Action;

namespace {

struct Parsed {
    Command command;
    std::string out;
    std::string err;
};

Parsed parse(const qv::cli::Tool& tool, std::vector<std::string> args)
{
    args.insert(args.begin(), tool.name);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    std::ostringstream out, err;
    Parsed p{qv::cli::parse(tool, argc, argv.data(), out, err), {}, {}};
    p.out = out.str();
    p.err = err.str();
    return p;
}

}  // namespace

TEST(CommandLine, OptionsGiveTheirActionStatusAndOneLineOnError)
{
    std::vector<std::string> checked;
    qv::cli::Tool withCheck("qvtool", "Edits test files.", [&](const std::vector<std::string>& a) {
        checked = a;
        return 0;
    });
    qv::cli::Tool noWindows("qvtool", "Edits test files.");
    noWindows.windowed = false;
    struct Case {
        const char* what;
        const qv::cli::Tool& tool;
        std::vector<std::string> args;
        Action action;
        int status;
        std::string err;  // the whole of standard error
    };
    const Case cases[] = {
        {"no arguments", withCheck, {}, Action::Window, 0, ""},
        {"script", withCheck, {"--script", "run.txt"}, Action::Script, 0, ""},
        {"check takes the rest", withCheck, {"--check", "a.mdb", "--json", "--comp", "c.mdb"}, Action::Check, 0, ""},
        {"unknown option",
         withCheck,
         {"--frobnicate"},
         Action::Exit,
         2,
         "qvtool: unknown option --frobnicate; see \"qvtool --help\"\n"},
        {"unknown short option",
         withCheck,
         {"-x"},
         Action::Exit,
         2,
         "qvtool: unknown option -x; see \"qvtool --help\"\n"},
        {"script without its file",
         withCheck,
         {"--script"},
         Action::Exit,
         2,
         "qvtool: option --script needs a FILE (- for standard input); see \"qvtool --help\"\n"},
        {"second start directory",
         withCheck,
         {".", "."},
         Action::Exit,
         2,
         "qvtool: unexpected argument .; see \"qvtool --help\"\n"},
        {"no check handler",
         noWindows,
         {"--check", "a.mdb"},
         Action::Exit,
         2,
         "qvtool: option --check is not available in this build; see \"qvtool --help\"\n"},
        {"no windows to open",
         noWindows,
         {},
         Action::Exit,
         2,
         "qvtool: this build has no windows: give --script FILE or --check FILE...; see \"qvtool --help\"\n"},
        {"timing option only with windows",
         noWindows,
         {"--quit-when-shown"},
         Action::Exit,
         2,
         "qvtool: unknown option --quit-when-shown; see \"qvtool --help\"\n"},
        {"malformed fault",
         withCheck,
         {"--fault", "write:x:fail", "--script", "r"},
         Action::Exit,
         2,
         "bad --fault option: STEP:N:fail or STEP:N:kill\n"},
        {"help before anything after it", withCheck, {"--help", "--frobnicate"}, Action::Exit, 0, ""},
        {"version", withCheck, {"--version"}, Action::Exit, 0, ""},
    };
    for (const Case& c : cases) {
        const Parsed p = parse(c.tool, c.args);
        EXPECT_EQ(p.command.action, c.action) << c.what;
        if (c.action == Action::Exit) {
            EXPECT_EQ(p.command.status, c.status) << c.what;
        }
        EXPECT_EQ(p.err, c.err) << c.what;
        EXPECT_EQ(p.out.empty(), c.status != 0 || c.action != Action::Exit) << c.what;
    }
    EXPECT_EQ(parse(withCheck, {"--script", "-"}).command.scriptFile, "-");
    EXPECT_EQ(parse(withCheck, {"--check", "a.mdb", "--json", "--comp", "c.mdb"}).command.checkArgs,
              (std::vector<std::string>{"a.mdb", "--json", "--comp", "c.mdb"}));
    EXPECT_TRUE(parse(withCheck, {"--quit-when-shown"}).command.quitWhenShown);
    EXPECT_EQ(parse(withCheck, {"--version"}).out, std::string("qvtool ") + qv::cli::version() + "\n");
    const std::string help = parse(withCheck, {"--help"}).out;
    for (const char* part : {"Usage: qvtool", "Edits test files.", "--script", "--check", "--fault", "testing option",
                             "--version", "data directory"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
}

TEST(CommandLine, ADirectoryOrAFileArgumentStartsTheProgramThere)
{
    namespace fs = std::filesystem;
    const fs::path before = fs::current_path();
    qvtest::TempDir dir;
    dir.write("data/sit_eta.txt", "\"A+\",\"B-\",0.1,\"r\"\r\n");
    const qv::cli::Tool tool("qvtool");
    for (const std::string& arg : {dir / "data", dir / "data/sit_eta.txt"}) {
        fs::current_path(before);
        const Parsed p = parse(tool, {arg, "--script", "run.txt"});
        EXPECT_EQ(p.command.action, Action::Script) << arg << p.err;
        EXPECT_TRUE(fs::equivalent(fs::current_path(), dir / "data")) << arg;
        // A file is also named, by its whole path, to be opened once the window is.
        if (fs::is_directory(arg)) {
            EXPECT_EQ(p.command.openFile, "");
        } else {
            EXPECT_TRUE(fs::path(p.command.openFile).is_absolute()) << p.command.openFile;
            EXPECT_TRUE(fs::equivalent(p.command.openFile, arg)) << p.command.openFile;
        }
    }
    fs::current_path(before);
    const Parsed missing = parse(tool, {dir / "none"});
    EXPECT_EQ(missing.command.status, 2);
    EXPECT_EQ(missing.err,
              "qvtool: cannot start in " + (dir / "none") + ": no such file or directory; see \"qvtool --help\"\n");
    EXPECT_EQ(fs::current_path(), before);
}

// The real programs, with no display in their environment: --help and --version answer before
// any window is thought of, and an unknown option is refused in one line.
TEST(CommandLine, EveryProgramAnswersHelpVersionAndUnknownOptions)
{
#ifdef _WIN32
    GTEST_SKIP() << "runs the programs through a POSIX shell (env, popen) to take the display away";
#else
    struct Program {
        const char* name;
        const char* path;
        bool checkOption = true;
    };
    const Program programs[] = {{"surfkit", SURFKIT_BIN},   {"prefkit", PREFKIT_BIN}, {"humkit", HUMKIT_BIN},
                                {"tracekit", TRACEKIT_BIN}, {"ionkit", IONKIT_BIN},   {"qvcheck", QVCHECK_BIN, false}};
    qvtest::TempDir dir;
    auto run = [&](const std::string& program, const std::string& option, std::string& err) {
        const std::string errFile = dir / "err.txt";
        const std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + program + "' " + option + " 2>'" + errFile + "'";
        std::string out;
        FILE* pipe = popen(command.c_str(), "r");
        std::array<char, 4096> buffer{};
        while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
        const int status = pclose(pipe);
        err = dir.read("err.txt");
        return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, out);
    };
    for (const Program& p : programs) {
        std::string err;
        const auto version = run(p.path, "--version", err);
        EXPECT_EQ(version, std::make_pair(0, std::string(p.name) + " " + qv::cli::version() + "\n")) << err;
        const auto help = run(p.path, "--help", err);
        EXPECT_EQ(help.first, 0) << p.name << err;
        EXPECT_EQ(help.second.rfind(std::string("Usage: ") + p.name + " ", 0), 0u) << help.second;
        if (p.checkOption) {
            EXPECT_NE(help.second.find("--check"), std::string::npos) << p.name;
        }
        const auto unknown = run(p.path, "--colour", err);
        EXPECT_EQ(unknown, std::make_pair(2, std::string())) << p.name;
        EXPECT_EQ(err, std::string(p.name) + ": unknown option --colour; see \"" + p.name + " --help\"\n");
    }
    EXPECT_TRUE(std::regex_match(qv::cli::version(), std::regex("[0-9]+\\.[0-9]+\\.[0-9]+")));
#endif
}
