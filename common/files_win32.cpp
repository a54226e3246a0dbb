// The file layer's system calls on Windows: the wide (UTF-16) API throughout, file names converted
// from and to the suite's Windows-1252 bytes by the table below (never through the process's ANSI
// code page), files in binary mode, and a file that another program holds open retried briefly.

#include "osfile.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <cstdio>

namespace qv::osfile {

namespace {

// Unicode of the bytes 0x80 to 0x9F in Windows-1252. The five bytes that code page leaves
// undefined map to the C1 controls of the same value, as Windows itself maps them.
constexpr wchar_t high1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::wstring wide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (unsigned char c : text) out += c >= 0x80 && c < 0xA0 ? high1252[c - 0x80] : static_cast<wchar_t>(c);
    return out;
}

// A name with a character Windows-1252 cannot hold gets "?" there: the suite cannot name that
// file, and says so when it tries.
std::string narrow(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) {
            out += static_cast<char>(w);
            continue;
        }
        char byte = '?';
        for (int k = 0; k < 32; ++k)
            if (high1252[k] == w) byte = static_cast<char>(0x80 + k);
        out += byte;
    }
    return out;
}

HANDLE handleOf(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

bool inUse(DWORD err) { return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION; }

Fault faultOf(DWORD err)
{
    switch (err) {
    case ERROR_SUCCESS: return Fault::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_NOT_READY: return Fault::NotFound;
    case ERROR_DIRECTORY: return Fault::NotADirectory;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return Fault::Denied;
    case ERROR_NOT_SAME_DEVICE: return Fault::CrossVolume;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return Fault::InUse;
    default: return Fault::Other;
    }
}

// Runs `call` (true on success) again while another program holds the file, for about a second
// in all: virus scanners, indexers and backup programs open files for a moment.
template <typename Call>
DWORD withRetries(Call call)
{
    for (int attempt = 0;; ++attempt) {
        if (call()) return ERROR_SUCCESS;
        const DWORD err = ::GetLastError();
        if (!inUse(err) || attempt == 20) return err;
        ::Sleep(50);
    }
}

DWORD attributesOf(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

bool isDirectoryAttr(DWORD attrs) { return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY); }

// A refusal on a directory is reported as such (Windows says only "access denied").
Fault refusal(DWORD err, const std::wstring& path)
{
    if (err == ERROR_ACCESS_DENIED && isDirectoryAttr(attributesOf(path))) return Fault::IsADirectory;
    return faultOf(err);
}

}  // namespace

Fault openForReading(const std::string& path, Handle& handle, std::uint64_t& size)
{
    const std::wstring name = wide(path);
    HANDLE h = INVALID_HANDLE_VALUE;
    const DWORD err = withRetries([&] {
        h = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        return h != INVALID_HANDLE_VALUE;
    });
    if (err != ERROR_SUCCESS) return refusal(err, name);
    LARGE_INTEGER length{};
    size = ::GetFileSizeEx(h, &length) && length.QuadPart > 0 ? static_cast<std::uint64_t>(length.QuadPart) : 0;
    handle = reinterpret_cast<Handle>(h);
    return Fault::None;
}

Fault readSome(Handle handle, char* buffer, std::size_t count, std::size_t& got)
{
    DWORD n = 0;
    const DWORD most = count > (1u << 30) ? (1u << 30) : static_cast<DWORD>(count);
    if (!::ReadFile(handleOf(handle), buffer, most, &n, nullptr)) {
        const Fault f = faultOf(::GetLastError());
        return f == Fault::None ? Fault::Other : f;
    }
    got = n;
    return Fault::None;
}

Fault openForWriting(const std::string& path, Handle& handle)
{
    const std::wstring name = wide(path);
    HANDLE h = INVALID_HANDLE_VALUE;
    const DWORD err = withRetries([&] {
        h = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
        return h != INVALID_HANDLE_VALUE;
    });
    if (err != ERROR_SUCCESS) return refusal(err, name);
    handle = reinterpret_cast<Handle>(h);
    return Fault::None;
}

