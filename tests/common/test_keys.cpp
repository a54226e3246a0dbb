// The keyboard, the enabled state, the unsaved-changes question, the title and the edit tracker
// of the window model, on their own and driven through the script runner.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "quenvar/forms.h"
#include "quenvar/script.h"

namespace qf = qv::forms;

namespace {

// ---- A window with a log of what ran -------------------------------------------------------

class KeyProgram : public qf::Program {
public:
    explicit KeyProgram(qf::Application& app)
        : app_(app), main_(app, "frmMain", "Key test"), other_(app, "frmOther", "")
    {
        qf::Window& w = main_;
        log_ = &w.label("lblLog", "");
        w.label("lblName", "Name");
        qf::Control& name = w.textBox("txtName");
        qf::Control& list = w.listBox("lstItems");
        for (const char* item : {"a", "b", "c"}) list.addItem(item);
        list.onKey = [this, &list](const std::string& keys) {
            if (keys != "Delete" || list.listIndex() < 0) return false;
            note("delete " + list.text());
            list.removeItem(list.listIndex());
            return true;
        };
        qf::Control& save = w.button("cmdSave", "Save");
        save.setMnemonic('s');
        save.onClick = [this] { note("save"); };
        w.button("cmdOff", "Off").setEnabled(false);
        w("cmdOff").onClick = [this] { note("off clicked"); };
        w.button("cmdAsk", "Ask").onClick = [this] {
            const qf::Answer a =
                app_.askSaveDiscardCancel("Save changes to =SOCu+ before picking another species?", "Quenvar");
            note(a == qf::Answer::Save      ? "answered save"
                 : a == qf::Answer::Discard ? "answered discard"
                                            : "answered cancel");
        };
        qf::Control& frame = w.frame("fraLocked", "Locked");
        frame.setEnabled(false);
        w.textBox("txtLocked").setContainer(&frame);
        w.textBox("txtGone", false);
        w.menu("mnuFile", "File").setMnemonic('F');
        w.menu("mnuFileOpen", "Open").setContainer(&w("mnuFile"));
        w("mnuFileOpen").setMnemonic('O');
        w("mnuFileOpen").onClick = [this] { note("open"); };
        for (int i = 1; i <= 4; ++i) {
            qf::Control& opt = w.option("optUnit", "Unit " + std::to_string(i), "unit", i);
            opt.onClick = [this, i] { note("unit " + std::to_string(i)); };
        }
        w("optUnit", 3).setEnabled(false);
        w.statusLine();
        w.shortcut("Ctrl+S", save);
        w.shortcut("Ctrl+Z", [this, &w] { note(w.focusInText() ? "undo in text" : "undo save"); });
        w.shortcut("Ctrl+O", w("mnuFileOpen"));
        w.shortcut("Ctrl+K", w("cmdOff"));
        w.shortcut("Escape", [this] { note("escape"); });
        w.setStartFocus(&name);
    }

    qf::Window& mainWindow() override { return main_; }
    std::vector<qf::Window*> windows() override { return {&main_, &other_}; }
    qf::Window& main() { return main_; }
    std::string log() const { return log_->caption(); }

private:
    void note(const std::string& what)
    {
        log_->setCaption(log_->caption() + (log_->caption().empty() ? "" : ";") + what);
    }

