// Runs every benchmark, then prints each action as a ratio to the references measured on the
// same file in the same run: the floor (bytes read and split), one full record read, and one
// plain species-list read of a sorption file.
#include <cstdio>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "benchdata.h"
#include "registry.h"

namespace qvbench {

void registerAll();  // benchmarks of every part, in their own files

}  // namespace qvbench

namespace {

class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> micros;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (!r.error_occurred) micros[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    qvbench::registerAll();
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    auto time = [&](const std::string& name) -> double {
        auto it = collector.micros.find(name);
        return it == collector.micros.end() ? 0 : it->second;
    };
    std::printf("\n| action | file | time (us) | x floor | x full read | reference | x reference | target | met |\n");
    std::printf("|---|---|---:|---:|---:|---|---:|---:|---|\n");
    int missed = 0;
    for (const auto& a : qvbench::actions()) {
        const double t = time(a.name), floor = time("floor " + a.file), read = time("read " + a.file);
        double ref = read;
        if (a.reference == "floor") ref = floor;
        if (a.reference == "listfill") ref = time("listfill " + a.file);
        if (a.reference == "rewrite") ref = time("rewrite " + a.file);
        if (collector.micros.count(a.reference)) ref = time(a.reference);  // another action of the run
        if (t == 0 || floor == 0 || read == 0 || ref == 0) continue;
        const bool met = t / ref <= a.target;
        missed += !met;
        std::printf("| %s | %s | %.1f | %.2f | %.2f | %s | %.2f | %.1f | %s |\n", a.name.c_str(), a.file.c_str(), t,
                    t / floor, t / read, a.reference.c_str(), t / ref, a.target, met ? "yes" : "NO");
    }
    benchmark::Shutdown();
    return missed ? 1 : 0;
}
