#include "humkit/window.h"

#include <cmath>

#include "humkit/check.h"
#include "quenvar/cli.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"

namespace humkit {

using qv::forms::Buttons;
using qv::forms::Control;
using qv::forms::Icon;

const std::array<Program::CountRow, 3> Program::countRows{{
    {maxMonodentate, 1},
    {maxBidentate, 2},
    {maxTridentate, 3},
}};

namespace {

// How a site number stands in its box: a number in the display form, a word as it is.
std::string siteText(const qv::Field& site) { return site.isText() ? site.asText() : qv::displayForm(site.asNumber()); }

// A site number as typed: an empty box is site 0, a decimal comma a decimal point. The typed
// text has been checked (Program::typedSlip) before it is taken.
qv::Field siteValue(const Control& box) { return qv::Field::number(qv::typedNumber(box.text()).value); }

// A number as a message quotes it: the display form without its sign blank.
std::string shownNumber(double value)
{
    std::string s = qv::displayForm(value);
    return s.starts_with(' ') ? s.substr(1) : s;
}

// The names under which the refusals of typed slips name the boxes.
const std::array<const char*, 3> countNames{"monodentate sites", "bidentate site combinations",
                                            "tridentate site combinations"};
const std::array<const char*, 3> siteKinds{"Monodentate", "Bidentate", "Tridentate"};

}  // namespace

Controls Program::buildControls(qv::forms::Window& w)
{
    using qv::forms::makeControlArray;
    Control& cboSettings = w.comboBox("cboSettings");
    Control& cmdNewset = w.button("cmdNewset", "Add new set for special cations");
    Control& lblWhich = w.label("lblWhich", "Which?", false);
    Control& cboCations = w.comboBox("cboCations", false);
    Control& cmdDelete = w.button("cmdDelete", "Delete this set");
    w.label("Label1", "Define no. of sites for monodentate complexes (max 8)");
    Control& txtMonono = w.textBox("txtMonono");
    w.label("Label3", "Monodentate site no.");
    auto column = [&w]<std::size_t N>(const char* name) {
        return makeControlArray<N>([&](int i) -> Control& { return w.textBox(name, false, i); });
    };
    auto txtMonosite = column.operator()<maxMonodentate>("txtMonosite");
    w.label("Label2", "Define no. of site combinations for bidentate complexes (max 12)");
    Control& txtBino = w.textBox("txtBino");
    w.label("Label4", "Bidentate site no.");
    auto txtBisite1 = column.operator()<maxBidentate>("txtBisite1");
    auto txtBisite2 = column.operator()<maxBidentate>("txtBisite2");
    w.label("Label7", "Define no. of site combinations for tridentate complexes (max 16)");
    Control& txtTrino = w.textBox("txtTrino");
    w.label("Label8", "Tridentate site no.");
    auto txtTrisite1 = column.operator()<maxTridentate>("txtTrisite1");
    auto txtTrisite2 = column.operator()<maxTridentate>("txtTrisite2");
    auto txtTrisite3 = column.operator()<maxTridentate>("txtTrisite3");
    w.label("Label5", "Heterogeneity parameters");
    w.label("Label6", "Choose number of site groups");
    Control& cboNumber = w.comboBox("cboNumber");
    auto lblSite = makeControlArray<maxGroups>([&](int g) -> Control& {
        return w.label("lblSite", "Relative concentration of site group " + std::to_string(g) + " (%)", g <= 3, g);
    });
    auto txtSite = makeControlArray<maxGroups>([&](int g) -> Control& { return w.textBox("txtSite", g <= 3, g); });
    Control& cmdReset = w.button("cmdReset", "Reset");
    Control& cmdSave = w.button("cmdSave", "Save settings to file");
    w.menu("mnuFile", "File");
    Control& mnuFileOpen = w.menu("mnuFileOpen", "Open settings file");
    Control& mnuFileSave = w.menu("mnuFileSave", "Save settings file");
    Control& mnuFileUndo = w.menu("mnuFileUndo", "Undo last save");
    Control& mnuFileCheck = w.menu("mnuFileCheck", "Check");
    Control& mnuFileExit = w.menu("mnuFileExit", "Exit");
    w.statusLine();
    return Controls{cboSettings, cmdNewset,   lblWhich,    cboCations,  cmdDelete,    txtMonono,
                    txtMonosite, txtBino,     txtBisite1,  txtBisite2,  txtTrino,     txtTrisite1,
                    txtTrisite2, txtTrisite3, cboNumber,   lblSite,     txtSite,      cmdReset,
                    cmdSave,     mnuFileOpen, mnuFileSave, mnuFileUndo, mnuFileCheck, mnuFileExit};
}

Program::Program(qv::forms::Application& app, std::string startDir)
    : app_(app), frmMain_(app, "frmMain", std::string("New file") + captionSuffix), frmCheck_(app),
      ui_(buildControls(frmMain_)), files_(std::move(startDir))
{
    frmMain_.onLoad = [this] { formLoad(); };
    ui_.cboSettings.onClick = [this] { switchSet(); };
    ui_.cmdNewset.onClick = [this] { offerCations(); };
    ui_.cboCations.onClick = [this] { addCationSet(); };
    ui_.cmdDelete.onClick = [this] { deleteSet(); };
    ui_.cmdReset.onClick = [this] { cmdReset_Click(); };
    ui_.cmdSave.onClick = [this] { writedb(); };
    ui_.mnuFileSave.onClick = [this] { writedb(); };
    ui_.mnuFileOpen.onClick = [this] { opendb(); };
    ui_.mnuFileUndo.onClick = [this] { mnuFileUndo_Click(); };
    ui_.mnuFileCheck.onClick = [this] { mnuFileCheck_Click(); };
    ui_.mnuFileExit.onClick = [this] { mnuFileExit_Click(); };
    frmMain_.onQueryClose = [this] { return settleChanges("closing"); };
    frmCheck_.onPick = [this](const qv::check::Finding& f) { showFinding(f); };
    ui_.cboNumber.onClick = [this] { Numberchange(); };
    // The count boxes and the site boxes each governs, by row, column and position.
    countBoxes_ = {&ui_.txtMonono, &ui_.txtBino, &ui_.txtTrino};
    auto take = [this](int row, const auto& column) {
        std::vector<Control*> boxes;
        for (int i = 1; i <= column.size(); ++i) boxes.push_back(&column(i));
        siteBoxes_[static_cast<std::size_t>(row)].push_back(std::move(boxes));
    };
    take(0, ui_.txtMonosite);
    take(1, ui_.txtBisite1);
    take(1, ui_.txtBisite2);
    take(2, ui_.txtTrisite1);
    take(2, ui_.txtTrisite2);
    take(2, ui_.txtTrisite3);
    for (int row = 0; row < 3; ++row) countBox(row).onChange = [this, row] { countChange(row); };

    // Every change and click may change what the document holds: the caption follows.
    for (const auto& control : frmMain_.controls()) {
        for (std::function<void()>* event : {&control->onChange, &control->onClick}) {
            *event = [this, handler = *event] {
                if (handler) handler();
                updateTitle();
            };
        }
    }
    groupEdits_.track(ui_.cboNumber);
    for (int g = 1; g <= maxGroups; ++g) groupEdits_.track(ui_.txtSite(g));

    // The keyboard.
    frmMain_("mnuFile").setMnemonic('F');
    ui_.mnuFileOpen.setMnemonic('O');
    ui_.mnuFileSave.setMnemonic('S');
    ui_.mnuFileUndo.setMnemonic('U');
    ui_.mnuFileCheck.setMnemonic('C');
    ui_.mnuFileExit.setMnemonic('x');
    ui_.cmdNewset.setMnemonic('A');
    ui_.cmdDelete.setMnemonic('D');
    ui_.cmdReset.setMnemonic('R');
    ui_.cmdSave.setMnemonic('S');
    frmMain_.shortcut("Ctrl+O", ui_.mnuFileOpen);
    frmMain_.shortcut("Ctrl+S", ui_.mnuFileSave);
    frmMain_.shortcut("Ctrl+Z", ui_.mnuFileUndo);
    frmMain_.shortcut("Ctrl+K", ui_.mnuFileCheck);
    frmMain_.shortcut("Ctrl+Q", ui_.mnuFileExit);
    frmMain_.shortcut("F1", [this] { showAbout(); });
    ui_.mnuFileUndo.setEnabled(false);
}

// ---- Start-up -------------------------------------------------------------------------------

void Program::formLoad()
{
    // Without dabase.txt the tool has nothing to work on: such a failure ends the program.
    try {
        files_.changeDir(qv::candidateDirectory(files_, qv::toolInstallDir));
        const std::string dataDir = files_.currentDir();
        dialogDir_ = dataDir;
        // A freshly installed dabase.txt holds "Start": it gets the paths of the data directory.
        if (qv::readDabase(files_, 1)[0].equalsText("Start")) {
            qv::writeDabase(files_, {qv::joinPath(dataDir, "thermo.mdb"), qv::joinPath(dataDir, "type6.mdb"),
                                     qv::joinPath(dataDir, "comp.mdb"), qv::joinPath(dataDir, "gaussian.mdb")});
        }
        compPath_ = qv::readDabase(files_, 4)[2].asText();
    } catch (const qv::Error& e) {
        app_.fatal(e.what());
    }

    // The cations: components whose name ends in "+" or in "+" and one more character ("Ca+2").
    // A failure while reading comp.mdb is shown; the cations read so far stay offered.
    Control& cations = ui_.cboCations;
    try {
        qv::scanComponents(files_, compPath_, 400, [&](const qv::Component& comp) {
            const std::string& name = comp.name;
            if (name.size() >= 2 && (name.back() == '+' || name[name.size() - 2] == '+')) cations.addItem(name);
            return true;
        });
    } catch (const qv::Error& e) {
        app_.message(e.what(), "Quenvar error", Buttons::Ok, Icon::Critical);
    }

    Control& settings = ui_.cboSettings;
    settings.clear();
    settings.addItem(generalSettingsName);
    settings.setText(generalSettingsName);
    doc_ = SiteDocument{};

    Control& number = ui_.cboNumber;
    number.clear();
    for (const char* n : {"2", "3", "4"}) number.addItem(n);
    number.setText("3");
    markSaved();
}

// ---- The count boxes ------------------------------------------------------------------------

void Program::countChange(int row)
{
    const auto r0 = static_cast<std::size_t>(row);
    const CountRow& r = countRows[r0];
    Control& box = countBox(row);
    // A count that is not a number, or outside 0 to the maximum, is refused: the box gets back the
    // count it showed before, and the rows stay as they were.
    const std::string typed = box.text();
    const qv::TypedNumber count = qv::typedNumber(typed);
    const double shown = std::floor(count.value);
    if (!count.empty() && (!count.valid() || shown < 0 || shown > r.maximum)) {
        const std::string field = std::string("Number of ") + countNames[r0];
        app_.message(count.valid() ? "The number of " + std::string(countNames[r0]) + " is 0 to " +
                                         std::to_string(r.maximum) + ", not \"" + typed + "\"."
                                   : qv::notANumberMessage(field, typed),
                     "Quenvar", Buttons::Ok, Icon::Exclamation);
        box.setText(countTexts_[r0]);  // its change event shows the rows of that count again
        return;
    }
    countTexts_[r0] = typed;
    shownCounts_[r0] = shown;
    const int columns = r.columns;
    for (int i = 1; i <= r.maximum; ++i)
        for (int column = 0; column < columns; ++column) {
            Control& box = site(row, column, i);
            if (i <= shown) {
                box.setVisible(true);
            } else {
                box.setText("");
                box.setVisible(false);
            }
        }
}

void Program::setCount(int row, const std::string& text)
{
    Control& box = countBox(row);
    if (box.text() == text)
        countChange(row);
    else
        box.setText(text);  // the change event runs the rule
}

// ---- Procedures -----------------------------------------------------------------------------

std::optional<std::string> Program::typedSlip() const
{
    for (int row = 0; row < 3; ++row) {
        const CountRow& r = countRows[static_cast<std::size_t>(row)];
        for (int i = 1; i <= shownCounts_[static_cast<std::size_t>(row)] && i <= r.maximum; ++i)
            for (int column = 0; column < r.columns; ++column) {
                const std::string& text = site(row, column, i).text();
                if (qv::typedNumber(text).kind != qv::TypedNumber::Kind::Invalid) continue;
                std::string field =
                    std::string(siteKinds[static_cast<std::size_t>(row)]) + " site no. " + std::to_string(i);
                if (r.columns > 1) field += ", site " + std::to_string(column + 1);
                return qv::notANumberMessage(field, text);
            }
    }
    return std::nullopt;
}

bool Program::refuseTypedSlip(const std::string& what)
{
    const auto slip = typedSlip();
    if (!slip) return false;
    app_.message(*slip + " " + what, "Quenvar", Buttons::Ok, Icon::Exclamation);
    return true;
}

void Program::Saveset()
{
    SiteSet& s = doc_.current();
    s.monoCount = static_cast<std::int16_t>(shownCounts_[0]);
    s.biCount = static_cast<std::int16_t>(shownCounts_[1]);
    s.triCount = static_cast<std::int16_t>(shownCounts_[2]);
    for (int i = 1; i <= s.monoCount; ++i) s.mono[static_cast<std::size_t>(i - 1)] = siteValue(site(0, 0, i));
    for (int j = 1; j <= s.biCount; ++j) {
        auto& pair = s.bi[static_cast<std::size_t>(j - 1)];
        pair[0] = siteValue(site(1, 0, j));
        pair[1] = siteValue(site(1, 1, j));
    }
    for (int k = 1; k <= s.triCount; ++k) {
        auto& triple = s.tri[static_cast<std::size_t>(k - 1)];
        triple[0] = siteValue(site(2, 0, k));
        triple[1] = siteValue(site(2, 1, k));
        triple[2] = siteValue(site(2, 2, k));
    }
}

void Program::Readset()
{
    const SiteSet& s = doc_.current();
    shownCounts_ = {double(s.monoCount), double(s.biCount), double(s.triCount)};
    setCount(0, qv::displayForm(s.monoCount));
    setCount(1, qv::displayForm(s.biCount));
    setCount(2, qv::displayForm(s.triCount));
    for (int i = 1; i <= s.monoCount; ++i) site(0, 0, i).setText(siteText(s.mono[static_cast<std::size_t>(i - 1)]));
    for (int j = 1; j <= s.biCount; ++j) {
        const auto& pair = s.bi[static_cast<std::size_t>(j - 1)];
        site(1, 0, j).setText(siteText(pair[0]));
        site(1, 1, j).setText(siteText(pair[1]));
    }
    for (int k = 1; k <= s.triCount; ++k) {
        const auto& triple = s.tri[static_cast<std::size_t>(k - 1)];
        site(2, 0, k).setText(siteText(triple[0]));
        site(2, 1, k).setText(siteText(triple[1]));
        site(2, 2, k).setText(siteText(triple[2]));
    }
}

void Program::Clearaway()
{
    for (int row = 0; row < 3; ++row) {
        const CountRow& r = countRows[static_cast<std::size_t>(row)];
        for (int i = 1; i <= shownCounts_[static_cast<std::size_t>(row)] && i <= r.maximum; ++i)
            for (int column = 0; column < r.columns; ++column) site(row, column, i).setVisible(false);
    }
    for (int row = 0; row < 3; ++row) setCount(row, "");
}

void Program::resetter()
{
    // A new document: one set, "General settings", three site groups.
    doc_ = SiteDocument{};
    Clearaway();
    Control& settings = ui_.cboSettings;
    settings.clear();
    settings.addItem(generalSettingsName);
    settings.setText(generalSettingsName);
    ui_.cboNumber.setText("3");
    Numberchange();
    for (int g = 1; g <= 3; ++g) ui_.txtSite(g).setText("");
    fileName_.clear();
    markSaved();
}

void Program::Numberchange()
{
    const std::string n = ui_.cboNumber.text();
    auto show = [&](int g, bool visible) {
        ui_.lblSite(g).setVisible(visible);
        ui_.txtSite(g).setVisible(visible);
        if (!visible) ui_.txtSite(g).setText("");
    };
    if (n == "2") {
        show(3, false);
        show(4, false);
    } else if (n == "3") {
        show(3, true);
        show(4, false);
    } else if (n == "4") {
        show(3, true);
        show(4, true);
    }
}

// ---- Sets -----------------------------------------------------------------------------------

void Program::switchSet()
{
    if (refuseTypedSlip("The set shown stays.")) {
        ui_.cboSettings.setText(doc_.current().name);
        return;
    }
    Saveset();
    if (const int p = doc_.find(ui_.cboSettings.text())) doc_.currentSet = static_cast<std::int16_t>(p);
    Readset();
    ui_.cboSettings.setText(doc_.current().name);
}

void Program::offerCations()
{
    ui_.lblWhich.setVisible(true);
    ui_.cboCations.setVisible(true);
}

void Program::addCationSet()
{
    const std::string cation = ui_.cboCations.text();
    if (doc_.setCount >= maxSets) {
        app_.message("A site file holds at most 10 sets: no set was added for " + cation + ".", "Quenvar");
        return;
    }
    if (refuseTypedSlip("No set was added.")) return;
    Control& settings = ui_.cboSettings;
    ++doc_.setCount;
    doc_.current().name = settings.text();
    Saveset();
    settings.addItem(cation);
    settings.setText(cation);
    doc_.currentSet = doc_.setCount;
    doc_.current().name = cation;
    Clearaway();
}

void Program::deleteSet()
{
    Control& settings = ui_.cboSettings;
    const int p = doc_.find(settings.text());
    if (p == 0) return;
    // The window shows set 1 afterwards; a surviving shown set keeps what its boxes hold.
    if (doc_.currentSet != p && doc_.currentSet <= doc_.setCount) {
        if (refuseTypedSlip("No set was deleted.")) return;
        Saveset();
    }
    settings.removeItem(p - 1);
    doc_.removeSet(p);
    showFirstSet();
}

void Program::showFirstSet()
{
    doc_.currentSet = 1;
    Readset();
    ui_.cboSettings.setText(doc_.current().name);
}

// ---- Files ----------------------------------------------------------------------------------

void Program::opendb()
{
    if (!settleChanges("opening another file")) return;
    const auto path = app_.openDialog(siteFileFilter, dialogDir_, files_.currentDir());
    if (path) openPath(*path);
}

void Program::openPath(const std::string& path)
{
    // The whole file is read and checked before the window takes any of it: a cancelled dialog
    // or a file that does not fit leaves the window and the document as they were.
    SiteDocument read;
    try {
        read = readSiteFile(files_.readBytes(path), path);
    } catch (const qv::Error& e) {
        app_.message(e.what(), "Quenvar error", Buttons::Ok, Icon::Critical);
        return;
    }
    showDocument(std::move(read), path);
    // An undo restores the file it saved: after another file was opened, that file is not shown.
    if (undo_.file() != path) undo_.forget();
    ui_.mnuFileUndo.setEnabled(undo_.check() != qv::SaveUndo::State::Nothing);
    frmMain_.setStatus("Opened " + qv::check::baseName(path));
}

void Program::showDocument(SiteDocument doc, const std::string& path)
{
    resetter();
    doc_ = std::move(doc);

    Control& settings = ui_.cboSettings;
    settings.clear();
    for (int p = 1; p <= doc_.setCount; ++p) settings.addItem(doc_.set(p).name);

    ui_.cboNumber.setText(qv::wholeForm(doc_.groupCount));
    Numberchange();
    for (int g = 1; g <= doc_.groupCount; ++g)
        ui_.txtSite(g).setText(qv::displayForm(doc_.fractions[static_cast<std::size_t>(g - 1)] * 100));

    showFirstSet();
    fileName_ = path;
    markSaved();
}

bool Program::writedb()
{
    // Typed slips are refused before anything is taken from the window.
    if (refuseTypedSlip("Nothing was saved.")) return false;

    // Quenvar knows two, three or four site groups; there are four percentage boxes.
    const std::string typed = ui_.cboNumber.text();
    const qv::TypedNumber number = qv::typedNumber(typed);
    const double groups = std::trunc(number.value);
    if (!number.valid() || groups < minGroups || groups > maxGroups) {
        app_.message("The number of site groups must be 2, 3 or 4, not \"" + typed + "\". Nothing was saved.",
                     "Quenvar");
        return false;
    }
    std::array<double, maxGroups> percent{};
    double sum = 0;
    for (int g = 1; g <= groups; ++g) {
        const std::string& text = ui_.txtSite(g).text();
        const qv::TypedNumber p = qv::typedNumber(text);
        if (p.kind == qv::TypedNumber::Kind::Invalid) {
            app_.message(qv::notANumberMessage(ui_.lblSite(g).caption(), text) + " Nothing was saved.", "Quenvar",
                         Buttons::Ok, Icon::Exclamation);
            return false;
        }
        percent[static_cast<std::size_t>(g - 1)] = p.value;
        sum += p.value;
    }
    // Quenvar takes the fractions as they stand; a sum other than 100 % is most often a slip.
    if (std::abs(sum - 100) > 1e-4 && !app_.askYesNo("The relative concentrations of the site groups add up to " +
                                                         shownNumber(sum) + " %, not 100 %. Save them anyway?",
                                                     "Quenvar"))
        return false;

    doc_.current().name = ui_.cboSettings.text();
    Saveset();

    const auto path = app_.saveDialog(siteFileFilter, dialogDir_, files_.currentDir());
    if (!path) return false;
    // The old file is kept beside it (name.bak) for "Undo last save"; failing to keep it stops
    // the save before the file is touched.

    doc_.groupCount = static_cast<std::int16_t>(groups);
    for (int g = 1; g <= doc_.groupCount; ++g)
        doc_.fractions[static_cast<std::size_t>(g - 1)] = percent[static_cast<std::size_t>(g - 1)] / 100;

    // The whole file is written beside the chosen one and then put in its place in one step: a
    // failure leaves the old file whole and no partial file behind.
    try {
        undo_.rewrite(*path + ".tmp", *path, writeSiteFile(doc_, *path));
    } catch (const qv::Error& e) {
        app_.message("The settings were not saved to " + *path + ". " + e.what(), "Quenvar error", Buttons::Ok,
                     Icon::Critical);
        return false;
    }
    fileName_ = *path;
    markSaved();
    ui_.mnuFileUndo.setEnabled(undo_.check() != qv::SaveUndo::State::Nothing);
    frmMain_.setStatus("Saved " + qv::check::baseName(*path));
    return true;
}

// ---- Unsaved changes ------------------------------------------------------------------------

std::vector<std::string> Program::documentWords() const
{
    std::vector<std::string> words{std::to_string(doc_.setCount)};
    auto number = [](const std::string& text) {
        const qv::TypedNumber typed = qv::typedNumber(text);
        return typed.kind == qv::TypedNumber::Kind::Invalid ? text : qv::displayForm(typed.value);
    };
    for (int p = 1; p <= doc_.setCount; ++p) {
        if (p == doc_.currentSet) {
            // The shown set as its boxes hold it.
            words.push_back(ui_.cboSettings.text());
            for (int row = 0; row < 3; ++row) {
                const CountRow& r = countRows[static_cast<std::size_t>(row)];
                const double count = shownCounts_[static_cast<std::size_t>(row)];
                words.push_back(qv::displayForm(count));
                for (int i = 1; i <= count && i <= r.maximum; ++i)
                    for (int column = 0; column < r.columns; ++column)
                        words.push_back(number(site(row, column, i).text()));
            }
            continue;
        }
        const SiteSet& s = doc_.set(p);
        words.push_back(s.name);
        words.push_back(qv::displayForm(s.monoCount));
        for (int i = 0; i < s.monoCount; ++i) words.push_back(siteText(s.mono[static_cast<std::size_t>(i)]));
        words.push_back(qv::displayForm(s.biCount));
        for (int j = 0; j < s.biCount; ++j)
            for (const qv::Field& f : s.bi[static_cast<std::size_t>(j)]) words.push_back(siteText(f));
        words.push_back(qv::displayForm(s.triCount));
        for (int k = 0; k < s.triCount; ++k)
            for (const qv::Field& f : s.tri[static_cast<std::size_t>(k)]) words.push_back(siteText(f));
    }
    return words;
}

bool Program::modified() const { return groupEdits_.modified() || documentWords() != savedWords_; }

void Program::markSaved()
{
    savedWords_ = documentWords();
    groupEdits_.snapshot();
    updateTitle();
}

std::string Program::shownFileName() const { return fileName_.empty() ? std::string("New file") : fileName_; }

void Program::updateTitle()
{
    frmMain_.setCaption(qv::forms::titleWithFile(std::string(captionSuffix).substr(3), shownFileName(), modified()));
}

bool Program::settleChanges(const std::string& what)
{
    if (!modified()) return true;
    const std::string file = fileName_.empty() ? "the new settings file" : qv::check::baseName(fileName_);
    switch (app_.askSaveDiscardCancel("Save changes to " + file + " before " + what + "?", "Quenvar")) {
    case qv::forms::Answer::Save: return writedb();
    case qv::forms::Answer::Discard: return true;
    default: return false;
    }
}

void Program::cmdReset_Click()
{
    if (settleChanges("resetting")) resetter();
}

void Program::mnuFileExit_Click()
{
    if (settleChanges("quitting")) app_.end();
}

// ---- Undo of the last save ------------------------------------------------------------------

void Program::mnuFileUndo_Click()
{
    using State = qv::SaveUndo::State;
    const State state = undo_.check();
    const std::string name = qv::check::baseName(undo_.file());
    if (state == State::Nothing) {
        app_.message("There is no save to undo.", "Quenvar");
        return;
    }
    if (state == State::BackupChanged) {
        app_.message("The last save of " + name + " cannot be undone: its backup " + qv::backupName(name) +
                         " is gone or was changed since.",
                     "Quenvar", Buttons::Ok, Icon::Exclamation);
        return;
    }
    std::string question = state == State::Ready
                               ? "Undo the last save of " + name + "? The file gets back what it held before it."
                               : name +
                                     " was changed by another program since it was saved here. Undo the last "
                                     "save anyway and lose that change?";
    if (modified()) question += " The changes not saved are lost.";
    if (!app_.askYesNo(question, "Quenvar")) return;

    const std::string path = undo_.file();
    try {
        undo_.restore(state == State::FileChanged);
    } catch (const qv::Error& e) {
        app_.message(e.what(), "Quenvar error", Buttons::Ok, Icon::Critical);
        return;
    }
    ui_.mnuFileUndo.setEnabled(false);
    frmMain_.setStatus("Undo: " + name + " restored");
    // The window shows the file as it now stands.
    try {
        showDocument(readSiteFile(files_.readBytes(path), path), path);
    } catch (const qv::Error& e) {
        app_.message(e.what(), "Quenvar error", Buttons::Ok, Icon::Critical);
    }
}

void Program::showAbout()
{
    qv::cli::showAbout(app_, "humkit", "Edits the HBM humic binding-site settings of Quenvar (*.MSI.TXT).");
}

// ---- Checks ---------------------------------------------------------------------------------

void Program::mnuFileCheck_Click()
{
    if (fileName_.empty()) {
        app_.message("The check reads a settings file: open one or save this one first.", "Quenvar");
        return;
    }
    qv::check::Report report;
    const CationNames cations = readCationNames(files_, compPath_, report);
    checkSiteFile(files_, fileName_, cations, report);
    frmCheck_.show(report, fileName_);
}

void Program::showFinding(const qv::check::Finding& finding)
{
    if (finding.name.empty() || doc_.find(finding.name) == 0) return;
    ui_.cboSettings.setText(finding.name);
    ui_.cboSettings.onClick();  // as a pick of the set would
}

}  // namespace humkit
