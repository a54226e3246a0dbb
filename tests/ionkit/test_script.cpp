// ionkit driven end to end through script mode, on data directories each test builds itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "fixtures.h"
#include "ionkit/window.h"
#include "quenvar/cli.h"
#include "quenvar/error.h"
#include "quenvar/script.h"
#include "shown.h"
#include "testsupport.h"

using qvtest::crlf;
using qvtest::shown;

namespace {

// Components: ID, name, charge and three further numbers. The IDs probe the exclusions (1,
// 144-146, 811-859, 998 and above); the record of ID 0 is the last one read.
const std::string kComp = crlf({
    R"(1,"H2O",0,18,0,0)",
    R"(3,"H+",1,1,0,0)",
    R"(143,"P143+",1,0,0,0)",
    R"(144,"P144+",1,0,0,0)",
    R"(146,"P146-",-1,0,0,0)",
    R"(147,"P147-",-1,0,0,0)",
    R"(810,"S810",0,0,0,0)",
    R"(811,"=SOHh",0,0,0,0)",
    R"(859,"S859+",1,0,0,0)",
    R"(860,"S860-",-1,0,0,0)",
    R"(997,"S997+",2,0,0,0)",
    R"(998,"S998-",-1,0,0,0)",
    R"(1200,"S1200+",1,0,0,0)",
    R"(20,"",1,0,0,0)",
    R"(0,"Zero0",0,0,0,0)",
    R"(30,"After+",1,0,0,0)",
});

// Species: group A (ID, name, four reals, charge, three reals, component count), the component
// entries, group C. A name "END" with blanks around it ends the scan.
const std::string kThermo = crlf({
    R"(100,"OH-",-14,0,0,0,-1,3.5,0,0,2)",
    "1,1,-1,3",
    R"(17,"set","")",
    R"(200,"NaCl0",0.5,0,0,0,0,0,0,0,0)",
    R"(58.4,"set","")",
    R"(300,"CaOH+",-12,0,0,0,1,0,0,0,1)",
    "1,9",
    R"(57,"set","")",
    R"(310,"Ca+2",0,0,0,0,2,0,0,0,0)",
    R"(40,"set","")",
    R"(320,"Na+",0,0,0,0,1,0,0,0,0)",
    R"(23,"set","")",
    R"(330,"Cl-",0,0,0,0,-1,0,0,0,0)",
    R"(35.5,"set","")",
    R"(340,"SO4-2",0,0,0,0,-2,0,0,0,0)",
    R"(96,"set","")",
    R"(0," END ",0,0,0,0,0,0,0,0,0)",
    R"(400,"Later+",0,0,0,0,1,0,0,0,0)",
    R"(1,"set","")",
});

const std::string kSit = crlf({
    R"("Na+","Cl-",0.03,"Book A")",
    R"("Na+","NO3-",-0.04,"Book B")",
    "\"K+\",\"Cl-\",0.120,\"Debye-H\xfc"
    "ckel\"",
});

const char* const kNewPair[] = {"lblSpecies1", "cboCat1", "lblSpecies2", "cboAn1", "lblEta1",
                                "txtEta1",     "lblRef1", "txtRef1",     "cmdAdd"};

std::string expectNewPairVisible(int visible)
{
    std::string s;
    for (const char* name : kNewPair) s += std::string("expect ") + name + ".visible " + std::to_string(visible) + "\n";
    return s;
}

// A refusal in an OK box with the error icon.
std::string qvtestMessage(const std::string& text)
{
    return "message \"Quenvar error\" " + qv::script::quote(text) + " ok critical -> ok\n";
}

std::string notANumber(const std::string& typed)
{
    return qvtestMessage("The value of \"Eta(1,2)\" is not a number: \"" + typed + "\".");
}

std::string blankRefusal()
{
    return "message \"Quenvar error\" \"One or more required data fields have been left blank. Please complete "
           "before saving\" ok critical -> ok\n";
}

struct DataDir {
    qvtest::TempDir dir;

    explicit DataDir(std::optional<std::string> sit = kSit)
    {
        qvtest::writeDabase(dir);
        dir.write("comp.mdb", kComp);
        dir.write("thermo.mdb", kThermo);
        if (sit) dir.write("sit_eta.txt", *sit);
    }

    qvtest::RunResult run(std::string_view script) const { return qvtest::runScript(IONKIT_BIN, dir.path(), script); }

    std::map<std::string, std::string> snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& name : dir.entries()) files[name] = dir.read(name);
        return files;
    }
};

