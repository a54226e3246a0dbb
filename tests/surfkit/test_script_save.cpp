// surfkit end to end: saving changed and new species, deleting, saving to a new database, the
// refusals before any file is opened, and what a failed rewrite leaves behind.

#include <gtest/gtest.h>

#include <string>

#include "quenvar/files.h"
#include "script_fixture.h"
#include "shown.h"

using qvtest::shown;

using namespace sktest;

namespace {

const std::string recA = crlf({R"(300030,"A",0,1,0,0,1,0,0,0,0,2)", "1,30,-1,3"});
const std::string recB = crlf({R"(310030,"B",-5,2.5,0,0,1,0,0,0,0,2)", "1,31,-1,3"});
const std::string recC = crlf({R"(90030,"C",0,3,0,0,1,0,0,0,0,1)", "1,9"});
const std::string abc = recA + recB + recC + endBlock;

const std::string saveYes = "answer yes\nclick cmdSavedb\n";

// The Yes/No box of the save, as the run prints it when answered Yes.
const std::string saveQuestion =
    "message \"Species change - Quenvar\" \"Are you really sure you would like to save changes to the database? - The "
    "old settings will disappear forever\" yesno question -> yes";

// A database of `count` species S1, S2, ... on Na+.
std::string manySpecies(int count, int skip = 0, const std::string& changedLine = "", int changed = 0)
{
    std::string out;
    for (int k = 1; k <= count; ++k) {
        if (k == skip) continue;
        const std::string first =
            k == changed ? changedLine
                         : std::to_string(1000000 + k) + ",\"S" + std::to_string(k) + "\",0,1,0,0,0,0,0,0,0,1";
        out += crlf({first, "1,5"});
    }
    return out;
}

}  // namespace

TEST(SurfkitSave, ChangedSpeciesTakesDecimalCommas)
{
    DataDir d("s.mdb", abc);
    const auto r = RUN_OK(d, R"S(
pick lstReactions "A"
type txtlogk "1,5"
type txtStoich(1) " 1,5 "
type txtStoich(2) "-0,25"
type txtdhr ""
type txtCharge "2,75"
type txtID "300031"
answer yes
click cmdSavedb
expect txtlogk.text "  1.5"
expect lstReactions.items "A" "B" "C"
)S");
    EXPECT_TRUE(printed(r, saveQuestion)) << r.output;
    EXPECT_EQ(d.read("s.mdb"),
              crlf({R"(300031,"A",0,1.5,0,0,2.75,0,0,0,0,2)", "1.5,30,-0.25,3"}) + recB + recC + endBlock);
    EXPECT_FALSE(d.exists("dbnamep.mdb"));
}

TEST(SurfkitSave, AnswerNoSavesNothing)
{
    DataDir d("s.mdb", abc);
    RUN_OK(d, "pick lstReactions \"A\"\ntype txtlogk \"9\"\nanswer no\nclick cmdSavedb\n");
    EXPECT_EQ(d.read("s.mdb"), abc);
}

TEST(SurfkitSave, KselIsWrittenOnlyInCounterionFiles)
{
    DataDir d("i.cdb", crlf({R"(50010,"NaX",0,0,2.5,0,0,0,0,0,0,1)", "1,5"}) + endBlock);
    d.write("c.mdb", abc);
    RUN_OK(d, R"S(
pick lstReactions "NaX"
type txtKsel "3,25"
answer yes
click cmdSavedb
dialog "c.mdb"
click mnuFileOpen
pick lstReactions "A"
type txtlogk "7"
answer yes
click cmdSavedb
)S");
    EXPECT_EQ(d.read("i.cdb"), crlf({R"(50010,"NaX",0,0,3.25,0,0,0,0,0,0,1)", "1,5"}) + endBlock);
    // The counterion value still stands in the hidden K-sel box; a complexation file gets 0.
    EXPECT_EQ(d.read("c.mdb"), crlf({R"(300030,"A",0,7,0,0,1,0,0,0,0,2)", "1,30,-1,3"}) + recB + recC + endBlock);
}

