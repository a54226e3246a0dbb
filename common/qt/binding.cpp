#include "quenvar/qt/binding.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "quenvar/qt/cp1252.h"

namespace qv::qt {

using forms::Control;
using forms::ControlKind;

namespace {

PlotDrawer plotDrawer = nullptr;

// The object name of a control's widget: "txtComp_3" for the third member of txtComp.
QString objectNameOf(const Control& c)
{
    QString name = QString::fromStdString(c.name());
    if (c.index() > 0) name += QLatin1Char('_') + QString::number(c.index());
    return name;
}

const char* widgetClassOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return "QLabel";
    case ControlKind::TextBox: return "QLineEdit";
    case ControlKind::ListBox: return "QListWidget";
    case ControlKind::ComboBox: return "QComboBox";
    case ControlKind::OptionButton: return "QRadioButton";
    case ControlKind::CommandButton: return "QPushButton";
    case ControlKind::Frame: return "QGroupBox";
    case ControlKind::Line: return "QFrame";
    case ControlKind::MenuEntry: return "QAction";
    case ControlKind::Plot: return "QWidget";
    }
    return "QWidget";
}

// Whether `object` can show a control of that kind.
bool fits(ControlKind kind, QObject* object)
{
    switch (kind) {
    case ControlKind::Label: return qobject_cast<QLabel*>(object);
    case ControlKind::TextBox: return qobject_cast<QLineEdit*>(object);
    case ControlKind::ListBox: return qobject_cast<QListWidget*>(object);
    case ControlKind::ComboBox: return qobject_cast<QComboBox*>(object);
    case ControlKind::OptionButton:
    case ControlKind::CommandButton: return qobject_cast<QAbstractButton*>(object);
    case ControlKind::Frame:
    case ControlKind::Line:
    case ControlKind::Plot: return qobject_cast<QWidget*>(object);
    case ControlKind::MenuEntry: return qobject_cast<QAction*>(object);
    }
    return false;
}

QStringList itemsOf(const Control& c)
{
    QStringList items;
    items.reserve(static_cast<qsizetype>(c.items().size()));
    for (const auto& item : c.items()) items << fromCp1252(item);
    return items;
}

}  // namespace

void setPlotDrawer(PlotDrawer drawer) { plotDrawer = drawer; }

QString refusedCharacterText(char32_t c)
{
    return QStringLiteral(
               "The character \"%1\" (%2) cannot be stored: Quenvar's files hold only the characters "
               "of the Windows-1252 code page.")
        .arg(QString::fromUcs4(&c, 1), codePointName(c));
}

// ---- FormBinding ----------------------------------------------------------------------------

FormBinding::FormBinding(Binder& binder, forms::Window& window, QWidget& top)
    : binder_(binder), window_(window), top_(&top)
{
    const QString formName = QString::fromStdString(window.formName());
    if (top.objectName() != formName)
        qWarning("quenvar: the form bound to window %s is named \"%s\"", window.formName().c_str(),
                 qPrintable(top.objectName()));
    top.installEventFilter(this);
    provideStatusLine();
    for (const auto& control : window.controls()) bindControl(*control);
    // Connections are made once every control has its widget, so that a signal from one
    // control's widget never finds the list half built.
    for (Bound& b : bound_) connectEvents(b);
    keyboard_ = new KeyboardBinding(*this, binder_);
}

FormBinding::~FormBinding()
{
    if (top_) top_->removeEventFilter(this);
}

void FormBinding::problem(const std::string& text)
{
    problems_.push_back(text);
    qWarning("quenvar: %s", text.c_str());
}

