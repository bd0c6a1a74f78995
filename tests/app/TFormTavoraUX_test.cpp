#include "app/TFormTavoraUX.h"

#include <cmath>
#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>

#include "app/FakeDialogs.h"
#include "app/TOptionWidgets.h"
#include "app/TResultsView.h"
#include "app/WindowDriver.h"
#include "base/TFolderLock.h"
#include "charts/TChartView.h"
#include "charts/TDistributionChart.h"
#include "charts/TSeriesChart.h"
#include "engine/TReferenceDictionary.h"

namespace tavora {

class TFormTavoraUXTest : public TWindowDriver {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startShowsOnlyTheTwoQuestions();
  void widgetsShowTheTextsOfTheOptions();
  void choicesDiscloseTheirPanels();
  void tabOrderFollowsThePanels();
  void pickersFillTheirFields();
  void measuringRunFromClicksToResultFiles();
  void furtherIndicesAreWrittenWhenChecked();
  void missingEntriesAreNamedBesideTheStatusLine();
  void fieldsPassTheirValuesAsTyped();
  void missingListInAHiddenFieldIsPassedOver();
  void statusLineDuringAndAfterARun();
  void frequencyListRunThenMeasuringUsesTheCachedList();
  void droppingThreeFilesAppendsThemAsLines();
  void pastedTextIsReadAsPlainText_data();
  void pastedTextIsReadAsPlainText();
  void failingRunShowsTheErrorAndNotComplete_data();
  void failingRunShowsTheErrorAndNotComplete();
  void cancelEndsTheRunAsCancelled();
  void closingTheWindowDuringARunStopsIt();
  void resultsViewShowsAndExportsTheCharts();
  void showResultsOpensAFolderWithoutResults();
  void resultsListDocumentsByIdAndShortOnesWithoutAChart();
  void longSeriesLoadInTheBackgroundAndDrawDecimated();
};

void TFormTavoraUXTest::init() { Open(); }

void TFormTavoraUXTest::cleanup() { Close(); }

void TFormTavoraUXTest::startShowsOnlyTheTwoQuestions() {
  QCOMPARE(window_->windowTitle(), QStringLiteral("Tavora"));
  const TOptionsModel& m = window_->Model();
  for (const std::vector<std::string>& column : {m.LeftColumnPanels(), m.RightColumnPanels()}) {
    for (const std::string& panel : column) {
      const bool question = panel == "PanelFirstDecision" || panel == "PanelWhatToDo";
      QVERIFY2(window_->Widgets().Widget(panel)->isVisible() == question, panel.c_str());
    }
  }
  QCOMPARE(window_->StatusText(), QStringLiteral("Waiting for your input"));
  QVERIFY(!W("ButtonCancel")->isVisible());
}

void TFormTavoraUXTest::widgetsShowTheTextsOfTheOptions() {
  for (const TControl& c : window_->Model().Controls()) {
    const QByteArray name = QByteArray::fromStdString(c.Name);
    QWidget* w = window_->Widgets().Widget(c.Name);
    QCOMPARE(w->objectName(), QString::fromLatin1(name));
    const QString caption = QString::fromStdU16String(c.Caption);
    switch (c.Kind) {
      case TControlKind::RadioGroup: {
        QCOMPARE(qobject_cast<QGroupBox*>(w)->title(), caption);
        for (std::size_t i = 0; i < c.Items.size(); ++i) {
          QAbstractButton* item = window_->Widgets().RadioButton(c.Name, static_cast<int>(i));
          QCOMPARE(item->text(), QString::fromStdU16String(c.Items[i]));
          QCOMPARE(item->isChecked(), static_cast<int>(i) == c.ItemIndex);
        }
        break;
      }
      case TControlKind::CheckBox:
        QCOMPARE(qobject_cast<QCheckBox*>(w)->text(), caption);
        QCOMPARE(qobject_cast<QCheckBox*>(w)->isChecked(), c.Checked);
        break;
      case TControlKind::Choice: {
        auto* combo = qobject_cast<QComboBox*>(w);
        QCOMPARE(combo->count(), static_cast<int>(c.Items.size()));
        for (std::size_t i = 0; i < c.Items.size(); ++i)
          QCOMPARE(combo->itemText(static_cast<int>(i)), QString::fromStdU16String(c.Items[i]));
        QCOMPARE(combo->currentIndex(), c.ItemIndex);
        break;
      }
      case TControlKind::Button:
        QCOMPARE(qobject_cast<QPushButton*>(w)->text(), caption);
        break;
      case TControlKind::Label:
        QCOMPARE(qobject_cast<QLabel*>(w)->text(), caption);
        break;
      case TControlKind::TextField:
        QCOMPARE(qobject_cast<QLineEdit*>(w)->text(), QString::fromStdU16String(c.Text));
        break;
      case TControlKind::IntegerField: {
        auto* spin = qobject_cast<QSpinBox*>(w);
        QCOMPARE(spin->value(), window_->Model().GetValue(c.Name));
        QCOMPARE(spin->minimum(), c.MinValue);
        // Larger numbers can be typed; the model clamps them to its bound.
        QVERIFY(spin->maximum() >= c.MaxValue);
        break;
      }
      default:
        break;
    }
    if (!c.Label.empty()) {
      bool found = false;
      for (QLabel* label : window_->findChildren<QLabel*>()) {
        found =
            found || (label->buddy() == w && label->text() == QString::fromStdU16String(c.Label));
      }
      QVERIFY2(found, name.constData());
    }
  }
}

void TFormTavoraUXTest::choicesDiscloseTheirPanels() {
  Choose("RGMode", 0);
  QVERIFY(W("PanelInputTexts")->isVisible());
  QVERIFY(W("ButtonOpenFiles")->isVisible());
  QVERIFY(W("PanelInputType")->isVisible());
  QVERIFY(!W("PanelInputDetails")->isVisible());

  Choose("RGInputType", 5);  // custom vertical
  QVERIFY(W("PanelCustomVertical")->isVisible());
  QVERIFY(W("PanelInputDetails")->isVisible());
  QVERIFY(!W("CheckBoxLemmata")->isEnabled());
  QVERIFY(!W("SpinEditLemma")->isVisible());
  Click("CheckBoxColumnLemmata");
  QVERIFY(W("SpinEditLemma")->isVisible());
  QVERIFY(W("CheckBoxLemmata")->isEnabled());
  // Word forms/lemmata now stand below the case and omission options.
  QVERIFY(W("PanelWoL")->y() > W("PanelInputDetails")->y());

  Choose("RadioGroupWhatToDo", 0);
  QVERIFY(W("PanelMetrics")->isVisible());
  QVERIFY(W("PanelProcess")->isVisible());
  QVERIFY(!W("PanelDictionary")->isVisible());
  Click("CheckBoxCrossPerplexity");
  QVERIFY(W("PanelDictionary")->isVisible());
  QVERIFY(W("CheckBoxReferenceContains")->isVisible());
  QVERIFY(!W("ButtonCreateReference")->isVisible());
  Click("CheckBoxOtherMetrics");
  QVERIFY(W("PanelOtherMetrics")->isVisible());
  QVERIFY(!W("EditHillsQ")->isVisible());
  Click("CheckBoxHillsContinuum");
  QVERIFY(W("EditHillsQ")->isVisible());
  QVERIFY(W("LabelQ")->isVisible());

  Choose("RadioGroupWhatToDo", 1);
  QVERIFY(!W("PanelMetrics")->isVisible());
  QVERIFY(W("ButtonCreateReference")->isVisible());
  QVERIFY(!W("CheckBoxReferenceContains")->isVisible());

  // The window length is clamped when the field is left.
  Choose("RadioGroupWhatToDo", 0);
  Type("SpinEditWindowLength", QStringLiteral("0"));
  QCOMPARE(window_->Model().GetValue("SpinEditWindowLength"), 1);
}

void TFormTavoraUXTest::tabOrderFollowsThePanels() {
  Choose("RGMode", 0);
  Choose("RGInputType", 3);
  Choose("RadioGroupWhatToDo", 0);
  Click("CheckBoxIndices");
  // Every visible control that takes the focus, in panel order.
  QList<QWidget*> expected;
  const TOptionsModel& m = window_->Model();
  std::vector<std::string> panels = m.LeftColumnPanels();
  for (const std::string& p : m.RightColumnPanels()) panels.push_back(p);
  std::function<void(const std::string&)> addPanel = [&](const std::string& panel) {
    for (const TControl& c : m.Controls()) {
      if (c.Parent != panel || c.Kind == TControlKind::Label) continue;
      if (c.Kind == TControlKind::Panel) {
        addPanel(c.Name);
      } else if (c.Kind == TControlKind::RadioGroup) {
        for (std::size_t i = 0; i < c.Items.size(); ++i) {
          expected << window_->Widgets().RadioButton(c.Name, static_cast<int>(i));
        }
      } else {
        expected << window_->Widgets().Widget(c.Name);
      }
    }
  };
  for (const std::string& panel : panels) addPanel(panel);
  expected.erase(
      std::remove_if(expected.begin(), expected.end(), [](QWidget* w) { return !w->isVisible(); }),
      expected.end());
  QList<QWidget*> chain;
  QWidget* w = expected.front();
  for (int guard = 0; guard < 1000 && chain.size() < expected.size();
       ++guard, w = w->nextInFocusChain()) {
    if (expected.contains(w) && !chain.contains(w)) chain << w;
  }
  QCOMPARE(chain, expected);
}

void TFormTavoraUXTest::pickersFillTheirFields() {
  Choose("RGMode", 0);
  dialogs_->openFilesAnswers << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")};
  Click("ButtonOpenFiles");
  Click("ButtonOpenFiles");  // cancelled: nothing changes
  QCOMPARE(W<QPlainTextEdit>("MemoListOfTexts")->toPlainText(), QStringLiteral("a.txt\nb.txt"));

  Choose("RadioGroupWhatToDo", 1);
  dialogs_->fileAnswers << QStringLiteral("words.tsv") << std::nullopt;
  Click("ButtonOpenFileWordForm");
  Click("ButtonOpenFileWordForm");
  QCOMPARE(W<QLineEdit>("EditWordDictionary")->text(), QStringLiteral("words.tsv"));

  Choose("RadioGroupWhatToDo", 0);
  Click("CheckBoxCrossPerplexity");
  dialogs_->fileAnswers << QStringLiteral("ref.tsv");
  Click("ButtonOpenFileWordForm");
  QCOMPARE(W<QLineEdit>("EditWordDictionary")->text(), QStringLiteral("ref.tsv"));
  // A list to write in the frequency-list task, one to read in measuring.
  QCOMPARE(dialogs_->fileDialogsForSaving, (QList<bool>{true, true, false}));

  dialogs_->directoryAnswers << QStringLiteral("results") << std::nullopt;
  Click("ButtonSelectOutputDirectory");
  Click("ButtonSelectOutputDirectory");
  QCOMPARE(W<QLineEdit>("EditOutputDirectory")->text(), QStringLiteral("results"));
  QCOMPARE(QString::fromStdU16String(window_->Model().GetText("EditOutputDirectory")),
           QStringLiteral("results"));
}

void TFormTavoraUXTest::measuringRunFromClicksToResultFiles() {
  SetUpMeasuring(WriteFile(QStringLiteral("text.txt"), Words(60)));
  Check("CheckBoxOutputSeries", true);
  QVERIFY(RunAndWait("ButtonProcess"));

  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("Complete!")});
  const QByteArray averages = ReadFile(QStringLiteral("out/AveragesWord10.csv"));
  QVERIFY2(averages.startsWith("\xEF\xBB\xBF"), averages.constData());
  QVERIFY(averages.contains("text.txt"));
  QVERIFY(!QDir(Path(QStringLiteral("out"))).entryList({QStringLiteral("Serie*.csv")}).isEmpty());
  QCOMPARE(W<QProgressBar>("ProgressBar")->value(), W<QProgressBar>("ProgressBar")->maximum());
}

