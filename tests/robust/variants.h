#pragma once
// Bad variants of a good data file, as another program or a damaged disk might leave them.

#include <string>
#include <vector>

namespace qvtest {

struct Variant {
    std::string name;  // what was done to the file, for failure messages
    std::string bytes;
    bool directory = false;  // a directory stands where the file should be
};

// Every kind of damage: the file cut at every field boundary (at most `maxCuts`, evenly spread)
// and in the middle of fields, an unclosed quote, CR-only and LF-only line ends, NUL and other
// binary bytes, a word where a number stands, numbers far out of range, one 10 MB line, an empty
// file, and a directory in its place.
std::vector<Variant> badVariants(const std::string& good, std::size_t maxCuts = 40);

}  // namespace qvtest
