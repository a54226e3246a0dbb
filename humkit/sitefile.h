#pragma once
// The site settings document of the HBM humic binding model and its file (*.MSI.TXT).
//
// A document holds up to ten site sets (the general settings and sets for single cations), each
// naming the sites that form monodentate, bidentate and tridentate complexes, and the relative
// concentrations of two to four site groups. Quenvar reads the file this module writes:
//
//   set count
//   for each set:  "name"
//                  monodentate count, bidentate count, tridentate count
//                  one line per monodentate site:      site
//                  one line per bidentate combination: site, site
//                  one line per tridentate combination: site, site, site
//   group count
//   one line per site group: its fraction (the window shows it in per cent)

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "quenvar/field.h"

namespace humkit {

inline constexpr int maxSets = 10;
inline constexpr int maxMonodentate = 8;
inline constexpr int maxBidentate = 12;
inline constexpr int maxTridentate = 16;
inline constexpr int minGroups = 2;
inline constexpr int maxGroups = 4;

inline constexpr const char* generalSettingsName = "General settings";
inline constexpr const char* siteFileFilter = "HBM site files (*.MSI.TXT)|*.MSI.TXT";
inline constexpr const char* captionSuffix = " - HBM site settings";

// One set of sites. A site number stays as the file gave it (Number, or Text where the file
// held a word) until the window stores the set again. Entries beyond the counts are never
// written.
struct SiteSet {
    std::string name;
    std::int16_t monoCount = 0;
    std::int16_t biCount = 0;
    std::int16_t triCount = 0;
    std::array<qv::Field, maxMonodentate> mono;
    std::array<std::array<qv::Field, 2>, maxBidentate> bi;
    std::array<std::array<qv::Field, 3>, maxTridentate> tri;
};

struct SiteDocument {
    // A new document: one set, "General settings", with no sites; three site groups.
    SiteDocument();

    std::int16_t setCount = 1;
    std::array<SiteSet, maxSets> sets;  // position p (from 1) is sets[p - 1]
    std::int16_t currentSet = 1;
    std::int16_t groupCount = 3;
    std::array<double, maxGroups> fractions{};

    SiteSet& set(int position) { return sets.at(static_cast<std::size_t>(position - 1)); }
    const SiteSet& set(int position) const { return sets.at(static_cast<std::size_t>(position - 1)); }
    SiteSet& current() { return set(currentSet); }

    // The position of the first set in use whose name equals `name` exactly; 0 when none does.
    int find(std::string_view name) const;
    // Removes the set at `position`: every later set moves one position down, the set count
    // drops by one. The current position is left to the caller.
    void removeSet(int position);
};

// The bytes of the file for a document, CR LF line ends. Throws qv::Error naming `fileName`
// for what the file cannot carry: a set name holding a double quote, or a group count outside
// 2 to 4.
std::string writeSiteFile(const SiteDocument& doc, const std::string& fileName);

// Reads a whole site file. A file that does not fit the document is refused with a qv::Error
// naming `fileName` and what is wrong (its line): a set count above 10 or below 0, a site count
// above 8, 12 or 16 or below 0, a group count outside 2 to 4, a word where a count or fraction
// stands, or a file that ends early. A set count of 0 (a document whose every set was deleted)
// is read as it stands. The returned document shows set 1.
SiteDocument readSiteFile(std::string bytes, const std::string& fileName);

}  // namespace humkit
