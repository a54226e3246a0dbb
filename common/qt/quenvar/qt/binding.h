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
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "quenvar/forms.h"

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace qv::qt {

class Binder;

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

}  // namespace qv::qt
