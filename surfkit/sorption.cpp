#include "surfkit/sorption.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "quenvar/error.h"
#include "quenvar/numform.h"

namespace surfkit {

namespace {

bool endsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The number of pairs a count field announces. Beyond ten the record does not fit the
// component arrays, and reading on would take the following records' fields as pairs.
int pairCount(double count, const qv::RecordReader& in, const char* block)
{
    if (!(count <= maxPairs))
        throw qv::Error(
            qv::ErrorKind::BadFormat, in.fileName(),
            "line " + std::to_string(in.line()) + ": more than ten " + block + " pairs in a species record");
    return count < 1 ? 0 : static_cast<int>(count);
}

void readPairs(qv::RecordReader& in, int count, std::vector<ComponentPair>& pairs)
{
    pairs.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        ComponentPair p;
        p.stoich = in.field();
        p.compid = in.field();
        pairs.push_back(std::move(p));
    }
}

// Writes one field. A Number that stands as a whole number already in its number form (a minus
// at most, no leading zero, at most fifteen digits), as IDs, counts and most coefficients do, is
// written as those digits without working the number form out again: the save copies thousands
// of them.
void putField(qv::RecordWriter& out, const qv::Field& f)
{
    if (f.isNumber()) {
        const std::string& t = f.asText();
        const std::size_t sign = !t.empty() && t[0] == '-' ? 1 : 0;
        const std::size_t digits = t.size() - sign;
        bool whole = digits >= 1 && digits <= 15 && (digits == 1 || t[sign] != '0') && t != "-0";
        for (std::size_t i = sign; whole && i < t.size(); ++i) whole = t[i] >= '0' && t[i] <= '9';
        if (whole) {
            out.whole(static_cast<std::int64_t>(f.asNumber()));
            return;
        }
    }
    out.field(f);
}

void writePairs(qv::RecordWriter& out, const std::vector<ComponentPair>& pairs)
{
    if (pairs.empty()) return;
    for (const auto& p : pairs) {
        putField(out, p.stoich);
        putField(out, p.compid);
    }
    out.endLine();
}

// A species ID taken as a whole number; nothing for a Text or Empty ID or one beyond the
// range of whole numbers.
std::optional<std::int64_t> wholeId(const qv::Field& id)
{
    if (!id.isNumber()) return std::nullopt;
    const double v = std::floor(id.asNumber());
    if (!(v >= -9.0e15 && v <= 9.0e15)) return std::nullopt;
    return static_cast<std::int64_t>(v);
}

// A count field as the writer puts it: in the number form, unless that form (at most fifteen
// significant digits) would be read as another count, as 102.9999999999999 would come back as
// 103 and so announce three pairs where two follow. Such a count is written as the whole number
// that the reader took from it. `meaning` gives what the reader takes from a value.
template <typename Meaning>
qv::Field countForWriting(const qv::Field& count, Meaning meaning)
{
    if (!count.isNumber()) return count;
    const double v = count.asNumber();
    if (std::floor(v) == v && std::fabs(v) < 1e15) return count;  // a whole count reads back as itself
    if (meaning(qv::textToNumber(count.writtenForm())) == meaning(v)) return count;
    return qv::Field::number(std::floor(v));
}

// A whole number small enough that a double steps through its neighbours one by one.
bool isSearchableWhole(double v) { return std::floor(v) == v && std::fabs(v) <= 9.0e15; }

}  // namespace

// ---- File kinds ------------------------------------------------------------------------------

FileKind fileKindOf(std::string_view path)
{
    if (endsWith(path, "CDB") || endsWith(path, "cdb")) return FileKind::CounterionSelectivity;
    if (endsWith(path, "ISO") || endsWith(path, "iso")) return FileKind::Isotherm;
    if (endsWith(path, "NIC") || endsWith(path, "nic")) return FileKind::NicaDonnan;
    if (endsWith(path, "BLI") || endsWith(path, "bli")) return FileKind::Blm;
    return FileKind::Complexation;
}

