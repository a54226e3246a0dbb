// The shared data files: the data directory and dabase.txt, the bounded comp.mdb scans and the
// scans of the thermodynamic databases.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/files.h"
#include "quenvar/numform.h"
#include "testsupport.h"

using qv::ErrorKind;
using qv::Field;
using qv::Files;
using qvtest::TempDir;

namespace {

qv::Error errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const qv::Error& e) {
        return e;
    }
    ADD_FAILURE() << "no qv::Error was thrown";
    return qv::Error(ErrorKind::BadFormat, "(none)");
}

// ---- comp.mdb ----

std::string compRecord(int id, const std::string& name, double charge = 1)
{
    return std::to_string(id) + ",\"" + name + "\"," + qv::numberForm(charge) + ",12.5,3,0\r\n";
}

// Components 1..count named "C1", "C2", ...
std::string compFile(int count)
{
    std::string out;
    for (int i = 1; i <= count; ++i) out += compRecord(i, "C" + std::to_string(i));
    return out;
}

std::vector<int> idsOf(const std::vector<qv::Component>& list)
{
    std::vector<int> ids;
    for (const auto& c : list) ids.push_back(static_cast<int>(c.id.asNumber()));
    return ids;
}

// ---- thermo.mdb / type6.mdb ----

struct Species {
    Species(int i, std::string n) : id(i), name(std::move(n)) {}
    int id;
    std::string name;
    std::string charge = "0";
    std::vector<std::pair<std::string, int>> comps = {{"1", 3}};
    std::string count;  // field 11 as written; the number of entries when empty
};

// A species record the way the databases hold it: group A on one line, the component entries on
// the next, group C on a third.
std::string thermoRecord(const Species& s)
{
    std::string out = std::to_string(s.id) + ",\"" + s.name + "\",-14,55.8,0,0," + s.charge + ",3.5,0,0," +
                      (s.count.empty() ? std::to_string(s.comps.size()) : s.count) + "\r\n";
    std::string entries;
    for (const auto& [stoich, comp] : s.comps)
        entries += (entries.empty() ? "" : ",") + stoich + "," + std::to_string(comp);
    if (!entries.empty()) out += entries + "\r\n";
    out += "17.007,\"Demo set\",\"\"\r\n";
    return out;
}

std::string thermoFile(const std::vector<Species>& species)
{
    std::string out;
    for (const auto& s : species) out += thermoRecord(s);
    return out;
}

// Species 1..count named "S1", "S2", ...
std::string manySpecies(int count)
{
    std::string out;
    for (int i = 1; i <= count; ++i) out += thermoRecord({i, "S" + std::to_string(i)});
    return out;
}

std::vector<std::string> namesById(const Files& files, const std::string& file, qv::ScanEnd* end = nullptr)
{
    return qv::thermoNames(files, file, end);
}

std::vector<std::string> namesByName(const Files& files, const std::string& file, qv::ScanEnd* end = nullptr)
{
    std::vector<std::string> names;
    qv::ScanEnd e = qv::scanThermoByName(files, file, [&](const qv::ThermoSpecies& s) {
        names.push_back(s.name);
        return true;
    });
    if (end) *end = e;
    return names;
}

}  // namespace

// ---- Data directory and dabase.txt ----------------------------------------------------------

TEST(DataDirectory, CandidateIsTheCurrentDirectory)
{
    TempDir dir;
    Files files(dir.path());
    EXPECT_EQ(qv::candidateDirectory(files, qv::surfkitInstallDir), dir.path());
    EXPECT_EQ(qv::candidateDirectory(files, qv::toolInstallDir), dir.path());
    // The installation directories stay known even though no development directory leads there.
    EXPECT_STREQ(qv::surfkitInstallDir, "c:\\Program Files\\quenvar");
    EXPECT_STREQ(qv::toolInstallDir, "c:\\quenvar");
    Files install("c:\\quenvar");  // a current directory that looks like one: still itself
    EXPECT_EQ(qv::candidateDirectory(install, qv::surfkitInstallDir), "c:\\quenvar");
}

