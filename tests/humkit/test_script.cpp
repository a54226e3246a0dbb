// humkit driven end to end through script mode, on data directories each test builds for itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fixtures.h"
#include "quenvar/files.h"
#include "quenvar/script.h"
#include "testsupport.h"

using qvtest::crlf;
using qvtest::RunResult;

namespace {

const std::string components = crlf({
    "1,\"H2O\",0,18.015,0,0",
    "3,\"H+\",1,1.008,9,0",
    "20,\"Ca+2\",2,40.08,6,0",
    "5,\"Na+\",1,22.99,4,0",
    "30,\"Cl-\",-1,35.45,3,0",
    "40,\"+\",1,0,0,0",
    "41,\"A+\",1,0,0,0",
    "42,\"B\",0,0,0,0",
    "43,\"Fe+3\",3,55.85,9,0",
    "44,\"Na+\",1,22.99,4,0",
    "45,\"Cu+2\",2,63.55,6,0",
    "46,\"X+ab\",1,0,0,0",
    "0,\"\",0,0,0,0",
});

// A data directory with dabase.txt naming its own files, and comp.mdb.
struct DataDir {
    DataDir()
    {
        real = std::filesystem::canonical(dir.path()).string();
        dir.write("dabase.txt", qvtest::dabaseNaming(real));
        dir.write("comp.mdb", components);
    }
    // The full path of a file in the directory, as the program sees it.
    std::string at(const std::string& name) const { return qv::joinPath(real, name); }
    // A path as script mode prints it between quotes (backslashes doubled).
    std::string shown(const std::string& name = "") const
    {
        const std::string quoted = qv::script::quote(name.empty() ? real : at(name));
        return quoted.substr(1, quoted.size() - 2);
    }

    RunResult run(const std::string& script) const { return qvtest::runScript(HUMKIT_BIN, dir.path(), script); }

    qvtest::TempDir dir;
    std::string real;
};

#define EXPECT_RUN_OK(r) EXPECT_EQ((r).status, 0) << (r).output << (r).errors

// `expect` lines for the visibility of a range of array members.
std::string visibility(const std::string& name, int from, int to, int visible)
{
    std::string s;
    for (int i = from; i <= to; ++i)
        s += "expect " + name + "(" + std::to_string(i) + ").visible " + std::to_string(visible) + "\n";
    return s;
}

const std::string sevenLines = crlf({"1", "\"General settings\"", "0,0,0", "3", "0", "0", "0"});

}  // namespace

// ---- Start-up -------------------------------------------------------------------------------

TEST(HumkitStart, DabaseHoldingStartGetsThePathsOfTheDataDirectory)
{
    for (const std::string start : {"\"Start\"", "Start"}) {
        DataDir d;
        d.dir.write("dabase.txt", crlf({start}));
        const RunResult r = d.run("expect cboCations.count 7\n");
        EXPECT_RUN_OK(r);
        EXPECT_EQ(d.dir.read("dabase.txt"), crlf({"\"" + d.at("thermo.mdb") + "\",\"" + d.at("type6.mdb") + "\",\"" +
                                                  d.at("comp.mdb") + "\",\"" + d.at("gaussian.mdb") + "\""}));
        EXPECT_FALSE(d.dir.exists("dabase.tmp"));
    }
}

