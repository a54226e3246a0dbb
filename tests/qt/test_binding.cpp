// A window of the window logic bound to a form built from a .ui file: what the model holds
// shows in the widgets, and what the user does on the widgets reaches the model.

#include <gtest/gtest.h>

#include <memory>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "qtapp.h"
#include "quenvar/error.h"
#include "quenvar/qt/binding.h"
#include "quenvar/qt/qtmain.h"
#include "ui_frmTest.h"

using namespace qv::forms;
using qv::qt::Binder;

namespace {

// The window logic of the test form.
struct TestForm {
    explicit TestForm(Application& app) : win(app, "frmTest", "Test window") {}
    Window win;
    Control& lblName = win.label("lblName", "Name");
    Control& txtName = win.textBox("txtName");
    Control& txtComp1 = win.textBox("txtComp", true, 1);
    Control& txtComp2 = win.textBox("txtComp", true, 2);
    Control& lstItems = win.listBox("lstItems");
    Control& cboKind = win.comboBox("cboKind");
    Control& fraModel = win.frame("fraModel", "Model");
    Control& optModel1 = win.option("optModel", "Linear", "model", 1);
    Control& optModel2 = win.option("optModel", "Langmuir", "model", 2);
    Control& line = win.line("Line1");
    Control& cmdSave = win.button("cmdSave", "&Save");
    Control& cmdFail = win.button("cmdFail", "Fail");
    Control& mnuFileOpen = win.menu("mnuFileOpen", "&Open");
};

class Binding : public ::testing::Test {
protected:
    Binding()
    {
        qvtest::qtApp();
        form.optModel1.setContainer(&form.fraModel);
        form.optModel2.setContainer(&form.fraModel);
        widget.reset(qv::qt::buildForm<Ui::frmTest, QMainWindow>());
        binder = std::make_unique<Binder>(app);
        binder->bind(form.win, *widget);
        app.open(form.win);
        binder->updateAll();
        widget->show();
    }

    template <class W>
    W* get(const char* name)
    {
        W* w = widget->findChild<W*>(name);
        if (!w) ADD_FAILURE() << "no widget " << name;
        return w;
    }

    // What the user clicks on the form. (A radio button takes clicks on its circle and text
    // only: click() presses it as the user would.)
    void click(const char* name)
    {
        auto* button = get<QAbstractButton>(name);
        if (qobject_cast<QRadioButton*>(button))
            button->click();
        else
            QTest::mouseClick(button, Qt::LeftButton);
    }

    qvtest::RecordingPlatform platform;
    Application app{platform};
    TestForm form{app};
    // Declared after the window logic, so they go first.
    std::unique_ptr<QWidget> widget;
    std::unique_ptr<Binder> binder;
};

}  // namespace

TEST_F(Binding, ModelShowsInTheWidgets)
{
    EXPECT_TRUE(binder->find(form.win)->problems().empty());
    form.win.setCaption("Sorption \x96 demo.mdb");
    form.lblName.setCaption(
        "Gr\xF6\xDF"
        "e");
    form.txtName.setText("Cu+2 sorbed");
    form.txtComp2.setVisible(false);
    for (const char* item : {"=SOH", "Cu+2 sorbed",
                             "H\xFC"
                             "ckel"})
        form.lstItems.addItem(item);
    form.lstItems.setListIndex(1);
    form.cboKind.addItem("Linear");
    form.cboKind.addItem("Langmuir");
    form.cboKind.setText("Langmuir");
    form.optModel2.setValue(true);
    form.fraModel.setCaption("Isotherm");
    form.mnuFileOpen.setCaption("&Open database");
    binder->updateAll();

    EXPECT_EQ(widget->windowTitle(), QString::fromUtf8("Sorption – demo.mdb"));
    EXPECT_EQ(get<QLabel>("lblName")->text(), QString::fromUtf8("Größe"));
    EXPECT_EQ(get<QLineEdit>("txtName")->text(), "Cu+2 sorbed");
    EXPECT_EQ(get<QLineEdit>("txtName")->cursorPosition(), 0);  // shown from its start
    EXPECT_TRUE(get<QLineEdit>("txtComp_2")->isHidden());
    EXPECT_FALSE(get<QLineEdit>("txtComp_1")->isHidden());
    auto* list = get<QListWidget>("lstItems");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), QString::fromUtf8("Hückel"));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(list->item(1)->isSelected());
    auto* combo = get<QComboBox>("cboKind");
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->currentText(), "Langmuir");
    EXPECT_FALSE(get<QRadioButton>("optModel_1")->isChecked());
    EXPECT_TRUE(get<QRadioButton>("optModel_2")->isChecked());
    EXPECT_EQ(get<QGroupBox>("fraModel")->title(), "Isotherm");
    EXPECT_EQ(get<QAction>("mnuFileOpen")->text(), "&Open database");

    // And back: a text not in the combo's list, no selection, a hidden frame with its options.
    form.cboKind.setText("Freundlich");
    form.lstItems.removeItem(1);
    form.fraModel.setVisible(false);
    form.txtComp2.setVisible(true);
    form.mnuFileOpen.setVisible(false);
    binder->updateAll();
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), "Freundlich");
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_TRUE(get<QGroupBox>("fraModel")->isHidden());
    EXPECT_FALSE(get<QLineEdit>("txtComp_2")->isHidden());
    EXPECT_FALSE(get<QAction>("mnuFileOpen")->isVisible());
}

