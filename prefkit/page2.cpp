// frmPage2, "Quenvar default settings (Page 2)": the limits of what Quenvar's results pages show
// and the site parameters of the predefined surface complexation models. The page touches no
// file: it copies the set into its boxes when it opens and its boxes back into the set when the
// user leaves it by its own button.

#include <string_view>

#include "prefkit/program.h"

namespace prefkit {

namespace {

using P = DefaultParameters;

struct Box {
    const char* name;
    qv::Field P::*field;
};

// Each box of the page and the field of the set it edits.
constexpr Box boxes[] = {
    {"txtConc", &P::minAqueousConcentration},
    {"txtMinsat", &P::minSaturationIndex},
    {"txtMaxsat", &P::maxSaturationIndex},
    {"txtSSAHFO", &P::hfoSurfaceArea},
    {"txtfhHFO", &P::hfoHighAffinity},
    {"txtSDHFO", &P::hfoSiteDensity},
    {"txtSSAHMO", &P::hmoSurfaceArea},
    {"txtfhHMO", &P::hmoHighAffinity},
    {"txtSDHMO", &P::hmoSiteDensity},
    {"txtfh021", &P::goethite021HighAffinity},
    {"txtSD021", &P::goethite021SiteDensity},
    {"txtSD110", &P::goethite110SiteDensity},
    {"txtSD2", &P::goethite110S3OSiteDensity},
    {"txtfhFh", &P::ferrihydriteHighAffinity},
    {"txtSDFh", &P::ferrihydriteSiteDensity},
    {"txtSSAFh", &P::ferrihydriteSurfaceArea},
    {"txtCapin", &P::goethiteInnerCapacitance},
    {"txtCapou", &P::goethiteOuterCapacitance},
    {"txtCapin_Fh", &P::ferrihydriteInnerCapacitance},
    {"txtCapou_Fh", &P::ferrihydriteOuterCapacitance},
};

qv::Field P::*fieldOf(std::string_view box)
{
    for (const Box& b : boxes)
        if (box == b.name) return b.field;
    return nullptr;
}

// The order in which the page fills its boxes, and the order in which it stores them.
constexpr const char* loadOrder[] = {
    "txtConc", "txtMinsat", "txtMaxsat", "txtSSAHFO", "txtSDHFO", "txtfhHFO", "txtSSAHMO",
    "txtSDHMO", "txtfhHMO", "txtSD021", "txtSD110", "txtSD2", "txtfh021", "txtCapin",
    "txtCapou", "txtfhFh", "txtSSAFh", "txtSDFh", "txtCapin_Fh", "txtCapou_Fh",
};
constexpr const char* storeOrder[] = {
    "txtConc", "txtMinsat", "txtMaxsat", "txtSSAHFO", "txtSDHFO", "txtfhHFO", "txtSSAHMO",
    "txtfhHMO", "txtSDHMO", "txtSD021", "txtfh021", "txtSD110", "txtSD2", "txtCapin",
    "txtCapou", "txtfhFh", "txtSDFh", "txtSSAFh", "txtCapin_Fh", "txtCapou_Fh",
};

}  // namespace

void Program::buildPage2()
{
    qv::forms::Window& w = frmPage2_;

    // The result-page limits; their boxes come first in the tab order, then the save button.
    w.label("Label1", "Minimum concentration for aqueous species:");
    w.textBox("txtConc");
    w.label("Label2", "mol / l");
    w.label("Label3", "Minimum value of saturation index for solids");
    w.textBox("txtMinsat");
    w.label("Label4", "Maximum value of saturation index for solids");
    w.textBox("txtMaxsat");
    w.label("Label5",
            "These settings may be used to reduce the amount of information shown on the results pages. "
            "This is useful for problems containing many components.");
    w.button("cmdSave", "Save and Quit to Main default settings menu").onClick = [this] { cmdSave_Click(); };

    // The model grid: one column per model, one row per parameter. The texts are the factory
    // values, shown until the page's load puts the values of the set in their place.
    w.label("Label6", "Parameters for predefined surface complexation models");
    w.label("Label11", "HFO (DLM)");
    w.label("Label12", "HMO (DLM)");
    w.label("Label13", "Goethite (TPM)");
    w.label("Label14", "021 face");
    w.label("Label15", "110 face");
    w.label("Label19", "Ferrihydrite (TPM)");
    w.label("Label7", "Specific surface area (m2/g)");
    w.label("Label8", "Site density, >SOH (sites/nm2)");
    w.label("Label9", "Site density, >S3O (sites/nm2)");
    w.label("Label10", "Fraction high-affinity sites");
    w.label("Label17", "Inner capacitance (F/m2)");
    w.label("Label18", "Outer capacitance (F/m2)");
    w.label("Label16", "Supplied in input");
    const std::pair<const char*, const char*> factory[] = {
        {"txtSSAHFO", "600"},  {"txtSSAHMO", "746"},    {"txtSDHFO", "2.3122"}, {"txtSDHMO", "1.695"},
        {"txtSD021", "7.5"},   {"txtSD110", "3"},       {"txtSD2", "3"},        {"txtfhHFO", "0.02439"},
        {"txtfhHMO", "0.36"},  {"txtfh021", "0.5"},     {"txtCapin", "1.02"},   {"txtCapou", "5"},
        {"txtSSAFh", "750"},   {"txtSDFh", "4"},        {"txtfhFh", "0.01"},    {"txtCapin_Fh", "1.3"},
        {"txtCapou_Fh", "5"},
    };
    for (const auto& [name, text] : factory) w.textBox(name).setText(text);
    for (const char* line : {"Line1", "Line2", "Line3", "Line4", "Line5", "Line6"}) w.line(line);

    // Opening the page again after it was closed runs this load once more, so the page then
    // shows the values of the set, whatever was typed before.
    w.onLoad = [this] { Page2_Load(); };
    // The page's own close control needs no handler: it stores nothing, the forms layer closes
    // the page, and what was typed is gone with it.
}

void Program::Page2_Load()
{
    std::string unreadable;
    for (const char* name : loadOrder) show(frmPage2_(name), fieldOf(name), unreadable);
    reportUnreadable(unreadable);
}

void Program::cmdSave_Click()
{
    for (const char* name : storeOrder) set_.*fieldOf(name) = storedNumber(frmPage2_(name).text());
    app_.close(frmPage2_);
}

}  // namespace prefkit
