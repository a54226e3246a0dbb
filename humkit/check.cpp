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
    auto range = [&](int line, const std::string& key, const std::string& what, int value, int low, int high) {
        if (value < low || value > high)
            report.error(path, line, key, "count-range",
                         (key.empty() ? "" : "set " + key + ": ") + "the " + what + " is " + std::to_string(value) +
                             "; it must lie between " + std::to_string(low) + " and " + std::to_string(high),
                         key.empty() ? "" : key.substr(1, key.size() - 2));
    };
    try {
        const int setCount = countOf(*in);
        range(1, {}, "set count", setCount, 1, maxSets);
        std::map<std::string, int> names;
        for (int s = 1; s <= setCount; ++s) {
            const int line = in->line();
            const std::string name = in->text();
            const std::string key = quoted(name);
            readAny = true;
            auto warning = [&](const char* code, const std::string& m) {
                report.warning(path, line, key, code, "set " + key + ": " + m, name);
            };
            auto [at, added] = names.try_emplace(name, line);
            if (!added)
                report.error(path, line, key, "duplicate-set",
                             "set " + key + ": a set of this name stands on line " + std::to_string(at->second), name);
            if (name != generalSettingsName && cations.loaded && !cations.names.count(name))
                warning("unknown-cation",
                        "comp.mdb holds no cation of this name" + qv::check::didYouMean(name, cations.inOrder));
            const int mono = countOf(*in), bi = countOf(*in), tri = countOf(*in);
            range(line, key, "monodentate count", mono, 0, maxMonodentate);
            range(line, key, "bidentate count", bi, 0, maxBidentate);
            range(line, key, "tridentate count", tri, 0, maxTridentate);
            for (int k = 0; k < mono; ++k) in->field();
            const char* kinds[] = {"bidentate", "tridentate"};
            const int counts[] = {bi, tri};
            for (int w = 0; w < 2; ++w) {
                for (int k = 1; k <= counts[w]; ++k) {
                    qv::Field site[3];
                    for (int j = 0; j < w + 2; ++j) site[j] = in->field();
                    bool twice = false;
                    qv::Field again;
                    for (int x = 0; x < w + 2; ++x)
                        for (int y = x + 1; y < w + 2; ++y)
                            if (!twice && sameSite(site[x], site[y])) {
                                twice = true;
                                again = site[x];
                            }
                    if (twice)
                        warning("site-reuse", std::string(kinds[w]) + " combination " + std::to_string(k) +
                                                  " names the site " + again.asText() + " twice");
                }
            }
        }
        const int line = in->line();
        const int groups = countOf(*in);
        range(line, {}, "group count", groups, minGroups, maxGroups);
        double sum = 0;
        for (int g = 0; g < groups; ++g) sum += in->number();
        if (groups > 0 && std::fabs(sum - 1) > 1e-6)
            report.error(path, line, {}, "fractions", "the group fractions add up to " + num(sum) + ", not 1");
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
