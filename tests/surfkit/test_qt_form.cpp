// The real frmMaindb built from its .ui file and bound to the window logic, on Qt's offscreen
// platform: every control finds its widget, a click on a widget runs the control's handler, and the
// buttons stay where they are whatever the window shows above them.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include "quenvar/qt/binding.h"
#include "quenvar/qt/qtmain.h"
#include "script_fixture.h"
#include "surfkit/window.h"
#include "ui_frmMaindb.h"

using namespace sktest;

namespace {

// Made at first use and never destroyed: it outlives every widget of the process.
QApplication& qtApp()
{
    static int argc = 1;
    static char name[] = "surfkit_qt_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Answers Yes to every question and cancels every dialog.
struct QuietPlatform : qv::forms::Platform {
    qv::forms::Answer message(const std::string& text, const std::string&, qv::forms::Buttons buttons,
                              qv::forms::Icon) override
    {
        messages.push_back(text);
        return buttons == qv::forms::Buttons::YesNo ? qv::forms::Answer::Yes : qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
    std::vector<std::string> messages;
};

}  // namespace

TEST(SurfkitQtForm, EveryControlHasItsWidgetAndClicksReachTheHandlers)
{
    qtApp();
    DataDir d("s.mdb", crlf({R"(300030,"CuOH+",0,-8,0,0,1,0,0,0,0,2)", "1,30,-1,3"}) + endBlock);
    d.handOff();

    QuietPlatform platform;
    qv::forms::Application app(platform);
    surfkit::Program program(app, d.dir.path());
    std::unique_ptr<QWidget> widget(qv::qt::buildForm<Ui::frmMaindb, QMainWindow>());
    qv::qt::Binder binder(app);
    qv::qt::FormBinding& binding = binder.bind(program.mainWindow(), *widget);
    app.open(program.mainWindow());
    binder.updateAll();
    widget->show();

    for (const std::string& problem : binding.problems()) ADD_FAILURE() << problem;
    for (const auto& control : program.mainWindow().controls())
        EXPECT_NE(binding.objectOf(*control), nullptr) << control->qualifiedName();
    EXPECT_EQ(widget->objectName(), "frmMaindb");
    EXPECT_EQ(widget->windowTitle(), "s.mdb - Sorption / complexation database editor for Quenvar");

    auto* list = widget->findChild<QListWidget*>("lstReactions");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "CuOH+");

    // A click on the species shows it; a click on "Add new species" opens the entry.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(program.frmMaindb()("txtName").text(), "CuOH+");
    EXPECT_EQ(widget->findChild<QLineEdit*>("txtComp_1")->text(), "Cu+2");
    EXPECT_TRUE(widget->findChild<QLineEdit*>("txtStoich_2")->isVisible());

    auto* addnew = widget->findChild<QPushButton*>("cmdAddnew");
    ASSERT_NE(addnew, nullptr);
    QTest::mouseClick(addnew, Qt::LeftButton);
    EXPECT_TRUE(program.frmMaindb()("txtSpname").visible());
    EXPECT_TRUE(widget->findChild<QLineEdit*>("txtSpname")->isVisible());
    EXPECT_FALSE(widget->findChild<QLineEdit*>("txtStoich_2")->isVisible());
    auto* comps = widget->findChild<QComboBox*>("cboComp");
    ASSERT_NE(comps, nullptr);
    EXPECT_EQ(comps->count(), program.frmMaindb()("cboComp").listCount());
    EXPECT_EQ(comps->itemText(comps->count() - 1), "H2O");
    EXPECT_TRUE(platform.messages.empty());

    binder.clear();
}

TEST(SurfkitQtForm, ButtonsKeepTheirPlaceWhateverRowsAreShown)
{
    qtApp();
    const std::string one = crlf({R"(90030,"One",0,1,0,0,2,0,0,0,0,1)", "1,9"});
    const std::string eight = crlf({R"(300030,"Eight",0,1,0,0,0,0,0,0,0,8)", "1,30,1,3,1,5,1,9,1,31,1,50,1,54,1,1"});
    DataDir d("s.mdb", one + eight + endBlock);
    d.handOff();

    QuietPlatform platform;
    qv::forms::Application app(platform);
    surfkit::Program program(app, d.dir.path());
    std::unique_ptr<QWidget> widget(qv::qt::buildForm<Ui::frmMaindb, QMainWindow>());
    qv::qt::Binder binder(app);
    binder.bind(program.mainWindow(), *widget);
    app.open(program.mainWindow());
    binder.updateAll();
    widget->show();

    const char* const buttons[] = {"cmdAddnew", "cmdDelete", "cmdSavedb", "cmdNewDb", "cmdCompdb", "cmdQuit"};
    auto places = [&] {
        QApplication::processEvents();
        std::vector<QRect> out;
        for (const char* name : buttons) {
            auto* b = widget->findChild<QPushButton*>(name);
            out.push_back(b ? QRect(b->mapTo(widget.get(), QPoint(0, 0)), b->size()) : QRect());
        }
        return out;
    };
    auto list = widget->findChild<QListWidget*>("lstReactions");
    ASSERT_NE(list, nullptr);
    auto pick = [&](int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    };

    pick(0);
    const std::vector<QRect> withOneRow = places();
    pick(1);
    ASSERT_TRUE(widget->findChild<QLineEdit*>("txtStoich_8")->isVisible());
    const std::vector<QRect> withEightRows = places();
    QTest::mouseClick(widget->findChild<QPushButton*>("cmdAddnew"), Qt::LeftButton);
    ASSERT_TRUE(widget->findChild<QLineEdit*>("txtSpname")->isVisible());
    const std::vector<QRect> withEntry = places();

    for (std::size_t k = 0; k < std::size(buttons); ++k) {
        SCOPED_TRACE(buttons[k]);
        EXPECT_EQ(withOneRow[k], withEightRows[k]);
        if (std::string(buttons[k]) != "cmdDelete") {  // hidden in the entry
            EXPECT_EQ(withOneRow[k], withEntry[k]);
        }
    }
    binder.clear();
}
