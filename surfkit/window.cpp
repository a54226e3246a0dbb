#include "surfkit/window.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"

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
    return x < 3 || (x > 816 && x < 859) || (x > 1330 && x < 1339) || (x >= 144 && x <= 149) ||
           (x > 916 && x < 921) || (!cdbfile && x > 951 && x <= 1101) || x == 1104;
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
    : app_(app), frm_(app, "frmMaindb", "Sorption / complexation database editor for Quenvar"),
      files_(std::move(startDir))
{
    buildControls();
    wireEvents();
}

void Program::buildControls()
{
    auto& w = frm_;
    w.listBox("lstReactions");
    w.label("Label1", "Present database species");
    w.label("Label2", "Click to see reaction!");
    w.label("lblNameDb", "", false);
    w.textBox("txtID");
    w.label("Label3", "Species ID number");
    w.textBox("txtName");
    w.label("Label9", "Species name");
    w.textBox("txtlogk");
    w.label("lblLogk", "log K");
    w.textBox("txtdhr");
    w.label("lbldhr", "dHr (kJ / mol)");
    w.textBox("txtKsel", false);
    w.label("lblKsel", "Selectivity coefficient (K-sel)", false);
    w.textBox("txtLk2", false);
    w.label("lblLk2", "Lk2", false);
    w.textBox("txtCharge");
    w.label("Label6", "Charge");
    w.textBox("txtNocomp");
    w.label("Label7", "No. of components");
    w.textBox("txtf50", false);
    w.label("lblIsoterm", "Isotherm model", false);
    w.comboBox("cboIsoterm", false);
    for (int i = 1; i <= componentRows; ++i)
        w.label("lblStoich", std::string("Stoichiometry of ") + ordinals[i - 1] + " component", false, i);
    for (int i = 1; i <= componentRows; ++i) w.textBox("txtComp", false, i);
    for (int i = 1; i <= componentRows; ++i) w.textBox("txtStoich", false, i);
    for (int i = 1; i <= componentRows; ++i) w.textBox("txtMBstoich", false, i);
    w.label("lblMA", "M.A.", false);
    w.label("lblMB", "M.B.*", false);
    w.label("lblMBnote",
            "* Leave M.B. field blank if the M.B. stoichiometry is equal to the M.A. stocihiometry", false);
    w.label("lblMAnote", "Here you supply the M.A. stoichiometry", false);
    w.label("lblAddnew", "Add new species:", false);
    w.label("lblSpname", "Species name", false);
    w.textBox("txtSpname", false);
    w.label("lblComp", "Component no. 1", false);
    w.comboBox("cboComp", false);
    w.textBox("txtStoicn", false);
    w.button("cmdNextcomp", "Next component", false);
    w.button("cmdSuggest", "Suggest ID number", false);
    w.button("cmdAddnew", "Add new species");
    w.button("cmdDelete", "Delete this species", false);
    w.button("cmdSavedb", "Save changes to current database");
    w.button("cmdNewDb", "Save changes to new database");
    w.button("cmdCompdb", "Click here if you would like to change the component database");
    w.button("cmdQuit", "Quit");
    w.label("Label8", "Remember to save after any change made to a species!");
    w.line("Line1");
    w.menu("mnuFile", "File");
    w.menu("mnuFileOpen", "Open sorption database");
    w.menu("mnuFileExit", "Exit");
}

