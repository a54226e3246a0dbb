// humkit: opening and saving a site file of ten sets with the largest counts, through the window
// logic: the open against one full record read of that file, the save against one durable
// rewrite of it.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "benchdata.h"
#include "humkit/window.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"
#include "registry.h"

namespace qvbench {

namespace {

const char* siteName = "big.MSI.TXT";

// Shows nothing; every file dialog chooses `path`. A message is a failure of the benchmark.
class SilentPlatform : public qv::forms::Platform {
public:
    explicit SilentPlatform(std::string path) : path_(std::move(path)) {}
    qv::forms::Answer message(const std::string& text, const std::string&, qv::forms::Buttons, qv::forms::Icon) override
    {
        throw std::runtime_error("humkit showed a message: " + text);
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return path_;
    }

private:
    std::string path_;
};

// The window started on a data directory, its dialogs choosing the site file there.
struct Session {
    explicit Session(const std::string& dir)
        : platform(qv::joinPath(dir, siteName)), app(platform), program(std::make_unique<humkit::Program>(app, dir))
    {
        app.open(program->mainWindow());
    }
    SilentPlatform platform;
    qv::forms::Application app;
    std::unique_ptr<humkit::Program> program;
};

void registerHumkit()
{
    registerReferences(siteName);
    registerAction("humkit open (10 full sets)", siteName, 3, "read", [](benchmark::State& state) {
        Session s(dataDir());
        for (auto _ : state) {
            s.program->opendb();
            if (s.program->document().setCount != 10) state.SkipWithError("the file was not read");
        }
    });
    registerAction("humkit save (10 full sets)", siteName, 3, "rewrite", [](benchmark::State& state) {
        Session s(scratchDir());
        s.program->opendb();
        for (auto _ : state) s.program->writedb();
    });
}

Registrar humkit(registerHumkit);

}  // namespace

}  // namespace qvbench
