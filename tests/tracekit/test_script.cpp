// The analyte editor end to end: the program run in script mode on data directories that each
// test builds, with the bytes of analyt.mdb checked after each action; and a few steps of the
// window logic run in process where a file must change between two user actions.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "quenvar/forms.h"
#include "quenvar/script.h"
#include "shown.h"
#include "tracekit/window.h"
#include "tracekit_dir.h"

namespace {

using namespace tktest;
using qvtest::shown;
using Names = std::vector<std::string>;

const std::string caHco3 = "90551,\"CaHCO3+\",18.6377,0.0095,-1650,-2.5,1E-05,85000,12.5";
const std::string analyt = crlf({header, calcite, gypsum, zero, hco3, caHco3, zero});

// thermo.mdb with OH- ahead of the carbonates.
const std::string thermo =
    crlf({"10030,\"OH-\",-14,55.8,0,0,-1,3.5,0,0,2", "1,1,-1,3", "17.007,\"Test set\",\"\"", thermoHco3, "1,55,1,3",
          "61.017,\"Test set\",\"\"", thermoCo3, "1,55", "60.009,\"Test set\",\"\"", thermoEnd});

class Tracekit : public TracekitDir {
protected:
    Tracekit() : TracekitDir(analyt, thermo) {}

    bool printed(const RunResult& r, const std::string& line) const
    {
        return r.output.find(line + "\n") != std::string::npos;
    }
    // The data directory holds the same files as at the start, the backup of a save aside: no
    // temporary file left.
    void expectNoTemporary() const
    {
        Names entries = dir.entries();
        std::erase(entries, "analyt.mdb.bak");
        EXPECT_EQ(entries, (Names{"analyt.mdb", "dabase.txt", "thermo.mdb", "type6.mdb"}));
    }
};

const std::string boxesEmpty = R"S(
expect txtEntryA.text ""
expect txtEntryB.text ""
expect txtEntryC.text ""
expect txtEntryD.text ""
expect txtEntryE.text ""
expect txtEntryF.text ""
expect txtEntryG.text ""
)S";

const std::string nothingAdded = R"S(message "Note!" "Nothing added!" ok none -> ok)S";

TEST_F(Tracekit, StartsWithTheSolidSectionListedAndTheFormulaLaidOut)
{
    const RunResult r = run(R"S(
expect frmMain.caption "analyt.mdb - tracekit For Quenvar"
expect optSolid.value 1
expect optAqueous.value 0
expect Label15.caption "Solid phase species"
expect Label16.caption "Aqueous species"
expect cboSpecies.text "Select species"
expect cboSpecies.items "Calcite" "Gypsum"
expect cboSpecies.index 0
expect Label7.caption "log K ="
expect Label1.caption "+"
expect Label6.caption "+"
expect Label8.caption "* T"
expect Label9.caption "/ T"
expect Label10.caption "* LOG10(T)"
expect Label11.caption "* T * T"
expect Label12.caption "/ (T * T)"
expect Label13.caption "/ SQRT(T)"
expect lblReverse.visible 1
expect lblReverse.caption "For solids, it is the INVERSE log K that is calculated here. This means that you may have to reverse the sign of all terms to arrive at the correct log K !!"
expect Label14.caption "With this editor, you can add or edit power functions that Quenvar uses to correct equilibrium constants for temperature. If data are present in this database, Quenvar will use these data instead of the delta-Hr value."
expect cmdAdd.caption "Add new species from the main thermodynamic database"
expect cmdAdd.visible 1
expect cmdDelete.caption "Delete this species"
expect cmdDelete.visible 1
expect cmdSave.caption "Save changes to database"
expect cmdQuit.caption "Quit"
)S" + boxesEmpty + "click cmdQuit\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "end\n");
    EXPECT_EQ(bytes(), analyt);
    expectNoTemporary();
}

