// The data checks: surfkit's check of a 4000-species database against a 1000-component
// comp.mdb, and qvcheck on a directory of the largest accepted files of every kind, each against
// one full read of every file it reads.
#include <sstream>
#include <string>
#include <vector>

#include "benchdata.h"
#include "quenvar/check.h"
#include "quenvar/files.h"
#include "quenvar/record.h"
#include "qvcheck/qvcheck.h"
#include "registry.h"
#include "surfkit/check.h"

namespace qvbench {

namespace {

// The floor and the full read of several files together, under one name.
void registerCombined(const std::string& name, const std::vector<std::string>& names)
{
    references()[name] = true;
    benchmark::RegisterBenchmark(("floor " + name).c_str(), [names](benchmark::State& state) {
        qv::Files files(dataDir());
        for (auto _ : state) {
            std::size_t fields = 0;
            for (const std::string& file : names) {
                const std::string bytes = files.readBytes(file);
                std::size_t start = 0;
                for (std::size_t i = 0; i < bytes.size(); ++i)
                    if (bytes[i] == ',' || bytes[i] == '\n' || bytes[i] == '\r') {
                        if (i > start) ++fields;
                        start = i + 1;
                    }
            }
            benchmark::DoNotOptimize(fields);
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("read " + name).c_str(), [names](benchmark::State& state) {
        qv::Files files(dataDir());
        for (auto _ : state) {
            std::size_t fields = 0;
            for (const std::string& file : names) {
                qv::RecordReader in = files.openRead(file);
                while (!in.atEnd()) {
                    benchmark::DoNotOptimize(in.field());
                    ++fields;
                }
            }
            benchmark::DoNotOptimize(fields);
        }
    })->Unit(benchmark::kMicrosecond);
}

void registerChecks()
{
    for (const char* kind : {"mdb", "iso"}) {
        const std::string db = std::string("big.") + kind;
        const std::string both = db + "+comp.mdb";
        registerCombined(both, {db, "comp.mdb"});
        registerAction("surfkit check " + both, both, 3, "read", [db](benchmark::State& state) {
            qv::Files files(dataDir());
            std::size_t findings = 0;
            for (auto _ : state) {
                qv::check::Report report;
                const surfkit::ComponentTable table = surfkit::readComponentTable(files, "comp.mdb", report);
                surfkit::checkSorption(files, db, table, report);
                findings = report.findings().size();
                benchmark::DoNotOptimize(findings);
            }
            state.counters["findings"] = static_cast<double>(findings);
        });
    }

    // Every file qvcheck reads in the data directory: the checked files and the databases they
    // are checked against.
    const std::string all = "data directory";
    registerCombined(all, {"dabase.txt", "deftempar.dat", "comp.mdb", "thermo.mdb", "type6.mdb", "big.mdb", "big.cdb",
                           "big.iso", "big.nic", "big.bli", "analyt.mdb", "sit_eta.txt", "big.MSI.TXT"});
    registerAction("qvcheck " + all, all, 3, "read", [](benchmark::State& state) {
        int status = 0;
        std::string last;
        for (auto _ : state) {
            std::ostringstream out, err;
            status = qvcheck::run({dataDir()}, out, err);
            last = out.str();
            benchmark::DoNotOptimize(status);
        }
        if (status == 2 || last.find("10 files checked") == std::string::npos)
            state.SkipWithError(("qvcheck did not check the directory: " + last.substr(last.rfind('\n', last.size() - 2) + 1)).c_str());
    });
}

Registrar checkBenchmarks(registerChecks);

}  // namespace

}  // namespace qvbench
