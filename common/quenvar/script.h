#pragma once
// Script mode: a tool driven from a script instead of a screen. What a user would do is read
// from the script, message boxes and file dialogs are answered from it, and what the windows
// show is read back by control name. The same window logic runs as under Qt.

#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quenvar/cli.h"
#include "quenvar/forms.h"

namespace qv::script {

// Splits a script line into words: blanks separate words, a word in double quotes may hold
// blanks (\" stands for a quote and \\ for a backslash inside it), "" is the empty word.
// Throws std::invalid_argument for an unclosed quote.
std::vector<std::string> splitWords(const std::string& line);
// A word as the run prints it: between quotes, with the escapes above.
std::string quote(const std::string& word);

// Raised inside a handler when the script cannot go on (a question with no queued answer).
struct Abort {
    bool scriptError;  // true: a script error (exit 2); false: a failure (exit 1)
    std::string text;
};

class ScriptPlatform : public forms::Platform {
public:
    explicit ScriptPlatform(std::ostream& out) : out_(out) {}

    forms::Answer message(const std::string& text, const std::string& title, forms::Buttons buttons,
                          forms::Icon icon) override;
    std::optional<std::string> fileDialog(forms::DialogKind kind, const std::string& filter,
                                          const std::string& initialDir, const std::string& currentDir) override;
    void programEnded() override;
    void setClipboard(const std::string& text) override;

    void queueAnswer(bool yes, int line) { answers_.push_back({yes ? forms::Answer::Yes : forms::Answer::No, line}); }
    // yes, no (a Yes/No box), save, discard, cancel (a Save/Discard/Cancel question).
    void queueAnswer(forms::Answer answer, int line) { answers_.push_back({answer, line}); }
    void queueDialog(std::optional<std::string> path, int line) { dialogs_.push_back({std::move(path), line}); }
    // The line of the first answer that no question took, if any.
    std::optional<int> unusedAnswerLine() const;

private:
    struct YesNo {
        forms::Answer answer;
        int line;
    };
    struct DialogAnswer {
        std::optional<std::string> path;
        int line;
    };
    std::ostream& out_;
    std::deque<YesNo> answers_;
    std::deque<DialogAnswer> dialogs_;
};

// Runs a script against a program. Returns the exit status: 0 all held, 1 a failure,
// 2 a script error.
// `openFile` is given to the program once its main window is open (Program::openAtStart).
int run(forms::Program& program, forms::Application& app, ScriptPlatform& platform, std::istream& script,
        std::ostream& out, const std::string& openFile = {});

using ProgramFactory = std::function<std::unique_ptr<forms::Program>(forms::Application&)>;

// `TOOL --script FILE` ("-" for standard input): the whole run, printing to standard output.
int runFile(const std::string& file, const ProgramFactory& make, const std::string& openFile = {});

// Takes `--fault STEP:N:fail|kill` out of the arguments and plans that fault (crash-safety
// tests); false when the option is there but malformed.
bool takeFaultOption(int& argc, char** argv);

// The main of a tool built without windows: the command line of cli::parse, script mode and
// the checks only.
int scriptOnlyMain(int argc, char** argv, const cli::Tool& tool, const ProgramFactory& make);

}  // namespace qv::script
