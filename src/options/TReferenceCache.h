#pragma once

// Reference frequency lists kept for the life of a front end, keyed by the text of the
// list field exactly as typed (case-sensitive, no path normalisation): a list file is
// read at most once per program start, and lists built by a frequency-list run are
// reused from memory under the names they were saved under.
//
// Not synchronised: one thread at a time (the front end runs one run at a time and
// touches the cache only from that run or while idle).

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "processing/RunOptions.h"
#include "processing/TProcessTexts.h"

namespace tavora {

class TReferenceDictionary;

class TReferenceCache {
 public:
  TReferenceCache();
  ~TReferenceCache();
  TReferenceCache(const TReferenceCache&) = delete;
  TReferenceCache& operator=(const TReferenceCache&) = delete;

  // The list cached under Name, or nullptr.
  [[nodiscard]] const TReferenceDictionary* Find(std::u16string_view Name) const;

  // The list cached under Name; on the first use of Name it is loaded from the file that
  // Name names and cached. Throws std::runtime_error naming the file when it does not
  // exist (a measurement against an empty list would silently give wrong values), and
  // the loader's error when it cannot be read. Nothing is cached on failure.
  const TReferenceDictionary& Obtain(const std::u16string& Name);

  // The lists of a measuring run: each non-empty name is obtained; an empty name leaves
  // its slot null. Every name is checked to exist before any list is loaded.
  [[nodiscard]] TReferenceDictionaryPair Resolve(const TWordOrLemmaNames& Names);

  // Caches List under Name, replacing (and freeing) an earlier entry of that name. Call
  // only while no run borrows the list replaced.
  void Put(std::u16string Name, std::unique_ptr<TReferenceDictionary> List);

  // The lists of a frequency-list run, each under the name of its kind; null slots are
  // skipped.
  void Store(TPreparedDictionaries Lists, const TWordOrLemmaNames& Names);

  [[nodiscard]] std::size_t Size() const noexcept { return lists_.size(); }

 private:
  std::map<std::u16string, std::unique_ptr<TReferenceDictionary>, std::less<>> lists_;
};

}  // namespace tavora
