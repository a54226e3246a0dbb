// The windowed platform: windows built from their forms when opened, message boxes and dialogs
// (answered here without a screen), the end of the program, and the windowed main.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "qtapp.h"
#include "quenvar/error.h"
#include "quenvar/qt/qtmain.h"
#include "testsupport.h"
#include "ui_frmTest.h"

using namespace qv::forms;
using qv::qt::QtPlatform;

namespace {

// The message boxes and dialogs of the Qt platform, answered without showing them.
class AnsweringPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;
    struct Box {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };
    std::vector<Box> boxes;
    std::optional<QString> chosenFile;

protected:
    Answer showMessage(const QString& text, const QString& title, Buttons buttons, Icon icon) override
    {
        boxes.push_back({text, title, buttons, icon});
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> showFileDialog(DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return chosenFile;
    }
};

// A second window, its form built in code.
QWidget* buildOther()
{
    auto* top = new QWidget;
    top->setObjectName("frmOther");
    auto* layout = new QVBoxLayout(top);
    auto* label = new QLabel(top);
    label->setObjectName("lblInfo");
    layout->addWidget(label);
    auto* back = new QPushButton(top);
    back->setObjectName("cmdBack");
    layout->addWidget(back);
    return top;
}

struct TwoWindows : Program {
    explicit TwoWindows(Application& app) : main(app, "frmTest", "Main"), other(app, "frmOther", "Other")
    {
        main.label("lblName", "Name");
        main.textBox("txtName");
        main.button("cmdSave", "Open other").onClick = [this, &app] { app.open(other); };
        main.button("cmdFail", "Quit").onClick = [&app] { app.end(); };
        main.onLoad = [this] { main("txtName").setText("loaded"); };
        other.label("lblInfo", "Info");
        other.button("cmdBack", "Back").onClick = [this, &app] { app.close(other); };
    }
    Window& mainWindow() override { return main; }
    std::vector<Window*> windows() override { return {&main, &other}; }
    Window main;
    Window other;
};

class QtWindows : public ::testing::Test {
protected:
    QtWindows()
    {
        qvtest::qtApp();
        platform.attach(app);
        platform.onFinished = [this] { ++finishedCalls; };
    }
    ~QtWindows() override { platform.release(); }

    void openMain()
    {
        platform.binder().dispatch([&] { app.open(program.main); });
    }

    int builtMain = 0;
    int builtOther = 0;
    AnsweringPlatform platform{{{"frmTest",
                                 [this] {
                                     ++builtMain;
                                     return qv::qt::buildForm<Ui::frmTest, QMainWindow>();
                                 }},
                                {"frmOther", [this] {
                                     ++builtOther;
                                     return buildOther();
                                 }}}};
    Application app{platform};
    TwoWindows program{app};
    int finishedCalls = 0;
};

}  // namespace

TEST_F(QtWindows, WindowsAreBuiltWhenOpenedAndShownAsTheModelSays)
{
    EXPECT_EQ(platform.widgetOf(program.main), nullptr);
    openMain();
    QWidget* main = platform.widgetOf(program.main);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(builtMain, 1);
    EXPECT_EQ(builtOther, 0);  // not opened yet
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), "Main");
    // The load ran, and what it did shows.
    EXPECT_EQ(main->findChild<QLineEdit*>("txtName")->text(), "loaded");

    QTest::mouseClick(main->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    QWidget* other = platform.widgetOf(program.other);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->isVisible());
    EXPECT_EQ(other->findChild<QLabel*>("lblInfo")->text(), "Info");

    // Closed by its own handler: hidden, kept, and reused when opened again.
    QTest::mouseClick(other->findChild<QPushButton*>("cmdBack"), Qt::LeftButton);
    EXPECT_FALSE(program.other.isOpen());
    EXPECT_FALSE(other->isVisible());
    EXPECT_FALSE(platform.finished());
    QTest::mouseClick(main->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(platform.widgetOf(program.other), other);
    EXPECT_EQ(builtOther, 1);
    EXPECT_TRUE(other->isVisible());

    // Closed with the title-bar button: through the model; the main window stays.
    EXPECT_TRUE(other->close());
    EXPECT_FALSE(program.other.isOpen());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(finishedCalls, 0);
}