TEST(IonkitScript, StartUpListsPairsAndShowsThemByTheShowRule)
{
    DataDir d;
    auto r = d.run(
        "expect frmionkit.caption \"sit_eta.txt - SIT Database manager - Quenvar\"\n"
        "expect lblDbname.caption \"sit_eta.txt\"\n"
        "expect cboCat.items \"Na+\" \"K+\"\n"
        "expect cboCat.text \"Na+\"\n"
        "expect cboAn.items \"Cl-\" \"NO3-\"\n"
        "expect cboAn.text \"Cl-\"\n"
        "expect txtEta.text \" 0.03\"\n"
        "expect txtReference.text \" Book A\"\n" +
        expectNewPairVisible(0) +
        "pick cboAn \"NO3-\"\n"
        "expect txtEta.text \"-0.04\"\n"
        "expect txtReference.text \" Book B\"\n"
        "pick cboCat \"K+\"\n"
        "expect cboAn.items \"Cl-\"\n"
        "expect cboAn.text \"Cl-\"\n"
        "expect txtEta.text \" 0.12\"\n"
        "expect txtReference.text \" Debye-H\xfc"
        "ckel\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);
}

TEST(IonkitScript, QuitRightAfterStartLeavesEveryFileUntouched)
{
    DataDir d;
    const auto before = d.snapshot();
    auto r = d.run("click cmdQuit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "end\n");
    EXPECT_EQ(d.snapshot(), before);
}

TEST(IonkitScript, MissingDabaseEndsTheProgramWithTheFailure)
{
    DataDir d;
    std::remove((d.dir / "dabase.txt").c_str());
    auto r = d.run("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "message \"Quenvar error\" \"File not found: dabase.txt\" ok critical -> ok\nend\n");
}

TEST(IonkitScript, MissingSitFileAtStartLeavesAnEmptyWindow)
{
    DataDir d(std::nullopt);
    auto r = d.run(
        "expect lblDbname.caption \"sit_eta.txt\"\n"
        "expect cboCat.count 0\n"
        "expect cboAn.count 0\n"
        "expect txtEta.text \"\"\n"
        "dialog cancel\n"
        "click mnuOpen\n"
        // The current file cannot be opened: reported, and the window stays.
        "type txtEta \"1\"\n"
        "click cmdSave\n"
        "expect lblDbname.caption \"sit_eta.txt\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    // Start-up ended before the dialog's directory was set.
    EXPECT_EQ(r.output,
              "dialog open \"Text files (*.TXT)|*.TXT|\" \"c:\\\\quenvar\" -> cancel\n"
              "message \"Quenvar error\" \"File not found: sit_eta.txt\" ok critical -> ok\n");
    EXPECT_FALSE(d.dir.exists("sit_eta.txt"));
    EXPECT_FALSE(d.dir.exists("sitbase_temp.txt"));
}

TEST(IonkitScript, RecordWithEmptySpecies1IsNotListed)
{
    DataDir d(crlf({R"("","Cl-",0.1,"r")", R"("Na+","Br-",0.2,"r")", R"("","I-",0.3,"r")"}));
    auto r = d.run(
        "expect cboCat.items \"Na+\"\n"
        "expect cboAn.items \"Br-\"\n"
        "expect txtEta.text \" 0.2\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(IonkitScript, OnlyEmptySpecies1ListsTheirSpecies2UnderTheEmptyName)
{
    // No species 1 is listed, so the empty name is the shown one: its records give the species 2
    // list and the last record of it and the first species 2 is shown; so after a deletion too.
    DataDir d(crlf({R"("","Cl-",0.1,"a")", R"("","I-",0.2,"b")", R"("","Cl-",0.3,"c")"}));
    auto r = d.run(
        "expect cboCat.count 0\n"
        "expect cboAn.items \"Cl-\" \"I-\" \"Cl-\"\n"
        "expect cboAn.text \"Cl-\"\n"
        "expect txtEta.text \" 0.3\"\n"
        "expect txtReference.text \" c\"\n"
        "pick cboAn #2\n"
        "answer yes\n"
        "click cmdDelete\n"
        "expect cboAn.items \"Cl-\" \"Cl-\"\n"
        "expect txtEta.text \" 0.3\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(d.dir.read("sit_eta.txt"), crlf({R"("","Cl-",0.1,"a")", R"("","Cl-",0.3,"c")"}));
}

TEST(IonkitScript, TwoRecordsOfOnePairShowTheSecondAndAreBothChanged)
{
    DataDir d(crlf({R"("A+","B-",0.1,"first")", R"("C+","D-",0.50,"other")", R"("A+","B-",0.2,"second")"}));
    auto r = d.run(
        "expect cboAn.items \"B-\" \"B-\"\n"
        "expect txtEta.text \" 0.2\"\n"
        "expect txtReference.text \" second\"\n"
        "type txtEta \"-0.3\"\n"
        "type txtReference \"  both  \"\n"
        "click cmdSave\n"
        "expect txtEta.text \"-0.3\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");  // no question, no message
    EXPECT_EQ(d.dir.read("sit_eta.txt"),
              crlf({R"("A+","B-",-0.3,"both")", R"("C+","D-",0.5,"other")", R"("A+","B-",-0.3,"both")"}));
    EXPECT_FALSE(d.dir.exists("sitbase_temp.txt"));
}

TEST(IonkitScript, ChangeOfPairNotInTheFileChangesNoRecord)
{
    DataDir d;
    auto r = d.run(
        "type cboCat \"Zz+\"\n"
        "type txtEta \"9\"\n"
        "click cmdSave\n");
    EXPECT_EQ(r.status, 0) << r.output;
    // Written back whole: only the coefficient form of the hand-written "0.120" changes.
    EXPECT_EQ(d.dir.read("sit_eta.txt"), crlf({R"("Na+","Cl-",0.03,"Book A")", R"("Na+","NO3-",-0.04,"Book B")",
                                               "\"K+\",\"Cl-\",0.12,\"Debye-H\xfc"
                                               "ckel\""}));
}

TEST(IonkitScript, DeletionAsksAndRefillsTheLists)
{
    DataDir d;
    const std::string question =
        "message \"Deletion of species - Quenvar\" \"Are you really sure you would like to "
        "delete this species from the database? Once deleted it is gone!\" yesno question";
    auto r = d.run(
        "answer no\n"
        "click cmdDelete\n"
        "answer yes\n"
        "click cmdDelete\n"
        "expect cboCat.items \"Na+\" \"K+\"\n"
        "expect cboCat.text \"Na+\"\n"
        "expect cboAn.items \"NO3-\"\n"
        "expect cboAn.text \"NO3-\"\n"
        "expect txtEta.text \"-0.04\"\n"
        "answer yes\n"
        "click cmdDelete\n"
        "expect cboCat.items \"K+\"\n"
        "expect cboCat.text \"K+\"\n"
        "expect cboAn.text \"Cl-\"\n"
        "expect txtReference.text \" Debye-H\xfc"
        "ckel\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, question + " -> no\n" + question + " -> yes\n" + question + " -> yes\n");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), crlf({"\"K+\",\"Cl-\",0.12,\"Debye-H\xfc"
                                               "ckel\""}));
}

TEST(IonkitScript, NewSpeciesOffersComponentsThenSpeciesByCharge)
{
    DataDir d;
    auto r = d.run("click Command1\n" + expectNewPairVisible(1) +
                   // Excluded IDs and the empty name are left out; the list ends with ID 0, whose
                   // name is still offered; a charge of 0 offers a name on both sides.
                   "expect cboCat1.items \"H+\" \"P143+\" \"S810\" \"S997+\" \"Zero0\" \"NaCl0\" \"CaOH+\" "
                   "\"Ca+2\" \"Na+\"\n"
                   "expect cboAn1.items \"P147-\" \"S810\" \"S860-\" \"Zero0\" \"OH-\" \"NaCl0\" \"Cl-\" \"SO4-2\"\n"
                   // The entry opens empty.
                   "expect cboCat1.text \"\"\n"
                   "expect cboAn1.text \"\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(IonkitScript, MissingNameDatabasesAreReportedAndTheWindowStays)
{
    for (const char* missing : {"comp.mdb", "thermo.mdb"}) {
        SCOPED_TRACE(missing);
        DataDir d;
        std::remove((d.dir / missing).c_str());
        auto r = d.run("click Command1\n" + expectNewPairVisible(0) + "expect cboCat.text \"Na+\"\n");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output,
                  "message \"Quenvar error\" \"File not found: " + shown(d.dir / missing) + "\" ok critical -> ok\n");
    }
}

TEST(IonkitScript, AdditionStoresTypedNamesWithoutSurroundingBlanks)
{
    DataDir d;
    auto r = d.run(
        "click Command1\n"
        "type cboCat1 \"  Ca+2 \"\n"
        "type cboAn1 \" Cl- \"\n"
        "type txtEta1 \" 0.25\"\n"
        "type txtRef1 \"  New \xe9tude  \"\n"
        "click cmdAdd\n" +
        expectNewPairVisible(0) +
        "expect cboCat.items \"Na+\" \"K+\" \"Ca+2\"\n"
        // The pair added is the one shown.
        "expect cboCat.text \"Ca+2\"\n"
        "expect cboAn.text \"Cl-\"\n"
        "expect txtEta.text \" 0.25\"\n"
        "expect txtReference.text \" New \xe9tude\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), crlf({R"("Na+","Cl-",0.03,"Book A")", R"("Na+","NO3-",-0.04,"Book B")",
                                               "\"K+\",\"Cl-\",0.12,\"Debye-H\xfc"
                                               "ckel\"",
                                               "\"Ca+2\",\"Cl-\",0.25,\"New \xe9tude\""}));
    // No working copy left beside the data files; the backup of the previous content is kept.
    EXPECT_EQ(d.dir.entries().size(), 5u);
    EXPECT_EQ(d.dir.read("sit_eta.txt.bak"), kSit);
}

TEST(IonkitScript, AdditionOfAnExistingPairIsRefusedAndTheReversePairAdded)
{
    DataDir d;
    auto r = d.run(
        "click Command1\n"
        "type cboCat1 \"Na+\"\n"
        "type cboAn1 \"Cl-\"\n"
        "type txtEta1 \"1\"\n"
        "type txtRef1 \"x\"\n"
        "click cmdAdd\n" +
        expectNewPairVisible(1) +
        "expect txtEta1.text \"1\"\n"
        "type cboCat1 \"Cl-\"\n"
        "type cboAn1 \"Na+\"\n"
        "click cmdAdd\n" +
        expectNewPairVisible(0));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output,
              "message \"Quenvar error\" \"There is already such an interaction coefficient in the "
              "database. Addition stopped.\" ok critical -> ok\n");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), crlf({R"("Na+","Cl-",0.03,"Book A")", R"("Na+","NO3-",-0.04,"Book B")",
                                               "\"K+\",\"Cl-\",0.12,\"Debye-H\xfc"
                                               "ckel\"",
                                               R"("Cl-","Na+",1,"x")"}));
}

