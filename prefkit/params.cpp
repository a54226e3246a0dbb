#include "prefkit/params.h"

#include <stdexcept>
#include <utility>

#include "quenvar/backup.h"
#include "quenvar/datafiles.h"
#include "quenvar/error.h"
#include "quenvar/numform.h"
#include "quenvar/record.h"

namespace prefkit {

namespace {

using P = DefaultParameters;

constexpr FieldPlace text(int line, int position, std::string P::*member) { return {line, position, member, nullptr}; }
constexpr FieldPlace value(int line, int position, qv::Field P::*member) { return {line, position, nullptr, member}; }

const std::array<FieldPlace, parameterFieldCount> places{{
    text(1, 1, &P::dataDirectory),
    value(2, 1, &P::iterationCode),
    value(2, 2, &P::inputBasisCode),
    value(2, 3, &P::precipitationCode),
    value(2, 4, &P::chargeImbalanceCode),
    value(2, 5, &P::activityCode),
    value(2, 6, &P::carriedValue),
    text(3, 1, &P::thermoPath),
    text(3, 2, &P::solidsPath),
    text(3, 3, &P::componentsPath),
    text(3, 4, &P::domPath),
    value(4, 1, &P::minAqueousConcentration),
    value(4, 2, &P::minSaturationIndex),
    value(4, 3, &P::maxSaturationIndex),
    value(5, 1, &P::daviesB),
    value(6, 1, &P::hfoSurfaceArea),
    value(6, 2, &P::hfoHighAffinity),
    value(6, 3, &P::hfoSiteDensity),
    value(7, 1, &P::hmoSurfaceArea),
    value(7, 2, &P::hmoHighAffinity),
    value(7, 3, &P::hmoSiteDensity),
    value(8, 1, &P::goethite021HighAffinity),
    value(8, 2, &P::goethite021SiteDensity),
    value(8, 3, &P::goethite110SiteDensity),
    value(8, 4, &P::goethite110S3OSiteDensity),
    value(8, 5, &P::ferrihydriteHighAffinity),
    value(8, 6, &P::ferrihydriteSiteDensity),
    value(8, 7, &P::ferrihydriteSurfaceArea),
    value(8, 8, &P::goethiteInnerCapacitance),
    value(8, 9, &P::goethiteOuterCapacitance),
    value(8, 10, &P::ferrihydriteInnerCapacitance),
    value(8, 11, &P::ferrihydriteOuterCapacitance),
}};

// Runs one step of the save; a failure is reported with the full path of the file it concerns
// (the step itself may name its temporary file, or nothing but a directory).
template <class Step>
void naming(const std::string& fullPath, Step step)
{
    try {
        step();
    } catch (const qv::Error& e) {
        throw qv::Error(e.kind(), fullPath, e.detail());
    }
}

}  // namespace

const std::array<FieldPlace, parameterFieldCount>& fieldPlaces() { return places; }

const FieldPlace& placeOf(qv::Field DefaultParameters::*member)
{
    for (const FieldPlace& place : places)
        if (place.value == member) return place;
    throw std::invalid_argument("not a field of deftempar.dat");
}

DefaultParameters loadParameters(const qv::Files& files)
{
    // The reader takes line ends as delimiters like commas, so a file whose fields stand on
    // other lines, in the same order, loads the same.
    qv::RecordReader in = files.openRead(parameterFileName);
    DefaultParameters set;
    for (const FieldPlace& place : places) {
        if (place.text)
            set.*place.text = in.text();
        else
            set.*place.value = in.field();
    }
    return set;
}

std::string parameterFileBytes(const DefaultParameters& set)
{
    qv::RecordWriter out(parameterFileName);
    int line = 1;
    for (const FieldPlace& place : places) {
        if (place.line != line) {
            out.endLine();
            line = place.line;
        }
        if (place.text)
            out.text(set.*place.text);
        else
            out.field(set.*place.value);
    }
    out.endLine();
    return out.take();
}

void saveParameters(const qv::Files& files, const DefaultParameters& set)
{
    // Everything is composed before the first file is touched: a field that cannot be written
    // stops the save with both files as they were.
    const std::string parameterBytes = parameterFileBytes(set);
    // (The four paths of `dabase.txt` stand on line 3 as well.)
    const qv::DabasePaths paths{set.thermoPath, set.solidsPath, set.componentsPath, set.domPath};

    // Both files go into the directory that the first line names, which is normally the
    // directory the file was read from.
    qv::Files target = files;
    naming(files.resolve(qv::joinPath(set.dataDirectory, qv::dabaseName)),
           [&] { target.changeDir(set.dataDirectory); });
    qv::SaveUndo dabaseBackup(target);
    naming(target.resolve(qv::dabaseName), [&] {
        dabaseBackup.keep(dabaseTempName, qv::dabaseName);
        qv::writeDabase(target, paths, dabaseTempName);
        dabaseBackup.saved(qv::dabaseName);
    });
    qv::SaveUndo parameterBackup(target);
    naming(target.resolve(parameterFileName),
           [&] { parameterBackup.rewrite(parameterTempName, parameterFileName, parameterBytes); });
}

namespace {

// The directory that a save of the set writes into, where its backups stand.
qv::Files saveDirectory(const qv::Files& files, const DefaultParameters& set)
{
    qv::Files target = files;
    naming(files.resolve(qv::joinPath(set.dataDirectory, qv::dabaseName)),
           [&] { target.changeDir(set.dataDirectory); });
    return target;
}

// The files a save rewrites and the temporary names through which they are replaced.
constexpr std::array<std::pair<const char*, const char*>, 2> savedFiles{
    {{parameterFileName, parameterTempName}, {qv::dabaseName, dabaseTempName}}};

}  // namespace

bool canUndoLastSave(const qv::Files& files, const DefaultParameters& set)
{
    try {
        const qv::Files target = saveDirectory(files, set);
        if (!target.exists(qv::backupName(parameterFileName))) return false;
        for (const auto& [name, temp] : savedFiles) {
            const std::string backup = qv::backupName(name);
            if (target.exists(backup) && (!target.exists(name) || target.readBytes(name) != target.readBytes(backup)))
                return true;
        }
    } catch (const qv::Error&) {
        // A data directory that cannot be entered or a file that cannot be read: nothing to offer.
    }
    return false;
}

void undoLastSave(const qv::Files& files, const DefaultParameters& set)
{
    const qv::Files target = saveDirectory(files, set);
    for (const auto& saved : savedFiles) {
        // Named apart: a lambda may not capture a structured binding in every compiler of the build.
        const std::string name = saved.first;
        const std::string temp = saved.second;
        const std::string backup = qv::backupName(name);
        if (!target.exists(backup)) continue;
        naming(target.resolve(name), [&] { target.rewrite(temp, name, target.readBytes(backup)); });
    }
}

std::optional<std::string> displayText(const qv::Field& value)
{
    if (!value.isText()) return qv::displayForm(value.asNumber());
    const std::string trimmed = qv::trimBlanks(value.asText());
    if (!qv::isNumberText(trimmed)) return std::nullopt;
    return qv::displayForm(qv::parseNumberText(trimmed));
}

qv::Field storedNumber(std::string_view typed) { return qv::Field::number(qv::textToNumber(typed)); }

qv::Field storedCode(int code) { return qv::Field::whole(code); }

}  // namespace prefkit
