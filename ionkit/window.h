#pragma once
// The SIT database manager: the window `frmionkit` and its handlers.
//
// The window shows the coefficient file pair by pair and works directly on the file: every
// event reads it again, every change rewrites it whole. It holds no copy of the records.

#include <string>
#include <vector>

#include "ionkit/sitfile.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"

namespace ionkit {

class Program : public qv::forms::Program {
public:
    // `startDir` is the directory the tool is started in (the process's current directory).
    explicit Program(qv::forms::Application& app, std::string startDir = qv::Files::processDirectory());

    qv::forms::Window& mainWindow() override { return form_; }
    std::vector<qv::forms::Window*> windows() override { return {&form_}; }

    // The handlers, as the window names them.
    void Form_Load();
    void Openfile(const std::vector<SitRecord>& records);
    void cboCat_Click();
    void cboAn_Click();
    void Command1_Click();  // "New species"
    void Tdabaseadd();
    void cmdAdd_Click();     // "Add to list"
    void cmdSave_Click();    // "Save change"
    void cmdDelete_Click();  // "Delete this entry"
    void Command2_Click();   // "Save to new database"
    void mnuOpen_Click();    // "Open SIT database"
    void cmdQuit_Click();

    const std::string& currentDatabase() const { return dbFile_; }
    const std::string& dialogDirectory() const { return dialogDir_; }
    // The file layer of the window (tests make its steps fail through its fault hook).
    qv::Files& files() { return files_; }

private:
    qv::forms::Control& c(std::string_view name) const { return form_(name); }

    void toStart();                                  // start drive and start directory
    std::vector<SitRecord> readListed(const std::string& path) const;  // the records the lists show
    void openCurrent();                              // reads the current file and runs Openfile
    void listSpecies2(const std::vector<SitRecord>& records);   // pass 2
    void showPair(const std::vector<SitRecord>& records);       // pass 3
    void setNewPairVisible(bool visible);
    void refuseBlank();
    // Saves the shown coefficient and reference for the shown pair into the current file.
    void saveShown(float eta, const std::string& reference);

    qv::forms::Application& app_;
    qv::Files files_;
    qv::forms::Window form_;

    std::string startDir_;
    std::string startDrive_;
    std::string thermoPath_;
    std::string compPath_;
    std::string dbFile_;
    std::string dialogDir_;
};

}  // namespace ionkit
