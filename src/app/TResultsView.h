#pragma once

// The results of a run, read from its output folder: the series of a measure over the
// windows of chosen documents (word forms against lemmata if asked), the distribution of
// a measure for a document or the whole run, and the averages, whole-text values and
// indices as sortable tables. Series files are read on a worker thread; the window keeps
// painting and LoadProgress reports how far the reading has come.

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

#include "results/TResultFolder.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QThread;

namespace tavora {

class IDialogs;
class TChartView;
class TDistributionChart;
class TDistributionPage;
class TResultTable;
class TSeriesChart;
struct TSeriesCurve;

class TResultsView : public QWidget {
  Q_OBJECT

 public:
  explicit TResultsView(IDialogs& Dialogs, QWidget* parent = nullptr);
  // A reading still going is stopped and waited for.
  ~TResultsView() override;

  // Shows the result files of Folder. A folder without any leaves the view empty and,
  // with ReportEmpty, is reported through the dialogs.
  void OpenFolder(const QString& Folder, bool ReportEmpty = true);
  // Hill's Q of the run whose folder is opened next, shown with the measures of order Q;
  // nullopt when it is not known.
  void SetHillsQ(std::optional<double> Q) { hillsQ_ = Q; }

  // Lists of this many documents or more get a filter field.
  static constexpr int kFilterFrom = 300;

  [[nodiscard]] QString Folder() const { return folder_; }
  [[nodiscard]] bool IsLoading() const noexcept { return thread_ != nullptr; }
  [[nodiscard]] TSeriesChart* SeriesChart() const noexcept { return seriesChart_; }
  [[nodiscard]] TDistributionChart* DistributionChart() const;
  [[nodiscard]] TChartView* SeriesView() const noexcept { return seriesView_; }
  [[nodiscard]] TChartView* DistributionView() const;
  // The table as shown (sorted as shown), a header line first, fields separated by TAB.
  [[nodiscard]] QString TableText() const;

 public slots:
  void ButtonOpenResultsClick();
  void ButtonSaveSeriesChartClick();
  void ButtonCopyTableClick();

 signals:
  // Reading series files: started (true) and ended (false).
  void LoadingChanged(bool loading);
  // The share of the current reading done, 0 to 1000.
  void LoadProgress(int permille);
  // The series chart shows the current choice.
  void SeriesShown();

 private:
  struct TSeriesSet {
    tWordOrLemma Kind;
    std::int64_t Lag;
  };
  struct TWantedCurve {
    std::filesystem::path Path;
    QString Name;
    tWordOrLemma Kind;
    std::int64_t Lag;
    std::int64_t Doc;
  };

  void BuildSeriesTab(QWidget* page);
  void BuildTableTab(QWidget* page);
  void FillSeriesChoices();
  void FillDocuments();
  void ShowSeries();
  // The curves of the wanted series whose tables are loaded and have the measure's column,
  // each with its document's average when the averages can be read.
  [[nodiscard]] std::vector<TSeriesCurve> LoadedCurves(const std::vector<TWantedCurve>& Wanted,
                                                       const std::u16string& caption) const;
  void StartLoading(std::vector<std::filesystem::path> Paths);
  void LoadingEnded();
  void ShowTable();
  // "2. letter.txt": the document's number and short name.
  [[nodiscard]] QString DocumentName(std::int64_t doc) const;
  // The documents' token counts from the whole-text file of the kind (empty without one).
  [[nodiscard]] std::map<std::int64_t, double> TokenCounts(tWordOrLemma Kind) const;
  void FilterDocuments(const QString& text);

  IDialogs& dialogs_;
  QString folder_;
  std::optional<TResultFolder> results_;
  std::vector<TSeriesSet> seriesSets_;
  std::map<std::int64_t, QString> docNames_;  // text id -> document id or file base name
  std::optional<double> hillsQ_;
  std::map<std::filesystem::path, std::shared_ptr<const TSeriesTable>> tables_;
  std::vector<TResultFileInfo> tableFiles_;

  QLabel* labelFolder_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QComboBox* comboSeriesSet_ = nullptr;
  QComboBox* comboMeasure_ = nullptr;
  QListWidget* listDocuments_ = nullptr;
  QLineEdit* filterDocuments_ = nullptr;
  QCheckBox* checkBothKinds_ = nullptr;
  TSeriesChart* seriesChart_ = nullptr;
  TChartView* seriesView_ = nullptr;
  TDistributionPage* distribution_ = nullptr;
  QComboBox* comboTable_ = nullptr;
  TResultTable* table_ = nullptr;

  // The reading on the worker thread.
  struct TLoadJob {
    std::vector<std::filesystem::path> Paths;
    std::vector<std::shared_ptr<const TSeriesTable>> Tables;
    QString Error;
  };
  QThread* thread_ = nullptr;
  std::shared_ptr<TLoadJob> job_;
  std::atomic<bool> cancel_{false};
  bool pending_ = false;  // the choice changed during a reading
  bool filling_ = false;  // the choices are being refilled: no drawing yet
};

}  // namespace tavora
