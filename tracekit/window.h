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
};

class Program : public qv::forms::Program {
public:
    explicit Program(qv::forms::Application& app);

    qv::forms::Window& mainWindow() override { return frmMain_; }
    std::vector<qv::forms::Window*> windows() override { return {&frmMain_}; }

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

    // Procedures of the window.
    void ReadSolidnames();
    void ReadAqNames();
    void ReadThermo();
    std::optional<std::int32_t> GetIdut(const std::string& name);
    void ClearFields();

private:
    static Controls buildControls(qv::forms::Window& w);
    AnalyteDatabase database() const { return AnalyteDatabase(files_, dataDir_); }
    Section selectedSection() const;
    // The thermodynamic database of the kind selected: `thermo.mdb` (aqueous) or `type6.mdb`.
    const std::string& thermoDatabase() const;
    // Shows the names of the selected section of `analyt.mdb`.
    void listSelectedSection();
    // Refuses (with a message) a species name that the record syntax cannot hold.
    bool refuseQuotedName(const std::string& name);

    qv::forms::Application& app_;
    qv::forms::Window frmMain_;
    Controls ui_;
    qv::Files files_{qv::Files::processDirectory()};

    std::unique_ptr<PlotPanel> plot_;

    std::string dataDir_;
    std::string thermoPath_;
    std::string type6Path_;
    std::string drive_;
    bool adding_ = false;
};

}  // namespace tracekit
