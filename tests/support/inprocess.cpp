#include "inprocess.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace qvtest {

namespace {

std::map<std::string, qv::script::ProgramFactory>& registry()
{
    static std::map<std::string, qv::script::ProgramFactory> tools;
    return tools;
}

bool processesOnly()
{
    const char* v = std::getenv("QVTEST_PROCESS");
    return v && *v && std::string(v) != "0";
}

// The process state a run changes, put back when the run ends however it ends.
class ProcessState {
public:
    explicit ProcessState(const std::string& dir) : cwd_(fs::current_path()) { fs::current_path(dir); }
    ~ProcessState()
    {
        qv::planFault({});
        std::error_code ec;
        fs::current_path(cwd_, ec);
    }
    ProcessState(const ProcessState&) = delete;
    ProcessState& operator=(const ProcessState&) = delete;

private:
    fs::path cwd_;
};

}  // namespace

bool registerInProcess(const std::string& program, qv::script::ProgramFactory make)
{
    registry()[program] = std::move(make);
    return true;
}

std::optional<RunResult> runInProcess(const std::string& program, const std::string& dir, std::string_view script,
                                      const qv::FaultPlan& fault, bool* faultReached)
{
    const auto tool = registry().find(program);
    if (tool == registry().end() || fault.kill) return std::nullopt;
    RunResult r;
    std::ostringstream out, err;
    {
        // The tool starts in the directory it is run in, as a program started there would.
        ProcessState state(dir);
        qv::planFault(fault);
        std::istringstream in{std::string(script)};
        try {
            qv::script::ScriptPlatform platform(out);
            qv::forms::Application app(platform);
            std::unique_ptr<qv::forms::Program> p = tool->second(app);
            r.status = qv::script::run(*p, app, platform, in, out);
        } catch (const std::exception& e) {
            // What escapes the runner would end a program: report it as that program's abort.
            r.status = -1;
            r.signal = SIGABRT;
            err << "uncaught exception: " << e.what() << '\n';
        } catch (...) {
            r.status = -1;
            r.signal = SIGABRT;
            err << "uncaught exception\n";
        }
        if (faultReached) *faultReached = qv::plannedFaultReached();
    }
    r.output = out.str();
    r.errors = err.str();
    return r;
}

std::optional<RunResult> tryInProcess(const std::string& program, const std::string& dir, std::string_view script,
                                      const std::vector<std::string>& extra)
{
    if (processesOnly()) return std::nullopt;
    if (extra.empty()) return runInProcess(program, dir, script);
    if (extra.size() == 2 && extra[0] == "--fault") {
        const auto plan = qv::parseFaultPlan(extra[1]);
        if (plan && !plan->kill) return runInProcess(program, dir, script, *plan);
    }
    return std::nullopt;
}

}  // namespace qvtest
