#pragma once
// Data directories for the end-to-end runs of tracekit: dabase.txt naming the two thermodynamic
// databases, those databases and analyt.mdb, each test's own.

#include <gtest/gtest.h>

#include <string>

#include "fixtures.h"
#include "testsupport.h"

namespace tktest {

using qvtest::crlf;
using qvtest::RunResult;

inline const std::string header = "\"Analytes\"";
inline const std::string calcite = "6090550,\"Calcite\",-8.9456,-0.0125,1250,0,0,0,0";
inline const std::string gypsum = "6090540,\"Gypsum\",-4.9,0,95.4,0,0,0,0";
inline const std::string zero = "0,\"\",0,0,0,0,0,0,0";
inline const std::string hco3 = "550030,\"HCO3-\",7.6468,0,800,0,0,0,0";

// Aqueous species of thermo.mdb: group A (eleven fields), the component entries, group C.
inline const std::string thermoHco3 = "550030,\"HCO3-\",10.33,-14.6,0,0,-1,4.5,0,0,2";
inline const std::string thermoCo3 = "550040,\"CO3-2\",0,0,0,0,-2,4.5,0,0,1";
inline const std::string thermoEnd = "0,\"END\",0,0,0,0,0,0,0,0,0";
inline const std::string type6 =
    crlf({"6090550,\"Calcite\",8.48,-9.6,0,0,0,0,0,0,2", "1,9,1,55", "100.09,\"Test set\",\"\"",
          "6090540,\"Gypsum\",4.58,-1.1,0,0,0,0,0,0,2", "1,9,1,70", "172.17,\"Test set\",\"\"",
          "6090551,\"Aragonite\",8.34,-10.9,0,0,0,0,0,0,2", "1,9,1,55", "100.09,\"Test set\",\"\"", thermoEnd});

// A test's data directory with these files; run() starts tracekit there in script mode.
class TracekitDir : public ::testing::Test {
protected:
    TracekitDir(const std::string& analyt, const std::string& thermo)
    {
        qvtest::writeDabase(dir);
        dir.write("thermo.mdb", thermo);
        dir.write("type6.mdb", type6);
        dir.write("analyt.mdb", analyt);
    }

    RunResult run(const std::string& script) const { return qvtest::runScript(TRACEKIT_BIN, dir.path(), script); }
    std::string bytes() const { return dir.read("analyt.mdb"); }

    qvtest::TempDir dir;
};

}  // namespace tktest
