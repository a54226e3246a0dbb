// The sorption database editor under faults and on bad files: each of its rewrites (save of a
// changed species, save of a new species, deletion, save to a new database) interrupted at every
// step, and its start-up, listing, species display and ID proposal run on damaged copies of every
// file it reads: the sorption database of each kind, sorptemp.dat, dabase.txt and comp.mdb.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fixtures.h"
#include "harness.h"
#include "testsupport.h"
#include "variants.h"

namespace {

namespace fs = std::filesystem;
using qvtest::crlf;
using qvtest::TempDir;

const std::string& endBlock = qvtest::sorptionEndBlock;

const std::string comp = crlf({R"(1,"H2O",0,18.015,0,0)", R"(3,"H+",1,1.008,9,0)", R"(9,"Ca+2",2,40.078,6,0)",
                               R"(30,"Cu+2",2,63.546,6,0)", R"(812,"SOH strong",0,0,0,0)", R"(1130,"FAx",0,0,0,0)",
                               R"(1301,"Lsite1",0,0,0,0)", R"(1341,"FA1-",0,0,0,0)"});

// Three species of every kind, with the header each kind has; the isotherm file uses M.B. blocks.
std::string database(const std::string& kind)
{
    const std::string plain =
        crlf({R"(300030,"A",0,1,0,0,1,0,0,0,0,2)", "1,30,-1,3", R"(11300030,"B",-5,2.5,1.25,0.5,1,0,0,0,0,2)",
              "1,1130,-1,3", R"(8120030,"C",0,3,0,0,0,0,0,0,0,1)", "1,812"});
    if (kind == "mdb" || kind == "cdb") return plain + endBlock;
    if (kind == "nic")
        return crlf({R"("NICA-Donnan")", R"(13410030,"FA1Cu",0,1,0,0.8,1,0,0,0,0,2)", "1,1341,1,30"}) + plain +
               endBlock;
    if (kind == "bli") return crlf({R"("BLM parameters")", R"("Critical f",0.5)"}) + plain + endBlock;
    // Freundlich isotherm: one species with an M.B. pair, one without.
    return crlf({R"("Freundlich")", R"(13010030,"CuL",0,1,0,0,2,0,0,0,0,102)", "1,1301,1,30", "1", "0.5,30",
                 R"(13010090,"CaL",0,2,0,0,2,0,0,0,0,2)", "1,1301,1,9"}) +
           endBlock;
}

// A data directory as the program that starts the editor leaves it: dabase.txt, comp.mdb, the
// database and sorptemp.dat naming it.
void setupKind(const TempDir& dir, const std::string& kind)
{
    dir.write("dabase.txt", crlf({R"("c:\quenvar\thermo.mdb","c:\quenvar\type6.mdb","c:\quenvar\comp.mdb","x")"}));
    dir.write("comp.mdb", comp);
    dir.write("s." + kind, database(kind));
    dir.write("sorptemp.dat", crlf({"\"s." + kind + "\""}));
}

void setup(const TempDir& dir) { setupKind(dir, "mdb"); }

// A second database that a save to a new database may overwrite.
void setupWithOther(const TempDir& dir)
{
    setup(dir);
    dir.write("other.mdb", crlf({R"(10,"Other",0,1,0,0,0,0,0,0,0,1)", "1,3"}) + endBlock);
}

const char* changeScript = "pick lstReactions \"B\"\ntype txtlogk \"9,5\"\nanswer yes\nclick cmdSavedb\n";
const char* newSpeciesScript = R"S(
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
)S";
const char* deleteScript = "pick lstReactions \"B\"\nanswer yes\nclick cmdDelete\n";
const char* newDbScript = "pick lstReactions \"B\"\ntype txtlogk \"7\"\ndialog \"other.mdb\"\nclick cmdNewDb\n";
const char* newFileScript = "pick lstReactions \"B\"\ntype txtlogk \"7\"\ndialog \"new.mdb\"\nclick cmdNewDb\n";

