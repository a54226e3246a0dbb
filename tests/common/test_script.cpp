// The script runner on its own, in process, against a tiny program made here: words and quoting,
// queued answers, what is printed, the failures and script errors and their exit statuses.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"
#include "quenvar/script.h"

namespace qf = qv::forms;
using qv::script::quote;
using qv::script::splitWords;

namespace {

const char* const openFilter = "Sorption databases (*.mdb)|*.mdb|All files (*.*)|*.*";

// A main window with one control of each kind, and a second window.
class TinyProgram : public qf::Program {
public:
    TinyProgram(qf::Application& app, bool failAtLoad)
        : app_(app), main_(app, "frmMain", "Tiny editor"), second_(app, "frmSecond", "Second page")
    {
        qf::Window& w = main_;
        w.label("lblInfo", "Ready");
        qf::Control& echo = w.label("lblEcho", "");
        qf::Control& name = w.textBox("txtName");
        name.onChange = [&echo, &name] { echo.setCaption("changed " + name.text()); };
        for (int i = 1; i <= 3; ++i) w.textBox("txtComp", true, i);
        qf::Control& list = w.listBox("lstItems");
        for (const char* item : {"alpha", "beta gamma", "alpha", "say \"hi\"", "back\\slash"}) list.addItem(item);
        list.onClick = [&echo, &list] {
            echo.setCaption("picked " + std::to_string(list.listIndex() + 1) + " " + list.text());
        };
        qf::Control& combo = w.comboBox("cboModel");
        for (const char* item : {"Langmuir", "Freundlich", "Temkin"}) combo.addItem(item);
        qf::Control& info = w("lblInfo");
        w.button("cmdAsk", "Ask").onClick = [this, &info] {
            info.setCaption(app_.askYesNo("Proceed?", "Deletion of species - Quenvar") ? "yes" : "no");
        };
        w.button("cmdOpen", "Open").onClick = [this, &info] {
            auto path = app_.openDialog(openFilter, "/init/dir", currentDir_);
            info.setCaption(path ? *path : "cancelled");
        };
        w.button("cmdSave", "Save").onClick = [this, &info] {
            auto path = app_.saveDialog("Text (*.txt)|*.txt", "/init/dir", currentDir_);
            info.setCaption(path ? *path : "cancelled");
        };
        w.button("cmdCd", "Change directory").onClick = [this] { currentDir_ = "/other/dir"; };
        w.button("cmdHidden", "Hidden", false).onClick = [&info] { info.setCaption("hidden clicked"); };
        qf::Control& frame = w.frame("fraOptions", "Options");
        qf::Control& optA = w.option("optA", "A", "grp");
        qf::Control& optB = w.option("optB", "B", "grp");
        optA.setContainer(&frame);
        optB.setContainer(&frame);
        optA.setValue(true);
        optB.onClick = [&info] { info.setCaption("B chosen"); };
        w.button("cmdHideFrame", "Hide").onClick = [&frame] { frame.setVisible(false); };
        w.button("cmdFail", "Fail").onClick = [&info] {
            info.setCaption("before failure");
            throw qv::Error(qv::ErrorKind::FileNotFound, "comp.mdb");
        };
        w.button("cmdSecond", "Second").onClick = [this] { app_.open(second_); };
        w.menu("mnuFileExit", "Exit").onClick = [this] { app_.end(); };
        w.line("linSep");
        w.onLoad = [this, failAtLoad, &name] {
            if (failAtLoad) app_.fatal("File not found: dabase.txt");
            name.setText("start");
        };

        second_.textBox("txtName");
        second_.textBox("txtConc");
        second_.button("cmdDone", "Done").onClick = [this] { app_.close(second_); };
        second_.onUserClose = [&info] { info.setCaption("second closed"); };
    }

    qf::Window& mainWindow() override { return main_; }
    std::vector<qf::Window*> windows() override { return {&main_, &second_}; }

