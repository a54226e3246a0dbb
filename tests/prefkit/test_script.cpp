// End-to-end runs of prefkit in script mode, each on a data directory of its own: what the two
// windows show, and the bytes of `deftempar.dat` and `dabase.txt` that "Save and Quit" writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "quenvar/cli.h"
#include "quenvar/files.h"
#include "quenvar/script.h"
#include "testsupport.h"

namespace {

using qvtest::crlf;
using qvtest::RunResult;
using qvtest::TempDir;

const std::string paths = R"("/q/thermo.mdb","/q/type6.mdb","/q/comp.mdb","/q/gaussian.mdb")";

// A parameter file naming `dir` as the data directory; the other lines as given.
std::string parameterFile(const std::string& dir, const std::string& line2 = "2,0,1,0,1,0",
                          const std::string& line4 = "1E-09,-3,3", const std::string& line5 = "0.3",
                          const std::string& line6 = "600,0.02439,2.3122", const std::string& line7 = "746,0.36,1.695",
                          const std::string& line8 = "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5")
{
    return crlf({"\"" + dir + "\"", line2, paths, line4, line5, line6, line7, line8});
}

// The eight lines of a file, without their line ends.
std::vector<std::string> linesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

RunResult run(const TempDir& dir, const std::string& script)
{
    return qvtest::runScript(PREFKIT_BIN, dir.path(), script);
}

// The run held every expectation and ended with "Save and Quit".
void expectSaved(const RunResult& r)
{
    EXPECT_EQ(r.status, 0) << r.output << r.errors;
    EXPECT_NE(r.output.find("end\n"), std::string::npos) << r.output;
}

// ---- Start-up -------------------------------------------------------------------------------

TEST(Startup, ShowsTheLoadedSettingsInTheirControls)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path(), "2,0,1,0,1,0"));
    const RunResult r = run(dir, R"(
expect frmMain.caption "deftempar.dat - Quenvar default settings"
expect frmMain.visible 1
expect opt10.value 0
expect opt40.value 1
expect opt100.value 0
expect optSolution.value 1
expect optSolid.value 0
expect lblLSstate.visible 0
expect optNoprec.value 0
expect optPrecfinal.value 1
expect optYes.value 1
expect optNo.value 0
expect optYesA.value 1
expect txtDavies.text " 0.3"
expect txtTdabase.text "/q/thermo.mdb"
expect txtSdabase.text "/q/type6.mdb"
expect txtCdabase.text "/q/comp.mdb"
expect txtOdabase.text "/q/gaussian.mdb"
expect frmPage2.visible 0
expect Frame2.caption ""
)");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
}

TEST(Startup, SolidBasisAndTheOtherEndOfEachGroup)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path(), "1,1,2,1,3,0"));
    const RunResult r = run(dir, R"(
expect opt10.value 1
expect opt100.value 0
expect optSolid.value 1
expect optSolution.value 0
expect lblLSstate.visible 1
expect lblLSstate.caption "State L/S ratio on main menu"
expect optPreceach.value 1
expect optNoprec.value 0
expect optNo.value 1
expect optSIT.value 1
expect optYesA.value 0
click optSolution
expect lblLSstate.visible 0
expect optSolid.value 0
click optSolid
expect lblLSstate.visible 1
click opt200
click optYes
click optNoA
click optNoprec
expect opt10.value 0
expect optSIT.value 0
click cmdMain
)");
    expectSaved(r);
    // Iteration, input basis, precipitation, charge imbalance, activity, carried value.
    EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[1], "4,1,0,0,2,0");
}

TEST(Startup, CodesOutsideTheirGroupsOpenWithTheStartOptionsAndAreReplacedOnSave)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path(), "7,5,9,4,0,\"x y\""));
    const RunResult r = run(dir, R"(
expect opt100.value 1
expect optSolution.value 1
expect lblLSstate.visible 0
expect optNoprec.value 1
expect optNo.value 1
expect optYesA.value 1
click cmdMain
)");
    expectSaved(r);
    // The carried Text stays a Text.
    EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[1], "3,0,0,1,1,\"x y\"");
}

TEST(Startup, CodesHeldAsTextEqualNoOption)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path(), R"("4","1","2","0","3",2.50)"));
    const RunResult r = run(dir, R"(
expect opt200.value 0
expect opt100.value 1
expect optSolid.value 0
expect optPreceach.value 0
expect optYes.value 0
expect optSIT.value 0
click cmdMain
)");
    expectSaved(r);
    // The carried Number stays a Number, in the number form.
    EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[1], "3,0,0,1,1,2.5");
}

