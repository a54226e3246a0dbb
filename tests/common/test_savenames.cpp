// Names chosen in save dialogs: the extension a name typed without one gets from the filter, and
// the files the suite only reads, which no save may replace. Driven through script mode's dialog
// answers, as a tool's save would meet them.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "quenvar/files.h"
#include "quenvar/forms.h"
#include "quenvar/script.h"
#include "testsupport.h"

namespace qf = qv::forms;
using qv::script::quote;

namespace {

const char* const mdbFilter = "Sorption database files (*.MDB)|*.MDB";
const char* const siteFilter = "HBM site files (*.MSI.TXT)|*.MSI.TXT";
const char* const textFilter = "Text files (*.TXT)|*.TXT";
const char* const openTextFilter = "Text files (*.TXT)|*.TXT|";
const char* const cdbFilter = "Counterion selectivity files (*.CDB)|*.CDB";
const char* const currentDir = "/data/here";

struct Saved {
    std::optional<std::string> path;  // what the program receives
    std::string printed;              // what the run prints
};

// One save dialog answered with `typed`.
Saved saveAs(const std::string& filter, const std::string& typed)
{
    std::ostringstream out;
    qv::script::ScriptPlatform platform(out);
    qf::Application app(platform);
    platform.queueDialog(typed, 1);
    Saved s;
    s.path = app.saveDialog(filter, "", currentDir);
    s.printed = out.str();
    EXPECT_EQ(platform.unusedAnswerLine(), std::nullopt);
    return s;
}

std::string here(const std::string& name) { return qv::joinPath(currentDir, name); }

}  // namespace

TEST(SaveNames, TheFilterGivesItsExtensionToANameTypedWithoutOne)
{
    const struct {
        const char* filter;
        const char* typed;
        std::string received;
    } cases[] = {
        {mdbFilter, "new", here("new.mdb")},
        {siteFilter, "sites", here("sites.MSI.TXT")},
        {textFilter, "sit", here("sit.txt")},
        {openTextFilter, "sit", here("sit.txt")},
        {cdbFilter, "ion", here("ion.cdb")},
        // The first filter counts where there are several; one without an extension adds none.
        {"Complexation (*.MDB)|*.MDB|Isotherm (*.ISO)|*.ISO", "two", here("two.mdb")},
        {"All files (*.*)|*.*", "plain", here("plain")},
        {"Data (data?.txt)|data?.txt", "plain", here("plain")},
        // A name with an extension of its own keeps it, whatever it is.
        {mdbFilter, "kept.MDB", here("kept.MDB")},
        {mdbFilter, "notes.dat", here("notes.dat")},
        {siteFilter, "run.1", here("run.1")},
        // Only the file name counts, not a dot in a directory above it.
        {mdbFilter, "/data/v1.2/new", "/data/v1.2/new.mdb"},
        {textFilter, "c:\\quenvar.old\\sit",
         std::string(qv::isAbsolutePath("c:\\") ? "" : "/data/here/") + "c:\\quenvar.old\\sit.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + " / " + c.typed);
        const Saved s = saveAs(c.filter, c.typed);
        EXPECT_EQ(s.path, std::optional<std::string>(c.received));
        // The run prints the dialog's own answer: the name as typed, made full.
        const std::string typedFull = qv::isAbsolutePath(c.typed) ? c.typed : here(c.typed);
        EXPECT_EQ(s.printed, "dialog save " + quote(c.filter) + " \"\" -> " + quote(typedFull) + "\n");
    }
}

TEST(SaveNames, TheFilesTheSuiteOnlyReadsAreRefusedAsTargets)
{
    const struct {
        const char* filter;
        const char* typed;
        const char* refusedName;  // null: the save goes ahead
    } cases[] = {
        {mdbFilter, "thermo.mdb", "thermo.mdb"},
        {mdbFilter, "THERMO", "THERMO.mdb"},  // refused once it has its extension
        {mdbFilter, "/elsewhere/Type6.MDB", "Type6.MDB"},
        {mdbFilter, "comp.mdb", "comp.mdb"},
        {mdbFilter, "gaussian", "gaussian.mdb"},
        {textFilter, "DaBase.TXT", "DaBase.TXT"},
        {textFilter, "dabase", "dabase.txt"},
        {siteFilter, "comp.mdb", "comp.mdb"},
        // Names that only resemble them are the user's own files.
        {mdbFilter, "thermo2", nullptr},
        {mdbFilter, "mythermo.mdb", nullptr},
        {textFilter, "thermo", nullptr},
        {textFilter, "dabase.txt.old", nullptr},
        {siteFilter, "dabase", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + " / " + c.typed);
        const Saved s = saveAs(c.filter, c.typed);
        const std::string::size_type message = s.printed.find("\nmessage \"Quenvar\" ");
        if (!c.refusedName) {
            EXPECT_TRUE(s.path.has_value());
            EXPECT_EQ(message, std::string::npos) << s.printed;
            continue;
        }
        // Refused with a message that takes no answer, as a cancel: nothing reaches the program.
        EXPECT_EQ(s.path, std::nullopt);
        ASSERT_NE(message, std::string::npos) << s.printed;
        EXPECT_NE(
            s.printed.find(std::string("\\\"") + c.refusedName + "\\\" is a file that Quenvar and its tools only read"),
            std::string::npos)
            << s.printed;
        EXPECT_NE(s.printed.find("ok exclamation -> ok\n"), std::string::npos) << s.printed;
    }
}

TEST(SaveNames, AnOpenDialogAndACancelAreLeftAsTheyAre)
{
    std::ostringstream out;
    qv::script::ScriptPlatform platform(out);
    qf::Application app(platform);
    platform.queueDialog("thermo", 1);
    platform.queueDialog("comp.mdb", 2);
    platform.queueDialog(std::nullopt, 3);
    EXPECT_EQ(app.openDialog(mdbFilter, "", currentDir), std::optional<std::string>(here("thermo")));
    EXPECT_EQ(app.openDialog(mdbFilter, "", currentDir), std::optional<std::string>(here("comp.mdb")));
    EXPECT_EQ(app.saveDialog(mdbFilter, "", currentDir), std::nullopt);
    EXPECT_EQ(out.str().find("message"), std::string::npos) << out.str();
}

TEST(SaveNames, ADirectoryIsNotMadeAFileName)
{
    qvtest::TempDir dir;
    dir.write("adir/x.MSI.TXT", "");
    const Saved s = saveAs(siteFilter, dir / "adir");
    EXPECT_EQ(s.path, std::optional<std::string>(dir / "adir"));
}