    qf::Window& second() { return second_; }

private:
    qf::Application& app_;
    qf::Window main_;
    qf::Window second_;
    std::string currentDir_ = "/data/here";
};

struct Outcome {
    int status;
    std::string out;
    std::vector<std::string> lines;
};

Outcome run(const std::string& script, bool failAtLoad = false)
{
    std::ostringstream out;
    qv::script::ScriptPlatform platform(out);
    qf::Application app(platform);
    TinyProgram program(app, failAtLoad);
    std::istringstream in(script);
    Outcome r;
    r.status = qv::script::run(program, app, platform, in, out);
    r.out = out.str();
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.lines.push_back(line);
    return r;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// The run stopped with a script error on `line` as its last output.
void expectScriptError(const std::string& script, int line)
{
    SCOPED_TRACE(script);
    const Outcome r = run(script);
    EXPECT_EQ(r.status, 2) << r.out;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_TRUE(startsWith(r.lines.back(), "error line " + std::to_string(line) + ": ")) << r.out;
}

void expectFailure(const std::string& script, int line, bool failAtLoad = false)
{
    SCOPED_TRACE(script);
    const Outcome r = run(script, failAtLoad);
    EXPECT_EQ(r.status, 1) << r.out;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_TRUE(startsWith(r.lines.back(), "FAIL line " + std::to_string(line) + ": ")) << r.out;
}

}  // namespace

// ---- Words ----------------------------------------------------------------------------------

TEST(ScriptWords, BlanksSeparateAndQuotesHoldBlanks)
{
    using W = std::vector<std::string>;
    EXPECT_EQ(splitWords("click cmdGo"), (W{"click", "cmdGo"}));
    EXPECT_EQ(splitWords("  type\ttxtName   \"a  b\"  "), (W{"type", "txtName", "a  b"}));
    EXPECT_EQ(splitWords("type txtName \"\""), (W{"type", "txtName", ""}));
    EXPECT_EQ(splitWords("x \"say \\\"hi\\\"\""), (W{"x", "say \"hi\""}));
    EXPECT_EQ(splitWords("x \"c:\\\\quenvar\\\\comp.mdb\""), (W{"x", "c:\\quenvar\\comp.mdb"}));
    EXPECT_EQ(splitWords("x \"a\\nb\""), (W{"x", "a\\nb"}));  // other backslashes stay as they are
    EXPECT_EQ(splitWords("x \"a,b\" \"\" y\r"), (W{"x", "a,b", "", "y"}));
    EXPECT_EQ(splitWords("dialog \"Fe\xE9.mdb\""), (W{"dialog", "Fe\xE9.mdb"}));  // bytes pass unchanged
    EXPECT_TRUE(splitWords("   ").empty());
    EXPECT_THROW(splitWords("type txtName \"open"), std::invalid_argument);
    EXPECT_THROW(splitWords("type txtName \"ends in escape\\\""), std::invalid_argument);
}

TEST(ScriptWords, QuoteIsReadBackAsTheSameWord)
{
    for (const std::string w :
         {"", "plain", "two words", "\"", "\\", "\\\"", "a\"b\\c", "end\\", " lead", "#x", "\xFC\xE9", "tab\there"}) {
        SCOPED_TRACE(w);
        const std::string q = quote(w);
        EXPECT_EQ(q.front(), '"');
        EXPECT_EQ(q.back(), '"');
        EXPECT_EQ(splitWords("print " + q + " " + q), (std::vector<std::string>{"print", w, w}));
    }
    EXPECT_EQ(quote("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(quote("a\\b"), "\"a\\\\b\"");
}

// ---- Running --------------------------------------------------------------------------------

TEST(ScriptRun, EmptyScriptOpensTheMainWindowAndSucceeds)
{
    const Outcome r = run("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    const Outcome c = run("# only a comment\r\n\r\n   \t\r\n   # indented comment\r\nexpect txtName.text start\r\n");
    EXPECT_EQ(c.status, 0) << c.out;
    EXPECT_EQ(c.out, "");
}

TEST(ScriptRun, PrintFormats)
{
    const Outcome r =
        run("print lblInfo.caption\n"
            "print lstItems.items\n"
            "print lstItems.count\n"
            "print lstItems.index\n"
            "print lstItems.text\n"
            "print txtComp(2).text\n"
            "print txtName.text\n"
            "print frmMain.caption\n"
            "print frmMain.visible\n"
            "print frmSecond.visible\n"
            "print frmSecond.caption\n"
            "print optA.value\n"
            "print optB.value\n"
            "print cmdHidden.visible\n"
            "print fraOptions.caption\n"
            "print mnuFileExit.caption\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "lblInfo.caption = \"Ready\"\n"
              "lstItems.items = \"alpha\" \"beta gamma\" \"alpha\" \"say \\\"hi\\\"\" \"back\\\\slash\"\n"
              "lstItems.count = 5\n"
              "lstItems.index = 0\n"
              "lstItems.text = \"\"\n"
              "txtComp(2).text = \"\"\n"
              "txtName.text = \"start\"\n"
              "frmMain.caption = \"Tiny editor\"\n"
              "frmMain.visible = 1\n"
              "frmSecond.visible = 0\n"
              "frmSecond.caption = \"Second page\"\n"
              "optA.value = 1\n"
              "optB.value = 0\n"
              "cmdHidden.visible = 0\n"
              "fraOptions.caption = \"Options\"\n"
              "mnuFileExit.caption = \"Exit\"\n");
}

TEST(ScriptRun, ExpectComparesWordForWord)
{
    EXPECT_EQ(run("expect lstItems.items alpha \"beta gamma\" alpha \"say \\\"hi\\\"\" \"back\\\\slash\"\n").status, 0);
    expectFailure("expect lstItems.items alpha \"beta gamma\" alpha \"say \\\"hi\\\"\"\n", 1);
    expectFailure("expect lstItems.items alpha \"beta gamma\" alpha \"say \\\"hi\\\"\" \"back\\\\slash\" x\n", 1);
    expectFailure("expect lstItems.items alpha beta gamma alpha \"say \\\"hi\\\"\" \"back\\\\slash\"\n", 1);
    EXPECT_EQ(run("expect lstItems.count 5\nexpect lstItems.text \"\"\nexpect optA.value 1\n").status, 0);
    expectFailure("expect lstItems.count 05\n", 1);  // numbers compare as printed words
    expectFailure("expect txtName.text\n", 1);       // no word is not the empty word
}

TEST(ScriptRun, ExpectMismatchStopsTheRunWithAFailLine)
{
    const Outcome r =
        run("expect txtName.text start\n"
            "# a comment\n"
            "expect txtName.text other\n"
            "print lblInfo.caption\n");
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 1u) << r.out;
    EXPECT_TRUE(startsWith(r.lines[0], "FAIL line 3: ")) << r.out;
    EXPECT_NE(r.lines[0].find("\"start\""), std::string::npos);  // says what was there
}

TEST(ScriptRun, PickByItemAndByPosition)
{
    const Outcome r =
        run("pick lstItems alpha\n"
            "expect lstItems.index 1\n"
            "expect lblEcho.caption \"picked 1 alpha\"\n"
            "pick lstItems #3\n"
            "expect lstItems.index 3\n"
            "expect lstItems.text alpha\n"
            "expect lblEcho.caption \"picked 3 alpha\"\n"
            "pick lstItems \"say \\\"hi\\\"\"\n"
            "expect lstItems.index 4\n"
            "pick lstItems #5\n"
            "expect lstItems.text \"back\\\\slash\"\n"
            "pick cboModel Temkin\n"
            "expect cboModel.text Temkin\n"
            "expect cboModel.index 3\n");
    EXPECT_EQ(r.status, 0) << r.out;
    expectScriptError("pick lstItems #6\n", 1);
    expectScriptError("pick lstItems #0\n", 1);
    expectScriptError("pick lstItems gamma\n", 1);
    expectScriptError("expect lstItems.count 5\npick lstItems Alpha\n", 2);
    expectScriptError("pick txtName alpha\n", 1);
    expectScriptError("pick lstItems\n", 1);
}

TEST(ScriptRun, TypeReplacesTheTextAndRunsTheChangeEvent)
{
    const Outcome r =
        run("type txtName \"new text\"\n"
            "expect lblEcho.caption \"changed new text\"\n"
            "type txtName \"\"\n"
            "expect txtName.text \"\"\n"
            "type txtComp(2) \"2,75\"\n"
            "expect txtComp(2).text \"2,75\"\n"
            "expect txtComp(1).text \"\"\n"
            "type cboModel Freundlich\n"
            "expect cboModel.index 2\n"
            "type cboModel \"my own\"\n"
            "expect cboModel.index 0\n"
            "expect cboModel.text \"my own\"\n");
    EXPECT_EQ(r.status, 0) << r.out;
    expectScriptError("type lblInfo x\n", 1);
    expectScriptError("type lstItems alpha\n", 1);
}

TEST(ScriptRun, ClickButtonsOptionsAndMenus)
{
    const Outcome r =
        run("click optB\n"
            "expect optB.value 1\n"
            "expect optA.value 0\n"
            "expect lblInfo.caption \"B chosen\"\n"
            "click optA\n"
            "expect optB.value 0\n");
    EXPECT_EQ(r.status, 0) << r.out;
    expectScriptError("click lblInfo\n", 1);
    expectScriptError("click txtName\n", 1);
    expectScriptError("click lstItems\n", 1);
}

// ---- Answers --------------------------------------------------------------------------------

TEST(ScriptAnswers, YesNoAnswersAreTakenInOrder)
{
    const Outcome r =
        run("answer yes\n"
            "answer no\n"
            "click cmdAsk\n"
            "expect lblInfo.caption yes\n"
            "click cmdAsk\n"
            "expect lblInfo.caption no\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out,
              "message \"Deletion of species - Quenvar\" \"Proceed?\" yesno question -> yes\n"
              "message \"Deletion of species - Quenvar\" \"Proceed?\" yesno question -> no\n");
}

TEST(ScriptAnswers, DialogAnswersAreMadeFullAgainstTheProgramsDirectory)
{
    const std::string sub = qv::joinPath("/data/here", "sub/f.mdb");
    const Outcome r =
        run("dialog \"sub/f.mdb\"\n"
            "click cmdOpen\n"
            "expect lblInfo.caption " +
            quote(sub) +
            "\n"
            "dialog \"/abs/x.mdb\"\n"
            "click cmdOpen\n"
            "dialog cancel\n"
            "click cmdOpen\n"
            "expect lblInfo.caption cancelled\n"
            "dialog \"out file.txt\"\n"
            "click cmdSave\n"
            "dialog \"later.mdb\"\n"
            "click cmdCd\n"
            "click cmdOpen\n"
            "expect lblInfo.caption " +
            quote(qv::joinPath("/other/dir", "later.mdb")) + "\n");
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string open = std::string("dialog open ") + quote(openFilter) + " \"/init/dir\" -> ";
    EXPECT_EQ(r.out, open + quote(sub) + "\n" +       //
                         open + "\"/abs/x.mdb\"\n" +  //
                         open + "cancel\n" +          //
                         "dialog save \"Text (*.txt)|*.txt\" \"/init/dir\" -> " +
                         quote(qv::joinPath("/data/here", "out file.txt")) + "\n" + open +
                         quote(qv::joinPath("/other/dir", "later.mdb")) + "\n");
}

TEST(ScriptAnswers, AnUnusedAnswerIsAFailure)
{
    expectFailure("answer yes\nexpect lblInfo.caption Ready\n", 1);
    expectFailure("expect lblInfo.caption Ready\ndialog \"x.mdb\"\n", 2);
    expectFailure("answer yes\nanswer yes\nclick cmdAsk\n", 2);
    // A message with only OK takes no answer.
    expectFailure("answer yes\nclick cmdFail\n", 1);
}

TEST(ScriptAnswers, AQuestionWithoutAnswerIsAScriptError)
{
    expectScriptError("click cmdAsk\n", 1);
    expectScriptError("expect lblInfo.caption Ready\nclick cmdOpen\n", 2);
    expectScriptError("click cmdSave\n", 1);
    // An answer of the other kind does not do.
    const Outcome r = run("answer yes\nclick cmdOpen\n");
    EXPECT_EQ(r.status, 2) << r.out;
    expectScriptError("dialog \"x.mdb\"\nclick cmdAsk\n", 2);
    // What the question was is still reported, before the error.
    const Outcome q = run("click cmdAsk\n");
    ASSERT_EQ(q.lines.size(), 2u) << q.out;
    EXPECT_TRUE(startsWith(q.lines[0], "message \"Deletion of species - Quenvar\" \"Proceed?\" yesno question -> "));
    expectScriptError("answer maybe\n", 1);
    expectScriptError("answer\n", 1);
    expectScriptError("dialog\n", 1);
}

TEST(ScriptAnswers, UncaughtFailureIsShownAndTheWindowStays)
{
    const Outcome r =
        run("click cmdFail\n"
            "expect lblInfo.caption \"before failure\"\n"
            "expect frmMain.visible 1\n"
            "type txtName again\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "message \"Quenvar error\" \"File not found: comp.mdb\" ok critical -> ok\n");
}

// ---- What a user cannot act on --------------------------------------------------------------

TEST(ScriptErrors, ActionsOnWhatIsNotThere)
{
    expectScriptError("click cmdHidden\n", 1);
    expectScriptError("click cmdHideFrame\nexpect optB.visible 0\nclick optB\n", 3);  // in a hidden frame
    expectScriptError("type txtConc 1\n", 1);                                         // window not open
    expectScriptError("type frmSecond.txtConc 1\n", 1);
    expectScriptError("print frmSecond.txtConc.text\n", 1);
    expectScriptError("click cmdNope\n", 1);
    expectScriptError("print frmMain.cmdNope.caption\n", 1);
    expectScriptError("click frmNope.cmdAsk\n", 1);
    expectScriptError("close frmNope\n", 1);
    expectScriptError("close frmSecond\n", 1);  // not open
    expectScriptError("frobnicate lblInfo\n", 1);
    expectScriptError("print lblInfo.text\n", 1);  // a label has no text
    expectScriptError("print txtName.caption\n", 1);
    expectScriptError("print lblInfo\n", 1);
    expectScriptError("print frmMain.items\n", 1);
    expectScriptError("type txtComp(4) x\n", 1);
    expectScriptError("type txtComp(x) x\n", 1);
    expectScriptError("type txtComp x\n", 1);  // an array member needs its index
    expectScriptError("click cmdAsk extra\n", 1);
    expectScriptError("type txtName \"unclosed\n", 1);
    expectScriptError("# fine\nexpect lblInfo.caption Ready\n\ndump extra\n", 4);
    // The hidden button's handler never ran.
    const Outcome r = run("click cmdHidden\n");
    EXPECT_EQ(r.out.find("hidden clicked"), std::string::npos);
}

// ---- Windows --------------------------------------------------------------------------------

TEST(ScriptWindows, WindowQualifiedNames)
{
    const Outcome r =
        run("click cmdSecond\n"
            "expect frmSecond.visible 1\n"
            "type frmSecond.txtName second\n"
            "type txtName main\n"
            "expect frmSecond.txtName.text second\n"
            "expect frmMain.txtName.text main\n"
            "expect txtName.text main\n"
            "type txtConc 0.1\n"
            "expect frmSecond.txtConc.text 0.1\n"
            "expect txtConc.text 0.1\n"
            "click frmMain.cmdAsk\n"
            "answer yes\n"
            "expect lblInfo.caption yes\n");
    // The answer came after the click that needed it: a script error on the click.
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_TRUE(startsWith(r.lines.back(), "error line 11: ")) << r.out;
    EXPECT_EQ(r.lines.size(), 2u) << r.out;
}

TEST(ScriptWindows, ClosingTheSecondWindow)
{
    const Outcome r =
        run("click cmdSecond\n"
            "type txtConc 5\n"
            "close frmSecond\n"
            "expect frmSecond.visible 0\n"
            "expect lblInfo.caption \"second closed\"\n"
            "expect frmMain.visible 1\n"
            "click cmdSecond\n"
            "click cmdDone\n"
            "expect frmSecond.visible 0\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");  // no end: the program goes on
    expectScriptError("click cmdSecond\nclose frmSecond\ntype txtConc 5\n", 3);
    expectScriptError("click cmdSecond\nclose frmSecond\nclose frmSecond\n", 3);
}

TEST(ScriptWindows, ClosingTheMainWindowEndsTheProgram)
{
    const Outcome r = run("close frmMain\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "end\n");
    const Outcome m = run("click mnuFileExit\n# comments and blank lines may follow\n\n");
    EXPECT_EQ(m.status, 0) << m.out;
    EXPECT_EQ(m.out, "end\n");
}

TEST(ScriptWindows, LinesAfterTheEndAreAFailure)
{
    const Outcome r = run("click mnuFileExit\nexpect lblInfo.caption Ready\n");
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 2u) << r.out;
    EXPECT_EQ(r.lines[0], "end");
    EXPECT_TRUE(startsWith(r.lines[1], "FAIL line 2: ")) << r.out;
    expectFailure("close frmMain\n\nanswer yes\n", 3);
    expectFailure("close frmMain\nclose frmMain\n", 2);
}

TEST(ScriptWindows, ProgramEndingAtStartUp)
{
    const Outcome empty = run("", true);
    EXPECT_EQ(empty.status, 0) << empty.out;
    EXPECT_EQ(empty.out, "message \"Quenvar error\" \"File not found: dabase.txt\" ok critical -> ok\nend\n");
    // Any line to run after the end is a failure, even the first one.
    const Outcome r = run("print lblInfo.caption\n", true);
    EXPECT_EQ(r.status, 1) << r.out;
    ASSERT_EQ(r.lines.size(), 3u) << r.out;
    EXPECT_EQ(r.lines[1], "end");
    EXPECT_TRUE(startsWith(r.lines[2], "FAIL line 1: ")) << r.out;
    expectFailure("expect lblInfo.caption Ready\n", 1, true);
}

TEST(ScriptRun, DumpShowsEveryControlOfTheOpenWindows)
{
    const Outcome r = run("click cmdSecond\ndump\n");
    EXPECT_EQ(r.status, 0) << r.out;
    auto has = [&](const std::string& line) {
        for (const auto& l : r.lines)
            if (l == line) return true;
        return false;
    };
    EXPECT_TRUE(has("frmMain window caption=\"Tiny editor\" visible=1")) << r.out;
    EXPECT_TRUE(has("frmSecond window caption=\"Second page\" visible=1")) << r.out;
    EXPECT_TRUE(has("frmMain.lblInfo label caption=\"Ready\" visible=1 enabled=1")) << r.out;
    EXPECT_TRUE(has("frmMain.txtComp(3) textbox text=\"\" visible=1 enabled=1")) << r.out;
    EXPECT_TRUE(has("frmMain.cmdHidden button caption=\"Hidden\" visible=0 enabled=1")) << r.out;
    EXPECT_TRUE(has("frmMain.optA option caption=\"A\" visible=1 value=1 enabled=1")) << r.out;
    EXPECT_TRUE(has("frmSecond.txtConc textbox text=\"\" visible=1 enabled=1")) << r.out;
    bool listed = false;
    for (const auto& l : r.lines)
        if (startsWith(l, "frmMain.lstItems listbox ") && l.find("count=5") != std::string::npos &&
            l.find("items=\"alpha\" \"beta gamma\"") != std::string::npos)
            listed = true;
    EXPECT_TRUE(listed) << r.out;
}

TEST(ScriptOptions, FaultOptionIsTakenOutOfTheArguments)
{
    std::string a0 = "tool", a1 = "--fault", a2 = "write:1:fail", a3 = "--script", a4 = "run.txt";
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), nullptr};
    int argc = 5;
    EXPECT_TRUE(qv::script::takeFaultOption(argc, argv));
    qv::planFault({});
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(argv[0], "tool");
    EXPECT_STREQ(argv[1], "--script");
    EXPECT_STREQ(argv[2], "run.txt");
    EXPECT_EQ(argv[3], nullptr);

    std::string b2 = "write:one:fail";
    char* bad[] = {a0.data(), a1.data(), b2.data(), nullptr};
    int badc = 3;
    EXPECT_FALSE(qv::script::takeFaultOption(badc, bad));
    char* none[] = {a0.data(), a3.data(), a4.data(), nullptr};
    int nonec = 3;
    EXPECT_TRUE(qv::script::takeFaultOption(nonec, none));
    EXPECT_EQ(nonec, 3);
}
