// The text record reader and writer: the field syntax every data file of the suite uses.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "quenvar/error.h"
#include "quenvar/field.h"
#include "quenvar/record.h"

using qv::ErrorKind;
using qv::Field;
using qv::RecordReader;
using qv::RecordWriter;

namespace {

RecordReader reader(std::string bytes) { return RecordReader(std::move(bytes), "test.mdb"); }

// Reads every field up to the end of the file.
std::vector<Field> readAll(std::string bytes)
{
    RecordReader in = reader(std::move(bytes));
    std::vector<Field> fields;
    while (!in.atEnd()) fields.push_back(in.field());
    return fields;
}

ErrorKind errorKindOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const qv::Error& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no qv::Error was thrown";
    return ErrorKind::BadFormat;
}

}  // namespace

// ---- Reading ------------------------------------------------------------------------------

TEST(RecordReader, QuotedCommaAndBlanksStayInOneTextField)
{
    RecordReader in = reader("\"Cu+2, sorbed\",\"  two  blanks \",7\r\n");
    Field a = in.field();
    ASSERT_TRUE(a.isText());
    EXPECT_EQ(a.asText(), "Cu+2, sorbed");
    Field b = in.field();
    ASSERT_TRUE(b.isText());
    EXPECT_EQ(b.asText(), "  two  blanks ");
    EXPECT_TRUE(in.field().equalsNumber(7));
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordReader, CharactersAfterClosingQuoteAreSkippedToTheDelimiter)
{
    RecordReader in = reader("\"abc\"  junk,5\r\n\"x\"\r\n6");
    EXPECT_TRUE(in.field().equalsText("abc"));
    EXPECT_TRUE(in.field().equalsNumber(5));
    EXPECT_TRUE(in.field().equalsText("x"));
    EXPECT_TRUE(in.field().equalsNumber(6));
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordReader, QuotedEmptyIsTextAndNothingIsEmpty)
{
    RecordReader in = reader("\"\",,3,\r\n");
    Field quoted = in.field();
    EXPECT_TRUE(quoted.isText());
    EXPECT_EQ(quoted.asText(), "");
    EXPECT_TRUE(in.field().isEmpty());
    EXPECT_TRUE(in.field().equalsNumber(3));
    EXPECT_TRUE(in.atEnd());
    EXPECT_TRUE(in.field().isEmpty());  // the comma before the line end opens one more field
    EXPECT_EQ(errorKindOf([&] { in.field(); }), ErrorKind::PastEnd);
}

TEST(RecordReader, EmptyFieldAskedAsTextAndAsNumber)
{
    RecordReader in = reader("1,,,\t ,2\r\n");
    EXPECT_EQ(in.number(), 1);
    EXPECT_EQ(in.text(), "");
    EXPECT_EQ(in.number(), 0);
    EXPECT_EQ(in.whole16(), 0);  // blanks only: still Empty
    EXPECT_EQ(in.number(), 2);
}

TEST(RecordReader, RecordSpreadOverLinesReadsAsOnOneLine)
{
    // Two (stoichiometry, component ID) pairs on one line and on two lines.
    for (const char* bytes : {"1,811,-1.5,812\r\n", "1,811\r\n-1.5,812\r\n", "1\r\n811\r\n-1.5\r\n812\r\n"}) {
        SCOPED_TRACE(bytes);
        RecordReader in = reader(bytes);
        for (int pair = 0; pair < 2; ++pair) {
            const double stoich = in.number();
            const int id = in.whole16();
            EXPECT_EQ(stoich, pair == 0 ? 1.0 : -1.5);
            EXPECT_EQ(id, pair == 0 ? 811 : 812);
        }
        EXPECT_TRUE(in.atEnd());
    }
}

TEST(RecordReader, SeveralRecordsOnOneLine)
{
    RecordReader in = reader("5,\"Na+\",6,\"K+\",7,\"NH4+\"\r\n");
    std::vector<std::pair<int, std::string>> records;
    while (!in.atEnd()) {
        const int id = in.whole32();
        records.emplace_back(id, in.text());
    }
    const std::vector<std::pair<int, std::string>> want{{5, "Na+"}, {6, "K+"}, {7, "NH4+"}};
    EXPECT_EQ(records, want);
}

