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

// The findings of one record, each under its line and key.
class RecordFindings {
public:
    RecordFindings(qv::check::Report& report, const std::string& path, int line, const AnalyteRecord& r, bool solid)
        : report_(report), path_(path), line_(line), name_(r.nameText()), key_(r.id.asText() + " " + quoted(name_)),
          what_((solid ? "solid " : "aqueous species ") + key_ + ": "), section_(solid ? "solid" : "aqueous")
    {
    }

    void error(const char* code, const std::string& m) const { add(qv::check::Severity::Error, code, m); }
    void warning(const char* code, const std::string& m) const { add(qv::check::Severity::Warning, code, m); }

private:
    void add(qv::check::Severity severity, const char* code, const std::string& m) const
    {
        report_.add({path_, line_, key_, severity, code, what_ + m, name_, section_});
    }

    qv::check::Report& report_;
    const std::string& path_;
    int line_;
    const std::string& name_;
    std::string key_;
    std::string what_;
    const char* section_;
};

// The name in the species database of its section, and the ID that database gives it.
void checkSpecies(const AnalyteRecord& r, const SpeciesTable& db, const char* dbName, const RecordFindings& f)
{
    const std::string& name = r.nameText();
    auto it = db.firstId.find(name);
    if (it == db.firstId.end()) {
        f.error("unknown-species",
                std::string(dbName) + " holds no species of this name" + qv::check::didYouMean(name, db.names));
    } else if (!r.id.isNumber() || r.id.asNumber() != it->second) {
        f.error("stale-id", "the species ID is " + r.id.asText() + ", but " + dbName + " gives " + quoted(name) +
                                " the ID " + std::to_string(it->second));
    }
}

// The terms as numbers; false when one of them is text (reported).
bool readTerms(const AnalyteRecord& r, Terms& terms, const RecordFindings& f)
{
    bool numbers = true;
    for (int k = 0; k < termCount; ++k) {
        const qv::Field& t = r.terms[static_cast<std::size_t>(k)];
        if (t.isText()) {
            f.error("not-finite",
                    std::string("the term ") + termNames[k] + " " + quoted(t.asText()) + " is not a number");
            numbers = false;
        }
        terms[static_cast<std::size_t>(k)] = t.asNumber();
    }
    return numbers;
}

// log K finite at every whole degree from 0 to 100 degrees C.
void checkFinite(const Terms& terms, const RecordFindings& f)
{
    // Each term is monotonic in T, so its largest magnitude between 0 and 100 degrees C is
    // at an end: when their sum is finite there, log K is finite throughout.
    double bound = 0;
    for (const double T : {273.15, 373.15}) {
        const Terms one = {1, T, 1 / T, std::log10(T), T * T, 1 / (T * T), 1 / std::sqrt(T)};
        for (int k = 0; k < termCount; ++k)
            bound += std::fabs(terms[static_cast<std::size_t>(k)] * one[static_cast<std::size_t>(k)]);
    }
    for (int c = 0; !std::isfinite(bound) && c <= 100; ++c) {
        const double T = 273.15 + c;
        const double value = logK(terms, T);
        if (!std::isfinite(value)) {
            f.error("not-finite",
                    "log K is not a finite number at " + std::to_string(c) + " degrees C (T = " + num(T) + " K)");
            break;
        }
    }
}

// Both section ends read: the separator after the solids and the end record after the aqueous species.
void checkSectionEnds(const qv::RecordReader& in, const std::string& path, int sectionEnds, qv::check::Report& report)
{
    if (sectionEnds < 2)
        report.error(path, qv::check::stopLine(in), {}, "structure",
                     sectionEnds == 0
                         ? "the file has no section separator (a record of species ID 0 after the solids)"
                         : "the file has no end record (a record of species ID 0 after the aqueous species)");
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
            const RecordFindings f(report, path, line, r, solid);
            if (db.loaded) checkSpecies(r, db, solid ? "type6.mdb" : "thermo.mdb", f);
            Terms terms{};
            if (readTerms(r, terms, f)) checkFinite(terms, f);
            auto [at, added] = seen[solid ? 0 : 1].try_emplace(r.nameText(), line);
            if (!added)
                f.warning("duplicate-name", "the name stands on line " + std::to_string(at->second) +
                                                " of this section too; a change or a deletion acts on both");
        }
    } catch (const qv::Error& e) {
        report.unreadable(path, qv::check::stopLine(*in), qv::check::failureOf(e), count == 0);
        return;
    }
    checkSectionEnds(*in, path, sectionEnds, report);
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
