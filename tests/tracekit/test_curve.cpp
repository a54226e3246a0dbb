// The temperature function as numbers: known functions with known values and slopes, the
// enthalpy by van 't Hoff, the refused ranges, the gaps where a value is not finite, and the
// copied table.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <numbers>
#include <ostream>
#include <string>

#include "tracekit/curve.h"

namespace {

using namespace tracekit;

constexpr double T25 = 298.15;
const double RLn10 = 8.314462618 * std::numbers::ln10;

struct Known {
    const char* name;
    Terms terms;
    double T;
    double logK;      // the function at T, worked out by hand
    double enthalpy;  // J/mol: R ln(10) T^2 d(log K)/dT of the one term, in closed form
};

void PrintTo(const Known& k, std::ostream* os) { *os << k.name; }

class KnownFunctions : public ::testing::TestWithParam<Known> {};

TEST_P(KnownFunctions, ValueAndEnthalpyAsTheClosedFormsGive)
{
    const Known& k = GetParam();
    EXPECT_NEAR(logK(k.terms, k.T), k.logK, 1e-12 * std::max(1.0, std::fabs(k.logK)));
    EXPECT_NEAR(reactionEnthalpy(k.terms, k.T), k.enthalpy, 1e-9 * std::max(1.0, std::fabs(k.enthalpy)));
}

INSTANTIATE_TEST_SUITE_P(
    Terms, KnownFunctions,
    ::testing::Values(Known{"A plus C over T", {2, 0, 1000, 0, 0, 0, 0}, T25, 2 + 1000 / T25, -RLn10 * 1000},
                      Known{"B T", {0, 0.01, 0, 0, 0, 0, 0}, 400, 4, RLn10 * 400 * 400 * 0.01},
                      Known{"D log10 T", {0, 0, 0, 3, 0, 0, 0}, 1000, 9, 8.314462618 * 1000 * 3},
                      Known{"E T squared", {0, 0, 0, 0, 1e-5, 0, 0}, 300, 0.9, RLn10 * 2 * 1e-5 * 300 * 300 * 300},
                      Known{"F over T squared", {0, 0, 0, 0, 0, 90000, 0}, 300, 1, -RLn10 * 2 * 90000 / 300},
                      Known{"G over root T", {0, 0, 0, 0, 0, 0, 20}, 400, 1, -RLn10 * 20 * 20 / 2},
                      Known{"constant", {4.852, 0, 0, 0, 0, 0, 0}, T25, 4.852, 0}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(Curve, TheExactSlopeAgreesWithDifferencesOfTheWholeFunction)
{
    const Terms all{18.6377, 0.0095, -1650, -2.5, 1e-05, 85000, 12.5};
    for (const double T : {250.0, T25, 373.15, 600.0}) {
        const double h = 1e-3;
        const double differences = (logK(all, T + h) - logK(all, T - h)) / (2 * h);
        EXPECT_NEAR(logKSlope(all, T), differences, 1e-7) << T;
    }
}

TEST(Curve, RangesBelowAbsoluteZeroOrNotRisingAreRefused)
{
    EXPECT_EQ(checkRange({0, 100}), RangeProblem::None);
    EXPECT_EQ(checkRange({-273.15, -273}), RangeProblem::None);
    EXPECT_EQ(checkRange({50, 50}), RangeProblem::Reversed);
    EXPECT_EQ(checkRange({100, 0}), RangeProblem::Reversed);
    EXPECT_EQ(checkRange({-273.16, 0}), RangeProblem::BelowAbsoluteZero);
    EXPECT_EQ(checkRange({0, -300}), RangeProblem::BelowAbsoluteZero);
    EXPECT_EQ(checkRange({std::nan(""), 10}), RangeProblem::BelowAbsoluteZero);
}

TEST(Curve, PointsSpanTheRangeEvenlyWithBothEndsExact)
{
    const auto points = curve({1, 0, 0, 0, 0, 0, 0}, {0, 100});
    ASSERT_EQ(points.size(), 201u);
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, 0.5 * static_cast<double>(i));
        EXPECT_EQ(points[i].y, 1.0);
    }
    const auto odd = curve({}, {-10.3, 77.7});
    EXPECT_EQ(odd.front().x, -10.3);
    EXPECT_EQ(odd.back().x, 77.7);
}

TEST(Curve, ValuesThatAreNotFiniteLeaveGapsAndAreNamed)
{
    // 1/T at absolute zero: a gap at the first point only. A term of coefficient 0 adds nothing.
    const auto atZero = curve({1, 0, 5, 0, 0, 0, 0}, {-273.15, 0});
    EXPECT_FALSE(atZero.front().y);
    EXPECT_TRUE(atZero[1].y);
    EXPECT_EQ(gapText(atZero),
              "-273.15 \xB0"
              "C");
    EXPECT_EQ(gapText(curve({1, 0, 0, 0, 0, 0, 0}, {-273.15, 0})), "");

    // E T^2 overflows everywhere; inf - inf is no number either.
    const double huge = std::numeric_limits<double>::max();
    EXPECT_EQ(gapText(curve({0, 0, 0, 0, huge, 0, 0}, {0, 100})),
              "0 to 100 \xB0"
              "C");
    EXPECT_EQ(gapText(curve({0, huge, 0, 0, -huge, 0, 0}, {0, 100})),
              "0 to 100 \xB0"
              "C");

    std::vector<qv::forms::PlotPoint> runs;
    for (int i = 0; i < 10; ++i) runs.push_back({double(i), i % 2 ? std::optional<double>(1) : std::nullopt});
    EXPECT_EQ(gapText(runs),
              "0 \xB0"
              "C, 2 \xB0"
              "C, 4 \xB0"
              "C, ...");
}

TEST(Curve, TheTableHasARowEveryFiveDegreesAndAHeader)
{
    const std::string table = tableText({2, 0, 0, 0, 0, 0, 0}, {0, 10}, "log K");
    EXPECT_EQ(table,
              "t (\xB0"
              "C)\tT (K)\tlog K\n0\t273.15\t2\n5\t278.15\t2\n10\t283.15\t2\n");
    EXPECT_EQ(tableRows({0, 100}), 21u);
    EXPECT_EQ(tableRows({0.1, 100.1}), 21u);
    EXPECT_EQ(tableRows({0, 4.9}), 1u);
    EXPECT_GT(tableRows({0, 1e300}), maxTableRows);
    // Not finite: an empty cell.
    EXPECT_EQ(tableText({0, 0, 1, 0, 0, 0, 0}, {-273.15, -270}, "x"),
              "t (\xB0"
              "C)\tT (K)\tx\n-273.15\t0\t\n");
}

TEST(Curve, FiguresHaveFixedDecimals)
{
    EXPECT_EQ(fixedText(4.8521, 3), "4.852");
    EXPECT_EQ(fixedText(-12.345, 1), "-12.3");
    EXPECT_EQ(fixedText(-0.0001, 1), "0.0");
    EXPECT_EQ(fixedText(1.5e20, 3), "1.500E+20");
    EXPECT_EQ(fixedText(std::numeric_limits<double>::infinity(), 3), "not finite");
}

}  // namespace