TEST(DataDirectory, DabaseReadOfOneTwoAndFourFields)
{
    TempDir dir;
    dir.write("dabase.txt",
              "\"d:\\q\\thermo.mdb\",\"d:\\q\\type6.mdb\",\"d:\\q\\comp.mdb\",\"d:\\q\\gaussian.mdb\"\r\n");
    Files files(dir.path());
    const std::vector<std::string> paths{"d:\\q\\thermo.mdb", "d:\\q\\type6.mdb", "d:\\q\\comp.mdb",
                                         "d:\\q\\gaussian.mdb"};
    for (int count : {1, 2, 4}) {
        SCOPED_TRACE(count);
        const std::vector<Field> fields = qv::readDabase(files, count);
        ASSERT_EQ(fields.size(), static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(fields[static_cast<std::size_t>(i)].equalsText(paths[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(qv::driveOf(qv::readDabase(files, 1)[0]), "d");
}

TEST(DataDirectory, FreshlyInstalledDabaseHoldsStart)
{
    TempDir dir;
    Files files(dir.path());
    for (const char* bytes : {"\"Start\"\r\n", "Start\r\n"}) {
        dir.write("dabase.txt", bytes);
        const std::vector<Field> one = qv::readDabase(files, 1);
        EXPECT_TRUE(one[0].equalsText("Start")) << bytes;
        qv::Error e = errorOf([&] { qv::readDabase(files, 4); });
        EXPECT_EQ(e.kind(), ErrorKind::PastEnd);
        EXPECT_EQ(e.file(), "dabase.txt");
    }
}

TEST(DataDirectory, MissingDabaseIsFileNotFound)
{
    TempDir dir;
    Files files(dir.path());
    EXPECT_STREQ(errorOf([&] { qv::readDabase(files, 1); }).what(), "File not found: dabase.txt");
}

TEST(DataDirectory, WriteDabaseWritesOneRecordOfFourTexts)
{
    TempDir dir;
    dir.write("dabase.txt", "\"Start\"\r\n");
    Files files(dir.path());
    qv::writeDabase(files, {"c:\\quenvar\\thermo.mdb", "c:\\quenvar\\type6.mdb", "c:\\quenvar\\comp.mdb",
                            "c:\\quenvar\\gaussian.mdb"});
    EXPECT_EQ(dir.read("dabase.txt"),
              "\"c:\\quenvar\\thermo.mdb\",\"c:\\quenvar\\type6.mdb\",\"c:\\quenvar\\comp.mdb\","
              "\"c:\\quenvar\\gaussian.mdb\"\r\n");
    const auto fields = qv::readDabase(files, 4);
    EXPECT_TRUE(fields[3].equalsText("c:\\quenvar\\gaussian.mdb"));
    // A path holding a double quote cannot be written: the old file stays, nothing is left behind.
    EXPECT_EQ(errorOf([&] { qv::writeDabase(files, {"a\"b", "x", "y", "z"}); }).kind(), ErrorKind::QuoteInText);
    EXPECT_TRUE(qv::readDabase(files, 1)[0].equalsText("c:\\quenvar\\thermo.mdb"));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"dabase.txt"});
}

TEST(DataDirectory, DriveChange)
{
    TempDir dir;
    Files files(dir.path());
    // An empty first field gives no drive letter, and changing to no drive fails.
    dir.write("dabase.txt", ",\"x\"\r\n");
    const std::string none = qv::driveOf(qv::readDabase(files, 1)[0]);
    EXPECT_EQ(none, "");
    qv::Error e = errorOf([&] { files.changeDrive(none); });
    EXPECT_EQ(e.kind(), ErrorKind::BadDrive);
    // A letter succeeds, and the data directory stays the candidate (on Windows: the letter of
    // the drive the directory is on).
#ifdef _WIN32
    const std::string letter = dir.path().substr(0, 1);
#else
    const std::string letter = "D";
#endif
    dir.write("dabase.txt", "\"" + letter + ":\\data\\thermo.mdb\"\r\n");
    const std::string drive = qv::driveOf(qv::readDabase(files, 1)[0]);
    EXPECT_EQ(drive, letter);
    EXPECT_NO_THROW(files.changeDrive(drive));
    EXPECT_EQ(files.currentDir(), dir.path());
    EXPECT_EQ(qv::driveOf(Field()), "");
}

// ---- comp.mdb -------------------------------------------------------------------------------

TEST(ComponentScan, NameByIdTakesTheFirstMatchWithin400Records)
{
    TempDir dir;
    std::string bytes =
        compRecord(812, "=SOH") + compRecord(811, "=SOHh") + compRecord(812, "later") + compRecord(816, "=S3O");
    dir.write("comp.mdb", bytes);
    Files files(dir.path());
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", Field::whole(812)), "=SOH");
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", Field::whole(811)), "=SOHh");
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", Field::whole(816)), "=S3O");
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", Field::whole(5)), std::nullopt);
    // The ID compares numerically, whatever characters stand in the file.
    dir.write("comp2.mdb", "5.0,\"Na+\",1,0,0,0\r\n");
    EXPECT_EQ(qv::componentNameById(files, "comp2.mdb", Field::number(5)), "Na+");

    dir.write("comp.mdb", compFile(401));
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", Field::whole(400)), "C400");
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", Field::whole(401)), std::nullopt);
}

TEST(ComponentScan, IdByNameTakesTheLastMatchWithin400Records)
{
    TempDir dir;
    dir.write("comp.mdb", compRecord(5, "Na+") + compRecord(6, "K+") + compRecord(9, "Na+") + compRecord(7, "na+"));
    Files files(dir.path());
    auto id = qv::componentIdByName(files, "comp.mdb", "Na+");
    ASSERT_TRUE(id);
    EXPECT_TRUE(id->equalsNumber(9));
    EXPECT_EQ(qv::componentIdByName(files, "comp.mdb", "Na"), std::nullopt);
    EXPECT_EQ(qv::componentIdByName(files, "comp.mdb", "Na+ "), std::nullopt);

    std::string bytes = compFile(399) + compRecord(1000, "dup") + compRecord(2000, "dup");
    dir.write("comp.mdb", bytes);
    id = qv::componentIdByName(files, "comp.mdb", "dup");
    ASSERT_TRUE(id);
    EXPECT_TRUE(id->equalsNumber(1000));  // the 401st record is not read
}

TEST(ComponentScan, ListingStopsAtItsLimitOrTheEndOfTheFile)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("comp.mdb", compFile(600));
    std::vector<int> ids = idsOf(qv::listComponents(files, "comp.mdb", 500));
    ASSERT_EQ(ids.size(), 500u);
    EXPECT_EQ(ids.front(), 1);
    EXPECT_EQ(ids.back(), 500);
    EXPECT_EQ(qv::listComponents(files, "comp.mdb", 400).size(), 400u);

    // A short file ends the listing; a record with ID 0 does not.
    dir.write("comp.mdb", compRecord(3, "H+") + compRecord(0, "") + compRecord(5, "Na+") + "\r\n");
    const auto list = qv::listComponents(files, "comp.mdb", 500);
    EXPECT_EQ(idsOf(list), (std::vector<int>{3, 0, 5}));
    EXPECT_EQ(list[2].name, "Na+");
    EXPECT_TRUE(list[2].charge.equalsNumber(1));
    EXPECT_TRUE(list[2].extra[0].equalsNumber(12.5));
}

TEST(ComponentScan, ToZeroStopsAfterTheRecordWithIdZeroOrAt1000)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("comp.mdb",
              compRecord(3, "H+", 1) + compRecord(54, "SO4-2", -2) + compRecord(0, "end", 0) + compRecord(5, "Na+"));
    const auto list = qv::listComponentsToZero(files, "comp.mdb");
    EXPECT_EQ(idsOf(list), (std::vector<int>{3, 54, 0}));
    EXPECT_TRUE(list[1].charge.equalsNumber(-2));
    EXPECT_EQ(list[2].name, "end");

    dir.write("comp.mdb", compFile(1200));
    const auto many = qv::listComponentsToZero(files, "comp.mdb");
    ASSERT_EQ(many.size(), 1000u);
    EXPECT_EQ(idsOf(many).back(), 1000);
}

TEST(ComponentScan, RecordsAcrossLinesAndSeveralOnALine)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("comp.mdb", "3,\"H+\",1\r\n1.008,9,0\r\n5,\"Na+\",1,22.99,4,0,6,\"K+\",1,39.1,3,0\r\n");
    const auto list = qv::listComponents(files, "comp.mdb", 500);
    EXPECT_EQ(idsOf(list), (std::vector<int>{3, 5, 6}));
    EXPECT_EQ(list[2].name, "K+");
}

