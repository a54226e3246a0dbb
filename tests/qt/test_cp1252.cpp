// Windows-1252 between the bytes of Quenvar's files and the texts the widgets show.

#include <gtest/gtest.h>

#include <set>

#include "quenvar/qt/cp1252.h"

using namespace qv::qt;

TEST(Cp1252, EveryByteComesBackUnchanged)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString text = fromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    const auto back = toCp1252(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);

    // No two bytes share a character, or one of them could not come back.
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) seen.insert(cp1252ToUnicode(static_cast<unsigned char>(b)));
    EXPECT_EQ(seen.size(), 256u);
}

TEST(Cp1252, CharactersOfTheCodePage)
{
    EXPECT_EQ(fromCp1252("H\xFC"
                         "ckel"),
              QString::fromUtf8("Hückel"));
    EXPECT_EQ(fromCp1252("\x80"), QString::fromUtf8("€"));
    EXPECT_EQ(fromCp1252("\x9F"), QString::fromUtf8("Ÿ"));
    EXPECT_EQ(fromCp1252("\x96\x93\x94"), QString::fromUtf8("–“”"));
    EXPECT_EQ(fromCp1252("\xA0"), QString(QChar(0x00A0)));
    // The undefined bytes stand for the control characters of the same number.
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(cp1252ToUnicode(b), char32_t(b));

    EXPECT_EQ(toCp1252(QString::fromUtf8("Größe € µ")), std::optional<std::string>("Gr\xF6\xDF"
                                                                                   "e \x80 \xB5"));
}

TEST(Cp1252, CharacterWithoutByteIsRefusedAndNamed)
{
    struct Case {
        const char* utf8;
        char32_t refused;
    };
    for (const Case& c : {Case{"ab\xC4\x81"
                               "c",
                               0x0101},                                     // a with macron
                          Case{"\xC2\x80", 0x0080},                         // byte 0x80 is the euro sign
                          Case{"x\xF0\x9F\x98\x80", 0x1F600},               // beyond 16 bits
                          Case{"\xE2\x82\xAC\xCE\xB1\xCE\xB2", 0x03B1}}) {  // the first one is named
        char32_t refused = 0;
        EXPECT_FALSE(toCp1252(QString::fromUtf8(c.utf8), &refused).has_value()) << c.utf8;
        EXPECT_EQ(refused, c.refused) << c.utf8;
    }
    EXPECT_EQ(codePointName(0x0101), "U+0101");
    EXPECT_EQ(codePointName(0x1F600), "U+1F600");
    EXPECT_EQ(toCp1252Lossy(QString::fromUtf8("a\xC4\x81\xC3\xBC")), "a?\xFC");
}
