#pragma once
// The checks of an HBM site settings file (*.MSI.TXT) and `humkit --check`.

#include <set>
#include <string>
#include <vector>

#include "quenvar/check.h"
#include "quenvar/files.h"

namespace humkit {

// The component names of comp.mdb (every record), for the cations that sets are named after.
struct CationNames {
    std::set<std::string> names;
    std::vector<std::string> inOrder;
    bool loaded = false;
};
CationNames readCationNames(const qv::Files& files, const std::string& compPath, qv::check::Report& report);

// Checks one site file, reading it once.
void checkSiteFile(const qv::Files& files, const std::string& path, const CationNames& cations,
                   qv::check::Report& report);

// `humkit --check FILE... [--json] [--comp PATH]`: `args` are the words after `--check`.
// comp.mdb is the one that dabase.txt of the data directory names.
int checkMain(const std::vector<std::string>& args);

}  // namespace humkit
