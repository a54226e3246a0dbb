#pragma once
// The curve beside the terms of `frmMain`: log K against temperature from `txtTmin` to `txtTmax`
// (°C), computed from the term boxes as they stand (an empty box is 0, a box that does not hold
// wholly a number gives no values) and redrawn whenever a box changes; while a species of the
// file is shown, its curve as saved is the plot's dashed curve; with neither a species shown nor
// a term typed there is nothing to draw or copy. Under the plot, log K and the reaction enthalpy at 25 °C;
// `cmdCopyTable` puts the curve as a table on the clipboard. For a solid every text says
// "inverse log K", as the window's note does. Nothing here reads or writes a file.

#include <array>
#include <optional>
#include <string>

#include "quenvar/forms.h"
#include "tracekit/analyt.h"
#include "tracekit/curve.h"

namespace tracekit {

class PlotPanel {
public:
    // Adds the panel's controls to `window`; `entries` are the boxes of the terms A to G, and
    // `optSolid` tells whether the function is an inverse log K.
    PlotPanel(qv::forms::Application& app, qv::forms::Window& window,
              const std::array<qv::forms::Control*, termCount>& entries, const qv::forms::Control& optSolid);
    PlotPanel(const PlotPanel&) = delete;
    PlotPanel& operator=(const PlotPanel&) = delete;

    // Computes the curves and the figures anew (the kind of species may have changed).
    void update();
    // A species of the file is shown: `terms` as saved under `name`, drawn dashed.
    void showSaved(const std::string& name, const Terms& terms);
    // No species of the file is shown any longer.
    void forgetSaved();
    // The terms were saved under `name`: when that is the species shown, its saved curve is the
    // edited one now.
    void saved(const std::string& name, const Terms& terms);

    // While a Hold lives, changes of the boxes wait; one update follows at its end.
    class Hold {
    public:
        explicit Hold(PlotPanel& panel) : panel_(panel) { ++panel_.holds_; }
        ~Hold()
        {
            if (--panel_.holds_ == 0 && panel_.pending_) panel_.update();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        PlotPanel& panel_;
    };

    // Events.
    void txtTmin_Change();
    void txtTmax_Change();
    void cmdCopyTable_Click();

    const TemperatureRange& range() const { return range_; }
    // The terms as the boxes give them; NaN for a box that does not hold wholly a number.
    Terms enteredTerms() const;

private:
    void rangeChanged();
    void changed();
    // "log K" or "inverse log K".
    std::string valueName() const;

    qv::forms::Application& app_;
    std::array<qv::forms::Control*, termCount> entries_;
    const qv::forms::Control& optSolid_;
    qv::forms::Control& txtTmin_;
    qv::forms::Control& txtTmax_;
    qv::forms::Control& lblRange_;
    qv::forms::Control& pltLogK_;
    qv::forms::Control& lblLogK25_;
    qv::forms::Control& lblDeltaH_;
    qv::forms::Control& lblNotFinite_;
    qv::forms::Control& cmdCopyTable_;

    TemperatureRange range_;  // the last range that could be plotted
    std::optional<Terms> saved_;
    std::string savedName_;
    int holds_ = 0;
    bool pending_ = false;
};

}  // namespace tracekit
