#include "app/TOptionWidgets.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/TFlowGrid.h"
#include "options/ControlNames.h"
#include "options/TOptionsModel.h"

namespace tavora {

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The multi-line text as the widget holds it: lines separated by LF.
QString WithLineFeeds(const std::u16string& text) {
  QString s = Q(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

// Whether a control stands in the row of the control before it: a field without a label
// of its own (its check box or label stands before it), a button beside its text field,
// a label beside its check box.
// The text of the multi-line field exactly as typed or pasted: toPlainText() would turn
// no-break spaces into spaces, which the tokenizer tells apart.
QString RawText(const QPlainTextEdit* memo) {
  QString s = memo->document()->toRawText();
  s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return s;
}

// Labels longer than this stand above their fields.
constexpr std::size_t kLongLabel = 32;

bool JoinsRow(const TControl& c, TControlKind previous) {
  switch (c.Kind) {
    case TControlKind::IntegerField:
    case TControlKind::TextField:
      return c.Label.empty() &&
             (previous == TControlKind::CheckBox || previous == TControlKind::Label ||
              previous == TControlKind::Choice);
    case TControlKind::Choice:
      return previous == TControlKind::CheckBox;
    case TControlKind::Button:
      return previous == TControlKind::TextField;
    case TControlKind::Label:
      return previous == TControlKind::CheckBox;
    default:
      return false;
  }
}

}  // namespace

TOptionWidgets::TOptionWidgets(TOptionsModel& Model, QObject* parent)
    : QObject(parent), model_(Model) {
  for (const TControl& c : model_.Controls()) {
    if (c.Kind == TControlKind::Panel && c.Parent.empty()) BuildPanel(c);
  }
  model_.SetObserver([this](std::string_view name) { Refresh(name); });
}

TOptionWidgets::~TOptionWidgets() { model_.SetObserver({}); }

QWidget* TOptionWidgets::Widget(std::string_view Name) const {
  const auto it = widgets_.find(Name);
  if (it == widgets_.end())
    throw std::invalid_argument("No widget for '" + std::string(Name) + "'");
  return it->second;
}

QAbstractButton* TOptionWidgets::RadioButton(std::string_view Group, int Index) const {
  const auto it = groups_.find(Group);
  if (it == groups_.end())
    throw std::invalid_argument("No radio group '" + std::string(Group) + "'");
  return it->second->button(Index);
}

template <typename F>
void TOptionWidgets::Change(F&& change) {
  try {
    change();
  } catch (const std::exception& e) {
    emit ChangeRefused(QString::fromUtf8(e.what()));
    Refresh("");  // show the model's state again
  }
}

QWidget* TOptionWidgets::BuildPanel(const TControl& panel) {
  auto* frame = new QFrame;
  frame->setObjectName(Q(panel.Name));
  frame->setFrameShape(panel.Parent.empty() ? QFrame::StyledPanel : QFrame::NoFrame);
  widgets_.emplace(panel.Name, frame);
  auto* box = new QVBoxLayout(frame);
  if (!panel.Parent.empty()) box->setContentsMargins(0, 0, 0, 0);

  // Rows of check boxes stand two to a line, one where the column is narrow.
  TFlowGrid* grid = nullptr;
  QHBoxLayout* row = nullptr;
  std::vector<QHBoxLayout*> rows;
  TControlKind previous = TControlKind::Panel;
  QString previousText;  // names a field that has no caption or label of its own
  for (const TControl& c : model_.Controls()) {
    if (c.Parent != panel.Name) continue;
    if (row == nullptr || !JoinsRow(c, previous)) {
      row = new QHBoxLayout;
      rows.push_back(row);
      previousText.clear();
      if (c.Kind == TControlKind::CheckBox) {
        if (grid == nullptr) {
          grid = new TFlowGrid(2, false);
          grid->setContentsMargins(0, 0, 0, 0);
          box->addLayout(grid);
        }
        grid->AddLayout(row);
      } else {
        grid = nullptr;
        box->addLayout(row, c.Kind == TControlKind::MultiLineText ? 1 : 0);
      }
    }
    places_[c.Name] = {box, grid != nullptr ? static_cast<QLayout*>(grid) : row};
    if (c.Kind == TControlKind::Panel) {
      row->addWidget(BuildPanel(c));
    } else {
      AddControl(c, row);
      Describe(c, Widget(c.Name), previousText);
      const QString text = Q(c.Caption.empty() ? c.Label : c.Caption);
      if (!text.isEmpty()) previousText = text;
    }
    previous = c.Kind;
  }
  // Short rows keep their natural width.
  for (QHBoxLayout* r : rows) {
    bool stretches = false;
    for (int j = 0; j < r->count(); ++j) {
      QWidget* w = r->itemAt(j)->widget();
      stretches = stretches || r->itemAt(j)->layout() != nullptr ||  // a field below its label
                  (qobject_cast<QLineEdit*>(w) && w->maximumWidth() == QWIDGETSIZE_MAX) ||
                  qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QGroupBox*>(w) ||
                  (w != nullptr && w->metaObject() == &QFrame::staticMetaObject);
    }
    if (!stretches) r->addStretch(1);
  }
  return frame;
}

void TOptionWidgets::AddControl(const TControl& c, QHBoxLayout* row) {
  if (c.Kind == TControlKind::Panel) return;
  QWidget* w = NewWidget(c);
  w->setObjectName(Q(c.Name));
  widgets_.emplace(c.Name, w);
  Place(c, w, row);
}

QWidget* TOptionWidgets::NewWidget(const TControl& c) {
  const std::string name = c.Name;
  switch (c.Kind) {
    case TControlKind::RadioGroup:
      return NewRadioGroup(c);
    case TControlKind::CheckBox: {
      auto* box = new QCheckBox(Q(c.Caption));
      connect(box, &QCheckBox::clicked, this,
              [this, name](bool checked) { Change([&] { model_.SetChecked(name, checked); }); });
      return box;
    }
    case TControlKind::Choice: {
      auto* combo = new QComboBox;
      for (const std::u16string& item : c.Items) combo->addItem(Q(item));
      connect(combo, &QComboBox::activated, this,
              [this, name](int index) { Change([&] { model_.SetItemIndex(name, index); }); });
      return combo;
    }
    case TControlKind::IntegerField: {
      auto* spin = new QSpinBox;
      // The widget takes any larger number so that the model can clamp it to the bound
      // (2000000 becomes 1000000) instead of the keystroke being refused.
      spin->setRange(c.MinValue, std::numeric_limits<int>::max());
      spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
      connect(spin, &QSpinBox::valueChanged, this,
              [this, name](int value) { Change([&] { model_.SetValue(name, value); }); });
      return spin;
    }
    case TControlKind::TextField:
      return NewTextField(c);
    case TControlKind::MultiLineText:
      return NewMultiLineText(c);
    case TControlKind::Button: {
      auto* button = new QPushButton(Q(c.Caption));
      connect(button, &QPushButton::clicked, this, [this, name] { emit ButtonClicked(Q(name)); });
      return button;
    }
    case TControlKind::Label:
      return new QLabel(Q(c.Caption));
    case TControlKind::Panel:
      break;
  }
  return nullptr;
}

QWidget* TOptionWidgets::NewRadioGroup(const TControl& c) {
  const std::string name = c.Name;
  auto* box = new QGroupBox(Q(c.Caption));
  // Items run down the first column, then down the next; fewer columns when narrow.
  auto* grid = new TFlowGrid(c.Columns, true, box);
  auto* group = new QButtonGroup(box);
  const int n = static_cast<int>(c.Items.size());
  for (int i = 0; i < n; ++i) {
    auto* item = new QRadioButton(Q(c.Items[static_cast<std::size_t>(i)]));
    item->setObjectName(Q(c.Name) + QLatin1Char('_') + QString::number(i));
    item->setAccessibleName(item->text());
    group->addButton(item, i);
    grid->addWidget(item);
  }
  connect(group, &QButtonGroup::idClicked, this,
          [this, name](int id) { Change([&] { model_.SetItemIndex(name, id); }); });
  groups_.emplace(name, group);
  return box;
}

QWidget* TOptionWidgets::NewTextField(const TControl& c) {
  const std::string name = c.Name;
  auto* edit = new QLineEdit;
  edit->setAcceptDrops(false);  // dropped files go to the window
  if (name == ctl::EditHillsQ) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 8);
    edit->setToolTip(
        QStringLiteral("Order Q of Hill's continuum: a whole number from 0 to 1000000"));
  } else if (name == ctl::EditMtldThreshold) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), edit));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 10);
  }
  connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& text) {
    Change([&] { model_.SetText(name, text.toStdU16String()); });
  });
  return edit;
}

