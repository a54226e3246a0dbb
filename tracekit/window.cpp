#include "tracekit/window.h"

#include <functional>

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"

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

// The text boxes of the terms A to G.
constexpr std::array<const char*, termCount> entryNames{"txtEntryA", "txtEntryB", "txtEntryC", "txtEntryD",
                                                        "txtEntryE", "txtEntryF", "txtEntryG"};

}  // namespace

Program::Program(qv::forms::Application& app)
    : app_(app), frmMain_(app, "frmMain", "tracekit For Quenvar"), ui_(buildControls(frmMain_))
{
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
}

Controls Program::buildControls(qv::forms::Window& w)
{
    Control& optSolid = w.option("optSolid", "", "kind");
    w.label("Label15", "Solid phase species");
    Control& optAqueous = w.option("optAqueous", "", "kind");
    w.label("Label16", "Aqueous species");
    optSolid.setValue(true);

    Control& cboSpecies = w.comboBox("cboSpecies");
    cboSpecies.setText(selectSpecies);

    // The terms as the function reads: "log K =" A "+" B "* T" "+" C "/ T" ... "+" G "/ SQRT(T)".
    // Label1 to Label6 are the "+" after the terms A to F; Label8 to Label13 the factors after
    // the terms B to G.
    static constexpr std::array<const char*, termCount> factorNames{
        nullptr, "Label8", "Label9", "Label10", "Label11", "Label12", "Label13"};
    static constexpr std::array<const char*, termCount> factors{
        nullptr, "* T", "/ T", "* LOG10(T)", "* T * T", "/ (T * T)", "/ SQRT(T)"};
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
    w.label("Label14", explanationText);
    Control& cmdAdd = w.button("cmdAdd", "Add new species from the main thermodynamic database");
    Control& cmdDelete = w.button("cmdDelete", "Delete this species");
    Control& cmdSave = w.button("cmdSave", "Save changes to database");
    Control& cmdQuit = w.button("cmdQuit", "Quit");
    return Controls{optSolid, optAqueous, cboSpecies, txtEntry, lblReverse, cmdAdd, cmdDelete, cmdSave, cmdQuit};
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
    ReadSolidnames();
}

void Program::cboSpecies_Click()
{
    if (adding_) return;
    const std::optional<AnalyteRecord> record = database().find(ui_.cboSpecies.text());
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
    plot_->showSaved(ui_.cboSpecies.text(), saved);
}

void Program::optSolid_Click()
{
    ui_.cboSpecies.clear();
    ui_.lblReverse.setVisible(true);
    ReadSolidnames();
    ClearFields();
}

void Program::optAqueous_Click()
{
    ui_.cboSpecies.clear();
    ui_.lblReverse.setVisible(false);
    ReadAqNames();
    ClearFields();
}

void Program::cmdAdd_Click()
{
    adding_ = true;
    ClearFields();
    ui_.cmdAdd.setVisible(false);
    ui_.cmdDelete.setVisible(false);
    Control& cbo = ui_.cboSpecies;
    cbo.clear();
    cbo.setText(selectSpecies);
    ReadThermo();
}

void Program::cmdSave_Click()
{
    Control& cbo = ui_.cboSpecies;
    const std::string name = cbo.text();
    if (qv::trimBlanks(name).empty() || name == selectSpecies) {
        app_.message("Nothing added!", noteTitle);
        return;
    }
    if (refuseQuotedName(name)) return;

    files_.changeDrive(drive_);
    files_.changeDir(dataDir_);

    Terms terms{};
    for (std::size_t i = 0; i < termCount; ++i) terms[i] = qv::textToNumber(ui_.txtEntry.at0(i).text());

    if (!adding_) {
        database().changeTerms(name, terms);
        plot_->saved(name, terms);
        return;
    }

    // A name typed rather than chosen may be in no database; a record with a made-up ID would
    // read as a section end and cut the file, so such a save is refused.
    const std::optional<std::int32_t> id = GetIdut(name);
    if (!id) {
        app_.message("The species " + name + " is not in the database " + thermoDatabase() +
                         ". Nothing added!",
                     noteTitle);
        return;
    }
    database().add(selectedSection(), *id, name, terms);

    cbo.clear();
    adding_ = false;
    ClearFields();
    ui_.cmdDelete.setVisible(true);
    ui_.cmdAdd.setVisible(true);
    listSelectedSection();
}

void Program::cmdDelete_Click()
{
    Control& cbo = ui_.cboSpecies;
    const std::string name = cbo.text();
    if (refuseQuotedName(name)) return;
    if (!app_.askYesNo(deleteQuestion, deleteTitle)) return;
    database().remove(name);
    cbo.clear();
    ClearFields();
    listSelectedSection();
}

void Program::cmdQuit_Click() { app_.end(); }

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
    Control& cbo = ui_.cboSpecies;
    const qv::ScanEnd end = qv::scanThermoById(files_, thermoDatabase(), [&](const qv::ThermoSpecies& s) {
        cbo.addItem(s.name);
        return true;
    });
    // The names read before a failure stay listed; the failure is reported.
    if (end.failed()) throw *end.failure;
}

std::optional<std::int32_t> Program::GetIdut(const std::string& name)
{
    qv::ScanEnd end;
    const std::optional<std::int32_t> id = qv::thermoIdOf(files_, thermoDatabase(), name, &end);
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
}

// ---- Helpers --------------------------------------------------------------------------------

Section Program::selectedSection() const
{
    return ui_.optAqueous.value() ? Section::Aqueous : Section::Solid;
}

const std::string& Program::thermoDatabase() const
{
    return selectedSection() == Section::Aqueous ? thermoPath_ : type6Path_;
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

}  // namespace tracekit
