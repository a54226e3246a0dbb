// The checks of every kind of data file: one small file per case, each with one planted
// problem, and the codes the check finds in it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "humkit/check.h"
#include "ionkit/check.h"
#include "prefkit/check.h"
#include "quenvar/check.h"
#include "quenvar/checkwindow.h"
#include "surfkit/check.h"
#include "testsupport.h"
#include "tracekit/check.h"

using qvtest::crlf;

namespace {

struct Case {
    const char* what;
    std::string file;  // the name, whose ending gives the kind
    std::string bytes;
    std::vector<std::string> codes;  // "code@line", in report order
    int status = 1;
};

std::vector<std::string> codesOf(const qv::check::Report& r, const std::string& file)
{
    std::vector<std::string> out;
    for (const auto& f : r.findings())
        if (f.file == file) out.push_back(f.code + "@" + std::to_string(f.line));
    return out;
}

const std::string comp = crlf({R"(3,"H+",1,1,0,0)", R"(5,"Na+",1,23,0,0)", R"(50,"Cl-",-1,35,0,0)",
                               R"(812,"=SOH",0,0,0,0)", R"(811,"=SOHh",0,0,0,0)"});
const std::string endBlock = crlf(
    {R"(0,"",0,0,0,0,0,0,0,0)", "0,0", R"(0,"For QUENVAR",0,0,0,0,0,0,0,0)", "0,0", R"(0,"",0,0,0,0,0,0,0,0)", "0,0"});
const std::string good = crlf({R"(8120030,"=SOH2+",0,7.29,0,0,1,0,0,0,0,2)", "1,812,1,3"});

std::string manySpecies(int n)
{
    std::string out;
    for (int k = 0; k < n; ++k)
        out += crlf({std::to_string(1000000 + k) + ",\"S" + std::to_string(k) + "\",0,1,0,0,0,0,0,0,0,1", "1,812"});
    return out;
}

class Checks : public ::testing::Test {
protected:
    qvtest::TempDir dir;
    qv::Files files{dir.path()};
};

}  // namespace

