// The window as a newcomer meets it: refused runs, the run summary, the layout at 1024x700,
// the keyboard, kept settings, names and explanations of the controls, the folder dialog, the
// message boxes and the results' lists and charts.

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QValueAxis>

#include "app/TFolderDialog.h"
#include "app/TQtDialogs.h"
#include "app/TResultsView.h"
#include "app/TRunSummary.h"
#include "app/WindowDriver.h"
#include "charts/TDistributionChart.h"
#include "charts/TSeriesChart.h"
#include "options/ControlNames.h"

namespace tavora {

class TWindowUXTest : public TWindowDriver {
  Q_OBJECT

 private slots:
  void init() { Open(); }
  void cleanup() { Close(); }

  void runsThatCouldDoNothingAreRefused();
  void summarySaysWhatTheRunDid();
  void runRowAndEveryControlStayReachableAt1024x700();
  void settingsComeBackOnlyOnRequest();
  void keysStartInTheFileListRunAndCancel();
  void everyControlHasANameAndEveryMeasureAnExplanation();
  void distributionAxisHasAFewRoundTicks();
  void folderDialogTakesANewFolderAfterAsking();
  void messageBoxesAreCentredOnTheScreen();
  void longDocumentListsGetAFilterAndChartsSayWhatTheyShow();

 private:
  QString Problem(const char* control) const { return window_->Widgets().Problem(control); }
  QAction* Action(const char* name) const {
    return window_->findChild<QAction*>(QString::fromLatin1(name));
  }
};

void TWindowUXTest::runsThatCouldDoNothingAreRefused() {
  Choose("RGMode", 0);
  Choose("RGInputType", 0);
  Choose("RadioGroupWhatToDo", 0);
  Click("ButtonProcess");
  QVERIFY(!window_->IsRunning());
  QCOMPARE(dialogs_->informations + dialogs_->errors, QStringList());
  QVERIFY(Problem("MemoListOfTexts").contains(QStringLiteral("list is empty")));
  QVERIFY(Problem("EditOutputDirectory").contains(QStringLiteral("folder for the result files")));
  QVERIFY(window_->StatusWarning().startsWith(QStringLiteral("Nothing was run.")));
  // The message stands right below its field, and goes when the field changes.
  auto* message = W(qPrintable(QStringLiteral("ProblemEditOutputDirectory")));
  QVERIFY(message->isVisible());
  QVERIFY(message->mapTo(window_.get(), QPoint()).y() >
          W("EditOutputDirectory")->mapTo(window_.get(), QPoint()).y());
  Type("EditOutputDirectory", Path(QStringLiteral("out")));
  QCOMPARE(Problem("EditOutputDirectory"), QString());

  // A frequency list needs a file to go to; pasted text must be there.
  Choose("RadioGroupWhatToDo", 1);
  dialogs_->openFilesAnswers << QStringList{WriteFile(QStringLiteral("a.txt"), Words(20))};
  Click("ButtonOpenFiles");
  Click("ButtonCreateReference");
  QVERIFY(!window_->IsRunning());
  QCOMPARE(Problem("MemoListOfTexts"), QString());
  QVERIFY(Problem("EditWordDictionary").contains(QStringLiteral("word forms")));
  Choose("RGMode", 1);
  Click("ButtonCreateReference");
  QVERIFY(Problem("MemoListOfTexts").contains(QStringLiteral("Nothing is pasted")));
  QCOMPARE(dialogs_->informations + dialogs_->errors, QStringList());
}

void TWindowUXTest::summarySaysWhatTheRunDid() {
  SetUpMeasuring(WriteFile(QStringLiteral("long.txt"), Words(60)));
  dialogs_->openFilesAnswers << QStringList{WriteFile(QStringLiteral("short.txt"), Words(5))};
  Click("ButtonOpenFiles");
  const QString missing = QDir::toNativeSeparators(Path(QStringLiteral("gone.txt")));
  window_->Model().AddInputLine(missing.toStdU16String());
  QVERIFY(!window_->Summary().isVisible());
  QVERIFY(RunAndWait("ButtonProcess"));

  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("Complete!")});
  TRunSummary& summary = window_->Summary();
  QVERIFY(summary.isVisible());
  const QStringList lines = summary.Text().split(QLatin1Char('\n'));
  QCOMPARE(lines.size(), 3);
  QVERIFY2(lines[0].startsWith(QStringLiteral("Files read: 2. Documents: 2. Tokens: ")) &&
               lines[0].contains(QStringLiteral(". Time: ")),
           qPrintable(lines[0]));
  QCOMPARE(lines[1], QStringLiteral("Documents shorter than the window of 10 tokens: 1."));
  QCOMPARE(lines[2], QStringLiteral("Skipped, does not exist: \"%1\".").arg(missing));

  Click("ButtonOpenOutputFolder");
  QCOMPARE(dialogs_->foldersShown,
           QStringList{QDir::toNativeSeparators(Path(QStringLiteral("out")))});
  auto* tabs = W<QTabWidget>("TabsMain");
  tabs->setCurrentIndex(0);
  Click("ButtonShowRunResults");
  QCOMPARE(tabs->currentWidget(), &window_->Results());
  QCOMPARE(W<QProgressBar>("ProgressBar")->value(), W<QProgressBar>("ProgressBar")->maximum());
}

