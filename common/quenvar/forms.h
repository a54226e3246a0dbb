#pragma once
// A toolkit-free model of the tools' windows.
//
// Controls are plain objects holding what a window shows (text, caption, visibility, list items,
// selection, option value); events are callbacks. The window logic of every tool works only on
// these objects, so it runs the same under Qt and in script mode.

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::forms {

enum class ControlKind { Label, TextBox, ListBox, ComboBox, OptionButton, CommandButton, Frame, Line, MenuEntry };
const char* kindName(ControlKind kind);

class Window;

class Control {
public:
    Control(Window& window, ControlKind kind, std::string name, int index);

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }  // 0 for a control that is not a member of an array
    // "txtComp(3)" for an array member, the bare name otherwise.
    std::string qualifiedName() const;
    Window& window() const { return window_; }

    // Labels, buttons, frames, menu entries: the caption.
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    // Visibility of the control itself; a control in a hidden frame is not shown either.
    bool visible() const { return visible_; }
    bool shown() const;
    void setVisible(bool visible);
    void setContainer(Control* frame) { container_ = frame; }
    Control* container() const { return container_; }

    // Text boxes and combo boxes: the text. Setting it fires the change event when the text
    // changes. A combo box also selects the first item equal to the text (none when no item is).
    // List boxes: the text of the selected item; setting it selects the first equal item.
    std::string text() const;
    void setText(std::string text);

    // List boxes and combo boxes.
    const std::vector<std::string>& items() const { return items_; }
    void clear();
    void addItem(std::string item);
    void removeItem(int position);  // position from 0
    int listIndex() const { return listIndex_; }  // from 0; -1 when none is selected
    void setListIndex(int position);
    int listCount() const { return static_cast<int>(items_.size()); }
    std::string item(int position) const;

    // Option buttons: selected or not; selecting one clears the others of its group.
    bool value() const { return value_; }
    void setValue(bool selected);
    void setGroup(std::string group) { group_ = std::move(group); }
    const std::string& group() const { return group_; }

    // Events.
    std::function<void()> onClick;   // button, option button, menu entry; a user's pick of a list item
    std::function<void()> onChange;  // text box or combo box text changed

    // What a user does, as the script runner and the Qt binding report it. Each runs the
    // control's event; the caller dispatches it through the Application.
    void userType(std::string text);  // replaces the text; runs the change event
    void userPick(int position);      // selects the item; runs the click event

    // Counts changes of the item list, so that a view can tell when to rebuild it.
    unsigned itemsRevision() const { return itemsRevision_; }

private:
    Window& window_;
    ControlKind kind_;
    std::string name_;
    int index_;
    std::string caption_;
    std::string text_;
    bool visible_ = true;
    Control* container_ = nullptr;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    bool value_ = false;
    std::string group_;
    unsigned itemsRevision_ = 0;
};

class Application;

class Window {
public:
    Window(Application& app, std::string formName, std::string caption);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    const std::string& formName() const { return formName_; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    bool isOpen() const { return open_; }
    Application& app() const { return app_; }

    // Adds a control; `index` > 0 makes it a member of the control array `name`.
    Control& add(ControlKind kind, const std::string& name, int index = 0);
    Control& label(const std::string& name, std::string caption, bool visible = true, int index = 0);
    Control& textBox(const std::string& name, bool visible = true, int index = 0);
    Control& listBox(const std::string& name, bool visible = true);
    Control& comboBox(const std::string& name, bool visible = true);
    Control& button(const std::string& name, std::string caption, bool visible = true);
    Control& option(const std::string& name, std::string caption, std::string group, int index = 0);
    Control& frame(const std::string& name, std::string caption);
    Control& line(const std::string& name);
    Control& menu(const std::string& name, std::string caption);

    // The control of that name (and index); throws std::out_of_range when there is none.
    Control& operator()(std::string_view name, int index = 0) const;
    Control* find(std::string_view name, int index = 0) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    // Events of the window.
    std::function<void()> onLoad;
    // The user closes the window with its own close control; runs before the window closes.
    std::function<void()> onUserClose;

private:
    friend class Application;
    Application& app_;
    std::string formName_;
    std::string caption_;
    bool open_ = false;
    std::vector<std::unique_ptr<Control>> controls_;
};

// Typed handles of a control array, numbered from 1 as the window numbers its members:
// `txtComp(3)` is the third. Filled once where the controls are made.
template <std::size_t N>
class ControlArray {
public:
    static constexpr int size() { return static_cast<int>(N); }
    Control& operator()(int index) const { return *members_.at(static_cast<std::size_t>(index - 1)); }
    // The member beside entry `k` of a 0-based data array.
    Control& at0(std::size_t k) const { return *members_.at(k); }
    void set(int index, Control& control) { members_.at(static_cast<std::size_t>(index - 1)) = &control; }

private:
    std::array<Control*, N> members_{};
};

// A control array of N members, made in order by `make(1)` to `make(N)`.
template <std::size_t N, class Make>
ControlArray<N> makeControlArray(Make make)
{
    ControlArray<N> members;
    for (int i = 1; i <= static_cast<int>(N); ++i) members.set(i, make(i));
    return members;
}

// ---- Platform -------------------------------------------------------------------------------

enum class Buttons { Ok, YesNo };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Yes, No };
enum class DialogKind { Open, Save };

