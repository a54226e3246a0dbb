#include "quenvar/datafiles.h"

#include <cmath>

namespace qv {

namespace {
// The development directories of this build: none.
constexpr std::array<const char*, 0> developmentDirectories{};
}  // namespace

std::string trimBlanks(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return std::string(text.substr(b, e - b));
}

std::string candidateDirectory(const Files& files, const char* installDir)
{
    for (const char* dev : developmentDirectories)
        if (files.currentDir() == dev) return installDir;
    return files.currentDir();
}

std::vector<Field> readDabase(const Files& files, int count)
{
    RecordReader in = files.openRead(dabaseName);
    std::vector<Field> fields;
    for (int i = 0; i < count; ++i) fields.push_back(in.field());
    return fields;
}

void writeDabase(const Files& files, const DabasePaths& paths, std::string_view tempName)
{
    RecordWriter out(dabaseName);
    out.text(paths.thermo).text(paths.solids).text(paths.components).text(paths.gaussian).endLine();
    files.rewrite(tempName, dabaseName, out.bytes());
}

std::string driveOf(const Field& firstField)
{
    const std::string& text = firstField.asText();
    return text.empty() ? std::string() : text.substr(0, 1);
}

void scanComponents(const Files& files, std::string_view file, int maxRecords,
                    const std::function<bool(const Component&)>& visit)
{
    RecordReader in = files.openRead(file);
    for (int k = 0; k < maxRecords && !in.atEnd(); ++k) {
        Component c;
        c.id = in.field();
        c.name = in.text();
        c.charge = in.field();
        for (Field& f : c.extra) f = in.field();
        if (!visit(c)) return;
    }
}

std::optional<std::string> componentNameById(const Files& files, std::string_view file, const Field& id)
{
    std::optional<std::string> found;
    scanComponents(files, file, 400, [&](const Component& c) {
        if (c.id.isNumber() && id.isNumber() ? c.id.asNumber() == id.asNumber() : c.id == id) {
            found = c.name;
            return false;
        }
        return true;
    });
    return found;
}

std::optional<Field> componentIdByName(const Files& files, std::string_view file, std::string_view name)
{
    std::optional<Field> found;
    scanComponents(files, file, 400, [&](const Component& c) {
        if (c.name == name) found = c.id;
        return true;
    });
    return found;
}

std::vector<Component> listComponents(const Files& files, std::string_view file, int maxRecords)
{
    std::vector<Component> out;
    scanComponents(files, file, maxRecords, [&](const Component& c) {
        out.push_back(c);
        return true;
    });
    return out;
}

std::vector<Component> listComponentsToZero(const Files& files, std::string_view file)
{
    std::vector<Component> out;
    scanComponents(files, file, 1000, [&](const Component& c) {
        out.push_back(c);
        return !c.id.equalsNumber(0);
    });
    return out;
}

namespace {

struct GroupA {
    std::int32_t id;
    std::string name;
    float charge;
    std::int16_t count;
};

GroupA readGroupA(RecordReader& in)
{
    GroupA a{};
    a.id = in.whole32();
    a.name = in.text();
    for (int i = 3; i <= 6; ++i) in.single();
    a.charge = in.single();
    for (int i = 8; i <= 10; ++i) in.single();
    a.count = in.whole16();
    return a;
}

void readRest(RecordReader& in, ThermoSpecies& s, int count)
{
    for (int i = 0; i < count; ++i) {
        const float stoich = in.single();
        const std::int16_t comp = in.whole16();
        s.components.emplace_back(stoich, comp);
    }
    in.single();  // group C: a real and two strings, read and not used
    in.text();
    in.text();
}

}  // namespace

ScanEnd scanThermoById(const Files& files, std::string_view path, const ThermoVisitor& visit)
{
    ScanEnd end;
    try {
        RecordReader in = files.openRead(path);
        for (int counter = 1; counter <= thermoMaxRecords && !in.atEnd(); ++counter) {
            GroupA a = readGroupA(in);
            if (a.id == 0) break;
            ThermoSpecies s{a.id, std::move(a.name), a.charge, {}};
            readRest(in, s, a.count);
            if (!visit(s)) break;
        }
    } catch (const Error& e) {
        end.failure = e;
    }
    return end;
}

ScanEnd scanThermoByName(const Files& files, std::string_view path, const ThermoVisitor& visit)
{
    ScanEnd end;
    try {
        RecordReader in = files.openRead(path);
        for (int counter = 1; counter <= thermoMaxRecords && !in.atEnd(); ++counter) {
            GroupA a = readGroupA(in);
            if (trimBlanks(a.name) == "END") break;
            if (a.count > thermoMaxComponents)
                throw Error(ErrorKind::BadFormat, std::string(path),
                            "more than 10 components at line " + std::to_string(in.line()));
            ThermoSpecies s{a.id, std::move(a.name), a.charge, {}};
            readRest(in, s, a.count);
            if (!visit(s)) break;
            if (s.name.empty()) break;
        }
    } catch (const Error& e) {
        end.failure = e;
    }
    return end;
}

std::vector<std::string> thermoNames(const Files& files, std::string_view path, ScanEnd* end)
{
    std::vector<std::string> names;
    ScanEnd e = scanThermoById(files, path, [&](const ThermoSpecies& s) {
        names.push_back(s.name);
        return true;
    });
    if (end) *end = std::move(e);
    return names;
}

std::optional<std::int32_t> thermoIdOf(const Files& files, std::string_view path, std::string_view name, ScanEnd* end)
{
    std::optional<std::int32_t> id;
    ScanEnd e = scanThermoById(files, path, [&](const ThermoSpecies& s) {
        if (s.name != name) return true;
        id = s.id;
        return false;
    });
    if (end) *end = std::move(e);
    return id;
}

}  // namespace qv