void TWindowUXTest::runRowAndEveryControlStayReachableAt1024x700() {
  window_->resize(1024, 700);
  Choose("RGMode", 0);
  Choose("RGInputType", 5);
  Click("CheckBoxColumnLemmata");
  Click("CheckBoxCollumnTags");
  Choose("RadioGroupWhatToDo", 0);
  for (const char* box : {"CheckBoxCrossPerplexity", "CheckBoxOtherMetrics",
                          "CheckBoxHillsContinuum", "CheckBoxLegacyMetrics", "CheckBoxIndices"})
    Click(box);
  QTest::qWait(50);
  QCOMPARE(window_->size(), QSize(1024, 700));
  const QRect inside = window_->rect();
  for (const char* name : {"ButtonProcess", "ButtonShowResults", "ProgressBar"}) {
    QWidget* w = W(name);
    QVERIFY2(w->isVisible(), name);
    QVERIFY2(inside.contains(QRect(w->mapTo(window_.get(), QPoint()), w->size())), name);
  }
  // Every button, box and label of the options can be scrolled into full view.
  for (QScrollArea* column : window_->findChildren<QScrollArea*>()) {
    QList<QWidget*> atoms;
    for (QAbstractButton* b : column->widget()->findChildren<QAbstractButton*>()) atoms << b;
    for (QLabel* l : column->widget()->findChildren<QLabel*>()) atoms << l;
    for (QWidget* w : atoms) {
      if (!w->isVisible()) continue;
      column->ensureWidgetVisible(w, 0, 0);
      const QRect shown(w->mapTo(column->viewport(), QPoint()), w->size());
      QVERIFY2(column->viewport()->rect().contains(shown), qPrintable(w->objectName()));
    }
  }
}

void TWindowUXTest::settingsComeBackOnlyOnRequest() {
  Choose("RGMode", 0);
  Choose("RGInputType", 3);
  Check("CheckBoxLemmata", true);
  Choose("RadioGroupWhatToDo", 0);
  Type("SpinEditWindowLength", QStringLiteral("50"));
  Click("CheckBoxOtherMetrics");
  Click("CheckBoxEntropy");
  Type("EditOutputDirectory", QStringLiteral("results"));
  window_->resize(1100, 760);
  QVERIFY(window_->close());  // keeps the settings

  window_ = std::make_unique<TFormTavoraUX>(*dialogs_);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  const TOptionsModel& m = window_->Model();
  // A start begins from the start values.
  QCOMPARE(m.GetItemIndex("RGInputType"), -1);
  QCOMPARE(m.GetValue("SpinEditWindowLength"), 200);
  QVERIFY(!m.IsChecked("CheckBoxEntropy"));
  QVERIFY(m.GetText("EditOutputDirectory").empty());

  Action("ActionRestoreSettings")->trigger();
  QCOMPARE(m.GetItemIndex("RGMode"), 0);
  QCOMPARE(m.GetItemIndex("RGInputType"), 3);
  QVERIFY(m.IsChecked("CheckBoxLemmata"));
  QCOMPARE(m.GetValue("SpinEditWindowLength"), 50);
  QVERIFY(m.IsChecked("CheckBoxEntropy"));
  QVERIFY(W("CheckBoxEntropy")->isVisible());
  QCOMPARE(W<QLineEdit>("EditOutputDirectory")->text(), QStringLiteral("results"));
  QCOMPARE(window_->size(), QSize(1100, 760));

  Action("ActionResetSettings")->trigger();
  QCOMPARE(m.GetItemIndex("RGInputType"), -1);
  QCOMPARE(m.GetValue("SpinEditWindowLength"), 200);
  QVERIFY(!W("PanelMetrics")->isVisible());
}

