#include "surfkit/check.h"

#include <cmath>
#include <iostream>
#include <optional>
#include <unordered_map>

#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "surfkit/sorption.h"

namespace surfkit {

using qv::check::num;
using qv::check::quoted;

namespace {

// The window shows the names of the first 400 components only.
constexpr int windowComponentLimit = 400;
constexpr int maxComponents = 8;  // component rows of the window
constexpr int maxMbPairs = 6;

struct Seen {
    int line;
    std::string name;
};

class SorptionCheck {
public:
    SorptionCheck(const std::string& path, const ComponentTable& components, qv::check::Report& report)
        : path_(path), kind_(fileKindOf(path)), components_(components), report_(report)
    {
        numberIds_.reserve(listLimit);
        names_.reserve(listLimit);
    }

    void run(std::string bytes);

private:
    void species(const SpeciesRecord& r, int line);
    // IDs and names used by an earlier record.
    void duplicates(const SpeciesRecord& r, int line);
    // The M.A. and M.B. counts against the rows of the window.
    void counts(const SpeciesRecord& r, int line);
    // Checks the M.A. pairs; their charge when comp.mdb holds every component.
    std::optional<double> maComponents(const SpeciesRecord& r, int line);
    void mbComponents(const SpeciesRecord& r, int line);
    // The stated charge against `charge`, the charge of the M.A. components.
    void chargeBalance(const SpeciesRecord& r, int line, std::optional<double> charge);
    void endBlock(qv::RecordReader& in, int line);
    // The entry of a component ID; nothing when comp.mdb does not hold it (reported).
    const ComponentTable::Entry* component(const qv::Field& id, const char* block, int pair, int line);
    void idScheme(const SpeciesRecord& r, int line);

    // The key of the record being checked, made at its first finding.
    const std::string& key()
    {
        if (key_.empty() && record_) key_ = record_->id().asText() + " " + quoted(record_->name().asText());
        return key_;
    }
    void add(qv::check::Severity severity, int line, std::string code, const std::string& message)
    {
        const std::string& k = key();
        report_.add({path_,
                     line,
                     k,
                     severity,
                     std::move(code),
                     "species " + k + ": " + message,
                     record_ ? record_->name().asText() : std::string(),
                     {}});
    }
    void error(int line, std::string code, const std::string& message)
    {
        add(qv::check::Severity::Error, line, std::move(code), message);
    }
    void warning(int line, std::string code, const std::string& message)
    {
        add(qv::check::Severity::Warning, line, std::move(code), message);
    }

