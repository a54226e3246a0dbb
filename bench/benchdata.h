#pragma once
// The benchmark data directory (generated once per run) and the registry that ties each measured
// action to the file it reads, so that every figure can be printed as a ratio to the floor of that
// file (its bytes read and split at commas and line ends) and to one full record read of it.

#include <functional>
#include <string>

#include <benchmark/benchmark.h>

namespace qvbench {

// The directory holding every generated file: dabase.txt, comp.mdb, thermo.mdb, type6.mdb,
// big.mdb, big.cdb, big.iso, big.nic, big.bli, analyt.mdb, sit_eta.txt, big.MSI.TXT,
// deftempar.dat.
const std::string& dataDir();
// A fresh copy of the data directory (for actions that rewrite a file), emptied at exit.
std::string scratchDir();

// An action measured on `file` (a name in dataDir()). `target` is the largest ratio the action
// may reach against its reference: "read" (one full read of the file), "rewrite" (one full read
// and one durable atomic rewrite of the same bytes: the reference of every save), "listfill" (one plain
// species-list read of a sorption file) or the name of another action measured in the same run.
void registerAction(const std::string& name, const std::string& file, double target, const std::string& reference,
                    std::function<void(benchmark::State&)> body);

// Registers the references (floor, full read, species-list read) for a file.
void registerReferences(const std::string& file);

}  // namespace qvbench