qvtest::RewriteCase rewrite(const std::string& name, const std::string& script)
{
    return {name, SURFKIT_BIN, setup, script, "s.mdb", {"dbnamep.mdb"}};
}

// ---- Crash safety -------------------------------------------------------------------------

TEST(SurfkitCrashSafety, SavingAChangedSpecies)
{
    qvtest::checkCrashSafety(rewrite("surfkit save change", changeScript));
}

TEST(SurfkitCrashSafety, SavingANewSpecies)
{
    qvtest::checkCrashSafety(rewrite("surfkit save new species", newSpeciesScript));
}

TEST(SurfkitCrashSafety, Deleting) { qvtest::checkCrashSafety(rewrite("surfkit delete", deleteScript)); }

TEST(SurfkitCrashSafety, SavingOverAnotherDatabase)
{
    qvtest::checkCrashSafety({"surfkit save to a new database (existing file)",
                              SURFKIT_BIN,
                              setupWithOther,
                              newDbScript,
                              "other.mdb",
                              {"dbnamep.mdb"}});
}

// Saving to a database that does not exist yet: after any fault the new file is absent or
// complete, never a bare copy of the open one, and the open database is untouched.
TEST(SurfkitCrashSafety, SavingToANewFile)
{
    std::string oldBytes, newBytes;
    {
        TempDir dir;
        setup(dir);
        oldBytes = dir.read("s.mdb");
        const auto r = qvtest::runScript(SURFKIT_BIN, dir.path(), newFileScript);
        ASSERT_EQ(r.status, 0) << r.output << r.errors;
        newBytes = dir.read("new.mdb");
        ASSERT_NE(newBytes, oldBytes);
        EXPECT_EQ(dir.read("s.mdb"), oldBytes);
    }
    const int faults =
        qvtest::forEachFault(SURFKIT_BIN, setup, newFileScript, [&](const TempDir& dir, const auto& run) {
            SCOPED_TRACE(run.plan);
            ASSERT_FALSE(run.result.timedOut);
            EXPECT_EQ(dir.read("s.mdb"), oldBytes);
            if (dir.exists("new.mdb")) {
                EXPECT_EQ(dir.read("new.mdb"), newBytes) << "new.mdb is neither absent nor complete";
            }
            if (!run.killed) {
                for (const std::string& e : dir.entries())
                    EXPECT_TRUE(e == "s.mdb" || e == "new.mdb" || e == "comp.mdb" || e == "dabase.txt" ||
                                e == "sorptemp.dat")
                        << e << " left behind";
            }
        });
    EXPECT_GT(faults, 3);
}

// ---- Malformed files ----------------------------------------------------------------------

std::map<std::string, std::string> snapshot(const TempDir& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        files[name] = e.is_directory() ? std::string("<dir>") : dir.read(name);
    }
    files.erase("sorptemp.dat");  // start-up reads and deletes the hand-off file
    return files;
}

// Puts a bad variant in the place of `name`.
void place(const TempDir& dir, const std::string& name, const qvtest::Variant& v)
{
    fs::remove_all(dir / name);
    if (v.directory)
        fs::create_directory(dir / name);
    else
        dir.write(name, v.bytes);
}

// Runs a script on the directory as it stands: the tool neither hangs nor crashes, ends normally
// (status 0, or 1 where `mayFail`: an expectation about the listing did not hold, or start-up
// ended the program), and every message it shows names `damaged`. Returns the output; counts the
// messages in `shown`.
std::string runChecked(const TempDir& dir, const std::string& script, const std::string& damaged, bool mayFail,
                       int& shown)
{
    const auto r = qvtest::runScript(SURFKIT_BIN, dir.path(), script, {}, 60);
    EXPECT_FALSE(r.timedOut) << "the tool hung";
    EXPECT_EQ(r.signal, 0) << "the tool crashed\n" << r.output << r.errors;
    if (mayFail)
        EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status << "\n" << r.output.substr(0, 400);
    else
        EXPECT_EQ(r.status, 0) << r.output.substr(0, 400);
    for (std::size_t at = r.output.find("message "); at != std::string::npos; at = r.output.find("message ", at + 1)) {
        if (at != 0 && r.output[at - 1] != '\n') continue;
        const std::string line = r.output.substr(at, r.output.find('\n', at) - at);
        EXPECT_NE(line.find(damaged + "\" ok critical -> ok"), std::string::npos) << line.substr(0, 300);
        ++shown;
    }
    return r.output;
}

