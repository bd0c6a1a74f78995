#include "charts/TChartPlotter.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include <QApplication>

#include "base/Paths.h"
#include "base/Utf8.h"
#include "charts/TChartView.h"
#include "charts/TSeriesChart.h"
#include "results/TResultFolder.h"

namespace tavora {

namespace {

// The series file of the request: by document number, or by document id when no series has
// that number; nullptr when there is none.
const TResultFileInfo* FindSeries(const TResultFolder& folder,
                                  const std::vector<TResultFileInfo>& series, std::int64_t lag,
                                  const std::string& doc) {
  std::int64_t number = 0;
  const auto [end, ec] = std::from_chars(doc.data(), doc.data() + doc.size(), number);
  const bool isNumber = ec == std::errc() && end == doc.data() + doc.size();
  for (const TResultFileInfo& f : series)
    if (isNumber && f.Lag == lag && f.Doc == number) return &f;
  const std::u16string id = Utf8ToUtf16(doc);
  for (const TTextRow& row : folder.ReadDocuments()) {
    if (row.DocumentId != id || id.empty()) continue;
    const std::string text = Utf16ToUtf8(row.TextId);
    for (const TResultFileInfo& f : series)
      if (f.Lag == lag && std::to_string(f.Doc) == text) return &f;
  }
  return nullptr;
}

void DrawChart(const TPlotRequest& r) {
  const TResultFolder folder(r.Folder);
  const char* kindName = r.Kind == tWordOrLemma::tokWord ? "word forms" : "lemmata";
  const std::vector<TResultFileInfo> all = folder.Find(TOutputType::outSerie, r.Kind);
  if (all.empty())
    throw std::runtime_error("The folder " + QuotedPath(r.Folder) + " holds no series of " +
                             kindName + ".");
  const std::int64_t lag = r.Lag > 0 ? r.Lag : all.front().Lag;
  const TResultFileInfo* file = FindSeries(folder, all, lag, r.Doc);
  if (file == nullptr)
    throw std::runtime_error("The folder " + QuotedPath(r.Folder) + " holds no series of " +
                             kindName + " for text " + r.Doc + " with window length " +
                             std::to_string(lag) + ".");
  if (TResultFolder::SeriesHasNoWindow(file->Path)) {
    std::string tokens;
    try {
      if (const auto n = folder.ReadTokens(r.Kind, file->Doc))
        tokens = " (" + std::to_string(static_cast<std::int64_t>(*n)) +
                 (*n == 1 ? " token)" : " tokens)");
    } catch (const std::runtime_error&) {
      // Without a readable whole-text file the count is left out.
    }
    throw std::runtime_error("Nothing to draw: text " + std::to_string(file->Doc) +
                             " is shorter than the window of " + std::to_string(lag) + " tokens" +
                             tokens + ", so its series " + QuotedPath(file->Path) +
                             " has no window position.");
  }
  auto table = std::make_shared<const TSeriesTable>(TResultFolder::ReadSeries(file->Path));
  const auto column = table->ColumnOf(r.Caption);
  if (!column)
    throw std::runtime_error("The series file " + QuotedPath(file->Path) + " has no column \"" +
                             Utf16ToUtf8(r.Caption) + "\".");
  TSeriesCurve curve;
  curve.Name = QStringLiteral("Text %1, %2").arg(file->Doc).arg(QString::fromLatin1(kindName));
  curve.Table = table;
  curve.Column = *column;
  if (const auto average = folder.ReadAverage(r.Kind, lag, file->Doc, r.Caption))
    curve.Average = *average;

  auto* chart = new TSeriesChart;
  std::vector<TSeriesCurve> curves{curve};
  chart->SetCurves(QString::fromStdU16String(r.Caption), std::move(curves));
  TChartView view(chart);
  view.setAttribute(Qt::WA_DontShowOnScreen);
  view.resize(r.Width, r.Height);
  view.show();  // lays the chart out at its size; nothing appears on screen
  QCoreApplication::processEvents();
  chart->ResetZoom();
  view.SaveImage(QString::fromStdU16String(r.Out.u16string()));
}

}  // namespace

void TChartPlotter::Plot(const TPlotRequest& Request) {
  if (QCoreApplication::instance() != nullptr) {
    DrawChart(Request);
    return;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The toolkit's own notices (a missing runtime folder, an offscreen platform's limits)
  // would clutter a script's error output; only fatal messages pass.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg) fprintf(stderr, "%s\n", qPrintable(message));
  });
  static int argc = 1;
  static char name[] = "tavora-cli";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  DrawChart(Request);
}

}  // namespace tavora
