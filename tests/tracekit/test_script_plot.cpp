// The plot of the analyte editor end to end, in script mode: a species picked, a term typed,
// the figures at 25 °C, a few points of both curves, the refused ranges, the gaps and the
// copied table; analyt.mdb changes only on a save.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "testsupport.h"

namespace {

using qvtest::crlf;

const std::string analyt =
    crlf({"\"Analytes\"", "6090550,\"Calcite\",-8.9456,-0.0125,1250,0,0,0,0", "0,\"\",0,0,0,0,0,0,0",
          "550030,\"HCO3-\",7.6468,0,800,0,0,0,0", "0,\"\",0,0,0,0,0,0,0"});

class TracekitPlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("dabase.txt", crlf({"\"" + (dir / "thermo.mdb") + "\",\"" + (dir / "type6.mdb") + "\",\"\",\"\""}));
        dir.write("thermo.mdb", crlf({"0,\"END\",0,0,0,0,0,0,0,0,0"}));
        dir.write("type6.mdb", crlf({"0,\"END\",0,0,0,0,0,0,0,0,0"}));
        dir.write("analyt.mdb", analyt);
    }
    qvtest::RunResult run(const std::string& script) const
    {
        return qvtest::runScript(TRACEKIT_BIN, dir.path(), script);
    }
    qvtest::TempDir dir;
};

