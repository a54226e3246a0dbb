// The sorption database files on arbitrary bytes, as a file of each of the five kinds: the list
// fill's reading, the reading of every species ID and the ID proposal, the whole-file rewrite
// (copy, deletion, new species) and the window's listing, species display and ID proposal.
// A read either succeeds or fails naming the file; what the reader delivers is well formed; a
// rewrite either fails or writes a file that reads back as the records it copied and that a
// second rewrite leaves as it is; the window reports every failure naming the file it read.
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "quenvar/error.h"
#include "quenvar/forms.h"
#include "surfkit/sorption.h"
#include "surfkit/window.h"

namespace {

using namespace surfkit;

const char* const extensions[] = {"mdb", "cdb", "iso", "nic", "bli"};

// A copied field keeps its kind, and a Number its value as the number form writes it.
bool same(const qv::Field& a, const qv::Field& b)
{
    if (a.kind() != b.kind()) return false;
    return a.isNumber() ? a.writtenForm() == b.writtenForm() : a.asText() == b.asText();
}

bool same(const std::vector<ComponentPair>& a, const std::vector<ComponentPair>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a[i].stoich, b[i].stoich) || !same(a[i].compid, b[i].compid)) return false;
    return true;
}

// A count keeps its kind and what the reader takes from it (a count that the number form would
// round into another count is written as that whole number, an empty M.B. count as 0).
bool sameCount(const qv::Field& a, const qv::Field& b, bool mb)
{
    if (mb && a.isEmpty() != b.isEmpty())
        return (a.isEmpty() ? b : a).isNumber() && (a.isEmpty() ? b : a).asNumber() == 0;
    if (a.kind() != b.kind()) return false;
    if (!a.isNumber()) return a.asText() == b.asText();
    if (mb) return std::floor(a.asNumber()) == std::floor(b.asNumber());
    return componentCountOf(a) == componentCountOf(b) && hasMbBlock(a) == hasMbBlock(b);
}

bool same(const SpeciesRecord& a, const SpeciesRecord& b)
{
    for (std::size_t i = 0; i + 1 < a.fields.size(); ++i)
        if (!same(a.fields[i], b.fields[i])) return false;
    if (!sameCount(a.countField(), b.countField(), false)) return false;
    if (a.mbCount.has_value() != b.mbCount.has_value()) return false;
    if (a.mbCount && !sameCount(*a.mbCount, *b.mbCount, true)) return false;
    return same(a.components, b.components) && same(a.mbPairs, b.mbPairs);
}

// The species records before the first end record, as every rewrite reads them; nothing when
// the file cannot be read so (the failure must name the file).
std::optional<std::vector<SpeciesRecord>> speciesOf(const std::string& bytes, const std::string& name,
                                                    HeaderLayout layout)
{
    try {
        qv::RecordReader in(bytes, name);
        skipHeader(in, layout);
        std::vector<SpeciesRecord> all;
        while (!in.atEnd()) {
            SpeciesRecord r = readSpecies(in);
            if (!isWellFormed(r)) __builtin_trap();
            if (r.isEndRecord()) break;
            all.push_back(std::move(r));
        }
        return all;
    } catch (const qv::Error& e) {
        if (e.file() != name) __builtin_trap();
        return std::nullopt;
    }
}

// The list fill's reading: the header with its typed reads, then at most 4000 species placed
// by row into the window's arrays.
void listFill(const qv::Files& files, const std::string& name, HeaderLayout layout)
{
    try {
        qv::RecordReader in = files.openRead(name);
        readListHeader(in, layout);
        FieldArray stoich, compid, mbStoich, mbCompid;
        for (int k = 0; k < listLimit && !in.atEnd(); ++k) {
            const SpeciesRecord r = readSpecies(in);
            placePairs(r, stoich, compid, mbStoich, mbCompid, MbPlacement::ByRow);
            if (r.components.size() > maxPairs || r.mbPairs.size() > maxPairs) __builtin_trap();
            if (r.isEndRecord()) break;
        }
    } catch (const qv::Error& e) {
        if (e.file() != name) __builtin_trap();
    }
}

void proposals(const qv::Files& files, const std::string& name, HeaderLayout layout)
{
    try {
        qv::RecordReader in = files.openRead(name);
        const SpeciesIds used = readSpeciesIds(in, layout);
        for (const auto& [a, b] : {std::pair{812.0, 3.0}, {3.0, 812.0}, {812.0, 812.0}, {0.0, 0.0}, {1301.0, 30.0}}) {
            const double id = proposeSpeciesId(used, a, b);
            if (used.contains(static_cast<std::int64_t>(id)) &&
                static_cast<double>(static_cast<std::int64_t>(id)) == id)
                __builtin_trap();
        }
    } catch (const qv::Error& e) {
        if (e.file() != name) __builtin_trap();
    }
}

SpeciesRecord newSpecies()
{
    SpeciesRecord r;
    r.fields = {qv::Field::whole(8120030), qv::Field::text("New"), qv::Field::number(0), qv::Field::number(-1.5),
                qv::Field::number(0),      qv::Field::number(0),   qv::Field::number(1), qv::Field::whole(0),
                qv::Field::whole(0),       qv::Field::whole(0),    qv::Field::whole(0),  qv::Field::whole(2)};
    r.components = {{qv::Field::number(1), qv::Field::whole(812)}, {qv::Field::number(-1), qv::Field::whole(3)}};
    return r;
}

