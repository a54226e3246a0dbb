#pragma once
// Reading and writing text record files.
//
// A record file is a sequence of fields separated by commas and line ends; a line end (CR, LF or
// CR LF) is a delimiter like a comma, so a record may span lines and a line may hold several
// records. Text stands between double quotes (there is no escape for a quote inside it), numbers
// stand bare. The writer puts each record on one line, ended by CR LF.
//
// A 0x1A byte (Ctrl-Z, the end-of-file mark of DOS-era writers) that stands where a field would
// begin ends the file: it and everything after it are not read. Inside a quoted text it is text.

#include <cstdint>
#include <string>
#include <string_view>

#include "quenvar/field.h"

namespace qv {

class RecordReader {
public:
    // `bytes` is the whole file; `fileName` names it in error messages. The file ends at an
    // end-of-file mark, if it has one.
    RecordReader(std::string bytes, std::string fileName);

    // True when no further field can be read: only blanks and line ends remain.
    bool atEnd() const;

    // Reads the next field; reading past the end of the file throws "Input past end of file".
    Field field();
    // The next field asked as Text: the characters of a Text or of a Number, "" for Empty.
    std::string text();
    // The next field asked as Number: Empty gives 0; a Text that is no number throws
    // "Type mismatch", naming the file.
    double number();
    // A whole number of the given range (fractions are dropped towards zero, as an integer
    // variable would take them only within range); out of range throws "Type mismatch".
    std::int32_t whole32();
    std::int16_t whole16();
    float single();

    const std::string& fileName() const { return fileName_; }
    // The whole file as read, up to its end-of-file mark.
    const std::string& bytes() const { return bytes_; }
    // 1-based line of the next unread character (for messages that name a place in the file).
    int line() const;
    // Bytes consumed so far and in all.
    std::size_t position() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }

private:
    [[noreturn]] void mismatch(const Field& f) const;
    template <class Int>
    Int whole();  // the whole-number reader of whole32 and whole16
    void consumeDelimiter();
    std::string bytes_;
    std::string fileName_;
    std::size_t pos_ = 0;
    bool afterComma_ = false;
    mutable std::size_t lineAt_ = 0;  // line() counted up to here ...
    mutable int lineNo_ = 1;          // ... where this line begins or goes on
};

class RecordWriter {
public:
    // `fileName` names the file in error messages.
    explicit RecordWriter(std::string fileName = {});

    RecordWriter& field(const Field& value);
    // Text is written between quotes, unchanged; a Text holding a double quote cannot be
    // written faithfully and throws instead.
    RecordWriter& text(std::string_view value);
    RecordWriter& number(double value);
    RecordWriter& single(float value);
    RecordWriter& whole(std::int64_t value);
    RecordWriter& empty();
    // Ends the record's line with CR LF.
    RecordWriter& endLine();

    // Room for this many bytes in all (a rewrite knows the size of the file it replaces).
    void reserve(std::size_t bytes) { out_.reserve(bytes); }
    const std::string& bytes() const { return out_; }
    std::string take() { return std::move(out_); }

private:
    void separate();
    std::string fileName_;
    std::string out_;
    bool lineStarted_ = false;
};

// Whether a Text can be written in the record syntax (it holds no double quote).
inline bool writableText(std::string_view value) { return value.find('"') == std::string_view::npos; }

}  // namespace qv
