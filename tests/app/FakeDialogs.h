#pragma once

// Dialogs that answer from queues and record every message shown.

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "app/IDialogs.h"

namespace tavora {

class FakeDialogs final : public IDialogs {
 public:
  QStringList informations;
  QStringList errors;
  QList<QStringList> openFilesAnswers;
  QList<std::optional<QString>> directoryAnswers;
  QList<std::optional<QString>> fileAnswers;
  QList<bool> fileDialogsForSaving;  // one entry per SelectFile call
  QStringList suggestedChartNames;   // one entry per SaveChartFile call; answered by fileAnswers
  QStringList foldersShown;

  void Information(QWidget*, const QString& text) override { informations << text; }
  void Error(QWidget*, const QString& text) override { errors << text; }
  QStringList OpenFiles(QWidget*) override {
    return openFilesAnswers.isEmpty() ? QStringList() : openFilesAnswers.takeFirst();
  }
  std::optional<QString> SelectDirectory(QWidget*) override {
    return directoryAnswers.isEmpty() ? std::nullopt : directoryAnswers.takeFirst();
  }
  std::optional<QString> SelectFile(QWidget*, bool ForSaving) override {
    fileDialogsForSaving << ForSaving;
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
  }
  std::optional<QString> SaveChartFile(QWidget*, const QString& SuggestedName) override {
    suggestedChartNames << SuggestedName;
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
  }
  void ShowFolder(const QString& Folder) override { foldersShown << Folder; }
};

}  // namespace tavora
