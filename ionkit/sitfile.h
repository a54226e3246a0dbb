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
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/files.h"

namespace qv {
class SaveUndo;
}

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

// Reads the records of a coefficient file one at a time, in file order, and hands each to
// `visit` (which returns false to stop), at most `maxRecords` of them. A file that cannot be
// opened throws qv::Error naming it. A record that cannot be read (cut short, a coefficient that
// is no number) ends the reading: the records before it have been visited, and the failure comes
// back, naming the file, for the caller to report once it has used them.
using SitVisitor = std::function<bool(const SitRecord&)>;
std::optional<qv::Error> scanSit(const qv::Files& files, std::string_view path, std::size_t maxRecords,
                                 const SitVisitor& visit);

// All records of a coefficient file, at most `maxRecords`; any failure throws.
std::vector<SitRecord> readSit(const qv::Files& files, std::string_view path, std::size_t maxRecords = sitNoLimit);

// The rewrites. Each reads every record of the file (none is dropped, however many there are),
// builds the whole new file, one line per record with the coefficient in the 7-digit number
// form, and puts it in place of the old one in one atomic step through `sitbase_temp.txt`; a
// failure at any point (a damaged record, a Text holding a double quote, a step of the
// replacement) leaves the file as it was and no working copy behind.

// `written`, where given, sees each record of the new content in file order as it is written,
// so that a caller can take what it needs of the new file without reading it again.
// `undo`, where given, keeps the file's previous content as its backup before the rewrite, so
// that the window can undo the save (quenvar/backup.h); a failure to keep it stops the rewrite.
using SitObserver = std::function<void(const SitRecord&)>;

// Appends `record` unless its key is already in the file; then nothing is written at all.
// Returns whether the record was added.
bool addSit(const qv::Files& files, std::string_view path, const SitRecord& record,
            const SitObserver& written = nullptr, qv::SaveUndo* undo = nullptr);

// Writes every record whose key is (s1, s2) with the given coefficient and reference instead of
// its own; the file is rewritten even when no record has the key. Returns the records changed.
int changeSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2, float eta,
              std::string_view reference, qv::SaveUndo* undo = nullptr);

// Leaves out every record whose key is (s1, s2). Returns the records removed.
int deleteSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2,
              const SitObserver& written = nullptr, qv::SaveUndo* undo = nullptr);

// Saving to a new database: the records of `from`, with the change of changeSit made, written
// to `to` in one atomic step through `sitbase_temp.txt`, so that the new file is never seen
// without the change. The result is the byte copy of `from` rewritten with the change; `from`
// stays as it was. Returns the records changed.
int saveSitAs(const qv::Files& files, std::string_view from, std::string_view to, std::string_view s1,
              std::string_view s2, float eta, std::string_view reference, qv::SaveUndo* undo = nullptr);

// The coefficient a user typed, as ionkit stores it: the number the text begins with, as a
// single-precision value. Nothing when the text does not begin with a number (an empty text
// included) or when the number lies beyond the single-precision range.
std::optional<float> coefficientOf(std::string_view typed);

}  // namespace ionkit