void TFormTavoraUXTest::furtherIndicesAreWrittenWhenChecked() {
  SetUpMeasuring(WriteFile(QStringLiteral("text.txt"), Words(60)));
  QVERIFY(!W("PanelIndices")->isVisible());
  Click("CheckBoxIndices");
  QVERIFY(W("PanelIndices")->isVisible());
  Check("CheckBoxIndexMTLDMA", false);
  // A later index and the variants below the list.
  Check("CheckBoxIndexUber", true);
  Type("EditMtldThreshold", QStringLiteral("0.7"));
  Choose("RadioGroupMtldRule", 1);
  Type("SpinEditHddSample", QStringLiteral("30"));
  Choose("RadioGroupLogBase", 1);
  Type("SpinEditSeed", QStringLiteral("7"));
  const TIndexVariants expected{0.7, TMtldRule::mrBelowMinTen, 30, TLogBase::lbDecimal, 7};
  QVERIFY(window_->Model().EncodeIndexVariants() == expected);
  QVERIFY(RunAndWait("ButtonProcess"));

  QCOMPARE(dialogs_->errors, QStringList());
  const QByteArray indices = ReadFile(QStringLiteral("out/IndicesWord.csv"));
  QVERIFY2(indices.startsWith("\xEF\xBB\xBF\"File Name\",\"Text id\",\"MTLD\",\"HD-D\","),
           indices.constData());
  QVERIFY(indices.contains("\"CTTR\",\"Uber U\"\r\n"));
  QVERIFY(indices.contains("text.txt"));
}

