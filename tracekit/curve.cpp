#include "tracekit/curve.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "quenvar/numform.h"

namespace tracekit {

namespace {

// The Windows-1252 degree sign.
constexpr const char* degrees =
    "\xB0"
    "C";

}  // namespace

double logK(const Terms& t, double T)
{
    const auto [a, b, c, d, e, f, g] = t;
    double sum = a;
    if (b != 0) sum += b * T;
    if (c != 0) sum += c / T;
    if (d != 0) sum += d * std::log10(T);
    if (e != 0) sum += e * T * T;
    if (f != 0) sum += f / (T * T);
    if (g != 0) sum += g / std::sqrt(T);
    return sum;
}

double logKSlope(const Terms& t, double T)
{
    const auto [a, b, c, d, e, f, g] = t;
    (void)a;
    double slope = b;
    if (c != 0) slope -= c / (T * T);
    if (d != 0) slope += d / (T * std::numbers::ln10);
    if (e != 0) slope += 2 * e * T;
    if (f != 0) slope -= 2 * f / (T * T * T);
    if (g != 0) slope -= g / (2 * T * std::sqrt(T));
    return slope;
}

double reactionEnthalpy(const Terms& terms, double T)
{
    return gasConstant * std::numbers::ln10 * T * T * logKSlope(terms, T);
}

RangeProblem checkRange(const TemperatureRange& range)
{
    if (!(range.from >= -zeroCelsius) || !(range.to >= -zeroCelsius)) return RangeProblem::BelowAbsoluteZero;
    if (!(range.from < range.to)) return RangeProblem::Reversed;
    return RangeProblem::None;
}

std::vector<qv::forms::PlotPoint> curve(const Terms& terms, const TemperatureRange& range, int count)
{
    std::vector<qv::forms::PlotPoint> points;
    if (count < 2) return points;
    points.reserve(static_cast<std::size_t>(count));
    const double width = range.to - range.from;
    for (int i = 0; i < count; ++i) {
        // The ends exactly as given, the points between without accumulated error.
        const double t = i == count - 1 ? range.to : range.from + width * i / (count - 1);
        const double value = logK(terms, t + zeroCelsius);
        points.push_back({t, std::isfinite(value) ? std::optional<double>(value) : std::nullopt});
    }
    return points;
}

std::string gapText(const std::vector<qv::forms::PlotPoint>& points)
{
    constexpr int shownRuns = 3;
    std::string text;
    int runs = 0;
    for (std::size_t i = 0; i < points.size();) {
        if (points[i].y) {
            ++i;
            continue;
        }
        std::size_t last = i;
        while (last + 1 < points.size() && !points[last + 1].y) ++last;
        if (runs == shownRuns) {
            text += ", ...";
            break;
        }
        if (runs > 0) text += ", ";
        text += qv::numberForm(points[i].x);
        if (last != i) text += " to " + qv::numberForm(points[last].x);
        text += std::string(" ") + degrees;
        ++runs;
        i = last + 1;
    }
    return text;
}

std::size_t tableRows(const TemperatureRange& range)
{
    if (checkRange(range) != RangeProblem::None) return 0;
    // A hair of tolerance, so that 0.1 to 100.1 ends on its last row however the sum rounds.
    const double steps = std::floor((range.to - range.from) / tableStep + 1e-9);
    if (!(steps < static_cast<double>(maxTableRows))) return maxTableRows + 1;
    return static_cast<std::size_t>(steps) + 1;
}

std::string tableText(const Terms& terms, const TemperatureRange& range, const std::string& valueName)
{
    std::string text = std::string("t (") + degrees + ")\tT (K)\t" + valueName + "\n";
    const std::size_t rows = std::min(tableRows(range), maxTableRows);
    for (std::size_t k = 0; k < rows; ++k) {
        const double t = range.from + tableStep * static_cast<double>(k);
        const double T = t + zeroCelsius;
        const double value = logK(terms, T);
        text += qv::numberForm(t) + '\t' + qv::numberForm(T) + '\t';
        if (std::isfinite(value)) text += qv::numberForm(value);
        text += '\n';
    }
    return text;
}

std::string fixedText(double value, int decimals)
{
    if (!std::isfinite(value)) return "not finite";
    char buffer[64];
    const bool huge = std::fabs(value) >= 1e15;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      huge ? std::chars_format::scientific : std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (huge) {
        // "1.235e+20" in the suite's way of writing exponents: "1.235E+20".
        if (auto e = text.find('e'); e != std::string::npos) text[e] = 'E';
    } else if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);  // a small negative rounded to zero
    }
    return text;
}

}  // namespace tracekit
