#pragma once
// "Undo last save" of one window: before each rewrite of a file, its previous content is kept
// beside it as the file's name with ".bak" appended ("demo.mdb.bak"), and the window can put it
// back.
//
// The backup's name ends in ".bak", so no Open filter of the suite ("*.MDB", "*.TXT",
// "*.MSI.TXT"...) lists it and Quenvar, which reads only the names its settings give, never reads
// it. The backup is written as every file is (a finished temporary file replacing the old backup
// in one atomic step); failing to keep it stops the save before the file is touched.
//
// Only the last save made through this object can be undone, and only while the file still holds
// what that save wrote and the backup what it kept: another program's change is detected, so the
// window can ask before overwriting it.
//
//     SaveUndo undo(files_);                                   // one per window
//     undo.rewrite(tempName, st_.Dbname, bytes);               // instead of files_.rewrite(...)
//     ...
//     switch (undo.check()) {                                  // "Undo last save"
//     case SaveUndo::State::Ready: undo.restore(); break;
//     case SaveUndo::State::FileChanged: if (ask(...)) undo.restore(true); break;
//     default: nothing to undo (or the backup is gone / changed: say so)
//     }

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "quenvar/files.h"

namespace qv {

// The name of the backup kept beside a file: the name with ".bak" appended.
std::string backupName(std::string_view file);

// What the content of a file is known by: its size and a 64-bit hash of its bytes.
struct ContentMark {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    static ContentMark of(std::string_view bytes);
    friend bool operator==(const ContentMark&, const ContentMark&) = default;
};

class SaveUndo {
public:
    explicit SaveUndo(const Files& files) : files_(files) {}

    enum class State {
        Nothing,        // no save of this window to undo
        Ready,          // the file holds what the save wrote; the backup holds what it replaced
        FileChanged,    // the file was changed (or removed) since: restoring overwrites that change
        BackupChanged,  // the backup is gone or no longer what the save kept: it cannot be restored
    };

    // A whole rewrite as Files::rewrite does it, keeping the previous content as the backup first.
    // A target that does not exist yet has nothing to keep: the save is made and cannot be undone.
    // A failure to keep the backup throws (qv::Error) before the target is touched. A failure of
    // the rewrite itself leaves the target as it was and nothing to undo (the backup then holds
    // the target's present content, no longer what an earlier save replaced).
    void rewrite(std::string_view temp, std::string_view target, std::string_view bytes);

    // For a save made by other means (a copy): keep the target's present content as the backup
    // before it (throws as above), then call saved() once the target holds its new content.
    void keep(std::string_view temp, std::string_view target);
    void saved(std::string_view target);

    State check() const;
    // The file the undo would restore (as the save named it); empty when there is nothing to undo.
    const std::string& file() const { return file_; }
    bool canUndo() const { return check() == State::Ready; }

    // Puts the backup back over the file in one atomic step (through the temporary file of the
    // save). Throws qv::Error (ErrorKind::CannotUndo naming the file) when the state is not Ready,
    // unless it is FileChanged and `overwriteChanged` is given. After a restore there is nothing
    // more to undo; the backup stays beside the file.
    void restore(bool overwriteChanged = false);

    // Forgets the last save (another file was opened).
    void forget();

private:
    const Files& files_;
    std::string file_;  // as the save named it
    std::string path_;  // full path, as it was resolved at the save
    std::string temp_;
    ContentMark written_;  // what the save wrote
    ContentMark kept_;     // what the backup holds
    // Between keep() and saved(): the backup made for a save not finished yet.
    std::optional<ContentMark> pending_;
    std::string pendingFile_, pendingPath_, pendingTemp_;
};

}  // namespace qv