    const std::string& path_;
    FileKind kind_;
    const ComponentTable& components_;
    qv::check::Report& report_;
    std::string model_;
    std::unordered_map<double, Seen> numberIds_;
    std::unordered_map<std::string, Seen> textIds_;
    std::unordered_map<std::string, int> names_;
    const SpeciesRecord* record_ = nullptr;
    std::string key_;
};

void SorptionCheck::run(std::string bytes)
{
    qv::RecordReader in(std::move(bytes), path_);
    const HeaderLayout layout = headerLayoutOf(kind_);
    int count = 0, line4001 = 0;
    try {
        if (layout.model) model_ = in.text();
        if (layout.blm) {
            in.text();
            in.text();
            in.field();
        }
        while (!in.atEnd()) {
            const int line = in.line();
            const SpeciesRecord r = readSpecies(in);
            if (r.isEndRecord()) {
                endBlock(in, line);
                if (count > listLimit)
                    report_.warning(path_, line4001, {}, "beyond-4000",
                                    std::to_string(count - listLimit) +
                                        " species records after the 4000th: Quenvar does not read them");
                return;
            }
            if (++count == listLimit + 1) line4001 = line;
            species(r, line);
        }
    } catch (const qv::Error& e) {
        report_.unreadable(path_, qv::check::stopLine(in), qv::check::failureOf(e), count == 0);
        return;
    }
    if (count > listLimit)
        report_.warning(
            path_, line4001, {}, "beyond-4000",
            std::to_string(count - listLimit) + " species records after the 4000th: Quenvar does not read them");
    report_.error(path_, qv::check::stopLine(in), {}, "end-block",
                  "the file ends without its end block (three records of species ID 0)");
}

void SorptionCheck::endBlock(qv::RecordReader& in, int line)
{
    // Three records of twelve fields, each of ID 0 and component count 0; the first is read.
    record_ = nullptr;
    key_.clear();
    std::string fault;
    try {
        for (int k = 0; k < 2 && fault.empty(); ++k) {
            std::array<qv::Field, 12> f;
            for (auto& v : f) v = in.field();
            if (!f[0].equalsNumber(0))
                fault = "its record " + std::to_string(k + 2) + " has a species ID other than 0";
            else if (!f[11].equalsNumber(0))
                fault = "its record " + std::to_string(k + 2) + " has a component count";
        }
    } catch (const qv::Error&) {
        fault = "the file ends inside it";
    }
    if (fault.empty()) return;
    report_.error(path_, line, {}, "end-block", "the end block is damaged: " + fault);
}

const ComponentTable::Entry* SorptionCheck::component(const qv::Field& id, const char* block, int pair, int line)
{
    if (!components_.loaded) return nullptr;
    auto where = [&] { return std::string(block) + " pair " + std::to_string(pair); };
    if (!id.isNumber()) {
        error(line, "unknown-component",
              where() + " names the component " + quoted(id.asText()) + ", which is no component ID");
        return nullptr;
    }
    auto it = components_.byId.find(id.asNumber());
    if (it == components_.byId.end()) {
        error(line, "unknown-component",
              where() + " names the component ID " + id.asText() + ", which comp.mdb does not hold");
        return nullptr;
    }
    if (it->second.record > windowComponentLimit)
        warning(line, "unknown-component",
                where() + " names the component ID " + id.asText() + " (" + quoted(it->second.name) + "), record " +
                    std::to_string(it->second.record) +
                    " of comp.mdb: beyond the 400th, so the window cannot show its name");
    return &it->second;
}

void SorptionCheck::species(const SpeciesRecord& r, int line)
{
    record_ = &r;
    key_.clear();
    duplicates(r, line);
    counts(r, line);
    const std::optional<double> charge = maComponents(r, line);
    mbComponents(r, line);
    chargeBalance(r, line, charge);
    idScheme(r, line);
}

void SorptionCheck::duplicates(const SpeciesRecord& r, int line)
{
    const std::string& name = r.name().asText();
    // IDs compare as the window compares them: a Number by its value, a Text by its characters.
    const Seen* first = nullptr;
    if (r.id().isNumber()) {
        auto [at, added] = numberIds_.try_emplace(r.id().asNumber(), Seen{line, name});
        if (!added) first = &at->second;
    } else {
        auto [at, added] = textIds_.try_emplace(r.id().asText(), Seen{line, name});
        if (!added) first = &at->second;
    }
    if (first)
        error(line, "duplicate-id",
              "the species ID " + r.id().asText() + " is used on line " + std::to_string(first->line) + " too, by " +
                  quoted(first->name));
    auto [sameName, newName] = names_.try_emplace(name, line);
    if (!newName)
        warning(line, "duplicate-name",
                "the name is used on line " + std::to_string(sameName->second) +
                    " too; a change or a deletion by name hits both");
}

void SorptionCheck::counts(const SpeciesRecord& r, int line)
{
    const double n = componentCountOf(r.countField());
    if (n < 1 || n > maxComponents)
        error(line, "component-count", "the component count is " + num(n) + "; the window shows 1 to 8 components");
    if (r.mbCount) {
        const double m = std::floor(r.mbCount->asNumber());
        if (m < 0 || m > maxMbPairs)
            error(line, "component-count", "the M.B. count is " + num(m) + "; the window shows 0 to 6 M.B. pairs");
    }
}

std::optional<double> SorptionCheck::maComponents(const SpeciesRecord& r, int line)
{
    bool known = components_.loaded;
    double charge = 0;
    int pair = 0;
    for (const ComponentPair& p : r.components) {
        ++pair;
        if (p.stoich.asNumber() == 0)
            warning(line, "zero-stoichiometry",
                    "M.A. pair " + std::to_string(pair) + " has the coefficient 0 for component " + p.compid.asText());
        const ComponentTable::Entry* e = component(p.compid, "M.A.", pair, line);
        if (e)
            charge += p.stoich.asNumber() * e->charge;
        else
            known = false;
    }
    if (!known) return std::nullopt;
    return charge;
}

void SorptionCheck::mbComponents(const SpeciesRecord& r, int line)
{
    int pair = 0;
    for (const ComponentPair& p : r.mbPairs) {
        ++pair;
        component(p.compid, "M.B.", pair, line);
        bool inMa = false;
        for (const ComponentPair& a : r.components) inMa = inMa || a.compid == p.compid;
        if (!inMa)
            warning(line, "mb-component",
                    "M.B. pair " + std::to_string(pair) + " names the component " + p.compid.asText() +
                        ", which is not among the M.A. components");
    }
}

void SorptionCheck::chargeBalance(const SpeciesRecord& r, int line, std::optional<double> charge)
{
    const bool chargeKinds = kind_ == FileKind::Complexation || kind_ == FileKind::CounterionSelectivity;
    const double stated = r.fields[6].asNumber();
    if (chargeKinds && charge && !r.components.empty() && std::fabs(stated - *charge) > 1e-6)
        warning(line, "charge-balance",
                "the charge is " + num(stated) + ", but its components add up to " + num(*charge) +
                    " (M.A. coefficients times component charges)");
}

void SorptionCheck::idScheme(const SpeciesRecord& r, int line)
{
    if (r.components.size() < 2 || !r.id().isNumber()) return;
    const double id = r.id().asNumber();
    if (inLk2Range(id) || inIsothermParameterRange(id)) return;
    const qv::Field& a = r.components[0].compid;
    const qv::Field& b = r.components[1].compid;
    if (!a.isNumber() || !b.isNumber()) return;
    double idcomp1 = a.asNumber(), idcomp2 = b.asNumber();
    // A component that comp.mdb does not hold gives the proposal nothing to build on.
    auto first = components_.byId.find(idcomp1);
    if (components_.loaded && (first == components_.byId.end() || !components_.byId.count(idcomp2))) return;
    if (!model_.empty())
        adjustIdcompForModel(idcomp1, idcomp2, model_, first == components_.byId.end() ? "" : first->second.name);
    const double base = idBase(idcomp1, idcomp2), swapped = idBase(idcomp2, idcomp1);
    const double whole = std::floor(id);
    if ((whole >= base && whole <= base + 9) || (whole >= swapped && whole <= swapped + 9)) return;
    warning(line, "id-scheme",
            "the ID does not begin with its first two components: the ID proposal gives " + num(base) + " to " +
                num(base + 9));
}

}  // namespace

ComponentTable readComponentTable(const qv::Files& files, const std::string& path, qv::check::Report& report)
{
    ComponentTable table;
    std::optional<qv::RecordReader> in = qv::check::openForCheck(files, path, report, false);
    if (!in) return table;
    table.loaded = true;
    int record = 0;
    try {
        while (!in->atEnd()) {
            const qv::Field id = in->field();
            std::string name = in->text();
            const qv::Field charge = in->field();
            for (int k = 0; k < 3; ++k) in->field();
            ++record;
            if (id.isNumber())
                table.byId.try_emplace(id.asNumber(), ComponentTable::Entry{name, charge.asNumber(), record});
        }
    } catch (const qv::Error& e) {
        report.unreadable(path, qv::check::stopLine(*in), qv::check::failureOf(e), record == 0);
    }
    return table;
}

void checkSorptionBytes(std::string bytes, const std::string& path, const ComponentTable& components,
                        qv::check::Report& report)
{
    SorptionCheck(path, components, report).run(std::move(bytes));
}

void checkSorption(const qv::Files& files, const std::string& path, const ComponentTable& components,
                   qv::check::Report& report)
{
    std::string bytes;
    try {
        bytes = files.readBytes(path);
    } catch (const qv::Error& e) {
        report.unreadable(path, 0, qv::check::failureOf(e), true);
        return;
    }
    checkSorptionBytes(std::move(bytes), path, components, report);
}

std::string saveNote(const qv::Files& files, const std::string& database, const std::string& compPath,
                     const std::string& speciesName)
{
    qv::check::Report report;
    const ComponentTable table = readComponentTable(files, compPath, report);
    checkSorption(files, database, table, report);
    std::string note;
    for (const qv::check::Finding& f : report.findings())
        if (f.name == speciesName && (f.code == "unknown-component" || f.code == "charge-balance"))
            note += (note.empty() ? "" : "\n") + f.message;
    return note;
}

int checkMain(const std::vector<std::string>& args)
{
    const auto a = qv::check::parseArguments(args, {"comp"});
    if (!a) {
        std::cerr << "usage: surfkit --check FILE... [--json] [--comp PATH]\n";
        return 2;
    }
    qv::Files files(qv::Files::processDirectory());
    std::string comp;
    if (auto it = a->values.find("comp"); it != a->values.end()) {
        comp = it->second;
    } else {
        // comp.mdb by its bare name in the data directory, as the window opens it.
        comp = qv::joinPath(qv::candidateDirectory(files, qv::surfkitInstallDir), qv::compName);
        if (comp.rfind(files.currentDir(), 0) == 0 && comp.size() > files.currentDir().size() + 1)
            comp = comp.substr(files.currentDir().size() + 1);
    }
    qv::check::Report report;
    const ComponentTable table = readComponentTable(files, comp, report);
    for (const std::string& file : a->files) checkSorption(files, file, table, report);
    qv::check::print(report, a->json, std::cout);
    return report.exitStatus();
}

}  // namespace surfkit
