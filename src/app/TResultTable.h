#pragma once

// The table of an averages, whole-text or indices file, sortable by any column: numbers
// sort as numbers (NaN after all of them), names as text.

#include <QString>
#include <QTableWidget>

#include "results/TResultFolder.h"

namespace tavora {

class TResultTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit TResultTable(QWidget* parent = nullptr);

  // Shows the rows of Table, sorted by text id; an empty table for nullptr.
  void Show(const TTextTable* Table);
  // The table as shown (sorted as shown), a header line first, fields separated by TAB.
  [[nodiscard]] QString Text() const;
};

}  // namespace tavora
