#pragma once
// The findings window `frmCheck` that every tool opens from its "Check" menu entry: one line a
// finding in `lstFindings`, a summary in `lblSummary`, and `cmdClose`. Picking a line shows it
// whole in `lblFinding` (a long line does not fit the list's width) and hands its finding to the
// tool, which shows that record where its window can.
//
// The window shows the report it was given when it opened; it does not follow later edits of
// the file until it is opened again.

#include <functional>
#include <string>
#include <vector>

#include "quenvar/check.h"
#include "quenvar/forms.h"

namespace qv::forms {

class CheckWindow : public Window {
public:
    explicit CheckWindow(Application& app);

    // Fills the window with the findings of `report` about `fileName` (named in the summary by
    // its last part) and opens it.
    void show(const check::Report& report, const std::string& fileName);

    // The findings in the order of the list's lines.
    const std::vector<check::Finding>& shown() const { return shown_; }

    // The tool's answer to a pick of a finding (the finding picked).
    std::function<void(const check::Finding&)> onPick;

    void lstFindings_Click();
    void cmdClose_Click();

private:
    std::vector<check::Finding> shown_;
};

}  // namespace qv::forms
