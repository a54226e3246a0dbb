// The file layer's system calls on POSIX systems: paths are passed as the bytes they are.

#include "osfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <csignal>

namespace qv::osfile {

namespace {

Fault faultOf(int err)
{
    switch (err) {
    case 0: return Fault::None;
    case ENOENT: return Fault::NotFound;
    case ENOTDIR: return Fault::NotADirectory;
    case EISDIR: return Fault::IsADirectory;
    case EACCES:
    case EPERM:
    case EROFS: return Fault::Denied;
    case EXDEV: return Fault::CrossVolume;
    case ETXTBSY: return Fault::InUse;
    default: return Fault::Other;
    }
}

int fdOf(Handle handle) { return static_cast<int>(handle); }

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

Fault openForReading(const std::string& path, Handle& handle, std::uint64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return faultOf(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Fault::IsADirectory;
    }
    size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    handle = fd;
    return Fault::None;
}

Fault readSome(Handle handle, char* buffer, std::size_t count, std::size_t& got)
{
    for (;;) {
        const ssize_t n = ::read(fdOf(handle), buffer, count);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return Fault::None;
        }
        if (errno != EINTR) return faultOf(errno) == Fault::None ? Fault::Other : faultOf(errno);
    }
}

Fault openForWriting(const std::string& path, Handle& handle)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return faultOf(errno);
    handle = fd;
    return Fault::None;
}

Fault writeAll(Handle handle, const char* bytes, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fdOf(handle), bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return Fault::Other;
        }
        done += static_cast<std::size_t>(put);
    }
    return Fault::None;
}

Fault flushToDisk(Handle handle)
{
    if (::fsync(fdOf(handle)) != 0 && errno != EINVAL && errno != EROFS) return Fault::Other;
    return Fault::None;
}

Fault closeFile(Handle handle) { return ::close(fdOf(handle)) == 0 ? Fault::None : Fault::Other; }

Fault removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 ? Fault::None : faultOf(errno); }

Fault renameOver(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? Fault::None : faultOf(errno);
}

void syncDirectory(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

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
        const std::string dir = directoryOf(current);
        current = !next.empty() && next[0] == '/' ? next : (dir == "/" ? dir : dir + "/") + next;
    }
    return current;
}

void copyAccess(const std::string& model, const std::string& file)
{
    struct stat st {};
    if (::stat(model.c_str(), &st) == 0) ::chmod(file.c_str(), st.st_mode & 07777);
}

std::string currentDirectory()
{
    char buf[PATH_MAX];
    if (::getcwd(buf, sizeof buf)) return buf;
    return ".";
}

bool driveExists(char) { return true; }

unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

void killProcess()
{
    ::kill(::getpid(), SIGKILL);
    ::_exit(137);  // not reached
}

void binaryStandardStreams() {}

}  // namespace qv::osfile
