#pragma once

// The summary of the last run, below the tabs once a run has completed: files read,
// documents, tokens and time, the documents shorter than the window, the entries skipped
// and every warning (the same lines as the command line's closing lines), with buttons to
// open the output folder in the system's file manager and to show the results.

#include <QFrame>
#include <QString>

#include "processing/RunReport.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tavora {

class TRunSummary : public QFrame {
  Q_OBJECT

 public:
  explicit TRunSummary(QWidget* parent = nullptr);

  // Shows the summary of a run. Folder: where its files went (the output folder, or the
  // folder of the frequency lists); Window: the window length of a measurement run, 0 for
  // a frequency-list run; HasResults: the results can be shown.
  void ShowRun(const TRunReport& Report, std::uint32_t Window, const QString& Folder,
               bool HasResults);
  [[nodiscard]] QString Text() const;
  [[nodiscard]] QString Folder() const { return folder_; }

 signals:
  void OpenFolderClicked(const QString& Folder);
  void ShowResultsClicked();

 private:
  QLabel* title_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QPushButton* openFolder_ = nullptr;
  QPushButton* showResults_ = nullptr;
  QString folder_;
};

}  // namespace tavora
