#include <memory>

#include "prefkit/check.h"
#include "prefkit/program.h"
#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/checkform.h"
#include "quenvar/qt/qtmain.h"
#include "ui_frmMain.h"
#include "ui_frmPage2.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    const qv::cli::Tool tool{
        "prefkit",
        "Edits Quenvar's default calculation settings and surface-model parameters (deftempar.dat) and\n"
        "the four database paths (dabase.txt).",
        prefkit::checkMain};
    auto make = [](qv::forms::Application& app) { return std::make_unique<prefkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(argc, argv, tool, make,
                                {{"frmMain", qv::qt::buildFormWithOptionGroups<Ui::frmMain, QMainWindow>},
                                 {"frmPage2", qv::qt::buildForm<Ui::frmPage2, QMainWindow>},
                                 {"frmCheck", qv::qt::buildCheckForm}});
#else
    return qv::script::scriptOnlyMain(argc, argv, tool, make);
#endif
}
