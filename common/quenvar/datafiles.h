#pragma once
// The shared data files of the Quenvar data directory: settling the data directory at start-up,
// `dabase.txt`, the component database `comp.mdb` and the thermodynamic databases
// `thermo.mdb` / `type6.mdb`.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/field.h"
#include "quenvar/files.h"

namespace qv {

// ---- Data directory -------------------------------------------------------------------------

// Where the tools are installed. A tool started from one of its development directories works
// on the installation directory instead; this build knows no development directories, so the
// current directory is always the candidate.
inline constexpr const char* surfkitInstallDir = "c:\\Program Files\\quenvar";
inline constexpr const char* toolInstallDir = "c:\\quenvar";

// The candidate data directory: the current directory, or the installation directory when the
// current directory is (exactly, case-sensitively) a development directory.
std::string candidateDirectory(const Files& files, const char* installDir);

inline constexpr const char* dabaseName = "dabase.txt";

// Reads the first `count` fields of `dabase.txt` in the current directory as field values.
std::vector<Field> readDabase(const Files& files, int count);

// The four database paths of `dabase.txt`, in file order.
struct DabasePaths {
    std::string thermo, solids, components, gaussian;
};
// Writes `dabase.txt` (one record of four Texts) completely and puts it in place atomically;
// `tempName` is the temporary file used on the way.
void writeDabase(const Files& files, const DabasePaths& paths, std::string_view tempName = "dabase.tmp");

// The drive letter of the data files: the first character of `dabase.txt`'s first field.
std::string driveOf(const Field& firstField);

// ---- comp.mdb -------------------------------------------------------------------------------

inline constexpr const char* compName = "comp.mdb";

// One record of the component database: ID, name, charge and three further numbers.
struct Component {
    Field id;
    std::string name;
    Field charge;
    Field extra[3];
};

// Reads at most `maxRecords` components, stopping at the end of the file or when `visit`
// returns false. A record that cannot be read throws, naming the file.
void scanComponents(const Files& files, std::string_view file, int maxRecords,
                    const std::function<bool(const Component&)>& visit);

// The name of the first of at most 400 components whose ID equals `id` (the shown species).
std::optional<std::string> componentNameById(const Files& files, std::string_view file, const Field& id);
// The ID of the last of at most 400 components whose name equals `name` (the ID proposal).
std::optional<Field> componentIdByName(const Files& files, std::string_view file, std::string_view name);
// At most `maxRecords` components, to the end of the file (new species: 500; site settings: 400).
std::vector<Component> listComponents(const Files& files, std::string_view file, int maxRecords);
// At most 1000 components, up to and including the first record whose ID is 0 (SIT manager).
std::vector<Component> listComponentsToZero(const Files& files, std::string_view file);

// ---- Thermodynamic databases ----------------------------------------------------------------

inline constexpr int thermoMaxRecords = 4000;
inline constexpr int thermoMaxComponents = 10;

struct ThermoSpecies {
    std::int32_t id = 0;
    std::string name;
    float charge = 0;
    std::vector<std::pair<float, std::int16_t>> components;
};

// How a scan ended: a read failure stops it (the species delivered before stay delivered) and
// is reported here, naming the file.
struct ScanEnd {
    std::optional<Error> failure;
    bool failed() const { return failure.has_value(); }
};

using ThermoVisitor = std::function<bool(const ThermoSpecies&)>;  // false stops the scan

// The analyte editor's scan: stops at the first record of species ID 0 (whose rest is not read),
// at the end of the file and after 4000 records.
ScanEnd scanThermoById(const Files& files, std::string_view path, const ThermoVisitor& visit);
// The SIT manager's scan: stops at a record whose trimmed name is "END" (whose rest is not read),
// after delivering a record with an empty name, at the end of the file and after 4000 records.
// A species with more than 10 component entries is a read failure.
ScanEnd scanThermoByName(const Files& files, std::string_view path, const ThermoVisitor& visit);

// The species names in file order, duplicates included (analyte editor's name list).
std::vector<std::string> thermoNames(const Files& files, std::string_view path, ScanEnd* end = nullptr);
// The ID of the first species whose name equals `name` exactly.
std::optional<std::int32_t> thermoIdOf(const Files& files, std::string_view path, std::string_view name,
                                       ScanEnd* end = nullptr);

// Blanks (spaces) removed at both ends.
std::string trimBlanks(std::string_view text);

}  // namespace qv
