#pragma once
// qvcheck: every check of the suite on the files of one data directory.

#include <iosfwd>
#include <string>
#include <vector>

namespace qvcheck {

// `qvcheck [DIR] [--json] [--help]` (`args` without the program name): checks every file of the
// suite that DIR holds with the databases DIR names, prints the report and a last line of
// totals on `out`, and returns 0 (no error), 1 (an error) or 2 (a file could not be read at all,
// or wrong arguments: a usage line on `err`).
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qvcheck