void FormBinding::bindControl(Control& control)
{
    const QString name = objectNameOf(control);
    QObject* object = nullptr;
    if (control.kind() == ControlKind::MenuEntry) {
        object = top_->findChild<QAction*>(name);
        if (!object)
            if (auto* menu = top_->findChild<QMenu*>(name)) object = menu->menuAction();
    } else {
        object = top_->findChild<QWidget*>(name);
    }
    const std::string where = "control " + control.qualifiedName() + " of window " + window_.formName();
    if (!object) {
        problem(where + ": the form has no " + widgetClassOf(control.kind()) + " named " + name.toStdString());
        return;
    }
    if (!fits(control.kind(), object)) {
        problem(where + ": " + name.toStdString() + " is a " + object->metaObject()->className() + ", not a " +
                widgetClassOf(control.kind()));
        return;
    }
    bound_.push_back(Bound{&control, object});
}

QObject* FormBinding::objectOf(const Control& control) const
{
    for (const Bound& b : bound_)
        if (b.control == &control) return b.object;
    return nullptr;
}

void FormBinding::connectEvents(Bound& b)
{
    Control* c = b.control;
    QObject* object = b.object.data();
    switch (c->kind()) {
    case ControlKind::CommandButton:
        connect(static_cast<QAbstractButton*>(object), &QAbstractButton::clicked, this, clickOf(c));
        break;
    case ControlKind::MenuEntry: connect(static_cast<QAction*>(object), &QAction::triggered, this, clickOf(c)); break;
    case ControlKind::OptionButton: connectOption(c, static_cast<QAbstractButton*>(object)); break;
    case ControlKind::TextBox: connectTyping(c, static_cast<QLineEdit*>(object)); break;
    case ControlKind::ComboBox: connectComboBox(c, static_cast<QComboBox*>(object)); break;
    case ControlKind::ListBox: connectListBox(c, static_cast<QListWidget*>(object)); break;
    case ControlKind::Label: static_cast<QLabel*>(object)->setTextFormat(Qt::PlainText); break;
    case ControlKind::Frame:
    case ControlKind::Line:
    case ControlKind::Plot: break;
    }
}

std::function<void()> FormBinding::clickOf(Control* c)
{
    Binder* binder = &binder_;
    return [binder, c] {
        if (binder->updating()) return;
        binder->dispatch([c] {
            if (c->onClick) c->onClick();
        });
    };
}

std::function<void(int)> FormBinding::pickOf(Control* c)
{
    Binder* binder = &binder_;
    return [binder, c](int position) {
        if (binder->updating() || position < 0) return;
        binder->dispatch([c, position] { c->userPick(position); });
    };
}

void FormBinding::connectOption(Control* c, QAbstractButton* button)
{
    Binder* binder = &binder_;
    // The window logic decides which options exclude each other.
    button->setAutoExclusive(false);
    button->setCheckable(true);
    connect(button, &QAbstractButton::clicked, this, [binder, c] {
        if (binder->updating()) return;
        binder->dispatch([c] {
            c->setValue(true);
            if (c->onClick) c->onClick();
        });
    });
}

void FormBinding::connectTyping(Control* c, QLineEdit* edit)
{
    Binder* binder = &binder_;
    connect(edit, &QLineEdit::textEdited, this, [binder, c, edit](const QString& text) {
        if (!binder->updating()) binder->typed(*c, edit, text);
    });
}

void FormBinding::connectComboBox(Control* c, QComboBox* combo)
{
    // The list is the window logic's: nothing typed is added to it, and no completion
    // changes what the user typed.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setDuplicatesEnabled(true);  // Return in the edit then picks nothing either
    connect(combo, &QComboBox::activated, this, pickOf(c));
    if (QLineEdit* edit = combo->lineEdit()) {
        combo->setCompleter(nullptr);
        // A form may ask (property completeContains) for a popup of the items that contain what
        // is typed, in any case; choosing one is a pick of that item.
        if (combo->property("completeContains").toBool()) {
            auto* completer = new QCompleter(combo->model(), combo);
            completer->setFilterMode(Qt::MatchContains);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            completer->setCompletionMode(QCompleter::PopupCompletion);
            combo->setCompleter(completer);
        }
        connectTyping(c, edit);
    }
}