void TFormTavoraUXTest::missingEntriesAreNamedBesideTheStatusLine() {
  SetUpMeasuring(WriteFile(QStringLiteral("text.txt"), Words(60)));
  const QString missing = QDir::toNativeSeparators(Path(QStringLiteral("no-such-folder/")));
  window_->Model().AddInputLine(missing.toStdU16String());
  QVERIFY(RunAndWait("ButtonProcess"));

  // The run goes on with the entries that exist.
  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("Complete!")});
  QVERIFY(ReadFile(QStringLiteral("out/AveragesWord10.csv")).contains("text.txt"));
  QCOMPARE(window_->StatusText(), QStringLiteral("Waiting for your input"));
  QCOMPARE(window_->StatusWarning(), QStringLiteral("Skipped, does not exist: ") + missing);

  // A run whose entries all exist clears the warning.
  window_->Model().SetText(
      "MemoListOfTexts",
      QDir::toNativeSeparators(Path(QStringLiteral("text.txt"))).toStdU16String());
  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(window_->StatusWarning(), QString());
}

void TFormTavoraUXTest::fieldsPassTheirValuesAsTyped() {
  // Pasted text reaches the run unchanged: a no-break space is a character of its own.
  Choose("RGMode", 1);
  W<QPlainTextEdit>("MemoListOfTexts")->setPlainText(QStringLiteral("a\u00A0b c"));
  QCOMPARE(window_->Model().GetText("MemoListOfTexts"), std::u16string(u"a\u00A0b c"));
  // A number past the bound is typed in full and then clamped to the bound.
  Choose("RadioGroupWhatToDo", 0);
  Type("SpinEditWindowLength", QStringLiteral("2000000"));
  QCOMPARE(window_->Model().GetValue("SpinEditWindowLength"), 1000000);
  QCOMPARE(W<QSpinBox>("SpinEditWindowLength")->value(), 1000000);
  Type("SpinEditWindowLength", QStringLiteral("5"));
  QCOMPARE(window_->Model().GetValue("SpinEditWindowLength"), 5);
}