TEST(Startup, MissingOrShortParameterFileEndsTheProgramNamingIt)
{
    TempDir dir;
    RunResult r = run(dir, "# no deftempar.dat\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"File not found: deftempar.dat\" ok critical -> ok\nend\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{});

    // Thirty-one fields.
    dir.write("deftempar.dat", parameterFile(dir.path(), "2,0,1,0,1,0", "1E-09,-3,3", "0.3", "600,0.02439,2.3122",
                                             "746,0.36,1.695", "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3"));
    r = run(dir, "");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"Input past end of file: deftempar.dat\" ok critical -> ok\nend\n");

    // The program has ended at start: a line that the script still has is a failure.
    r = run(dir, "click cmdMain\n");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("FAIL line 1:"), std::string::npos) << r.output;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"deftempar.dat"});
}

TEST(Startup, FieldsSpreadOverOtherLinesLoadTheSame)
{
    TempDir dir;
    dir.write("deftempar.dat", "\"" + dir.path() + "\",3,1\r\n0,1,2,\"carried\"\r\n" + paths +
                                   ",1E-09\n-3,3,0.3,600,0.02439\r\n2.3122,746,0.36,1.695,0.5,7.5,3,3,0.01\r\n4,750,"
                                   "1.02,5,1.3,5");
    const RunResult r = run(dir, R"(
expect opt100.value 1
expect optSolid.value 1
expect optNoprec.value 1
expect optNo.value 1
expect optNoA.value 1
expect txtDavies.text " 0.3"
expect txtOdabase.text "/q/gaussian.mdb"
click Command1
expect txtConc.text " 1E-09"
expect txtMinsat.text "-3"
expect txtSDHFO.text " 2.3122"
expect txtCapou_Fh.text " 5"
click cmdMain
)");
    expectSaved(r);
    EXPECT_EQ(dir.read("deftempar.dat"), parameterFile(dir.path(), "3,1,0,1,2,\"carried\""));
}

// ---- The second page ------------------------------------------------------------------------

// Every field of lines 4, 6, 7 and 8 distinct, so that a box bound to the wrong field shows.
const char* distinct4 = "4.1,-4.2,4.3";
const char* distinct6 = "6.1,6.2,6.3";
const char* distinct7 = "7.1,7.2,7.3";
const char* distinct8 = "8.01,8.02,8.03,8.04,8.05,8.06,8.07,8.08,8.09,8.1,8.11";

TEST(Page2, OpensWithTheValuesOfTheSetInDisplayFormEachInItsBox)
{
    TempDir dir;
    dir.write("deftempar.dat",
              parameterFile(dir.path(), "2,0,1,0,1,0", distinct4, "0.3", distinct6, distinct7, distinct8));
    const RunResult r = run(dir, R"S(
click Command1
expect frmPage2.visible 1
expect frmPage2.caption "deftempar.dat - Quenvar default settings (Page 2)"
expect frmPage2.txtConc.text " 4.1"
expect frmPage2.txtMinsat.text "-4.2"
expect frmPage2.txtMaxsat.text " 4.3"
expect txtSSAHFO.text " 6.1"
expect txtfhHFO.text " 6.2"
expect txtSDHFO.text " 6.3"
expect txtSSAHMO.text " 7.1"
expect txtfhHMO.text " 7.2"
expect txtSDHMO.text " 7.3"
expect txtfh021.text " 8.01"
expect txtSD021.text " 8.02"
expect txtSD110.text " 8.03"
expect txtSD2.text " 8.04"
expect txtfhFh.text " 8.05"
expect txtSDFh.text " 8.06"
expect txtSSAFh.text " 8.07"
expect txtCapin.text " 8.08"
expect txtCapou.text " 8.09"
expect txtCapin_Fh.text " 8.1"
expect txtCapou_Fh.text " 8.11"
expect frmMain.visible 1
)S");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
}

