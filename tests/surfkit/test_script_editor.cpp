// surfkit end to end: the unsaved-changes question, the undo of the last save or deletion, the
// species filter, the keyboard and the status line.

#include <gtest/gtest.h>

#include <string>

#include "script_fixture.h"

using namespace sktest;

namespace {

const std::string recA = crlf({R"(300030,"A",0,1,0,0,1,0,0,0,0,2)", "1,30,-1,3"});
const std::string recB = crlf({R"(310030,"B",-5,2.5,0,0,1,0,0,0,0,2)", "1,31,-1,3"});
const std::string recC = crlf({R"(90030,"C",0,3,0,0,1,0,0,0,0,1)", "1,9"});
const std::string abc = recA + recB + recC + endBlock;

const std::string title = "Sorption / complexation database editor for Quenvar";

std::string question(const std::string& text, const std::string& answer)
{
    return "message \"Unsaved changes - Quenvar\" \"" + text + "\" savediscardcancel question -> " + answer;
}

// A database of `count` species Sp1, Sp2, ... with IDs 500001, 500002, ...; species `changed` gets
// log K 9.5 instead of 1, species `changed8` log K 8, and species `left` is missing.
std::string generated(int count, int changed = 0, int left = 0, int changed8 = 0)
{
    std::string out;
    for (int k = 1; k <= count; ++k) {
        if (k == left) continue;
        out += crlf({std::to_string(500000 + k) + ",\"Sp" + std::to_string(k) + "\",0," +
                         (k == changed    ? "9.5"
                          : k == changed8 ? "8"
                                          : "1") +
                         ",0,0,0,0,0,0,0,1",
                     "1,5"});
    }
    return out + endBlock;
}

}  // namespace

