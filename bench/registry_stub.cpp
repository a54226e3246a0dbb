// The start-up benchmark uses the generated data directory but registers no benchmarks.
#include "registry.h"

namespace qvbench {
std::vector<Action>& actions()
{
    static std::vector<Action> all;
    return all;
}
std::map<std::string, bool>& references()
{
    static std::map<std::string, bool> all;
    return all;
}
}  // namespace qvbench
