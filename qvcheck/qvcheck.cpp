#include "qvcheck/qvcheck.h"

#include "quenvar/cli.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <string>
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

}  // namespace

namespace qvcheck {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
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
    const auto a = qv::check::parseArguments(args, {}, false);
    if (!a || a->files.size() > 1) {
        err << usage;
        return 2;
    }
    std::string dir = a->files.empty() ? "." : a->files[0];
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        err << "qvcheck: " << dir << " is no directory\n" << usage;
        return 2;
    }
    qv::Files files(qv::Files::processDirectory());
    auto inDir = [&](const std::string& name) { return dir == "." ? name : qv::joinPath(dir, name); };
    // A path that dabase.txt names, relative ones taken from the directory.
    // A path with a drive letter stays as it is (it names no file where there are no drives).
    auto named = [&](const std::string& path) {
        const bool drive = path.size() >= 2 && path[1] == ':';
        return qv::isAbsolutePath(path) || drive ? path : inDir(path);
    };

    qv::check::Report report;
    std::optional<std::array<std::string, 4>> paths;
    std::set<std::string> databases = {"comp.mdb", "thermo.mdb", "type6.mdb", "gaussian.mdb"};
    const std::string dabase = inDir(qv::dabaseName);
    if (files.exists(dabase)) {
        qv::check::Report ignored;  // dabase.txt is checked with the other files below
        paths = qv::check::readDabasePaths(files, dabase, ignored, false);
        if (paths)
            for (const std::string& p : *paths) databases.insert(lower(qv::check::baseName(p)));
    }

    // A database that dabase.txt names but that is not there is reported by the check of
    // dabase.txt; the checks that need it are left out.
    auto there = [&](int k) { return paths && files.exists(named((*paths)[static_cast<std::size_t>(k)])); };

    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file(ec)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());

    // The databases the checks compare with, each read once and only when a file needs it.
    std::optional<surfkit::ComponentTable> components;
    std::optional<ionkit::NameTable> sitNames;
    std::optional<tracekit::SpeciesTable> aqueous, solids;
    std::optional<humkit::CationNames> cations;
    int checked = 0;
    for (const std::string& name : names) {
        const std::string path = inDir(name);
        switch (kindOf(name, databases)) {
        case Kind::None: continue;
        case Kind::Dabase: prefkit::checkDabase(files, path, report); break;
        case Kind::Defaults: prefkit::checkDefaults(files, path, report); break;
        case Kind::Sorption:
            if (!components) components = surfkit::readComponentTable(files, inDir(qv::compName), report);
            surfkit::checkSorption(files, path, *components, report);
            break;
        case Kind::Analyt:
            if (!aqueous)
                aqueous =
                    there(0) ? tracekit::readSpeciesTable(files, named((*paths)[0]), report) : tracekit::SpeciesTable{};
            if (!solids)
                solids =
                    there(1) ? tracekit::readSpeciesTable(files, named((*paths)[1]), report) : tracekit::SpeciesTable{};
            tracekit::checkAnalyt(files, path, *aqueous, *solids, report);
            break;
        case Kind::Sit:
            if (!sitNames)
                sitNames = there(0) && there(2)
                               ? ionkit::readNameTable(files, named((*paths)[0]), named((*paths)[2]), report)
                               : ionkit::NameTable{};
            ionkit::checkSit(files, path, *sitNames, report);
            break;
        case Kind::Site:
            if (!cations)
                cations = there(2) ? humkit::readCationNames(files, named((*paths)[2]), report) : humkit::CationNames{};
            humkit::checkSiteFile(files, path, *cations, report);
            break;
        }
        ++checked;
    }
    qv::check::print(report, a->json, out);
    const std::string totals = std::to_string(checked) + " files checked, " + std::to_string(report.errors()) +
                               (report.errors() == 1 ? " error, " : " errors, ") + std::to_string(report.warnings()) +
                               (report.warnings() == 1 ? " warning" : " warnings");
    if (a->json)
        out << "{\"files\":" << checked << ",\"errors\":" << report.errors() << ",\"warnings\":" << report.warnings()
            << "}\n";
    else
        out << totals << '\n';
    return report.exitStatus();
}

}  // namespace qvcheck