void TFormTavoraUXTest::missingListInAHiddenFieldIsPassedOver() {
  SetUpMeasuring(WriteFile(QStringLiteral("text.txt"), Words(60)));
  Click("CheckBoxCrossPerplexity");
  Type("EditWordDictionary", Path(QStringLiteral("no-such-list.tsv")));
  Click("CheckBoxCrossPerplexity");  // the list field is hidden again
  QVERIFY(!W("EditWordDictionary")->isVisible());
  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("Complete!")});

  // Shown, the same missing list stops the run with an error naming it.
  Click("CheckBoxCrossPerplexity");
  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(dialogs_->errors.size(), 1);
  QVERIFY(dialogs_->errors.front().contains(QStringLiteral("no-such-list.tsv")));
}

void TFormTavoraUXTest::statusLineDuringAndAfterARun() {
  SetUpMeasuring(WriteFile(QStringLiteral("text.txt"), Words(60)));
  QSignalSpy finished(window_.get(), &TFormTavoraUX::RunFinished);
  Click("ButtonProcess");
  // The run's end is handled by the event loop, which has not run yet.
  QVERIFY(window_->IsRunning());
  QCOMPARE(window_->StatusText(), QStringLiteral("Processing files: Phase 1"));
  QVERIFY(W("ButtonCancel")->isVisible());
  for (const char* control : {"ButtonProcess", "RGMode", "SpinEditWindowLength", "CheckBoxTypes",
                              "ButtonSelectOutputDirectory", "MemoListOfTexts"}) {
    QVERIFY2(!W(control)->isEnabled(), control);
  }
  // A tick a second; the phase goes up every 60 ticks.
  for (int i = 0; i < 59; ++i) window_->Timer1Timer();
  QCOMPARE(window_->StatusText(), QStringLiteral("Processing files: Phase 1"));
  window_->Timer1Timer();
  QCOMPARE(window_->StatusText(), QStringLiteral("Processing files: Phase 2"));

  QVERIFY(finished.wait(120000));
  QCOMPARE(window_->StatusText(), QStringLiteral("Waiting for your input"));
  QVERIFY(!W("ButtonCancel")->isVisible());
  QVERIFY(W("ButtonProcess")->isEnabled());

  // The next run starts again at phase 1.
  Click("ButtonProcess");
  QCOMPARE(window_->StatusText(), QStringLiteral("Processing files: Phase 1"));
  QVERIFY(finished.wait(120000));
  QCOMPARE(dialogs_->informations,
           (QStringList{QStringLiteral("Complete!"), QStringLiteral("Complete!")}));
}

