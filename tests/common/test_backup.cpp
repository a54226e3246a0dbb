// Undo of a save: the previous content kept beside the file, put back byte for byte, and the
// cases where it must not be: no backup could be kept, the file or the backup changed since.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quenvar/backup.h"
#include "quenvar/error.h"
#include "quenvar/files.h"
#include "testsupport.h"

using qv::ErrorKind;
using qv::Files;
using qv::FileStep;
using qv::SaveUndo;
using State = qv::SaveUndo::State;
using qvtest::TempDir;

namespace {

// Every byte value, CR LF and a lone CR: a restore must give back exactly these.
std::string oddBytes()
{
    std::string bytes = "\"=SOH\",1,\"2,75\"\r\n\r";
    for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
    return bytes;
}

struct Undo : ::testing::Test {
    Undo() { dir.write("demo.mdb", previous); }
    TempDir dir;
    Files files{dir.path()};
    SaveUndo undo{files};
    const std::string previous = oddBytes();
};

}  // namespace

TEST(BackupName, TheNameWithBakAppendedMatchesNoOpenFilterOfTheSuite)
{
    EXPECT_EQ(qv::backupName("demo.mdb"), "demo.mdb.bak");
    EXPECT_EQ(qv::backupName("/data/in.MSI.TXT"), "/data/in.MSI.TXT.bak");
}

TEST_F(Undo, SaveKeepsThePreviousBytesAndUndoPutsThemBack)
{
    EXPECT_EQ(undo.check(), State::Nothing);
    undo.rewrite("demo.tmp", "demo.mdb", "new content\r\n");
    EXPECT_EQ(dir.read("demo.mdb"), "new content\r\n");
    EXPECT_EQ(dir.read("demo.mdb.bak"), previous);
    EXPECT_EQ(undo.file(), "demo.mdb");
    EXPECT_EQ(undo.check(), State::Ready);

    undo.restore();
    EXPECT_EQ(dir.read("demo.mdb"), previous);
    EXPECT_EQ(undo.check(), State::Nothing);  // one step only
    EXPECT_THROW(undo.restore(), qv::Error);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"demo.mdb", "demo.mdb.bak"}));  // no temporary left
}

TEST_F(Undo, EachSaveReplacesTheBackupSoUndoGoesBackOneSave)
{
    undo.rewrite("demo.tmp", "demo.mdb", "first");
    undo.rewrite("demo.tmp", "demo.mdb", "second");
    EXPECT_EQ(dir.read("demo.mdb.bak"), "first");
    undo.restore();
    EXPECT_EQ(dir.read("demo.mdb"), "first");
}

TEST_F(Undo, ANewFileHasNothingToUndo)
{
    undo.rewrite("demo.tmp", "demo.mdb", "first");
    undo.rewrite("new.tmp", "new.mdb", "created");
    EXPECT_EQ(dir.read("new.mdb"), "created");
    EXPECT_FALSE(dir.exists("new.mdb.bak"));
    EXPECT_EQ(undo.check(), State::Nothing);  // nor the earlier save of another file
}

TEST_F(Undo, AFailureToKeepTheBackupStopsTheSave)
{
    // Each step of writing the backup, failing in turn: the file and the old backup stay as they
    // were, no temporary file is left, and there is nothing to undo.
    undo.rewrite("demo.tmp", "demo.mdb", "first");
    for (FileStep failing : {FileStep::Open, FileStep::Write, FileStep::Flush, FileStep::Close, FileStep::Rename}) {
        SCOPED_TRACE(qv::stepName(failing));
        Files faulty(dir.path());
        faulty.faultHook = [&](FileStep step, const std::string& path) {
            if (step == failing && path.find(".bak") != std::string::npos)
                throw qv::Error(ErrorKind::WriteFailed, path, "injected");
        };
        SaveUndo u(faulty);
        EXPECT_THROW(u.rewrite("demo.tmp", "demo.mdb", "never written"), qv::Error);
        EXPECT_EQ(dir.read("demo.mdb"), "first");
        EXPECT_EQ(dir.read("demo.mdb.bak"), previous);
        EXPECT_EQ(u.check(), State::Nothing);
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"demo.mdb", "demo.mdb.bak"}));
    }
}

TEST_F(Undo, AFailedRewriteLeavesNothingToUndo)
{
    Files faulty(dir.path());
    faulty.faultHook = [](FileStep step, const std::string& path) {
        if (step == FileStep::Rename && path.find(".bak") == std::string::npos)
            throw qv::Error(ErrorKind::RenameFailed, path);
    };
    SaveUndo u(faulty);
    EXPECT_THROW(u.rewrite("demo.tmp", "demo.mdb", "never written"), qv::Error);
    EXPECT_EQ(dir.read("demo.mdb"), previous);
    EXPECT_EQ(u.check(), State::Nothing);
}

TEST_F(Undo, AChangeByAnotherProgramIsNotOverwrittenWithoutBeingAsked)
{
    undo.rewrite("demo.tmp", "demo.mdb", "ours");
    // Same size, other bytes; then another size; then the file removed.
    for (const char* theirs : {"OURS", "theirs and longer", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(theirs ? theirs : "removed");
        if (theirs)
            dir.write("demo.mdb", theirs);
        else
            files.deleteFile("demo.mdb");
        EXPECT_EQ(undo.check(), State::FileChanged);
        EXPECT_FALSE(undo.canUndo());
        EXPECT_THROW(undo.restore(), qv::Error);
        if (theirs) {
            EXPECT_EQ(dir.read("demo.mdb"), theirs);
        }
    }
    undo.restore(true);  // the user said yes
    EXPECT_EQ(dir.read("demo.mdb"), previous);
}

TEST_F(Undo, AChangedOrMissingBackupIsNeverRestored)
{
    undo.rewrite("demo.tmp", "demo.mdb", "ours");
    dir.write("demo.mdb.bak", "someone else's backup");
    EXPECT_EQ(undo.check(), State::BackupChanged);
    EXPECT_THROW(undo.restore(true), qv::Error);
    EXPECT_EQ(dir.read("demo.mdb"), "ours");

    undo.rewrite("demo.tmp", "demo.mdb", "ours again");
    files.deleteFile("demo.mdb.bak");
    EXPECT_EQ(undo.check(), State::BackupChanged);
    try {
        undo.restore(true);
        ADD_FAILURE() << "restored without a backup";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::CannotUndo);
        EXPECT_EQ(e.file(), "demo.mdb");
    }
    EXPECT_EQ(dir.read("demo.mdb"), "ours again");
}

TEST_F(Undo, AChangeOfDirectoryDoesNotMoveWhatIsUndone)
{
    dir.write("other/demo.mdb", "another directory's file");
    undo.rewrite("demo.tmp", "demo.mdb", "ours");
    files.changeDir("other");
    EXPECT_EQ(undo.check(), State::Ready);
    undo.restore();
    EXPECT_EQ(dir.read("demo.mdb"), previous);
    EXPECT_EQ(dir.read("other/demo.mdb"), "another directory's file");
    EXPECT_FALSE(dir.exists("other/demo.mdb.bak"));
}

TEST_F(Undo, ACopyMadeByTheToolIsUndoneThroughKeepAndSaved)
{
    dir.write("other.mdb", "copied");
    undo.keep("demo.tmp", "demo.mdb");
    files.copyFile("other.mdb", "demo.mdb");
    undo.saved("demo.mdb");
    EXPECT_EQ(undo.check(), State::Ready);
    undo.restore();
    EXPECT_EQ(dir.read("demo.mdb"), previous);
}
