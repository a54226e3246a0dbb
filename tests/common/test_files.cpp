// The file layer: its own current directory, failures named as the users know them, and the
// atomic replacement of a data file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/files.h"
#include "testsupport.h"

using qv::ErrorKind;
using qv::Files;
using qv::FileStep;
using qvtest::TempDir;

namespace {

const std::string oldBytes = "1,\"old record\",2.5\r\n3,\"second\",4\r\n";
const std::string newBytes = "7,\"new record, longer than the old one\",1E-05\r\n";

// Runs `action` and gives the error it throws (a test failure when it throws none).
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

#ifndef _WIN32
mode_t modeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

bool isLink(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string linkText(const std::string& path)
{
    char buf[4096];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    return n < 0 ? std::string() : std::string(buf, static_cast<std::size_t>(n));
}

// A directory on another file system than the temporary directory, when the machine has one.
class OtherFileSystemDir {
public:
    OtherFileSystemDir()
    {
        std::string pattern = "/dev/shm/quenvar-test-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~OtherFileSystemDir()
    {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    const std::string& path() const { return path_; }
    bool differsFrom(const std::string& dir) const
    {
        struct stat a {
        }, b{};
        return !path_.empty() && ::stat(path_.c_str(), &a) == 0 && ::stat(dir.c_str(), &b) == 0 && a.st_dev != b.st_dev;
    }

private:
    std::string path_;
};

#endif

[[maybe_unused]] std::vector<std::string> entriesOf(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Makes the k-th step of a file operation fail (counting from 0), and records every step seen.
struct FaultAt {
    explicit FaultAt(int k) : failAt(k) {}
    int failAt;
    int calls = 0;
    bool fired = false;
    std::vector<FileStep> steps;
    void install(Files& files)
    {
        files.faultHook = [this](FileStep step, const std::string& path) {
            steps.push_back(step);
            if (calls++ == failAt) {
                fired = true;
                throw qv::Error(ErrorKind::WriteFailed, path, std::string("injected at ") + qv::stepName(step));
            }
        };
    }
};

}  // namespace

// ---- Atomic replacement -------------------------------------------------------------------

TEST(AtomicReplace, FailureAtEveryStepOfARewriteLeavesTheOldFileAndNoTemporary)
{
    std::set<FileStep> failed;
    int k = 0;
    for (;; ++k) {
        ASSERT_LT(k, 50) << "the rewrite never completed";
        TempDir dir;
        dir.write("analyt.mdb", oldBytes);
        Files files(dir.path());
        FaultAt fault(k);
        fault.install(files);
        try {
            files.rewrite("analytp.mdb", "analyt.mdb", newBytes);
        } catch (const qv::Error& e) {
            EXPECT_TRUE(fault.fired) << e.what();
        }
        if (!fault.fired) {
            EXPECT_EQ(dir.read("analyt.mdb"), newBytes);
            EXPECT_EQ(dir.entries(), std::vector<std::string>{"analyt.mdb"});
            break;
        }
        failed.insert(fault.steps.back());
        SCOPED_TRACE(qv::stepName(fault.steps.back()));
        EXPECT_EQ(dir.read("analyt.mdb"), oldBytes);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"analyt.mdb"});
    }
    for (FileStep s : {FileStep::Open, FileStep::Write, FileStep::Flush, FileStep::Close, FileStep::Rename})
        EXPECT_TRUE(failed.count(s)) << qv::stepName(s);
}

TEST(AtomicReplace, FailureAtEveryStepOfACopyLeavesTheTargetAndNoTemporary)
{
    int k = 0;
    for (;; ++k) {
        ASSERT_LT(k, 50);
        TempDir dir;
        dir.write("sitbase_temp.txt", newBytes);
        dir.write("sit_eta.txt", oldBytes);
        Files files(dir.path());
        FaultAt fault(k);
        fault.install(files);
        try {
            files.copyFile("sitbase_temp.txt", "sit_eta.txt");
        } catch (const qv::Error&) {
        }
        const std::vector<std::string> both{"sit_eta.txt", "sitbase_temp.txt"};
        EXPECT_EQ(dir.entries(), both);
        EXPECT_EQ(dir.read("sitbase_temp.txt"), newBytes);
        if (!fault.fired) {
            EXPECT_EQ(dir.read("sit_eta.txt"), newBytes);
            break;
        }
        SCOPED_TRACE(qv::stepName(fault.steps.back()));
        EXPECT_EQ(dir.read("sit_eta.txt"), oldBytes);
    }
    EXPECT_GE(k, 5);
}

TEST(AtomicReplace, DabaseWriteFailingAtEveryStepKeepsTheOldFile)
{
    const std::string start = "\"Start\"\r\n";
    for (int k = 0;; ++k) {
        ASSERT_LT(k, 50);
        TempDir dir;
        dir.write("dabase.txt", start);
        Files files(dir.path());
        FaultAt fault(k);
        fault.install(files);
        try {
            qv::writeDabase(files, {"c:\\q\\thermo.mdb", "c:\\q\\type6.mdb", "c:\\q\\comp.mdb", "c:\\q\\gaussian.mdb"});
        } catch (const qv::Error&) {
        }
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"dabase.txt"});
        if (!fault.fired) {
            EXPECT_EQ(dir.read("dabase.txt"),
                      "\"c:\\q\\thermo.mdb\",\"c:\\q\\type6.mdb\",\"c:\\q\\comp.mdb\",\"c:\\q\\gaussian.mdb\"\r\n");
            break;
        }
        EXPECT_EQ(dir.read("dabase.txt"), start);
    }
}

