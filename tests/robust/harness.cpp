#include "harness.h"

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "inprocess.h"
#include "variants.h"

namespace fs = std::filesystem;

namespace qvtest {

namespace {

std::map<std::string, std::string> snapshot(const TempDir& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        files[name] = e.is_directory() ? std::string("<dir>") : dir.read(name);
    }
    return files;
}

}  // namespace

void checkCrashSafety(const RewriteCase& c)
{
    std::string oldBytes, newBytes;
    {
        TempDir dir;
        c.setup(dir);
        oldBytes = dir.read(c.target);
        const RunResult r = runScript(c.program, dir.path(), c.script);
        ASSERT_EQ(r.status, 0) << c.name << ": the rewrite without faults failed\n" << r.output << r.errors;
        newBytes = dir.read(c.target);
        ASSERT_NE(oldBytes, newBytes) << c.name << ": the rewrite changed nothing";
        for (std::size_t at = newBytes.find('\n'); at != std::string::npos; at = newBytes.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && newBytes[at - 1] == '\r' && (at < 2 || newBytes[at - 2] != '\r'))
                << c.name << ": a line that does not end in CR LF at byte " << at;
        for (const auto& t : c.temps) EXPECT_FALSE(dir.exists(t)) << c.name << ": " << t << " left behind";
    }
    const int faultsMade = forEachFault(c.program, c.setup, c.script, [&](const TempDir& dir, const FaultRun& run) {
        const std::string what = c.name + " with " + run.plan;
        ASSERT_FALSE(run.result.timedOut) << what;
        if (!run.killed) {
            ASSERT_NE(run.result.status, -1) << what << "\n" << run.result.errors;
        }
        ASSERT_TRUE(dir.exists(c.target)) << what << ": the target is gone";
        const std::string now = dir.read(c.target);
        EXPECT_TRUE(now == oldBytes || now == newBytes)
            << what << ": the target holds neither its old nor its new content";
        if (!run.killed) {
            for (const auto& t : c.temps) EXPECT_FALSE(dir.exists(t)) << what << ": " << t << " left behind";
            for (const auto& e : dir.entries())
                EXPECT_TRUE(e.find(".new") == std::string::npos && e.find(".copy") == std::string::npos)
                    << what << ": " << e << " left behind";
        }
    });
    EXPECT_GT(faultsMade, 3) << c.name << ": too few steps were interrupted; is --fault passed on?";
}

int forEachFault(const std::string& program, const std::function<void(const TempDir&)>& setup,
                 const std::string& script, const std::function<void(const TempDir&, const FaultRun&)>& check,
                 int maxOccurrences)
{
    int reached = 0;
    for (qv::FileStep step : {qv::FileStep::Open, qv::FileStep::Write, qv::FileStep::Flush, qv::FileStep::Close,
                              qv::FileStep::Rename, qv::FileStep::Copy, qv::FileStep::Delete}) {
        const std::string name = qv::stepName(step);
        int last = 0;
        for (int n = 1; n <= maxOccurrences; ++n) {
            TempDir dir;
            setup(dir);
            FaultRun run;
            run.plan = name + ":" + std::to_string(n) + ":fail";
            bool hit = false;
            auto r = runInProcess(program, dir.path(), script, {step, n, false}, &hit);
            if (!r) {
                ADD_FAILURE() << program << " is not registered for runs in the test's process";
                return reached;
            }
            run.result = std::move(*r);
            check(dir, run);
            if (!hit) break;
            last = n;
            ++reached;
        }
        if (last == 0) continue;
        for (int n : {1, last}) {
            TempDir dir;
            setup(dir);
            FaultRun run;
            run.plan = name + ":" + std::to_string(n) + ":kill";
            run.result = runScript(program, dir.path(), script, {"--fault", run.plan});
            run.killed = run.result.signal != 0;
            EXPECT_TRUE(run.killed) << program << " with " << run.plan << ": the step was reached without a fault";
            check(dir, run);
            if (n == last) break;  // a step reached once is killed once
        }
    }
    return reached;
}

void checkMalformed(const ReadCase& c)
{
    TempDir probe;
    c.setup(probe);
    const std::string good = probe.read(c.damaged);
    for (const Variant& v : badVariants(good, c.maxCuts)) {
        TempDir dir;
        c.setup(dir);
        fs::remove(dir / c.damaged);
        if (v.directory)
            fs::create_directory(dir / c.damaged);
        else
            dir.write(c.damaged, v.bytes);
        auto before = snapshot(dir);
        const RunResult r = runScript(c.program, dir.path(), c.script, {}, 60);
        const std::string what = c.name + " on " + c.damaged + " (" + v.name + ")";
        ASSERT_FALSE(r.timedOut) << what << ": the tool hung";
        ASSERT_EQ(r.signal, 0) << what << ": the tool crashed\n" << r.output << r.errors;
        EXPECT_TRUE(r.status == 0 || r.status == 1) << what << ": status " << r.status << "\n" << r.output;
        auto after = snapshot(dir);
        for (const auto& name : c.mayChange) {
            before.erase(name);
            after.erase(name);
        }
        EXPECT_TRUE(before == after) << what << ": a file changed without a save";

        std::size_t failures = 0;
        const std::string shown = fs::path(c.damaged).filename().string();
        for (auto at = r.output.find("message \"Quenvar error\""); at != std::string::npos;
             at = r.output.find("message \"Quenvar error\"", at + 1)) {
            ++failures;
            const std::string line = r.output.substr(at, r.output.find('\n', at) - at);
            if (c.messagesNameFile) {
                EXPECT_NE(line.find(shown), std::string::npos) << what << ": the message names another file: " << line;
            }
        }
        if (c.reportsDirectory && v.directory) {
            EXPECT_GT(failures, 0u) << what << ": an unreadable file was not reported\n" << r.output;
        }
        if (c.verify) c.verify(dir, what);
    }
}

}  // namespace qvtest