void FormBinding::connectListBox(Control* c, QListWidget* list)
{
    auto pick = pickOf(c);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);  // long lists (thousands of species) lay out at once
    list->viewport()->installEventFilter(this);
    // A pick is a change of the selection. Qt also moves the current row by itself when the
    // list first takes the focus, without selecting anything: that is no pick.
    connect(list, &QListWidget::itemSelectionChanged, this, [this, pick, list] {
        const auto selected = list->selectedItems();
        if (selected.isEmpty()) return;
        listPickDone_ = true;
        pick(list->row(selected.first()));
    });
    connect(list, &QListWidget::itemClicked, this, [this, pick, list](QListWidgetItem* item) {
        // A click on the item that was already selected is a pick of its own.
        if (listPickDone_) return;
        listPickDone_ = true;
        pick(list->row(item));
    });
}

bool FormBinding::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == top_ && event->type() == QEvent::Close) {
        auto* close = static_cast<QCloseEvent*>(event);
        if (binder_.userClose(window_))
            close->accept();
        else
            close->ignore();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && qobject_cast<QListWidget*>(watched->parent()))
        listPickDone_ = false;
    return false;
}

void FormBinding::update()
{
    if (!top_) return;
    const QString title = fromCp1252(window_.caption());
    if (top_->windowTitle() != title) top_->setWindowTitle(title);
    for (Bound& b : bound_) updateControl(b);
    for (Bound& b : bound_) updateState(b);
    if (keyboard_) keyboard_->applyFocus();
}

void FormBinding::updateControl(Bound& b)
{
    QObject* object = b.object;
    if (!object) return;
    const Control& c = *b.control;
    const bool shown = c.shown();
    const QSignalBlocker block(object);

    if (auto* action = qobject_cast<QAction*>(object)) {
        const QString caption = captionWithMnemonic(c.caption(), c.mnemonic());
        if (action->text() != caption) action->setText(caption);
        if (action->isVisible() != shown) action->setVisible(shown);
        return;
    }

    auto* widget = static_cast<QWidget*>(object);
    switch (c.kind()) {
    case ControlKind::Label: updateLabel(c, static_cast<QLabel*>(widget)); break;
    case ControlKind::CommandButton:
    case ControlKind::OptionButton: updateButton(c, static_cast<QAbstractButton*>(widget)); break;
    case ControlKind::Frame:
        if (auto* box = qobject_cast<QGroupBox*>(widget)) updateFrame(c, box);
        break;
    case ControlKind::TextBox: updateTextBox(c, static_cast<QLineEdit*>(widget)); break;
    case ControlKind::ListBox: updateListBox(b, static_cast<QListWidget*>(widget)); break;
    case ControlKind::ComboBox: updateComboBox(b, static_cast<QComboBox*>(widget)); break;
    case ControlKind::Plot:
        if (plotDrawer) plotDrawer(*widget, c);
        break;
    case ControlKind::Line:
    case ControlKind::MenuEntry: break;
    }
    // Hidden when asked explicitly; a child of a window not yet shown counts as hidden too, and
    // showing it then only clears that.
    if (widget->isHidden() == shown) widget->setVisible(shown);
}

void FormBinding::updateLabel(const Control& c, QLabel* label)
{
    // A label may show a character the window's code page lacks ("ΔH"): then the shown caption,
    // in UTF-8, stands beside the caption scripts read.
    const QString caption = c.shownCaption().empty() ? fromCp1252(c.caption()) : QString::fromUtf8(c.shownCaption());
    if (label->text() != caption) label->setText(caption);
}

void FormBinding::updateButton(const Control& c, QAbstractButton* button)
{
    const QString caption = captionWithMnemonic(c.caption(), c.mnemonic());
    if (button->text() != caption) button->setText(caption);
    if (c.kind() == ControlKind::OptionButton && button->isChecked() != c.value()) button->setChecked(c.value());
}

