#pragma once

// A line chart of one measure over the window ids of one or more series, each with its
// document's average as a dashed line. Long series are drawn decimated to the plot
// area's width (lowest and highest value per pixel column) and decimated again whenever
// the x range or the chart's size changes, so zooming in shows the full detail.

#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

#include <QChart>
#include <QString>

#include "results/TResultFolder.h"

class QLineSeries;
class QValueAxis;

namespace tavora {

struct TSeriesCurve {
  QString Name;
  std::shared_ptr<const TSeriesTable> Table;  // shared, never copied
  std::size_t Column = 0;
  double Average = std::numeric_limits<double>::quiet_NaN();  // NaN: no average line
};

class TSeriesChart : public QChart {
  Q_OBJECT

 public:
  explicit TSeriesChart(QGraphicsItem* parent = nullptr);

  // Replaces the curves; the axes show everything.
  void SetCurves(const QString& Measure, std::vector<TSeriesCurve> Curves);
  // Back to the full range of every curve.
  void ResetZoom();
  // Zooms the x axis about x by factor (above 1 zooms in).
  void ZoomX(double factor, double x);

  [[nodiscard]] const std::vector<TSeriesCurve>& Curves() const noexcept { return curves_; }
  // Points now drawn, over every curve (the decimated count).
  [[nodiscard]] std::size_t PointsDrawn() const;
  // Columns the data is decimated to: the plot area's width in pixels, at least 100.
  [[nodiscard]] std::size_t PixelColumns() const;

 private:
  void Redecimate();
  void ShowValueAt(const QPointF& point, bool state, std::size_t curve);

  QString measure_;
  std::vector<TSeriesCurve> curves_;
  std::vector<QLineSeries*> lines_;
  QValueAxis* axisX_ = nullptr;
  QValueAxis* axisY_ = nullptr;
  double x0_ = 0, x1_ = 1, y0_ = 0, y1_ = 1;
  bool redecimating_ = false;
};

}  // namespace tavora
