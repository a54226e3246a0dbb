#pragma once
// The sorption database files that surfkit edits (*.MDB, *.CDB, *.ISO, *.NIC, *.BLI).
//
// A file is an optional header record, then species records, then the end block of three
// records whose species ID is 0. A species record is twelve fields (ID, name, dHr, log K, K-sel,
// a sixth value, charge, four further values, the component count n plus 100 when an M.B. block
// follows), then n pairs (M.A. coefficient, component ID), then, with an M.B. block, the M.B.
// count m and m pairs (M.B. coefficient, component ID). Fields are read one after another
// whatever the line breaks; the writer puts the twelve fields on one line, the component pairs on
// the next, then the M.B. count and the M.B. pairs on a line each.
//
// Every value read is kept as a qv::Field, so that a rewritten record carries it over unchanged
// (numbers come back in the number form: 1.50 is written as 1.5).

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quenvar/field.h"
#include "quenvar/record.h"

namespace surfkit {

// ---- File kinds ------------------------------------------------------------------------------

enum class FileKind {
    Complexation,           // any ending not below (the file dialog offers *.MDB)
    CounterionSelectivity,  // "CDB" / "cdb"
    Isotherm,               // "ISO" / "iso": header is one Text, the isotherm model
    NicaDonnan,             // "NIC" / "nic": header is one Text, "NICA-Donnan"
    Blm,                    // "BLI" / "bli": header is Text, Text, Number (critical f value)
};

// The kind from the last three characters of the path, compared with the all-capital and the
// all-small form only: "x.Iso" is a complexation file.
FileKind fileKindOf(std::string_view path);

// A counterion selectivity file whose path ends in "donnica.cdb" (exactly so, small letters)
// does not show its K-sel field.
bool hidesKsel(std::string_view path);

// The seven isotherm models, in the order the isotherm list offers them.
inline constexpr std::array<std::string_view, 7> isothermModels = {
    "Linear Kd", "Freundlich", "Extended Freundlich", "Langmuir", "Temkin", "Langmuir-Freundlich", "NICA"};

// ---- Limits ----------------------------------------------------------------------------------

// The component arrays hold ten entries: a record with more than ten pairs in either block
// cannot be read.
inline constexpr int maxPairs = 10;
// The readers that list species (and the display) stop after this many records.
inline constexpr int listLimit = 4000;

// ---- Header ----------------------------------------------------------------------------------

// Which header records stand before the species. The window decides: the model Text by the
// file's name (isotherm and NICA-Donnan) or by a non-empty model; the BLM header by its BLM flag.
struct HeaderLayout {
    bool model = false;  // one field: the model Text
    bool blm = false;    // three fields: Text, Text, Number
};
HeaderLayout headerLayoutOf(FileKind kind);

// Reads the header records that `layout` names and drops them.
void skipHeader(qv::RecordReader& in, HeaderLayout layout);

// The list fill's header reader: the model Text (when layout.model), then the BLM header, of which
// it keeps the critical f value (read as a Number: a Text there is a type mismatch).
struct ListHeader {
    std::string model;  // empty when there is no model header
    double f50 = 0;     // 0 when there is no BLM header
};
ListHeader readListHeader(qv::RecordReader& in, HeaderLayout layout);

// The species display's header reader: the model Text (when layout.model; empty otherwise);
// the three BLM fields are read and dropped.
std::string readDisplayHeader(qv::RecordReader& in, HeaderLayout layout);

// ---- Species record --------------------------------------------------------------------------

struct ComponentPair {
    qv::Field stoich;  // stoichiometric coefficient (M.A. or M.B.)
    qv::Field compid;  // component ID (first field of a comp.mdb record)
};

struct SpeciesRecord {
    std::array<qv::Field, 12> fields;       // the first line, exactly as read (field 12 with the +100)
    std::vector<ComponentPair> components;  // the n component pairs, in row order
    std::optional<qv::Field> mbCount;       // the M.B. count as read; present when field 12 > 100
    std::vector<ComponentPair> mbPairs;     // the m M.B. pairs, in file order

