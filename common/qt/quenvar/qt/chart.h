#pragma once
// Plot controls drawn with Qt Charts: a chart view inside the plain QWidget that stands for the
// plot in the form, with the plot's caption as title, its axis titles, its curve as solid lines
// and its second curve dashed; a point without a value breaks the line there.

class QWidget;

namespace qv::forms {
class Control;
}

namespace qv::qt {

// Brings the chart in `widget` up to date with `plot` (built at the first call, redrawn when
// the plot has changed since).
void drawChart(QWidget& widget, const forms::Control& plot);

// Makes the binding draw every plot control with drawChart.
void useChartPlots();

}  // namespace qv::qt
