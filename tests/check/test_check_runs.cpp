// End-to-end runs of `surfkit --check`, `ionkit --check` and `qvcheck` on data directories made
// for each test: exit statuses, text and JSON.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "quenvar/files.h"
#include "testsupport.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

#ifdef _WIN32
// The command interpreter of Windows: a word in double quotes (the test paths hold none).
std::string shellQuote(const std::string& s) { return "\"" + s + "\""; }
constexpr const char* changeDirectory = "cd /d ";
#else
std::string shellQuote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
constexpr const char* changeDirectory = "cd ";
#endif

Outcome run(const std::string& dir, const std::string& program, const std::vector<std::string>& args)
{
    std::string cmd = changeDirectory + shellQuote(dir) + " && " + shellQuote(program);
    for (const auto& a : args) cmd += " " + shellQuote(a);
    const std::string out = qv::joinPath(dir, ".out"), err = qv::joinPath(dir, ".err");
    cmd += " >" + shellQuote(out) + " 2>" + shellQuote(err);
    const int status = std::system(cmd.c_str());
    Outcome r;
#ifdef _WIN32
    r.status = status;  // the program's exit status itself
#else
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    auto slurp = [](const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    r.out = slurp(out);
    r.err = slurp(err);
    fs::remove(out);
    fs::remove(err);
    return r;
}

std::set<std::string> codesIn(const std::string& text)
{
    std::set<std::string> codes;
    static const std::regex code(R"(\[([a-z0-9-]+)\]\r?$)");
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, code)) codes.insert(m[1]);
    }
    return codes;
}

// A copy of the demo data whose database paths name the copy itself (they name c:\quenvar\...),
// as scripts/run.sh makes it; without the planted files unless asked for.
void copyDemo(const qvtest::TempDir& dir, bool planted)
{
    for (const auto& e : fs::directory_iterator(DEMO_DIR)) {
        const std::string name = e.path().filename().string();
        if (name == "README.md" || name[0] == '.' || (!planted && name.rfind("planted-problems", 0) == 0)) continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string bytes = ss.str();
        if (name.find("dabase.txt") != std::string::npos || name.find("deftempar.dat") != std::string::npos)
            for (std::size_t at; (at = bytes.find("c:\\quenvar\\")) != std::string::npos;)
                bytes.replace(at, 11, dir.path() + "/");
        dir.write(name, bytes);
    }
}

}  // namespace

TEST(CheckRuns, SurfkitOnThePlantedDemoFile)
{
    qvtest::TempDir dir;
    copyDemo(dir, true);
    const Outcome text = run(dir.path(), SURFKIT_BIN, {"--check", "planted-problems.MDB"});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(codesIn(text.out), (std::set<std::string>{"unknown-component", "charge-balance", "duplicate-id",
                                                        "duplicate-name", "component-count", "zero-stoichiometry",
                                                        "mb-component", "id-scheme", "end-block"}));
    EXPECT_NE(text.out.find("planted-problems.MDB:3: error: "), std::string::npos);

    const Outcome json = run(dir.path(), SURFKIT_BIN, {"--check", "--json", "planted-problems.MDB"});
    EXPECT_EQ(json.status, 1);
    std::istringstream lines(json.out);
    int n = 0;
    for (std::string line; std::getline(lines, line); ++n) {
        EXPECT_EQ(line.rfind(R"({"file":"planted-problems.MDB","line":)", 0), 0u) << line;
        EXPECT_EQ(line.back(), '}');
    }
    EXPECT_EQ(n, static_cast<int>(std::count(text.out.begin(), text.out.end(), '\n')));
}