TEST(SurfkitUnsaved, AnEditSurvivesAPickOnlyThroughTheQuestion)
{
    struct Case {
        const char* answer;  // the answer lines
        const char* given;   // the answer to the question, as the run prints it
        std::string after;   // what the window shows after the pick
        std::string file;    // what the file holds
    };
    const std::string savedA = crlf({R"(300030,"A",0,7,0,0,1,0,0,0,0,2)", "1,30,-1,3"}) + recB + recC + endBlock;
    const Case cases[] = {
        {"cancel", "cancel",
         "expect txtlogk.text \"7\"\nexpect txtName.text \"A\"\nexpect lstReactions.text \"A\"\n"
         "expect frmMaindb.caption \"*s.mdb - " +
             title + "\"\n",
         abc},
        {"discard", "discard",
         "expect txtName.text \"B\"\nexpect txtlogk.text \"  2.5\"\nexpect frmMaindb.caption \"s.mdb - " + title +
             "\"\n",
         abc},
        {"save\nanswer yes", "save",
         "expect txtName.text \"B\"\nexpect lstReactions.text \"B\"\nexpect lblStatus.caption \"Saved s.mdb\"\n"
         "expect frmMaindb.caption \"s.mdb - " +
             title + "\"\n",
         savedA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        DataDir d("s.mdb", abc);
        const auto r = RUN_OK(d, "expect frmMaindb.caption \"s.mdb - " + title +
                                     "\"\npick lstReactions \"A\"\ntype txtlogk \"7\"\n"
                                     "expect frmMaindb.caption \"*s.mdb - " +
                                     title + "\"\nanswer " + c.answer + "\npick lstReactions \"B\"\n" + c.after);
        EXPECT_TRUE(printed(r, question("Save changes to A before showing B?", c.given))) << r.output;
        EXPECT_EQ(d.read("s.mdb"), c.file);
    }

    // Opening another file and closing the window ask too; a Cancel leaves all as it was (no dialog,
    // the window stays open with the change).
    DataDir d("s.mdb", abc);
    const auto r = RUN_OK(d, R"S(
pick lstReactions "A"
type txtlogk "7"
answer cancel
click mnuFileOpen
answer cancel
close frmMaindb
answer cancel
click cmdAddnew
expect frmMaindb.visible 1
expect lblNameDb.caption "s.mdb"
expect txtlogk.text "7"
expect txtSpname.visible 0
)S");
    EXPECT_TRUE(printed(r, question("Save changes to A before opening another file?", "cancel"))) << r.output;
    EXPECT_TRUE(printed(r, question("Save changes to A before closing?", "cancel"))) << r.output;
    EXPECT_EQ(r.output.find("dialog"), std::string::npos) << r.output;
    EXPECT_EQ(d.read("s.mdb"), abc);
}

TEST(SurfkitUndo, RestoresTheExactBytesBeforeASaveOrADeletion)
{
    struct Case {
        const char* name;
        std::string action;
        std::string status;
        std::string asked;  // the undo question
    };
    const Case cases[] = {
        {"save", "pick lstReactions \"A\"\ntype txtlogk \"7\"\nanswer yes\nkey frmMaindb \"Ctrl+S\"\n", "Saved s.mdb",
         "Undo the save of A and put back s.mdb as it was before?"},
        {"delete", "pick lstReactions \"B\"\nfocus lstReactions\nanswer yes\nkey frmMaindb \"Delete\"\n", "Deleted B",
         "Undo the deletion of B and put back s.mdb as it was before?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataDir d("s.mdb", abc);
        const auto r = RUN_OK(d, c.action + "expect lblStatus.caption \"" + c.status +
                                     "\"\nanswer no\nclick mnuFileUndo\nfocus lstReactions\nanswer yes\n"
                                     "key frmMaindb \"Ctrl+Z\"\nexpect lstReactions.items \"A\" \"B\" \"C\"\n"
                                     "expect lblStatus.caption \"Undo: s.mdb restored\"\nexpect txtName.text \"\"\n"
                                     "click mnuFileUndo\nexpect lblStatus.caption \"\"\n");
        EXPECT_TRUE(printed(r, "message \"Undo last save - Quenvar\" \"" + c.asked + "\" yesno question -> yes"))
            << r.output;
        EXPECT_TRUE(printed(r, critical("Undo last save - Quenvar", "There is no save of this window to undo")))
            << r.output;
        EXPECT_EQ(d.read("s.mdb"), abc);
        EXPECT_TRUE(d.exists("s.mdb.bak"));  // the backup stays beside the file
    }

    // A refused save says nothing success-like, even after a successful one.
    DataDir d("s.mdb", abc);
    RUN_OK(d, R"S(
pick lstReactions "A"
type txtlogk "7"
answer yes
click cmdSavedb
expect lblStatus.caption "Saved s.mdb"
type txtlogk ""
answer yes
click cmdSavedb
expect lblStatus.caption ""
)S");
}

TEST(SurfkitFilter, CountsAndPicksOnAGeneratedDatabase)
{
    const std::string db = generated(3000);
    DataDir d("g.mdb", db);
    const auto r = RUN_OK(d, R"S(
expect lblFilterCount.caption "3000 species"
key frmMaindb "Ctrl+F"
type txtFilter "sP1"
expect lblFilterCount.caption "1111 of 3000 species"
expect lstReactions.count 1111
type txtFilter "50299"
expect lblFilterCount.caption "10 of 3000 species"
pick lstReactions #3
expect txtName.text "Sp2992"
expect txtID.text " 502992"
key frmMaindb "Escape"
expect txtFilter.text ""
expect lblFilterCount.caption "3000 species"
expect lstReactions.text "Sp2992"
expect lstReactions.index 2992
type txtFilter "sp29"
expect lblFilterCount.caption "111 of 3000 species"
expect lstReactions.text "Sp2992"
pick lstReactions "Sp2950"
focus lstReactions
answer yes
key frmMaindb "Delete"
expect lblFilterCount.caption "110 of 2999 species"
pick lstReactions "Sp2960"
type txtlogk "9,5"
answer yes
click cmdSavedb
expect lblFilterCount.caption "110 of 2999 species"
pick lstReactions "Sp2961"
type txtlogk "8"
type txtFilter "Sp1"
expect lstReactions.index 0
answer yes
key frmMaindb "Ctrl+S"
expect lblStatus.caption "Saved g.mdb"
expect lblFilterCount.caption "2999 species"
type txtFilter "no such species"
expect lstReactions.count 0
expect lblFilterCount.caption "0 of 2999 species"
)S");
    // Only the deleted and the saved species differ: the order and every other record stay.
    EXPECT_EQ(d.read("g.mdb"), generated(3000, 2960, 2950, 2961));
}

TEST(SurfkitKeys, ShortcutsMnemonicsAndEnter)
{
    struct Case {
        std::string keys;   // the lines before and the key
        std::string shown;  // what the run prints
    };
    const std::string saveAsked =
        "message \"Species change - Quenvar\" \"Are you really sure you would like to save "
        "changes to the database? - The old settings will disappear forever\" yesno question "
        "-> no";
    const Case cases[] = {
        {"answer no\nkey frmMaindb \"Ctrl+S\"\n", saveAsked},
        {"focus txtlogk\nanswer no\nkey frmMaindb \"Return\"\n", saveAsked},
        {"dialog cancel\nkey frmMaindb \"Ctrl+O\"\n", "dialog open \""},
        {"dialog cancel\nkey frmMaindb \"Ctrl+Shift+S\"\n", "dialog save \"Sorption database files (*.MDB)|*.MDB\""},
        {"key frmMaindb \"F1\"\n", "message \"About surfkit\" \"surfkit "},
        {"key frmMaindb \"Alt+A\"\nexpect txtSpname.visible 1\n", ""},
        {"key frmMaindb \"Alt+A\"\nkey frmMaindb \"Escape\"\nexpect txtSpname.visible 0\nexpect txtID.text \"\"\n", ""},
        {"key frmMaindb \"Alt+A\"\ntype txtName \"N\"\nanswer cancel\nkey frmMaindb \"Escape\"\n"
         "expect txtSpname.visible 1\nexpect txtName.text \"N\"\n",
         question("Save changes to N before leaving the new species?", "cancel")},
        {"key frmMaindb \"Ctrl+Q\"\n", "end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        DataDir d("s.mdb", abc);
        const auto r = RUN_OK(d, "pick lstReactions \"A\"\n" + c.keys);
        EXPECT_NE(r.output.find(c.shown), std::string::npos) << r.output;
        EXPECT_EQ(d.read("s.mdb"), abc);
    }
}
