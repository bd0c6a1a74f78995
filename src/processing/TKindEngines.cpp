#include "processing/TKindEngines.h"

#include "engine/TIndices.h"
#include "engine/TSimpleTTR.h"
#include "processing/TTokenFilter.h"
#include "processing/TTokenPipeline.h"

namespace tavora {

TKindEngines::TKindEngines() = default;
TKindEngines::TKindEngines(TKindEngines&&) noexcept = default;
TKindEngines& TKindEngines::operator=(TKindEngines&&) noexcept = default;
TKindEngines::~TKindEngines() = default;

void TKindEngines::Clear() {
  for (const auto& engine : Engines) engine->Clear();
  for (const auto& index : Indices) index->Clear();
}

void TKindEngines::Feed(const TTokenBatch& batch, std::size_t i, bool autosemantic) {
  const TTokenBatch::TWord& token = batch[i];
  for (std::size_t k = 0; k < Engines.size(); ++k) {
    const std::u16string_view text = TTokenFilter::TextOf(batch, token, Kinds[k]);
    const TTypeIndex::THashed& hashed = TTokenFilter::HashOf(batch, i, Kinds[k]);
    Engines[k]->AddToken(text, autosemantic, &hashed);
    if (!Indices.empty()) Indices[k]->AddToken(text, &hashed);
  }
}

}  // namespace tavora
