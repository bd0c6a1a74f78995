#include "app/TOptionPanes.h"

#include <algorithm>

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/TOptionWidgets.h"
#include "options/ControlNames.h"
#include "options/TOptionsModel.h"

namespace tavora {

namespace {

// Narrowest a column becomes before it scrolls horizontally.
constexpr int kNarrowestColumn = 280;

// A column that scrolls. It asks for the full size of what it shows, and makes do with
// less: what does not fit scrolls, in either direction.
class TColumnScroll final : public QScrollArea {
 public:
  explicit TColumnScroll(QWidget* content) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(content);
  }
  QSize minimumSizeHint() const override {
    QSize size = QScrollArea::minimumSizeHint();
    size.setWidth(std::min(WithScrollBar(widget()->minimumSizeHint().width()), kNarrowestColumn));
    return size;
  }
  QSize sizeHint() const override {
    QSize size = QScrollArea::sizeHint();
    size.setWidth(WithScrollBar(widget()->sizeHint().width()));
    return size;
  }

 private:
  int WithScrollBar(int width) const {
    return width + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
  }
};

}  // namespace

TOptionPanes::TOptionPanes(TOptionsModel& Model, TOptionWidgets& Widgets, QWidget* parent)
    : QWidget(parent), model_(Model), widgets_(Widgets) {
  const std::vector<std::string> left = model_.LeftColumnPanels();
  auto* leftColumn = new QWidget;
  auto* leftBox = new QVBoxLayout(leftColumn);
  leftBox->setContentsMargins(0, 0, 0, 0);
  leftBox->addWidget(widgets_.Widget(ctl::PanelFirstDecision));
  auto* lowerContent = new QWidget;
  leftLower_ = new QVBoxLayout(lowerContent);
  leftLower_->setContentsMargins(0, 0, 0, 0);
  for (std::size_t i = 2; i < left.size(); ++i) leftLower_->addWidget(widgets_.Widget(left[i]));
  leftLower_->addStretch(1);
  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->setObjectName(QStringLiteral("SplitterTexts"));
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(widgets_.Widget(ctl::PanelInputTexts));
  splitter->addWidget(new TColumnScroll(lowerContent));
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  leftBox->addWidget(splitter, 1);

  auto* rightContent = new QWidget;
  auto* rightBox = new QVBoxLayout(rightContent);
  rightBox->setContentsMargins(0, 0, 0, 0);
  for (const std::string& panel : model_.RightColumnPanels())
    rightBox->addWidget(widgets_.Widget(panel));
  rightBox->addStretch(1);
  auto* right = new TColumnScroll(rightContent);
  right->setObjectName(QStringLiteral("ScrollRightColumn"));

  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addWidget(leftColumn);
  columns->addWidget(right);

  connect(&widgets_, &TOptionWidgets::PanelsMoved, this, [this] { Arrange(after_); });
  connect(&widgets_, &TOptionWidgets::ShownChanged, this, [this] {
    // Once the layouts have taken in the change, the columns ask for their new widths.
    if (columnsPending_) return;
    columnsPending_ = true;
    QTimer::singleShot(0, this, [this] {
      columnsPending_ = false;
      for (QScrollArea* column : findChildren<QScrollArea*>()) column->updateGeometry();
    });
  });
}

void TOptionPanes::Arrange(const std::vector<QWidget*>& After) {
  after_ = After;
  const std::vector<std::string> left = model_.LeftColumnPanels();
  for (std::size_t i = 2; i < left.size(); ++i) {
    QWidget* panel = widgets_.Widget(left[i]);
    leftLower_->removeWidget(panel);
    leftLower_->insertWidget(static_cast<int>(i - 2), panel);
  }
  // The text field first: keyboard users start there once the text source is chosen.
  std::vector<std::string> order(left.begin() + 1, left.end());
  const std::vector<std::string> right = model_.RightColumnPanels();
  order.insert(order.end(), right.begin(), right.end());
  QWidget* previous = widgets_.ApplyTabOrder(order);
  for (QWidget* w : After) {
    QWidget::setTabOrder(previous, w);
    previous = w;
  }
  QWidget::setTabOrder(previous, widgets_.RadioButton(ctl::RGMode, 0));
  QWidget::setTabOrder(widgets_.RadioButton(ctl::RGMode, 0), widgets_.RadioButton(ctl::RGMode, 1));
  QWidget::setTabOrder(widgets_.RadioButton(ctl::RGMode, 1), widgets_.Widget(ctl::MemoListOfTexts));
}

}  // namespace tavora
