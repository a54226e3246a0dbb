#pragma once
// The analyte database `analyt.mdb`: power functions of temperature that Quenvar uses, for the
// species listed here, instead of the reaction enthalpy to correct an equilibrium constant:
//
//     log K = A + B * T + C / T + D * LOG10(T) + E * T * T + F / (T * T) + G / SQRT(T)
//
// File layout, in order: a header (one field of any kind), the solid section, a separator (a
// record of species ID 0), the aqueous section, an end record (species ID 0), and whatever
// further records follow, which Quenvar does not read but every rewrite keeps. Each record has
// nine fields: species ID, species name, A to G.
//
// The file lies in the data directory and is always named by its full path there. Every change
// builds the whole new file, writes it as `analytp.mdb` and puts it in place of `analyt.mdb` in
// one atomic step, so that a failure at any moment leaves the old file whole.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quenvar/backup.h"
#include "quenvar/field.h"
#include "quenvar/files.h"
#include "quenvar/record.h"

namespace tracekit {

inline constexpr const char* analytName = "analyt.mdb";
inline constexpr const char* analytTempName = "analytp.mdb";

// The seven terms A to G, in file order.
inline constexpr int termCount = 7;
using Terms = std::array<double, termCount>;

// One record, each field kept with the kind and characters it was read with, so that a copied
// record is written back as it stood.
struct AnalyteRecord {
    qv::Field id;
    qv::Field name;
    std::array<qv::Field, termCount> terms;

    // The name as the windows show it (a bare number keeps its characters).
    const std::string& nameText() const { return name.asText(); }
    // The separator and the end record carry species ID 0 (an empty ID reads as 0 too).
    bool isSectionEnd() const { return id.isEmpty() || id.equalsNumber(0); }
};

enum class Section { Solid, Aqueous };

class AnalyteDatabase {
public:
    // `dataDir` is the data directory in which `analyt.mdb` and `analytp.mdb` lie.
    // With `undo`, each rewrite keeps the previous file as its backup, for an undo of the save.
    AnalyteDatabase(const qv::Files& files, std::string dataDir, qv::SaveUndo* undo = nullptr);

    const std::string& path() const { return path_; }
    const std::string& tempPath() const { return tempPath_; }

    // The names of one section, in file order, each handed to `deliver` as it is read. A file
    // that ends before the section does (no separator, no end record, not even a header) just
    // ends the listing; a record cut short or a file that cannot be read throws, after the
    // names read before it were delivered.
    void listNames(Section section, const std::function<void(const std::string&)>& deliver) const;
    std::vector<std::string> names(Section section) const;

    // The first record of the whole file whose name equals `name` exactly (case and blanks
    // count); nothing when the file ends without one.
    std::optional<AnalyteRecord> find(std::string_view name) const;

    // Gives every record named `name`, in any part of the file, the terms A to G.
    void changeTerms(std::string_view name, const Terms& terms) const;
    // Puts a new record at the head of its section. A second record of a name already present
    // is allowed. An aqueous species needs the separator: a file without one is refused.
    void add(Section section, std::int32_t id, std::string_view name, const Terms& terms) const;
    // Removes every record named `name`. The separator and the end record are the file's
    // structure, not species: they stay whatever their name.
    void remove(std::string_view name) const;

private:
    class Output;
    qv::RecordReader open() const;
    void rewrite(const Output& out) const;

    const qv::Files& files_;
    qv::SaveUndo* undo_ = nullptr;
    std::string path_;
    std::string tempPath_;
};

// Reading and writing one record in the record syntax (nine fields, one line).
AnalyteRecord readRecord(qv::RecordReader& in);
void writeRecord(qv::RecordWriter& out, const AnalyteRecord& record);

}  // namespace tracekit