TEST(ComponentScan, ARecordCutShortIsAFailureNamingTheFile)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("comp.mdb", compRecord(3, "H+") + "5,\"Na+\",1\r\n");
    qv::Error e = errorOf([&] { qv::listComponents(files, "comp.mdb", 500); });
    EXPECT_EQ(e.kind(), ErrorKind::PastEnd);
    EXPECT_EQ(e.file(), "comp.mdb");
    EXPECT_STREQ(errorOf([&] { qv::componentNameById(files, "nothere.mdb", Field::whole(3)); }).what(),
                 "File not found: nothere.mdb");
}

// ---- Thermodynamic databases ----------------------------------------------------------------

TEST(ThermoScan, IdZeroFirstGivesNoNamesAndItsRestIsNotRead)
{
    TempDir dir;
    Files files(dir.path());
    // The terminating record announces five entries that are not there: they are never read.
    dir.write("thermo.mdb", "0,\"\",0,0,0,0,0,0,0,0,5\r\n");
    qv::ScanEnd end;
    EXPECT_TRUE(namesById(files, "thermo.mdb", &end).empty());
    EXPECT_FALSE(end.failed());

    dir.write("thermo.mdb", thermoFile({{10030, "OH-"}, {550030, "HCO3-"}}) + "0,\"\",0,0,0,0,0,0,0,0,5\r\n" +
                                thermoRecord({50550, "NaCO3-"}));
    EXPECT_EQ(namesById(files, "thermo.mdb", &end), (std::vector<std::string>{"OH-", "HCO3-"}));
    EXPECT_FALSE(end.failed());
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "NaCO3-"), std::nullopt);
}