void TWindowUXTest::keysStartInTheFileListRunAndCancel() {
  QApplication::setActiveWindow(window_.get());
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  Choose("RGMode", 0);
  QTRY_COMPARE(QApplication::focusWidget(), W("MemoListOfTexts"));
  SetUpMeasuring(WriteFile(QStringLiteral("text.txt"), Words(60)));
  // A radio group is one stop: a few Tabs from the list reach the run button (56 did
  // before the groups became single stops).
  W("MemoListOfTexts")->setFocus();
  int tabs = 0;
  while (QApplication::focusWidget() != W("ButtonProcess") && tabs < 100) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ++tabs;
  }
  QVERIFY2(tabs <= 30, qPrintable(QString::number(tabs)));

  QSignalSpy finished(window_.get(), &TFormTavoraUX::RunFinished);
  QTest::keyClick(window_.get(), Qt::Key_R, Qt::ControlModifier);
  QVERIFY(window_->IsRunning());
  QVERIFY(finished.wait(120000));
  QCOMPARE(dialogs_->informations, QStringList{QStringLiteral("Complete!")});

  window_->Model().SetText("MemoListOfTexts",
                           WriteFile(QStringLiteral("big.txt"), Words(1500000)).toStdU16String());
  QTest::keyClick(W("MemoListOfTexts"), Qt::Key_Return, Qt::ControlModifier);
  QVERIFY(window_->IsRunning());
  QTest::keyClick(window_.get(), Qt::Key_Escape);
  QVERIFY(finished.wait(120000));
  QCOMPARE(dialogs_->informations.last(), QStringLiteral("The run was cancelled."));
}

void TWindowUXTest::everyControlHasANameAndEveryMeasureAnExplanation() {
  auto name = [](QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a == nullptr ? QString() : a->text(QAccessible::Name);
  };
  for (const TControl& c : window_->Model().Controls()) {
    if (c.Kind == TControlKind::Panel) continue;
    QVERIFY2(!name(window_->Widgets().Widget(c.Name)).isEmpty(), c.Name.c_str());
    if (c.Kind != TControlKind::RadioGroup) continue;
    for (std::size_t i = 0; i < c.Items.size(); ++i)
      QVERIFY(!name(window_->Widgets().RadioButton(c.Name, static_cast<int>(i))).isEmpty());
  }
  for (const char* own :
       {"ButtonCancel", "ButtonShowResults", "ProgressBar", "RunSummaryText",
        "ButtonOpenOutputFolder", "ButtonOpenResults", "ListDocuments", "ComboMeasure",
        "ComboSeriesSet", "ComboDistribution", "ComboTable", "ChartSeries", "ChartDistribution"})
    QVERIFY2(!name(W(own)).isEmpty(), own);

  std::vector<std::string_view> boxes(kMeasureBoxes.begin(), kMeasureBoxes.end());
  boxes.insert(boxes.end(), kMeasureSecondaryBoxes.begin(), kMeasureSecondaryBoxes.end());
  boxes.insert(boxes.end(), kIndexBoxes.begin(), kIndexBoxes.end());
  for (const std::string_view box : boxes) {
    if (box.empty()) continue;
    const QString tip = window_->Widgets().Widget(box)->toolTip();
    for (const char* part : {"\nFormula: ", "\nRange: ", "\nSource: "})
      QVERIFY2(tip.contains(QLatin1String(part)), std::string(box).c_str());
  }
  QVERIFY(W("CheckBoxReferenceContains")->toolTip().contains(QStringLiteral("own counts")));
}

void TWindowUXTest::distributionAxisHasAFewRoundTicks() {
  for (const int intervals : {3, 1000}) {
    TDistributionBlock block;
    block.Name = u"TOTAL";
    for (int i = 0; i < intervals; ++i) {
      block.LabelValues.push_back((i - intervals / 2) / 100.0);
      block.Labels.push_back(std::to_string(block.LabelValues.back()));
      block.Counts.push_back(static_cast<std::uint64_t>(1 + i % 7));
    }
    TDistributionChart chart;
    chart.SetBlock(QStringLiteral("TTR"), block);
    QValueAxis* axis = chart.AxisX();
    QVERIFY(axis != nullptr);
    QVERIFY2(axis->tickCount() >= 3 && axis->tickCount() <= 12,
             qPrintable(QString::number(axis->tickCount())));
    QVERIFY(axis->min() <= block.LabelValues.front());
    QVERIFY(axis->max() >= block.LabelValues.back());
  }
}

