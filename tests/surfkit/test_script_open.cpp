// surfkit end to end: start-up, listing a database of each kind, the species display, the File
// menu, the isotherm list, the component database button and quitting.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "quenvar/files.h"
#include "script_fixture.h"
#include "shown.h"

using qvtest::shown;

using namespace sktest;

namespace {

// Two plain complexation species on =SOH and Cu+2 / H+.
const std::string twoSpecies = crlf({
    R"(8120030,"=SOH2+",-28.5,7.29,0,0,1,0,0,0,0,2)",
    "1,812,1,3",
    R"(8120300,"=SOCu+",0,0.6,0,0,1,0,0,0,0,3)",
    "1,812,1,30,-1,3",
});

const char* openFilter =
    "Complexation database files (*.MDB)|*.MDB|Counterion selectivity files (*.CDB)|*.CDB|Isotherm database files "
    "(*.ISO)|*.ISO|NICA-Donnan database files (*.NIC)|*.NIC|BLM parameter files (*.BLI)|*.BLI";

}  // namespace

// The window before any database is open: the entry of a new species, the fields of other kinds
// of database and the component rows are hidden; the captions that later actions change start as
// they should.
TEST(SurfkitWindow, StartsWithOnlyTheBrowsingControlsShown)
{
    DataDir d("", "");
    std::string script = R"S(
expect frmMaindb.caption "Sorption / complexation database editor for Quenvar"
expect lstReactions.count 0
expect lblNameDb.caption ""
expect lblComp.caption "Component no. 1"
expect cboIsoterm.items "Linear Kd" "Freundlich" "Extended Freundlich" "Langmuir" "Temkin" "Langmuir-Freundlich" "NICA"
)S";
    const std::pair<int, std::vector<std::string>> shown[] = {
        {1,
         {"lstReactions", "txtID", "txtName", "txtlogk", "txtdhr", "txtCharge", "txtNocomp", "lblNameDb", "cmdAddnew",
          "cmdSavedb", "cmdNewDb", "cmdCompdb", "cmdQuit", "Label8", "Line1"}},
        {0, {"lblKsel",   "txtKsel", "lblLk2",  "txtLk2",    "txtf50",      "lblIsoterm", "cboIsoterm",
             "cmdDelete", "lblMA",   "lblMB",   "lblMBnote", "lblMAnote",   "lblAddnew",  "lblSpname",
             "txtSpname", "lblComp", "cboComp", "txtStoicn", "cmdNextcomp", "cmdSuggest"}}};
    for (const auto& [visible, names] : shown)
        for (const std::string& name : names) script += "expect " + name + ".visible " + std::to_string(visible) + "\n";
    for (int i = 1; i <= 8; ++i)
        for (const char* row : {"lblStoich", "txtComp", "txtStoich", "txtMBstoich"})
            script += std::string("expect ") + row + "(" + std::to_string(i) + ").visible 0\n";
    RUN_OK(d, script);
}

TEST(SurfkitStartUp, ReadsAndDeletesTheHandoffFileAndListsTheDatabase)
{
    DataDir d("surface.mdb", twoSpecies + endBlock);
    const auto r = RUN_OK(d, R"S(
expect lblNameDb.visible 1
expect lblNameDb.caption "surface.mdb"
expect lstReactions.items "=SOH2+" "=SOCu+"
expect lstReactions.index 0
)S");
    EXPECT_FALSE(d.exists("sorptemp.dat"));
    EXPECT_EQ(d.read("surface.mdb"), twoSpecies + endBlock);  // listing writes nothing
}

