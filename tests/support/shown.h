#pragma once
// Expected script-mode output that holds paths: a text as the run prints it between double
// quotes (a backslash doubled, a quote escaped), without the quotes themselves. Paths hold
// backslashes on Windows.

#include <string>

#include "quenvar/script.h"

namespace qvtest {

inline std::string shown(const std::string& text)
{
    const std::string quoted = qv::script::quote(text);
    return quoted.substr(1, quoted.size() - 2);
}

}  // namespace qvtest
