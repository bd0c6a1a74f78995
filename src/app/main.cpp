// Tavora's desktop window: measures lexical diversity over a moving window and builds
// reference frequency lists. The window class to open next is TFormTavoraUX.

#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "app/TFormTavoraUX.h"
#include "app/TQtDialogs.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tavora"));
  try {
    tavora::TQtDialogs dialogs;
    tavora::TFormTavoraUX window(dialogs);
    window.show();
    return QApplication::exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Tavora"), QString::fromUtf8(e.what()));
    return 1;
  }
}
