#include "app/TQtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace tavora {

void TQtDialogs::Information(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QStringLiteral("Tavora"), text);
}

void TQtDialogs::Error(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QStringLiteral("Tavora"), text);
}

QStringList TQtDialogs::OpenFiles(QWidget* parent) {
  QStringList files = QFileDialog::getOpenFileNames(parent);
  for (QString& f : files) f = QDir::toNativeSeparators(f);
  return files;
}

std::optional<QString> TQtDialogs::SelectDirectory(QWidget* parent) {
  // The dialog offers "Create New Folder"; a typed name of a folder that does not exist
  // yet is created after asking.
  const QString dir = QFileDialog::getExistingDirectory(parent);
  if (dir.isEmpty()) return std::nullopt;
  if (!QDir(dir).exists()) {
    const auto answer =
        QMessageBox::question(parent, QStringLiteral("Tavora"),
                              QStringLiteral("The folder \"%1\" does not exist. Create it?")
                                  .arg(QDir::toNativeSeparators(dir)));
    if (answer != QMessageBox::Yes) return std::nullopt;
    if (!QDir().mkpath(dir)) {
      Error(parent,
            QStringLiteral("Cannot create the folder \"%1\".").arg(QDir::toNativeSeparators(dir)));
      return std::nullopt;
    }
  }
  return QDir::toNativeSeparators(dir);
}

std::optional<QString> TQtDialogs::SelectFile(QWidget* parent, bool ForSaving) {
  const QString file =
      ForSaving ? QFileDialog::getSaveFileName(parent, QString(), QString(), QString(), nullptr,
                                               QFileDialog::DontConfirmOverwrite)
                : QFileDialog::getOpenFileName(parent);
  if (file.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(file);
}

}  // namespace tavora
