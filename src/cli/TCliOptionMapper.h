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
// Throws TUsageError with a one-line message for a choice that cannot be honoured.
class TCliOptionMapper {
 public:
  explicit TCliOptionMapper(const TCliChoices& Choices) : choices_(Choices) {}

  // InputText: the input paths, one per line, or the text itself when the input is
  // standard input.
  [[nodiscard]] TMeasureParameters MeasureParameters(std::u16string_view InputText) const;
  [[nodiscard]] TDictionaryParameters DictionaryParameters(std::u16string_view InputText) const;

 private:
  // Text source, input, format, columns, case, omissions, kinds, and the task (W).
  void SetShared(TOptionsModel& Model, std::u16string_view InputText, int Task) const;
  [[nodiscard]] TWordOrLemmaSet RequestedKinds() const;
  [[nodiscard]] int FormatIndex() const;
  void CheckListsMatchKinds(TWordOrLemmaSet Kinds) const;

  const TCliChoices& choices_;
};

}  // namespace tavora
