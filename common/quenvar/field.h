#pragma once
// One field of a text record: Empty, Number or Text.
//
// A Number keeps the characters it was read from, so that asking it as Text gives them exactly
// as they stood in the file; a Number made by the program has the number form as its text.

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class Field {
public:
    enum class Kind { Empty, Number, Text };

    Field() = default;  // Empty
    static Field number(double value);
    static Field single(float value);  // written with at most 7 significant digits
    static Field whole(std::int64_t value);
    static Field text(std::string value);
    static Field numberAsRead(double value, std::string chars);

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isText() const { return kind_ == Kind::Text; }

    // The field asked as Text: the characters of a Text or of a Number; "" for Empty.
    const std::string& asText() const { return text_; }
    // The same, taken out of a field that is no longer needed.
    std::string takeText() && { return std::move(text_); }
    // The field asked as Number: its value; 0 for Empty; for a Text, the number its
    // characters begin with (0 when none).
    double asNumber() const;

    // The number form as the writer puts it (shortest round trip) for a Number.
    std::string writtenForm() const;

    // Comparison by kind: a Number numerically, a Text by its characters (case-sensitive).
    bool equalsNumber(double value) const { return kind_ == Kind::Number && number_ == value; }
    bool equalsText(std::string_view value) const { return kind_ == Kind::Text && text_ == value; }

    friend bool operator==(const Field& a, const Field& b);

private:
    enum class Precision : std::uint8_t { Double, Single, Whole };
    Kind kind_ = Kind::Empty;
    Precision precision_ = Precision::Double;
    double number_ = 0;
    std::string text_;
};

}  // namespace qv