TEST(IonkitScript, RefusedAdditionLeavesTheDatabaseAndNoWorkingCopy)
{
    DataDir d;
    const auto before = d.snapshot();
    auto r = d.run(
        "click Command1\n"
        "type cboCat1 \"K+\"\n"
        "type cboAn1 \"Cl-\"\n"
        "type txtEta1 \"1\"\n"
        "type txtRef1 \"x\"\n"
        "click cmdAdd\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(d.snapshot(), before);  // "0.120" not even normalised
}

TEST(IonkitScript, IncompleteOrUnwritableEntriesAreRefusedBeforeAnyFileIsOpened)
{
    // Without a database file any file access would be reported as "File not found".
    DataDir d(std::nullopt);
    struct Case {
        const char *s1, *s2, *eta, *ref;
    };
    const Case cases[] = {
        {"", "Cl-", "1", "r"},         {"Na+", "  ", "1", "r"},      {"Na+", "Cl-", "1", "   "},
        {"Na+", "Cl-", "", "r"},       {"Na+", "Cl-", "abc", "r"},   {"Na+", "Cl-", "1e40", "r"},
        {"Na+", "Cl-", "1", "a\\\"b"}, {"N\\\"a+", "Cl-", "1", "r"},
    };
    std::string script = "click Command1\n";
    std::string expected;
    for (const Case& c : cases) {
        script += std::string("type cboCat1 \"") + c.s1 + "\"\ntype cboAn1 \"" + c.s2 + "\"\ntype txtEta1 \"" + c.eta +
                  "\"\ntype txtRef1 \"" + c.ref + "\"\nclick cmdAdd\n";
        expected += c.eta == std::string("abc")    ? notANumber("abc")
                    : c.eta == std::string("1e40") ? qvtestMessage("The value of \"Eta(1,2)\" is too large: \"1e40\".")
                                                   : blankRefusal();
    }
    // A change refuses a coefficient that is no number, and a reference holding a quote; a save
    // to a new file asks for the new name first and refuses them before the copy is made.
    const std::string saveDialog =
        "dialog save \"Text files (*.TXT)|*.TXT\" \"c:\\\\quenvar\" -> " + qv::script::quote(d.dir / "new.txt") + "\n";
    script += "type txtEta \"\"\nclick cmdSave\ndialog \"new.txt\"\nclick Command2\n";
    expected += blankRefusal() + saveDialog + blankRefusal();
    script += "type txtEta \"x1\"\nclick cmdSave\ndialog \"new.txt\"\nclick Command2\n";
    expected += notANumber("x1") + saveDialog + notANumber("x1");
    script +=
        "type txtEta \"1\"\ntype txtReference \"say \\\"hi\\\"\"\nclick cmdSave\n"
        "dialog \"new.txt\"\nclick Command2\n";
    expected += blankRefusal() + saveDialog + blankRefusal();
    script += "expect lblDbname.caption \"sit_eta.txt\"\n" + expectNewPairVisible(1);

    auto r = d.run(script);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, expected);
    EXPECT_FALSE(d.dir.exists("sit_eta.txt"));
    EXPECT_FALSE(d.dir.exists("new.txt"));
    EXPECT_FALSE(d.dir.exists("sitbase_temp.txt"));
}

