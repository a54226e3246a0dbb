#pragma once
// Running a tool's script in the test's own process: the tool's Program made here and driven by
// the script runner, as `TOOL --script FILE` would drive it, without starting a program. A test
// program registers the tools it drives (tests/support/inprocess_tool.cpp, linked for each tool
// a test names); runScript then runs those in-process unless a run needs a process of its own
// (a `kill` fault, other options). QVTEST_PROCESS=1 in the environment runs them as separate
// processes (the fault sweeps of tests/robust still plan their failures in-process).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quenvar/files.h"
#include "quenvar/script.h"
#include "testsupport.h"

namespace qvtest {

// Makes `program` (the path the tests run) runnable in-process through `make`.
bool registerInProcess(const std::string& program, qv::script::ProgramFactory make);

// Runs `script` against the registered Program of `program` with `dir` as the current directory
// and `fault` (a failure, never a kill) planned for this run alone. Everything the run changes
// in the process (current directory, planned fault) is restored. `faultReached` tells whether the
// planned step was reached. Nothing when `program` is not registered.
std::optional<RunResult> runInProcess(const std::string& program, const std::string& dir, std::string_view script,
                                      const qv::FaultPlan& fault = {}, bool* faultReached = nullptr);

// What runScript tries first: the run in-process where the arguments allow it.
std::optional<RunResult> tryInProcess(const std::string& program, const std::string& dir, std::string_view script,
                                      const std::vector<std::string>& extra);

}  // namespace qvtest
