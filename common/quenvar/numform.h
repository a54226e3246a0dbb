#pragma once
// Number texts as Quenvar's files hold them, independent of any locale.
//
// Number form: the shortest decimal text that reads back to the same value (at most 15
// significant digits for a double, 7 for a single-precision value), "." as decimal point, a
// leading "-" for negatives, exponent notation ("1E-05", "1.5E+20") for very small and very
// large magnitudes.
// Display form: the number form with one leading blank when the value is not negative.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

std::string numberForm(double value);
std::string singleForm(float value);
std::string wholeForm(std::int64_t value);

std::string displayForm(double value);
std::string displaySingle(float value);

// The text-to-number rule for text a user typed: the number the text begins with (leading
// blanks skipped, "." as decimal point, optional sign and exponent); 0 when it begins with no
// number. Never infinite: magnitudes beyond the double range give the largest finite value.
double textToNumber(std::string_view text);

// The sorption editor's variant: the first comma becomes a decimal point first, so that a
// value typed with a decimal comma ("2,75") reads as 2.75.
double textToNumberComma(std::string_view text);

// Whether the text begins with a number at all (after leading blanks).
bool beginsWithNumber(std::string_view text);

// Whether the whole text (no blanks around it) is a decimal number: optional sign, digits with
// an optional "." part (".5" and "5." included), optional exponent.
bool isNumberText(std::string_view text);

// The value of a text that isNumberText accepts.
double parseNumberText(std::string_view text);

}  // namespace qv

namespace qv {

// A number a person typed into a box, judged whole: blanks anywhere are removed and one decimal
// comma is taken as the decimal point ("2,5" is 2.5 in every tool). Anything else that is not
// wholly a number ("abc", "0.110.14", "2,5,1") is Invalid, so a slip is refused rather than
// stored as the number its text happens to begin with.
struct TypedNumber {
    enum class Kind { Empty, Number, Invalid };
    Kind kind = Kind::Empty;
    double value = 0;
    bool empty() const { return kind == Kind::Empty; }
    bool valid() const { return kind == Kind::Number; }
};
TypedNumber typedNumber(std::string_view text);

// A yes/no answer typed into a box: yes/no, y/n, 1/0, true/false in any case, blanks ignored.
// Nothing for any other text.
std::optional<bool> typedYesNo(std::string_view text);

// The refusal shown for a typed text that is not a number:
//   The value of "log K" is not a number: "abc".
std::string notANumberMessage(std::string_view field, std::string_view typed);

}  // namespace qv