QWidget* TOptionWidgets::NewMultiLineText(const TControl& c) {
  const std::string name = c.Name;
  auto* memo = new QPlainTextEdit;
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setAcceptDrops(false);
  memo->setTabChangesFocus(true);
  connect(memo, &QPlainTextEdit::textChanged, this, [this, name, memo] {
    Change([&] { model_.SetText(name, RawText(memo).toStdU16String()); });
  });
  return memo;
}

void TOptionWidgets::Place(const TControl& c, QWidget* w, QHBoxLayout* row) {
  QBoxLayout* at = row;
  if (!c.Label.empty()) {
    auto* label = new QLabel(Q(c.Label));
    label->setBuddy(w);
    labels_.emplace(c.Name, label);
    // A long label stands above its field, so that the row stays narrow.
    if (c.Label.size() > kLongLabel) {
      at = new QVBoxLayout;
      at->setSpacing(2);
      row->addLayout(at, 1);
    }
    at->addWidget(label);
  }
  // A button beside a field with its label above stands level with the field.
  at->addWidget(w, c.Kind == TControlKind::TextField ? 1 : 0,
                c.Kind == TControlKind::Button ? Qt::AlignBottom : Qt::Alignment());
  // The short threshold stands beside its label.
  if (c.Name == ctl::EditMtldThreshold) at->setAlignment(w, Qt::AlignLeft);
}