TEST_F(QtWindows, ProgramEndFinishesOnce)
{
    openMain();
    QWidget* main = platform.widgetOf(program.main);
    QTest::mouseClick(main->findChild<QPushButton*>("cmdFail"), Qt::LeftButton);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(platform.finished());
    EXPECT_EQ(finishedCalls, 1);
    // Nothing runs after the end.
    QTest::mouseClick(main->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(program.other.isOpen());
    EXPECT_EQ(finishedCalls, 1);
}

TEST_F(QtWindows, LastWindowClosedByTheLogicFinishes)
{
    openMain();
    platform.binder().dispatch([&] { app.close(program.main); });
    EXPECT_TRUE(platform.finished());
    EXPECT_EQ(finishedCalls, 1);
}

TEST_F(QtWindows, MessagesAndDialogsSpeakBytes)
{
    EXPECT_EQ(platform.message("Line 1\r\nH\xFC"
                               "ckel",
                               "Note!", Buttons::YesNo, Icon::Question),
              Answer::No);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, QString::fromUtf8("Line 1\nHückel"));
    EXPECT_EQ(platform.boxes[0].title, "Note!");
    EXPECT_EQ(platform.boxes[0].icon, Icon::Question);

    platform.chosenFile = std::nullopt;
    EXPECT_EQ(platform.fileDialog(DialogKind::Open, "Text files (*.TXT)|*.TXT", "", "/tmp"), std::nullopt);
    // The path comes back as the bytes the file system names the file by.
    platform.chosenFile = QString::fromUtf8("/data/Hückel.TXT");
    EXPECT_EQ(platform.fileDialog(DialogKind::Save, "Text files (*.TXT)|*.TXT", "", "/tmp"),
              std::optional<std::string>(QFile::encodeName(*platform.chosenFile).toStdString()));
}

TEST_F(QtWindows, RefusedCharacterIsNamedAsItIs)
{
    openMain();
    auto* edit = platform.widgetOf(program.main)->findChild<QLineEdit*>("txtName");
    qvtest::typeText(edit, QString::fromUtf8("ā"));
    EXPECT_EQ(program.main("txtName").text(), "loaded");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(platform.boxes[0].text.contains(QString::fromUtf8("\"ā\" (U+0101)")))
        << qPrintable(platform.boxes[0].text);
    EXPECT_EQ(platform.boxes[0].title, "Quenvar");
}

namespace {

struct OneLabel : Program {
    explicit OneLabel(Application& app) : win(app, "frmOne", "One") { win.label("lblInfo", "ready"); }
    Window& mainWindow() override { return win; }
    std::vector<Window*> windows() override { return {&win}; }
    Window win;
};

std::unique_ptr<Program> makeOneLabel(Application& app) { return std::make_unique<OneLabel>(app); }

// Sets environment variables for the life of the object.
class Environment {
public:
    void unset(const char* name)
    {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        ::unsetenv(name);
    }
    ~Environment()
    {
        for (const auto& [name, value] : saved_)
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace

TEST(WindowedMain, WithoutADisplaySaysSoInOneLine)
{
    Environment env;
    env.unset("DISPLAY");
    env.unset("WAYLAND_DISPLAY");
    env.unset("QT_QPA_PLATFORM");
    char tool[] = "qvtool";
    char* argv[] = {tool, nullptr};
    testing::internal::CaptureStderr();
    const int status = qv::qt::windowedMain(1, argv, "qvtool", makeOneLabel, {});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("xvfb-run -a qvtool"), std::string::npos) << err;
    EXPECT_NE(err.find("display"), std::string::npos) << err;
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

TEST(WindowedMain, ScriptModeRunsTheScript)
{
    qvtest::TempDir dir;
    dir.write("run.txt", "expect lblInfo.caption \"ready\"\nprint lblInfo.caption\n");
    std::string path = dir / "run.txt";
    char tool[] = "qvtool";
    char option[] = "--script";
    char* argv[] = {tool, option, path.data(), nullptr};
    testing::internal::CaptureStdout();
    const int status = qv::qt::windowedMain(3, argv, "qvtool", makeOneLabel, {});
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "lblInfo.caption = \"ready\"\n");
}

TEST(QtMessageBox, ReturnAnswersTheDefaultButtonAndADeleteQuestionDefaultsToNo)
{
    qvtest::qtApp();
    struct Case {
        Buttons buttons;
        Answer onReturn;
    };
    for (const Case& c : {Case{Buttons::YesNo, Answer::Yes}, Case{Buttons::YesNoDefaultNo, Answer::No}}) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        QtPlatform platform;
        bool seen = false;
        // Return is pressed on the box once it is up, as a user in a hurry would.
        std::function<void()> pressReturn = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return QTimer::singleShot(10, pressReturn);
            seen = true;
            QTest::keyClick(box, Qt::Key_Return);
        };
        QTimer::singleShot(0, pressReturn);
        EXPECT_EQ(platform.message("Delete it?", "Deletion", c.buttons, Icon::Question), c.onReturn);
        EXPECT_TRUE(seen);
    }
}
