#include "ionkit/window.h"

#include <algorithm>

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
constexpr const char* existsText = "There is already such an interaction coefficient in the database. Addition stopped.";
constexpr const char* errorTitle = "Quenvar error";
constexpr const char* deleteText =
    "Are you really sure you would like to delete this species from the database? Once deleted it is gone!";
constexpr const char* deleteTitle = "Deletion of species - Quenvar";

// The controls of the new-pair entry, hidden and shown together.
constexpr const char* newPairControls[] = {"lblSpecies1", "cboCat1", "lblSpecies2", "cboAn1", "lblEta1",
                                           "txtEta1",     "lblRef1", "txtRef1",     "cmdAdd"};

// Components that are never offered for a new pair: water (1), the IDs 144 to 146, the surface
// groups and sorption components from 811 to 859, and everything from 998 on.
bool excludedComponent(double id)
{
    return id == 1 || (id >= 144 && id <= 146) || (id >= 811 && id <= 859) || id >= 998;
}

bool contains(const std::vector<std::string>& items, const std::string& name)
{
    return std::find(items.begin(), items.end(), name) != items.end();
}

}  // namespace

Program::Program(qv::forms::Application& app, std::string startDir)
    : app_(app), files_(std::move(startDir)), form_(app, "frmionkit", caption), dbFile_(sitDefaultName),
      dialogDir_(qv::toolInstallDir)
{
    qv::forms::Window& w = form_;
    w.menu("mnuOpen", "Open SIT database").onClick = [this] { mnuOpen_Click(); };
    w.label("lblDbname", "");
    w.label("lblSpec1", "Species 1");
    w.comboBox("cboCat").onClick = [this] { cboCat_Click(); };
    w.label("Label1", "Species 2");
    w.comboBox("cboAn").onClick = [this] { cboAn_Click(); };
    w.label("Label2", "Eta(1,2)");
    w.textBox("txtEta");
    w.label("Label3", "Reference");
    w.textBox("txtReference");
    w.button("Command1", "New species").onClick = [this] { Command1_Click(); };
    w.line("Line1");
    w.label("lblSpecies1", "Species 1", false);
    w.comboBox("cboCat1", false);
    w.label("lblSpecies2", "Species 2", false);
    w.comboBox("cboAn1", false);
    w.label("lblEta1", "Eta(1,2)", false);
    w.textBox("txtEta1", false);
    w.label("lblRef1", "Reference", false);
    w.textBox("txtRef1", false);
    w.button("cmdAdd", "Add to list", false).onClick = [this] { cmdAdd_Click(); };
    w.line("Line2");
    w.button("cmdSave", "Save change").onClick = [this] { cmdSave_Click(); };
    w.button("cmdDelete", "Delete this entry").onClick = [this] { cmdDelete_Click(); };
    w.button("cmdQuit", "Quit").onClick = [this] { cmdQuit_Click(); };
    w.button("Command2", "Save to new database").onClick = [this] { Command2_Click(); };
    w.onLoad = [this] { Form_Load(); };
}

void Program::toStart()
{
    files_.changeDrive(startDrive_);
    files_.changeDir(startDir_);
}

std::vector<SitRecord> Program::readListed(const std::string& path) const
{
    return readSit(files_, path, sitListLimit);
}

void Program::openCurrent() { Openfile(readListed(dbFile_)); }

void Program::setNewPairVisible(bool visible)
{
    for (const char* name : newPairControls) c(name).setVisible(visible);
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
        c("lblDbname").setCaption(dbFile_);
        openCurrent();
        dialogDir_ = startDir_;
    } catch (const qv::Error&) {
    }
}

// ---- Listing pairs --------------------------------------------------------------------------

void Program::Openfile(const std::vector<SitRecord>& records)
{
    Control& cat = c("cboCat");
    c("cboAn").clear();
    cat.clear();
    // Pass 1: every species 1 once, in file order; an empty name is not listed.
    for (const SitRecord& r : records)
        if (!r.species1.empty() && !contains(cat.items(), r.species1)) cat.addItem(r.species1);
    cat.setText(cat.item(0));
    listSpecies2(records);
    showPair(records);
}

// Pass 2: the species 2 of every record of the shown species 1, in file order, repeats included.
void Program::listSpecies2(const std::vector<SitRecord>& records)
{
    Control& an = c("cboAn");
    const std::string species1 = c("cboCat").text();
    for (const SitRecord& r : records)
        if (r.species1 == species1) an.addItem(r.species2);
    an.setText(an.item(0));
}

