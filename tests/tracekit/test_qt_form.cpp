// The real frmMain built from its .ui file by the Qt platform, with its chart, on Qt's offscreen
// platform: every control finds its widget, the chart draws both curves and breaks a curve
// where it has no value, the enthalpy shows its delta, and the table reaches the clipboard.

#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "quenvar/qt/chart.h"
#include "quenvar/qt/qtmain.h"
#include "testsupport.h"
#include "tracekit/window.h"
#include "ui_frmMain.h"

namespace {

using qvtest::crlf;

QApplication& qtApp()
{
    static int argc = 1;
    static char name[] = "tracekit_qt_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The line series of the chart: solid ones and dashed ones.
struct Curves {
    int solid = 0, dashed = 0, solidPoints = 0;
};

Curves curvesOf(QChartView* view)
{
    Curves c;
    for (QAbstractSeries* s : view->chart()->series()) {
        auto* line = qobject_cast<QLineSeries*>(s);
        if (!line) continue;
        if (line->pen().style() == Qt::DashLine) {
            ++c.dashed;
        } else {
            ++c.solid;
            c.solidPoints += static_cast<int>(line->count());
        }
    }
    return c;
}

TEST(TracekitQtForm, TheChartFollowsTheBoxesAndTheTableReachesTheClipboard)
{
    qtApp();
    qvtest::TempDir dir;
    dir.write("dabase.txt", crlf({"\"" + (dir / "thermo.mdb") + "\",\"" + (dir / "type6.mdb") + "\",\"\",\"\""}));
    dir.write("analyt.mdb",
              crlf({"\"A\"", "0,\"\",0,0,0,0,0,0,0", "550030,\"HCO3-\",7.6468,0,800,0,0,0,0", "0,\"\",0,0,0,0,0,0,0"}));

    qv::qt::useChartPlots();
    qv::qt::QtPlatform platform({{"frmMain", qv::qt::buildForm<Ui::frmMain, QMainWindow>}});
    qv::forms::Application app(platform);
    platform.attach(app);
    tracekit::Program program(app);
    program.files().changeDir(dir.path());
    platform.binder().dispatch([&] { app.open(program.mainWindow()); });
    QWidget* top = platform.widgetOf(program.mainWindow());
    ASSERT_NE(top, nullptr);
    qv::qt::FormBinding* binding = platform.binder().find(program.mainWindow());
    for (const std::string& problem : binding->problems()) ADD_FAILURE() << problem;

    auto* view = top->findChild<QChartView*>();
    ASSERT_NE(view, nullptr);
    // Nothing shown and nothing typed: no curve, and nothing to copy.
    EXPECT_EQ(view->chart()->title(), "inverse log K");
    EXPECT_EQ(curvesOf(view).solid, 0);
    EXPECT_EQ(curvesOf(view).dashed, 0);
    EXPECT_FALSE(top->findChild<QPushButton*>("cmdCopyTable")->isEnabled());

    qv::forms::Window& w = program.mainWindow();
    platform.binder().dispatch([&] {
        w("optAqueous").setValue(true);
        w("optAqueous").onClick();
        w("cboSpecies").userPick(0);
    });
    EXPECT_EQ(view->chart()->title(), "log K");
    EXPECT_EQ(curvesOf(view).dashed, 1);
    EXPECT_EQ(top->findChild<QLabel*>("lblDeltaH")->text(), QString::fromUtf8("\u0394H (25 \u00B0C) = -15.3 kJ/mol"));

    // Typed from absolute zero: no value there, so the solid curve starts at the second point.
    auto* from = top->findChild<QLineEdit*>("txtTmin");
    from->selectAll();
    QTest::keyClicks(from, "-273.15");
    EXPECT_EQ(w("txtTmin").text(), "-273.15");
    EXPECT_EQ(curvesOf(view).solidPoints, 200);
    EXPECT_TRUE(top->findChild<QLabel*>("lblNotFinite")->isVisibleTo(top));

    QTest::mouseClick(top->findChild<QPushButton*>("cmdCopyTable"), Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QString::fromUtf8("t (\u00B0C)\tT (K)\tlog K\n-273.15\t0\t\n")))
        << copied.toStdString();
    platform.release();
}

TEST(TracekitQtForm, TheOptionsAreClickedByTheirTextAndTheSpeciesBoxStaysInPlace)
{
    qtApp();
    qvtest::TempDir dir;
    dir.write("dabase.txt", crlf({"\"" + (dir / "thermo.mdb") + "\",\"" + (dir / "type6.mdb") + "\",\"\",\"\""}));
    dir.write("analyt.mdb", crlf({"\"A\"", "6090550,\"Calcite\",1,0,0,0,0,0,0", "0,\"\",0,0,0,0,0,0,0",
                                  "550030,\"HCO3-\",7.6468,0,800,0,0,0,0", "0,\"\",0,0,0,0,0,0,0"}));

    qv::qt::useChartPlots();
    qv::qt::QtPlatform platform({{"frmMain", qv::qt::buildForm<Ui::frmMain, QMainWindow>}});
    qv::forms::Application app(platform);
    platform.attach(app);
    tracekit::Program program(app);
    program.files().changeDir(dir.path());
    platform.binder().dispatch([&] { app.open(program.mainWindow()); });
    QWidget* top = platform.widgetOf(program.mainWindow());
    ASSERT_NE(top, nullptr);
    for (const std::string& problem : platform.binder().find(program.mainWindow())->problems())
        ADD_FAILURE() << problem;
    top->resize(1040, 560);
    QApplication::processEvents();

    auto* aqueous = top->findChild<QRadioButton*>("optAqueous");
    auto* species = top->findChild<QComboBox*>("cboSpecies");
    ASSERT_TRUE(aqueous && species);
    EXPECT_EQ(aqueous->text(), "Aq&ueous species");
    // Never clipped at the default size.
    EXPECT_GE(aqueous->width(), aqueous->sizeHint().width());

    const QRect before = species->geometry();
    // A click on the text of the option, well to the right of its circle.
    QTest::mouseClick(aqueous, Qt::LeftButton, {}, QPoint(aqueous->width() - 10, aqueous->height() / 2));
    QApplication::processEvents();
    EXPECT_TRUE(program.mainWindow()("optAqueous").value());
    EXPECT_EQ(species->geometry(), before);

    // One Tab stop for the two options: Tab from the selected one leaves the group.
    top->show();
    top->activateWindow();
    QApplication::processEvents();
    aqueous->setFocus(Qt::TabFocusReason);
    QTest::keyClick(aqueous, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), top->findChild<QRadioButton*>("optSolid"));
    EXPECT_NE(QApplication::focusWidget(), aqueous);
    EXPECT_NE(QApplication::focusWidget(), nullptr);

    ASSERT_NE(species->completer(), nullptr);
    EXPECT_EQ(species->completer()->filterMode(), Qt::MatchContains);
    EXPECT_EQ(species->completer()->caseSensitivity(), Qt::CaseInsensitive);
    platform.release();
}

}  // namespace
