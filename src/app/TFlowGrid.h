#pragma once

// A grid that wraps: its items stand in up to MaxColumns equal columns, and in fewer when the
// width does not hold that many, down to one. Row by row (check boxes, in reading order) or
// column by column (the items of a radio group, down the first column first). Its height
// follows its width, so a scrolling column that narrows grows taller instead of cutting the
// items off.

#include <vector>

#include <QLayout>

namespace tavora {

class TFlowGrid : public QLayout {
 public:
  TFlowGrid(int MaxColumns, bool ColumnMajor, QWidget* parent = nullptr);
  ~TFlowGrid() override;

  void addItem(QLayoutItem* item) override;
  void AddLayout(QLayout* layout);
  [[nodiscard]] int count() const override { return static_cast<int>(items_.size()); }
  [[nodiscard]] QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSize() const override;
  [[nodiscard]] Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
  [[nodiscard]] bool hasHeightForWidth() const override { return true; }
  [[nodiscard]] int heightForWidth(int width) const override;
  void setGeometry(const QRect& rect) override;

  // The columns the items take at a width (margins included).
  [[nodiscard]] int ColumnsFor(int width) const;

 private:
  // Lays the items out in width from (x, y), or only measures when place is false; returns
  // the height taken.
  int Arrange(int x, int y, int width, bool place) const;
  [[nodiscard]] std::vector<QLayoutItem*> Shown() const;
  // The width each column asks for when the items stand in Columns columns.
  [[nodiscard]] std::vector<int> ColumnWidths(int Columns) const;
  [[nodiscard]] int Index(int Row, int Column, int Rows, int Columns) const {
    return columnMajor_ ? Column * Rows + Row : Row * Columns + Column;
  }

  int maxColumns_;
  bool columnMajor_;
  std::vector<QLayoutItem*> items_;
};

}  // namespace tavora