TEST(AtomicReplace, RealFailuresLeaveNoTemporary)
{
    TempDir dir;
    dir.write("db.mdb", oldBytes);
    dir.write("adir/keep.txt", "x");
    Files files(dir.path());
    // The target is a directory: the replacement fails, the temporary goes.
    qv::Error onDir = errorOf([&] { files.rewrite("dbnamep.mdb", "adir", newBytes); });
    EXPECT_EQ(onDir.kind(), ErrorKind::RenameFailed);
    EXPECT_EQ(dir.read("adir/keep.txt"), "x");
    // The target's directory is missing.
    qv::Error noDir = errorOf([&] { files.rewrite("dbnamep.mdb", "gone/db.mdb", newBytes); });
    EXPECT_EQ(noDir.kind(), ErrorKind::PathNotFound);
    // The temporary's directory is missing: the target is not touched.
    qv::Error noTempDir = errorOf([&] { files.rewrite("gone/dbnamep.mdb", "db.mdb", newBytes); });
    EXPECT_EQ(noTempDir.kind(), ErrorKind::PathNotFound);
    EXPECT_EQ(dir.read("db.mdb"), oldBytes);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"adir", "db.mdb"}));
}

TEST(AtomicReplace, SymbolicLinkIsFollowedAndStaysALink)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights that Windows users rarely have; a link is replaced as a file there";
#else
    TempDir dir;
    dir.write("store/real.mdb", oldBytes);
    ASSERT_EQ(::symlink("store/real.mdb", (dir / "db.mdb").c_str()), 0);
    Files files(dir.path());
    files.rewrite("dbnamep.mdb", "db.mdb", newBytes);
    EXPECT_TRUE(isLink(dir / "db.mdb"));
    EXPECT_EQ(linkText(dir / "db.mdb"), "store/real.mdb");
    EXPECT_EQ(dir.read("store/real.mdb"), newBytes);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"db.mdb", "store"}));
    EXPECT_EQ(entriesOf(dir / "store"), std::vector<std::string>{"real.mdb"});
#endif
}

TEST(AtomicReplace, ChainOfLinksAndCopyFollowTheLinks)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights that Windows users rarely have; a link is replaced as a file there";
#else
    TempDir dir;
    dir.write("real.mdb", oldBytes);
    dir.write("source.mdb", newBytes);
    ASSERT_EQ(::symlink((dir / "real.mdb").c_str(), (dir / "second").c_str()), 0);
    ASSERT_EQ(::symlink("second", (dir / "first").c_str()), 0);
    Files files(dir.path());
    files.copyFile("source.mdb", "first");
    EXPECT_TRUE(isLink(dir / "first"));
    EXPECT_TRUE(isLink(dir / "second"));
    EXPECT_EQ(dir.read("real.mdb"), newBytes);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"first", "real.mdb", "second", "source.mdb"}));
#endif
}

TEST(AtomicReplace, PermissionBitsAreKept)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX permission bits; the read-only attribute is kept in "
                    "FileNames.ReadOnlyFileStaysReadOnlyThroughEverySave";
#else
    for (mode_t mode : {0600, 0640, 0751, 0444}) {
        SCOPED_TRACE(mode);
        TempDir dir;
        dir.write("deftempar.dat", oldBytes);
        dir.write("copy.src", newBytes);
        dir.write("copied.dat", oldBytes);
        ASSERT_EQ(::chmod((dir / "deftempar.dat").c_str(), mode), 0);
        ASSERT_EQ(::chmod((dir / "copied.dat").c_str(), mode), 0);
        Files files(dir.path());
        files.rewrite("deftempar.tmp", "deftempar.dat", newBytes);
        files.copyFile("copy.src", "copied.dat");
        EXPECT_EQ(modeOf(dir / "deftempar.dat"), mode);
        EXPECT_EQ(modeOf(dir / "copied.dat"), mode);
        EXPECT_EQ(dir.read("deftempar.dat"), newBytes);
        EXPECT_EQ(dir.read("copied.dat"), newBytes);
    }