TEST(HumkitStart, ComponentsComeFromTheThirdPathOfDabase)
{
    DataDir d;
    d.dir.write("elsewhere/components.dat", crlf({"1,\"Zn+2\",2,0,0,0", "2,\"K+\",1,0,0,0"}));
    const std::string dabase =
        crlf({"\"t\",\"s\",\"" + qv::joinPath(qv::joinPath(d.real, "elsewhere"), "components.dat") + "\",\"g\""});
    d.dir.write("dabase.txt", dabase);
    const RunResult r = d.run("expect cboCations.items \"Zn+2\" \"K+\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("dabase.txt"), dabase);
}

TEST(HumkitStart, CationsAreNamesWithAPlusLastOrSecondToLast)
{
    DataDir d;
    const RunResult r = d.run(
        "expect cboCations.items \"H+\" \"Ca+2\" \"Na+\" \"A+\" \"Fe+3\" \"Na+\" \"Cu+2\"\n"
        "expect cboCations.visible 0\n"
        "expect lblWhich.visible 0\n"
        "click cmdNewset\n"
        "expect cboCations.visible 1\n"
        "expect lblWhich.visible 1\n"
        "expect lblWhich.caption \"Which?\"\n");
    EXPECT_RUN_OK(r);
}

TEST(HumkitStart, OnlyTheFirst400ComponentsAreReadAndIdZeroDoesNotStopThem)
{
    DataDir d;
    std::string comp = crlf({"0,\"K+\",1,0,0,0"});  // ID 0 first: the list goes on after it
    for (int id = 2; id <= 399; ++id) comp += crlf({std::to_string(id) + ",\"C" + std::to_string(id) + "\",0,0,0,0"});
    comp += crlf({"400,\"Zn+2\",2,0,0,0", "401,\"Mg+2\",2,0,0,0", "402,\"Li+\",1,0,0,0"});
    d.dir.write("comp.mdb", comp);
    const RunResult r = d.run("expect cboCations.items \"K+\" \"Zn+2\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(r.output, "");
}

TEST(HumkitStart, TheWindowAtStart)
{
    DataDir d;
    const RunResult r = d.run(
        "expect frmMain.caption \"New file - HBM site settings\"\n"
        "expect cboSettings.items \"General settings\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect cboNumber.items \"2\" \"3\" \"4\"\n"
        "expect cboNumber.text \"3\"\n"
        "expect txtMonono.text \"\"\n"
        "expect lblSite(3).caption \"Relative concentration of site group 3 (%)\"\n"
        "expect txtSite(3).visible 1\n"
        "expect lblSite(4).visible 0\n"
        "expect txtSite(4).visible 0\n" +
        visibility("txtMonosite", 1, 8, 0) + visibility("txtBisite2", 1, 12, 0) + visibility("txtTrisite3", 1, 16, 0));
    EXPECT_RUN_OK(r);
}

TEST(HumkitStart, MissingDabaseEndsTheProgram)
{
    DataDir d;
    std::filesystem::remove(d.dir / "dabase.txt");
    const RunResult r = d.run("");
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"File not found: dabase.txt\" ok critical -> ok\nend\n");
}

TEST(HumkitStart, MissingComponentsAreReportedAndTheWindowWorks)
{
    DataDir d;
    std::filesystem::remove(d.dir / "comp.mdb");
    const RunResult r = d.run(
        "expect cboCations.count 0\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect cboNumber.text \"3\"\n"
        "answer yes\n"
        "dialog \"new.MSI.TXT\"\n"
        "click cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_NE(
        r.output.find("message \"Quenvar error\" \"File not found: " + d.shown("comp.mdb") + "\" ok critical -> ok"),
        std::string::npos)
        << r.output;
    EXPECT_EQ(d.dir.read("new.MSI.TXT"), sevenLines);
}

TEST(HumkitStart, ExitWithAChangeEndsAfterDiscardWithoutWriting)
{
    DataDir d;
    const auto before = d.dir.entries();
    const RunResult r = d.run("type txtMonono \"2\"\nanswer discard\nclick mnuFileExit\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(r.output,
              "message \"Quenvar\" \"Save changes to the new settings file before quitting?\" "
              "savediscardcancel question -> discard\nend\n");
    EXPECT_EQ(d.dir.entries(), before);
}

// ---- The count boxes ------------------------------------------------------------------------

TEST(HumkitCounts, ACountThatIsNotANumberOrOutOfRangeIsRefusedAndTheRowsStay)
{
    DataDir d;
    const std::string r0 = "message \"Quenvar\" \"The number of ";
    const std::string ok = "ok exclamation -> ok\n";
    const RunResult r = d.run(
        "type txtMonono \"10\"\n"
        "expect txtMonono.text \"\"\n" +
        visibility("txtMonosite", 1, 8, 0) + "type txtMonono \"3\"\n" + visibility("txtMonosite", 1, 3, 1) +
        visibility("txtMonosite", 4, 8, 0) +
        "type txtMonono \"-1\"\n"
        "expect txtMonono.text \"3\"\n" +
        visibility("txtMonosite", 1, 3, 1) + visibility("txtMonosite", 4, 8, 0) +
        "type txtMonono \"2.9\"\n"
        "expect txtMonono.text \"2.9\"\n" +
        visibility("txtMonosite", 1, 2, 1) + visibility("txtMonosite", 3, 8, 0) +
        "type txtMonono \"abc\"\n"
        "expect txtMonono.text \"2.9\"\n" +
        visibility("txtMonosite", 1, 2, 1) + "type txtMonono \"3,5\"\n" + visibility("txtMonosite", 1, 3, 1) +
        "type txtTrino \"20\"\n"
        "expect txtTrino.text \"\"\n" +
        visibility("txtTrisite1", 1, 16, 0) + "type txtBino \"13\"\n" + "expect txtBino.text \"\"\n" +
        visibility("txtBisite1", 1, 12, 0) + "type txtBino \"12\"\n" + visibility("txtBisite2", 1, 12, 1));
    EXPECT_RUN_OK(r);
    EXPECT_EQ(r.output, r0 + "monodentate sites is 0 to 8, not \\\"10\\\".\" " + ok + r0 +
                            "monodentate sites is 0 to 8, not \\\"-1\\\".\" " + ok +
                            "message \"Quenvar\" \"The value of \\\"Number of monodentate sites\\\" is not a number: "
                            "\\\"abc\\\".\" " +
                            ok + r0 + "tridentate site combinations is 0 to 16, not \\\"20\\\".\" " + ok + r0 +
                            "bidentate site combinations is 0 to 12, not \\\"13\\\".\" " + ok);
}

TEST(HumkitCounts, LoweringABidentateCountEmptiesTheRowsItHides)
{
    DataDir d;
    std::string script = "type txtBino \"5\"\n";
    for (int j = 1; j <= 5; ++j)
        script += "type txtBisite1(" + std::to_string(j) + ") \"" + std::to_string(j) + "\"\ntype txtBisite2(" +
                  std::to_string(j) + ") \"" + std::to_string(j + 10) + "\"\n";
    script += "type txtBino \"2\"\n" + visibility("txtBisite1", 3, 5, 0) + visibility("txtBisite2", 3, 5, 0) +
              "type txtBino \"5\"\n" + visibility("txtBisite1", 1, 5, 1) + visibility("txtBisite2", 1, 5, 1) +
              "expect txtBisite1(2).text \"2\"\n"
              "expect txtBisite2(2).text \"12\"\n"
              "expect txtBisite1(3).text \"\"\n"
              "expect txtBisite2(3).text \"\"\n"
              "expect txtBisite1(5).text \"\"\n"
              "expect txtBisite2(5).text \"\"\n" +
              visibility("txtBisite1", 6, 12, 0);
    EXPECT_RUN_OK(d.run(script));
}

// ---- Sets -----------------------------------------------------------------------------------

TEST(HumkitSets, SwitchingAwayAndBackShowsTheValuesAgain)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtMonono \"2\"\n"
        "type txtMonosite(1) \"3\"\n"
        "type txtMonosite(2) \"4.50\"\n"
        "type txtBino \"1\"\n"
        "type txtBisite1(1) \"1\"\n"
        "type txtBisite2(1) \"-2\"\n"
        "click cmdNewset\n"
        "pick cboCations \"Cu+2\"\n"
        "expect cboSettings.items \"General settings\" \"Cu+2\"\n"
        "expect cboSettings.text \"Cu+2\"\n"
        "expect txtMonono.text \"\"\n"
        "expect txtBino.text \"\"\n"
        "expect txtMonosite(1).visible 0\n"
        "expect txtMonosite(1).text \"\"\n"
        "type txtMonono \"2\"\n"
        "type txtMonosite(1) \"7\"\n"
        "type txtMonosite(2) \"8\"\n"
        "pick cboSettings \"General settings\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect txtMonono.text \" 2\"\n"
        "expect txtMonosite(1).text \" 3\"\n"
        "expect txtMonosite(2).text \" 4.5\"\n"
        "expect txtBino.text \" 1\"\n"
        "expect txtBisite1(1).text \" 1\"\n"
        "expect txtBisite2(1).text \"-2\"\n"
        "expect txtTrino.text \" 0\"\n"
        "expect txtTrisite1(1).visible 0\n"
        // The count box already shows " 2": the other set's sites still replace the shown ones.
        "pick cboSettings \"Cu+2\"\n"
        "expect cboSettings.text \"Cu+2\"\n"
        "expect txtMonono.text \" 2\"\n"
        "expect txtMonosite(1).text \" 7\"\n"
        "expect txtMonosite(2).text \" 8\"\n"
        "expect txtBino.text \" 0\"\n"
        "expect txtBisite1(1).visible 0\n"
        "expect txtBisite1(1).text \"\"\n"
        "answer yes\n"
        "dialog \"two.MSI.TXT\"\n"
        "click cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("two.MSI.TXT"), crlf({"2", "\"General settings\"", "2,1,0", "3", "4.5", "1,-2", "\"Cu+2\"",
                                               "2,0,0", "7", "8", "3", "0", "0", "0"}));
}

