#pragma once
// The default settings editor: the main window `frmMain` (general settings, databases, "Save and
// Quit") and the second page `frmPage2` (results-page limits and the parameters of the
// predefined surface complexation models), both working on one default parameter set.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "prefkit/params.h"
#include "quenvar/checkwindow.h"
#include "quenvar/files.h"
#include "quenvar/forms.h"

namespace prefkit {

// An option button of a group and the setting code it stands for.
struct OptionCode {
    int code;
    qv::forms::Control& option;
};
using OptionGroup = std::span<const OptionCode>;

// The controls of `frmMain` that the handlers work on, by the names the window gives them.
struct MainControls {
    qv::forms::Control& opt10;
    qv::forms::Control& opt40;
    qv::forms::Control& opt100;
    qv::forms::Control& opt200;
    qv::forms::Control& optNoprec;
    qv::forms::Control& optPrecfinal;
    qv::forms::Control& optPreceach;
    qv::forms::Control& optYes;
    qv::forms::Control& optNo;
    qv::forms::Control& optYesA;
    qv::forms::Control& optNoA;
    qv::forms::Control& optSIT;
    qv::forms::Control& txtDavies;
    qv::forms::Control& optSolution;
    qv::forms::Control& optSolid;
    qv::forms::Control& lblLSstate;
    qv::forms::Control& txtTdabase;
    qv::forms::Control& cmdChooseTdb;
    qv::forms::Control& txtSdabase;
    qv::forms::Control& cmdChooseSdb;
    qv::forms::Control& txtCdabase;
    qv::forms::Control& cmdChooseCdb;
    qv::forms::Control& txtOdabase;
    qv::forms::Control& cmdChooseOdb;
    qv::forms::Control& Command1;
    qv::forms::Control& cmdMain;
    // The File and Help menus.
    qv::forms::Control& mnuFile;
    qv::forms::Control& mnuCheck;
    qv::forms::Control& mnuUndo;
    qv::forms::Control& mnuQuit;
    qv::forms::Control& mnuHelp;
    qv::forms::Control& mnuAbout;
};

// The boxes of `frmPage2` and its button.
struct Page2Controls {
    qv::forms::Control& txtConc;
    qv::forms::Control& txtMinsat;
    qv::forms::Control& txtMaxsat;
    qv::forms::Control& cmdSave;
    qv::forms::Control& txtSSAHFO;
    qv::forms::Control& txtSSAHMO;
    qv::forms::Control& txtSDHFO;
    qv::forms::Control& txtSDHMO;
    qv::forms::Control& txtSD021;
    qv::forms::Control& txtSD110;
    qv::forms::Control& txtSD2;
    qv::forms::Control& txtfhHFO;
    qv::forms::Control& txtfhHMO;
    qv::forms::Control& txtfh021;
    qv::forms::Control& txtCapin;
    qv::forms::Control& txtCapou;
    qv::forms::Control& txtSSAFh;
    qv::forms::Control& txtSDFh;
    qv::forms::Control& txtfhFh;
    qv::forms::Control& txtCapin_Fh;
    qv::forms::Control& txtCapou_Fh;
};

class Program : public qv::forms::Program {
public:
    // `files` starts in the directory from which `deftempar.dat` is read (the process's current
    // directory for the program).
    explicit Program(qv::forms::Application& app, qv::Files files = qv::Files(qv::Files::processDirectory()));

    qv::forms::Window& mainWindow() override { return frmMain_; }
    std::vector<qv::forms::Window*> windows() override { return {&frmMain_, &frmPage2_, &frmCheck_}; }

    qv::forms::Window& frmMain() { return frmMain_; }
    qv::forms::Window& frmPage2() { return frmPage2_; }
    const DefaultParameters& parameters() const { return set_; }
    // Where the database dialog starts: the installation directory until the load names the
    // data directory.
    const std::string& dialogDirectory() const { return dialogDir_; }

private:
    // frmMain
    static MainControls buildMain(qv::forms::Window& w);
    // The option groups of frmMain.
    struct OptionGroups {
        std::array<OptionCode, 4> iteration;
        std::array<OptionCode, 3> precipitation;
        std::array<OptionCode, 2> chargeImbalance;
        std::array<OptionCode, 3> activity;
        std::array<OptionCode, 2> inputBasis;
    };
    static OptionGroups optionGroups(const MainControls& ui);
    void wireMain();
    void Form_Load();
    void optSolution_Click();
    void optSolid_Click();
    void chooseDatabase(std::string DefaultParameters::*path, qv::forms::Control& textBox);
    void Command1_Click();  // "Go To Page 2"
    void cmdMain_Click();
    void mnuCheck_Click();
    void mnuUndo_Click();
    void mnuQuit_Click();
    void mnuAbout_Click();
    // A typed number of a box: nothing (after a refusal naming `field`, with the focus in the
    // box) when the text is not wholly a number; an empty box stores what it always stored.
    std::optional<qv::Field> typedField(qv::forms::Control& box, const std::string& field);
    // The database paths as the boxes hold them: a path typed into a box must name an existing
    // file; nothing after a refusal.
    bool takeTypedPaths(DefaultParameters& chosen);
    // Whether the window shows settings that the files do not hold yet.
    bool modified() const;
    // The titles of both windows: the file name, and "*" while there are unsaved changes.
    void refreshTitles();
    // Asks before `doing` ("closing", "quitting") with unsaved changes. True when the program may
    // go on without saving; a Save saves and ends the program (false when the save is refused).
    bool confirmLeave(const std::string& doing);
    // Selects an option as a click would, with the click's own effect.
    void select(qv::forms::Control& option);
    // Selects the option of `group` whose code equals the field; a field holding any other
    // value (or a Text) leaves the group as it is.
    void selectByCode(const qv::Field& code, OptionGroup group);
    // The code of the selected option of a group.
    int selectedCode(OptionGroup group) const;

    // frmPage2
    static Page2Controls buildPage2(qv::forms::Window& w);
    // A box of the page and the field of the set it edits, in the order the page fills them
    // (or, with `storeOrder`, stores them).
    struct Page2Box {
        qv::forms::Control& box;
        qv::Field DefaultParameters::*field;
    };
    std::vector<Page2Box> page2Boxes(bool storeOrder) const;
    // The name of a field of the page, as the page's labels give it, for a refusal.
    static std::string page2FieldName(qv::Field DefaultParameters::*field);
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
    qv::forms::CheckWindow frmCheck_{app_};
    MainControls ui_;
    Page2Controls page2_;
    OptionGroups options_;
    DefaultParameters set_;
    // The set as the files hold it (at the load, or after an undo).
    DefaultParameters loaded_;
    // `deftempar.dat` as the load read it: an undo over a file changed since asks first.
    std::string loadedBytes_;
    qv::forms::EditTracker mainEdits_;
    qv::forms::EditTracker page2Edits_;
    std::string dialogDir_;
};

}  // namespace prefkit
