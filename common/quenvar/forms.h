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

enum class ControlKind { Label, TextBox, ListBox, ComboBox, OptionButton, CommandButton, Frame, Line, MenuEntry, Plot };
const char* kindName(ControlKind kind);

class Window;

// A point of a plot: its x, and its y where the value is finite (none leaves a gap in the curve).
struct PlotPoint {
    double x = 0;
    std::optional<double> y;
    bool operator==(const PlotPoint&) const = default;
};

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
    void removeItem(int position);                // position from 0
    int listIndex() const { return listIndex_; }  // from 0; -1 when none is selected
    void setListIndex(int position);
    int listCount() const { return static_cast<int>(items_.size()); }
    std::string item(int position) const;

    // Option buttons: selected or not; selecting one clears the others of its group.
    bool value() const { return value_; }
    void setValue(bool selected);
    void setGroup(std::string group) { group_ = std::move(group); }
    const std::string& group() const { return group_; }

    // Labels: the caption as the screen shows it (UTF-8), for a caption with a character that
    // Windows-1252 cannot hold ("ΔH"); empty when the screen shows the caption itself. Script
    // mode reads the caption.
    const std::string& shownCaption() const { return shownCaption_; }
    void setShownCaption(std::string utf8) { shownCaption_ = std::move(utf8); }

    // Plots: a curve and a second, dashed one (empty when there is none), drawn against the
    // same axes; the caption is the plot's title. The axis titles are Windows-1252 like captions.
    const std::vector<PlotPoint>& points() const { return points_; }
    const std::vector<PlotPoint>& dashed() const { return dashed_; }
    void setCurves(std::vector<PlotPoint> points, std::vector<PlotPoint> dashed);
    const std::string& xTitle() const { return xTitle_; }
    const std::string& yTitle() const { return yTitle_; }
    void setAxisTitles(std::string x, std::string y);
    // Counts changes of the curves, titles and caption, so that a view can tell when to redraw.
    unsigned plotRevision() const { return plotRevision_; }

    // Events.
    std::function<void()> onClick;   // button, option button, menu entry; a user's pick of a list item
    std::function<void()> onChange;  // text box or combo box text changed
    // A key pressed while this control has the focus ("Delete", "Return", "Ctrl+F", in the form
    // normalizeKeys gives); true when the control handled it. A key it leaves goes on to the
    // window's shortcuts (see Window::pressKey).
    std::function<bool(const std::string& keys)> onKey;

    // Whether a user can act on the control; a control in a disabled frame is disabled too.
    // Disabled controls still show, and the program may still change them.
    bool enabled() const;
    bool ownEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    // Shown and enabled: what a user can click, pick, type into or give the focus to.
    bool usable() const { return shown() && enabled(); }
    // Text boxes, list boxes, combo boxes, buttons and option buttons take the keyboard focus.
    bool takesFocus() const;

    // The mnemonic letter of a button, option button, frame or menu entry (0: none). It is kept
    // beside the caption so that the caption stays the text the window shows and scripts read;
    // the Qt binding underlines the first occurrence of the letter in the caption, and Alt+letter
    // presses the control (a menu title opens its menu).
    char mnemonic() const { return mnemonic_; }
    void setMnemonic(char letter) { mnemonic_ = letter; }

    // A user's click on a button, option button or menu entry: an option is chosen first; then
    // the click event runs.
    void userClick();

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
    std::string shownCaption_;
    std::vector<PlotPoint> points_;
    std::vector<PlotPoint> dashed_;
    std::string xTitle_;
    std::string yTitle_;
    unsigned plotRevision_ = 0;
    bool enabled_ = true;
    char mnemonic_ = 0;
};

// ---- Keys -----------------------------------------------------------------------------------

// A key or shortcut in one spelling: modifiers in the order Ctrl, Shift, Alt, then the key
// ("Ctrl+Shift+S", "Alt+F", "F1", "Delete", "Return", "Escape", "Tab", "Up"); letters upper case.
// "ctrl+s", "Shift+Ctrl+s" and "Enter" (as "Return") are read too. Nothing for an unknown key or
// modifier, or a modifier without a key.
std::optional<std::string> normalizeKeys(std::string_view keys);

