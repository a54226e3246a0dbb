// The lists that the benchmark files fill and the ratio table reads.
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
