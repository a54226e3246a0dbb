// The shared layer: the record reader against the floor, and the shared data-file scans.
#include "benchdata.h"
#include "quenvar/backup.h"
#include "quenvar/datafiles.h"
#include "quenvar/files.h"
#include "quenvar/record.h"
#include "registry.h"

namespace qvbench {

namespace {
void registerCommon()
{
    for (const char* f : {"big.mdb", "comp.mdb", "thermo.mdb", "analyt.mdb", "sit_eta.txt"}) registerReferences(f);
    for (const char* f : {"big.mdb", "thermo.mdb", "sit_eta.txt"}) {
        registerAction(std::string("reader ") + f, f, 10, "floor", [f](benchmark::State& state) {
            qv::Files files(dataDir());
            for (auto _ : state) {
                qv::RecordReader in = files.openRead(f);
                while (!in.atEnd()) benchmark::DoNotOptimize(in.field());
            }
        });
    }
    // A file with a 0x1A in it (here inside its first text, and the end-of-file mark after its
    // last line) is walked once more to find where the mark stands.
    registerAction("reader sit_eta.txt ended by the DOS mark", "sit_eta.txt", 10, "floor", [](benchmark::State& state) {
        qv::Files files(dataDir());
        std::string marked = files.readBytes("sit_eta.txt");
        marked.insert(marked.find('"') + 1, "\x1A");
        marked += '\x1A';
        for (auto _ : state) {
            qv::RecordReader in(marked, "sit_eta.txt");
            while (!in.atEnd()) benchmark::DoNotOptimize(in.field());
        }
    });
    registerAction("thermo name list (4000 species)", "thermo.mdb", 3, "read", [](benchmark::State& state) {
        qv::Files files(dataDir());
        for (auto _ : state) benchmark::DoNotOptimize(qv::thermoNames(files, "thermo.mdb"));
    });
    // A save that keeps the previous content first: the backup is one more durable write of the
    // file's size, so about two rewrites.
    registerAction("save keeping a backup big.mdb", "big.mdb", 3, "rewrite", [](benchmark::State& state) {
        qv::Files files(scratchDir());
        qv::SaveUndo undo(files);
        for (auto _ : state) {
            std::string bytes = files.readBytes("big.mdb");
            qv::RecordReader in(bytes, "big.mdb");
            while (!in.atEnd()) benchmark::DoNotOptimize(in.field());
            undo.rewrite("bench.tmp", "big.mdb", bytes);
        }
    });
    // "Undo last save": both files compared with what the save remembered, then one rewrite.
    registerAction("undo last save big.mdb", "big.mdb", 3, "rewrite", [](benchmark::State& state) {
        qv::Files files(scratchDir());
        qv::SaveUndo undo(files);
        const std::string bytes = files.readBytes("big.mdb");
        for (auto _ : state) {
            state.PauseTiming();
            undo.rewrite("bench.tmp", "big.mdb", bytes);
            state.ResumeTiming();
            undo.restore();
        }
    });
    registerAction("comp.mdb lookup by name (last wins)", "comp.mdb", 3, "read", [](benchmark::State& state) {
        qv::Files files(dataDir());
        for (auto _ : state) benchmark::DoNotOptimize(qv::componentIdByName(files, "comp.mdb", "Comp399"));
    });
}

Registrar common(registerCommon);
}  // namespace

}  // namespace qvbench
