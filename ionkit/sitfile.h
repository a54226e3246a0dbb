#pragma once
// The SIT coefficient file `sit_eta.txt`: one record per line of four fields, species 1 (Text),
// species 2 (Text), the interaction coefficient Eta(1,2) (a bare number, held as a
// single-precision value) and the literature reference (Text):
//
//     "Na+","Cl-",0.03,"Demo SIT compilation (2021), table 2"
//
// There is no header and no terminating record. The key of a record is the ordered pair
// (species 1, species 2), compared byte for byte. ionkit keeps no records in memory: every
// list, lookup and change reads the file again, and every change rewrites the whole file
// through the working copy `sitbase_temp.txt`. Texts are the file's Windows-1252 bytes and
// pass through unchanged.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quenvar/files.h"

namespace ionkit {

inline constexpr const char* sitDefaultName = "sit_eta.txt";
// The working copy of every rewrite, made in the tool's current directory.
inline constexpr const char* sitTempName = "sitbase_temp.txt";
// The pair lists of the window are filled from at most this many records.
inline constexpr std::size_t sitListLimit = 4000;
inline constexpr std::size_t sitNoLimit = static_cast<std::size_t>(-1);

struct SitRecord {
    std::string species1;
    std::string species2;
    float eta = 0;
    std::string reference;

    bool hasKey(std::string_view s1, std::string_view s2) const { return species1 == s1 && species2 == s2; }
};

// Reads the records of a coefficient file in file order, at most `maxRecords` of them. A file
// that cannot be opened, a record cut short and a coefficient that is no number throw qv::Error
// naming the file.
std::vector<SitRecord> readSit(const qv::Files& files, std::string_view path, std::size_t maxRecords = sitNoLimit);

// The file's bytes for the given records: one line each, the coefficient in the 7-digit number
// form. A Text holding a double quote cannot be written and throws.
std::string sitBytes(const std::vector<SitRecord>& records, std::string_view fileName);

// The rewrites. Each reads every record of the file (none is dropped, however many there are),
// builds the whole new file and puts it in place of the old one in one atomic step through
// `sitbase_temp.txt`; a failure at any point leaves the file as it was and no working copy
// behind.

// Appends `record` unless its key is already in the file; then nothing is written at all.
// Returns whether the record was added.
bool addSit(const qv::Files& files, std::string_view path, const SitRecord& record);

// Writes every record whose key is (s1, s2) with the given coefficient and reference instead of
// its own; the file is rewritten even when no record has the key. Returns the records changed.
int changeSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2, float eta,
              std::string_view reference);

// Leaves out every record whose key is (s1, s2). Returns the records removed.
int deleteSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2);

// Copies the file byte for byte to a new path (an existing file there is replaced atomically).
void copySit(const qv::Files& files, std::string_view from, std::string_view to);

// The coefficient a user typed, as ionkit stores it: the number the text begins with, as a
// single-precision value. Nothing when the text does not begin with a number (an empty text
// included) or when the number lies beyond the single-precision range.
std::optional<float> coefficientOf(std::string_view typed);

}  // namespace ionkit