// The words of a printed line "NAME = WORDS" that starts with `start`.
std::vector<std::string> printedWords(const std::string& output, const std::string& start)
{
    const auto at = output.find(start + " = ");
    if (at == std::string::npos) return {};
    std::vector<std::string> words;
    std::string line = output.substr(at + start.size() + 3, output.find('\n', at) - at - start.size() - 3);
    for (std::size_t i = 0; (i = line.find('"', i)) != std::string::npos;) {
        const auto end = line.find('"', i + 1);
        if (end == std::string::npos) break;
        words.push_back(line.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    return words;
}

double yOf(const std::string& word) { return std::stod(word.substr(word.find(';') + 1)); }

TEST_F(TracekitPlot, FollowsTheTermsAsTypedAndKeepsTheSavedCurveDashed)
{
    // 7.6468 + 800 / 298.15 = 10.33001; dH = -R ln(10) 800 = -15315.8 J/mol.
    const qvtest::RunResult r = run(R"S(
expect pltLogK.caption "inverse log K"
expect lblLogK25.caption ""
print pltLogK.points
expect pltLogK.dashed
expect cmdCopyTable.enabled 0
click optAqueous
pick cboSpecies "HCO3-"
expect pltLogK.caption "log K"
expect lblLogK25.caption "log K (25 )S"
                                    "\xB0"
                                    R"S(C) = 10.330"
expect lblDeltaH.caption "dH (25 )S"
                                    "\xB0"
                                    R"S(C) = -15.3 kJ/mol"
expect lblNotFinite.visible 0
type txtEntryC "0"
expect lblLogK25.caption "log K (25 )S"
                                    "\xB0"
                                    R"S(C) = 7.647"
expect lblDeltaH.caption "dH (25 )S"
                                    "\xB0"
                                    R"S(C) = 0.0 kJ/mol"
print pltLogK.points
print pltLogK.dashed
type txtTmax "-5"
expect lblRange.visible 1
expect lblRange.caption "The range is not plotted: \"from\" must be lower than \"to\". The plot keeps 0 to 100 )S"
                                    "\xB0"
                                    R"S(C."
type txtTmin "-300"
expect lblRange.caption "The range is not plotted: no temperature lies below -273.15 )S"
                                    "\xB0"
                                    R"S(C. The plot keeps 0 to 100 )S"
                                    "\xB0"
                                    R"S(C."
type txtTmin "1.5E"
expect lblRange.caption "The range is not plotted: \"from\" is not a number. The plot keeps 0 to 100 )S"
                                    "\xB0"
                                    R"S(C."
type txtTmin "-273.15"
type txtTmax "-263.15"
type txtEntryC "800"
expect lblRange.visible 0
expect lblNotFinite.caption "log K is not finite at -273.15 )S"
                                    "\xB0"
                                    R"S(C"
click cmdCopyTable
type txtEntryA "8"
click cmdSave
print pltLogK.points
print pltLogK.dashed
)S");
    ASSERT_EQ(r.status, 0) << r.output;

    // At the start, nothing shown and nothing typed: the range's temperatures and no value.
    const std::size_t typedAt = r.output.find("pltLogK.points = ", r.output.find("pltLogK.points = ") + 1);
    const std::string start = r.output.substr(0, typedAt);
    const auto none = printedWords(start, "pltLogK.points");
    ASSERT_EQ(none.size(), 201u);
    EXPECT_EQ(none.front(), "0;");
    EXPECT_EQ(none.back(), "100;");

    // Typed C = 0: a flat curve over 0 to 100 °C; the saved curve dashed, falling with T.
    const std::string typed = r.output.substr(typedAt, r.output.find("clipboard") - typedAt);
    const auto flat = printedWords(typed, "pltLogK.points");
    ASSERT_EQ(flat.size(), 201u);
    for (std::size_t i = 0; i < flat.size(); ++i) {
        const std::string x = std::to_string(i / 2) + (i % 2 ? ".5" : "");
        EXPECT_EQ(flat[i], x + ";7.6468");
    }
    const auto saved = printedWords(typed, "pltLogK.dashed");
    ASSERT_EQ(saved.size(), 201u);
    EXPECT_NEAR(yOf(saved.front()), 7.6468 + 800 / 273.15, 1e-12);
    EXPECT_NEAR(yOf(saved.back()), 7.6468 + 800 / 373.15, 1e-12);

    // The table over -273.15 to -263.15 °C: no value at absolute zero.
    EXPECT_NE(r.output.find("clipboard \"t (\xB0"
                            "C)\tT (K)\tlog K\\n-273.15\t0\t\\n-268.15\t5\t167.6468\\n"
                            "-263.15\t10\t87.6468\\n\"\n"),
              std::string::npos)
        << r.output;

    // After the save both curves are the one saved, with its gap.
    const std::string after = r.output.substr(r.output.find("clipboard"));
    const auto points = printedWords(after, "pltLogK.points");
    EXPECT_EQ(points, printedWords(after, "pltLogK.dashed"));
    ASSERT_EQ(points.size(), 201u);
    EXPECT_EQ(points.front(), "-273.15;");
    EXPECT_NEAR(yOf(points.back()), 8 + 800 / 10.0, 1e-9);
    EXPECT_EQ(dir.read("analyt.mdb"),
              crlf({"\"Analytes\"", "6090550,\"Calcite\",-8.9456,-0.0125,1250,0,0,0,0", "0,\"\",0,0,0,0,0,0,0",
                    "550030,\"HCO3-\",8,0,800,0,0,0,0", "0,\"\",0,0,0,0,0,0,0"}));
}

TEST_F(TracekitPlot, LookingAndCopyingWriteNothing)
{
    const qvtest::RunResult r = run(R"S(
pick cboSpecies "Calcite"
expect lblDeltaH.caption "dH (25 )S"
                                    "\xB0"
                                    R"S(C, inverse) = -45.2 kJ/mol"
type txtEntryE "1E308"
expect lblNotFinite.caption "inverse log K is not finite at 0 to 100 )S"
                                    "\xB0"
                                    R"S(C"
expect lblLogK25.caption "inverse log K (25 )S"
                                    "\xB0"
                                    R"S(C) is not finite"
type txtEntryE " 1E-05"
expect lblNotFinite.visible 0
type txtEntryE "1E-0.5"
type txtEntryG "x"
expect lblNotFinite.caption "inverse log K is not finite at 0 to 100 )S"
                                    "\xB0"
                                    R"S(C (the terms E, G are not numbers)"
type txtEntryG ""
expect lblNotFinite.caption "inverse log K is not finite at 0 to 100 )S"
                                    "\xB0"
                                    R"S(C (the term E is not a number)"
type txtTmax "1E300"
click cmdCopyTable
answer discard
click optSolid
expect pltLogK.dashed
)S");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output,
              "message \"Note!\" \"The table from 0 to 1E+300 \xB0"
              "C would have more than 10001 rows. "
              "Narrow the range to copy it.\" ok none -> ok\n"
              "message \"tracekit For Quenvar\" \"Save changes to Calcite before switching to solid phase "
              "species?\" savediscardcancel question -> discard\n");
    EXPECT_EQ(dir.read("analyt.mdb"), analyt);
}

}  // namespace