// Whether a text box (or the edit of a combo box) with the focus keeps the key for its own
// editing, as the edit widgets of every platform do: the keys that move or edit the text, undo
// and the clipboard ("Delete", "Backspace", "Ctrl+Z", "Ctrl+C", "Home", "Left", a letter...).
// Such a key never reaches the window's shortcuts while a text box has the focus.
bool textBoxKeeps(const std::string& keys);

// The caption of a window showing a file: "*demo.mdb - BASE" while the shown record holds
// changes not yet saved, "demo.mdb - BASE" otherwise: the file first, as task bars show it, and
// as given (a name, or a path where the window shows one). Without a file: BASE, with the mark
// before it when modified.
std::string titleWithFile(std::string_view base, std::string_view file, bool modified);

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
    Control& plot(const std::string& name, std::string caption);

    // The control of that name (and index); throws std::out_of_range when there is none.
    Control& operator()(std::string_view name, int index = 0) const;
    Control* find(std::string_view name, int index = 0) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    // ---- Keyboard ----
    // The control that has the keyboard focus: null when none has it, or when the one that had it
    // is hidden or disabled since.
    Control* focus() const;
    // Gives the focus to a control, as a click into it or Tab would; no event runs.
    void setFocus(Control* control)
    {
        focus_ = control;
        ++focusRevision_;
    }
    // Counts focus changes made by the program, so that a view can tell when to move its own.
    unsigned focusRevision() const { return focusRevision_; }
    // Whether the focus is in a text box or the edit of an editable combo box.
    bool focusInText() const;
    // Where the focus goes when the window opens (after its load event, unless that set one): this
    // control, else the first usable control that takes the focus, in the order they were added.
    void setStartFocus(Control* control) { startFocus_ = control; }

    struct Shortcut {
        std::string keys;  // normalized
        std::function<void()> handler;
    };
    // Adds a window shortcut; a later one for the same keys replaces the earlier. Throws
    // std::invalid_argument for keys normalizeKeys does not read. Add them in the window's
    // constructor, with its controls: the Qt binding reads the table when it first shows the window.
    void shortcut(std::string_view keys, std::function<void()> handler);
    // A shortcut that clicks a button, option button or menu entry, when a user could click it.
    void shortcut(std::string_view keys, Control& target);
    const std::vector<Shortcut>& shortcuts() const { return shortcuts_; }
    const Shortcut* findShortcut(std::string_view keys) const;

    // A key pressed in this window. It goes to the focused control's key handler first; a text
    // box with the focus keeps its editing keys; an arrow key on an option of a group chooses the
    // next (Down, Right) or previous (Up, Left) usable option of that group; then Alt+letter presses the usable button, option
    // or menu title with that mnemonic; then the window's shortcuts. True when something took it.
    // Runs the handler directly: callers dispatch it through the Application. Throws
    // std::invalid_argument for keys normalizeKeys does not read.
    bool pressKey(std::string_view keys);

    // ---- Status line ----
    // The window's status line: the label `lblStatus` (made on first use; make it in the window's
    // constructor, so that every view finds it). The Qt binding shows it in the status bar of a
    // main window that has no widget of that name. A script reads it as `lblStatus.caption`.
    Control& statusLine();
    void setStatus(std::string text) { statusLine().setCaption(std::move(text)); }
    std::string status() const;

    // Events of the window.
    std::function<void()> onLoad;
    // The user closes the window with its own close control; runs before the window closes.
    std::function<void()> onUserClose;
    // Asked first when the user closes the window with its own close control: false keeps the
    // window open and runs nothing more (an unsaved-changes question answered Cancel).
    std::function<bool()> onQueryClose;

private:
    void chooseNextInGroup(const Control& from, bool forward);

    friend class Application;
    Application& app_;
    std::string formName_;
    std::string caption_;
    bool open_ = false;
    std::vector<std::unique_ptr<Control>> controls_;
    Control* focus_ = nullptr;
    Control* startFocus_ = nullptr;
    unsigned focusRevision_ = 0;
    std::vector<Shortcut> shortcuts_;
};

