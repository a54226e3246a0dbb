#pragma once
// The SIT database manager: the window `frmionkit` and its handlers.
//
// The window shows the coefficient file pair by pair and works directly on the file: every
// event reads it again, every change rewrites it whole. It holds no copy of the records.

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "ionkit/sitfile.h"
#include "quenvar/backup.h"
#include "quenvar/check.h"
#include "quenvar/checkwindow.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"

namespace ionkit {

// What passes 2 and 3 of Openfile find for one species 1, in file order: the species 2 of each
// of its records, and the last record of the pair of it and its first species 2.
struct PairPasses {
    std::string species1;
    std::vector<std::string> species2;
    std::optional<SitRecord> shown;

    void take(const SitRecord& r);
};

// What the three passes of Openfile find, gathered in one reading of the file: the species 1
// listed (pass 1), passes 2 and 3 for the first of them (for the empty name when none is
// listed), and the damage that stopped the reading, if any.
struct FilePasses {
    std::vector<std::string> species1;
    PairPasses first;
    std::optional<qv::Error> failure;
};

// Gathers, record by record in file order, what the three passes of Openfile find in the first
// 4000 records of a file.
class PassGatherer {
public:
    void take(const SitRecord& r);
    FilePasses result(std::optional<qv::Error> failure = std::nullopt);

private:
    FilePasses found_;
    std::unordered_set<std::string> listed_;
    PairPasses unnamed_;  // records with an empty species 1, read before any species 1 is listed
    bool named_ = false;
    std::size_t count_ = 0;
};

// The controls of `frmionkit`, by the names the window gives them, in the order they are made.
struct Controls {
    qv::forms::Control& mnuFile;
    qv::forms::Control& mnuOpen;
    qv::forms::Control& mnuUndo;
    qv::forms::Control& mnuCheck;
    qv::forms::Control& mnuHelp;
    qv::forms::Control& mnuAbout;
    qv::forms::Control& lblDbname;
    qv::forms::Control& lblSpec1;
    qv::forms::Control& cboCat;
    qv::forms::Control& Label1;
    qv::forms::Control& cboAn;
    qv::forms::Control& Label2;
    qv::forms::Control& txtEta;
    qv::forms::Control& Label3;
    qv::forms::Control& txtReference;
    qv::forms::Control& Command1;
    qv::forms::Control& Line1;
    qv::forms::Control& lblSpecies1;
    qv::forms::Control& cboCat1;
    qv::forms::Control& lblSpecies2;
    qv::forms::Control& cboAn1;
    qv::forms::Control& lblEta1;
    qv::forms::Control& txtEta1;
    qv::forms::Control& lblRef1;
    qv::forms::Control& txtRef1;
    qv::forms::Control& cmdAdd;
    qv::forms::Control& Line2;
    qv::forms::Control& cmdSave;
    qv::forms::Control& cmdDelete;
    qv::forms::Control& cmdQuit;
    qv::forms::Control& Command2;
    qv::forms::Control& lblStatus;
};

class Program : public qv::forms::Program {
public:
    // `startDir` is the directory the tool is started in (the process's current directory).
    explicit Program(qv::forms::Application& app, std::string startDir = qv::Files::processDirectory());

    qv::forms::Window& mainWindow() override { return frmionkit_; }
    std::vector<qv::forms::Window*> windows() override { return {&frmionkit_, &frmCheck_}; }
    void openAtStart(const std::string& path) override { openDatabase(path); }

    // The handlers, as the window names them.
    void Form_Load();
    // Fills the pair lists from what the passes over the current file found.
    void Openfile(const FilePasses& found);
    void cboCat_Click();
    void cboAn_Click();
    void Command1_Click();   // "New species"
    void Tdabaseadd();       // fills the new-pair lists from the component and main thermodynamic databases
    void cmdAdd_Click();     // "Add to list"
    void cmdSave_Click();    // "Save change"
    void cmdDelete_Click();  // "Delete this entry"
    void Command2_Click();   // "Save to new database"
    void mnuOpen_Click();    // "Open SIT database"
    void openDatabase(const std::string& path);
    void cmdQuit_Click();
    void mnuUndo_Click();    // "Undo last save"
    void mnuCheck_Click();   // "Check": the findings of the open file
    void mnuAbout_Click();   // "About": the version
    bool Form_QueryClose();  // the window's close control

    const std::string& currentDatabase() const { return dbFile_; }
    const std::string& dialogDirectory() const { return dialogDir_; }
    // The file layer of the window (tests make its steps fail through its fault hook).
    qv::Files& files() { return files_; }

private:
    static Controls buildControls(qv::forms::Window& w);

    void toStart();                                        // start drive and start directory
    FilePasses readPasses(const std::string& path) const;  // the passes of Openfile over a file
    void openCurrent();                                    // reads the current file and runs Openfile
    // Passes 2 and 3: lists the species 2 found and shows the pair found; a reading stopped by
    // `failure` is reported once the species 2 before it are listed.
    void fillPair(const PairPasses& found, const std::optional<qv::Error>& failure);
    void showRecord(const std::optional<SitRecord>& record);  // the show rule
    void setNewPairVisible(bool visible);
    void refuseBlank();
    // The coefficient typed into a box: a text that is not wholly a number, or a number beyond
    // the single-precision range, is refused naming the field; an empty text is refused as blank.
    std::optional<float> typedCoefficient(const std::string& typed);
    // Whether a typed name is one the new-pair lists offer; otherwise the refusal names it and
    // the closest names offered.
    bool offeredName(const char* which, const std::string& name);

    // ---- Unsaved changes of the shown pair ----
    // Asks before `what` ("picking another pair") when the shown coefficient or reference was
    // changed and not saved: Save saves them for the pair shown, Discard drops them. False when
    // the user cancels or the save is refused or fails: then nothing goes on.
    bool keepEdits(const std::string& what);
    // The shown pair's fields now hold what the file holds; the title follows.
    void shownSaved();
    void updateTitle();
    void updateUndo();
    // Lists species 2 of `species1` and shows its first pair (a click on cboCat, without the question).
    void listSpecies2();
    void showSpecies2();  // shows the pair of cboCat and cboAn (a click on cboAn, without the question)
    // Shows a pair as picking its two names would (species 1, then species 2).
    void showPair(const std::string& species1, const std::string& species2);
    // Saves the shown fields for a pair; false after a refusal.
    bool saveChange(const std::string& species1, const std::string& species2);
    // The coefficient and reference shown for the shown pair, when they can be saved; otherwise
    // the refusal is shown and there is none.
    struct ShownEntry {
        float eta;
        std::string reference;
    };
    std::optional<ShownEntry> shownEntry();

    qv::forms::Application& app_;
    qv::Files files_;
    qv::forms::Window frmionkit_;
    Controls ui_;
    qv::forms::CheckWindow frmCheck_{app_};
    qv::SaveUndo undo_{files_};
    qv::forms::EditTracker edits_;
    // The pair whose coefficient and reference the change fields show.
    std::string shownCat_;
    std::string shownAn_;

    std::string startDir_;
    std::string startDrive_;
    std::string thermoPath_;
    std::string compPath_;
    std::string dbFile_;
    std::string dialogDir_;
};

}  // namespace ionkit
