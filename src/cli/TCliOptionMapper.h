#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/TCliChoices.h"
#include "processing/RunOptions.h"

namespace tavora {

class TOptionsModel;

// Turns the command line's choices into run parameters through the window's option model:
// it sets the same controls a user of the window would set, in the window's order, and
// reads the parameters back from the model, so the window and the command line give the
// same values from the same choices. What the window cannot express is set afterwards:
// a window length below the window's bound of 10, the measures that have no check box,
// and standard input, which is read like a file in the chosen format and encoding (the
// window reads pasted text as plain text only).
//
// The input field stays as the model has it: the caller puts the input paths, one per
// line, into InputFile once the files are checked, as the window passes its input field on
// unchanged.
//
// Options that the window would ignore because their field is hidden or disabled (the
// custom columns with another format, a list of a kind not measured, tag prefixes or a rule
// for a format without tags, --ud with another format than CoNLL-U) are ignored the same
// way, each with one line in Warnings().
//
// Throws TUsageError with a one-line message for a choice that cannot be honoured.
class TCliOptionMapper {
 public:
  // Model: the program's one option model, fresh; the mapper sets it for one task.
  TCliOptionMapper(const TCliChoices& Choices, TOptionsModel& Model)
      : choices_(Choices), model_(Model) {}

  [[nodiscard]] TMeasureParameters MeasureParameters();
  [[nodiscard]] TDictionaryParameters DictionaryParameters();

  // One line per option given but ignored, in the order met (without "warning: ").
  [[nodiscard]] const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  // Text source, format, columns, case, omissions, kinds, and the task.
  void SetShared(int Task);
  // The measures asked for; sets their boxes and opens the panels that hold them.
  void SetMeasures(TMeasureSet& Basic, tMeasureSecondarySet& Secondary);
  // The result families and indices asked for, and where they go; sets their boxes.
  void SetOutputs(TOutputTypeSet& Outputs, TIndexSet& Indices);
  // --database and --replace are ignored without the database.
  void IgnoreDatabaseOptions(bool Database);
  // The database's file and whether it is replaced, which the window does not choose.
  void SetDatabase(TResultDestinations& Destinations) const;
  // The variants of the indices' definitions, checked; sets their fields when the indices
  // family is chosen (call after SetOutputs).
  [[nodiscard]] TIndexVariants SetIndexVariants();
  [[nodiscard]] TWordOrLemmaSet RequestedKinds() const;
  [[nodiscard]] int FormatIndex() const;
  // The reference or frequency list options that name a kind not measured are ignored.
  void IgnoreListsOfOtherKinds(TWordOrLemmaSet Kinds);
  // The rule of content words and the tag prefixes (measuring only).
  void SetAutosemanticRule(int Format);
  void Ignore(std::string_view Option, std::string_view Why);

  const TCliChoices& choices_;
  TOptionsModel& model_;
  std::vector<std::string> warnings_;
  bool wordListIgnored_ = false;
  bool lemmaListIgnored_ = false;
};

}  // namespace tavora
