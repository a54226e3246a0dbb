#pragma once
// The checks of a sorption database (*.MDB, *.CDB, *.ISO, *.NIC, *.BLI) against the component
// database `comp.mdb`, and `surfkit --check`.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "quenvar/check.h"
#include "quenvar/files.h"

namespace surfkit {

// Every record of a component database (not only the first 400 that the window reads).
struct ComponentTable {
    struct Entry {
        std::string name;
        double charge = 0;
        int record = 0;  // from 1; the first record of that ID
    };
    std::unordered_map<double, Entry> byId;
    bool loaded = false;  // false: the file could not be read, the checks that need it are skipped
};

// Reads `path` whole. A damaged file is an `unreadable` finding; the records before it count.
ComponentTable readComponentTable(const qv::Files& files, const std::string& path, qv::check::Report& report);

// Checks one sorption database, whose kind follows from its name, reading it once. `shownName`
// names it in the findings. A file that cannot be read from its start is `unreadable` and makes
// the run's status 2.
void checkSorption(const qv::Files& files, const std::string& path, const ComponentTable& components,
                   qv::check::Report& report);
// The same on bytes already read.
void checkSorptionBytes(std::string bytes, const std::string& path, const ComponentTable& components,
                        qv::check::Report& report);

// What a save adds to its message when the species just written (by name) has an
// `unknown-component` or `charge-balance` finding: those findings' messages, one a line; empty
// when it has none. A warning only: the save has happened.
std::string saveNote(const qv::Files& files, const std::string& database, const std::string& compPath,
                     const std::string& speciesName);

// `surfkit --check FILE... [--json] [--comp PATH]`: `args` are the words after `--check`.
// comp.mdb is the one of the data directory, found as at start-up; `--comp` names another.
// Prints the report on standard output; returns 0 (no error), 1 (an error) or 2 (a file could
// not be read at all, or the arguments are wrong: a usage line on standard error).
int checkMain(const std::vector<std::string>& args);

}  // namespace surfkit
