// Number form, display form and the text-to-number rule.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <regex>
#include <string>

#include "quenvar/numform.h"
#include "quenvar/record.h"

namespace {

// The shape every written number must have: optional minus, digits with an optional "." part
// (or a bare ".5"), and for exponent notation a mantissa, E, a sign and at least two digits.
const std::regex plainForm(R"(-?(\d+(\.\d+)?|\.\d+))");
const std::regex exponentForm(R"(-?\d(\.\d+)?E[+-]\d{2,3})");

bool wellFormed(const std::string& s) { return std::regex_match(s, plainForm) || std::regex_match(s, exponentForm); }

// Significant digits of a written number (leading and trailing zeros of the digit string
// do not count).
int significantDigits(const std::string& s)
{
    std::string digits;
    for (char c : s) {
        if (c == 'E') break;
        if (c >= '0' && c <= '9') digits += c;
    }
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    const auto last = digits.find_last_not_of('0');
    return static_cast<int>(last - first + 1);
}

// An independent reading of a decimal text (the C library's, in the "C" locale).
double cRead(const std::string& s) { return std::strtod(s.c_str(), nullptr); }
float cReadSingle(const std::string& s) { return std::strtof(s.c_str(), nullptr); }

// The value rounded to `digits` significant decimal digits, as the C library rounds.
double roundedTo(double v, int digits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, v);
    return cRead(buf);
}
float roundedSingleTo(float v, int digits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, static_cast<double>(v));
    return cReadSingle(buf);
}

// Fewest significant digits (1..max) that read back to exactly v; max+1 when none does.
int shortestDigits(double v, int max)
{
    for (int k = 1; k <= max; ++k)
        if (roundedTo(v, k) == v) return k;
    return max + 1;
}
int shortestSingleDigits(float v, int max)
{
    for (int k = 1; k <= max; ++k)
        if (roundedSingleTo(v, k) == v) return k;
    return max + 1;
}

// Reads a written number back through the suite's own reader.
double readBack(const std::string& s) { return qv::RecordReader(s + "\r\n", "n").number(); }
float readBackSingle(const std::string& s) { return qv::RecordReader(s + "\r\n", "n").single(); }

}  // namespace

TEST(NumberForm, RandomDoublesOfAtMost15DigitsReadBackExactly)
{
    std::mt19937_64 rng(20240611);
    std::uniform_int_distribution<int> digitCount(1, 15);
    std::uniform_int_distribution<int> wideExp(-300, 300);
    std::uniform_int_distribution<int> narrowExp(-12, 22);
    for (int i = 0; i < 20000; ++i) {
        const int n = digitCount(rng);
        std::string digits = std::to_string(std::uniform_int_distribution<int>(1, 9)(rng));
        for (int d = 1; d < n; ++d) digits += static_cast<char>('0' + rng() % 10);
        const int e = (i % 2 ? wideExp : narrowExp)(rng);
        const std::string source = std::string(i % 3 == 0 ? "-" : "") + digits + "e" + std::to_string(e);
        const double v = cRead(source);
        if (!std::isfinite(v) || v == 0) continue;  // beyond the double range
        const std::string w = qv::numberForm(v);
        SCOPED_TRACE(source + " -> " + w);
        ASSERT_TRUE(wellFormed(w));
        ASSERT_EQ(readBack(w), v);
        ASSERT_EQ(cRead(w), v);
        // Shortest: never more digits than the text it was made from.
        ASSERT_LE(significantDigits(w), significantDigits(digits));
    }
}

TEST(NumberForm, AnyDoubleReadsBackAsIts15DigitRounding)
{
    std::mt19937_64 rng(7);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t bits = rng();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) continue;
        const std::string w = qv::numberForm(v);
        SCOPED_TRACE(w);
        ASSERT_TRUE(wellFormed(w));
        ASSERT_LE(significantDigits(w), 15);
        const double want = roundedTo(v, 15);  // v itself when it has a 15-digit representation
        ASSERT_EQ(cRead(w), want);
        ASSERT_EQ(readBack(w), want);
        ASSERT_LE(significantDigits(w), shortestDigits(v, 15));  // the shortest text
        ++checked;
    }
    EXPECT_GT(checked, 19000);
}