// Pass 3: the last record of the shown pair is shown; without one the fields keep their texts.
void Program::showPair(const std::vector<SitRecord>& records)
{
    const std::string species1 = c("cboCat").text();
    const std::string species2 = c("cboAn").text();
    const SitRecord* shown = nullptr;
    for (const SitRecord& r : records)
        if (r.hasKey(species1, species2)) shown = &r;
    if (!shown) return;
    c("txtEta").setText(qv::displaySingle(shown->eta));
    c("txtReference").setText(" " + shown->reference);
}

void Program::cboCat_Click()
{
    const std::vector<SitRecord> records = readListed(dbFile_);
    c("cboAn").clear();
    listSpecies2(records);
    showPair(records);
}

void Program::cboAn_Click() { showPair(readListed(dbFile_)); }

// ---- New pair -------------------------------------------------------------------------------

void Program::Command1_Click()
{
    Tdabaseadd();
    setNewPairVisible(true);
}

void Program::Tdabaseadd()
{
    toStart();
    Control& cat1 = c("cboCat1");
    Control& an1 = c("cboAn1");
    cat1.clear();
    an1.clear();
    // A charge of 0 or more offers the name as species 1, 0 or less as species 2 (0: both).
    auto sort = [&](const std::string& name, double charge) {
        if (name.empty()) return;
        if (charge >= 0) cat1.addItem(name);
        if (charge <= 0) an1.addItem(name);
    };
    // Components first: at most 1000, up to and including the record of ID 0.
    for (const qv::Component& comp : qv::listComponentsToZero(files_, compPath_))
        if (!excludedComponent(comp.id.asNumber())) sort(comp.name, comp.charge.asNumber());
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
    record.species1 = qv::trimBlanks(c("cboCat1").text());
    record.species2 = qv::trimBlanks(c("cboAn1").text());
    const std::optional<float> eta = coefficientOf(c("txtEta1").text());
    record.reference = qv::trimBlanks(c("txtRef1").text());
    // A coefficient that is no number, and a text the record syntax cannot hold (a double
    // quote), are refused like a blank field, before the file is touched.
    if (!eta || record.species1.empty() || record.species2.empty() || record.reference.empty() ||
        !qv::writableText(record.species1) || !qv::writableText(record.species2) ||
        !qv::writableText(record.reference)) {
        refuseBlank();
        return;
    }
    record.eta = *eta;
    if (!addSit(files_, dbFile_, record)) {
        app_.message(existsText, errorTitle, Buttons::Ok, Icon::Critical);
        return;
    }
    setNewPairVisible(false);
    openCurrent();
}

// ---- Change, delete, save as ----------------------------------------------------------------

void Program::saveShown(float eta, const std::string& reference)
{
    changeSit(files_, dbFile_, c("cboCat").text(), c("cboAn").text(), eta, reference);
}

void Program::cmdSave_Click()
{
    toStart();
    const std::optional<float> eta = coefficientOf(c("txtEta").text());
    const std::string reference = qv::trimBlanks(c("txtReference").text());
    if (!eta || !qv::writableText(reference) || !qv::writableText(c("cboCat").text()) ||
        !qv::writableText(c("cboAn").text())) {
        refuseBlank();
        return;
    }
    saveShown(*eta, reference);
}

void Program::cmdDelete_Click()
{
    toStart();
    if (!app_.askYesNo(deleteText, deleteTitle)) return;
    deleteSit(files_, dbFile_, c("cboCat").text(), c("cboAn").text());
    openCurrent();
}

void Program::Command2_Click()
{
    toStart();
    const std::string oldFile = dbFile_;
    const std::optional<float> eta = coefficientOf(c("txtEta").text());
    const std::string reference = qv::trimBlanks(c("txtReference").text());
    if (!eta || !qv::writableText(reference) || !qv::writableText(c("cboCat").text()) ||
        !qv::writableText(c("cboAn").text())) {
        refuseBlank();
        return;
    }
    const std::optional<std::string> chosen = app_.saveDialog(saveFilter, dialogDir_, files_.currentDir());
    if (!chosen) return;
    // The window switches to the new file only once the copy stands; the old file stays as it was.
    copySit(files_, oldFile, *chosen);
    dbFile_ = *chosen;
    c("lblDbname").setCaption(dbFile_);
    saveShown(*eta, reference);
}

void Program::mnuOpen_Click()
{
    const std::optional<std::string> chosen = app_.openDialog(openFilter, dialogDir_, files_.currentDir());
    if (!chosen) return;
    // A file that cannot be read is reported and the window stays on its current file.
    const std::vector<SitRecord> records = readListed(*chosen);
    dbFile_ = *chosen;
    c("lblDbname").setCaption(dbFile_);
    Openfile(records);
}

void Program::cmdQuit_Click() { app_.end(); }

}  // namespace ionkit
