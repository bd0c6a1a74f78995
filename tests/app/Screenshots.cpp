// Saves pictures of the main window in its two tasks and, given the output folder of a
// run over the sample corpus, its series and distribution charts, for the user guide:
//   tavora_screenshots <folder> [<results folder>]
// Run with QT_QPA_PLATFORM=offscreen; docs/make-screenshots.sh does it all.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QThread>

#include "app/FakeDialogs.h"
#include "app/TFormTavoraUX.h"
#include "app/TOptionWidgets.h"
#include "app/TResultsView.h"
#include "charts/TChartView.h"

namespace {

void Click(tavora::TFormTavoraUX& window, const char* name) {
  window.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
}

void Choose(tavora::TFormTavoraUX& window, const char* group, int index) {
  window.Widgets().RadioButton(group, index)->click();
}

bool Save(tavora::TFormTavoraUX& window, const QDir& folder, const QString& name) {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  return window.grab().save(folder.filePath(name));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  tavora::FakeDialogs dialogs;
  bool saved = true;

  {
    tavora::TFormTavoraUX window(dialogs);
    window.resize(1440, 860);
    window.show();
    saved = Save(window, folder, QStringLiteral("start.png")) && saved;

    Choose(window, "RGMode", 0);
    window.Model().AddInputLine(u"C:\\Corpora\\novels");
    window.Model().AddInputLine(u"C:\\Corpora\\essays\\essay1.conllu");
    Choose(window, "RGInputType", 6);
    Click(window, "CheckBoxLemmata");
    Choose(window, "RadioGroupWhatToDo", 0);
    Click(window, "CheckBoxCrossPerplexity");
    Click(window, "CheckBoxOtherMetrics");
    Click(window, "CheckBoxHapax");
    Click(window, "CheckBoxEntropy");
    Click(window, "CheckBoxHillsContinuum");
    window.Model().SetText("EditWordDictionary", u"C:\\Lists\\forms.tsv");
    window.Model().SetText("EditLemmaDictionary", u"C:\\Lists\\lemmata.tsv");
    window.Model().SetText("EditOutputDirectory", u"C:\\Results\\novels");
    Click(window, "CheckBoxOutputSeries");
    saved = Save(window, folder, QStringLiteral("measuring.png")) && saved;
    // The smallest size the window is made for: the panes scroll, the run row stays.
    Click(window, "CheckBoxLegacyMetrics");
    Click(window, "CheckBoxIndices");
    window.resize(1024, 700);
    saved = Save(window, folder, QStringLiteral("measuring-1024x700.png")) && saved;
  }
  {
    tavora::TFormTavoraUX window(dialogs);
    window.resize(1440, 860);
    window.show();
    Choose(window, "RGMode", 0);
    window.Model().AddInputLine(u"C:\\Corpora\\reference");
    Choose(window, "RGInputType", 3);
    Click(window, "CheckBoxLemmata");
    Choose(window, "RadioGroupWhatToDo", 1);
    window.Model().SetText("EditWordDictionary", u"C:\\Lists\\forms.tsv");
    window.Model().SetText("EditLemmaDictionary", u"C:\\Lists\\lemmata.tsv");
    saved = Save(window, folder, QStringLiteral("frequency-list.png")) && saved;
  }
  if (argc > 2) {
    tavora::TResultsView view(dialogs);
    view.resize(1280, 720);
    view.show();
    view.OpenFolder(QString::fromLocal8Bit(argv[2]));
    auto settle = [&view] {
      do {
        QApplication::processEvents();
        QThread::msleep(10);
      } while (view.IsLoading());
      for (int i = 0; i < 5; ++i) QApplication::processEvents();
    };
    settle();
    auto* measure = view.findChild<QComboBox*>(QStringLiteral("ComboMeasure"));
    measure->setCurrentIndex(measure->findText(QStringLiteral("Perplexity")));
    auto* docs = view.findChild<QListWidget*>(QStringLiteral("ListDocuments"));
    for (int i = 0; i < docs->count(); ++i) docs->item(i)->setCheckState(Qt::Checked);
    settle();
    view.SeriesView()->SaveImage(folder.filePath(QStringLiteral("series-chart.png")));
    view.findChild<QTabWidget*>(QStringLiteral("TabsResults"))->setCurrentIndex(1);
    auto* dist = view.findChild<QComboBox*>(QStringLiteral("ComboDistribution"));
    dist->setCurrentIndex(dist->findText(QStringLiteral("Perplexity"), Qt::MatchStartsWith));
    settle();
    view.DistributionView()->SaveImage(folder.filePath(QStringLiteral("distribution-chart.png")));
  }
  return saved ? 0 : 1;
}
