// The shared data files on arbitrary bytes: dabase.txt, the comp.mdb scans and both
// thermodynamic scans. They must stop cleanly (an error naming the file, or a short list).
#include <cstdint>

#include "fuzzinput.h"
#include "quenvar/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qv::Files files = qvfuzz::placeInput(data, size, "input.mdb");
    try {
        qv::readDabase(files, 4);
    } catch (const qv::Error&) {
    }
    try {
        qv::listComponents(files, "input.mdb", 500);
    } catch (const qv::Error&) {
    }
    try {
        qv::listComponentsToZero(files, "input.mdb");
    } catch (const qv::Error&) {
    }
    try {
        qv::componentIdByName(files, "input.mdb", "Na+");
    } catch (const qv::Error&) {
    }
    qv::ScanEnd end;
    const auto names = qv::thermoNames(files, "input.mdb", &end);
    if (end.failed() && end.failure->file() != "input.mdb") __builtin_trap();
    if (names.size() > 4000) __builtin_trap();
    qv::thermoIdOf(files, "input.mdb", "CuCl+");
    std::size_t count = 0;
    qv::scanThermoByName(files, "input.mdb", [&](const qv::ThermoSpecies& s) {
        if (s.components.size() > 10) __builtin_trap();
        ++count;
        return true;
    });
    if (count > 4000) __builtin_trap();
    return 0;
}
