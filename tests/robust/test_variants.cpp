// The bad variants themselves: each kind of damage is made, and none is the good file.
#include <gtest/gtest.h>

#include <set>

#include "variants.h"

namespace {

const std::string good = "\"Header, with comma\"\r\n812,\"=SOH\",-1.5,0\r\n1,2,3,4\r\n0,\"\",0,0\r\n";

TEST(BadVariants, EveryKindOfDamageIsMadeAndDiffersFromTheGoodFile)
{
    const auto variants = qvtest::badVariants(good);
    std::set<std::string> kinds;
    for (const auto& v : variants) {
        EXPECT_TRUE(v.directory || v.bytes != good) << v.name;
        // The kind is the name less a trailing number ("cut at field boundary 12").
        const auto blank = v.name.rfind(' ');
        const bool numbered =
            blank != std::string::npos && v.name.find_first_not_of("0123456789", blank + 1) == std::string::npos;
        kinds.insert(numbered ? v.name.substr(0, blank + 1) : v.name);
    }
    for (const char* kind : {"cut at field boundary ", "cut mid-field at ", "unclosed quote", "CR-only line ends",
                             "LF-only line ends", "NUL bytes", "binary bytes", "a word for number ", "huge number ",
                             "negative number ", "10 MB of one line", "empty file", "directory"})
        EXPECT_TRUE(kinds.count(kind)) << "missing: " << kind;
}

TEST(BadVariants, CutsStopAtFieldBoundariesAndLineEndsAreRewritten)
{
    for (const auto& v : qvtest::badVariants(good)) {
        if (v.name.rfind("cut at field boundary", 0) == 0) {
            ASSERT_FALSE(v.bytes.empty());
            EXPECT_TRUE(v.bytes.back() == ',' || v.bytes.back() == '\n') << v.name;
            EXPECT_EQ(good.compare(0, v.bytes.size(), v.bytes), 0) << v.name;
        }
        if (v.name == "CR-only line ends") {
            EXPECT_EQ(v.bytes.find('\n'), std::string::npos);
        }
        if (v.name == "LF-only line ends") {
            EXPECT_EQ(v.bytes.find('\r'), std::string::npos);
        }
        if (v.name == "a word for number 0") {
            EXPECT_NE(v.bytes.find("\"abc\",\"=SOH\""), std::string::npos);
        }
        if (v.name == "10 MB of one line") {
            EXPECT_GT(v.bytes.size(), 10u * 1024 * 1024);
        }
    }
}

}  // namespace
