#include <memory>

#include "surfkit/check.h"
#include "surfkit/window.h"

#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/checkform.h"
#include "quenvar/qt/qtmain.h"
#include "ui_frmMaindb.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    const qv::cli::Tool tool{
        "surfkit",
        "Edits the sorption databases of Quenvar (*.MDB, *.CDB, *.ISO, *.NIC, *.BLI): species, components,\n"
        "stoichiometries, constants and species ID numbers.",
        surfkit::checkMain, "--comp PATH"};
    auto make = [](qv::forms::Application& app) { return std::make_unique<surfkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(
        argc, argv, tool, make,
        {{"frmMaindb", qv::qt::buildForm<Ui::frmMaindb, QMainWindow>}, {"frmCheck", qv::qt::buildCheckForm}});
#else
    return qv::script::scriptOnlyMain(argc, argv, tool, make);
#endif
}
