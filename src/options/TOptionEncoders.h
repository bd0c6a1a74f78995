#pragma once

// The run parameters as the option controls' state gives them: each encoder reads the checked
// state, item or text of its own controls only. TOptionsModel hands them to the front ends.

#include <string>
#include <string_view>

#include "input/THow.h"
#include "options/TOptionControls.h"
#include "processing/RunOptions.h"

namespace tavora {

class TOptionEncoders {
 public:
  // Reads Controls, which must outlive the encoders.
  explicit TOptionEncoders(const TOptionControls& Controls) : c_(Controls) {}

  [[nodiscard]] TWordOrLemmaSet EncodeWoL() const;
  [[nodiscard]] TMeasureSet EncodeMetrics() const;
  [[nodiscard]] tMeasureSecondarySet EncodeMetricsSecondary() const;
  [[nodiscard]] TOutputTypeSet EncodeOutputTypes() const;
  [[nodiscard]] TIndexSet EncodeIndices() const;
  // The variants of the indices' definitions; the defaults while CheckBoxIndices is
  // unchecked. Throws EConvertError for an unreadable MTLD threshold.
  [[nodiscard]] TIndexVariants EncodeIndexVariants() const;
  // An MTLD threshold as typed: a decimal number from 0.000001 to 0.999999 (the indices
  // take it to 6 decimals).
  // Throws EConvertError naming the text otherwise.
  [[nodiscard]] static double ReadMtldThreshold(std::u16string_view Text);
  // Fills a record that the caller has cleared.
  void EncodeCustomVertcal(TCustomVertical& Custom) const;

  // The corpus options of either run (the writing ones matter to measuring runs only).
  [[nodiscard]] TCorpusOptions EncodeCorpusOptions() const;

  [[nodiscard]] TWordOrLemmaNames GetReferenceFileNames() const;
  // Throws EConvertError for an unreadable Hill's Q or one out of its range (0 to
  // kMaxHillsQ), and for an unreadable MTLD threshold.
  [[nodiscard]] TMeasureParameters GetMeasureParameters() const;
  [[nodiscard]] TDictionaryParameters GetDictionaryParameters() const;

 private:
  [[nodiscard]] bool Checked(std::string_view Name) const { return c_[Name].Checked; }
  [[nodiscard]] int Index(std::string_view Name) const { return c_[Name].ItemIndex; }
  [[nodiscard]] const std::u16string& Text(std::string_view Name) const { return c_[Name].Text; }
  // An integer field's value, within its bounds.
  [[nodiscard]] int Value(std::string_view Name) const;
  [[nodiscard]] THow How() const;
  // The encoding of input files, as typed; empty for pasted text.
  [[nodiscard]] std::string Encoding() const;

  const TOptionControls& c_;
};

}  // namespace tavora
