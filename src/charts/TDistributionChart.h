#pragma once

// A bar chart of one distribution block: the count of windows in every interval, from
// the first to the last interval that holds any window (neighbours joined when there are
// more than a few hundred).

#include <QChart>
#include <QString>

#include "results/TResultFolder.h"

namespace tavora {

class TDistributionChart : public QChart {
  Q_OBJECT

 public:
  explicit TDistributionChart(QGraphicsItem* parent = nullptr);

  void SetBlock(const QString& Measure, const TDistributionBlock& Block);
  // Intervals drawn as bars.
  [[nodiscard]] int BarCount() const noexcept { return bars_; }

 private:
  int bars_ = 0;
};

}  // namespace tavora
