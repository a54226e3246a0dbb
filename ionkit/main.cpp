#include <memory>

#include "ionkit/check.h"
#include "ionkit/window.h"

#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/checkform.h"
#include "quenvar/qt/qtmain.h"
#include "ui_frmionkit.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    const qv::cli::Tool tool{
        "ionkit", "Edits the SIT interaction coefficients of species pairs, with their references (sit_eta.txt).",
        ionkit::checkMain, "--thermo PATH --comp PATH"};
    auto make = [](qv::forms::Application& app) { return std::make_unique<ionkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(
        argc, argv, tool, make,
        {{"frmionkit", qv::qt::buildForm<Ui::frmionkit, QMainWindow>}, {"frmCheck", qv::qt::buildCheckForm}});
#else
    return qv::script::scriptOnlyMain(argc, argv, tool, make);
#endif
}
