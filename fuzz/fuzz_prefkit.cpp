// deftempar.dat on arbitrary bytes: the load either fails with an error naming the file or gives
// a set; what the windows show of that set, stored back unchanged, keeps every value; the set's
// file bytes load back to the same set, field for field and kind for kind; and the two windows
// open, show and store on it without a crash.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzzinput.h"
#include "prefkit/params.h"
#include "prefkit/program.h"
#include "quenvar/error.h"
#include "quenvar/forms.h"

namespace {

// Shows nothing and answers every question; the windows need no more here.
class SilentPlatform : public qv::forms::Platform {
public:
    int messages = 0;
    qv::forms::Answer message(const std::string&, const std::string&, qv::forms::Buttons, qv::forms::Icon) override
    {
        ++messages;
        return qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
};

void check(bool holds)
{
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const qv::Files files = qvfuzz::placeInput(data, size, prefkit::parameterFileName);

    prefkit::DefaultParameters set;
    try {
        set = prefkit::loadParameters(files);
    } catch (const qv::Error& e) {
        check(e.file() == prefkit::parameterFileName);
        return 0;
    }

    // What a window shows of a field and stores back untouched is the same number (to the 15
    // digits of the display form).
    int unreadable = 0;
    for (const prefkit::FieldPlace& place : prefkit::fieldPlaces()) {
        if (!place.value) continue;
        const qv::Field& value = set.*place.value;
        const std::optional<std::string> shown = prefkit::displayText(value);
        if (!shown) {
            check(value.isText());
            if (place.line != 2) ++unreadable;  // line 2 is never shown
            continue;
        }
        check(!shown->empty() && ((*shown)[0] == ' ' || (*shown)[0] == '-'));
        const double stored = prefkit::storedNumber(*shown).asNumber();
        check(std::isfinite(stored));
        // The display form has at most 15 significant digits.
        const double was = value.asNumber();
        if (!value.isText() && std::isfinite(was)) check(std::fabs(stored - was) <= 1e-14 * std::fabs(was));
    }

    // The file written from the set loads back to the same set.
    std::string bytes;
    try {
        bytes = prefkit::parameterFileBytes(set);
    } catch (const qv::Error& e) {
        check(e.kind() == qv::ErrorKind::QuoteInText);
        bytes.clear();
    }
    if (!bytes.empty()) {
        const qv::Files again = qvfuzz::placeInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                                   prefkit::parameterFileName);
        // Numbers are written in the number form (15 significant digits): they come back to
        // that precision, and writing what came back gives the same bytes.
        const prefkit::DefaultParameters back = prefkit::loadParameters(again);
        for (const prefkit::FieldPlace& place : prefkit::fieldPlaces()) {
            if (place.text) {
                check(back.*place.text == set.*place.text);
                continue;
            }
            const qv::Field& was = set.*place.value;
            const qv::Field& now = back.*place.value;
            check(now.kind() == was.kind());
            if (was.isNumber())
                check(std::fabs(now.asNumber() - was.asNumber()) <= 1e-14 * std::fabs(was.asNumber()));
            else
                check(now == was);
        }
        check(prefkit::parameterFileBytes(back) == bytes);
        qvfuzz::placeInput(data, size, prefkit::parameterFileName);
    }

    // Both windows on the same file: start-up, the second page, its save button. Nothing is
    // written; the page stores Numbers only.
    SilentPlatform platform;
    qv::forms::Application app(platform);
    prefkit::Program program(app, files);
    app.dispatch([&] { app.open(program.mainWindow()); });
    check(!app.ended());
    check(program.parameters() == set);
    app.dispatch([&] { program.frmMain()("Command1").onClick(); });
    check(program.frmPage2().isOpen());
    check(platform.messages <= 2);
    check((platform.messages > 0) == (unreadable > 0));
    const int before = platform.messages;
    app.dispatch([&] { program.frmPage2()("cmdSave").onClick(); });
    // A box showing a text that is not wholly a number is refused with a message, and the page
    // stays; otherwise the page stores its numbers and closes.
    if (program.frmPage2().isOpen()) {
        check(unreadable > 0 && platform.messages == before + 1);
        return 0;
    }
    for (const prefkit::FieldPlace& place : prefkit::fieldPlaces())
        if (place.value && place.line != 2 && place.line != 5) check((program.parameters().*place.value).isNumber());
    return 0;
}