TEST(IonkitScript, CancelledDialogsChangeNothing)
{
    DataDir d;
    const auto before = d.snapshot();
    auto r = d.run(
        "dialog cancel\n"
        "click mnuOpen\n"
        "type txtEta \"0.5\"\n"
        "dialog cancel\n"
        "click Command2\n"
        // A cancel comes before any check of the entries: nothing is refused.
        "type txtEta \"x\"\n"
        "dialog cancel\n"
        "click Command2\n"
        "expect lblDbname.caption \"sit_eta.txt\"\n"
        "expect cboCat.items \"Na+\" \"K+\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string saveCancel =
        "dialog save \"Text files (*.TXT)|*.TXT\" " + qv::script::quote(d.dir.path()) + " -> cancel\n";
    EXPECT_EQ(r.output, "dialog open \"Text files (*.TXT)|*.TXT|\" " + qv::script::quote(d.dir.path()) +
                            " -> cancel\n" + saveCancel + saveCancel);
    EXPECT_EQ(d.snapshot(), before);
}

TEST(IonkitScript, SaveToNewDatabaseCopiesThenChangesTheNewFile)
{
    DataDir d;
    const std::string copy = d.dir / "copy.txt";
    auto r = d.run(
        "type txtEta \"0.5\"\n"
        "dialog \"copy.txt\"\n"
        "click Command2\n"
        "expect lblDbname.caption " +
        qv::script::quote(copy) +
        "\n"
        "pick cboAn \"NO3-\"\n"
        "type txtReference \"later\"\n"
        "click cmdSave\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);
    EXPECT_EQ(d.dir.read("copy.txt"), crlf({R"("Na+","Cl-",0.5,"Book A")", R"("Na+","NO3-",-0.04,"later")",
                                            "\"K+\",\"Cl-\",0.12,\"Debye-H\xfc"
                                            "ckel\""}));
    EXPECT_FALSE(d.dir.exists("sitbase_temp.txt"));
}

// A SIT database named on the command line is opened at start, as File > Open would.
TEST(IonkitScript, ADatabaseNamedOnTheCommandLineIsOpenedAtStart)
{
    DataDir d;
    d.dir.write("other.txt", crlf({R"("Ca+2","Br-",0.3,"o")"}));
    const std::string other = std::filesystem::canonical(d.dir / "other.txt").string();
    const auto r = qvtest::runScript(IONKIT_BIN, d.dir.path(),
                                     "expect lblDbname.caption " + qv::script::quote(other) +
                                         "\nexpect cboCat.items \"Ca+2\"\nexpect txtEta.text \" 0.3\"\n",
                                     {other});
    EXPECT_EQ(r.status, 0) << r.output << r.errors;
}

TEST(IonkitScript, FailedSaveToNewDatabaseIsReportedAndKeepsTheCurrentFile)
{
    DataDir d;
    auto r = d.run(
        "type txtEta \"0.5\"\n"
        "dialog \"nodir/copy.txt\"\n"
        "click Command2\n"
        "expect lblDbname.caption \"sit_eta.txt\"\n"
        "click cmdSave\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("message \"Quenvar error\" \"Path not found"), std::string::npos) << r.output;
    EXPECT_NE(d.dir.read("sit_eta.txt").find(R"("Na+","Cl-",0.5,"Book A")"), std::string::npos);
    EXPECT_FALSE(d.dir.exists("nodir"));
}

TEST(IonkitScript, DatabaseInAnotherDirectoryIsOpenedAndRewrittenInPlace)
{
    DataDir d;
    d.dir.write("sub/other.txt", crlf({R"("Mg+2","SO4-2",0.10,"o")"}));
    const std::string other = d.dir / "sub/other.txt";
    auto r = d.run(
        "dialog \"sub/other.txt\"\n"
        "click mnuOpen\n"
        "expect lblDbname.caption " +
        qv::script::quote(other) +
        "\n"
        "expect cboCat.items \"Mg+2\"\n"
        "expect txtEta.text \" 0.1\"\n"
        "click Command1\n"
        "type cboCat1 \"Ca+2\"\n"
        "type cboAn1 \"SO4-2\"\n"
        "type txtEta1 \"0.2\"\n"
        "type txtRef1 \"n\"\n"
        "click cmdAdd\n"
        "expect cboCat.items \"Mg+2\" \"Ca+2\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(d.dir.read("sub/other.txt"), crlf({R"("Mg+2","SO4-2",0.1,"o")", R"("Ca+2","SO4-2",0.2,"n")"}));
    EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);
    EXPECT_FALSE(d.dir.exists("sitbase_temp.txt"));
    EXPECT_FALSE(d.dir.exists("sub/sitbase_temp.txt"));
}

TEST(IonkitScript, UnreadableDatabaseIsReportedAndLeftAsItWas)
{
    const std::string bad = crlf({R"("Na+","Cl-",0.10,"r")", R"("K+","Cl-",abc,"r")"});
    DataDir d(bad);
    auto r = d.run(  // start-up fails quietly, the dialog's directory not yet set
        // start-up lists what precedes the damage and stops there quietly
        "expect cboCat.items \"Na+\"\n"
        "expect cboCat.text \"\"\n"
        "expect cboAn.count 0\n"
        "type cboCat \"Na+\"\n"
        "type cboAn \"Cl-\"\n"
        "type txtEta \"1\"\n"
        "click cmdSave\n"
        "answer yes\n"
        "click cmdDelete\n"
        "click Command1\n"
        "type cboCat1 \"Ca+2\"\n"
        "type cboAn1 \"Cl-\"\n"
        "type txtEta1 \"1\"\n"
        "type txtRef1 \"x\"\n"
        "click cmdAdd\n"
        // Another file that cannot be read is not taken as the current file.
        "dialog \"nothere.txt\"\n"
        "click mnuOpen\n"
        "expect lblDbname.caption \"sit_eta.txt\"\n"
        "expect cmdAdd.visible 1\n");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string mismatch =
        "message \"Quenvar error\" \"Type mismatch (line 2: \\\"abc\\\"): sit_eta.txt\" ok critical -> ok\n";
    EXPECT_EQ(r.output, mismatch +
                            "message \"Deletion of species - Quenvar\" \"Are you really sure you would like to delete "
                            "this species from the database? Once deleted it is gone!\" yesno question -> yes\n" +
                            mismatch + mismatch + "dialog open \"Text files (*.TXT)|*.TXT|\" \"c:\\\\quenvar\" -> " +
                            qv::script::quote(d.dir / "nothere.txt") +
                            "\nmessage \"Quenvar error\" \"File not found: " + shown(d.dir / "nothere.txt") +
                            "\" ok critical -> ok\n");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), bad);
    EXPECT_FALSE(d.dir.exists("sitbase_temp.txt"));
}

