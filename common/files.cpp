#include "quenvar/files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

ErrorKind kindOf(int err, bool forReading)
{
    switch (err) {
    case ENOENT: return forReading ? ErrorKind::FileNotFound : ErrorKind::PathNotFound;
    case ENOTDIR: return ErrorKind::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return ErrorKind::PermissionDenied;
    default: return forReading ? ErrorKind::FileNotFound : ErrorKind::WriteFailed;
    }
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseName(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void syncDirectory(const std::string& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a path names after following symbolic links (the path itself when it names no file).
std::string followLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        char buf[PATH_MAX];
        const ssize_t len = ::readlink(current.c_str(), buf, sizeof buf - 1);
        if (len < 0) return current;
        std::string next(buf, static_cast<std::size_t>(len));
        current = isAbsolutePath(next) ? next : joinPath(directoryOf(current), next);
    }
    return current;
}

}  // namespace

Files::Files(std::string currentDir) : currentDir_(std::move(currentDir)) {}

std::string Files::processDirectory()
{
    char buf[PATH_MAX];
    if (::getcwd(buf, sizeof buf)) return buf;
    return ".";
}

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
        if (plannedFault.kill) ::kill(::getpid(), SIGKILL);
        throw Error(ErrorKind::WriteFailed, path, std::string("injected ") + stepName(s) + " failure");
    }
}

void Files::changeDir(const std::string& path)
{
    const std::string full = resolve(path);
    struct stat st {};
    if (path.empty() || ::stat(full.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw Error(ErrorKind::PathNotFound, path);
    currentDir_ = full;
}

void Files::changeDrive(std::string_view drive)
{
    if (drive.empty()) throw Error(ErrorKind::BadDrive, std::string(drive));
#ifdef _WIN32
    const char letter = drive[0];
    if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z')))
        throw Error(ErrorKind::BadDrive, std::string(drive));
#endif
}

std::string Files::resolve(std::string_view name) const
{
    if (isAbsolutePath(name)) return std::string(name);
    return joinPath(currentDir_, name);
}

bool Files::exists(std::string_view name) const
{
    struct stat st {};
    return ::stat(resolve(name).c_str(), &st) == 0;
}

std::string Files::readBytes(std::string_view name) const
{
    const std::string path = resolve(name);
    const std::string shown(name);
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) throw Error(kindOf(errno, true), shown);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw Error(ErrorKind::FileNotFound, shown);
    }
    // Read straight into the string: one read of the size the file has, then whatever more
    // a growing file still gives.
    std::string bytes(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0, '\0');
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) bytes.resize(have + 65536);
        const ssize_t got = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            throw Error(ErrorKind::PastEnd, shown);
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    ::close(fd);
    return bytes;
}

RecordReader Files::openRead(std::string_view name) const
{
    return RecordReader(readBytes(name), std::string(name));
}

void Files::writeFile(std::string_view name, std::string_view bytes) const
{
    const std::string path = resolve(name);
    const std::string shown(name);
    step(FileStep::Open, path);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) throw Error(kindOf(errno, false), shown);
    auto fail = [&](ErrorKind kind) { throw Error(kind, shown); };  // the catch below closes
    try {
        step(FileStep::Write, path);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (put < 0) {
                if (errno == EINTR) continue;
                fail(ErrorKind::WriteFailed);
            }
            done += static_cast<std::size_t>(put);
        }
        step(FileStep::Flush, path);
        if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) fail(ErrorKind::WriteFailed);
        step(FileStep::Close, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) throw Error(ErrorKind::WriteFailed, shown);
}

void Files::deleteFile(std::string_view name) const
{
    const std::string path = resolve(name);
    step(FileStep::Delete, path);
    if (::unlink(path.c_str()) != 0) {
        if (errno == ENOENT) throw Error(ErrorKind::FileNotFound, std::string(name));
        throw Error(ErrorKind::DeleteFailed, std::string(name));
    }
}

void Files::copyFile(std::string_view from, std::string_view to) const
{
    const std::string bytes = readBytes(from);
    const std::string target = followLinks(resolve(to));
    const std::string temp = joinPath(directoryOf(target), "." + baseName(target) + ".copy" + std::to_string(::getpid()));
    step(FileStep::Copy, target);
    try {
        writeFile(temp, bytes);
        replace(temp, target);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

void Files::replace(std::string_view tempName, std::string_view targetName) const
{
    const std::string temp = resolve(tempName);
    const std::string target = followLinks(resolve(targetName));
    const std::string shown(targetName);

    // Keep the permission bits the target has.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) ::chmod(temp.c_str(), st.st_mode & 07777);

    step(FileStep::Rename, target);
    if (::rename(temp.c_str(), target.c_str()) == 0) {
        syncDirectory(directoryOf(target));
        return;
    }
    if (errno != EXDEV) throw Error(errno == ENOENT ? ErrorKind::PathNotFound : ErrorKind::RenameFailed, shown);

    // Another file system: copy the finished file beside the target first, so that the final
    // step is still one rename within the target's directory.
    const std::string beside = joinPath(directoryOf(target), "." + baseName(target) + ".new" + std::to_string(::getpid()));
    try {
        step(FileStep::Copy, beside);
        writeFile(beside, readBytes(temp));
        if (::stat(target.c_str(), &st) == 0) ::chmod(beside.c_str(), st.st_mode & 07777);
        step(FileStep::Rename, target);
        if (::rename(beside.c_str(), target.c_str()) != 0) throw Error(ErrorKind::RenameFailed, shown);
    } catch (...) {
        ::unlink(beside.c_str());
        throw;
    }
    syncDirectory(directoryOf(target));
    step(FileStep::Delete, temp);
    ::unlink(temp.c_str());
}

void Files::rewrite(std::string_view temp, std::string_view target, std::string_view bytes) const
{
    try {
        writeFile(temp, bytes);
        replace(temp, target);
    } catch (...) {
        ::unlink(resolve(temp).c_str());
        throw;
    }
}

}  // namespace qv
