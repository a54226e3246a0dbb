#pragma once
// The checks of the default settings `deftempar.dat` and the directory file `dabase.txt`, and
// `prefkit --check`.

#include <string>
#include <vector>

#include "quenvar/check.h"
#include "quenvar/files.h"

namespace prefkit {

// Whether a path names a `dabase.txt` (its name ends so, in any letter case, as a copy such as
// "old-dabase.txt" does); any other file is checked as a default settings file.
bool isDabaseFile(const std::string& path);

// Checks `dabase.txt`: every database path it names must name an existing file (a relative
// path counts from the file's own directory).
void checkDabase(const qv::Files& files, const std::string& path, qv::check::Report& report);

// Checks a default settings file: setting codes and model parameters, its database paths, and
// whether they are those of the `dabase.txt` beside it.
void checkDefaults(const qv::Files& files, const std::string& path, qv::check::Report& report);

// `prefkit --check FILE... [--json]`: `args` are the words after `--check`.
int checkMain(const std::vector<std::string>& args);

}  // namespace prefkit
