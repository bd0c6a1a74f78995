#include "charts/TDistributionChart.h"

#include <algorithm>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCursor>
#include <QToolTip>
#include <QValueAxis>

namespace tavora {

TDistributionChart::TDistributionChart(QGraphicsItem* parent) : QChart(parent) { legend()->hide(); }

void TDistributionChart::SetBlock(const QString& Measure, const TDistributionBlock& Block) {
  removeAllSeries();
  for (QAbstractAxis* axis : axes()) {
    removeAxis(axis);
    delete axis;
  }
  const QString name = QString::fromStdU16String(Block.Name);
  setTitle(Block.TextId.empty() ? QStringLiteral("%1: %2").arg(Measure, name)
                                : QStringLiteral("%1: text %2, %3")
                                      .arg(Measure, QString::fromStdU16String(Block.TextId), name));
  // Empty intervals at either end are left out.
  std::size_t first = 0;
  std::size_t last = Block.Counts.size();
  while (first < last && Block.Counts[first] == 0) ++first;
  while (last > first && Block.Counts[last - 1] == 0) --last;

  // Very wide distributions are drawn with neighbouring intervals joined, so that the
  // chart keeps to kMaxBars bars.
  constexpr std::size_t kMaxBars = 400;
  const std::size_t group = std::max<std::size_t>(1, (last - first + kMaxBars - 1) / kMaxBars);
  auto* set = new QBarSet(Measure);
  QStringList labels;
  std::uint64_t highest = 0;
  for (std::size_t i = first; i < last; i += group) {
    const std::size_t end = std::min(last, i + group);
    std::uint64_t count = 0;
    for (std::size_t k = i; k < end; ++k) count += Block.Counts[k];
    *set << static_cast<qreal>(count);
    labels << (end - i == 1 ? QString::fromStdString(Block.Labels[i])
                            : QStringLiteral("%1 to %2")
                                  .arg(QString::fromStdString(Block.Labels[i]),
                                       QString::fromStdString(Block.Labels[end - 1])));
    highest = std::max(highest, count);
  }
  bars_ = static_cast<int>(labels.size());
  auto* series = new QBarSeries;
  series->setBarWidth(0.9);
  series->append(set);
  addSeries(series);
  connect(set, &QBarSet::hovered, this, [labels, set](bool status, int index) {
    if (!status || index < 0 || index >= labels.size()) {
      QToolTip::hideText();
      return;
    }
    QToolTip::showText(QCursor::pos(), QStringLiteral("Interval %1: %2 windows")
                                           .arg(labels[index])
                                           .arg(set->at(index), 0, 'f', 0));
  });
  auto* axisX = new QBarCategoryAxis;
  axisX->append(labels);
  axisX->setTitleText(Measure);
  if (labels.size() > 20) axisX->setLabelsAngle(-90);
  auto* axisY = new QValueAxis;
  axisY->setTitleText(QStringLiteral("Windows"));
  axisY->setLabelFormat(QStringLiteral("%.0f"));
  axisY->setRange(0, std::max<double>(1.0, static_cast<double>(highest) * 1.05));
  addAxis(axisX, Qt::AlignBottom);
  addAxis(axisY, Qt::AlignLeft);
  series->attachAxis(axisX);
  series->attachAxis(axisY);
}

}  // namespace tavora
