#pragma once
// Binds the widgets of a Qt Designer form to the controls of a toolkit-free window.
//
// Each control finds the widget whose object name is the control's name (a member of a control
// array: the name, "_" and its index, "txtComp_3"); a menu entry finds the QAction of that name.
// What the user does on a widget becomes the control's own user action (click, pick, type) and
// runs through Application::dispatch; after every event all widgets of all open windows are
// brought up to date from the controls, so the window logic never touches a widget.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "quenvar/forms.h"

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QListWidget;

namespace qv::qt {

class Binder;
class KeyboardBinding;

// The widgets of one window.
class FormBinding : public QObject {
public:
    FormBinding(Binder& binder, forms::Window& window, QWidget& top);
    ~FormBinding() override;

    forms::Window& window() const { return window_; }
    QWidget* top() const { return top_; }
    // The widget or action that shows a control; null when the form has none for it.
    QObject* objectOf(const forms::Control& control) const;
    // The controls that found no widget of their kind, one line each (also given to qWarning).
    const std::vector<std::string>& problems() const { return problems_; }

    // Brings every widget of the window up to date from its control.
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Bound {
        forms::Control* control;
        QPointer<QObject> object;
        unsigned itemsRevision = 0;
        bool itemsShown = false;  // the widget's list has been filled from the control at least once
    };

    void bindControl(forms::Control& control);
    // The widget of the window's status line, where the form has none of its own.
    void provideStatusLine();
    // The enabled state of a control's widget.
    void updateState(Bound& bound);
    // The events of a control's widget, one function a kind of control.
    void connectEvents(Bound& bound);
    std::function<void()> clickOf(forms::Control* control);
    std::function<void(int)> pickOf(forms::Control* control);
    void connectOption(forms::Control* control, QAbstractButton* button);
    void connectTyping(forms::Control* control, QLineEdit* edit);
    void connectComboBox(forms::Control* control, QComboBox* combo);
    void connectListBox(forms::Control* control, QListWidget* list);
    // The widget brought up to date with its control, one function a kind of control.
    void updateControl(Bound& bound);
    static void updateLabel(const forms::Control& control, QLabel* label);
    static void updateButton(const forms::Control& control, QAbstractButton* button);
    static void updateFrame(const forms::Control& control, QGroupBox* box);
    static void updateTextBox(const forms::Control& control, QLineEdit* edit);
    // Whether the control's items changed since the widget's list was last filled (noted as filled).
    static bool itemsChanged(Bound& bound);
    void updateListBox(Bound& bound, QListWidget* list);
    void updateComboBox(Bound& bound, QComboBox* combo);
    void problem(const std::string& text);

    Binder& binder_;
    forms::Window& window_;
    QPointer<QWidget> top_;
    std::vector<Bound> bound_;
    std::vector<std::string> problems_;
    KeyboardBinding* keyboard_ = nullptr;  // a child of this object
    // A press on a list: a row change it causes is the pick, and the click that follows is not
    // a second one.
    bool listPickDone_ = false;
};

// Every bound window of one program.
class Binder {
public:
    explicit Binder(forms::Application& app);
    ~Binder();
    Binder(const Binder&) = delete;
    Binder& operator=(const Binder&) = delete;

    forms::Application& app() const { return app_; }

    // Binds a window to its top-level widget (the widget stays the caller's). Binding a window
    // again replaces the earlier binding.
    FormBinding& bind(forms::Window& window, QWidget& top);
    FormBinding* find(const forms::Window& window) const;
    // Drops every binding (before the windows or widgets go).
    void clear();

    // Runs a user event through the Application, then brings every open window up to date.
    void dispatch(const std::function<void()>& handler);
    // Brings the widgets of every open window up to date.
    void updateAll();
    bool updating() const { return updating_ > 0; }

    // The user typed `text` into the edit of a text box or combo box: stored as bytes, or
    // refused (the edit goes back to the control's text) when a character has no byte.
    void typed(forms::Control& control, QLineEdit* edit, const QString& text);
    // The user closes a window with its title-bar button; true when the window is closed.
    bool userClose(forms::Window& window);

    // Shows a notice of the binding itself (a refused character). By default an OK message box
    // through the Application; the Qt platform shows the text as it is.
    std::function<void(const QString& text, const QString& title)> notice;

private:
    forms::Application& app_;
    std::vector<std::unique_ptr<FormBinding>> bindings_;
    int updating_ = 0;
};

// The text of the notice that refuses a character Windows-1252 cannot hold.
QString refusedCharacterText(char32_t c);

// Draws a plot control into the widget that stands for it in the form (a plain QWidget). A
// program with plots sets it (useChartPlots in quenvar/qt/chart.h), so that only such programs
// load the charts library; without it a plot's widget stays empty.
using PlotDrawer = void (*)(QWidget& widget, const forms::Control& plot);
void setPlotDrawer(PlotDrawer drawer);

// How long ago the status line last changed, as the status bar shows it beside the message:
// "(1.2 s ago)" under ten seconds, "(42 s ago)" under a minute, then "(3 min ago)".
QString statusAgeText(qint64 milliseconds);

// A caption as its widget shows it: with a mnemonic letter, "&" marks its first occurrence (any
// case) and a "&" of the caption itself is doubled; a letter the caption lacks is added as
// " (&X)". Without one, the caption as it is.
QString captionWithMnemonic(const std::string& caption, char mnemonic);

// A key press in the one spelling of forms::normalizeKeys ("Ctrl+Shift+S", "Delete", "Return");
// nothing for a key the window model does not name (a modifier alone, a symbol).
std::optional<std::string> keysOf(const QKeyEvent& event);
// The key sequence of such a spelling; empty for one it cannot read.
QKeySequence keySequenceOf(const std::string& keys);

// The keyboard of one window: the window's shortcut table as Qt shortcuts, keys for the key
// handlers of the focused control, and the focus kept the same in the widgets and the model.
// A shortcut goes through forms::Window::pressKey, so the focused control is asked first, as in
// script mode. Alt+letter is left to Qt where a button or menu title of the form carries that
// mnemonic (Alt+F opens the File menu).
class KeyboardBinding : public QObject {
public:
    KeyboardBinding(FormBinding& form, Binder& binder);
    ~KeyboardBinding() override;
    // Moves the widgets' focus where the program put the model's.
    void applyFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    forms::Control* controlOf(const QWidget* widget) const;
    void focusChanged(QWidget* now);

    FormBinding& form_;
    Binder& binder_;
    unsigned focusApplied_ = 0;
    // Children of the window's widget, removed with this binding (a second binding of the same
    // widget would otherwise find its shortcuts ambiguous).
    std::vector<QPointer<QObject>> shortcuts_;
};

}  // namespace qv::qt
