#include "quenvar/script.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "osfile.h"
#include "quenvar/files.h"
#include "quenvar/numform.h"

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

const char* buttonsName(Buttons b)
{
    switch (b) {
    case Buttons::Ok: return "ok";
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo: return "yesno";
    case Buttons::SaveDiscardCancel: return "savediscardcancel";
    }
    return "ok";
}

const char* answerName(Answer a)
{
    switch (a) {
    case Answer::Ok: return "ok";
    case Answer::Yes: return "yes";
    case Answer::No: return "no";
    case Answer::Save: return "save";
    case Answer::Discard: return "discard";
    case Answer::Cancel: return "cancel";
    }
    return "?";
}

bool answers(Buttons b, Answer a)
{
    if (b == Buttons::YesNo || b == Buttons::YesNoDefaultNo) return a == Answer::Yes || a == Answer::No;
    if (b == Buttons::SaveDiscardCancel) return a == Answer::Save || a == Answer::Discard || a == Answer::Cancel;
    return false;
}

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
    const char* what =
        buttons != Buttons::SaveDiscardCancel ? "a Yes/No message box" : "a Save/Discard/Cancel question";
    if (answers_.empty()) {
        out_ << "?\n";
        throw Abort{true, std::string(what) + " found no queued answer: " + quote(text)};
    }
    const Answer answer = answers_.front().answer;
    if (!answers(buttons, answer)) {
        out_ << "?\n";
        throw Abort{true, std::string(what) + " found the answer " + answerName(answer) + ": " + quote(text)};
    }
    answers_.pop_front();
    out_ << answerName(answer) << '\n';
    return answer;
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

void ScriptPlatform::setClipboard(const std::string& text)
{
    // One line however many the text holds: its line ends are written as \n inside the word.
    std::string word;
    for (char c : quote(text)) {
        if (c == '\n')
            word += "\\n";
        else
            word += c;
    }
    out_ << "clipboard " << word << '\n';
}

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

// A plot's curve as words "X;Y", Y empty where the value is not finite.
std::vector<std::string> plotWords(const Control& plot, const std::string& prop, std::string* printed)
{
    std::vector<std::string> words;
    printed->clear();
    for (const PlotPoint& p : prop == "points" ? plot.points() : plot.dashed()) {
        words.push_back(numberForm(p.x) + ';' + (p.y ? numberForm(*p.y) : std::string()));
        if (!printed->empty()) *printed += ' ';
        *printed += quote(words.back());
    }
    return words;
}

class Runner {
public:
    Runner(Program& program, Application& app, ScriptPlatform& platform, std::ostream& out, std::string openFile)
        : program_(program), app_(app), platform_(platform), out_(out), openFile_(std::move(openFile))
    {
    }

    void start()
    {
        if (started_) return;
        started_ = true;
        app_.dispatch([&] { app_.open(program_.mainWindow()); });
        if (!openFile_.empty() && !app_.ended()) app_.dispatch([&] { program_.openAtStart(openFile_); });
    }

    using Words = std::vector<std::string>;
    void execute(const Words& w, int lineNo);

private:
    // One function a command; `w` holds the command and its words.
    static void need(const Words& w, std::size_t count);
    void answer(const Words& w, int lineNo);
    void dialog(const Words& w, int lineNo);
    void click(const Words& w);
    void pick(const Words& w);
    void type(const Words& w);
    void close(const Words& w);
    void key(const Words& w);
    void focus(const Words& w);
    void print(const Words& w);
    void expect(const Words& w);
    void dump(const Words& w);
    void dumpControl(const Window& win, const Control& c) const;
    static int itemPosition(const Control& c, const std::string& list, const std::string& wanted);

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
            if (!win->isOpen() && win->find(base, index)) throw ScriptError{"window is not open: " + win->formName()};
        throw ScriptError{"unknown control: " + qualified};
    }

    Control& actOn(const std::string& name) const
    {
        Control& c = control(name);
        if (!c.shown()) throw ScriptError{"control is hidden: " + name};
        if (!c.enabled()) throw ScriptError{"control is disabled: " + name};
        return c;
    }

    // The words of a property's value, and how it prints.
    std::vector<std::string> property(const std::string& ref, std::string* printed) const;

    void act(const std::function<void()>& action) { app_.dispatch(action); }

    Program& program_;
    Application& app_;
    ScriptPlatform& platform_;
    std::ostream& out_;
    std::string openFile_;
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
    if (prop == "caption" &&
        (k == ControlKind::Label || k == ControlKind::CommandButton || k == ControlKind::OptionButton ||
         k == ControlKind::Frame || k == ControlKind::MenuEntry || k == ControlKind::Plot))
        return word(c.caption());
    if ((prop == "points" || prop == "dashed") && k == ControlKind::Plot) return plotWords(c, prop, printed);
    if (prop == "value" && k == ControlKind::OptionButton) return bare(c.value() ? 1 : 0);
    if (prop == "enabled") return bare(c.enabled() ? 1 : 0);
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