TEST(IonkitScript, OpenedDatabaseWithDamageListsWhatPrecedesItAndReportsTheDamage)
{
    DataDir d;
    d.dir.write("bad.txt", crlf({R"("Mg+2","SO4-2",0.1,"r")", R"("Ca+2","Cl-",0.2,"r")", R"("Ca+2","Br-",x,"r")",
                                 R"("Zn+2","Cl-",0.3,"r")"}));
    const std::string bad = d.dir / "bad.txt";
    auto r = d.run(
        "dialog \"bad.txt\"\n"
        "click mnuOpen\n"
        // The file opened is the current one; its first pass stopped at the damage.
        "expect lblDbname.caption " +
        qv::script::quote(bad) +
        "\n"
        "expect cboCat.items \"Mg+2\" \"Ca+2\"\n"
        "expect cboCat.text \"\"\n"
        "expect cboAn.count 0\n"
        "expect txtEta.text \" 0.03\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "dialog open \"Text files (*.TXT)|*.TXT|\" " + qv::script::quote(d.dir.path()) + " -> " +
                            qv::script::quote(bad) + "\nmessage \"Quenvar error\" " +
                            qv::script::quote("Type mismatch (line 3: \"x\"): " + bad) + " ok critical -> ok\n");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);
}

TEST(IonkitScript, NewSpeciesStopsAtADamagedComponentRecordWithTheNamesBeforeIt)
{
    DataDir d;
    d.dir.write("comp.mdb", crlf({R"(3,"H+",1,1,0,0)", R"(147,"P147-",-1,0,0,0)", R"(9,"Cut")"}));
    auto r = d.run("click Command1\n" + expectNewPairVisible(0) +
                   "expect cboCat1.items \"H+\"\n"
                   "expect cboAn1.items \"P147-\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("message \"Quenvar error\""), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(shown(d.dir / "comp.mdb")), std::string::npos) << r.output;
}

