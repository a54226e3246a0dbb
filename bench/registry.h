#pragma once
// What the benchmark main needs to print the ratio table.
#include <map>
#include <string>
#include <vector>

namespace qvbench {

struct Action {
    std::string name, file;
    double target;
    std::string reference;  // "read", "floor" or "listfill"
};
std::vector<Action>& actions();
std::map<std::string, bool>& references();

// A static Registrar in a bench_*.cpp file adds that file's benchmarks to the run.
struct Registrar {
    explicit Registrar(void (*fn)());
};

}  // namespace qvbench