TEST(SurfkitSave, BlmHeaderToxicityAndCriticalFValue)
{
    const std::string cu = R"(1000010,"Cu-gill",0,3.5,0,0,1,0,0,0,0,1)";
    const std::string cuoh = R"(1000020,"CuOH-gill",0,2.5,0,2,1,0,0,0,0,1)";
    DataDir d("g.bli", crlf({R"("BLM parameters","Cu",0.5)", cu, "1,30", cuoh, "1,30"}) + endBlock);
    RUN_OK(d, R"S(
pick lstReactions "Cu-gill"
type txtKsel " Yes"
type txtf50 "0.75"
answer yes
click cmdSavedb
expect txtf50.text " 0.75"
)S");
    EXPECT_EQ(d.read("g.bli"), crlf({R"("BLM parameters")", R"("Cu",0.75)",
                                     R"(1000010,"Cu-gill",0,3.5,0,1,1,0,0,0,0,1)", "1,30", cuoh, "1,30"}) +
                                   endBlock);
    // " No" gives 0; the critical f value takes a decimal comma as every box does.
    RUN_OK(d, R"S(
pick lstReactions "CuOH-gill"
expect txtKsel.text " Yes"
type txtKsel " No"
type txtf50 "0,9"
answer yes
click cmdSavedb
)S");
    EXPECT_EQ(d.read("g.bli"), crlf({R"("BLM parameters")", R"("Cu",0.9)", R"(1000010,"Cu-gill",0,3.5,0,1,1,0,0,0,0,1)",
                                     "1,30", R"(1000020,"CuOH-gill",0,2.5,0,0,1,0,0,0,0,1)", "1,30"}) +
                                   endBlock);
}

TEST(SurfkitSave, MbLinesOnlyForFilledMbBoxes)
{
    DataDir d("f.iso", crlf({R"("Freundlich")", R"(13010300,"Two",0,2,0,0,2,0,0,0,0,2)", "1,30,-1,3",
                             R"(13010310,"Three",0,2,0,0,2,0,0,0,0,3)", "1,31,-1,3,1,5"}) +
                           endBlock);
    RUN_OK(d, "pick lstReactions \"Two\"\ntype txtMBstoich(2) \"0,5\"\n" + saveYes +
                  "pick lstReactions \"Three\"\ntype txtlogk \"4\"\n" + saveYes);
    EXPECT_EQ(d.read("f.iso"), crlf({R"("Freundlich")", R"(13010300,"Two",0,2,0,0,2,0,0,0,0,102)", "1,30,-1,3", "1",
                                     "0.5,3", R"(13010310,"Three",0,4,0,0,2,0,0,0,0,3)", "1,31,-1,3,1,5"}) +
                                   endBlock);
}

TEST(SurfkitSave, ModelChosenInTheIsothermListBecomesTheHeader)
{
    const std::string rec = crlf({R"(13010300,"X",0,2,0,0,2,0,0,0,0,1)", "1,30"});
    DataDir d("l.iso", crlf({R"("Langmuir")"}) + rec + endBlock);
    // Nothing selected once the list is refilled: the model choice alone passes the first check
    // and only the header changes.
    RUN_OK(d, "pick lstReactions \"X\"\npick cboIsoterm \"Temkin\"\nexpect lstReactions.index 0\n" + saveYes +
                  "expect lblLogk.caption \"log KT\"\nexpect lstReactions.index 0\n");
    EXPECT_EQ(d.read("l.iso"), crlf({R"("Temkin")"}) + rec + endBlock);

    // A changed species on a NICA-Donnan file keeps its header.
    DataDir nic("d.nic", crlf({R"("NICA-Donnan")"}) + rec + endBlock);
    RUN_OK(nic, "pick lstReactions \"X\"\ntype txtlogk \"3\"\n" + saveYes);
    EXPECT_EQ(nic.read("d.nic"), crlf({R"("NICA-Donnan")", R"(13010300,"X",0,3,0,0,2,0,0,0,0,1)", "1,30"}) + endBlock);
}