void TFormTavoraUXTest::frequencyListRunThenMeasuringUsesTheCachedList() {
  const QString input = WriteFile(QStringLiteral("corpus.txt"), Words(60));
  const QString listFile = QDir::toNativeSeparators(Path(QStringLiteral("words.tsv")));
  Choose("RGMode", 0);
  dialogs_->openFilesAnswers << QStringList{input};
  Click("ButtonOpenFiles");
  Choose("RGInputType", 0);
  Choose("RadioGroupWhatToDo", 1);
  Type("EditWordDictionary", listFile);
  QVERIFY(RunAndWait("ButtonCreateReference"));
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("Complete!")});
  QVERIFY(ReadFile(QStringLiteral("words.tsv")).contains("cat\t"));
  const TReferenceDictionary* built =
      window_->ReferenceDictionaries().Find(listFile.toStdU16String());
  QVERIFY(built != nullptr);
  QVERIFY(built->Find(u"cat") != nullptr);

  // The saved copy changes on disk; the measuring run must use the list in memory.
  WriteFile(QStringLiteral("words.tsv"), "zebra\t99\r\n");
  Choose("RadioGroupWhatToDo", 0);
  Click("CheckBoxCrossPerplexity");
  QCOMPARE(W<QLineEdit>("EditWordDictionary")->text(), listFile);
  Type("SpinEditWindowLength", QStringLiteral("10"));
  dialogs_->directoryAnswers << QDir::toNativeSeparators(Path(QStringLiteral("out")));
  Click("ButtonSelectOutputDirectory");
  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->informations.size(), 2);
  QCOMPARE(window_->ReferenceDictionaries().Size(), std::size_t{1});
  const TReferenceDictionary* used =
      window_->ReferenceDictionaries().Find(listFile.toStdU16String());
  QCOMPARE(used, built);
  QVERIFY(used->Find(u"zebra") == nullptr);
  QVERIFY(ReadFile(QStringLiteral("out/AveragesWord10.csv")).contains("Cross Perplexity"));

  // Even without the file on disk the cached list serves.
  QVERIFY(QFile::remove(Path(QStringLiteral("words.tsv"))));
  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->informations.size(), 3);
}

// Files and folders dropped on the file list, as the platform delivers a drop: to the
// window, at the place of the list. The pasted text waits for paste mode.
void TFormTavoraUXTest::droppingThreeFilesAppendsThemAsLines() {
  Choose("RGMode", 1);
  W<QPlainTextEdit>("MemoListOfTexts")->insertPlainText(QStringLiteral("pasted words"));
  QDir(dir_->path()).mkdir(QStringLiteral("folder"));
  QList<QUrl> urls;
  QStringList names;
  for (const char* file : {"one.txt", "folder", "three.txt"}) {
    urls << QUrl::fromLocalFile(Path(QString::fromLatin1(file)));
    names << QDir::toNativeSeparators(Path(QString::fromLatin1(file)));
  }
  QMimeData mime;
  mime.setUrls(urls);
  QWidget* list = W("MemoListOfTexts");
  const QPointF at = list->mapTo(window_.get(), list->rect().center());
  QWindow* platform = window_->windowHandle();
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(platform, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(platform, &drop);
  QVERIFY(drop.isAccepted());

  QCOMPARE(window_->Model().GetItemIndex("RGMode"), 0);
  QVERIFY(window_->Widgets().RadioButton("RGMode", 0)->isChecked());
  QVERIFY(W("PanelInputType")->isVisible());
  QCOMPARE(W<QPlainTextEdit>("MemoListOfTexts")->toPlainText(), names.join(QLatin1Char('\n')));
  Choose("RGMode", 1);
  QCOMPARE(W<QPlainTextEdit>("MemoListOfTexts")->toPlainText(), QStringLiteral("pasted words"));
}

void TFormTavoraUXTest::pastedTextIsReadAsPlainText_data() {
  QTest::addColumn<int>("task");
  QTest::newRow("measuring") << 0;
  QTest::newRow("frequency list") << 1;
}

void TFormTavoraUXTest::pastedTextIsReadAsPlainText() {
  QFETCH(int, task);
  // Standard vertical chosen first; lemmata measured there.
  Choose("RGMode", 0);
  Choose("RGInputType", 3);
  Check("CheckBoxLemmata", true);
  Choose("RGMode", 1);
  QVERIFY(!W("CheckBoxLemmata")->isEnabled());
  // Read as plain text, every field of these vertical lines is a word.
  W<QPlainTextEdit>("MemoListOfTexts")
      ->insertPlainText(QStringLiteral("Dogs\tkennel\tNNS\nran\trun\tVVD\n") +
                        QString::fromLatin1(Words(30)));
  Choose("RadioGroupWhatToDo", task);
  if (task == 0) {
    Type("SpinEditWindowLength", QStringLiteral("10"));
    dialogs_->directoryAnswers << QDir::toNativeSeparators(Path(QStringLiteral("out")));
    Click("ButtonSelectOutputDirectory");
    QVERIFY(RunAndWait("ButtonProcess"));
  } else {
    Type("EditWordDictionary", QDir::toNativeSeparators(Path(QStringLiteral("words.tsv"))));
    QVERIFY(RunAndWait("ButtonCreateReference"));
  }
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("Complete!")});
  QCOMPARE(window_->Model().GetItemIndex("RGInputType"), 0);
  QVERIFY(!W<QCheckBox>("CheckBoxLemmata")->isChecked());
  if (task == 0) {
    QVERIFY(ReadFile(QStringLiteral("out/AveragesWord10.csv")).size() > 0);
    QVERIFY(!QFile::exists(Path(QStringLiteral("out/AveragesLemma10.csv"))));
  } else {
    const QByteArray list = ReadFile(QStringLiteral("words.tsv"));
    QVERIFY2(list.contains("\nkennel\t1") && list.contains("\nnns\t1"), list.constData());
  }
}

