#pragma once
// File access of a tool: the directory it holds as its current directory, reading whole record
// files, and rewriting files so that a failure at any moment leaves the old content whole.
//
// The current directory is state of this object, not of the process, so that several windows
// (and tests) can run side by side in one process.
//
// The operating system's calls are made through common/osfile.h (files_posix.cpp,
// files_win32.cpp); names are the suite's Windows-1252 text on every system.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "quenvar/record.h"

namespace qv {

// The steps of writing and replacing a file, named so that tests can make any one of them fail.
enum class FileStep { Open, Write, Flush, Close, Rename, Copy, Delete };
const char* stepName(FileStep step);

#ifdef _WIN32
inline constexpr char pathSeparator = '\\';
#else
inline constexpr char pathSeparator = '/';
#endif

// Joins a directory and a file name with the platform's separator.
std::string joinPath(std::string_view dir, std::string_view name);
bool isAbsolutePath(std::string_view path);
// The last three characters of a path (fewer when it is shorter).
std::string_view lastChars(std::string_view path, std::size_t count);

// A fault planned for the whole process, for the crash-safety tests of the programs: at the
// `occurrence`-th time any Files object reaches `step`, the step fails (throws) or the process
// is killed on the spot. Set once at start from the `--fault STEP:N:fail|kill` option.
struct FaultPlan {
    FileStep step = FileStep::Open;
    int occurrence = 0;  // 0: no fault planned
    bool kill = false;
};
void planFault(const FaultPlan& plan);
// Whether the planned fault has been reached since it was planned (tests that plan a failure in
// their own process use it to tell a step that never occurs from one that was survived).
bool plannedFaultReached();
// Parses "rename:2:kill"; nothing for a text that names no step, count and action.
std::optional<FaultPlan> parseFaultPlan(std::string_view text);

class Files {
public:
    // Starts in the given directory (a tool passes the process's current directory at start).
    explicit Files(std::string currentDir);
    // The process's current directory.
    static std::string processDirectory();

    const std::string& currentDir() const { return currentDir_; }
    // Changes the current directory; a directory that does not exist is "Path not found".
    void changeDir(const std::string& path);
    // Changes the current drive. Where paths have no drive letters this succeeds without
    // effect for any one-letter name; an empty name fails ("Device unavailable"). On Windows a
    // drive that does not exist fails too, and another drive starts at its root directory.
    void changeDrive(std::string_view drive);

    // The full path of a name relative to the current directory (a full path stays as it is).
    // On Windows "\\x" is x at the root of the current directory's drive, and "C:x" is x in the
    // current directory when that is on drive C, else x at the root of C.
    std::string resolve(std::string_view name) const;
    bool exists(std::string_view name) const;

    // Reads a whole file into a record reader named as the caller named it.
    RecordReader openRead(std::string_view name) const;
    std::string readBytes(std::string_view name) const;

    // Writes a file completely (create or truncate), flushed to disk.
    void writeFile(std::string_view name, std::string_view bytes) const;
    // Copies a file over another (the target is replaced atomically).
    void copyFile(std::string_view from, std::string_view to) const;
    void deleteFile(std::string_view name) const;

    // Replaces `target` by the finished file `temp` in one atomic step and removes `temp`.
    // Follows a symbolic link at `target` to the file it names, keeps the target's permission
    // bits, and works when the two lie on different file systems. At every instant the target
    // holds its old or its new content.
    void replace(std::string_view temp, std::string_view target) const;

    // A whole rewrite: writes `bytes` into the temporary file `temp`, then replaces `target` by
    // it. On failure the target is as it was, `temp` is removed, and the error is rethrown.
    void rewrite(std::string_view temp, std::string_view target, std::string_view bytes) const;

    // Called before each step with the step and the file it concerns; a test may throw from
    // it to make that step fail.
    std::function<void(FileStep, const std::string&)> faultHook;

private:
    void step(FileStep s, const std::string& path) const;
    std::string currentDir_;
};

}  // namespace qv
