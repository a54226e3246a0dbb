#include "ionkit/sitfile.h"

#include <cmath>
#include <limits>

#include "quenvar/numform.h"
#include "quenvar/record.h"

namespace ionkit {

std::vector<SitRecord> readSit(const qv::Files& files, std::string_view path, std::size_t maxRecords)
{
    qv::RecordReader in = files.openRead(path);
    std::vector<SitRecord> records;
    while (records.size() < maxRecords && !in.atEnd()) {
        SitRecord r;
        r.species1 = in.text();
        r.species2 = in.text();
        r.eta = in.single();
        r.reference = in.text();
        records.push_back(std::move(r));
    }
    return records;
}

std::string sitBytes(const std::vector<SitRecord>& records, std::string_view fileName)
{
    qv::RecordWriter out{std::string(fileName)};
    for (const SitRecord& r : records) out.text(r.species1).text(r.species2).single(r.eta).text(r.reference).endLine();
    return out.take();
}

namespace {
void rewrite(const qv::Files& files, std::string_view path, const std::vector<SitRecord>& records)
{
    files.rewrite(sitTempName, path, sitBytes(records, path));
}
}  // namespace

bool addSit(const qv::Files& files, std::string_view path, const SitRecord& record)
{
    std::vector<SitRecord> records = readSit(files, path);
    for (const SitRecord& r : records)
        if (r.hasKey(record.species1, record.species2)) return false;
    records.push_back(record);
    rewrite(files, path, records);
    return true;
}

int changeSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2, float eta,
              std::string_view reference)
{
    std::vector<SitRecord> records = readSit(files, path);
    int changed = 0;
    for (SitRecord& r : records) {
        if (!r.hasKey(s1, s2)) continue;
        r.eta = eta;
        r.reference = std::string(reference);
        ++changed;
    }
    rewrite(files, path, records);
    return changed;
}

int deleteSit(const qv::Files& files, std::string_view path, std::string_view s1, std::string_view s2)
{
    std::vector<SitRecord> records = readSit(files, path);
    const auto before = records.size();
    std::erase_if(records, [&](const SitRecord& r) { return r.hasKey(s1, s2); });
    rewrite(files, path, records);
    return static_cast<int>(before - records.size());
}

void copySit(const qv::Files& files, std::string_view from, std::string_view to) { files.copyFile(from, to); }

std::optional<float> coefficientOf(std::string_view typed)
{
    if (!qv::beginsWithNumber(typed)) return std::nullopt;
    const double value = qv::textToNumber(typed);
    if (std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(value);
}

}  // namespace ionkit