TEST(HumkitSets, DeletingTheSecondOfThreeShowsSetOne)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtMonono \"1\"\n"
        "type txtMonosite(1) \"1\"\n"
        "click cmdNewset\n"
        "pick cboCations \"Cu+2\"\n"
        "type txtMonono \"1\"\n"
        "type txtMonosite(1) \"2\"\n"
        "pick cboCations \"Na+\"\n"
        "type txtBino \"1\"\n"
        "type txtBisite1(1) \"3\"\n"
        "type txtBisite2(1) \"4\"\n"
        "pick cboSettings \"Cu+2\"\n"
        "expect txtMonosite(1).text \" 2\"\n"
        "click cmdDelete\n"
        "expect cboSettings.items \"General settings\" \"Na+\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect txtMonono.text \" 1\"\n"
        "expect txtMonosite(1).text \" 1\"\n"
        "expect txtBino.text \" 0\"\n"
        "pick cboSettings \"Na+\"\n"
        "expect txtMonono.text \" 0\"\n"
        "expect txtBino.text \" 1\"\n"
        "expect txtBisite1(1).text \" 3\"\n"
        "expect txtBisite2(1).text \" 4\"\n"
        "answer yes\n"
        "dialog \"after.MSI.TXT\"\n"
        "click cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("after.MSI.TXT"),
              crlf({"2", "\"General settings\"", "1,0,0", "1", "\"Na+\"", "0,1,0", "3,4", "3", "0", "0", "0"}));
}

TEST(HumkitSets, DeletingAnotherSetKeepsTheEditsOfTheShownOne)
{
    DataDir d;
    const RunResult r = d.run(
        "click cmdNewset\n"
        "pick cboCations \"Cu+2\"\n"
        "pick cboCations \"Na+\"\n"
        // Na+ is shown and edited; Cu+2 is named in the box and deleted.
        "type txtMonono \"1\"\n"
        "type txtMonosite(1) \"9\"\n"
        "type cboSettings \"Cu+2\"\n"
        "click cmdDelete\n"
        "expect cboSettings.items \"General settings\" \"Na+\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect txtMonono.text \" 0\"\n"
        "pick cboSettings \"Na+\"\n"
        "expect txtMonosite(1).text \" 9\"\n"
        // A name that matches no set deletes nothing.
        "type cboSettings \"Zn+2\"\n"
        "click cmdDelete\n"
        "expect cboSettings.count 2\n"
        "answer yes\n"
        "dialog \"kept.MSI.TXT\"\n"
        "click cmdSave\n");
    EXPECT_RUN_OK(r);
    // The unmatched name was stored for the shown set by the save.
    EXPECT_EQ(d.dir.read("kept.MSI.TXT"),
              crlf({"2", "\"General settings\"", "0,0,0", "\"Zn+2\"", "1,0,0", "9", "3", "0", "0", "0"}));
}

TEST(HumkitSets, AnEleventhSetIsRefused)
{
    DataDir d;
    std::string script = "click cmdNewset\n";
    for (int i = 0; i < 9; ++i) script += "pick cboCations \"Na+\"\n";
    script +=
        "expect cboSettings.count 10\n"
        "type txtMonono \"1\"\n"
        "type txtMonosite(1) \"5\"\n"
        "pick cboCations \"Cu+2\"\n"
        "expect cboSettings.count 10\n"
        "expect cboSettings.text \"Na+\"\n"
        "expect txtMonosite(1).text \"5\"\n"
        "answer yes\n"
        "dialog \"ten.MSI.TXT\"\n"
        "click cmdSave\n";
    const RunResult r = d.run(script);
    EXPECT_RUN_OK(r);
    EXPECT_NE(r.output.find("message \"Quenvar\" \"A site file holds at most 10 sets: no set was added for Cu+2.\" ok "
                            "none -> ok"),
              std::string::npos)
        << r.output;
    std::string expected = crlf({"10", "\"General settings\"", "0,0,0"});
    for (int i = 0; i < 8; ++i) expected += crlf({"\"Na+\"", "0,0,0"});
    expected += crlf({"\"Na+\"", "1,0,0", "5", "3", "0", "0", "0"});
    EXPECT_EQ(d.dir.read("ten.MSI.TXT"), expected);
}

