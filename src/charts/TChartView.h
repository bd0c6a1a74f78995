#pragma once

// A chart on screen: the wheel zooms a series chart's x axis about the pointer, dragging
// with the left button pans, a double click shows everything again. SaveImage writes
// what is shown, at the size shown, as PNG or SVG.

#include <QChartView>
#include <QPoint>
#include <QString>

namespace tavora {

class TChartView : public QChartView {
  Q_OBJECT

 public:
  explicit TChartView(QChart* chart, QWidget* parent = nullptr);

  // Writes the chart to File, as SVG when its name ends in ".svg" (any case) and as PNG
  // otherwise, at the view's size in pixels. Throws std::runtime_error naming the file
  // when it cannot be written.
  void SaveImage(const QString& File);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool panning_ = false;
  QPoint last_;
};

}  // namespace tavora