    const qv::Field& id() const { return fields[0]; }
    const qv::Field& name() const { return fields[1]; }
    const qv::Field& countField() const { return fields[11]; }
    // The ID is the Number 0: the first record of the end block (nothing but the twelve fields
    // is read for it).
    bool isEndRecord() const { return fields[0].equalsNumber(0); }
};

// n from the count field: its floor, less 100 when above 100 (may be 0 or negative: no pairs).
double componentCountOf(const qv::Field& countField);
// Field 12 above 100: an M.B. block follows the component pairs.
bool hasMbBlock(const qv::Field& countField);

// Reads the next species record (for an end record only its twelve fields). Throws qv::Error:
// PastEnd for a short file, BadFormat for a block of more than ten pairs.
SpeciesRecord readSpecies(qv::RecordReader& in);

// The window's component arrays: index 0 holds row (or pair) 1.
using FieldArray = std::array<qv::Field, maxPairs>;

// Where the M.B. pairs go: by row (pair (x, y) into every row i <= n whose Compid(i) equals y;
// rows without a pair keep their earlier values), or in file order (pair j into entry j).
enum class MbPlacement { ByRow, FileOrder };

// Puts a record's pairs into the window's arrays: Stoich(i), Compid(i) for i = 1..n, and the
// M.B. pairs as `placement` says. Entries beyond what the record fills keep their values.
void placePairs(const SpeciesRecord& record, FieldArray& Stoich, FieldArray& Compid, FieldArray& MBstoich,
                FieldArray& MBcompid, MbPlacement placement);

// Whether the record reads back as it is: as many component pairs as the count field announces
// (none for a count below 1, at most ten), an M.B. count exactly when the count field is above
// 100 with as many M.B. pairs as it announces (at most ten), and nothing but the twelve fields
// for an end record (ID 0).
bool isWellFormed(const SpeciesRecord& record);

// Writes one species record: the twelve fields on a line; the n pairs on a line when n >= 1;
// with an M.B. block the count on a line and, when m >= 1, the m pairs on a line. Records of
// nine or ten pairs are written whole. Throws qv::Error(QuoteInText) for a Text with a quote,
// and qv::Error(BadFormat) for a record that is not well formed (it would not read back).
void writeSpecies(qv::RecordWriter& out, const SpeciesRecord& record);

// Writes the six lines of the end block.
void writeEndBlock(qv::RecordWriter& out);

// ---- Whole-file rewrite (save and delete) ----------------------------------------------------

// The header the rewrite writes. When old.model: the old one-field header is dropped and
// `model` written instead. Otherwise, when old.blm: the old first Text is written alone on a
// line, then the old second Text with `f50` on the next (the old Number is dropped).
struct SaveHeader {
    HeaderLayout old;
    std::string model;
    double f50 = 0;
};

struct RewritePlan {
    SaveHeader header;
    // A new species: written first, before every old record.
    std::optional<SpeciesRecord> newSpecies;
    // The selected species: records whose name (field 2 as text) equals this are dropped ...
    std::optional<std::string> matchName;
    // ... and, when this is set, replaced by the record it returns, written once in the place of
    // the first such record (it is called at that moment, and not at all when no record matches).
    std::function<SpeciesRecord()> replacement;
    // With a replacement: write it in the place of every record of that name instead (the record
    // is still built once). Copies of one species then stand in the file more than once.
    bool replaceEach = false;
};

struct RewriteResult {
    std::string bytes;      // the new file
    int copied = 0;         // old species records written unchanged
    int matched = 0;        // old records that bore matchName (dropped or replaced)
    bool endBlock = false;  // the old file had an end block, and the new one has it too
};

// Builds the new content of a database from its old bytes. Every species record is carried
// over (there is no 4000-record limit here). At the first record of ID 0 a fresh end block is
// written in place of that record and of at most two ID-0 records right after it; whatever the
// old file holds after them is carried over byte for byte. A file without an end block gets
// none. Throws qv::Error (nothing is returned) when the old file cannot be read.
RewriteResult rewriteDatabase(std::string oldBytes, const std::string& fileName, const RewritePlan& plan);

// ---- Species ID numbering --------------------------------------------------------------------

// The species IDs that the records of a file use, taken as whole numbers (the floor of each
// Number ID; a Text ID is no number and uses none). Read in one pass over every record, beyond
// the 4000th and after the end block too.
class SpeciesIds {
public:
    SpeciesIds() = default;
    explicit SpeciesIds(std::vector<std::int64_t> ids);  // any order, duplicates allowed

    bool contains(std::int64_t id) const;
    // The smallest whole number >= from that no record uses.
    std::int64_t firstFreeFrom(std::int64_t from) const;
    std::size_t size() const { return ids_.size(); }

private:
    std::vector<std::int64_t> ids_;  // sorted, unique
};

// Reads every species ID of a file after its header (`layout` names the header records to
// skip). Throws qv::Error when a record before the first ID-0 record cannot be read; content
// after it that is no record is ignored.
SpeciesIds readSpeciesIds(qv::RecordReader& in, HeaderLayout layout);

// The isotherm adjustments of the two component IDs (Idcomp) before the base is built: for
// "Linear Kd", "Freundlich", "Temkin" and "Extended Freundlich" the second takes the first's
// value; for any model the first becomes the site number 1301, or the number of the site named
// exactly (no trimming) by `firstComponent` (txtComp(1)); "Temkin" always 1331.
void adjustIdcompForModel(double& idcomp1, double& idcomp2, std::string_view isomodel, std::string_view firstComponent);

// The base 10000 x idcomp1 + 10 x idcomp2.
double idBase(double idcomp1, double idcomp2);

// The proposed species ID: the first free number of the block base .. base + 9; when all ten
// are used, the first free number of the swapped block (10000 x idcomp2 + 10 x idcomp1, +0..9);
// when that is full too, the first free number from swapped base + 11 upwards. A base that is no
// whole number is proposed as it is. Never a number that `used` holds.
double proposeSpeciesId(const SpeciesIds& used, double idcomp1, double idcomp2);

// ID ranges in which a species has a sixth value shown: the second constant "Lk2"
// (11000000 < id < 12999999) and the isotherm parameter "m"/"b"/"n" (13110000 < id < 13599999);
// bounds excluded.
bool inLk2Range(double id);
bool inIsothermParameterRange(double id);

}  // namespace surfkit