TEST(HumkitSets, ATypedSetNameIsSaved)
{
    DataDir d;
    const RunResult r = d.run(
        "type cboSettings \"My settings\"\n"
        "answer yes\n"
        "dialog \"named.MSI.TXT\"\n"
        "click cmdSave\n"
        "expect cboSettings.items \"General settings\"\n"
        // The list still offers the old name, which now matches no set: the shown set stays.
        "type txtMonono \"1\"\n"
        "pick cboSettings \"General settings\"\n"
        "expect cboSettings.text \"My settings\"\n"
        "expect txtMonono.text \" 1\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("named.MSI.TXT"), crlf({"1", "\"My settings\"", "0,0,0", "3", "0", "0", "0"}));
}

// ---- Site groups ----------------------------------------------------------------------------

TEST(HumkitGroups, TwoGroupsEmptyTheOtherBoxesAndSaveTwoFractions)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtSite(1) \"60\"\n"
        "type txtSite(2) \"40\"\n"
        "type txtSite(3) \"10\"\n"
        "pick cboNumber \"4\"\n"
        "expect lblSite(4).visible 1\n"
        "expect txtSite(4).visible 1\n"
        "type txtSite(4) \"5\"\n"
        "pick cboNumber \"2\"\n"
        "expect lblSite(3).visible 0\n"
        "expect txtSite(3).visible 0\n"
        "expect lblSite(4).visible 0\n"
        "expect txtSite(4).visible 0\n"
        "expect txtSite(3).text \"\"\n"
        "expect txtSite(4).text \"\"\n"
        "dialog \"two.MSI.TXT\"\n"
        "click cmdSave\n"
        "pick cboNumber \"3\"\n"
        "expect txtSite(3).visible 1\n"
        "expect txtSite(3).text \"\"\n"
        "expect txtSite(4).visible 0\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("two.MSI.TXT"), crlf({"1", "\"General settings\"", "0,0,0", "2", "0.6", "0.4"}));
}

TEST(HumkitGroups, AGroupCountOutsideTwoToFourIsRefusedBeforeAnyFile)
{
    for (const std::string typed : {"5", "1", "x", ""}) {
        DataDir d;
        const auto before = d.dir.entries();
        // No dialog answer is queued: a save that asked for a file would be a script error.
        const RunResult r = d.run("type cboNumber \"" + typed + "\"\nclick cmdSave\nclick mnuFileSave\n");
        EXPECT_RUN_OK(r);
        const std::string message = "message \"Quenvar\" \"The number of site groups must be 2, 3 or 4, not \\\"" +
                                    typed + "\\\". Nothing was saved.\" ok none -> ok\n";
        EXPECT_EQ(r.output, message + message);
        EXPECT_EQ(d.dir.entries(), before);
    }
}

TEST(HumkitGroups, ATypedGroupCountInRangeIsSavedAsItsWholePart)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtSite(1) \"25\"\n"
        "type cboNumber \"2.7\"\n"
        "expect txtSite(3).visible 1\n"
        "answer yes\n"
        "dialog \"typed.MSI.TXT\"\n"
        "click cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("typed.MSI.TXT"), crlf({"1", "\"General settings\"", "0,0,0", "2", "0.25", "0"}));
}

// ---- Files ----------------------------------------------------------------------------------

// A file named on the command line (as a file manager's "Open with" names it) is opened at start;
// one that is no site file is reported, and the window starts on a new file.
TEST(HumkitFiles, AFileNamedOnTheCommandLineIsOpenedAtStart)
{
    DataDir d;
    d.dir.write("named.MSI.TXT", crlf({"1", "\"General settings\"", "2,0,1", "1", "2", "1,2,5", "3", "0", "0", "0"}));
    d.dir.write("bad.MSI.TXT", "not a site file\r\n");
    const RunResult named = qvtest::runScript(HUMKIT_BIN, d.dir.path(),
                                              "expect frmMain.caption \"" + d.shown("named.MSI.TXT") +
                                                  " - HBM site settings\"\nexpect txtTrino.text \" 1\"\n"
                                                  "expect lblStatus.caption \"Opened named.MSI.TXT\"\n",
                                              {d.at("named.MSI.TXT")});
    EXPECT_RUN_OK(named);
    const RunResult bad = qvtest::runScript(
        HUMKIT_BIN, d.dir.path(), "expect frmMain.caption \"New file - HBM site settings\"\n", {d.at("bad.MSI.TXT")});
    EXPECT_RUN_OK(bad);
    EXPECT_NE(bad.output.find("message \"Quenvar error\""), std::string::npos) << bad.output;
}

TEST(HumkitFiles, TheFileAfterStartAndAfterResetHasSevenLines)
{
    DataDir d;
    const RunResult r = d.run(
        "answer yes\n"
        "dialog \"start.MSI.TXT\"\n"
        "click cmdSave\n"
        "expect frmMain.caption \"" +
        d.shown("start.MSI.TXT") +
        " - HBM site settings\"\n"
        "type txtMonono \"3\"\n"
        "type txtSite(1) \"50\"\n"
        "pick cboNumber \"4\"\n"
        "click cmdNewset\n"
        "pick cboCations \"Ca+2\"\n"
        "answer discard\n"
        "click cmdReset\n"
        "expect frmMain.caption \"New file - HBM site settings\"\n"
        "expect cboSettings.items \"General settings\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect cboNumber.text \"3\"\n"
        "expect txtSite(1).text \"\"\n"
        "expect txtSite(4).visible 0\n"
        "expect txtMonono.text \"\"\n"
        "expect txtMonosite(1).visible 0\n"
        "answer yes\n"
        "dialog \"reset.MSI.TXT\"\n"
        "click mnuFileSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_NE(r.output.find("dialog save \"HBM site files (*.MSI.TXT)|*.MSI.TXT\" \"" + d.shown() + "\" -> \"" +
                            d.shown("start.MSI.TXT") + "\""),
              std::string::npos)
        << r.output;
    EXPECT_EQ(d.dir.read("start.MSI.TXT"), sevenLines);
    EXPECT_EQ(d.dir.read("reset.MSI.TXT"), sevenLines);
}

