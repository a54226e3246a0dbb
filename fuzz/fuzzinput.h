#pragma once
// Hands a fuzzer's bytes to the file layer as a file of a data directory in memory-backed
// storage, so that every read path runs exactly as it does on a real file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "quenvar/files.h"

namespace qvfuzz {

// A private directory for this fuzzing process (created once).
const std::string& workDir();

// Writes the input as `name` in workDir() and returns a Files object whose current directory is it.
qv::Files placeInput(const std::uint8_t* data, std::size_t size, const std::string& name);

}  // namespace qvfuzz