TEST(RecordReader, CrLfAndCrLfLineEndsEachEndOneField)
{
    for (const char* bytes : {"1\r2\n3\r\n4", "1\n2\n3\n4\n", "1\r2\r3\r4\r", "1\r\n2\r\n3\r\n4\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(bytes)));
        const auto f = readAll(bytes);
        ASSERT_EQ(f.size(), 4u);
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(f[static_cast<std::size_t>(i)].equalsNumber(i + 1));
    }
}

TEST(RecordReader, NumberKeepsItsCharactersAndReadsAsItsValue)
{
    RecordReader in = reader("1.50,+2.0E+02,007,-.5,5.,1e-5\r\n");
    struct Want {
        const char* chars;
        double value;
    };
    for (const Want& w : {Want{"1.50", 1.5}, Want{"+2.0E+02", 200}, Want{"007", 7}, Want{"-.5", -0.5}, Want{"5.", 5},
                          Want{"1e-5", 1e-5}}) {
        Field f = in.field();
        ASSERT_TRUE(f.isNumber()) << w.chars;
        EXPECT_EQ(f.asText(), w.chars);
        EXPECT_EQ(f.asNumber(), w.value) << w.chars;
    }
}

TEST(RecordReader, BlanksAroundANumberAreNotPartOfIt)
{
    RecordReader in = reader("  -2.5  ,\t3\t\r\n   42   \r\n");
    Field a = in.field();
    ASSERT_TRUE(a.isNumber());
    EXPECT_EQ(a.asText(), "-2.5");
    EXPECT_EQ(a.asNumber(), -2.5);
    Field b = in.field();
    ASSERT_TRUE(b.isNumber());
    EXPECT_EQ(b.asText(), "3");
    EXPECT_EQ(in.whole32(), 42);
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordReader, UnquotedNonNumbersAreText)
{
    const auto f = readAll("NICA-Donnan,1.2.3,E5,-,1e,12abc,  two words  \r\n");
    const std::vector<std::string> want{"NICA-Donnan", "1.2.3", "E5", "-", "1e", "12abc", "two words"};
    ASSERT_EQ(f.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_TRUE(f[i].isText()) << want[i];
        EXPECT_EQ(f[i].asText(), want[i]);
    }
}

TEST(RecordReader, ComparisonsFollowTheFieldKind)
{
    const auto f = readAll("812,\"812\",1.50\r\n");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_TRUE(f[0].equalsNumber(812));
    EXPECT_FALSE(f[0].equalsText("812"));
    EXPECT_TRUE(f[1].equalsText("812"));
    EXPECT_FALSE(f[1].equalsNumber(812));
    EXPECT_TRUE(f[2].equalsNumber(1.5));
    EXPECT_TRUE(f[2] == Field::number(1.5));
    EXPECT_FALSE(f[1] == f[0]);
}

TEST(RecordReader, EndOfFileEndsAField)
{
    RecordReader in = reader("1,\"open quote");
    EXPECT_TRUE(in.field().equalsNumber(1));
    Field t = in.field();
    ASSERT_TRUE(t.isText());
    EXPECT_EQ(t.asText(), "open quote");
    EXPECT_TRUE(in.atEnd());

    RecordReader bare = reader("7,NaCl");
    EXPECT_EQ(bare.whole32(), 7);
    EXPECT_EQ(bare.text(), "NaCl");
    EXPECT_TRUE(bare.atEnd());
}

TEST(RecordReader, CommaAtEndOfFileOpensOneEmptyField)
{
    RecordReader in = reader("1,");
    EXPECT_TRUE(in.field().equalsNumber(1));
    EXPECT_TRUE(in.field().isEmpty());
    EXPECT_EQ(errorKindOf([&] { in.field(); }), ErrorKind::PastEnd);
}

TEST(RecordReader, ReadingPastTheEndThrowsNamingTheFile)
{
    // However the file ends, once only blanks and line ends remain no field can be read.
    for (const char* bytes : {"1", "1\r\n", "1\r\n\r\n", "1\r\n   \r\n\t", "1  \n\n\n"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(bytes)));
        RecordReader in = reader(bytes);
        EXPECT_EQ(in.whole32(), 1);
        EXPECT_TRUE(in.atEnd());
        try {
            in.field();
            ADD_FAILURE() << "read past the end";
        } catch (const qv::Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::PastEnd);
            EXPECT_EQ(e.file(), "test.mdb");
            EXPECT_STREQ(e.what(), "Input past end of file: test.mdb");
        }
    }
    RecordReader empty = reader("");
    EXPECT_TRUE(empty.atEnd());
    EXPECT_EQ(errorKindOf([&] { empty.text(); }), ErrorKind::PastEnd);
}

