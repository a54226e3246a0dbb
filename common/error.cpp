#include "quenvar/error.h"

#include <string_view>

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
    case ErrorKind::CannotUndo: return "Cannot undo";
    case ErrorKind::ReadFailed: return "Read failed";
    }
    return "Error";
}

namespace {
// A message must stay readable whatever a damaged file holds: control bytes (a NUL would end
// the message early) show as "?", and a long detail is cut short.
std::string readable(std::string_view text, std::size_t most)
{
    std::string out;
    for (char c : text.substr(0, most)) out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    if (text.size() > most) out += "...";
    return out;
}

std::string compose(ErrorKind kind, const std::string& file, const std::string& detail)
{
    std::string text = describe(kind);
    if (!detail.empty()) text += " (" + readable(detail, 240) + ")";
    if (!file.empty()) text += ": " + readable(file, 1000);
    return text;
}
}  // namespace

Error::Error(ErrorKind kind, std::string file, std::string detail)
    : std::runtime_error(compose(kind, file, detail)), kind_(kind), file_(std::move(file)), detail_(std::move(detail))
{
}

}  // namespace qv