// One rewrite: on success the new file holds `expected` (the copied records, in order) and a
// plain second rewrite of it changes nothing.
void rewrite(const std::string& bytes, const std::string& name, const RewritePlan& plan,
             const std::vector<SpeciesRecord>& expected)
{
    RewriteResult result;
    try {
        result = rewriteDatabase(bytes, name, plan);
    } catch (const qv::Error&) {
        return;  // a record that cannot be read or written faithfully: nothing is written
    }
    HeaderLayout after = plan.header.old;
    const auto back = speciesOf(result.bytes, name, after);
    if (!back || back->size() != expected.size()) __builtin_trap();
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (!same((*back)[i], expected[i])) __builtin_trap();

    RewritePlan plain;
    plain.header = plan.header;
    RewriteResult again;
    try {
        again = rewriteDatabase(result.bytes, name, plain);
    } catch (const qv::Error&) {
        __builtin_trap();  // what the editor wrote it must read again
    }
    if (again.bytes != result.bytes) __builtin_trap();
}

void rewrites(const std::string& bytes, const std::string& name, HeaderLayout layout)
{
    const auto old = speciesOf(bytes, name, layout);
    RewritePlan plan;
    plan.header.old = layout;
    plan.header.model = "Freundlich";
    plan.header.f50 = 0.5;
    rewrite(bytes, name, plan, old.value_or(std::vector<SpeciesRecord>{}));
    if (!old) return;

    // A new species first, then every old record.
    RewritePlan added = plan;
    added.newSpecies = newSpecies();
    std::vector<SpeciesRecord> withNew{newSpecies()};
    withNew.insert(withNew.end(), old->begin(), old->end());
    rewrite(bytes, name, added, withNew);

    if (old->empty()) return;
    // Every record of the first name dropped; then replaced by the new species in each place.
    const std::string first = old->front().name().asText();
    RewritePlan dropped = plan;
    dropped.matchName = first;
    std::vector<SpeciesRecord> kept, replaced;
    for (const SpeciesRecord& r : *old) {
        if (r.name().asText() != first) kept.push_back(r);
        replaced.push_back(r.name().asText() == first ? newSpecies() : r);
    }
    rewrite(bytes, name, dropped, kept);
    RewritePlan changed = dropped;
    changed.replacement = [] { return newSpecies(); };
    changed.replaceEach = true;
    rewrite(bytes, name, changed, replaced);
}

// ---- The window ------------------------------------------------------------------------------

// Answers Yes, returns the preset path from the open dialog, and checks that every failure
// shown names a file the window reads.
class SilentPlatform : public qv::forms::Platform {
public:
    std::string openPath;
    qv::forms::Answer message(const std::string& text, const std::string& title, qv::forms::Buttons buttons,
                              qv::forms::Icon) override
    {
        if (title == "Quenvar error" && text.find("input.") == std::string::npos &&
            text.find("comp.mdb") == std::string::npos)
            __builtin_trap();
        return buttons == qv::forms::Buttons::YesNo ? qv::forms::Answer::Yes : qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind kind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        if (kind == qv::forms::DialogKind::Open) return openPath;
        return std::nullopt;
    }
};

void window(const std::string& name)
{
    static const bool prepared = [] {
        const std::string dabase = "\"c:\\quenvar\\thermo.mdb\",\"b\",\"c\",\"d\"\r\n";
        const std::string comp =
            "1,\"H2O\",0,0,0,0\r\n3,\"H+\",1,0,0,0\r\n30,\"Cu+2\",2,0,0,0\r\n"
            "812,\"=SOH\",0,0,0,0\r\n1301,\"Lsite1\",0,0,0,0\r\n";
        qvfuzz::placeInput(reinterpret_cast<const std::uint8_t*>(dabase.data()), dabase.size(), "dabase.txt");
        qvfuzz::placeInput(reinterpret_cast<const std::uint8_t*>(comp.data()), comp.size(), "comp.mdb");
        return true;
    }();
    (void)prepared;

    SilentPlatform platform;
    platform.openPath = qvfuzz::workDir() + "/" + name;
    qv::forms::Application app(platform);
    Program program(app, qvfuzz::workDir());
    app.open(program.mainWindow());
    app.dispatch([&] { program.mnuFileOpen_Click(); });
    qv::forms::Control& list = program.frmMaindb()("lstReactions");
    const int count = list.listCount();
    if (count > listLimit) __builtin_trap();
    for (int k : {0, 1, count - 1}) {
        if (k < 0 || k >= count) continue;
        list.setListIndex(k);
        app.dispatch([&] { program.lstReactions_Click(); });
    }
    app.dispatch([&] { program.cmdAddnew_Click(); });
    program.frmMaindb()("txtSpname").setText("New");
    program.frmMaindb()("cboComp").setText("=SOH");
    program.frmMaindb()("txtStoicn").setText("1");
    app.dispatch([&] { program.cmdSuggest_Click(); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char* ext : extensions) {
        const std::string name = std::string("input.") + ext;
        const qv::Files files = qvfuzz::placeInput(data, size, name);
        const HeaderLayout layout = headerLayoutOf(fileKindOf(name));
        listFill(files, name, layout);
        proposals(files, name, layout);
        rewrites(bytes, name, layout);
    }
    // The window on one kind, chosen by the input.
    window(std::string("input.") + extensions[size % 5]);
    return 0;
}