void Program::wireEvents()
{
    frm_.onLoad = [this] { Form_Load(); };
    c("lstReactions").onClick = [this] { lstReactions_Click(); };
    c("cboIsoterm").onClick = [this] { cboIsoterm_Click(); };
    c("mnuFileOpen").onClick = [this] { mnuFileOpen_Click(); };
    c("mnuFileExit").onClick = [this] { mnuFileExit_Click(); };
    c("cmdCompdb").onClick = [this] { cmdCompdb_Click(); };
    c("cmdQuit").onClick = [this] { cmdQuit_Click(); };
    c("cmdAddnew").onClick = [this] { cmdAddnew_Click(); };
    c("cmdNextcomp").onClick = [this] { cmdNextcomp_Click(); };
    c("cmdSuggest").onClick = [this] { cmdSuggest_Click(); };
    c("cmdDelete").onClick = [this] { cmdDelete_Click(); };
    c("cmdSavedb").onClick = [this] { cmdSavedb_Click(); };
    c("cmdNewDb").onClick = [this] { cmdNewDb_Click(); };
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
    } catch (const std::exception&) {
    }

    Control& name = c("lblNameDb");
    name.setVisible(true);
    name.setCaption(st_.Dbname);
    takeFileKind(false);

    Control& models = c("cboIsoterm");
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
            c("txtKsel").setVisible(true);
            c("lblKsel").setVisible(true);
            if (resetKsel) c("lblKsel").setCaption("Selectivity coefficient (K-sel)");
        }
    }
}

void Program::Listfill()
{
    c("lstReactions").clear();
    c("txtdhr").setVisible(true);
    c("lbldhr").setVisible(true);
    c("lbldhr").setCaption("dHr (kJ/mol)");

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
            c("cboIsoterm").setVisible(true);
            c("lblIsoterm").setVisible(true);
            c("lblIsoterm").setCaption("Isotherm model");
            c("cboIsoterm").setText(st_.Isomodel);
            if (st_.Isomodel != "NICA") {
                for (const char* hidden : {"txtdhr", "lbldhr", "txtKsel", "lblKsel"}) c(hidden).setVisible(false);
            } else {
                c("lbldhr").setCaption("p");
            }
            if (auto caption = logkCaption(st_.Isomodel)) c("lblLogk").setCaption(*caption);
            const bool mb = usesMbBlock(st_.Isomodel);
            for (const char* label : {"lblMA", "lblMB", "lblMBnote"}) c(label).setVisible(mb);
            if (mb) st_.MBused = true;
        } else if (st_.Blifile) {
            c("txtf50").setVisible(true);
            c("lblIsoterm").setVisible(true);
            c("lblIsoterm").setCaption("Critical f value");
            c("lblKsel").setVisible(true);
            c("lblKsel").setCaption("Contributes to toxicity");
            c("txtKsel").setVisible(true);
        }
        if (st_.Blifile) c("txtf50").setText(qv::displayForm(readListHeader(in, {false, true}).f50));

        Control& list = c("lstReactions");
        for (int k = 1; k <= listLimit; ++k) {
            if (in.atEnd()) break;
            SpeciesRecord r = readSpecies(in);
            if (r.isEndRecord()) break;
            list.addItem(r.name().asText());
        }
    } catch (const std::exception&) {
    }
}

void Program::mnuFileOpen_Click()
{
    // A cancel leaves the open database and everything the window shows of it as it was: the
    // window is set up for the new file only once there is one.
    const std::optional<std::string> chosen = app_.openDialog(openFilter, st_.dialogDir, files_.currentDir());
    if (!chosen) return;

    st_.Isomodel.clear();
    st_.Isochoice.clear();
    st_.Cdbfile = false;
    for (const char* hidden : {"lblKsel", "txtKsel", "txtf50", "lblIsoterm", "cboIsoterm"}) c(hidden).setVisible(false);
    // What an isotherm file changed goes back; Listfill shows it again where the new file needs it.
    c("lblLogk").setCaption("log K");
    for (const char* label : {"lblMA", "lblMB", "lblMBnote"}) c(label).setVisible(false);

    st_.Dbname = *chosen;
    c("lblNameDb").setVisible(true);
    c("lblNameDb").setCaption(st_.Dbname);
    takeFileKind(true);
    Listfill();
}

void Program::cmdCompdb_Click()
{
    // The user picks an existing component database or types a name; it is read the next time
    // a species is shown or entered.
    if (auto chosen = app_.saveDialog(compFilter, st_.dialogDir, files_.currentDir())) st_.Compdbname = *chosen;
}

void Program::cboIsoterm_Click()
{
    st_.Isochoice = c("cboIsoterm").text();
    Listfill();
}

void Program::cmdQuit_Click() { app_.end(); }

void Program::mnuFileExit_Click() { app_.end(); }

// ---- The species display ----------------------------------------------------------------------