TEST(Page2, ItsSaveButtonStoresEachBoxIntoItsFieldAsNumbers)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path()));
    const RunResult r = run(dir, R"(
click Command1
type txtConc ""
type txtMinsat "-2,5"
type txtMaxsat " 0 "
type txtSSAHFO "16"
type txtfhHFO "12"
type txtSDHFO "13"
type txtSSAHMO "17"
type txtfhHMO "18"
type txtSDHMO "19"
type txtfh021 "21"
type txtSD021 "22"
type txtSD110 "23"
type txtSD2 "24"
type txtfhFh "25"
type txtSDFh "26"
type txtSSAFh "27"
type txtCapin "28"
type txtCapou "29"
type txtCapin_Fh "30"
type txtCapou_Fh "  31.5E1 "
click frmPage2.cmdSave
expect frmPage2.visible 0
click Command1
expect txtConc.text " 0"
expect txtMinsat.text "-2.5"
expect txtMaxsat.text " 0"
expect txtSSAHFO.text " 16"
expect txtCapou_Fh.text " 315"
click cmdMain
)");
    expectSaved(r);
    const auto lines = linesOf(dir.read("deftempar.dat"));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "0,-2.5,0");
    EXPECT_EQ(lines[5], "16,12,13");
    EXPECT_EQ(lines[6], "17,18,19");
    EXPECT_EQ(lines[7], "21,22,23,24,25,26,27,28,29,30,315");
    EXPECT_EQ(lines[4], "0.3");
}

TEST(Page2, FieldsKeepTheirKindUnlessThePageIsLeftByItsSaveButton)
{
    const std::string line4 = "\"1E-09\",-3.0,3";
    const std::string line6 = "\"600\",0.02439,2.3122";
    const std::string line7 = "746,,1.695";
    const std::string line8 = "0.50,7.5,3,3,0.01,4,750,1.02,5,1.3,5";

    // Never opened; opened and closed by its close control: written back as read.
    for (const char* script :
         {"click cmdMain\n", "click Command1\ntype txtSSAHMO \"1\"\nanswer discard\nclose frmPage2\nclick cmdMain\n"}) {
        SCOPED_TRACE(script);
        TempDir dir;
        dir.write("deftempar.dat", parameterFile(dir.path(), "2,0,1,0,1,0", line4, "0.3", line6, line7, line8));
        expectSaved(run(dir, script));
        const auto lines = linesOf(dir.read("deftempar.dat"));
        ASSERT_EQ(lines.size(), 8u);
        EXPECT_EQ(lines[3], "\"1E-09\",-3,3");
        EXPECT_EQ(lines[5], "\"600\",0.02439,2.3122");
        EXPECT_EQ(lines[6], "746,,1.695");
        EXPECT_EQ(lines[7], "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5");
    }

    // Left by its save button: every field of those lines becomes a Number.
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path(), "2,0,1,0,1,0", line4, "0.3", line6, line7, line8));
    const RunResult r = run(dir, R"(
click Command1
expect txtConc.text " 1E-09"
expect txtSSAHFO.text " 600"
expect txtfhHMO.text " 0"
click frmPage2.cmdSave
click cmdMain
)");
    expectSaved(r);
    const auto lines = linesOf(dir.read("deftempar.dat"));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "1E-09,-3,3");
    EXPECT_EQ(lines[5], "600,0.02439,2.3122");
    EXPECT_EQ(lines[6], "746,0,1.695");
}

TEST(Page2, KeepsWhatWasTypedWhileOpenAndLosesItWhenClosedByItsCloseControl)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path()));
    const RunResult r = run(dir, R"(
click Command1
type frmPage2.txtConc "5"
type txtSSAFh "800"
click Command1
expect frmPage2.txtConc.text "5"
expect txtSSAFh.text "800"
answer cancel
close frmPage2
expect frmPage2.visible 1
expect txtSSAFh.text "800"
answer discard
close frmPage2
expect frmPage2.visible 0
expect frmMain.visible 1
click Command1
expect frmPage2.visible 1
expect frmPage2.txtConc.text " 1E-09"
expect txtSSAFh.text " 750"
type txtConc "6"
answer discard
close frmPage2
click cmdMain
)");
    expectSaved(r);
    EXPECT_EQ(dir.read("deftempar.dat"), parameterFile(dir.path()));
}

