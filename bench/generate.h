#pragma once
// Generated data files of the largest sizes the tools accept, for the benchmarks and the
// load tests. Every file is written as the suite writes it (CR LF, quoted texts).

#include <string>

namespace qvbench {

// A sorption database of `species` species. kind: "mdb" complexation, "cdb" counterion
// selectivity, "iso" isotherm (Freundlich, with M.B. blocks), "nic" NICA-Donnan, "bli" BLM.
// IDs are consecutive from a surface-group block, so the ID proposal has a long run to pass.
std::string sorptionFile(const std::string& kind, int species);
// comp.mdb of `records` components (IDs 1..records, with the surface groups 811, 812, 816).
std::string compFile(int records);
// thermo.mdb / type6.mdb of `species` species with a terminating record.
std::string thermoFile(int species, bool solids);
// analyt.mdb with `solids` solid and `aqueous` aqueous species.
std::string analytFile(int solids, int aqueous);
// sit_eta.txt of `pairs` pairs (cation names "Cat1+"..., anion names "An1-"...).
std::string sitFile(int pairs);
// A site file holding ten sets with the largest counts.
std::string siteFile();
// deftempar.dat naming `dataDir`.
std::string defaultsFile(const std::string& dataDir);
// dabase.txt naming the databases of `dataDir`.
std::string dabaseFile(const std::string& dataDir);

}  // namespace qvbench