void Program::lstReactions_Click()
{
    if (st_.Suggesting) return;

    for (int i = 1; i <= componentRows; ++i)
        for (const char* row : {"lblStoich", "txtMBstoich", "txtComp", "txtStoich"}) c(row, i).setVisible(false);
    c("lblLk2").setVisible(false);
    c("txtLk2").setVisible(false);

    // Unguarded: a database or component database that cannot be read is reported.
    qv::RecordReader in = files_.openRead(st_.Dbname);
    const bool modelFile = isModelFile(fileKindOf(st_.Dbname));
    const std::string model = readDisplayHeader(in, {modelFile, !modelFile && st_.Blifile});
    if (modelFile) st_.Isomodel = model;

    // The first record of the selected name is shown.
    const std::string wanted = trim(c("lstReactions").text());
    std::optional<SpeciesRecord> found;
    for (int k = 1; k <= listLimit && !found; ++k) {
        if (in.atEnd()) return;
        SpeciesRecord r = readSpecies(in);
        if (r.isEndRecord()) return;
        if (r.name().asText() == wanted) found = std::move(r);
    }
    if (!found) return;
    const SpeciesRecord& r = *found;

    // A row whose component has no M.B. pair shows an empty M.B. box ("equal to M.A."), never a
    // value left from another species.
    st_.MBstoich.fill(Field());
    st_.MBcompid.fill(Field());
    placePairs(r, st_.Stoich, st_.Compid, st_.MBstoich, st_.MBcompid, MbPlacement::ByRow);

    const double f1 = r.id().asNumber();
    const std::string& name = r.name().asText();
    const Field& f6 = r.fields[5];
    if (inLk2Range(f1) && name != "/FA-" && name != "/HA-") {
        c("txtLk2").setVisible(true);
        c("lblLk2").setCaption("Lk2");
        c("lblLk2").setVisible(true);
        c("txtLk2").setText(blankDisplay(f6));
    } else if (inIsothermParameterRange(f1)) {
        c("txtLk2").setVisible(true);
        if (st_.Isomodel == "NICA") {
            c("txtKsel").setVisible(true);
            c("lblKsel").setVisible(true);
            c("lblKsel").setCaption("m-ref");
        }
        // m: Langmuir-Freundlich and NICA sites; b: the Temkin site; n: NICA-Donnan sites.
        c("lblLk2").setCaption(f1 < 13299999 ? "m" : f1 < 13399999 ? "b" : "n");
        c("lblLk2").setVisible(true);
        c("txtLk2").setText(blankDisplay(f6));
    } else if (st_.Blifile) {
        c("txtKsel").setText(f6.asNumber() == 0 ? " No" : " Yes");
    }
    c("txtlogk").setText(blankDisplay(r.fields[3]));
    c("txtdhr").setText(blankDisplay(r.fields[2]));
    if (st_.Isomodel == "NICA" || st_.Cdbfile) c("txtKsel").setText(blankDisplay(r.fields[4]));

    const double n = componentCountOf(r.countField());
    c("txtName").setText(name);
    c("txtID").setText(qv::displayForm(f1));
    c("txtCharge").setText(qv::displayForm(r.fields[6].asNumber()));
    c("txtNocomp").setText(qv::displayForm(n));  // the full count, also beyond the eight rows

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
            c("txtMBstoich", i).setVisible(true);
            c("txtMBstoich", i).setText(st_.MBstoich[k].isEmpty() ? "" : qv::displayForm(st_.MBstoich[k].asNumber()));
        }
        c("lblStoich", i).setVisible(true);
        c("txtComp", i).setVisible(true);
        c("txtStoich", i).setVisible(true);
        c("txtStoich", i).setText(qv::displayForm(st_.Stoich[k].asNumber()));
        c("txtComp", i).setText(st_.Compname[k]);
    }
    c("cmdDelete").setVisible(true);
}

// ---- Entering a new species -------------------------------------------------------------------