TEST(IonkitScript, ComponentWithAnEmptyIdEndsTheListLikeIdZero)
{
    // An ID read as a number: an empty field is 0, so its record is the last one listed.
    DataDir d;
    d.dir.write("comp.mdb", crlf({R"(3,"H+",1,1,0,0)", R"(,"Blank+",1,0,0,0)", R"(5,"Na+",1,0,0,0)"}));
    auto r = d.run(
        "click Command1\n"
        "expect cboCat1.items \"H+\" \"Blank+\" \"NaCl0\" \"CaOH+\" \"Ca+2\" \"Na+\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(IonkitScript, ListsComeFromTheFirst4000RecordsAndNoRecordIsLost)
{
    std::string bytes;
    for (int i = 1; i <= 4001; ++i) bytes += "\"C" + std::to_string(i) + "+\",\"A-\",0.5,\"r\"\r\n";
    DataDir d(bytes);
    auto r = d.run(
        "expect cboCat.count 4000\n"
        "expect cboCat.text \"C1+\"\n"
        "type txtEta \"0.25\"\n"
        "click cmdSave\n");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string after = d.dir.read("sit_eta.txt");
    EXPECT_EQ(after.substr(0, 22), "\"C1+\",\"A-\",0.25,\"r\"\r\n\"");
    EXPECT_NE(after.find("\"C4001+\",\"A-\",0.5,\"r\"\r\n"), std::string::npos);
    EXPECT_EQ(after.size(), bytes.size() + 1);  // "0.5" became "0.25"

    // An addition goes after the last record; the refilled lists still come from the first 4000.
    r = d.run(
        "click Command1\n"
        "type cboCat1 \"Ca+2\"\n"
        "type cboAn1 \"Cl-\"\n"
        "type txtEta1 \"1\"\n"
        "type txtRef1 \"n\"\n"
        "click cmdAdd\n"
        "expect cboCat.count 4000\n"
        "expect cboCat.text \"C1+\"\n"
        "expect txtEta.text \" 0.25\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(d.dir.read("sit_eta.txt"), after + "\"Ca+2\",\"Cl-\",1,\"n\"\r\n");
}

// The program in this test's process, for what a script cannot do: a fault in its file layer, a
// file changed behind the open window.
struct IonkitWindow : ::testing::Test {
    int run(const std::string& text)
    {
        std::istringstream script(text);
        return qv::script::run(program, app, platform, script, out);
    }

    DataDir d;
    std::ostringstream out;
    qv::script::ScriptPlatform platform{out};
    qv::forms::Application app{platform};
    ionkit::Program program{app, d.dir.path()};
    qv::forms::Window& w = program.mainWindow();
};

// A replace that fails, made to fail in the running window through its file layer.
TEST_F(IonkitWindow, FailedReplaceIsReportedAndLeavesTheDatabase)
{
    program.files().faultHook = [](qv::FileStep step, const std::string&) {
        if (step == qv::FileStep::Rename) throw qv::Error(qv::ErrorKind::RenameFailed, "sit_eta.txt");
    };
    EXPECT_EQ(run("type txtEta \"0.5\"\n"
                  "click cmdSave\n"
                  "answer yes\n"
                  "click cmdDelete\n"
                  "click Command1\n"
                  "type cboCat1 \"Ca+2\"\n"
                  "type cboAn1 \"Cl-\"\n"
                  "type txtEta1 \"1\"\n"
                  "type txtRef1 \"x\"\n"
                  // The change that failed is still on screen.
                  "answer discard\n"
                  "click cmdAdd\n"
                  "expect cmdAdd.visible 1\n"
                  "expect cboCat.items \"Na+\" \"K+\"\n"),
              0)
        << out.str();
    const std::string failed = "message \"Quenvar error\" \"Replace failed: sit_eta.txt\" ok critical -> ok\n";
    EXPECT_EQ(out.str(), failed +
                             "message \"Deletion of species - Quenvar\" \"Are you really sure you would like to delete "
                             "this species from the database? Once deleted it is gone!\" yesno question -> yes\n" +
                             failed +
                             "message \"Quenvar\" \"Save changes to \\\"Na+\\\", \\\"Cl-\\\" before showing the new "
                             "pair?\" savediscardcancel question -> discard\n" +
                             failed);
    EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);
    EXPECT_FALSE(d.dir.exists("sitbase_temp.txt"));
    EXPECT_FALSE(app.ended());
}

// A file changed by another program after the window saved it is put back only after a question.
TEST_F(IonkitWindow, UndoAsksBeforeOverwritingAChangeMadeElsewhere)
{
    app.open(w);
    app.dispatch([&] { w("txtEta").userType("0.5"); });
    app.dispatch([&] { w("cmdSave").userClick(); });
    const std::string elsewhere = crlf({R"("Mg+2","SO4-2",0.1,"edited elsewhere")"});
    d.dir.write("sit_eta.txt", elsewhere);

    EXPECT_EQ(run("answer no\nclick mnuUndo\n"
                  "answer yes\nclick mnuUndo\n"
                  "expect lblStatus.caption \"Undo: sit_eta.txt restored\"\n"
                  "expect mnuUndo.enabled 0\n"),
              0)
        << out.str();
    const std::string ask =
        "message \"Undo last save - Quenvar\" \"sit_eta.txt was changed by another program since "
        "this window saved it. Undo the last save anyway and lose that change?\" yesno question -> ";
    EXPECT_EQ(out.str(), ask + "no\n" + ask + "yes\n");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);
    EXPECT_EQ(d.dir.read("sit_eta.txt.bak"), kSit);
}

// The clicks read the file again: damage found there stops each pass where it stands, after
// what precedes it has been listed or shown.
TEST_F(IonkitWindow, ClicksOnADatabaseDamagedSinceStartStopAtTheDamage)
{
    app.open(w);
    ASSERT_EQ(w("cboAn").items(), (std::vector<std::string>{"Cl-", "NO3-"}));

    d.dir.write("sit_eta.txt", crlf({R"("K+","Cl-",0.5,"k")", R"("Na+","Br-",0.25,"b")", R"("Na+","Cl-",0.75,"c")",
                                     R"("Na+","I-",bad,"r")", R"("Na+","Cl-",0.125,"later")"}));
    app.dispatch([&] { w("cboCat").userPick(0); });  // Na+ again
    EXPECT_EQ(w("cboAn").items(), (std::vector<std::string>{"Br-", "Cl-"}));
    EXPECT_EQ(w("cboAn").text(), "");  // the pass stopped before its first entry was shown
    EXPECT_EQ(w("txtEta").text(), " 0.03");

    w("cboAn").setText("Cl-");
    app.dispatch([&] { w("cboAn").userPick(1); });
    EXPECT_EQ(w("txtEta").text(), " 0.75");  // the last Na+/Cl- before the damage
    EXPECT_EQ(w("txtReference").text(), " c");

    const std::string failed =
        "message \"Quenvar error\" \"Type mismatch (line 4: \\\"bad\\\"): sit_eta.txt\" ok critical -> ok\n";
    EXPECT_EQ(out.str(), failed + failed);
    EXPECT_FALSE(app.ended());
}

}  // namespace

TEST(IonkitScript, FileEndedByTheDosEndOfFileMarkReadsWholeAndIsRewrittenWithoutIt)
{
    DataDir d(kSit + "\x1A");
    auto r = d.run(
        "expect cboCat.items \"Na+\" \"K+\"\n"
        "pick cboCat \"K+\"\n"
        "expect cboAn.items \"Cl-\"\n"
        "expect txtEta.text \" 0.12\"\n"
        "type txtEta \"0.2\"\n"
        "click cmdSave\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), crlf({R"("Na+","Cl-",0.03,"Book A")", R"("Na+","NO3-",-0.04,"Book B")",
                                               "\"K+\",\"Cl-\",0.2,\"Debye-H\xfc"
                                               "ckel\""}));
}

// ---- Typed slips and the entry of a new pair ------------------------------------------------

namespace {

// kSit after a rewrite that changed the first coefficient to `eta`.
std::string sitWithFirst(const std::string& eta)
{
    return crlf({"\"Na+\",\"Cl-\"," + eta + ",\"Book A\"", R"("Na+","NO3-",-0.04,"Book B")",
                 "\"K+\",\"Cl-\",0.12,\"Debye-H\xfc"
                 "ckel\""});
}

}  // namespace

