// File names and paths as the users' systems know them: Windows-1252 bytes in names, drive
// letters and roots, read-only files, and files that another program holds open.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/files.h"
#include "testsupport.h"

using qv::ErrorKind;
using qv::Files;
using qvtest::TempDir;
namespace fs = std::filesystem;

namespace {

const std::string oldBytes = "1,\"old\"\r\n";
const std::string newBytes = "2,\"new, longer\"\r\n\x1A\r\n";

[[maybe_unused]] qv::Error errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const qv::Error& e) {
        return e;
    }
    ADD_FAILURE() << "no qv::Error was thrown";
    return qv::Error(ErrorKind::BadFormat, "(none)");
}

#ifdef _WIN32
std::wstring wideAscii(const std::string& text) { return std::wstring(text.begin(), text.end()); }
bool windowsHas(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
#endif

}  // namespace

// 0xE9 is "é" in Windows-1252 and in Latin-1; 0x80 is the euro sign in Windows-1252 only.
TEST(FileNames, Windows1252BytesNameTheFilesTheUserSees)
{
    TempDir dir;
    Files files(dir.path());
    const std::string name = "caf\xE9 \x80.mdb";
    files.writeFile(name, oldBytes);
    EXPECT_TRUE(files.exists(name));
    EXPECT_EQ(files.readBytes(name), oldBytes);
    files.rewrite("tmp\xE9.mdb", name, newBytes);
    files.copyFile(name, "copy \x80.mdb");
    EXPECT_EQ(files.readBytes(name), newBytes);
    EXPECT_EQ(files.readBytes("copy \x80.mdb"), newBytes);
    EXPECT_FALSE(files.exists("tmp\xE9.mdb"));
#ifdef _WIN32
    const std::wstring base = wideAscii(dir.path()) + L"\\";
    EXPECT_TRUE(windowsHas(base + L"caf\u00E9 \u20AC.mdb"));
    EXPECT_TRUE(windowsHas(base + L"copy \u20AC.mdb"));
    EXPECT_FALSE(windowsHas(base + L"copy \u0080.mdb"));
    // A current directory whose name holds the bytes reads back as the same bytes.
    const std::wstring sub = base + L"d\u00E9p\u00F4t \u20AC";
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    const std::string before = Files::processDirectory();
    ASSERT_TRUE(::SetCurrentDirectoryW(sub.c_str()));
    const std::string here = Files::processDirectory();
    ASSERT_TRUE(::SetCurrentDirectoryW(wideAscii(before).c_str()));
    EXPECT_EQ(here, qv::joinPath(dir.path(), "d\xE9p\xF4t \x80"));
    files.changeDir("d\xE9p\xF4t \x80");
    files.writeFile("x.dat", oldBytes);
    EXPECT_TRUE(windowsHas(sub + L"\\x.dat"));
    files.deleteFile("x.dat");
    files.changeDir(dir.path());
    ASSERT_TRUE(::RemoveDirectoryW(sub.c_str()));
#else
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{name, "copy \x80.mdb"}));
#endif
    files.deleteFile(name);
    files.deleteFile("copy \x80.mdb");
    EXPECT_TRUE(dir.entries().empty());
}

// dabase.txt names the databases by full paths with drive letters; they are kept byte for byte
// through a save, give the drive, and (on Windows) name the files.
TEST(FileNames, DriveLetterPathsInDabaseNameTheDatabases)
{
    TempDir dir;
#ifdef _WIN32
    const std::string base = dir.path();
#else
    const std::string base = "C:\\quenvar\\d\xE9p\xF4t";
#endif
    const std::vector<std::string> paths{base + "\\thermo.mdb", base + "\\type6.mdb", base + "\\comp.mdb",
                                         base + "\\gaussian.mdb"};
    Files files(dir.path());
    qv::writeDabase(files, {paths[0], paths[1], paths[2], paths[3]});
    EXPECT_EQ(dir.read("dabase.txt"),
              "\"" + paths[0] + "\",\"" + paths[1] + "\",\"" + paths[2] + "\",\"" + paths[3] + "\"\r\n");
    const auto fields = qv::readDabase(files, 4);
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(fields[k].equalsText(paths[k])) << k;
    EXPECT_EQ(qv::driveOf(fields[0]), base.substr(0, 1));
#ifdef _WIN32
    dir.write("comp.mdb", oldBytes);
    EXPECT_EQ(files.readBytes(fields[2].asText()), oldBytes);
#endif
}

// The read-only rule: a file the user made read-only stays so after the tools rewrite it (the
// POSIX permission bits are checked in AtomicReplace.PermissionBitsAreKept).
TEST(FileNames, ReadOnlyFileStaysReadOnlyThroughEverySave)
{
    TempDir dir;
    dir.write("deftempar.dat", oldBytes);
    dir.write("copied.dat", oldBytes);
    dir.write("source.dat", newBytes);
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    for (const char* name : {"deftempar.dat", "copied.dat"}) fs::permissions(dir / name, readOnly);
    Files files(dir.path());
    files.rewrite("deftempar.tmp", "deftempar.dat", newBytes);
    files.copyFile("source.dat", "copied.dat");
    for (const char* name : {"deftempar.dat", "copied.dat"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(dir.read(name), newBytes);
        EXPECT_EQ(fs::status(dir / name).permissions() & fs::perms::owner_write, fs::perms::none);
        fs::permissions(dir / name, fs::perms::owner_write, fs::perm_options::add);
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"copied.dat", "deftempar.dat", "source.dat"}));
}