void Program::clearComponentRows()
{
    for (int i = 1; i <= componentRows; ++i) {
        for (const char* box : {"txtStoich", "txtMBstoich", "txtComp"}) {
            c(box, i).setText("");
            c(box, i).setVisible(false);
        }
        c("lblStoich", i).setVisible(false);
    }
}

void Program::cmdAddnew_Click()
{
    // Read first: a component database that cannot be read leaves the window as it was.
    const std::vector<qv::Component> components = qv::listComponents(files_, st_.Compdbname, 500);

    for (const char* shown : {"lblAddnew", "lblComp", "txtSpname", "cboComp", "lblSpname", "cmdNextcomp", "txtStoicn",
                              "cmdSuggest"})
        c(shown).setVisible(true);
    for (const char* hidden : {"cmdDelete", "lblLk2", "txtLk2"}) c(hidden).setVisible(false);
    if (st_.MBused) c("lblMAnote").setVisible(true);

    Control& list = c("cboComp");
    list.clear();
    c("txtSpname").setText("");
    c("lblComp").setCaption("Component no. 1");
    for (const qv::Component& comp : components) {
        const double x = comp.id.asNumber();
        if (leftOutOfComponentList(x, st_.Isomodel, st_.Cdbfile)) continue;
        list.addItem(x == 812 ? "=SOH" : x == 811 ? "=SOHh" : x == 816 ? "=S3O" : comp.name);
    }
    list.addItem("H2O");

    clearComponentRows();
    c("lstReactions").setText("");
    for (const char* emptied : {"txtName", "txtID", "txtlogk", "txtKsel", "txtdhr", "txtCharge"}) c(emptied).setText("");
    c("txtNocomp").setText("0");
    st_.Compindex = 1;
}

void Program::takeInComponent()
{
    const int n = st_.Compindex;
    c("txtComp", n).setVisible(true);
    c("txtStoich", n).setVisible(true);
    if (st_.MBused) c("txtMBstoich", n).setVisible(true);
    c("lblStoich", n).setVisible(true);
    c("txtComp", n).setText(c("cboComp").text());
    c("txtStoich", n).setText(c("txtStoicn").text());
    c("txtStoicn").setText("");
    c("cboComp").setText("");
    ++st_.Compindex;
    c("lblComp").setCaption("Component no. " + std::to_string(st_.Compindex));
}

void Program::cmdNextcomp_Click()
{
    if (st_.Compindex > componentRows) return refuse(msgNinthComponent);
    takeInComponent();
}

// ---- Species ID numbering ---------------------------------------------------------------------

void Program::numgenerator2()
{
    for (int i = 1; i <= 2; ++i) {
        // The last match among the first 400 components wins; no match leaves Idcomp(i) as it was.
        if (auto id = qv::componentIdByName(files_, st_.Compdbname, trim(c("txtComp", i).text())))
            st_.Idcomp[static_cast<std::size_t>(i)] = id->asNumber();
    }
}

void Program::numgenerator3(int i, std::array<Field, 11>& Cnom)
{
    const std::string name = trim(c("txtComp", i).text());
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
    const bool pending = !c("cboComp").text().empty() && !c("txtStoicn").text().empty();
    if (pending && st_.Compindex > componentRows) return refuse(msgNinthComponent);

    // While the suggestion runs, selecting the new name in the list loads no other species.
    st_.Suggesting = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{st_.Suggesting};

    const std::string spname = c("txtSpname").text();
    c("lstReactions").addItem(spname);
    c("lstReactions").setText(spname);
    c("txtName").setText(spname);

    if (pending) takeInComponent();
    c("txtNocomp").setText(std::to_string(st_.Compindex - 1));

    numgenerator2();
    const std::string& model = st_.Isomodel;
    adjustIdcompForModel(st_.Idcomp[1], st_.Idcomp[2], model, c("txtComp", 1).text());

    const double base = idBase(st_.Idcomp[1], st_.Idcomp[2]);
    if (inLk2Range(base) || inIsothermParameterRange(base)) {
        c("txtLk2").setVisible(true);
        c("lblLk2").setVisible(true);
        c("txtLk2").setText(" 0");
        if (model == "NICA") {
            c("txtdhr").setText(" 0");
            c("txtKsel").setVisible(true);
            c("txtKsel").setText(" 0");
        }
    }

    // One read of every species ID of the file, beyond the 4000th record too.
    qv::RecordReader in = files_.openRead(st_.Dbname);
    const SpeciesIds used = readSpeciesIds(in, {!model.empty(), st_.Blifile});
    const double proposal = proposeSpeciesId(used, st_.Idcomp[1], st_.Idcomp[2]);
    st_.Suggesting = false;
    c("txtID").setText(qv::numberForm(proposal));
}