TEST(SurfkitSave, NewSpeciesComesFirstAndTheEndBlockStaysAsTheFileHadIt)
{
    const std::string entry = R"S(
click cmdAddnew
type txtSpname "CuOH+"
pick cboComp "Cu+2"
type txtStoicn "1"
click cmdNextcomp
pick cboComp "H+"
type txtStoicn "-1"
click cmdSuggest
type txtlogk "-8"
type txtCharge "1"
answer yes
click cmdSavedb
expect lstReactions.items "CuOH+" "A" "B" "C"
expect txtSpname.text ""
expect txtSpname.visible 0
expect lblAddnew.visible 0
expect cboComp.visible 0
expect txtStoicn.visible 0
expect cmdNextcomp.visible 0
expect cmdSuggest.visible 0
expect lblComp.visible 0
expect lblSpname.visible 0
expect lstReactions.text "CuOH+"
expect txtID.text " 300031"
)S";
    const std::string added = crlf({R"(300031,"CuOH+",0,-8,0,0,1,0,0,0,0,2)", "1,30,-1,3"});
    DataDir ended("s.mdb", abc);
    RUN_OK(ended, entry);
    EXPECT_EQ(ended.read("s.mdb"), added + abc);

    DataDir open("s.mdb", recA + recB + recC);
    RUN_OK(open, entry);
    EXPECT_EQ(open.read("s.mdb"), added + recA + recB + recC);
}

TEST(SurfkitSave, NewSpeciesOfAFreundlichFileWritesItsMbBlock)
{
    DataDir d("f.iso", crlf({R"("Freundlich")"}) + endBlock);
    RUN_OK(d, R"S(
click cmdAddnew
type txtSpname "Cu sorbed"
pick cboComp "Cu+2"
type txtStoicn "1"
click cmdNextcomp
expect txtMBstoich(1).visible 1
pick cboComp "H+"
type txtStoicn "-1"
click cmdSuggest
type txtMBstoich(2) "-0,5"
type txtlogk "2"
type txtCharge "1"
answer yes
click cmdSavedb
)S");
    EXPECT_EQ(d.read("f.iso"),
              crlf({R"("Freundlich")", R"(13010300,"Cu sorbed",0,2,0,0,1,0,0,0,0,102)", "1,30,-1,3", "1", "-0.5,3"}) +
                  endBlock);
}

TEST(SurfkitSave, RenamedSpeciesStaysInItsPlaceAndEveryRecordOfTheNameIsReplaced)
{
    DataDir d("s.mdb", abc);
    RUN_OK(d, "pick lstReactions \"B\"\ntype txtName \" B2 \"\n" + saveYes +
                  "expect lstReactions.items \"A\" \"B2\" \"C\"\n");
    EXPECT_EQ(d.read("s.mdb"), recA + crlf({R"(310030,"B2",-5,2.5,0,0,1,0,0,0,0,2)", "1,31,-1,3"}) + recC + endBlock);

    const std::string dup1 = crlf({R"(400030,"Dup",0,1,0,0,1,0,0,0,0,1)", "1,30"});
    const std::string dup2 = crlf({R"(400031,"Dup",0,2,0,0,1,0,0,0,0,1)", "1,31"});
    DataDir dups("s.mdb", recA + dup1 + recB + dup2 + endBlock);
    RUN_OK(dups, "pick lstReactions \"Dup\"\ntype txtlogk \"9\"\n" + saveYes);
    const std::string changed = crlf({R"(400030,"Dup",0,9,0,0,1,0,0,0,0,1)", "1,30"});
    EXPECT_EQ(dups.read("s.mdb"), recA + changed + recB + changed + endBlock);
}

