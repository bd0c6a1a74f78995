#pragma once

// The distributions of a result folder: a distribution file (a measure, a kind, a window
// length) and one of its blocks (a document, or the whole run) drawn as a histogram, with a
// filter field for long document lists and the chart's export.

#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

#include "results/TResultFolder.h"

class QComboBox;
class QLineEdit;

namespace tavora {

class IDialogs;
class TChartView;
class TDistributionChart;

// Asks for a file and writes the view's chart to it: PNG or SVG, at the size shown.
void SaveChartImage(IDialogs& Dialogs, QWidget* Parent, TChartView* View,
                    const QString& SuggestedName);

class TDistributionPage : public QWidget {
  Q_OBJECT

 public:
  explicit TDistributionPage(IDialogs& Dialogs, QWidget* parent = nullptr);

  // Offers the distribution files of a folder; HillsQ as for TResultsView::SetHillsQ.
  void SetFiles(std::vector<TResultFileInfo> Files, std::optional<double> HillsQ);
  [[nodiscard]] TDistributionChart* Chart() const noexcept { return chart_; }
  [[nodiscard]] TChartView* View() const noexcept { return view_; }

 public slots:
  void ButtonSaveDistributionChartClick();

 private:
  void ShowFile();
  void ShowBlock();
  void Filter(const QString& text);

  IDialogs& dialogs_;
  std::vector<TResultFileInfo> files_;
  std::vector<TDistributionBlock> blocks_;
  std::optional<double> hillsQ_;
  QComboBox* comboFile_ = nullptr;
  QComboBox* comboBlock_ = nullptr;
  QLineEdit* filter_ = nullptr;
  TDistributionChart* chart_ = nullptr;
  TChartView* view_ = nullptr;
  bool filling_ = false;
};

}  // namespace tavora
