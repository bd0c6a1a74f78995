#include "app/TQtDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

#include "app/TFolderDialog.h"

namespace tavora {

namespace {

const QString kTitle = QStringLiteral("Tavora");
const QString kPng = QStringLiteral("PNG image (*.png)");
const QString kSvg = QStringLiteral("SVG drawing (*.svg)");

int Ask(QMessageBox::Icon icon, QWidget* parent, const QString& text,
        QMessageBox::StandardButtons buttons) {
  TScreenCentredBox box(icon, text, buttons, parent);
  return box.exec();
}

}  // namespace

TScreenCentredBox::TScreenCentredBox(QMessageBox::Icon Icon, const QString& Text,
                                     QMessageBox::StandardButtons Buttons, QWidget* parent)
    : QMessageBox(Icon, kTitle, Text, Buttons, parent) {}

void TScreenCentredBox::showEvent(QShowEvent* event) {
  // The box has its final size once the base class has laid it out.
  QMessageBox::showEvent(event);
  const QScreen* screen =
      parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}

void TQtDialogs::Information(QWidget* parent, const QString& text) {
  Ask(QMessageBox::Information, parent, text, QMessageBox::Ok);
}

void TQtDialogs::Error(QWidget* parent, const QString& text) {
  Ask(QMessageBox::Critical, parent, text, QMessageBox::Ok);
}

QStringList TQtDialogs::OpenFiles(QWidget* parent) {
  QStringList files = QFileDialog::getOpenFileNames(parent);
  for (QString& f : files) f = QDir::toNativeSeparators(f);
  return files;
}

std::optional<QString> TQtDialogs::SelectDirectory(QWidget* parent) {
  TFolderDialog dialog(
      parent,
      [&dialog](const QString& folder) {
        return Ask(QMessageBox::Question, &dialog,
                   QStringLiteral("The folder \"%1\" does not exist. Create it?").arg(folder),
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
      },
      [&dialog](const QString& message) {
        Ask(QMessageBox::Critical, &dialog, message, QMessageBox::Ok);
      });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString folder = dialog.Folder();
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

std::optional<QString> TQtDialogs::SelectFile(QWidget* parent, bool ForSaving) {
  const QString file =
      ForSaving ? QFileDialog::getSaveFileName(parent, QString(), QString(), QString(), nullptr,
                                               QFileDialog::DontConfirmOverwrite)
                : QFileDialog::getOpenFileName(parent);
  if (file.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(file);
}

std::optional<QString> TQtDialogs::SaveChartFile(QWidget* parent, const QString& SuggestedName) {
  QString filter =
      SuggestedName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) ? kSvg : kPng;
  QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("Save chart"), SuggestedName,
                                              kPng + QStringLiteral(";;") + kSvg, &filter);
  if (file.isEmpty()) return std::nullopt;
  const QString ending = filter == kSvg ? QStringLiteral(".svg") : QStringLiteral(".png");
  if (!file.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) &&
      !file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
    file += ending;
  return QDir::toNativeSeparators(file);
}

void TQtDialogs::ShowFolder(const QString& Folder) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(Folder)));
}

}  // namespace tavora
