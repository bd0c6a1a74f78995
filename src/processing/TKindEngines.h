#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/Measures.h"

namespace tavora {

class TIndices;
class TSimpleTTR;
class TTokenBatch;

// The engines and indices of a measurement, one of each per kind measured, in the order of
// the run's kinds.
struct TKindEngines {
  std::vector<tWordOrLemma> Kinds;
  std::vector<std::unique_ptr<TSimpleTTR>> Engines;
  std::vector<std::unique_ptr<TIndices>> Indices;  // empty without the indices

  TKindEngines();
  TKindEngines(TKindEngines&&) noexcept;
  TKindEngines& operator=(TKindEngines&&) noexcept;
  ~TKindEngines();

  // Starts a new document in every engine and index.
  void Clear();
  // Feeds word i of the batch (kept by the filters), each kind's text with the hash the batch
  // holds for it.
  void Feed(const TTokenBatch& batch, std::size_t i, bool autosemantic);
};

}  // namespace tavora
