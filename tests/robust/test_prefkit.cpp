// prefkit under faults and on damaged files: "Save and Quit" interrupted at every step of writing
// dabase.txt and deftempar.dat, and start-up plus the second page on every bad variant of
// deftempar.dat.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "harness.h"
#include "variants.h"

namespace {

using qvtest::crlf;
using qvtest::TempDir;

const std::string oldDabase = crlf({R"("old1","old2","old3","old4")"});

// A parameter file that names its own directory (".", so that the bytes are the same in every
// directory) as the data directory: "Save and Quit" rewrites the very file it read.
std::string parameterFile()
{
    return crlf({"\".\"", "2,0,1,0,1,0", R"("/q/thermo.mdb","/q/type6.mdb","/q/comp.mdb","/q/gaussian.mdb")",
                 "1E-09,-3,3", "0.3", "600,0.02439,2.3122", "746,0.36,1.695", "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5"});
}

void setup(const TempDir& dir)
{
    dir.write("deftempar.dat", parameterFile());
    dir.write("dabase.txt", oldDabase);
}

// Changes what goes into both files, then saves.
const char* saveScript = R"(
dialog "/chosen/THERMO.MDB"
click cmdChooseTdb
click opt10
click Command1
type txtConc "2E-08"
click cmdSave
click cmdMain
)";

TEST(PrefkitCrashSafety, SaveAndQuitRewritesDeftemparWhole)
{
    qvtest::checkCrashSafety({"prefkit save (deftempar.dat)",
                              PREFKIT_BIN,
                              setup,
                              saveScript,
                              "deftempar.dat",
                              {"deftempar.tmp", "dabase.tmp"}});
}

TEST(PrefkitCrashSafety, SaveAndQuitRewritesDabaseWhole)
{
    qvtest::checkCrashSafety(
        {"prefkit save (dabase.txt)", PREFKIT_BIN, setup, saveScript, "dabase.txt", {"deftempar.tmp", "dabase.tmp"}});
}

// Start-up and the second page, which show every field of the file.
const char* readScript = "click Command1\nexpect frmPage2.visible 1\n";

TEST(PrefkitMalformed, StartupAndSecondPageOnDamagedDeftempar)
{
    qvtest::checkMalformed({"prefkit start-up and page 2", PREFKIT_BIN, setup, readScript, "deftempar.dat", {}, 40});
}

// What prefkit cannot read it reports in a message naming deftempar.dat; a file it cannot load
// ends the program with such a message, before anything else happens.
TEST(PrefkitMalformed, EveryMessageNamesDeftempar)
{
    TempDir probe;
    setup(probe);
    for (const qvtest::Variant& v : qvtest::badVariants(probe.read("deftempar.dat"), 40)) {
        SCOPED_TRACE(v.name);
        TempDir dir;
        setup(dir);
        std::filesystem::remove(dir / "deftempar.dat");
        if (v.directory)
            std::filesystem::create_directory(dir / "deftempar.dat");
        else
            dir.write("deftempar.dat", v.bytes);
        const qvtest::RunResult r = qvtest::runScript(PREFKIT_BIN, dir.path(), readScript, {}, 60);
        ASSERT_FALSE(r.timedOut);
        ASSERT_EQ(r.signal, 0) << r.errors;
        std::size_t messages = 0;
        for (std::size_t at = r.output.find("message "); at != std::string::npos;
             at = r.output.find("message ", at + 1)) {
            const std::string line = r.output.substr(at, r.output.find('\n', at) - at);
            EXPECT_NE(line.find("deftempar.dat\" ok critical -> ok"), std::string::npos) << line.substr(0, 300);
            ++messages;
        }
        const bool ended = r.output.find("\nend\n") != std::string::npos || r.output.rfind("end\n", 0) == 0;
        if (ended) {
            // The load failed: one message, then the end, and nothing of the script ran.
            EXPECT_EQ(messages, 1u) << r.output.substr(0, 300);
            EXPECT_EQ(r.status, 1);
        } else {
            EXPECT_EQ(r.status, 0) << r.output.substr(0, 300);
        }
    }
}

}  // namespace