TEST_F(Binding, ButtonClickRunsItsHandlerAndShowsTheResult)
{
    int clicks = 0;
    form.cmdSave.onClick = [&] {
        ++clicks;
        form.txtName.setText("saved");
        form.lblName.setCaption("Done");
    };
    click("cmdSave");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(get<QLineEdit>("txtName")->text(), "saved");
    EXPECT_EQ(get<QLabel>("lblName")->text(), "Done");

    int opens = 0;
    form.mnuFileOpen.onClick = [&] { ++opens; };
    get<QAction>("mnuFileOpen")->trigger();
    EXPECT_EQ(opens, 1);
}

TEST_F(Binding, FailingHandlerIsReportedAndTheWindowStays)
{
    form.cmdFail.onClick = [&] {
        form.lblName.setCaption("half done");
        throw qv::Error(qv::ErrorKind::FileNotFound, "comp.mdb");
    };
    click("cmdFail");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, "Quenvar error");
    EXPECT_EQ(platform.shown[0].text, "File not found: comp.mdb");
    EXPECT_EQ(platform.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(form.win.isOpen());
    EXPECT_TRUE(widget->isVisible());
    // What the handler did before it failed shows, and the next event runs as usual.
    EXPECT_EQ(get<QLabel>("lblName")->text(), "half done");
    int clicks = 0;
    form.cmdSave.onClick = [&] { ++clicks; };
    click("cmdSave");
    EXPECT_EQ(clicks, 1);
}

TEST_F(Binding, TypingStoresBytesAndRunsTheChangeEvent)
{
    std::vector<std::string> seen;
    form.txtName.onChange = [&] { seen.push_back(form.txtName.text()); };
    auto* edit = get<QLineEdit>("txtName");
    edit->setFocus();
    qvtest::typeText(edit, QString::fromUtf8("aü"));
    EXPECT_EQ(form.txtName.text(), "a\xFC");
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "a\xFC"}));
}

TEST_F(Binding, CharacterOutsideTheCodePageIsRefusedBeforeAnythingIsStored)
{
    form.txtName.setText("ab");
    binder->updateAll();
    int changes = 0;
    form.txtName.onChange = [&] { ++changes; };
    auto* edit = get<QLineEdit>("txtName");
    edit->setCursorPosition(1);
    qvtest::typeText(edit, QString::fromUtf8("ā"));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(form.txtName.text(), "ab");
    EXPECT_EQ(edit->text(), "ab");
    EXPECT_EQ(edit->cursorPosition(), 1);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_NE(platform.shown[0].text.find("U+0101"), std::string::npos) << platform.shown[0].text;
    EXPECT_EQ(platform.shown[0].buttons, Buttons::Ok);

    // The same in the edit of a combo box.
    form.cboKind.setText("x");
    binder->updateAll();
    qvtest::typeText(get<QComboBox>("cboKind")->lineEdit(), QString::fromUtf8("α"));
    EXPECT_EQ(form.cboKind.text(), "x");
    EXPECT_EQ(get<QComboBox>("cboKind")->currentText(), "x");
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_NE(platform.shown[1].text.find("U+03B1"), std::string::npos) << platform.shown[1].text;
}

TEST_F(Binding, CursorStaysWhereTheUserLeftIt)
{
    form.txtName.setText("abcdef");
    binder->updateAll();
    auto* edit = get<QLineEdit>("txtName");
    edit->setCursorPosition(2);
    form.cmdSave.onClick = [&] { form.lblName.setCaption("other"); };
    click("cmdSave");
    EXPECT_EQ(edit->cursorPosition(), 2);

    // Typing in the middle: the text comes back equal, so the cursor stays after the letter.
    qvtest::typeText(edit, "X");
    EXPECT_EQ(form.txtName.text(), "abXcdef");
    EXPECT_EQ(edit->cursorPosition(), 3);
}

