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
// A whole number as the number form writes it: "0", or an optional "-" and up to 15 digits
// without a leading zero. Such characters read from a file are already their written form.
bool isPlainWhole(const std::string& t)
{
    std::size_t i = t.size() > 1 && t[0] == '-' ? 1 : 0;
    const std::size_t digits = t.size() - i;
    if (digits == 0 || digits > 15 || (t[i] == '0' && (digits > 1 || i > 0))) return false;
    for (; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    return true;
}
}  // namespace

std::string Field::writtenForm() const
{
    switch (precision_) {
    case Precision::Single: return singleForm(static_cast<float>(number_));
    case Precision::Whole: return text_;
    case Precision::Double: break;
    }
    if (isPlainWhole(text_)) return text_;
    return numberForm(number_);
}

bool operator==(const Field& a, const Field& b)
{
    if (a.kind_ != b.kind_) return false;
    if (a.kind_ == Field::Kind::Number) return a.number_ == b.number_;
    return a.text_ == b.text_;
}

}  // namespace qv
