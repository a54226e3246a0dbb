#include <memory>

#include "humkit/check.h"
#include "humkit/window.h"
#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/checkform.h"
#include "quenvar/qt/qtmain.h"
#include "ui_frmMain.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    const qv::cli::Tool tool{"humkit", "Edits the HBM humic binding-site settings of Quenvar (*.MSI.TXT).",
                             humkit::checkMain, "--comp PATH"};
    auto make = [](qv::forms::Application& app) { return std::make_unique<humkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(
        argc, argv, tool, make,
        {{"frmMain", qv::qt::buildForm<Ui::frmMain, QMainWindow>}, {"frmCheck", qv::qt::buildCheckForm}});
#else
    return qv::script::scriptOnlyMain(argc, argv, tool, make);
#endif
}
