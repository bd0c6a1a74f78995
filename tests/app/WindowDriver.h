#pragma once

// Drives the main window as a user would, for the window's tests: finds widgets by name,
// clicks, chooses, types, runs and waits; a fresh window over fresh fake dialogs and a
// temporary folder for every test. The user's settings store is moved into the temporary
// folder, so that no test reads or writes the real one.

#include <memory>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QObject>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "app/FakeDialogs.h"
#include "app/TFormTavoraUX.h"
#include "app/TOptionWidgets.h"

namespace tavora {

class TWindowDriver : public QObject {
 protected:
  // A new window, shown, over new dialogs and a new temporary folder.
  void Open() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       Path(QStringLiteral("settings")));
    dialogs_ = std::make_unique<FakeDialogs>();
    window_ = std::make_unique<TFormTavoraUX>(*dialogs_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void Close() {
    window_.reset();
    dialogs_.reset();
    dir_.reset();
  }

  template <typename T = QWidget>
  T* W(const char* name) const {
    T* w = window_->findChild<T*>(QString::fromLatin1(name));
    if (w == nullptr) qFatal("no widget %s", name);
    return w;
  }
  // Clicks in the middle of a control, once the layouts have placed what was just shown.
  static void ClickOn(QWidget* w) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    // Check boxes and radio buttons take clicks on their box and text only.
    const bool boxed =
        qobject_cast<QCheckBox*>(w) != nullptr || qobject_cast<QRadioButton*>(w) != nullptr;
    QTest::mouseClick(w, Qt::LeftButton, {},
                      boxed ? QPoint(w->height() / 2, w->height() / 2) : QPoint());
  }
  void Click(const char* name) { ClickOn(W(name)); }
  void Choose(const char* group, int index) {
    ClickOn(window_->Widgets().RadioButton(group, index));
  }
  void Check(const char* box, bool checked) {
    if (W<QCheckBox>(box)->isChecked() != checked) Click(box);
  }
  // Replaces a field's text by typing, then leaves the field with Return.
  void Type(const char* name, const QString& text) {
    QWidget* w = W(name);
    if (auto* spin = qobject_cast<QSpinBox*>(w)) {
      spin->selectAll();
      QTest::keyClicks(spin, text);
      QTest::keyClick(spin, Qt::Key_Return);
      return;
    }
    auto* edit = qobject_cast<QLineEdit*>(w);
    edit->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(edit, text);
    }
  }
  QString Path(const QString& name) const { return QDir(dir_->path()).filePath(name); }
  QString WriteFile(const QString& name, const QByteArray& content) const {
    QFile f(Path(name));
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(name));
    f.write(content);
    return QDir::toNativeSeparators(Path(name));
  }
  QByteArray ReadFile(const QString& name) const {
    QFile f(Path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // Presses a run button and waits until the run has ended and its message is closed.
  bool RunAndWait(const char* button) {
    QSignalSpy finished(window_.get(), &TFormTavoraUX::RunFinished);
    Click(button);
    return finished.wait(120000);
  }
  // Files as input, in plain text, measuring with a window of 10 into folder "out".
  void SetUpMeasuring(const QString& inputFile) {
    Choose("RGMode", 0);
    dialogs_->openFilesAnswers << QStringList{inputFile};
    Click("ButtonOpenFiles");
    Choose("RGInputType", 0);
    Choose("RadioGroupWhatToDo", 0);
    Type("SpinEditWindowLength", QStringLiteral("10"));
    dialogs_->directoryAnswers << QDir::toNativeSeparators(Path(QStringLiteral("out")));
    Click("ButtonSelectOutputDirectory");
  }
  static QByteArray Words(int count) {
    static const char* const kWords[] = {"the", "cat", "sat", "on",  "a",    "mat",
                                         "and", "dog", "ran", "far", "away", "home"};
    QByteArray text;
    for (int i = 0; i < count; ++i) {
      text += kWords[(i * 7 + i / 12) % 12];
      text += (i % 15 == 14) ? ".\n" : " ";
    }
    return text;
  }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<FakeDialogs> dialogs_;
  std::unique_ptr<TFormTavoraUX> window_;
};

}  // namespace tavora
