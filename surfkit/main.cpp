#include <memory>
#include <string_view>

#include "surfkit/check.h"
#include "surfkit/window.h"

#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/qtmain.h"
#include "ui_frmMaindb.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "--check") return surfkit::checkMain({argv + 2, argv + argc});
    auto make = [](qv::forms::Application& app) { return std::make_unique<surfkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(argc, argv, "surfkit", make,
                                {{"frmMaindb", qv::qt::buildForm<Ui::frmMaindb, QMainWindow>}});
#else
    return qv::script::scriptOnlyMain(argc, argv, "surfkit", make);
#endif
}
