#pragma once

#include <QMessageBox>

#include "app/IDialogs.h"

namespace tavora {

// A message box centred on the screen rather than on its parent window.
class TScreenCentredBox : public QMessageBox {
  Q_OBJECT

 public:
  TScreenCentredBox(QMessageBox::Icon Icon, const QString& Text,
                    QMessageBox::StandardButtons Buttons, QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;
};

// The platform's own message boxes and file dialogs (the toolkit's own folder dialog, which
// takes new folder names), and its file manager.
class TQtDialogs final : public IDialogs {
 public:
  void Information(QWidget* parent, const QString& text) override;
  void Error(QWidget* parent, const QString& text) override;
  QStringList OpenFiles(QWidget* parent) override;
  std::optional<QString> SelectDirectory(QWidget* parent) override;
  std::optional<QString> SelectFile(QWidget* parent, bool ForSaving) override;
  std::optional<QString> SaveChartFile(QWidget* parent, const QString& SuggestedName) override;
  void ShowFolder(const QString& Folder) override;
};

}  // namespace tavora
