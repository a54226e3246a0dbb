// The window logic run in this process, where the file layer can be made to fail at any step of
// a save.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "fixtures.h"
#include "humkit/window.h"
#include "quenvar/error.h"
#include "quenvar/script.h"
#include "shown.h"
#include "testsupport.h"

using qvtest::crlf;
using qvtest::shown;

namespace {

struct Session {
    explicit Session(const qvtest::TempDir& dir) : platform(out), app(platform), program(app, dir.path())
    {
        app.dispatch([&] { app.open(program.mainWindow()); });
    }

    qv::forms::Control& c(const char* name, int index = 0) { return program.mainWindow()(name, index); }
    void click(const char* name)
    {
        app.dispatch([&] { c(name).onClick(); });
    }
    void type(const char* name, int index, const std::string& text)
    {
        app.dispatch([&] { c(name, index).userType(text); });
    }

    std::ostringstream out;
    qv::script::ScriptPlatform platform;
    qv::forms::Application app;
    humkit::Program program;
};

void writeDataDir(const qvtest::TempDir& dir)
{
    qvtest::writeDabase(dir);
    dir.write("comp.mdb", crlf({"20,\"Ca+2\",2,40,6,0", "45,\"Cu+2\",2,63.5,6,0"}));
}

}  // namespace

TEST(HumkitSave, AFailedSaveLeavesTheOldFileWholeAndNoPartialFile)
{
    const qv::FileStep steps[] = {qv::FileStep::Open, qv::FileStep::Write, qv::FileStep::Flush, qv::FileStep::Close,
                                  qv::FileStep::Rename};
    for (const qv::FileStep failing : steps) {
        qvtest::TempDir dir;
        writeDataDir(dir);
        const std::string old = crlf({"1", "\"Old\"", "0,0,0", "2", "0.5", "0.5"});
        dir.write("old.MSI.TXT", old);
        const std::vector<std::string> before = dir.entries();

        Session s(dir);
        s.type("txtMonono", 0, "1");
        s.type("txtMonosite", 1, "4");
        s.program.files().faultHook = [failing](qv::FileStep step, const std::string& path) {
            if (step == failing) throw qv::Error(qv::ErrorKind::WriteFailed, path);
        };
        s.platform.queueAnswer(true, 1);  // the percentages add up to 0 %: saved all the same
        s.platform.queueDialog(dir / "old.MSI.TXT", 1);
        s.click("cmdSave");

        EXPECT_EQ(dir.read("old.MSI.TXT"), old) << qv::stepName(failing);
        EXPECT_EQ(dir.entries(), before) << qv::stepName(failing);
        EXPECT_NE(s.out.str().find("message \"Quenvar error\" \"The settings were not saved to " +
                                   shown(dir / "old.MSI.TXT") + ". Write failed"),
                  std::string::npos)
            << s.out.str();
        EXPECT_NE(s.out.str().find(" ok critical -> ok"), std::string::npos);
        EXPECT_EQ(s.program.mainWindow().caption(), "*New file - HBM site settings");

        // The same save goes through once the file layer works again.
        s.program.files().faultHook = nullptr;
        s.platform.queueAnswer(true, 2);
        s.platform.queueDialog(dir / "old.MSI.TXT", 2);
        s.click("cmdSave");
        EXPECT_EQ(dir.read("old.MSI.TXT"), crlf({"1", "\"General settings\"", "1,0,0", "4", "3", "0", "0", "0"}));
        EXPECT_EQ(dir.read("old.MSI.TXT.bak"), old);  // kept for "Undo last save"
        std::vector<std::string> after = before;
        after.push_back("old.MSI.TXT.bak");
        std::sort(after.begin(), after.end());
        EXPECT_EQ(dir.entries(), after);
        EXPECT_EQ(s.program.mainWindow().caption(), (dir / "old.MSI.TXT") + " - HBM site settings");
    }
}

TEST(HumkitSets, SwitchingStoresTheShownSetAsTypedNumbers)
{
    qvtest::TempDir dir;
    writeDataDir(dir);
    Session s(dir);
    s.type("txtBino", 0, "1");
    s.type("txtBisite1", 1, "2,5");
    s.type("txtBisite2", 1, "");
    s.click("cmdNewset");
    s.app.dispatch([&] { s.c("cboCations").userPick(1); });  // Cu+2
    const humkit::SiteDocument& doc = s.program.document();
    ASSERT_EQ(doc.setCount, 2);
    EXPECT_EQ(doc.currentSet, 2);
    EXPECT_EQ(doc.set(2).name, "Cu+2");
    EXPECT_EQ(doc.set(1).biCount, 1);
    EXPECT_TRUE(doc.set(1).bi[0][0].equalsNumber(2.5));  // a decimal comma is a decimal point
    EXPECT_TRUE(doc.set(1).bi[0][1].equalsNumber(0));    // an empty box: 0
}

TEST(HumkitSets, DeletingTheOnlySetLeavesAnEmptyDocumentThatSavesAndReads)
{
    qvtest::TempDir dir;
    writeDataDir(dir);
    Session s(dir);
    s.type("txtMonono", 0, "1");
    s.type("txtMonosite", 1, "3");
    s.click("cmdDelete");
    EXPECT_EQ(s.program.document().setCount, 0);
    EXPECT_EQ(s.c("cboSettings").listCount(), 0);
    EXPECT_EQ(s.c("txtMonono").text(), " 0");
    EXPECT_FALSE(s.c("txtMonosite", 1).visible());

    s.platform.queueAnswer(true, 1);  // the percentages add up to 0 %: saved all the same
    s.platform.queueDialog(dir / "none.MSI.TXT", 1);
    s.click("cmdSave");
    EXPECT_EQ(dir.read("none.MSI.TXT"), crlf({"0", "3", "0", "0", "0"}));

    // A set added afterwards becomes the first.
    s.click("cmdNewset");
    s.app.dispatch([&] { s.c("cboCations").userPick(0); });  // Ca+2
    s.platform.queueAnswer(true, 2);
    s.platform.queueDialog(dir / "one.MSI.TXT", 2);
    s.click("cmdSave");
    EXPECT_EQ(dir.read("one.MSI.TXT"), crlf({"1", "\"Ca+2\"", "0,0,0", "3", "0", "0", "0"}));

    // The empty document opens again.
    s.platform.queueDialog(dir / "none.MSI.TXT", 3);
    s.click("mnuFileOpen");
    EXPECT_EQ(s.program.document().setCount, 0);
    EXPECT_EQ(s.c("cboSettings").listCount(), 0);
    EXPECT_EQ(s.program.mainWindow().caption(), (dir / "none.MSI.TXT") + " - HBM site settings");
    EXPECT_EQ(s.out.str().find("message \"Quenvar error\""), std::string::npos) << s.out.str();
}
