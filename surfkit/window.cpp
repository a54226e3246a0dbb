#include "surfkit/window.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <numeric>
#include <optional>
#include <utility>

#include "quenvar/check.h"
#include "quenvar/cli.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "surfkit/check.h"

namespace surfkit {

using qv::Field;
using qv::forms::Buttons;
using qv::forms::Control;
using qv::forms::Icon;

namespace {

constexpr const char* tempName = "dbnamep.mdb";
constexpr const char* handoffName = "sorptemp.dat";
constexpr int componentRows = 8;  // the window has eight component rows
constexpr int maxMbPairs = 6;     // Quenvar reads at most six M.B. pairs of a species

constexpr const char* openFilter =
    "Complexation database files (*.MDB)|*.MDB|Counterion selectivity files (*.CDB)|*.CDB|"
    "Isotherm database files (*.ISO)|*.ISO|NICA-Donnan database files (*.NIC)|*.NIC|"
    "BLM parameter files (*.BLI)|*.BLI";
constexpr const char* compFilter = "Quenvar database files (*.MDB)|*.MDB";

constexpr const char* ordinals[componentRows] = {"1st", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th"};

// Refusals of input that could not be written faithfully.
constexpr const char* msgNinthComponent = "A species can have no more than eight components";
constexpr const char* msgQuoteInName =
    "A species name cannot contain a double quote (\"). Please change the name before saving";
constexpr const char* msgComponentCount =
    "The number of components must lie between 0 and 8. Please correct it before saving";
constexpr const char* msgTooManyMb =
    "No more than six M.B. fields can be filled in. Please leave the M.B. field blank where the M.B. "
    "stoichiometry is equal to the M.A. stoichiometry";

std::string trim(const std::string& text) { return qv::trimBlanks(text); }

// A blank followed by the display form: a non-negative value starts with two blanks.
std::string blankDisplay(const Field& f) { return " " + qv::displayForm(f.asNumber()); }

bool isModelFile(FileKind kind) { return kind == FileKind::Isotherm || kind == FileKind::NicaDonnan; }

// Whether `cmdAddnew` leaves a component of comp.mdb out of the list offered for a new species:
// surface groups, sites of other isotherm models, and components Quenvar does not take in a
// sorption reaction. `<` excludes the bound, `<=` includes it.
bool leftOutOfComponentList(double x, const std::string& model, bool cdbfile)
{
    if (!model.empty()) {
        if ((x > 810 && x < 860) || (x > 1101 && x < 1111)) return true;
    } else if (x > 1300 && x < 1360) {
        return true;
    }
    if (model == "NICA-Donnan" && x > 1300 && x < 1340) return true;
    if (model == "NICA" && (x > 1340 || (x > 1300 && x < 1320))) return true;
    if (model == "Langmuir-Freundlich" && (x > 1320 || (x > 1300 && x < 1310))) return true;
    if (model == "Langmuir" && x > 1310) return true;
    return x < 3 || (x > 816 && x < 859) || (x > 1330 && x < 1339) || (x >= 144 && x <= 149) || (x > 916 && x < 921) ||
           (!cdbfile && x > 951 && x <= 1101) || x == 1104;
}

// The caption of `lblLogk` for an isotherm model; nothing for "NICA", which keeps the caption.
std::optional<std::string> logkCaption(const std::string& model)
{
    if (model == "Linear Kd") return "log Kd";
    if (model == "Freundlich" || model == "Extended Freundlich") return "log KF";
    if (model == "Langmuir") return "log KL";
    if (model == "Langmuir-Freundlich") return "log KLF";
    if (model == "Temkin") return "log KT";
    return std::nullopt;
}

bool usesMbBlock(const std::string& model) { return model == "Freundlich" || model == "Extended Freundlich"; }

}  // namespace

// ---- The window ------------------------------------------------------------------------------

Program::Program(qv::forms::Application& app) : Program(app, qv::Files::processDirectory()) {}

Program::Program(qv::forms::Application& app, std::string startDir)
    : app_(app), frmMaindb_(app, "frmMaindb", "Sorption / complexation database editor for Quenvar"),
      ui_(buildControls(frmMaindb_)), files_(std::move(startDir))
{
    wireEvents();
    wireEditorEvents();
}

Controls Program::buildControls(qv::forms::Window& w)
{
    // Made in the order of the window; the handles are its typed names from here on.
    return Controls{
        .lstReactions = w.listBox("lstReactions"),
        .Label1 = w.label("Label1", "Present database species"),
        .Label2 = w.label("Label2", "Click to see reaction!"),
        .lblNameDb = w.label("lblNameDb", "", false),
        .txtID = w.textBox("txtID"),
        .Label3 = w.label("Label3", "Species ID number"),
        .txtName = w.textBox("txtName"),
        .Label9 = w.label("Label9", "Species name"),
        .txtlogk = w.textBox("txtlogk"),
        .lblLogk = w.label("lblLogk", "log K"),
        .txtdhr = w.textBox("txtdhr"),
        .lbldhr = w.label("lbldhr", "dHr (kJ / mol)"),
        .txtKsel = w.textBox("txtKsel", false),
        .lblKsel = w.label("lblKsel", "Selectivity coefficient (K-sel)", false),
        .txtLk2 = w.textBox("txtLk2", false),
        .lblLk2 = w.label("lblLk2", "Lk2", false),
        .txtCharge = w.textBox("txtCharge"),
        .Label6 = w.label("Label6", "Charge"),
        .txtNocomp = w.textBox("txtNocomp"),
        .Label7 = w.label("Label7", "No. of components"),
        .txtf50 = w.textBox("txtf50", false),
        .lblIsoterm = w.label("lblIsoterm", "Isotherm model", false),
        .cboIsoterm = w.comboBox("cboIsoterm", false),
        .lblStoich = qv::forms::makeControlArray<componentRows>([&](int i) -> Control& {
            return w.label("lblStoich", std::string("Stoichiometry of ") + ordinals[i - 1] + " component", false, i);
        }),
        .txtComp = qv::forms::makeControlArray<componentRows>(
            [&](int i) -> Control& { return w.textBox("txtComp", false, i); }),
        .txtStoich = qv::forms::makeControlArray<componentRows>(
            [&](int i) -> Control& { return w.textBox("txtStoich", false, i); }),
        .txtMBstoich = qv::forms::makeControlArray<componentRows>(
            [&](int i) -> Control& { return w.textBox("txtMBstoich", false, i); }),
        .lblMA = w.label("lblMA", "M.A.", false),
        .lblMB = w.label("lblMB", "M.B.*", false),
        .lblMBnote =
            w.label("lblMBnote",
                    "* Leave M.B. field blank if the M.B. stoichiometry is equal to the M.A. stocihiometry", false),
        .lblMAnote = w.label("lblMAnote", "Here you supply the M.A. stoichiometry", false),
        .lblAddnew = w.label("lblAddnew", "Add new species:", false),
        .lblSpname = w.label("lblSpname", "Species name", false),
        .txtSpname = w.textBox("txtSpname", false),
        .lblComp = w.label("lblComp", "Component no. 1", false),
        .cboComp = w.comboBox("cboComp", false),
        .txtStoicn = w.textBox("txtStoicn", false),
        .cmdNextcomp = w.button("cmdNextcomp", "Next component", false),
        .cmdSuggest = w.button("cmdSuggest", "Suggest ID number", false),
        .cmdAddnew = w.button("cmdAddnew", "Add new species"),
        .cmdDelete = w.button("cmdDelete", "Delete this species", false),
        .cmdSavedb = w.button("cmdSavedb", "Save changes to current database"),
        .cmdNewDb = w.button("cmdNewDb", "Save changes to new database"),
        .cmdCompdb = w.button("cmdCompdb", "Click here if you would like to change the component database"),
        .cmdQuit = w.button("cmdQuit", "Quit"),
        .Label8 = w.label("Label8", "Remember to save after any change made to a species!"),
        .Line1 = w.line("Line1"),
        .mnuFile = w.menu("mnuFile", "File"),
        .mnuFileOpen = w.menu("mnuFileOpen", "Open sorption database"),
        .mnuFileExit = w.menu("mnuFileExit", "Exit"),
        .txtFilter = w.textBox("txtFilter"),
        .lblFilterCount = w.label("lblFilterCount", ""),
        .mnuFileUndo = w.menu("mnuFileUndo", "Undo last save"),
        // The data check.
        .mnuFileCheck = w.menu("mnuFileCheck", "Check database"),
    };
}

void Program::wireEvents()
{
    frmMaindb_.onLoad = [this] { Form_Load(); };
    ui_.lstReactions.onClick = [this] { lstReactions_Click(); };
    ui_.cboIsoterm.onClick = [this] { cboIsoterm_Click(); };
    ui_.mnuFileOpen.onClick = [this] { mnuFileOpen_Click(); };
    ui_.mnuFileExit.onClick = [this] { mnuFileExit_Click(); };
    ui_.cmdCompdb.onClick = [this] { cmdCompdb_Click(); };
    ui_.cmdQuit.onClick = [this] { cmdQuit_Click(); };
    ui_.cmdAddnew.onClick = [this] { cmdAddnew_Click(); };
    ui_.cmdNextcomp.onClick = [this] { cmdNextcomp_Click(); };
    // The data check.
    ui_.mnuFileCheck.onClick = [this] { mnuFileCheck_Click(); };
    frmMaindb_.shortcut("Ctrl+K", ui_.mnuFileCheck);
    frmCheck_.onPick = [this](const qv::check::Finding& f) { showFinding(f); };
    ui_.cmdSuggest.onClick = [this] { cmdSuggest_Click(); };
    ui_.cmdDelete.onClick = [this] { cmdDelete_Click(); };
    ui_.cmdSavedb.onClick = [this] { cmdSavedb_Click(); };
    ui_.cmdNewDb.onClick = [this] { cmdNewDb_Click(); };
}

void Program::refuse(const std::string& text, const std::string& title)
{
    app_.message(text, title, Buttons::Ok, Icon::Critical);
}

// ---- Start-up, opening and listing ------------------------------------------------------------

void Program::Form_Load()
{
    st_.Compdbname = qv::compName;

    // The data directory and dabase.txt: without them the editor has nothing to work on.
    const std::string candidate = qv::candidateDirectory(files_, qv::surfkitInstallDir);
    std::vector<Field> dabase;
    try {
        files_.changeDir(candidate);
        dabase = qv::readDabase(files_, 1);
    } catch (const qv::Error& e) {
        app_.fatal(e.what());
    }
    st_.Cdbfile = false;

    // The drive of the data files, then the database that the starting program named in
    // sorptemp.dat. The hand-off file is used once: it is deleted after reading. Any failure
    // here leaves Dbname empty and start-up goes on.
    try {
        files_.changeDrive(qv::driveOf(dabase.at(0)));
        files_.changeDir(candidate);
        st_.dialogDir = candidate;
        qv::RecordReader in = files_.openRead(handoffName);
        st_.Dbname = in.text();
        files_.deleteFile(handoffName);
    } catch (const qv::Error&) {
    }

    Control& name = ui_.lblNameDb;
    name.setVisible(true);
    name.setCaption(st_.Dbname);
    takeFileKind(false);

    Control& models = ui_.cboIsoterm;
    models.clear();
    for (std::string_view m : isothermModels) models.addItem(std::string(m));

    Listfill();
}

// Blifile and Cdbfile from the name of the database, and the K-sel field of a counterion
// selectivity file (not shown for "donnica.cdb").
void Program::takeFileKind(bool resetKsel)
{
    const FileKind kind = fileKindOf(st_.Dbname);
    st_.Blifile = kind == FileKind::Blm;
    if (kind == FileKind::CounterionSelectivity) {
        st_.Cdbfile = true;
        if (!hidesKsel(st_.Dbname)) {
            ui_.txtKsel.setVisible(true);
            ui_.lblKsel.setVisible(true);
            if (resetKsel) ui_.lblKsel.setCaption("Selectivity coefficient (K-sel)");
        }
    }
}

void Program::Listfill()
{
    ui_.lstReactions.clear();
    listedIds_.clear();
    ui_.txtdhr.setVisible(true);
    ui_.lbldhr.setVisible(true);
    ui_.lbldhr.setCaption("dHr (kJ/mol)");

    // Guarded: a missing or short file ends the listing quietly with the species read so far.
    try {
        qv::RecordReader in = files_.openRead(st_.Dbname);
        st_.MBused = false;
        const FileKind kind = fileKindOf(st_.Dbname);
        if (kind == FileKind::NicaDonnan) st_.Isomodel = readListHeader(in, {true, false}).model;
        if (kind == FileKind::Isotherm) {
            st_.Isomodel = readListHeader(in, {true, false}).model;
            // A model chosen in cboIsoterm replaces the file's model until another file is opened.
            if (st_.Isochoice.empty())
                st_.Isochoice = st_.Isomodel;
            else
                st_.Isomodel = st_.Isochoice;
            ui_.cboIsoterm.setVisible(true);
            ui_.lblIsoterm.setVisible(true);
            ui_.lblIsoterm.setCaption("Isotherm model");
            ui_.cboIsoterm.setText(st_.Isomodel);
            if (st_.Isomodel != "NICA") {
                for (Control* hidden : {&ui_.txtdhr, &ui_.lbldhr, &ui_.txtKsel, &ui_.lblKsel})
                    hidden->setVisible(false);
            } else {
                ui_.lbldhr.setCaption("p");
            }
            if (auto caption = logkCaption(st_.Isomodel)) ui_.lblLogk.setCaption(*caption);
            const bool mb = usesMbBlock(st_.Isomodel);
            for (Control* label : {&ui_.lblMA, &ui_.lblMB, &ui_.lblMBnote}) label->setVisible(mb);
            if (mb) st_.MBused = true;
        } else if (st_.Blifile) {
            ui_.txtf50.setVisible(true);
            ui_.lblIsoterm.setVisible(true);
            ui_.lblIsoterm.setCaption("Critical f value");
            ui_.lblKsel.setVisible(true);
            ui_.lblKsel.setCaption("Contributes to toxicity");
            ui_.txtKsel.setVisible(true);
        }
        if (st_.Blifile) ui_.txtf50.setText(qv::displayForm(readListHeader(in, {false, true}).f50));

        Control& list = ui_.lstReactions;
        for (int k = 1; k <= listLimit; ++k) {
            if (in.atEnd()) break;
            SpeciesRecord r = readSpecies(in);
            if (r.isEndRecord()) break;
            list.addItem(r.name().asText());
            listedIds_.push_back(qv::numberForm(r.id().asNumber()));
        }
    } catch (const qv::Error&) {
    }
    listFilled();
}

void Program::mnuFileOpen_Click()
{
    // A cancel leaves the open database and everything the window shows of it as it was: the
    // window is set up for the new file only once there is one.
    const std::optional<std::string> chosen = app_.openDialog(openFilter, st_.dialogDir, files_.currentDir());
    if (chosen) openDatabase(*chosen);
}

void Program::openDatabase(const std::string& path)
{
    st_.Isomodel.clear();
    st_.Isochoice.clear();
    st_.Cdbfile = false;
    for (Control* hidden : {&ui_.lblKsel, &ui_.txtKsel, &ui_.txtf50, &ui_.lblIsoterm, &ui_.cboIsoterm})
        hidden->setVisible(false);
    // What an isotherm file changed goes back; Listfill shows it again where the new file needs it.
    ui_.lblLogk.setCaption("log K");
    for (Control* label : {&ui_.lblMA, &ui_.lblMB, &ui_.lblMBnote}) label->setVisible(false);

    st_.Dbname = path;
    ui_.lblNameDb.setVisible(true);
    ui_.lblNameDb.setCaption(st_.Dbname);
    takeFileKind(true);
    Listfill();
    // Nothing of the database open before stays on screen.
    clearSpeciesDisplay();
}

void Program::cmdCompdb_Click()
{
    // The user picks an existing component database; it is read the next time a species is shown
    // or entered.
    if (auto chosen = app_.openDialog(compFilter, st_.dialogDir, files_.currentDir())) st_.Compdbname = *chosen;
}

void Program::cboIsoterm_Click()
{
    st_.Isochoice = ui_.cboIsoterm.text();
    Listfill();
}

void Program::cmdQuit_Click() { app_.end(); }

void Program::mnuFileExit_Click() { app_.end(); }

// ---- The species display ----------------------------------------------------------------------

std::optional<SpeciesRecord> Program::findShownSpecies()
{
    // Unguarded: a database or component database that cannot be read is reported.
    qv::RecordReader in = files_.openRead(st_.Dbname);
    const bool modelFile = isModelFile(fileKindOf(st_.Dbname));
    const std::string model = readDisplayHeader(in, {modelFile, !modelFile && st_.Blifile});
    if (modelFile) st_.Isomodel = model;

    // The first record of the selected name is shown.
    const std::string wanted = trim(ui_.lstReactions.text());
    for (int k = 1; k <= listLimit; ++k) {
        if (in.atEnd()) return std::nullopt;
        SpeciesRecord r = readSpecies(in);
        if (r.isEndRecord()) return std::nullopt;
        if (r.name().asText() == wanted) return r;
    }
    return std::nullopt;
}

void Program::lstReactions_Click()
{
    if (st_.Suggesting) return;

    for (int i = 1; i <= componentRows; ++i)
        for (Control* row : {&ui_.lblStoich(i), &ui_.txtMBstoich(i), &ui_.txtComp(i), &ui_.txtStoich(i)})
            row->setVisible(false);
    ui_.lblLk2.setVisible(false);
    ui_.txtLk2.setVisible(false);

    const std::optional<SpeciesRecord> found = findShownSpecies();
    if (!found) return;
    const SpeciesRecord& r = *found;

    // A row whose component has no M.B. pair shows an empty M.B. box ("equal to M.A."), never a
    // value left from another species.
    st_.MBstoich.fill(Field());
    st_.MBcompid.fill(Field());
    placePairs(r, st_.Stoich, st_.Compid, st_.MBstoich, st_.MBcompid, MbPlacement::ByRow);

    showSixthValue(r);
    ui_.txtlogk.setText(blankDisplay(r.fields[3]));
    ui_.txtdhr.setText(blankDisplay(r.fields[2]));
    if (st_.Isomodel == "NICA" || st_.Cdbfile) ui_.txtKsel.setText(blankDisplay(r.fields[4]));

    const double n = componentCountOf(r.countField());
    ui_.txtName.setText(r.name().asText());
    ui_.txtID.setText(qv::displayForm(r.id().asNumber()));
    ui_.txtCharge.setText(qv::displayForm(r.fields[6].asNumber()));
    ui_.txtNocomp.setText(qv::displayForm(n));  // the full count, also beyond the eight rows

    fillComponentRows(r);
    ui_.cmdDelete.setVisible(true);
}

void Program::showSixthValue(const SpeciesRecord& r)
{
    const double f1 = r.id().asNumber();
    const std::string& name = r.name().asText();
    const Field& f6 = r.fields[5];
    if (inLk2Range(f1) && name != "/FA-" && name != "/HA-") {
        ui_.txtLk2.setVisible(true);
        ui_.lblLk2.setCaption("Lk2");
        ui_.lblLk2.setVisible(true);
        ui_.txtLk2.setText(blankDisplay(f6));
    } else if (inIsothermParameterRange(f1)) {
        ui_.txtLk2.setVisible(true);
        if (st_.Isomodel == "NICA") {
            ui_.txtKsel.setVisible(true);
            ui_.lblKsel.setVisible(true);
            ui_.lblKsel.setCaption("m-ref");
        }
        // m: Langmuir-Freundlich and NICA sites; b: the Temkin site; n: NICA-Donnan sites.
        ui_.lblLk2.setCaption(f1 < 13299999 ? "m" : f1 < 13399999 ? "b" : "n");
        ui_.lblLk2.setVisible(true);
        ui_.txtLk2.setText(blankDisplay(f6));
    } else if (st_.Blifile) {
        ui_.txtKsel.setText(f6.asNumber() == 0 ? " No" : " Yes");
    }
}

void Program::fillComponentRows(const SpeciesRecord& r)
{
    const int rows = std::min(static_cast<int>(r.components.size()), componentRows);
    for (int i = 1; i <= rows; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        // A component ID that the component database does not hold shows no name, rather than
        // the name another species left in this row.
        std::string compName;
        if (auto known = qv::componentNameById(files_, st_.Compdbname, st_.Compid[k])) {
            const double id = st_.Compid[k].asNumber();
            compName = id == 811 ? "=SOHh" : id == 812 ? "=SOH" : id == 816 ? "=S3O" : *known;
        }
        st_.Compname[k] = compName;
        if (st_.MBused) {
            ui_.txtMBstoich(i).setVisible(true);
            ui_.txtMBstoich(i).setText(st_.MBstoich[k].isEmpty() ? "" : qv::displayForm(st_.MBstoich[k].asNumber()));
        }
        ui_.lblStoich(i).setVisible(true);
        ui_.txtComp(i).setVisible(true);
        ui_.txtStoich(i).setVisible(true);
        ui_.txtStoich(i).setText(qv::displayForm(st_.Stoich[k].asNumber()));
        ui_.txtComp(i).setText(st_.Compname[k]);
    }
}

// ---- Entering a new species -------------------------------------------------------------------

void Program::clearComponentRows()
{
    for (int i = 1; i <= componentRows; ++i) {
        for (Control* box : {&ui_.txtStoich(i), &ui_.txtMBstoich(i), &ui_.txtComp(i)}) {
            box->setText("");
            box->setVisible(false);
        }
        ui_.lblStoich(i).setVisible(false);
    }
}

void Program::cmdAddnew_Click()
{
    // Read first: a component database that cannot be read leaves the window as it was.
    const std::vector<qv::Component> components = qv::listComponents(files_, st_.Compdbname, 500);

    for (Control* shown : {&ui_.lblAddnew, &ui_.lblComp, &ui_.txtSpname, &ui_.cboComp, &ui_.lblSpname, &ui_.cmdNextcomp,
                           &ui_.txtStoicn, &ui_.cmdSuggest})
        shown->setVisible(true);
    for (Control* hidden : {&ui_.cmdDelete, &ui_.lblLk2, &ui_.txtLk2}) hidden->setVisible(false);
    if (st_.MBused) ui_.lblMAnote.setVisible(true);

    Control& list = ui_.cboComp;
    list.clear();
    ui_.txtSpname.setText("");
    ui_.lblComp.setCaption("Component no. 1");
    for (const qv::Component& comp : components) {
        const double x = comp.id.asNumber();
        if (leftOutOfComponentList(x, st_.Isomodel, st_.Cdbfile)) continue;
        list.addItem(x == 812 ? "=SOH" : x == 811 ? "=SOHh" : x == 816 ? "=S3O" : comp.name);
    }
    list.addItem("H2O");

    clearComponentRows();
    ui_.lstReactions.setText("");
    for (Control* emptied : {&ui_.txtName, &ui_.txtID, &ui_.txtlogk, &ui_.txtKsel, &ui_.txtdhr, &ui_.txtCharge})
        emptied->setText("");
    ui_.txtNocomp.setText("0");
    st_.Compindex = 1;
}

void Program::takeInComponent()
{
    const int n = st_.Compindex;
    ui_.txtComp(n).setVisible(true);
    ui_.txtStoich(n).setVisible(true);
    if (st_.MBused) ui_.txtMBstoich(n).setVisible(true);
    ui_.lblStoich(n).setVisible(true);
    ui_.txtComp(n).setText(ui_.cboComp.text());
    ui_.txtStoich(n).setText(ui_.txtStoicn.text());
    ui_.txtStoicn.setText("");
    ui_.cboComp.setText("");
    ++st_.Compindex;
    ui_.lblComp.setCaption("Component no. " + std::to_string(st_.Compindex));
}

void Program::cmdNextcomp_Click()
{
    if (st_.Compindex > componentRows) return refuse(msgNinthComponent);
    if (auto typed = pendingRefusal()) return refuse(*typed);
    takeInComponent();
}

// ---- Species ID numbering ---------------------------------------------------------------------

void Program::numgenerator2()
{
    for (int i = 1; i <= 2; ++i) {
        // The last match among the first 400 components wins; no match leaves Idcomp(i) as it was.
        if (auto id = qv::componentIdByName(files_, st_.Compdbname, trim(ui_.txtComp(i).text())))
            st_.Idcomp[static_cast<std::size_t>(i)] = id->asNumber();
    }
}

void Program::numgenerator3(int i, std::array<Field, 11>& Cnom)
{
    const std::string name = trim(ui_.txtComp(i).text());
    Field& target = Cnom[static_cast<std::size_t>(i)];
    // The surface groups have fixed component IDs, whatever comp.mdb holds.
    if (name == "=SOH") {
        target = Field::whole(812);
        return;
    }
    if (name == "=S3O") {
        target = Field::whole(816);
        return;
    }
    if (name == "=SOHh") {
        target = Field::whole(811);
        return;
    }
    qv::scanComponents(files_, st_.Compdbname, 400, [&](const qv::Component& comp) {
        if (trim(comp.name) == name) target = comp.id;
        return true;
    });
}

void Program::cmdSuggest_Click()
{
    const bool pending = !ui_.cboComp.text().empty() && !ui_.txtStoicn.text().empty();
    if (pending && st_.Compindex > componentRows) return refuse(msgNinthComponent);
    if (auto typed = pendingRefusal(); pending && typed) return refuse(*typed);

    // While the suggestion runs, selecting the new name in the list loads no other species.
    st_.Suggesting = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{st_.Suggesting};

    const std::string spname = ui_.txtSpname.text();
    ui_.lstReactions.addItem(spname);
    ui_.lstReactions.setText(spname);
    ui_.txtName.setText(spname);

    if (pending) takeInComponent();
    ui_.txtNocomp.setText(std::to_string(st_.Compindex - 1));

    numgenerator2();
    const std::string& model = st_.Isomodel;
    adjustIdcompForModel(st_.Idcomp[1], st_.Idcomp[2], model, ui_.txtComp(1).text());

    const double base = idBase(st_.Idcomp[1], st_.Idcomp[2]);
    if (inLk2Range(base) || inIsothermParameterRange(base)) {
        ui_.txtLk2.setVisible(true);
        ui_.lblLk2.setVisible(true);
        ui_.txtLk2.setText(" 0");
        if (model == "NICA") {
            ui_.txtdhr.setText(" 0");
            ui_.txtKsel.setVisible(true);
            ui_.txtKsel.setText(" 0");
        }
    }

    // One read of every species ID of the file, beyond the 4000th record too.
    qv::RecordReader in = files_.openRead(st_.Dbname);
    const SpeciesIds used = readSpeciesIds(in, {!model.empty(), st_.Blifile});
    const double proposal = proposeSpeciesId(used, st_.Idcomp[1], st_.Idcomp[2]);
    st_.Suggesting = false;
    ui_.txtID.setText(qv::numberForm(proposal));
}

// ---- Building the species record --------------------------------------------------------------

std::optional<std::string> Program::writeRefusal()
{
    if (!qv::writableText(trim(ui_.txtName.text()))) return msgQuoteInName;
    const double n = std::floor(typedValue(ui_.txtNocomp));
    if (!(n >= 0 && n <= componentRows)) return msgComponentCount;
    if (st_.MBused) {
        int filled = 0;
        for (int i = 1; i <= static_cast<int>(n); ++i)
            if (!trim(ui_.txtMBstoich(i).text()).empty()) ++filled;
        if (filled > maxMbPairs) return msgTooManyMb;
    }
    // A component the component database does not hold would be written with an empty
    // component ID, which leaves the reaction unusable: refuse it.
    std::array<Field, 11> Cnom{};
    for (int i = 1; i <= static_cast<int>(n); ++i) {
        numgenerator3(i, Cnom);
        if (!Cnom[static_cast<std::size_t>(i)].isNumber())
            return "The component \"" + trim(ui_.txtComp(i).text()) + "\" of row " + std::to_string(i) +
                   " is not in the component database " + st_.Compdbname +
                   ". Please choose the components from the list before saving";
    }
    return std::nullopt;
}

SpeciesRecord Program::SpeciesChange()
{
    auto number = [](const Control& box) { return typedValue(box); };
    const bool kselShown = st_.Isomodel == "NICA" || st_.Cdbfile;
    double sixth = 0;
    if (ui_.txtLk2.visible())
        sixth = number(ui_.txtLk2);
    else if (st_.Blifile)
        sixth = qv::typedYesNo(ui_.txtKsel.text()).value_or(false) ? 1 : 0;
    // writeRefusal() has kept n within the eight rows.
    const int n = static_cast<int>(std::floor(typedValue(ui_.txtNocomp)));

    std::array<Field, 11> Cnom{};
    for (int i = 1; i <= n; ++i) numgenerator3(i, Cnom);

    SpeciesRecord r;
    std::vector<ComponentPair> mb;
    for (int i = 1; i <= n; ++i) {
        const Field& id = Cnom[static_cast<std::size_t>(i)];
        r.components.push_back({Field::number(typedValue(ui_.txtStoich(i))), id});
        // An empty M.B. box: the M.B. coefficient equals the M.A. one and no pair is written.
        const std::string mbText = trim(ui_.txtMBstoich(i).text());
        if (st_.MBused && !mbText.empty()) mb.push_back({Field::number(typedValue(ui_.txtMBstoich(i))), id});
    }
    const int m = static_cast<int>(mb.size());
    r.fields = {Field::number(typedValue(ui_.txtID)),
                Field::text(trim(ui_.txtName.text())),
                Field::number(number(ui_.txtdhr)),
                Field::number(number(ui_.txtlogk)),
                Field::number(kselShown ? number(ui_.txtKsel) : 0),
                Field::number(sixth),
                Field::number(number(ui_.txtCharge)),
                Field::whole(0),
                Field::whole(0),
                Field::whole(0),
                Field::whole(0),
                Field::whole(st_.MBused && m > 0 ? n + 100 : n)};
    if (st_.MBused && m > 0) {
        r.mbCount = Field::whole(m);
        r.mbPairs = std::move(mb);
    }
    return r;
}

// ---- Deleting and saving ----------------------------------------------------------------------

SaveHeader Program::saveHeader(const std::string& model) const
{
    SaveHeader h;
    h.old.model = !st_.Isomodel.empty();
    h.old.blm = !h.old.model && st_.Blifile;
    h.model = model;
    h.f50 = typedValue(ui_.txtf50);
    return h;
}

void Program::cmdDelete_Click()
{
    Control& list = ui_.lstReactions;
    const std::string selected = trim(list.text());
    if (selected.empty()) return refuse("No species defined", "Quenvar");
    if (selected == trim(ui_.txtSpname.text())) {
        // A new species that was never saved: only the list knows it.
        refuse("This species is not yet in the database anyway", "Quenvar");
        list.removeItem(list.listIndex());
        list.setText("");
        return;
    }
    if (!app_.askYesNo("Are you really sure you would like to delete this species from the database? Once deleted "
                       "it is gone!",
                       "Deletion of species - Quenvar", /*defaultNo=*/true))
        return;

    // Every record of the selected name is dropped; the database is replaced only by a
    // complete new file, so a failure leaves it, the list and the fields as they were.
    RewritePlan plan;
    plan.header = saveHeader(st_.Isomodel);
    plan.matchName = selected;
    const RewriteResult result = rewriteDatabase(files_.readBytes(st_.Dbname), st_.Dbname, plan);
    rewriteDb(st_.Dbname, result.bytes);

    list.removeItem(list.listIndex());
    list.setText("");
    clearComponentRows();
    for (Control* emptied : {&ui_.txtID, &ui_.txtName, &ui_.txtlogk, &ui_.txtdhr, &ui_.txtCharge}) emptied->setText("");
    ui_.txtNocomp.setText("0");
    ui_.txtKsel.setText("");
}

void Program::cmdSavedb_Click()
{
    if (app_.askYesNo("Are you really sure you would like to save changes to the database? - The old settings will "
                      "disappear forever",
                      "Species change - Quenvar"))
        savedb();
}

std::optional<std::string> Program::saveRefusal()
{
    const std::string selected = trim(ui_.lstReactions.text());
    if (selected.empty() && trim(ui_.cboIsoterm.text()).empty())
        return "Please use the mouse to select the database species to be changed before saving";
    for (Control* required : {&ui_.txtlogk, &ui_.txtCharge, &ui_.txtID, &ui_.txtNocomp})
        if (trim(required->text()).empty())
            return "One or more required data fields have been left blank. Please complete before saving";
    if (auto typed = typedRefusal()) return typed;
    return writeRefusal();
}

bool Program::savingNewSpecies() const
{
    const std::string selected = trim(ui_.lstReactions.text());
    return !selected.empty() && selected == trim(ui_.txtSpname.text());
}

std::string Program::savedDatabase(const std::string& source)
{
    std::string old = files_.readBytes(source);
    std::string bytes;
    if (savingNewSpecies()) {
        // The new species becomes the first record; every old record follows in its order.
        RewritePlan plan;
        plan.header = saveHeader(st_.Isomodel);
        plan.newSpecies = SpeciesChange();
        bytes = rewriteDatabase(std::move(old), source, plan).bytes;
    } else {
        // The species in the window replaces every record of the selected name; the header of
        // an isotherm file takes the model chosen in cboIsoterm.
        const std::string model = st_.Isomodel == "NICA-Donnan" ? st_.Isomodel : st_.Isochoice;
        RewritePlan plan;
        plan.header = saveHeader(model);
        plan.matchName = trim(ui_.lstReactions.text());
        plan.replacement = [this] { return SpeciesChange(); };
        plan.replaceEach = true;
        bytes = rewriteDatabase(std::move(old), source, plan).bytes;
        st_.Isochoice = model;
    }
    return bytes;
}

void Program::savedb()
{
    if (auto refusal = saveRefusal()) return refuse(*refusal);
    const bool newSpecies = savingNewSpecies();
    // A save of the isotherm model alone (no species selected) writes no species to show again.
    const bool speciesSaved = !trim(ui_.lstReactions.text()).empty();
    const std::string savedName = trim(ui_.txtName.text());
    rewriteDb(st_.Dbname, savedDatabase(st_.Dbname));

    if (newSpecies) Newspecdelete();
    Listfill();
    if (speciesSaved) showSaved(savedName);
}

void Program::cmdNewDb_Click()
{
    const std::string previous = st_.Dbname;
    const char* filter = nullptr;
    if (st_.Isomodel.empty() && !st_.Cdbfile && !st_.Blifile)
        filter = "Sorption database files (*.MDB)|*.MDB";
    else if (st_.Cdbfile)
        filter = "Counterion selectivity files (*.CDB)|*.CDB";
    else if (st_.Isomodel != "NICA-Donnan" && !st_.Blifile)
        filter = "Isotherm database files (*.ISO)|*.ISO";
    else if (st_.Isomodel == "NICA-Donnan")
        filter = "NICA-Donnan database files (*.NIC)|*.NIC";
    else
        filter = "BLM parameter files (*.BLI)|*.BLI";

    // A species the save refuses is refused before any name is asked for: no file is made and the
    // window stays on the open database.
    if (auto refusal = saveRefusal()) return refuse(*refusal);
    const std::optional<std::string> chosen = app_.saveDialog(filter, st_.dialogDir, files_.currentDir());
    if (!chosen) return;

    // The new database is the open one with the save applied, written whole and put in place in
    // one step: a failure or a crash on the way leaves no half-made database (nor a bare copy)
    // under the chosen name. The file open before is left as it was. Only then does the window
    // work on the new file.
    const bool newSpecies = savingNewSpecies();
    const bool speciesSaved = !trim(ui_.lstReactions.text()).empty();
    const std::string savedName = trim(ui_.txtName.text());
    rewriteDb(*chosen, savedDatabase(previous));
    st_.Dbname = *chosen;
    ui_.lblNameDb.setCaption(st_.Dbname);

    if (newSpecies) Newspecdelete();
    Listfill();
    if (speciesSaved) showSaved(savedName);
}

void Program::Newspecdelete()
{
    ui_.txtSpname.setText("");
    for (Control* hidden : {&ui_.txtSpname, &ui_.lblAddnew, &ui_.txtStoicn, &ui_.lblSpname, &ui_.lblComp, &ui_.cboComp,
                            &ui_.cmdNextcomp, &ui_.cmdSuggest, &ui_.lblMAnote})
        hidden->setVisible(false);
}

// ---- Unsaved changes, undo, the species filter, keyboard and status line ---------------------

namespace {

constexpr const char* windowTitle = "Sorption / complexation database editor for Quenvar";
constexpr const char* unsavedTitle = "Unsaved changes - Quenvar";

std::string lowerCase(std::string text)
{
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// The name of a file without its directory, as titles and the status line show it.
std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void Program::wireEditorEvents()
{
    Controls& c = ui_;
    frmMaindb_.statusLine();

    // What the file holds of the shown species: every box of the record and of a new species.
    for (Control* box : {&c.txtID, &c.txtName, &c.txtlogk, &c.txtdhr, &c.txtKsel, &c.txtLk2, &c.txtCharge, &c.txtNocomp,
                         &c.txtf50, &c.txtSpname})
        edits_.track(*box);
    for (int i = 1; i <= componentRows; ++i)
        for (Control* box : {&c.txtComp(i), &c.txtStoich(i), &c.txtMBstoich(i)}) edits_.track(*box);
    for (Control* box : edits_.controls()) {
        box->onChange = [this] { updateTitle(); };
        // Enter in a box of the record saves it, with the save's own question; not in the new-species
        // entry, where it would save a species still being entered.
        if (box == &c.txtSpname) continue;
        box->onKey = [this](const std::string& keys) {
            if (keys != "Return" || !ui_.cmdSavedb.usable()) return false;
            saveWithStatus();
            return true;
        };
    }

    frmMaindb_.onLoad = [this] {
        Form_Load();
        updateTitle();
    };
    c.lstReactions.onClick = [this] { pickSpecies(); };
    c.lstReactions.onKey = [this](const std::string& keys) {
        if (keys != "Delete" || !ui_.cmdDelete.usable()) return false;
        deleteWithStatus();
        return true;
    };
    c.cmdSavedb.onClick = [this] { saveWithStatus(); };
    c.cmdAddnew.onClick = [this] {
        if (!askUnsaved("adding a new species")) return;
        cmdAddnew_Click();
        markShown();
    };
    c.cmdDelete.onClick = [this] { deleteWithStatus(); };
    c.cmdNewDb.onClick = [this] { saveNewWithStatus(); };
    c.mnuFileOpen.onClick = [this] { openWithQuestion(); };
    c.cmdQuit.onClick = [this] { quitWithQuestion(); };
    c.mnuFileExit.onClick = [this] { quitWithQuestion(); };
    c.mnuFileUndo.onClick = [this] { mnuFileUndo_Click(); };
    frmMaindb_.onQueryClose = [this] { return askUnsaved("closing"); };

    c.txtFilter.onChange = [this] { txtFilter_Change(); };
    c.txtFilter.onKey = [this](const std::string& keys) {
        if (keys != "Escape") return false;
        ui_.txtFilter.setText("");
        return true;
    };

    wireKeyboard();
}

void Program::wireKeyboard()
{
    Controls& c = ui_;
    for (auto [control, letter] : std::initializer_list<std::pair<Control*, char>>{{&c.cmdNextcomp, 'N'},
                                                                                   {&c.cmdSuggest, 'I'},
                                                                                   {&c.cmdAddnew, 'A'},
                                                                                   {&c.cmdDelete, 'D'},
                                                                                   {&c.cmdSavedb, 'S'},
                                                                                   {&c.cmdNewDb, 'W'},
                                                                                   {&c.cmdCompdb, 'M'},
                                                                                   {&c.cmdQuit, 'Q'},
                                                                                   {&c.mnuFile, 'F'},
                                                                                   {&c.mnuFileOpen, 'O'},
                                                                                   {&c.mnuFileUndo, 'U'},
                                                                                   {&c.mnuFileCheck, 'K'},
                                                                                   {&c.mnuFileExit, 'X'}})
        control->setMnemonic(letter);

    frmMaindb_.shortcut("Ctrl+O", c.mnuFileOpen);
    frmMaindb_.shortcut("Ctrl+S", c.cmdSavedb);
    frmMaindb_.shortcut("Ctrl+Shift+S", c.cmdNewDb);
    frmMaindb_.shortcut("Ctrl+Q", c.cmdQuit);
    frmMaindb_.shortcut("Ctrl+Z", c.mnuFileUndo);
    frmMaindb_.shortcut("Ctrl+F", [this] { frmMaindb_.setFocus(&ui_.txtFilter); });
    frmMaindb_.shortcut("F1", [this] { mnuHelpAbout_Click(); });
    // Escape leaves the entry of a new species (after the unsaved-change question); the filter
    // box takes Escape itself while it has the focus.
    frmMaindb_.shortcut("Escape", [this] {
        if (!ui_.txtSpname.visible() || !askUnsaved("leaving the new species")) return;
        clearSpeciesDisplay();
        markShown();
        frmMaindb_.setStatus("");
    });
}

std::string Program::shownFileName() const { return baseName(st_.Dbname); }

void Program::updateTitle()
{
    frmMaindb_.setCaption(qv::forms::titleWithFile(windowTitle, shownFileName(), modified()));
}

void Program::markShown()
{
    edits_.snapshot();
    shownSelection_ = ui_.lstReactions.text();
    updateTitle();
}

void Program::rewriteDb(const std::string& target, const std::string& bytes)
{
    undo_.rewrite(tempName, target, bytes);
    ++rewrites_;
}

void Program::restoreSelection()
{
    // A new species still being entered stays selected; otherwise the species shown.
    const std::string spname = ui_.txtSpname.text();
    const auto& items = ui_.lstReactions.items();
    const bool entering = ui_.txtSpname.visible() && !trim(spname).empty() &&
                          std::find(items.begin(), items.end(), spname) != items.end();
    if (!entering && std::find(items.begin(), items.end(), shownSelection_) == items.end() &&
        !ui_.txtFilter.text().empty())
        ui_.txtFilter.setText("");  // the filter hides the species shown: show every species again
    ui_.lstReactions.setText(entering ? spname : shownSelection_);
}

bool Program::askUnsaved(const std::string& what)
{
    if (!modified()) return true;
    std::string name = trim(ui_.txtName.text());
    if (name.empty()) name = trim(ui_.txtSpname.text());
    if (name.empty()) name = "the new species";
    switch (app_.askSaveDiscardCancel("Save changes to " + name + " before " + what + "?", unsavedTitle)) {
    case qv::forms::Answer::Discard: return true;
    case qv::forms::Answer::Save: {
        restoreSelection();
        const unsigned before = rewrites_;
        saveWithStatus();
        return rewrites_ != before && !modified();
    }
    default: return false;
    }
}

void Program::pickSpecies()
{
    const std::string picked = ui_.lstReactions.text();
    if (!askUnsaved("showing " + trim(picked))) {
        restoreSelection();
        return;
    }
    ui_.lstReactions.setText(picked);  // a save lists the file again
    try {
        lstReactions_Click();
    } catch (const qv::Error&) {
        // What a failed display left in the boxes was not typed by the user: no change to save.
        markShown();
        throw;
    }
    markShown();
}

void Program::openWithQuestion()
{
    if (!askUnsaved("opening another file")) return;
    const std::string before = st_.Dbname;
    mnuFileOpen_Click();
    if (st_.Dbname != before) forgetTheFileBefore();
}

void Program::openAtStart(const std::string& path)
{
    openDatabase(path);
    forgetTheFileBefore();
}

void Program::forgetTheFileBefore()
{
    undo_.forget();
    edits_.forget();
    frmMaindb_.setStatus("");
    updateTitle();
}

void Program::quitWithQuestion()
{
    if (!askUnsaved("quitting")) return;
    app_.end();
}

void Program::saveWithStatus()
{
    frmMaindb_.setStatus("");
    // The species shown is saved even where the filter has hidden it from the list since.
    if (ui_.lstReactions.listIndex() < 0 && !shownSelection_.empty() && !ui_.txtFilter.text().empty())
        restoreSelection();
    const std::string name = trim(ui_.txtName.text());
    const unsigned before = rewrites_;
    cmdSavedb_Click();
    if (rewrites_ == before) return;
    undoWhat_ = "the save of " + name;
    markShown();
    frmMaindb_.setStatus("Saved " + shownFileName());
}

void Program::saveNewWithStatus()
{
    frmMaindb_.setStatus("");
    const std::string name = trim(ui_.txtName.text());
    const std::string before = st_.Dbname;
    const unsigned count = rewrites_;
    cmdNewDb_Click();
    if (st_.Dbname != before && rewrites_ == count) {
        // Made as a bare copy: this window saved nothing it could take back.
        undo_.forget();
        updateTitle();
        return;
    }
    if (rewrites_ == count) return;
    undoWhat_ = "the save of " + name;
    markShown();
    frmMaindb_.setStatus("Saved " + shownFileName());
}

void Program::deleteWithStatus()
{
    frmMaindb_.setStatus("");
    Control& list = ui_.lstReactions;
    const int position = list.listIndex();
    const std::string name = trim(list.text());
    const int countBefore = list.listCount();
    const unsigned before = rewrites_;
    cmdDelete_Click();
    if (list.listCount() < countBefore && position >= 0) {
        // The item is gone from what the list shows: from the full list too.
        const auto pos = static_cast<std::size_t>(position);
        if (pos < shownRows_.size()) {
            const auto row = static_cast<std::size_t>(shownRows_[pos]);
            allSpecies_.erase(allSpecies_.begin() + static_cast<std::ptrdiff_t>(row));
            allIds_.erase(allIds_.begin() + static_cast<std::ptrdiff_t>(row));
            shownRows_.erase(shownRows_.begin() + position);
            for (int& r : shownRows_)
                if (r > static_cast<int>(row)) --r;
            applyFilter();
        }
    }
    if (rewrites_ == before) return;
    undoWhat_ = "the deletion of " + name;
    markShown();
    frmMaindb_.setStatus("Deleted " + name);
}

void Program::mnuFileUndo_Click()
{
    frmMaindb_.setStatus("");
    const std::string file = baseName(undo_.file());
    bool overwrite = false;
    switch (undo_.check()) {
    case qv::SaveUndo::State::Nothing:
        return refuse("There is no save of this window to undo", "Undo last save - Quenvar");
    case qv::SaveUndo::State::BackupChanged:
        return refuse("The last save of " + file + " cannot be undone: its backup " + qv::backupName(file) +
                          " is gone or was changed since",
                      "Undo last save - Quenvar");
    case qv::SaveUndo::State::FileChanged:
        if (!app_.askYesNo(file + " was changed by another program since " + undoWhat_ + ". Undo " + undoWhat_ +
                               " anyway and lose that change?",
                           "Undo last save - Quenvar"))
            return;
        overwrite = true;
        break;
    case qv::SaveUndo::State::Ready:
        if (!app_.askYesNo("Undo " + undoWhat_ + " and put back " + file + " as it was before?" +
                               (modified() ? " The changes not saved in the window are lost." : ""),
                           "Undo last save - Quenvar"))
            return;
        break;
    }
    const bool sameFile = undo_.file() == st_.Dbname;
    undo_.restore(overwrite);
    if (sameFile) {
        // The file as it is now, with nothing of the undone species left in the boxes.
        Listfill();
        clearComponentRows();
        for (Control* emptied :
             {&ui_.txtID, &ui_.txtName, &ui_.txtlogk, &ui_.txtdhr, &ui_.txtCharge, &ui_.txtKsel, &ui_.txtLk2})
            emptied->setText("");
        ui_.txtNocomp.setText("0");
        ui_.cmdDelete.setVisible(false);
        markShown();
    }
    frmMaindb_.setStatus("Undo: " + file + " restored");
}

void Program::mnuHelpAbout_Click()
{
    qv::cli::showAbout(app_, "surfkit", "The sorption / complexation database editor for Quenvar.");
}

// ---- The species filter ----

void Program::txtFilter_Change() { applyFilter(); }

void Program::listFilled()
{
    allSpecies_ = ui_.lstReactions.items();
    allIds_ = listedIds_;
    allIds_.resize(allSpecies_.size());
    // Listfill shows every species, in file order.
    shownRows_.resize(allSpecies_.size());
    std::iota(shownRows_.begin(), shownRows_.end(), 0);
    applyFilter();
}

void Program::applyFilter()
{
    Control& list = ui_.lstReactions;
    const std::string needle = lowerCase(trim(ui_.txtFilter.text()));
    const std::size_t known = std::min(shownRows_.size(), static_cast<std::size_t>(list.listCount()));

    // What the list shows beyond the listed species (a new name still being entered) stays.
    std::vector<std::string> extras(list.items().begin() + static_cast<std::ptrdiff_t>(known), list.items().end());
    int selectedRow = -1;
    std::string selectedExtra;
    if (const int at = list.listIndex(); at >= 0) {
        if (static_cast<std::size_t>(at) < known)
            selectedRow = shownRows_[static_cast<std::size_t>(at)];
        else
            selectedExtra = list.item(at);
    }

    std::vector<int> rows;
    rows.reserve(allSpecies_.size());
    for (std::size_t k = 0; k < allSpecies_.size(); ++k) {
        if (needle.empty() || lowerCase(allSpecies_[k]).find(needle) != std::string::npos ||
            allIds_[k].starts_with(needle))
            rows.push_back(static_cast<int>(k));
    }

    list.clear();
    int select = -1;
    for (int row : rows) {
        if (row == selectedRow) select = list.listCount();
        list.addItem(allSpecies_[static_cast<std::size_t>(row)]);
    }
    for (const std::string& extra : extras) {
        if (extra == selectedExtra && select < 0) select = list.listCount();
        list.addItem(extra);
    }
    list.setListIndex(select);
    shownRows_ = std::move(rows);

    const std::string total = std::to_string(allSpecies_.size());
    ui_.lblFilterCount.setCaption(needle.empty() ? total + " species"
                                                 : std::to_string(shownRows_.size()) + " of " + total + " species");
}

// ---- Typed input -------------------------------------------------------------------------------

std::optional<std::string> Program::typedRefusal() const
{
    // Each shown box the save writes as a number, under the caption the window shows beside it.
    std::vector<std::pair<const Control*, std::string>> boxes = {
        {&ui_.txtID, ui_.Label3.caption()},     {&ui_.txtlogk, ui_.lblLogk.caption()},
        {&ui_.txtdhr, ui_.lbldhr.caption()},    {&ui_.txtCharge, ui_.Label6.caption()},
        {&ui_.txtNocomp, ui_.Label7.caption()},
    };
    if (st_.Isomodel == "NICA" || st_.Cdbfile) boxes.emplace_back(&ui_.txtKsel, ui_.lblKsel.caption());
    if (ui_.txtLk2.visible()) boxes.emplace_back(&ui_.txtLk2, ui_.lblLk2.caption());
    if (st_.Blifile && st_.Isomodel.empty()) boxes.emplace_back(&ui_.txtf50, ui_.lblIsoterm.caption());
    for (const auto& [box, field] : boxes)
        if (qv::typedNumber(box->text()).kind == qv::TypedNumber::Kind::Invalid)
            return qv::notANumberMessage(field, box->text());

    const double n = std::floor(typedValue(ui_.txtNocomp));
    for (int i = 1; i <= componentRows && i <= n; ++i) {
        if (qv::typedNumber(ui_.txtStoich(i).text()).kind == qv::TypedNumber::Kind::Invalid)
            return qv::notANumberMessage(ui_.lblStoich(i).caption(), ui_.txtStoich(i).text());
        if (st_.MBused && qv::typedNumber(ui_.txtMBstoich(i).text()).kind == qv::TypedNumber::Kind::Invalid)
            return qv::notANumberMessage(std::string("M.B. stoichiometry of ") + ordinals[i - 1] + " component",
                                         ui_.txtMBstoich(i).text());
    }

    // The toxicity flag of a BLM species: a yes/no answer; empty stays No.
    if (st_.Blifile && !ui_.txtLk2.visible() && !trim(ui_.txtKsel.text()).empty() &&
        !qv::typedYesNo(ui_.txtKsel.text()))
        return "The value of \"" + ui_.lblKsel.caption() + "\" must be Yes or No: \"" + ui_.txtKsel.text() + "\".";
    return std::nullopt;
}

std::optional<std::string> Program::pendingRefusal() const
{
    const std::string& typed = ui_.txtStoicn.text();
    if (qv::typedNumber(typed).kind != qv::TypedNumber::Kind::Invalid || st_.Compindex > componentRows)
        return std::nullopt;
    return qv::notANumberMessage(ui_.lblStoich(st_.Compindex).caption(), typed);
}

double Program::typedValue(const Control& box) { return qv::typedNumber(box.text()).value; }

// ---- The display after an open or a save ------------------------------------------------------

void Program::clearSpeciesDisplay()
{
    ui_.lstReactions.setText("");
    clearComponentRows();
    for (Control* emptied :
         {&ui_.txtID, &ui_.txtName, &ui_.txtlogk, &ui_.txtdhr, &ui_.txtCharge, &ui_.txtKsel, &ui_.txtLk2})
        emptied->setText("");
    ui_.txtNocomp.setText("");
    for (Control* hidden : {&ui_.cmdDelete, &ui_.txtLk2, &ui_.lblLk2}) hidden->setVisible(false);
    Newspecdelete();
}

void Program::showSaved(const std::string& name)
{
    // The species is shown as the file now holds it: the first record of its name among those
    // the list shows. A name the list does not hold (beyond its limit) leaves the display empty
    // rather than showing fields no list item stands for.
    const std::vector<std::string>& items = ui_.lstReactions.items();
    if (std::find(items.begin(), items.end(), name) == items.end()) {
        clearSpeciesDisplay();
    } else {
        ui_.lstReactions.setText(name);
        lstReactions_Click();
    }
    noteAfterSave(name);
}

// ---- The data check ---------------------------------------------------------------------------

void Program::mnuFileCheck_Click()
{
    if (st_.Dbname.empty()) return refuse("No sorption database is open", "Quenvar");
    qv::check::Report report;
    const ComponentTable components = readComponentTable(files_, st_.Compdbname, report);
    checkSorption(files_, st_.Dbname, components, report);
    frmCheck_.show(report, st_.Dbname);
}

void Program::showFinding(const qv::check::Finding& f)
{
    if (f.name.empty() || std::find(allSpecies_.begin(), allSpecies_.end(), f.name) == allSpecies_.end()) return;
    // A species the filter hides is shown all the same: the filter goes.
    const std::vector<std::string>& items = ui_.lstReactions.items();
    if (std::find(items.begin(), items.end(), f.name) == items.end()) ui_.txtFilter.setText("");
    // As a click on it would: the unsaved-change question first.
    ui_.lstReactions.setText(f.name);
    pickSpecies();
}

void Program::noteAfterSave(const std::string& name)
{
    // The save has happened; what the check finds in the species just written is a warning.
    const std::string note = saveNote(files_, st_.Dbname, st_.Compdbname, name);
    if (!note.empty())
        app_.message("The species \"" + name + "\" was saved, but:\n" + note, "Note!", Buttons::Ok, Icon::Exclamation);
}

}  // namespace surfkit
