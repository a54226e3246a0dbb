#pragma once
// The command line that every program of the suite takes, read in one place:
//
//   TOOL [DIRECTORY | FILE]   open the window in the current directory (the data directory), or
//                             in DIRECTORY, or in the directory that holds FILE
//   TOOL --script FILE        script mode: FILE drives the window logic (- for standard input)
//   TOOL --check FILE... [--json] [--comp PATH]
//                             check data files without changing them (where the tool has a check)
//   TOOL --fault STEP:N:fail|kill ...   testing option: plans a fault (crash-safety tests)
//   TOOL --help | --version
//
// `--help` and `--version` print to standard output and end with status 0. An option the
// program does not know, or one that lacks its value, prints one line on standard error that
// names it and points to `--help`, and ends with status 2. `--check` takes every argument after
// it and hands them to the tool's check handler.

#include <functional>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace qv::forms {
class Application;
}

namespace qv::cli {

// A tool's check mode: gets the arguments after `--check`, returns the exit status.
using CheckHandler = std::function<int(const std::vector<std::string>& args)>;

// What the command line needs to know of a program.
struct Tool {
    Tool(const char* name, const char* summary = "", CheckHandler check = {}, const char* checkDatabases = "")
        : name(name), summary(summary), check(std::move(check)), checkDatabases(checkDatabases)
    {
    }
    const char* name;     // "surfkit"
    const char* summary;  // what the program edits, for --help
    CheckHandler check;   // empty: the program has no check mode
    // The options of the check mode that name the databases checked against, as --help shows
    // them ("--comp PATH"); those of the data directory serve where none is given.
    const char* checkDatabases;
    bool windowed = true;  // false: a build (or a program) without windows
};

// The suite's version, one for every program ("1.2.0").
const char* version();

// The About box of a tool's window (F1): "TOOL VERSION", then what the tool edits.
void showAbout(forms::Application& app, const std::string& tool, const std::string& what);

// Reports go out as written: every line ends in LF on every system, as editors and scripts that
// read a check's report expect (the standard streams of Windows would add CR).
void reportsInBinary();

struct Command {
    enum class Action {
        Exit,    // done already (help, version, a bad argument): end with `status`
        Window,  // open the main window
        Script,  // run `scriptFile` in script mode
        Check,   // run the check handler on `checkArgs`
    };
    Action action = Action::Window;
    int status = 0;
    std::string scriptFile;
    std::vector<std::string> checkArgs;
    bool quitWhenShown = false;  // `--quit-when-shown` (start-up timing): end once the window is shown
    std::string openFile;        // a DATAFILE argument, as an absolute path: opened once the window is
};

// Reads the command line; takes `--fault` out first and plans it, exactly as script mode always
// has. Prints what `--help`, `--version` and a bad argument print. A DIRECTORY or FILE argument
// changes the current directory to it (to the directory of the FILE, named in `openFile`) here.
Command parse(const Tool& tool, int& argc, char** argv, std::ostream& out, std::ostream& err);

// The usage text that `--help` prints.
std::string helpText(const Tool& tool);

}  // namespace qv::cli