// ---- Building the species record --------------------------------------------------------------

std::optional<std::string> Program::writeRefusal()
{
    if (!qv::writableText(trim(c("txtName").text()))) return msgQuoteInName;
    const double n = std::floor(qv::textToNumber(c("txtNocomp").text()));
    if (!(n >= 0 && n <= componentRows)) return msgComponentCount;
    if (st_.MBused) {
        int filled = 0;
        for (int i = 1; i <= static_cast<int>(n); ++i)
            if (!trim(c("txtMBstoich", i).text()).empty()) ++filled;
        if (filled > maxMbPairs) return msgTooManyMb;
    }
    // A component the component database does not hold would be written with an empty
    // component ID, which leaves the reaction unusable: refuse it.
    std::array<Field, 11> Cnom{};
    for (int i = 1; i <= static_cast<int>(n); ++i) {
        numgenerator3(i, Cnom);
        if (!Cnom[static_cast<std::size_t>(i)].isNumber())
            return "The component \"" + trim(c("txtComp", i).text()) + "\" of row " + std::to_string(i) +
                   " is not in the component database " + st_.Compdbname +
                   ". Please choose the components from the list before saving";
    }
    return std::nullopt;
}

SpeciesRecord Program::SpeciesChange()
{
    auto number = [this](const char* name) { return qv::textToNumberComma(c(name).text()); };
    const bool kselShown = st_.Isomodel == "NICA" || st_.Cdbfile;
    double sixth = 0;
    if (c("txtLk2").visible())
        sixth = number("txtLk2");
    else if (st_.Blifile)
        sixth = trim(c("txtKsel").text()) == "Yes" ? 1 : 0;
    // writeRefusal() has kept n within the eight rows.
    const int n = static_cast<int>(std::floor(qv::textToNumber(c("txtNocomp").text())));

    std::array<Field, 11> Cnom{};
    for (int i = 1; i <= n; ++i) numgenerator3(i, Cnom);

    SpeciesRecord r;
    std::vector<ComponentPair> mb;
    for (int i = 1; i <= n; ++i) {
        const Field& id = Cnom[static_cast<std::size_t>(i)];
        r.components.push_back({Field::number(qv::textToNumberComma(c("txtStoich", i).text())), id});
        // An empty M.B. box: the M.B. coefficient equals the M.A. one and no pair is written.
        const std::string mbText = trim(c("txtMBstoich", i).text());
        if (st_.MBused && !mbText.empty()) mb.push_back({Field::number(qv::textToNumberComma(mbText)), id});
    }
    const int m = static_cast<int>(mb.size());
    r.fields = {Field::number(qv::textToNumber(c("txtID").text())),
                Field::text(trim(c("txtName").text())),
                Field::number(number("txtdhr")),
                Field::number(number("txtlogk")),
                Field::number(kselShown ? number("txtKsel") : 0),
                Field::number(sixth),
                Field::number(number("txtCharge")),
                Field::whole(0),
                Field::whole(0),
                Field::whole(0),
                Field::whole(0),
                Field::whole(st_.MBused && m > 0 ? n + 100 : n)};
    if (st_.MBused && m > 0) {
        r.mbCount = Field::whole(m);
        r.mbPairs = std::move(mb);
    }
    st_.Changeflag = "Y";
    return r;
}

// ---- Deleting and saving ----------------------------------------------------------------------

SaveHeader Program::saveHeader(const std::string& model) const
{
    SaveHeader h;
    h.old.model = !st_.Isomodel.empty();
    h.old.blm = !h.old.model && st_.Blifile;
    h.model = model;
    h.f50 = qv::textToNumber(frm_("txtf50").text());
    return h;
}

