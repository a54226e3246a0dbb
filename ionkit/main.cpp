#include <memory>
#include <string_view>

#include "ionkit/check.h"
#include "ionkit/window.h"

#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/qtmain.h"
#include "ui_frmionkit.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "--check") return ionkit::checkMain({argv + 2, argv + argc});
    auto make = [](qv::forms::Application& app) { return std::make_unique<ionkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(argc, argv, "ionkit", make,
                                {{"frmionkit", qv::qt::buildForm<Ui::frmionkit, QMainWindow>}});
#else
    return qv::script::scriptOnlyMain(argc, argv, "ionkit", make);
#endif
}