TEST(FileNames, FileHeldOpenByAnotherProgramIsNamedAndKeptWhole)
{
#ifndef _WIN32
    GTEST_SKIP() << "POSIX systems have no mandatory sharing modes";
#else
    TempDir dir;
    dir.write("sorp.mdb", oldBytes);
    Files files(dir.path());
    // Another program holds the file open and shares it with nobody.
    HANDLE held = ::CreateFileW(wideAscii(dir / "sorp.mdb").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const qv::Error replaced = errorOf([&] { files.rewrite("sorpp.mdb", "sorp.mdb", newBytes); });
    const qv::Error read = errorOf([&] { files.readBytes("sorp.mdb"); });
    ::CloseHandle(held);
    EXPECT_EQ(replaced.kind(), ErrorKind::RenameFailed);
    EXPECT_STREQ(replaced.what(), "Replace failed (the file is in use by another program): sorp.mdb");
    EXPECT_EQ(read.kind(), ErrorKind::PermissionDenied);
    EXPECT_STREQ(read.what(), "Permission denied (the file is in use by another program): sorp.mdb");
    EXPECT_EQ(dir.read("sorp.mdb"), oldBytes);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"sorp.mdb"});
    // Once the other program lets go, the save goes through.
    files.rewrite("sorpp.mdb", "sorp.mdb", newBytes);
    EXPECT_EQ(dir.read("sorp.mdb"), newBytes);
#endif
}

// What a path means in the tool's terms on Windows: the tool keeps one current directory of its
// own; a root without a drive is on that directory's drive; a drive without a root is that
// directory when it is on that drive, else the drive's root.
TEST(FileNames, DrivesAndRootsInTheToolsTerms)
{
#ifndef _WIN32
    GTEST_SKIP() << "paths have no drive letters on POSIX systems";
#else
    const struct {
        const char* current;
        const char* name;
        const char* full;
    } cases[] = {
        {"C:\\data\\q", "x.mdb", "C:\\data\\q\\x.mdb"},
        {"C:\\data\\q", "\\x.mdb", "C:\\x.mdb"},
        {"C:\\data\\q", "/q/x.mdb", "C:/q/x.mdb"},
        {"C:\\data\\q", "C:x.mdb", "C:\\data\\q\\x.mdb"},
        {"C:\\data\\q", "c:x.mdb", "C:\\data\\q\\x.mdb"},
        {"C:\\data\\q", "D:x.mdb", "D:\\x.mdb"},
        {"C:\\data\\q", "D:\\y\\x.mdb", "D:\\y\\x.mdb"},
        {"C:\\data\\q", "\\\\srv\\share\\x.mdb", "\\\\srv\\share\\x.mdb"},
        {"\\\\srv\\share\\dir", "\\x.mdb", "\\\\srv\\share\\x.mdb"},
        {"\\\\srv\\share\\dir", "x.mdb", "\\\\srv\\share\\dir\\x.mdb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.current) + " + " + c.name);
        EXPECT_EQ(Files(c.current).resolve(c.name), c.full);
    }

    TempDir dir;
    Files files(dir.path());
    ASSERT_GE(dir.path().size(), 3u);
    const char own = dir.path()[0];
    // The drive the current directory is on: nothing changes.
    files.changeDrive(std::string(1, own));
    EXPECT_EQ(files.currentDir(), dir.path());
    // A drive that does not exist is "Device unavailable", and nothing changes either.
    const DWORD drives = ::GetLogicalDrives();
    char missing = 0, other = 0;
    for (char d = 'Z'; d >= 'D'; --d) {
        const bool there = (drives >> (d - 'A')) & 1u;
        if (!there && !missing) missing = d;
        if (there && d != own && !other) other = d;
    }
    ASSERT_NE(missing, 0) << "every drive letter is in use";
    EXPECT_STREQ(errorOf([&] { files.changeDrive(std::string(1, missing)); }).what(),
                 ("Device unavailable: " + std::string(1, missing)).c_str());
    EXPECT_EQ(files.currentDir(), dir.path());
    const qv::Error onMissing = errorOf([&] { files.writeFile(std::string(1, missing) + ":\\q\\x.dat", "x"); });
    EXPECT_EQ(onMissing.kind(), ErrorKind::PathNotFound);
    // Another drive that exists: the tool starts at its root.
    if (other) {
        files.changeDrive(std::string(1, other));
        EXPECT_EQ(files.currentDir(), std::string(1, other) + ":\\");
    }
#endif
}
