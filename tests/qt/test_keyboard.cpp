// The keyboard under Qt as in script mode: shortcuts through the model's routing, key handlers of
// the focused control, focus kept the same in widgets and model, mnemonics beside the captions,
// the enabled state, the status line, the Save/Discard/Cancel box, and the Open dialogs never
// listing a backup.

#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "qtapp.h"
#include "quenvar/backup.h"
#include "quenvar/qt/binding.h"
#include "quenvar/qt/qtmain.h"
#include "quenvar/qt/qtplatform.h"
#include "testsupport.h"
#include "ui_frmTest.h"

using namespace qv::forms;
using qv::qt::Binder;

namespace {

struct KeyForm {
    explicit KeyForm(Application& app) : win(app, "frmTest", "Keys")
    {
        cmdSave.setMnemonic('S');
        mnuFile.setMnemonic('F');
        mnuFileOpen.setMnemonic('O');
        mnuFileOpen.setContainer(&mnuFile);
        cmdSave.onClick = [this] { note("save"); };
        mnuFileOpen.onClick = [this] { note("open"); };
        lstItems.onKey = [this](const std::string& keys) {
            if (keys != "Delete") return false;
            note("delete");
            return true;
        };
        win.shortcut("Ctrl+S", cmdSave);
        win.shortcut("Ctrl+Z", [this] { note("undo"); });
        win.shortcut("Ctrl+K", [this] { note("ctrl+k"); });
        win.shortcut("Return", [this] { note("return"); });
        win.shortcut("Ctrl+Delete", [this] { note("ctrl+delete"); });
        win.setStartFocus(&txtName);
    }
    void note(const std::string& what) { log += (log.empty() ? "" : ";") + what; }

    Window win;
    std::string log;
    Control& lblName = win.label("lblName", "Name & more");
    Control& txtName = win.textBox("txtName");
    Control& txtComp1 = win.textBox("txtComp", true, 1);
    Control& lstItems = win.listBox("lstItems");
    Control& cmdSave = win.button("cmdSave", "Save");
    Control& cmdFail = win.button("cmdFail", "Fail");
    Control& mnuFile = win.menu("mnuFile", "File");
    Control& mnuFileOpen = win.menu("mnuFileOpen", "Open");
    Control& lblStatus = win.statusLine();
};

class Keyboard : public ::testing::Test {
protected:
    Keyboard()
    {
        qvtest::qtApp();
        form.lstItems.addItem("a");
        widget.reset(qv::qt::buildForm<Ui::frmTest, QMainWindow>());
        binder = std::make_unique<Binder>(app);
        binder->bind(form.win, *widget);
        app.open(form.win);
        binder->updateAll();
        widget->show();
        QApplication::setActiveWindow(widget.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(widget.get()));
    }

    template <class W>
    W* get(const char* name)
    {
        W* w = widget->findChild<W*>(name);
        if (!w) ADD_FAILURE() << "no widget " << name;
        return w;
    }

    qvtest::RecordingPlatform platform;
    Application app{platform};
    KeyForm form{app};
    std::unique_ptr<QWidget> widget;
    std::unique_ptr<Binder> binder;
};

}  // namespace

TEST(Mnemonics, MarkedInTheWidgetOnly)
{
    const struct {
        const char* caption;
        char letter;
        const char* shown;
    } cases[] = {
        {"Save", 'S', "&Save"},
        {"Save as", 'a', "S&ave as"},
        {"Undo last save", 'L', "Undo &last save"},
        {"Salt & pepper", 'p', "Salt && &pepper"},
        {"Quit", 'X', "Quit (&X)"},
        {"&Save", 0, "&Save"},  // no mnemonic: the caption as it is
    };
    for (const auto& c : cases) EXPECT_EQ(qv::qt::captionWithMnemonic(c.caption, c.letter), c.shown) << c.caption;
}

