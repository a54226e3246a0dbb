#include "quenvar/backup.h"

#include "quenvar/error.h"

namespace qv {

std::string backupName(std::string_view file) { return std::string(file) + ".bak"; }

ContentMark ContentMark::of(std::string_view bytes)
{
    // FNV-1a: enough to tell another program's rewrite from ours; the size is compared too.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return {bytes.size(), h};
}

namespace {

// The temporary file the backup is written through before it replaces the old backup.
std::string backupTemp(std::string_view target) { return backupName(target) + ".new"; }

}  // namespace

void SaveUndo::keep(std::string_view temp, std::string_view target)
{
    pending_.reset();
    pendingFile_.assign(target);
    // Full paths: a change of the current directory later does not move what the undo concerns.
    pendingPath_ = files_.resolve(target);
    pendingTemp_ = files_.resolve(temp);
    if (!files_.exists(target)) return;  // a new file: nothing to keep
    const std::string previous = files_.readBytes(target);
    // From here the old backup is replaced: whatever earlier save it served can no longer be undone.
    forget();
    files_.rewrite(backupTemp(target), backupName(target), previous);
    pending_ = ContentMark::of(previous);
}

void SaveUndo::saved(std::string_view target)
{
    if (!pending_ || target != pendingFile_) {
        forget();
        pending_.reset();
        return;
    }
    file_ = pendingFile_;
    path_ = pendingPath_;
    temp_ = pendingTemp_;
    kept_ = *pending_;
    written_ = ContentMark::of(files_.readBytes(path_));
    pending_.reset();
}

void SaveUndo::rewrite(std::string_view temp, std::string_view target, std::string_view bytes)
{
    keep(temp, target);
    const bool kept = pending_.has_value();
    try {
        files_.rewrite(temp, target, bytes);
    } catch (...) {
        pending_.reset();
        throw;
    }
    if (!kept) {
        forget();
        return;
    }
    file_ = pendingFile_;
    path_ = pendingPath_;
    temp_ = pendingTemp_;
    kept_ = *pending_;
    written_ = ContentMark::of(bytes);
    pending_.reset();
}

SaveUndo::State SaveUndo::check() const
{
    if (file_.empty()) return State::Nothing;
    const std::string backup = backupName(path_);
    if (!files_.exists(backup)) return State::BackupChanged;
    try {
        if (ContentMark::of(files_.readBytes(backup)) != kept_) return State::BackupChanged;
    } catch (const Error&) {
        return State::BackupChanged;
    }
    try {
        if (!files_.exists(path_) || ContentMark::of(files_.readBytes(path_)) != written_) return State::FileChanged;
    } catch (const Error&) {
        return State::FileChanged;
    }
    return State::Ready;
}

void SaveUndo::restore(bool overwriteChanged)
{
    const State state = check();
    if (state != State::Ready && !(state == State::FileChanged && overwriteChanged)) {
        const char* why = state == State::Nothing       ? "no save to undo"
                          : state == State::FileChanged ? "the file was changed since it was saved"
                                                        : "its backup is missing or was changed";
        throw Error(ErrorKind::CannotUndo, state == State::Nothing ? std::string() : file_, why);
    }
    const std::string bytes = files_.readBytes(backupName(path_));
    if (ContentMark::of(bytes) != kept_)  // changed between the check and now
        throw Error(ErrorKind::CannotUndo, file_, "its backup is missing or was changed");
    files_.rewrite(temp_, path_, bytes);
    forget();
}

void SaveUndo::forget()
{
    file_.clear();
    path_.clear();
    temp_.clear();
    written_ = {};
    kept_ = {};
}

}  // namespace qv