// What a tool needs to know whether the record it shows differs from what its file holds: the
// state of a set of controls (texts, list selections, option values) taken when the record was
// shown or saved, compared with their state now.
//
//     EditTracker edits({&txtName, &txtlogk, &cboIsoterm});
//     edits.snapshot();                // after showing the record read from the file
//     if (edits.modified()) ...        // a typed change is not saved yet
class EditTracker {
public:
    EditTracker() = default;
    explicit EditTracker(std::vector<Control*> controls) : controls_(std::move(controls)) {}

    void track(Control& control) { controls_.push_back(&control); }
    const std::vector<Control*>& controls() const { return controls_; }

    // What the controls hold now is what the file holds.
    void snapshot();
    // Nothing is known to be shown (no record): not modified until the next snapshot.
    void forget() { saved_.clear(); }
    bool modified() const { return !changed().empty(); }
    // The tracked controls whose state differs from the snapshot, in tracking order.
    std::vector<Control*> changed() const;

private:
    static std::string stateOf(const Control& c);
    std::vector<Control*> controls_;
    std::vector<std::string> saved_;  // empty: no snapshot
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

// ---- Names chosen in file dialogs -----------------------------------------------------------

// The extension that a save dialog gives a name typed without one, from the first pattern of the
// filter entry `entry` (from 0) of a filter string "description|pattern|description|pattern...":
// "*.MDB" gives ".mdb". A one-part extension is spelt in small letters, as the suite's files are
// (demo.mdb, sit_eta.txt, ion.cdb); a compound one keeps its spelling ("*.MSI.TXT" gives
// ".MSI.TXT"). Empty when the entry does not exist or its pattern names no one extension ("*.*",
// "*", "data?.txt").
std::string filterExtension(std::string_view filter, std::size_t entry = 0);

// `path` with `extension` appended when its file name (after the last / or \) holds no dot, as
// a typed name without an extension; unchanged otherwise.
std::string withExtension(const std::string& path, std::string_view extension);

// Whether a save onto `path` is refused: the files the suite only reads (thermo.mdb, type6.mdb,
// comp.mdb, gaussian.mdb, dabase.txt), known by their file name whatever its case.
bool readOnlyTarget(std::string_view path);
// The message that refuses such a target.
std::string readOnlyTargetMessage(std::string_view path);

// ---- Platform -------------------------------------------------------------------------------

// YesNoDefaultNo: Yes and No with No as the default button (questions before a deletion), so that
// Return alone never destroys anything. Script mode prints it as "yesno" and answers it the same way.
enum class Buttons { Ok, YesNo, SaveDiscardCancel, YesNoDefaultNo };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Yes, No, Save, Discard, Cancel };
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
    // Puts a text (Windows-1252) on the clipboard.
    virtual void setClipboard(const std::string&) {}
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
    // Question icon; true unless No. `defaultNo`: No is the default button (before a deletion).
    bool askYesNo(const std::string& text, const std::string& title, bool defaultNo = false);
    // The unsaved-changes question (question icon): Save, Discard or Cancel. Anything else a
    // platform gives back counts as Cancel, which changes nothing.
    Answer askSaveDiscardCancel(const std::string& text, const std::string& title);
    std::optional<std::string> openDialog(const std::string& filter, const std::string& initialDir,
                                          const std::string& currentDir);
    // A save dialog: a name typed without an extension gets the first filter's (filterExtension;
    // a platform that lets the user choose another filter completes the name itself), and a file
    // the suite only reads (readOnlyTarget) is refused with a message, as a cancel.
    std::optional<std::string> saveDialog(const std::string& filter, const std::string& initialDir,
                                          const std::string& currentDir);
    void setClipboard(const std::string& text) { platform_.setClipboard(text); }

private:
    void placeStartFocus(Window& window);
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
    // A data file named on the command line ("humkit site.MSI.TXT", or a file manager's "Open
    // with"), given once the main window is open: a tool that opens files by choice opens it as
    // its File > Open would. Tools whose files have fixed names only start in its directory.
    virtual void openAtStart(const std::string& path) { (void)path; }
};

}  // namespace qv::forms
