#include <memory>

#include "tracekit/check.h"
#include "tracekit/window.h"
#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/chart.h"
#include "quenvar/qt/checkform.h"
#include "quenvar/qt/qtmain.h"
#include "ui_frmMain.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    const qv::cli::Tool tool{"tracekit",
                             "Edits the temperature functions of equilibrium constants in Quenvar's analyte database\n"
                             "(analyt.mdb).",
                             tracekit::checkMain, "--thermo PATH --type6 PATH"};
    auto make = [](qv::forms::Application& app) { return std::make_unique<tracekit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    qv::qt::useChartPlots();
    return qv::qt::windowedMain(argc, argv, tool, make,
                                {{"frmMain", qv::qt::buildFormWithOptionGroups<Ui::frmMain, QMainWindow>},
                                 {"frmCheck", qv::qt::buildCheckForm}});
#else
    return qv::script::scriptOnlyMain(argc, argv, tool, make);
#endif
}
