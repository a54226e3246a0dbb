#pragma once
// The sorption / complexation database editor: its window `frmMaindb` and every handler of it.
//
// The window works on one sorption database at a time (`Dbname`), lists its species, shows the
// reaction of the species clicked, lets the user change it or enter a new one, proposes species
// ID numbers, and rewrites the whole file on a save or a deletion. All of it runs on the
// toolkit-free controls of qv::forms and the tool's own qv::Files, so the same logic serves the
// Qt window and script mode.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "quenvar/backup.h"
#include "quenvar/checkwindow.h"
#include "quenvar/field.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"
#include "quenvar/record.h"
#include "surfkit/sorption.h"

namespace surfkit {

// The form-level state of `frmMaindb`, named as the window names it. The component arrays hold
// ten entries, the most one species record may carry.
struct FormState {
    std::string Compdbname = "comp.mdb";
    std::string Dbname;
    bool Blifile = false;
    bool Cdbfile = false;
    std::string Isomodel;
    std::string Isochoice;
    bool MBused = false;
    bool Suggesting = false;
    int Compindex = 0;
    // Component arrays of the shown species; entry 0 holds row (or M.B. pair) 1.
    std::array<std::string, maxPairs> Compname{};
    FieldArray Compid{};
    FieldArray Stoich{};
    FieldArray MBstoich{};
    FieldArray MBcompid{};
    std::array<double, 3> Idcomp{};  // Idcomp(1), Idcomp(2); an entry never set counts as 0
    // The initial directory of the file dialogs (`CommonDialog1`): the data directory.
    std::string dialogDir;
};

// The controls of `frmMaindb`, by the names the window gives them, in the order they are made.
// The component rows are arrays of eight, numbered from 1.
struct Controls {
    qv::forms::Control& lstReactions;
    qv::forms::Control& Label1;
    qv::forms::Control& Label2;
    qv::forms::Control& lblNameDb;
    qv::forms::Control& txtID;
    qv::forms::Control& Label3;
    qv::forms::Control& txtName;
    qv::forms::Control& Label9;
    qv::forms::Control& txtlogk;
    qv::forms::Control& lblLogk;
    qv::forms::Control& txtdhr;
    qv::forms::Control& lbldhr;
    qv::forms::Control& txtKsel;
    qv::forms::Control& lblKsel;
    qv::forms::Control& txtLk2;
    qv::forms::Control& lblLk2;
    qv::forms::Control& txtCharge;
    qv::forms::Control& Label6;
    qv::forms::Control& txtNocomp;
    qv::forms::Control& Label7;
    qv::forms::Control& txtf50;
    qv::forms::Control& lblIsoterm;
    qv::forms::Control& cboIsoterm;
    qv::forms::ControlArray<8> lblStoich;
    qv::forms::ControlArray<8> txtComp;
    qv::forms::ControlArray<8> txtStoich;
    qv::forms::ControlArray<8> txtMBstoich;
    qv::forms::Control& lblMA;
    qv::forms::Control& lblMB;
    qv::forms::Control& lblMBnote;
    qv::forms::Control& lblMAnote;
    qv::forms::Control& lblAddnew;
    qv::forms::Control& lblSpname;
    qv::forms::Control& txtSpname;
    qv::forms::Control& lblComp;
    qv::forms::Control& cboComp;
    qv::forms::Control& txtStoicn;
    qv::forms::Control& cmdNextcomp;
    qv::forms::Control& cmdSuggest;
    qv::forms::Control& cmdAddnew;
    qv::forms::Control& cmdDelete;
    qv::forms::Control& cmdSavedb;
    qv::forms::Control& cmdNewDb;
    qv::forms::Control& cmdCompdb;
    qv::forms::Control& cmdQuit;
    qv::forms::Control& Label8;
    qv::forms::Control& Line1;
    qv::forms::Control& mnuFile;
    qv::forms::Control& mnuFileOpen;
    qv::forms::Control& mnuFileExit;
    // The editor's own additions: the species filter, the undo of the last save.
    qv::forms::Control& txtFilter;
    qv::forms::Control& lblFilterCount;
    qv::forms::Control& mnuFileUndo;
    // The data check of the open database.
    qv::forms::Control& mnuFileCheck;
};

class Program : public qv::forms::Program {
public:
    // Starts in the process's current directory, as the program does.
    explicit Program(qv::forms::Application& app);
    // Starts in `startDir` (tests run many windows side by side in one process).
    Program(qv::forms::Application& app, std::string startDir);

    qv::forms::Window& mainWindow() override { return frmMaindb_; }
    std::vector<qv::forms::Window*> windows() override { return {&frmMaindb_, &frmCheck_}; }
    void openAtStart(const std::string& path) override;

    // The file layer with the tool's current directory (tests set its fault hook).
    qv::Files& files() { return files_; }
    const FormState& state() const { return st_; }
    qv::forms::Window& frmMaindb() { return frmMaindb_; }

