// The analyte database on arbitrary bytes: both listings, the search, and the three rewrites.
// A read either succeeds or fails naming analyt.mdb; a rewrite either fails and leaves the file's
// bytes as they were, or writes records that read back as the old ones with exactly the asked
// change (same kinds and values, in the written form).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "quenvar/error.h"
#include "tracekit/analyt.h"

namespace {

using tracekit::AnalyteDatabase;
using tracekit::AnalyteRecord;
using tracekit::Section;

struct Content {
    qv::Field header;
    std::vector<AnalyteRecord> records;
};

// Every record of the file, as a rewrite copies them; nothing when the file cannot be read so.
std::optional<Content> readAll(const qv::Files& files, const std::string& path)
{
    try {
        qv::RecordReader in = files.openRead(path);
        Content c;
        c.header = in.field();
        while (!in.atEnd()) c.records.push_back(tracekit::readRecord(in));
        return c;
    } catch (const qv::Error& e) {
        if (e.file() != path) __builtin_trap();
        return std::nullopt;
    }
}

// A copied field keeps its kind, and a Number its value as the number form writes it (at most
// 15 significant digits, so a longer number read from another program is written rounded).
bool same(const qv::Field& a, const qv::Field& b)
{
    if (a.kind() != b.kind()) return false;
    return a.isNumber() ? a.writtenForm() == b.writtenForm() : a.asText() == b.asText();
}

bool same(const AnalyteRecord& a, const AnalyteRecord& b)
{
    if (!same(a.id, b.id) || !same(a.name, b.name)) return false;
    for (std::size_t i = 0; i < a.terms.size(); ++i)
        if (!same(a.terms[i], b.terms[i])) return false;
    return true;
}

bool same(const Content& a, const Content& b)
{
    if (!same(a.header, b.header) || a.records.size() != b.records.size()) return false;
    for (std::size_t i = 0; i < a.records.size(); ++i)
        if (!same(a.records[i], b.records[i])) return false;
    return true;
}

const tracekit::Terms newTerms{1.5, -2, 0.001, 0, 1e-05, 25000, -0.25};

AnalyteRecord changed(AnalyteRecord r)
{
    for (std::size_t i = 0; i < r.terms.size(); ++i) r.terms[i] = qv::Field::number(newTerms[i]);
    return r;
}

// Runs one rewrite on a fresh copy of the input. On failure the bytes must be the input's;
// on success the file must read back as `expected` (nothing: the rewrite had to fail).
template <typename Rewrite>
void check(const std::uint8_t* data, std::size_t size, const Rewrite& rewrite, const std::optional<Content>& expected)
{
    const qv::Files files = qvfuzz::placeInput(data, size, "analyt.mdb");
    const AnalyteDatabase db(files, qvfuzz::workDir());
    try {
        rewrite(db);
    } catch (const qv::Error& e) {
        if (e.file() != db.path() && e.file() != db.tempPath()) __builtin_trap();
        if (files.readBytes(db.path()) != std::string(reinterpret_cast<const char*>(data), size)) __builtin_trap();
        if (files.exists(db.tempPath())) __builtin_trap();
        return;
    }
    if (!expected) __builtin_trap();
    // An Empty header with no record after it is written as one empty line, which the reader
    // takes for the end of the file: nothing to read back, nothing lost.
    if (expected->header.isEmpty() && expected->records.empty()) {
        if (files.readBytes(db.path()) != "\r\n") __builtin_trap();
        return;
    }
    const std::optional<Content> now = readAll(files, db.path());
    if (!now || !same(*now, *expected)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const qv::Files files = qvfuzz::placeInput(data, size, "analyt.mdb");
    const AnalyteDatabase db(files, qvfuzz::workDir());

    // The listings: a failure names the file; the names delivered stop at a section end.
    std::vector<std::string> solids;
    for (Section s : {Section::Solid, Section::Aqueous}) {
        try {
            const auto names = db.names(s);
            if (s == Section::Solid) solids = names;
        } catch (const qv::Error& e) {
            if (e.file() != db.path()) __builtin_trap();
        }
    }
    const std::string name = solids.empty() ? std::string("Calcite") : solids.back();
    try {
        const auto found = db.find(name);
        if (found && found->nameText() != name) __builtin_trap();
    } catch (const qv::Error& e) {
        if (e.file() != db.path()) __builtin_trap();
    }

    const std::optional<Content> before = readAll(files, db.path());

    // Deleting a name that no field can hold (a quote and a comma) keeps every record; deleting
    // a listed name drops every record of it but the separator and the end record.
    check(
        data, size, [](const AnalyteDatabase& d) { d.remove("\",\""); }, before);
    std::optional<Content> afterRemove = before;
    if (afterRemove) {
        std::vector<AnalyteRecord> kept;
        int sectionEnds = 0;
        for (const AnalyteRecord& r : afterRemove->records) {
            const bool structural = r.isSectionEnd() && sectionEnds < 2;
            sectionEnds += structural;
            if (structural || r.nameText() != name) kept.push_back(r);
        }
        afterRemove->records = kept;
    }
    check(
        data, size, [&](const AnalyteDatabase& d) { d.remove(name); }, afterRemove);

    // Changing gives every record of the name the new terms.
    std::optional<Content> afterChange = before;
    if (afterChange)
        for (AnalyteRecord& r : afterChange->records)
            if (r.nameText() == name) r = changed(r);
    check(
        data, size, [&](const AnalyteDatabase& d) { d.changeTerms(name, newTerms); }, afterChange);

    // Adding puts the record at the head of its section: after the header for a solid, after
    // the first section end for an aqueous species (a file without one is refused).
    const AnalyteRecord added{qv::Field::whole(4711), qv::Field::text("Fuzz+"), changed({}).terms};
    for (Section s : {Section::Solid, Section::Aqueous}) {
        std::optional<Content> afterAdd = before;
        if (afterAdd) {
            auto& recs = afterAdd->records;
            std::size_t at = 0;
            if (s == Section::Aqueous) {
                while (at < recs.size() && !recs[at].isSectionEnd()) ++at;
                if (at == recs.size())
                    afterAdd.reset();
                else
                    ++at;
            }
            if (afterAdd) recs.insert(recs.begin() + static_cast<std::ptrdiff_t>(at), added);
        }
        check(
            data, size, [&](const AnalyteDatabase& d) { d.add(s, 4711, "Fuzz+", newTerms); }, afterAdd);
    }
    return 0;
}
