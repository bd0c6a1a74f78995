#include "options/RunCheck.h"

#include <algorithm>

#include "options/ControlNames.h"
#include "options/TOptionsModel.h"

namespace tavora {

namespace {

bool IsBlank(const std::u16string& text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
  });
}

}  // namespace

std::vector<TRunProblem> CheckRun(const TOptionsModel& Model, TRunTask Task) {
  std::vector<TRunProblem> problems;
  const int mode = Model.GetItemIndex(ctl::RGMode);
  if (mode < 0) {
    problems.push_back({std::string(ctl::RGMode), "Choose where the texts come from."});
  } else if (IsBlank(Model.GetText(ctl::MemoListOfTexts))) {
    problems.push_back({std::string(ctl::MemoListOfTexts),
                        mode == 0 ? "The list is empty: add the files or folders to read."
                                  : "Nothing is pasted: paste the text to read here."});
  }
  const bool words = Model.IsChecked(ctl::CheckBoxWordForms);
  const bool lemmata = Model.IsChecked(ctl::CheckBoxLemmata);
  if (!words && !lemmata) {
    problems.push_back(
        {std::string(ctl::CheckBoxWordForms), "Choose word forms, lemmata or both."});
  }
  if (Task == TRunTask::Measuring) {
    if (IsBlank(Model.GetText(ctl::EditOutputDirectory))) {
      problems.push_back(
          {std::string(ctl::EditOutputDirectory), "Choose the folder for the result files."});
    }
    return problems;
  }
  if (words && Model.GetText(ctl::EditWordDictionary).empty()) {
    problems.push_back({std::string(ctl::EditWordDictionary),
                        "Name the file for the frequency list of word forms."});
  }
  if (lemmata && Model.GetText(ctl::EditLemmaDictionary).empty()) {
    problems.push_back({std::string(ctl::EditLemmaDictionary),
                        "Name the file for the frequency list of lemmata."});
  }
  return problems;
}

}  // namespace tavora
