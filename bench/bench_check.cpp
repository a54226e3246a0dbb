// The data checks: surfkit's check of a 4000-species database against a 1000-component
// comp.mdb, and qvcheck on a directory of the largest accepted files of every kind, each against
// one full read of every file it reads.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
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
#include "surfkit/sorption.h"

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

// A sorption database of 4000 species of the kind that the checks find nothing wrong in: IDs
// built from the first two components as the ID proposal builds them, charges balanced, names
// unique. Component IDs 1 to 400 of the generated comp.mdb.
std::string cleanSorptionFile(const std::string& kind)
{
    qv::RecordWriter w;
    if (kind == "iso") w.text("Freundlich").endLine();
    if (kind == "nic") w.text("NICA-Donnan").endLine();
    if (kind == "bli") w.text("BLM parameters").endLine().text("Critical f value").number(0.5).endLine();
    for (int k = 0; k < 4000; ++k) {
        const int b = 1 + k / 10, d = k % 10;
        long long id = 8120000 + 10 * b + d;              // =SOH and component b
        if (kind == "iso") id = 13010000LL + 10 * b + d;  // Freundlich: the site, then the first component
        if (kind == "nic") id = 13010000LL + 10 * b + d;  // the site, then the second component
        const bool mb = kind == "iso";
        const int charge = (kind == "mdb" || kind == "cdb") ? b % 5 - 2 : 0;
        w.whole(id).text("Species " + std::to_string(k + 1)).number(0).number(2.5 + (k % 17) * 0.25);
        w.number(kind == "cdb" ? 1.25 : 0).number(0).whole(charge).whole(0).whole(0).whole(0).whole(0);
        w.whole(mb ? 102 : 2).endLine();
        if (kind == "iso")
            w.number(1).whole(b).number(1).whole(812).endLine();
        else
            w.number(1).whole(812).number(1).whole(b).endLine();
        if (mb) w.whole(1).endLine().number(0.5).whole(b).endLine();
    }
    surfkit::writeEndBlock(w);
    return w.take();
}

void registerChecks()
{
    // The check of a database with nothing to report, against one full read of it and comp.mdb.
    for (const char* kind : {"mdb", "iso"}) {
        const std::string db = std::string("check-clean.") + kind;
        std::ofstream(qv::joinPath(dataDir(), db), std::ios::binary) << cleanSorptionFile(kind);
        const std::string both = db + "+comp.mdb";
        registerCombined(both, {db, "comp.mdb"});
        registerAction("surfkit check " + both, both, 3, "read", [db](benchmark::State& state) {
            qv::Files files(dataDir());
            for (auto _ : state) {
                qv::check::Report report;
                const surfkit::ComponentTable table = surfkit::readComponentTable(files, "comp.mdb", report);
                surfkit::checkSorption(files, db, table, report);
                benchmark::DoNotOptimize(report.findings().size());
            }
        });
    }
    // The generated databases, whose IDs do not follow their components (and whose charges do not
    // balance in big.mdb): a finding for nearly every species, the cost of the report included.
    for (const char* kind : {"mdb", "iso"}) {
        const std::string db = std::string("big.") + kind;
        const std::string both = db + "+comp.mdb";
        registerCombined(both, {db, "comp.mdb"});
        registerAction(
            "surfkit check (a finding per species) " + both, both, 10, "read", [db](benchmark::State& state) {
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

    // Every file qvcheck reads in a data directory: the checked files and the databases they are
    // checked against; the sorption databases once as generated (a finding per species) and once
    // with nothing to report.
    const std::vector<std::string> shared = {"dabase.txt", "deftempar.dat", "comp.mdb",    "thermo.mdb",
                                             "type6.mdb",  "analyt.mdb",    "sit_eta.txt", "big.MSI.TXT"};
    for (const std::string prefix : {"big.", "check-clean."}) {
        std::vector<std::string> names = shared;
        for (const char* kind : {"mdb", "cdb", "iso", "nic", "bli"}) {
            const std::string name = prefix + kind;
            if (prefix != "big.")
                std::ofstream(qv::joinPath(dataDir(), name), std::ios::binary) << cleanSorptionFile(kind);
            names.push_back(name);
        }
        const std::string all = "data directory (" + prefix + "*)";
        registerCombined(all, names);
        registerAction("qvcheck " + all, all, prefix == "big." ? 10 : 3, "read", [names](benchmark::State& state) {
            // A directory holding these files and nothing else (other benchmarks add files of their own).
            static std::map<std::string, std::string> dirs;  // one per set of names, made once
            std::string& dir = dirs[names.back()];
            if (dir.empty()) {
                dir = scratchDir();
                for (const auto& e : std::filesystem::directory_iterator(dir))
                    if (std::find(names.begin(), names.end(), e.path().filename().string()) == names.end())
                        std::filesystem::remove(e.path());
            }
            // The report goes where a run's output would go: written out, not kept.
            std::ofstream sink("/dev/null", std::ios::binary);
            std::ostringstream err;
            for (auto _ : state) benchmark::DoNotOptimize(qvcheck::run({dir}, sink, err));
            std::ostringstream out;
            const int status = qvcheck::run({dir}, out, err);
            const std::string last = out.str();
            if (status == 2 || last.find("10 files checked") == std::string::npos)
                state.SkipWithError(
                    ("qvcheck did not check the directory: " + last.substr(last.rfind('\n', last.size() - 2) + 1))
                        .c_str());
        });
    }
}

Registrar checkBenchmarks(registerChecks);

}  // namespace

}  // namespace qvbench
