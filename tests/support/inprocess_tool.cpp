// Registers one tool for runs in the test's own process. Built once for each tool, with
// TOOL_HEADER (the header of its Program), TOOL_NAMESPACE and TOOL_BIN (the program's path).
#include <memory>

#include TOOL_HEADER
#include "inprocess.h"

namespace {
[[maybe_unused]] const bool registered = qvtest::registerInProcess(
    TOOL_BIN, [](qv::forms::Application& app) { return std::make_unique<TOOL_NAMESPACE::Program>(app); });
}  // namespace
