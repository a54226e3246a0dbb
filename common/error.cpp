#include "quenvar/error.h"

namespace qv {

const char* describe(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::FileNotFound: return "File not found";
    case ErrorKind::PathNotFound: return "Path not found";
    case ErrorKind::PastEnd: return "Input past end of file";
    case ErrorKind::TypeMismatch: return "Type mismatch";
    case ErrorKind::PermissionDenied: return "Permission denied";
    case ErrorKind::WriteFailed: return "Write failed";
    case ErrorKind::CopyFailed: return "Copy failed";
    case ErrorKind::RenameFailed: return "Replace failed";
    case ErrorKind::DeleteFailed: return "Delete failed";
    case ErrorKind::QuoteInText: return "Text holds a double quote";
    case ErrorKind::BadFormat: return "Bad file format";
    case ErrorKind::BadDrive: return "Device unavailable";
    }
    return "Error";
}

namespace {
std::string compose(ErrorKind kind, const std::string& file, const std::string& detail)
{
    std::string text = describe(kind);
    if (!detail.empty()) text += " (" + detail + ")";
    if (!file.empty()) text += ": " + file;
    return text;
}
}  // namespace

Error::Error(ErrorKind kind, std::string file, std::string detail)
    : std::runtime_error(compose(kind, file, detail)), kind_(kind), file_(std::move(file)),
      detail_(std::move(detail))
{
}

}  // namespace qv
