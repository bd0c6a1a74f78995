#include "charts/TChartView.h"

#include <stdexcept>

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QWheelEvent>

#include "charts/TSeriesChart.h"

namespace tavora {

TChartView::TChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
  setRenderHint(QPainter::Antialiasing);
  setMinimumSize(320, 240);
}

void TChartView::SaveImage(const QString& File) {
  const QSize size = this->size();
  bool written = false;
  if (File.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setFileName(File);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(chart()->title());
    QPainter painter;
    if (painter.begin(&svg)) {
      render(&painter, QRectF(QPointF(0, 0), size), rect());
      written = painter.end();
    }
  } else {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      render(&painter, QRectF(QPointF(0, 0), size), rect());
    }
    written = image.save(File, "PNG");
  }
  if (!written)
    throw std::runtime_error("Cannot write the chart to \"" + File.toStdString() + "\".");
}

void TChartView::wheelEvent(QWheelEvent* event) {
  auto* series = qobject_cast<TSeriesChart*>(chart());
  if (series == nullptr || event->angleDelta().y() == 0) {
    QChartView::wheelEvent(event);
    return;
  }
  const QPointF value =
      series->mapToValue(series->mapFromScene(mapToScene(event->position().toPoint())));
  series->ZoomX(event->angleDelta().y() > 0 ? 1.25 : 0.8, value.x());
  event->accept();
}

void TChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    panning_ = true;
    last_ = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
    event->accept();
    return;
  }
  QChartView::mousePressEvent(event);
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
  if (panning_) {
    const QPoint now = event->position().toPoint();
    const QPoint delta = now - last_;
    last_ = now;
    if (qobject_cast<TSeriesChart*>(chart()) != nullptr) chart()->scroll(-delta.x(), delta.y());
    event->accept();
    return;
  }
  QChartView::mouseMoveEvent(event);
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (panning_ && event->button() == Qt::LeftButton) {
    panning_ = false;
    unsetCursor();
    event->accept();
    return;
  }
  QChartView::mouseReleaseEvent(event);
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (auto* series = qobject_cast<TSeriesChart*>(chart())) series->ResetZoom();
  event->accept();
}

}  // namespace tavora
