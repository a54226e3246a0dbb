#include "humkit/check.h"

#include <cmath>
#include <iostream>
#include <map>
#include <optional>

#include "humkit/sitefile.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"

namespace humkit {

using qv::check::num;
using qv::check::quoted;

namespace {

bool sameSite(const qv::Field& a, const qv::Field& b)
{
    if (a.isText() || b.isText()) return a.asText() == b.asText();
    return a.asNumber() == b.asNumber();
}

// A count as the file holds it: the whole part of its number.
int countOf(qv::RecordReader& in)
{
    const double v = std::floor(in.number());
    return v > 1e6 ? 1000000 : v < -1e6 ? -1000000 : static_cast<int>(v);
}

// A count that must lie between `low` and `high`; `key` is empty for a count of the file as a whole.
void checkRange(qv::check::Report& report, const std::string& path, int line, const std::string& key,
                const std::string& what, int value, int low, int high)
{
    if (value < low || value > high)
        report.error(path, line, key, "count-range",
                     (key.empty() ? "" : "set " + key + ": ") + "the " + what + " is " + std::to_string(value) +
                         "; it must lie between " + std::to_string(low) + " and " + std::to_string(high),
                     key.empty() ? "" : key.substr(1, key.size() - 2));
}

// The findings of one set, each under its line and key.
struct SetFindings {
    qv::check::Report& report;
    const std::string& path;
    int line;
    const std::string& name;
    std::string key;

    void error(const char* code, const std::string& m) const
    {
        report.error(path, line, key, code, "set " + key + ": " + m, name);
    }
    void warning(const char* code, const std::string& m) const
    {
        report.warning(path, line, key, code, "set " + key + ": " + m, name);
    }
};

// Reads the bidentate and tridentate combinations of a set; a site named twice in one is reported.
void checkCombinations(qv::RecordReader& in, int bi, int tri, const SetFindings& f)
{
    const char* kinds[] = {"bidentate", "tridentate"};
    const int counts[] = {bi, tri};
    for (int w = 0; w < 2; ++w) {
        for (int k = 1; k <= counts[w]; ++k) {
            qv::Field site[3];
            for (int j = 0; j < w + 2; ++j) site[j] = in.field();
            bool twice = false;
            qv::Field again;
            for (int x = 0; x < w + 2; ++x)
                for (int y = x + 1; y < w + 2; ++y)
                    if (!twice && sameSite(site[x], site[y])) {
                        twice = true;
                        again = site[x];
                    }
            if (twice)
                f.warning("site-reuse", std::string(kinds[w]) + " combination " + std::to_string(k) +
                                            " names the site " + again.asText() + " twice");
        }
    }
}

// Reads the rest of the set `name`, whose name stands on `line`: its counts and sites.
void checkSet(qv::RecordReader& in, const std::string& path, int line, const std::string& name,
              const CationNames& cations, std::map<std::string, int>& names, qv::check::Report& report)
{
    const SetFindings f{report, path, line, name, quoted(name)};
    auto [at, added] = names.try_emplace(name, line);
    if (!added) f.error("duplicate-set", "a set of this name stands on line " + std::to_string(at->second));
    if (name != generalSettingsName && cations.loaded && !cations.names.count(name))
        f.warning("unknown-cation",
                  "comp.mdb holds no cation of this name" + qv::check::didYouMean(name, cations.inOrder));
    const int mono = countOf(in), bi = countOf(in), tri = countOf(in);
    checkRange(report, path, line, f.key, "monodentate count", mono, 0, maxMonodentate);
    checkRange(report, path, line, f.key, "bidentate count", bi, 0, maxBidentate);
    checkRange(report, path, line, f.key, "tridentate count", tri, 0, maxTridentate);
    for (int k = 0; k < mono; ++k) in.field();
    checkCombinations(in, bi, tri, f);
}

// Reads the groups that end the file; their fractions must add up to 1.
void checkGroups(qv::RecordReader& in, const std::string& path, qv::check::Report& report)
{
    const int line = in.line();
    const int groups = countOf(in);
    checkRange(report, path, line, {}, "group count", groups, minGroups, maxGroups);
    double sum = 0;
    for (int g = 0; g < groups; ++g) sum += in.number();
    if (groups > 0 && std::fabs(sum - 1) > 1e-6)
        report.error(path, line, {}, "fractions", "the group fractions add up to " + num(sum) + ", not 1");
}

}  // namespace

CationNames readCationNames(const qv::Files& files, const std::string& compPath, qv::check::Report& report)
{
    CationNames cations;
    try {
        qv::scanComponents(files, compPath, 1 << 30, [&](const qv::Component& c) {
            if (cations.names.insert(c.name).second) cations.inOrder.push_back(c.name);
            return true;
        });
        cations.loaded = true;
    } catch (const qv::Error& e) {
        report.unreadable(compPath, 0, qv::check::failureOf(e), false);
        cations.loaded = !cations.names.empty();
    }
    return cations;
}

void checkSiteFile(const qv::Files& files, const std::string& path, const CationNames& cations,
                   qv::check::Report& report)
{
    std::optional<qv::RecordReader> in = qv::check::openForCheck(files, path, report, true);
    if (!in) return;
    bool readAny = false;
    try {
        const int setCount = countOf(*in);
        checkRange(report, path, 1, {}, "set count", setCount, 1, maxSets);
        std::map<std::string, int> names;
        for (int s = 1; s <= setCount; ++s) {
            const int line = in->line();
            const std::string name = in->text();
            readAny = true;
            checkSet(*in, path, line, name, cations, names, report);
        }
        checkGroups(*in, path, report);
    } catch (const qv::Error& e) {
        report.unreadable(path, qv::check::stopLine(*in), qv::check::failureOf(e), !readAny);
    }
}

int checkMain(const std::vector<std::string>& args)
{
    const auto a = qv::check::parseArguments(args, {"comp"});
    if (!a) {
        std::cerr << "usage: humkit --check FILE... [--json] [--comp PATH]\n";
        return 2;
    }
    qv::Files files(qv::Files::processDirectory());
    qv::check::Report report;
    std::string comp = a->values.count("comp") ? a->values.at("comp") : "";
    if (comp.empty())
        if (auto paths = qv::check::readDabasePaths(files, qv::dabaseName, report, false)) comp = (*paths)[2];
    CationNames cations;
    if (!comp.empty()) cations = readCationNames(files, comp, report);
    for (const std::string& file : a->files) checkSiteFile(files, file, cations, report);
    qv::check::print(report, a->json, std::cout);
    return report.exitStatus();
}

}  // namespace humkit
