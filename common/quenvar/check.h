#pragma once
// Data checks: what is wrong in a data file, found by reading it (a check never changes a file).
//
// A finding names the file, the line of the record's first field, the record's key, a severity
// (error: Quenvar will not use the data as meant; warning: likely a mistake), a short stable
// code and a message in plain words. A report holds the findings of one run in file order and
// renders them as compiler-style lines (`FILE:LINE: error: MESSAGE [code]`) or as one JSON
// object per line.

#include <array>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/files.h"
#include "quenvar/record.h"

namespace qv::check {

enum class Severity { Error, Warning };
const char* severityName(Severity severity);

struct Finding {
    std::string file;  // as the user named it
    int line = 0;      // from 1; 0 when the finding concerns the file as a whole
    std::string key;   // the record's key: species ID and name, the pair, the set, ...
    Severity severity = Severity::Error;
    std::string code;  // short and stable: "unknown-component"
    std::string message;
    std::string name;   // the name under which the tool's window lists the record (for picking)
    std::string name2;  // where one name is not enough: species 2 of a SIT pair, the section
                        // ("solid" or "aqueous") of an analyte
};

class Report {
public:
    // Adds a finding; one equal to a finding already reported at the same place (same file, line,
    // code and message) is dropped.
    void add(Finding finding);
    void error(std::string file, int line, std::string key, std::string code, std::string message,
               std::string name = {});
    void warning(std::string file, int line, std::string key, std::string code, std::string message,
                 std::string name = {});
    // A file that cannot be read on from `line`: an `unreadable` error naming the failure.
    // `nothingRead`: not one record of a checked file could be read (the run's status is 2).
    void unreadable(std::string file, int line, std::string_view failure, bool nothingRead);

    // Findings of each file in the order the files were first named, by line within a file.
    const std::vector<Finding>& findings() const;
    int errors() const { return errors_; }
    int warnings() const { return warnings_; }
    // A checked file could not be read at all.
    bool fatal() const { return fatal_; }
    void setFatal() { fatal_ = true; }
    // 0: no error (warnings allowed); 1: an error; 2: a file could not be read at all.
    int exitStatus() const { return fatal_ ? 2 : errors_ ? 1 : 0; }

private:
    mutable std::vector<Finding> findings_;
    mutable bool sorted_ = true;
    std::map<std::string, std::size_t> fileOrder_;
    int errors_ = 0;
    int warnings_ = 0;
    bool fatal_ = false;
};

// `FILE:LINE: error: MESSAGE [code]` (`FILE: error: ...` for a finding without a line).
std::string textLine(const Finding& finding);
// {"file":..,"line":..,"severity":..,"code":..,"key":..,"message":..}; the files' Windows-1252
// bytes come out as UTF-8.
std::string jsonLine(const Finding& finding);
// The findings window's line: "line N: error: MESSAGE" (the file is named when it is not
// `shownFile`).
std::string windowLine(const Finding& finding, std::string_view shownFile);
// "2 errors, 3 warnings in demo.mdb" or "No problems found in demo.mdb".
std::string summary(int errors, int warnings, std::string_view fileName);

// Prints every finding, one line each, text or JSON.
void print(const Report& report, bool json, std::ostream& out);

// The command line of a check: FILE... [--json] [--NAME VALUE] for the value options named.
struct Arguments {
    std::vector<std::string> files;
    bool json = false;
    std::map<std::string, std::string> values;  // by option name without the dashes
};
// Nothing for a wrong command line: an unknown option, an option without its value, no file.
std::optional<Arguments> parseArguments(const std::vector<std::string>& args,
                                        const std::vector<std::string>& valueOptions, bool needFiles = true);

// Reads a whole file for a check. A file that cannot be opened is an `unreadable` finding;
// `checked`: it is one of the files being checked (then the run's status is 2).
std::optional<RecordReader> openForCheck(const Files& files, const std::string& path, Report& report, bool checked);

// The four database paths of a `dabase.txt` (thermodynamic, solids, components, DOM). Nothing
// when it cannot be read (an `unreadable` finding) or when it still holds "Start" (a fresh
// installation names no databases yet).
std::optional<std::array<std::string, 4>> readDabasePaths(const Files& files, const std::string& path, Report& report,
                                                          bool checked);

// The line where a reading stopped: the reader's line, or the last line of the file when the
// whole file has been read (the line after its last line end holds nothing).
int stopLine(const RecordReader& in);

// The directory part of a path ("" for a bare name).
std::string directoryOf(std::string_view path);

// The last part of a path, after its last slash or backslash.
std::string baseName(std::string_view path);

// Names that are written close to `name`, closest first (Levenshtein distance, at most half the
// length of the name and at least 1), at most `most` of them.
std::size_t editDistance(std::string_view a, std::string_view b);
std::vector<std::string> closestNames(std::string_view name, const std::vector<std::string>& candidates,
                                      std::size_t most = 3);
// "; did you mean "A", "B" or "C"?" for the closest names, "" when there are none.
std::string didYouMean(std::string_view name, const std::vector<std::string>& candidates);

// What went wrong in a read, without the file's name (the finding names the file).
std::string failureOf(const Error& error);

// A number for a message: the number form, as the files hold numbers.
std::string num(double value);
// A name for a message: in double quotes.
std::string quoted(std::string_view text);

}  // namespace qv::check
