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
    for (int i = 0; i < termCount; ++i)
        fields[static_cast<std::size_t>(i)] = qv::Field::number(terms[static_cast<std::size_t>(i)]);
    return fields;
}

}  // namespace

// The new content of the file. Each record is written in the record syntax by a writer of its
// own and appended to one buffer sized for the old file, so that rewriting a large file does not
// copy its growing content again and again.
class AnalyteDatabase::Output {
public:
    Output(const std::string& name, std::size_t expected) : name_(name)
    {
        bytes_.reserve(expected + expected / 8 + 256);
    }

    void add(const AnalyteRecord& record)
    {
        qv::RecordWriter line(name_);
        writeRecord(line, record);
        bytes_ += line.bytes();
    }
    // Copies the header: a rewrite cannot do without it, so a file that has none is a short file.
    void copyHeader(qv::RecordReader& in)
    {
        qv::RecordWriter line(name_);
        line.field(in.field()).endLine();
        bytes_ += line.bytes();
    }
    const std::string& bytes() const { return bytes_; }

private:
    const std::string& name_;
    std::string bytes_;
};

AnalyteDatabase::AnalyteDatabase(const qv::Files& files, std::string dataDir, qv::SaveUndo* undo)
    : files_(files), undo_(undo), path_(qv::joinPath(dataDir, analytName)),
      tempPath_(qv::joinPath(dataDir, analytTempName))
{
}

qv::RecordReader AnalyteDatabase::open() const { return files_.openRead(path_); }

void AnalyteDatabase::rewrite(const Output& out) const
{
    if (undo_)
        undo_->rewrite(tempPath_, path_, out.bytes());
    else
        files_.rewrite(tempPath_, path_, out.bytes());
}

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
    Output out(tempPath_, in.size());
    out.copyHeader(in);
    while (!in.atEnd()) {
        AnalyteRecord r = readRecord(in);
        if (r.nameText() == name) r.terms = termFields(terms);
        out.add(r);
    }
    rewrite(out);
}

void AnalyteDatabase::add(Section section, std::int32_t id, std::string_view name, const Terms& terms) const
{
    qv::RecordReader in = open();
    Output out(tempPath_, in.size());
    out.copyHeader(in);
    if (section == Section::Aqueous) {
        // The aqueous section begins after the separator. Without one the new record would land
        // among the solids, so the file is refused instead.
        for (;;) {
            if (in.atEnd()) throw qv::Error(qv::ErrorKind::BadFormat, path_, "no section separator");
            const AnalyteRecord r = readRecord(in);
            out.add(r);
            if (r.isSectionEnd()) break;
        }
    }
    out.add(AnalyteRecord{qv::Field::whole(id), qv::Field::text(std::string(name)), termFields(terms)});
    while (!in.atEnd()) out.add(readRecord(in));
    rewrite(out);
}

void AnalyteDatabase::remove(std::string_view name) const
{
    qv::RecordReader in = open();
    Output out(tempPath_, in.size());
    out.copyHeader(in);
    int sectionEnds = 0;  // separator and end record met so far
    while (!in.atEnd()) {
        const AnalyteRecord r = readRecord(in);
        const bool structural = r.isSectionEnd() && sectionEnds < 2;
        if (structural) ++sectionEnds;
        if (structural || r.nameText() != name) out.add(r);
    }
    rewrite(out);
}

}  // namespace tracekit