TEST_F(Binding, LongListIsRebuiltOnlyWhenItsItemsChange)
{
    for (int i = 0; i < 4000; ++i) form.lstItems.addItem("species " + std::to_string(i));
    binder->updateAll();
    auto* list = get<QListWidget>("lstItems");
    ASSERT_EQ(list->count(), 4000);
    list->item(0)->setData(Qt::UserRole, 42);  // a rebuilt list would lose this

    form.cmdSave.onClick = [&] { form.lstItems.setListIndex(3999); };
    click("cmdSave");
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toInt(), 42);
    EXPECT_EQ(list->currentRow(), 3999);

    form.cmdSave.onClick = [&] { form.lstItems.addItem("one more"); };
    click("cmdSave");
    ASSERT_EQ(list->count(), 4001);
    EXPECT_EQ(list->item(4000)->text(), "one more");
}

TEST_F(Binding, UserPicksFromTheListOncePerClick)
{
    for (const char* item : {"first", "second", "third"}) form.lstItems.addItem(item);
    binder->updateAll();
    std::vector<int> picks;
    form.lstItems.onClick = [&] { picks.push_back(form.lstItems.listIndex()); };
    auto* list = get<QListWidget>("lstItems");
    list->doItemsLayout();
    auto clickRow = [&](int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    };
    clickRow(1);  // the row changes and the click follows: one pick
    EXPECT_EQ(picks, (std::vector<int>{1}));
    clickRow(1);  // the selected item again: a pick of its own
    EXPECT_EQ(picks, (std::vector<int>{1, 1}));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(picks, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(form.lstItems.text(), "third");

    // The window logic selecting a row is no pick.
    form.cmdSave.onClick = [&] { form.lstItems.setListIndex(0); };
    click("cmdSave");
    EXPECT_EQ(picks.size(), 3u);
    EXPECT_EQ(list->currentRow(), 0);
}

TEST_F(Binding, ComboBoxPickAndTyping)
{
    form.cboKind.addItem("Linear");
    form.cboKind.addItem("Langmuir");
    binder->updateAll();
    int picks = 0;
    int changes = 0;
    form.cboKind.onClick = [&] { ++picks; };
    form.cboKind.onChange = [&] { ++changes; };
    auto* combo = get<QComboBox>("cboKind");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);  // a pick with the keyboard
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(form.cboKind.listIndex(), 0);
    EXPECT_EQ(form.cboKind.text(), "Linear");

    // Typing in the middle of the picked text: the item is no longer selected, and the cursor
    // stays where the user types.
    combo->lineEdit()->setCursorPosition(3);
    qvtest::typeText(combo->lineEdit(), "X");
    EXPECT_EQ(form.cboKind.text(), "LinXear");
    EXPECT_EQ(combo->lineEdit()->cursorPosition(), 4);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(form.cboKind.text(), "Linear");
    EXPECT_EQ(form.cboKind.listIndex(), 0);  // typed back to an item: it is selected again

    QTest::keyClick(combo->lineEdit(), Qt::Key_End);
    qvtest::typeText(combo->lineEdit(), "x");
    EXPECT_EQ(form.cboKind.text(), "Linearx");
    EXPECT_EQ(form.cboKind.listIndex(), -1);
    EXPECT_EQ(picks, 1);
    EXPECT_GE(changes, 2);
    // Return adds nothing to the list: the list is the window logic's.
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(form.cboKind.listCount(), 2);
    EXPECT_EQ(combo->currentText(), "Linearx");
}

TEST_F(Binding, OptionButtonsFollowTheirGroupInTheModel)
{
    int clicks = 0;
    form.optModel2.onClick = [&] { ++clicks; };
    form.optModel1.setValue(true);
    binder->updateAll();
    auto* first = get<QRadioButton>("optModel_1");
    auto* second = get<QRadioButton>("optModel_2");
    EXPECT_TRUE(first->isChecked());

    click("optModel_2");
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(form.optModel2.value());
    EXPECT_FALSE(form.optModel1.value());
    EXPECT_TRUE(second->isChecked());
    EXPECT_FALSE(first->isChecked());

    // A click on the chosen option keeps it chosen.
    click("optModel_2");
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(second->isChecked());

    // An arrow key chooses the next option round the group, as the model does.
    form.win.setFocus(&form.optModel2);
    QTest::keyClick(second, Qt::Key_Down);
    EXPECT_TRUE(form.optModel1.value());
    EXPECT_FALSE(form.optModel2.value());
    EXPECT_TRUE(first->isChecked());
    EXPECT_FALSE(second->isChecked());
    EXPECT_EQ(form.win.focus(), &form.optModel1);

    // The window logic may leave a group with no option chosen.
    form.cmdSave.onClick = [&] { form.optModel1.setValue(false); };
    click("cmdSave");
    EXPECT_FALSE(first->isChecked());
    EXPECT_FALSE(second->isChecked());
}

