#include "tracekit/check.h"

#include <cmath>
#include <iostream>
#include <optional>

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "tracekit/analyt.h"

namespace tracekit {

using qv::check::num;
using qv::check::quoted;

namespace {

constexpr const char* termNames = "ABCDEFG";

double logK(const Terms& t, double T)
{
    return t[0] + t[1] * T + t[2] / T + t[3] * std::log10(T) + t[4] * T * T + t[5] / (T * T) + t[6] / std::sqrt(T);
}

}  // namespace

SpeciesTable readSpeciesTable(const qv::Files& files, const std::string& path, qv::check::Report& report)
{
    SpeciesTable table;
    const qv::ScanEnd end = qv::scanThermoById(files, path, [&](const qv::ThermoSpecies& s) {
        if (table.firstId.try_emplace(s.name, s.id).second) table.names.push_back(s.name);
        return true;
    });
    if (end.failed()) report.unreadable(path, 0, qv::check::failureOf(*end.failure), false);
    table.loaded = !end.failed() || !table.names.empty();
    return table;
}

void checkAnalyt(const qv::Files& files, const std::string& path, const SpeciesTable& aqueous,
                 const SpeciesTable& solids, qv::check::Report& report)
{
    std::optional<qv::RecordReader> in = qv::check::openForCheck(files, path, report, true);
    if (!in) return;
    int sectionEnds = 0, count = 0;
    std::map<std::string, int> seen[2];
    try {
        if (!in->atEnd()) in->field();  // the header
        while (!in->atEnd() && sectionEnds < 2) {
            const int line = in->line();
            const AnalyteRecord r = readRecord(*in);
            ++count;
            if (r.isSectionEnd()) {
                ++sectionEnds;
                continue;
            }
            const bool solid = sectionEnds == 0;
            const SpeciesTable& db = solid ? solids : aqueous;
            const char* dbName = solid ? "type6.mdb" : "thermo.mdb";
            const std::string& name = r.nameText();
            const std::string key = r.id.asText() + " " + quoted(name);
            const std::string what = (solid ? "solid " : "aqueous species ") + key + ": ";
            const char* section = solid ? "solid" : "aqueous";
            auto error = [&](const char* code, const std::string& m) {
                report.add({path, line, key, qv::check::Severity::Error, code, what + m, name, section});
            };
            if (db.loaded) {
                auto it = db.firstId.find(name);
                if (it == db.firstId.end()) {
                    error("unknown-species", std::string(dbName) + " holds no species of this name" +
                                                 qv::check::didYouMean(name, db.names));
                } else if (!r.id.isNumber() || r.id.asNumber() != it->second) {
                    error("stale-id", "the species ID is " + r.id.asText() + ", but " + dbName + " gives " +
                                          quoted(name) + " the ID " + std::to_string(it->second));
                }
            }
            Terms terms{};
            bool numbers = true;
            for (int k = 0; k < termCount; ++k) {
                const qv::Field& f = r.terms[static_cast<std::size_t>(k)];
                if (f.isText()) {
                    error("not-finite",
                          std::string("the term ") + termNames[k] + " " + quoted(f.asText()) + " is not a number");
                    numbers = false;
                }
                terms[static_cast<std::size_t>(k)] = f.asNumber();
            }
            // Each term is monotonic in T, so its largest magnitude between 0 and 100 degrees C is
            // at an end: when their sum is finite there, log K is finite throughout.
            double bound = 0;
            for (const double T : {273.15, 373.15}) {
                const Terms one = {1, T, 1 / T, std::log10(T), T * T, 1 / (T * T), 1 / std::sqrt(T)};
                for (int k = 0; k < termCount; ++k)
                    bound += std::fabs(terms[static_cast<std::size_t>(k)] * one[static_cast<std::size_t>(k)]);
            }
            for (int c = 0; numbers && !std::isfinite(bound) && c <= 100; ++c) {
                const double T = 273.15 + c;
                const double value = logK(terms, T);
                if (!std::isfinite(value)) {
                    error("not-finite",
                          "log K is not a finite number at " + std::to_string(c) + " degrees C (T = " + num(T) + " K)");
                    break;
                }
            }
            auto [at, added] = seen[solid ? 0 : 1].try_emplace(name, line);
            if (!added)
                report.add({path, line, key, qv::check::Severity::Warning, "duplicate-name",
                            what + "the name stands on line " + std::to_string(at->second) +
                                " of this section too; a change or a deletion acts on both",
                            name, section});
        }
    } catch (const qv::Error& e) {
        report.unreadable(path, qv::check::stopLine(*in), qv::check::failureOf(e), count == 0);
        return;
    }
    if (sectionEnds < 2)
        report.error(path, qv::check::stopLine(*in), {}, "structure",
                     sectionEnds == 0
                         ? "the file has no section separator (a record of species ID 0 after the solids)"
                         : "the file has no end record (a record of species ID 0 after the aqueous species)");
}

int checkMain(const std::vector<std::string>& args)
{
    const auto a = qv::check::parseArguments(args, {"thermo", "type6"});
    if (!a) {
        std::cerr << "usage: tracekit --check FILE... [--json] [--thermo PATH] [--type6 PATH]\n";
        return 2;
    }
    qv::Files files(qv::Files::processDirectory());
    qv::check::Report report;
    std::string thermo = a->values.count("thermo") ? a->values.at("thermo") : "";
    std::string type6 = a->values.count("type6") ? a->values.at("type6") : "";
    if (thermo.empty() || type6.empty()) {
        if (auto paths = qv::check::readDabasePaths(files, qv::dabaseName, report, false)) {
            if (thermo.empty()) thermo = (*paths)[0];
            if (type6.empty()) type6 = (*paths)[1];
        }
    }
    SpeciesTable aqueous, solids;
    if (!thermo.empty()) aqueous = readSpeciesTable(files, thermo, report);
    if (!type6.empty()) solids = readSpeciesTable(files, type6, report);
    for (const std::string& file : a->files) checkAnalyt(files, file, aqueous, solids, report);
    qv::check::print(report, a->json, std::cout);
    return report.exitStatus();
}

}  // namespace tracekit