// The listed count of a run that printed "lstReactions.count = N".
int listedCount(const std::string& output)
{
    const std::string key = "lstReactions.count = ";
    const auto at = output.find(key);
    return at == std::string::npos ? -1 : std::stoi(output.substr(at + key.size()));
}

// Start-up (listing) and the ID proposal, which reads every ID of the database; then, in a second
// run, the species display of the last and of the first species listed. No file changes (but the
// hand-off file), and what the display or the proposal cannot read is reported naming the file.
TEST(SurfkitMalformed, DatabaseOfEveryKind)
{
    int shown = 0, displayed = 0;
    for (const std::string kind : {"mdb", "cdb", "iso", "nic", "bli"}) {
        const std::string name = "s." + kind;
        for (const qvtest::Variant& v : qvtest::badVariants(database(kind), 24)) {
            SCOPED_TRACE(name + " (" + v.name + ")");
            TempDir dir;
            setupKind(dir, kind);
            place(dir, name, v);
            const auto before = snapshot(dir);

            const std::string listing = runChecked(dir, R"S(
print lstReactions.count
click cmdAddnew
type txtSpname "New"
type cboComp "Cu+2"
type txtStoicn "1"
click cmdSuggest
)S",
                                                   name, false, shown);
            if (const int count = listedCount(listing); count > 0) {
                dir.write("sorptemp.dat", crlf({"\"" + name + "\""}));
                runChecked(dir, "pick lstReactions #" + std::to_string(count) + "\npick lstReactions #1\n", name, false,
                           shown);
                ++displayed;
            }
            EXPECT_TRUE(before == snapshot(dir)) << "a file changed without a save";
        }
    }
    EXPECT_GT(shown, 20);      // damage is reported ...
    EXPECT_GT(displayed, 50);  // ... and what can be listed is displayed
}

// The start-up and reading actions that the other files feed: the listing, the display of two
// species (their components looked up in comp.mdb), and the entry of a new species with its
// component list and ID proposal (both reading comp.mdb).
const char* readScript = R"S(
expect lstReactions.count 3
pick lstReactions "C"
pick lstReactions "B"
click cmdAddnew
expect txtSpname.visible 1
type txtSpname "New"
type cboComp "Cu+2"
type txtStoicn "1"
click cmdSuggest
)S";

int sweep(const std::string& damaged, std::size_t cuts)
{
    TempDir probe;
    setup(probe);
    int shown = 0;
    for (const qvtest::Variant& v : qvtest::badVariants(probe.read(damaged), cuts)) {
        SCOPED_TRACE(damaged + " (" + v.name + ")");
        TempDir dir;
        setup(dir);
        place(dir, damaged, v);
        const auto before = snapshot(dir);
        runChecked(dir, readScript, damaged, true, shown);
        EXPECT_TRUE(before == snapshot(dir)) << "a file changed without a save";
    }
    return shown;
}

TEST(SurfkitMalformed, HandoffFile)
{
    // A hand-off file that cannot be read leaves the list empty, silently.
    EXPECT_EQ(sweep("sorptemp.dat", 24), 0);
}

TEST(SurfkitMalformed, Dabase)
{
    // Start-up cannot go on without dabase.txt: a message naming it ends the program.
    EXPECT_GT(sweep("dabase.txt", 24), 0);
}

TEST(SurfkitMalformed, ComponentDatabase) { EXPECT_GT(sweep("comp.mdb", 40), 20); }

}  // namespace