Fault writeAll(Handle handle, const char* bytes, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const std::size_t left = count - done;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD put = 0;
        if (!::WriteFile(handleOf(handle), bytes + done, chunk, &put, nullptr) || put == 0) return Fault::Other;
        done += put;
    }
    return Fault::None;
}

Fault flushToDisk(Handle handle)
{
    if (::FlushFileBuffers(handleOf(handle))) return Fault::None;
    const DWORD err = ::GetLastError();
    return err == ERROR_INVALID_FUNCTION || err == ERROR_INVALID_HANDLE ? Fault::None : Fault::Other;
}

Fault closeFile(Handle handle) { return ::CloseHandle(handleOf(handle)) ? Fault::None : Fault::Other; }

Fault removeFile(const std::string& path)
{
    const std::wstring name = wide(path);
    DWORD err = withRetries([&] { return ::DeleteFileW(name.c_str()) != 0; });
    // A read-only file goes too, as on POSIX systems where only the directory's rights count.
    const DWORD attrs = attributesOf(name);
    if (err == ERROR_ACCESS_DENIED && attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY) &&
        !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(name.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
        err = withRetries([&] { return ::DeleteFileW(name.c_str()) != 0; });
        if (err != ERROR_SUCCESS) ::SetFileAttributesW(name.c_str(), attrs);
    }
    return faultOf(err);
}

// Whether another program holds the file open without letting it be replaced (Windows reports
// that to a rename as "access denied").
bool heldOpen(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return false;
    }
    return inUse(::GetLastError());
}

Fault renameOver(const std::string& from, const std::string& to)
{
    const std::wstring source = wide(from);
    const std::wstring target = wide(to);
    auto move = [&]() -> DWORD {
        if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        return ::GetLastError();
    };
    for (int attempt = 0;; ++attempt) {
        DWORD err = move();
        if (err == ERROR_ACCESS_DENIED) {
            // Windows does not replace a read-only file; the new file carries the attribute
            // already (copyAccess), so the old one may lose it for the moment of the replacement.
            const DWORD attrs = attributesOf(target);
            if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY) &&
                !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
                ::SetFileAttributesW(target.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
                err = move();
                if (err != ERROR_SUCCESS) ::SetFileAttributesW(target.c_str(), attrs);
            }
            if (err == ERROR_ACCESS_DENIED && heldOpen(target)) err = ERROR_SHARING_VIOLATION;
        }
        if (!inUse(err) || attempt == 20) return faultOf(err);
        ::Sleep(50);
    }
}

// MOVEFILE_WRITE_THROUGH returns only once the rename is on disk.
void syncDirectory(const std::string&) {}

bool exists(const std::string& path) { return attributesOf(wide(path)) != INVALID_FILE_ATTRIBUTES; }

bool isDirectory(const std::string& path) { return isDirectoryAttr(attributesOf(wide(path))); }

// A symbolic link is replaced as the link itself: links to data files are rare on Windows and
// need rights most users do not have.
std::string followLinks(const std::string& path) { return path; }

void copyAccess(const std::string& model, const std::string& file)
{
    const DWORD attrs = attributesOf(wide(model));
    if (attrs == INVALID_FILE_ATTRIBUTES || isDirectoryAttr(attrs) || !(attrs & FILE_ATTRIBUTE_READONLY)) return;
    const std::wstring name = wide(file);
    const DWORD own = attributesOf(name);
    if (own != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(name.c_str(), own | FILE_ATTRIBUTE_READONLY);
}

std::string currentDirectory()
{
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buf.size()), buf.data());
        if (n == 0) return ".";
        if (n < buf.size()) {
            buf.resize(n);
            return narrow(buf);
        }
        buf.resize(n);
    }
}

bool driveExists(char letter)
{
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z') return false;
    return (::GetLogicalDrives() >> (letter - 'A')) & 1u;
}

unsigned long processId() { return ::GetCurrentProcessId(); }

void killProcess()
{
    // 137 is what a POSIX shell reports for a process killed outright.
    ::TerminateProcess(::GetCurrentProcess(), 137);
    ::ExitProcess(137);  // not reached
}

void binaryStandardStreams()
{
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace qv::osfile