void Runner::need(const Words& w, std::size_t count)
{
    if (w.size() != count) throw ScriptError{"wrong number of words for " + w[0]};
}

void Runner::execute(const Words& w, int lineNo)
{
    // The answers are queued before the window opens: they answer what start-up asks.
    if (w[0] == "answer") return answer(w, lineNo);
    if (w[0] == "dialog") return dialog(w, lineNo);
    start();
    // A program that ended in its start-up leaves this line still to run.
    if (app_.ended()) throw Failure{"the program has ended; lines are left"};
    using Command = void (Runner::*)(const Words&);
    static const std::pair<const char*, Command> commands[] = {
        {"click", &Runner::click}, {"pick", &Runner::pick},     {"type", &Runner::type},
        {"close", &Runner::close}, {"key", &Runner::key},       {"focus", &Runner::focus},
        {"print", &Runner::print}, {"expect", &Runner::expect}, {"dump", &Runner::dump},
    };
    for (const auto& [name, command] : commands)
        if (w[0] == name) return (this->*command)(w);
    throw ScriptError{"unknown command: " + w[0]};
}

void Runner::answer(const Words& w, int lineNo)
{
    need(w, 2);
    static const std::pair<const char*, Answer> words[] = {{"yes", Answer::Yes},
                                                           {"no", Answer::No},
                                                           {"save", Answer::Save},
                                                           {"discard", Answer::Discard},
                                                           {"cancel", Answer::Cancel}};
    for (const auto& [word, answer] : words)
        if (w[1] == word) {
            platform_.queueAnswer(answer, lineNo);
            return;
        }
    throw ScriptError{"answer takes yes, no, save, discard or cancel"};
}

void Runner::key(const Words& w)
{
    need(w, 3);
    Window* win = windowNamed(w[1]);
    if (!win) throw ScriptError{"unknown window: " + w[1]};
    if (!win->isOpen()) throw ScriptError{"window is not open: " + w[1]};
    const std::optional<std::string> keys = normalizeKeys(w[2]);
    if (!keys) throw ScriptError{"unknown key: " + quote(w[2])};
    // A key that nothing takes does nothing, as on the keyboard.
    act([&] { win->pressKey(*keys); });
}

void Runner::focus(const Words& w)
{
    need(w, 2);
    Control& c = actOn(w[1]);
    if (!c.takesFocus()) throw ScriptError{"a " + std::string(kindName(c.kind())) + " takes no focus: " + w[1]};
    c.window().setFocus(&c);
}

void Runner::dialog(const Words& w, int lineNo)
{
    need(w, 2);
    // `dialog cancel` bare is a cancel; a quoted "cancel" is a file of that name, but the
    // words carry no quoting any more: treat the bare word as the cancel.
    if (w[1] == "cancel")
        platform_.queueDialog(std::nullopt, lineNo);
    else
        platform_.queueDialog(w[1], lineNo);
}

void Runner::click(const Words& w)
{
    need(w, 2);
    Control& c = actOn(w[1]);
    switch (c.kind()) {
    case ControlKind::CommandButton:
    case ControlKind::MenuEntry:
        act([&] {
            if (c.onClick) c.onClick();
        });
        break;
    case ControlKind::OptionButton:
        act([&] {
            c.setValue(true);
            if (c.onClick) c.onClick();
        });
        break;
    default: throw ScriptError{"cannot click a " + std::string(kindName(c.kind())) + ": " + w[1]};
    }
}

