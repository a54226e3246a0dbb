// The SIT database manager on a coefficient file of 4000 pairs: listing it (Openfile with its
// three passes), adding a pair (the rewrite and the refilled lists) and saving a change, each
// driven through the window's handlers as a user's click runs them.
#include <optional>
#include <string>

#include "benchdata.h"
#include "ionkit/window.h"
#include "quenvar/files.h"
#include "registry.h"

namespace qvbench {

namespace {

// Shows nothing, answers Yes and returns the path it was given for every file dialog.
class SilentPlatform : public qv::forms::Platform {
public:
    std::string dialogPath;
    std::string lastMessage;
    qv::forms::Answer message(const std::string& text, const std::string&, qv::forms::Buttons buttons,
                              qv::forms::Icon) override
    {
        lastMessage = text;
        return buttons == qv::forms::Buttons::YesNo ? qv::forms::Answer::Yes : qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return dialogPath;
    }
};

// One window started in `dir` as the tool starts (dabase.txt read, sit_eta.txt listed).
struct Session {
    SilentPlatform platform;
    qv::forms::Application app{platform};
    ionkit::Program program;

    explicit Session(const std::string& dir) : program(app, dir) { app.open(program.mainWindow()); }
    qv::forms::Control& c(const char* name) { return program.mainWindow()(name); }
};

void registerIonkit()
{
    registerReferences("sit_eta.txt");

    registerAction("ionkit Openfile (4000 pairs)", "sit_eta.txt", 3, "read", [](benchmark::State& state) {
        Session s(dataDir());
        s.platform.dialogPath = qv::joinPath(dataDir(), "sit_eta.txt");
        for (auto _ : state) s.program.mnuOpen_Click();
        if (s.c("cboCat").listCount() == 0) state.SkipWithError("nothing listed");
    });

    registerAction("ionkit add a pair (4000 pairs)", "sit_eta.txt", 3, "rewrite", [](benchmark::State& state) {
        const std::string dir = scratchDir();
        Session s(dir);
        const qv::Files files(dir);
        const std::string original = files.readBytes("sit_eta.txt");
        s.c("cboCat1").setText("Bench+");
        s.c("cboAn1").setText("Bench-");
        s.c("txtEta1").setText("0.125");
        s.c("txtRef1").setText("Benchmark");
        s.c("cmdAdd").setVisible(true);
        for (auto _ : state) {
            s.program.cmdAdd_Click();  // a successful addition hides the new-pair entry
            state.PauseTiming();
            if (s.c("cmdAdd").visible() || !s.platform.lastMessage.empty()) {
                state.SkipWithError(("the pair was not added: " + s.platform.lastMessage).c_str());
                break;
            }
            s.c("cmdAdd").setVisible(true);
            files.writeFile("sit_eta.txt", original);
            state.ResumeTiming();
        }
    });

    registerAction("ionkit save a change (4000 pairs)", "sit_eta.txt", 3, "rewrite", [](benchmark::State& state) {
        const std::string dir = scratchDir();
        Session s(dir);
        bool flip = false;
        for (auto _ : state) {
            s.c("txtEta").setText((flip = !flip) ? "0.5" : "0.25");
            s.program.cmdSave_Click();
        }
        if (!s.platform.lastMessage.empty()) state.SkipWithError(s.platform.lastMessage.c_str());
    });
}

Registrar ionkitBenchmarks(registerIonkit);

}  // namespace

}  // namespace qvbench
