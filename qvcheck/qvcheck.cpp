#include "qvcheck/qvcheck.h"

#include "quenvar/cli.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "humkit/check.h"
#include "ionkit/check.h"
#include "prefkit/check.h"
#include "quenvar/check.h"
#include "quenvar/datafiles.h"
#include "surfkit/check.h"
#include "tracekit/check.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* usage = "usage: qvcheck [DIR] [--json]   (DIR: the data directory, default the current one)\n";

constexpr const char* help = R"(Usage: qvcheck [DIR] [--json]
       qvcheck --help | --version

Checks the Quenvar data files of a directory and reports what is wrong.

It checks every file of the suite that DIR holds (default: the current directory):
  dabase.txt, deftempar.dat   database paths that name no file, paths that differ between the two,
                              setting codes and model parameters outside their range
  *.MDB *.CDB *.ISO *.NIC *.BLI  sorption databases, against comp.mdb of DIR: unknown components,
                              charge balance, duplicate IDs and names, component counts, zero
                              coefficients, M.B. components, ID scheme, end block, records past 4000
  analyt.mdb                  temperature functions, against the thermo.mdb and type6.mdb that
                              dabase.txt names: unknown species, stale IDs, log K not finite from
                              0 to 100 degrees C, duplicate names, section separator and end record
  sit_eta.txt                 SIT pairs, against thermo.mdb and comp.mdb: unknown species, charge
                              signs, duplicate and reversed pairs, empty references, coefficients
                              that are no number
  *.MSI.TXT                   site settings: fractions, counts, sites named twice, unknown cations,
                              duplicate sets
Names that end so are checked too (e.g. old-sit_eta.txt). A damaged file is an "unreadable" finding.

Each finding is a line FILE:LINE: error|warning: MESSAGE [code]; --json prints one JSON object per
finding instead. The last line gives the totals.
Exit status: 0 no error (warnings allowed), 1 an error, 2 a file could not be read at all or
wrong arguments.
)";

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool endsWith(const std::string& s, const char* tail)
{
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

enum class Kind { None, Dabase, Defaults, Sorption, Analyt, Sit, Site };

Kind kindOf(const std::string& name, const std::set<std::string>& databases)
{
    const std::string n = lower(name);
    if (endsWith(n, "dabase.txt")) return Kind::Dabase;
    if (endsWith(n, "deftempar.dat")) return Kind::Defaults;
    if (endsWith(n, "sit_eta.txt")) return Kind::Sit;
    if (endsWith(n, ".msi.txt")) return Kind::Site;
    if (endsWith(n, "analyt.mdb")) return Kind::Analyt;
    // The databases that no tool of the suite writes, and the temporary files of the rewrites.
    if (databases.count(n) || n == "analytp.mdb" || n == "dbnamep.mdb") return Kind::None;
    for (const char* ext : {".mdb", ".cdb", ".iso", ".nic", ".bli"})
        if (endsWith(n, ext)) return Kind::Sorption;
    return Kind::None;
}

// Answers --help and --version and refuses unknown options; the exit status when that ends the run.
std::optional<int> options(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << help;
            return 0;
        }
        if (arg == "--version") {
            out << "qvcheck " << qv::cli::version() << '\n';
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-' && arg != "--json") {
            err << "qvcheck: unknown option " << arg << "; see \"qvcheck --help\"\n";
            return 2;
        }
    }
    return std::nullopt;
}

// The directory to check, without trailing separators; nothing when it is none (reported).
std::optional<std::string> directoryOf(const qv::check::Arguments& a, std::ostream& err)
{
    std::string dir = a.files.empty() ? "." : a.files[0];
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        err << "qvcheck: " << dir << " is no directory\n" << usage;
        return std::nullopt;
    }
    return dir;
}