void TFormTavoraUXTest::failingRunShowsTheErrorAndNotComplete_data() {
  QTest::addColumn<QString>("outputFolder");  // relative to the temporary folder
  QTest::addColumn<QString>("wordList");      // empty: no cross measure
  QTest::addColumn<QString>("hillsQ");
  QTest::addColumn<QString>("errorContains");
  QTest::newRow("output folder under a file") << "blocker/out"
                                              << ""
                                              << "3"
                                              << "Unable to create directory";
  QTest::newRow("output folder in use by another run")
      << "busy"
      << ""
      << "3"
      << "is in use by another run of Tavora (process ";
  QTest::newRow("list file that does not exist") << "out"
                                                 << "missing.tsv"
                                                 << "3"
                                                 << "missing.tsv\": the file does not exist.";
  QTest::newRow("empty Hill's Q") << "out"
                                  << ""
                                  << ""
                                  << "'' is not a valid floating point value";
}

void TFormTavoraUXTest::failingRunShowsTheErrorAndNotComplete() {
  QFETCH(QString, outputFolder);
  QFETCH(QString, wordList);
  QFETCH(QString, hillsQ);
  QFETCH(QString, errorContains);
  WriteFile(QStringLiteral("blocker"), "a file, not a folder");
  QDir(dir_->path()).mkdir(QStringLiteral("busy"));
  const TFolderLock busy(Path(QStringLiteral("busy")).toStdU16String());  // another run's
  SetUpMeasuring(WriteFile(QStringLiteral("text.txt"), Words(60)));
  dialogs_->directoryAnswers << QDir::toNativeSeparators(Path(outputFolder));
  Click("ButtonSelectOutputDirectory");
  if (!wordList.isEmpty()) {
    Click("CheckBoxCrossPerplexity");
    Type("EditWordDictionary", QDir::toNativeSeparators(Path(wordList)));
  }
  Click("CheckBoxOtherMetrics");
  Click("CheckBoxHillsContinuum");
  Type("EditHillsQ", hillsQ);

  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(dialogs_->informations, QStringList());
  QCOMPARE(dialogs_->errors.size(), 1);
  QVERIFY2(dialogs_->errors.front().contains(errorContains), qPrintable(dialogs_->errors.front()));
  QCOMPARE(window_->StatusText(), QStringLiteral("Waiting for your input"));
  QCOMPARE(W<QProgressBar>("ProgressBar")->value(), 0);
  // Nothing was measured, and every option keeps its value.
  QVERIFY(!QFile::exists(Path(QStringLiteral("out/AveragesWord10.csv"))));
  QCOMPARE(W<QLineEdit>("EditOutputDirectory")->text(),
           QDir::toNativeSeparators(Path(outputFolder)));
  QCOMPARE(W<QLineEdit>("EditHillsQ")->text(), hillsQ);
  QCOMPARE(window_->Model().GetValue("SpinEditWindowLength"), 10);
  QVERIFY(W<QCheckBox>("CheckBoxHillsContinuum")->isChecked());
  QVERIFY(W("ButtonProcess")->isEnabled());
}

void TFormTavoraUXTest::cancelEndsTheRunAsCancelled() {
  // Large enough that the run is still reading when "Cancel" is pressed.
  SetUpMeasuring(WriteFile(QStringLiteral("big.txt"), Words(1500000)));
  QSignalSpy finished(window_.get(), &TFormTavoraUX::RunFinished);
  Click("ButtonProcess");
  QVERIFY(W("ButtonCancel")->isVisible());
  Click("ButtonCancel");
  QVERIFY(finished.wait(120000));
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("The run was cancelled.")});
  QCOMPARE(window_->StatusText(), QStringLiteral("Waiting for your input"));
  QCOMPARE(W<QProgressBar>("ProgressBar")->value(), 0);
  QVERIFY(!W("ButtonCancel")->isVisible());
  QVERIFY(!QFile::exists(Path(QStringLiteral("out/AveragesWord10.csv"))));
}

void TFormTavoraUXTest::closingTheWindowDuringARunStopsIt() {
  SetUpMeasuring(WriteFile(QStringLiteral("big.txt"), Words(1500000)));
  Click("ButtonProcess");
  QVERIFY(window_->IsRunning());
  QVERIFY(window_->close());
  QVERIFY(!window_->IsRunning());
  window_.reset();  // no run outlives the window
  QCOMPARE(dialogs_->informations, QStringList());
  QCOMPARE(dialogs_->errors, QStringList());
}

