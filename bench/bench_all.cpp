// Collects the benchmark registrations of every part of the suite (each bench_*.cpp adds its
// own through a Registrar).
#include "registry.h"

namespace qvbench {

std::vector<void (*)()>& registrations()
{
    static std::vector<void (*)()> all;
    return all;
}

Registrar::Registrar(void (*fn)()) { registrations().push_back(fn); }

void registerAll()
{
    for (auto fn : registrations()) fn();
}

}  // namespace qvbench