bool hidesKsel(std::string_view path) { return endsWith(path, "donnica.cdb"); }

// ---- Header ----------------------------------------------------------------------------------

HeaderLayout headerLayoutOf(FileKind kind)
{
    HeaderLayout layout;
    layout.model = kind == FileKind::Isotherm || kind == FileKind::NicaDonnan;
    layout.blm = kind == FileKind::Blm;
    return layout;
}

void skipHeader(qv::RecordReader& in, HeaderLayout layout)
{
    if (layout.model) in.field();
    if (layout.blm) {
        in.field();
        in.field();
        in.field();
    }
}

ListHeader readListHeader(qv::RecordReader& in, HeaderLayout layout)
{
    ListHeader header;
    if (layout.model) header.model = in.text();
    if (layout.blm) {
        in.text();
        in.text();
        header.f50 = in.number();
    }
    return header;
}

std::string readDisplayHeader(qv::RecordReader& in, HeaderLayout layout)
{
    std::string model;
    if (layout.model) model = in.text();
    if (layout.blm) {
        in.field();
        in.field();
        in.field();
    }
    return model;
}

// ---- Species record --------------------------------------------------------------------------

double componentCountOf(const qv::Field& countField)
{
    double n = std::floor(countField.asNumber());
    if (n > 100) n -= 100;
    return n;
}

bool hasMbBlock(const qv::Field& countField) { return countField.asNumber() > 100; }

SpeciesRecord readSpecies(qv::RecordReader& in)
{
    SpeciesRecord r;
    for (auto& f : r.fields) f = in.field();
    if (r.isEndRecord()) return r;
    readPairs(in, pairCount(componentCountOf(r.countField()), in, "component"), r.components);
    if (hasMbBlock(r.countField())) {
        r.mbCount = in.field();
        readPairs(in, pairCount(std::floor(r.mbCount->asNumber()), in, "M.B."), r.mbPairs);
    }
    return r;
}

void placePairs(const SpeciesRecord& record, FieldArray& Stoich, FieldArray& Compid, FieldArray& MBstoich,
                FieldArray& MBcompid, MbPlacement placement)
{
    const std::size_t n = record.components.size();
    for (std::size_t i = 0; i < n; ++i) {
        Stoich[i] = record.components[i].stoich;
        Compid[i] = record.components[i].compid;
    }
    for (std::size_t j = 0; j < record.mbPairs.size(); ++j) {
        const ComponentPair& p = record.mbPairs[j];
        if (placement == MbPlacement::FileOrder) {
            MBstoich[j] = p.stoich;
            MBcompid[j] = p.compid;
            continue;
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (Compid[i] == p.compid) {
                MBstoich[i] = p.stoich;
                MBcompid[i] = p.compid;
            }
        }
    }
}

bool isWellFormed(const SpeciesRecord& record)
{
    if (record.isEndRecord()) return record.components.empty() && !record.mbCount && record.mbPairs.empty();
    auto announced = [](double count) { return count < 1 ? 0.0 : count; };
    const double n = componentCountOf(record.countField());
    if (!(n <= maxPairs) || announced(n) != static_cast<double>(record.components.size())) return false;
    if (hasMbBlock(record.countField()) != record.mbCount.has_value()) return false;
    if (!record.mbCount) return record.mbPairs.empty();
    const double m = std::floor(record.mbCount->asNumber());
    return m <= maxPairs && announced(m) == static_cast<double>(record.mbPairs.size());
}

