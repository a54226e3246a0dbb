#pragma once
// The one error type of the suite: the kind of failure and the file it concerns.
// Its message reads as the users know it, e.g. "File not found: comp.mdb".

#include <stdexcept>
#include <string>

namespace qv {

enum class ErrorKind {
    FileNotFound,      // "File not found"
    PathNotFound,      // "Path not found"
    PastEnd,           // "Input past end of file"
    TypeMismatch,      // a field that cannot be read as the number a record needs
    PermissionDenied,  // "Permission denied"
    WriteFailed,       // "Write failed" (disk full, I/O error)
    CopyFailed,        // "Copy failed"
    RenameFailed,      // "Replace failed"
    DeleteFailed,      // "Delete failed"
    QuoteInText,       // a Text holding a double quote cannot be written in the record syntax
    BadFormat,         // a file whose content does not fit what the tool expects
    BadDrive,          // "Device unavailable": a drive change that cannot be made
    CannotUndo,        // "Cannot undo": a save whose file or backup changed since
    ReadFailed,        // "Read failed": the system could not read a file that it opened
};

const char* describe(ErrorKind kind);

class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, std::string file, std::string detail = {});

    ErrorKind kind() const { return kind_; }
    const std::string& file() const { return file_; }
    const std::string& detail() const { return detail_; }

private:
    ErrorKind kind_;
    std::string file_;
    std::string detail_;
};

}  // namespace qv
