// Site files on arbitrary bytes: the reader either refuses the file with a short error naming it
// or gives a document within the tables' bounds; that document's file bytes read back to the same
// bytes; and the window opens the file, shows each of its sets, and saves a file that it can
// open again.
#include <unistd.h>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "fuzzinput.h"
#include "humkit/sitefile.h"
#include "humkit/window.h"
#include "quenvar/error.h"
#include "quenvar/forms.h"

namespace {

const std::string inputName = "input.MSI.TXT";
const std::string savedName = "saved.MSI.TXT";

// Shows nothing; the open dialog chooses the input, the save dialog the file to save.
class SilentPlatform : public qv::forms::Platform {
public:
    qv::forms::Answer message(const std::string&, const std::string&, qv::forms::Buttons buttons,
                              qv::forms::Icon) override
    {
        // An unsaved-change question gives the edits up; every other box is taken as shown.
        if (buttons == qv::forms::Buttons::SaveDiscardCancel) return qv::forms::Answer::Discard;
        return qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind kind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return qvfuzz::workDir() + "/" + (kind == qv::forms::DialogKind::Open ? inputName : savedName);
    }
};

void check(bool holds)
{
    if (!holds) __builtin_trap();
}

bool fits(const humkit::SiteDocument& doc)
{
    if (doc.setCount < 0 || doc.setCount > humkit::maxSets) return false;
    if (doc.groupCount < humkit::minGroups || doc.groupCount > humkit::maxGroups) return false;
    for (int p = 1; p <= doc.setCount; ++p) {
        const humkit::SiteSet& s = doc.set(p);
        if (s.monoCount < 0 || s.monoCount > humkit::maxMonodentate || s.biCount < 0 ||
            s.biCount > humkit::maxBidentate || s.triCount < 0 || s.triCount > humkit::maxTridentate)
            return false;
    }
    return doc.currentSet == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const qv::Files files = qvfuzz::placeInput(data, size, inputName);

    std::optional<humkit::SiteDocument> doc;
    try {
        doc = humkit::readSiteFile(files.readBytes(inputName), inputName);
    } catch (const qv::Error& e) {
        // Refused: the message (as a C string, the way it is shown) names the file and stays short.
        check(e.file() == inputName);
        check(e.kind() == qv::ErrorKind::BadFormat || e.kind() == qv::ErrorKind::PastEnd);
        check(std::strstr(e.what(), inputName.c_str()) != nullptr);
        check(std::strlen(e.what()) < 400);
    }

    if (doc) {
        check(fits(*doc));
        // The bytes of a document read back to a document with the same bytes (a name or a word
        // holding a double quote cannot be written and is refused).
        try {
            const std::string bytes = humkit::writeSiteFile(*doc, inputName);
            const humkit::SiteDocument again = humkit::readSiteFile(bytes, inputName);
            check(again.setCount == doc->setCount && again.groupCount == doc->groupCount);
            for (int p = 1; p <= doc->setCount; ++p) check(again.set(p).name == doc->set(p).name);
            check(humkit::writeSiteFile(again, inputName) == bytes);
        } catch (const qv::Error& e) {
            check(e.kind() == qv::ErrorKind::QuoteInText);
        }
    }

    // The window: open the file, show every set, save, and open what was saved.
    SilentPlatform platform;
    qv::forms::Application app(platform);
    humkit::Program program(app, qvfuzz::workDir());
    ::unlink((qvfuzz::workDir() + "/" + savedName).c_str());
    app.dispatch([&] { program.opendb(); });
    check(program.document().setCount == (doc ? doc->setCount : 1));
    qv::forms::Control& settings = program.mainWindow()("cboSettings");
    for (int i = 0; i < settings.listCount(); ++i)
        app.dispatch([&] {
            settings.userPick(i);
            settings.onClick();
        });
    app.dispatch([&] { program.writedb(); });
    if (files.exists(savedName)) {
        humkit::SiteDocument saved = humkit::readSiteFile(files.readBytes(savedName), savedName);
        check(saved.setCount == program.document().setCount);
    }
    return 0;
}
