// The site settings document and its file: what is written, what is read back, and the files
// that do not fit the document and are refused.

#include <gtest/gtest.h>

#include <string>

#include "humkit/sitefile.h"
#include "quenvar/error.h"
#include "testsupport.h"

using humkit::readSiteFile;
using humkit::SiteDocument;
using humkit::writeSiteFile;
using qv::Field;
using qvtest::crlf;

namespace {

const std::string fileName = "/data/test.MSI.TXT";

// The error a refused file raises; fails the test when the file is read without one.
qv::Error refusal(const std::string& bytes)
{
    try {
        readSiteFile(bytes, fileName);
    } catch (const qv::Error& e) {
        return e;
    }
    ADD_FAILURE() << "file was not refused:\n" << bytes;
    return qv::Error(qv::ErrorKind::BadFormat, "");
}

}  // namespace

TEST(SiteFileWrite, NewDocumentHasSevenLines)
{
    const SiteDocument doc;
    EXPECT_EQ(writeSiteFile(doc, fileName), crlf({"1", "\"General settings\"", "0,0,0", "3", "0", "0", "0"}));
}

TEST(SiteFileWrite, OnlyEntriesWithinTheCountsAreWritten)
{
    SiteDocument doc;
    humkit::SiteSet& s = doc.set(1);
    // Tables filled beyond the counts, as a set that had more sites before.
    for (auto& site : s.mono) site = Field::number(7);
    for (auto& pair : s.bi) pair = {Field::number(8), Field::number(9)};
    for (auto& triple : s.tri) triple = {Field::number(1), Field::number(2), Field::number(3)};
    s.mono[0] = Field::number(1);
    s.mono[1] = Field::number(2.5);
    s.tri[0] = {Field::number(1), Field::number(2), Field::number(5)};
    s.monoCount = 2;
    s.biCount = 0;
    s.triCount = 1;
    doc.groupCount = 2;
    doc.fractions = {0.25, 0.75, 0.5, 0.5};
    EXPECT_EQ(writeSiteFile(doc, fileName),
              crlf({"1", "\"General settings\"", "2,0,1", "1", "2.5", "1,2,5", "2", "0.25", "0.75"}));
}

TEST(SiteFileWrite, SitesKeepTheKindTheFileGaveThem)
{
    // A word where a site number stands is read as Text and written back quoted; a number
    // written as 1.50 by another program comes back in the number form.
    const std::string bytes = crlf({"1", "\"Cu+2\"", "2,1,0", "1.50", "abc", "3,\"4\"", "2", "0.5", "0.5"});
    const SiteDocument doc = readSiteFile(bytes, fileName);
    EXPECT_TRUE(doc.set(1).mono[1].isText());
    EXPECT_TRUE(doc.set(1).bi[0][1].isText());
    EXPECT_EQ(writeSiteFile(doc, fileName),
              crlf({"1", "\"Cu+2\"", "2,1,0", "1.5", "\"abc\"", "3,\"4\"", "2", "0.5", "0.5"}));
}

TEST(SiteFileWrite, RefusesWhatTheFileCannotCarry)
{
    SiteDocument doc;
    doc.set(1).name = "Cu\"2";
    EXPECT_THROW(writeSiteFile(doc, fileName), qv::Error);
    doc.set(1).name = "Cu+2";
    for (int groups : {1, 5}) {
        doc.groupCount = static_cast<std::int16_t>(groups);
        EXPECT_THROW(writeSiteFile(doc, fileName), qv::Error) << groups;
    }
}

TEST(SiteFileRead, ReadsEverySetAndTheGroups)
{
    const std::string bytes = crlf({"2", "\"General settings\"", "3,2,1", "1", "2", "5", "1,2", "3,4", "1,2,5",
                                    "\"Cu+2\"", "0,0,2", "1,2,3", "4,5,6", "4", "0.25", "0.25", "0.3", "0.2"});
    const SiteDocument doc = readSiteFile(bytes, fileName);
    ASSERT_EQ(doc.setCount, 2);
    EXPECT_EQ(doc.currentSet, 1);
    EXPECT_EQ(doc.set(1).name, "General settings");
    EXPECT_EQ(doc.set(1).monoCount, 3);
    EXPECT_EQ(doc.set(1).biCount, 2);
    EXPECT_EQ(doc.set(1).triCount, 1);
    EXPECT_TRUE(doc.set(1).mono[2].equalsNumber(5));
    EXPECT_TRUE(doc.set(1).bi[1][0].equalsNumber(3));
    EXPECT_TRUE(doc.set(1).tri[0][2].equalsNumber(5));
    EXPECT_EQ(doc.set(2).name, "Cu+2");
    EXPECT_EQ(doc.set(2).triCount, 2);
    EXPECT_TRUE(doc.set(2).tri[1][0].equalsNumber(4));
    EXPECT_EQ(doc.groupCount, 4);
    EXPECT_DOUBLE_EQ(doc.fractions[2], 0.3);
    // Written back, the file is the same.
    EXPECT_EQ(writeSiteFile(doc, fileName), bytes);
}