TEST(CheckRuns, SurfkitStatuses)
{
    qvtest::TempDir dir;
    copyDemo(dir, false);
    const Outcome clean =
        run(dir.path(), SURFKIT_BIN, {"--check", "demo.mdb", "demo.cdb", "demo.iso", "demo.nic", "demo.bli"});
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_EQ(clean.out, "");

    // comp.mdb elsewhere: --comp names it; the check never changes a file.
    dir.write("other/comp.mdb", "5,\"Na+\",1,0,0,0\r\n");
    const std::string before = dir.read("demo.mdb");
    const Outcome other = run(dir.path(), SURFKIT_BIN, {"--check", "demo.mdb", "--comp", "other/comp.mdb"});
    EXPECT_EQ(other.status, 1);
    EXPECT_TRUE(codesIn(other.out).count("unknown-component"));
    EXPECT_EQ(dir.read("demo.mdb"), before);

    const Outcome missing = run(dir.path(), SURFKIT_BIN, {"--check", "nothing.mdb"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("nothing.mdb: error: cannot be read: File not found [unreadable]"), std::string::npos);

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--check"}, {"--check", "--comp"}, {"--check", "a.mdb", "--frobnicate"}}) {
        const Outcome r = run(dir.path(), SURFKIT_BIN, wrong);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("usage: surfkit --check", 0), 0u) << r.err;
    }
}

TEST(CheckRuns, IonkitOnThePlantedDemoFile)
{
    qvtest::TempDir dir;
    copyDemo(dir, true);
    const Outcome r = run(dir.path(), IONKIT_BIN, {"--check", "planted-problems.sit_eta.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(codesIn(r.out), (std::set<std::string>{"unknown-species", "charge-sign", "duplicate-pair",
                                                     "reversed-pair", "no-reference", "not-a-number"}));
    EXPECT_EQ(run(dir.path(), IONKIT_BIN, {"--check", "sit_eta.txt"}).status, 0);
}

TEST(CheckRuns, QvcheckOnTheDemoDirectory)
{
    qvtest::TempDir dir;
    copyDemo(dir, true);
    const Outcome planted = run(dir.path(), QVCHECK_BIN, {});
    EXPECT_EQ(planted.status, 1);
    const std::set<std::string> want = {"unknown-component", "charge-balance",     "duplicate-id",  "duplicate-name",
                                        "component-count",   "zero-stoichiometry", "mb-component",  "id-scheme",
                                        "end-block",         "unknown-species",    "charge-sign",   "duplicate-pair",
                                        "reversed-pair",     "no-reference",       "not-a-number",  "stale-id",
                                        "not-finite",        "structure",          "fractions",     "count-range",
                                        "site-reuse",        "unknown-cation",     "duplicate-set", "missing-file",
                                        "paths-differ",      "value-range"};
    EXPECT_EQ(codesIn(planted.out), want);
    EXPECT_NE(planted.out.find("16 files checked, "), std::string::npos);

    const Outcome json = run(dir.path(), QVCHECK_BIN, {".", "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find(R"({"files":16,"errors":)"), std::string::npos);

    qvtest::TempDir clean;
    copyDemo(clean, false);
    const Outcome ok = run(clean.path(), QVCHECK_BIN, {clean.path()});
    EXPECT_EQ(ok.status, 0) << ok.out;
    EXPECT_EQ(ok.out, "10 files checked, 0 errors, 0 warnings\n");

    // A damaged file is a finding, not a crash; one that reads not at all makes the status 2.
    clean.write("analyt.mdb", "\"h\"\r\n6090550,\"Calcite\",1\r\n");
    clean.write("broken.MSI.TXT", "many\r\n");
    const Outcome damaged = run(clean.path(), QVCHECK_BIN, {});
    EXPECT_EQ(damaged.status, 2);
    EXPECT_NE(damaged.out.find("analyt.mdb:2: error: cannot be read"), std::string::npos) << damaged.out;
    EXPECT_NE(damaged.out.find("broken.MSI.TXT:1: error: cannot be read"), std::string::npos) << damaged.out;

    EXPECT_EQ(run(clean.path(), QVCHECK_BIN, {"no-such-dir"}).status, 2);
    const Outcome help = run(clean.path(), QVCHECK_BIN, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("*.MSI.TXT"), std::string::npos);
}
