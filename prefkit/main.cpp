#include <memory>
#include <string_view>

#include "prefkit/check.h"
#include "prefkit/program.h"
#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/qtmain.h"
#include "ui_frmMain.h"
#include "ui_frmPage2.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "--check") return prefkit::checkMain({argv + 2, argv + argc});
    auto make = [](qv::forms::Application& app) { return std::make_unique<prefkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(argc, argv, "prefkit", make,
                                {{"frmMain", qv::qt::buildForm<Ui::frmMain, QMainWindow>},
                                 {"frmPage2", qv::qt::buildForm<Ui::frmPage2, QMainWindow>}});
#else
    return qv::script::scriptOnlyMain(argc, argv, "prefkit", make);
#endif
}