TEST(NumberForm, ArithmeticResultsAreRoundedTo15Digits)
{
    EXPECT_EQ(qv::numberForm(0.1 + 0.2), "0.3");
    EXPECT_EQ(qv::numberForm(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(qv::numberForm(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(qv::numberForm(-1.1 * 1.1), "-1.21");
    EXPECT_EQ(qv::numberForm(123456789012345.0), "123456789012345");
}

TEST(NumberForm, RandomSinglesOfAtMost7DigitsReadBackExactly)
{
    std::mt19937_64 rng(99);
    std::uniform_int_distribution<int> digitCount(1, 7);
    std::uniform_int_distribution<int> exponent(-36, 36);
    for (int i = 0; i < 20000; ++i) {
        const int n = digitCount(rng);
        std::string digits = std::to_string(std::uniform_int_distribution<int>(1, 9)(rng));
        for (int d = 1; d < n; ++d) digits += static_cast<char>('0' + rng() % 10);
        const std::string source = std::string(i % 2 ? "-" : "") + digits + "e" + std::to_string(exponent(rng));
        const float v = cReadSingle(source);
        if (!std::isfinite(v) || v == 0) continue;  // beyond the single range
        const std::string w = qv::singleForm(v);
        SCOPED_TRACE(source + " -> " + w);
        ASSERT_TRUE(wellFormed(w));
        ASSERT_EQ(cReadSingle(w), v);
        ASSERT_EQ(readBackSingle(w), v);
        ASSERT_LE(significantDigits(w), significantDigits(digits));
    }
}

TEST(NumberForm, AnySingleReadsBackAsIts7DigitRounding)
{
    std::mt19937 rng(3);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t bits = rng();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) continue;
        const std::string w = qv::singleForm(v);
        SCOPED_TRACE(w);
        ASSERT_TRUE(wellFormed(w));
        ASSERT_LE(significantDigits(w), 7);
        const float want = roundedSingleTo(v, 7);
        ASSERT_EQ(cReadSingle(w), want);
        ASSERT_EQ(readBackSingle(w), want);
        ASSERT_LE(significantDigits(w), shortestSingleDigits(v, 7));
        ++checked;
    }
    EXPECT_GT(checked, 19000);
}

TEST(NumberForm, SingleIsNotWrittenWithTheDigitsOfItsDoubleValue)
{
    EXPECT_EQ(qv::singleForm(0.1f), "0.1");
    EXPECT_EQ(qv::singleForm(3.3f), "3.3");
    EXPECT_EQ(qv::singleForm(-14.6f), "-14.6");
    EXPECT_EQ(qv::singleForm(1.0f / 3), "0.3333333");
}

TEST(NumberForm, ExponentNotationForVerySmallAndVeryLarge)
{
    EXPECT_EQ(qv::numberForm(1e-5), "1E-05");
    EXPECT_EQ(qv::numberForm(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(qv::numberForm(1.5e20), "1.5E+20");
    EXPECT_EQ(qv::numberForm(-6.02214076e23), "-6.02214076E+23");
    EXPECT_EQ(qv::numberForm(1e100), "1E+100");
    EXPECT_EQ(qv::numberForm(1.25e-300), "1.25E-300");
    EXPECT_EQ(qv::singleForm(1e-5f), "1E-05");
    EXPECT_EQ(qv::singleForm(-3.5e-12f), "-3.5E-12");
    EXPECT_EQ(qv::singleForm(2.5e20f), "2.5E+20");
    EXPECT_EQ(qv::singleForm(std::numeric_limits<float>::max()), "3.402823E+38");
    // The extremes of the double range are written so that they read back.
    for (double v : {std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 1e308, -2e-308}) {
        const std::string w = qv::numberForm(v);
        SCOPED_TRACE(w);
        EXPECT_TRUE(std::regex_match(w, exponentForm));
        EXPECT_EQ(readBack(w), roundedTo(v, 15));
        EXPECT_EQ(cRead(w), roundedTo(v, 15));
    }
    // Next to the largest double, rounding to 15 digits would go past it: whatever reads the
    // file must still get a finite number, the nearest one that 15 digits can give.
    const double max = std::numeric_limits<double>::max();
    for (double v : {max, -max, std::nextafter(max, 0.0)}) {
        const std::string w = qv::numberForm(v);
        SCOPED_TRACE(w);
        EXPECT_TRUE(std::regex_match(w, exponentForm));
        EXPECT_TRUE(std::isfinite(cRead(w)));
        EXPECT_EQ(readBack(w), cRead(w));
        EXPECT_LE(std::fabs(cRead(w) - v), 1e-14 * max);
    }
}

TEST(NumberForm, OrdinaryValuesArePlain)
{
    EXPECT_EQ(qv::numberForm(0), "0");
    EXPECT_EQ(qv::numberForm(-0.0), "0");
    EXPECT_EQ(qv::numberForm(812), "812");
    EXPECT_EQ(qv::numberForm(-1.5), "-1.5");
    EXPECT_EQ(qv::numberForm(100), "100");
    EXPECT_EQ(qv::numberForm(1e14), "100000000000000");
    EXPECT_EQ(qv::wholeForm(-32768), "-32768");
    EXPECT_EQ(qv::wholeForm(2147483647), "2147483647");
    for (double v : {0.5, -0.25, 0.001, 0.0001}) {
        const std::string w = qv::numberForm(v);
        EXPECT_TRUE(std::regex_match(w, plainForm)) << w;
        EXPECT_EQ(readBack(w), v);
    }
}

TEST(NumberForm, ExponentFormsAreRead)
{
    struct Case {
        const char* text;
        double value;
    };
    for (const Case& c :
         {Case{"1E-05", 1e-5}, Case{"1e-5", 1e-5}, Case{"1.5E+20", 1.5e20}, Case{"-2.5e-07", -2.5e-7}, Case{"1E5", 1e5},
          Case{"1.E3", 1e3}, Case{".5e1", 5}, Case{"-6.02214076E+23", -6.02214076e23}, Case{"1E+100", 1e100}}) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(qv::isNumberText(c.text));
        EXPECT_EQ(readBack(c.text), c.value);
        EXPECT_EQ(qv::textToNumber(c.text), c.value);
    }
}

TEST(NumberForm, NeverInfinityOrNotANumber)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (const std::string& w : {qv::numberForm(inf), qv::numberForm(-inf), qv::numberForm(std::nan("")),
                                 qv::singleForm(static_cast<float>(inf)), qv::singleForm(-static_cast<float>(inf)),
                                 qv::singleForm(std::nanf("")), qv::displayForm(inf), qv::displayForm(std::nan(""))}) {
        SCOPED_TRACE(w);
        std::string lower;
        for (char c : w) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(lower.find("inf"), std::string::npos);
        EXPECT_EQ(lower.find("nan"), std::string::npos);
        const std::string bare = w[0] == ' ' ? w.substr(1) : w;
        EXPECT_TRUE(qv::isNumberText(bare));
        EXPECT_TRUE(std::isfinite(readBack(bare)));
        EXPECT_TRUE(std::isfinite(cRead(bare)));
    }
    EXPECT_LT(qv::textToNumber(qv::numberForm(-inf)), 0);
    EXPECT_GT(qv::textToNumber(qv::numberForm(inf)), 0);
}

TEST(DisplayForm, LeadingBlankUnlessNegative)
{
    EXPECT_EQ(qv::displayForm(1.5), " 1.5");
    EXPECT_EQ(qv::displayForm(-1.5), "-1.5");
    EXPECT_EQ(qv::displayForm(0), " 0");
    EXPECT_EQ(qv::displayForm(-0.0), " 0");
    EXPECT_EQ(qv::displayForm(1e-5), " 1E-05");
    EXPECT_EQ(qv::displayForm(-1e-5), "-1E-05");
    EXPECT_EQ(qv::displaySingle(0.1f), " 0.1");
    EXPECT_EQ(qv::displaySingle(-2.5f), "-2.5");
    // The display form is read back by the text-to-number rule.
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    for (int i = 0; i < 1000; ++i) {
        const double v = roundedTo(dist(rng), 12);
        EXPECT_EQ(qv::textToNumber(qv::displayForm(v)), v);
    }
}

TEST(TextToNumber, TheNumberTheTextBeginsWith)
{
    struct Case {
        const char* text;
        double value;
        bool begins;  // whether the text begins with a number at all
    };
    for (const Case& c :
         {Case{"2.75", 2.75, true}, Case{"  2.75abc", 2.75, true}, Case{"\t 7", 7, true},   Case{"-.5", -0.5, true},
          Case{"+3", 3, true},      Case{"1e3x", 1000, true},      Case{"1e", 1, true},     Case{"1e+", 1, true},
          Case{"1E-2", 0.01, true}, Case{"2,75", 2, true},         Case{"12 34", 12, true}, Case{"5.", 5, true},
          Case{"0x10", 0, true},    Case{"1e-999", 0, true},       Case{"abc", 0, false},   Case{"", 0, false},
          Case{".", 0, false},      Case{"-", 0, false},           Case{". 5", 0, false},   Case{"e5", 0, false},
          Case{"--1", 0, false},    Case{"- 1", 0, false}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(qv::textToNumber(c.text), c.value);
        EXPECT_EQ(qv::beginsWithNumber(c.text), c.begins);
    }
    // Beyond the double range: the largest finite value, never infinity.
    EXPECT_EQ(qv::textToNumber("1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(qv::textToNumber("-1e999"), -std::numeric_limits<double>::max());
}

TEST(TextToNumber, CommaVariantTakesTheFirstCommaAsPoint)
{
    EXPECT_EQ(qv::textToNumberComma("2,75"), 2.75);
    EXPECT_EQ(qv::textToNumberComma(" -0,5"), -0.5);
    EXPECT_EQ(qv::textToNumberComma("1,2,3"), 1.2);
    EXPECT_EQ(qv::textToNumberComma("1.5,3"), 1.5);  // "1.5.3": the number it begins with
    EXPECT_EQ(qv::textToNumberComma("2.75"), 2.75);
    EXPECT_EQ(qv::textToNumberComma(",5"), 0.5);
    EXPECT_EQ(qv::textToNumberComma("abc"), 0);
    // The plain rule does not touch the comma.
    EXPECT_EQ(qv::textToNumber(",5"), 0);
}

TEST(TextToNumber, WholeNumberTexts)
{
    for (const char* yes : {"1", "-1", "+1", "1.5", ".5", "5.", "1E5", "1e-05", "007"})
        EXPECT_TRUE(qv::isNumberText(yes)) << yes;
    for (const char* no : {"", " 1", "1 ", "1.2.3", "1e", "e1", ".", "+", "1,5", "1E+", "NaN", "inf", "0x1"})
        EXPECT_FALSE(qv::isNumberText(no)) << no;
}

// A Number read from a file is written back in the number form, whether the rewrite copies its
// characters or formats its value: the two must never differ.
TEST(NumberFormOfReadNumbers, CopiedCharactersEqualTheFormattedValue)
{
    const char* texts[] = {"0",
                           "-0",
                           "7",
                           "-7",
                           "1.5",
                           "1.50",
                           "-0.25",
                           "0.25",
                           ".25",
                           "0.0001",
                           "0.00001",
                           "-0.000123",
                           "123456789012345",
                           "1234567890123456",
                           "12345.6789012345",
                           "12345.67890123456",
                           "100",
                           "1E-05",
                           "1e3",
                           "+3",
                           "007",
                           "0.10",
                           "2.",
                           "999999999999999.9"};
    for (const char* t : texts) {
        qv::RecordReader in(std::string(t) + "\r\n", "t");
        const qv::Field f = in.field();
        ASSERT_TRUE(f.isNumber()) << t;
        EXPECT_EQ(f.writtenForm(), qv::numberForm(f.asNumber())) << t;
    }
}

TEST(NumberFormOfReadNumbers, RandomDecimalsAsAnotherProgramWritesThem)
{
    std::mt19937_64 rng(20261208);
    for (int k = 0; k < 20000; ++k) {
        // Whole and fraction parts of random lengths, as "%.*f" of another program would write.
        const int whole = static_cast<int>(rng() % 17), fraction = static_cast<int>(rng() % 18);
        std::string t = (rng() % 2) ? "-" : "";
        for (int i = 0; i < whole; ++i) t += static_cast<char>('0' + rng() % 10);
        if (whole == 0) t += '0';
        if (fraction > 0) {
            t += '.';
            for (int i = 0; i < fraction; ++i) t += static_cast<char>('0' + (i < 5 && rng() % 3 == 0 ? 0 : rng() % 10));
        }
        qv::RecordReader in(t + "\r\n", "t");
        const qv::Field f = in.field();
        ASSERT_TRUE(f.isNumber()) << t;
        ASSERT_EQ(f.writtenForm(), qv::numberForm(f.asNumber())) << t;
    }
}

// ---- Numbers and answers a person typed ---------------------------------------------------------

TEST(TypedNumber, JudgesTheWholeTextWithOneDecimalComma)
{
    using K = qv::TypedNumber::Kind;
    struct Case {
        const char* text;
        K kind;
        double value;
    };
    const Case cases[] = {
        {"", K::Empty, 0},         {"   ", K::Empty, 0},          {"2,5", K::Number, 2.5},
        {" 2.5 ", K::Number, 2.5}, {"- 1 E-3", K::Number, -1e-3}, {",5", K::Number, 0.5},
        {"abc", K::Invalid, 0},    {"0.110.14", K::Invalid, 0},   {"2,5,1", K::Invalid, 0},
        {"2,5.1", K::Invalid, 0},  {"12abc", K::Invalid, 0},      {"1E", K::Invalid, 0},
    };
    for (const Case& c : cases) {
        const qv::TypedNumber t = qv::typedNumber(c.text);
        EXPECT_EQ(t.kind, c.kind) << '"' << c.text << '"';
        if (c.kind == K::Number) {
            EXPECT_DOUBLE_EQ(t.value, c.value) << c.text;
        }
    }
}

TEST(TypedYesNo, TakesWhatAPersonTypesForYesOrNo)
{
    for (const char* yes : {"yes", "Y", " YES ", "1", "True"}) EXPECT_EQ(qv::typedYesNo(yes), true) << yes;
    for (const char* no : {"no", "N", "0", "false"}) EXPECT_EQ(qv::typedYesNo(no), false) << no;
    for (const char* other : {"", "yep", "2", "ja"}) EXPECT_EQ(qv::typedYesNo(other), std::nullopt) << other;
    EXPECT_EQ(qv::notANumberMessage("log K", "abc"), "The value of \"log K\" is not a number: \"abc\".");
}
