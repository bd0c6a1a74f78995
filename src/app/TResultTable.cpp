#include "app/TResultTable.h"

#include <cmath>

#include <QHeaderView>
#include <QStringList>

namespace tavora {

namespace {

QString FromU16(const std::u16string& s) { return QString::fromStdU16String(s); }

// A table cell that sorts by its number when it has one, by its text otherwise.
class TSortItem : public QTableWidgetItem {
 public:
  TSortItem(const QString& text, double number, bool numeric)
      : QTableWidgetItem(text), number_(number), numeric_(numeric) {}
  bool operator<(const QTableWidgetItem& other) const override {
    const auto* o = dynamic_cast<const TSortItem*>(&other);
    if (o == nullptr || !numeric_ || !o->numeric_) return QTableWidgetItem::operator<(other);
    // NaN sorts after every number.
    if (std::isnan(number_)) return false;
    if (std::isnan(o->number_)) return true;
    return number_ < o->number_;
  }

 private:
  double number_;
  bool numeric_;
};

QString NumberText(double v) {
  if (std::isnan(v)) return QStringLiteral("NaN");
  if (std::isinf(v)) return v > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
  return QString::number(v, 'g', 10);
}

}  // namespace

TResultTable::TResultTable(QWidget* parent) : QTableWidget(parent) {
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(true);
}

void TResultTable::Show(const TTextTable* Table) {
  setSortingEnabled(false);
  clear();
  setRowCount(0);
  setColumnCount(0);
  if (Table == nullptr) return;
  const TTextTable& t = *Table;
  QStringList headers{QStringLiteral("File Name"), QStringLiteral("Text id")};
  if (t.HasDocumentIds) headers << QStringLiteral("Document id");
  const int keys = static_cast<int>(headers.size());
  for (const std::u16string& c : t.Captions) headers << FromU16(c);
  setColumnCount(static_cast<int>(headers.size()));
  setHorizontalHeaderLabels(headers);
  setRowCount(static_cast<int>(t.Rows.size()));
  for (std::size_t r = 0; r < t.Rows.size(); ++r) {
    const TTextRow& row = t.Rows[r];
    const int rr = static_cast<int>(r);
    setItem(rr, 0, new TSortItem(FromU16(row.FileName), 0, false));
    bool isNumber = false;
    const double id = QString::fromStdU16String(row.TextId).toDouble(&isNumber);
    setItem(rr, 1, new TSortItem(FromU16(row.TextId), id, isNumber));
    if (t.HasDocumentIds) setItem(rr, 2, new TSortItem(FromU16(row.DocumentId), 0, false));
    for (std::size_t c = 0; c < row.Values.size(); ++c)
      setItem(rr, static_cast<int>(c) + keys,
              new TSortItem(NumberText(row.Values[c]), row.Values[c], true));
  }
  setSortingEnabled(true);
  sortByColumn(1, Qt::AscendingOrder);
  resizeColumnsToContents();
}

QString TResultTable::Text() const {
  QString text;
  for (int c = 0; c < columnCount(); ++c) {
    if (c > 0) text += QLatin1Char('\t');
    text += horizontalHeaderItem(c)->text();
  }
  text += QLatin1Char('\n');
  for (int r = 0; r < rowCount(); ++r) {
    for (int c = 0; c < columnCount(); ++c) {
      if (c > 0) text += QLatin1Char('\t');
      if (const QTableWidgetItem* cell = item(r, c)) {
        QString value = cell->text();
        value.replace(QLatin1Char('\t'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += value;
      }
    }
    text += QLatin1Char('\n');
  }
  return text;
}

}  // namespace tavora
