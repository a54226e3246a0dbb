#pragma once
// The checks of a SIT coefficient file against the species and components it may name
// (`thermo.mdb` and `comp.mdb`), and `ionkit --check`.

#include <map>
#include <string>
#include <vector>

#include "quenvar/check.h"
#include "quenvar/files.h"

namespace ionkit {

// The names a pair may use, with their charges: the components of comp.mdb and the species of
// thermo.mdb, as the window offers them (a later record of a name gives its charge).
struct NameTable {
    std::map<std::string, double> charges;
    std::vector<std::string> names;
    bool loaded = false;
};
NameTable readNameTable(const qv::Files& files, const std::string& thermoPath, const std::string& compPath,
                        qv::check::Report& report);

// Checks one coefficient file, reading it once.
void checkSit(const qv::Files& files, const std::string& path, const NameTable& names, qv::check::Report& report);

// `ionkit --check FILE... [--json] [--thermo PATH] [--comp PATH]`: `args` are the words after
// `--check`. thermo.mdb and comp.mdb are the ones that dabase.txt of the data directory names.
int checkMain(const std::vector<std::string>& args);

}  // namespace ionkit