TEST(HumkitFiles, CountsTwoZeroOneWriteTwoSingleLinesAndOneTriple)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtMonono \"4\"\n"
        "type txtMonosite(1) \"1\"\n"
        "type txtMonosite(2) \"2\"\n"
        "type txtMonosite(3) \"3\"\n"
        "type txtMonosite(4) \"4\"\n"
        "type txtMonono \"2\"\n"
        "type txtTrino \"1\"\n"
        "type txtTrisite1(1) \"1\"\n"
        "type txtTrisite2(1) \"2\"\n"
        "type txtTrisite3(1) \"5\"\n"
        "answer yes\n"
        "dialog \"c.MSI.TXT\"\n"
        "click cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("c.MSI.TXT"),
              crlf({"1", "\"General settings\"", "2,0,1", "1", "2", "1,2,5", "3", "0", "0", "0"}));
}

TEST(HumkitFiles, TwentyFivePerCentIsWrittenAsAQuarterAndReadBack)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtSite(1) \"25\"\n"
        "type txtSite(2) \"75\"\n"
        "dialog \"q.MSI.TXT\"\n"
        "click cmdSave\n"
        "click cmdReset\n"
        "dialog \"q.MSI.TXT\"\n"
        "click mnuFileOpen\n"
        "expect txtSite(1).text \" 25\"\n"
        "expect txtSite(2).text \" 75\"\n"
        "expect txtSite(3).text \" 0\"\n"
        "expect frmMain.caption \"" +
        d.shown("q.MSI.TXT") + " - HBM site settings\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("q.MSI.TXT"), crlf({"1", "\"General settings\"", "0,0,0", "3", "0.25", "0.75", "0"}));
}

TEST(HumkitFiles, OpeningShowsTheFileAndLeavesItUnchanged)
{
    DataDir d;
    // Written by another program: a name without quotes, 1.50, no line end at the end.
    const std::string file =
        "2\r\n\"General settings\"\r\n3,2,1\r\n1\r\n2\r\n1.50\r\n1,2\r\n3,4\r\n1,2,5\r\n"
        "Cu+2,2\n0,0\r\n7\r\n8\r\n4\r\n0.5\r\n0.3\r\n0.15\r\n0.05";
    d.dir.write("in.MSI.TXT", file);
    const auto before = d.dir.entries();
    const RunResult r = d.run(
        "type txtTrino \"5\"\n"
        "answer discard\n"
        "dialog \"in.MSI.TXT\"\n"
        "click mnuFileOpen\n"
        "expect frmMain.caption \"" +
        d.shown("in.MSI.TXT") +
        " - HBM site settings\"\n"
        "expect cboSettings.items \"General settings\" \"Cu+2\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect txtMonono.text \" 3\"\n"
        "expect txtMonosite(3).text \" 1.5\"\n"
        "expect txtBino.text \" 2\"\n"
        "expect txtBisite2(2).text \" 4\"\n"
        "expect txtTrino.text \" 1\"\n"
        "expect txtTrisite3(1).text \" 5\"\n"
        "expect txtTrisite1(2).visible 0\n"
        "expect cboNumber.text \"4\"\n"
        "expect txtSite(1).text \" 50\"\n"
        "expect txtSite(2).text \" 30\"\n"
        "expect txtSite(3).text \" 15\"\n"
        "expect txtSite(4).text \" 5\"\n"
        "expect txtSite(4).visible 1\n"
        "pick cboSettings \"Cu+2\"\n"
        "expect txtMonono.text \" 2\"\n"
        "expect txtMonosite(2).text \" 8\"\n"
        "expect txtBino.text \" 0\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_NE(r.output.find("dialog open \"HBM site files (*.MSI.TXT)|*.MSI.TXT\" \"" + d.shown() + "\""),
              std::string::npos);
    EXPECT_EQ(d.dir.read("in.MSI.TXT"), file);
    EXPECT_EQ(d.dir.entries(), before);
}

TEST(HumkitFiles, ACancelledOpenChangesNothing)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtMonono \"2\"\n"
        "type txtMonosite(2) \"7\"\n"
        "answer discard\n"
        "dialog cancel\n"
        "click mnuFileOpen\n"
        "expect txtMonono.text \"2\"\n"
        "expect txtMonosite(2).text \"7\"\n"
        "expect cboSettings.items \"General settings\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect frmMain.caption \"*New file - HBM site settings\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(r.output,
              "message \"Quenvar\" \"Save changes to the new settings file before opening another file?\" "
              "savediscardcancel question -> discard\n"
              "dialog open \"HBM site files (*.MSI.TXT)|*.MSI.TXT\" \"" +
                  d.shown() + "\" -> cancel\n");
}

