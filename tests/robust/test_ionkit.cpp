// The SIT database manager under faults and on bad files: each of its rewrites (add, change,
// delete, save to a new database) interrupted at every step, and its start-up, pair listings and
// "New species" name lists run on damaged copies of every file it reads.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fixtures.h"
#include "harness.h"
#include "testsupport.h"
#include "variants.h"

namespace {

namespace fs = std::filesystem;
using qvtest::crlf;
using qvtest::TempDir;

// The later records repeat species 1 already listed, so that damage in them leaves the list of
// species 1 whole and the clicks still run on the damaged file.
const std::string sit =
    crlf({R"("Na+","Cl-",0.03,"Book A")", R"("K+","Cl-",0.120,"Book C")", R"("Na+","NO3-",-0.04,"Book B")",
          R"("K+","Br-",0.5,"Book D")", R"("Na+","Cl-",0.07,"Book E")"});
const std::string comp =
    crlf({R"(1,"H2O",0,18,0,0)", R"(3,"H+",1,1,0,0)", R"(5,"Ca+2",2,40.08,0,0)", R"(7,"Cl-",-1,35.45,0,0)",
          R"(812,"=SOH",0,0,0,0)", R"(0,"Zero0",0,0,0,0)", R"(9,"After+",1,0,0,0)"});
const std::string thermo =
    crlf({R"(100,"OH-",-14,0,0,0,-1,3.5,0,0,2)", "1,1,-1,3", R"(17,"set","")", R"(200,"NaCl0",0.5,0,0,0,0,0,0,0,0)",
          R"(58.4,"set","")", R"(300,"CaOH+",-12,0,0,0,1,0,0,0,1)", "1,5", R"(57,"set","")",
          R"(0,"END",0,0,0,0,0,0,0,0,0)"});

// A data directory: dabase.txt naming the databases by full path, the two name databases, the
// coefficient file, and an older file that a save to a new database overwrites.
void setup(const TempDir& dir)
{
    qvtest::writeDabase(dir);
    dir.write("comp.mdb", comp);
    dir.write("thermo.mdb", thermo);
    dir.write("sit_eta.txt", sit);
    dir.write("new.txt", crlf({R"("Old+","Old-",1,"older file")"}));
}

qvtest::RewriteCase rewrite(const std::string& name, const std::string& script, const std::string& target)
{
    return {name, IONKIT_BIN, setup, script, target, {"sitbase_temp.txt"}};
}

// ---- Crash safety -------------------------------------------------------------------------

TEST(IonkitCrashSafety, AddingAPair)
{
    qvtest::checkCrashSafety(rewrite("ionkit add", R"S(
click Command1
type cboCat1 "Ca+2"
type cboAn1 "Cl-"
type txtEta1 "0.25"
type txtRef1 "New book"
click cmdAdd
)S",
                                     "sit_eta.txt"));
}

TEST(IonkitCrashSafety, ChangingAPair)
{
    qvtest::checkCrashSafety(rewrite("ionkit change", R"S(
type txtEta "0.5"
type txtReference "Changed"
click cmdSave
)S",
                                     "sit_eta.txt"));
}

TEST(IonkitCrashSafety, DeletingAPair)
{
    qvtest::checkCrashSafety(rewrite("ionkit delete", R"S(
pick cboCat "K+"
answer yes
click cmdDelete
)S",
                                     "sit_eta.txt"));
}

const std::string saveAs = R"S(
type txtEta "0.5"
dialog "new.txt"
click Command2
)S";

TEST(IonkitCrashSafety, SavingToANewDatabase)
{
    // The new file is written once, whole: never the plain copy without the change.
    qvtest::checkCrashSafety(rewrite("ionkit save to new database", saveAs, "new.txt"));
}

TEST(IonkitCrashSafety, SavingToANewDatabaseLeavesTheOldOne)
{
    const int planned = qvtest::forEachFault(
        IONKIT_BIN, setup, saveAs,
        [&](const TempDir& dir, const auto& run) {
            ASSERT_FALSE(run.result.timedOut) << run.plan;
            EXPECT_EQ(dir.read("sit_eta.txt"), sit) << run.plan;
        },
        4);
    EXPECT_GT(planned, 3);
}

// ---- Malformed files ----------------------------------------------------------------------

// A sweep whose every failure message names the damaged file; with `mustReport`, a file in
// whose place stands a directory is reported too.
void checkReports(qvtest::ReadCase c, bool mustReport)
{
    c.messagesNameFile = true;
    c.reportsDirectory = mustReport;
    qvtest::checkMalformed(c);
}

// The pairs listed, then species 1 and species 2 clicked: each click reads the file again.
const std::string clicks = R"S(
expect cboCat.items "Na+" "K+"
pick cboCat "K+"
expect cboAn.items "Cl-" "Br-"
pick cboAn "Br-"
pick cboCat "Na+"
pick cboAn #2
)S";

TEST(IonkitMalformed, CoefficientFileAtStartUpAndClicked)
{
    checkReports({"ionkit start-up and clicks", IONKIT_BIN, setup, clicks, "sit_eta.txt", {}, 30}, false);
}

TEST(IonkitMalformed, CoefficientFileOpenedAndClicked)
{
    // "Open SIT database" needs the file: whatever cannot be read in it is reported.
    checkReports({"ionkit open and clicks",
                  IONKIT_BIN,
                  setup,
                  "dialog \"sit_eta.txt\"\nclick mnuOpen\n" + clicks,
                  "sit_eta.txt",
                  {},
                  30},
                 true);
}

const std::string newSpecies = R"S(
click Command1
expect cboCat1.items "H+" "Ca+2" "=SOH" "Zero0" "NaCl0" "CaOH+"
expect cboAn1.items "Cl-" "=SOH" "Zero0" "OH-" "NaCl0"
)S";

TEST(IonkitMalformed, ComponentDatabaseForNewSpecies)
{
    checkReports({"ionkit new species", IONKIT_BIN, setup, newSpecies, "comp.mdb", {}, 30}, true);
}

TEST(IonkitMalformed, ThermodynamicDatabaseForNewSpecies)
{
    checkReports({"ionkit new species", IONKIT_BIN, setup, newSpecies, "thermo.mdb", {}, 30}, true);
}

TEST(IonkitMalformed, DabaseAtStartUp)
{
    // The paths of dabase.txt lead "New species" to the name databases; a damaged file either
    // ends the program at start or leads to files that are reported when they cannot be read.
    qvtest::checkMalformed({"ionkit start-up", IONKIT_BIN, setup, clicks + newSpecies, "dabase.txt", {}, 30});
}

}  // namespace
