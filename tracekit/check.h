#pragma once
// The checks of the analyte database `analyt.mdb` against `thermo.mdb` (aqueous species) and
// `type6.mdb` (solids), and `tracekit --check`.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "quenvar/check.h"
#include "quenvar/files.h"

namespace tracekit {

// The species of a thermodynamic database as the editor looks them up: the ID of the first
// record of each name.
struct SpeciesTable {
    std::map<std::string, std::int32_t> firstId;
    std::vector<std::string> names;
    bool loaded = false;
};
SpeciesTable readSpeciesTable(const qv::Files& files, const std::string& path, qv::check::Report& report);

// Checks one analyte database, reading it once.
void checkAnalyt(const qv::Files& files, const std::string& path, const SpeciesTable& aqueous,
                 const SpeciesTable& solids, qv::check::Report& report);

// `tracekit --check FILE... [--json] [--thermo PATH] [--type6 PATH]`: `args` are the words after
// `--check`. The databases are the ones that dabase.txt of the data directory names.
int checkMain(const std::vector<std::string>& args);

}  // namespace tracekit