TEST(HumkitFiles, AFileThatDoesNotFitIsRefusedAndTheWindowStaysAsItWas)
{
    const std::string tail = crlf({"3", "0.2", "0.3", "0.5"});
    struct Case {
        std::string bytes;
        std::string what;
    };
    const Case cases[] = {
        {crlf({"11"}) + tail, "line 1: the set count is 11, not between 0 and 10"},
        {crlf({"1", "\"G\"", "9,0,0"}) + tail, "the monodentate count of set 1 is 9, not between 0 and 8"},
        {crlf({"1", "\"G\"", "0,13,0"}) + tail, "the bidentate count of set 1 is 13,"},
        {crlf({"1", "\"G\"", "0,0,17"}) + tail, "the tridentate count of set 1 is 17,"},
        {crlf({"1", "\"G\"", "0,-2,0"}) + tail, "the bidentate count of set 1 is -2,"},
        {crlf({"1", "\"G\"", "0,0,0", "5", "0.2", "0.2", "0.2", "0.2", "0.2"}), "the group count is 5,"},
        {crlf({"1", "\"G\"", "0,0,0", "1", "1"}), "the group count is 1,"},
        {crlf({"1", "\"G\"", "2,0,0", "1"}),
         "Input past end of file (the file ends before monodentate site 2 of set 1)"},
        {crlf({"one"}) + tail, "the set count is not a number: \\\"one\\\""},
    };
    for (const Case& c : cases) {
        DataDir d;
        d.dir.write("bad.MSI.TXT", c.bytes);
        const RunResult r = d.run(
            "answer yes\n"
            "dialog \"good.MSI.TXT\"\n"
            "type txtSite(1) \"40\"\n"
            "click cmdSave\n"
            "type txtMonono \"2\"\n"
            "type txtMonosite(1) \"6\"\n"
            "pick cboNumber \"4\"\n"
            "answer discard\n"
            "dialog \"bad.MSI.TXT\"\n"
            "click mnuFileOpen\n"
            "expect frmMain.caption \"*" +
            d.shown("good.MSI.TXT") +
            " - HBM site settings\"\n"
            "expect cboSettings.items \"General settings\"\n"
            "expect txtMonono.text \"2\"\n"
            "expect txtMonosite(1).text \"6\"\n"
            "expect cboNumber.text \"4\"\n"
            "expect txtSite(1).text \"40\"\n"
            "expect txtSite(4).visible 1\n");
        EXPECT_RUN_OK(r);
        EXPECT_NE(r.output.find("message \"Quenvar error\" \""), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(c.what), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(d.shown("bad.MSI.TXT") + "\" ok critical -> ok"), std::string::npos) << r.output;
        EXPECT_EQ(d.dir.read("bad.MSI.TXT"), c.bytes);
    }
}

TEST(HumkitFiles, AFileThatCannotBeReadIsReported)
{
    DataDir d;
    const RunResult r = d.run(
        "dialog \"missing.MSI.TXT\"\n"
        "click mnuFileOpen\n"
        "expect frmMain.caption \"New file - HBM site settings\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_NE(r.output.find("message \"Quenvar error\" \"File not found: " + d.shown("missing.MSI.TXT") + "\""),
              std::string::npos)
        << r.output;
}

TEST(HumkitFiles, AFailedSaveLeavesNoFileBehind)
{
    DataDir d;
    std::filesystem::create_directory(d.dir / "adir");
    const auto before = d.dir.entries();
    const RunResult r = d.run(
        "answer yes\n"
        "dialog \"nodir/x.MSI.TXT\"\n"
        "click cmdSave\n"
        "answer yes\n"
        "dialog \"adir\"\n"
        "click cmdSave\n"
        "expect frmMain.caption \"New file - HBM site settings\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_NE(r.output.find("message \"Quenvar error\" \"The settings were not saved to " + d.shown("nodir/x.MSI.TXT") +
                            ". Path not found"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("message \"Quenvar error\" \"The settings were not saved to " + d.shown("adir") + "."),
              std::string::npos)
        << r.output;
    EXPECT_EQ(d.dir.entries(), before);
    EXPECT_TRUE(std::filesystem::is_directory(d.dir / "adir"));
    EXPECT_TRUE(std::filesystem::is_empty(d.dir / "adir"));
}

TEST(HumkitFiles, ASaveReplacesTheWholeFile)
{
    DataDir d;
    d.dir.write("old.MSI.TXT", std::string(5000, 'x'));
    const RunResult r = d.run("answer yes\ndialog \"old.MSI.TXT\"\nclick cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("old.MSI.TXT"), sevenLines);
}

TEST(HumkitFiles, ASetNameWithAQuoteIsNotSaved)
{
    DataDir d;
    d.dir.write("old.MSI.TXT", sevenLines);
    const RunResult r = d.run("type cboSettings \"Cu\\\"2\"\nanswer yes\ndialog \"old.MSI.TXT\"\nclick cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_NE(r.output.find("message \"Quenvar error\" \"The settings were not saved to " + d.shown("old.MSI.TXT")),
              std::string::npos)
        << r.output;
    EXPECT_EQ(d.dir.read("old.MSI.TXT"), sevenLines);
}

TEST(HumkitFiles, ResetForgetsTheNamesOfTheFileOpenedBefore)
{
    DataDir d;
    d.dir.write("cu.MSI.TXT", crlf({"1", "\"Cu+2\"", "1,0,0", "4", "3", "0.5", "0.5", "0"}));
    const RunResult r = d.run(
        "dialog \"cu.MSI.TXT\"\n"
        "click mnuFileOpen\n"
        "expect cboSettings.items \"Cu+2\"\n"
        "click cmdReset\n"
        "pick cboSettings \"General settings\"\n"
        "expect cboSettings.text \"General settings\"\n"
        "expect txtMonono.text \" 0\"\n");
    EXPECT_RUN_OK(r);
}

// ---- Typed slips and the percentage sum -----------------------------------------------------