TEST(Page2, ValuesStoredByThePageReachTheFileOnlyWithSaveAndQuit)
{
    TempDir dir;
    const std::string original = parameterFile(dir.path());
    dir.write("deftempar.dat", original);
    const RunResult r = run(dir, R"(
click Command1
type txtSDHFO "2.5"
click cmdSave
answer discard
close frmMain
)");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("end\n"), std::string::npos) << r.output;
    // The main window's close control writes nothing.
    EXPECT_EQ(dir.read("deftempar.dat"), original);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"deftempar.dat"});
}

TEST(Page2, SaveAndQuitWithThePageOpenWritesOnlyWhatThePageStored)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path()));
    const RunResult r = run(dir, R"(
click Command1
type txtConc "2E-08"
click cmdSave
click Command1
expect txtConc.text " 2E-08"
type txtConc "7"
type txtSD021 "9"
click cmdMain
)");
    expectSaved(r);
    const auto lines = linesOf(dir.read("deftempar.dat"));
    EXPECT_EQ(lines[3], "2E-08,-3,3");
    EXPECT_EQ(lines[7], "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5");
}

TEST(Page2, ActingOnTheClosedPageIsAScriptError)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path()));
    RunResult r = run(dir, "type txtConc \"1\"\n");
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_EQ(r.output, "error line 1: window is not open: frmPage2\n");
    r = run(dir, "click Command1\nclick frmPage2.cmdSave\nexpect frmPage2.txtConc.text \" 1E-09\"\n");
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_EQ(r.output, "error line 3: window is not open: frmPage2\n");
}

// ---- The main window's fields ---------------------------------------------------------------

// What a person typed is taken only when it is wholly a number (blanks removed, a decimal comma
// read as the point); a slip is refused naming the field, and the window stays with nothing written.
TEST(MainWindow, DaviesTextIsTakenOnlyWhenWhollyANumber)
{
    for (const auto& [typed, written] :
         std::initializer_list<std::pair<const char*, const char*>>{{"", "0"},
                                                                    {"-1e-2", "-0.01"},
                                                                    {"2,5", "2.5"},
                                                                    {" 1 . 5 ", "1.5"},
                                                                    {"abc", nullptr},
                                                                    {" .25 x", nullptr},
                                                                    {"2,5,1", nullptr},
                                                                    {"0.110.14", nullptr}}) {
        SCOPED_TRACE(typed);
        TempDir dir;
        const std::string original = parameterFile(dir.path());
        dir.write("deftempar.dat", original);
        const RunResult r = run(dir, std::string("type txtDavies \"") + typed + "\"\nclick cmdMain\n");
        if (written) {
            expectSaved(r);
            EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[4], written);
            continue;
        }
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "message \"Quenvar\" " +
                                qv::script::quote("The value of \"Davies b parameter\" is not a number: \"" +
                                                  std::string(typed) + "\".") +
                                " ok exclamation -> ok\n");
        EXPECT_EQ(dir.read("deftempar.dat"), original);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"deftempar.dat"});
    }
}

// A path typed into a box counts once it names an existing file; a box left as the file holds it
// is kept whether or not its file exists.
TEST(MainWindow, ChosenOrTypedDatabaseIsSavedIntoBothFiles)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path()));
    dir.write("typed.MDB", "");
    const RunResult r = run(dir, R"(
type txtTdabase "/typed/thermo.mdb"
dialog "SOLIDS.MDB"
click cmdChooseSdb
expect txtSdabase.text )" + qv::script::quote(qv::joinPath(dir.path(), "SOLIDS.MDB")) +
                                     R"(
dialog cancel
click cmdChooseCdb
expect txtCdabase.text "/q/comp.mdb"
type txtCdabase "/typed/comp.mdb"
dialog "/other/place/dom.MDB"
click cmdChooseOdb
click cmdMain
expect frmMain.visible 1
type txtTdabase "/q/thermo.mdb"
click cmdMain
type txtCdabase )" + qv::script::quote(" " + qv::joinPath(dir.path(), "typed.MDB") + " ") +
                                     R"(