void FormBinding::updateFrame(const Control& c, QGroupBox* box)
{
    const QString caption = captionWithMnemonic(c.caption(), c.mnemonic());
    if (box->title() != caption) box->setTitle(caption);
}

void FormBinding::updateTextBox(const Control& c, QLineEdit* edit)
{
    const QString text = fromCp1252(c.text());
    // Left alone when equal, so that the user's cursor stays where it was. A text the window
    // logic puts into a box the user is not in shows from its start (a long reference), not its end.
    if (edit->text() == text) return;
    edit->setText(text);
    if (!edit->hasFocus()) edit->setCursorPosition(0);
}

bool FormBinding::itemsChanged(Bound& b)
{
    const Control& c = *b.control;
    if (b.itemsShown && b.itemsRevision == c.itemsRevision()) return false;
    b.itemsShown = true;
    b.itemsRevision = c.itemsRevision();
    return true;
}

void FormBinding::updateListBox(Bound& b, QListWidget* list)
{
    const Control& c = *b.control;
    if (itemsChanged(b)) {
        list->clear();
        list->addItems(itemsOf(c));
    }
    const int row = c.listIndex();
    if (row < 0) {
        if (list->currentRow() >= 0) list->setCurrentRow(-1);
        if (!list->selectedItems().isEmpty()) list->clearSelection();
    } else if (list->currentRow() != row || !list->item(row)->isSelected()) {
        list->setCurrentRow(row);
    }
}

void FormBinding::updateComboBox(Bound& b, QComboBox* combo)
{
    const Control& c = *b.control;
    QLineEdit* edit = combo->lineEdit();
    const QSignalBlocker blockEdit(edit);
    // Changing the current item rewrites the edit; the cursor stays when the text comes
    // back as it was.
    const QString editBefore = edit ? edit->text() : QString();
    const int cursor = edit ? edit->cursorPosition() : 0;
    if (itemsChanged(b)) {
        combo->clear();
        combo->addItems(itemsOf(c));
    }
    if (combo->currentIndex() != c.listIndex()) combo->setCurrentIndex(c.listIndex());
    if (combo->isEditable()) {
        const QString text = fromCp1252(c.text());
        if (combo->currentText() != text) combo->setEditText(text);
        if (edit->text() == editBefore && edit->cursorPosition() != cursor) edit->setCursorPosition(cursor);
    }
}

// ---- Binder ---------------------------------------------------------------------------------

Binder::Binder(forms::Application& app) : app_(app)
{
    notice = [this](const QString& text, const QString& title) {
        app_.message(toCp1252Lossy(text), toCp1252Lossy(title), forms::Buttons::Ok, forms::Icon::Exclamation);
    };
}

Binder::~Binder() { clear(); }

FormBinding& Binder::bind(forms::Window& window, QWidget& top)
{
    auto fresh = std::make_unique<FormBinding>(*this, window, top);
    for (auto& b : bindings_)
        if (&b->window() == &window) {
            b = std::move(fresh);
            return *b;
        }
    bindings_.push_back(std::move(fresh));
    return *bindings_.back();
}

FormBinding* Binder::find(const forms::Window& window) const
{
    for (const auto& b : bindings_)
        if (&b->window() == &window) return b.get();
    return nullptr;
}

void Binder::clear() { bindings_.clear(); }

void Binder::dispatch(const std::function<void()>& handler)
{
    if (app_.ended()) return;
    try {
        app_.dispatch(handler);
    } catch (...) {
        // Nothing may leave through Qt's event loop; the Application has shown what it knows.
        qWarning("quenvar: an event handler failed with an unknown exception");
    }
    updateAll();
}

void Binder::updateAll()
{
    ++updating_;
    for (const auto& b : bindings_)
        if (b->window().isOpen()) b->update();
    --updating_;
}

