#include "qtapp.h"

#include <cstdlib>

#include <QApplication>
#include <QTest>

namespace qvtest {

QApplication& qtApp()
{
    static QApplication* app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // also when run outside CTest
        static int argc = 1;
        static char name[] = "qt_binding_test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace qvtest