void Program::cmdDelete_Click()
{
    Control& list = c("lstReactions");
    const std::string selected = trim(list.text());
    if (selected.empty()) return refuse("No species defined", "Quenvar");
    if (selected == trim(c("txtSpname").text())) {
        // A new species that was never saved: only the list knows it.
        refuse("This species is not yet in the database anyway", "Quenvar");
        list.removeItem(list.listIndex());
        list.setText("");
        return;
    }
    if (!app_.askYesNo("Are you really sure you would like to delete this species from the database? Once deleted "
                       "it is gone!",
                       "Deletion of species - Quenvar"))
        return;

    // Every record of the selected name is dropped; the database is replaced only by a
    // complete new file, so a failure leaves it, the list and the fields as they were.
    RewritePlan plan;
    plan.header = saveHeader(st_.Isomodel);
    plan.matchName = selected;
    const RewriteResult result = rewriteDatabase(files_.readBytes(st_.Dbname), st_.Dbname, plan);
    files_.rewrite(tempName, st_.Dbname, result.bytes);

    list.removeItem(list.listIndex());
    list.setText("");
    clearComponentRows();
    for (const char* emptied : {"txtID", "txtName", "txtlogk", "txtdhr", "txtCharge"}) c(emptied).setText("");
    c("txtNocomp").setText("0");
    c("txtKsel").setText("");
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
    const std::string selected = trim(c("lstReactions").text());
    if (selected.empty() && trim(c("cboIsoterm").text()).empty())
        return "Please use the mouse to select the database species to be changed before saving";
    for (const char* required : {"txtlogk", "txtCharge", "txtID", "txtNocomp"})
        if (trim(c(required).text()).empty())
            return "One or more required data fields have been left blank. Please complete before saving";
    return writeRefusal();
}

bool Program::savingNewSpecies() const
{
    const std::string selected = trim(frm_("lstReactions").text());
    return !selected.empty() && selected == trim(frm_("txtSpname").text());
}

std::string Program::savedDatabase(const std::string& source)
{
    st_.Changeflag = "N";
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
        plan.matchName = trim(c("lstReactions").text());
        plan.replacement = [this] { return SpeciesChange(); };
        plan.replaceEach = true;
        bytes = rewriteDatabase(std::move(old), source, plan).bytes;
        st_.Isochoice = model;
    }
    st_.Changeflag = "N";
    return bytes;
}

void Program::savedb()
{
    if (auto refusal = saveRefusal()) return refuse(*refusal);
    const bool newSpecies = savingNewSpecies();
    files_.rewrite(tempName, st_.Dbname, savedDatabase(st_.Dbname));

    if (newSpecies) Newspecdelete();
    Listfill();
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

    const std::optional<std::string> chosen = app_.saveDialog(filter, st_.dialogDir, files_.currentDir());
    if (!chosen) return;

    // A species the save refuses: the new database is still made, as a copy of the open one, and
    // the window works on it from now on.
    if (auto refusal = saveRefusal()) {
        files_.copyFile(previous, *chosen);
        st_.Dbname = *chosen;
        c("lblNameDb").setCaption(st_.Dbname);
        return refuse(*refusal);
    }

    // The new database is the open one with the save applied, written whole and put in place in
    // one step: a failure or a crash on the way leaves no half-made database (nor a bare copy)
    // under the chosen name. The file open before is left as it was. Only then does the window
    // work on the new file.
    const bool newSpecies = savingNewSpecies();
    files_.rewrite(tempName, *chosen, savedDatabase(previous));
    st_.Dbname = *chosen;
    c("lblNameDb").setCaption(st_.Dbname);

    if (newSpecies) Newspecdelete();
    Listfill();
}

void Program::Newspecdelete()
{
    c("txtSpname").setText("");
    for (const char* hidden : {"txtSpname", "lblAddnew", "txtStoicn", "lblSpname", "lblComp", "cboComp", "cmdNextcomp",
                               "cmdSuggest", "lblMAnote"})
        c(hidden).setVisible(false);
}

}  // namespace surfkit
