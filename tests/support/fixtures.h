#pragma once
// Data files that many tests put in their directories.

#include <string>

#include "testsupport.h"

namespace qvtest {

// dabase.txt naming the four databases (thermo.mdb, type6.mdb, comp.mdb, gaussian.mdb) of the
// directory `root` by full path.
std::string dabaseNaming(const std::string& root);
// Writes that dabase.txt into `dir`, naming the directory by the path the test made it with.
void writeDabase(const TempDir& dir);

// The block that ends a sorption database, as the editor writes it. Defined here, ahead of every
// test's own constants, so that they may be made from it.
inline const std::string sorptionEndBlock = crlf(
    {R"(0,"",0,0,0,0,0,0,0,0)", "0,0", R"(0,"For QUENVAR",0,0,0,0,0,0,0,0)", "0,0", R"(0,"",0,0,0,0,0,0,0,0)", "0,0"});

}  // namespace qvtest
