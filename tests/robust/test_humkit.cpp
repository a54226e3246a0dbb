// humkit under faults and on damaged files: a site-file save and the rewrite of a freshly
// installed dabase.txt ("Start") interrupted at every step; a site file opened through the File
// menu, dabase.txt and comp.mdb at start-up, each replaced by every bad variant.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "fixtures.h"
#include "harness.h"
#include "quenvar/datafiles.h"
#include "quenvar/files.h"
#include "quenvar/script.h"
#include "variants.h"

namespace {

namespace fs = std::filesystem;
using qvtest::crlf;
using qvtest::RunResult;
using qvtest::TempDir;

// The directory as the program sees it (its current directory, links resolved).
std::string real(const TempDir& dir) { return fs::canonical(dir.path()).string(); }

// A path as script mode prints it between quotes (backslashes doubled).
std::string shownPath(const std::string& path)
{
    const std::string quoted = qv::script::quote(path);
    return quoted.substr(1, quoted.size() - 2);
}

std::string dabaseOf(const TempDir& dir) { return qvtest::dabaseNaming(real(dir)); }

const std::string components = crlf({"1,\"H2O\",0,18.015,0,0", "3,\"H+\",1,1.008,9,0", "20,\"Ca+2\",2,40.08,6,0",
                                     "30,\"Cl-\",-1,35.45,3,0", "45,\"Cu+2\",2,63.55,6,0", "0,\"\",0,0,0,0"});

// Two sets with sites of every kind, four site groups.
const std::string siteFile = crlf({"2",     "\"General settings\"",
                                   "3,2,1", "1",
                                   "2",     "5",
                                   "1,2",   "3,4",
                                   "1,2,5", "\"Cu+2\"",
                                   "2,0,2", "1",
                                   "2",     "1,2,3",
                                   "4,5,6", "4",
                                   "0.4",   "0.3",
                                   "0.2",   "0.1"});

void setup(const TempDir& dir)
{
    dir.write("dabase.txt", dabaseOf(dir));
    dir.write("comp.mdb", components);
    dir.write("in.MSI.TXT", siteFile);
}

// The site file is opened, changed and saved over itself.
const char* saveScript = R"(dialog "in.MSI.TXT"
click mnuFileOpen
type txtMonono "4"
type txtMonosite(4) "7"
type txtSite(1) "50"
answer yes
dialog "in.MSI.TXT"
click cmdSave
)";

TEST(HumkitCrashSafety, SavingASiteFileReplacesItWhole)
{
    qvtest::checkCrashSafety(
        {"humkit save", HUMKIT_BIN, setup, saveScript, "in.MSI.TXT", {"in.MSI.TXT.tmp", "in.MSI.TXT.bak.new"}});
}

// The rewrite of a freshly installed dabase.txt writes the paths of the directory it runs in, so
// its new content differs from one directory to the next: the check of the harness, with the new
// content made for each directory.
TEST(HumkitCrashSafety, StartRewritesDabaseWhole)
{
    const std::string old = crlf({"\"Start\""});
    const std::string script = "expect cboCations.items \"H+\" \"Ca+2\" \"Cu+2\"\n";
    auto prepare = [&](const TempDir& dir) {
        setup(dir);
        dir.write("dabase.txt", old);
    };
    {
        TempDir dir;
        prepare(dir);
        const RunResult r = qvtest::runScript(HUMKIT_BIN, dir.path(), script);
        ASSERT_EQ(r.status, 0) << r.output << r.errors;
        ASSERT_EQ(dir.read("dabase.txt"), dabaseOf(dir));  // the components came from the paths written
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"comp.mdb", "dabase.txt", "in.MSI.TXT"}));
    }
    const int faultsMade = qvtest::forEachFault(HUMKIT_BIN, prepare, script, [&](const TempDir& dir, const auto& run) {
        SCOPED_TRACE(run.plan);
        ASSERT_FALSE(run.result.timedOut);
        const std::string now = dir.read("dabase.txt");
        EXPECT_TRUE(now == old || now == dabaseOf(dir)) << now;
        if (!run.killed) {
            ASSERT_NE(run.result.status, -1);
            EXPECT_EQ(dir.entries(), (std::vector<std::string>{"comp.mdb", "dabase.txt", "in.MSI.TXT"}));
            // A failed rewrite ends the program with a message naming the failure.
            if (now == old) {
                EXPECT_EQ(run.result.output.rfind("message \"Quenvar error\" \"Write failed (injected ", 0), 0u)
                    << run.result.output;
            }
        }
    });
    EXPECT_GT(faultsMade, 3);
}

// Every message line of a run.
std::vector<std::string> messages(const std::string& output)
{
    std::vector<std::string> lines;
    for (std::size_t at = output.find("message "); at != std::string::npos; at = output.find("message ", at + 1))
        if (at == 0 || output[at - 1] == '\n') lines.push_back(output.substr(at, output.find('\n', at) - at));
    return lines;
}

bool ended(const std::string& output)
{
    return output.rfind("end\n", 0) == 0 || output.find("\nend\n") != std::string::npos;
}

// Runs `script` on every bad variant of `damaged` and hands each run to `check`.
void eachVariant(const std::string& damaged, const std::string& script,
                 const std::function<void(const TempDir&, const RunResult&)>& check)
{
    TempDir probe;
    setup(probe);
    for (const qvtest::Variant& v : qvtest::badVariants(probe.read(damaged), 30)) {
        SCOPED_TRACE(damaged + " (" + v.name + ")");
        TempDir dir;
        setup(dir);
        fs::remove(dir / damaged);
        if (v.directory)
            fs::create_directory(dir / damaged);
        else
            dir.write(damaged, v.bytes);
        const RunResult r = qvtest::runScript(HUMKIT_BIN, dir.path(), script, {}, 60);
        ASSERT_FALSE(r.timedOut);
        ASSERT_EQ(r.signal, 0) << r.errors;
        check(dir, r);
    }
}