void TWindowUXTest::folderDialogTakesANewFolderAfterAsking() {
  QStringList asked;
  bool answer = false;
  TFolderDialog dialog(
      window_.get(),
      [&](const QString& folder) {
        asked << folder;
        return answer;
      },
      [](const QString& message) { QFAIL(qPrintable(message)); });
  dialog.setDirectory(dir_->path());
  const QString wanted = Path(QStringLiteral("new/inner"));
  dialog.selectFile(wanted);
  dialog.accept();  // the user says no: nothing is made, the dialog stays
  QCOMPARE(asked, QStringList{QDir::toNativeSeparators(wanted)});
  QVERIFY(!QDir(wanted).exists());
  QCOMPARE(dialog.result(), int(QDialog::Rejected));

  answer = true;
  dialog.accept();
  QVERIFY(QDir(wanted).exists());
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QCOMPARE(dialog.Folder(), QDir::toNativeSeparators(wanted));
}

void TWindowUXTest::messageBoxesAreCentredOnTheScreen() {
  window_->setGeometry(0, 0, 500, 400);
  TScreenCentredBox box(QMessageBox::Information, QStringLiteral("Complete!"), QMessageBox::Ok,
                        window_.get());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  const QPoint centre = window_->screen()->availableGeometry().center();
  QVERIFY2((box.frameGeometry().center() - centre).manhattanLength() <= 4,
           qPrintable(QStringLiteral("%1,%2")
                          .arg(box.frameGeometry().center().x())
                          .arg(box.frameGeometry().center().y())));
}

void TWindowUXTest::longDocumentListsGetAFilterAndChartsSayWhatTheyShow() {
  QDir(dir_->path()).mkdir(QStringLiteral("many"));
  QByteArray averages("\xEF\xBB\xBF\"File Name\",\"Text id\",\"Tokens\",\"Hills Continuum\"\r\n");
  for (int n = 1; n <= TResultsView::kFilterFrom; ++n) {
    const QByteArray id = QByteArray::number(n);
    WriteFile(QStringLiteral("many/Serie%1Word10.csv").arg(n),
              "\xEF\xBB\xBF\"Window id\",\"Tokens\",\"Hills Continuum\"\r\n\"1\",\"10\",\"3.5\"\r\n"
              "\"2\",\"10\",\"4.5\"\r\n");
    averages += "\"corpus/doc" + id + ".txt\",\"" + id + "\",\"10.0\",\"4.0\"\r\n";
  }
  WriteFile(QStringLiteral("many/AveragesWord10.csv"), averages);
  TResultsView& view = window_->Results();
  view.SetHillsQ(3.0);
  view.OpenFolder(Path(QStringLiteral("many")));
  QTRY_VERIFY(!view.IsLoading());

  auto* list = W<QListWidget>("ListDocuments");
  QCOMPARE(list->count(), TResultsView::kFilterFrom);
  QCOMPARE(list->item(0)->text(), QStringLiteral("1. doc1.txt"));
  QVERIFY(!W("FilterDocuments")->isHidden());
  QTest::keyClicks(W("FilterDocuments"), QStringLiteral("doc29"));
  int shown = 0;
  for (int i = 0; i < list->count(); ++i) shown += list->item(i)->isHidden() ? 0 : 1;
  QCOMPARE(shown, 11);  // doc29 and doc290 to doc299

  auto* measure = W<QComboBox>("ComboMeasure");
  QCOMPARE(measure->currentText(),
           QStringLiteral("Hills Continuum \u2014 Hill's continuum, Q = 3"));
  QTRY_COMPARE(view.SeriesChart()->title(),
               QStringLiteral("Hills Continuum, Q = 3: 1. doc1.txt, word forms, window 10"));
  dialogs_->fileAnswers << std::nullopt;
  Click("ButtonSaveSeriesChart");
  QCOMPARE(dialogs_->suggestedChartNames, QStringList{QStringLiteral("hill-doc1-w10.png")});
}

}  // namespace tavora

QTEST_MAIN(tavora::TWindowUXTest)
#include "WindowUX_test.moc"
