#include "charts/TSeriesChart.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QToolTip>
#include <QValueAxis>

#include "charts/TSeriesDecimator.h"

namespace tavora {

TSeriesChart::TSeriesChart(QGraphicsItem* parent) : QChart(parent) {
  axisX_ = new QValueAxis;
  axisX_->setTitleText(QStringLiteral("Window id"));
  axisX_->setLabelFormat(QStringLiteral("%.0f"));
  axisY_ = new QValueAxis;
  addAxis(axisX_, Qt::AlignBottom);
  addAxis(axisY_, Qt::AlignLeft);
  legend()->setAlignment(Qt::AlignBottom);
  connect(axisX_, &QValueAxis::rangeChanged, this, [this] { Redecimate(); });
  connect(this, &QChart::plotAreaChanged, this, [this] { Redecimate(); });
}

void TSeriesChart::SetCurves(const QString& Measure, std::vector<TSeriesCurve> Curves) {
  removeAllSeries();
  lines_.clear();
  measure_ = Measure;
  curves_ = std::move(Curves);
  setTitle(Measure);
  axisY_->setTitleText(Measure);

  double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
  for (std::size_t c = 0; c < curves_.size(); ++c) {
    const TSeriesCurve& curve = curves_[c];
    const std::vector<double>& xs = curve.Table->WindowIds;
    const std::vector<double>& ys = curve.Table->Columns[curve.Column];
    if (!xs.empty()) {
      x0 = std::min(x0, xs.front());
      x1 = std::max(x1, xs.back());
    }
    for (const double y : ys) {
      if (!std::isfinite(y)) continue;
      y0 = std::min(y0, y);
      y1 = std::max(y1, y);
    }
    auto* line = new QLineSeries;
    line->setName(curve.Name);
    addSeries(line);
    line->attachAxis(axisX_);
    line->attachAxis(axisY_);
    connect(line, &QLineSeries::hovered, this,
            [this, c](const QPointF& point, bool state) { ShowValueAt(point, state, c); });
    lines_.push_back(line);
    if (std::isfinite(curve.Average) && !xs.empty()) {
      auto* average = new QLineSeries;
      average->setName(curve.Name + QStringLiteral(" (average)"));
      QPen pen(line->color());
      pen.setStyle(Qt::DashLine);
      pen.setWidthF(1.5);
      average->setPen(pen);
      average->append(xs.front(), curve.Average);
      average->append(xs.back(), curve.Average);
      addSeries(average);
      // The dashed line explains itself; the legend names only the documents.
      for (QLegendMarker* marker : legend()->markers(average)) marker->setVisible(false);
      average->attachAxis(axisX_);
      average->attachAxis(axisY_);
      y0 = std::min(y0, curve.Average);
      y1 = std::max(y1, curve.Average);
    }
  }
  if (!(x0 <= x1)) x0 = 0, x1 = 1;
  if (x0 == x1) x1 = x0 + 1;
  if (!(y0 <= y1)) y0 = 0, y1 = 1;
  const double pad = y0 == y1 ? std::max(1.0, std::abs(y0) * 0.05) : (y1 - y0) * 0.05;
  x0_ = x0;
  x1_ = x1;
  y0_ = y0 - pad;
  y1_ = y1 + pad;
  ResetZoom();
}

void TSeriesChart::ResetZoom() {
  axisY_->setRange(y0_, y1_);
  axisY_->applyNiceNumbers();
  axisX_->setRange(x0_, x1_);
  Redecimate();
}

void TSeriesChart::ZoomX(double factor, double x) {
  const double lo = axisX_->min();
  const double hi = axisX_->max();
  double width = (hi - lo) / factor;
  width = std::max(width, 2.0);
  const double share = hi > lo ? (x - lo) / (hi - lo) : 0.5;
  const double start = x - share * width;
  axisX_->setRange(start, start + width);
}

std::size_t TSeriesChart::PixelColumns() const {
  return std::max<std::size_t>(100, static_cast<std::size_t>(plotArea().width()));
}

std::size_t TSeriesChart::PointsDrawn() const {
  std::size_t n = 0;
  for (const QLineSeries* line : lines_) n += static_cast<std::size_t>(line->count());
  return n;
}

void TSeriesChart::Redecimate() {
  if (redecimating_ || lines_.size() != curves_.size()) return;
  redecimating_ = true;
  const double lo = axisX_->min();
  const double hi = axisX_->max();
  const std::size_t columns = PixelColumns();
  for (std::size_t c = 0; c < curves_.size(); ++c) {
    const TSeriesCurve& curve = curves_[c];
    const std::vector<TSeriesPoint> points = TSeriesDecimator::Decimate(
        curve.Table->WindowIds, curve.Table->Columns[curve.Column], lo, hi, columns);
    QList<QPointF> qpoints;
    qpoints.reserve(static_cast<qsizetype>(points.size()));
    for (const TSeriesPoint& p : points) qpoints.append(QPointF(p.X, p.Y));
    lines_[c]->replace(qpoints);
  }
  redecimating_ = false;
}

void TSeriesChart::ShowValueAt(const QPointF& point, bool state, std::size_t curve) {
  if (!state || curve >= curves_.size()) {
    QToolTip::hideText();
    return;
  }
  const TSeriesCurve& c = curves_[curve];
  const std::vector<double>& xs = c.Table->WindowIds;
  if (xs.empty()) return;
  // The window nearest to the pointer.
  auto it = std::lower_bound(xs.begin(), xs.end(), point.x());
  if (it == xs.end() || (it != xs.begin() && point.x() - *(it - 1) < *it - point.x())) --it;
  const std::size_t i = static_cast<std::size_t>(it - xs.begin());
  QToolTip::showText(QCursor::pos(), QStringLiteral("%1\nWindow id: %2\n%3: %4")
                                         .arg(c.Name)
                                         .arg(xs[i], 0, 'f', 0)
                                         .arg(measure_)
                                         .arg(c.Table->Columns[c.Column][i]));
}

}  // namespace tavora
