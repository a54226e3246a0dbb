#include "benchdata.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "generate.h"
#include "quenvar/files.h"
#include "quenvar/record.h"
#include "registry.h"

namespace fs = std::filesystem;

namespace qvbench {

namespace {

void put(const std::string& dir, const std::string& name, const std::string& bytes)
{
    std::ofstream out(dir + "/" + name, std::ios::binary);
    out << bytes;
}

std::string makeDir()
{
    std::string pattern = (fs::temp_directory_path() / "quenvar-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

struct Cleanup {
    std::vector<std::string> dirs;
    ~Cleanup()
    {
        std::error_code ec;
        for (const auto& d : dirs) fs::remove_all(d, ec);
    }
} cleanup;

}  // namespace

const std::string& dataDir()
{
    static const std::string dir = [] {
        const std::string d = makeDir();
        cleanup.dirs.push_back(d);
        put(d, "dabase.txt", dabaseFile(d));
        put(d, "deftempar.dat", defaultsFile(d));
        put(d, "comp.mdb", compFile(1000));
        put(d, "thermo.mdb", thermoFile(4000, false));
        put(d, "type6.mdb", thermoFile(4000, true));
        put(d, "gaussian.mdb", "\"placeholder\"\r\n");
        for (const char* kind : {"mdb", "cdb", "iso", "nic", "bli"})
            put(d, std::string("big.") + kind, sorptionFile(kind, 4000));
        put(d, "analyt.mdb", analytFile(2000, 2000));
        put(d, "sit_eta.txt", sitFile(4000));
        put(d, "big.MSI.TXT", siteFile());
        return d;
    }();
    return dir;
}

std::string scratchDir()
{
    const std::string d = makeDir();
    cleanup.dirs.push_back(d);
    fs::copy(dataDir(), d, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // The copies name their own directory.
    put(d, "dabase.txt", dabaseFile(d));
    put(d, "deftempar.dat", defaultsFile(d));
    return d;
}

void registerAction(const std::string& name, const std::string& file, double target, const std::string& reference,
                    std::function<void(benchmark::State&)> body)
{
    actions().push_back({name, file, target, reference});
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) {
        body(state);
    })->Unit(benchmark::kMicrosecond);
}

void registerReferences(const std::string& file)
{
    if (references().count(file)) return;
    references()[file] = true;
    benchmark::RegisterBenchmark(("floor " + file).c_str(), [file](benchmark::State& state) {
        qv::Files files(dataDir());
        for (auto _ : state) {
            const std::string bytes = files.readBytes(file);
            std::size_t fields = 0, start = 0;
            for (std::size_t i = 0; i < bytes.size(); ++i)
                if (bytes[i] == ',' || bytes[i] == '\n' || bytes[i] == '\r') {
                    if (i > start) ++fields;
                    start = i + 1;
                }
            benchmark::DoNotOptimize(fields);
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("read " + file).c_str(), [file](benchmark::State& state) {
        qv::Files files(dataDir());
        for (auto _ : state) {
            qv::RecordReader in = files.openRead(file);
            std::size_t fields = 0;
            while (!in.atEnd()) {
                benchmark::DoNotOptimize(in.field());
                ++fields;
            }
            benchmark::DoNotOptimize(fields);
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                                static_cast<std::int64_t>(files.readBytes(file).size()));
    })->Unit(benchmark::kMicrosecond);
    // The least any save does: one full read of the file and a durable rewrite of the same bytes
    // (a temporary file written and flushed to disk, then put in place atomically).
    benchmark::RegisterBenchmark(("rewrite " + file).c_str(), [file](benchmark::State& state) {
        qv::Files files(scratchDir());
        for (auto _ : state) {
            std::string bytes = files.readBytes(file);
            qv::RecordReader in(bytes, file);
            while (!in.atEnd()) benchmark::DoNotOptimize(in.field());
            files.rewrite("bench.tmp", file, bytes);
        }
    })->Unit(benchmark::kMicrosecond);
}

}  // namespace qvbench
