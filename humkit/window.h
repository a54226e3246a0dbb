#pragma once
// The window of the HBM site settings editor, frmMain: one site settings document, one set
// shown at a time. Switching sets stores the shown set back into the document first.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "humkit/sitefile.h"
#include "quenvar/backup.h"
#include "quenvar/checkwindow.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"

namespace humkit {

// The controls of `frmMain` that the procedures work on, by the names the window gives them; the
// site columns and the site groups are arrays numbered from 1.
struct Controls {
    qv::forms::Control& cboSettings;
    qv::forms::Control& cmdNewset;
    qv::forms::Control& lblWhich;
    qv::forms::Control& cboCations;
    qv::forms::Control& cmdDelete;
    qv::forms::Control& txtMonono;
    qv::forms::ControlArray<maxMonodentate> txtMonosite;
    qv::forms::Control& txtBino;
    qv::forms::ControlArray<maxBidentate> txtBisite1;
    qv::forms::ControlArray<maxBidentate> txtBisite2;
    qv::forms::Control& txtTrino;
    qv::forms::ControlArray<maxTridentate> txtTrisite1;
    qv::forms::ControlArray<maxTridentate> txtTrisite2;
    qv::forms::ControlArray<maxTridentate> txtTrisite3;
    qv::forms::Control& cboNumber;
    qv::forms::ControlArray<maxGroups> lblSite;
    qv::forms::ControlArray<maxGroups> txtSite;
    qv::forms::Control& cmdReset;
    qv::forms::Control& cmdSave;
    qv::forms::Control& mnuFileOpen;
    qv::forms::Control& mnuFileSave;
    qv::forms::Control& mnuFileUndo;
    qv::forms::Control& mnuFileCheck;
    qv::forms::Control& mnuFileExit;
};

class Program : public qv::forms::Program {
public:
    // `startDir` is the directory the program starts in (the process's current directory).
    explicit Program(qv::forms::Application& app, std::string startDir = qv::Files::processDirectory());

    qv::forms::Window& mainWindow() override { return frmMain_; }
    std::vector<qv::forms::Window*> windows() override { return {&frmMain_, &frmCheck_}; }
    void openAtStart(const std::string& path) override { openPath(path); }

    const SiteDocument& document() const { return doc_; }
    qv::Files& files() { return files_; }

    // Procedures of the window.
    void Saveset();       // the shown set into the current set
    void Readset();       // the current set into the window
    void Clearaway();     // empty the shown set
    void resetter();      // a new document
    void Numberchange();  // show the percentage boxes of the chosen number of site groups
    void opendb();        // open a site file
    void openPath(const std::string& path);
    bool writedb();  // save the document to a site file; true when it was saved

    // Whether the document as the window shows it differs from what its file holds (or, for a new
    // document, from the new document): any set, its sites, its name where it was saved, the
    // number of site groups or a percentage.
    bool modified() const;

private:
    // The three count boxes and the site boxes each governs.
    struct CountRow {
        int maximum;
        int columns;
    };
    static const std::array<CountRow, 3> countRows;

    void formLoad();
    void cmdReset_Click();
    void mnuFileExit_Click();
    void mnuFileUndo_Click();
    void mnuFileCheck_Click();
    void showAbout();
    void showFinding(const qv::check::Finding& finding);
    // Asks "Save changes to ... before WHAT?" when the document holds unsaved changes; true when
    // the action may go on (saved, discarded, or nothing to save).
    bool settleChanges(const std::string& what);
    // Takes a document read from `path` into the window, as an open does.
    void showDocument(SiteDocument doc, const std::string& path);
    // The document as the window shows it, word by word (numbers as the file form shows them).
    std::vector<std::string> documentWords() const;
    // What the window shows is what the file holds now.
    void markSaved();
    // The caption: the file (or "New file"), marked "*" while modified.
    void updateTitle();
    std::string shownFileName() const;
    void switchSet();
    void offerCations();
    void addCationSet();
    void deleteSet();
    void countChange(int row);
    // The refusal of the first site box of the shown set whose text is not a number; nothing when
    // every one is a number or empty.
    std::optional<std::string> typedSlip() const;
    // Shows that refusal followed by `what` (what did not happen); true when there was one.
    bool refuseTypedSlip(const std::string& what);
    // Puts a text in a count box and makes sure its change rule has run for it, also when the
    // box already held that text (setting an equal text raises no change event).
    void setCount(int row, const std::string& text);
    // Shows set 1 after the list of sets changed under the window.
    void showFirstSet();

    static Controls buildControls(qv::forms::Window& w);
    // The count box of a row, and its site boxes by column (from 0) and position (from 1), found
    // once: the procedures touch up to 80 of them at a time.
    qv::forms::Control& countBox(int row) const { return *countBoxes_[static_cast<std::size_t>(row)]; }
    qv::forms::Control& site(int row, int column, int position) const
    {
        return *siteBoxes_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]
                          [static_cast<std::size_t>(position - 1)];
    }

    qv::forms::Application& app_;
    qv::forms::Window frmMain_;
    qv::forms::CheckWindow frmCheck_;
    Controls ui_;
    qv::Files files_;
    qv::SaveUndo undo_{files_};
    std::string fileName_;                 // the file shown; empty for a new document
    std::vector<std::string> savedWords_;  // documentWords() as the file holds them
    qv::forms::EditTracker groupEdits_;    // the number of site groups and the percentages
    SiteDocument doc_;
    std::array<double, 3> shownCounts_{};    // monodentate, bidentate, tridentate
    std::array<std::string, 3> countTexts_;  // the last text of each count box that was taken
    std::array<qv::forms::Control*, 3> countBoxes_{};
    std::array<std::vector<std::vector<qv::forms::Control*>>, 3> siteBoxes_;
    std::string dialogDir_;
    std::string compPath_;
};

}  // namespace humkit
