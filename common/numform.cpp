#include "quenvar/numform.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace qv {

namespace {

// Splits a to_chars result in scientific notation ("d.ddde±xx") into its digits and exponent.
struct Decimal {
    bool negative = false;
    std::string digits;  // significant digits, no leading or trailing zeros (at least one digit)
    int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent)... see layout(): d1.d2d3 * 10^exponent
};

Decimal decompose(std::string_view sci)
{
    Decimal d;
    std::size_t i = 0;
    if (i < sci.size() && sci[i] == '-') {
        d.negative = true;
        ++i;
    }
    for (; i < sci.size() && sci[i] != 'e'; ++i)
        if (sci[i] != '.') d.digits += sci[i];
    if (i < sci.size())
        std::from_chars(sci.data() + i + 1 + (sci[i + 1] == '+' ? 1 : 0), sci.data() + sci.size(), d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Lays out the digits either positionally or in exponent notation.
std::string layout(const Decimal& d, int maxPlainExponent)
{
    std::string out;
    if (d.negative) out += '-';
    if (d.digits == "0") return "0";
    const int e = d.exponent;
    if (e < -4 || e >= maxPlainExponent) {
        out += d.digits[0];
        if (d.digits.size() > 1) {
            out += '.';
            out.append(d.digits, 1);
        }
        out += 'E';
        out += e < 0 ? '-' : '+';
        std::string ex = std::to_string(e < 0 ? -e : e);
        if (ex.size() < 2) ex.insert(0, 1, '0');
        out += ex;
        return out;
    }
    if (e < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-e - 1), '0');
        out += d.digits;
        return out;
    }
    const auto intDigits = static_cast<std::size_t>(e + 1);
    if (d.digits.size() <= intDigits) {
        out += d.digits;
        out.append(intDigits - d.digits.size(), '0');
    } else {
        out.append(d.digits, 0, intDigits);
        out += '.';
        out.append(d.digits, intDigits);
    }
    return out;
}

template <typename T>
std::string shortestForm(T value, int maxDigits, int maxPlainExponent)
{
    if (value == 0) return "0";  // also turns -0 into 0
    if (!std::isfinite(value)) {
        // Never produced by the suite's own arithmetic; keep the file readable anyway.
        value = std::isnan(value) ? T(0) : std::copysign(std::numeric_limits<T>::max(), value);
        if (value == 0) return "0";
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    Decimal d = decompose(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
    if (static_cast<int>(d.digits.size()) > maxDigits) {
        // No text of at most maxDigits digits reads back exactly: round to maxDigits digits.
        res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, maxDigits - 1);
        T back{};
        if (std::fabs(value) > 1 && std::from_chars(buf, res.ptr, back).ec == std::errc::result_out_of_range) {
            // Rounded up past the largest finite value (only next to it): take the text one unit
            // lower in the last digit, so that every reader gets a finite number.
            for (char* p = std::find(buf, res.ptr, 'e'); p != buf && p[-1] != '-';) {
                --p;
                if (*p == '.') continue;
                if (*p > '0') {
                    --*p;
                    break;
                }
                *p = '9';
            }
        }
        d = decompose(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
    }
    return layout(d, maxPlainExponent);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of text that is a decimal number; 0 when there is none.
std::size_t numberPrefix(std::string_view t)
{
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && isDigit(t[j])) {
            while (j < t.size() && isDigit(t[j])) ++j;
            i = j;
        }
    }
    return i;
}

double parsePrefix(std::string_view t)
{
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    // Plain whole numbers of up to 15 digits (most fields of every file) need no float parse.
    if (t.size() <= 15) {
        std::int64_t whole = 0;
        std::size_t i = 0;
        while (i < t.size() && isDigit(t[i])) whole = whole * 10 + (t[i++] - '0');
        if (i == t.size() && i > 0) return negative ? -static_cast<double>(whole) : static_cast<double>(whole);
    }
    double v = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched: tell an underflow from an overflow by the exponent.
        const auto e = t.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && t.find('-', e) != std::string_view::npos;
        v = tiny ? 0.0 : std::numeric_limits<double>::max();
    }
    return negative ? -v : v;
}

}  // namespace

std::string numberForm(double value) { return shortestForm(value, 15, 15); }
std::string singleForm(float value) { return shortestForm(value, 7, 7); }
std::string wholeForm(std::int64_t value) { return std::to_string(value); }

std::string displayForm(double value)
{
    std::string s = numberForm(value);
    return s[0] == '-' ? s : " " + s;
}

std::string displaySingle(float value)
{
    std::string s = singleForm(value);
    return s[0] == '-' ? s : " " + s;
}

bool isNumberText(std::string_view text) { return !text.empty() && numberPrefix(text) == text.size(); }

double parseNumberText(std::string_view text) { return parsePrefix(text); }

double textToNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    text.remove_prefix(i);
    const std::size_t n = numberPrefix(text);
    return n == 0 ? 0.0 : parsePrefix(text.substr(0, n));
}

double textToNumberComma(std::string_view text)
{
    std::string s(text);
    if (auto comma = s.find(','); comma != std::string::npos) s[comma] = '.';
    return textToNumber(s);
}

bool beginsWithNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    return numberPrefix(text.substr(i)) > 0;
}

}  // namespace qv

namespace qv {

TypedNumber typedNumber(std::string_view text)
{
    std::string bare;
    for (char ch : text)
        if (!isBlank(ch)) bare.push_back(ch);
    if (bare.empty()) return {};
    const std::size_t comma = bare.find(',');
    if (comma != std::string::npos) {
        if (bare.find('.') != std::string::npos) return {TypedNumber::Kind::Invalid, 0};
        bare[comma] = '.';
    }
    if (!isNumberText(bare)) return {TypedNumber::Kind::Invalid, 0};
    return {TypedNumber::Kind::Number, parseNumberText(bare)};
}

std::optional<bool> typedYesNo(std::string_view text)
{
    std::string bare;
    for (char ch : text)
        if (!isBlank(ch)) bare.push_back(static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch));
    if (bare == "yes" || bare == "y" || bare == "1" || bare == "true") return true;
    if (bare == "no" || bare == "n" || bare == "0" || bare == "false") return false;
    return std::nullopt;
}

std::string notANumberMessage(std::string_view field, std::string_view typed)
{
    constexpr std::size_t shown = 60;  // a pasted page of text stays a one-line message
    std::string text(typed.substr(0, shown));
    if (typed.size() > shown) text += "...";
    return "The value of \"" + std::string(field) + "\" is not a number: \"" + text + "\".";
}

}  // namespace qv