void Binder::typed(Control& control, QLineEdit* edit, const QString& text)
{
    char32_t refused = 0;
    std::optional<std::string> bytes = toCp1252(text, &refused);
    if (!bytes) {
        // Back to the control's text first, with the cursor where the refused text ended, then
        // the notice.
        const int cursor = edit ? edit->cursorPosition() : 0;
        updateAll();
        if (edit)
            edit->setCursorPosition(std::max<int>(0, cursor - static_cast<int>(text.size() - edit->text().size())));
        const QString message = refusedCharacterText(refused);
        dispatch([this, &message] {
            if (notice) notice(message, QStringLiteral("Quenvar"));
        });
        return;
    }
    dispatch([&control, &bytes] { control.userType(std::move(*bytes)); });
}

bool Binder::userClose(forms::Window& window)
{
    if (!window.isOpen() || app_.ended()) return true;
    try {
        app_.userClose(window);
    } catch (...) {
        qWarning("quenvar: closing window %s failed with an unknown exception", window.formName().c_str());
    }
    updateAll();
    return !window.isOpen() || app_.ended();
}

// ---- Enabled state, mnemonics, status line --------------------------------------------------

QString captionWithMnemonic(const std::string& caption, char mnemonic)
{
    QString text = fromCp1252(caption);
    if (!mnemonic) return text;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const QChar letter = QLatin1Char(mnemonic);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            ++i;  // a doubled "&" of the caption
            continue;
        }
        if (text[i].toUpper() == letter.toUpper()) {
            text.insert(i, QLatin1Char('&'));
            return text;
        }
    }
    return text + QStringLiteral(" (&") + letter.toUpper() + QLatin1Char(')');
}

void FormBinding::updateState(Bound& b)
{
    QObject* object = b.object;
    if (!object) return;
    const bool enabled = b.control->enabled();
    if (auto* action = qobject_cast<QAction*>(object)) {
        if (action->isEnabled() != enabled) action->setEnabled(enabled);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (widget->isEnabled() != enabled) widget->setEnabled(enabled);
    }
}

QString statusAgeText(qint64 milliseconds)
{
    const qint64 tenths = milliseconds / 100;
    if (tenths < 100) return QStringLiteral("(%1.%2 s ago)").arg(tenths / 10).arg(tenths % 10);
    if (milliseconds < 60000) return QStringLiteral("(%1 s ago)").arg(milliseconds / 1000);
    return QStringLiteral("(%1 min ago)").arg(milliseconds / 60000);
}

namespace {

// Beside the status line in the status bar: how long ago its message was given, so that
// "Saved demo.mdb" read a minute later is not taken for a save just made.
class StatusAge : public QLabel {
public:
    explicit StatusAge(QLabel* status) : status_(status)
    {
        setObjectName(QStringLiteral("lblStatusAge"));
        setTextFormat(Qt::PlainText);
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] { refresh(); });
        timer->start(100);
    }

private:
    void refresh()
    {
        if (!status_) return;
        if (status_->text() != shown_) {
            shown_ = status_->text();
            since_.start();
        }
        const QString age = shown_.isEmpty() ? QString() : statusAgeText(since_.elapsed());
        if (text() != age) setText(age);
    }

    QPointer<QLabel> status_;
    QString shown_;
    QElapsedTimer since_;
};

}  // namespace

void FormBinding::provideStatusLine()
{
    if (!window_.find("lblStatus") || top_->findChild<QWidget*>(QStringLiteral("lblStatus"))) return;
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("lblStatus"));
    label->setTextFormat(Qt::PlainText);
    if (auto* main = qobject_cast<QMainWindow*>(top_.data())) {
        main->statusBar()->addWidget(label);
        main->statusBar()->addWidget(new StatusAge(label), 1);
    } else if (auto* grid = qobject_cast<QGridLayout*>(top_->layout())) {
        grid->addWidget(label, grid->rowCount(), 0, 1, -1);
    } else if (auto* box = qobject_cast<QBoxLayout*>(top_->layout())) {
        box->addWidget(label);
    } else {
        label->setParent(top_);  // no layout to join: at least the window holds it
    }
}

