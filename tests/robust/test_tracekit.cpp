// The analyte editor under faults and on bad files: each of its rewrites of analyt.mdb (change,
// add to either section, delete) interrupted at every step, and its start-up, listings and
// species display run on damaged copies of every file it reads.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "fixtures.h"
#include "harness.h"
#include "testsupport.h"
#include "variants.h"

namespace {

namespace fs = std::filesystem;
using qvtest::crlf;
using qvtest::TempDir;

const std::string header = "\"Analytes\"";
const std::string zero = "0,\"\",0,0,0,0,0,0,0";
const std::string analyt =
    crlf({header, "6090550,\"Calcite\",-8.9456,-0.0125,1250,0,0,0,0", "6090540,\"Gypsum\",-4.9,0,95.4,0,0,0,0", zero,
          "550030,\"HCO3-\",7.6468,0,800,0,0,0,0", "90551,\"CaHCO3+\",18.6377,0.0095,-1650,-2.5,1E-05,85000,12.5", zero,
          "777,\"Kept\",1,2,3,4,5,6,7"});
const std::string thermo =
    crlf({"10030,\"OH-\",-14,55.8,0,0,-1,3.5,0,0,2", "1,1,-1,3", "17.007,\"Test set\",\"\"",
          "550030,\"HCO3-\",10.33,-14.6,0,0,-1,4.5,0,0,2", "1,55,1,3", "61.017,\"Test set\",\"\"",
          "550040,\"CO3-2\",0,0,0,0,-2,4.5,0,0,1", "1,55", "60.009,\"Test set\",\"\"", "0,\"END\",0,0,0,0,0,0,0,0,0"});
const std::string type6 = crlf({"6090550,\"Calcite\",8.48,-9.6,0,0,0,0,0,0,2", "1,9,1,55", "100.09,\"Test set\",\"\"",
                                "6090540,\"Gypsum\",4.58,-1.1,0,0,0,0,0,0,2", "1,9,1,70", "172.17,\"Test set\",\"\"",
                                "6090551,\"Aragonite\",8.34,-10.9,0,0,0,0,0,0,2", "1,9,1,55",
                                "100.09,\"Test set\",\"\"", "0,\"END\",0,0,0,0,0,0,0,0,0"});

// A data directory: dabase.txt naming both thermodynamic databases by full path, the two
// databases, and analyt.mdb with a record after its end record.
void setup(const TempDir& dir)
{
    qvtest::writeDabase(dir);
    dir.write("thermo.mdb", thermo);
    dir.write("type6.mdb", type6);
    dir.write("analyt.mdb", analyt);
}

qvtest::RewriteCase rewrite(const std::string& name, const std::string& script)
{
    return {name, TRACEKIT_BIN, setup, script, "analyt.mdb", {"analytp.mdb"}};
}

// ---- Crash safety -------------------------------------------------------------------------

TEST(TracekitCrashSafety, ChangingTheTerms)
{
    qvtest::checkCrashSafety(rewrite("tracekit change", R"S(
pick cboSpecies "Calcite"
type txtEntryA "5"
click cmdSave
)S"));
}

TEST(TracekitCrashSafety, AddingASolid)
{
    qvtest::checkCrashSafety(rewrite("tracekit add solid", R"S(
click cmdAdd
pick cboSpecies "Aragonite"
type txtEntryB "0.5"
click cmdSave
)S"));
}

TEST(TracekitCrashSafety, AddingAnAqueousSpecies)
{
    qvtest::checkCrashSafety(rewrite("tracekit add aqueous", R"S(
click optAqueous
click cmdAdd
pick cboSpecies "CO3-2"
type txtEntryA "1.5"
click cmdSave
)S"));
}

TEST(TracekitCrashSafety, Deleting)
{
    qvtest::checkCrashSafety(rewrite("tracekit delete", R"S(
click optAqueous
pick cboSpecies "HCO3-"
answer yes
click cmdDelete
)S"));
}

// ---- Malformed files ----------------------------------------------------------------------

// A sweep whose every failure message names the damaged file, and in which a file the tool
// cannot open at all is reported.
qvtest::ReadCase reported(qvtest::ReadCase c)
{
    c.messagesNameFile = true;
    c.reportsDirectory = true;
    return c;
}

const std::string listAndShow = R"S(
click optAqueous
click optSolid
expect cboSpecies.items "Calcite" "Gypsum"
pick cboSpecies "Gypsum"
click optAqueous
expect cboSpecies.items "HCO3-" "CaHCO3+"
pick cboSpecies "CaHCO3+"
)S";

TEST(TracekitMalformed, AnalyteDatabaseListedAndShown)
{
    qvtest::checkMalformed(
        reported({"tracekit listings and display", TRACEKIT_BIN, setup, listAndShow, "analyt.mdb", {}, 40}));
}

// Adding from a damaged thermodynamic database: its name list, then the ID lookup of the save.
// analyt.mdb either stays as it was or gains exactly the new record at the head of its section,
// with an ID that does not read as a section end.
void checkAdding(const std::string& damaged, const std::string& script, const std::string& before,
                 const std::string& record)
{
    qvtest::ReadCase c =
        reported({"tracekit adding", TRACEKIT_BIN, setup, script, damaged, {"analyt.mdb", "analyt.mdb.bak"}, 40});
    int added = 0;
    c.verify = [&](const TempDir& dir, const std::string& what) {
        const std::string now = dir.read("analyt.mdb");
        if (now == analyt) return;
        ++added;
        const std::string head = analyt.substr(0, analyt.find(before) + before.size());
        ASSERT_EQ(now.substr(0, head.size()), head) << what;
        ASSERT_GE(now.size(), analyt.size()) << what;
        EXPECT_EQ(now.substr(now.size() - (analyt.size() - head.size())), analyt.substr(head.size())) << what;
        const std::string line = now.substr(head.size(), now.size() - analyt.size());
        const std::string id = line.substr(0, line.find(','));
        EXPECT_EQ(line.substr(id.size()), record + "\r\n") << what;
        EXPECT_FALSE(id.empty() || id == "0" || id == "-0") << what << ": " << line;
    };
    qvtest::checkMalformed(c);
    EXPECT_GT(added, 0) << "no variant let the species be added: the check above saw nothing";
}

TEST(TracekitMalformed, ThermoDatabaseListedAndLookedUp)
{
    checkAdding("thermo.mdb", R"S(
click optAqueous
click cmdAdd
type cboSpecies "CO3-2"
type txtEntryA "1.5"
click cmdSave
)S",
                crlf({zero}), ",\"CO3-2\",1.5,0,0,0,0,0,0");
}

TEST(TracekitMalformed, SolidsDatabaseListedAndLookedUp)
{
    checkAdding("type6.mdb", R"S(
click cmdAdd
type cboSpecies "Aragonite"
type txtEntryB "0.5"
click cmdSave
)S",
                header + "\r\n", ",\"Aragonite\",0,0.5,0,0,0,0,0");
}

TEST(TracekitMalformed, DabaseAtStartUp)
{
    // The paths of dabase.txt lead the adding list and the ID lookup; a damaged file either ends
    // the program at start or leaves analyt.mdb changed only by the save.
    const qvtest::ReadCase c{
        "tracekit start-up", TRACEKIT_BIN, setup, R"S(
click optAqueous
click optSolid
click optAqueous
click cmdAdd
type cboSpecies "CO3-2"
click cmdSave
)S", "dabase.txt", {"analyt.mdb", "analyt.mdb.bak"}, 40};
    qvtest::checkMalformed(c);
}

}  // namespace