click cmdMain
)");
    expectSaved(r);
    const std::string here = qv::script::quote(dir.path());
    const std::string dialogs =
        "dialog open \"Database files (*.MDB)|*.MDB\" " + here + " -> " +
        qv::script::quote(qv::joinPath(dir.path(), "SOLIDS.MDB")) + "\n" +
        "dialog open \"Database files (*.MDB)|*.MDB\" " + here + " -> cancel\n" +
        "dialog open \"Database files (*.MDB)|*.MDB\" " + here + " -> \"/other/place/dom.MDB\"\n" +
        "message \"Quenvar\" \"The Main thermodynamic database \\\"/typed/thermo.mdb\\\" is not an "
        "existing file.\" ok exclamation -> ok\n"
        "message \"Quenvar\" \"The Component database \\\"/typed/comp.mdb\\\" is not an existing "
        "file.\" ok exclamation -> ok\nend\n";
    EXPECT_EQ(r.output, dialogs);
    const std::string saved = "\"/q/thermo.mdb\",\"" + qv::joinPath(dir.path(), "SOLIDS.MDB") + "\",\"" +
                              qv::joinPath(dir.path(), "typed.MDB") + "\",\"/other/place/dom.MDB\"";
    EXPECT_EQ(dir.read("dabase.txt"), crlf({saved}));
    EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[2], saved);
}

// ---- Fields that hold a Text which is not a number ------------------------------------------

TEST(TextFields, AreShownAsTheyStandWithAMessageNamingTheirPlace)
{
    TempDir dir;
    dir.write("deftempar.dat",
              parameterFile(dir.path(), "2,0,1,0,1,0", "a,\"b c\",\"3\"", "\"x\"", "600,abc,2.3122", "746,0.36,1.695"));
    const RunResult r = run(dir, R"(
expect txtDavies.text "x"
click Command1
expect txtConc.text "a"
expect txtMinsat.text "b c"
expect txtMaxsat.text " 3"
expect txtfhHFO.text "abc"
expect txtSSAHFO.text " 600"
close frmPage2
click cmdMain
expect frmMain.visible 1
type txtDavies ""
click cmdMain
)");
    expectSaved(r);
    EXPECT_EQ(
        r.output,
        "message \"Quenvar error\" \"Type mismatch (line 5, position 1: \\\"x\\\"): deftempar.dat\" ok critical -> ok\n"
        "message \"Quenvar error\" \"Type mismatch (line 4, position 1: \\\"a\\\"; line 4, position 2: \\\"b "
        "c\\\"; line 6, position 2: \\\"abc\\\"): deftempar.dat\" ok critical -> ok\n"
        "message \"Quenvar\" \"The value of \\\"Davies b parameter\\\" is not a number: \\\"x\\\".\" ok exclamation -> "
        "ok\n"
        "end\n");
    // Nothing was stored from the page; the Davies field is stored on every "Save and Quit".
    const auto lines = linesOf(dir.read("deftempar.dat"));
    EXPECT_EQ(lines[3], "\"a\",\"b c\",\"3\"");
    EXPECT_EQ(lines[4], "0");
    EXPECT_EQ(lines[5], "600,\"abc\",2.3122");
}

TEST(TextFields, ALongTextIsShownWholeInItsBoxAndCutShortInTheMessage)
{
    TempDir dir;
    const std::string longText = std::string(40, 'x') + std::string(460, 'y');
    dir.write("deftempar.dat", parameterFile(dir.path(), "2,0,1,0,1,0", "1E-09,-3,3", "\"" + longText + "\""));
    const RunResult r = run(dir, "expect txtDavies.text \"" + longText + "\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"Type mismatch (line 5, position 1: \\\"" + std::string(40, 'x') +
                            "...\\\"): deftempar.dat\" ok critical -> ok\n");
}

TEST(TextFields, BecomeNumbersWhenThePageIsSaved)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path(), "2,0,1,0,1,0", "1E-09,-3,3", "0.3", "600,abc,2.3122"));
    const RunResult r = run(dir, R"(
click Command1
click cmdSave
expect frmPage2.visible 1
type txtfhHFO ""
click cmdSave
click Command1
expect txtfhHFO.text " 0"
click cmdMain
)");
    expectSaved(r);
    // One message at the first opening only; the text left in the box is refused, an emptied box is 0.
    EXPECT_EQ(r.output,
              "message \"Quenvar error\" \"Type mismatch (line 6, position 2: \\\"abc\\\"): deftempar.dat\" ok "
              "critical -> ok\n"
              "message \"Quenvar\" \"The value of \\\"Fraction high-affinity sites, HFO (DLM)\\\" is not a number: "
              "\\\"abc\\\".\" ok exclamation -> ok\n"
              "end\n");
    EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[5], "600,0,2.3122");
}

// ---- Saving ---------------------------------------------------------------------------------

