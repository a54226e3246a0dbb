#include "quenvar/checkwindow.h"

namespace qv::forms {

CheckWindow::CheckWindow(Application& app) : Window(app, "frmCheck", "Check")
{
    listBox("lstFindings").onClick = [this] { lstFindings_Click(); };
    label("lblSummary", "");
    label("lblFinding", "");
    button("cmdClose", "Close").onClick = [this] { cmdClose_Click(); };
}

void CheckWindow::show(const check::Report& report, const std::string& fileName)
{
    const std::string name = check::baseName(fileName);
    setCaption("Check - " + name);
    shown_ = report.findings();
    Control& list = (*this)("lstFindings");
    list.clear();
    for (const check::Finding& f : shown_) list.addItem(check::windowLine(f, fileName));
    (*this)("lblFinding").setCaption("");
    (*this)("lblSummary").setCaption(check::summary(report.errors(), report.warnings(), name));
    app().open(*this);  // opened, or brought up to date when it is open already
}

void CheckWindow::lstFindings_Click()
{
    const Control& list = (*this)("lstFindings");
    const int picked = list.listIndex();
    if (picked < 0 || picked >= static_cast<int>(shown_.size())) return;
    (*this)("lblFinding").setCaption(list.text());  // the whole line, wrapped, however long
    if (onPick) onPick(shown_[static_cast<std::size_t>(picked)]);
}

void CheckWindow::cmdClose_Click() { app().close(*this); }

}  // namespace qv::forms
