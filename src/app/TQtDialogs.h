#pragma once

#include "app/IDialogs.h"

namespace tavora {

// The platform's own message boxes and file dialogs.
class TQtDialogs final : public IDialogs {
 public:
  void Information(QWidget* parent, const QString& text) override;
  void Error(QWidget* parent, const QString& text) override;
  QStringList OpenFiles(QWidget* parent) override;
  std::optional<QString> SelectDirectory(QWidget* parent) override;
  std::optional<QString> SelectFile(QWidget* parent, bool ForSaving) override;
};

}  // namespace tavora
