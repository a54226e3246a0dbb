// The demo data directory reads without error with the library: the shared databases through
// their scans, every other data file field by field to its end.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "quenvar/datafiles.h"
#include "quenvar/files.h"

namespace fs = std::filesystem;

namespace {

const std::string demoDir = DEMO_DIR;

// The data files of the demo directory (its README and git settings are not data).
std::vector<std::string> dataFiles()
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(demoDir)) {
        const std::string name = e.path().filename().string();
        if (!e.is_regular_file() || name[0] == '.' || name == "README.md") continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(DemoData, HoldsEveryFileTheSuiteReads)
{
    const auto names = dataFiles();
    const std::set<std::string> have(names.begin(), names.end());
    for (const char* name :
         {"dabase.txt", "comp.mdb", "thermo.mdb", "type6.mdb", "gaussian.mdb", "analyt.mdb", "sit_eta.txt",
          "deftempar.dat", "demo.mdb", "demo.cdb", "demo.iso", "demo.nic", "demo.bli"})
        EXPECT_TRUE(have.count(name)) << name;
}

TEST(DemoData, DabaseNamesTheFourDatabases)
{
    qv::Files files(demoDir);
    const auto fields = qv::readDabase(files, 4);
    const char* ends[] = {"thermo.mdb", "type6.mdb", "comp.mdb", "gaussian.mdb"};
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(fields[i].isText());
        const std::string& path = fields[i].asText();
        EXPECT_EQ(path.substr(path.size() - std::string(ends[i]).size()), ends[i]);
    }
    EXPECT_EQ(qv::driveOf(fields[0]).size(), 1u);
    EXPECT_TRUE(files.openRead("dabase.txt").field().isText());
}

TEST(DemoData, ComponentDatabaseReadsWhole)
{
    qv::Files files(demoDir);
    const auto all = qv::listComponents(files, "comp.mdb", 1000);
    const auto toZero = qv::listComponentsToZero(files, "comp.mdb");
    ASSERT_FALSE(all.empty());
    EXPECT_LT(all.size(), 400u);           // every tool's bounded scan sees the whole file
    EXPECT_EQ(toZero.size(), all.size());  // the record with ID 0 comes last
    EXPECT_TRUE(toZero.back().id.equalsNumber(0));
    // The last scanned record is the end of the file.
    qv::RecordReader in = files.openRead("comp.mdb");
    for (std::size_t i = 0; i < all.size() * 6; ++i) in.field();
    EXPECT_TRUE(in.atEnd());
    for (const auto& c : all) {
        EXPECT_TRUE(c.id.isNumber()) << c.name;
        EXPECT_TRUE(c.charge.isNumber()) << c.name;
    }
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", qv::Field::whole(811)), "=SOHh");
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", qv::Field::whole(812)), "=SOH");
    EXPECT_EQ(qv::componentNameById(files, "comp.mdb", qv::Field::whole(816)), "=S3O");
    auto id = qv::componentIdByName(files, "comp.mdb", "=SOH");
    ASSERT_TRUE(id);
    EXPECT_TRUE(id->equalsNumber(812));
}

TEST(DemoData, ThermodynamicDatabasesScanWithoutFailure)
{
    qv::Files files(demoDir);
    for (const char* db : {"thermo.mdb", "type6.mdb"}) {
        SCOPED_TRACE(db);
        qv::ScanEnd end;
        const auto names = qv::thermoNames(files, db, &end);
        EXPECT_FALSE(end.failed()) << (end.failed() ? end.failure->what() : "");
        ASSERT_FALSE(names.empty());
        std::vector<std::string> byName;
        std::vector<qv::ThermoSpecies> species;
        qv::ScanEnd end2 = qv::scanThermoByName(files, db, [&](const qv::ThermoSpecies& s) {
            byName.push_back(s.name);
            species.push_back(s);
            return true;
        });
        EXPECT_FALSE(end2.failed()) << (end2.failed() ? end2.failure->what() : "");
        EXPECT_EQ(byName, names);
        for (const auto& s : species) {
            EXPECT_NE(s.id, 0);
            EXPECT_LE(s.components.size(), 10u);
            EXPECT_EQ(qv::thermoIdOf(files, db, s.name), s.id) << s.name;
        }
    }
}

TEST(DemoData, EveryDataFileReadsFieldByFieldToItsEnd)
{
    qv::Files files(demoDir);
    for (const std::string& name : dataFiles()) {
        SCOPED_TRACE(name);
        const std::string bytes = files.readBytes(name);
        // Written as the suite writes: every line ended by CR LF.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
            } else if (bytes[i] == '\r') {
                EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
            }
        }
        EXPECT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n");
        qv::RecordReader in = files.openRead(name);
        int fields = 0;
        EXPECT_NO_THROW({
            while (!in.atEnd()) {
                in.field();
                ++fields;
            }
        });
        EXPECT_GT(fields, 0);
        EXPECT_EQ(in.position(), in.size());  // no blank lines after the last record
    }
}