    // ---- Handlers and procedures of the window ----
    void Form_Load();
    void Listfill();
    void lstReactions_Click();
    void cboIsoterm_Click();
    void mnuFileOpen_Click();
    void openDatabase(const std::string& path);
    void forgetTheFileBefore();  // after another database was opened: no undo, no edits of the old one
    void mnuFileExit_Click();
    void cmdCompdb_Click();
    void cmdQuit_Click();
    void cmdAddnew_Click();
    void cmdNextcomp_Click();
    void cmdSuggest_Click();
    void numgenerator2();  // Idcomp(1), Idcomp(2): the component IDs of rows 1 and 2, for the ID proposal
    void numgenerator3(int i, std::array<qv::Field, 11>& Cnom);  // Cnom(i): the component ID of row i
    // The species record built from the window (the save writes it).
    SpeciesRecord SpeciesChange();
    void cmdDelete_Click();
    void cmdSavedb_Click();
    void savedb();
    void cmdNewDb_Click();
    void Newspecdelete();  // hides the new-species entry after the new species is saved

    // ---- Unsaved changes, undo, the species filter, keyboard and status line ----
    void txtFilter_Change();
    void mnuFileUndo_Click();
    void mnuHelpAbout_Click();
    // Whether the shown species holds typed changes not saved yet.
    bool modified() const { return edits_.modified(); }
    // The window caption: the open file's name, "*" before it while the shown species is modified.
    void updateTitle();
    // ---- The data check of the open database ----
    void mnuFileCheck_Click();
    qv::forms::CheckWindow& frmCheck() { return frmCheck_; }

private:
    static Controls buildControls(qv::forms::Window& w);
    void wireEvents();

    // The kind of the file named by `Dbname` as start-up and the File menu set it up.
    void takeFileKind(bool resetKsel);
    // A refusal: an OK box with a critical icon; the handler stops before opening any file.
    void refuse(const std::string& text, const std::string& title = "Quenvar error");
    // The refusal of input that cannot be written faithfully, if any.
    std::optional<std::string> writeRefusal();
    // The refusal of the save's checks (a selection, the required fields, writeRefusal), if any.
    std::optional<std::string> saveRefusal();
    // The species in the window is a new one (the selected item is the unsaved new name).
    bool savingNewSpecies() const;
    // The database read from `source` with the species of the window saved into it.
    std::string savedDatabase(const std::string& source);
    // The whole rewritten database for a save or a deletion, built in memory.
    SaveHeader saveHeader(const std::string& model) const;
    // The species display: the first record of the selected name (nothing when there is none),
    // the captions and box of its sixth value, and its component rows.
    std::optional<SpeciesRecord> findShownSpecies();
    void showSixthValue(const SpeciesRecord& r);
    void fillComponentRows(const SpeciesRecord& r);
    // Rows 1 to 8 emptied and hidden.
    void clearComponentRows();
    // Takes the pending component of `cboComp` / `txtStoicn` into row `Compindex`.
    void takeInComponent();

    // ---- Unsaved changes, undo, the species filter, keyboard and status line ----
    void wireEditorEvents();
    void wireKeyboard();  // mnemonics and shortcuts
    // A rewrite of the open database (or a new one), keeping the previous content for the undo.
    void rewriteDb(const std::string& target, const std::string& bytes);
    // The species shown is taken as what the file holds (after showing or saving it).
    void markShown();
    // The Save / Discard / Cancel question while the shown species is modified; `what` ends the
    // question ("showing Cu+2 sorbed"). True when the action may go on (saved, discarded or
    // nothing to ask); false on Cancel or a save that did not happen.
    bool askUnsaved(const std::string& what);
    // The user's pick in lstReactions, with the question first.
    void pickSpecies();
    void openWithQuestion();
    void quitWithQuestion();
    void saveWithStatus();
    void deleteWithStatus();
    void saveNewWithStatus();
    // After Listfill: the full list of names, then the filter applied to what the list shows.
    void listFilled();
    // Shows the names of allSpecies_ that pass the filter, keeping the selection where it still shows.
    void applyFilter();
    std::string shownFileName() const;
    // Selects again what was selected when the species was shown (after a cancelled pick).
    void restoreSelection();
    // ---- Typed input, the display after a save or an open, the data check ----
    // The refusal of a box whose text is not wholly a number (or yes/no), naming the field.
    std::optional<std::string> typedRefusal() const;
    // The refusal of the stoichiometry typed for the component being entered, if any.
    std::optional<std::string> pendingRefusal() const;
    // The value of a number box the refusal has passed; 0 for an empty box.
    static double typedValue(const qv::forms::Control& box);
    // The species display emptied: no species selected, its fields and rows blank, no Delete.
    void clearSpeciesDisplay();
    // Selects `name` in the list, as it now stands in the file, and shows it.
    void showSaved(const std::string& name);
    // The note after a save whose species the data check finds fault with (never a refusal).
    void noteAfterSave(const std::string& name);
    // Shows the species of a finding picked in the findings window.
    void showFinding(const qv::check::Finding& f);

    qv::forms::Application& app_;
    qv::forms::Window frmMaindb_;
    Controls ui_;
    qv::Files files_;
    FormState st_;

    qv::forms::EditTracker edits_;
    qv::SaveUndo undo_{files_};
    std::string shownSelection_;           // the list's selection when the species was shown
    std::string undoWhat_;                 // what the undo would take back ("the save of A")
    unsigned rewrites_ = 0;                // counts successful rewrites, so a wrapper knows one happened
    std::vector<std::string> allSpecies_;  // every name Listfill listed, in file order
    std::vector<std::string> allIds_;      // their species IDs, as the filter matches them
    std::vector<std::string> listedIds_;   // the IDs Listfill read, beside the names it listed
    std::vector<int> shownRows_;           // for each list position, its row in allSpecies_
    qv::forms::CheckWindow frmCheck_{app_};
};

}  // namespace surfkit
