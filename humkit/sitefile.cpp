#include "humkit/sitefile.h"

#include <cmath>

#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"

namespace humkit {

using qv::Error;
using qv::ErrorKind;
using qv::Field;

SiteDocument::SiteDocument() { sets[0].name = generalSettingsName; }

int SiteDocument::find(std::string_view name) const
{
    for (int p = 1; p <= setCount && p <= maxSets; ++p)
        if (set(p).name == name) return p;
    return 0;
}

void SiteDocument::removeSet(int position)
{
    if (position < 1 || position > setCount) return;
    for (int p = position; p < setCount; ++p) set(p) = set(p + 1);
    set(setCount) = SiteSet{};
    --setCount;
}

std::string writeSiteFile(const SiteDocument& doc, const std::string& fileName)
{
    if (doc.groupCount < minGroups || doc.groupCount > maxGroups)
        throw Error(ErrorKind::BadFormat, fileName,
                    "the number of site groups " + std::to_string(doc.groupCount) + " is not 2, 3 or 4");
    qv::RecordWriter out(fileName);
    out.whole(doc.setCount).endLine();
    for (int p = 1; p <= doc.setCount; ++p) {
        const SiteSet& s = doc.set(p);
        out.text(s.name).endLine();
        out.whole(s.monoCount).whole(s.biCount).whole(s.triCount).endLine();
        for (int i = 0; i < s.monoCount; ++i) out.field(s.mono[static_cast<std::size_t>(i)]).endLine();
        for (int j = 0; j < s.biCount; ++j) {
            for (const Field& site : s.bi[static_cast<std::size_t>(j)]) out.field(site);
            out.endLine();
        }
        for (int k = 0; k < s.triCount; ++k) {
            for (const Field& site : s.tri[static_cast<std::size_t>(k)]) out.field(site);
            out.endLine();
        }
    }
    out.whole(doc.groupCount).endLine();
    for (int g = 0; g < doc.groupCount; ++g) out.number(doc.fractions[static_cast<std::size_t>(g)]).endLine();
    return out.take();
}

namespace {

// Reads the fields of a site file, turning every way the file can fail to fit the document
// into one error that names the file, the line and what was expected there.
class SiteReader {
public:
    SiteReader(std::string bytes, const std::string& fileName) : in_(std::move(bytes), fileName), file_(fileName) {}

    Field next(const std::string& what)
    {
        line_ = in_.line();
        try {
            return in_.field();
        } catch (const Error& e) {
            if (e.kind() == ErrorKind::PastEnd) throw Error(ErrorKind::PastEnd, file_, "the file ends before " + what);
            throw;
        }
    }

    // A count: the whole-number part of a number within [low, high]. An empty field reads as 0.
    std::int16_t count(const std::string& what, int low, int high)
    {
        const Field f = next(what);
        if (f.isText()) refuse(what + " is not a number: \"" + f.asText() + "\"");
        const double v = std::trunc(f.asNumber());
        if (!(v >= low && v <= high))
            refuse(what + " is " + f.asText() + ", not between " + std::to_string(low) + " and " + std::to_string(high));
        return static_cast<std::int16_t>(v);
    }

    double number(const std::string& what)
    {
        const Field f = next(what);
        if (f.isText()) refuse(what + " is not a number: \"" + f.asText() + "\"");
        return f.asNumber();
    }

private:
    [[noreturn]] void refuse(const std::string& what) const
    {
        throw Error(ErrorKind::BadFormat, file_, "line " + std::to_string(line_) + ": " + what);
    }

    qv::RecordReader in_;
    std::string file_;
    int line_ = 1;
};

std::string ofSet(int p) { return " of set " + std::to_string(p); }

}  // namespace

SiteDocument readSiteFile(std::string bytes, const std::string& fileName)
{
    SiteReader in(std::move(bytes), fileName);
    SiteDocument doc;
    doc.sets = {};
    doc.setCount = in.count("the set count", 0, maxSets);
    for (int p = 1; p <= doc.setCount; ++p) {
        SiteSet& s = doc.set(p);
        s.name = in.next("the name" + ofSet(p)).asText();
        s.monoCount = in.count("the monodentate count" + ofSet(p), 0, maxMonodentate);
        s.biCount = in.count("the bidentate count" + ofSet(p), 0, maxBidentate);
        s.triCount = in.count("the tridentate count" + ofSet(p), 0, maxTridentate);
        for (int i = 0; i < s.monoCount; ++i)
            s.mono[static_cast<std::size_t>(i)] = in.next("monodentate site " + std::to_string(i + 1) + ofSet(p));
        for (int j = 0; j < s.biCount; ++j)
            for (Field& site : s.bi[static_cast<std::size_t>(j)])
                site = in.next("bidentate combination " + std::to_string(j + 1) + ofSet(p));
        for (int k = 0; k < s.triCount; ++k)
            for (Field& site : s.tri[static_cast<std::size_t>(k)])
                site = in.next("tridentate combination " + std::to_string(k + 1) + ofSet(p));
    }
    doc.groupCount = in.count("the group count", minGroups, maxGroups);
    for (int g = 0; g < doc.groupCount; ++g)
        doc.fractions[static_cast<std::size_t>(g)] = in.number("the fraction of site group " + std::to_string(g + 1));
    doc.currentSet = 1;
    return doc;
}

}  // namespace humkit
