#include "ionkit/window.h"

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"

namespace ionkit {

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
        .mnuOpen = w.menu("mnuOpen", "Open SIT database"),
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
    frmionkit_.onLoad = [this] { Form_Load(); };
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
    showRecord(found.shown);
}

// Without a record of the pair the fields keep their texts.
void Program::showRecord(const std::optional<SitRecord>& record)
{
    if (!record) return;
    ui_.txtEta.setText(qv::displaySingle(record->eta));
    ui_.txtReference.setText(" " + record->reference);
}

void Program::cboCat_Click()
{
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
    setNewPairVisible(true);
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
    const std::optional<float> eta = coefficientOf(ui_.txtEta1.text());
    record.reference = qv::trimBlanks(ui_.txtRef1.text());
    // A coefficient that is no number, and a text the record syntax cannot hold (a double
    // quote), are refused like a blank field, before the file is touched.
    if (!eta || record.species1.empty() || record.species2.empty() || record.reference.empty() ||
        !qv::writableText(record.species1) || !qv::writableText(record.species2) ||
        !qv::writableText(record.reference)) {
        refuseBlank();
        return;
    }
    record.eta = *eta;
    // The lists are filled from the new file as it is written, which is what reading it again
    // would give.
    PassGatherer passes;
    if (!addSit(files_, dbFile_, record, [&](const SitRecord& r) { passes.take(r); })) {
        app_.message(existsText, errorTitle, Buttons::Ok, Icon::Critical);
        return;
    }
    setNewPairVisible(false);
    Openfile(passes.result());
}

// ---- Change, delete, save as ----------------------------------------------------------------

void Program::saveShown(float eta, const std::string& reference)
{
    changeSit(files_, dbFile_, ui_.cboCat.text(), ui_.cboAn.text(), eta, reference);
}

std::optional<Program::ShownEntry> Program::shownEntry()
{
    const std::optional<float> eta = coefficientOf(ui_.txtEta.text());
    const std::string reference = qv::trimBlanks(ui_.txtReference.text());
    if (!eta || !qv::writableText(reference) || !qv::writableText(ui_.cboCat.text()) ||
        !qv::writableText(ui_.cboAn.text())) {
        refuseBlank();
        return std::nullopt;
    }
    return ShownEntry{*eta, reference};
}

void Program::cmdSave_Click()
{
    toStart();
    const std::optional<ShownEntry> entry = shownEntry();
    if (!entry) return;
    saveShown(entry->eta, entry->reference);
}

void Program::cmdDelete_Click()
{
    toStart();
    if (!app_.askYesNo(deleteText, deleteTitle)) return;
    PassGatherer passes;  // the new file as it is written, as for an addition
    deleteSit(files_, dbFile_, ui_.cboCat.text(), ui_.cboAn.text(), [&](const SitRecord& r) { passes.take(r); });
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
    // The copy and the change are written to the new file in one step, and the window switches
    // to it only once it stands; the old file stays as it was.
    saveSitAs(files_, oldFile, *chosen, ui_.cboCat.text(), ui_.cboAn.text(), entry->eta, entry->reference);
    dbFile_ = *chosen;
    ui_.lblDbname.setCaption(dbFile_);
}

void Program::mnuOpen_Click()
{
    const std::optional<std::string> chosen = app_.openDialog(openFilter, dialogDir_, files_.currentDir());
    if (!chosen) return;
    // A file that cannot be opened is reported and the window stays on its current file; one
    // that opens becomes the current file, and damage found in it is reported by Openfile.
    const FilePasses found = readPasses(*chosen);
    dbFile_ = *chosen;
    ui_.lblDbname.setCaption(dbFile_);
    Openfile(found);
}

void Program::cmdQuit_Click() { app_.end(); }

}  // namespace ionkit
