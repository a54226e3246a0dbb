// Starting a tool and reading how it ended, on Windows (and under Wine).

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "inprocess.h"
#include "process.h"
#include "testsupport.h"

namespace qvtest {

namespace {

// The tests' paths are ASCII (temporary directories, build folders): byte for character.
std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t w : text) out += w < 0x100 ? static_cast<char>(w) : '?';
    return out;
}

std::wstring tempFolder()
{
    wchar_t buf[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, buf);
    if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
    return std::wstring(buf, n);
}

std::wstring uniqueName(const wchar_t* prefix)
{
    static unsigned counter = 0;
    return tempFolder() + prefix + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount()) +
           L"-" + std::to_wstring(++counter);
}

// A command line word quoted as the C runtime splits it again.
std::wstring quoted(const std::wstring& word)
{
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

HANDLE inheritableFile(const std::wstring& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE h = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                             disposition, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + narrow(path));
    return h;
}

std::string readAll(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    std::string out;
    if (h == INVALID_HANDLE_VALUE) return out;
    char buf[8192];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    ::CloseHandle(h);
    return out;
}

}  // namespace

std::string makeTempDirectory()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring dir = uniqueName(L"quenvar-test-");
        if (::CreateDirectoryW(dir.c_str(), nullptr)) return narrow(dir);
    }
    throw std::runtime_error("cannot create a temporary directory");
}

RunResult runScript(const std::string& program, const std::string& dir, std::string_view script,
                    const std::vector<std::string>& extra, int timeoutSeconds)
{
    if (auto r = tryInProcess(program, dir, script, extra)) return *r;
    const std::wstring scriptPath = uniqueName(L"quenvar-script-");
    const std::wstring outPath = uniqueName(L"quenvar-out-");
    const std::wstring errPath = uniqueName(L"quenvar-err-");
    {
        HANDLE s = inheritableFile(scriptPath, GENERIC_WRITE, CREATE_ALWAYS);
        DWORD put = 0;
        const bool ok =
            ::WriteFile(s, script.data(), static_cast<DWORD>(script.size()), &put, nullptr) && put == script.size();
        ::CloseHandle(s);
        if (!ok) throw std::runtime_error("cannot write script");
    }
    HANDLE out = inheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = inheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE in = inheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);

    std::wstring command = quoted(wide(program));
    for (const auto& e : extra) command += L" " + quoted(wide(e));
    command += L" --script " + quoted(scriptPath);

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const std::wstring workDir = wide(dir);
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                          workDir.c_str(), &si, &pi);
    ::CloseHandle(in);
    ::CloseHandle(out);
    ::CloseHandle(err);
    RunResult r;
    if (!started) {
        r.status = 127;
        r.errors = "cannot start " + program;
    } else {
        if (::WaitForSingleObject(pi.hProcess, static_cast<DWORD>(timeoutSeconds) * 1000) == WAIT_TIMEOUT) {
            ::TerminateProcess(pi.hProcess, 1);
            ::WaitForSingleObject(pi.hProcess, INFINITE);
            r.timedOut = true;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        if (r.timedOut) {
            r.signal = killedSignal;
        } else if (code == 137) {
            r.signal = killedSignal;
        } else if (code >= 0xC0000000u) {
            r.signal = crashSignal;
        } else {
            r.status = static_cast<int>(code);
        }
        r.output = readAll(outPath);
        r.errors = readAll(errPath);
    }
    ::DeleteFileW(scriptPath.c_str());
    ::DeleteFileW(outPath.c_str());
    ::DeleteFileW(errPath.c_str());
    return r;
}

}  // namespace qvtest
