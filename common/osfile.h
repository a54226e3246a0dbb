#pragma once
// The operating system's side of the file layer: the few calls files.cpp makes, behind one narrow
// interface. files_posix.cpp implements it with POSIX calls, files_win32.cpp with the wide Win32
// API. Internal to common/: no public header includes it.
//
// Paths are the suite's text, Windows-1252 bytes; each implementation passes them to its system as
// that system needs (POSIX: the bytes as they are; Windows: converted to UTF-16).

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv::osfile {

// What went wrong, as far as the file layer tells failures apart.
enum class Fault {
    None,
    NotFound,       // no such file or directory (also: a drive that does not exist)
    NotADirectory,  // a part of the path is a file
    IsADirectory,   // the path names a directory where a file is needed
    Denied,         // no permission, a read-only file or file system
    CrossVolume,    // a rename between two file systems
    InUse,          // another program holds the file (still, after brief retries)
    Other,          // anything else (disk full, I/O error, ...)
};

// An open file: a file descriptor or a Windows handle.
using Handle = std::intptr_t;
inline constexpr Handle noHandle = -1;

// Opens an existing file for reading and gives its size (0 when unknown). A directory is
// refused with IsADirectory.
Fault openForReading(const std::string& path, Handle& handle, std::uint64_t& size);
// Reads up to `count` bytes; `got` is 0 at the end of the file.
Fault readSome(Handle handle, char* buffer, std::size_t count, std::size_t& got);
// Creates a file or truncates an existing one, for writing bytes exactly as given.
Fault openForWriting(const std::string& path, Handle& handle);
Fault writeAll(Handle handle, const char* bytes, std::size_t count);
// Makes the written bytes durable: on disk when this returns None. A file system that cannot
// flush (a pipe, some virtual file systems) is not a failure.
Fault flushToDisk(Handle handle);
Fault closeFile(Handle handle);

Fault removeFile(const std::string& path);
// Puts `from` in the place of `to` in one atomic step, replacing `to` when it exists.
// CrossVolume when the two lie on different file systems.
Fault renameOver(const std::string& from, const std::string& to);
// Makes a completed rename in `dir` durable (where the system needs a separate step for it).
void syncDirectory(const std::string& dir);

bool exists(const std::string& path);
bool isDirectory(const std::string& path);
// The file a path names after following symbolic links (the path itself where it names none).
std::string followLinks(const std::string& path);
// Gives `file` the access rights of `model` (POSIX permission bits; on Windows the read-only
// attribute), when `model` exists.
void copyAccess(const std::string& model, const std::string& file);

// The process's current directory.
std::string currentDirectory();
// Whether a drive letter names a drive of this machine (always true where paths have no drives).
bool driveExists(char letter);
// A number that tells this process from others running at the same time (for temporary names).
unsigned long processId();
// Ends the process at once, as a crash or a power cut would (no clean-up, no flush).
[[noreturn]] void killProcess();
// Standard input, output and error pass bytes unchanged (no line end translation).
void binaryStandardStreams();

}  // namespace qv::osfile
