#include <memory>
#include <string_view>

#include "tracekit/check.h"
#include "tracekit/window.h"
#ifdef QUENVAR_WITH_QT
#include <QMainWindow>

#include "quenvar/qt/qtmain.h"
#include "ui_frmMain.h"
#else
#include "quenvar/script.h"
#endif

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "--check") return tracekit::checkMain({argv + 2, argv + argc});
    auto make = [](qv::forms::Application& app) { return std::make_unique<tracekit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(argc, argv, "tracekit", make,
                                {{"frmMain", qv::qt::buildForm<Ui::frmMain, QMainWindow>}});
#else
    return qv::script::scriptOnlyMain(argc, argv, "tracekit", make);
#endif
}
