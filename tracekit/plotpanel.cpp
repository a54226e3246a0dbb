#include "tracekit/plotpanel.h"

#include <algorithm>
#include <cmath>

#include "quenvar/datafiles.h"
#include "quenvar/numform.h"

namespace tracekit {

using qv::forms::Control;

namespace {

constexpr const char* degrees =
    "\xB0"
    "C";  // Windows-1252
constexpr const char* at25 =
    " (25 \xB0"
    "C";

// A Windows-1252 caption as the screen shows it, in UTF-8. The captions of the panel hold no
// byte of 0x80 to 0x9F, the only ones whose characters differ from Latin-1.
std::string utf8(const std::string& cp1252)
{
    std::string out;
    for (const char ch : cp1252) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

// The value of a text that is wholly a number, read as a save reads a typed term (blanks
// ignored, a decimal comma taken as the point).
std::optional<double> wholeNumber(const std::string& text)
{
    const qv::TypedNumber typed = qv::typedNumber(text);
    if (!typed.valid()) return std::nullopt;
    return typed.value;
}

}  // namespace

PlotPanel::PlotPanel(qv::forms::Application& app, qv::forms::Window& w, const std::array<Control*, termCount>& entries,
                     const Control& optSolid)
    // The controls are added in the order in which the window shows them.
    : app_(app), entries_(entries), optSolid_(optSolid), txtTmin_((w.label("lblFrom", "from"), w.textBox("txtTmin"))),
      txtTmax_((w.label("lblTo", "to"), w.textBox("txtTmax"))),
      lblRange_((w.label("lblDegrees", degrees), w.label("lblRange", "", false))), pltLogK_(w.plot("pltLogK", "log K")),
      lblLogK25_(w.label("lblLogK25", "")), lblDeltaH_(w.label("lblDeltaH", "")),
      lblNotFinite_(w.label("lblNotFinite", "", false)), cmdCopyTable_(w.button("cmdCopyTable", "Copy table"))
{
    txtTmin_.setText(qv::numberForm(range_.from));
    txtTmax_.setText(qv::numberForm(range_.to));

    txtTmin_.onChange = [this] { txtTmin_Change(); };
    txtTmax_.onChange = [this] { txtTmax_Change(); };
    cmdCopyTable_.onClick = [this] { cmdCopyTable_Click(); };
    for (Control* box : entries_) box->onChange = [this] { changed(); };
    update();
}

Terms PlotPanel::enteredTerms() const
{
    // A box left empty is 0, as a save stores it. A text that is not wholly a number (a slip
    // such as "1.5E" or "0.110.14") is no number here, so that the curve shows the slip rather
    // than the number its text happens to begin with.
    Terms terms{};
    for (std::size_t i = 0; i < termCount; ++i) {
        const std::string& text = entries_[i]->text();
        terms[i] = qv::trimBlanks(text).empty() ? 0 : wholeNumber(text).value_or(std::nan(""));
    }
    return terms;
}

std::string PlotPanel::valueName() const { return optSolid_.value() ? "inverse log K" : "log K"; }

void PlotPanel::changed()
{
    if (holds_ > 0) {
        pending_ = true;
        return;
    }
    update();
}

void PlotPanel::update()
{
    pending_ = false;
    const Terms terms = enteredTerms();
    const std::string name = valueName();
    pltLogK_.setCaption(name);
    pltLogK_.setAxisTitles(std::string("t (") + degrees + ")", name);

    // No species shown and no term typed: there is no function to show, rather than a line at 0.
    const bool nothing = !saved_ && std::all_of(entries_.begin(), entries_.end(),
                                                [](const Control* box) { return qv::trimBlanks(box->text()).empty(); });
    cmdCopyTable_.setEnabled(!nothing);
    if (nothing) {
        lblNotFinite_.setCaption("");
        lblNotFinite_.setVisible(false);
        // The range's temperatures with no value: the axes keep the range, no line is drawn.
        std::vector<qv::forms::PlotPoint> empty = curve(terms, range_);
        for (qv::forms::PlotPoint& p : empty) p.y.reset();
        pltLogK_.setCurves(std::move(empty), {});
        for (Control* label : {&lblLogK25_, &lblDeltaH_}) {
            label->setCaption("");
            label->setShownCaption("");
        }
        return;
    }

    std::vector<qv::forms::PlotPoint> points = curve(terms, range_);
    const std::string gaps = gapText(points);
    std::string slips;
    for (std::size_t i = 0; i < termCount; ++i)
        if (std::isnan(terms[i])) slips += std::string(slips.empty() ? "" : ", ") + static_cast<char>('A' + i);
    if (slips.size() == 1)
        slips = " (the term " + slips + " is not a number)";
    else if (!slips.empty())
        slips = " (the terms " + slips + " are not numbers)";
    lblNotFinite_.setCaption(gaps.empty() ? "" : name + " is not finite at " + gaps + slips);
    lblNotFinite_.setVisible(!gaps.empty());
    pltLogK_.setCurves(std::move(points), saved_ ? curve(*saved_, range_) : std::vector<qv::forms::PlotPoint>{});

    const double T = referenceCelsius + zeroCelsius;
    const double value = logK(terms, T);
    lblLogK25_.setCaption(name + at25 + (std::isfinite(value) ? ") = " + fixedText(value, 3) : ") is not finite"));

    // The Greek capital delta has no byte in Windows-1252: the caption, which scripts read, says
    // "dH", and the screen shows "\u0394H".
    const double enthalpy = reactionEnthalpy(terms, T) / 1000;
    std::string rest = at25;
    if (optSolid_.value()) rest += ", inverse";
    rest += std::isfinite(enthalpy) ? ") = " + fixedText(enthalpy, 1) + " kJ/mol" : ") is not finite";
    lblDeltaH_.setCaption("dH" + rest);
    lblDeltaH_.setShownCaption("\xCE\x94H" + utf8(rest));
}

void PlotPanel::showSaved(const std::string& name, const Terms& terms)
{
    savedName_ = name;
    saved_ = terms;
    changed();
}

void PlotPanel::forgetSaved()
{
    saved_.reset();
    savedName_.clear();
    changed();
}

void PlotPanel::saved(const std::string& name, const Terms& terms)
{
    if (!saved_ || name != savedName_) return;
    saved_ = terms;
    changed();
}

void PlotPanel::txtTmin_Change() { rangeChanged(); }

void PlotPanel::txtTmax_Change() { rangeChanged(); }

void PlotPanel::rangeChanged()
{
    // Checked as the user types, so refused quietly: a label says why, and the plot keeps the
    // last range it could show until the boxes hold one again.
    const std::optional<double> from = wholeNumber(txtTmin_.text());
    const std::optional<double> to = wholeNumber(txtTmax_.text());
    std::string why;
    if (!from) {
        why = "\"from\" is not a number";
    } else if (!to) {
        why = "\"to\" is not a number";
    } else {
        switch (checkRange({*from, *to})) {
        case RangeProblem::None: break;
        case RangeProblem::Reversed: why = "\"from\" must be lower than \"to\""; break;
        case RangeProblem::BelowAbsoluteZero: why = std::string("no temperature lies below -273.15 ") + degrees; break;
        }
    }
    if (why.empty()) {
        range_ = {*from, *to};
        lblRange_.setCaption("");
        lblRange_.setVisible(false);
        changed();
        return;
    }
    lblRange_.setCaption("The range is not plotted: " + why + ". The plot keeps " + qv::numberForm(range_.from) +
                         " to " + qv::numberForm(range_.to) + " " + degrees + ".");
    lblRange_.setVisible(true);
}

void PlotPanel::cmdCopyTable_Click()
{
    if (tableRows(range_) > maxTableRows) {
        app_.message("The table from " + qv::numberForm(range_.from) + " to " + qv::numberForm(range_.to) + " " +
                         degrees + " would have more than " + std::to_string(maxTableRows) +
                         " rows. Narrow the range to copy it.",
                     "Note!");
        return;
    }
    app_.setClipboard(tableText(enteredTerms(), range_, valueName()));
}

}  // namespace tracekit
