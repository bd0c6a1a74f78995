#include "app/TRunSummary.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "processing/RunSummary.h"

namespace tavora {

namespace {

constexpr int kLinesShown = 4;  // more scroll

}  // namespace

TRunSummary::TRunSummary(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("RunSummary"));
  setFrameShape(QFrame::StyledPanel);
  title_ = new QLabel(QStringLiteral("The last run"));
  text_ = new QPlainTextEdit;
  text_->setObjectName(QStringLiteral("RunSummaryText"));
  text_->setAccessibleName(QStringLiteral("Summary of the last run"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text_->setMaximumHeight(text_->fontMetrics().lineSpacing() * kLinesShown +
                          2 * text_->frameWidth() + 8);
  openFolder_ = new QPushButton(QStringLiteral("Open output folder"));
  openFolder_->setObjectName(QStringLiteral("ButtonOpenOutputFolder"));
  openFolder_->setToolTip(
      QStringLiteral("Opens the folder of the run's files in the file manager."));
  showResults_ = new QPushButton(QStringLiteral("Show results"));
  showResults_->setObjectName(QStringLiteral("ButtonShowRunResults"));
  showResults_->setToolTip(QStringLiteral("Shows the run's result files in the Results tab."));
  auto* close = new QPushButton(QStringLiteral("Close"));
  close->setObjectName(QStringLiteral("ButtonCloseSummary"));
  close->setToolTip(QStringLiteral("Hides this summary."));

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(openFolder_);
  buttons->addWidget(showResults_);
  buttons->addWidget(close);
  buttons->addStretch(1);
  auto* texts = new QVBoxLayout;
  texts->addWidget(title_);
  texts->addWidget(text_, 1);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 4, 6, 4);
  row->addLayout(texts, 1);
  row->addLayout(buttons);

  connect(openFolder_, &QPushButton::clicked, this, [this] { emit OpenFolderClicked(folder_); });
  connect(showResults_, &QPushButton::clicked, this, &TRunSummary::ShowResultsClicked);
  connect(close, &QPushButton::clicked, this, &QWidget::hide);
  hide();
}

void TRunSummary::ShowRun(const TRunReport& Report, std::uint32_t Window, const QString& Folder,
                          bool HasResults) {
  QStringList lines;
  for (const std::string& line : RunSummaryLines(Report, Window))
    lines << QString::fromStdString(line);
  text_->setPlainText(lines.join(QLatin1Char('\n')));
  folder_ = Folder;
  title_->setText(
      Window > 0 ? QStringLiteral("The last run: files in %1").arg(QDir::toNativeSeparators(Folder))
                 : QStringLiteral("The last run: frequency lists in %1")
                       .arg(QDir::toNativeSeparators(Folder)));
  openFolder_->setEnabled(!Folder.isEmpty());
  showResults_->setVisible(HasResults);
  show();
}

QString TRunSummary::Text() const { return text_->toPlainText(); }

}  // namespace tavora