// ---- A site file opened through the File menu ----------------------------------------------

// The file is opened and shown; a second open is cancelled, so nothing may be written.
const char* openScript = R"(dialog "in.MSI.TXT"
click mnuFileOpen
print frmMain.caption
dump
dialog cancel
click mnuFileOpen
)";

TEST(HumkitMalformed, OpeningADamagedSiteFileChangesNothing)
{
    qvtest::checkMalformed({"humkit open", HUMKIT_BIN, setup, openScript, "in.MSI.TXT", {}, 30});
}

// A site file is either shown whole (its path in the caption) or refused with one message that
// names it; a refused file leaves the window as a reset leaves it.
TEST(HumkitMalformed, ADamagedSiteFileIsShownOrRefusedNamingIt)
{
    int refused = 0;
    eachVariant("in.MSI.TXT", openScript, [&](const TempDir& dir, const RunResult& r) {
        const std::string path = shownPath(qv::joinPath(real(dir), "in.MSI.TXT"));
        EXPECT_EQ(r.status, 0) << r.output.substr(0, 400);
        const auto shown = messages(r.output);
        if (r.output.find("frmMain.caption = \"" + path + " - HBM site settings\"") != std::string::npos) {
            EXPECT_TRUE(shown.empty()) << shown.front().substr(0, 300);
        } else {
            ++refused;
            ASSERT_EQ(shown.size(), 1u) << r.output.substr(0, 400);
            EXPECT_EQ(shown[0].rfind("message \"Quenvar error\" \"", 0), 0u) << shown[0].substr(0, 300);
            EXPECT_NE(shown[0].find(path + "\" ok critical -> ok"), std::string::npos) << shown[0].substr(0, 300);
            EXPECT_LT(shown[0].size(), 400u);
            EXPECT_NE(r.output.find("frmMain.caption = \"New file - HBM site settings\""), std::string::npos);
            EXPECT_NE(r.output.find("frmMain.cboSettings combobox text=\"General settings\" visible=1 count=1"),
                      std::string::npos);
        }
    });
    EXPECT_GT(refused, 20);
}

// ---- dabase.txt and comp.mdb at start-up ---------------------------------------------------

// Start-up, then the cations offered for a new set.
const char* startScript = R"(print cboCations.items
click cmdNewset
print cboCations.count
print cboSettings.text
)";

TEST(HumkitMalformed, StartingOnADamagedDabaseChangesNothing)
{
    qvtest::checkMalformed({"humkit start-up", HUMKIT_BIN, setup, startScript, "dabase.txt", {}, 30});
}

// A dabase.txt without four fields ends the program with one message naming it; one that reads
// leaves the program running, whatever its paths name.
TEST(HumkitMalformed, ADamagedDabaseEndsTheProgramNamingIt)
{
    int endings = 0;
    eachVariant("dabase.txt", startScript, [&](const TempDir& dir, const RunResult& r) {
        bool readable = true;
        try {
            qv::readDabase(qv::Files(dir.path()), 4);
        } catch (const qv::Error&) {
            readable = false;
        }
        const auto shown = messages(r.output);
        if (readable) {
            EXPECT_FALSE(ended(r.output)) << r.output.substr(0, 400);
            EXPECT_EQ(r.status, 0) << r.output.substr(0, 400);
        } else {
            ++endings;
            EXPECT_TRUE(ended(r.output)) << r.output.substr(0, 400);
            ASSERT_EQ(shown.size(), 1u) << r.output.substr(0, 400);
            EXPECT_EQ(shown[0].rfind("message \"Quenvar error\" \"", 0), 0u) << shown[0];
            EXPECT_NE(shown[0].find("dabase.txt\" ok critical -> ok"), std::string::npos) << shown[0];
            EXPECT_EQ(r.status, 1);
        }
    });
    EXPECT_GT(endings, 3);
}

TEST(HumkitMalformed, StartingOnADamagedComponentFileChangesNothing)
{
    qvtest::checkMalformed({"humkit start-up", HUMKIT_BIN, setup, startScript, "comp.mdb", {}, 30});
}

// A comp.mdb that cannot be read to its end (or to 400 records) is reported in one message naming
// it; the window works on with the cations read before the damage.
TEST(HumkitMalformed, ADamagedComponentFileIsReportedNamingIt)
{
    int reported = 0;
    eachVariant("comp.mdb", startScript, [&](const TempDir& dir, const RunResult& r) {
        const std::string path = qv::joinPath(real(dir), "comp.mdb");
        bool readable = true;
        try {
            qv::listComponents(qv::Files(dir.path()), path, 400);
        } catch (const qv::Error&) {
            readable = false;
        }
        EXPECT_FALSE(ended(r.output));
        EXPECT_EQ(r.status, 0) << r.output.substr(0, 400);
        EXPECT_NE(r.output.find("cboSettings.text = \"General settings\""), std::string::npos)
            << r.output.substr(0, 400);
        const auto shown = messages(r.output);
        if (readable) {
            EXPECT_TRUE(shown.empty()) << shown.front().substr(0, 300);
        } else {
            ++reported;
            ASSERT_EQ(shown.size(), 1u) << r.output.substr(0, 400);
            EXPECT_EQ(shown[0].rfind("message \"Quenvar error\" \"", 0), 0u) << shown[0].substr(0, 300);
            EXPECT_NE(shown[0].find(shownPath(path) + "\" ok critical -> ok"), std::string::npos)
                << shown[0].substr(0, 300);
        }
    });
    EXPECT_GT(reported, 3);
}

}  // namespace
