#include "ionkit/check.h"

#include <iostream>
#include <optional>

#include "quenvar/datafiles.h"
#include "quenvar/error.h"

namespace ionkit {

using qv::check::num;
using qv::check::quoted;

NameTable readNameTable(const qv::Files& files, const std::string& thermoPath, const std::string& compPath,
                        qv::check::Report& report)
{
    NameTable table;
    auto take = [&](const std::string& name, double charge) {
        if (table.charges.insert_or_assign(name, charge).second) table.names.push_back(name);
    };
    bool any = false;
    try {
        for (const qv::Component& c : qv::listComponentsToZero(files, compPath)) take(c.name, c.charge.asNumber());
        any = true;
    } catch (const qv::Error& e) {
        report.unreadable(compPath, 0, qv::check::failureOf(e), false);
    }
    const qv::ScanEnd end = qv::scanThermoByName(files, thermoPath, [&](const qv::ThermoSpecies& s) {
        any = true;
        take(s.name, s.charge);
        return true;
    });
    if (end.failed()) report.unreadable(thermoPath, 0, qv::check::failureOf(*end.failure), false);
    table.loaded = any && !end.failed();
    return table;
}

namespace {

// A pair already read: where, and its coefficient.
struct Seen {
    int line;
    double eta;
    bool number;
};

using SeenPairs = std::map<std::pair<std::string, std::string>, Seen>;

// The findings of one pair, each under its line and key.
class PairFindings {
public:
    PairFindings(qv::check::Report& report, const std::string& path, int line, const std::string& s1,
                 const std::string& s2)
        : report_(report), path_(path), line_(line), s1_(s1), s2_(s2), key_(quoted(s1) + ", " + quoted(s2))
    {
    }

    void error(const char* code, const std::string& m) const { add(qv::check::Severity::Error, code, m); }
    void warning(const char* code, const std::string& m) const { add(qv::check::Severity::Warning, code, m); }

private:
    void add(qv::check::Severity severity, const char* code, const std::string& m) const
    {
        report_.add({path_, line_, key_, severity, code, "pair " + key_ + ": " + m, s1_, s2_});
    }

    qv::check::Report& report_;
    const std::string& path_;
    int line_;
    const std::string& s1_;
    const std::string& s2_;
    std::string key_;
};

// Both species known, species 1 no anion and species 2 no cation.
void checkSpecies(const std::string& s1, const std::string& s2, const NameTable& names, const PairFindings& f)
{
    const char* which[] = {"species 1", "species 2"};
    const std::string* both[] = {&s1, &s2};
    for (int k = 0; k < 2; ++k) {
        auto it = names.charges.find(*both[k]);
        if (it == names.charges.end()) {
            f.error("unknown-species", std::string(which[k]) + " " + quoted(*both[k]) +
                                           " is not in thermo.mdb or comp.mdb, so Quenvar never uses the pair" +
                                           qv::check::didYouMean(*both[k], names.names));
        } else if (k == 0 && it->second < 0) {
            f.warning("charge-sign",
                      "species 1 " + quoted(s1) + " has the charge " + num(it->second) + ": it is no cation");
        } else if (k == 1 && it->second > 0) {
            f.warning("charge-sign",
                      "species 2 " + quoted(s2) + " has the charge " + num(it->second) + ": it is no anion");
        }
    }
}

// The same pair, or the pair reversed, on an earlier line; records the pair.
void checkRepeats(SeenPairs& pairs, const std::string& s1, const std::string& s2, int line, const qv::Field& eta,
                  const PairFindings& f)
{
    auto [it, added] = pairs.try_emplace({s1, s2}, Seen{line, eta.asNumber(), eta.isNumber()});
    if (!added) {
        f.error("duplicate-pair", "the same pair stands on line " + std::to_string(it->second.line) +
                                      "; a change or a deletion acts on both");
        return;
    }
    if (s1 == s2) return;
    auto reversed = pairs.find({s2, s1});
    if (reversed == pairs.end()) return;
    const bool same = reversed->second.number && eta.isNumber() &&
                      static_cast<float>(reversed->second.eta) == static_cast<float>(eta.asNumber());
    f.warning("reversed-pair",
              "the reversed pair stands on line " + std::to_string(reversed->second.line) +
                  (same ? ", with the same coefficient"
                        : ", with a different coefficient (" +
                              (reversed->second.number ? num(reversed->second.eta) : std::string("no number")) + ")"));
}

}  // namespace

void checkSit(const qv::Files& files, const std::string& path, const NameTable& names, qv::check::Report& report)
{
    std::optional<qv::RecordReader> in = qv::check::openForCheck(files, path, report, true);
    if (!in) return;
    SeenPairs pairs;
    int count = 0;
    try {
        while (!in->atEnd()) {
            const int line = in->line();
            const std::string s1 = in->text(), s2 = in->text();
            const qv::Field eta = in->field();
            const std::string reference = in->text();
            ++count;
            const PairFindings f(report, path, line, s1, s2);
            if (names.loaded) checkSpecies(s1, s2, names, f);
            if (!eta.isNumber())
                f.error("not-a-number", "the coefficient " + quoted(eta.asText()) + " is not a number");
            if (qv::trimBlanks(reference).empty()) f.warning("no-reference", "the reference is empty");
            checkRepeats(pairs, s1, s2, line, eta, f);
        }
    } catch (const qv::Error& e) {
        report.unreadable(path, qv::check::stopLine(*in), qv::check::failureOf(e), count == 0);
    }
}

int checkMain(const std::vector<std::string>& args)
{
    const auto a = qv::check::parseArguments(args, {"thermo", "comp"});
    if (!a) {
        std::cerr << "usage: ionkit --check FILE... [--json] [--thermo PATH] [--comp PATH]\n";
        return 2;
    }
    qv::Files files(qv::Files::processDirectory());
    qv::check::Report report;
    std::string thermo = a->values.count("thermo") ? a->values.at("thermo") : "";
    std::string comp = a->values.count("comp") ? a->values.at("comp") : "";
    if (thermo.empty() || comp.empty()) {
        if (auto paths = qv::check::readDabasePaths(files, qv::dabaseName, report, false)) {
            if (thermo.empty()) thermo = (*paths)[0];
            if (comp.empty()) comp = (*paths)[2];
        }
    }
    NameTable names;
    if (!thermo.empty() && !comp.empty()) names = readNameTable(files, thermo, comp, report);
    for (const std::string& file : a->files) checkSit(files, file, names, report);
    qv::check::print(report, a->json, std::cout);
    return report.exitStatus();
}

}  // namespace ionkit
