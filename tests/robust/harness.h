#pragma once
// Runs a tool's rewrite under every planned fault, and a tool's start-up and reading actions on
// every bad variant of a file, checking what stays on disk.

#include <functional>
#include <string>
#include <vector>

#include "testsupport.h"

namespace qvtest {

// One rewrite of one tool: the directory it starts in, the script that makes it rewrite
// `target` once, and the temporary names it uses on the way.
struct RewriteCase {
    std::string name;
    std::string program;
    std::function<void(const TempDir&)> setup;
    std::string script;
    std::string target;
    std::vector<std::string> temps;
};

// Interrupts the rewrite at each step (open, write, flush, close, rename, copy, delete; each
// occurrence in turn) by making the step fail, and at the first and the last occurrence of each
// step by killing the process, and checks that the target is byte for byte its old or its
// complete new content, and that no temporary file is left behind after a failure the program
// survived. Reports through GoogleTest assertions.
void checkCrashSafety(const RewriteCase& c);

// One interrupted run: its plan ("write:2:fail"), whether the process was killed, its result.
struct FaultRun {
    std::string plan;
    bool killed = false;
    RunResult result;
};

// Runs `script` of `program` in a fresh directory made by `setup` under each fault: every
// occurrence (up to `maxOccurrences`) of every step made to fail, in this process; the first and
// the last occurrence of each step reached killed, in a process of its own (the steps between
// repeat what these show). `check` sees the directory as each run left it. Returns the number of
// fault points reached.
int forEachFault(const std::string& program, const std::function<void(const TempDir&)>& setup,
                 const std::string& script, const std::function<void(const TempDir&, const FaultRun&)>& check,
                 int maxOccurrences = 12);

// One reading use of a tool: the directory it starts in (with the good file in place), the
// script of its start-up and reading actions, and the file that is replaced by bad variants.
struct ReadCase {
    std::string name;
    std::string program;
    std::function<void(const TempDir&)> setup;
    std::string script;
    std::string damaged;                 // the file replaced by each bad variant
    std::vector<std::string> mayChange;  // files the script itself may change or delete
    std::size_t maxCuts = 30;
    // Every "Quenvar error" message names the damaged file.
    bool messagesNameFile = false;
    // A directory where the file should be is reported in a message.
    bool reportsDirectory = false;
    // Further checks of the directory after each run, with a description of the variant.
    std::function<void(const TempDir&, const std::string&)> verify;
};

// Runs the case on every bad variant of its file: the tool never crashes or hangs, ends its
// script with status 0 or 1 (a failed `expect` is allowed: the listing differs), changes no
// file that the script does not name as changing, and reports as the case asks.
void checkMalformed(const ReadCase& c);

}  // namespace qvtest