// A measuring run opens the results tab; the series chart follows the choice of measure and
// documents, and both charts export at the size shown.
void TFormTavoraUXTest::resultsViewShowsAndExportsTheCharts() {
  const QString first = WriteFile(QStringLiteral("first.txt"), Words(80));
  const QString second = WriteFile(QStringLiteral("second \"quoted\".txt"), Words(120));
  SetUpMeasuring(first);
  dialogs_->openFilesAnswers << QStringList{second};
  Click("ButtonOpenFiles");
  Check("CheckBoxOutputSeries", true);
  Check("CheckBoxOutputDistributions", true);
  Check("CheckBoxOutputAverages", true);
  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(dialogs_->errors, QStringList());

  TResultsView& view = window_->Results();
  QCOMPARE(W<QTabWidget>("TabsMain")->currentWidget(), &view);
  QCOMPARE(QDir::fromNativeSeparators(view.Folder()),
           QDir::fromNativeSeparators(Path(QStringLiteral("out"))));
  QTRY_VERIFY(!view.IsLoading());
  QTRY_COMPARE(view.SeriesChart()->Curves().size(), std::size_t{1});
  QVERIFY(view.SeriesChart()->PointsDrawn() > 0);

  // Another measure.
  auto* measure = W<QComboBox>("ComboMeasure");
  QVERIFY(measure->count() >= 2);
  measure->setCurrentIndex(0);
  QCOMPARE(view.SeriesChart()->title(),
           QStringLiteral("Tokens: 1. first.txt, word forms, window 10"));

  // The second document instead of the first, then both.
  auto* docs = W<QListWidget>("ListDocuments");
  QCOMPARE(docs->count(), 2);
  QVERIFY(docs->item(1)->text().contains(QStringLiteral("second \"quoted\".txt")));
  QSignalSpy shown(&view, &TResultsView::SeriesShown);
  docs->item(0)->setCheckState(Qt::Unchecked);
  docs->item(1)->setCheckState(Qt::Checked);
  QTRY_VERIFY(!view.IsLoading());
  QTRY_COMPARE(view.SeriesChart()->Curves().size(), std::size_t{1});
  QCOMPARE(view.SeriesChart()->Curves()[0].Name,
           QStringLiteral("2. second \"quoted\".txt, word forms"));
  QVERIFY(std::isfinite(view.SeriesChart()->Curves()[0].Average));
  docs->item(0)->setCheckState(Qt::Checked);
  QTRY_COMPARE(view.SeriesChart()->Curves().size(), std::size_t{2});

  // Exports at the size shown.
  const QSize size = view.SeriesView()->size();
  dialogs_->fileAnswers << Path(QStringLiteral("series.png")) << Path(QStringLiteral("series.svg"));
  Click("ButtonSaveSeriesChart");
  Click("ButtonSaveSeriesChart");
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(dialogs_->suggestedChartNames, (QStringList{QStringLiteral("tokens-doc1+2-w10.png"),
                                                       QStringLiteral("tokens-doc1+2-w10.png")}));
  QCOMPARE(QImage(Path(QStringLiteral("series.png"))).size(), size);
  const QByteArray svg = ReadFile(QStringLiteral("series.svg"));
  QVERIFY2(
      svg.contains(
          QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(size.width()).arg(size.height()).toLatin1()),
      svg.left(400).constData());

  // The distribution of the whole run, then of one document, and its export.
  W<QTabWidget>("TabsResults")->setCurrentIndex(1);
  auto* blocks = W<QComboBox>("ComboDistributionDocument");
  QCOMPARE(blocks->count(), 3);
  QCOMPARE(blocks->currentText(), QStringLiteral("TOTAL"));
  QVERIFY(view.DistributionChart()->BarCount() > 0);
  blocks->setCurrentIndex(0);
  QVERIFY(view.DistributionChart()->title().contains(
      QStringLiteral("first.txt (text 1), word forms, window 10")));
  dialogs_->fileAnswers << Path(QStringLiteral("distribution"));
  Click("ButtonSaveDistributionChart");
  QVERIFY(dialogs_->suggestedChartNames.last().endsWith(QStringLiteral("-doc1-w10.png")));
  QCOMPARE(QImage(Path(QStringLiteral("distribution.png"))).size(),
           view.DistributionView()->size());

  // The averages: one row per document, sortable, copied as tab-separated text.
  W<QTabWidget>("TabsResults")->setCurrentIndex(2);
  auto* table = W<QTableWidget>("TableResults");
  QCOMPARE(table->rowCount(), 2);
  table->sortByColumn(1, Qt::DescendingOrder);
  const QStringList lines = view.TableText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  QCOMPARE(lines.size(), 3);
  QVERIFY(lines[0].startsWith(QStringLiteral("File Name\tText id\t")));
  QVERIFY(lines[1].contains(QStringLiteral("second \"quoted\".txt\t2\t")));
}

