#pragma once

// A histogram of one distribution block: the count of windows in every interval, from the
// first to the last interval that holds any window (neighbours joined when there are more
// than a few hundred), over a numeric axis of the measure's values with a few ticks at
// round numbers.

#include <cstdint>
#include <vector>

#include <QChart>
#include <QString>

#include "results/TResultFolder.h"

class QAbstractSeries;
class QValueAxis;

namespace tavora {

class TDistributionChart : public QChart {
  Q_OBJECT

 public:
  explicit TDistributionChart(QGraphicsItem* parent = nullptr);

  // Draws the block; the title names the measure and the block (the view may set a fuller
  // one).
  void SetBlock(const QString& Measure, const TDistributionBlock& Block);
  // Intervals drawn as bars.
  [[nodiscard]] int BarCount() const noexcept { return static_cast<int>(bars_.size()); }
  // The axis of the measure's values; null before the first block.
  [[nodiscard]] QValueAxis* AxisX() const;

 private:
  struct TBar {
    double From = 0;  // the bar's edges on the value axis
    double To = 0;
    std::uint64_t Count = 0;
    QString Label;  // the interval labels it covers
  };
  void ShowCountAt(double x, bool state);
  // The measure's values below, at a few round numbers; the counts up to the highest.
  void AddAxes(QAbstractSeries* area, const QString& Measure, std::uint64_t highest);

  std::vector<TBar> bars_;
};

}  // namespace tavora