// ---- Keyboard -------------------------------------------------------------------------------

namespace {

struct NamedKey {
    const char* name;
    Qt::Key key;
};
constexpr NamedKey namedKeys[] = {
    {"Return", Qt::Key_Return}, {"Return", Qt::Key_Enter},        {"Escape", Qt::Key_Escape},
    {"Delete", Qt::Key_Delete}, {"Backspace", Qt::Key_Backspace}, {"Tab", Qt::Key_Tab},
    {"Insert", Qt::Key_Insert}, {"Home", Qt::Key_Home},           {"End", Qt::Key_End},
    {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},   {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},     {"Left", Qt::Key_Left},           {"Right", Qt::Key_Right},
    {"Space", Qt::Key_Space},
};

bool isTextEdit(const forms::Control& c)
{
    return c.kind() == ControlKind::TextBox || c.kind() == ControlKind::ComboBox;
}

}  // namespace

std::optional<std::string> keysOf(const QKeyEvent& event)
{
    const int key = event.key();
    std::string name;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        name = std::string(1, static_cast<char>('A' + (key - Qt::Key_A)));
    else if (key >= Qt::Key_0 && key <= Qt::Key_9)
        name = std::string(1, static_cast<char>('0' + (key - Qt::Key_0)));
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        name = "F" + std::to_string(key - Qt::Key_F1 + 1);
    else
        for (const NamedKey& k : namedKeys)
            if (k.key == key) {
                name = k.name;
                break;
            }
    if (name.empty()) return std::nullopt;
    const Qt::KeyboardModifiers m = event.modifiers();
    std::string keys = std::string((m & Qt::ControlModifier) ? "Ctrl+" : "") +
                       ((m & Qt::ShiftModifier) ? "Shift+" : "") + ((m & Qt::AltModifier) ? "Alt+" : "") + name;
    return forms::normalizeKeys(keys);
}

QKeySequence keySequenceOf(const std::string& keys)
{
    const std::optional<std::string> normal = forms::normalizeKeys(keys);
    if (!normal) return {};
    std::string_view k = *normal;
    Qt::KeyboardModifiers mods;
    for (auto [prefix, mod] :
         {std::pair{"Ctrl+", Qt::ControlModifier}, {"Shift+", Qt::ShiftModifier}, {"Alt+", Qt::AltModifier}})
        if (k.rfind(prefix, 0) == 0) {
            mods |= mod;
            k.remove_prefix(std::string_view(prefix).size());
        }
    Qt::Key key = Qt::Key_unknown;
    if (k.size() == 1 && k[0] >= 'A' && k[0] <= 'Z')
        key = static_cast<Qt::Key>(Qt::Key_A + (k[0] - 'A'));
    else if (k.size() == 1 && k[0] >= '0' && k[0] <= '9')
        key = static_cast<Qt::Key>(Qt::Key_0 + (k[0] - '0'));
    else if (k.size() >= 2 && k[0] == 'F')
        key = static_cast<Qt::Key>(Qt::Key_F1 + std::stoi(std::string(k.substr(1))) - 1);
    else
        for (const NamedKey& n : namedKeys)
            if (k == n.name) {
                key = n.key;
                break;
            }
    if (key == Qt::Key_unknown) return {};
    return QKeySequence(QKeyCombination(mods, key));
}