    qf::Application& app_;
    qf::Window main_;
    qf::Window other_;
    qf::Control* log_ = nullptr;
};

// A platform that answers every question with one answer and records the buttons it was asked with.
class FixedPlatform : public qf::Platform {
public:
    qf::Answer message(const std::string&, const std::string&, qf::Buttons buttons, qf::Icon icon) override
    {
        asked.push_back(buttons);
        icons.push_back(icon);
        return answer;
    }
    std::optional<std::string> fileDialog(qf::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
    qf::Answer answer = qf::Answer::Ok;
    std::vector<qf::Buttons> asked;
    std::vector<qf::Icon> icons;
};

struct Model : ::testing::Test {
    Model() { app.open(program.main()); }
    FixedPlatform platform;
    qf::Application app{platform};
    KeyProgram program{app};
    qf::Window& w = program.main();
};

}  // namespace

// ---- Keys -----------------------------------------------------------------------------------

TEST(Keys, OneSpellingForEveryWayOfWritingAKey)
{
    const struct {
        const char* in;
        const char* out;  // null: not read
    } cases[] = {
        {"Ctrl+S", "Ctrl+S"},
        {"ctrl+s", "Ctrl+S"},
        {"Shift+Ctrl+s", "Ctrl+Shift+S"},
        {"Alt+f", "Alt+F"},
        {"Alt+Shift+Ctrl+Z", "Ctrl+Shift+Alt+Z"},
        {"F1", "F1"},
        {"f12", "F12"},
        {"Return", "Return"},
        {"Enter", "Return"},
        {"escape", "Escape"},
        {"DELETE", "Delete"},
        {"Ctrl+1", "Ctrl+1"},
        {"PageDown", "PageDown"},
        {"F13", nullptr},
        {"F0", nullptr},
        {"", nullptr},
        {"Ctrl+", nullptr},
        {"Ctrl", nullptr},
        {"Ctrl+Ctrl+S", nullptr},
        {"S+Ctrl", nullptr},
        {"Hyper+S", nullptr},
        {"Ctrl+SS", nullptr},
        {"Ctrl++", nullptr},
        {"+S", nullptr},
        {"Ctrl+S+", nullptr},
    };
    for (const auto& c : cases) {
        const auto got = qf::normalizeKeys(c.in);
        if (c.out) {
            EXPECT_EQ(got, std::optional<std::string>(c.out)) << c.in;
        } else {
            EXPECT_FALSE(got) << c.in << " read as " << *got;
        }
    }
}

TEST(Title, FileFirstWithTheMarkBeforeIt)
{
    const struct {
        const char* base;
        const char* file;
        bool modified;
        const char* title;
    } cases[] = {
        {"Quenvar", "demo.mdb", false, "demo.mdb - Quenvar"},
        {"Quenvar", "demo.mdb", true, "*demo.mdb - Quenvar"},
        {"HBM site settings", "/data/in.MSI.TXT", false, "/data/in.MSI.TXT - HBM site settings"},
        {"Quenvar", "", false, "Quenvar"},
        {"Quenvar", "", true, "*Quenvar"},
        {"", "demo.mdb", true, "*demo.mdb"},
    };
    for (const auto& c : cases) EXPECT_EQ(qf::titleWithFile(c.base, c.file, c.modified), c.title) << c.title;
}

// ---- Edit tracker ---------------------------------------------------------------------------

TEST_F(Model, EditTrackerComparesWithTheSnapshot)
{
    qf::Control& name = w("txtName");
    qf::Control& list = w("lstItems");
    qf::EditTracker edits({&name, &list});
    name.setText("Cu+2");
    EXPECT_FALSE(edits.modified());  // nothing shown from a file yet
    edits.snapshot();
    EXPECT_FALSE(edits.modified());
    name.userType("Cu+3");
    EXPECT_TRUE(edits.modified());
    EXPECT_EQ(edits.changed(), std::vector<qf::Control*>{&name});
    list.setListIndex(1);
    EXPECT_EQ(edits.changed(), (std::vector<qf::Control*>{&name, &list}));
    name.userType("Cu+2");  // typed back as it was
    list.setListIndex(-1);
    EXPECT_FALSE(edits.modified());
    name.userType("x");
    edits.snapshot();  // saved
    EXPECT_FALSE(edits.modified());
    name.userType("y");
    edits.forget();
    EXPECT_FALSE(edits.modified());
}

// ---- Focus and key routing ------------------------------------------------------------------

TEST_F(Model, TheWindowStartsWithItsStartFocus)
{
    EXPECT_EQ(w.focus(), &w("txtName"));
    EXPECT_TRUE(w.focusInText());

    // Without a start focus: the first control that takes the focus and can be used.
    qf::Window plain(app, "frmPlain", "");
    plain.label("lblA", "A");
    plain.textBox("txtHidden", false);
    plain.button("cmdOff", "Off").setEnabled(false);
    qf::Control& list = plain.listBox("lstB");
    app.open(plain);
    EXPECT_EQ(plain.focus(), &list);
    EXPECT_FALSE(plain.focusInText());

    // A load event that puts the focus somewhere wins.
    qf::Window loaded(app, "frmLoaded", "");
    qf::Control& first = loaded.textBox("txtFirst");
    qf::Control& second = loaded.textBox("txtSecond");
    loaded.setStartFocus(&first);
    loaded.onLoad = [&] { loaded.setFocus(&second); };
    app.open(loaded);
    EXPECT_EQ(loaded.focus(), &second);
}

TEST_F(Model, KeysGoToTheFocusedControlThenToTheShortcuts)
{
    // The list handles Delete itself; Ctrl+Z goes on to the window.
    w.setFocus(&w("lstItems"));
    w("lstItems").setListIndex(1);
    EXPECT_TRUE(w.pressKey("Delete"));
    EXPECT_TRUE(w.pressKey("Ctrl+Z"));
    EXPECT_EQ(program.log(), "delete b;undo save");
    EXPECT_EQ(w("lstItems").listCount(), 2);
    // With nothing selected the list leaves Delete, and the window has no Delete shortcut.
    EXPECT_FALSE(w.pressKey("Delete"));

    // A text box keeps its editing keys: Ctrl+Z undoes typing there, not the save.
    w.setFocus(&w("txtName"));
    EXPECT_TRUE(w.pressKey("Ctrl+Z"));
    EXPECT_TRUE(w.pressKey("Delete"));
    EXPECT_TRUE(w.pressKey("Ctrl+S"));
    EXPECT_TRUE(w.pressKey("escape"));
    EXPECT_EQ(program.log(), "delete b;undo save;save;escape");

    // Focus on a control that is hidden since counts as none.
    w("txtName").setVisible(false);
    EXPECT_EQ(w.focus(), nullptr);
    EXPECT_TRUE(w.pressKey("Ctrl+Z"));
    EXPECT_EQ(program.log(), "delete b;undo save;save;escape;undo save");
    EXPECT_THROW(w.pressKey("Ctrl+Banana"), std::invalid_argument);
    EXPECT_THROW(w.shortcut("Hyper+X", [] {}), std::invalid_argument);
}

TEST_F(Model, ArrowsChooseWithinAnOptionGroupPassingWhatCannotBeUsed)
{
    const struct {
        int from;
        const char* key;
        int chosen;
    } cases[] = {{1, "Down", 2}, {2, "Right", 4}, {4, "Down", 1}, {1, "Up", 4}, {4, "Left", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " " + c.key);
        w("optUnit", c.from).setValue(true);
        w.setFocus(&w("optUnit", c.from));
        w("lblLog").setCaption("");
        EXPECT_TRUE(w.pressKey(c.key));
        EXPECT_EQ(w.focus(), &w("optUnit", c.chosen));
        for (int i = 1; i <= 4; ++i) EXPECT_EQ(w("optUnit", i).value(), i == c.chosen) << i;
        EXPECT_EQ(program.log(), "unit " + std::to_string(c.chosen));
    }
}

TEST_F(Model, ShortcutsAndMnemonicsPressOnlyWhatAUserCouldPress)
{
    w.setFocus(&w("lstItems"));
    EXPECT_TRUE(w.pressKey("Ctrl+K"));  // taken by the window, but its button is disabled
    EXPECT_TRUE(w.pressKey("Alt+S"));   // the mnemonic of cmdSave
    EXPECT_EQ(w.focus(), &w("cmdSave"));
    EXPECT_TRUE(w.pressKey("Ctrl+O"));  // a menu entry's shortcut
    EXPECT_TRUE(w.pressKey("Alt+F"));   // opens the File menu: no click
    EXPECT_FALSE(w.pressKey("Alt+O"));  // an entry of a closed menu does not answer to Alt
    EXPECT_EQ(program.log(), "save;open");
    w("cmdSave").setEnabled(false);
    EXPECT_FALSE(w.pressKey("Alt+S"));
    EXPECT_TRUE(w.pressKey("Ctrl+S"));
    EXPECT_EQ(program.log(), "save;open");
}

TEST_F(Model, SaveDiscardCancelAsksWithTheQuestionIconAndTakesNothingElse)
{
    for (auto [given, taken] : {std::pair{qf::Answer::Save, "answered save"},
                                {qf::Answer::Discard, "answered discard"},
                                {qf::Answer::Cancel, "answered cancel"},
                                {qf::Answer::Ok, "answered cancel"},
                                {qf::Answer::Yes, "answered cancel"}}) {
        platform.answer = given;
        w("lblLog").setCaption("");
        w("cmdAsk").userClick();
        EXPECT_EQ(program.log(), taken);
    }
    EXPECT_EQ(platform.asked.back(), qf::Buttons::SaveDiscardCancel);
    EXPECT_EQ(platform.icons.back(), qf::Icon::Question);
}

// ---- Through the script runner --------------------------------------------------------------

namespace {

struct Outcome {
    int status;
    std::string out;
};

Outcome runScript(const std::string& script)
{
    std::ostringstream out, err;
    qv::script::ScriptPlatform platform(out);
    qf::Application app(platform);
    KeyProgram program(app);
    std::istringstream in(script);
    Outcome r;
    r.status = qv::script::run(program, app, platform, in, out);
    r.out = out.str();
    return r;
}

}  // namespace

TEST(ScriptKeys, SaveDiscardCancelAnswersArePrintedAsAsked)
{
    const Outcome r = runScript(
        "answer save\nclick cmdAsk\nanswer discard\nclick cmdAsk\nanswer cancel\nclick cmdAsk\n"
        "expect lblLog.caption \"answered save;answered discard;answered cancel\"\n");
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string asked =
        "message \"Quenvar\" \"Save changes to =SOCu+ before picking another species?\" "
        "savediscardcancel question -> ";
    EXPECT_EQ(r.out, asked + "save\n" + asked + "discard\n" + asked + "cancel\n");
}

TEST(ScriptKeys, KeyAndFocusDriveTheWindow)
{
    const Outcome r = runScript(
        "key frmMain \"Ctrl+Z\"\n"  // the text box has the focus at start
        "focus lstItems\npick lstItems \"c\"\n"
        "key frmMain \"Delete\"\nkey frmMain \"ctrl+z\"\nkey frmMain \"Alt+S\"\n"
        "key frmMain \"F1\"\n"  // nothing takes it
        "expect lblLog.caption \"delete c;undo save;save\"\n"
        "expect lstItems.items \"a\" \"b\"\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
}

TEST(ScriptKeys, EnabledIsAPropertyOfEveryControl)
{
    const Outcome r = runScript(
        "print cmdOff.enabled\nprint txtLocked.enabled\nprint txtName.enabled\n"
        "print lblName.enabled\ndump\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find("frmMain window")),
              "cmdOff.enabled = 0\ntxtLocked.enabled = 0\ntxtName.enabled = 1\nlblName.enabled = 1\n");
    EXPECT_NE(r.out.find("frmMain.cmdOff button caption=\"Off\" visible=1 enabled=0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("frmMain.lblStatus label caption=\"\" visible=1 enabled=1\n"), std::string::npos) << r.out;
}

TEST(ScriptKeys, WhatAUserCannotDoIsAScriptError)
{
    const struct {
        const char* script;
        const char* error;
    } cases[] = {
        {"click cmdOff\n", "error line 1: control is disabled: cmdOff"},
        {"type txtLocked \"x\"\n", "error line 1: control is disabled: txtLocked"},
        {"focus txtLocked\n", "error line 1: control is disabled: txtLocked"},
        {"focus txtGone\n", "error line 1: control is hidden: txtGone"},
        {"focus lblName\n", "error line 1: a label takes no focus: lblName"},
        {"focus txtNothing\n", "error line 1: unknown control: txtNothing"},
        {"key frmMain \"Ctrl+Banana\"\n", "error line 1: unknown key: \"Ctrl+Banana\""},
        {"key frmNone \"F1\"\n", "error line 1: unknown window: frmNone"},
        {"key frmOther \"F1\"\n", "error line 1: window is not open: frmOther"},
        {"key frmMain\n", "error line 1: wrong number of words for key"},
        {"answer maybe\n", "error line 1: answer takes yes, no, save, discard or cancel"},
        {"answer yes\nclick cmdAsk\n",
         "error line 2: a Save/Discard/Cancel question found the answer yes: \"Save "
         "changes to =SOCu+ before picking another species?\""},
        {"click cmdAsk\n",
         "error line 1: a Save/Discard/Cancel question found no queued answer: \"Save changes to "
         "=SOCu+ before picking another species?\""},
    };
    for (const auto& c : cases) {
        const Outcome r = runScript(c.script);
        EXPECT_EQ(r.status, 2) << c.script;
        ASSERT_FALSE(r.out.empty()) << c.script;
        const auto lastStart = r.out.rfind('\n', r.out.size() - 2);
        EXPECT_EQ(r.out.substr(lastStart == std::string::npos ? 0 : lastStart + 1), std::string(c.error) + "\n")
            << c.script;
    }
    // An answer of the right kind that no question takes is a failure, as for Yes/No.
    const Outcome unused = runScript("answer discard\n");
    EXPECT_EQ(unused.status, 1);
    EXPECT_EQ(unused.out, "FAIL line 1: an answer was not used: the program did not ask\n");
}