// A database named on the command line is opened at start, after the one the hand-off file names.
TEST(SurfkitStartUp, ADatabaseNamedOnTheCommandLineIsOpenedAtStart)
{
    DataDir d("surface.mdb", twoSpecies + endBlock);
    d.write("other.mdb", crlf({R"(90030,"C",0,3,0,0,1,0,0,0,0,1)", "1,9"}) + endBlock);
    const std::string other = std::filesystem::canonical(d.path("other.mdb")).string();
    d.handOff();
    const auto r = qvtest::runScript(
        SURFKIT_BIN, d.dir.path(),
        "expect lblNameDb.caption " + qv::script::quote(other) + "\nexpect lstReactions.items \"C\"\n", {other});
    EXPECT_EQ(r.status, 0) << r.output << r.errors;
}

TEST(SurfkitStartUp, WithoutHandoffFileTheListIsEmptyAndTheFileMenuOpensOne)
{
    DataDir d("", "");
    d.write("later.mdb", twoSpecies + endBlock);
    const auto r = RUN_OK(d, R"S(
expect lstReactions.count 0
expect lblNameDb.caption ""
dialog "later.mdb"
click mnuFileOpen
expect lstReactions.items "=SOH2+" "=SOCu+"
)S");
    // The dialog offers the five kinds, starts in the data directory, and returns the full path.
    const std::string dir = d.dir.path();
    EXPECT_TRUE(printed(r, "dialog open \"" + std::string(openFilter) + "\" \"" + shown(dir) + "\" -> \"" +
                               shown(qv::joinPath(dir, "later.mdb")) + "\""))
        << r.output;
}

TEST(SurfkitStartUp, MissingDabaseEndsTheProgramAfterItsMessage)
{
    DataDir d("surface.mdb", twoSpecies + endBlock);
    ::remove(d.path("dabase.txt").c_str());
    const auto r = d.run("");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(printed(r, critical("Quenvar error", "File not found: dabase.txt"))) << r.output;
    EXPECT_TRUE(printed(r, "end")) << r.output;
    EXPECT_TRUE(d.exists("sorptemp.dat"));  // nothing further happened
}

