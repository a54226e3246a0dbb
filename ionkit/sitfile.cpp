#include "ionkit/sitfile.h"

#include <cmath>
#include <limits>

#include "quenvar/backup.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"

namespace ionkit {

namespace {

void readRecord(qv::RecordReader& in, SitRecord& r)
{
    r.species1 = in.text();
    r.species2 = in.text();
    r.eta = in.single();
    r.reference = in.text();
}

std::optional<qv::Error> scanReader(qv::RecordReader& in, std::size_t maxRecords, const SitVisitor& visit)
{
    SitRecord r;
    for (std::size_t n = 0; n < maxRecords && !in.atEnd(); ++n) {
        try {
            readRecord(in, r);
        } catch (const qv::Error& e) {
            return e;
        }
        if (!visit(r)) break;
    }
    return std::nullopt;
}

// The new content of a rewrite: every record of `from` is read and `each` writes what it keeps
// (or returns false to stop the copy). A record that cannot be read throws: nothing is written
// then. The records are written in batches, each batch moved into one buffer sized after the
// old file, so that the content is not copied again and again as it grows.
class Rewrite {
public:
    Rewrite(const qv::Files& files, std::string_view target, const SitObserver* written = nullptr,
            qv::SaveUndo* undo = nullptr)
        : files_(files), target_(target), written_(written), undo_(undo), batch_(std::string(target))
    {
    }

    template <class Each>
    void copy(std::string_view from, Each each)
    {
        qv::RecordReader in = files_.openRead(from);
        content_.reserve(in.size() + in.size() / 8 + 256);
        if (auto failure = scanReader(in, sitNoLimit, [&](const SitRecord& r) { return each(*this, r); }))
            throw *failure;
    }

    void write(std::string_view s1, std::string_view s2, float eta, std::string_view reference)
    {
        batch_.text(s1).text(s2).single(eta).text(reference).endLine();
        if (++inBatch_ == batchSize) flush();
    }
    void write(const SitRecord& r)
    {
        write(r.species1, r.species2, r.eta, r.reference);
        if (written_ && *written_) (*written_)(r);
    }

    // Puts the content in place of the target through the working copy.
    void finish()
    {
        flush();
        if (undo_)
            undo_->rewrite(sitTempName, target_, content_);
        else
            files_.rewrite(sitTempName, target_, content_);
    }

private:
    static constexpr int batchSize = 64;

    void flush()
    {
        content_ += batch_.bytes();
        batch_ = qv::RecordWriter(std::string(target_));
        inBatch_ = 0;
    }

    const qv::Files& files_;
    std::string_view target_;
    const SitObserver* written_;
    qv::SaveUndo* undo_;
    qv::RecordWriter batch_;
    int inBatch_ = 0;
    std::string content_;
};

}  // namespace

std::optional<qv::Error> scanSit(const qv::Files& files, std::string_view path, std::size_t maxRecords,
                                 const SitVisitor& visit)
{
    qv::RecordReader in = files.openRead(path);
    return scanReader(in, maxRecords, visit);
}

std::vector<SitRecord> readSit(const qv::Files& files, std::string_view path, std::size_t maxRecords)
{
    std::vector<SitRecord> records;
    if (auto failure = scanSit(files, path, maxRecords, [&](const SitRecord& r) {
            records.push_back(r);
            return true;
        }))
        throw *failure;
    return records;
}

bool addSit(const qv::Files& files, std::string_view path, const SitRecord& record, const SitObserver& written,
            qv::SaveUndo* undo)
{
    // The copy stops at the first record with the new key: the addition is refused then.
    bool exists = false;
    Rewrite rewrite(files, path, &written, undo);
    rewrite.copy(path, [&](Rewrite& out, const SitRecord& r) {
        if (r.hasKey(record.species1, record.species2)) {
            exists = true;
            return false;
        }
        out.write(r);
        return true;
    });
    if (exists) return false;
    rewrite.write(record);
    rewrite.finish();
    return true;
}

int changeSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2, float eta,
              std::string_view reference, qv::SaveUndo* undo)
{
    return saveSitAs(files, path, path, s1, s2, eta, reference, undo);
}

int saveSitAs(const qv::Files& files, std::string_view from, std::string_view path, std::string_view s1,
              std::string_view s2, float eta, std::string_view reference, qv::SaveUndo* undo)
{
    int changed = 0;
    Rewrite rewrite(files, path, nullptr, undo);
    rewrite.copy(from, [&](Rewrite& out, const SitRecord& r) {
        if (r.hasKey(s1, s2)) {
            out.write(r.species1, r.species2, eta, reference);
            ++changed;
        } else {
            out.write(r);
        }
        return true;
    });
    rewrite.finish();
    return changed;
}

int deleteSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2,
              const SitObserver& written, qv::SaveUndo* undo)
{
    int removed = 0;
    Rewrite rewrite(files, path, &written, undo);
    rewrite.copy(path, [&](Rewrite& out, const SitRecord& r) {
        if (r.hasKey(s1, s2))
            ++removed;
        else
            out.write(r);
        return true;
    });
    rewrite.finish();
    return removed;
}

std::optional<float> coefficientOf(std::string_view typed)
{
    if (!qv::beginsWithNumber(typed)) return std::nullopt;
    const double value = qv::textToNumber(typed);
    if (std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(value);
}

}  // namespace ionkit
