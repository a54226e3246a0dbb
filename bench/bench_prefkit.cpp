// prefkit: the main window's start-up (loading deftempar.dat into the set and the controls) and
// "Save and Quit" (dabase.txt and deftempar.dat rewritten), driven through the window logic.
#include <optional>
#include <string>

#include "benchdata.h"
#include "prefkit/program.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"
#include "registry.h"

namespace qvbench {

namespace {

// Shows nothing; answers every question with Yes and every dialog with a cancel.
class SilentPlatform : public qv::forms::Platform {
public:
    qv::forms::Answer message(const std::string&, const std::string&, qv::forms::Buttons buttons,
                              qv::forms::Icon) override
    {
        return buttons == qv::forms::Buttons::YesNo ? qv::forms::Answer::Yes : qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
};

void registerPrefkit()
{
    registerReferences("deftempar.dat");

    registerAction("prefkit load (start-up of frmMain)", "deftempar.dat", 3, "read", [](benchmark::State& state) {
        SilentPlatform platform;
        qv::forms::Application app(platform);
        prefkit::Program program(app, qv::Files(dataDir()));
        for (auto _ : state) {
            // Closing and opening the window again runs its start-up once more.
            app.close(program.frmMain());
            app.open(program.frmMain());
        }
        if (program.parameters().dataDirectory != dataDir()) state.SkipWithError("the load did not run");
    });

    // Two files are written durably: measured against one durable rewrite of deftempar.dat.
    registerAction("prefkit save (Save and Quit)", "deftempar.dat", 3, "rewrite", [](benchmark::State& state) {
        const std::string dir = scratchDir();
        SilentPlatform platform;
        qv::forms::Application app(platform);
        prefkit::Program program(app, qv::Files(dir));
        app.open(program.frmMain());
        program.frmMain()("opt10").setValue(true);
        const auto& click = program.frmMain()("cmdMain").onClick;
        for (auto _ : state) {
            // "Save and Quit" ends the program by leaving the handler; the window logic stays
            // usable for the next round.
            try {
                click();
            } catch (const qv::forms::ProgramEnd&) {
            }
        }
        if (!program.parameters().iterationCode.equalsNumber(1)) state.SkipWithError("the save did not run");
    });
}

Registrar prefkit(registerPrefkit);

}  // namespace

}  // namespace qvbench
