#include "quenvar/qt/chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QVariant>

#include "quenvar/forms.h"
#include "quenvar/qt/binding.h"
#include "quenvar/qt/cp1252.h"

namespace qv::qt {

using forms::PlotPoint;

namespace {

constexpr const char* viewName = "chartView";
constexpr const char* revisionProperty = "quenvarPlotRevision";

struct Extent {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
};

// One line series for every run of points with a value, so that a gap stays a gap.
void addCurve(QChart& chart, QValueAxis& x, QValueAxis& y, const std::vector<PlotPoint>& points, const QPen& pen,
              Extent& extent)
{
    QList<QPointF> run;
    auto flush = [&] {
        if (run.isEmpty()) return;
        auto* series = new QLineSeries;
        series->setPen(pen);
        series->replace(run);
        chart.addSeries(series);
        series->attachAxis(&x);
        series->attachAxis(&y);
        run.clear();
    };
    for (const PlotPoint& p : points) {
        if (!p.y) {
            flush();
            continue;
        }
        run.append(QPointF(p.x, *p.y));
        extent.low = std::min(extent.low, *p.y);
        extent.high = std::max(extent.high, *p.y);
    }
    flush();
}

// A tick interval of 1, 2 or 5 times a power of ten that gives about four intervals over `span`.
double niceInterval(double span)
{
    const double rough = span / 4;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough) return factor * power;
    return 10 * power;
}

QValueAxis* axis(QChart& chart, Qt::Orientation orientation)
{
    const QList<QAbstractAxis*> axes = chart.axes(orientation);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

// The x axis over the curve's range exactly as given, with ticks on round values within it.
void fitX(QValueAxis& x, const std::vector<PlotPoint>& points)
{
    if (points.size() < 2 || !(points.front().x < points.back().x)) return;
    const double span = points.back().x - points.front().x;
    x.setRange(points.front().x, points.back().x);
    const double interval = niceInterval(span);
    if (std::isfinite(interval) && interval > 0 && span / interval < 100) {
        x.setTickType(QValueAxis::TicksDynamic);
        x.setTickAnchor(0);
        x.setTickInterval(interval);
    } else {
        x.setTickType(QValueAxis::TicksFixed);
    }
}

// The y axis over the finite values drawn, with a margin; -1 to 1 when there is none.
void fitY(QValueAxis& y, const Extent& extent)
{
    if (!(extent.low <= extent.high)) {
        y.setRange(-1, 1);
        return;
    }
    const double span = extent.high - extent.low;
    const double pad = span > 0 ? span * 0.05 : std::max(1.0, std::fabs(extent.low) * 0.05);
    if (std::isfinite(span) && std::isfinite(pad) && span < 1e100) {
        y.setRange(extent.low - pad, extent.high + pad);
        y.applyNiceNumbers();
    } else {
        y.setRange(extent.low, extent.high);
    }
}

}  // namespace

void drawChart(QWidget& widget, const forms::Control& plot)
{
    auto* view = widget.findChild<QChartView*>(viewName, Qt::FindDirectChildrenOnly);
    if (!view) {
        auto* layout = new QVBoxLayout(&widget);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* chart = new QChart;
        chart->legend()->hide();
        chart->setMargins(QMargins(4, 4, 4, 4));
        for (const Qt::Alignment side : {Qt::AlignBottom, Qt::AlignLeft}) {
            auto* axis = new QValueAxis;
            axis->setLabelFormat(QStringLiteral("%g"));
            chart->addAxis(axis, side);
        }
        view = new QChartView(chart, &widget);
        view->setObjectName(viewName);
        view->setRenderHint(QPainter::Antialiasing);
        layout->addWidget(view);
    }
    const QVariant drawn = widget.property(revisionProperty);
    if (drawn.isValid() && drawn.toUInt() == plot.plotRevision()) return;
    widget.setProperty(revisionProperty, plot.plotRevision());

    QChart& chart = *view->chart();
    QValueAxis& x = *axis(chart, Qt::Horizontal);
    QValueAxis& y = *axis(chart, Qt::Vertical);
    chart.setTitle(fromCp1252(plot.caption()));
    x.setTitleText(fromCp1252(plot.xTitle()));
    y.setTitleText(fromCp1252(plot.yTitle()));
    chart.removeAllSeries();

    Extent extent;
    const QColor colour = QColor(0x1f, 0x5f, 0xa8);
    QPen solid(colour, 2);
    QPen dashed(QColor(0x60, 0x60, 0x60), 1.5, Qt::DashLine);
    addCurve(chart, x, y, plot.dashed(), dashed, extent);
    addCurve(chart, x, y, plot.points(), solid, extent);

    fitX(x, plot.points().empty() ? plot.dashed() : plot.points());
    fitY(y, extent);
}

void useChartPlots() { setPlotDrawer(drawChart); }

}  // namespace qv::qt