TEST_F(Checks, SorptionDatabases)
{
    dir.write("comp.mdb", comp);
    const std::vector<Case> cases = {
        {"clean", "a.mdb", good + endBlock, {}, 0},
        {"unknown component",
         "a.mdb",
         crlf({R"(8120030,"X",0,1,0,0,1,0,0,0,0,2)", "1,812,1,4"}) + endBlock,
         {"unknown-component@1"}},
        {"charge",
         "a.cdb",
         crlf({R"(8120030,"X",0,1,0,0,2,0,0,0,0,2)", "1,812,1,3"}) + endBlock,
         {"charge-balance@1"},
         0},
        {"no charge check in isotherm files",
         "a.iso",
         crlf({"\"Langmuir\"", R"(13010030,"X",0,1,0,0,2,0,0,0,0,2)", "1,812,1,3"}) + endBlock,
         {},
         0},
        {"same ID",
         "a.mdb",
         good + crlf({R"(8120030,"Y",0,1,0,0,1,0,0,0,0,2)", "1,812,1,3"}) + endBlock,
         {"duplicate-id@3"}},
        {"same name",
         "a.mdb",
         good + crlf({R"(8120031,"=SOH2+",0,1,0,0,1,0,0,0,0,2)", "1,812,1,3"}) + endBlock,
         {"duplicate-name@3"},
         0},
        {"nine components",
         "a.mdb",
         crlf({R"(30030,"X",0,1,0,0,9,0,0,0,0,9)", "1,3,1,3,1,3,1,3,1,3,1,3,1,3,1,3,1,3"}) + endBlock,
         {"component-count@1"}},
        {"seven M.B. pairs",
         "a.mdb",
         crlf({R"(8120030,"X",0,1,0,0,1,0,0,0,0,102)", "1,812,1,3", "7", "1,3,1,3,1,3,1,3,1,3,1,3,1,3"}) + endBlock,
         {"component-count@1"}},
        {"zero coefficient",
         "a.mdb",
         crlf({R"(8120030,"X",0,1,0,0,0,0,0,0,0,2)", "1,812,0,3"}) + endBlock,
         {"zero-stoichiometry@1"},
         0},
        {"M.B. pair off the M.A. pairs",
         "a.mdb",
         crlf({R"(8120030,"X",0,1,0,0,1,0,0,0,0,102)", "1,812,1,3", "1", "1,5"}) + endBlock,
         {"mb-component@1"},
         0},
        {"ID of other components",
         "a.mdb",
         crlf({R"(8110050,"X",0,1,0,0,1,0,0,0,0,2)", "1,812,1,3"}) + endBlock,
         {"id-scheme@1"},
         0},
        {"swapped block is fine", "a.mdb", crlf({R"(38120,"X",0,1,0,0,1,0,0,0,0,2)", "1,812,1,3"}) + endBlock, {}, 0},
        {"Lk2 range is exempt", "a.mdb", crlf({R"(11050001,"X",0,1,0,0,1,0,0,0,0,2)", "1,812,1,3"}) + endBlock, {}, 0},
        {"no end block", "a.mdb", good, {"end-block@2"}},
        {"damaged end block", "a.mdb", good + crlf({R"(0,"",0,0,0,0,0,0,0,0)", "0,0", "0,0"}), {"end-block@3"}},
        {"past 4000", "a.mdb", manySpecies(4002) + endBlock, {"beyond-4000@8001"}, 0},
        {"cut short", "a.mdb", good + crlf({R"(8120031,"Y",0,1,0,0,1,0,0,0,0,2)", "1,812"}), {"unreadable@4"}},
        {"nothing readable", "a.mdb", crlf({R"(8120031,"Y",0,1)"}), {"unreadable@1"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write(c.file, c.bytes);
        qv::check::Report report;
        const surfkit::ComponentTable table = surfkit::readComponentTable(files, "comp.mdb", report);
        surfkit::checkSorption(files, c.file, table, report);
        EXPECT_EQ(codesOf(report, c.file), c.codes);
        EXPECT_EQ(report.exitStatus(), c.status);
        EXPECT_EQ(dir.read(c.file), c.bytes);  // a check never changes the file
    }
}

TEST_F(Checks, NoteAfterASave)
{
    dir.write("comp.mdb", comp);
    dir.write("a.mdb", crlf({R"(8120030,"X",0,1,0,0,2,0,0,0,0,2)", "1,812,1,3", R"(8120031,"Y",0,1,0,0,1,0,0,0,0,2)",
                             "1,812,1,4", R"(7,"Z",0,1,0,0,1,0,0,0,0,2)", "1,812,1,3"}) +
                           endBlock);
    EXPECT_EQ(surfkit::saveNote(files, "a.mdb", "comp.mdb", "X"),
              "species 8120030 \"X\": the charge is 2, but its components add up to 1 (M.A. coefficients times "
              "component charges)");
    EXPECT_NE(surfkit::saveNote(files, "a.mdb", "comp.mdb", "Y").find("component ID 4"), std::string::npos);
    EXPECT_EQ(surfkit::saveNote(files, "a.mdb", "comp.mdb", "Z"), "");  // an odd ID is no matter for the save
}

TEST_F(Checks, ComponentBeyondTheWindowsFirst400)
{
    std::string big;
    for (int k = 1; k <= 401; ++k) big += std::to_string(1000 + k) + ",\"C" + std::to_string(k) + "\",0,0,0,0\r\n";
    dir.write("comp.mdb", big);
    dir.write("a.mdb", crlf({R"(14010000,"X",0,1,0,0,0,0,0,0,0,1)", "1,1401"}) + endBlock);
    qv::check::Report report;
    surfkit::checkSorption(files, "a.mdb", surfkit::readComponentTable(files, "comp.mdb", report), report);
    ASSERT_EQ(report.findings().size(), 1u);
    EXPECT_EQ(report.findings()[0].severity, qv::check::Severity::Warning);
    EXPECT_NE(report.findings()[0].message.find("beyond the 400th"), std::string::npos);
}

TEST_F(Checks, SitFiles)
{
    dir.write("comp.mdb", comp);
    dir.write("thermo.mdb",
              crlf({R"(10030,"OH-",0,0,0,0,-1,0,0,0,1)", "1,1", R"(17,"x","")", R"(90550,"CaCO3",0,0,0,0,0,0,0,0,0)",
                    R"(100,"x","")", R"(0,"END",0,0,0,0,0,0,0,0,0)"}));
    const std::vector<Case> cases = {
        {"clean", "sit_eta.txt", crlf({R"("Na+","Cl-",0.03,"r")"}), {}, 0},
        {"unknown", "sit_eta.txt", crlf({R"("Nq+","Cl-",0.03,"r")"}), {"unknown-species@1"}},
        {"sign", "sit_eta.txt", crlf({R"("Na+","H+",0.03,"r")"}), {"charge-sign@1"}, 0},
        {"twice", "sit_eta.txt", crlf({R"("Na+","Cl-",0.03,"r")", R"("Na+","Cl-",0.03,"r")"}), {"duplicate-pair@2"}},
        {"reversed",
         "sit_eta.txt",
         crlf({R"("CaCO3","OH-",0.03,"r")", R"("OH-","CaCO3",0.03,"r")"}),
         {"charge-sign@2", "reversed-pair@2"},
         0},
        {"no reference", "sit_eta.txt", crlf({R"("Na+","Cl-",0.03," ")"}), {"no-reference@1"}, 0},
        {"no number", "sit_eta.txt", crlf({R"("Na+","Cl-",x,"r")"}), {"not-a-number@1"}},
        {"cut short", "sit_eta.txt", crlf({R"("Na+","Cl-",0.03,"r")", R"("Na+","OH-")"}), {"unreadable@2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write(c.file, c.bytes);
        qv::check::Report report;
        ionkit::checkSit(files, c.file, ionkit::readNameTable(files, "thermo.mdb", "comp.mdb", report), report);
        EXPECT_EQ(codesOf(report, c.file), c.codes);
        EXPECT_EQ(report.exitStatus(), c.status);
    }
    qv::check::Report report;
    dir.write("sit_eta.txt", crlf({R"("Nq+","Cl-",0.03,"r")"}));
    ionkit::checkSit(files, "sit_eta.txt", ionkit::readNameTable(files, "thermo.mdb", "comp.mdb", report), report);
    const qv::check::Finding& f = report.findings().at(0);
    EXPECT_NE(f.message.find("did you mean \"Na+\"?"), std::string::npos);
    EXPECT_EQ(f.name + "/" + f.name2, "Nq+/Cl-");  // the pair the window shows on a pick
}

TEST_F(Checks, AnalyteDatabases)
{
    dir.write("thermo.mdb", crlf({R"(10030,"OH-",0,0,0,0,-1,0,0,0,0)", R"(17,"x","")", R"(0,"",0,0,0,0,0,0,0,0,0)"}));
    dir.write("type6.mdb",
              crlf({R"(6090550,"Calcite",0,0,0,0,0,0,0,0,0)", R"(100,"x","")", R"(0,"",0,0,0,0,0,0,0,0,0)"}));
    const std::string head = crlf({"\"h\"", R"(6090550,"Calcite",1,0,0,0,0,0,0)"});
    const std::string sep = crlf({R"(0,"",0,0,0,0,0,0,0)"});
    const std::string oh = crlf({R"(10030,"OH-",1,0,0,0,0,0,0)"});
    const std::vector<Case> cases = {
        {"clean", "analyt.mdb", head + sep + oh + sep, {}, 0},
        {"unknown solid",
         "analyt.mdb",
         head + crlf({R"(6000001,"Calcitte",0,0,0,0,0,0,0)"}) + sep + sep,
         {"unknown-species@3"}},
        {"aqueous looked up in thermo",
         "analyt.mdb",
         head + sep + crlf({R"(6090550,"Calcite",0,0,0,0,0,0,0)"}) + sep,
         {"unknown-species@4"}},
        {"stale ID", "analyt.mdb", head + sep + crlf({R"(10031,"OH-",1,0,0,0,0,0,0)"}) + sep, {"stale-id@4"}},
        {"not finite", "analyt.mdb", head + sep + crlf({R"(10030,"OH-",1,0,0,0,1E+306,0,0)"}) + sep, {"not-finite@4"}},
        {"term no number", "analyt.mdb", head + sep + crlf({R"(10030,"OH-",1,"x",0,0,0,0,0)"}) + sep, {"not-finite@4"}},
        {"same name twice", "analyt.mdb", head + sep + oh + oh + sep, {"duplicate-name@5"}, 0},
        {"no separator", "analyt.mdb", head, {"structure@2"}},
        {"no end record", "analyt.mdb", head + sep + oh, {"structure@4"}},
        {"cut short", "analyt.mdb", head + crlf({R"(6090550,"Calcite",1)"}), {"unreadable@3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write(c.file, c.bytes);
        qv::check::Report report;
        tracekit::checkAnalyt(files, c.file, tracekit::readSpeciesTable(files, "thermo.mdb", report),
                              tracekit::readSpeciesTable(files, "type6.mdb", report), report);
        EXPECT_EQ(codesOf(report, c.file), c.codes);
        EXPECT_EQ(report.exitStatus(), c.status);
    }
}

TEST_F(Checks, SiteFiles)
{
    dir.write("comp.mdb", crlf({R"(30,"Cu+2",2,0,0,0)"}));
    using Lines = std::vector<std::string>;
    auto site = [](const Lines& sets, const Lines& groups) {
        std::string s;
        for (auto l : sets) s += std::string(l) + "\r\n";
        for (auto l : groups) s += std::string(l) + "\r\n";
        return s;
    };
    const Lines groups = {"2", "0.5", "0.5"};
    const std::vector<Case> cases = {
        {"clean", "a.MSI.TXT", site({"1", "\"General settings\"", "1,1,0", "1", "1,2"}, groups), {}, 0},
        {"fractions", "a.MSI.TXT", site({"1", "\"General settings\"", "0,0,0"}, {"2", "0.5", "0.4"}), {"fractions@4"}},
        {"count",
         "a.MSI.TXT",
         site({"1", "\"General settings\"", "0,0,0"}, {"5", "0.2", "0.2", "0.2", "0.2", "0.2"}),
         {"count-range@4"}},
        {"sets", "a.MSI.TXT", site({"0"}, groups), {"count-range@1"}},
        {"site twice", "a.MSI.TXT", site({"1", "\"General settings\"", "0,0,1", "2,3,2"}, groups), {"site-reuse@2"}, 0},
        {"unknown cation", "a.MSI.TXT", site({"1", "\"Cu+3\"", "0,0,0"}, groups), {"unknown-cation@2"}, 0},
        {"same set", "a.MSI.TXT", site({"2", "\"Cu+2\"", "0,0,0", "\"Cu+2\"", "0,0,0"}, groups), {"duplicate-set@4"}},
        {"cut short", "a.MSI.TXT", site({"1", "\"General settings\"", "2,0,0", "1"}, {}), {"unreadable@4"}},
        {"word for a count", "a.MSI.TXT", site({"many"}, {}), {"unreadable@1"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write(c.file, c.bytes);
        qv::check::Report report;
        humkit::checkSiteFile(files, c.file, humkit::readCationNames(files, "comp.mdb", report), report);
        EXPECT_EQ(codesOf(report, c.file), c.codes);
        EXPECT_EQ(report.exitStatus(), c.status);
    }
}

TEST_F(Checks, DefaultsAndDabase)
{
    for (const char* db : {"t.mdb", "s.mdb", "c.mdb", "g.mdb"}) dir.write(db, "0\r\n");
    const std::string paths = R"("t.mdb","s.mdb","c.mdb","g.mdb")";
    auto defaults = [&](std::string codes, std::string line3, std::string line6) {
        return crlf({"\"d\"", codes, line3, "1E-09,-3,3", "0.3", line6, "746,0.36,1.695",
                     "0.5,7.5,3,3,0.01,4,750,1.02,5,1.3,5"});
    };
    dir.write("dabase.txt", crlf({paths}));
    const std::vector<Case> cases = {
        {"clean", "deftempar.dat", defaults("2,0,1,0,1,0", paths, "600,0.02439,2.3122"), {}, 0},
        {"code", "deftempar.dat", defaults("2,0,1,0,4,0", paths, "600,0.02439,2.3122"), {"value-range@2"}, 0},
        {"fraction", "deftempar.dat", defaults("2,0,1,0,1,0", paths, "600,1.5,2.3122"), {"value-range@6"}, 0},
        {"area", "deftempar.dat", defaults("2,0,1,0,1,0", paths, "0,0.5,2.3122"), {"value-range@6"}, 0},
        {"missing and differing",
         "deftempar.dat",
         defaults("2,0,1,0,1,0", R"("t.mdb","s.mdb","c.mdb","x.mdb")", "600,0.02439,2.3122"),
         {"missing-file@3", "paths-differ@3"}},
        {"dabase", "old-dabase.txt", crlf({R"("t.mdb","s.mdb","nowhere.mdb","g.mdb")"}), {"missing-file@1"}},
        {"fresh dabase", "new-dabase.txt", crlf({"\"Start\""}), {}, 0},
        {"short", "deftempar.dat", crlf({"\"d\"", "2,0,1"}), {"unreadable@2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write(c.file, c.bytes);
        qv::check::Report report;
        if (prefkit::isDabaseFile(c.file))
            prefkit::checkDabase(files, c.file, report);
        else
            prefkit::checkDefaults(files, c.file, report);
        EXPECT_EQ(codesOf(report, c.file), c.codes);
        EXPECT_EQ(report.exitStatus(), c.status);
    }
}

TEST(CheckLayer, RenderingsAndOrder)
{
    qv::check::Report report;
    report.warning("b.mdb", 7, "1 \"X\"", "duplicate-name", "species 1 \"X\": twice");
    report.error("a.mdb", 3, "", "end-block", "no end block");
    report.error("b.mdb", 2, "", "unknown-component", "tab\there, \xFC");
    report.error("b.mdb", 2, "", "unknown-component", "tab\there, \xFC");  // dropped: the same finding
    ASSERT_EQ(report.findings().size(), 3u);
    EXPECT_EQ(report.errors(), 2);
    EXPECT_EQ(qv::check::textLine(report.findings()[0]), "b.mdb:2: error: tab\there, \xFC [unknown-component]");
    EXPECT_EQ(report.findings()[1].line, 7);
    EXPECT_EQ(report.findings()[2].file, "a.mdb");
    // The files' Windows-1252 bytes come out as UTF-8, control characters escaped.
    EXPECT_EQ(qv::check::jsonLine(report.findings()[0]),
              "{\"file\":\"b.mdb\",\"line\":2,\"severity\":\"error\",\"code\":\"unknown-component\",\"key\":\"\","
              "\"message\":\"tab\\u0009here, \xC3\xBC\"}");
    EXPECT_EQ(qv::check::jsonLine(report.findings()[1]).find(R"("key":"1 \"X\"")") != std::string::npos, true);
    EXPECT_EQ(qv::check::summary(1, 0, "demo.mdb"), "1 error, 0 warnings in demo.mdb");
    EXPECT_EQ(qv::check::summary(0, 0, "demo.mdb"), "No problems found in demo.mdb");
}

TEST(CheckLayer, ClosestNames)
{
    const std::vector<std::string> names = {"Na+", "Ca+2", "Cl-", "NaCl", "K+", "Mg+2"};
    EXPECT_EQ(qv::check::editDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(qv::check::closestNames("Nq+", names), (std::vector<std::string>{"Na+"}));
    EXPECT_EQ(qv::check::closestNames("NaCl+2", names), (std::vector<std::string>{"NaCl", "Na+", "Ca+2"}));
    EXPECT_EQ(qv::check::closestNames("Ca+3", names).at(0), "Ca+2");
    EXPECT_TRUE(qv::check::closestNames("Uranium", names).empty());
    EXPECT_EQ(qv::check::didYouMean("Zzzz", names), "");
}

TEST(CheckLayer, ArgumentsOfACheck)
{
    auto a = qv::check::parseArguments({"a.mdb", "--json", "--comp", "c.mdb", "b.mdb"}, {"comp"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->files, (std::vector<std::string>{"a.mdb", "b.mdb"}));
    EXPECT_TRUE(a->json);
    EXPECT_EQ(a->values.at("comp"), "c.mdb");
    EXPECT_FALSE(qv::check::parseArguments({"--json"}, {"comp"}));
    EXPECT_FALSE(qv::check::parseArguments({"a.mdb", "--comp"}, {"comp"}));
    EXPECT_FALSE(qv::check::parseArguments({"a.mdb", "--thermo", "t"}, {"comp"}));
}

namespace {
struct NoPlatform : qv::forms::Platform {
    qv::forms::Answer message(const std::string&, const std::string&, qv::forms::Buttons, qv::forms::Icon) override
    {
        return qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
};
}  // namespace

TEST(CheckLayer, FindingsWindow)
{
    NoPlatform platform;
    qv::forms::Application app(platform);
    qv::forms::Window main(app, "frmMain", "main");
    app.open(main);
    qv::forms::CheckWindow w(app);
    std::vector<std::string> picked;
    w.onPick = [&](const qv::check::Finding& f) { picked.push_back(f.name); };

    qv::check::Report report;
    report.warning("dir/demo.mdb", 9, "2 \"B\"", "duplicate-name", "species 2 \"B\": twice", "B");
    report.error("dir/demo.mdb", 4, "1 \"A\"", "unknown-component", "species 1 \"A\": no such component", "A");
    report.error("comp.mdb", 3, "", "unreadable", "cannot be read");
    w.show(report, "dir/demo.mdb");
    EXPECT_TRUE(w.isOpen());
    EXPECT_EQ(w("lstFindings").items(), (std::vector<std::string>{"line 4: error: species 1 \"A\": no such component",
                                                                  "line 9: warning: species 2 \"B\": twice",
                                                                  "comp.mdb line 3: error: cannot be read"}));
    EXPECT_EQ(w("lblSummary").caption(), "2 errors, 1 warning in demo.mdb");
    EXPECT_EQ(w("cmdClose").caption(), "Close");
    w("lstFindings").userPick(1);
    EXPECT_EQ(picked, (std::vector<std::string>{"B"}));
    w("cmdClose").onClick();
    EXPECT_FALSE(w.isOpen());

    w.show(qv::check::Report{}, "demo.mdb");
    EXPECT_EQ(w("lstFindings").listCount(), 0);
    EXPECT_EQ(w("lblSummary").caption(), "No problems found in demo.mdb");
}
