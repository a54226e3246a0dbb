// surfkit end to end: the user's own slips. Typed text that is not wholly a number (or yes/no) is
// refused before anything is written; a save leaves the saved species selected as the file now
// holds it; opening another database clears the species display; a refused save to a new
// database makes no file; the data check opens on the open database and a picked finding shows
// its species.

#include <gtest/gtest.h>

#include <string>

#include "script_fixture.h"

using namespace sktest;

namespace {

const std::string recA = crlf({R"(300030,"A",0,1,0,0,1,0,0,0,0,2)", "1,30,-1,3"});
const std::string recB = crlf({R"(310030,"B",-5,2.5,0,0,1,0,0,0,0,2)", "1,31,-1,3"});
const std::string abc = recA + recB + endBlock;

}  // namespace

TEST(SurfkitSlips, TypedTextThatIsNotWhollyANumberIsRefusedNamingTheField)
{
    struct Case {
        const char* box;
        const char* typed;
        const char* field;
    };
    const Case cases[] = {
        {"txtlogk", "abc", "log K"},
        {"txtCharge", "2,5,1", "Charge"},
        {"txtID", "300031a", "Species ID number"},
        {"txtdhr", "1.2.3", "dHr (kJ/mol)"},
        {"txtStoich(2)", "-1x", "Stoichiometry of 2nd component"},
        {"txtNocomp", "two", "No. of components"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        for (const char* button : {"cmdSavedb", "cmdNewDb"}) {
            SCOPED_TRACE(button);
            DataDir d("s.mdb", abc);
            const std::string answer = std::string(button) == "cmdSavedb" ? "answer yes\n" : "";
            const auto r = RUN_OK(d, "pick lstReactions \"A\"\ntype " + std::string(c.box) + " \"" + c.typed + "\"\n" +
                                         answer + "click " + button + "\nexpect " + c.box + ".text \"" + c.typed +
                                         "\"\nexpect lblNameDb.caption \"s.mdb\"\n");
            EXPECT_TRUE(printed(r, critical("Quenvar error", std::string("The value of \\\"") + c.field +
                                                                 "\\\" is not a number: \\\"" + c.typed + "\\\".")))
                << r.output;
            EXPECT_EQ(d.read("s.mdb"), abc);
            EXPECT_EQ(r.output.find("dialog save"), std::string::npos) << r.output;
        }
    }
}

TEST(SurfkitSlips, ANewSpeciesComponentWithAStoichiometryThatIsNoNumberIsNotTakenIn)
{
    DataDir d("s.mdb", abc);
    const auto r = RUN_OK(d, R"S(
click cmdAddnew
type txtSpname "N"
pick cboComp "Cu+2"
type txtStoicn "1..5"
click cmdNextcomp
expect txtComp(1).visible 0
expect lblComp.caption "Component no. 1"
type txtStoicn "1,5"
click cmdNextcomp
expect txtStoich(1).text "1,5"
pick cboComp "H+"
type txtStoicn "-"
click cmdSuggest
expect txtComp(2).visible 0
expect lstReactions.items "A" "B"
)S");
    for (const char* typed : {"1..5", "-"})
        EXPECT_TRUE(printed(r, critical("Quenvar error", "The value of \\\"Stoichiometry of " +
                                                             std::string(*typed == '-' ? "2nd" : "1st") +
                                                             " component\\\" is not a number: \\\"" + typed + "\\\".")))
            << r.output;
}

TEST(SurfkitSlips, ToxicityTakesWhatAPersonTypesForYesAndNo)
{
    const std::string cu = R"(1000010,"Cu-gill",0,3.5,0,7,1,0,0,0,0,1)";
    const std::string bli = crlf({R"("BLM parameters","Cu",0.5)", cu, "1,30"}) + endBlock;
    struct Case {
        const char* typed;
        const char* written;  // field 6, or nothing: refused
    };
    const Case cases[] = {{"yes", "1"}, {" Y ", "1"}, {"1", "1"}, {"TRUE", "1"}, {"No", "0"},
                          {"n", "0"},   {"0", "0"},   {"", "0"},  {"maybe", ""}, {"2", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        DataDir d("g.bli", bli);
        const auto r = RUN_OK(d, "pick lstReactions \"Cu-gill\"\ntype txtKsel \"" + std::string(c.typed) +
                                     "\"\nanswer yes\nclick cmdSavedb\n");
        if (*c.written == '\0') {
            EXPECT_TRUE(printed(r, critical("Quenvar error",
                                            "The value of \\\"Contributes to toxicity\\\" must be Yes or "
                                            "No: \\\"" +
                                                std::string(c.typed) + "\\\".")))
                << r.output;
            EXPECT_EQ(d.read("g.bli"), bli);
        } else {
            EXPECT_EQ(linesOf(d.read("g.bli"))[2],
                      std::string(R"(1000010,"Cu-gill",0,3.5,0,)") + c.written + ",1,0,0,0,0,1");
        }
    }
}

TEST(SurfkitSlips, ASavedSpeciesStaysSelectedAsTheFileNowHoldsIt)
{
    // Two corrections in a row, the second without clicking the species again; then a rename.
    DataDir d("s.mdb", abc);
    const auto r = RUN_OK(d, R"S(
pick lstReactions "A"
type txtlogk "5,5"
answer yes
click cmdSavedb
expect lstReactions.text "A"
expect txtlogk.text "  5.5"
expect cmdDelete.visible 1
type txtlogk "6"
type txtName "A2"
answer yes
click cmdSavedb
expect lstReactions.items "A2" "B"
expect lstReactions.text "A2"
expect txtName.text "A2"
expect txtlogk.text "  6"
expect txtComp(1).text "Cu+2"
)S");
    EXPECT_EQ(r.output.find("Please use the mouse"), std::string::npos) << r.output;
    EXPECT_EQ(d.read("s.mdb"), crlf({R"(300030,"A2",0,6,0,0,1,0,0,0,0,2)", "1,30,-1,3"}) + recB + endBlock);

    // After a save to a new database the species is selected there too.
    DataDir n("s.mdb", abc);
    RUN_OK(n,
           "pick lstReactions \"B\"\ntype txtlogk \"3\"\ndialog \"t.mdb\"\nclick cmdNewDb\n"
           "expect lblNameDb.caption \"" +
               n.path("t.mdb") +
               "\"\nexpect lstReactions.text \"B\"\n"
               "expect txtlogk.text \"  3\"\n");
}

TEST(SurfkitSlips, OpeningAnotherDatabaseClearsTheSpeciesDisplay)
{
    DataDir d("s.mdb", abc);
    d.write("t.mdb", recB + endBlock);
    RUN_OK(d, R"S(
pick lstReactions "A"
expect cmdDelete.visible 1
dialog "t.mdb"
click mnuFileOpen
expect lstReactions.items "B"
expect lstReactions.index 0
expect txtName.text ""
expect txtID.text ""
expect txtlogk.text ""
expect txtCharge.text ""
expect txtComp(1).visible 0
expect txtStoich(1).visible 0
expect cmdDelete.visible 0
)S");
    // The entry of a new species goes too, once the user gives it up.
    RUN_OK(d,
           "click cmdAddnew\ntype txtSpname \"N\"\nanswer discard\ndialog \"t.mdb\"\nclick mnuFileOpen\n"
           "expect txtSpname.visible 0\nexpect cboComp.visible 0\nexpect cmdSuggest.visible 0\n");
}

TEST(SurfkitSlips, ARefusedSaveToANewDatabaseMakesNoFileAndStaysOnTheOpenOne)
{
    DataDir d("s.mdb", abc);
    const auto r = RUN_OK(d, R"S(
pick lstReactions "A"
type txtlogk ""
click cmdNewDb
expect lblNameDb.caption "s.mdb"
type txtlogk "4"
answer yes
click cmdSavedb
)S");
    EXPECT_TRUE(printed(r, critical("Quenvar error",
                                    "One or more required data fields have been left blank. Please "
                                    "complete before saving")))
        << r.output;
    EXPECT_EQ(r.output.find("dialog save"), std::string::npos) << r.output;
    // The later save went to the database that was open all along.
    EXPECT_EQ(linesOf(d.read("s.mdb"))[0], R"(300030,"A",0,4,0,0,1,0,0,0,0,2)");
}

TEST(SurfkitCheckWindow, CtrlKListsTheFindingsAndAPickShowsTheSpecies)
{
    // "Ghost" names component 77, which comp.mdb does not hold; "Odd" is out of charge balance.
    const std::string ghost = crlf({R"(300771,"Ghost",0,1,0,0,2,0,0,0,0,2)", "1,30,1,77"});
    const std::string odd = crlf({R"(310030,"Odd",0,1,0,0,5,0,0,0,0,2)", "1,31,-1,3"});
    DataDir d("planted.mdb", recA + ghost + odd + endBlock);
    const auto picks = RUN_OK(d, R"S(
expect frmCheck.visible 0
key frmMaindb "Ctrl+K"
expect frmCheck.visible 1
expect lblSummary.caption "1 error, 1 warning in planted.mdb"
expect lstFindings.count 2
pick lstFindings #2
expect lstReactions.text "Odd"
expect txtName.text "Odd"
expect txtCharge.text " 5"
pick lstFindings #1
expect lstReactions.text "Ghost"
expect cmdDelete.visible 1
print lblFinding.caption
click cmdClose
expect frmCheck.visible 0
)S");
    // The picked line, whole, under the list.
    EXPECT_NE(picks.output.find("lblFinding.caption = \"line 3: error: species 300771 \\\"Ghost\\\""),
              std::string::npos)
        << picks.output;
    const auto r = RUN_OK(d, "click mnuFileCheck\nprint lstFindings.items\n");
    EXPECT_NE(r.output.find("lstFindings.items = \"line 3: error: "), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\"line 5: warning: "), std::string::npos) << r.output;

    // A clean database.
    DataDir clean("c.mdb", recA + endBlock);
    RUN_OK(clean,
           "click mnuFileCheck\nexpect lblSummary.caption \"No problems found in c.mdb\"\n"
           "expect lstFindings.count 0\n");
}

TEST(SurfkitCheckWindow, ASaveOfASpeciesOutOfChargeBalanceSavesAndAddsANote)
{
    DataDir d("s.mdb", abc);
    const auto r = RUN_OK(d, "pick lstReactions \"A\"\ntype txtCharge \"4\"\nanswer yes\nclick cmdSavedb\n");
    EXPECT_EQ(linesOf(d.read("s.mdb"))[0], R"(300030,"A",0,1,0,0,4,0,0,0,0,2)");
    const std::size_t note = r.output.find("message \"Note!\" \"The species \\\"A\\\" was saved, but:");
    ASSERT_NE(note, std::string::npos) << r.output;
    EXPECT_NE(r.output.find("ok exclamation -> ok", note), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("4", note), std::string::npos) << r.output;
}
