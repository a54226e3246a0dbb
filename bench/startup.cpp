// A tool's start to its first shown window (offscreen), against a minimal Qt Widgets program
// that shows one empty window, both measured as whole processes in the same run.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "benchdata.h"

namespace {

double runMillis(const std::vector<std::string>& args, const std::string& dir)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (int devnull = open("/dev/null", O_WRONLY); devnull >= 0) dup2(devnull, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", args[0].c_str());
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The median of `runs` runs; `before` prepares each run (surfkit deletes its hand-off file).
double median(const std::vector<std::string>& args, const std::string& dir, int runs,
              const std::function<void()>& before = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (before) before();
        times.push_back(runMillis(args, dir));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--minimal") {
        // The usual first Qt Widgets program: one window that shows a greeting.
        QApplication app(argc, argv);
        QPushButton window("Hello, world!");
        window.show();
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        return app.exec();
    }
    // Arguments: the tool programs to time.
    // The runs start in the data directory: name every program by its full path.
    auto full = [](const char* path) {
        char buf[PATH_MAX];
        return std::string(realpath(path, buf) ? buf : path);
    };
    const std::string self = full(argv[0]);
    const std::string dir = qvbench::scratchDir();
    const int runs = 21;
    const double minimal = median({self, "--minimal"}, dir, runs);
    std::printf("\n| program | start to first window (ms, median of %d) | x minimal Qt program | target | met |\n",
                runs);
    std::printf("|---|---:|---:|---:|---|\n");
    std::printf("| minimal Qt Widgets program | %.1f | 1.00 | | |\n", minimal);
    int missed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string program = full(argv[i]);
        // surfkit opens the 4000-species database named in its hand-off file, which it deletes.
        auto handOff = [&] {
            if (program.find("surfkit") == std::string::npos) return;
            std::FILE* f = std::fopen((dir + "/sorptemp.dat").c_str(), "wb");
            std::fprintf(f, "\"%s/big.mdb\"\r\n", dir.c_str());
            std::fclose(f);
        };
        const double t = median({program, "--quit-when-shown"}, dir, runs, handOff);
        const bool met = t / minimal <= 1.5;
        missed += !met;
        const std::string name = std::string(argv[i]).substr(std::string(argv[i]).rfind('/') + 1);
        std::printf("| %s | %.1f | %.2f | 1.5 | %s |\n", name.c_str(), t, t / minimal, met ? "yes" : "NO");
    }
    return missed ? 1 : 0;
}
