#pragma once

// The folder picker of "Select directory": the toolkit's own folder dialog, which also takes
// the name of a folder that does not exist yet. Such a name is put to the user through Ask;
// on yes the folder is created with its missing parents and the dialog accepts it, on no
// the dialog stays open. A folder that cannot be created is reported through Fail.

#include <functional>

#include <QFileDialog>
#include <QString>

namespace tavora {

class TFolderDialog : public QFileDialog {
  Q_OBJECT

 public:
  using TAsk = std::function<bool(const QString& Folder)>;
  using TFail = std::function<void(const QString& Message)>;

  TFolderDialog(QWidget* parent, TAsk Ask, TFail Fail);

  // The folder chosen (and created when it was new), in the platform's notation.
  [[nodiscard]] QString Folder() const;

 public slots:
  void accept() override;

 private:
  TAsk ask_;
  TFail fail_;
};

}  // namespace tavora
