#include "quenvar/field.h"

#include "quenvar/numform.h"

namespace qv {

Field Field::number(double value)
{
    Field f;
    f.kind_ = Kind::Number;
    f.number_ = value;
    f.text_ = numberForm(value);
    return f;
}

Field Field::single(float value)
{
    Field f;
    f.kind_ = Kind::Number;
    f.precision_ = Precision::Single;
    f.number_ = value;
    f.text_ = singleForm(value);
    return f;
}

Field Field::whole(std::int64_t value)
{
    Field f;
    f.kind_ = Kind::Number;
    f.precision_ = Precision::Whole;
    f.number_ = static_cast<double>(value);
    f.text_ = wholeForm(value);
    return f;
}

Field Field::text(std::string value)
{
    Field f;
    f.kind_ = Kind::Text;
    f.text_ = std::move(value);
    return f;
}

Field Field::numberAsRead(double value, std::string chars)
{
    Field f;
    f.kind_ = Kind::Number;
    f.number_ = value;
    f.text_ = std::move(chars);
    return f;
}

double Field::asNumber() const
{
    switch (kind_) {
    case Kind::Number: return number_;
    case Kind::Text: return textToNumber(text_);
    case Kind::Empty: break;
    }
    return 0;
}

namespace {
// Whether characters read from a file are already the number form of their value, so that a
// rewrite can copy them instead of formatting the value again: "0", or an optional "-", a whole
// part without leading zeros (or "0" before a point), an optional point with digits not ending in
// 0, at most 15 significant digits, no exponent, and a magnitude that the number form writes
// without an exponent. A decimal of at most 15 significant digits reads back exactly, and no
// shorter text reads to the same double, so the number form gives these very characters.
bool isNumberFormAlready(const std::string& t)
{
    if (t == "0") return true;
    std::size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    const std::size_t intStart = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    const std::size_t intDigits = i - intStart;
    if (intDigits == 0 || (t[intStart] == '0' && intDigits > 1)) return false;
    const bool zeroWhole = t[intStart] == '0';
    std::size_t significant = zeroWhole ? 0 : intDigits;
    if (i == t.size()) return !zeroWhole && significant <= 15;  // a whole number, not "-0"
    if (t[i] != '.' || i + 1 == t.size() || t.back() == '0') return false;
    std::size_t leadingZeros = 0;
    bool seenDigit = false;
    for (++i; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
        if (zeroWhole && !seenDigit && t[i] == '0')
            ++leadingZeros;
        else {
            seenDigit = true;
            ++significant;
        }
    }
    // 0.000d is still written plainly (1E-04 and up); 0.0000d takes an exponent.
    return significant <= 15 && (!zeroWhole || (seenDigit && leadingZeros <= 3));
}
}  // namespace

std::string Field::writtenForm() const
{
    switch (precision_) {
    case Precision::Single: return singleForm(static_cast<float>(number_));
    case Precision::Whole: return text_;
    case Precision::Double: break;
    }
    if (isNumberFormAlready(text_)) return text_;
    return numberForm(number_);
}

bool operator==(const Field& a, const Field& b)
{
    if (a.kind_ != b.kind_) return false;
    if (a.kind_ == Field::Kind::Number) return a.number_ == b.number_;
    return a.text_ == b.text_;
}

}  // namespace qv