TEST(IonkitScript, TypedCoefficientsAreTakenOnlyWhenWhollyANumber)
{
    struct Case {
        const char* typed;
        const char* stored;  // nullptr: refused
    };
    const Case cases[] = {
        {"0.110.14", nullptr}, {"2,5,1", nullptr},      {"abc", nullptr},  {"1.5x", nullptr},
        {"2,5", "2.5"},        {"-1,25e-2", "-0.0125"}, {" 0. 5 ", "0.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        DataDir d;
        const std::string typed = qv::script::quote(c.typed);
        // The same text in the entry of a new pair and in the change of the shown pair.
        auto r = d.run(
            "click Command1\ntype cboCat1 \"Ca+2\"\ntype cboAn1 \"Cl-\"\ntype txtRef1 \"r\"\n"
            "type txtEta1 " +
            typed +
            "\nclick cmdAdd\n"
            "pick cboCat \"Na+\"\ntype txtEta " +
            typed + "\nclick cmdSave\n");
        EXPECT_EQ(r.status, 0) << r.output;
        if (!c.stored) {
            EXPECT_EQ(r.output, notANumber(c.typed) + notANumber(c.typed));
            EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);
            continue;
        }
        EXPECT_EQ(r.output, "");
        EXPECT_EQ(d.dir.read("sit_eta.txt"), sitWithFirst(c.stored) + "\"Ca+2\",\"Cl-\"," + c.stored + ",\"r\"\r\n");
    }
}

TEST(IonkitScript, NewPairEntryOpensEmptyShowsTheAddedPairAndRefusesUnknownNames)
{
    DataDir d;
    auto r = d.run(
        "click Command1\n"
        "type cboCat1 \"Ca+2\"\ntype cboAn1 \"Cl-\"\ntype txtEta1 \"0.3\"\ntype txtRef1 \"r\"\n"
        "click cmdAdd\n"
        "expect cboCat.text \"Ca+2\"\nexpect cboAn.text \"Cl-\"\nexpect txtEta.text \" 0.3\"\n"
        "expect lblStatus.caption \"Added \\\"Ca+2\\\", \\\"Cl-\\\" to sit_eta.txt\"\n"
        "click Command1\n"
        "expect cboCat1.text \"\"\nexpect cboAn1.text \"\"\nexpect txtEta1.text \"\"\n"
        "expect txtRef1.text \"\"\n"
        "type cboCat1 \"Caa+2\"\ntype cboAn1 \"SO4--\"\ntype txtEta1 \"1\"\ntype txtRef1 \"x\"\n"
        "click cmdAdd\n"
        "type cboCat1 \"Ca+2\"\n"
        "click cmdAdd\n"
        "type cboAn1 \"Xyzzy\"\n"
        "click cmdAdd\n"
        "expect cmdAdd.visible 1\nexpect txtEta1.text \"1\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output,
              qvtestMessage("Species 1 \"Caa+2\" is not in the thermodynamic database or the component database; "
                            "did you mean \"Ca+2\"?") +
                  qvtestMessage("Species 2 \"SO4--\" is not in the thermodynamic database or the component "
                                "database; did you mean \"SO4-2\"?") +
                  qvtestMessage("Species 2 \"Xyzzy\" is not in the thermodynamic database or the component database."));
    EXPECT_EQ(d.dir.read("sit_eta.txt"), sitWithFirst("0.03") + "\"Ca+2\",\"Cl-\",0.3,\"r\"\r\n");
}

// ---- Unsaved changes, undo, keyboard ----------------------------------------------------------

TEST(IonkitScript, UnsavedChangeSurvivesAPickOnlyThroughTheQuestion)
{
    struct Case {
        const char* answer;
        const char* shownAn;
        const char* shownEta;
        const char* title;
        std::string file;
    };
    const std::string title = "SIT Database manager - Quenvar";
    const Case cases[] = {
        {"cancel", "Cl-", "0.5", "*sit_eta.txt - SIT Database manager - Quenvar", kSit},
        {"discard", "NO3-", "-0.04", "sit_eta.txt - SIT Database manager - Quenvar", kSit},
        {"save", "NO3-", "-0.04", "sit_eta.txt - SIT Database manager - Quenvar", sitWithFirst("0.5")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        DataDir d;
        auto r = d.run(std::string("type txtEta \"0.5\"\n"
                                   "expect frmionkit.caption \"*sit_eta.txt - SIT Database manager - Quenvar\"\n"
                                   "answer ") +
                       c.answer + "\npick cboAn \"NO3-\"\n" + "expect cboCat.text \"Na+\"\nexpect cboAn.text \"" +
                       c.shownAn + "\"\nexpect txtEta.text \"" + c.shownEta + "\"\nexpect frmionkit.caption \"" +
                       c.title + "\"\n");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, std::string("message \"Quenvar\" \"Save changes to \\\"Na+\\\", \\\"Cl-\\\" before picking "
                                        "another pair?\" savediscardcancel question -> ") +
                                c.answer + "\n");
        EXPECT_EQ(d.dir.read("sit_eta.txt"), c.file);
    }
}

TEST(IonkitScript, UnsavedChangeIsAskedForBeforeOpenQuitAndClose)
{
    DataDir d;
    const std::string ask = "message \"Quenvar\" \"Save changes to \\\"Na+\\\", \\\"Cl-\\\" before ";
    auto r = d.run(
        "type txtReference \"Book C\"\n"
        "answer cancel\nclick mnuOpen\n"
        "answer cancel\nclick cmdQuit\n"
        "answer cancel\nkey frmionkit \"Ctrl+Q\"\n"
        "answer cancel\nclose frmionkit\n"
        "expect frmionkit.visible 1\nexpect txtReference.text \"Book C\"\n"
        "answer save\nclose frmionkit\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, ask + "opening another file?\" savediscardcancel question -> cancel\n" + ask +
                            "quitting?\" savediscardcancel question -> cancel\n" + ask +
                            "quitting?\" savediscardcancel question -> cancel\n" + ask +
                            "closing?\" savediscardcancel question -> cancel\n" + ask +
                            "closing?\" savediscardcancel question -> save\nend\n");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), crlf({R"("Na+","Cl-",0.03,"Book C")", R"("Na+","NO3-",-0.04,"Book B")",
                                               "\"K+\",\"Cl-\",0.12,\"Debye-H\xfc"
                                               "ckel\""}));
}

