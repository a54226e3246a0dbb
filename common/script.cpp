#include "quenvar/script.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "osfile.h"
#include "quenvar/files.h"

namespace qv::script {

using namespace qv::forms;

std::vector<std::string> splitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= n) break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                const char c = line[i++];
                if (c == '\\' && i < n && (line[i] == '"' || line[i] == '\\')) {
                    word += line[i++];
                } else if (c == '"') {
                    closed = true;
                    break;
                } else {
                    word += c;
                }
            }
            if (!closed) throw std::invalid_argument("unclosed quote");
        } else {
            while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string quote(const std::string& word)
{
    std::string out = "\"";
    for (char c : word) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

namespace {

const char* buttonsName(Buttons b) { return b == Buttons::YesNo ? "yesno" : "ok"; }

const char* iconName(Icon icon)
{
    switch (icon) {
    case Icon::None: return "none";
    case Icon::Critical: return "critical";
    case Icon::Question: return "question";
    case Icon::Exclamation: return "exclamation";
    case Icon::Information: return "information";
    }
    return "none";
}

}  // namespace

Answer ScriptPlatform::message(const std::string& text, const std::string& title, Buttons buttons, Icon icon)
{
    out_ << "message " << quote(title) << ' ' << quote(text) << ' ' << buttonsName(buttons) << ' ' << iconName(icon)
         << " -> ";
    if (buttons == Buttons::Ok) {
        out_ << "ok\n";
        return Answer::Ok;
    }
    if (answers_.empty()) {
        out_ << "?\n";
        throw Abort{true, "a Yes/No message box found no queued answer: " + quote(text)};
    }
    const bool yes = answers_.front().yes;
    answers_.pop_front();
    out_ << (yes ? "yes" : "no") << '\n';
    return yes ? Answer::Yes : Answer::No;
}

std::optional<std::string> ScriptPlatform::fileDialog(DialogKind kind, const std::string& filter,
                                                      const std::string& initialDir, const std::string& currentDir)
{
    out_ << "dialog " << (kind == DialogKind::Open ? "open" : "save") << ' ' << quote(filter) << ' '
         << quote(initialDir) << " -> ";
    if (dialogs_.empty()) {
        out_ << "?\n";
        throw Abort{true, "a file dialog found no queued answer"};
    }
    std::optional<std::string> path = dialogs_.front().path;
    dialogs_.pop_front();
    if (!path) {
        out_ << "cancel\n";
        return std::nullopt;
    }
    if (!isAbsolutePath(*path)) path = joinPath(currentDir, *path);
    out_ << quote(*path) << '\n';
    return path;
}

void ScriptPlatform::programEnded() { out_ << "end\n"; }

std::optional<int> ScriptPlatform::unusedAnswerLine() const
{
    std::optional<int> line;
    if (!answers_.empty()) line = answers_.front().line;
    if (!dialogs_.empty() && (!line || dialogs_.front().line < *line)) line = dialogs_.front().line;
    return line;
}

namespace {

struct ScriptError {
    std::string text;
};

class Runner {
public:
    Runner(Program& program, Application& app, ScriptPlatform& platform, std::ostream& out)
        : program_(program), app_(app), platform_(platform), out_(out)
    {
    }

    void start()
    {
        if (started_) return;
        started_ = true;
        app_.dispatch([&] { app_.open(program_.mainWindow()); });
    }

    void execute(const std::vector<std::string>& w, int lineNo);

private:
    Window* windowNamed(const std::string& name) const
    {
        for (Window* win : program_.windows())
            if (win->formName() == name) return win;
        return nullptr;
    }

    // "txtComp(3)" -> ("txtComp", 3)
    static std::pair<std::string, int> splitIndex(const std::string& name)
    {
        const auto open = name.find('(');
        if (open == std::string::npos || name.back() != ')') return {name, 0};
        const std::string digits = name.substr(open + 1, name.size() - open - 2);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 6)
            throw ScriptError{"bad control index: " + name};
        return {name.substr(0, open), std::stoi(digits)};
    }

    Control& control(const std::string& qualified) const
    {
        std::string name = qualified;
        Window* only = nullptr;
        if (const auto dot = name.find('.'); dot != std::string::npos) {
            only = windowNamed(name.substr(0, dot));
            if (!only) throw ScriptError{"unknown window: " + name.substr(0, dot)};
            if (!only->isOpen()) throw ScriptError{"window is not open: " + only->formName()};
            name = name.substr(dot + 1);
        }
        auto [base, index] = splitIndex(name);
        if (only) {
            if (Control* c = only->find(base, index)) return *c;
            throw ScriptError{"unknown control: " + qualified};
        }
        for (Window* win : app_.openWindows())
            if (Control* c = win->find(base, index)) return *c;
        for (Window* win : program_.windows())
            if (!win->isOpen() && win->find(base, index))
                throw ScriptError{"window is not open: " + win->formName()};
        throw ScriptError{"unknown control: " + qualified};
    }

    Control& actOn(const std::string& name) const
    {
        Control& c = control(name);
        if (!c.shown()) throw ScriptError{"control is hidden: " + name};
        return c;
    }

    // The words of a property's value, and how it prints.
    std::vector<std::string> property(const std::string& ref, std::string* printed) const;

    void act(const std::function<void()>& action)
    {
        app_.dispatch(action);
    }

    Program& program_;
    Application& app_;
    ScriptPlatform& platform_;
    std::ostream& out_;
    bool started_ = false;
};

std::vector<std::string> Runner::property(const std::string& ref, std::string* printed) const
{
    const auto dot = ref.rfind('.');
    if (dot == std::string::npos || dot == 0) throw ScriptError{"expected NAME.PROPERTY: " + ref};
    const std::string name = ref.substr(0, dot);
    const std::string prop = ref.substr(dot + 1);
    auto bare = [&](long v) {
        *printed = std::to_string(v);
        return std::vector<std::string>{*printed};
    };
    auto word = [&](const std::string& v) {
        *printed = quote(v);
        return std::vector<std::string>{v};
    };
    if (Window* win = windowNamed(name)) {
        if (prop == "visible") return bare(win->isOpen() ? 1 : 0);
        if (prop == "caption") return word(win->caption());
        throw ScriptError{"unknown property of a window: " + prop};
    }
    const Control& c = control(name);
    const ControlKind k = c.kind();
    const bool isList = k == ControlKind::ListBox || k == ControlKind::ComboBox;
    if (prop == "visible") return bare(c.shown() ? 1 : 0);
    if (prop == "text" && (k == ControlKind::TextBox || isList)) return word(c.text());
    if (prop == "caption" && (k == ControlKind::Label || k == ControlKind::CommandButton || k == ControlKind::OptionButton ||
                              k == ControlKind::Frame || k == ControlKind::MenuEntry))
        return word(c.caption());
    if (prop == "value" && k == ControlKind::OptionButton) return bare(c.value() ? 1 : 0);
    if (prop == "count" && isList) return bare(c.listCount());
    if (prop == "index" && isList) return bare(c.listIndex() + 1);
    if (prop == "items" && isList) {
        std::string all;
        for (const auto& item : c.items()) {
            if (!all.empty()) all += ' ';
            all += quote(item);
        }
        *printed = all;
        return c.items();
    }
    throw ScriptError{"unknown property " + prop + " of " + kindName(k) + " " + name};
}

struct Failure {
    std::string text;
};

void Runner::execute(const std::vector<std::string>& w, int lineNo)
{
    const std::string& cmd = w[0];
    auto need = [&](std::size_t count) {
        if (w.size() != count) throw ScriptError{"wrong number of words for " + cmd};
    };
    if (cmd == "answer") {
        need(2);
        if (w[1] != "yes" && w[1] != "no") throw ScriptError{"answer takes yes or no"};
        platform_.queueAnswer(w[1] == "yes", lineNo);
        return;
    }
    if (cmd == "dialog") {
        need(2);
        // `dialog cancel` bare is a cancel; a quoted "cancel" is a file of that name, but the
        // words carry no quoting any more: treat the bare word as the cancel.
        if (w[1] == "cancel")
            platform_.queueDialog(std::nullopt, lineNo);
        else
            platform_.queueDialog(w[1], lineNo);
        return;
    }
    start();
    // A program that ended in its start-up leaves this line still to run.
    if (app_.ended()) throw Failure{"the program has ended; lines are left"};
    if (cmd == "click") {
        need(2);
        Control& c = actOn(w[1]);
        switch (c.kind()) {
        case ControlKind::CommandButton:
        case ControlKind::MenuEntry: act([&] { if (c.onClick) c.onClick(); }); break;
        case ControlKind::OptionButton:
            act([&] {
                c.setValue(true);
                if (c.onClick) c.onClick();
            });
            break;
        default: throw ScriptError{"cannot click a " + std::string(kindName(c.kind())) + ": " + w[1]};
        }
    } else if (cmd == "pick") {
        need(3);
        Control& c = actOn(w[1]);
        if (c.kind() != ControlKind::ListBox && c.kind() != ControlKind::ComboBox)
            throw ScriptError{"cannot pick from a " + std::string(kindName(c.kind())) + ": " + w[1]};
        int position = -1;
        if (!w[2].empty() && w[2][0] == '#' && w[2].size() > 1 &&
            w[2].find_first_not_of("0123456789", 1) == std::string::npos && w[2].size() < 9) {
            position = std::stoi(w[2].substr(1)) - 1;
            if (position < 0 || position >= c.listCount()) throw ScriptError{"no item " + w[2] + " in " + w[1]};
        } else {
            for (int i = 0; i < c.listCount(); ++i)
                if (c.items()[static_cast<std::size_t>(i)] == w[2]) {
                    position = i;
                    break;
                }
            if (position < 0) throw ScriptError{"item not in the list of " + w[1] + ": " + quote(w[2])};
        }
        act([&] { c.userPick(position); });
    } else if (cmd == "type") {
        need(3);
        Control& c = actOn(w[1]);
        if (c.kind() != ControlKind::TextBox && c.kind() != ControlKind::ComboBox)
            throw ScriptError{"cannot type into a " + std::string(kindName(c.kind())) + ": " + w[1]};
        act([&] { c.userType(w[2]); });
    } else if (cmd == "close") {
        need(2);
        Window* win = windowNamed(w[1]);
        if (!win) throw ScriptError{"unknown window: " + w[1]};
        if (!win->isOpen()) throw ScriptError{"window is not open: " + w[1]};
        app_.userClose(*win);
    } else if (cmd == "print") {
        need(2);
        std::string printed;
        property(w[1], &printed);
        out_ << w[1] << " = " << printed << '\n';
    } else if (cmd == "expect") {
        if (w.size() < 2) throw ScriptError{"expect needs NAME.PROPERTY"};
        std::string printed;
        const std::vector<std::string> actual = property(w[1], &printed);
        const std::vector<std::string> expected(w.begin() + 2, w.end());
        if (actual != expected) {
            std::string want;
            for (const auto& e : expected) want += (want.empty() ? "" : " ") + quote(e);
            throw Failure{w[1] + " is " + printed + ", expected " + want};
        }
    } else if (cmd == "dump") {
        need(1);
        for (Window* win : app_.openWindows()) {
            out_ << win->formName() << " window caption=" << quote(win->caption()) << " visible=1\n";
            for (const auto& c : win->controls()) {
                out_ << win->formName() << '.' << c->qualifiedName() << ' ' << kindName(c->kind());
                const std::string base = win->formName() + '.' + c->qualifiedName() + '.';
                for (const char* prop : {"text", "caption", "visible", "value", "count", "index", "items"}) {
                    std::string printed;
                    try {
                        property(base + prop, &printed);
                    } catch (const ScriptError&) {
                        continue;
                    }
                    out_ << ' ' << prop << '=' << printed;
                }
                out_ << '\n';
            }
        }
    } else {
        throw ScriptError{"unknown command: " + cmd};
    }
}

}  // namespace

int run(Program& program, Application& app, ScriptPlatform& platform, std::istream& script, std::ostream& out,
        std::ostream& err)
{
    Runner runner(program, app, platform, out);
    std::string line;
    int lineNo = 0;
    int lastLine = 0;
    try {
        while (std::getline(script, line)) {
            ++lineNo;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto first = line.find_first_not_of(" \t");
            if (first == std::string::npos || line[first] == '#') continue;
            lastLine = lineNo;
            if (app.ended()) throw Failure{"the program has ended; lines are left"};
            std::vector<std::string> words;
            try {
                words = splitWords(line);
            } catch (const std::invalid_argument& e) {
                throw ScriptError{e.what()};
            }
            runner.execute(words, lineNo);
        }
        runner.start();
        if (auto unused = platform.unusedAnswerLine()) {
            lineNo = *unused;
            throw Failure{"an answer was not used: the program did not ask"};
        }
    } catch (const ScriptError& e) {
        out << "error line " << lineNo << ": " << e.text << '\n';
        return 2;
    } catch (const Failure& e) {
        out << "FAIL line " << lineNo << ": " << e.text << '\n';
        return 1;
    } catch (const Abort& e) {
        const int at = lineNo ? lineNo : 1;
        out << (e.scriptError ? "error line " : "FAIL line ") << at << ": " << e.text << '\n';
        return e.scriptError ? 2 : 1;
    }
    (void)lastLine;
    (void)err;
    return 0;
}

int runFile(const std::string& file, const ProgramFactory& make)
{
    qv::osfile::binaryStandardStreams();  // lines end and Ctrl-Z reads as on every system
    std::ifstream in;
    std::istream* script = &std::cin;
    if (file != "-") {
        in.open(file, std::ios::binary);
        if (!in) {
            std::cerr << "cannot read script " << file << '\n';
            return 2;
        }
        script = &in;
    }
    ScriptPlatform platform(std::cout);
    Application app(platform);
    std::unique_ptr<Program> program = make(app);
    const int status = run(*program, app, platform, *script, std::cout, std::cerr);
    std::cout.flush();
    return status;
}

bool takeFaultOption(int& argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) != "--fault") continue;
        const auto plan = parseFaultPlan(argv[i + 1]);
        if (!plan) return false;
        planFault(*plan);
        for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
        argc -= 2;
        break;
    }
    return true;
}

int scriptOnlyMain(int argc, char** argv, const char* toolName, const ProgramFactory& make)
{
    if (!takeFaultOption(argc, argv)) {
        std::cerr << "bad --fault option: STEP:N:fail or STEP:N:kill\n";
        return 2;
    }
    if (argc == 3 && std::string(argv[1]) == "--script") return runFile(argv[2], make);
    std::cerr << "usage: " << toolName << " --script FILE   (this build has no windows; FILE may be -)\n";
    return 2;
}

}  // namespace qv::script
