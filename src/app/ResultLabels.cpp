#include "app/ResultLabels.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "options/ControlNames.h"
#include "options/MeasureHelp.h"
#include "options/TOptionControls.h"

namespace tavora {

namespace {

// A measure found by its column caption.
struct TFound {
  bool Secondary = false;
  std::size_t Ordinal = 0;
};

std::optional<TFound> FindCaption(const QString& caption) {
  const std::u16string text = caption.toStdU16String();
  for (std::size_t m = 0; m < kMeasureCount; ++m)
    if (MeasureCaption(static_cast<tMeasure>(m)) == text) return TFound{false, m};
  for (std::size_t m = 0; m < kMeasureSecondaryCount; ++m)
    if (MeasureSecondaryCaption(static_cast<tMeasureSecondary>(m)) == text) return TFound{true, m};
  return std::nullopt;
}

bool DependsOnQ(const TFound& f) {
  if (!f.Secondary)
    return f.Ordinal == static_cast<std::size_t>(tMeasure::vHillsContinuum) ||
           f.Ordinal == static_cast<std::size_t>(tMeasure::vCrossHillsContinuum);
  return f.Ordinal >= static_cast<std::size_t>(tMeasureSecondary::vRenyiEntropy);
}

QString BoxCaption(const TFound& f) {
  static const TOptionControls controls;
  const std::string_view box =
      f.Secondary ? kMeasureSecondaryBoxes[f.Ordinal] : kMeasureBoxes[f.Ordinal];
  return box.empty() ? QString() : QString::fromStdU16String(controls[box].Caption);
}

// Letters and digits only, in lower case: what remains forms a file name.
QString Simplified(QString text) {
  return text.toLower().replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")),
                                QStringLiteral("-"));
}

}  // namespace

QString ShortDocumentName(const QString& FileName, const QString& DocumentId) {
  if (!DocumentId.isEmpty()) return DocumentId;
  if (FileName.isEmpty()) return QStringLiteral("pasted text");
  // Either separator, whatever the platform that wrote the file.
  const qsizetype cut =
      std::max(FileName.lastIndexOf(QLatin1Char('/')), FileName.lastIndexOf(QLatin1Char('\\')));
  const QString base = FileName.mid(cut + 1);
  return base.isEmpty() ? FileName : base;
}

QString MeasureTitle(const QString& Caption, std::optional<double> HillsQ) {
  const std::optional<TFound> found = FindCaption(Caption);
  if (found && DependsOnQ(*found) && HillsQ)
    return QStringLiteral("%1, Q = %2").arg(Caption).arg(*HillsQ, 0, 'g', 15);
  return Caption;
}

QString MeasureLabel(const QString& Caption, std::optional<double> HillsQ) {
  const std::optional<TFound> found = FindCaption(Caption);
  if (!found) return Caption;
  QStringList extras;
  const QString box = BoxCaption(*found);
  if (!box.isEmpty() && box.compare(Caption, Qt::CaseInsensitive) != 0) extras << box;
  if (DependsOnQ(*found) && HillsQ) extras << QStringLiteral("Q = %1").arg(*HillsQ, 0, 'g', 15);
  return extras.isEmpty()
             ? Caption
             : Caption + QStringLiteral(" \u2014 ") + extras.join(QStringLiteral(", "));
}

QString MeasureToolTip(const QString& Caption) {
  const std::optional<TFound> found = FindCaption(Caption);
  if (!found) return QString();
  const std::u16string box = BoxCaption(*found).toStdU16String();
  const std::vector<std::string> lines =
      found->Secondary ? MeasureHelpLines(static_cast<tMeasureSecondary>(found->Ordinal), box)
                       : MeasureHelpLines(static_cast<tMeasure>(found->Ordinal), box);
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  return text.join(QLatin1Char('\n'));
}

QString ChartTitle(const QString& MeasureTitle, const QStringList& Documents, const QString& Kinds,
                   std::int64_t Lag) {
  const QString documents = Documents.size() <= 3
                                ? Documents.join(QStringLiteral("; "))
                                : QStringLiteral("%1 documents").arg(Documents.size());
  return QStringLiteral("%1: %2, %3, window %4").arg(MeasureTitle, documents, Kinds).arg(Lag);
}

QString ChartFileName(const QString& Caption, const QList<std::int64_t>& Documents,
                      tWordOrLemma Kind, std::int64_t Lag) {
  const std::optional<TFound> found = FindCaption(Caption);
  QString name =
      !found ? Simplified(Caption)
      : found->Secondary
          ? QString::fromLatin1(
                MeasureSecondaryName(static_cast<tMeasureSecondary>(found->Ordinal)).data())
          : QString::fromLatin1(MeasureName(static_cast<tMeasure>(found->Ordinal)).data());
  if (Kind == tWordOrLemma::tokLemma) name += QStringLiteral("-lemma");
  if (Documents.isEmpty()) {
    name += QStringLiteral("-total");
  } else if (Documents.size() <= 4) {
    QStringList numbers;
    for (const std::int64_t doc : Documents) numbers << QString::number(doc);
    name += QStringLiteral("-doc") + numbers.join(QLatin1Char('+'));
  } else {
    name += QStringLiteral("-docs");
  }
  return name + QStringLiteral("-w%1.png").arg(Lag);
}

QString KindText(tWordOrLemma Kind) {
  return Kind == tWordOrLemma::tokWord ? QStringLiteral("word forms") : QStringLiteral("lemmata");
}

}  // namespace tavora