TEST(IonkitScript, UndoRestoresTheExactBytesAfterASaveADeleteAndAnAddition)
{
    struct Case {
        const char* name;
        std::string action;
        std::string status;
        const char* shownAn;  // the pair shown before the undo, shown again where the file has it
        const char* shownEta;
    };
    const Case cases[] = {
        {"save", "type txtEta \"0.5\"\nclick cmdSave\n", "Saved sit_eta.txt", "Cl-", " 0.03"},
        {"delete", "answer yes\nclick cmdDelete\n", "Deleted \\\"Na+\\\", \\\"Cl-\\\" from sit_eta.txt", "NO3-",
         "-0.04"},
        {"add",
         "click Command1\ntype cboCat1 \"Ca+2\"\ntype cboAn1 \"Cl-\"\ntype txtEta1 \"1\"\ntype txtRef1 \"r\"\n"
         "click cmdAdd\n",
         "Added \\\"Ca+2\\\", \\\"Cl-\\\" to sit_eta.txt", "Cl-", " 0.03"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataDir d;
        auto r = d.run("expect mnuUndo.enabled 0\n" + c.action + "expect lblStatus.caption \"" + c.status +
                       "\"\nexpect mnuUndo.enabled 1\n"
                       // A text box with the focus keeps Ctrl+Z for its own undo.
                       "focus txtEta\nkey frmionkit \"Ctrl+Z\"\n"
                       "focus cmdSave\nanswer yes\nkey frmionkit \"Ctrl+Z\"\n"
                       "expect lblStatus.caption \"Undo: sit_eta.txt restored\"\n"
                       "expect mnuUndo.enabled 0\n"
                       "expect cboCat.text \"Na+\"\nexpect cboAn.text \"" +
                       c.shownAn + "\"\nexpect txtEta.text \"" + c.shownEta + "\"\n");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("message \"Undo last save - Quenvar\" \"Undo the last save of sit_eta.txt? The file "
                                "gets back what it held before it.\" yesno question -> yes\n"),
                  std::string::npos)
            << r.output;
        EXPECT_EQ(d.dir.read("sit_eta.txt"), kSit);  // "0.120" as it was, not rewritten
    }
}

TEST(IonkitScript, KeyboardReachesTheActions)
{
    DataDir d;
    auto r = d.run(
        "key frmionkit \"Alt+N\"\nexpect cmdAdd.visible 1\n"
        "key frmionkit \"Escape\"\nexpect cmdAdd.visible 0\n"
        "focus txtEta\ntype txtEta \"0.7\"\nkey frmionkit \"Return\"\n"
        "expect lblStatus.caption \"Saved sit_eta.txt\"\n"
        "focus cmdQuit\nanswer no\nkey frmionkit \"Delete\"\n"
        "key frmionkit \"F1\"\n"
        "dialog cancel\nkey frmionkit \"Ctrl+O\"\n"
        "dialog cancel\nkey frmionkit \"Ctrl+Shift+S\"\n"
        "key frmionkit \"Ctrl+K\"\nexpect frmCheck.visible 1\n"
        "key frmionkit \"Ctrl+Q\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string dir = qv::script::quote(d.dir.path());
    EXPECT_EQ(r.output,
              "message \"Deletion of species - Quenvar\" \"Are you really sure you would like to delete this "
              "species from the database? Once deleted it is gone!\" yesno question -> no\n"
              "message \"About ionkit\" \"ionkit " +
                  std::string(qv::cli::version()) +
                  "\nSIT Database manager of Quenvar: the SIT interaction coefficients of species pairs, "
                  "with their references (sit_eta.txt).\" ok information -> ok\n"
                  "dialog open \"Text files (*.TXT)|*.TXT|\" " +
                  dir +
                  " -> cancel\n"
                  "dialog save \"Text files (*.TXT)|*.TXT\" " +
                  dir + " -> cancel\nend\n");
    EXPECT_EQ(d.dir.read("sit_eta.txt"), sitWithFirst("0.7"));
}

// ---- The Check window ---------------------------------------------------------------------

TEST(IonkitScript, CheckWindowListsTheFindingsAndAPickShowsThePair)
{
    DataDir d(crlf({R"("Na+","Cl-",0.03,"Book A")", R"("Ca+2","Cl-",0.2,"")", R"("Na+","Cl-",0.04,"dup")"}));
    auto r = d.run(
        "key frmionkit \"Ctrl+K\"\n"
        "expect frmCheck.lblSummary.caption \"1 error, 1 warning in sit_eta.txt\"\n"
        "expect lstFindings.items \"line 2: warning: pair \\\"Ca+2\\\", \\\"Cl-\\\": the reference is empty\" "
        "\"line 3: error: pair \\\"Na+\\\", \\\"Cl-\\\": the same pair stands on line 1; a change or a "
        "deletion acts on both\"\n"
        "type txtEta \"9\"\n"
        "answer cancel\npick lstFindings #1\n"
        "expect cboCat.text \"Na+\"\nexpect txtEta.text \"9\"\n"
        "answer discard\npick lstFindings #1\n"
        "expect cboCat.text \"Ca+2\"\nexpect cboAn.text \"Cl-\"\nexpect txtEta.text \" 0.2\"\n"
        "pick lstFindings #2\n"
        "expect cboCat.text \"Na+\"\nexpect cboAn.text \"Cl-\"\nexpect txtEta.text \" 0.04\"\n");
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string ask =
        "message \"Quenvar\" \"Save changes to \\\"Na+\\\", \\\"Cl-\\\" before showing another "
        "pair?\" savediscardcancel question -> ";
    EXPECT_EQ(r.output, ask + "cancel\n" + ask + "discard\n");
}
