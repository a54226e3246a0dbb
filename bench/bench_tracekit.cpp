// The analyte editor on analyt.mdb of 2000 solids and 2000 aqueous species: both listings, the
// display of the last aqueous species (the search reads almost the whole file) and a change of
// terms (a whole rewrite), each driven through the window logic as a user's action.
#include <memory>
#include <string>

#include "benchdata.h"
#include "quenvar/forms.h"
#include "registry.h"
#include "tracekit/window.h"

namespace qvbench {

namespace {

// Answers every question with Yes and counts the messages, so that a failure in a measured
// action is not mistaken for a fast action.
class SilentPlatform : public qv::forms::Platform {
public:
    qv::forms::Answer message(const std::string& text, const std::string& title, qv::forms::Buttons buttons,
                              qv::forms::Icon) override
    {
        ++messages;
        last = title + ": " + text;
        return buttons == qv::forms::Buttons::YesNo ? qv::forms::Answer::Yes : qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
    int messages = 0;
    std::string last;
};

// The program started in `dir`, its window loaded.
struct Editor {
    SilentPlatform platform;
    qv::forms::Application app{platform};
    tracekit::Program program{app};

    explicit Editor(const std::string& dir)
    {
        program.files().changeDir(dir);
        app.dispatch([&] { app.open(program.mainWindow()); });
    }
    qv::forms::Control& operator()(const char* name) { return program.mainWindow()(name); }
    void click(const char* name)
    {
        qv::forms::Control& c = (*this)(name);
        app.dispatch([&] { c.onClick(); });
    }
    // False (and the benchmark marked failed) when the action showed a message.
    bool ok(benchmark::State& state)
    {
        if (platform.messages == 0) return true;
        state.SkipWithError(platform.last.c_str());
        return false;
    }
};

void registerTracekit()
{
    registerReferences("analyt.mdb");

    registerAction("tracekit ReadSolidnames (2000 solids)", "analyt.mdb", 3, "read", [](benchmark::State& state) {
        Editor e(dataDir());
        for (auto _ : state) {
            e.click("optSolid");
            benchmark::DoNotOptimize(e("cboSpecies").listCount());
        }
        if (e.ok(state) && e("cboSpecies").listCount() != 2000) state.SkipWithError("wrong solid count");
    });

    registerAction("tracekit ReadAqNames (2000 aqueous)", "analyt.mdb", 3, "read", [](benchmark::State& state) {
        Editor e(dataDir());
        for (auto _ : state) {
            e.click("optAqueous");
            benchmark::DoNotOptimize(e("cboSpecies").listCount());
        }
        if (e.ok(state) && e("cboSpecies").listCount() != 2000) state.SkipWithError("wrong aqueous count");
    });

    registerAction("tracekit display of the last aqueous species", "analyt.mdb", 3, "read",
                   [](benchmark::State& state) {
                       Editor e(dataDir());
                       e.click("optAqueous");
                       qv::forms::Control& cbo = e("cboSpecies");
                       const int last = cbo.listCount() - 1;
                       for (auto _ : state) {
                           e.app.dispatch([&] { cbo.userPick(last); });
                           benchmark::DoNotOptimize(e("txtEntryA").text());
                       }
                       if (e.ok(state) && e("txtEntryA").text() != "-8.5") state.SkipWithError("terms not shown");
                   });

    // A keystroke in a term box: the typed curve (201 points), the saved one drawn dashed (201
    // more), log K and the enthalpy at 25 °C; against the display of a species.
    registerAction("tracekit plot after a keystroke (201 points, both labels)", "analyt.mdb", 1,
                   "tracekit display of the last aqueous species", [](benchmark::State& state) {
                       Editor e(dataDir());
                       e.click("optAqueous");
                       qv::forms::Control& cbo = e("cboSpecies");
                       e.app.dispatch([&] { cbo.userPick(cbo.listCount() - 1); });
                       qv::forms::Control& box = e("txtEntryC");
                       const std::string texts[2] = {"1250", "1250.5"};
                       int k = 0;
                       for (auto _ : state) {
                           e.app.dispatch([&] { box.userType(texts[k ^= 1]); });
                           benchmark::DoNotOptimize(e("lblDeltaH").caption());
                       }
                       const qv::forms::Control& plot = e("pltLogK");
                       if (e.ok(state) && (plot.points().size() != 201 || plot.dashed().size() != 201))
                           state.SkipWithError("no curves");
                   });

    registerAction("tracekit change of the last aqueous species", "analyt.mdb", 3, "rewrite",
                   [](benchmark::State& state) {
                       Editor e(scratchDir());
                       e.click("optAqueous");
                       qv::forms::Control& cbo = e("cboSpecies");
                       e.app.dispatch([&] { cbo.userPick(cbo.listCount() - 1); });
                       double a = 0;
                       for (auto _ : state) {
                           e("txtEntryA").setText(std::to_string(a += 1));
                           e.click("cmdSave");
                       }
                       e.ok(state);
                   });
}

Registrar tracekit(registerTracekit);

}  // namespace

}  // namespace qvbench
