#pragma once
// The temperature function of an analyte record as numbers: log K, its slope and the reaction
// enthalpy it implies, the curve over a range of temperatures, and the table of it.
//
//     log K = A + B * T + C / T + D * LOG10(T) + E * T * T + F / (T * T) + G / SQRT(T)
//
// T is in kelvin, as Quenvar reads the function; ranges and tables are in degrees Celsius, as
// the user thinks of them. Nothing here throws or loops without bound, whatever the terms hold:
// a value that overflows or has no meaning (1/T at absolute zero) comes out not finite.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "quenvar/forms.h"
#include "tracekit/analyt.h"

namespace tracekit {

inline constexpr double zeroCelsius = 273.15;       // K
inline constexpr double gasConstant = 8.314462618;  // J / (mol K)
inline constexpr double referenceCelsius = 25;      // the temperature of the figures under the plot
inline constexpr double tableStep = 5;              // °C between the rows of a copied table
inline constexpr std::size_t maxTableRows = 10001;  // 50 000 °C at 5 °C a row
inline constexpr int curvePoints = 201;

// log K at `kelvin`. A term whose coefficient is 0 adds nothing at any temperature.
double logK(const Terms& terms, double kelvin);
// d(log K) / dT at `kelvin`, per kelvin, from the terms themselves.
double logKSlope(const Terms& terms, double kelvin);
// The reaction enthalpy by van 't Hoff, in J/mol: R ln(10) T^2 d(log K)/dT.
double reactionEnthalpy(const Terms& terms, double kelvin);

// A range of temperatures in °C.
struct TemperatureRange {
    double from = 0;
    double to = 100;
};

enum class RangeProblem { None, Reversed, BelowAbsoluteZero };
// Whether a range can be plotted: from below to, neither below -273.15 °C.
RangeProblem checkRange(const TemperatureRange& range);

// `count` points evenly spread over the range, both ends included: x in °C, y the log K where
// finite.
std::vector<qv::forms::PlotPoint> curve(const Terms& terms, const TemperatureRange& range, int count = curvePoints);

// The runs of points without a value, as the user reads them: "-273.15 °C", "50 to 100 °C",
// joined by ", " (at most three runs, then "..."); empty when every point has one.
std::string gapText(const std::vector<qv::forms::PlotPoint>& points);

// The rows of the table: one at the start of the range and every 5 °C after it up to its end.
std::size_t tableRows(const TemperatureRange& range);
// The table, tab-separated, lines ended by LF: a header "t (°C)", "T (K)", `valueName`, then
// t, T and the value (empty where not finite) in the number form. Windows-1252.
std::string tableText(const Terms& terms, const TemperatureRange& range, const std::string& valueName);

// A figure with a fixed number of decimals ("4.852", "-12.3"); exponent form from 1E+15 on,
// "not finite" for infinities and NaN. Never "-0.0".
std::string fixedText(double value, int decimals);

}  // namespace tracekit
