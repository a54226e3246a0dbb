#pragma once
// Shared helpers of the tests: temporary data directories, file bytes, and running a tool in
// script mode as a separate process.

#include <string>
#include <string_view>
#include <vector>

namespace qvtest {

// A fresh directory under the system's temporary directory, removed with everything in it
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const;

    void write(std::string_view name, std::string_view bytes) const;  // creates subdirectories too
    std::string read(std::string_view name) const;                    // throws when missing
    bool exists(std::string_view name) const;
    // Names of the entries of the directory (not recursive), sorted.
    std::vector<std::string> entries() const;

private:
    std::string path_;
};

// Lines joined with CR LF, each ended by CR LF: the way the suite writes files.
std::string crlf(std::initializer_list<std::string_view> lines);

struct RunResult {
    int status = -1;  // exit status of the program; -1 when it did not exit normally
    int signal = 0;   // the signal that ended it, if one did
    bool timedOut = false;
    std::string output;  // standard output
    std::string errors;  // standard error
};

// Runs `program [extra...] --script FILE` in `dir`. A run still going after `timeoutSeconds`
// is killed and reported as timed out. A tool registered for in-process runs (inprocess.h) runs
// in this process instead where the arguments need no process of its own.
RunResult runScript(const std::string& program, const std::string& dir, std::string_view script,
                    const std::vector<std::string>& extra = {}, int timeoutSeconds = 120);

}  // namespace qvtest