TEST(Save, WrittenFileLoadsBackToTheSameSet)
{
    TempDir dir;
    dir.write("deftempar.dat",
              parameterFile(dir.path(), "2,1,1,0,3,\"carried\"", "\"1E-09\",-3.0,3", "0.30", "600,,2.3122"));
    RunResult r = run(dir, R"(
click opt200
type txtDavies "0.35"
dialog "t.MDB"
click cmdChooseTdb
click cmdMain
)");
    expectSaved(r);
    const std::string first = dir.read("deftempar.dat");
    const std::string firstDabase = dir.read("dabase.txt");

    // Loaded again, the windows show what was chosen, and saving it unchanged writes the same bytes.
    r = run(dir, R"(
expect opt200.value 1
expect optSolid.value 1
expect optSIT.value 1
expect txtDavies.text " 0.35"
expect txtTdabase.text )" +
                     qv::script::quote(qv::joinPath(dir.path(), "t.MDB")) + R"(
click cmdMain
)");
    expectSaved(r);
    EXPECT_EQ(dir.read("deftempar.dat"), first);
    EXPECT_EQ(dir.read("dabase.txt"), firstDabase);
    EXPECT_EQ(linesOf(first),
              (std::vector<std::string>{
                  "\"" + dir.path() + "\"", "4,1,1,0,3,\"carried\"",
                  "\"" + qv::joinPath(dir.path(), "t.MDB") + "\",\"/q/type6.mdb\",\"/q/comp.mdb\",\"/q/gaussian.mdb\"",
                  "\"1E-09\",-3,3", "0.35", "600,,2.3122", "746,0.36,1.695", "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5"}));
}

TEST(Save, GoesIntoTheDirectoryTheFirstLineNames)
{
    TempDir start, data;
    start.write("deftempar.dat", parameterFile(data.path()));
    expectSaved(run(start, "click opt10\nclick cmdMain\n"));
    EXPECT_EQ(linesOf(data.read("deftempar.dat"))[1], "1,0,1,0,1,0");
    EXPECT_EQ(data.read("dabase.txt"), crlf({paths}));
    EXPECT_EQ(start.entries(), std::vector<std::string>{"deftempar.dat"});
    EXPECT_EQ(start.read("deftempar.dat"), parameterFile(data.path()));
}

TEST(Save, MissingDataDirectoryKeepsTheWindowOpenWithTheChoices)
{
    TempDir dir;
    const std::string gone = dir / "gone";
    const std::string original = parameterFile(gone);
    dir.write("deftempar.dat", original);
    const RunResult r = run(dir, R"(
click opt200
type txtDavies "0.7"
click Command1
type txtConc "3"
click cmdMain
expect frmMain.visible 1
expect opt200.value 1
expect txtDavies.text "0.7"
expect frmPage2.visible 1
expect frmPage2.txtConc.text "3"
)");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" " +
                            qv::script::quote("Path not found: " + qv::joinPath(gone, "dabase.txt")) +
                            " ok critical -> ok\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"deftempar.dat"});
    EXPECT_EQ(dir.read("deftempar.dat"), original);
}

TEST(Save, UnwritableDabaseLeavesBothFilesAsTheyWere)
{
    TempDir dir;
    const std::string original = parameterFile(dir.path());
    dir.write("deftempar.dat", original);
    dir.write("dabase.txt/in-the-way", "");  // a directory where dabase.txt should go
    const RunResult r = run(dir, "click opt10\nclick cmdMain\nexpect frmMain.visible 1\nexpect opt10.value 1\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" " +
                            qv::script::quote("File not found: " + qv::joinPath(dir.path(), "dabase.txt")) +
                            " ok critical -> ok\n");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"dabase.txt", "deftempar.dat"}));
    EXPECT_EQ(dir.read("deftempar.dat"), original);
}

TEST(Save, UnwritableParameterFileLeavesNoHalfWrittenFile)
{
    TempDir start, data;
    start.write("deftempar.dat", parameterFile(data.path()));
    data.write("deftempar.dat/in-the-way", "");
    const RunResult r = run(start, "click cmdMain\nexpect frmMain.visible 1\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "message \"Quenvar error\" " +
                            qv::script::quote("File not found: " + qv::joinPath(data.path(), "deftempar.dat")) +
                            " ok critical -> ok\n");
    // The backup of what stands in the way cannot be kept, so that file is not touched; dabase.txt,
    // written first, is whole; no temporary file stays behind.
    EXPECT_EQ(data.entries(), (std::vector<std::string>{"dabase.txt", "deftempar.dat"}));
    EXPECT_EQ(data.read("dabase.txt"), crlf({paths}));
}

