#pragma once

#include <string_view>

#include "engine/Measures.h"
#include "processing/TTokenPipeline.h"

namespace tavora {

// The token filter of a run. Word forms come lowered by the pipeline, so a kept word is
// handed on as views into its batch.
class TTokenFilter {
 public:
  TTokenFilter(bool omitPunctuation, bool omitDigits)
      : omitPunctuation_(omitPunctuation), omitDigits_(omitDigits) {}
  [[nodiscard]] bool Keeps(const TTokenBatch::TWord& token) const {
    return !(omitPunctuation_ && token.IsPunctuation) && !(omitDigits_ && token.IsDigit);
  }
  // The text of one kind of a batch's word.
  [[nodiscard]] static std::u16string_view TextOf(const TTokenBatch& batch,
                                                  const TTokenBatch::TWord& token,
                                                  tWordOrLemma kind) {
    return kind == tWordOrLemma::tokWord ? batch.Word(token) : batch.Lemma(token);
  }
  // The type-table hash of that text, for word i of the batch.
  [[nodiscard]] static const TTypeIndex::THashed& HashOf(const TTokenBatch& batch, std::size_t i,
                                                         tWordOrLemma kind) {
    return kind == tWordOrLemma::tokWord ? batch.WordHash(i) : batch.LemmaHash(i);
  }

 private:
  bool omitPunctuation_;
  bool omitDigits_;
};

}  // namespace tavora
