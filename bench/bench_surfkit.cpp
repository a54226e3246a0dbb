// surfkit on sorption databases of 4000 species of every kind, driven through its window logic:
// Listfill, the species display of the last species, a save of a changed species and a
// deletion (each against one full read of the file), and the ID proposal in its worst case
// (against one plain species-list read of its file).
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "benchdata.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"
#include "registry.h"
#include "surfkit/sorption.h"
#include "surfkit/window.h"

namespace qvbench {

namespace {

const char* const kinds[] = {"mdb", "cdb", "iso", "nic", "bli"};

// Answers Yes to every question and gives the open dialog a preset path.
class SilentPlatform : public qv::forms::Platform {
public:
    std::string openPath;
    qv::forms::Answer message(const std::string&, const std::string&, qv::forms::Buttons buttons,
                              qv::forms::Icon) override
    {
        return buttons == qv::forms::Buttons::YesNo ? qv::forms::Answer::Yes : qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind kind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        if (kind == qv::forms::DialogKind::Open) return openPath;
        return std::nullopt;
    }
};

// The editor started in `dir` with `file` opened through the File menu.
struct Editor {
    SilentPlatform platform;
    qv::forms::Application app{platform};
    std::unique_ptr<surfkit::Program> program;

    Editor(const std::string& dir, const std::string& file)
    {
        program = std::make_unique<surfkit::Program>(app, dir);
        app.open(program->mainWindow());
        platform.openPath = qv::joinPath(dir, file);
        program->mnuFileOpen_Click();
        if (list().listCount() == 0) throw std::runtime_error("surfkit listed nothing of " + file);
    }
    qv::forms::Control& operator()(const char* name, int index = 0) { return program->frmMaindb()(name, index); }
    qv::forms::Control& list() { return (*this)("lstReactions"); }
};

// One scratch copy of the data directory per kind, for the rewrites.
const std::string& scratchFor(const std::string& kind)
{
    static std::map<std::string, std::string> dirs;
    auto it = dirs.find(kind);
    if (it == dirs.end()) it = dirs.emplace(kind, scratchDir()).first;
    return it->second;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The model a file of this kind carries in its header (as the generated files have it).
std::string modelOf(const std::string& kind)
{
    if (kind == "iso") return "Freundlich";
    if (kind == "nic") return "NICA-Donnan";
    return "";
}

// The two components of the new species in the worst case, both among the first 400 records of
// comp.mdb, where the ID proposal looks them up.
constexpr const char* firstComponent = "Comp12";
constexpr const char* secondComponent = "Comp3";

// A sorption file of 4000 species where the ID proposal finds no free number in the block of
// its base B, none in the swapped block B', and then a run of thousands of used numbers from
// B' + 11 on: the run first, the two full blocks last.
std::string worstFile(const std::string& kind)
{
    double idcomp1 = 12, idcomp2 = 3;
    surfkit::adjustIdcompForModel(idcomp1, idcomp2, modelOf(kind), firstComponent);
    const auto base = static_cast<long long>(surfkit::idBase(idcomp1, idcomp2));
    const auto swapped = static_cast<long long>(surfkit::idBase(idcomp2, idcomp1));
    std::vector<long long> ids;
    for (long long id = swapped + 11; ids.size() < 4000 - 20; ++id) ids.push_back(id);
    for (long long d = 0; d < 10; ++d) ids.push_back(swapped + d);
    for (long long d = 0; d < 10; ++d) ids.push_back(base + d);

    qv::RecordWriter w;
    if (!modelOf(kind).empty()) w.text(modelOf(kind)).endLine();
    if (kind == "bli") {
        w.text("BLM parameters").endLine();
        w.text("Critical f value").number(0.5).endLine();
    }
    const bool mb = kind == "iso";
    int k = 0;
    for (long long id : ids) {
        ++k;
        w.whole(id).text("Species " + std::to_string(k)).number(0).number(2.5 + (k % 17) * 0.25);
        w.number(kind == "cdb" ? 1.25 : 0).number(kind == "bli" ? (k % 2) : 0).number(k % 3 - 1);
        w.whole(0).whole(0).whole(0).whole(0).whole(mb ? 102 : 2).endLine();
        w.number(1).whole(12).number(k % 2 ? 1 : 2).whole(3 + k % 40).endLine();
        if (mb) {
            w.whole(1).endLine();
            w.number(0.5).whole(3 + k % 40).endLine();
        }
    }
    surfkit::writeEndBlock(w);
    return w.take();
}

void registerSurfkit()
{
    for (const std::string kind : kinds) {
        const std::string big = "big." + kind;
        const std::string worst = "surfkit-worst." + kind;
        writeFile(qv::joinPath(dataDir(), worst), worstFile(kind));
        registerReferences(big);
        registerReferences(worst);

        // The plain species-list read: the header, then the names of at most 4000 species.
        benchmark::RegisterBenchmark(("listfill " + worst).c_str(), [worst](benchmark::State& state) {
            qv::Files files(dataDir());
            const surfkit::HeaderLayout layout = surfkit::headerLayoutOf(surfkit::fileKindOf(worst));
            for (auto _ : state) {
                qv::RecordReader in = files.openRead(worst);
                surfkit::skipHeader(in, layout);
                std::vector<std::string> names;
                for (int k = 0; k < surfkit::listLimit && !in.atEnd(); ++k) {
                    surfkit::SpeciesRecord r = surfkit::readSpecies(in);
                    if (r.isEndRecord()) break;
                    names.push_back(r.name().asText());
                }
                benchmark::DoNotOptimize(names);
            }
        })->Unit(benchmark::kMicrosecond);

        registerAction("surfkit Listfill " + big, big, 3, "read", [big](benchmark::State& state) {
            Editor e(dataDir(), big);
            for (auto _ : state) e.program->Listfill();
            if (e.list().listCount() != 4000) state.SkipWithError("not all species listed");
        });

        // One keystroke in the species filter: the list shown again from the 4000 names, with the
        // count. Each iteration types the next letter of a search, from the first letter again after
        // the last, so that short (many matches) and long (few) filters both count.
        registerAction("surfkit filter keystroke " + big, big, 1, "surfkit Listfill " + big,
                       [big](benchmark::State& state) {
                           Editor e(dataDir(), big);
                           const std::string typed = "species 12";
                           std::size_t k = 0;
                           for (auto _ : state) {
                               k = k % typed.size() + 1;
                               e("txtFilter").setText(typed.substr(0, k));
                           }
                           e("txtFilter").setText("species 12");
                           if (e("lblFilterCount").caption() != "111 of 4000 species")
                               state.SkipWithError("the filter did not run");
                       });

        registerAction("surfkit species display (last species) " + big, big, 3, "read", [big](benchmark::State& state) {
            Editor e(dataDir(), big);
            e.list().setText("Species 4000");
            for (auto _ : state) e.program->lstReactions_Click();
            if (e("txtName").text() != "Species 4000") state.SkipWithError("not shown");
        });

        registerAction("surfkit ID proposal worst case " + worst, worst, 2, "listfill",
                       [worst, kind](benchmark::State& state) {
                           Editor e(dataDir(), worst);
                           e.program->cmdAddnew_Click();
                           e("txtSpname").setText("New species");
                           e("txtComp", 1).setText(firstComponent);
                           e("txtComp", 2).setText(secondComponent);
                           for (auto _ : state) {
                               e.program->cmdSuggest_Click();
                               // The name that every click adds to the list goes again, so that
                               // each click finds the list as the first did.
                               e.list().removeItem(e.list().listCount() - 1);
                           }
                           // Both blocks are full: the proposal lies beyond the run after B' + 11.
                           double idcomp1 = 12, idcomp2 = 3;
                           surfkit::adjustIdcompForModel(idcomp1, idcomp2, modelOf(kind), firstComponent);
                           const double expected = surfkit::idBase(idcomp2, idcomp1) + 11 + 3980;
                           if (e("txtID").text() != qv::numberForm(expected)) state.SkipWithError("not the worst case");
                       });

        registerAction("surfkit save (changed species) " + big, big, 3, "rewrite",
                       [big, kind](benchmark::State& state) {
                           Editor e(scratchFor(kind), big);
                           e.list().setText("Species 2000");
                           e.program->lstReactions_Click();
                           e("txtlogk").setText("9,5");
                           for (auto _ : state) {
                               // The save lists the file again, which clears the selection: select as the user would.
                               e.list().setText("Species 2000");
                               e.program->cmdSavedb_Click();
                           }
                           if (e.list().listCount() != 4000) state.SkipWithError("the save lost species");
                           if (readFile(qv::joinPath(scratchFor(kind), big)).find(",9.5,") == std::string::npos)
                               state.SkipWithError("the save did not run");
                       });

        registerAction("surfkit delete " + big, big, 3, "rewrite", [big, kind](benchmark::State& state) {
            Editor e(scratchFor(kind), big);
            const std::string path = qv::joinPath(scratchFor(kind), big);
            const std::string original = readFile(path);
            e.list().removeItem(e.list().listCount() - 1);  // put back before each deletion
            for (auto _ : state) {
                state.PauseTiming();
                writeFile(path, original);
                e.list().addItem("Species 4000");
                e.list().setText("Species 4000");
                state.ResumeTiming();
                e.program->cmdDelete_Click();
            }
            if (readFile(path).size() >= original.size()) state.SkipWithError("nothing deleted");
            writeFile(path, original);
        });
    }
}

Registrar surfkitBenchmarks(registerSurfkit);

}  // namespace

}  // namespace qvbench