TEST(Keys, KeySequencesAndKeyEventsSpeakTheModelsSpelling)
{
    for (const char* keys : {"Ctrl+S", "Ctrl+Shift+S", "Ctrl+O", "Ctrl+Q", "Ctrl+Z", "Ctrl+F", "Ctrl+K", "F1", "F12",
                             "Alt+F", "Delete", "Return", "Escape", "Ctrl+1", "PageDown"}) {
        const QKeySequence sequence = qv::qt::keySequenceOf(keys);
        ASSERT_EQ(sequence.count(), 1) << keys;
        const QKeyCombination combination = sequence[0];
        const QKeyEvent event(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        EXPECT_EQ(qv::qt::keysOf(event), std::optional<std::string>(keys)) << keys;
    }
    EXPECT_TRUE(qv::qt::keySequenceOf("Ctrl+Banana").isEmpty());
    const QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(qv::qt::keysOf(enter), std::optional<std::string>("Return"));
    const QKeyEvent shiftAlone(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(qv::qt::keysOf(shiftAlone), std::nullopt);
}

TEST_F(Keyboard, CaptionsKeepTheirTextWhileWidgetsCarryTheMnemonic)
{
    EXPECT_EQ(form.cmdSave.caption(), "Save");
    EXPECT_EQ(get<QPushButton>("cmdSave")->text(), "&Save");
    EXPECT_EQ(get<QMenu>("mnuFile")->title(), "&File");
    EXPECT_EQ(get<QAction>("mnuFileOpen")->text(), "&Open");
}

TEST_F(Keyboard, EnabledStateAndStatusLineShow)
{
    form.cmdSave.setEnabled(false);
    form.mnuFileOpen.setEnabled(false);
    form.win.setStatus("Saved demo.mdb");
    binder->updateAll();
    EXPECT_FALSE(get<QPushButton>("cmdSave")->isEnabled());
    EXPECT_FALSE(get<QAction>("mnuFileOpen")->isEnabled());
    auto* status = get<QLabel>("lblStatus");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), "Saved demo.mdb");
    EXPECT_EQ(status->parentWidget(), static_cast<QMainWindow*>(widget.get())->statusBar());
    // Beside it, how long ago it was said.
    auto* age = get<QLabel>("lblStatusAge");
    ASSERT_NE(age, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return age->text().startsWith("(0."); }, 5000)) << qPrintable(age->text());
    form.win.setStatus("");
    binder->updateAll();
    EXPECT_TRUE(QTest::qWaitFor([&] { return age->text().isEmpty(); }, 5000)) << qPrintable(age->text());
    const struct {
        qint64 ms;
        const char* shown;
    } ages[] = {{1250, "(1.2 s ago)"}, {10000, "(10 s ago)"}, {60000, "(1 min ago)"}};  // each unit's first
    for (const auto& a : ages) EXPECT_EQ(qv::qt::statusAgeText(a.ms), a.shown);
    EXPECT_TRUE(binder->find(form.win)->problems().empty());

    // A disabled button's shortcut does nothing.
    QTest::keyClick(widget.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form.log, "");
    form.cmdSave.setEnabled(true);
    binder->updateAll();
    EXPECT_TRUE(get<QPushButton>("cmdSave")->isEnabled());
}

TEST_F(Keyboard, FocusIsTheSameInWidgetsAndModel)
{
    auto* name = get<QLineEdit>("txtName");
    EXPECT_TRUE(name->hasFocus());  // the start focus
    auto* list = get<QListWidget>("lstItems");
    list->setFocus(Qt::TabFocusReason);  // the user tabs to the list
    EXPECT_EQ(form.win.focus(), &form.lstItems);
    binder->dispatch([&] { form.win.setFocus(&form.txtComp1); });  // the program moves it
    EXPECT_TRUE(get<QLineEdit>("txtComp_1")->hasFocus());
}

