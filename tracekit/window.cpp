#include "tracekit/window.h"

#include <functional>

#include <algorithm>
#include <cctype>

#include "quenvar/cli.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"
#include "tracekit/check.h"

namespace tracekit {

using qv::forms::Buttons;
using qv::forms::Control;
using qv::forms::Icon;

namespace {

constexpr const char* reverseText =
    "For solids, it is the INVERSE log K that is calculated here. This means that you may have to reverse "
    "the sign of all terms to arrive at the correct log K !!";
constexpr const char* explanationText =
    "With this editor, you can add or edit power functions that Quenvar uses to correct equilibrium constants "
    "for temperature. If data are present in this database, Quenvar will use these data instead of the "
    "delta-Hr value.";
constexpr const char* deleteQuestion =
    "Are you really sure you would like to delete this species from the database? Once deleted it is gone!";
constexpr const char* deleteTitle = "Deletion of species - tracekit for Quenvar";
constexpr const char* noteTitle = "Note!";
constexpr const char* windowTitle = "tracekit For Quenvar";

// The terms as the messages name them.
constexpr std::array<const char*, termCount> termNames{"A", "B", "C", "D", "E", "F", "G"};

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

const char* sectionName(Section section) { return section == Section::Aqueous ? "aqueous" : "solid"; }

// The text boxes of the terms A to G.
constexpr std::array<const char*, termCount> entryNames{"txtEntryA", "txtEntryB", "txtEntryC", "txtEntryD",
                                                        "txtEntryE", "txtEntryF", "txtEntryG"};

}  // namespace

Program::Program(qv::forms::Application& app)
    : app_(app), frmMain_(app, "frmMain", windowTitle), ui_(buildControls(frmMain_))
{
    frmMain_.statusLine();
    frmMain_.onQueryClose = [this] { return Form_QueryClose(); };
    ui_.cmdCancel.onClick = [this] { cmdCancel_Click(); };
    ui_.mnuFileCheck.onClick = [this] { mnuFileCheck_Click(); };
    ui_.mnuFileUndo.onClick = [this] { mnuFileUndo_Click(); };
    ui_.mnuFileAbout.onClick = [this] { mnuFileAbout_Click(); };
    ui_.cboSpecies.onKey = [this](const std::string& keys) {
        // Delete deletes the species shown; while a name is being typed it edits the text.
        if (keys == "Delete" && !adding_ && !shownName_.empty() && ui_.cboSpecies.text() == shownName_) {
            cmdDelete_Click();
            return true;
        }
        if (keys == "Return") {
            cboSpecies_Return();
            return true;
        }
        return false;
    };
    frmMain_.shortcut("Ctrl+S", ui_.cmdSave);
    frmMain_.shortcut("Ctrl+Q", ui_.cmdQuit);
    frmMain_.shortcut("Ctrl+Z", ui_.mnuFileUndo);
    frmMain_.shortcut("Ctrl+K", ui_.mnuFileCheck);
    frmMain_.shortcut("F1", ui_.mnuFileAbout);
    frmMain_.shortcut("Escape", ui_.cmdCancel);
    frmCheck_.onPick = [this](const qv::check::Finding& f) {
        const Section section = f.name2 == "aqueous" ? Section::Aqueous : Section::Solid;
        if (section != selectedSection()) {
            (section == Section::Aqueous ? ui_.optAqueous : ui_.optSolid).setValue(true);
            (section == Section::Aqueous ? ui_.optSolid : ui_.optAqueous).setValue(false);
            if (section == Section::Aqueous)
                optAqueous_Click();
            else
                optSolid_Click();
            if (selectedSection() != section) return;  // the switch was cancelled
        }
        if (adding_) cmdCancel_Click();
        if (adding_ || (shownName_ != f.name && !confirmLeave("showing " + f.name))) return;
        showSpecies(f.name);
    };

    frmMain_.onLoad = [this] { Form_Load(); };
    ui_.cboSpecies.onClick = [this] { cboSpecies_Click(); };
    ui_.optSolid.onClick = [this] { optSolid_Click(); };
    ui_.optAqueous.onClick = [this] { optAqueous_Click(); };
    ui_.cmdAdd.onClick = [this] { cmdAdd_Click(); };
    ui_.cmdSave.onClick = [this] { cmdSave_Click(); };
    ui_.cmdDelete.onClick = [this] { cmdDelete_Click(); };
    ui_.cmdQuit.onClick = [this] { cmdQuit_Click(); };

    std::array<Control*, termCount> entries{};
    for (std::size_t i = 0; i < termCount; ++i) entries[i] = &ui_.txtEntry.at0(i);
    plot_ = std::make_unique<PlotPanel>(app_, frmMain_, entries, ui_.optSolid);
    // The plot panel follows every typed term; the title follows too.
    for (std::size_t i = 0; i < termCount; ++i) {
        Control& box = ui_.txtEntry.at0(i);
        edits_.track(box);
        box.onChange = [this, plotChange = box.onChange] {
            if (plotChange) plotChange();
            updateTitle();
        };
        // Return in a term box saves, as the save button would.
        box.onKey = [this](const std::string& keys) {
            if (keys != "Return") return false;
            cmdSave_Click();
            return true;
        };
    }
}

Controls Program::buildControls(qv::forms::Window& w)
{
    // Each option carries its text, so that a click on the text selects it; the labels that
    // once stood beside them keep their captions, hidden.
    Control& optSolid = w.option("optSolid", "Solid phase species", "kind");
    w.label("Label15", "Solid phase species", false);
    Control& optAqueous = w.option("optAqueous", "Aqueous species", "kind");
    w.label("Label16", "Aqueous species", false);
    optSolid.setValue(true);

    Control& cboSpecies = w.comboBox("cboSpecies");
    cboSpecies.setText(selectSpecies);

    // The terms as the function reads: "log K =" A "+" B "* T" "+" C "/ T" ... "+" G "/ SQRT(T)".
    // Label1 to Label6 are the "+" after the terms A to F; Label8 to Label13 the factors after
    // the terms B to G.
    static constexpr std::array<const char*, termCount> factorNames{nullptr,   "Label8",  "Label9", "Label10",
                                                                    "Label11", "Label12", "Label13"};
    static constexpr std::array<const char*, termCount> factors{nullptr,   "* T",       "/ T",      "* LOG10(T)",
                                                                "* T * T", "/ (T * T)", "/ SQRT(T)"};
    static constexpr std::array<const char*, termCount - 1> plusNames{"Label1", "Label2", "Label3",
                                                                      "Label4", "Label5", "Label6"};
    w.label("Label7", "log K =");
    qv::forms::ControlArray<termCount> txtEntry;
    for (std::size_t i = 0; i < termCount; ++i) {
        txtEntry.set(static_cast<int>(i + 1), w.textBox(entryNames[i]));
        if (factorNames[i]) w.label(factorNames[i], factors[i]);
        if (i < plusNames.size()) w.label(plusNames[i], "+");
    }

    Control& lblReverse = w.label("lblReverse", reverseText);
    optSolid.setMnemonic('o');
    optAqueous.setMnemonic('u');
    w.label("Label14", explanationText);
    Control& cmdAdd = w.button("cmdAdd", "Add new species from the main thermodynamic database");
    Control& cmdDelete = w.button("cmdDelete", "Delete this species");
    Control& cmdSave = w.button("cmdSave", "Save changes to database");
    Control& cmdQuit = w.button("cmdQuit", "Quit");
    Control& cmdCancel = w.button("cmdCancel", "Cancel", false);
    cmdAdd.setMnemonic('A');
    cmdDelete.setMnemonic('D');
    cmdSave.setMnemonic('S');
    cmdQuit.setMnemonic('Q');
    cmdCancel.setMnemonic('C');

    w.menu("mnuFile", "File").setMnemonic('F');
    Control& mnuFileCheck = w.menu("mnuFileCheck", "Check");
    Control& mnuFileUndo = w.menu("mnuFileUndo", "Undo last save");
    Control& mnuFileAbout = w.menu("mnuFileAbout", "About");
    mnuFileCheck.setMnemonic('C');
    mnuFileUndo.setMnemonic('U');
    mnuFileAbout.setMnemonic('b');
    return Controls{optSolid, optAqueous, cboSpecies, txtEntry,     lblReverse,  cmdAdd,      cmdDelete,
                    cmdSave,  cmdQuit,    cmdCancel,  mnuFileCheck, mnuFileUndo, mnuFileAbout};
}

// ---- Events ---------------------------------------------------------------------------------

void Program::Form_Load()
{
    files_.changeDir(qv::candidateDirectory(files_, qv::toolInstallDir));
    dataDir_ = files_.currentDir();

    // Without the paths of the thermodynamic databases and the drive of the data files there
    // is nothing to work with: the program ends with the failure.
    try {
        const std::vector<qv::Field> paths = qv::readDabase(files_, 2);
        thermoPath_ = paths[0].asText();
        type6Path_ = paths[1].asText();
        drive_ = qv::driveOf(paths[0]);
        files_.changeDrive(drive_);
    } catch (const qv::Error& e) {
        app_.fatal(e.what());
    }

    adding_ = false;
    updateTitle();
    ReadSolidnames();
}

void Program::cboSpecies_Click()
{
    if (adding_) return;
    const std::string picked = ui_.cboSpecies.text();
    if (picked == shownName_ && modified()) return;  // the species shown, with its typed terms kept
    if (!shownName_.empty() && picked != shownName_ && !confirmLeave("showing " + picked)) {
        // Cancel: the species shown stays the one chosen.
        const auto& items = ui_.cboSpecies.items();
        const auto at = std::find(items.begin(), items.end(), shownName_);
        if (at != items.end()) ui_.cboSpecies.setListIndex(static_cast<int>(at - items.begin()));
        ui_.cboSpecies.setText(shownName_);
        return;
    }
    showSpecies(picked);
}

void Program::cboSpecies_Return()
{
    // The name typed, or the one species whose name holds the typed text (case-blind), is picked.
    Control& cbo = ui_.cboSpecies;
    const std::string typed = lowerCase(qv::trimBlanks(cbo.text()));
    if (typed.empty()) return;
    int only = -1;
    int count = 0;
    for (int i = 0; i < cbo.listCount(); ++i) {
        const std::string item = lowerCase(cbo.item(i));
        if (item == typed) {
            only = i;
            count = 1;
            break;
        }
        if (item.find(typed) != std::string::npos) {
            if (count == 0) only = i;
            ++count;
        }
    }
    if (count == 1) {
        cbo.userPick(only);
        return;
    }
    frmMain_.setStatus(count == 0 ? "No species contains \"" + cbo.text() + "\""
                                  : std::to_string(count) + " species contain \"" + cbo.text() + "\"");
}

void Program::optSolid_Click()
{
    if (!confirmLeave("switching to solid phase species")) {
        ui_.optSolid.setValue(false);
        ui_.optAqueous.setValue(true);
        return;
    }
    if (adding_) leaveAddMode();
    ui_.cboSpecies.clear();
    ui_.lblReverse.setVisible(true);
    ReadSolidnames();
    ClearFields();
}

void Program::optAqueous_Click()
{
    if (!confirmLeave("switching to aqueous species")) {
        ui_.optAqueous.setValue(false);
        ui_.optSolid.setValue(true);
        return;
    }
    if (adding_) leaveAddMode();
    ui_.cboSpecies.clear();
    ui_.lblReverse.setVisible(false);
    ReadAqNames();
    ClearFields();
}

void Program::cmdAdd_Click()
{
    if (!confirmLeave("adding a species")) return;
    adding_ = true;
    ClearFields();
    ui_.cmdAdd.setVisible(false);
    ui_.cmdDelete.setVisible(false);
    ui_.cmdCancel.setVisible(true);
    Control& cbo = ui_.cboSpecies;
    cbo.clear();
    cbo.setText(selectSpecies);
    ReadThermo();
}

void Program::cmdCancel_Click()
{
    if (!adding_ || !confirmLeave("leaving the adding of a species")) return;
    leaveAddMode();
    ui_.cboSpecies.clear();
    ClearFields();
    listSelectedSection();
}

void Program::cmdSave_Click()
{
    Control& cbo = ui_.cboSpecies;
    saveShown(cbo.text(), selectedSection());
}

bool Program::saveShown(const std::string& name, Section section)
{
    // What the status line said of an earlier action is not left standing beside a refusal.
    frmMain_.setStatus("");
    Control& cbo = ui_.cboSpecies;
    if (qv::trimBlanks(name).empty() || name == selectSpecies) {
        app_.message("Nothing added!", noteTitle);
        return false;
    }
    if (refuseQuotedName(name)) return false;
    const std::optional<Terms> terms = typedTerms();
    if (!terms) return false;

    files_.changeDrive(drive_);
    files_.changeDir(dataDir_);

    if (!adding_) {
        // A change acts on the records of the name: a name the file does not hold would be
        // saved nowhere.
        if (!database().find(name)) {
            app_.message("The species " + name + " is not in " + analytName +
                             ". Nothing saved! To give it a function, use \"Add new species from the main "
                             "thermodynamic database\".",
                         noteTitle);
            return false;
        }
        database().changeTerms(name, *terms);
        plot_->saved(name, *terms);
        markSaved();
        frmMain_.setStatus(std::string("Saved ") + analytName);
        return true;
    }

    // A second record of a name would stand ahead of the first and hide it: the one in the file
    // is offered instead.
    if (inSection(section, name)) {
        if (app_.askYesNo("The species " + name + " already has a function in the " + sectionName(section) +
                              " section of " + analytName + ". Nothing added! Show it instead?",
                          noteTitle)) {
            leaveAddMode();
            cbo.clear();
            listSelectedSection();
            showSpecies(name);
        }
        return false;
    }
    // A name typed rather than chosen may be in no database; a record with a made-up ID would
    // read as a section end and cut the file, so such a save is refused.
    const std::optional<std::int32_t> id = GetIdut(name, section);
    if (!id) {
        app_.message("The species " + name + " is not in the database " + thermoDatabase(section) + ". Nothing added!",
                     noteTitle);
        return false;
    }
    database().add(section, *id, name, *terms);
    frmMain_.setStatus(std::string("Saved ") + analytName);

    cbo.clear();
    leaveAddMode();
    ClearFields();
    listSelectedSection();
    return true;
}

void Program::cmdDelete_Click()
{
    frmMain_.setStatus("");
    Control& cbo = ui_.cboSpecies;
    const std::string name = cbo.text();
    if (qv::trimBlanks(name).empty() || name == selectSpecies) {
        app_.message("No species is chosen. Choose the species to delete from the list first.", noteTitle);
        return;
    }
    if (refuseQuotedName(name)) return;
    if (!database().find(name)) {
        app_.message("The species " + name + " is not in " + analytName + ". Nothing deleted!", noteTitle);
        return;
    }
    if (!app_.askYesNo(deleteQuestion, deleteTitle)) return;
    database().remove(name);
    frmMain_.setStatus("Deleted " + name);
    cbo.clear();
    ClearFields();
    listSelectedSection();
}

void Program::cmdQuit_Click()
{
    if (!confirmLeave("quitting")) return;
    app_.end();
}

bool Program::Form_QueryClose() { return confirmLeave("closing"); }

void Program::mnuFileCheck_Click()
{
    qv::check::Report report;
    const SpeciesTable aqueous = readSpeciesTable(files_, thermoPath_, report);
    const SpeciesTable solids = readSpeciesTable(files_, type6Path_, report);
    checkAnalyt(files_, database().path(), aqueous, solids, report);
    frmCheck_.show(report, analytName);
}

void Program::mnuFileUndo_Click()
{
    frmMain_.setStatus("");
    const std::string question =
        std::string("Undo the last save or deletion? ") + analytName + " then holds again what it held before.";
    switch (undo_.check()) {
    case qv::SaveUndo::State::Nothing: app_.message("There is no save or deletion to undo.", noteTitle); return;
    case qv::SaveUndo::State::BackupChanged:
        app_.message(std::string("The last save cannot be undone: its backup ") + qv::backupName(analytName) +
                         " is gone or was changed since.",
                     noteTitle);
        return;
    case qv::SaveUndo::State::Ready:
        if (!app_.askYesNo(question, "Undo last save - tracekit for Quenvar")) return;
        undo_.restore();
        break;
    case qv::SaveUndo::State::FileChanged:
        if (!app_.askYesNo(std::string(analytName) +
                               " was changed by another program since the last save. Undo the last save "
                               "all the same, losing that change?",
                           "Undo last save - tracekit for Quenvar"))
            return;
        undo_.restore(true);
        break;
    }
    frmMain_.setStatus(std::string("Undo: ") + analytName + " restored");
    if (adding_) leaveAddMode();
    ui_.cboSpecies.clear();
    ClearFields();
    listSelectedSection();
}

void Program::mnuFileAbout_Click()
{
    qv::cli::showAbout(app_, "tracekit",
                       std::string("Edits the temperature functions of equilibrium constants in ") + analytName + ".");
}

// ---- Procedures -----------------------------------------------------------------------------

void Program::ReadSolidnames()
{
    Control& cbo = ui_.cboSpecies;
    cbo.setText(selectSpecies);
    database().listNames(Section::Solid, [&](const std::string& name) { cbo.addItem(name); });
}

void Program::ReadAqNames()
{
    Control& cbo = ui_.cboSpecies;
    cbo.setText(selectSpecies);
    database().listNames(Section::Aqueous, [&](const std::string& name) { cbo.addItem(name); });
}

void Program::ReadThermo()
{
    // The species that have a function in the section already are left out: they are edited,
    // not added.
    Control& cbo = ui_.cboSpecies;
    std::vector<std::string> present;
    try {
        database().listNames(selectedSection(), [&](const std::string& name) { present.push_back(name); });
    } catch (const qv::Error&) {
        // Listing the section reported this failure already; the save reports it again.
    }
    const qv::ScanEnd end = qv::scanThermoById(files_, thermoDatabase(), [&](const qv::ThermoSpecies& s) {
        if (std::find(present.begin(), present.end(), s.name) == present.end()) cbo.addItem(s.name);
        return true;
    });
    // The names read before a failure stay listed; the failure is reported.
    if (end.failed()) throw *end.failure;
}

std::optional<std::int32_t> Program::GetIdut(const std::string& name, Section section)
{
    qv::ScanEnd end;
    const std::optional<std::int32_t> id = qv::thermoIdOf(files_, thermoDatabase(section), name, &end);
    if (end.failed()) throw *end.failure;
    return id;
}

void Program::ClearFields()
{
    // Every change of list or mode clears the fields: the plot then shows no saved curve, and
    // takes up the kind of species selected.
    PlotPanel::Hold hold(*plot_);
    for (int i = 1; i <= termCount; ++i) ui_.txtEntry(i).setText("");
    plot_->forgetSaved();
    // In the add mode, terms typed into the empty boxes are unsaved work; in browsing, no
    // species is shown.
    shownName_.clear();
    if (adding_)
        edits_.snapshot();
    else
        edits_.forget();
    updateTitle();
}

// ---- Helpers --------------------------------------------------------------------------------

Section Program::selectedSection() const { return ui_.optAqueous.value() ? Section::Aqueous : Section::Solid; }

const std::string& Program::thermoDatabase(Section section) const
{
    return section == Section::Aqueous ? thermoPath_ : type6Path_;
}

void Program::listSelectedSection()
{
    if (selectedSection() == Section::Aqueous)
        ReadAqNames();
    else
        ReadSolidnames();
}

bool Program::refuseQuotedName(const std::string& name)
{
    if (qv::writableText(name)) return false;
    app_.message("The name " + name + " holds a double quote, which " + analytName + " cannot store.", noteTitle);
    return true;
}

std::optional<Terms> Program::typedTerms()
{
    // An empty box is a term of 0; anything else must be wholly a number (a decimal comma read
    // as the point), or nothing is saved.
    Terms terms{};
    for (std::size_t i = 0; i < termCount; ++i) {
        Control& box = ui_.txtEntry.at0(i);
        const qv::TypedNumber typed = qv::typedNumber(box.text());
        if (!typed.empty() && !typed.valid()) {
            app_.message(qv::notANumberMessage(std::string("term ") + termNames[i], box.text()), noteTitle);
            frmMain_.setFocus(&box);
            return std::nullopt;
        }
        terms[i] = typed.valid() ? typed.value : 0;
    }
    return terms;
}

bool Program::confirmLeave(const std::string& action)
{
    if (!modified()) return true;
    const std::string shown = adding_ ? "the new species" : shownName_;
    switch (app_.askSaveDiscardCancel("Save changes to " + shown + " before " + action + "?", windowTitle)) {
    case qv::forms::Answer::Save:
        // A save that fails keeps the window as it was: the action asked for does not happen.
        try {
            return saveShown(adding_ ? ui_.cboSpecies.text() : shownName_, selectedSection());
        } catch (const qv::Error& e) {
            app_.message(e.what(), "Quenvar error", Buttons::Ok, Icon::Critical);
            return false;
        }
    case qv::forms::Answer::Discard: edits_.forget(); return true;
    default: return false;
    }
}

void Program::updateTitle() { frmMain_.setCaption(qv::forms::titleWithFile(windowTitle, analytName, modified())); }

void Program::markSaved()
{
    edits_.snapshot();
    updateTitle();
}

void Program::leaveAddMode()
{
    adding_ = false;
    ui_.cmdCancel.setVisible(false);
    ui_.cmdAdd.setVisible(true);
    ui_.cmdDelete.setVisible(true);
    edits_.forget();
    updateTitle();
}

void Program::showSpecies(const std::string& name)
{
    Control& cbo = ui_.cboSpecies;
    const auto& items = cbo.items();
    const auto at = std::find(items.begin(), items.end(), name);
    if (at != items.end()) cbo.setListIndex(static_cast<int>(at - items.begin()));
    cbo.setText(name);
    const std::optional<AnalyteRecord> record = database().find(name);
    if (!record) {
        // No longer in the file: show no terms rather than those of another species.
        ClearFields();
        return;
    }
    PlotPanel::Hold hold(*plot_);
    Terms saved{};
    for (std::size_t i = 0; i < termCount; ++i) {
        saved[i] = record->terms[i].asNumber();
        ui_.txtEntry.at0(i).setText(qv::displayForm(saved[i]));
    }
    plot_->showSaved(name, saved);
    shownName_ = name;
    markSaved();
}

bool Program::inSection(Section section, const std::string& name) const
{
    const std::vector<std::string> names = AnalyteDatabase(files_, dataDir_).names(section);
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace tracekit