TEST(SurfkitListfill, IsothermCaptionsFollowTheModel)
{
    struct Case {
        const char* model;
        const char* logk;
        bool dhrShown;
        bool mbLabels;
    };
    const Case cases[] = {
        {"Linear Kd", "log Kd", false, false},
        {"Freundlich", "log KF", false, true},
        {"Extended Freundlich", "log KF", false, true},
        {"Langmuir", "log KL", false, false},
        {"Temkin", "log KT", false, false},
        {"Langmuir-Freundlich", "log KLF", false, false},
        {"NICA", "log K", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        DataDir d("sorb.iso",
                  crlf({"\"" + std::string(c.model) + "\"", R"(13010300,"Cu sorbed",0,2,0,0,2,0,0,0,0,1)", "1,30"}) +
                      endBlock);
        const std::string on = c.dhrShown ? "1" : "0";
        const std::string mb = c.mbLabels ? "1" : "0";
        RUN_OK(d,
               "expect lstReactions.items \"Cu sorbed\"\n"
               "expect cboIsoterm.visible 1\n"
               "expect cboIsoterm.text \"" +
                   std::string(c.model) +
                   "\"\n"
                   "expect lblIsoterm.visible 1\n"
                   "expect lblIsoterm.caption \"Isotherm model\"\n"
                   "expect lblLogk.caption \"" +
                   c.logk +
                   "\"\n"
                   "expect txtdhr.visible " +
                   on +
                   "\n"
                   "expect lbldhr.visible " +
                   on +
                   "\n"
                   "expect lbldhr.caption \"" +
                   (c.dhrShown ? "p" : "dHr (kJ/mol)") +
                   "\"\n"
                   "expect txtKsel.visible 0\n"
                   "expect lblMA.visible " +
                   mb + "\nexpect lblMB.visible " + mb + "\nexpect lblMBnote.visible " + mb + "\n");
    }
}

TEST(SurfkitListfill, ModelChosenInTheIsothermListRelabelsAndStaysUntilAnotherFileIsOpened)
{
    DataDir d("sorb.iso", crlf({R"("Langmuir")", R"(13010300,"Cu sorbed",0,2,0,0,2,0,0,0,0,1)", "1,30"}) + endBlock);
    d.write("other.iso", crlf({R"("Linear Kd")", R"(13010310,"Zn sorbed",0,1,0,0,2,0,0,0,0,1)", "1,31"}) + endBlock);
    RUN_OK(d, R"S(
expect lblLogk.caption "log KL"
pick cboIsoterm "Temkin"
expect lblLogk.caption "log KT"
expect cboIsoterm.text "Temkin"
expect lstReactions.items "Cu sorbed"
pick lstReactions "Cu sorbed"
expect lblLogk.caption "log KT"
dialog "other.iso"
click mnuFileOpen
expect cboIsoterm.text "Linear Kd"
expect lblLogk.caption "log Kd"
)S");
}

TEST(SurfkitListfill, BlmFileShowsItsCriticalFValueAndToxicity)
{
    DataDir d("gill.bli", crlf({R"("BLM parameters","Cu",0.5)", R"(1000010,"Cu-gill",0,3.5,0,0,1,0,0,0,0,1)", "1,30",
                                R"(1000020,"CuOH-gill",0,2.5,0,2,1,0,0,0,0,1)", "1,30"}) +
                              endBlock);
    RUN_OK(d, R"S(
expect txtf50.visible 1
expect txtf50.text " 0.5"
expect lblIsoterm.visible 1
expect lblIsoterm.caption "Critical f value"
expect cboIsoterm.visible 0
expect lblKsel.visible 1
expect lblKsel.caption "Contributes to toxicity"
expect txtKsel.visible 1
expect lstReactions.items "Cu-gill" "CuOH-gill"
pick lstReactions "Cu-gill"
expect txtKsel.text " No"
pick lstReactions "CuOH-gill"
expect txtKsel.text " Yes"
expect txtlogk.text "  2.5"
)S");
}

TEST(SurfkitListfill, EndingsAreCaseSensitive)
{
    const std::string cdb = crlf({R"(50010,"NaX",0,0,2.5,0,0,0,0,0,0,1)", "1,5"}) + endBlock;
    struct Case {
        const char* name;
        bool kselShown;
    };
    for (const Case& c : {Case{"ion.cdb", true}, Case{"ion.CDB", true}, Case{"ion.Cdb", false},
                          Case{"x_donnica.cdb", false}, Case{"X_DONNICA.CDB", true}}) {
        SCOPED_TRACE(c.name);
        DataDir d(c.name, cdb);
        const std::string shown = c.kselShown ? "1" : "0";
        RUN_OK(d, "expect txtKsel.visible " + shown + "\nexpect lblKsel.visible " + shown +
                      "\npick lstReactions \"NaX\"\nexpect txtNocomp.text \" 1\"\n" +
                      (c.kselShown ? "expect txtKsel.text \"  2.5\"\n" : ""));
    }
    // "Iso" is neither all capitals nor all small: a complexation file, read without a header.
    DataDir mixed("plain.Iso", crlf({R"(300030,"CuOH+",0,-8,0,0,1,0,0,0,0,2)", "1,30,-1,3"}) + endBlock);
    RUN_OK(mixed, "expect cboIsoterm.visible 0\nexpect lstReactions.items \"CuOH+\"\n");
}

TEST(SurfkitListfill, StopsAtTheFirstZeroIdAtTheEndOfFileAndAfter4000Species)
{
    DataDir zero("z.mdb", crlf({R"(300030,"A",0,1,0,0,1,0,0,0,0,1)", "1,30", R"(0,"",0,0,0,0,0,0,0,0,0,0)",
                                R"(300040,"B",0,1,0,0,1,0,0,0,0,1)", "1,30"}));
    RUN_OK(zero, "expect lstReactions.items \"A\"\n");

    DataDir open("n.mdb", twoSpecies);  // no end block
    RUN_OK(open,
           "expect lstReactions.items \"=SOH2+\" \"=SOCu+\"\npick lstReactions \"=SOCu+\"\nexpect txtNocomp.text \" "
           "3\"\n");

    std::string many;
    for (int k = 1; k <= 4005; ++k)
        many += crlf({"1" + std::to_string(100000 + k) + ",\"S" + std::to_string(k) + "\",0,1,0,0,0,0,0,0,0,1", "1,5"});
    DataDir big("big.mdb", many + endBlock);
    RUN_OK(big,
           "expect lstReactions.count 4000\npick lstReactions #4000\nexpect lstReactions.text \"S4000\"\n"
           "expect txtID.text \" 1104000\"\n");
}

TEST(SurfkitDisplay, ShowsTheFirstRecordOfANameWithItsComponents)
{
    DataDir d("s.mdb", crlf({R"(8120300,"Dup",0,0.6,0,0,1,0,0,0,0,3)", "1,812,1,30,-1,3",
                             R"(8110300,"Groups",1.25,-2.5,0,0,-1,0,0,0,0,3)", "1,811,2,816,0.5,812",
                             R"(8120310,"Dup",0,9.9,0,0,1,0,0,0,0,1)", "1,812"}) +
                           endBlock);
    RUN_OK(d, R"S(
pick lstReactions #3
expect txtlogk.text "  0.6"
expect txtID.text " 8120300"
expect txtNocomp.text " 3"
expect txtCharge.text " 1"
expect txtComp(1).text "=SOH"
expect txtComp(2).text "Cu+2"
expect txtComp(3).text "H+"
expect txtStoich(3).text "-1"
expect txtMBstoich(1).visible 0
expect lblStoich(3).visible 1
expect lblStoich(4).visible 0
expect cmdDelete.visible 1
pick lstReactions "Groups"
expect txtdhr.text "  1.25"
expect txtlogk.text " -2.5"
expect txtCharge.text "-1"
expect txtComp(1).text "=SOHh"
expect txtComp(2).text "=S3O"
expect txtComp(3).text "=SOH"
expect txtStoich(3).text " 0.5"
)S");
}

TEST(SurfkitDisplay, SurfaceGroupNamesNeedTheirRecordAndUnknownComponentsShowNoName)
{
    // No record with ID 812: the row has no name, and no name left by the species shown before.
    const std::string comp = crlf({R"(3,"H+",1,1,0,0)", R"(30,"Cu+2",2,63.5,0,0)"});
    DataDir d("s.mdb",
              crlf({R"(300030,"CuOH+",0,-8,0,0,1,0,0,0,0,2)", "1,30,-1,3", R"(8120030,"=SOH2+",0,7.29,0,0,1,0,0,0,0,2)",
                    "1,812,1,3"}) +
                  endBlock,
              comp);
    RUN_OK(d, R"S(
pick lstReactions "CuOH+"
expect txtComp(1).text "Cu+2"
pick lstReactions "=SOH2+"
expect txtComp(1).text ""
expect txtComp(2).text "H+"
)S");
}

TEST(SurfkitDisplay, SixthValueCaptionsFollowTheIdRanges)
{
    DataDir d("c.mdb",
              crlf({R"(11000010,"CuFA",0,2,0,2.5,1,0,0,0,0,1)", "1,30", R"(11000011,"/FA-",0,2,0,2.5,-1,0,0,0,0,1)",
                    "1,30", R"(11000000,"Bound",0,2,0,2.5,1,0,0,0,0,1)", "1,30",
                    R"(13210010,"Site species",0,2,1.5,0.75,1,0,0,0,0,1)", "1,30"}) +
                  endBlock);
    RUN_OK(d, R"S(
pick lstReactions "CuFA"
expect txtLk2.visible 1
expect lblLk2.visible 1
expect lblLk2.caption "Lk2"
expect txtLk2.text "  2.5"
pick lstReactions "/FA-"
expect txtLk2.visible 0
expect lblLk2.visible 0
pick lstReactions "Bound"
expect txtLk2.visible 0
pick lstReactions "Site species"
expect lblLk2.caption "m"
expect txtLk2.text "  0.75"
expect txtKsel.visible 0
)S");

    DataDir nica("n.iso", crlf({R"("NICA")", R"(13210010,"NICA1",0.5,2,1.5,0.75,1,0,0,0,0,1)", "1,30",
                                R"(13310010,"Temkin1",0,2,0,0.25,1,0,0,0,0,1)", "1,30",
                                R"(13410010,"Donnan1",0,2,0,-1,1,0,0,0,0,1)", "1,30"}) +
                              endBlock);
    RUN_OK(nica, R"S(
pick lstReactions "NICA1"
expect lblLk2.caption "m"
expect txtKsel.visible 1
expect lblKsel.caption "m-ref"
expect txtKsel.text "  1.5"
expect txtdhr.text "  0.5"
expect lbldhr.caption "p"
pick lstReactions "Temkin1"
expect lblLk2.caption "b"
expect txtLk2.text "  0.25"
pick lstReactions "Donnan1"
expect lblLk2.caption "n"
expect txtLk2.text " -1"
)S");
}

TEST(SurfkitDisplay, FieldsSpreadOverLinesReadAsOnOneLine)
{
    DataDir d("s.mdb", "8120030,\"=SOH2+\",-28.5,7.29,0,0\r\n1,0,0,0,0,2,1,812\r\n1\r\n3\r\n" + endBlock);
    RUN_OK(d, R"S(
pick lstReactions "=SOH2+"
expect txtlogk.text "  7.29"
expect txtdhr.text " -28.5"
expect txtComp(1).text "=SOH"
expect txtComp(2).text "H+"
expect txtStoich(2).text " 1"
)S");
}

TEST(SurfkitDisplay, MoreThanEightComponentsShowEightRowsAndTheFullCount)
{
    DataDir d("s.mdb",
              crlf({R"(300030,"Big",0,1,0,0,0,0,0,0,0,9)", "1,3,1,5,1,9,1,30,1,31,1,50,1,54,1,3,2,5"}) + endBlock);
    RUN_OK(d, R"S(
pick lstReactions "Big"
expect txtNocomp.text " 9"
expect lblStoich(8).visible 1
expect txtComp(8).text "H+"
expect txtStoich(8).text " 1"
)S");
}

TEST(SurfkitDisplay, RowWithoutMbPairShowsAnEmptyMbBox)
{
    DataDir d("f.iso", crlf({R"("Freundlich")", R"(13010300,"WithMB",0,2,0,0,2,0,0,0,0,102)", "1,30,-1,3", "1",
                             "0.5,30", R"(13010301,"NoMB",0,2,0,0,2,0,0,0,0,2)", "2,31,-1,3"}) +
                           endBlock);
    RUN_OK(d, R"S(
pick lstReactions "WithMB"
expect txtMBstoich(1).visible 1
expect txtMBstoich(1).text " 0.5"
expect txtMBstoich(2).text ""
pick lstReactions "NoMB"
expect txtMBstoich(1).text ""
expect txtMBstoich(2).text ""
)S");
}

TEST(SurfkitDisplay, MissingComponentDatabaseIsReportedAndTheWindowStays)
{
    DataDir d("s.mdb", twoSpecies + endBlock, "");
    const auto r = RUN_OK(d, R"S(
pick lstReactions "=SOCu+"
expect lstReactions.count 2
pick lstReactions "=SOH2+"
)S");
    EXPECT_TRUE(printed(r, critical("Quenvar error", "File not found: comp.mdb"))) << r.output;
}

TEST(SurfkitFileMenu, OpeningAnotherKindPutsBackWhatTheIsothermFileChanged)
{
    DataDir d("f.iso", crlf({R"("Freundlich")", R"(13010300,"X",0,2,0,0,2,0,0,0,0,1)", "1,30"}) + endBlock);
    d.write("c.mdb", twoSpecies + endBlock);
    const auto r = RUN_OK(d, R"S(
expect lblLogk.caption "log KF"
expect lblMA.visible 1
dialog "c.mdb"
click mnuFileOpen
expect lblLogk.caption "log K"
expect lblMA.visible 0
expect lblMB.visible 0
expect lblMBnote.visible 0
expect cboIsoterm.visible 0
expect lblIsoterm.visible 0
expect txtdhr.visible 1
expect lstReactions.items "=SOH2+" "=SOCu+"
)S");
    EXPECT_TRUE(printed(r, "dialog open \"" + std::string(openFilter) + "\" \"" + shown(d.dir.path()) + "\" -> \"" +
                               shown(d.path("c.mdb")) + "\""));
}

TEST(SurfkitFileMenu, ACancelLeavesTheOpenDatabaseAsTheWindowShowedIt)
{
    // A cancel must not leave a counterion file treated as another kind: its K-sel stays shown
    // and a later save keeps it.
    const std::string cdb = crlf({R"(50010,"NaX",0,0,2.5,0,0,0,0,0,0,1)", "1,5"}) + endBlock;
    DataDir d("ion.cdb", cdb);
    RUN_OK(d, R"S(
pick lstReactions "NaX"
dialog cancel
click mnuFileOpen
expect lblNameDb.caption "ion.cdb"
expect txtKsel.visible 1
expect lstReactions.text "NaX"
pick lstReactions "NaX"
expect txtKsel.text "  2.5"
type txtlogk "1"
answer yes
click cmdSavedb
)S");
    EXPECT_EQ(d.read("ion.cdb"), crlf({R"(50010,"NaX",0,1,2.5,0,0,0,0,0,0,1)", "1,5"}) + endBlock);
}

TEST(SurfkitCompdb, TheChosenComponentDatabaseIsUsedForTheNextDisplay)
{
    DataDir d("s.mdb", twoSpecies + endBlock);
    d.write("other.mdb", crlf({R"S(30,"Copper(II)",2,63.5,0,0)S", R"(812,"x",0,0,0,0)", R"(3,"Proton",1,1,0,0)"}));
    const auto r = RUN_OK(d, R"S(
dialog cancel
click cmdCompdb
pick lstReactions "=SOCu+"
expect txtComp(2).text "Cu+2"
dialog "other.mdb"
click cmdCompdb
expect txtComp(2).text "Cu+2"
pick lstReactions "=SOCu+"
expect txtComp(2).text "Copper(II)"
expect txtComp(3).text "Proton"
)S");
    EXPECT_TRUE(
        printed(r, "dialog open \"Quenvar database files (*.MDB)|*.MDB\" \"" + shown(d.dir.path()) + "\" -> cancel"))
        << r.output;
}

TEST(SurfkitQuit, QuitAndExitEndWithoutSavingWhatTheQuestionDiscards)
{
    for (const char* how : {"click cmdQuit", "click mnuFileExit", "key frmMaindb \"Ctrl+Q\"", "close frmMaindb"}) {
        SCOPED_TRACE(how);
        DataDir d("s.mdb", twoSpecies + endBlock);
        const auto r =
            RUN_OK(d, std::string("pick lstReactions \"=SOCu+\"\ntype txtlogk \"5\"\nanswer discard\n") + how + "\n");
        EXPECT_TRUE(printed(r, "end")) << r.output;
        const std::string what = std::string(how).starts_with("close") ? "closing" : "quitting";
        EXPECT_TRUE(printed(r, "message \"Unsaved changes - Quenvar\" \"Save changes to =SOCu+ before " + what +
                                   "?\" savediscardcancel question -> discard"))
            << r.output;
        EXPECT_EQ(d.read("s.mdb"), twoSpecies + endBlock);
    }
}