// The names of the files of `dir`, sorted.
std::vector<std::string> fileNames(const std::string& dir)
{
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file(ec)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The check of the files of one directory, against the databases that its dabase.txt names.
class DirectoryCheck {
public:
    explicit DirectoryCheck(std::string dir) : files_(qv::Files::processDirectory()), dir_(std::move(dir))
    {
        const std::string dabase = inDir(qv::dabaseName);
        if (!files_.exists(dabase)) return;
        qv::check::Report ignored;  // dabase.txt is checked with the other files
        paths_ = qv::check::readDabasePaths(files_, dabase, ignored, false);
        if (paths_)
            for (const std::string& p : *paths_) databases_.insert(lower(qv::check::baseName(p)));
    }

    // Checks the file `name` of the directory; false when it is none of the suite's.
    bool check(const std::string& name);
    const qv::check::Report& report() const { return report_; }

private:
    void analyt(const std::string& path);
    void sit(const std::string& path);
    void site(const std::string& path);

    std::string inDir(const std::string& name) const { return dir_ == "." ? name : qv::joinPath(dir_, name); }
    // A path that dabase.txt names, relative ones taken from the directory.
    // A path with a drive letter stays as it is (it names no file where there are no drives).
    std::string named(const std::string& path) const
    {
        const bool drive = path.size() >= 2 && path[1] == ':';
        return qv::isAbsolutePath(path) || drive ? path : inDir(path);
    }
    // The database path `k` of dabase.txt.
    std::string database(int k) const { return named((*paths_)[static_cast<std::size_t>(k)]); }
    // A database that dabase.txt names but that is not there is reported by the check of
    // dabase.txt; the checks that need it are left out.
    bool there(int k) const { return paths_ && files_.exists(database(k)); }

    qv::Files files_;
    std::string dir_;
    qv::check::Report report_;
    std::optional<std::array<std::string, 4>> paths_;
    std::set<std::string> databases_ = {"comp.mdb", "thermo.mdb", "type6.mdb", "gaussian.mdb"};
    // The databases the checks compare with, each read once and only when a file needs it.
    std::optional<surfkit::ComponentTable> components_;
    std::optional<ionkit::NameTable> sitNames_;
    std::optional<tracekit::SpeciesTable> aqueous_, solids_;
    std::optional<humkit::CationNames> cations_;
};

bool DirectoryCheck::check(const std::string& name)
{
    const std::string path = inDir(name);
    switch (kindOf(name, databases_)) {
    case Kind::None: return false;
    case Kind::Dabase: prefkit::checkDabase(files_, path, report_); break;
    case Kind::Defaults: prefkit::checkDefaults(files_, path, report_); break;
    case Kind::Sorption:
        if (!components_) components_ = surfkit::readComponentTable(files_, inDir(qv::compName), report_);
        surfkit::checkSorption(files_, path, *components_, report_);
        break;
    case Kind::Analyt: analyt(path); break;
    case Kind::Sit: sit(path); break;
    case Kind::Site: site(path); break;
    }
    return true;
}

void DirectoryCheck::analyt(const std::string& path)
{
    if (!aqueous_)
        aqueous_ = there(0) ? tracekit::readSpeciesTable(files_, database(0), report_) : tracekit::SpeciesTable{};
    if (!solids_)
        solids_ = there(1) ? tracekit::readSpeciesTable(files_, database(1), report_) : tracekit::SpeciesTable{};
    tracekit::checkAnalyt(files_, path, *aqueous_, *solids_, report_);
}

void DirectoryCheck::sit(const std::string& path)
{
    if (!sitNames_)
        sitNames_ = there(0) && there(2) ? ionkit::readNameTable(files_, database(0), database(2), report_)
                                         : ionkit::NameTable{};
    ionkit::checkSit(files_, path, *sitNames_, report_);
}

void DirectoryCheck::site(const std::string& path)
{
    if (!cations_) cations_ = there(2) ? humkit::readCationNames(files_, database(2), report_) : humkit::CationNames{};
    humkit::checkSiteFile(files_, path, *cations_, report_);
}

// The last line: the files checked and the errors and warnings found.
void printTotals(const qv::check::Report& report, int checked, bool json, std::ostream& out)
{
    if (json) {
        out << "{\"files\":" << checked << ",\"errors\":" << report.errors() << ",\"warnings\":" << report.warnings()
            << "}\n";
        return;
    }
    out << std::to_string(checked) + " files checked, " + std::to_string(report.errors()) +
               (report.errors() == 1 ? " error, " : " errors, ") + std::to_string(report.warnings()) +
               (report.warnings() == 1 ? " warning" : " warnings")
        << '\n';
}

}  // namespace

namespace qvcheck {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (const std::optional<int> status = options(args, out, err)) return *status;
    const auto a = qv::check::parseArguments(args, {}, false);
    if (!a || a->files.size() > 1) {
        err << usage;
        return 2;
    }
    const std::optional<std::string> dir = directoryOf(*a, err);
    if (!dir) return 2;
    DirectoryCheck check(*dir);
    int checked = 0;
    for (const std::string& name : fileNames(*dir))
        if (check.check(name)) ++checked;
    qv::check::print(check.report(), a->json, out);
    printTotals(check.report(), checked, a->json, out);
    return check.report().exitStatus();
}

}  // namespace qvcheck