void writeSpecies(qv::RecordWriter& out, const SpeciesRecord& record)
{
    if (!isWellFormed(record))
        throw qv::Error(qv::ErrorKind::BadFormat, "",
                        "species \"" + record.name().asText() + "\": its pairs do not match its counts");
    for (std::size_t i = 0; i + 1 < record.fields.size(); ++i) putField(out, record.fields[i]);
    putField(out, countForWriting(record.countField(), [](double v) {
                 return std::pair{componentCountOf(qv::Field::number(v)), v > 100};
             }));
    out.endLine();
    writePairs(out, record.components);
    if (record.mbCount) {
        // The M.B. count stands alone on its line: an empty one would be no field there at all
        // (a blank line at the end of the file is none), so it is written as the 0 it reads as.
        const qv::Field& m = record.mbCount->isEmpty() ? qv::Field::whole(0) : *record.mbCount;
        putField(out, countForWriting(m, [](double v) { return std::pair{std::floor(v), false}; }));
        out.endLine();
        writePairs(out, record.mbPairs);
    }
}

void writeEndBlock(qv::RecordWriter& out)
{
    for (const char* name : {"", "For QUENVAR", ""}) {
        out.whole(0).text(name);
        for (int i = 0; i < 8; ++i) out.whole(0);
        out.endLine();
        out.whole(0).whole(0).endLine();
    }
}

// ---- Whole-file rewrite ----------------------------------------------------------------------

RewriteResult rewriteDatabase(std::string oldBytes, const std::string& fileName, const RewritePlan& plan)
{
    const std::size_t oldSize = oldBytes.size();
    qv::RecordReader in(std::move(oldBytes), fileName);
    qv::RecordWriter out("dbnamep.mdb");
    out.reserve(oldSize + oldSize / 8 + 1024);
    RewriteResult result;

    // Header.
    const SaveHeader& h = plan.header;
    if (h.old.model) {
        in.field();
        out.text(h.model).endLine();
    } else if (h.old.blm) {
        out.text(in.text()).endLine();
        std::string second = in.text();
        in.field();  // the old critical f value, replaced by the window's
        out.text(second).number(h.f50).endLine();
    }

    if (plan.newSpecies) writeSpecies(out, *plan.newSpecies);

    std::optional<SpeciesRecord> replacement;
    while (!in.atEnd()) {
        SpeciesRecord r = readSpecies(in);
        if (r.isEndRecord()) {
            // Quenvar reads the whole end block: write it afresh in place of this record and of
            // the (at most two) end records that follow it. Anything after them is no business
            // of the editor but stays in the file as it was.
            result.endBlock = true;
            writeEndBlock(out);
            std::size_t tail = in.position();
            for (int k = 0; k < 2 && !in.atEnd(); ++k) {
                try {
                    if (!readSpecies(in).isEndRecord()) break;
                } catch (const qv::Error&) {
                    break;
                }
                tail = in.position();
            }
            if (in.bytes().find_first_not_of(" \t\r\n", tail) != std::string::npos) {
                std::string bytes = out.take();
                bytes.append(in.bytes(), tail, std::string::npos);
                result.bytes = std::move(bytes);
                return result;
            }
            break;
        }
        if (plan.matchName && r.name().asText() == *plan.matchName) {
            ++result.matched;
            if (plan.replacement && (!replacement || plan.replaceEach)) {
                if (!replacement) replacement = plan.replacement();
                writeSpecies(out, *replacement);
            }
            continue;
        }
        writeSpecies(out, r);
        ++result.copied;
    }
    result.bytes = out.take();
    return result;
}

// ---- Species ID numbering --------------------------------------------------------------------

SpeciesIds::SpeciesIds(std::vector<std::int64_t> ids) : ids_(std::move(ids))
{
    std::sort(ids_.begin(), ids_.end());
    ids_.erase(std::unique(ids_.begin(), ids_.end()), ids_.end());
}

bool SpeciesIds::contains(std::int64_t id) const { return std::binary_search(ids_.begin(), ids_.end(), id); }

