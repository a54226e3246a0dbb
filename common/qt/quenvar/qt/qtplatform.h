#pragma once
// The windowed platform of the tools: message boxes, file dialogs, and the windows themselves,
// built from their forms when first opened and bound to the window logic.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <QString>
#include <QStringList>

#include "quenvar/forms.h"
#include "quenvar/qt/binding.h"

#include <QFileDialog>

class QWidget;

namespace qv::qt {

using FormFactory = std::function<QWidget*()>;

// The name filters of a file dialog from a filter string of description and pattern pairs:
// "Text files (*.TXT)|*.TXT|Data (*.DAT)|*.DAT" gives "Text files (*.TXT)" and "Data (*.DAT)".
// A description that does not end with its patterns in parentheses gets them appended; several
// patterns ("*.A;*.B") are separated by blanks; an empty pair after a final "|" is dropped.
// The texts are Windows-1252.
QStringList nameFilters(const std::string& filter);

// Sets up a (Qt's own, not the system's) file dialog: open (an existing file) or save, the name
// filters with the first selected, patterns matched without regard to case, and the initial
// directory (relative to `currentDir`; `currentDir` itself when it names no directory).
// A save dialog completes a name typed without an extension with that of the filter the user has
// chosen (forms::filterExtension), before it asks whether to replace an existing file.
// Paths are in the file system's encoding.
void configureFileDialog(QFileDialog& dialog, forms::DialogKind kind, const std::string& filter,
                         const std::string& initialDir, const std::string& currentDir);

// The file dialog of the tools: as a save dialog it refuses the files the suite only reads
// (forms::readOnlyTarget) with a message and stays open for another name.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    // Shows the refusal; a message box unless set.
    std::function<void(const QString& text)> refuse;
    void accept() override;
};

// Paths as the window logic holds them: the bytes the file system names the file by (UTF-8 on
// Linux, the ANSI code page on Windows). Nothing when the path cannot be held so.
std::optional<std::string> pathBytes(const QString& path);
QString pathText(const std::string& bytes);

class QtPlatform : public forms::Platform {
public:
    explicit QtPlatform(std::map<std::string, FormFactory> forms = {});
    ~QtPlatform() override;

    // Binds the platform to the Application made over it (the Application needs the platform
    // first).
    void attach(forms::Application& app);
    Binder& binder() { return *binder_; }

    forms::Answer message(const std::string& text, const std::string& title, forms::Buttons buttons,
                          forms::Icon icon) override;
    std::optional<std::string> fileDialog(forms::DialogKind kind, const std::string& filter,
                                          const std::string& initialDir, const std::string& currentDir) override;
    void setClipboard(const std::string& text) override;
    void windowOpened(forms::Window& window) override;
    void windowClosed(forms::Window& window) override;
    void programEnded() override;

    // The program has ended, or its last window has closed.
    bool finished() const { return finished_; }
    // Called once when it finishes (the event loop quits).
    std::function<void()> onFinished;

    // The top-level widget of a window; null until it is first opened.
    QWidget* widgetOf(const forms::Window& window) const;
    // Drops every binding and widget: before the program's windows go.
    void release();

protected:
    // The message box and the file dialog themselves (tests answer them without a screen).
    virtual forms::Answer showMessage(const QString& text, const QString& title, forms::Buttons buttons,
                                      forms::Icon icon);
    // The full path chosen; nothing on a cancel.
    virtual std::optional<QString> showFileDialog(forms::DialogKind kind, const std::string& filter,
                                                  const std::string& initialDir, const std::string& currentDir);
    QWidget* dialogParent() const;

private:
    void finish();

    std::map<std::string, FormFactory> factories_;
    std::map<std::string, std::unique_ptr<QWidget>> widgets_;  // by form name, built once
    forms::Application* app_ = nullptr;
    std::unique_ptr<Binder> binder_;
    bool finished_ = false;
};

}  // namespace qv::qt