#endif
}

TEST(AtomicReplace, AcrossFileSystemsAtEveryStep)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs symbolic links and /dev/shm as a second file system";
#else
    TempDir dir;
    OtherFileSystemDir other;
    if (!other.differsFrom(dir.path())) GTEST_SKIP() << "no second file system to write to";
    // The target is a link into the other file system, so the finished temporary cannot be
    // renamed over it directly.
    const std::string real = other.path() + "/sorp.mdb";
    bool sawNewContent = false;
    for (int k = 0;; ++k) {
        ASSERT_LT(k, 60);
        {
            Files setup(other.path());
            setup.writeFile("sorp.mdb", oldBytes);
            ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
        }
        ::unlink((dir / "sorp.mdb").c_str());
        ASSERT_EQ(::symlink(real.c_str(), (dir / "sorp.mdb").c_str()), 0);
        Files files(dir.path());
        FaultAt fault(k);
        fault.install(files);
        try {
            files.rewrite("dbnamep.mdb", "sorp.mdb", newBytes);
        } catch (const qv::Error&) {
        }
        EXPECT_TRUE(isLink(dir / "sorp.mdb"));
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"sorp.mdb"});
        EXPECT_EQ(entriesOf(other.path()), std::vector<std::string>{"sorp.mdb"});
        EXPECT_EQ(modeOf(real), 0640u);
        const std::string now = Files(other.path()).readBytes("sorp.mdb");
        if (!fault.fired) {
            EXPECT_EQ(now, newBytes);
            break;
        }
        const FileStep at = fault.steps.back();
        SCOPED_TRACE(qv::stepName(at));
        // Old content up to the rename that puts the new file in place; whole new content only
        // after it (the clean-up of the temporary comes last); never a mixture.
        if (now == newBytes) {
            sawNewContent = true;
            EXPECT_EQ(at, FileStep::Delete);
        } else {
            EXPECT_FALSE(sawNewContent);
            EXPECT_EQ(now, oldBytes);
        }
    }
#endif
}

// ---- Failures named as the users know them --------------------------------------------------

TEST(Files, MissingFileIsFileNotFoundNamingIt)
{
    TempDir dir;
    Files files(dir.path());
    qv::Error e = errorOf([&] { files.openRead("comp.mdb"); });
    EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
    EXPECT_EQ(e.file(), "comp.mdb");
    EXPECT_STREQ(e.what(), "File not found: comp.mdb");
    EXPECT_STREQ(errorOf([&] { files.deleteFile("analytp.mdb"); }).what(), "File not found: analytp.mdb");
    EXPECT_STREQ(errorOf([&] { files.copyFile("a.mdb", "b.mdb"); }).what(), "File not found: a.mdb");
    EXPECT_FALSE(dir.exists("b.mdb"));
    // A directory is not a file to read.
    dir.write("sub/x", "");
    EXPECT_EQ(errorOf([&] { files.readBytes("sub"); }).kind(), ErrorKind::FileNotFound);
    // A current directory that does not exist (any more): its files are not found either.
    Files gone(dir / "gone");
    EXPECT_STREQ(errorOf([&] { gone.openRead("dabase.txt"); }).what(), "File not found: dabase.txt");
}

TEST(Files, FailedReadIsAReadFailureNotTheEndOfTheFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file that opens but cannot be read (/proc/self/mem)";
#else
    // The process's own memory opens as a file but cannot be read at offset 0.
    Files files("/proc/self");
    if (!files.exists("mem")) GTEST_SKIP() << "no /proc/self/mem";
    qv::Error e = errorOf([&] { files.readBytes("mem"); });
    EXPECT_EQ(e.kind(), ErrorKind::ReadFailed);
    EXPECT_STREQ(e.what(), "Read failed: mem");
#endif
}

TEST(Files, MissingDirectoryIsPathNotFound)
{
    TempDir dir;
    dir.write("afile", "x");
    Files files(dir.path());
    qv::Error e = errorOf([&] { files.changeDir("nodir"); });
    EXPECT_EQ(e.kind(), ErrorKind::PathNotFound);
    EXPECT_STREQ(e.what(), "Path not found: nodir");
    EXPECT_EQ(errorOf([&] { files.changeDir(""); }).kind(), ErrorKind::PathNotFound);
    EXPECT_EQ(errorOf([&] { files.changeDir("afile"); }).kind(), ErrorKind::PathNotFound);
    EXPECT_EQ(files.currentDir(), dir.path());
    qv::Error w = errorOf([&] { files.writeFile(qv::joinPath("nodir", "out.txt"), "x"); });
    EXPECT_EQ(w.kind(), ErrorKind::PathNotFound);
    EXPECT_STREQ(w.what(), ("Path not found: " + qv::joinPath("nodir", "out.txt")).c_str());
}