TEST(Save, ChosenPathHoldingAQuoteIsRefused)
{
    TempDir dir;
    const std::string original = parameterFile(dir.path());
    dir.write("deftempar.dat", original);
    const RunResult r = run(dir, R"(
dialog "/x/a\"b.MDB"
click cmdChooseTdb
click cmdMain
expect frmMain.visible 1
)");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("message \"Quenvar error\" \"Text holds a double quote (/x/a\\\"b.MDB): deftempar.dat\" ok "
                            "critical -> ok\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"deftempar.dat"});
    EXPECT_EQ(dir.read("deftempar.dat"), original);
}

// ---- Unsaved changes, undo of the last save, keyboard ----------------------------------------

// Leaving with changes not saved asks first: Cancel keeps the window and the changes, Discard
// writes nothing, Save writes them; without changes nothing is asked.
TEST(Unsaved, ClosingOrQuittingAsksSaveDiscardCancel)
{
    struct Case {
        const char* name;
        const char* script;
        const char* asked;  // the question's end, empty when none is asked
        const char* line2;  // line 2 written, null when nothing is written
    };
    const Case cases[] = {
        {"quit unchanged", "key frmMain \"Ctrl+Q\"\n", "", nullptr},
        {"page value stored, discard on close",
         "click Command1\ntype txtConc \"2\"\nclick cmdSave\nexpect frmMain.caption \"*deftempar.dat - Quenvar default "
         "settings\"\nexpect lblStatus.caption \"Page 2 settings kept; \\\"Save and Quit\\\" writes them\"\n"
         "answer discard\nclose frmMain\n",
         "before closing?", nullptr},
        {"cancel then discard on quit",
         "click opt10\nexpect frmMain.caption \"*deftempar.dat - Quenvar default settings\"\nanswer cancel\n"
         "click mnuQuit\nexpect frmMain.visible 1\nexpect opt10.value 1\nanswer discard\nkey frmMain \"Ctrl+Q\"\n",
         "before quitting?", nullptr},
        {"save on close", "click opt10\nanswer save\nclose frmMain\n", "before closing?", "1,0,1,0,1,0"},
        {"typed back to the file's value is unchanged",
         "type txtDavies \"1\"\ntype txtDavies \" 0.3\"\nexpect frmMain.caption \"deftempar.dat - Quenvar default "
         "settings\"\nclose frmMain\n",
         "", nullptr},
        {"page 2 closed with Save keeps its values",
         "click Command1\ntype txtConc \"abc\"\nanswer save\nclose frmPage2\nexpect frmPage2.visible 1\n"
         "type txtConc \"2\"\nanswer save\nclose frmPage2\nexpect frmPage2.visible 0\nanswer discard\nkey frmMain "
         "\"Ctrl+Q\"\n",
         "before quitting?", nullptr},
        {"Ctrl+S saves and quits", "click optSIT\nkey frmMain \"Ctrl+S\"\n", "", "2,0,1,0,3,0"},
        {"Alt+S presses Save and Quit", "type txtDavies \"0.5\"\nkey frmMain \"Alt+S\"\n", "", "2,0,1,0,1,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string original = parameterFile(dir.path());
        dir.write("deftempar.dat", original);
        const RunResult r = run(dir, c.script);
        expectSaved(r);
        const std::string question = "\"Save changes to deftempar.dat " + std::string(c.asked) + "\" savediscardcancel";
        EXPECT_EQ(r.output.find(question) != std::string::npos, *c.asked != '\0') << r.output;
        if (!*c.asked) {
            EXPECT_EQ(r.output.find("savediscardcancel"), std::string::npos) << r.output;
        }
        if (c.line2) {
            EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[1], c.line2);
        } else {
            EXPECT_EQ(dir.read("deftempar.dat"), original);
            EXPECT_EQ(dir.entries(), std::vector<std::string>{"deftempar.dat"});
        }
    }
}