TEST(ThermoScan, EndPaddedWithBlanksEndsTheByNameScan)
{
    TempDir dir;
    Files files(dir.path());
    for (const char* end : {"END", "  END  ", "END "}) {
        SCOPED_TRACE(end);
        // The END record is cut short after group A: its rest is never read.
        dir.write("thermo.mdb", thermoFile({{1, "Na+"}, {2, "Cl-"}}) + "99,\"" + end + "\",0,0,0,0,0,0,0,0,3\r\n");
        qv::ScanEnd scan;
        EXPECT_EQ(namesByName(files, "thermo.mdb", &scan), (std::vector<std::string>{"Na+", "Cl-"}));
        EXPECT_FALSE(scan.failed());
    }
    // Case counts, and the analyte editor's scan knows no END.
    dir.write("thermo.mdb", thermoFile({{1, "end"}, {2, "END"}, {3, "Ca+2"}}));
    EXPECT_EQ(namesByName(files, "thermo.mdb"), std::vector<std::string>{"end"});
    EXPECT_EQ(namesById(files, "thermo.mdb"), (std::vector<std::string>{"end", "END", "Ca+2"}));
    // END as the first record: nothing.
    dir.write("thermo.mdb", thermoFile({{1, "END"}, {3, "Ca+2"}}));
    EXPECT_TRUE(namesByName(files, "thermo.mdb").empty());
}

TEST(ThermoScan, EmptyNameIsDeliveredAndEndsTheByNameScan)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("thermo.mdb", thermoFile({{1, "Na+"}, {2, ""}, {3, "Cl-"}}));
    EXPECT_EQ(namesByName(files, "thermo.mdb"), (std::vector<std::string>{"Na+", ""}));
}

