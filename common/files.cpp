#include "quenvar/files.h"

#include <cstdint>

#include "osfile.h"
#include "quenvar/error.h"

namespace qv {

const char* stepName(FileStep step)
{
    switch (step) {
    case FileStep::Open: return "open";
    case FileStep::Write: return "write";
    case FileStep::Flush: return "flush";
    case FileStep::Close: return "close";
    case FileStep::Rename: return "rename";
    case FileStep::Copy: return "copy";
    case FileStep::Delete: return "delete";
    }
    return "?";
}

std::string joinPath(std::string_view dir, std::string_view name)
{
    std::string out(dir);
    if (!out.empty() && out.back() != '/' && out.back() != pathSeparator) out += pathSeparator;
    out += name;
    return out;
}

bool isAbsolutePath(std::string_view path)
{
#ifdef _WIN32
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
#else
    return !path.empty() && path[0] == '/';
#endif
}

std::string_view lastChars(std::string_view path, std::size_t count)
{
    return path.size() <= count ? path : path.substr(path.size() - count);
}

namespace {

using osfile::Fault;

const char* const inUseDetail = "the file is in use by another program";

// The error a failed open or rename is reported as. A sharing violation that outlasted the
// retries says so; everything else reads as the users know it.
Error errorOf(Fault fault, bool forReading, const std::string& shown)
{
    switch (fault) {
    case Fault::NotFound: return Error(forReading ? ErrorKind::FileNotFound : ErrorKind::PathNotFound, shown);
    case Fault::NotADirectory: return Error(ErrorKind::PathNotFound, shown);
    case Fault::Denied: return Error(ErrorKind::PermissionDenied, shown);
    case Fault::InUse: return Error(ErrorKind::PermissionDenied, shown, inUseDetail);
    default: return Error(forReading ? ErrorKind::FileNotFound : ErrorKind::WriteFailed, shown);
    }
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);  // the root of a drive
    return path.substr(0, slash);
}

std::string baseName(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string pidText() { return std::to_string(osfile::processId()); }

}  // namespace

Files::Files(std::string currentDir) : currentDir_(std::move(currentDir)) {}

std::string Files::processDirectory() { return osfile::currentDirectory(); }

namespace {
FaultPlan plannedFault;
int stepsSeen = 0;
}  // namespace

void planFault(const FaultPlan& plan)
{
    plannedFault = plan;
    stepsSeen = 0;
}

bool plannedFaultReached() { return plannedFault.occurrence > 0 && stepsSeen >= plannedFault.occurrence; }

std::optional<FaultPlan> parseFaultPlan(std::string_view text)
{
    const auto first = text.find(':');
    const auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(0, first);
    const std::string count(text.substr(first + 1, second - first - 1));
    const std::string_view action = text.substr(second + 1);
    FaultPlan plan;
    bool known = false;
    for (FileStep s : {FileStep::Open, FileStep::Write, FileStep::Flush, FileStep::Close, FileStep::Rename,
                       FileStep::Copy, FileStep::Delete})
        if (name == stepName(s)) {
            plan.step = s;
            known = true;
        }
    if (!known || count.empty() || count.size() > 6 || count.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    plan.occurrence = std::stoi(count);
    if (action != "fail" && action != "kill") return std::nullopt;
    plan.kill = action == "kill";
    return plan;
}

void Files::step(FileStep s, const std::string& path) const
{
    if (faultHook) faultHook(s, path);
    if (plannedFault.occurrence > 0 && s == plannedFault.step && ++stepsSeen == plannedFault.occurrence) {
        if (plannedFault.kill) osfile::killProcess();
        throw Error(ErrorKind::WriteFailed, path, std::string("injected ") + stepName(s) + " failure");
    }
}

void Files::changeDir(const std::string& path)
{
    const std::string full = resolve(path);
    if (path.empty() || !osfile::isDirectory(full)) throw Error(ErrorKind::PathNotFound, path);
    currentDir_ = full;
}

#ifdef _WIN32
namespace {
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isSlash(char c) { return c == '\\' || c == '/'; }
// "C:" of "C:\data", "\\server\share" of "\\server\share\data"; empty for anything else.
std::string rootOf(const std::string& dir)
{
    if (dir.size() >= 2 && dir[1] == ':') return dir.substr(0, 2);
    if (dir.size() >= 2 && isSlash(dir[0]) && isSlash(dir[1])) {
        const auto server = dir.find_first_of("\\/", 2);
        if (server == std::string::npos) return dir;
        const auto share = dir.find_first_of("\\/", server + 1);
        return share == std::string::npos ? dir : dir.substr(0, share);
    }
    return {};
}
}  // namespace
#endif

void Files::changeDrive(std::string_view drive)
{
    if (drive.empty()) throw Error(ErrorKind::BadDrive, std::string(drive));
#ifdef _WIN32
    // The tool keeps one current directory, not one per drive: changing to another drive that
    // exists starts at its root; the drive the current directory is on stays where it is.
    const char letter = drive[0];
    if (!isLetter(letter) || !osfile::driveExists(letter)) throw Error(ErrorKind::BadDrive, std::string(drive));
    const std::string root = rootOf(currentDir_);
    if (root.size() != 2 || upper(root[0]) != upper(letter)) currentDir_ = std::string(1, upper(letter)) + ":\\";
#endif
}

std::string Files::resolve(std::string_view name) const
{
#ifdef _WIN32
    // "\x" is x at the root of the current directory's drive; "C:x" is x in the current
    // directory when that is on drive C, else x at the root of C.
    if (name.size() >= 1 && isSlash(name[0]) && !(name.size() >= 2 && isSlash(name[1])))
        return rootOf(currentDir_) + std::string(name);
    if (name.size() >= 2 && name[1] == ':' && isLetter(name[0]) && !(name.size() >= 3 && isSlash(name[2]))) {
        const std::string root = rootOf(currentDir_);
        if (root.size() == 2 && upper(root[0]) == upper(name[0])) return joinPath(currentDir_, name.substr(2));
        return std::string(1, upper(name[0])) + ":\\" + std::string(name.substr(2));
    }
#endif
    if (isAbsolutePath(name)) return std::string(name);
    return joinPath(currentDir_, name);
}

bool Files::exists(std::string_view name) const { return osfile::exists(resolve(name)); }

std::string Files::readBytes(std::string_view name) const
{
    const std::string path = resolve(name);
    const std::string shown(name);
    osfile::Handle file = osfile::noHandle;
    std::uint64_t size = 0;
    const Fault opened = osfile::openForReading(path, file, size);
    if (opened == Fault::IsADirectory) throw Error(ErrorKind::FileNotFound, shown);
    if (opened != Fault::None) throw errorOf(opened, true, shown);
    // Read straight into the string: one read of the size the file has, then whatever more
    // a growing file still gives.
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) bytes.resize(have + 65536);
        std::size_t got = 0;
        if (osfile::readSome(file, bytes.data() + have, bytes.size() - have, got) != Fault::None) {
            osfile::closeFile(file);
            throw Error(ErrorKind::ReadFailed, shown);
        }
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    osfile::closeFile(file);
    return bytes;
}

RecordReader Files::openRead(std::string_view name) const { return RecordReader(readBytes(name), std::string(name)); }

void Files::writeFile(std::string_view name, std::string_view bytes) const
{
    const std::string path = resolve(name);
    const std::string shown(name);
    step(FileStep::Open, path);
    osfile::Handle file = osfile::noHandle;
    const Fault opened = osfile::openForWriting(path, file);
    if (opened != Fault::None) throw errorOf(opened, false, shown);
    auto fail = [&](ErrorKind kind) { throw Error(kind, shown); };  // the catch below closes
    try {
        step(FileStep::Write, path);
        if (osfile::writeAll(file, bytes.data(), bytes.size()) != Fault::None) fail(ErrorKind::WriteFailed);
        step(FileStep::Flush, path);
        if (osfile::flushToDisk(file) != Fault::None) fail(ErrorKind::WriteFailed);
        step(FileStep::Close, path);
    } catch (...) {
        osfile::closeFile(file);
        throw;
    }
    if (osfile::closeFile(file) != Fault::None) throw Error(ErrorKind::WriteFailed, shown);
}

void Files::deleteFile(std::string_view name) const
{
    const std::string path = resolve(name);
    step(FileStep::Delete, path);
    const Fault removed = osfile::removeFile(path);
    if (removed == Fault::None) return;
    if (removed == Fault::NotFound) throw Error(ErrorKind::FileNotFound, std::string(name));
    throw Error(ErrorKind::DeleteFailed, std::string(name), removed == Fault::InUse ? inUseDetail : "");
}

void Files::copyFile(std::string_view from, std::string_view to) const
{
    const std::string bytes = readBytes(from);
    const std::string target = osfile::followLinks(resolve(to));
    const std::string temp = joinPath(directoryOf(target), "." + baseName(target) + ".copy" + pidText());
    step(FileStep::Copy, target);
    try {
        writeFile(temp, bytes);
        replace(temp, target);
    } catch (...) {
        osfile::removeFile(temp);
        throw;
    }
}

void Files::replace(std::string_view tempName, std::string_view targetName) const
{
    const std::string temp = resolve(tempName);
    const std::string target = osfile::followLinks(resolve(targetName));
    const std::string shown(targetName);
    auto renameFailed = [&](Fault fault) {
        if (fault == Fault::NotFound) return Error(ErrorKind::PathNotFound, shown);
        return Error(ErrorKind::RenameFailed, shown, fault == Fault::InUse ? inUseDetail : "");
    };

    // Keep the access rights the target has.
    osfile::copyAccess(target, temp);

    step(FileStep::Rename, target);
    const Fault renamed = osfile::renameOver(temp, target);
    if (renamed == Fault::None) {
        osfile::syncDirectory(directoryOf(target));
        return;
    }
    if (renamed != Fault::CrossVolume) throw renameFailed(renamed);

    // Another file system: copy the finished file beside the target first, so that the final
    // step is still one rename within the target's directory.
    const std::string beside = joinPath(directoryOf(target), "." + baseName(target) + ".new" + pidText());
    try {
        step(FileStep::Copy, beside);
        writeFile(beside, readBytes(temp));
        osfile::copyAccess(target, beside);
        step(FileStep::Rename, target);
        const Fault moved = osfile::renameOver(beside, target);
        if (moved != Fault::None) throw renameFailed(moved == Fault::NotFound ? Fault::Other : moved);
    } catch (...) {
        osfile::removeFile(beside);
        throw;
    }
    osfile::syncDirectory(directoryOf(target));
    step(FileStep::Delete, temp);
    osfile::removeFile(temp);
}

void Files::rewrite(std::string_view temp, std::string_view target, std::string_view bytes) const
{
    try {
        writeFile(temp, bytes);
        replace(temp, target);
    } catch (...) {
        osfile::removeFile(resolve(temp));
        throw;
    }
}

}  // namespace qv
