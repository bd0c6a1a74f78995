#pragma once

#include <string_view>

#include "cli/TCliChoices.h"
#include "processing/RunOptions.h"

namespace tavora {

class TOptionsModel;

// Turns the command line's choices into run parameters through the window's option model:
// it sets the same controls a user of the window would set, in the window's order, and
// reads the parameters back from the model, so the window and the command line give the
// same values from the same choices. What the window cannot express is set afterwards:
// a window length below the window's bound of 10, the measures that have no check box,
// and the input format of text read from standard input (the window reads pasted text as
// plain text only).
//
// The input field stays as the model has it: the caller puts the input (the paths, one per
// line, or the text of standard input) into InputFile once the files are checked, as the
// window passes its input field on unchanged.
//
// Throws TUsageError with a one-line message for a choice that cannot be honoured.
class TCliOptionMapper {
 public:
  // Model: the program's one option model, fresh; the mapper sets it for one task.
  TCliOptionMapper(const TCliChoices& Choices, TOptionsModel& Model)
      : choices_(Choices), model_(Model) {}

  [[nodiscard]] TMeasureParameters MeasureParameters();
  [[nodiscard]] TDictionaryParameters DictionaryParameters();

 private:
  // Text source, format, columns, case, omissions, kinds, and the task.
  void SetShared(int Task);
  // The measures asked for; sets their boxes and opens the panels that hold them.
  void SetMeasures(TMeasureSet& Basic, tMeasureSecondarySet& Secondary);
  // The result families and indices asked for; sets their boxes.
  void SetOutputs(TOutputTypeSet& Outputs, TIndexSet& Indices);
  // The variants of the indices' definitions, checked; sets their fields when the indices
  // family is chosen (call after SetOutputs).
  [[nodiscard]] TIndexVariants SetIndexVariants();
  [[nodiscard]] TWordOrLemmaSet RequestedKinds() const;
  [[nodiscard]] int FormatIndex() const;
  void CheckListsMatchKinds(TWordOrLemmaSet Kinds) const;

  const TCliChoices& choices_;
  TOptionsModel& model_;
};

}  // namespace tavora
