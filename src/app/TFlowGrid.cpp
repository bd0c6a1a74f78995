#include "app/TFlowGrid.h"

#include <algorithm>

#include <QWidget>

namespace tavora {

TFlowGrid::TFlowGrid(int MaxColumns, bool ColumnMajor, QWidget* parent)
    : QLayout(parent), maxColumns_(std::max(1, MaxColumns)), columnMajor_(ColumnMajor) {}

TFlowGrid::~TFlowGrid() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void TFlowGrid::addItem(QLayoutItem* item) { items_.push_back(item); }

void TFlowGrid::AddLayout(QLayout* layout) {
  addChildLayout(layout);
  addItem(layout);
}

QLayoutItem* TFlowGrid::itemAt(int index) const {
  return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

QLayoutItem* TFlowGrid::takeAt(int index) {
  if (index < 0 || index >= count()) return nullptr;
  QLayoutItem* item = items_[static_cast<std::size_t>(index)];
  items_.erase(items_.begin() + index);
  return item;
}

std::vector<QLayoutItem*> TFlowGrid::Shown() const {
  std::vector<QLayoutItem*> shown;
  for (QLayoutItem* item : items_)
    if (!item->isEmpty()) shown.push_back(item);
  return shown;
}

std::vector<int> TFlowGrid::ColumnWidths(int Columns) const {
  const std::vector<QLayoutItem*> shown = Shown();
  const int n = static_cast<int>(shown.size());
  const int rows = (n + Columns - 1) / Columns;
  std::vector<int> widths(static_cast<std::size_t>(Columns), 0);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < Columns; ++column) {
      const int i = Index(row, column, rows, Columns);
      if (i < n) {
        int& w = widths[static_cast<std::size_t>(column)];
        w = std::max(w, shown[static_cast<std::size_t>(i)]->sizeHint().width());
      }
    }
  }
  return widths;
}

int TFlowGrid::ColumnsFor(int width) const {
  const QMargins m = contentsMargins();
  const int inner = width - m.left() - m.right();
  const int gap = std::max(0, spacing());
  const int n = static_cast<int>(Shown().size());
  for (int columns = std::min(maxColumns_, std::max(1, n)); columns > 1; --columns) {
    int total = (columns - 1) * gap;
    for (const int w : ColumnWidths(columns)) total += w;
    if (total <= inner) return columns;
  }
  return 1;
}

int TFlowGrid::Arrange(int x, int y, int width, bool place) const {
  const std::vector<QLayoutItem*> shown = Shown();
  if (shown.empty()) return 0;
  const int n = static_cast<int>(shown.size());
  const int columns = ColumnsFor(width);
  const int rows = (n + columns - 1) / columns;
  const QMargins m = contentsMargins();
  const int gap = std::max(0, spacing());
  // Each column its own width, and an equal share of the room left.
  std::vector<int> widths = ColumnWidths(columns);
  int used = (columns - 1) * gap;
  for (const int w : widths) used += w;
  const int extra = std::max(0, width - m.left() - m.right() - used) / columns;
  for (int& w : widths) w += extra;
  if (columns == 1) widths[0] = std::max(0, width - m.left() - m.right());
  int top = y + m.top();
  for (int row = 0; row < rows; ++row) {
    int height = 0;
    int left = x + m.left();
    for (int column = 0; column < columns; ++column) {
      const int cell = widths[static_cast<std::size_t>(column)];
      const int i = Index(row, column, rows, columns);
      if (i < n) {
        QLayoutItem* item = shown[static_cast<std::size_t>(i)];
        const int h =
            item->hasHeightForWidth() ? item->heightForWidth(cell) : item->sizeHint().height();
        height = std::max(height, h);
        if (place) item->setGeometry(QRect(left, top, cell, h));
      }
      left += cell + gap;
    }
    top += height + (row + 1 < rows ? gap : 0);
  }
  return top + m.bottom() - y;
}

QSize TFlowGrid::sizeHint() const {
  const QMargins m = contentsMargins();
  const int columns =
      std::min<int>(maxColumns_, std::max<int>(1, static_cast<int>(Shown().size())));
  int width = (columns - 1) * std::max(0, spacing()) + m.left() + m.right();
  for (const int w : ColumnWidths(columns)) width += w;
  return {width, Arrange(0, 0, width, false)};
}

// As narrow as the widest item; as low as the widest arrangement (the height a width needs
// comes from heightForWidth).
QSize TFlowGrid::minimumSize() const {
  const QMargins m = contentsMargins();
  int widest = 0;
  for (QLayoutItem* item : Shown()) widest = std::max(widest, item->minimumSize().width());
  return {widest + m.left() + m.right(), sizeHint().height()};
}

int TFlowGrid::heightForWidth(int width) const { return Arrange(0, 0, width, false); }

void TFlowGrid::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  Arrange(rect.x(), rect.y(), rect.width(), true);
}

}  // namespace tavora
