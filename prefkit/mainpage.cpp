// frmMain, "Quenvar default settings": the general settings, the four databases and "Save and
// Quit".

#include <stdexcept>

#include "prefkit/program.h"
#include "quenvar/error.h"

namespace prefkit {

using qv::forms::Control;

namespace {

// The start directory of the database dialog until the load names the data directory.
constexpr const char* installDirectory = "c:\\Program Files\\quenvar";
constexpr const char* databaseFilter = "Database files (*.MDB)|*.MDB";

// The option groups and the codes of the default parameter set they stand for.
constexpr OptionCode iterationOptions[] = {{1, "opt10"}, {2, "opt40"}, {3, "opt100"}, {4, "opt200"}};
constexpr OptionCode precipitationOptions[] = {{0, "optNoprec"}, {1, "optPrecfinal"}, {2, "optPreceach"}};
constexpr OptionCode chargeImbalanceOptions[] = {{0, "optYes"}, {1, "optNo"}};
constexpr OptionCode activityOptions[] = {{1, "optYesA"}, {2, "optNoA"}, {3, "optSIT"}};
constexpr OptionCode inputBasisOptions[] = {{0, "optSolution"}, {1, "optSolid"}};

}  // namespace

Program::Program(qv::forms::Application& app, qv::Files files)
    : app_(app), files_(std::move(files)), frmMain_(app, "frmMain", "Quenvar default settings"),
      frmPage2_(app, "frmPage2", "Quenvar default settings (Page 2)"), dialogDir_(installDirectory)
{
    buildMain();
    buildPage2();
}

void Program::buildMain()
{
    qv::forms::Window& w = frmMain_;

    // An option button shows no text of its own; the label beside it gives its meaning.
    auto option = [&](Control& frame, const char* name, const char* labelName, const char* meaning) {
        Control& button = w.option(name, "", frame.name());
        button.setContainer(&frame);
        w.label(labelName, meaning).setContainer(&frame);
        return &button;
    };

    w.label("Label7", "Choose the number of iterations:");
    Control& frame3 = w.frame("Frame3", "");
    option(frame3, "opt10", "Label1", "200");
    option(frame3, "opt40", "Label2", "500");
    option(frame3, "opt100", "Label3", "2000")->setValue(true);
    option(frame3, "opt200", "Label8", "5000");

    Control& frame1 = w.frame("Frame1", "");
    option(frame1, "optNoprec", "Label16",
           "     Oversaturated solids are not allowed to precipitate     (Exceptions: Solids specified as "
           "infinite, finite or possible)")
        ->setValue(true);
    option(frame1, "optPrecfinal", "Label17",
           "Oversaturated solids are allowed to precipitate, but only after the final answer is reached");
    option(frame1, "optPreceach", "Label18",
           "Oversaturated solids are allowed to precipitate each time a mineral precipitates or dissolves");

    w.label("Label4", "Terminate if charge imbalance exceeds 30 %?");
    Control& frame2 = w.frame("Frame2", "Frame2");
    option(frame2, "optYes", "Label5", "Yes");
    option(frame2, "optNo", "Label6", "No")->setValue(true);

    w.label("Label12", "Method for activity correction");
    Control& frame4 = w.frame("Frame4", "");
    option(frame4, "optYesA", "Label10", "Davies")->setValue(true);
    option(frame4, "optNoA", "Label11", "Debye-H\xFC" "ckel");  // Windows-1252, as every text of the suite
    option(frame4, "optSIT", "Label13", "SIT");

    w.label("Label9", "Davies b parameter");
    w.textBox("txtDavies").setText("0.3");

    w.label("Label23", "Choose on what basis input concentrations are defined");
    Control& frame6 = w.frame("Frame6", "");
    option(frame6, "optSolution", "Label25", "Solution")->setValue(true);
    option(frame6, "optSolid", "Label26", "Solid");
    w.label("lblLSstate", "State L/S ratio on main menu", false).setContainer(&frame6);

    w.label("Label15", "Choose databases");
    struct Row {
        const char* label;
        const char* meaning;
        const char* textBox;
        const char* button;
        std::string DefaultParameters::*path;
    };
    const Row rows[] = {
        {"Label19", "Main thermodynamic database", "txtTdabase", "cmdChooseTdb", &DefaultParameters::thermoPath},
        {"Label20", "Solids database", "txtSdabase", "cmdChooseSdb", &DefaultParameters::solidsPath},
        {"Label21", "Component database", "txtCdabase", "cmdChooseCdb", &DefaultParameters::componentsPath},
        {"Label22", "DOM complex database", "txtOdabase", "cmdChooseOdb", &DefaultParameters::domPath},
    };
    for (const Row& row : rows) {
        w.label(row.label, row.meaning);
        w.textBox(row.textBox);
        const char* box = row.textBox;
        auto path = row.path;
        w.button(row.button, "Choose other").onClick = [this, path, box] { chooseDatabase(path, box); };
    }

    w.label("Label27", "Information on results pages, parameters for predefined surface complexation models");
    w.button("Command1", "Go To Page 2").onClick = [this] { Command1_Click(); };
    w.button("cmdMain", "Save and Quit").onClick = [this] { cmdMain_Click(); };
    for (const char* line : {"Line2", "Line3", "Line4", "Line5", "Line6", "Line7"}) w.line(line);

    w("optSolution").onClick = [this] { optSolution_Click(); };
    w("optSolid").onClick = [this] { optSolid_Click(); };
    w.onLoad = [this] { Form_Load(); };
    // The main window's own close control writes nothing; the program ends with it, and an open
    // second page goes with it.
    w.onUserClose = [this] {
        if (frmPage2_.isOpen()) app_.close(frmPage2_);
    };
}

void Program::Form_Load()
{
    try {
        set_ = loadParameters(files_);
    } catch (const qv::Error& e) {
        // Without its parameter file the editor has nothing to work on.
        app_.fatal(e.what());
    }
    dialogDir_ = set_.dataDirectory;

    selectByCode(set_.iterationCode, iterationOptions);
    selectByCode(set_.inputBasisCode, inputBasisOptions);
    selectByCode(set_.precipitationCode, precipitationOptions);
    selectByCode(set_.chargeImbalanceCode, chargeImbalanceOptions);
    selectByCode(set_.activityCode, activityOptions);

    frmMain_("txtTdabase").setText(set_.thermoPath);
    frmMain_("txtSdabase").setText(set_.solidsPath);
    frmMain_("txtOdabase").setText(set_.domPath);
    frmMain_("txtCdabase").setText(set_.componentsPath);

    std::string unreadable;
    show(frmMain_("txtDavies"), &DefaultParameters::daviesB, unreadable);
    reportUnreadable(unreadable);
}

void Program::select(const char* option)
{
    Control& button = frmMain_(option);
    button.setValue(true);
    if (button.onClick) button.onClick();
}

void Program::selectByCode(const qv::Field& code, OptionGroup group)
{
    // A code compares as its kind: a Text never equals a code, so it changes nothing either.
    for (const OptionCode& option : group)
        if (code.equalsNumber(option.code)) {
            select(option.option);
            return;
        }
}

int Program::selectedCode(OptionGroup group) const
{
    for (const OptionCode& option : group)
        if (frmMain_(option.option).value()) return option.code;
    throw std::logic_error(std::string("no option selected in the group of ") + group.front().option);
}

void Program::optSolution_Click() { frmMain_("lblLSstate").setVisible(false); }

void Program::optSolid_Click() { frmMain_("lblLSstate").setVisible(true); }

void Program::chooseDatabase(std::string DefaultParameters::*path, const char* textBox)
{
    const auto chosen = app_.openDialog(databaseFilter, dialogDir_, files_.currentDir());
    if (!chosen) return;
    set_.*path = *chosen;
    frmMain_(textBox).setText(*chosen);
}

void Program::Command1_Click()
{
    // Opens the page (its load fills it from the set) or, when it is open, only shows it again
    // with what the user has typed there.
    app_.open(frmPage2_);
}

void Program::cmdMain_Click()
{
    // The choices go into a copy of the set: a save that fails leaves the set, the files and the
    // window as they were, so that the user can put the failure right and save again.
    DefaultParameters chosen = set_;
    chosen.iterationCode = storedCode(selectedCode(iterationOptions));
    chosen.precipitationCode = storedCode(selectedCode(precipitationOptions));
    chosen.chargeImbalanceCode = storedCode(selectedCode(chargeImbalanceOptions));
    chosen.activityCode = storedCode(selectedCode(activityOptions));
    chosen.inputBasisCode = storedCode(selectedCode(inputBasisOptions));
    chosen.daviesB = storedNumber(frmMain_("txtDavies").text());

    saveParameters(files_, chosen);  // a failure is shown by the dispatcher, naming the file
    set_ = std::move(chosen);

    if (frmPage2_.isOpen()) app_.close(frmPage2_);  // what was typed there and not stored is lost
    app_.end();
}

void Program::show(Control& box, qv::Field DefaultParameters::*member, std::string& unreadable)
{
    const qv::Field& value = set_.*member;
    if (const auto shown = displayText(value)) {
        box.setText(*shown);
        return;
    }
    box.setText(value.asText());
    const FieldPlace& place = placeOf(member);
    if (!unreadable.empty()) unreadable += "; ";
    // The message quotes only the start of a long text: a damaged file may hold megabytes in
    // one field, which no message box can show.
    constexpr std::size_t quoted = 40;
    const std::string& text = value.asText();
    unreadable += "line " + std::to_string(place.line) + ", position " + std::to_string(place.position) + ": \"" +
                  (text.size() > quoted ? text.substr(0, quoted) + "..." : text) + "\"";
}

void Program::reportUnreadable(const std::string& unreadable)
{
    if (unreadable.empty()) return;
    const qv::Error failure(qv::ErrorKind::TypeMismatch, parameterFileName, unreadable);
    app_.message(failure.what(), "Quenvar error", qv::forms::Buttons::Ok, qv::forms::Icon::Critical);
}

}  // namespace prefkit
