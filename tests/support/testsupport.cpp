#include "testsupport.h"

#include "inprocess.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qvtest {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quenvar-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

void TempDir::write(std::string_view name, std::string_view bytes) const
{
    const fs::path p = fs::path(path_) / std::string(name);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

std::string TempDir::read(std::string_view name) const
{
    std::ifstream in(fs::path(path_) / std::string(name), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + std::string(name));
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TempDir::exists(std::string_view name) const { return fs::exists(fs::path(path_) / std::string(name)); }

std::vector<std::string> TempDir::entries() const
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string crlf(std::initializer_list<std::string_view> lines)
{
    std::string out;
    for (auto l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

namespace {
std::string slurp(int fd)
{
    std::string out;
    char buf[8192];
    ssize_t got;
    while ((got = ::read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(got));
    ::close(fd);
    return out;
}
}  // namespace

RunResult runScript(const std::string& program, const std::string& dir, std::string_view script,
                    const std::vector<std::string>& extra, int timeoutSeconds)
{
    if (auto r = tryInProcess(program, dir, script, extra)) return *r;
    // The script goes through a file, so that no pipe can fill up while the program runs.
    char scriptPath[] = "/tmp/quenvar-script-XXXXXX";
    const int sfd = ::mkstemp(scriptPath);
    if (sfd < 0) throw std::runtime_error("mkstemp failed");
    if (::write(sfd, script.data(), script.size()) != static_cast<ssize_t>(script.size()))
        throw std::runtime_error("cannot write script");
    ::close(sfd);

    char outPath[] = "/tmp/quenvar-out-XXXXXX";
    char errPath[] = "/tmp/quenvar-err-XXXXXX";
    const int ofd = ::mkstemp(outPath);
    const int efd = ::mkstemp(errPath);

    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.c_str()) != 0) ::_exit(127);
        ::dup2(ofd, 1);
        ::dup2(efd, 2);
        std::vector<char*> args{const_cast<char*>(program.c_str())};
        for (const auto& e : extra) args.push_back(const_cast<char*>(e.c_str()));
        args.push_back(const_cast<char*>("--script"));
        args.push_back(scriptPath);
        args.push_back(nullptr);
        ::execv(program.c_str(), args.data());
        ::_exit(127);
    }
    RunResult r;
    int status = 0;
    for (int waited = 0;; waited += 10) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (waited >= timeoutSeconds * 1000) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            r.timedOut = true;
            break;
        }
        ::usleep(10000);
    }
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    ::lseek(ofd, 0, SEEK_SET);
    ::lseek(efd, 0, SEEK_SET);
    r.output = slurp(ofd);
    r.errors = slurp(efd);
    ::unlink(scriptPath);
    ::unlink(outPath);
    ::unlink(errPath);
    return r;
}

}  // namespace qvtest