// The position (from 0) of `#N` or of the first item equal to the word.
int Runner::itemPosition(const Control& c, const std::string& list, const std::string& wanted)
{
    if (!wanted.empty() && wanted[0] == '#' && wanted.size() > 1 &&
        wanted.find_first_not_of("0123456789", 1) == std::string::npos && wanted.size() < 9) {
        const int position = std::stoi(wanted.substr(1)) - 1;
        if (position < 0 || position >= c.listCount()) throw ScriptError{"no item " + wanted + " in " + list};
        return position;
    }
    for (int i = 0; i < c.listCount(); ++i)
        if (c.items()[static_cast<std::size_t>(i)] == wanted) return i;
    throw ScriptError{"item not in the list of " + list + ": " + quote(wanted)};
}

void Runner::pick(const Words& w)
{
    need(w, 3);
    Control& c = actOn(w[1]);
    if (c.kind() != ControlKind::ListBox && c.kind() != ControlKind::ComboBox)
        throw ScriptError{"cannot pick from a " + std::string(kindName(c.kind())) + ": " + w[1]};
    const int position = itemPosition(c, w[1], w[2]);
    act([&] { c.userPick(position); });
}

void Runner::type(const Words& w)
{
    need(w, 3);
    Control& c = actOn(w[1]);
    if (c.kind() != ControlKind::TextBox && c.kind() != ControlKind::ComboBox)
        throw ScriptError{"cannot type into a " + std::string(kindName(c.kind())) + ": " + w[1]};
    act([&] { c.userType(w[2]); });
}

void Runner::close(const Words& w)
{
    need(w, 2);
    Window* win = windowNamed(w[1]);
    if (!win) throw ScriptError{"unknown window: " + w[1]};
    if (!win->isOpen()) throw ScriptError{"window is not open: " + w[1]};
    app_.userClose(*win);
}

void Runner::print(const Words& w)
{
    need(w, 2);
    std::string printed;
    property(w[1], &printed);
    out_ << w[1] << " = " << printed << '\n';
}

void Runner::expect(const Words& w)
{
    if (w.size() < 2) throw ScriptError{"expect needs NAME.PROPERTY"};
    std::string printed;
    const std::vector<std::string> actual = property(w[1], &printed);
    const std::vector<std::string> expected(w.begin() + 2, w.end());
    if (actual != expected) {
        std::string want;
        for (const auto& e : expected) want += (want.empty() ? "" : " ") + quote(e);
        throw Failure{w[1] + " is " + printed + ", expected " + want};
    }
}

void Runner::dump(const Words& w)
{
    need(w, 1);
    for (Window* win : app_.openWindows()) {
        out_ << win->formName() << " window caption=" << quote(win->caption()) << " visible=1\n";
        for (const auto& c : win->controls()) dumpControl(*win, *c);
    }
}

// One line of a dump: the control and every property it has.
void Runner::dumpControl(const Window& win, const Control& c) const
{
    out_ << win.formName() << '.' << c.qualifiedName() << ' ' << kindName(c.kind());
    const std::string base = win.formName() + '.' + c.qualifiedName() + '.';
    for (const char* prop :
         {"text", "caption", "visible", "value", "count", "index", "items", "points", "dashed", "enabled"}) {
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

}  // namespace

int run(Program& program, Application& app, ScriptPlatform& platform, std::istream& script, std::ostream& out,
        const std::string& openFile)
{
    Runner runner(program, app, platform, out, openFile);
    std::string line;
    int lineNo = 0;
    try {
        while (std::getline(script, line)) {
            ++lineNo;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto first = line.find_first_not_of(" \t");
            if (first == std::string::npos || line[first] == '#') continue;
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
    return 0;
}

int runFile(const std::string& file, const ProgramFactory& make, const std::string& openFile)
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
    const int status = run(*program, app, platform, *script, std::cout, openFile);
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

int scriptOnlyMain(int argc, char** argv, const cli::Tool& tool, const ProgramFactory& make)
{
    cli::Tool noWindows = tool;
    noWindows.windowed = false;
    const cli::Command command = cli::parse(noWindows, argc, argv, std::cout, std::cerr);
    if (command.action == cli::Command::Action::Script) return runFile(command.scriptFile, make, command.openFile);
    if (command.action == cli::Command::Action::Check) return tool.check(command.checkArgs);
    return command.status;
}

}  // namespace qv::script