TEST(SiteFileRead, FieldsMayStandOnAnyLine)
{
    // Line ends are delimiters like commas; an unquoted name runs to the next comma; an empty
    // count reads as 0.
    const SiteDocument doc = readSiteFile("1\r\nMy set, 1,0\n,7\r\n2\r\n.5,.5", fileName);
    EXPECT_EQ(doc.set(1).name, "My set");
    EXPECT_EQ(doc.set(1).monoCount, 1);
    EXPECT_EQ(doc.set(1).triCount, 0);
    EXPECT_TRUE(doc.set(1).mono[0].equalsNumber(7));
    EXPECT_EQ(doc.groupCount, 2);
    EXPECT_DOUBLE_EQ(doc.fractions[1], 0.5);
}

TEST(SiteFileRead, CountsTakeTheirWholeNumberPart)
{
    const SiteDocument doc =
        readSiteFile(crlf({"1.9", "\"A+\"", "1.5,0,0", "4", "3.7", "0.5", "0.5", "0", "0"}), fileName);
    EXPECT_EQ(doc.setCount, 1);
    EXPECT_EQ(doc.set(1).monoCount, 1);
    EXPECT_EQ(doc.groupCount, 3);
}

TEST(SiteFileRead, ExtremeCountsThatFitAreRead)
{
    std::string bytes = "10\r\n";
    for (int p = 1; p <= 10; ++p) bytes += crlf({"\"S" + std::to_string(p) + "\"", "0,0,0"});
    bytes += crlf({"2", "1", "0"});
    EXPECT_EQ(readSiteFile(bytes, fileName).setCount, 10);

    std::string full = crlf({"1", "\"G\"", "8,12,16"});
    for (int i = 0; i < 8; ++i) full += crlf({"1"});
    for (int i = 0; i < 12; ++i) full += crlf({"1,2"});
    for (int i = 0; i < 16; ++i) full += crlf({"1,2,3"});
    full += crlf({"4", "0.1", "0.2", "0.3", "0.4"});
    const SiteDocument doc = readSiteFile(full, fileName);
    EXPECT_EQ(doc.set(1).triCount, 16);
    EXPECT_EQ(writeSiteFile(doc, fileName), full);

    // Every set deleted: no set at all, as the window can save it.
    const SiteDocument none = readSiteFile(crlf({"0", "3", "0.5", "0.3", "0.2"}), fileName);
    EXPECT_EQ(none.setCount, 0);
    EXPECT_EQ(writeSiteFile(none, fileName), crlf({"0", "3", "0.5", "0.3", "0.2"}));
}

TEST(SiteFileRead, RefusesFilesThatDoNotFitTheDocument)
{
    struct Case {
        std::string bytes;
        std::string what;  // a part of the message
    };
    const std::string tail = crlf({"3", "0", "0", "0"});
    const Case cases[] = {
        {crlf({"11"}) + tail, "line 1: the set count is 11, not between 0 and 10"},
        {crlf({"-1"}) + tail, "the set count is -1,"},
        {crlf({"1", "\"G\"", "9,0,0"}) + tail, "line 3: the monodentate count of set 1 is 9, not between 0 and 8"},
        {crlf({"1", "\"G\"", "0,13,0"}) + tail, "the bidentate count of set 1 is 13,"},
        {crlf({"1", "\"G\"", "0,0,17"}) + tail, "the tridentate count of set 1 is 17,"},
        {crlf({"1", "\"G\"", "-1,0,0"}) + tail, "the monodentate count of set 1 is -1,"},
        {crlf({"1", "\"G\"", "0,0,0", "1", "0.5"}), "line 4: the group count is 1, not between 2 and 4"},
        {crlf({"1", "\"G\"", "0,0,0", "5", "0.5", "0.5", "0", "0", "0"}), "the group count is 5,"},
        {crlf({"x"}) + tail, "line 1: the set count is not a number: \"x\""},
        {crlf({"1", "\"G\"", "1,two,0", "1"}) + tail, "the bidentate count of set 1 is not a number: \"two\""},
        {crlf({"1", "\"G\"", "0,0,0", "three", "0.5"}), "the group count is not a number"},
        {crlf({"1", "\"G\"", "0,0,0", "2", "0.5", "half"}), "line 6: the fraction of site group 2 is not a number"},
    };
    for (const Case& c : cases) {
        const qv::Error e = refusal(c.bytes);
        EXPECT_EQ(e.kind(), qv::ErrorKind::BadFormat) << c.bytes;
        EXPECT_EQ(e.file(), fileName);
        EXPECT_NE(std::string(e.what()).find(c.what), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(fileName), std::string::npos) << e.what();
    }
}

