#include "quenvar/qt/qtplatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "quenvar/qt/cp1252.h"

namespace qv::qt {

using forms::Answer;
using forms::Buttons;
using forms::DialogKind;
using forms::Icon;

namespace {

std::vector<std::string> splitBytes(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QStringList nameFilters(const std::string& filter)
{
    QStringList result;
    if (filter.empty()) return result;
    std::vector<std::string> parts = splitBytes(filter, '|');
    // "Text files (*.TXT)|*.TXT|": the final bar opens no further pair.
    if (parts.size() % 2 == 1 && parts.back().empty()) parts.pop_back();
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        const QString description = fromCp1252(parts[i]);
        const std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
        if (description.trimmed().isEmpty() && pattern.empty()) continue;
        QStringList patterns;
        for (const std::string& p : splitBytes(pattern, ';')) {
            const QString one = fromCp1252(p).trimmed();
            if (!one.isEmpty()) patterns << one;
        }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        const QString joined = patterns.join(QLatin1Char(' '));
        const QString shown = QLatin1Char('(') + joined + QLatin1Char(')');
        // The dialog takes the patterns from the parentheses that end the entry.
        if (description.trimmed().isEmpty())
            result << shown;
        else if (description.trimmed().endsWith(shown, Qt::CaseInsensitive))
            result << description;
        else
            result << description + QLatin1Char(' ') + shown;
    }
    return result;
}

std::optional<std::string> pathBytes(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (QFile::decodeName(encoded) != path) return std::nullopt;
    return std::string(encoded.constData(), static_cast<std::size_t>(encoded.size()));
}

QString pathText(const std::string& bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void configureFileDialog(QFileDialog& dialog, DialogKind kind, const std::string& filter, const std::string& initialDir,
                         const std::string& currentDir)
{
    // Qt's own dialog behaves the same on every system, and matches patterns without regard to
    // case: "*.MDB" offers "demo.mdb" too, as Quenvar's users expect.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (kind == DialogKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    const QStringList filters = nameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    if (kind == DialogKind::Save) {
        // The extension of each entry, in the order of the name filters.
        QStringList suffixes;
        std::vector<std::string> parts = splitBytes(filter, '|');
        for (std::size_t i = 0; i < parts.size(); i += 2) {
            const std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
            if (QString::fromLatin1(parts[i].c_str()).trimmed().isEmpty() && pattern.empty()) continue;
            suffixes << fromCp1252(forms::filterExtension(filter, i / 2)).mid(1);
        }
        auto useSuffixOf = [&dialog, filters, suffixes](const QString& chosen) {
            const qsizetype at = filters.indexOf(chosen);
            dialog.setDefaultSuffix(at >= 0 && at < suffixes.size() ? suffixes[at] : QString());
        };
        useSuffixOf(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    }
    const QString current = pathText(currentDir);
    const QString initial = pathText(initialDir);
    QString dir = initial.isEmpty() ? current : QDir(current).absoluteFilePath(initial);
    if (!QFileInfo(dir).isDir()) dir = current;
    if (!dir.isEmpty() && QFileInfo(dir).isDir()) dialog.setDirectory(dir);
}

void FileDialog::accept()
{
    if (acceptMode() == AcceptSave) {
        const QStringList files = selectedFiles();
        const std::optional<std::string> bytes = files.isEmpty() ? std::nullopt : pathBytes(files.first());
        if (bytes && forms::readOnlyTarget(*bytes)) {
            // The refused names are plain ASCII, so the message reads the same in any encoding.
            const QString text = fromCp1252(forms::readOnlyTargetMessage(*bytes));
            if (refuse)
                refuse(text);
            else
                QMessageBox::warning(this, QStringLiteral("Quenvar"), text);
            return;
        }
    }
    QFileDialog::accept();
}

// ---- QtPlatform -----------------------------------------------------------------------------

QtPlatform::QtPlatform(std::map<std::string, FormFactory> forms) : factories_(std::move(forms)) {}

QtPlatform::~QtPlatform() { release(); }

void QtPlatform::attach(forms::Application& app)
{
    app_ = &app;
    binder_ = std::make_unique<Binder>(app);
    binder_->notice = [this](const QString& text, const QString& title) {
        showMessage(text, title, Buttons::Ok, Icon::Exclamation);
    };
}

void QtPlatform::release()
{
    if (binder_) binder_->clear();
    widgets_.clear();
}

QWidget* QtPlatform::widgetOf(const forms::Window& window) const
{
    if (binder_)
        if (FormBinding* b = binder_->find(window)) return b->top();
    return nullptr;
}

QWidget* QtPlatform::dialogParent() const
{
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    if (app_ && app_->mainWindow()) return widgetOf(*app_->mainWindow());
    return nullptr;
}

Answer QtPlatform::message(const std::string& text, const std::string& title, Buttons buttons, Icon icon)
{
    QString shown = fromCp1252(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return showMessage(shown, fromCp1252(title), buttons, icon);
}

Answer QtPlatform::showMessage(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(boxIcon(icon));
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == Buttons::YesNoDefaultNo ? QMessageBox::No : QMessageBox::Yes);
        box.exec();
        return box.clickedButton() == box.button(QMessageBox::Yes) ? Answer::Yes : Answer::No;
    }
    if (buttons == Buttons::SaveDiscardCancel) {
        // Return saves the user's work; Escape and the title-bar button cancel, which changes nothing.
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        box.exec();
        if (box.clickedButton() == box.button(QMessageBox::Save)) return Answer::Save;
        if (box.clickedButton() == box.button(QMessageBox::Discard)) return Answer::Discard;
        return Answer::Cancel;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

std::optional<std::string> QtPlatform::fileDialog(DialogKind kind, const std::string& filter,
                                                  const std::string& initialDir, const std::string& currentDir)
{
    const std::optional<QString> chosen = showFileDialog(kind, filter, initialDir, currentDir);
    if (!chosen) return std::nullopt;
    std::optional<std::string> bytes = pathBytes(*chosen);
    if (!bytes) {
        showMessage(QStringLiteral("The file name \"%1\" holds characters that cannot be used here.").arg(*chosen),
                    QStringLiteral("Quenvar"), Buttons::Ok, Icon::Exclamation);
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> QtPlatform::showFileDialog(DialogKind kind, const std::string& filter,
                                                  const std::string& initialDir, const std::string& currentDir)
{
    FileDialog dialog(dialogParent());
    configureFileDialog(dialog, kind, filter, initialDir, currentDir);
    dialog.refuse = [this](const QString& text) {
        showMessage(text, QStringLiteral("Quenvar"), Buttons::Ok, Icon::Exclamation);
    };
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(QFileInfo(files.first()).absoluteFilePath());
}

void QtPlatform::setClipboard(const std::string& text) { QApplication::clipboard()->setText(fromCp1252(text)); }

void QtPlatform::windowOpened(forms::Window& window)
{
    if (!binder_) return;
    FormBinding* binding = binder_->find(window);
    if (!binding) {
        auto factory = factories_.find(window.formName());
        if (factory == factories_.end() || !factory->second) {
            qWarning("quenvar: no form is known for window %s", window.formName().c_str());
            return;
        }
        QWidget* top = factory->second();
        if (!top) {
            qWarning("quenvar: the form of window %s could not be built", window.formName().c_str());
            return;
        }
        widgets_[window.formName()].reset(top);
        binding = &binder_->bind(window, *top);
    }
    binding->update();
    QWidget* top = binding->top();
    top->show();
    top->raise();
    top->activateWindow();
}

void QtPlatform::windowClosed(forms::Window& window)
{
    if (QWidget* top = widgetOf(window)) top->hide();
    if (app_ && app_->openWindows().empty()) finish();
}

void QtPlatform::programEnded() { finish(); }

void QtPlatform::finish()
{
    if (finished_) return;
    finished_ = true;
    if (onFinished) onFinished();
}

}  // namespace qv::qt
