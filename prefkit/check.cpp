#include "prefkit/check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>

#include "prefkit/params.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"

namespace prefkit {

using qv::check::num;

namespace {

constexpr const char* databaseNames[] = {"thermodynamic database", "solids database", "component database",
                                         "DOM database"};

// Whether `path` (relative: from `dir`) names an existing file.
bool fileExists(const qv::Files& files, const std::string& dir, const std::string& path)
{
    if (path.empty()) return false;
    const qv::Files at(dir.empty() ? files.currentDir() : files.resolve(dir));
    return at.exists(path);
}

// Whether two paths name the same file: the same text, or the same existing file.
bool samePlace(const qv::Files& files, const std::string& dir, const std::string& a, const std::string& b)
{
    if (a == b) return true;
    const qv::Files at(dir.empty() ? files.currentDir() : files.resolve(dir));
    std::error_code ec;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(at.resolve(a), at.resolve(b), ec) && !ec;
}

void checkPaths(const qv::Files& files, const std::string& file, int line, const std::array<std::string, 4>& paths,
                qv::check::Report& report)
{
    const std::string dir = qv::check::directoryOf(file);
    for (std::size_t k = 0; k < paths.size(); ++k)
        if (!fileExists(files, dir, paths[k]))
            report.error(file, line, databaseNames[k], "missing-file",
                         std::string("the ") + databaseNames[k] + " path " + qv::check::quoted(paths[k]) +
                             " names no existing file");
}

struct Choice {
    qv::Field DefaultParameters::*value;
    const char* what;
    int low, high;
};
const Choice choices[] = {
    {&DefaultParameters::iterationCode, "iteration code", 1, 4},
    {&DefaultParameters::inputBasisCode, "input basis code", 0, 1},
    {&DefaultParameters::precipitationCode, "precipitation code", 0, 2},
    {&DefaultParameters::chargeImbalanceCode, "charge-imbalance code", 0, 1},
    {&DefaultParameters::activityCode, "activity code", 1, 3},
};

struct Parameter {
    qv::Field DefaultParameters::*value;
    const char* what;
    bool fraction;  // 0 to 1; otherwise above 0
};
const Parameter parameters[] = {
    {&DefaultParameters::hfoSurfaceArea, "HFO surface area", false},
    {&DefaultParameters::hfoHighAffinity, "HFO high-affinity fraction", true},
    {&DefaultParameters::hfoSiteDensity, "HFO site density", false},
    {&DefaultParameters::hmoSurfaceArea, "HMO surface area", false},
    {&DefaultParameters::hmoHighAffinity, "HMO high-affinity fraction", true},
    {&DefaultParameters::hmoSiteDensity, "HMO site density", false},
    {&DefaultParameters::goethite021HighAffinity, "goethite 021 high-affinity fraction", true},
    {&DefaultParameters::goethite021SiteDensity, "goethite 021 site density", false},
    {&DefaultParameters::goethite110SiteDensity, "goethite 110 site density", false},
    {&DefaultParameters::goethite110S3OSiteDensity, "goethite 110 S3O site density", false},
    {&DefaultParameters::ferrihydriteHighAffinity, "ferrihydrite high-affinity fraction", true},
    {&DefaultParameters::ferrihydriteSiteDensity, "ferrihydrite site density", false},
    {&DefaultParameters::ferrihydriteSurfaceArea, "ferrihydrite surface area", false},
    {&DefaultParameters::goethiteInnerCapacitance, "goethite inner capacitance", false},
    {&DefaultParameters::goethiteOuterCapacitance, "goethite outer capacitance", false},
    {&DefaultParameters::ferrihydriteInnerCapacitance, "ferrihydrite inner capacitance", false},
    {&DefaultParameters::ferrihydriteOuterCapacitance, "ferrihydrite outer capacitance", false},
};

// The number a field holds: a Number, or a Text that is one (blanks around it aside).
std::optional<double> numberOf(const qv::Field& f)
{
    if (f.isNumber()) return f.asNumber();
    if (f.isEmpty()) return std::nullopt;
    const std::string t = qv::trimBlanks(f.asText());
    if (!qv::isNumberText(t)) return std::nullopt;
    return qv::parseNumberText(t);
}

}  // namespace

bool isDabaseFile(const std::string& path)
{
    std::string name = qv::check::baseName(path);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.size() >= 10 && name.compare(name.size() - 10, 10, "dabase.txt") == 0;
}

void checkDabase(const qv::Files& files, const std::string& path, qv::check::Report& report)
{
    if (auto paths = qv::check::readDabasePaths(files, path, report, true)) checkPaths(files, path, 1, *paths, report);
}

void checkDefaults(const qv::Files& files, const std::string& path, qv::check::Report& report)
{
    std::optional<qv::RecordReader> in = qv::check::openForCheck(files, path, report, true);
    if (!in) return;
    DefaultParameters set;
    std::array<int, 9> lineOf{};  // file line of each of the eight lines
    int read = 0;
    try {
        for (const FieldPlace& place : fieldPlaces()) {
            if (place.position == 1) lineOf[static_cast<std::size_t>(place.line)] = in->line();
            if (place.text)
                set.*place.text = in->text();
            else
                set.*place.value = in->field();
            ++read;
        }
    } catch (const qv::Error& e) {
        report.unreadable(path, qv::check::stopLine(*in), qv::check::failureOf(e), read == 0);
        return;
    }
    for (const Choice& c : choices) {
        const qv::Field& f = set.*c.value;
        const std::optional<double> v = numberOf(f);
        if (!v || *v != static_cast<int>(*v) || *v < c.low || *v > c.high)
            report.warning(path, lineOf[static_cast<std::size_t>(placeOf(c.value).line)], c.what, "value-range",
                           std::string("the ") + c.what + " is " + (f.isEmpty() ? "empty" : f.asText()) +
                               "; the window offers " + std::to_string(c.low) + " to " + std::to_string(c.high));
    }
    for (const Parameter& p : parameters) {
        const qv::Field& f = set.*p.value;
        const std::optional<double> v = numberOf(f);
        const int line = lineOf[static_cast<std::size_t>(placeOf(p.value).line)];
        if (!v)
            report.warning(path, line, p.what, "value-range",
                           std::string("the ") + p.what + " " + qv::check::quoted(f.asText()) + " is not a number");
        else if (p.fraction && (*v < 0 || *v > 1))
            report.warning(path, line, p.what, "value-range",
                           std::string("the ") + p.what + " is " + num(*v) + "; a fraction lies between 0 and 1");
        else if (!p.fraction && !(*v > 0))
            report.warning(path, line, p.what, "value-range",
                           std::string("the ") + p.what + " is " + num(*v) + "; it must be above 0");
    }
    const std::array<std::string, 4> paths = {set.thermoPath, set.solidsPath, set.componentsPath, set.domPath};
    checkPaths(files, path, lineOf[3], paths, report);

    // The dabase.txt beside it: Quenvar reads the paths of the one, the tools those of the other.
    const std::string dir = qv::check::directoryOf(path);
    const std::string dabase = dir.empty() ? std::string(qv::dabaseName) : qv::joinPath(dir, qv::dabaseName);
    if (!files.exists(dabase)) return;
    qv::check::Report ignored;  // dabase.txt has its own check
    if (auto other = qv::check::readDabasePaths(files, dabase, ignored, false))
        for (std::size_t k = 0; k < paths.size(); ++k)
            if (!samePlace(files, dir, paths[k], (*other)[k]))
                report.warning(path, lineOf[3], databaseNames[k], "paths-differ",
                               std::string("the ") + databaseNames[k] + " is " + qv::check::quoted(paths[k]) +
                                   " here but " + qv::check::quoted((*other)[k]) +
                                   " in dabase.txt: Quenvar and the tools would read different data");
}

int checkMain(const std::vector<std::string>& args)
{
    const auto a = qv::check::parseArguments(args, {});
    if (!a) {
        std::cerr << "usage: prefkit --check FILE... [--json]   (deftempar.dat, dabase.txt)\n";
        return 2;
    }
    qv::Files files(qv::Files::processDirectory());
    qv::check::Report report;
    for (const std::string& file : a->files) {
        if (isDabaseFile(file))
            checkDabase(files, file, report);
        else
            checkDefaults(files, file, report);
    }
    qv::check::print(report, a->json, std::cout);
    return report.exitStatus();
}

}  // namespace prefkit