TEST(ThermoScan, Exactly4000SpeciesAreReadWholeAndThe4001stIsNot)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("thermo.mdb", manySpecies(4000));
    qv::ScanEnd a, b;
    const auto byId = namesById(files, "thermo.mdb", &a);
    const auto byName = namesByName(files, "thermo.mdb", &b);
    ASSERT_EQ(byId.size(), 4000u);
    EXPECT_EQ(byId.back(), "S4000");
    EXPECT_EQ(byName, byId);
    EXPECT_FALSE(a.failed());
    EXPECT_FALSE(b.failed());

    // A 4001st record that could not even be read: it is never touched.
    dir.write("thermo.mdb", manySpecies(4000) + "not a record\r\n" + manySpecies(3));
    EXPECT_EQ(namesById(files, "thermo.mdb", &a).size(), 4000u);
    EXPECT_EQ(namesByName(files, "thermo.mdb", &b).size(), 4000u);
    EXPECT_FALSE(a.failed());
    EXPECT_FALSE(b.failed());
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "S4000"), 4000);
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "S1"), 1);
}

TEST(ThermoScan, ChargeAndComponentsAreDelivered)
{
    TempDir dir;
    Files files(dir.path());
    Species zero{550031, "H2CO3"};
    zero.charge = "0";
    zero.comps = {{"1", 55}, {"2", 3}};
    Species neg{540030, "HSO4-"};
    neg.charge = "-1";
    neg.comps = {{"1", 54}, {"1", 3}};
    Species negZero{7, "X"};
    negZero.charge = "-0.0";
    dir.write("thermo.mdb", thermoFile({zero, neg, negZero}));
    std::vector<qv::ThermoSpecies> got;
    for (auto scan : {&qv::scanThermoById, &qv::scanThermoByName}) {
        got.clear();
        qv::ScanEnd end = scan(files, "thermo.mdb", [&](const qv::ThermoSpecies& s) {
            got.push_back(s);
            return true;
        });
        EXPECT_FALSE(end.failed());
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[0].id, 550031);
        EXPECT_EQ(got[0].charge, 0.0f);
        EXPECT_TRUE(got[0].charge >= 0 && got[0].charge <= 0);  // on both ion lists
        EXPECT_EQ(got[1].charge, -1.0f);
        EXPECT_TRUE(got[2].charge >= 0 && got[2].charge <= 0);
        const std::vector<std::pair<float, std::int16_t>> comps{{1.0f, 55}, {2.0f, 3}};
        EXPECT_EQ(got[0].components, comps);
    }
}

TEST(ThermoScan, ComponentCountZeroIsFollowedByGroupC)
{
    TempDir dir;
    Files files(dir.path());
    Species bare{3, "H+"};
    bare.comps = {};
    Species negative{4, "Y"};
    negative.comps = {};
    negative.count = "-2";  // reads no entries either
    dir.write("thermo.mdb", thermoFile({bare, negative, {5, "Na+"}}));
    qv::ScanEnd end;
    EXPECT_EQ(namesById(files, "thermo.mdb", &end), (std::vector<std::string>{"H+", "Y", "Na+"}));
    EXPECT_FALSE(end.failed());
    EXPECT_EQ(namesByName(files, "thermo.mdb", &end), (std::vector<std::string>{"H+", "Y", "Na+"}));
    EXPECT_FALSE(end.failed());
}

TEST(ThermoScan, IntegerPartOfTheComponentCount)
{
    TempDir dir;
    Files files(dir.path());
    Species s{9, "CaCO3"};
    s.comps = {{"1", 4}, {"1", 55}};
    s.count = "2.7";
    dir.write("type6.mdb", thermoFile({s, {10, "Calcite"}}));
    qv::ScanEnd end;
    EXPECT_EQ(namesById(files, "type6.mdb", &end), (std::vector<std::string>{"CaCO3", "Calcite"}));
    EXPECT_FALSE(end.failed());
}

