#pragma once

// The widgets of the option controls, one per control of the option model, named after
// it (QObject::objectName), each with the option's help as its tooltip and an accessible
// name. A user's change goes to the model first; the model's rules then report every
// control they touched, and the widget shows the model's state again (value, shown,
// enabled). Top-level panels are handed to the window, which places them; a control the
// window takes out of its panel (Detach) stays visible exactly while the model shows it
// and its panels.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>
#include <QString>

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QLayout;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace tavora {

class TOptionsModel;
struct TControl;

class TOptionWidgets : public QObject {
  Q_OBJECT

 public:
  // Builds the widgets of every control in window order and becomes the model's observer.
  // Call RefreshAll once the top-level panels have been placed in the window.
  explicit TOptionWidgets(TOptionsModel& Model, QObject* parent = nullptr);
  ~TOptionWidgets() override;

  // The widget of a control (a panel, a group box for a radio group); throws
  // std::invalid_argument for an unknown name.
  [[nodiscard]] QWidget* Widget(std::string_view Name) const;
  // One item of a radio group.
  [[nodiscard]] QAbstractButton* RadioButton(std::string_view Group, int Index) const;

  // Shows the model's state of one control, or of all.
  void Refresh(std::string_view Name);
  void RefreshAll();

  // Tab order: the panels in the order given, each control after its panel, in window
  // order, then the detached controls. A radio group is one stop: its chosen item (the
  // first while none is chosen); the arrow keys move within it. Returns the last widget
  // of the order.
  QWidget* ApplyTabOrder(const std::vector<std::string>& Panels) const;

  // The control's widget is placed outside its panel by the window.
  void Detach(std::string_view Name);

  // A message beside a control, below its row, until the control changes or the messages
  // are cleared.
  void ShowProblem(std::string_view Name, const QString& Message);
  void ClearProblems();
  // The message shown beside a control; empty when none.
  [[nodiscard]] QString Problem(std::string_view Name) const;

 signals:
  // A button of the options was pressed (by its control name).
  void ButtonClicked(const QString& Name);
  // The model refused a change; the message names the option.
  void ChangeRefused(const QString& Message);
  // PanelWoL moved relative to PanelInputDetails.
  void PanelsMoved();
  // A control was shown or hidden: the sizes the columns need may have changed.
  void ShownChanged();

 private:
  QWidget* BuildPanel(const TControl& panel);
  void AddControl(const TControl& c, QHBoxLayout* row);
  // The widget of a control other than a panel, wired to the model.
  QWidget* NewWidget(const TControl& c);
  QWidget* NewRadioGroup(const TControl& c);
  QWidget* NewTextField(const TControl& c);
  QWidget* NewMultiLineText(const TControl& c);
  // Puts a control's widget, with the label beside or above it, into its row.
  void Place(const TControl& c, QWidget* w, QHBoxLayout* row);
  void Describe(const TControl& c, QWidget* w, const QString& fallbackName);
  void RefreshTabStops(std::string_view Group);
  // Shows the model's value of a control in its widget, without signals back to the model.
  void ShowValue(const TControl& c, QWidget* w);
  void ShowChosenItem(const TControl& c);
  void RefreshDetached();
  template <typename F>
  void Change(F&& change);
  void FocusOrderOf(const std::string& Panel, std::vector<QWidget*>& out) const;

  TOptionsModel& model_;
  std::map<std::string, QWidget*, std::less<>> widgets_;
  std::map<std::string, QLabel*, std::less<>> labels_;  // the label beside a field
  std::map<std::string, QButtonGroup*, std::less<>> groups_;
  // Where a control's row stands: the panel's layout and the row (or grid of rows) in it.
  struct TRowPlace {
    QBoxLayout* Box = nullptr;
    QLayout* Row = nullptr;
  };
  std::map<std::string, TRowPlace, std::less<>> places_;
  std::map<std::string, QLabel*, std::less<>> problems_;
  std::vector<std::string> detached_;
};

}  // namespace tavora
