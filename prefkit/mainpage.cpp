// frmMain, "Quenvar default settings": the general settings, the four databases and "Save and
// Quit".

#include <stdexcept>
#include <tuple>
#include <utility>

#include "prefkit/check.h"
#include "prefkit/program.h"
#include "quenvar/cli.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"

namespace prefkit {

using qv::forms::Control;

namespace {

// The start directory of the database dialog until the load names the data directory.
constexpr const char* installDirectory = "c:\\Program Files\\quenvar";
constexpr const char* databaseFilter = "Database files (*.MDB)|*.MDB";
constexpr const char* mainTitle = "Quenvar default settings";
constexpr const char* page2Title = "Quenvar default settings (Page 2)";

}  // namespace

Program::Program(qv::forms::Application& app, qv::Files files)
    : app_(app), files_(std::move(files)), frmMain_(app, "frmMain", mainTitle), frmPage2_(app, "frmPage2", page2Title),
      ui_(buildMain(frmMain_)), page2_(buildPage2(frmPage2_)), options_(optionGroups(ui_)), dialogDir_(installDirectory)
{
    wireMain();
    // Opening the page again after it was closed runs this load once more, so the page then
    // shows the values of the set, whatever was typed before.
    frmPage2_.onLoad = [this] { Page2_Load(); };
    // The page's own close control needs no handler: it stores nothing, the forms layer closes
    // the page, and what was typed is gone with it.
    page2_.cmdSave.onClick = [this] { cmdSave_Click(); };
    page2_.cmdSave.setMnemonic('S');
    frmPage2_.shortcut("Ctrl+S", page2_.cmdSave);
    frmPage2_.statusLine();
    for (const Page2Box& b : page2Boxes(false)) {
        page2Edits_.track(b.box);
        b.box.onChange = [this] { refreshTitles(); };
    }
    // Closing the page with values typed and not kept asks first; Save keeps them as its button does.
    frmPage2_.onQueryClose = [this] {
        if (!page2Edits_.modified()) return true;
        switch (
            app_.askSaveDiscardCancel("Save the values typed on page 2 before closing it? (\"Save and Quit\" "
                                      "then writes them to deftempar.dat.)",
                                      "Quenvar")) {
        case qv::forms::Answer::Save: cmdSave_Click(); return false;  // closed by its save, or refused
        case qv::forms::Answer::Discard: return true;
        default: return false;
        }
    };
    // Nothing to pick: a finding of these files names a setting, which the window always shows.
    frmCheck_.onPick = [](const qv::check::Finding&) {};
}

Program::OptionGroups Program::optionGroups(const MainControls& ui)
{
    // The option groups and the codes of the default parameter set they stand for.
    return OptionGroups{
        .iteration = {{{1, ui.opt10}, {2, ui.opt40}, {3, ui.opt100}, {4, ui.opt200}}},
        .precipitation = {{{0, ui.optNoprec}, {1, ui.optPrecfinal}, {2, ui.optPreceach}}},
        .chargeImbalance = {{{0, ui.optYes}, {1, ui.optNo}}},
        .activity = {{{1, ui.optYesA}, {2, ui.optNoA}, {3, ui.optSIT}}},
        .inputBasis = {{{0, ui.optSolution}, {1, ui.optSolid}}},
    };
}

namespace {

// An option button in its frame. It shows no text of its own; the label beside it gives its meaning.
Control& addOption(qv::forms::Window& w, Control& frame, const char* name, const char* labelName, const char* meaning,
                   bool selected = false)
{
    Control& button = w.option(name, "", frame.name());
    button.setContainer(&frame);
    w.label(labelName, meaning).setContainer(&frame);
    if (selected) button.setValue(true);
    return button;
}

// A database row: its label, its text box and its "Choose other" button.
std::pair<Control&, Control&> addDatabaseRow(qv::forms::Window& w, const char* label, const char* meaning,
                                             const char* textBox, const char* button)
{
    w.label(label, meaning);
    Control& box = w.textBox(textBox);
    return {box, w.button(button, "Choose other")};
}

}  // namespace

MainControls Program::buildMain(qv::forms::Window& w)
{
    auto option = [&w](Control& frame, const char* name, const char* labelName, const char* meaning,
                       bool selected = false) -> Control& {
        return addOption(w, frame, name, labelName, meaning, selected);
    };
    w.label("Label7", "Choose the number of iterations:");
    Control& frame3 = w.frame("Frame3", "");
    Control& opt10 = option(frame3, "opt10", "Label1", "200");
    Control& opt40 = option(frame3, "opt40", "Label2", "500");
    Control& opt100 = option(frame3, "opt100", "Label3", "2000", true);
    Control& opt200 = option(frame3, "opt200", "Label8", "5000");

    Control& frame1 = w.frame("Frame1", "");
    Control& optNoprec = option(frame1, "optNoprec", "Label16",
                                "     Oversaturated solids are not allowed to precipitate     (Exceptions: Solids "
                                "specified as infinite, finite or possible)",
                                true);
    Control& optPrecfinal =
        option(frame1, "optPrecfinal", "Label17",
               "Oversaturated solids are allowed to precipitate, but only after the final answer is reached");
    Control& optPreceach =
        option(frame1, "optPreceach", "Label18",
               "Oversaturated solids are allowed to precipitate each time a mineral precipitates or dissolves");

    w.label("Label4", "Terminate if charge imbalance exceeds 30 %?");
    // A frame whose caption was only its own name shows no title.
    Control& frame2 = w.frame("Frame2", "");
    Control& optYes = option(frame2, "optYes", "Label5", "Yes");
    Control& optNo = option(frame2, "optNo", "Label6", "No", true);

    w.label("Label12", "Method for activity correction");
    Control& frame4 = w.frame("Frame4", "");
    Control& optYesA = option(frame4, "optYesA", "Label10", "Davies", true);
    Control& optNoA = option(frame4, "optNoA", "Label11",
                             "Debye-H\xFC"
                             "ckel");  // Windows-1252, as every text
    Control& optSIT = option(frame4, "optSIT", "Label13", "SIT");

    w.label("Label9", "Davies b parameter");
    Control& txtDavies = w.textBox("txtDavies");
    txtDavies.setText("0.3");

    w.label("Label23", "Choose on what basis input concentrations are defined");
    Control& frame6 = w.frame("Frame6", "");
    Control& optSolution = option(frame6, "optSolution", "Label25", "Solution", true);
    Control& optSolid = option(frame6, "optSolid", "Label26", "Solid");
    Control& lblLSstate = w.label("lblLSstate", "State L/S ratio on main menu", false);
    lblLSstate.setContainer(&frame6);

    w.label("Label15", "Choose databases");
    auto row = [&w](const char* label, const char* meaning, const char* textBox, const char* button) {
        return addDatabaseRow(w, label, meaning, textBox, button);
    };
    auto [txtTdabase, cmdChooseTdb] = row("Label19", "Main thermodynamic database", "txtTdabase", "cmdChooseTdb");
    auto [txtSdabase, cmdChooseSdb] = row("Label20", "Solids database", "txtSdabase", "cmdChooseSdb");
    auto [txtCdabase, cmdChooseCdb] = row("Label21", "Component database", "txtCdabase", "cmdChooseCdb");
    auto [txtOdabase, cmdChooseOdb] = row("Label22", "DOM complex database", "txtOdabase", "cmdChooseOdb");

    w.label("Label27", "Information on results pages, parameters for predefined surface complexation models");
    Control& Command1 = w.button("Command1", "Go To Page 2");
    Control& cmdMain = w.button("cmdMain", "Save and Quit");
    for (const char* line : {"Line2", "Line3", "Line4", "Line5", "Line6", "Line7"}) w.line(line);

    Control& mnuFile = w.menu("mnuFile", "File");
    Control& mnuCheck = w.menu("mnuCheck", "Check");
    Control& mnuUndo = w.menu("mnuUndo", "Undo last save");
    Control& mnuQuit = w.menu("mnuQuit", "Quit");
    Control& mnuHelp = w.menu("mnuHelp", "Help");
    Control& mnuAbout = w.menu("mnuAbout", "About");
    w.statusLine();
    return MainControls{opt10,        opt40,      opt100,       opt200,       optNoprec,  optPrecfinal, optPreceach,
                        optYes,       optNo,      optYesA,      optNoA,       optSIT,     txtDavies,    optSolution,
                        optSolid,     lblLSstate, txtTdabase,   cmdChooseTdb, txtSdabase, cmdChooseSdb, txtCdabase,
                        cmdChooseCdb, txtOdabase, cmdChooseOdb, Command1,     cmdMain,    mnuFile,      mnuCheck,
                        mnuUndo,      mnuQuit,    mnuHelp,      mnuAbout};
}

void Program::wireMain()
{
    using P = DefaultParameters;
    const std::tuple<Control&, std::string P::*, Control&> databases[] = {
        {ui_.cmdChooseTdb, &P::thermoPath, ui_.txtTdabase},
        {ui_.cmdChooseSdb, &P::solidsPath, ui_.txtSdabase},
        {ui_.cmdChooseCdb, &P::componentsPath, ui_.txtCdabase},
        {ui_.cmdChooseOdb, &P::domPath, ui_.txtOdabase},
    };
    for (const auto& database : databases) {
        // Named apart: a lambda may not capture a structured binding in every compiler of the build.
        std::string P::*path = std::get<1>(database);
        Control& box = std::get<2>(database);
        std::get<0>(database).onClick = [this, path, &box] { chooseDatabase(path, box); };
    }
    ui_.Command1.onClick = [this] { Command1_Click(); };
    ui_.cmdMain.onClick = [this] { cmdMain_Click(); };
    ui_.optSolution.onClick = [this] { optSolution_Click(); };
    ui_.optSolid.onClick = [this] { optSolid_Click(); };
    ui_.mnuCheck.onClick = [this] { mnuCheck_Click(); };
    ui_.mnuUndo.onClick = [this] { mnuUndo_Click(); };
    ui_.mnuQuit.onClick = [this] { mnuQuit_Click(); };
    ui_.mnuAbout.onClick = [this] { mnuAbout_Click(); };
    frmMain_.onLoad = [this] { Form_Load(); };
    // The main window's own close control asks before unsaved settings are lost; the program ends
    // with it, and an open second page goes with it.
    frmMain_.onQueryClose = [this] { return confirmLeave("closing"); };
    frmMain_.onUserClose = [this] {
        if (frmPage2_.isOpen()) app_.close(frmPage2_);
    };

    // Every choice and box of the window counts for the unsaved-changes mark.
    const OptionGroups& g = options_;
    auto trackGroup = [this](OptionGroup group) {
        for (const OptionCode& option : group) {
            mainEdits_.track(option.option);
            auto own = option.option.onClick;
            option.option.onClick = [this, own] {
                if (own) own();
                refreshTitles();
            };
        }
    };
    trackGroup(g.iteration);
    trackGroup(g.precipitation);
    trackGroup(g.chargeImbalance);
    trackGroup(g.activity);
    trackGroup(g.inputBasis);
    for (Control* box : {&ui_.txtDavies, &ui_.txtTdabase, &ui_.txtSdabase, &ui_.txtCdabase, &ui_.txtOdabase}) {
        mainEdits_.track(*box);
        box->onChange = [this] { refreshTitles(); };
    }

    // Keyboard: mnemonics (the captions stay as they are) and the standard shortcuts.
    ui_.cmdMain.setMnemonic('S');
    ui_.Command1.setMnemonic('P');
    ui_.cmdChooseTdb.setMnemonic('h');
    ui_.cmdChooseSdb.setMnemonic('o');
    ui_.cmdChooseCdb.setMnemonic('e');
    ui_.cmdChooseOdb.setMnemonic('r');
    ui_.mnuFile.setMnemonic('F');
    ui_.mnuCheck.setMnemonic('C');
    ui_.mnuUndo.setMnemonic('U');
    ui_.mnuQuit.setMnemonic('Q');
    ui_.mnuHelp.setMnemonic('H');
    ui_.mnuAbout.setMnemonic('A');
    frmMain_.shortcut("Ctrl+S", ui_.cmdMain);
    frmMain_.shortcut("Ctrl+K", ui_.mnuCheck);
    frmMain_.shortcut("Ctrl+Z", ui_.mnuUndo);
    frmMain_.shortcut("Ctrl+Q", ui_.mnuQuit);
    frmMain_.shortcut("F1", ui_.mnuAbout);
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

    selectByCode(set_.iterationCode, options_.iteration);
    selectByCode(set_.inputBasisCode, options_.inputBasis);
    selectByCode(set_.precipitationCode, options_.precipitation);
    selectByCode(set_.chargeImbalanceCode, options_.chargeImbalance);
    selectByCode(set_.activityCode, options_.activity);

    ui_.txtTdabase.setText(set_.thermoPath);
    ui_.txtSdabase.setText(set_.solidsPath);
    ui_.txtOdabase.setText(set_.domPath);
    ui_.txtCdabase.setText(set_.componentsPath);

    std::string unreadable;
    show(ui_.txtDavies, &DefaultParameters::daviesB, unreadable);

    loaded_ = set_;
    try {
        loadedBytes_ = files_.readBytes(parameterFileName);
    } catch (const qv::Error&) {
        loadedBytes_.clear();  // read a moment ago; an undo then asks before overwriting it
    }
    mainEdits_.snapshot();
    ui_.mnuUndo.setEnabled(canUndoLastSave(files_, set_));
    refreshTitles();
    reportUnreadable(unreadable);
}

bool Program::modified() const
{
    return mainEdits_.modified() || !(set_ == loaded_) || (frmPage2_.isOpen() && page2Edits_.modified());
}

void Program::refreshTitles()
{
    const bool changed = modified();
    frmMain_.setCaption(qv::forms::titleWithFile(mainTitle, parameterFileName, changed));
    frmPage2_.setCaption(qv::forms::titleWithFile(page2Title, parameterFileName, changed));
}

bool Program::confirmLeave(const std::string& doing)
{
    if (!modified()) return true;
    const std::string question = std::string("Save changes to ") + parameterFileName + " before " + doing + "?";
    switch (app_.askSaveDiscardCancel(question, "Quenvar")) {
    case qv::forms::Answer::Save:
        cmdMain_Click();  // ends the program after its save
        return false;     // refused: the window stays, with what was typed
    case qv::forms::Answer::Discard: return true;
    default: return false;
    }
}

void Program::mnuQuit_Click()
{
    if (!confirmLeave("quitting")) return;
    if (frmPage2_.isOpen()) app_.close(frmPage2_);
    app_.end();
}

void Program::mnuAbout_Click()
{
    qv::cli::showAbout(app_, "prefkit",
                       "Edits Quenvar's default settings (deftempar.dat) and its database paths (dabase.txt).");
}

void Program::mnuCheck_Click()
{
    qv::check::Report report;
    checkDefaults(files_, parameterFileName, report);
    checkDabase(files_, qv::joinPath(set_.dataDirectory, qv::dabaseName), report);
    frmCheck_.show(report, parameterFileName);
}

void Program::mnuUndo_Click()
{
    // A save ends the program, so the save to undo is the last one of an earlier run: its
    // backups stand beside the files it wrote.
    if (!canUndoLastSave(files_, set_)) {
        ui_.mnuUndo.setEnabled(false);
        app_.message("There is no save to undo.", "Undo last save - Quenvar");
        return;
    }
    std::string question = std::string("Undo the last save of the default settings?\r\n\r\n") + parameterFileName +
                           " and " + qv::dabaseName + " are put back as they were before it.";
    if (modified()) question += "\r\nThe changes shown and not saved are lost.";
    if (!app_.askYesNo(question, "Undo last save - Quenvar")) return;
    bool changedSince = false;
    try {
        changedSince = files_.readBytes(parameterFileName) != loadedBytes_;
    } catch (const qv::Error&) {
        changedSince = true;
    }
    if (changedSince && !app_.askYesNo(std::string(parameterFileName) +
                                           " was changed by another program since this window read it. Undo the "
                                           "last save over that change?",
                                       "Undo last save - Quenvar"))
        return;
    undoLastSave(files_, set_);  // a failure is shown by the dispatcher, naming the file
    if (frmPage2_.isOpen()) app_.close(frmPage2_);
    Form_Load();
    frmMain_.setStatus(std::string("Undo: ") + parameterFileName + " and " + qv::dabaseName + " restored");
}

void Program::select(Control& button)
{
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
        if (option.option.value()) return option.code;
    throw std::logic_error("no option selected in the group of " + group.front().option.name());
}

void Program::optSolution_Click() { ui_.lblLSstate.setVisible(false); }

void Program::optSolid_Click() { ui_.lblLSstate.setVisible(true); }

void Program::chooseDatabase(std::string DefaultParameters::*path, Control& textBox)
{
    const auto chosen = app_.openDialog(databaseFilter, dialogDir_, files_.currentDir());
    if (!chosen) return;
    set_.*path = *chosen;
    textBox.setText(*chosen);
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
    chosen.iterationCode = storedCode(selectedCode(options_.iteration));
    chosen.precipitationCode = storedCode(selectedCode(options_.precipitation));
    chosen.chargeImbalanceCode = storedCode(selectedCode(options_.chargeImbalance));
    chosen.activityCode = storedCode(selectedCode(options_.activity));
    chosen.inputBasisCode = storedCode(selectedCode(options_.inputBasis));
    const auto daviesB = typedField(ui_.txtDavies, "Davies b parameter");
    if (!daviesB || !takeTypedPaths(chosen)) return;
    chosen.daviesB = *daviesB;

    saveParameters(files_, chosen);  // a failure is shown by the dispatcher, naming the file
    set_ = std::move(chosen);

    if (frmPage2_.isOpen()) app_.close(frmPage2_);  // what was typed there and not stored is lost
    app_.end();
}

std::optional<qv::Field> Program::typedField(Control& box, const std::string& field)
{
    const qv::TypedNumber typed = qv::typedNumber(box.text());
    if (typed.valid()) return qv::Field::number(typed.value);
    if (typed.empty()) return storedNumber(box.text());
    box.window().setFocus(&box);
    app_.message(qv::notANumberMessage(field, box.text()), "Quenvar", qv::forms::Buttons::Ok,
                 qv::forms::Icon::Exclamation);
    return std::nullopt;
}

bool Program::takeTypedPaths(DefaultParameters& chosen)
{
    // A path typed into a box counts as one chosen with "Choose other", once it names a file that
    // exists; a box left as the files hold it is kept as it is, whether or not its file exists.
    using P = DefaultParameters;
    const std::tuple<Control&, std::string P::*, const char*> databases[] = {
        {ui_.txtTdabase, &P::thermoPath, "Main thermodynamic database"},
        {ui_.txtSdabase, &P::solidsPath, "Solids database"},
        {ui_.txtCdabase, &P::componentsPath, "Component database"},
        {ui_.txtOdabase, &P::domPath, "DOM complex database"},
    };
    for (const auto& [box, path, field] : databases) {
        const std::string typed = box.text();
        if (typed == chosen.*path) continue;
        const std::string trimmed = qv::trimBlanks(typed);
        bool found = false;
        try {
            found = !trimmed.empty() && files_.exists(trimmed);
        } catch (const qv::Error&) {
            found = false;  // a path that cannot even be looked at names no file either
        }
        if (!found) {
            frmMain_.setFocus(&box);
            app_.message("The " + std::string(field) + " \"" + typed + "\" is not an existing file.", "Quenvar",
                         qv::forms::Buttons::Ok, qv::forms::Icon::Exclamation);
            return false;
        }
        chosen.*path = trimmed;
    }
    return true;
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