TEST(ThermoScan, IdLookupComparesNamesExactly)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("thermo.mdb", thermoFile({{101, "NaCl "}, {102, "KCl"}, {103, "KCl"}, {104, "kcl"}}));
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "NaCl"), std::nullopt);  // stored with a trailing blank
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "NaCl "), 101);
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "KCl"), 102);  // the first of equal names
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "kcl"), 104);
    EXPECT_EQ(qv::thermoIdOf(files, "thermo.mdb", "Kcl"), std::nullopt);
    // The name list keeps duplicates and file order.
    EXPECT_EQ(namesById(files, "thermo.mdb"), (std::vector<std::string>{"NaCl ", "KCl", "KCl", "kcl"}));
}

TEST(ThermoScan, ReadFailureKeepsTheNamesSoFarAndNamesTheFile)
{
    TempDir dir;
    Files files(dir.path());
    const std::string path = dir / "thermo.mdb";
    // Cut short inside the third record.
    dir.write("thermo.mdb", thermoFile({{1, "Na+"}, {2, "Cl-"}}) + "3,\"K+\",0,0,0,0,1,0,0,0,1\r\n1");
    qv::ScanEnd a, b;
    EXPECT_EQ(namesById(files, path, &a), (std::vector<std::string>{"Na+", "Cl-"}));
    EXPECT_EQ(namesByName(files, path, &b), (std::vector<std::string>{"Na+", "Cl-"}));
    for (const qv::ScanEnd* end : {&a, &b}) {
        ASSERT_TRUE(end->failed());
        EXPECT_EQ(end->failure->kind(), ErrorKind::PastEnd);
        EXPECT_EQ(end->failure->file(), path);
        EXPECT_NE(std::string(end->failure->what()).find(path), std::string::npos);
    }
    // A field that is not of its type.
    dir.write("thermo.mdb", thermoFile({{1, "Na+"}}) + "2,\"Cl-\",0,0,0,0,minus,0,0,0,0\r\n1,\"\",\"\"\r\n");
    EXPECT_EQ(namesById(files, "thermo.mdb", &a), std::vector<std::string>{"Na+"});
    ASSERT_TRUE(a.failed());
    EXPECT_EQ(a.failure->kind(), ErrorKind::TypeMismatch);
    EXPECT_EQ(a.failure->file(), "thermo.mdb");
    // A missing file.
    EXPECT_TRUE(namesById(files, "type6.mdb", &a).empty());
    ASSERT_TRUE(a.failed());
    EXPECT_STREQ(a.failure->what(), "File not found: type6.mdb");
    EXPECT_EQ(qv::thermoIdOf(files, "type6.mdb", "Na+", &b), std::nullopt);
    EXPECT_TRUE(b.failed());
}

TEST(ThermoScan, MoreThanTenComponentsFailTheByNameScan)
{
    TempDir dir;
    Files files(dir.path());
    Species ten{2, "Ten"};
    Species eleven{3, "Eleven"};
    ten.comps.clear();
    for (int i = 0; i < 10; ++i) ten.comps.push_back({"1", 100 + i});
    eleven.comps = ten.comps;
    eleven.comps.push_back({"1", 200});
    dir.write("thermo.mdb", thermoFile({{1, "Na+"}, ten, eleven, {4, "Cl-"}}));
    qv::ScanEnd end;
    EXPECT_EQ(namesByName(files, "thermo.mdb", &end), (std::vector<std::string>{"Na+", "Ten"}));
    ASSERT_TRUE(end.failed());
    EXPECT_EQ(end.failure->file(), "thermo.mdb");
    // The analyte editor's scan has no such limit.
    EXPECT_EQ(namesById(files, "thermo.mdb", &end), (std::vector<std::string>{"Na+", "Ten", "Eleven", "Cl-"}));
    EXPECT_FALSE(end.failed());
}

TEST(ThermoScan, VisitorStopsTheScan)
{
    TempDir dir;
    Files files(dir.path());
    dir.write("thermo.mdb", manySpecies(5) + "garbage");
    int seen = 0;
    qv::ScanEnd end = qv::scanThermoById(files, "thermo.mdb", [&](const qv::ThermoSpecies& s) {
        ++seen;
        return s.id < 3;
    });
    EXPECT_EQ(seen, 3);
    EXPECT_FALSE(end.failed());
}