TEST(RecordReader, BlankLineInsideTheFileIsNotTheEnd)
{
    RecordReader in = reader("1\r\n\r\n2\r\n");
    EXPECT_EQ(in.number(), 1);
    EXPECT_FALSE(in.atEnd());
}

TEST(RecordReader, TypedReadsRefuseWhatDoesNotFit)
{
    RecordReader in = reader("abc,40000,2.7,-2.7,1e39,\"12\"\r\n");
    try {
        in.number();
        ADD_FAILURE() << "a word read as a number";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::TypeMismatch);
        EXPECT_EQ(e.file(), "test.mdb");
    }
    EXPECT_EQ(errorKindOf([&] { in.whole16(); }), ErrorKind::TypeMismatch);  // out of 16-bit range
    EXPECT_EQ(in.whole16(), 2);                                              // fraction dropped
    EXPECT_EQ(in.whole32(), -2);
    EXPECT_EQ(errorKindOf([&] { in.single(); }), ErrorKind::TypeMismatch);  // beyond single range
    EXPECT_EQ(errorKindOf([&] { in.number(); }), ErrorKind::TypeMismatch);  // quoted: a Text
}

TEST(RecordReader, LineCountsEveryKindOfLineEnd)
{
    RecordReader in = reader("1\r\n2\r3\n4");
    EXPECT_EQ(in.line(), 1);
    in.field();
    EXPECT_EQ(in.line(), 2);
    in.field();
    EXPECT_EQ(in.line(), 3);
    in.field();
    EXPECT_EQ(in.line(), 4);
}

// ---- The DOS end-of-file mark ------------------------------------------------------------

