// frmPage2, "Quenvar default settings (Page 2)": the limits of what Quenvar's results pages show
// and the site parameters of the predefined surface complexation models. The page touches no
// file: it copies the set into its boxes when it opens and its boxes back into the set when the
// user leaves it by its own button.

#include <utility>
#include <vector>

#include "prefkit/program.h"

namespace prefkit {

using qv::forms::Control;

Page2Controls Program::buildPage2(qv::forms::Window& w)
{
    // The result-page limits; their boxes come first in the tab order, then the save button.
    w.label("Label1", "Minimum concentration for aqueous species:");
    Control& txtConc = w.textBox("txtConc");
    w.label("Label2", "mol / l");
    w.label("Label3", "Minimum value of saturation index for solids");
    Control& txtMinsat = w.textBox("txtMinsat");
    w.label("Label4", "Maximum value of saturation index for solids");
    Control& txtMaxsat = w.textBox("txtMaxsat");
    w.label("Label5",
            "These settings may be used to reduce the amount of information shown on the results pages. "
            "This is useful for problems containing many components.");
    Control& cmdSave = w.button("cmdSave", "Save and Quit to Main default settings menu");

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
    auto box = [&w](const char* name, const char* factory) -> Control& {
        Control& made = w.textBox(name);
        made.setText(factory);
        return made;
    };
    Control& txtSSAHFO = box("txtSSAHFO", "600");
    Control& txtSSAHMO = box("txtSSAHMO", "746");
    Control& txtSDHFO = box("txtSDHFO", "2.3122");
    Control& txtSDHMO = box("txtSDHMO", "1.695");
    Control& txtSD021 = box("txtSD021", "7.5");
    Control& txtSD110 = box("txtSD110", "3");
    Control& txtSD2 = box("txtSD2", "3");
    Control& txtfhHFO = box("txtfhHFO", "0.02439");
    Control& txtfhHMO = box("txtfhHMO", "0.36");
    Control& txtfh021 = box("txtfh021", "0.5");
    Control& txtCapin = box("txtCapin", "1.02");
    Control& txtCapou = box("txtCapou", "5");
    Control& txtSSAFh = box("txtSSAFh", "750");
    Control& txtSDFh = box("txtSDFh", "4");
    Control& txtfhFh = box("txtfhFh", "0.01");
    Control& txtCapin_Fh = box("txtCapin_Fh", "1.3");
    Control& txtCapou_Fh = box("txtCapou_Fh", "5");
    for (const char* line : {"Line1", "Line2", "Line3", "Line4", "Line5", "Line6"}) w.line(line);
    return Page2Controls{txtConc,  txtMinsat, txtMaxsat, cmdSave, txtSSAHFO, txtSSAHMO,   txtSDHFO,
                         txtSDHMO, txtSD021,  txtSD110,  txtSD2,  txtfhHFO,  txtfhHMO,    txtfh021,
                         txtCapin, txtCapou,  txtSSAFh,  txtSDFh, txtfhFh,   txtCapin_Fh, txtCapou_Fh};
}

std::vector<Program::Page2Box> Program::page2Boxes(bool storeOrder) const
{
    using P = DefaultParameters;
    const Page2Controls& p = page2_;
    // The two orders differ in the high-affinity fractions and site densities.
    if (storeOrder)
        return {{p.txtConc, &P::minAqueousConcentration},
                {p.txtMinsat, &P::minSaturationIndex},
                {p.txtMaxsat, &P::maxSaturationIndex},
                {p.txtSSAHFO, &P::hfoSurfaceArea},
                {p.txtSDHFO, &P::hfoSiteDensity},
                {p.txtfhHFO, &P::hfoHighAffinity},
                {p.txtSSAHMO, &P::hmoSurfaceArea},
                {p.txtfhHMO, &P::hmoHighAffinity},
                {p.txtSDHMO, &P::hmoSiteDensity},
                {p.txtSD021, &P::goethite021SiteDensity},
                {p.txtfh021, &P::goethite021HighAffinity},
                {p.txtSD110, &P::goethite110SiteDensity},
                {p.txtSD2, &P::goethite110S3OSiteDensity},
                {p.txtCapin, &P::goethiteInnerCapacitance},
                {p.txtCapou, &P::goethiteOuterCapacitance},
                {p.txtfhFh, &P::ferrihydriteHighAffinity},
                {p.txtSDFh, &P::ferrihydriteSiteDensity},
                {p.txtSSAFh, &P::ferrihydriteSurfaceArea},
                {p.txtCapin_Fh, &P::ferrihydriteInnerCapacitance},
                {p.txtCapou_Fh, &P::ferrihydriteOuterCapacitance}};
    return {{p.txtConc, &P::minAqueousConcentration},
            {p.txtMinsat, &P::minSaturationIndex},
            {p.txtMaxsat, &P::maxSaturationIndex},
            {p.txtSSAHFO, &P::hfoSurfaceArea},
            {p.txtSDHFO, &P::hfoSiteDensity},
            {p.txtfhHFO, &P::hfoHighAffinity},
            {p.txtSSAHMO, &P::hmoSurfaceArea},
            {p.txtSDHMO, &P::hmoSiteDensity},
            {p.txtfhHMO, &P::hmoHighAffinity},
            {p.txtSD021, &P::goethite021SiteDensity},
            {p.txtSD110, &P::goethite110SiteDensity},
            {p.txtSD2, &P::goethite110S3OSiteDensity},
            {p.txtfh021, &P::goethite021HighAffinity},
            {p.txtCapin, &P::goethiteInnerCapacitance},
            {p.txtCapou, &P::goethiteOuterCapacitance},
            {p.txtfhFh, &P::ferrihydriteHighAffinity},
            {p.txtSSAFh, &P::ferrihydriteSurfaceArea},
            {p.txtSDFh, &P::ferrihydriteSiteDensity},
            {p.txtCapin_Fh, &P::ferrihydriteInnerCapacitance},
            {p.txtCapou_Fh, &P::ferrihydriteOuterCapacitance}};
}

std::string Program::page2FieldName(qv::Field DefaultParameters::*field)
{
    using P = DefaultParameters;
    // The row label, and the model's column where the page shows one.
    static const std::pair<qv::Field P::*, const char*> names[] = {
        {&P::minAqueousConcentration, "Minimum concentration for aqueous species"},
        {&P::minSaturationIndex, "Minimum value of saturation index for solids"},
        {&P::maxSaturationIndex, "Maximum value of saturation index for solids"},
        {&P::hfoSurfaceArea, "Specific surface area (m2/g), HFO (DLM)"},
        {&P::hfoSiteDensity, "Site density, >SOH (sites/nm2), HFO (DLM)"},
        {&P::hfoHighAffinity, "Fraction high-affinity sites, HFO (DLM)"},
        {&P::hmoSurfaceArea, "Specific surface area (m2/g), HMO (DLM)"},
        {&P::hmoSiteDensity, "Site density, >SOH (sites/nm2), HMO (DLM)"},
        {&P::hmoHighAffinity, "Fraction high-affinity sites, HMO (DLM)"},
        {&P::goethite021SiteDensity, "Site density, >SOH (sites/nm2), Goethite (TPM) 021 face"},
        {&P::goethite110SiteDensity, "Site density, >SOH (sites/nm2), Goethite (TPM) 110 face"},
        {&P::goethite110S3OSiteDensity, "Site density, >S3O (sites/nm2), Goethite (TPM) 110 face"},
        {&P::goethite021HighAffinity, "Fraction high-affinity sites, Goethite (TPM) 021 face"},
        {&P::goethiteInnerCapacitance, "Inner capacitance (F/m2), Goethite (TPM)"},
        {&P::goethiteOuterCapacitance, "Outer capacitance (F/m2), Goethite (TPM)"},
        {&P::ferrihydriteHighAffinity, "Fraction high-affinity sites, Ferrihydrite (TPM)"},
        {&P::ferrihydriteSurfaceArea, "Specific surface area (m2/g), Ferrihydrite (TPM)"},
        {&P::ferrihydriteSiteDensity, "Site density, >SOH (sites/nm2), Ferrihydrite (TPM)"},
        {&P::ferrihydriteInnerCapacitance, "Inner capacitance (F/m2), Ferrihydrite (TPM)"},
        {&P::ferrihydriteOuterCapacitance, "Outer capacitance (F/m2), Ferrihydrite (TPM)"},
    };
    for (const auto& [member, name] : names)
        if (member == field) return name;
    return {};
}

void Program::Page2_Load()
{
    std::string unreadable;
    for (const Page2Box& b : page2Boxes(false)) show(b.box, b.field, unreadable);
    page2Edits_.snapshot();
    refreshTitles();
    reportUnreadable(unreadable);
}

void Program::cmdSave_Click()
{
    // Every box is read before the set takes any: a slip in one leaves the set and the page as
    // they were, with the focus in that box (in the page's own order, the first slip is named).
    std::vector<std::pair<qv::Field DefaultParameters::*, qv::Field>> typed;
    for (const Page2Box& b : page2Boxes(false)) {
        const auto value = typedField(b.box, page2FieldName(b.field));
        if (!value) return;
        typed.emplace_back(b.field, *value);
    }
    for (const auto& [field, value] : typed) set_.*field = value;
    app_.close(frmPage2_);
    refreshTitles();
    if (modified()) frmMain_.setStatus("Page 2 settings kept; \"Save and Quit\" writes them");
}

}  // namespace prefkit
