#include "app/TDistributionPage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/IDialogs.h"
#include "app/ResultLabels.h"
#include "app/TResultsView.h"
#include "charts/TChartView.h"
#include "charts/TDistributionChart.h"

namespace tavora {

namespace {

QString Text(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

void SaveChartImage(IDialogs& Dialogs, QWidget* Parent, TChartView* View,
                    const QString& SuggestedName) {
  const auto answer = Dialogs.SaveChartFile(Parent, SuggestedName);
  if (!answer) return;
  QString file = *answer;
  if (!file.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) &&
      !file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
    file += QStringLiteral(".png");
  try {
    View->SaveImage(file);
  } catch (const std::exception& e) {
    Dialogs.Error(Parent, QString::fromUtf8(e.what()));
  }
}

TDistributionPage::TDistributionPage(IDialogs& Dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(Dialogs) {
  comboFile_ = new QComboBox;
  comboFile_->setObjectName(QStringLiteral("ComboDistribution"));
  comboFile_->setAccessibleName(QStringLiteral("Distribution"));
  comboBlock_ = new QComboBox;
  comboBlock_->setObjectName(QStringLiteral("ComboDistributionDocument"));
  comboBlock_->setAccessibleName(QStringLiteral("Document"));
  filter_ = new QLineEdit;
  filter_->setObjectName(QStringLiteral("FilterDistributionDocuments"));
  filter_->setPlaceholderText(QStringLiteral("Filter by name"));
  filter_->setAccessibleName(QStringLiteral("Filter the documents by name"));
  filter_->setClearButtonEnabled(true);
  filter_->hide();
  auto* save = new QPushButton(QStringLiteral("Save chart…"));
  save->setObjectName(QStringLiteral("ButtonSaveDistributionChart"));
  chart_ = new TDistributionChart;
  view_ = new TChartView(chart_);
  view_->setObjectName(QStringLiteral("ChartDistribution"));
  view_->setAccessibleName(QStringLiteral("Distribution chart"));

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Distribution:")));
  top->addWidget(comboFile_, 1);
  top->addWidget(new QLabel(QStringLiteral("Document:")));
  top->addWidget(filter_);
  top->addWidget(comboBlock_, 1);
  top->addWidget(save);
  auto* box = new QVBoxLayout(this);
  box->addLayout(top);
  box->addWidget(view_, 1);

  connect(comboFile_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) ShowFile();
  });
  connect(comboBlock_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) ShowBlock();
  });
  connect(save, &QPushButton::clicked, this, &TDistributionPage::ButtonSaveDistributionChartClick);
  connect(filter_, &QLineEdit::textChanged, this, &TDistributionPage::Filter);
}

void TDistributionPage::SetFiles(std::vector<TResultFileInfo> Files, std::optional<double> HillsQ) {
  files_ = std::move(Files);
  hillsQ_ = HillsQ;
  filling_ = true;
  comboFile_->clear();
  for (const TResultFileInfo& f : files_) {
    comboFile_->addItem(QStringLiteral("%1, %2, window %3")
                            .arg(MeasureLabel(Text(f.Caption), hillsQ_), KindText(f.Kind))
                            .arg(f.Lag));
    comboFile_->setItemData(comboFile_->count() - 1, MeasureToolTip(Text(f.Caption)),
                            Qt::ToolTipRole);
  }
  filling_ = false;
  ShowFile();
}

void TDistributionPage::ShowFile() {
  blocks_.clear();
  filling_ = true;
  comboBlock_->clear();
  const int i = comboFile_->currentIndex();
  if (i >= 0 && i < static_cast<int>(files_.size())) {
    try {
      blocks_ = TResultFolder::ReadDistribution(files_[static_cast<std::size_t>(i)].Path);
    } catch (const std::exception& e) {
      dialogs_.Error(this, QString::fromUtf8(e.what()));
    }
    for (const TDistributionBlock& b : blocks_) {
      comboBlock_->addItem(b.TextId.empty() ? Text(b.Name)
                                            : QStringLiteral("%1. %2").arg(
                                                  Text(b.TextId), ShortDocumentName(Text(b.Name))));
      comboBlock_->setItemData(comboBlock_->count() - 1, Text(b.Name), Qt::ToolTipRole);
    }
    // The whole run first.
    if (!blocks_.empty()) comboBlock_->setCurrentIndex(static_cast<int>(blocks_.size()) - 1);
  }
  filter_->clear();
  filter_->setVisible(comboBlock_->count() >= TResultsView::kFilterFrom);
  filling_ = false;
  ShowBlock();
}

void TDistributionPage::ShowBlock() {
  const int i = comboBlock_->currentIndex();
  const int f = comboFile_->currentIndex();
  if (i < 0 || i >= static_cast<int>(blocks_.size()) || f < 0) {
    chart_->SetBlock(QString(), TDistributionBlock{});
    return;
  }
  const TResultFileInfo& file = files_[static_cast<std::size_t>(f)];
  const TDistributionBlock& block = blocks_[static_cast<std::size_t>(i)];
  const QString title = MeasureTitle(Text(file.Caption), hillsQ_);
  chart_->SetBlock(title, block);
  chart_->setTitle(ChartTitle(
      title,
      {block.TextId.empty() ? QStringLiteral("all documents")
                            : QStringLiteral("%1 (text %2)")
                                  .arg(ShortDocumentName(Text(block.Name)), Text(block.TextId))},
      KindText(file.Kind), file.Lag));
}

void TDistributionPage::Filter(const QString& text) {
  auto* list = qobject_cast<QListView*>(comboBlock_->view());
  if (list == nullptr) return;
  for (int i = 0; i < comboBlock_->count(); ++i)
    list->setRowHidden(i, !comboBlock_->itemText(i).contains(text, Qt::CaseInsensitive));
}

void TDistributionPage::ButtonSaveDistributionChartClick() {
  const int f = comboFile_->currentIndex();
  const int b = comboBlock_->currentIndex();
  if (f < 0 || b < 0 || b >= static_cast<int>(blocks_.size())) return;
  const TResultFileInfo& file = files_[static_cast<std::size_t>(f)];
  const TDistributionBlock& block = blocks_[static_cast<std::size_t>(b)];
  QList<std::int64_t> documents;
  if (!block.TextId.empty()) documents << Text(block.TextId).toLongLong();
  SaveChartImage(dialogs_, this, view_,
                 ChartFileName(Text(file.Caption), documents, file.Kind, file.Lag));
}

}  // namespace tavora