namespace {

std::string demoBytes(const std::string& name)
{
    std::ifstream in(std::string(DEMO_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

// Every kind of data file, ended the ways DOS-era writers end it, reads field for field as
// the file without the mark, and the reader holds none of the bytes from the mark on.
TEST(RecordReader, EndOfFileMarkEndsEveryKindOfFile)
{
    const char* const kinds[] = {"dabase.txt", "deftempar.dat", "comp.mdb",    "thermo.mdb", "type6.mdb",
                                 "analyt.mdb", "sit_eta.txt",   "demo.mdb",    "demo.cdb",   "demo.iso",
                                 "demo.nic",   "demo.bli",      "demo.MSI.TXT"};
    struct Ending {
        const char* what;
        std::string tail;  // appended to the file
    };
    const Ending endings[] = {
        {"mark after the last line", "\x1A"},
        {"mark and the rest of the sector", std::string("\x1A\x1A\x1A\0\0 junk,\"x\r\n", 14)},
        {"mark after blanks", "  \t\x1A"},
        {"mark after a blank line", "\r\n\x1A\r\n"},
    };
    for (const char* kind : kinds) {
        const std::string plain = demoBytes(kind);
        ASSERT_GT(plain.size(), 2u) << kind;
        ASSERT_EQ(plain.find('\x1A'), std::string::npos) << kind;
        const std::vector<Field> expected = readAll(plain);
        for (const Ending& e : endings) {
            const std::string marked = plain + e.tail;
            EXPECT_EQ(readAll(marked), expected) << kind << ": " << e.what;
            EXPECT_EQ(reader(marked).bytes(), plain + e.tail.substr(0, e.tail.find('\x1A'))) << kind << ": " << e.what;
        }
    }
}

TEST(RecordReader, EndOfFileMarkOnlyWhereAFieldWouldBegin)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<Field> fields;
    };
    const Case cases[] = {
        {"after a comma", "1,\x1A,2\r\n", {Field::number(1)}},
        {"inside a quoted text", "\"a\x1A b\",2\r\n\x1A", {Field::text("a\x1A b"), Field::number(2)}},
        {"quoted text spread over the mark's line",
         "\"a\r\n\x1A\",2\r\n",
         {Field::text("a\r\n\x1A"), Field::number(2)}},
        {"inside a bare field", "1,a\x1A\r\n", {Field::number(1), Field::text("a\x1A")}},
        {"first byte", "\x1A\"x\"\r\n", {}},
        {"no mark", "1,2\r\n", {Field::number(1), Field::number(2)}},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.bytes), c.fields) << c.what;
    RecordReader in = reader("\x1A\r\n");
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(errorKindOf([&] { in.field(); }), ErrorKind::PastEnd);
}

// ---- Writing ------------------------------------------------------------------------------

TEST(RecordWriter, WritesTheRecordsAsQuenvarReadsThem)
{
    RecordWriter out;
    out.whole(0).text("");
    for (int i = 0; i < 8; ++i) out.whole(0);
    out.endLine();
    out.whole(812).text("=SOH").number(-1.5).endLine();
    out.number(1).empty().number(2).endLine();
    out.empty().text("a, b").empty().endLine();
    EXPECT_EQ(out.bytes(),
              "0,\"\",0,0,0,0,0,0,0,0\r\n"
              "812,\"=SOH\",-1.5\r\n"
              "1,,2\r\n"
              ",\"a, b\",\r\n");
}

TEST(RecordWriter, NumberReadAs150IsWrittenBackAs15)
{
    RecordReader in = reader("1.50,+3.000,1.0E+02,-0\r\n");
    RecordWriter out;
    while (!in.atEnd()) out.field(in.field());
    out.endLine();
    EXPECT_EQ(out.bytes(), "1.5,3,100,0\r\n");
}

TEST(RecordWriter, WrittenRecordReadsBackWithTheSameKindsAndValues)
{
    struct Value {
        Field field;
        double readBack;  // the number read back (Numbers only)
    };
    const std::vector<Value> record{{Field::number(1.5), 1.5},
                                    {Field::text("a, b"), 0},
                                    {Field(), 0},
                                    {Field::whole(-7), -7},
                                    {Field::single(0.1f), 0.1},
                                    {Field::text(""), 0},
                                    {Field::text("  padded "), 0},
                                    {Field::number(1e-5), 1e-5},
                                    {Field::text("12"), 0},
                                    {Field::number(-123456.789), -123456.789},
                                    {Field::text("NICA-Donnan"), 0},
                                    {Field::whole(2147483647), 2147483647.0},
                                    {Field::number(1.0 / 3), 0.333333333333333}};
    RecordWriter out("out.mdb");
    for (const Value& v : record) out.field(v.field);
    out.endLine();
    RecordReader in(out.bytes(), "out.mdb");
    for (const Value& v : record) {
        SCOPED_TRACE(v.field.asText());
        Field got = in.field();
        EXPECT_EQ(got.kind(), v.field.kind());
        if (v.field.isNumber())
            EXPECT_EQ(got.asNumber(), v.readBack);
        else
            EXPECT_EQ(got.asText(), v.field.asText());
    }
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordWriter, SingleIsWrittenWithSevenDigits)
{
    RecordWriter out;
    out.single(0.1f).single(-1.5f).single(3.3f).endLine();
    EXPECT_EQ(out.bytes(), "0.1,-1.5,3.3\r\n");
}

TEST(RecordWriter, TextHoldingADoubleQuoteIsRefused)
{
    EXPECT_FALSE(qv::writableText("5\" pipe"));
    EXPECT_TRUE(qv::writableText("5' pipe, with comma"));
    RecordWriter out("analyt.mdb");
    out.number(1);
    try {
        out.text("5\" pipe");
        ADD_FAILURE() << "a quote was written";
    } catch (const qv::Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::QuoteInText);
        EXPECT_EQ(e.file(), "analyt.mdb");
    }
    EXPECT_EQ(errorKindOf([&] { out.field(Field::text("\"")); }), ErrorKind::QuoteInText);
    // Nothing of the refused values went into the output.
    out.text("ok").endLine();
    EXPECT_EQ(out.bytes(), "1,\"ok\"\r\n");
}
