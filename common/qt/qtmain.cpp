#include "quenvar/qt/qtmain.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include <QApplication>
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

int windowedMain(int argc, char** argv, const char* toolName, const script::ProgramFactory& make,
                 std::map<std::string, FormFactory> forms)
{
    if (!script::takeFaultOption(argc, argv)) {
        std::cerr << "bad --fault option: STEP:N:fail or STEP:N:kill\n";
        return 2;
    }
    // `--quit-when-shown`: end as soon as the first window is on the screen (start-up timing).
    bool quitWhenShown = false;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--quit-when-shown") {
            quitWhenShown = true;
            for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    if (argc >= 2 && std::string(argv[1]) == "--script") {
        if (argc != 3) {
            std::cerr << "usage: " << toolName << " --script FILE   (FILE may be -)\n";
            return 2;
        }
        return script::runFile(argv[2], make);
    }
    if (!hasDisplay()) {
        std::cerr << toolName << ": no display to show the windows on (DISPLAY is not set); run it as \"xvfb-run -a "
                  << toolName << "\", or use \"" << toolName << " --script FILE\"\n";
        return 1;
    }

    QApplication qtApp(argc, argv);
    // The program ends when its window logic ends it or its last window closes, not when Qt
    // sees no window shown (a window may be hidden between two steps of a handler).
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform(std::move(forms));
    forms::Application app(platform);
    platform.attach(app);
    std::unique_ptr<forms::Program> program = make(app);
    platform.onFinished = [] { QCoreApplication::exit(0); };

    platform.binder().dispatch([&] { app.open(program->mainWindow()); });
    if (quitWhenShown) QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    int status = 0;
    if (!platform.finished()) status = qtApp.exec();
    // The widgets go before the windows they show.
    platform.release();
    program.reset();
    return status;
}

}  // namespace qv::qt