// Each save keeps what both files held before as their .bak; the next start offers to put it back.
TEST(Undo, TheNextStartPutsBackTheExactBytesOfBothFiles)
{
    TempDir dir;
    // Bytes a save would not write as they stand: the undo must give them back unchanged.
    const std::string original = parameterFile(dir.path(), "2,0,1,0,1,0", "1.0E-09,-3,3", "\"0.3\"");
    const std::string oldDabase = "\"a\",\"b\",\"c\",\"d\"\n";
    dir.write("deftempar.dat", original);
    dir.write("dabase.txt", oldDabase);
    expectSaved(run(dir, "expect mnuUndo.enabled 0\nclick opt10\nkey frmMain \"Ctrl+S\"\n"));
    EXPECT_EQ(dir.read("deftempar.dat.bak"), original);
    EXPECT_EQ(dir.read("dabase.txt.bak"), oldDabase);
    EXPECT_EQ(linesOf(dir.read("deftempar.dat"))[1], "1,0,1,0,1,0");

    // Refused, then done.
    RunResult r = run(dir, R"(
expect mnuUndo.enabled 1
expect opt10.value 1
answer no
key frmMain "Ctrl+Z"
expect opt10.value 1
answer yes
click mnuUndo
expect opt40.value 1
expect txtDavies.text " 0.3"
expect lblStatus.caption "Undo: deftempar.dat and dabase.txt restored"
expect mnuUndo.enabled 0
expect frmMain.caption "deftempar.dat - Quenvar default settings"
)");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\"Undo last save - Quenvar\""), std::string::npos) << r.output;
    EXPECT_EQ(dir.read("deftempar.dat"), original);
    EXPECT_EQ(dir.read("dabase.txt"), oldDabase);

    // Nothing more to undo at the start after.
    r = run(dir, "expect mnuUndo.enabled 0\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(Keyboard, F1ShowsTheVersionAndMnemonicsKeepTheCaptions)
{
    TempDir dir;
    dir.write("deftempar.dat", parameterFile(dir.path()));
    const RunResult r = run(dir, R"(
key frmMain "F1"
expect cmdMain.caption "Save and Quit"
expect mnuUndo.caption "Undo last save"
click Command1
expect frmPage2.visible 1
type txtConc "abc"
key frmPage2 "Ctrl+S"
expect frmPage2.visible 1
type txtConc "5"
key frmPage2 "Ctrl+S"
expect frmPage2.visible 0
)");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("message \"About prefkit\""), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(std::string("prefkit ") + qv::cli::version()), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("is not a number: \\\"abc\\\""), std::string::npos) << r.output;
}

// ---- Check ----------------------------------------------------------------------------------

TEST(Check, OpensTheFindingsOfBothFilesAndAPickChangesNothing)
{
    TempDir dir;
    dir.write("thermo.mdb", "");
    const std::string here = qv::joinPath(dir.path(), "thermo.mdb");
    const std::string pathsHere = "\"" + here + "\",\"" + here + "\",\"" + here + "\",\"" + here + "\"";
    const std::string original = crlf({"\"" + dir.path() + "\"", "7,0,1,0,1,0", pathsHere, "1E-09,-3,3", "0.3",
                                       "600,0.02439,2.3122", "746,0.36,1.695", "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5"});
    dir.write("deftempar.dat", original);
    dir.write("dabase.txt", crlf({"\"" + here + "\",\"/gone/type6.mdb\",\"" + here + "\",\"" + here + "\""}));
    const RunResult r = run(dir, R"(
key frmMain "Ctrl+K"
expect frmCheck.visible 1
expect lblSummary.caption "1 error, 2 warnings in deftempar.dat"
expect lstFindings.count 3
print lstFindings.items
pick lstFindings #1
expect frmCheck.visible 1
expect frmMain.caption "deftempar.dat - Quenvar default settings"
click cmdClose
expect frmCheck.visible 0
click mnuCheck
expect frmCheck.visible 1
)");
    EXPECT_EQ(r.status, 0) << r.output;
    // The missing solids database of dabase.txt, the iteration code no option offers, and the
    // solids paths that differ between the two files; nothing else is printed.
    EXPECT_EQ(r.output.rfind("lstFindings.items = ", 0), 0u) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    for (const char* part : {"dabase.txt line 1: error", "/gone/type6.mdb", "iteration", "line 3: warning"})
        EXPECT_NE(r.output.find(part), std::string::npos) << part << "\n" << r.output;
    EXPECT_EQ(dir.read("deftempar.dat"), original);
}

}  // namespace