void TFormTavoraUXTest::resultsListDocumentsByIdAndShortOnesWithoutAChart() {
  QByteArray vertical = "<doc id=\"long-one\">\n";
  for (const QByteArray& word : Words(30).split(' '))
    if (!word.trimmed().isEmpty()) vertical += word.trimmed() + "\t" + word.trimmed() + "\tNN1\n";
  vertical += "<doc id=\"short-one\">\na\ta\tAT0\ncat\tcat\tNN1\nsat\tsit\tVVD\n";
  SetUpMeasuring(WriteFile(QStringLiteral("two.vert"), vertical));
  Choose("RGInputType", 3);
  Check("CheckBoxOutputSeries", true);
  Check("CheckBoxOutputTotalValues", true);
  Check("CheckBoxDocumentIds", true);
  QVERIFY(RunAndWait("ButtonProcess"));
  QCOMPARE(dialogs_->errors, QStringList());
  QVERIFY(ReadFile(QStringLiteral("out/AveragesWord10.csv")).contains("\"short-one\",\"NaN\""));

  TResultsView& view = window_->Results();
  QTRY_VERIFY(!view.IsLoading());
  auto* docs = W<QListWidget>("ListDocuments");
  QCOMPARE(docs->count(), 2);
  QCOMPARE(docs->item(0)->text(), QStringLiteral("1. long-one"));
  QCOMPARE(docs->item(0)->checkState(), Qt::Checked);
  QCOMPARE(docs->item(1)->text(),
           QStringLiteral("2. short-one \u2014 shorter than the window (3 tokens)"));
  QVERIFY(!(docs->item(1)->flags() & Qt::ItemIsUserCheckable));
  QTRY_COMPARE(view.SeriesChart()->Curves().size(), std::size_t{1});
}

void TFormTavoraUXTest::showResultsOpensAFolderWithoutResults() {
  dialogs_->directoryAnswers << dir_->path();
  Click("ButtonShowResults");
  QCOMPARE(dialogs_->errors.size(), 1);
  QVERIFY(dialogs_->errors[0].contains(QStringLiteral("holds no result files")));
  QVERIFY(window_->Results().SeriesChart()->Curves().empty());
}

void TFormTavoraUXTest::longSeriesLoadInTheBackgroundAndDrawDecimated() {
  QDir(dir_->path()).mkdir(QStringLiteral("long"));
  QByteArray serie("\xEF\xBB\xBF\"Window id\",\"Tokens\",\"Types\"\r\n");
  const int windows = 200000;
  for (int i = 1; i <= windows; ++i)
    serie += "\"" + QByteArray::number(i) + "\",\"50\",\"" +
             QByteArray::number(20 + (i * 7919) % 31) + "\"\r\n";
  WriteFile(QStringLiteral("long/Serie1Word50.csv"), serie);
  // A distribution of 1000 intervals, drawn with three intervals a bar.
  QByteArray labels;
  QByteArray counts;
  for (int i = -500; i < 500; ++i) {
    labels += QByteArray::number(i) + ",";
    counts += "1,";
  }
  WriteFile(QStringLiteral("long/DistributionWord_Types50.csv"),
            "\xEF\xBB\xBF\"TOTAL\"\r\n" + labels + "\r\n" + counts + "\r\n");

  TResultsView& view = window_->Results();
  QSignalSpy loading(&view, &TResultsView::LoadingChanged);
  QSignalSpy progress(&view, &TResultsView::LoadProgress);
  dialogs_->directoryAnswers << Path(QStringLiteral("long"));
  Click("ButtonShowResults");
  QCOMPARE(W<QTabWidget>("TabsMain")->currentWidget(), &view);
  QTRY_VERIFY_WITH_TIMEOUT(!view.IsLoading(), 60000);
  QTRY_COMPARE(view.SeriesChart()->Curves().size(), std::size_t{1});
  QCOMPARE(dialogs_->errors, QStringList());
  QCOMPARE(loading.size(), 2);
  QVERIFY(loading[0][0].toBool());
  QVERIFY(!loading[1][0].toBool());
  QVERIFY(!progress.isEmpty());
  QCOMPARE(progress.last()[0].toInt(), 1000);
  QCOMPARE(W<QProgressBar>("ProgressBar")->value(), W<QProgressBar>("ProgressBar")->maximum());

  // At most the lowest and highest value of every pixel column, also after zooming in.
  TSeriesChart* chart = view.SeriesChart();
  QVERIFY(chart->PointsDrawn() <= 2 * chart->PixelColumns() + 2);
  QVERIFY(chart->PointsDrawn() >= chart->PixelColumns());
  chart->ZoomX(100.0, windows / 2.0);
  QVERIFY(chart->PointsDrawn() <= 2 * chart->PixelColumns() + 2);
  chart->ZoomX(100.0, windows / 2.0);  // about 20 windows: every one drawn
  QVERIFY(chart->PointsDrawn() < 40);
  QVERIFY(chart->PointsDrawn() >= 20);

  QCOMPARE(view.DistributionChart()->BarCount(), 334);
}

}  // namespace tavora

QTEST_MAIN(tavora::TFormTavoraUXTest)
#include "TFormTavoraUX_test.moc"