std::int64_t SpeciesIds::firstFreeFrom(std::int64_t from) const
{
    // ids_ is sorted and unique, so ids_[i] - i never falls: a run of consecutive used numbers
    // starting at ids_[k] ends at the last index j with ids_[j] - j == ids_[k] - k.
    auto first = std::lower_bound(ids_.begin(), ids_.end(), from);
    if (first == ids_.end() || *first != from) return from;
    const auto k = first - ids_.begin();
    const std::int64_t key = *first - k;
    std::ptrdiff_t lo = k, hi = static_cast<std::ptrdiff_t>(ids_.size()) - 1;
    while (lo < hi) {
        const std::ptrdiff_t mid = lo + (hi - lo + 1) / 2;
        if (ids_[static_cast<std::size_t>(mid)] - mid == key)
            lo = mid;
        else
            hi = mid - 1;
    }
    return ids_[static_cast<std::size_t>(lo)] + 1;
}

SpeciesIds readSpeciesIds(qv::RecordReader& in, HeaderLayout layout)
{
    skipHeader(in, layout);
    std::vector<std::int64_t> ids;
    bool afterEnd = false;
    while (!in.atEnd()) {
        SpeciesRecord r;
        if (!afterEnd) {
            r = readSpecies(in);
        } else {
            // After the end block the editor reads nothing; records that stand there still
            // hold their IDs, and whatever is no record ends the reading.
            try {
                r = readSpecies(in);
            } catch (const qv::Error&) {
                break;
            }
        }
        if (r.isEndRecord()) {
            afterEnd = true;
            continue;
        }
        if (auto id = wholeId(r.id())) ids.push_back(*id);
    }
    return SpeciesIds(std::move(ids));
}

void adjustIdcompForModel(double& idcomp1, double& idcomp2, std::string_view M, std::string_view comp1)
{
    if (M == "Linear Kd" || M == "Freundlich" || M == "Temkin" || M == "Extended Freundlich") idcomp2 = idcomp1;
    if (M.empty()) return;
    idcomp1 = 1301;
    if (M == "Langmuir") {
        if (comp1 == "Lsite2") idcomp1 = 1302;
    } else if (M == "Langmuir-Freundlich") {
        if (comp1 == "LFsite1") idcomp1 = 1311;
        if (comp1 == "LFsite2") idcomp1 = 1312;
    } else if (M == "NICA") {
        if (comp1 == "NICAsite1") idcomp1 = 1321;
        if (comp1 == "NICAsite2") idcomp1 = 1322;
    } else if (M == "NICA-Donnan") {
        if (comp1 == "FA1-") idcomp1 = 1341;
        if (comp1 == "FA2-") idcomp1 = 1342;
        if (comp1 == "HA1-") idcomp1 = 1351;
        if (comp1 == "HA2-") idcomp1 = 1352;
    } else if (M == "Temkin") {
        idcomp1 = 1331;
    }
}

double idBase(double idcomp1, double idcomp2) { return 10000 * idcomp1 + 10 * idcomp2; }

double proposeSpeciesId(const SpeciesIds& used, double idcomp1, double idcomp2)
{
    // The search tries base, base + 1, ... base + 9; when all ten are used it tries the swapped
    // block the same way; when that is full too it goes on from swapped base + 11 without limit.
    // A candidate that is no whole number equals no species ID and is taken at once.
    const double base = idBase(idcomp1, idcomp2);
    if (!isSearchableWhole(base)) return base;
    const auto b = static_cast<std::int64_t>(base);
    if (std::int64_t c = used.firstFreeFrom(b); c < b + 10) return static_cast<double>(c);

    const double swapped = idBase(idcomp2, idcomp1);
    if (!isSearchableWhole(swapped)) return swapped;
    const auto s = static_cast<std::int64_t>(swapped);
    if (std::int64_t c = used.firstFreeFrom(s); c < s + 10) return static_cast<double>(c);
    return static_cast<double>(used.firstFreeFrom(s + 11));
}

bool inLk2Range(double id) { return id > 11000000 && id < 12999999; }
bool inIsothermParameterRange(double id) { return id > 13110000 && id < 13599999; }

}  // namespace surfkit