// ---- The current directory of a tool -------------------------------------------------------

TEST(Files, CurrentDirectoryIsTheToolsOwn)
{
    TempDir dir;
    dir.write("comp.mdb", "top");
    dir.write("sub/comp.mdb", "sub");
    const std::string before = Files::processDirectory();

    Files files(dir.path());
    EXPECT_EQ(files.readBytes("comp.mdb"), "top");
    files.changeDir("sub");
    EXPECT_EQ(files.currentDir(), qv::joinPath(dir.path(), "sub"));
    EXPECT_EQ(files.readBytes("comp.mdb"), "sub");
    EXPECT_EQ(files.resolve("x.mdb"), qv::joinPath(files.currentDir(), "x.mdb"));
    EXPECT_EQ(files.readBytes(dir / "comp.mdb"), "top");  // a full path stays as it is
    EXPECT_EQ(files.resolve(dir / "comp.mdb"), dir / "comp.mdb");
    EXPECT_TRUE(files.exists("comp.mdb"));
    EXPECT_FALSE(files.exists("thermo.mdb"));
    files.changeDir(dir.path());
    EXPECT_EQ(files.readBytes("comp.mdb"), "top");

    EXPECT_EQ(Files::processDirectory(), before);  // the process's current directory was never touched
}

TEST(Files, BytesPassUnchanged)
{
    TempDir dir;
    Files files(dir.path());
    std::string bytes = "\"Fe\xE9\",1\r\n";
    bytes += std::string(1, '\0');
    bytes += "\n\r\xFF";
    files.writeFile("raw.dat", bytes);
    EXPECT_EQ(files.readBytes("raw.dat"), bytes);
    EXPECT_EQ(dir.read("raw.dat"), bytes);
    files.copyFile("raw.dat", "copy.dat");
    EXPECT_EQ(dir.read("copy.dat"), bytes);
    files.deleteFile("raw.dat");
    EXPECT_FALSE(dir.exists("raw.dat"));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"copy.dat"});
}

TEST(Files, PathHelpers)
{
    EXPECT_EQ(qv::joinPath("a", "b.mdb"), std::string("a") + qv::pathSeparator + "b.mdb");
    EXPECT_EQ(qv::joinPath("a/", "b.mdb"), "a/b.mdb");
    EXPECT_EQ(qv::lastChars("demo.MDB", 3), "MDB");
    EXPECT_EQ(qv::lastChars("c:\\q\\x.Iso", 3), "Iso");
    EXPECT_EQ(qv::lastChars("ab", 3), "ab");
    EXPECT_EQ(qv::lastChars("", 3), "");
}

// ---- A fault planned for the whole process (the programs' --fault option) -------------------

TEST(FaultPlan, ParsesStepCountAndAction)
{
    auto plan = qv::parseFaultPlan("rename:2:kill");
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->step, FileStep::Rename);
    EXPECT_EQ(plan->occurrence, 2);
    EXPECT_TRUE(plan->kill);
    plan = qv::parseFaultPlan("write:1:fail");
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->step, FileStep::Write);
    EXPECT_FALSE(plan->kill);
    for (const char* bad : {"", "rename", "rename:2", "rename::fail", "rename:x:fail", "rename:2:crash", "move:1:fail",
                            "rename:-1:fail", "rename:1234567:fail", "rename:2:kill:extra"})
        EXPECT_FALSE(qv::parseFaultPlan(bad)) << bad;
}

TEST(FaultPlan, PlannedFailureHitsTheNthStepAndLeavesTheOldFile)
{
    TempDir dir;
    dir.write("analyt.mdb", oldBytes);
    Files files(dir.path());
    qv::planFault({FileStep::Rename, 2, false});
    files.rewrite("analytp.mdb", "analyt.mdb", newBytes);  // the first rename goes through
    EXPECT_EQ(dir.read("analyt.mdb"), newBytes);
    qv::Error e = errorOf([&] { files.rewrite("analytp.mdb", "analyt.mdb", oldBytes); });
    qv::planFault({});
    EXPECT_EQ(e.kind(), ErrorKind::WriteFailed);
    EXPECT_EQ(dir.read("analyt.mdb"), newBytes);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"analyt.mdb"});
    files.rewrite("analytp.mdb", "analyt.mdb", oldBytes);  // no fault planned any more
    EXPECT_EQ(dir.read("analyt.mdb"), oldBytes);
}
