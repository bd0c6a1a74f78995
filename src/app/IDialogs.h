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

  // Modal message boxes with a single OK button, centred on the screen; they return when
  // closed.
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
  // A file to save a chart to, as PNG or SVG, SuggestedName offered first; the name ends in
  // ".png" or ".svg" as the type chosen; nullopt when cancelled.
  virtual std::optional<QString> SaveChartFile(QWidget* parent, const QString& SuggestedName) = 0;
  // Opens a folder in the system's file manager.
  virtual void ShowFolder(const QString& Folder) = 0;
};

}  // namespace tavora
