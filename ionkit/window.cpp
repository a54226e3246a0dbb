#include "ionkit/window.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "ionkit/check.h"
#include "quenvar/cli.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"

namespace ionkit {

using qv::forms::Answer;
using qv::forms::Buttons;
using qv::forms::Control;
using qv::forms::Icon;

namespace {

constexpr const char* caption = "SIT Database manager - Quenvar";
constexpr const char* saveFilter = "Text files (*.TXT)|*.TXT";
constexpr const char* openFilter = "Text files (*.TXT)|*.TXT|";

constexpr const char* blankText =
    "One or more required data fields have been left blank. Please complete before saving";
constexpr const char* existsText =
    "There is already such an interaction coefficient in the database. Addition stopped.";
constexpr const char* errorTitle = "Quenvar error";
constexpr const char* deleteText =
    "Are you really sure you would like to delete this species from the database? Once deleted it is gone!";
constexpr const char* deleteTitle = "Deletion of species - Quenvar";
constexpr const char* questionTitle = "Quenvar";
constexpr const char* undoTitle = "Undo last save - Quenvar";
constexpr const char* etaField = "Eta(1,2)";

// A pair as messages and the status line name it: "Na+", "Cl-".
std::string pairName(const std::string& species1, const std::string& species2)
{
    return qv::check::quoted(species1) + ", " + qv::check::quoted(species2);
}

// Components that are never offered for a new pair: water (1), the IDs 144 to 146, the surface
// groups and sorption components from 811 to 859, and everything from 998 on.
bool excludedComponent(double id)
{
    return id == 1 || (id >= 144 && id <= 146) || (id >= 811 && id <= 859) || id >= 998;
}

}  // namespace

Controls Program::buildControls(qv::forms::Window& w)
{
    return Controls{
        .mnuFile = w.menu("mnuFile", "File"),
        .mnuOpen = w.menu("mnuOpen", "Open SIT database"),
        .mnuUndo = w.menu("mnuUndo", "Undo last save"),
        .mnuCheck = w.menu("mnuCheck", "Check"),
        .mnuHelp = w.menu("mnuHelp", "Help"),
        .mnuAbout = w.menu("mnuAbout", "About"),
        .lblDbname = w.label("lblDbname", ""),
        .lblSpec1 = w.label("lblSpec1", "Species 1"),
        .cboCat = w.comboBox("cboCat"),
        .Label1 = w.label("Label1", "Species 2"),
        .cboAn = w.comboBox("cboAn"),
        .Label2 = w.label("Label2", "Eta(1,2)"),
        .txtEta = w.textBox("txtEta"),
        .Label3 = w.label("Label3", "Reference"),
        .txtReference = w.textBox("txtReference"),
        .Command1 = w.button("Command1", "New species"),
        .Line1 = w.line("Line1"),
        .lblSpecies1 = w.label("lblSpecies1", "Species 1", false),
        .cboCat1 = w.comboBox("cboCat1", false),
        .lblSpecies2 = w.label("lblSpecies2", "Species 2", false),
        .cboAn1 = w.comboBox("cboAn1", false),
        .lblEta1 = w.label("lblEta1", "Eta(1,2)", false),
        .txtEta1 = w.textBox("txtEta1", false),
        .lblRef1 = w.label("lblRef1", "Reference", false),
        .txtRef1 = w.textBox("txtRef1", false),
        .cmdAdd = w.button("cmdAdd", "Add to list", false),
        .Line2 = w.line("Line2"),
        .cmdSave = w.button("cmdSave", "Save change"),
        .cmdDelete = w.button("cmdDelete", "Delete this entry"),
        .cmdQuit = w.button("cmdQuit", "Quit"),
        .Command2 = w.button("Command2", "Save to new database"),
        .lblStatus = w.statusLine(),
    };
}

Program::Program(qv::forms::Application& app, std::string startDir)
    : app_(app), files_(std::move(startDir)), frmionkit_(app, "frmionkit", caption), ui_(buildControls(frmionkit_)),
      dbFile_(sitDefaultName), dialogDir_(qv::toolInstallDir)
{
    ui_.mnuOpen.onClick = [this] { mnuOpen_Click(); };
    ui_.cboCat.onClick = [this] { cboCat_Click(); };
    ui_.cboAn.onClick = [this] { cboAn_Click(); };
    ui_.Command1.onClick = [this] { Command1_Click(); };
    ui_.cmdAdd.onClick = [this] { cmdAdd_Click(); };
    ui_.cmdSave.onClick = [this] { cmdSave_Click(); };
    ui_.cmdDelete.onClick = [this] { cmdDelete_Click(); };
    ui_.cmdQuit.onClick = [this] { cmdQuit_Click(); };
    ui_.Command2.onClick = [this] { Command2_Click(); };
    ui_.mnuUndo.onClick = [this] { mnuUndo_Click(); };
    ui_.mnuCheck.onClick = [this] { mnuCheck_Click(); };
    ui_.mnuAbout.onClick = [this] { mnuAbout_Click(); };
    frmionkit_.onLoad = [this] { Form_Load(); };
    frmionkit_.onQueryClose = [this] { return Form_QueryClose(); };
    frmCheck_.onPick = [this](const qv::check::Finding& f) {
        if (f.name.empty() && f.name2.empty()) return;  // a finding about the file as a whole
        if (keepEdits("showing another pair")) showPair(f.name, f.name2);
    };

    // The menus and their letters; the captions stay as the window names them.
    for (Control* entry : {&ui_.mnuOpen, &ui_.mnuUndo, &ui_.mnuCheck}) entry->setContainer(&ui_.mnuFile);
    ui_.mnuAbout.setContainer(&ui_.mnuHelp);
    const std::pair<Control*, char> letters[] = {
        {&ui_.mnuFile, 'F'}, {&ui_.mnuOpen, 'O'},   {&ui_.mnuUndo, 'U'},  {&ui_.mnuCheck, 'C'},
        {&ui_.mnuHelp, 'H'}, {&ui_.mnuAbout, 'A'},  {&ui_.Command1, 'N'}, {&ui_.cmdAdd, 'A'},
        {&ui_.cmdSave, 'S'}, {&ui_.cmdDelete, 'D'}, {&ui_.Command2, 'w'}, {&ui_.cmdQuit, 'Q'},
    };
    for (const auto& [control, letter] : letters) control->setMnemonic(letter);
    frmionkit_.shortcut("Ctrl+O", ui_.mnuOpen);
    frmionkit_.shortcut("Ctrl+S", ui_.cmdSave);
    frmionkit_.shortcut("Ctrl+Shift+S", ui_.Command2);
    frmionkit_.shortcut("Ctrl+Q", ui_.cmdQuit);
    frmionkit_.shortcut("Ctrl+Z", ui_.mnuUndo);  // a text box with the focus keeps Ctrl+Z for itself
    frmionkit_.shortcut("Ctrl+K", ui_.mnuCheck);
    frmionkit_.shortcut("F1", ui_.mnuAbout);
    frmionkit_.shortcut("Delete", ui_.cmdDelete);
    // Escape leaves the entry of a new pair, as it was left.
    frmionkit_.shortcut("Escape", [this] { setNewPairVisible(false); });
    // Return in a box of a pair saves that pair: the change, or the new pair.
    auto returnClicks = [](Control& button) {
        return [&button](const std::string& keys) {
            if (keys != "Return" || !button.usable()) return false;
            button.userClick();
            return true;
        };
    };
    for (Control* box : {&ui_.txtEta, &ui_.txtReference}) box->onKey = returnClicks(ui_.cmdSave);
    for (Control* box : {&ui_.txtEta1, &ui_.txtRef1}) box->onKey = returnClicks(ui_.cmdAdd);

    edits_ = qv::forms::EditTracker({&ui_.txtEta, &ui_.txtReference});
    ui_.txtEta.onChange = [this] { updateTitle(); };
    ui_.txtReference.onChange = [this] { updateTitle(); };
    updateTitle();
    updateUndo();
}

void Program::updateTitle()
{
    frmionkit_.setCaption(qv::forms::titleWithFile(caption, qv::check::baseName(dbFile_), edits_.modified()));
}

void Program::updateUndo() { ui_.mnuUndo.setEnabled(!undo_.file().empty()); }

void Program::shownSaved()
{
    edits_.snapshot();
    updateTitle();
}

void Program::toStart()
{
    files_.changeDrive(startDrive_);
    files_.changeDir(startDir_);
}

void Program::openCurrent() { Openfile(readPasses(dbFile_)); }

void Program::setNewPairVisible(bool visible)
{
    // The controls of the new-pair entry, hidden and shown together.
    for (Control* control : {&ui_.lblSpecies1, &ui_.cboCat1, &ui_.lblSpecies2, &ui_.cboAn1, &ui_.lblEta1, &ui_.txtEta1,
                             &ui_.lblRef1, &ui_.txtRef1, &ui_.cmdAdd})
        control->setVisible(visible);
}

void Program::refuseBlank() { app_.message(blankText, errorTitle, Buttons::Ok, Icon::Critical); }

std::optional<float> Program::typedCoefficient(const std::string& typed)
{
    const qv::TypedNumber n = qv::typedNumber(typed);
    if (n.empty()) {
        refuseBlank();
        return std::nullopt;
    }
    if (!n.valid()) {
        app_.message(qv::notANumberMessage(etaField, typed), errorTitle, Buttons::Ok, Icon::Critical);
        return std::nullopt;
    }
    if (std::fabs(n.value) > std::numeric_limits<float>::max()) {
        app_.message("The value of \"" + std::string(etaField) + "\" is too large: \"" + typed + "\".", errorTitle,
                     Buttons::Ok, Icon::Critical);
        return std::nullopt;
    }
    return static_cast<float>(n.value);
}

bool Program::offeredName(const char* which, const std::string& name)
{
    // The names both lists of the new pair offer: the components of comp.mdb and the species of
    // thermo.mdb that may stand in a pair.
    std::vector<std::string> offered = ui_.cboCat1.items();
    offered.insert(offered.end(), ui_.cboAn1.items().begin(), ui_.cboAn1.items().end());
    if (std::find(offered.begin(), offered.end(), name) != offered.end()) return true;
    const std::string near = qv::check::didYouMean(name, offered);
    app_.message(std::string(which) + " " + qv::check::quoted(name) +
                     " is not in the thermodynamic database or the component database" + (near.empty() ? "." : near),
                 errorTitle, Buttons::Ok, Icon::Critical);
    return false;
}

bool Program::keepEdits(const std::string& what)
{
    if (!edits_.modified()) return true;
    const Answer answer = app_.askSaveDiscardCancel(
        "Save changes to " + pairName(shownCat_, shownAn_) + " before " + what + "?", questionTitle);
    if (answer == Answer::Discard) return true;
    if (answer != Answer::Save) return false;
    try {
        return saveChange(shownCat_, shownAn_);
    } catch (const qv::Error& e) {
        app_.message(e.what(), errorTitle, Buttons::Ok, Icon::Critical);
        return false;
    }
}

// ---- Start-up -------------------------------------------------------------------------------

void Program::Form_Load()
{
    startDir_ = qv::candidateDirectory(files_, qv::toolInstallDir);
    std::vector<qv::Field> dabase;
    try {
        files_.changeDir(startDir_);
        dabase = qv::readDabase(files_, 4);  // thermo, solids, components, DOM complexes
    } catch (const qv::Error& e) {
        app_.fatal(e.what());  // nothing to work on without the database paths
    }
    thermoPath_ = dabase[0].asText();
    compPath_ = dabase[2].asText();
    startDrive_ = qv::driveOf(dabase[0]);

    // From here on a failure ends start-up quietly; the window opens with what is set up.
    try {
        toStart();
        dbFile_ = sitDefaultName;
        ui_.lblDbname.setCaption(dbFile_);
        updateTitle();
        openCurrent();
        dialogDir_ = startDir_;
    } catch (const qv::Error&) {
    }
}

// ---- Listing pairs --------------------------------------------------------------------------
//
// Openfile reads the file in three passes: the species 1, the species 2 of the first species 1,
// and the pair of the first of each. Each pass would find the same records, so one reading
// gathers what all three find, and the lists are filled from it pass by pass. A record that
// cannot be read stops a pass where it stands: what precedes it is listed or shown, the rest of
// the event is abandoned and the failure reported.

void PairPasses::take(const SitRecord& r)
{
    if (r.species1 != species1) return;
    species2.push_back(r.species2);
    if (r.species2 == species2.front()) shown = r;  // the last record of the pair is left shown
}

void PassGatherer::take(const SitRecord& r)
{
    if (count_++ >= sitListLimit) return;
    if (!r.species1.empty() && listed_.insert(r.species1).second) {
        found_.species1.push_back(r.species1);
        if (!named_) found_.first.species1 = r.species1;
        named_ = true;
    }
    (named_ ? found_.first : unnamed_).take(r);
}

FilePasses PassGatherer::result(std::optional<qv::Error> failure)
{
    if (!named_) found_.first = std::move(unnamed_);
    found_.failure = std::move(failure);
    return std::move(found_);
}

FilePasses Program::readPasses(const std::string& path) const
{
    PassGatherer passes;
    auto failure = scanSit(files_, path, sitListLimit, [&](const SitRecord& r) {
        passes.take(r);
        return true;
    });
    return passes.result(std::move(failure));
}

void Program::Openfile(const FilePasses& found)
{
    Control& cat = ui_.cboCat;
    cat.clear();
    ui_.cboAn.clear();
    // Pass 1: every species 1 once, in file order; an empty name is not listed.
    for (const std::string& name : found.species1) cat.addItem(name);
    if (found.failure) throw *found.failure;
    cat.setText(cat.item(0));
    shownCat_ = cat.text();
    fillPair(found.first, std::nullopt);
}

// Pass 2: the species 2 of every record of the shown species 1, in file order, repeats
// included; then pass 3: the last record of the shown pair.
void Program::fillPair(const PairPasses& found, const std::optional<qv::Error>& failure)
{
    Control& an = ui_.cboAn;
    for (const std::string& name : found.species2) an.addItem(name);
    if (failure) throw *failure;
    an.setText(an.item(0));
    shownAn_ = an.text();
    showRecord(found.shown);
}

// Without a record of the pair the fields keep their texts.
void Program::showRecord(const std::optional<SitRecord>& record)
{
    if (record) {
        ui_.txtEta.setText(qv::displaySingle(record->eta));
        ui_.txtReference.setText(" " + record->reference);
    }
    shownSaved();
}

void Program::cboCat_Click()
{
    if (!keepEdits("picking another pair")) {
        ui_.cboCat.setText(shownCat_);  // the pick is taken back
        return;
    }
    listSpecies2();
}

void Program::listSpecies2()
{
    shownCat_ = ui_.cboCat.text();
    ui_.cboAn.clear();
    PairPasses found;
    found.species1 = ui_.cboCat.text();
    const auto failure = scanSit(files_, dbFile_, sitListLimit, [&](const SitRecord& r) {
        found.take(r);
        return true;
    });
    fillPair(found, failure);
}

void Program::cboAn_Click()
{
    if (!keepEdits("picking another pair")) {
        ui_.cboAn.setText(shownAn_);
        return;
    }
    showSpecies2();
}

void Program::showPair(const std::string& species1, const std::string& species2)
{
    ui_.cboCat.setText(species1);
    listSpecies2();
    ui_.cboAn.setText(species2);
    showSpecies2();
}

void Program::showSpecies2()
{
    shownCat_ = ui_.cboCat.text();
    shownAn_ = ui_.cboAn.text();
    const std::string species1 = ui_.cboCat.text();
    const std::string species2 = ui_.cboAn.text();
    std::optional<SitRecord> shown;
    const auto failure = scanSit(files_, dbFile_, sitListLimit, [&](const SitRecord& r) {
        if (r.hasKey(species1, species2)) shown = r;
        return true;
    });
    showRecord(shown);
    if (failure) throw *failure;
}

// ---- New pair -------------------------------------------------------------------------------

void Program::Command1_Click()
{
    Tdabaseadd();
    // The entry opens empty: nothing of an earlier pair is offered as the new one.
    for (Control* box : {&ui_.cboCat1, &ui_.cboAn1, &ui_.txtEta1, &ui_.txtRef1}) box->setText("");
    setNewPairVisible(true);
    frmionkit_.setFocus(&ui_.cboCat1);
}

void Program::Tdabaseadd()
{
    toStart();
    Control& cat1 = ui_.cboCat1;
    Control& an1 = ui_.cboAn1;
    cat1.clear();
    an1.clear();
    // A charge of 0 or more offers the name as species 1, 0 or less as species 2 (0: both).
    auto sort = [&](const std::string& name, double charge) {
        if (name.empty()) return;
        if (charge >= 0) cat1.addItem(name);
        if (charge <= 0) an1.addItem(name);
    };
    // Components first: at most 1000, up to and including the record of ID 0 (the ID read as a
    // number, so an empty one is 0 too). A record that cannot be read stops the list there,
    // with the names before it in place.
    qv::scanComponents(files_, compPath_, 1000, [&](const qv::Component& comp) {
        const double id = comp.id.asNumber();
        if (!excludedComponent(id)) sort(comp.name, comp.charge.asNumber());
        return id != 0;
    });
    // Then the species of the main thermodynamic database.
    const qv::ScanEnd end = qv::scanThermoByName(files_, thermoPath_, [&](const qv::ThermoSpecies& s) {
        sort(s.name, s.charge);
        return true;
    });
    if (end.failed()) throw *end.failure;
    cat1.setText(cat1.item(0));
    an1.setText(an1.item(0));
}

void Program::cmdAdd_Click()
{
    toStart();
    SitRecord record;
    record.species1 = qv::trimBlanks(ui_.cboCat1.text());
    record.species2 = qv::trimBlanks(ui_.cboAn1.text());
    record.reference = qv::trimBlanks(ui_.txtRef1.text());
    // Everything is checked before the file is touched: blank fields, the coefficient, a text
    // the record syntax cannot hold (a double quote; refused like a blank field), and names that
    // the databases do not hold (Quenvar would never use the pair).
    if (record.species1.empty() || record.species2.empty() || record.reference.empty()) {
        refuseBlank();
        return;
    }
    const std::optional<float> eta = typedCoefficient(ui_.txtEta1.text());
    if (!eta) return;
    if (!qv::writableText(record.species1) || !qv::writableText(record.species2) ||
        !qv::writableText(record.reference)) {
        refuseBlank();
        return;
    }
    if (!offeredName("Species 1", record.species1) || !offeredName("Species 2", record.species2)) return;
    record.eta = *eta;
    if (!keepEdits("showing the new pair")) return;
    frmionkit_.setStatus("");
    // The lists are filled from the new file as it is written, which is what reading it again
    // would give.
    PassGatherer passes;
    if (!addSit(
            files_, dbFile_, record, [&](const SitRecord& r) { passes.take(r); }, &undo_)) {
        app_.message(existsText, errorTitle, Buttons::Ok, Icon::Critical);
        return;
    }
    updateUndo();
    setNewPairVisible(false);
    Openfile(passes.result());
    // The pair just added, unless it lies beyond what the lists hold.
    const auto& listed = ui_.cboCat.items();
    if (std::find(listed.begin(), listed.end(), record.species1) != listed.end())
        showPair(record.species1, record.species2);
    frmionkit_.setStatus("Added " + pairName(record.species1, record.species2) + " to " + qv::check::baseName(dbFile_));
}

// ---- Change, delete, save as ----------------------------------------------------------------

std::optional<Program::ShownEntry> Program::shownEntry()
{
    const std::optional<float> eta = typedCoefficient(ui_.txtEta.text());
    if (!eta) return std::nullopt;
    const std::string reference = qv::trimBlanks(ui_.txtReference.text());
    if (!qv::writableText(reference) || !qv::writableText(ui_.cboCat.text()) || !qv::writableText(ui_.cboAn.text())) {
        refuseBlank();
        return std::nullopt;
    }
    return ShownEntry{*eta, reference};
}

bool Program::saveChange(const std::string& species1, const std::string& species2)
{
    toStart();
    frmionkit_.setStatus("");
    const std::optional<ShownEntry> entry = shownEntry();
    if (!entry) return false;
    changeSit(files_, dbFile_, species1, species2, entry->eta, entry->reference, &undo_);
    updateUndo();
    shownSaved();
    frmionkit_.setStatus("Saved " + qv::check::baseName(dbFile_));
    return true;
}

void Program::cmdSave_Click() { saveChange(ui_.cboCat.text(), ui_.cboAn.text()); }

void Program::cmdDelete_Click()
{
    toStart();
    if (!app_.askYesNo(deleteText, deleteTitle)) return;
    frmionkit_.setStatus("");
    const std::string species1 = ui_.cboCat.text(), species2 = ui_.cboAn.text();
    PassGatherer passes;  // the new file as it is written, as for an addition
    deleteSit(
        files_, dbFile_, species1, species2, [&](const SitRecord& r) { passes.take(r); }, &undo_);
    updateUndo();
    frmionkit_.setStatus("Deleted " + pairName(species1, species2) + " from " + qv::check::baseName(dbFile_));
    Openfile(passes.result());
}

void Program::Command2_Click()
{
    toStart();
    const std::string oldFile = dbFile_;
    const std::optional<std::string> chosen = app_.saveDialog(saveFilter, dialogDir_, files_.currentDir());
    if (!chosen) return;
    // The entries are checked before the copy is made, so that a refusal leaves no new file.
    const std::optional<ShownEntry> entry = shownEntry();
    if (!entry) return;
    frmionkit_.setStatus("");
    // The copy and the change are written to the new file in one step, and the window switches
    // to it only once it stands; the old file stays as it was.
    saveSitAs(files_, oldFile, *chosen, ui_.cboCat.text(), ui_.cboAn.text(), entry->eta, entry->reference, &undo_);
    updateUndo();
    dbFile_ = *chosen;
    ui_.lblDbname.setCaption(dbFile_);
    shownSaved();
    frmionkit_.setStatus("Saved " + qv::check::baseName(dbFile_));
}

void Program::mnuOpen_Click()
{
    if (!keepEdits("opening another file")) return;
    const std::optional<std::string> chosen = app_.openDialog(openFilter, dialogDir_, files_.currentDir());
    if (chosen) openDatabase(*chosen);
}

void Program::openDatabase(const std::string& path)
{
    // A file that cannot be opened is reported and the window stays on its current file; one
    // that opens becomes the current file, and damage found in it is reported by Openfile.
    const FilePasses found = readPasses(path);
    dbFile_ = path;
    ui_.lblDbname.setCaption(dbFile_);
    undo_.forget();  // only a save of the shown file is undone
    updateUndo();
    frmionkit_.setStatus("");
    updateTitle();
    Openfile(found);
}

void Program::cmdQuit_Click()
{
    if (keepEdits("quitting")) app_.end();
}

// The window closes only when the edits shown are saved or given up.
bool Program::Form_QueryClose() { return keepEdits("closing"); }

// ---- Undo, check, about ---------------------------------------------------------------------

void Program::mnuUndo_Click()
{
    const std::string name = qv::check::baseName(undo_.file());
    const std::string lost = edits_.modified() ? " The changes not saved on screen are dropped too." : "";
    bool overwrite = false;
    switch (undo_.check()) {
    case qv::SaveUndo::State::Nothing:
        app_.message("There is no save to undo.", questionTitle, Buttons::Ok, Icon::Information);
        return;
    case qv::SaveUndo::State::BackupChanged:
        app_.message("The last save of " + name + " cannot be undone: its backup " + qv::backupName(name) +
                         " is missing or was changed.",
                     errorTitle, Buttons::Ok, Icon::Critical);
        return;
    case qv::SaveUndo::State::FileChanged:
        if (!app_.askYesNo(name +
                               " was changed by another program since this window saved it. Undo the last save "
                               "anyway and lose that change?" +
                               lost,
                           undoTitle))
            return;
        overwrite = true;
        break;
    case qv::SaveUndo::State::Ready:
        if (!app_.askYesNo("Undo the last save of " + name + "? The file gets back what it held before it." + lost,
                           undoTitle))
            return;
        break;
    }
    frmionkit_.setStatus("");
    const std::string species1 = shownCat_, species2 = shownAn_;
    undo_.restore(overwrite);
    updateUndo();
    toStart();
    openCurrent();
    // The pair shown before, where the restored file lists it.
    const auto& listed = ui_.cboCat.items();
    if (std::find(listed.begin(), listed.end(), species1) != listed.end()) showPair(species1, species2);
    frmionkit_.setStatus("Undo: " + name + " restored");
}

void Program::mnuCheck_Click()
{
    toStart();
    qv::check::Report report;
    const NameTable names = readNameTable(files_, thermoPath_, compPath_, report);
    checkSit(files_, dbFile_, names, report);
    frmCheck_.show(report, dbFile_);
}

void Program::mnuAbout_Click()
{
    qv::cli::showAbout(app_, "ionkit",
                       "SIT Database manager of Quenvar: the SIT interaction coefficients of species pairs, with "
                       "their references (sit_eta.txt).");
}

}  // namespace ionkit
