#pragma once
// The analyte editor's window `frmMain`: browse the solid or aqueous section of `analyt.mdb`,
// show and change a species' seven terms, delete a species, or add one taken from the main
// thermodynamic database (`type6.mdb` for solids, `thermo.mdb` for aqueous species).
//
// Two modes: browsing (the list holds the names of a section of `analyt.mdb`) and adding (the
// list holds every name of the thermodynamic database; a save adds the chosen one and returns to
// browsing). No records are kept in memory: each action reads the files anew.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quenvar/backup.h"
#include "quenvar/checkwindow.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"
#include "tracekit/analyt.h"
#include "tracekit/plotpanel.h"

namespace tracekit {

inline constexpr const char* selectSpecies = "Select species";

// The controls of `frmMain` that the handlers work on; the terms A to G are `txtEntry(1)` to
// `txtEntry(7)` (the window names them txtEntryA to txtEntryG).
struct Controls {
    qv::forms::Control& optSolid;
    qv::forms::Control& optAqueous;
    qv::forms::Control& cboSpecies;
    qv::forms::ControlArray<termCount> txtEntry;
    qv::forms::Control& lblReverse;
    qv::forms::Control& cmdAdd;
    qv::forms::Control& cmdDelete;
    qv::forms::Control& cmdSave;
    qv::forms::Control& cmdQuit;
    qv::forms::Control& cmdCancel;  // leaves the add mode
    qv::forms::Control& mnuFileCheck;
    qv::forms::Control& mnuFileUndo;
    qv::forms::Control& mnuFileAbout;
};

class Program : public qv::forms::Program {
public:
    explicit Program(qv::forms::Application& app);

    qv::forms::Window& mainWindow() override { return frmMain_; }
    std::vector<qv::forms::Window*> windows() override { return {&frmMain_, &frmCheck_}; }

    qv::Files& files() { return files_; }
    PlotPanel& plot() { return *plot_; }
    bool adding() const { return adding_; }

    // Events.
    void Form_Load();
    void cboSpecies_Click();
    void optSolid_Click();
    void optAqueous_Click();
    void cmdAdd_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdQuit_Click();
    void cmdCancel_Click();
    void cboSpecies_Return();  // Return in the species box: picks the one species its text names
    void mnuFileCheck_Click();
    void mnuFileUndo_Click();
    void mnuFileAbout_Click();
    bool Form_QueryClose();  // false keeps the window open

    // Procedures of the window.
    void ReadSolidnames();
    void ReadAqNames();
    void ReadThermo();
    std::optional<std::int32_t> GetIdut(const std::string& name, Section section);
    void ClearFields();

private:
    static Controls buildControls(qv::forms::Window& w);
    AnalyteDatabase database() { return AnalyteDatabase(files_, dataDir_, &undo_); }
    Section selectedSection() const;
    // The thermodynamic database of the kind selected: `thermo.mdb` (aqueous) or `type6.mdb`.
    const std::string& thermoDatabase() const { return thermoDatabase(selectedSection()); }
    const std::string& thermoDatabase(Section section) const;
    // Shows the names of the selected section of `analyt.mdb`.
    void listSelectedSection();
    // Refuses (with a message) a species name that the record syntax cannot hold.
    bool refuseQuotedName(const std::string& name);
    // The seven typed terms, or nothing (after a message naming the term) when one is not a number.
    std::optional<Terms> typedTerms();
    // Saves the shown terms under `name` in `section`: a change in browsing, an addition in add
    // mode. False when refused (with a message) and nothing was written.
    bool saveShown(const std::string& name, Section section);
    // Asks before the shown, unsaved terms are left ("Save changes to X before ...?"). True when
    // the caller may go on (saved or discarded), false on Cancel or a refused save.
    bool confirmLeave(const std::string& action);
    bool modified() const { return edits_.modified(); }
    void updateTitle();
    // The shown terms are what the file holds (after a show or a save).
    void markSaved();
    void leaveAddMode();
    void showSpecies(const std::string& name);
    bool inSection(Section section, const std::string& name) const;

    qv::forms::Application& app_;
    qv::forms::Window frmMain_;
    Controls ui_;
    qv::Files files_{qv::Files::processDirectory()};

    std::unique_ptr<PlotPanel> plot_;
    qv::forms::CheckWindow frmCheck_{app_};
    qv::forms::EditTracker edits_;
    qv::SaveUndo undo_{files_};
    std::string shownName_;  // the species whose terms are shown; empty when none

    std::string dataDir_;
    std::string thermoPath_;
    std::string type6Path_;
    std::string drive_;
    bool adding_ = false;
};

}  // namespace tracekit