TEST(SurfkitSave, InputChecksRefuseBeforeAnyFileIsOpened)
{
    struct Case {
        const char* what;
        std::string script;
        std::string message;
    };
    const std::string error = "Quenvar error";
    const Case cases[] = {
        {"nothing selected", saveYes,
         critical(error, "Please use the mouse to select the database species to be changed before saving")},
        {"blank count", "pick lstReactions \"A\"\ntype txtNocomp \"   \"\n" + saveYes,
         critical(error, "One or more required data fields have been left blank. Please complete before saving")},
        {"blank log K", "pick lstReactions \"A\"\ntype txtlogk \"\"\n" + saveYes,
         critical(error, "One or more required data fields have been left blank. Please complete before saving")},
        {"nine components", "pick lstReactions \"A\"\ntype txtNocomp \"9\"\n" + saveYes,
         critical(error, "The number of components must lie between 0 and 8. Please correct it before saving")},
        {"negative count", "pick lstReactions \"A\"\ntype txtNocomp \"-1\"\n" + saveYes,
         critical(error, "The number of components must lie between 0 and 8. Please correct it before saving")},
        {"component not in comp.mdb", "pick lstReactions \"A\"\ntype txtComp(2) \"Xx+\"\n" + saveYes,
         critical(error,
                  "The component \\\"Xx+\\\" of row 2 is not in the component database comp.mdb. Please choose "
                  "the components from the list before saving")},
        {"quote in name", "pick lstReactions \"A\"\ntype txtName \"A\\\"x\"\n" + saveYes,
         "message \"Quenvar error\" \"A species name cannot contain a double quote (\\\"). Please change the name "
         "before saving\" ok critical -> ok"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataDir d("s.mdb", abc);
        const auto r = RUN_OK(d, c.script);
        EXPECT_TRUE(printed(r, c.message)) << r.output;
        EXPECT_EQ(d.read("s.mdb"), abc);
        EXPECT_FALSE(d.exists("dbnamep.mdb"));
    }
}

TEST(SurfkitSave, MoreThanSixMbCoefficientsAreRefused)
{
    const std::string db =
        crlf({R"("Freundlich")", R"(13010300,"Seven",0,2,0,0,2,0,0,0,0,7)", "1,3,1,5,1,9,1,30,1,31,1,50,1,54"}) +
        endBlock;
    DataDir d("f.iso", db);
    std::string script = "pick lstReactions \"Seven\"\n";
    for (int i = 1; i <= 7; ++i) script += "type txtMBstoich(" + std::to_string(i) + ") \"2\"\n";
    const auto r = RUN_OK(d, script + saveYes);
    EXPECT_TRUE(printed(r, critical("Quenvar error",
                                    "No more than six M.B. fields can be filled in. Please leave the "
                                    "M.B. field blank where the M.B. stoichiometry is equal to the "
                                    "M.A. stoichiometry")))
        << r.output;
    EXPECT_EQ(d.read("f.iso"), db);

    // Six are written.
    RUN_OK(d, script + "type txtMBstoich(7) \" \"\n" + saveYes);
    const auto lines = linesOf(d.read("f.iso"));
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(fieldsOf(lines[1]).back(), "107");
    EXPECT_EQ(lines[3], "6");
    EXPECT_EQ(lines[4], "2,3,2,5,2,9,2,30,2,31,2,50");
}

TEST(SurfkitDelete, DropsEveryRecordOfTheNameAndClearsTheFields)
{
    const std::string dup1 = crlf({R"(400030,"Dup",0,1,0,0,1,0,0,0,0,1)", "1,30"});
    const std::string dup2 = crlf({R"(400031,"Dup",0,2,0,0,1,0,0,0,0,1)", "1,31"});
    DataDir d("s.mdb", recA + dup1 + recB + dup2 + endBlock);
    const auto r = RUN_OK(d, R"S(
pick lstReactions "Dup"
answer yes
click cmdDelete
expect lstReactions.items "A" "B" "Dup"
expect lstReactions.index 0
expect txtID.text ""
expect txtName.text ""
expect txtlogk.text ""
expect txtNocomp.text "0"
expect txtComp(1).visible 0
expect txtComp(1).text ""
expect lblStoich(1).visible 0
)S");
    EXPECT_TRUE(printed(r,
                        "message \"Deletion of species - Quenvar\" \"Are you really sure you would like to delete "
                        "this species from the database? Once deleted it is gone!\" yesno question -> yes"))
        << r.output;
    EXPECT_EQ(d.read("s.mdb"), recA + recB + endBlock);
    EXPECT_FALSE(d.exists("dbnamep.mdb"));
}

TEST(SurfkitDelete, RefusalsAndNo)
{
    DataDir d("s.mdb", abc);
    const auto r = RUN_OK(d, R"S(
click cmdAddnew
type txtSpname "Tmp"
click cmdSuggest
expect lstReactions.items "A" "B" "C" "Tmp"
answer discard
pick lstReactions "A"
pick lstReactions "Tmp"
click cmdDelete
expect lstReactions.items "A" "B" "C"
expect lstReactions.index 0
click cmdDelete
pick lstReactions "B"
answer no
click cmdDelete
expect lstReactions.items "A" "B" "C"
expect txtName.text "B"
)S");
    EXPECT_TRUE(printed(r, critical("Quenvar", "This species is not yet in the database anyway"))) << r.output;
    EXPECT_TRUE(printed(r, critical("Quenvar", "No species defined"))) << r.output;
    EXPECT_EQ(r.output.find("yesno question -> yes"), std::string::npos) << r.output;
    EXPECT_EQ(d.read("s.mdb"), abc);
}

TEST(SurfkitNewDb, FilterFollowsTheKindAndACancelChangesNothing)
{
    struct Case {
        const char* file;
        std::string bytes;
        const char* filter;
    };
    const Case cases[] = {
        {"s.mdb", abc, "Sorption database files (*.MDB)|*.MDB"},
        {"s.cdb", abc, "Counterion selectivity files (*.CDB)|*.CDB"},
        {"s.iso", crlf({R"("Langmuir")"}) + abc, "Isotherm database files (*.ISO)|*.ISO"},
        {"s.nic", crlf({R"("NICA-Donnan")"}) + abc, "NICA-Donnan database files (*.NIC)|*.NIC"},
        {"s.bli", crlf({R"("BLM","Cu",0.5)"}) + abc, "BLM parameter files (*.BLI)|*.BLI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        DataDir d(c.file, c.bytes);
        const auto r = RUN_OK(d, std::string("pick lstReactions \"A\"\ntype txtlogk \"6\"\ndialog cancel\n"
                                             "click cmdNewDb\nexpect lblNameDb.caption \"") +
                                     c.file + "\"\nexpect txtlogk.text \"6\"\n");
        EXPECT_TRUE(
            printed(r, "dialog save \"" + std::string(c.filter) + "\" \"" + shown(d.dir.path()) + "\" -> cancel"))
            << r.output;
        EXPECT_EQ(d.read(c.file), c.bytes);
        EXPECT_EQ(d.dir.entries().size(), 3u);  // dabase.txt, comp.mdb and the database only
    }
}

TEST(SurfkitNewDb, SavesIntoTheCopyAndWorksOnItFromThenOn)
{
    DataDir d("s.mdb", abc);
    RUN_OK(d,
           "pick lstReactions \"A\"\ntype txtlogk \"4\"\ndialog \"copy.mdb\"\nclick cmdNewDb\n"
           "expect lblNameDb.caption \"" +
               d.path("copy.mdb") +
               "\"\n"
               "pick lstReactions \"C\"\ntype txtlogk \"5\"\n" +
               saveYes);
    EXPECT_EQ(d.read("s.mdb"), abc);
    EXPECT_EQ(d.read("copy.mdb"), crlf({R"(300030,"A",0,4,0,0,1,0,0,0,0,2)", "1,30,-1,3"}) + recB +
                                      crlf({R"(90030,"C",0,5,0,0,1,0,0,0,0,1)", "1,9"}) + endBlock);
    EXPECT_FALSE(d.exists("dbnamep.mdb"));
}

TEST(SurfkitLargeDatabase, SaveAndDeleteLoseNoRecordBeyond4000)
{
    DataDir d("big.mdb", manySpecies(4100) + endBlock);
    RUN_OK(d, "expect lstReactions.count 4000\npick lstReactions \"S2\"\ntype txtlogk \"7\"\n" + saveYes);
    EXPECT_TRUE(d.read("big.mdb") == manySpecies(4100, 0, R"(1000002,"S2",0,7,0,0,0,0,0,0,0,1)", 2) + endBlock);

    RUN_OK(d, "pick lstReactions \"S3\"\nanswer yes\nclick cmdDelete\n");
    EXPECT_TRUE(d.read("big.mdb") == manySpecies(4100, 3, R"(1000002,"S2",0,7,0,0,0,0,0,0,0,1)", 2) + endBlock);

    RUN_OK(d,
           "click cmdAddnew\ntype txtSpname \"NaNew\"\npick cboComp \"Na+\"\ntype txtStoicn \"1\"\nclick cmdSuggest\n"
           "type txtlogk \"1\"\ntype txtCharge \"1\"\n" +
               saveYes);
    const std::string after = d.read("big.mdb");
    EXPECT_TRUE(after == crlf({R"(50000,"NaNew",0,1,0,0,1,0,0,0,0,1)", "1,5"}) +
                             manySpecies(4100, 3, R"(1000002,"S2",0,7,0,0,0,0,0,0,0,1)", 2) + endBlock);
    EXPECT_EQ(linesOf(after).size(), 2u * 4100 + 6);
}

TEST(SurfkitLargeDatabase, RecordsBeyondTheWindowsLimitsAreCarriedWhole)
{
    // Ten component pairs, and seven M.B. pairs: more than the window enters, still kept whole.
    const std::string ten =
        crlf({R"(500000,"Ten",0,1,0,0,0,0,0,0,0,10)", "1,3,1,5,1,9,1,30,1,31,1,50,1,54,2,3,2,5,2,9"});
    const std::string mb7 = crlf({R"(500001,"MB7",0,1,0,0,0,0,0,0,0,107)", "1,3,1,5,1,9,1,30,1,31,1,50,1,54", "7",
                                  "2,3,2,5,2,9,2,30,2,31,2,50,2,54"});
    DataDir d("s.mdb", ten + recA + mb7 + endBlock);
    RUN_OK(d, "pick lstReactions \"A\"\ntype txtlogk \"4\"\n" + saveYes +
                  "pick lstReactions \"Ten\"\n"
                  "expect txtNocomp.text \" 10\"\n");
    EXPECT_EQ(d.read("s.mdb"), ten + crlf({R"(300030,"A",0,4,0,0,1,0,0,0,0,2)", "1,30,-1,3"}) + mb7 + endBlock);
    RUN_OK(d, "pick lstReactions \"A\"\nanswer yes\nclick cmdDelete\n");
    EXPECT_EQ(d.read("s.mdb"), ten + mb7 + endBlock);
}

TEST(SurfkitFailure, AFailedRewriteIsReportedAndLeavesTheDatabaseAndTheWindow)
{
    DataDir d("s.mdb", abc);
    d.write("dbnamep.mdb/in the way", "x");  // a directory where the temporary file must go
    const auto r = RUN_OK(d, R"S(
pick lstReactions "A"
type txtlogk "9"
answer yes
click cmdSavedb
expect txtlogk.text "9"
expect lstReactions.text "A"
answer yes
click cmdDelete
expect lstReactions.items "A" "B" "C"
expect lstReactions.text "A"
expect txtName.text "A"
)S");
    const std::string failure = critical("Quenvar error", "Write failed: dbnamep.mdb");
    const auto first = r.output.find(failure);
    ASSERT_NE(first, std::string::npos) << r.output;
    EXPECT_NE(r.output.find(failure, first + 1), std::string::npos) << r.output;
    EXPECT_EQ(d.read("s.mdb"), abc);
}