void TOptionWidgets::Describe(const TControl& c, QWidget* w, const QString& fallbackName) {
  QString name = Q(c.Caption.empty() ? c.Label : c.Caption);
  if (name.isEmpty()) name = fallbackName;
  if (name.isEmpty() && c.Name == ctl::MemoListOfTexts)
    name = QStringLiteral("Texts to process: files and folders, one a line, or pasted text");
  if (name.isEmpty()) name = Q(c.Name);
  while (name.endsWith(QLatin1Char('=')) || name.endsWith(QLatin1Char(':')) ||
         name.endsWith(QLatin1Char(' ')))
    name.chop(1);
  w->setAccessibleName(name);
  if (c.Help.empty()) return;
  w->setToolTip(Q(c.Help));
  w->setAccessibleDescription(Q(c.Help));
  if (const auto label = labels_.find(c.Name); label != labels_.end())
    label->second->setToolTip(Q(c.Help));
}

void TOptionWidgets::Detach(std::string_view Name) {
  detached_.emplace_back(Name);
  RefreshDetached();
}

void TOptionWidgets::RefreshDetached() {
  for (const std::string& name : detached_) {
    QWidget* w = Widget(name);
    const bool visible = model_.IsVisible(name);
    if (w->isHidden() == visible) {
      w->setVisible(visible);
      emit ShownChanged();
    }
  }
}

