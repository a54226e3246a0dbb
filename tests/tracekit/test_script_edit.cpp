// The analyte editor as a desktop editor end to end: refused typing slips, the add mode's way
// back, the question before unsaved terms are left, the undo of a save or deletion, the keys,
// the status line and the findings window, each on a data directory built for the test.

#include <gtest/gtest.h>

#include <string>

#include "tracekit_dir.h"

namespace {

using namespace tktest;

const std::string analyt = crlf({header, calcite, gypsum, zero, hco3, zero});
const std::string thermo = crlf(
    {thermoHco3, "1,55,1,3", "61.017,\"Test set\",\"\"", thermoCo3, "1,55", "60.009,\"Test set\",\"\"", thermoEnd});

const std::string title = "tracekit For Quenvar";

class TracekitEdit : public TracekitDir {
protected:
    TracekitEdit() : TracekitDir(analyt, thermo) {}
    static bool said(const RunResult& r, const std::string& text) { return r.output.find(text) != std::string::npos; }
};

TEST_F(TracekitEdit, TypedTermsThatAreNotWhollyNumbersAreRefusedAndADecimalCommaIsAPoint)
{
    const struct {
        const char* box;
        const char* typed;
        const char* term;
    } cases[] = {
        {"txtEntryA", "abc", "A"},
        {"txtEntryD", "2.5e-3 K", "D"},
        {"txtEntryF", "0.110.14", "F"},
        {"txtEntryG", "2,5,1", "G"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const RunResult r = run(std::string("pick cboSpecies \"Calcite\"\ntype ") + c.box + " \"" + c.typed +
                                "\"\nclick cmdSave\nexpect " + c.box + ".text \"" + c.typed +
                                "\"\nexpect frmMain.caption \"*analyt.mdb - " + title +
                                "\"\nexpect lblNotFinite.visible 1\nanswer discard\nclick optAqueous\n");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_TRUE(said(r, std::string("message \"Note!\" \"The value of \\\"term ") + c.term +
                                "\\\" is not a number: \\\"" + c.typed + "\\\".\" ok none -> ok"))
            << r.output;
        EXPECT_EQ(bytes(), analyt);
    }

    // "2,5" is 2.5 for the plot as for the save.
    const RunResult r = run(R"S(
pick cboSpecies "Gypsum"
type txtEntryA "2,5"
type txtEntryC " 0"
expect lblLogK25.caption "inverse log K (25 )S"
                            "\xB0"
                            R"S(C) = 2.500"
key frmMain "Ctrl+S"
expect lblStatus.caption "Saved analyt.mdb"
expect frmMain.caption "analyt.mdb - tracekit For Quenvar"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(bytes(), crlf({header, calcite, "6090540,\"Gypsum\",2.5,0,0,0,0,0,0", zero, hco3, zero}));
}

TEST_F(TracekitEdit, TheAddModeListsOnlyNewSpeciesAndHasAWayBack)
{
    const RunResult r = run(R"S(
click cmdAdd
expect cboSpecies.items "Aragonite"
expect cmdCancel.visible 1
click cmdCancel
expect cmdCancel.visible 0
expect cmdAdd.visible 1
expect cboSpecies.items "Calcite" "Gypsum"
click cmdAdd
focus optSolid
key frmMain "Escape"
expect cmdAdd.visible 1
expect cboSpecies.items "Calcite" "Gypsum"
click cmdAdd
type cboSpecies "Calcite"
type txtEntryA "1"
answer no
click cmdSave
expect cmdCancel.visible 1
expect cboSpecies.text "Calcite"
answer yes
click cmdSave
expect cmdCancel.visible 0
expect cboSpecies.text "Calcite"
expect txtEntryA.text "-8.9456"
type cboSpecies "Aragonite"
click cmdSave
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string present =
        "message \"Note!\" \"The species Calcite already has a function in the solid section "
        "of analyt.mdb. Nothing added! Show it instead?\" yesno question";
    EXPECT_TRUE(said(r, present + " -> no\n" + present + " -> yes\n")) << r.output;
    EXPECT_TRUE(said(r,
                     "message \"Note!\" \"The species Aragonite is not in analyt.mdb. Nothing saved! To give it a "
                     "function, use \\\"Add new species from the main thermodynamic database\\\".\" ok none -> ok"))
        << r.output;
    EXPECT_EQ(bytes(), analyt);
}

TEST_F(TracekitEdit, UnsavedTermsAreLeftOnlyThroughTheQuestion)
{
    const RunResult r = run(R"S(
pick cboSpecies "Calcite"
type txtEntryA "-9"
expect frmMain.caption "*analyt.mdb - tracekit For Quenvar"
answer cancel
pick cboSpecies "Gypsum"
expect cboSpecies.text "Calcite"
expect txtEntryA.text "-9"
answer cancel
click optAqueous
expect optSolid.value 1
expect cboSpecies.items "Calcite" "Gypsum"
answer cancel
click cmdAdd
expect cmdAdd.visible 1
answer cancel
click cmdQuit
answer cancel
close frmMain
expect txtEntryA.text "-9"
answer discard
pick cboSpecies "Gypsum"
expect txtEntryA.text "-4.9"
expect frmMain.caption "analyt.mdb - tracekit For Quenvar"
type txtEntryA "-5"
answer save
pick cboSpecies "Calcite"
expect txtEntryA.text "-8.9456"
type txtEntryB "1"
answer save
close frmMain
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    for (const char* action :
         {"showing Gypsum", "switching to aqueous species", "adding a species", "quitting", "closing"})
        EXPECT_TRUE(said(r, "\"Save changes to Calcite before " + std::string(action) + "?\" savediscardcancel"))
            << action << "\n"
            << r.output;
    EXPECT_EQ(bytes(), crlf({header, "6090550,\"Calcite\",-8.9456,1,1250,0,0,0,0",
                             "6090540,\"Gypsum\",-5,0,95.4,0,0,0,0", zero, hco3, zero}));
}

TEST_F(TracekitEdit, UndoPutsBackTheBytesBeforeASaveAndBeforeADeletion)
{
    const std::string lf = "\"Analytes\"\n" + calcite + "\n" + gypsum + "\n" + zero + "\n" + hco3 + "\n" + zero + "\n";
    dir.write("analyt.mdb", lf);
    const struct {
        const char* name;
        const char* change;
        const char* status;
    } cases[] = {
        {"save", "pick cboSpecies \"Gypsum\"\ntype txtEntryB \"2\"\nclick cmdSave\n", "Saved analyt.mdb"},
        {"delete", "pick cboSpecies \"Gypsum\"\nfocus cboSpecies\nanswer yes\nkey frmMain \"Delete\"\n",
         "Deleted Gypsum"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("analyt.mdb", lf);
        const RunResult r = run(std::string(c.change) + "expect lblStatus.caption \"" + c.status +
                                "\"\nfocus optSolid\nanswer yes\nkey frmMain \"Ctrl+Z\"\n"
                                "expect lblStatus.caption \"Undo: analyt.mdb restored\"\n"
                                "expect cboSpecies.items \"Calcite\" \"Gypsum\"\nclick mnuFileUndo\n");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(bytes(), lf);
        EXPECT_TRUE(said(r, "message \"Note!\" \"There is no save or deletion to undo.\" ok none -> ok")) << r.output;
        EXPECT_TRUE(dir.exists("analyt.mdb.bak"));
    }
}

TEST_F(TracekitEdit, TheKeyboardReachesTheWindow)
{
    const RunResult r = run(R"S(
focus cboSpecies
type cboSpecies "CALC"
key frmMain "Return"
expect cboSpecies.text "Calcite"
expect txtEntryA.text "-8.9456"
type cboSpecies "x"
key frmMain "Return"
expect lblStatus.caption "No species contains \"x\""
expect txtEntryA.text "-8.9456"
type txtEntryB "3"
type txtEntryC "x"
key frmMain "Ctrl+S"
expect lblStatus.caption ""
type txtEntryC "1250"
pick cboSpecies "Calcite"
expect txtEntryB.text "3"
focus txtEntryB
key frmMain "Return"
expect lblStatus.caption "Saved analyt.mdb"
focus optSolid
key frmMain "Alt+U"
expect optAqueous.value 1
expect cboSpecies.items "HCO3-"
key frmMain "F1"
key frmMain "Ctrl+Q"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(bytes(), crlf({header, "6090550,\"Calcite\",-8.9456,3,1250,0,0,0,0", gypsum, zero, hco3, zero}));
    EXPECT_TRUE(said(r, "message \"About tracekit\" \"tracekit ")) << r.output;
}

TEST_F(TracekitEdit, TheCheckWindowShowsTheFindingsAndAPickShowsTheSpecies)
{
    // HCO3- twice in the aqueous section; Dolomite in no database.
    dir.write("analyt.mdb", crlf({header, calcite, zero, hco3, hco3, zero}));
    const RunResult r = run(R"S(
key frmMain "Ctrl+K"
expect frmCheck.lblSummary.caption "0 errors, 1 warning in analyt.mdb"
expect frmCheck.lstFindings.count 1
pick frmCheck.lstFindings #1
expect optAqueous.value 1
expect cboSpecies.text "HCO3-"
expect txtEntryA.text " 7.6468"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(bytes(), crlf({header, calcite, zero, hco3, hco3, zero}));
}

}  // namespace
