#pragma once
// The default settings editor: the main window `frmMain` (general settings, databases, "Save and
// Quit") and the second page `frmPage2` (results-page limits and the parameters of the
// predefined surface complexation models), both working on one default parameter set.

#include <span>
#include <string>
#include <vector>

#include "prefkit/params.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"

namespace prefkit {

// An option button of a group and the setting code it stands for.
struct OptionCode {
    int code;
    const char* option;
};
using OptionGroup = std::span<const OptionCode>;

class Program : public qv::forms::Program {
public:
    // `files` starts in the directory from which `deftempar.dat` is read (the process's current
    // directory for the program).
    explicit Program(qv::forms::Application& app, qv::Files files = qv::Files(qv::Files::processDirectory()));

    qv::forms::Window& mainWindow() override { return frmMain_; }
    std::vector<qv::forms::Window*> windows() override { return {&frmMain_, &frmPage2_}; }

    qv::forms::Window& frmMain() { return frmMain_; }
    qv::forms::Window& frmPage2() { return frmPage2_; }
    const DefaultParameters& parameters() const { return set_; }
    // Where the database dialog starts: the installation directory until the load names the
    // data directory.
    const std::string& dialogDirectory() const { return dialogDir_; }

private:
    // frmMain
    void buildMain();
    void Form_Load();
    void optSolution_Click();
    void optSolid_Click();
    void chooseDatabase(std::string DefaultParameters::*path, const char* textBox);
    void Command1_Click();
    void cmdMain_Click();
    // Selects an option as a click would, with the click's own effect.
    void select(const char* option);
    // Selects the option of `group` whose code equals the field; a field holding any other
    // value (or a Text) leaves the group as it is.
    void selectByCode(const qv::Field& code, OptionGroup group);
    // The code of the selected option of a group.
    int selectedCode(OptionGroup group) const;

    // frmPage2
    void buildPage2();
    void Page2_Load();
    void cmdSave_Click();

    // Puts a field into a text box in the display form. A Text that is not a number is shown as
    // it stands and its place is added to `unreadable`.
    void show(qv::forms::Control& box, qv::Field DefaultParameters::*member, std::string& unreadable);
    // Tells the user which fields could not be shown as numbers.
    void reportUnreadable(const std::string& unreadable);

    qv::forms::Application& app_;
    qv::Files files_;
    qv::forms::Window frmMain_;
    qv::forms::Window frmPage2_;
    DefaultParameters set_;
    std::string dialogDir_;
};

}  // namespace prefkit
