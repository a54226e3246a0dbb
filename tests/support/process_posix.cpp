// Starting a tool and reading how it ended, on POSIX systems.

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "inprocess.h"
#include "process.h"
#include "testsupport.h"

namespace qvtest {

std::string makeTempDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quenvar-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
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