TEST(HumkitTyped, ASlipIsRefusedNamingTheFieldAndNothingIsSaved)
{
    struct Case {
        std::string script;
        std::string message;
    };
    const std::string nothing = " Nothing was saved.";
    const Case cases[] = {
        {"type txtMonono \"1\"\ntype txtMonosite(1) \"abc\"\n",
         "The value of \\\"Monodentate site no. 1\\\" is not a number: \\\"abc\\\"." + nothing},
        {"type txtBino \"2\"\ntype txtBisite2(2) \"0.110.14\"\n",
         "The value of \\\"Bidentate site no. 2, site 2\\\" is not a number: \\\"0.110.14\\\"." + nothing},
        {"type txtTrino \"1\"\ntype txtTrisite3(1) \"2,5,1\"\n",
         "The value of \\\"Tridentate site no. 1, site 3\\\" is not a number: \\\"2,5,1\\\"." + nothing},
        {"type txtSite(2) \"4O\"\n",
         "The value of \\\"Relative concentration of site group 2 (%)\\\" is not a number: \\\"4O\\\"." + nothing},
        {"type cboNumber \"3x\"\n", "The number of site groups must be 2, 3 or 4, not \\\"3x\\\"." + nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        DataDir d;
        // No dialog answer is queued: a save that asked for a file would be a script error.
        const RunResult r = d.run(c.script + "click cmdSave\n");
        EXPECT_RUN_OK(r);
        EXPECT_NE(r.output.find("message \"Quenvar\" \"" + c.message + "\" ok"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("dialog"), std::string::npos) << r.output;
    }
}

TEST(HumkitTyped, ASlipInTheShownSetKeepsItShownInsteadOfSwitchingOrAdding)
{
    DataDir d;
    const RunResult r = d.run(
        "click cmdNewset\n"
        "pick cboCations \"Cu+2\"\n"
        "type txtMonono \"1\"\n"
        "type txtMonosite(1) \"x\"\n"
        "pick cboSettings \"General settings\"\n"
        "expect cboSettings.text \"Cu+2\"\n"
        "expect txtMonosite(1).text \"x\"\n"
        "pick cboCations \"Na+\"\n"
        "expect cboSettings.items \"General settings\" \"Cu+2\"\n"
        "type txtMonosite(1) \"3\"\n"
        "pick cboSettings \"General settings\"\n"
        "pick cboSettings \"Cu+2\"\n"
        "expect txtMonosite(1).text \" 3\"\n");
    EXPECT_RUN_OK(r);
    const std::string slip =
        "message \"Quenvar\" \"The value of \\\"Monodentate site no. 1\\\" is not a number: \\\"x\\\".";
    EXPECT_NE(r.output.find(slip + " The set shown stays.\""), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(slip + " No set was added.\""), std::string::npos) << r.output;
}

TEST(HumkitTyped, ADecimalCommaIsADecimalPointAndBlanksAreIgnored)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtMonono \"1\"\n"
        "type txtMonosite(1) \"2,5\"\n"
        "type txtSite(1) \"50\"\n"
        "type txtSite(2) \"49,5\"\n"
        "type txtSite(3) \" 0,5 \"\n"
        "dialog \"c.MSI.TXT\"\n"
        "click cmdSave\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(d.dir.read("c.MSI.TXT"),
              crlf({"1", "\"General settings\"", "1,0,0", "2.5", "3", "0.5", "0.495", "0.005"}));
}

TEST(HumkitTyped, PercentagesNotAddingUpTo100AreSavedOnlyAfterTheQuestion)
{
    for (const bool yes : {false, true}) {
        DataDir d;
        const RunResult r = d.run(
            "type txtSite(1) \"60\"\n"
            "type txtSite(2) \"30\"\n"
            "type txtSite(3) \"0,5\"\n" +
            std::string(yes ? "answer yes\ndialog \"s.MSI.TXT\"\n" : "answer no\n") + "click cmdSave\n");
        EXPECT_RUN_OK(r);
        EXPECT_NE(r.output.find("message \"Quenvar\" \"The relative concentrations of the site groups add up to 90.5 "
                                "%, not 100 %. Save them anyway?\" yesno question -> " +
                                std::string(yes ? "yes" : "no")),
                  std::string::npos)
            << r.output;
        EXPECT_EQ(d.dir.exists("s.MSI.TXT"), yes);
    }
}

// ---- Unsaved changes, undo of a save, keyboard ----------------------------------------------

TEST(HumkitEditor, TheCaptionMarksAChangeUntilItIsSavedOrTypedBack)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtMonono \"2\"\n"
        "expect frmMain.caption \"*New file - HBM site settings\"\n"
        "type txtMonono \"\"\n"
        "expect frmMain.caption \"New file - HBM site settings\"\n"
        "pick cboNumber \"4\"\n"
        "expect frmMain.caption \"*New file - HBM site settings\"\n"
        "pick cboNumber \"3\"\n"
        "expect frmMain.caption \"New file - HBM site settings\"\n"
        "click cmdNewset\n"
        "pick cboCations \"Cu+2\"\n"
        "expect frmMain.caption \"*New file - HBM site settings\"\n"
        // Another set is picked without a question: the document keeps every set until it is saved.
        "pick cboSettings \"General settings\"\n"
        "type txtSite(1) \"50\"\n"
        "type txtSite(2) \"50\"\n"
        "dialog \"s.MSI.TXT\"\n"
        "key frmMain \"Ctrl+S\"\n"
        "expect frmMain.caption \"" +
        d.shown("s.MSI.TXT") +
        " - HBM site settings\"\n"
        "expect lblStatus.caption \"Saved s.MSI.TXT\"\n"
        "pick cboSettings \"Cu+2\"\n"
        "type txtBino \"1\"\n"
        "expect frmMain.caption \"*" +
        d.shown("s.MSI.TXT") + " - HBM site settings\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(r.output.find("savediscardcancel"), std::string::npos) << r.output;
}

TEST(HumkitEditor, AnActionThatLosesChangesAsksAndCancelKeepsEverything)
{
    struct Case {
        std::string action;
        std::string before;
        bool ends;
    };
    const Case cases[] = {
        {"click mnuFileOpen\n", "opening another file", false},
        {"key frmMain \"Ctrl+O\"\n", "opening another file", false},
        {"click cmdReset\n", "resetting", false},
        {"click mnuFileExit\n", "quitting", true},
        {"key frmMain \"Ctrl+Q\"\n", "quitting", true},
        {"close frmMain\n", "closing", true},
    };
    const std::string edit =
        "type txtMonono \"1\"\ntype txtMonosite(1) \"7\"\n"
        "type txtSite(1) \"20\"\ntype txtSite(2) \"80\"\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        DataDir d;
        const std::string question = "message \"Quenvar\" \"Save changes to the new settings file before " + c.before +
                                     "?\" savediscardcancel question -> ";
        RunResult r = d.run(edit + "focus cmdSave\nanswer cancel\n" + c.action +
                            "expect txtMonosite(1).text \"7\"\n"
                            "expect frmMain.caption \"*New file - HBM site settings\"\n");
        EXPECT_RUN_OK(r);
        EXPECT_EQ(r.output, question + "cancel\n");

        // Save: the document is saved first, then the action goes on.
        r = d.run(edit + "focus cmdSave\nanswer save\ndialog \"kept.MSI.TXT\"\n" +
                  (c.before == "opening another file" ? "dialog cancel\n" : "") + c.action);
        EXPECT_RUN_OK(r);
        EXPECT_EQ(r.output.rfind(question + "save\n", 0), 0u) << r.output;
        EXPECT_EQ(d.dir.read("kept.MSI.TXT"),
                  crlf({"1", "\"General settings\"", "1,0,0", "7", "3", "0.2", "0.8", "0"}));
        EXPECT_EQ(r.output.ends_with("end\n"), c.ends) << r.output;
    }
}

