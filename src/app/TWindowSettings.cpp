#include "app/TWindowSettings.h"

#include <QSettings>
#include <QWidget>

#include "options/ControlNames.h"
#include "options/TOptionsModel.h"

namespace tavora {

namespace {

const QString kOptions = QStringLiteral("options/");
const QString kGeometry = QStringLiteral("window/geometry");

QSettings Store() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tavora"),
                   QStringLiteral("Tavora"));
}

bool CarriesValue(const TControl& c) {
  switch (c.Kind) {
    case TControlKind::RadioGroup:
    case TControlKind::CheckBox:
    case TControlKind::IntegerField:
    case TControlKind::TextField:
      return true;
    default:
      return false;  // panels, buttons, labels, and the list of texts
  }
}

// The option as SetOption takes it.
QString ValueText(const TControl& c) {
  switch (c.Kind) {
    case TControlKind::RadioGroup:
      return QString::number(c.ItemIndex);
    case TControlKind::CheckBox:
      return c.Checked ? QStringLiteral("1") : QStringLiteral("0");
    default:
      return QString::fromStdU16String(c.Text);
  }
}

}  // namespace

void TWindowSettings::Save(const TOptionsModel& Model, const QWidget& Window) {
  QSettings store = Store();
  for (const TControl& c : Model.Controls()) {
    if (CarriesValue(c)) store.setValue(kOptions + QString::fromStdString(c.Name), ValueText(c));
  }
  store.setValue(kGeometry, Window.saveGeometry());
}

bool TWindowSettings::Exist() { return Store().contains(kGeometry); }

bool TWindowSettings::Restore(TOptionsModel& Model, QWidget& Window) {
  QSettings store = Store();
  if (!store.contains(kGeometry)) return false;
  std::vector<std::string> names;
  for (const TControl& c : Model.Controls())
    if (CarriesValue(c)) names.push_back(c.Name);
  for (const std::string& name : names) {
    const QVariant value = store.value(kOptions + QString::fromStdString(name));
    // A radio group not chosen yet stays so.
    if (!value.isValid() || value.toString() == QStringLiteral("-1")) continue;
    try {
      Model.SetOption(name, value.toString().toStdU16String());
    } catch (const std::exception&) {
      // Disabled now, or no longer a value it takes: passed over.
    }
  }
  Window.restoreGeometry(store.value(kGeometry).toByteArray());
  return true;
}

}  // namespace tavora
