#pragma once

// The message boxes and pickers the window uses, behind an interface so that tests can
// answer them without a user.

#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace tavora {

class IDialogs {
 public:
  virtual ~IDialogs() = default;

  // Modal message boxes with a single OK button; they return when closed.
  virtual void Information(QWidget* parent, const QString& text) = 0;
  virtual void Error(QWidget* parent, const QString& text) = 0;

  // Several existing files, in the dialog's order; empty when cancelled.
  virtual QStringList OpenFiles(QWidget* parent) = 0;
  // A folder, created (after asking) when the user named one that does not exist yet;
  // nullopt when cancelled.
  virtual std::optional<QString> SelectDirectory(QWidget* parent) = 0;
  // A file to write (save dialog, no question before overwriting) or to read (open
  // dialog); nullopt when cancelled.
  virtual std::optional<QString> SelectFile(QWidget* parent, bool ForSaving) = 0;
};

}  // namespace tavora
