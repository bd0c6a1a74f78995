#include "app/TFolderDialog.h"

#include <QDir>
#include <QFileInfo>

namespace tavora {

TFolderDialog::TFolderDialog(QWidget* parent, TAsk Ask, TFail Fail)
    : QFileDialog(parent), ask_(std::move(Ask)), fail_(std::move(Fail)) {
  setObjectName(QStringLiteral("FolderDialog"));
  setWindowTitle(QStringLiteral("Select directory"));
  setFileMode(QFileDialog::Directory);
  setOption(QFileDialog::ShowDirsOnly, true);
  // The platform's own dialogs refuse a folder that does not exist before this dialog can ask.
  setOption(QFileDialog::DontUseNativeDialog, true);
}

QString TFolderDialog::Folder() const {
  const QStringList files = selectedFiles();
  return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.front());
}

void TFolderDialog::accept() {
  const QStringList files = selectedFiles();
  if (!files.isEmpty() && !QFileInfo::exists(files.front())) {
    const QString folder = QDir::toNativeSeparators(files.front());
    if (!ask_(folder)) return;
    if (!QDir().mkpath(files.front())) {
      fail_(QStringLiteral("Cannot create the folder \"%1\".").arg(folder));
      return;
    }
  }
  QFileDialog::accept();
}

}  // namespace tavora
