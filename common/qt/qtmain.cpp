#include "quenvar/qt/qtmain.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include <QApplication>
#include <QIcon>
#include <QTimer>

namespace qv::qt {

namespace {

bool hasDisplay()
{
#if defined(_WIN32) || defined(__APPLE__)
    return true;  // the desktop is always there
#endif
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace

int windowedMain(int argc, char** argv, const cli::Tool& tool, const script::ProgramFactory& make,
                 std::map<std::string, FormFactory> forms)
{
    // Everything that needs no window is answered before Qt starts, display or not.
    const cli::Command command = cli::parse(tool, argc, argv, std::cout, std::cerr);
    switch (command.action) {
    case cli::Command::Action::Exit: return command.status;
    case cli::Command::Action::Script: return script::runFile(command.scriptFile, make, command.openFile);
    case cli::Command::Action::Check: return tool.check(command.checkArgs);
    case cli::Command::Action::Window: break;
    }
    const char* const toolName = tool.name;
    if (!hasDisplay()) {
        std::cerr << toolName << ": no display to show the windows on (DISPLAY is not set); run it as \"xvfb-run -a "
                  << toolName << "\", or use \"" << toolName << " --script FILE\"\n";
        return 1;
    }

    // Qt sees only the program's name: the arguments are read above.
    int qtArgc = 1;
    QApplication qtApp(qtArgc, argv);
    QApplication::setApplicationName(QString::fromUtf8(toolName));
    QApplication::setApplicationVersion(QString::fromUtf8(cli::version()));
    // The tool's icon is built into the program (the same picture that is installed for the desktop).
    QApplication::setWindowIcon(QIcon(":/icons/" + QString::fromUtf8(toolName) + ".png"));
    // The program ends when its window logic ends it or its last window closes, not when Qt
    // sees no window shown (a window may be hidden between two steps of a handler).
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform(std::move(forms));
    forms::Application app(platform);
    platform.attach(app);
    std::unique_ptr<forms::Program> program = make(app);
    platform.onFinished = [] { QCoreApplication::exit(0); };

    platform.binder().dispatch([&] { app.open(program->mainWindow()); });
    if (!command.openFile.empty() && !platform.finished())
        platform.binder().dispatch([&] { program->openAtStart(command.openFile); });
    if (command.quitWhenShown) QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    int status = 0;
    if (!platform.finished()) status = qtApp.exec();
    // The widgets go before the windows they show.
    platform.release();
    program.reset();
    return status;
}

}  // namespace qv::qt