// Tab reaches a group of options once, at its chosen option, and leaves it with the next Tab.
TEST_F(Binding, AnOptionGroupIsOneTabStop)
{
    qv::qt::setUpOptionGroups(widget.get());
    form.optModel2.setValue(true);
    binder->updateAll();
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget.get()));
    const struct {
        QWidget* from;
        Qt::Key key;
        QWidget* to;
    } steps[] = {
        {get<QComboBox>("cboKind"), Qt::Key_Tab, get<QRadioButton>("optModel_2")},
        {get<QRadioButton>("optModel_2"), Qt::Key_Tab, get<QPushButton>("cmdSave")},
        {get<QPushButton>("cmdSave"), Qt::Key_Backtab, get<QRadioButton>("optModel_2")},
    };
    for (const auto& step : steps) {
        step.from->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(step.from, step.key);
        EXPECT_EQ(QApplication::focusWidget(), step.to) << qPrintable(step.from->objectName());
    }
}

TEST_F(Binding, ClosingTheWindowGoesThroughTheModel)
{
    int asked = 0;
    form.win.onUserClose = [&] {
        ++asked;
        throw qv::Error(qv::ErrorKind::WriteFailed, "demo.mdb");
    };
    EXPECT_FALSE(widget->close());  // the close event failed: the window stays
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(form.win.isOpen());
    EXPECT_TRUE(widget->isVisible());

    form.win.onUserClose = [&] { ++asked; };
    EXPECT_TRUE(widget->close());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(app.ended());  // the main window's close ends the program
}

TEST(BindingProblems, MissingOrWrongWidgetsAreReportedWithoutACrash)
{
    qvtest::qtApp();
    qvtest::RecordingPlatform platform;
    Application app(platform);
    Window win(app, "frmTest", "Test");
    Control& name = win.label("lblName", "Name");
    win.textBox("txtNowhere");
    win.textBox("lblName", true, 0).setText("x");  // a text box whose widget is a label
    win.textBox("txtComp", true, 3);               // the form has txtComp_1 and _2 only
    std::unique_ptr<QWidget> widget(qv::qt::buildForm<Ui::frmTest, QMainWindow>());
    Binder binder(app);
    auto& binding = binder.bind(win, *widget);
    ASSERT_EQ(binding.problems().size(), 3u);
    EXPECT_NE(binding.problems()[0].find("txtNowhere"), std::string::npos);
    EXPECT_NE(binding.problems()[1].find("QLabel"), std::string::npos);
    EXPECT_NE(binding.problems()[2].find("txtComp_3"), std::string::npos);
    // The controls that did find their widgets work.
    app.open(win);
    name.setCaption("still bound");
    binder.updateAll();
    EXPECT_EQ(widget->findChild<QLabel*>("lblName")->text(), "still bound");
}

TEST(BindingCompletion, ComboBoxAskingForItCompletesWithItemsContainingTheTextInAnyCase)
{
    qvtest::qtApp();
    qvtest::RecordingPlatform platform;
    Application app(platform);
    TestForm form(app);
    std::unique_ptr<QWidget> widget(qv::qt::buildForm<Ui::frmTest, QMainWindow>());
    auto* combo = widget->findChild<QComboBox*>("cboKind");
    ASSERT_TRUE(combo);
    combo->setProperty("completeContains", true);
    Binder binder(app);
    binder.bind(form.win, *widget);
    for (const char* item : {"Linear", "Langmuir", "Freundlich"}) form.cboKind.addItem(item);
    int picks = 0;
    form.cboKind.onClick = [&] { ++picks; };
    app.open(form.win);
    binder.updateAll();
    widget->show();

    QCompleter* completer = combo->completer();
    ASSERT_TRUE(completer);
    combo->setFocus();
    qvtest::typeText(combo->lineEdit(), "UN");
    EXPECT_EQ(form.cboKind.text(), "UN");  // what was typed stays until a completion is chosen
    ASSERT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->currentCompletion(), "Freundlich");
    EXPECT_EQ(picks, 0);
    // Choosing it is a pick of that item.
    completer->popup()->setCurrentIndex(completer->completionModel()->index(0, 0));
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(form.cboKind.text(), "Freundlich");
    EXPECT_EQ(form.cboKind.listIndex(), 2);
}
