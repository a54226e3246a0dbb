#pragma once
// The default parameter set of Quenvar and its file `deftempar.dat`.
//
// The file holds thirty-two fields on eight lines, one record per line:
//
//   1  data directory (Text)
//   2  iteration code, input basis code, precipitation code, charge-imbalance code,
//      activity code, a carried value
//   3  thermodynamic, solids, component and DOM database paths (Text)
//   4  minimum aqueous concentration, minimum and maximum saturation index
//   5  Davies b parameter
//   6  HFO surface area, high-affinity fraction, site density
//   7  HMO surface area, high-affinity fraction, site density
//   8  goethite 021 high-affinity fraction and site density, goethite 110 site density and
//      S3O site density, ferrihydrite high-affinity fraction, site density and surface area,
//      goethite inner and outer capacitance, ferrihydrite inner and outer capacitance
//
// Every field but the five Texts is a field value that keeps the kind it was read with (a bare
// number stays a Number, a quoted field a Text, an empty one Empty) until a window stores a
// number into it, so that what no window touched is written back as Quenvar wrote it.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "quenvar/field.h"
#include "quenvar/files.h"

namespace prefkit {

inline constexpr const char* parameterFileName = "deftempar.dat";
// The temporary file that a save writes completely before it replaces `deftempar.dat`.
inline constexpr const char* parameterTempName = "deftempar.tmp";
inline constexpr const char* dabaseTempName = "dabase.tmp";

struct DefaultParameters {
    // Line 1.
    std::string dataDirectory;
    // Line 2.
    qv::Field iterationCode;        // 1 = 200, 2 = 500, 3 = 2000, 4 = 5000 iterations
    qv::Field inputBasisCode;       // 0 = Solution, 1 = Solid
    qv::Field precipitationCode;    // 0 = not allowed, 1 = after the final answer, 2 = each time
    qv::Field chargeImbalanceCode;  // terminate on a charge imbalance over 30 %: 0 = Yes, 1 = No
    qv::Field activityCode;         // 1 = Davies, 2 = Debye-Hückel, 3 = SIT
    qv::Field carriedValue;         // Quenvar's own; carried from load to save unchanged
    // Line 3.
    std::string thermoPath;
    std::string solidsPath;
    std::string componentsPath;
    std::string domPath;
    // Line 4: limits of what Quenvar's results pages show.
    qv::Field minAqueousConcentration;  // mol / l
    qv::Field minSaturationIndex;
    qv::Field maxSaturationIndex;
    // Line 5.
    qv::Field daviesB;
    // Line 6: HFO (DLM).
    qv::Field hfoSurfaceArea;   // m2/g
    qv::Field hfoHighAffinity;  // fraction of high-affinity sites
    qv::Field hfoSiteDensity;   // >SOH sites/nm2
    // Line 7: HMO (DLM).
    qv::Field hmoSurfaceArea;
    qv::Field hmoHighAffinity;
    qv::Field hmoSiteDensity;
    // Line 8: goethite and ferrihydrite (TPM), in the file's own order.
    qv::Field goethite021HighAffinity;
    qv::Field goethite021SiteDensity;
    qv::Field goethite110SiteDensity;
    qv::Field goethite110S3OSiteDensity;  // >S3O sites/nm2
    qv::Field ferrihydriteHighAffinity;
    qv::Field ferrihydriteSiteDensity;
    qv::Field ferrihydriteSurfaceArea;
    qv::Field goethiteInnerCapacitance;  // F/m2
    qv::Field goethiteOuterCapacitance;
    qv::Field ferrihydriteInnerCapacitance;
    qv::Field ferrihydriteOuterCapacitance;

    friend bool operator==(const DefaultParameters&, const DefaultParameters&) = default;
};

// One field of the file: its line and position (both from 1) and where the set keeps it.
// Exactly one of `text` and `value` is set.
struct FieldPlace {
    int line;
    int position;
    std::string DefaultParameters::*text;
    qv::Field DefaultParameters::*value;
};

inline constexpr int parameterFieldCount = 32;

// The thirty-two fields in file order.
const std::array<FieldPlace, parameterFieldCount>& fieldPlaces();

// The place of a field value in the file.
const FieldPlace& placeOf(qv::Field DefaultParameters::*value);

// Reads `deftempar.dat` from the current directory of `files`. A missing file is "File not
// found", a file of fewer than thirty-two fields "Input past end of file"; both name the file.
DefaultParameters loadParameters(const qv::Files& files);

// The bytes of `deftempar.dat` for a set: eight lines ended by CR LF, each field in its current
// kind. A Text holding a double quote cannot be written and throws before anything is written.
std::string parameterFileBytes(const DefaultParameters& set);

// Writes `dabase.txt` (the four database paths) and `deftempar.dat` into the set's data
// directory. Each file is written completely under a temporary name and then put in place in one
// atomic step, so a failure leaves every file either as it was or wholly new. A failure throws
// the error naming its kind and the full path of the file it concerns; the current directory of
// `files` is left as it was.
// Before each file is replaced, its previous content is kept beside it as "deftempar.dat.bak" and
// "dabase.txt.bak" (a file that does not exist yet keeps nothing); a failure to keep a backup
// stops the save before that file is touched.
void saveParameters(const qv::Files& files, const DefaultParameters& set);

// The undo of the last save, at the next start: the backups of the last save of `set` are there
// and differ from the files (a restore makes them equal, so it is offered once).
bool canUndoLastSave(const qv::Files& files, const DefaultParameters& set);
// Puts the backups back over `deftempar.dat` and `dabase.txt` of the set's data directory, each in
// one atomic step (through the save's temporary files). Throws qv::Error naming the file.
void undoLastSave(const qv::Files& files, const DefaultParameters& set);

// What a window shows for a field value: the display form of its number (a leading blank when
// not negative). A Text counts as its number when it is one (blanks around it aside); a Text that
// is not a number gives nothing.
std::optional<std::string> displayText(const qv::Field& value);

// What a window stores for a text the user typed: the number the text begins with (0 when it
// begins with none), as a double-precision Number.
qv::Field storedNumber(std::string_view typed);

// A setting code as the windows store it: a small whole number.
qv::Field storedCode(int code);

}  // namespace prefkit