void TOptionWidgets::RefreshTabStops(std::string_view Group) {
  QButtonGroup* group = groups_.find(Group)->second;
  QAbstractButton* stop =
      group->checkedButton() != nullptr ? group->checkedButton() : group->button(0);
  for (QAbstractButton* b : group->buttons())
    b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TOptionWidgets::ShowProblem(std::string_view Name, const QString& Message) {
  QLabel*& label = problems_[std::string(Name)];
  if (label == nullptr) {
    label = new QLabel;
    label->setObjectName(QStringLiteral("Problem") + Q(Name));
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
    label->setPalette(palette);
    const auto place = places_.find(Name);
    if (place != places_.end()) {
      place->second.Box->insertWidget(place->second.Box->indexOf(place->second.Row) + 1, label);
    }
  }
  label->setText(Message);
  label->setAccessibleName(Message);
  label->setVisible(true);
}

void TOptionWidgets::ClearProblems() {
  for (auto& [name, label] : problems_) label->setVisible(false);
}

QString TOptionWidgets::Problem(std::string_view Name) const {
  const auto it = problems_.find(Name);
  return it == problems_.end() || it->second->isHidden() ? QString() : it->second->text();
}

void TOptionWidgets::Refresh(std::string_view Name) {
  if (Name.empty()) {
    RefreshAll();
    return;
  }
  const TControl& c = model_.Control(Name);
  QWidget* w = Widget(Name);
  const bool detached = std::find(detached_.begin(), detached_.end(), Name) != detached_.end();
  if (!detached && w->isHidden() == c.Shown) {
    w->setVisible(c.Shown);
    emit ShownChanged();
  }
  if (const auto problem = problems_.find(Name); problem != problems_.end())
    problem->second->setVisible(false);
  w->setEnabled(c.Enabled);
  if (const auto it = labels_.find(Name); it != labels_.end()) {
    it->second->setVisible(c.Shown);
    it->second->setEnabled(c.Enabled);
  }
  ShowValue(c, w);
  RefreshDetached();
  if (Name == ctl::PanelWoL) emit PanelsMoved();
}

void TOptionWidgets::ShowValue(const TControl& c, QWidget* w) {
  const QSignalBlocker blocker(w);
  switch (c.Kind) {
    case TControlKind::RadioGroup:
      ShowChosenItem(c);
      break;
    case TControlKind::CheckBox:
      static_cast<QCheckBox*>(w)->setChecked(c.Checked);
      break;
    case TControlKind::Choice: {
      auto* combo = static_cast<QComboBox*>(w);
      // Items the chosen input format does not offer stay listed, greyed out.
      if (auto* items = qobject_cast<QStandardItemModel*>(combo->model())) {
        for (int i = 0; i < items->rowCount(); ++i) {
          const auto at = static_cast<std::size_t>(i);
          items->item(i)->setEnabled(c.ItemsEnabled.empty() || c.ItemsEnabled[at]);
        }
      }
      combo->setCurrentIndex(c.ItemIndex);
      break;
    }
    case TControlKind::IntegerField: {
      auto* spin = static_cast<QSpinBox*>(w);
      const int value = model_.GetValue(c.Name);
      if (spin->value() != value) spin->setValue(value);
      break;
    }
    case TControlKind::TextField: {
      auto* edit = static_cast<QLineEdit*>(w);
      if (edit->text() != Q(c.Text)) edit->setText(Q(c.Text));
      break;
    }
    case TControlKind::MultiLineText: {
      auto* memo = static_cast<QPlainTextEdit*>(w);
      const QString text = WithLineFeeds(c.Text);
      if (RawText(memo) != text) {
        memo->setPlainText(text);
        memo->moveCursor(QTextCursor::End);
      }
      break;
    }
    default:
      break;
  }
}

void TOptionWidgets::ShowChosenItem(const TControl& c) {
  QButtonGroup* group = groups_.find(c.Name)->second;
  const QSignalBlocker groupBlocker(group);
  if (c.ItemIndex < 0) {
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
  } else {
    group->button(c.ItemIndex)->setChecked(true);
  }
  RefreshTabStops(c.Name);
}

void TOptionWidgets::RefreshAll() {
  for (const TControl& c : model_.Controls()) {
    if (c.Name != ctl::PanelWoL) Refresh(c.Name);
  }
  Refresh(ctl::PanelWoL);
}

void TOptionWidgets::FocusOrderOf(const std::string& Panel, std::vector<QWidget*>& out) const {
  for (const TControl& c : model_.Controls()) {
    if (c.Parent != Panel) continue;
    if (c.Kind == TControlKind::Panel) {
      FocusOrderOf(c.Name, out);
    } else if (c.Kind == TControlKind::RadioGroup) {
      for (QAbstractButton* b : groups_.find(c.Name)->second->buttons()) out.push_back(b);
    } else if (c.Kind != TControlKind::Label) {
      out.push_back(Widget(c.Name));
    }
  }
}

QWidget* TOptionWidgets::ApplyTabOrder(const std::vector<std::string>& Panels) const {
  std::vector<QWidget*> order;
  for (const std::string& panel : Panels) FocusOrderOf(panel, order);
  for (const std::string& name : detached_) {
    const auto it = std::find(order.begin(), order.end(), Widget(name));
    if (it != order.end()) order.erase(it);
    order.push_back(Widget(name));
  }
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  return order.empty() ? nullptr : order.back();
}

}  // namespace tavora