TEST_F(Keyboard, KeysTakeTheSameWaysAsInScriptMode)
{
    auto* name = get<QLineEdit>("txtName");
    QTest::keyClicks(name, "Cu");
    EXPECT_EQ(form.txtName.text(), "Cu");
    // In a text box Ctrl+Z undoes typing there; Ctrl+K and Return go to the window.
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.txtName.text(), "");
    QTest::keyClick(name, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(name, Qt::Key_Return);
    QTest::keyClick(name, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form.log, "ctrl+k;return;save");
    // Ctrl+Delete deletes a word in the text box, whatever the desktop's key bindings leave to
    // shortcuts; outside a text box the window's shortcut takes it.
    QTest::keyClicks(name, "Cu ab");
    QTest::keyClick(name, Qt::Key_Home);
    QTest::keyClick(name, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(form.txtName.text(), "ab");
    EXPECT_EQ(form.log, "ctrl+k;return;save");

    // In the list, Delete is its own and Ctrl+Z is the window's.
    auto* list = get<QListWidget>("lstItems");
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(form.log, "ctrl+k;return;save;delete;undo;ctrl+delete");
}

TEST_F(Keyboard, ABoundAgainWindowHasItsShortcutsOnce)
{
    binder->bind(form.win, *widget);
    binder->updateAll();
    QTest::keyClick(widget.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form.log, "save");
}

TEST_F(Keyboard, AltLetterPressesTheButtonAndOpensTheMenu)
{
    QTest::keyClick(widget.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.log == "save"; }, 5000)) << form.log;
    auto* file = get<QMenu>("mnuFile");
    QTest::keyClick(widget.get(), Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return file->isVisible(); }, 5000));
    file->close();
}

TEST(SaveDiscardCancelBox, EscapeCancelsAndReturnSaves)
{
    qvtest::qtApp();
    qv::qt::QtPlatform platform;
    for (auto [key, expected] : {std::pair{Qt::Key_Escape, Answer::Cancel}, {Qt::Key_Return, Answer::Save}}) {
        QString buttons;
        QTimer::singleShot(0, [&, key = key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            for (QAbstractButton* b : box->buttons()) buttons += QString::number(box->standardButton(b), 16) + ' ';
            QTest::keyClick(box, key);
        });
        EXPECT_EQ(platform.message("Save changes to =SOCu+ before quitting?", "Quenvar", Buttons::SaveDiscardCancel,
                                   Icon::Question),
                  expected);
        for (auto b : {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel})
            EXPECT_TRUE(buttons.contains(QString::number(b, 16))) << qPrintable(buttons);
    }
}

TEST(BackupFiles, NoOpenDialogOfTheSuiteListsThem)
{
    qvtest::qtApp();
    qvtest::TempDir dir;
    for (const char* name : {"demo.mdb", "x.CDB", "x.ISO", "x.NIC", "x.BLI", "dabase.txt", "site.MSI.TXT"}) {
        dir.write(name, "");
        dir.write(qv::backupName(name), "");
        dir.write(qv::backupName(name) + ".new", "");  // the backup's temporary file
    }
    // Every filter the windows of the suite give their Open and Save dialogs.
    const char* const filters[] = {
        "Complexation database files (*.MDB)|*.MDB|Counterion selectivity files (*.CDB)|*.CDB|Isotherm database "
        "files (*.ISO)|*.ISO|NICA-Donnan database files (*.NIC)|*.NIC|BLM parameter files (*.BLI)|*.BLI",
        "Quenvar database files (*.MDB)|*.MDB",
        "Database files (*.MDB)|*.MDB",
        "Text files (*.TXT)|*.TXT|",
        "HBM site files (*.MSI.TXT)|*.MSI.TXT",
        "Databases (*.MDB;*.CDB)|*.MDB;*.CDB",
        "Text files (*.TXT)|*.TXT|Databases (*.MDB)|*.MDB",
    };
    for (const char* filter : filters) {
        QFileDialog dialog;
        qv::qt::configureFileDialog(dialog, DialogKind::Open, filter, "", dir.path());
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        dialog.show();
        for (const QString& entry : dialog.nameFilters()) {
            dialog.selectNameFilter(entry);
            auto listed = [&] {
                QStringList names;
                const QModelIndex root = model->index(QString::fromStdString(dir.path()));
                for (int i = 0; i < model->rowCount(root); ++i) {
                    const QModelIndex item = model->index(i, 0, root);
                    if (model->flags(item) & Qt::ItemIsEnabled) names << item.data().toString();
                }
                return names;
            };
            // Each entry lists its own file (so the listing is there), and never a backup.
            EXPECT_TRUE(QTest::qWaitFor([&] { return !listed().isEmpty(); }, 60000)) << qPrintable(entry);
            for (const QString& name : listed())
                EXPECT_FALSE(name.contains(QStringLiteral(".bak"), Qt::CaseInsensitive))
                    << qPrintable(entry) << ": " << qPrintable(name);
        }
        dialog.hide();
    }
}