TEST_F(Tracekit, TheOptionButtonsListTheirSectionAndShowTheSolidsNote)
{
    const RunResult r = run(R"S(
pick cboSpecies "Calcite"
expect txtEntryA.text "-8.9456"
click optAqueous
expect lblReverse.visible 0
expect cboSpecies.items "HCO3-" "CaHCO3+"
expect cboSpecies.text "Select species"
)S" + boxesEmpty + R"S(
pick cboSpecies "CaHCO3+"
expect txtEntryA.text " 18.6377"
click optSolid
expect lblReverse.visible 1
expect cboSpecies.items "Calcite" "Gypsum"
)S" + boxesEmpty);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(bytes(), analyt);
}

TEST_F(Tracekit, SavingWithoutASpeciesIsRefused)
{
    const RunResult r = run(R"S(
click cmdSave
type cboSpecies "   "
click cmdSave
type cboSpecies ""
click cmdSave
click cmdAdd
click cmdSave
expect cmdAdd.visible 0
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, nothingAdded + "\n" + nothingAdded + "\n" + nothingAdded + "\n" + nothingAdded + "\n");
    EXPECT_EQ(bytes(), analyt);
    expectNoTemporary();
}

TEST_F(Tracekit, ChangedTermsAreSavedAndShownAgainInTheDisplayForm)
{
    const RunResult r = run(R"S(
pick cboSpecies "Calcite"
expect txtEntryA.text "-8.9456"
expect txtEntryB.text "-0.0125"
expect txtEntryC.text " 1250"
expect txtEntryD.text " 0"
type txtEntryA "-9.50"
type txtEntryD "2,5e-3"
type txtEntryG ".5"
click cmdSave
expect cboSpecies.text "Calcite"
expect cboSpecies.items "Calcite" "Gypsum"
expect txtEntryA.text "-9.50"
expect txtEntryD.text "2,5e-3"
expect txtEntryG.text ".5"
click optAqueous
click optSolid
pick cboSpecies "Calcite"
expect txtEntryA.text "-9.5"
expect txtEntryB.text "-0.0125"
expect txtEntryC.text " 1250"
expect txtEntryD.text " 0.0025"
expect txtEntryE.text " 0"
expect txtEntryG.text " 0.5"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(bytes(),
              crlf({header, "6090550,\"Calcite\",-9.5,-0.0125,1250,0.0025,0,0,0.5", gypsum, zero, hco3, caHco3, zero}));
    expectNoTemporary();
}

TEST_F(Tracekit, AnEmptyTermBoxIsSavedAsZero)
{
    const RunResult r = run(R"S(
click optAqueous
pick cboSpecies "CaHCO3+"
expect txtEntryE.text " 1E-05"
type txtEntryE ""
type txtEntryF "   "
type txtEntryG "   "
click cmdSave
pick cboSpecies "CaHCO3+"
expect txtEntryE.text " 0"
expect txtEntryF.text " 0"
expect txtEntryG.text " 0"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(bytes(),
              crlf({header, calcite, gypsum, zero, hco3, "90551,\"CaHCO3+\",18.6377,0.0095,-1650,-2.5,0,0,0", zero}));
}

TEST_F(Tracekit, AnAddedAqueousSpeciesComesFirstInItsListAndBrowsingReturns)
{
    const RunResult r = run(R"S(
click optAqueous
click cmdAdd
expect cmdAdd.visible 0
expect cmdDelete.visible 0
expect cboSpecies.text "Select species"
expect cboSpecies.items "OH-" "CO3-2"
pick cboSpecies "CO3-2"
)S" + boxesEmpty + R"S(
type txtEntryA "1.5"
type txtEntryC "-250"
click cmdSave
expect cmdAdd.visible 1
expect cmdDelete.visible 1
expect optAqueous.value 1
expect cboSpecies.text "Select species"
expect cboSpecies.items "CO3-2" "HCO3-" "CaHCO3+"
)S" + boxesEmpty + R"S(
pick cboSpecies "CO3-2"
expect txtEntryA.text " 1.5"
expect txtEntryC.text "-250"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(bytes(),
              crlf({header, calcite, gypsum, zero, "550040,\"CO3-2\",1.5,0,-250,0,0,0,0", hco3, caHco3, zero}));
    expectNoTemporary();
}

TEST_F(Tracekit, ASwitchOfKindLeavesTheAddModeAndBrowsesThatSection)
{
    // Adding lists the species of type6.mdb without a function yet; choosing an option while
    // adding leaves the add mode and lists that section of analyt.mdb.
    const RunResult r = run(R"S(
click cmdAdd
expect cboSpecies.items "Aragonite"
expect cmdCancel.visible 1
click optAqueous
expect cmdAdd.visible 1
expect cmdDelete.visible 1
expect cmdCancel.visible 0
expect cboSpecies.items "HCO3-" "CaHCO3+"
pick cboSpecies "HCO3-"
expect txtEntryA.text " 7.6468"
click optSolid
click cmdAdd
type cboSpecies "Aragonite"
type txtEntryB "0.5"
click cmdSave
expect cmdAdd.visible 1
expect cboSpecies.items "Aragonite" "Calcite" "Gypsum"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(bytes(),
              crlf({header, "6090551,\"Aragonite\",0,0.5,0,0,0,0,0", calcite, gypsum, zero, hco3, caHco3, zero}));
}

TEST_F(Tracekit, DeletingAsksAndRemovesEveryRecordOfTheName)
{
    dir.write("analyt.mdb", crlf({header, calcite, gypsum, zero, hco3, "6090550,\"Calcite\",1,1,1,1,1,1,1", zero}));
    const RunResult r = run(R"S(
pick cboSpecies "Calcite"
answer no
click cmdDelete
expect cboSpecies.text "Calcite"
expect txtEntryA.text "-8.9456"
answer yes
click cmdDelete
expect cboSpecies.text "Select species"
expect cboSpecies.items "Gypsum"
)S" + boxesEmpty);
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string asked =
        "message \"Deletion of species - tracekit for Quenvar\" \"Are you really sure you would "
        "like to delete this species from the database? Once deleted it is gone!\" yesno question";
    EXPECT_EQ(r.output, asked + " -> no\n" + asked + " -> yes\n");
    EXPECT_EQ(bytes(), crlf({header, gypsum, zero, hco3, zero}));
    expectNoTemporary();
}

TEST_F(Tracekit, ADeleteWithoutASpeciesOfTheFileSaysSoAndAsksNothing)
{
    // Written by another program with LF line ends and 800.0: no delete rewrites it.
    const std::string lf =
        "\"Analytes\"\n" + calcite + "\n" + zero + "\n550030,\"HCO3-\",7.6468,0,800.0,0,0,0,0\n" + zero + "\n";
    dir.write("analyt.mdb", lf);
    const std::string noneChosen =
        "message \"Note!\" \"No species is chosen. Choose the species to delete from the "
        "list first.\" ok none -> ok\n";
    const struct {
        const char* script;
        std::string said;
    } cases[] = {
        {"click cmdDelete\n", noneChosen},
        {"type cboSpecies \"\"\nclick cmdDelete\n", noneChosen},
        {"type cboSpecies \"Gypsum\"\nclick cmdDelete\n",
         "message \"Note!\" \"The species Gypsum is not in analyt.mdb. Nothing deleted!\" ok none -> ok\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const RunResult r = run(c.script);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, c.said);
        EXPECT_EQ(bytes(), lf);
    }
}

TEST_F(Tracekit, ANameNotInTheThermodynamicDatabaseIsNotAdded)
{
    const RunResult r = run(R"S(
click optAqueous
click cmdAdd
type cboSpecies "Fe+3"
type txtEntryA "1"
click cmdSave
expect cmdAdd.visible 0
expect cboSpecies.text "Fe+3"
type cboSpecies "HCO3- "
click cmdSave
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(printed(r, "message \"Note!\" \"The species Fe+3 is not in the database " + shown(dir / "thermo.mdb") +
                               ". Nothing added!\" ok none -> ok"))
        << r.output;
    EXPECT_TRUE(printed(r, "message \"Note!\" \"The species HCO3-  is not in the database " +
                               shown(dir / "thermo.mdb") + ". Nothing added!\" ok none -> ok"))
        << r.output;
    EXPECT_EQ(bytes(), analyt);
    expectNoTemporary();
}

TEST_F(Tracekit, ANameWithADoubleQuoteIsRefusedBeforeAnyFileIsTouched)
{
    // No answer is queued: a deletion question would be a script error.
    const RunResult r = run(R"S(
type cboSpecies "Ca\"X"
click cmdSave
click cmdDelete
click cmdAdd
type cboSpecies "Ca\"X"
click cmdSave
expect cmdAdd.visible 0
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string refused =
        R"S(message "Note!" "The name Ca\"X holds a double quote, which analyt.mdb cannot store." ok none -> ok)S";
    EXPECT_EQ(r.output, refused + "\n" + refused + "\n" + refused + "\n");
    EXPECT_EQ(bytes(), analyt);
    expectNoTemporary();
}

TEST_F(Tracekit, AFailedRewriteIsReportedAndLeavesTheDatabaseAsItWas)
{
    // analytp.mdb cannot be written: a directory stands in its place.
    dir.write("analytp.mdb/keep", "");
    const RunResult r = run(R"S(
pick cboSpecies "Calcite"
type txtEntryA "5"
click cmdSave
expect txtEntryA.text "5"
answer yes
click cmdDelete
expect cboSpecies.text "Calcite"
answer discard
click cmdAdd
pick cboSpecies "Aragonite"
click cmdSave
expect cmdAdd.visible 0
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string failed =
        "message \"Quenvar error\" \"Write failed: " + shown(dir / "analytp.mdb") + "\" ok critical -> ok";
    std::size_t count = 0;
    for (std::size_t at = r.output.find(failed); at != std::string::npos; at = r.output.find(failed, at + 1)) ++count;
    EXPECT_EQ(count, 3u) << r.output;
    EXPECT_EQ(bytes(), analyt);
}

TEST_F(Tracekit, AMissingFileIsReportedAndTheWindowStays)
{
    std::remove((dir / "analyt.mdb").c_str());
    std::remove((dir / "thermo.mdb").c_str());
    const RunResult r = run(R"S(
expect cboSpecies.count 0
expect cboSpecies.text "Select species"
click optAqueous
click cmdAdd
expect cboSpecies.count 0
click optSolid
expect cmdAdd.visible 1
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string noAnalyt =
        "message \"Quenvar error\" \"File not found: " + shown(dir / "analyt.mdb") + "\" ok critical -> ok";
    const std::string noThermo =
        "message \"Quenvar error\" \"File not found: " + shown(dir / "thermo.mdb") + "\" ok critical -> ok";
    EXPECT_EQ(r.output, noAnalyt + "\n" + noAnalyt + "\n" + noThermo + "\n" + noAnalyt + "\n");
    EXPECT_FALSE(dir.exists("analyt.mdb"));
}

TEST_F(Tracekit, AFileWithoutSeparatorOrEndRecordListsWhatItHolds)
{
    dir.write("analyt.mdb", crlf({header, calcite, gypsum}));
    const RunResult r = run(R"S(
expect cboSpecies.items "Calcite" "Gypsum"
click optAqueous
expect cboSpecies.count 0
expect cboSpecies.text "Select species"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
}

TEST_F(Tracekit, ACutRecordListsTheNamesBeforeItAndIsReported)
{
    dir.write("analyt.mdb", crlf({header, calcite, gypsum, "6090551,\"Aragonite\",1"}));
    const RunResult r = run(R"S(
expect cboSpecies.items "Calcite" "Gypsum"
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"Input past end of file: " + shown(dir / "analyt.mdb") +
                            "\" ok critical -> ok\n");
}

TEST_F(Tracekit, AnUnreadableThermodynamicRecordIsReportedShortlyWithItsFile)
{
    // A NUL byte inside the ID of the second solid, and a charge of a million digits in the
    // second aqueous species: the names before them are listed, and the message shows at most
    // 40 characters of the field, control characters made visible, and names the file.
    std::string solids = type6;
    solids[solids.find("6090540") + 3] = '\0';
    dir.write("type6.mdb", solids);
    std::string aqueous = thermo;
    aqueous.replace(aqueous.find(",-1,4.5"), 3, "," + std::string(1000000, '7'));
    dir.write("thermo.mdb", aqueous);
    dir.write("analyt.mdb", crlf({header, zero, zero}));

    RunResult r = run("click cmdAdd\nexpect cboSpecies.items \"Calcite\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"Type mismatch (line 4: \\\"609?540\\\"): " +
                            shown(dir / "type6.mdb") + "\" ok critical -> ok\n");

    r = run("click optAqueous\nclick cmdAdd\nexpect cboSpecies.items \"OH-\"\n");
    EXPECT_EQ(r.status, 0) << r.output.substr(0, 500);
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"Type mismatch (line 4: \\\"" + std::string(40, '7') +
                            "...\\\"): " + shown(dir / "thermo.mdb") + "\" ok critical -> ok\n")
        << r.output.substr(0, 500);
}

TEST_F(Tracekit, WithoutDabaseTheProgramEnds)
{
    std::remove((dir / "dabase.txt").c_str());
    const RunResult r = run("");
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"File not found: dabase.txt\" ok critical -> ok\nend\n");
    EXPECT_EQ(bytes(), analyt);
}

TEST_F(Tracekit, WithoutADriveLetterTheProgramEnds)
{
    // dabase.txt too short for the two paths, and a first path that gives no drive letter:
    // start-up cannot go on, so the program ends with the failure rather than showing a window
    // whose every save would fail.
    dir.write("dabase.txt", "\"" + (dir / "thermo.mdb") + "\"\r\n");
    RunResult r = run("expect cboSpecies.count 2\n");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(r.output.substr(0, r.output.find("FAIL line 1:")),
              "message \"Quenvar error\" \"Input past end of file: dabase.txt\" ok critical -> ok\nend\n");

    dir.write("dabase.txt", crlf({"\"\",\"" + (dir / "type6.mdb") + "\""}));
    r = run("expect cboSpecies.count 2\n");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(r.output.substr(0, r.output.find("FAIL line 1:")),
              "message \"Quenvar error\" \"Device unavailable\" ok critical -> ok\nend\n");
    EXPECT_EQ(bytes(), analyt);
    expectNoTemporary();
}

// ---- In process: a file that changes between two user actions ------------------------------

TEST_F(Tracekit, ASpeciesGoneFromTheFileShowsNoTerms)
{
    std::ostringstream out;
    qv::script::ScriptPlatform platform(out);
    qv::forms::Application app(platform);
    tracekit::Program program(app);
    program.files().changeDir(dir.path());
    app.dispatch([&] { app.open(program.mainWindow()); });
    qv::forms::Window& w = program.mainWindow();

    app.dispatch([&] { w("cboSpecies").userPick(0); });
    EXPECT_EQ(w("txtEntryC").text(), " 1250");

    dir.write("analyt.mdb", crlf({header, gypsum, zero, zero}));
    app.dispatch([&] { w("cboSpecies").userPick(0); });
    EXPECT_EQ(w("cboSpecies").text(), "Calcite");
    for (const char* box : {"txtEntryA", "txtEntryB", "txtEntryC", "txtEntryD", "txtEntryE", "txtEntryF", "txtEntryG"})
        EXPECT_EQ(w(box).text(), "") << box;
    EXPECT_EQ(out.str(), "");
}

}  // namespace

TEST_F(Tracekit, AFileEndedByTheDosEndOfFileMarkIsSavedWithoutIt)
{
    dir.write("analyt.mdb", analyt + "\x1A");
    const RunResult r = run(R"S(
click optAqueous
expect cboSpecies.items "HCO3-" "CaHCO3+"
pick cboSpecies "HCO3-"
type txtEntryA "7.5"
click cmdSave
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(bytes(), crlf({header, calcite, gypsum, zero, "550030,\"HCO3-\",7.5,0,800,0,0,0,0", caHco3, zero}));
    expectNoTemporary();
}
