// The SIT coefficient file on arbitrary bytes. The listing read stops cleanly at damage and names
// the file; a file that cannot be read whole refuses every rewrite and stays as it was; a file
// that reads is rewritten (a change of no pair, an addition, a deletion), reads back to the same
// records, and a second rewrite gives the same bytes. No working copy is ever left behind.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "ionkit/sitfile.h"
#include "quenvar/error.h"

namespace {

const char* const kName = "sit_eta.txt";

void check(bool holds)
{
    if (!holds) __builtin_trap();
}

bool sameValue(float written, float read)
{
    // The coefficient is written with at most 7 significant digits.
    return written == read || std::fabs(written - read) <= 1e-6f * std::fabs(written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const qv::Files files = qvfuzz::placeInput(data, size, kName);
    const std::string input(reinterpret_cast<const char*>(data), size);

    // What the window's lists take: at most 4000 records, up to the first damaged one.
    std::size_t listed = 0;
    const auto failure = ionkit::scanSit(files, kName, ionkit::sitListLimit, [&](const ionkit::SitRecord&) {
        ++listed;
        return true;
    });
    check(listed <= ionkit::sitListLimit);
    check(!failure || failure->file() == kName);

    // The typed coefficient rule on the same bytes: a number in the single range or nothing.
    if (const auto eta = ionkit::coefficientOf(input)) check(std::isfinite(*eta));

    std::vector<ionkit::SitRecord> records;
    try {
        records = ionkit::readSit(files, kName);
    } catch (const qv::Error& e) {
        check(e.file() == kName);
        check(failure.has_value() || listed == ionkit::sitListLimit);
        bool refused = false;
        try {
            ionkit::changeSit(files, kName, "A", "B", 1, "r");
        } catch (const qv::Error&) {
            refused = true;
        }
        check(refused);
        check(files.readBytes(kName) == input);
        check(!files.exists(ionkit::sitTempName));
        return 0;
    }
    check(!failure);
    check(listed == std::min(records.size(), ionkit::sitListLimit));

    // A change of a pair that no record has: every record written back as read.
    try {
        check(ionkit::changeSit(files, kName, "\x01", "\x01", 0, "") == 0);
    } catch (const qv::Error& e) {
        // Only a Text holding a double quote cannot be written; then nothing is.
        check(e.kind() == qv::ErrorKind::QuoteInText);
        check(files.readBytes(kName) == input);
        check(!files.exists(ionkit::sitTempName));
        return 0;
    }
    const std::string once = files.readBytes(kName);
    const std::vector<ionkit::SitRecord> back = ionkit::readSit(files, kName);
    check(back.size() == records.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        check(back[i].species1 == records[i].species1 && back[i].species2 == records[i].species2);
        check(back[i].reference == records[i].reference);
        check(sameValue(records[i].eta, back[i].eta));
    }
    check(ionkit::changeSit(files, kName, "\x01", "\x01", 0, "") == 0);
    check(files.readBytes(kName) == once);

    // An addition appends one line; deleting its pair again gives the same bytes.
    const ionkit::SitRecord added{
        "\x02"
        "added",
        "\x02"
        "pair",
        0.25f, "fuzz"};
    if (ionkit::addSit(files, kName, added)) {
        const std::vector<ionkit::SitRecord> grown = ionkit::readSit(files, kName);
        check(grown.size() == records.size() + 1);
        check(grown.back().hasKey(added.species1, added.species2) && grown.back().eta == 0.25f);
        check(ionkit::deleteSit(files, kName, added.species1, added.species2) == 1);
        check(files.readBytes(kName) == once);
    }
    check(!files.exists(ionkit::sitTempName));
    return 0;
}
