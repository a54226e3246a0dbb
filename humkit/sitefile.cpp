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

// A field as a message quotes it: a damaged file may hold megabytes in one field, of which the
// first few characters are enough to find the place; a control byte (a NUL would end the
// message's text there) shows as "?".
std::string quoted(const std::string& text)
{
    constexpr std::size_t most = 40;
    std::string shown = text.size() <= most ? text : text.substr(0, most) + "...";
    for (char& ch : shown)
        if (static_cast<unsigned char>(ch) < 0x20) ch = '?';
    return shown;
}

// Where a field stands, for a message: "the set count", "the name of set 2", "bidentate
// combination 3 of set 1". Made into words only when a message needs them.
struct Place {
    const char* what;
    int item = 0;  // the site, combination or group number; 0 for none
    int set = 0;   // the set; 0 for none

    std::string words() const
    {
        std::string s = what;
        if (item) s += " " + std::to_string(item);
        if (set) s += " of set " + std::to_string(set);
        return s;
    }
};

// Reads the fields of a site file, turning every way the file can fail to fit the document
// into one error that names the file, the line and what was expected there.
class SiteReader {
public:
    SiteReader(std::string bytes, const std::string& fileName)
        : bytes_(bytes), in_(std::move(bytes), fileName), file_(fileName)
    {
    }

    Field next(const Place& place)
    {
        start_ = in_.position();
        try {
            return in_.field();
        } catch (const Error& e) {
            if (e.kind() == ErrorKind::PastEnd)
                throw Error(ErrorKind::PastEnd, file_, "the file ends before " + place.words());
            throw;
        }
    }

    // A count: the whole-number part of a number within [low, high]. An empty field reads as 0.
    std::int16_t count(const Place& place, int low, int high)
    {
        const Field f = next(place);
        if (f.isText()) refuse(place.words() + " is not a number: \"" + quoted(f.asText()) + "\"");
        const double v = std::trunc(f.asNumber());
        if (!(v >= low && v <= high))
            refuse(place.words() + " is " + quoted(f.asText()) + ", not between " + std::to_string(low) + " and " +
                   std::to_string(high));
        return static_cast<std::int16_t>(v);
    }

    double number(const Place& place)
    {
        const Field f = next(place);
        if (f.isText()) refuse(place.words() + " is not a number: \"" + quoted(f.asText()) + "\"");
        return f.asNumber();
    }

private:
    // The line on which the last field began, counted as the record reader counts lines (LF, CR
    // LF or a lone CR end one). Counted only for a message: counting for every field would make
    // reading a file take time in the square of its size.
    int line() const
    {
        int line = 1;
        for (std::size_t i = 0; i < start_ && i < bytes_.size(); ++i)
            if (bytes_[i] == '\n' || (bytes_[i] == '\r' && (i + 1 >= bytes_.size() || bytes_[i + 1] != '\n'))) ++line;
        return line;
    }

    [[noreturn]] void refuse(const std::string& what) const
    {
        throw Error(ErrorKind::BadFormat, file_, "line " + std::to_string(line()) + ": " + what);
    }

    const std::string bytes_;
    qv::RecordReader in_;
    std::string file_;
    std::size_t start_ = 0;
};

}  // namespace

SiteDocument readSiteFile(std::string bytes, const std::string& fileName)
{
    SiteReader in(std::move(bytes), fileName);
    SiteDocument doc;
    doc.set(1).name.clear();  // every name comes from the file
    doc.setCount = in.count({"the set count"}, 0, maxSets);
    for (int p = 1; p <= doc.setCount; ++p) {
        SiteSet& s = doc.set(p);
        s.name = in.next({"the name", 0, p}).asText();
        s.monoCount = in.count({"the monodentate count", 0, p}, 0, maxMonodentate);
        s.biCount = in.count({"the bidentate count", 0, p}, 0, maxBidentate);
        s.triCount = in.count({"the tridentate count", 0, p}, 0, maxTridentate);
        for (int i = 0; i < s.monoCount; ++i)
            s.mono[static_cast<std::size_t>(i)] = in.next({"monodentate site", i + 1, p});
        for (int j = 0; j < s.biCount; ++j)
            for (Field& site : s.bi[static_cast<std::size_t>(j)]) site = in.next({"bidentate combination", j + 1, p});
        for (int k = 0; k < s.triCount; ++k)
            for (Field& site : s.tri[static_cast<std::size_t>(k)]) site = in.next({"tridentate combination", k + 1, p});
    }
    doc.groupCount = in.count({"the group count"}, minGroups, maxGroups);
    for (int g = 0; g < doc.groupCount; ++g)
        doc.fractions[static_cast<std::size_t>(g)] = in.number({"the fraction of site group", g + 1});
    doc.currentSet = 1;
    return doc;
}

}  // namespace humkit
