#include "quenvar/record.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "quenvar/error.h"
#include "quenvar/numform.h"

namespace qv {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
constexpr char endOfFileMark = '\x1A';

// Where the DOS end-of-file mark ends the file: at the first 0x1A that stands where a field would
// begin (after blanks at the start of the file or after a delimiter); the size when there is none.
// A 0x1A inside a quoted text is a character of the text, and one inside a bare field is part of
// that field.
std::size_t contentSize(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    // Most files hold no 0x1A at all: one fast look settles that.
    if (std::memchr(bytes.data(), endOfFileMark, n) == nullptr) return n;
    std::size_t pos = 0;
    while (pos < n) {
        while (pos < n && isBlank(bytes[pos])) ++pos;
        if (pos >= n) break;
        if (bytes[pos] == endOfFileMark) return pos;
        if (bytes[pos] == '"') {
            const std::size_t close = bytes.find('"', pos + 1);
            if (close == std::string_view::npos) return n;
            pos = close + 1;
        }
        while (pos < n && bytes[pos] != ',' && !isLineEnd(bytes[pos])) ++pos;
        if (pos < n && bytes[pos] == '\r' && pos + 1 < n && bytes[pos + 1] == '\n') ++pos;
        ++pos;  // past the delimiter
    }
    return n;
}
}  // namespace

RecordReader::RecordReader(std::string bytes, std::string fileName)
    : bytes_(std::move(bytes)), fileName_(std::move(fileName))
{
    bytes_.resize(contentSize(bytes_));
}

bool RecordReader::atEnd() const
{
    for (std::size_t i = pos_; i < bytes_.size(); ++i)
        if (!isBlank(bytes_[i]) && !isLineEnd(bytes_[i])) return false;
    return true;
}

int RecordReader::line() const
{
    // Counted on from the last place asked, so that asking as the reading goes costs no more
    // than the reading itself.
    if (pos_ < lineAt_) {
        lineAt_ = 0;
        lineNo_ = 1;
    }
    for (std::size_t i = lineAt_; i < pos_ && i < bytes_.size(); ++i) {
        if (bytes_[i] == '\n' || (bytes_[i] == '\r' && (i + 1 >= bytes_.size() || bytes_[i + 1] != '\n'))) ++lineNo_;
    }
    lineAt_ = pos_;
    return lineNo_;
}

void RecordReader::consumeDelimiter()
{
    // 4. Consume the delimiter: a comma, or CR, LF, or CR LF. End of file also ends a field.
    const std::size_t n = bytes_.size();
    afterComma_ = false;
    if (pos_ >= n) return;
    const char c = bytes_[pos_];
    if (c == ',') {
        afterComma_ = true;
        ++pos_;
    } else if (c == '\r') {
        ++pos_;
        if (pos_ < n && bytes_[pos_] == '\n') ++pos_;
    } else if (c == '\n') {
        ++pos_;
    }
}

Field RecordReader::field()
{
    const std::size_t n = bytes_.size();
    const char* const data = bytes_.data();
    // Once only blanks and line ends remain, no field can be read (as atEnd() tells), except
    // the one that a comma opened: end of file ends that one as Empty.
    if (!afterComma_ && (pos_ >= n || isBlank(data[pos_]) || isLineEnd(data[pos_])) && atEnd())
        throw Error(ErrorKind::PastEnd, fileName_);
    if (pos_ >= n) {
        afterComma_ = false;
        return Field();
    }
    // 1. Skip blanks before the field.
    while (pos_ < n && isBlank(data[pos_])) ++pos_;

    if (pos_ < n && data[pos_] == '"') {
        // 2. A quoted Text runs to the next quote; after it, skip to the delimiter.
        const std::size_t start = pos_ + 1;
        const void* quote = start < n ? std::memchr(data + start, '"', n - start) : nullptr;
        const std::size_t close = quote ? static_cast<std::size_t>(static_cast<const char*>(quote) - data) : n;
        Field result = Field::text(std::string(data + start, close - start));
        pos_ = close < n ? close + 1 : n;
        while (pos_ < n && data[pos_] != ',' && !isLineEnd(data[pos_])) ++pos_;
        consumeDelimiter();
        return result;
    }
    // 3. An unquoted field runs to the delimiter; trailing blanks are not part of it.
    const std::size_t start = pos_;
    while (pos_ < n && data[pos_] != ',' && !isLineEnd(data[pos_])) ++pos_;
    std::size_t end = pos_;
    while (end > start && isBlank(data[end - 1])) --end;
    consumeDelimiter();
    const std::string_view chars(data + start, end - start);
    if (chars.empty()) return Field();
    if (isNumberText(chars)) return Field::numberAsRead(parseNumberText(chars), std::string(chars));
    return Field::text(std::string(chars));
}

std::string RecordReader::text() { return field().takeText(); }

void RecordReader::mismatch(const Field& f) const
{
    // Only the start of the field: a damaged file may hold megabytes in one field.
    const std::string& t = f.asText();
    const std::string shown = t.size() > 40 ? t.substr(0, 40) + "..." : t;
    throw Error(ErrorKind::TypeMismatch, fileName_, "line " + std::to_string(line()) + ": \"" + shown + "\"");
}

double RecordReader::number()
{
    Field f = field();
    if (f.isText()) mismatch(f);
    return f.asNumber();
}

template <class Int>
Int RecordReader::whole()
{
    Field f = field();
    if (f.isText()) mismatch(f);
    const double v = std::trunc(f.asNumber());
    if (!(v >= std::numeric_limits<Int>::min() && v <= std::numeric_limits<Int>::max())) mismatch(f);
    return static_cast<Int>(v);
}

std::int32_t RecordReader::whole32() { return whole<std::int32_t>(); }

std::int16_t RecordReader::whole16() { return whole<std::int16_t>(); }

float RecordReader::single()
{
    Field f = field();
    if (f.isText()) mismatch(f);
    const double v = f.asNumber();
    if (std::fabs(v) > std::numeric_limits<float>::max()) mismatch(f);
    return static_cast<float>(v);
}

RecordWriter::RecordWriter(std::string fileName) : fileName_(std::move(fileName)) {}

void RecordWriter::separate()
{
    if (lineStarted_) out_ += ',';
    lineStarted_ = true;
}

RecordWriter& RecordWriter::field(const Field& value)
{
    switch (value.kind()) {
    case Field::Kind::Empty: return empty();
    case Field::Kind::Text: return text(value.asText());
    case Field::Kind::Number:
        separate();
        out_ += value.writtenForm();
        return *this;
    }
    return *this;
}

RecordWriter& RecordWriter::text(std::string_view value)
{
    if (!writableText(value)) throw Error(ErrorKind::QuoteInText, fileName_, std::string(value));
    separate();
    out_ += '"';
    out_ += value;
    out_ += '"';
    return *this;
}

RecordWriter& RecordWriter::number(double value)
{
    separate();
    out_ += numberForm(value);
    return *this;
}

RecordWriter& RecordWriter::single(float value)
{
    separate();
    out_ += singleForm(value);
    return *this;
}

RecordWriter& RecordWriter::whole(std::int64_t value)
{
    separate();
    out_ += wholeForm(value);
    return *this;
}

RecordWriter& RecordWriter::empty()
{
    separate();
    return *this;
}

RecordWriter& RecordWriter::endLine()
{
    out_ += "\r\n";
    lineStarted_ = false;
    return *this;
}

}  // namespace qv
