#pragma once

// The options tab: the left column (the first question, then the text field above the input
// settings, with a splitter between them) and the right column (task, measures, lists,
// output). The input settings and the right column scroll vertically and, where the window
// is narrower than what they show, horizontally, so that every control stays reachable at
// any window size. The panels come from the option model in its order: a control added to
// the model takes its place in its panel with no layout work here.

#include <string>
#include <vector>

#include <QWidget>

class QVBoxLayout;

namespace tavora {

class TOptionsModel;
class TOptionWidgets;

class TOptionPanes : public QWidget {
  Q_OBJECT

 public:
  TOptionPanes(TOptionsModel& Model, TOptionWidgets& Widgets, QWidget* parent = nullptr);

  // Places PanelWoL where the model has it and sets the tab order: the text field first,
  // then the rest of the left column, the right column, the widgets of After (the run
  // row), and the first question last.
  void Arrange(const std::vector<QWidget*>& After);

 private:
  TOptionsModel& model_;
  TOptionWidgets& widgets_;
  QVBoxLayout* leftLower_ = nullptr;
  std::vector<QWidget*> after_;
  bool columnsPending_ = false;
};

}  // namespace tavora