class Platform {
public:
    virtual ~Platform() = default;
    virtual Answer message(const std::string& text, const std::string& title, Buttons buttons, Icon icon) = 0;
    // A file dialog. `filter` is "description|pattern|description|pattern...";
    // `currentDir` is the program's current directory (a relative answer is taken from there).
    // Returns the full path chosen, or nothing on a cancel.
    virtual std::optional<std::string> fileDialog(DialogKind kind, const std::string& filter,
                                                  const std::string& initialDir, const std::string& currentDir) = 0;
    // A window was opened, closed or needs its widgets brought up to date.
    virtual void windowOpened(Window&) {}
    virtual void windowClosed(Window&) {}
    virtual void programEnded() {}
};

// Thrown by Application::end() to leave the running handler at once.
struct ProgramEnd {};

// Runs the windows of one program: opening and closing them, dispatching events, and the
// handling of failures that no handler catches.
class Application {
public:
    explicit Application(Platform& platform) : platform_(platform) {}

    Platform& platform() const { return platform_; }

    // Opens a window (it becomes visible) and runs its load event.
    void open(Window& window);
    // Closes a window without running any event (a handler unloading its own window).
    void close(Window& window);
    // The user closes a window with its close control: its close event, then the close; closing
    // the first window opened ends the program.
    void userClose(Window& window);

    // Open windows, in the order in which they were opened; the first is the main window.
    const std::vector<Window*>& openWindows() const { return open_; }
    Window* mainWindow() const { return main_; }

    // Runs an event handler. A failure it does not catch is shown as a "Quenvar error" message
    // naming the failure and the file; the rest of the handler is abandoned and the window stays.
    void dispatch(const std::function<void()>& handler);

    // Ends the program now: leaves the running handler (throws ProgramEnd).
    [[noreturn]] void end();
    // Shows the failure and ends the program (start-up failures that leave nothing to work on).
    [[noreturn]] void fatal(const std::string& text);
    bool ended() const { return ended_; }

    // Message boxes and dialogs, as the handlers call them.
    Answer message(const std::string& text, const std::string& title, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None);
    bool askYesNo(const std::string& text, const std::string& title);  // question icon; true unless No
    std::optional<std::string> openDialog(const std::string& filter, const std::string& initialDir,
                                          const std::string& currentDir);
    std::optional<std::string> saveDialog(const std::string& filter, const std::string& initialDir,
                                          const std::string& currentDir);

private:
    Platform& platform_;
    std::vector<Window*> open_;
    Window* main_ = nullptr;
    bool ended_ = false;
};

// The program of one tool: owns its windows and names its main window.
class Program {
public:
    virtual ~Program() = default;
    virtual Window& mainWindow() = 0;
    // Every window the program may show, open or not (for lookups by form name).
    virtual std::vector<Window*> windows() = 0;
};

}  // namespace qv::forms