KeyboardBinding::KeyboardBinding(FormBinding& form, Binder& binder) : QObject(&form), form_(form), binder_(binder)
{
    forms::Window& window = form.window();
    QWidget* top = form.top();
    // Alt+letter of a mnemonic the form carries is Qt's own (a button press, a menu opening).
    auto nativeMnemonic = [&](const std::string& keys) {
        if (keys.size() != 5 || keys.rfind("Alt+", 0) != 0) return false;
        for (const auto& c : window.controls())
            if (c->mnemonic() && QChar(QLatin1Char(c->mnemonic())).toUpper() == QLatin1Char(keys[4]) &&
                form.objectOf(*c))
                return true;
        return false;
    };
    for (const auto& s : window.shortcuts()) {
        if (nativeMnemonic(s.keys)) continue;
        std::vector<QKeySequence> sequences{keySequenceOf(s.keys)};
        if (s.keys == "Return") sequences.push_back(QKeySequence(Qt::Key_Enter));  // the keypad's Enter
        for (const QKeySequence& sequence : sequences) {
            if (sequence.isEmpty()) continue;
            auto* shortcut = new QShortcut(sequence, top);
            shortcut->setContext(Qt::WindowShortcut);
            shortcuts_.emplace_back(shortcut);
            const std::string keys = s.keys;
            connect(shortcut, &QShortcut::activated, this, [this, keys] {
                if (binder_.updating()) return;
                binder_.dispatch([this, &keys] { form_.window().pressKey(keys); });
            });
        }
    }
    for (const auto& c : window.controls()) {
        auto* widget = qobject_cast<QWidget*>(form.objectOf(*c));
        if (!widget) continue;
        widget->installEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            if (combo->lineEdit()) combo->lineEdit()->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusChanged(now); });
}

KeyboardBinding::~KeyboardBinding()
{
    for (const QPointer<QObject>& shortcut : shortcuts_) delete shortcut.data();
}

forms::Control* KeyboardBinding::controlOf(const QWidget* widget) const
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == form_.top()) return nullptr;
        for (const auto& c : form_.window().controls())
            if (form_.objectOf(*c) == w) return c.get();
    }
    return nullptr;
}

void KeyboardBinding::focusChanged(QWidget* now)
{
    if (!now || binder_.updating()) return;
    forms::Control* c = controlOf(now);
    if (!c || form_.window().focus() == c) return;
    form_.window().setFocus(c);
    focusApplied_ = form_.window().focusRevision();  // the widgets have it already
}

void KeyboardBinding::applyFocus()
{
    forms::Window& window = form_.window();
    if (focusApplied_ == window.focusRevision()) return;
    focusApplied_ = window.focusRevision();
    forms::Control* c = window.focus();
    if (!c) return;
    if (auto* widget = qobject_cast<QWidget*>(form_.objectOf(*c))) widget->setFocus(Qt::OtherFocusReason);
}

bool KeyboardBinding::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    forms::Control* c = widget ? controlOf(widget) : nullptr;
    if (!c) return false;
    const std::optional<std::string> keys = keysOf(*static_cast<QKeyEvent*>(event));
    if (!keys) return false;
    forms::Window& window = form_.window();
    if (event->type() == QEvent::ShortcutOverride) {
        // A text box keeps exactly the keys the model's text box keeps, whatever the desktop's
        // own key bindings say (Ctrl+K deletes to the end of the line on some, Ctrl+Backspace is
        // left to shortcuts on others): claimed keys reach the edit, the rest the window.
        if (!isTextEdit(*c)) return false;
        if (forms::textBoxKeeps(*keys)) {
            event->accept();
            return true;
        }
        return window.findShortcut(*keys) != nullptr;
    }
    // An arrow key on an option of a group chooses within the group as the model does (Qt's own
    // arrow handling only moves the focus among options that are not exclusive by themselves).
    const bool arrow = *keys == "Up" || *keys == "Down" || *keys == "Left" || *keys == "Right";
    if (arrow && c->kind() == ControlKind::OptionButton && !c->group().empty()) {
        if (!binder_.updating()) binder_.dispatch([&] { window.pressKey(*keys); });
        return true;
    }
    // A key the window has no shortcut for reaches the focused widget: its control's key
    // handler sees it first.
    if (!c->onKey || window.findShortcut(*keys) || binder_.updating()) return false;
    bool handled = false;
    binder_.dispatch([&] { handled = c->onKey && c->onKey(*keys); });
    return handled;
}

}  // namespace qv::qt
