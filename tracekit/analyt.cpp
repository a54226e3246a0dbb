#include "tracekit/analyt.h"

#include "quenvar/error.h"

namespace tracekit {

AnalyteRecord readRecord(qv::RecordReader& in)
{
    AnalyteRecord r;
    r.id = in.field();
    r.name = in.field();
    for (qv::Field& term : r.terms) term = in.field();
    return r;
}

void writeRecord(qv::RecordWriter& out, const AnalyteRecord& record)
{
    out.field(record.id).field(record.name);
    for (const qv::Field& term : record.terms) out.field(term);
    out.endLine();
}

namespace {

std::array<qv::Field, termCount> termFields(const Terms& terms)
{
    std::array<qv::Field, termCount> fields;
    for (int i = 0; i < termCount; ++i) fields[static_cast<std::size_t>(i)] = qv::Field::number(terms[static_cast<std::size_t>(i)]);
    return fields;
}

// Copies the header: a rewrite cannot do without it, so a file that has none is a short file.
void copyHeader(qv::RecordReader& in, qv::RecordWriter& out)
{
    out.field(in.field()).endLine();
}

}  // namespace

AnalyteDatabase::AnalyteDatabase(const qv::Files& files, std::string dataDir)
    : files_(files), path_(qv::joinPath(dataDir, analytName)), tempPath_(qv::joinPath(dataDir, analytTempName))
{
}

qv::RecordReader AnalyteDatabase::open() const { return files_.openRead(path_); }

void AnalyteDatabase::rewrite(const qv::RecordWriter& out) const { files_.rewrite(tempPath_, path_, out.bytes()); }

void AnalyteDatabase::listNames(Section section, const std::function<void(const std::string&)>& deliver) const
{
    qv::RecordReader in = open();
    if (in.atEnd()) return;
    in.field();  // the header
    if (section == Section::Aqueous) {
        // Past the solid section, up to and including the separator.
        for (;;) {
            if (in.atEnd()) return;
            if (readRecord(in).isSectionEnd()) break;
        }
    }
    while (!in.atEnd()) {
        const AnalyteRecord r = readRecord(in);
        if (r.isSectionEnd()) return;
        deliver(r.nameText());
    }
}

std::vector<std::string> AnalyteDatabase::names(Section section) const
{
    std::vector<std::string> out;
    listNames(section, [&](const std::string& name) { out.push_back(name); });
    return out;
}

std::optional<AnalyteRecord> AnalyteDatabase::find(std::string_view name) const
{
    qv::RecordReader in = open();
    if (in.atEnd()) return std::nullopt;
    in.field();  // the header
    while (!in.atEnd()) {
        AnalyteRecord r = readRecord(in);
        if (r.nameText() == name) return r;
    }
    return std::nullopt;
}

void AnalyteDatabase::changeTerms(std::string_view name, const Terms& terms) const
{
    qv::RecordReader in = open();
    qv::RecordWriter out(tempPath_);
    copyHeader(in, out);
    while (!in.atEnd()) {
        AnalyteRecord r = readRecord(in);
        if (r.nameText() == name) r.terms = termFields(terms);
        writeRecord(out, r);
    }
    rewrite(out);
}

void AnalyteDatabase::add(Section section, std::int32_t id, std::string_view name, const Terms& terms) const
{
    qv::RecordReader in = open();
    qv::RecordWriter out(tempPath_);
    copyHeader(in, out);
    if (section == Section::Aqueous) {
        // The aqueous section begins after the separator. Without one the new record would land
        // among the solids, so the file is refused instead.
        for (;;) {
            if (in.atEnd()) throw qv::Error(qv::ErrorKind::BadFormat, path_, "no section separator");
            const AnalyteRecord r = readRecord(in);
            writeRecord(out, r);
            if (r.isSectionEnd()) break;
        }
    }
    writeRecord(out, AnalyteRecord{qv::Field::whole(id), qv::Field::text(std::string(name)), termFields(terms)});
    while (!in.atEnd()) writeRecord(out, readRecord(in));
    rewrite(out);
}

void AnalyteDatabase::remove(std::string_view name) const
{
    qv::RecordReader in = open();
    qv::RecordWriter out(tempPath_);
    copyHeader(in, out);
    int sectionEnds = 0;  // separator and end record met so far
    while (!in.atEnd()) {
        const AnalyteRecord r = readRecord(in);
        const bool structural = r.isSectionEnd() && sectionEnds < 2;
        if (structural) ++sectionEnds;
        if (structural || r.nameText() != name) writeRecord(out, r);
    }
    rewrite(out);
}

}  // namespace tracekit
