#include "charts/TDistributionChart.h"

#include <algorithm>
#include <cmath>

#include <QAreaSeries>
#include <QCursor>
#include <QLineSeries>
#include <QPen>
#include <QToolTip>
#include <QValueAxis>

namespace tavora {

namespace {

// Very wide distributions are drawn with neighbouring intervals joined, at most this many
// bars.
constexpr std::size_t kMaxBars = 400;
// Ticks asked of the value axis before it rounds them to nice numbers.
constexpr int kTicks = 7;

// The width of one interval: the smallest step between neighbouring labels (intervals are
// centred on their labels); 1 when there is no step to measure.
double IntervalWidth(const std::vector<double>& values, std::size_t first, std::size_t last) {
  double width = 0;
  for (std::size_t i = first + 1; i < last; ++i) {
    const double step = values[i] - values[i - 1];
    if (step > 0 && (width == 0 || step < width)) width = step;
  }
  return width > 0 ? width : 1.0;
}

}  // namespace

TDistributionChart::TDistributionChart(QGraphicsItem* parent) : QChart(parent) { legend()->hide(); }

void TDistributionChart::SetBlock(const QString& Measure, const TDistributionBlock& Block) {
  removeAllSeries();
  for (QAbstractAxis* axis : axes()) {
    removeAxis(axis);
    delete axis;
  }
  setTitle(Block.TextId.empty()
               ? QStringLiteral("%1: %2").arg(Measure, QString::fromStdU16String(Block.Name))
               : QStringLiteral("%1: text %2, %3")
                     .arg(Measure, QString::fromStdU16String(Block.TextId),
                          QString::fromStdU16String(Block.Name)));
  bars_.clear();
  // Empty intervals at either end are left out.
  std::size_t first = 0;
  std::size_t last = std::min(Block.Counts.size(), Block.LabelValues.size());
  while (first < last && Block.Counts[first] == 0) ++first;
  while (last > first && Block.Counts[last - 1] == 0) --last;

  const double width = IntervalWidth(Block.LabelValues, first, last);
  const std::size_t group = std::max<std::size_t>(1, (last - first + kMaxBars - 1) / kMaxBars);
  auto* upper = new QLineSeries;
  std::uint64_t highest = 0;
  for (std::size_t i = first; i < last; i += group) {
    const std::size_t end = std::min(last, i + group);
    TBar bar;
    bar.From = Block.LabelValues[i] - width / 2;
    bar.To = Block.LabelValues[end - 1] + width / 2;
    for (std::size_t k = i; k < end; ++k) bar.Count += Block.Counts[k];
    bar.Label = end - i == 1 ? QString::fromStdString(Block.Labels[i])
                             : QStringLiteral("%1 to %2")
                                   .arg(QString::fromStdString(Block.Labels[i]),
                                        QString::fromStdString(Block.Labels[end - 1]));
    const auto count = static_cast<qreal>(bar.Count);
    *upper << QPointF(bar.From, 0) << QPointF(bar.From, count) << QPointF(bar.To, count)
           << QPointF(bar.To, 0);
    highest = std::max(highest, bar.Count);
    bars_.push_back(bar);
  }
  auto* area = new QAreaSeries(upper);
  area->setName(Measure);
  area->setPen(QPen(QColor(0x20, 0x4A, 0x87), 1.0));
  area->setBrush(QColor(0x4E, 0x79, 0xA7));
  addSeries(area);
  connect(area, &QAreaSeries::hovered, this,
          [this](const QPointF& point, bool state) { ShowCountAt(point.x(), state); });
  AddAxes(area, Measure, highest);
}

void TDistributionChart::AddAxes(QAbstractSeries* area, const QString& Measure,
                                 std::uint64_t highest) {
  auto* axisX = new QValueAxis;
  axisX->setTitleText(Measure);
  axisX->setLabelFormat(QStringLiteral("%.6g"));
  axisX->setRange(bars_.empty() ? 0.0 : bars_.front().From, bars_.empty() ? 1.0 : bars_.back().To);
  axisX->setTickCount(kTicks);
  axisX->applyNiceNumbers();
  auto* axisY = new QValueAxis;
  axisY->setTitleText(QStringLiteral("Windows"));
  axisY->setLabelFormat(QStringLiteral("%.0f"));
  axisY->setRange(0, std::max<double>(1.0, static_cast<double>(highest) * 1.05));
  axisY->setTickCount(kTicks);
  axisY->applyNiceNumbers();
  addAxis(axisX, Qt::AlignBottom);
  addAxis(axisY, Qt::AlignLeft);
  area->attachAxis(axisX);
  area->attachAxis(axisY);
}

QValueAxis* TDistributionChart::AxisX() const {
  const auto list = axes(Qt::Horizontal);
  return list.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(list.front());
}

void TDistributionChart::ShowCountAt(double x, bool state) {
  const auto bar = std::find_if(bars_.begin(), bars_.end(),
                                [x](const TBar& b) { return x >= b.From && x <= b.To; });
  if (!state || bar == bars_.end()) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(QCursor::pos(),
                     QStringLiteral("Interval %1: %2 windows").arg(bar->Label).arg(bar->Count));
}

}  // namespace tavora