TEST(SiteFileRead, ARefusalQuotesOnlyTheStartOfAHugeField)
{
    // A damaged file may hold megabytes where a count stands; the message that refuses it
    // stays short enough for a message box.
    for (const std::string& count : {std::string(100000, '7'), std::string(100000, 'x')}) {
        const std::string what = refusal(crlf({count, "\"G\"", "0,0,0", "3", "0", "0", "0"})).what();
        EXPECT_LT(what.size(), 300u) << what.substr(0, 300);
        EXPECT_NE(what.find("the set count is"), std::string::npos) << what.substr(0, 300);
        EXPECT_NE(what.find(count.substr(0, 20) + "..."), std::string::npos) << what.substr(0, 300);
        EXPECT_NE(what.find(fileName), std::string::npos);
    }
    const std::string what = refusal(crlf({"1", "\"G\"", "0,0,0", "2", "0.5", std::string(5000, 'y')})).what();
    EXPECT_LT(what.size(), 300u) << what.substr(0, 300);
}

TEST(SiteFileRead, ARefusalQuotesControlBytesVisibly)
{
    // A NUL in the quoted field would cut the message short before the file's name.
    const std::string bytes = crlf({"1", "\"G\"", "0,0,0", "2", "0.5", std::string("0\0x\x01y", 5)});
    const std::string what = refusal(bytes).what();
    EXPECT_NE(what.find("the fraction of site group 2 is not a number: \"0?x?y\""), std::string::npos) << what;
    EXPECT_NE(what.find(fileName), std::string::npos) << what;
}

TEST(SiteFileRead, RefusesFilesThatEndEarly)
{
    const std::string whole =
        crlf({"2", "\"G\"", "1,1,1", "1", "1,2", "1,2,3", "\"Cu+2\"", "0,0,0", "2", "0.5", "0.5"});
    // Cut at every line end: each shorter file lacks a field the document needs.
    std::size_t cut = 0;
    int pieces = 0;
    while ((cut = whole.find("\r\n", cut)) != std::string::npos && cut + 2 < whole.size()) {
        cut += 2;
        ++pieces;
        const qv::Error e = refusal(whole.substr(0, cut));
        EXPECT_EQ(e.kind(), qv::ErrorKind::PastEnd) << cut;
        EXPECT_EQ(e.file(), fileName);
        EXPECT_NE(std::string(e.what()).find("the file ends before"), std::string::npos) << e.what();
    }
    EXPECT_EQ(pieces, 10);
    EXPECT_EQ(refusal("").kind(), qv::ErrorKind::PastEnd);
    // A pair cut in the middle of its line.
    EXPECT_NE(std::string(refusal("1\r\n\"G\"\r\n0,1,0\r\n4").what()).find("bidentate combination 1 of set 1"),
              std::string::npos);
}

TEST(SiteDocumentSets, FindAndRemove)
{
    SiteDocument doc;
    doc.setCount = 3;
    doc.set(2).name = "Cu+2";
    doc.set(3).name = "Cu+2";
    doc.set(3).monoCount = 1;
    doc.set(3).mono[0] = Field::number(4);
    EXPECT_EQ(doc.find("Cu+2"), 2);
    EXPECT_EQ(doc.find("General settings"), 1);
    EXPECT_EQ(doc.find("general settings"), 0);
    doc.set(4).name = "Zn+2";  // beyond the sets in use
    EXPECT_EQ(doc.find("Zn+2"), 0);

    doc.removeSet(2);
    EXPECT_EQ(doc.setCount, 2);
    EXPECT_EQ(doc.set(2).name, "Cu+2");
    EXPECT_EQ(doc.set(2).monoCount, 1);
    EXPECT_TRUE(doc.set(2).mono[0].equalsNumber(4));
    EXPECT_EQ(doc.set(3).monoCount, 0);
    doc.removeSet(5);  // not in use: nothing happens
    EXPECT_EQ(doc.setCount, 2);
    doc.removeSet(1);
    doc.removeSet(1);
    EXPECT_EQ(doc.setCount, 0);
    EXPECT_EQ(doc.find("Cu+2"), 0);
}