TEST(HumkitEditor, UndoPutsBackTheExactBytesOfTheFileBeforeTheLastSave)
{
    DataDir d;
    // Written by another program: the undo restores it byte for byte.
    const std::string before = "2\r\n\"General settings\"\r\n1,0,0\r\n3\r\n\"Cu+2\"\r\n0,0,0\r\n2\r\n0.50\r\n0.5";
    struct Case {
        std::string change;
        std::string undo;
    };
    const Case cases[] = {
        {"type txtMonosite(1) \"4\"\n", "click mnuFileUndo\n"},
        {"pick cboSettings \"Cu+2\"\nclick cmdDelete\n", "focus cmdSave\nkey frmMain \"Ctrl+Z\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        d.dir.write("u.MSI.TXT", before);
        const RunResult r = d.run(
            "expect mnuFileUndo.enabled 0\n"
            "dialog \"u.MSI.TXT\"\n"
            "click mnuFileOpen\n" +
            c.change +
            "dialog \"u.MSI.TXT\"\n"
            "click cmdSave\n"
            "expect mnuFileUndo.enabled 1\n"
            "answer no\n" +
            c.undo + "answer yes\n" + c.undo +
            "expect lblStatus.caption \"Undo: u.MSI.TXT restored\"\n"
            "expect frmMain.caption \"" +
            d.shown("u.MSI.TXT") +
            " - HBM site settings\"\n"
            "expect cboSettings.items \"General settings\" \"Cu+2\"\n"
            "expect txtMonosite(1).text \" 3\"\n"
            "expect mnuFileUndo.enabled 0\n");
        EXPECT_RUN_OK(r);
        EXPECT_EQ(d.dir.read("u.MSI.TXT"), before);
        EXPECT_TRUE(d.dir.exists("u.MSI.TXT.bak"));
        EXPECT_NE(r.output.find("\"Undo the last save of u.MSI.TXT? The file gets back what it held before it.\" "
                                "yesno question -> no"),
                  std::string::npos)
            << r.output;
    }
}

TEST(HumkitEditor, KeysReachTheWindowOnlyWhereNoTextBoxKeepsThem)
{
    DataDir d;
    const RunResult r = d.run(
        "type txtSite(1) \"50\"\n"
        "type txtSite(2) \"50\"\n"
        "dialog \"k.MSI.TXT\"\n"
        "click cmdSave\n"
        "focus txtMonono\n"
        "key frmMain \"Ctrl+Z\"\n"  // the box's own undo: no question is asked
        "key frmMain \"F1\"\n"
        "focus cmdSave\n"
        "type txtMonono \"1\"\n"
        "answer cancel\n"
        "key frmMain \"Alt+R\"\n"
        "dialog cancel\n"
        "key frmMain \"Ctrl+S\"\n");
    EXPECT_RUN_OK(r);
    EXPECT_NE(r.output.find("message \"About humkit\" \"humkit "), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Undo the last save"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("before resetting?\" savediscardcancel question -> cancel"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("dialog save \"HBM site files (*.MSI.TXT)|*.MSI.TXT\" \"" + d.shown() + "\" -> cancel"),
              std::string::npos)
        << r.output;
}

// ---- The check window -----------------------------------------------------------------------

TEST(HumkitCheck, TheCheckWindowListsTheFindingsOfTheOpenFileAndAPickShowsTheSet)
{
    DataDir d;
    // Zn+2 is not in comp.mdb; Cu+2 uses site 1 twice in a bidentate combination; 0.5 + 0.4.
    d.dir.write("c.MSI.TXT", crlf({"3", "\"General settings\"", "0,0,0", "\"Zn+2\"", "0,0,0", "\"Cu+2\"", "0,1,0",
                                   "1,1", "2", "0.5", "0.4"}));
    const RunResult r = d.run(
        "dialog \"c.MSI.TXT\"\n"
        "click mnuFileOpen\n"
        "key frmMain \"Ctrl+K\"\n"
        "expect frmCheck.visible 1\n"
        "expect lblSummary.caption \"1 error, 2 warnings in c.MSI.TXT\"\n"
        "print lstFindings.items\n"
        "expect lstFindings.count 3\n"
        "pick lstFindings #2\n"
        "expect cboSettings.text \"Cu+2\"\n"
        "expect txtBino.text \" 1\"\n"
        "pick lstFindings #1\n"
        "expect cboSettings.text \"Zn+2\"\n"
        "pick lstFindings #3\n"  // the fractions belong to no set: the shown set stays
        "expect cboSettings.text \"Zn+2\"\n");
    EXPECT_RUN_OK(r);
    for (const char* finding : {"line 4: warning: set \\\"Zn+2\\\": comp.mdb holds no cation of this name",
                                "line 6: warning: set \\\"Cu+2\\\": bidentate combination 1 names the site 1 twice",
                                "line 9: error: the group fractions add up to 0.9, not 1"})
        EXPECT_NE(r.output.find(finding), std::string::npos) << finding << "\n" << r.output;
}

TEST(HumkitCheck, ANewDocumentHasNoFileToCheck)
{
    DataDir d;
    const RunResult r = d.run("click mnuFileCheck\nexpect frmCheck.visible 0\n");
    EXPECT_RUN_OK(r);
    EXPECT_EQ(r.output,
              "message \"Quenvar\" \"The check reads a settings file: open one or save this one first.\" ok "
              "none -> ok\n");
}
