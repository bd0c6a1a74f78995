#include "options/TReferenceCache.h"

#include <filesystem>
#include <stdexcept>
#include <utility>

#include "base/Paths.h"
#include "engine/TReferenceDictionary.h"

namespace tavora {

namespace {

void RequireFile(const std::u16string& Name) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::path(Name), ec)) {
    throw std::runtime_error("Cannot open the frequency list " +
                             QuotedPath(std::filesystem::path(Name)) +
                             ": the file does not exist.");
  }
}

}  // namespace

TReferenceCache::TReferenceCache() = default;
TReferenceCache::~TReferenceCache() = default;

const TReferenceDictionary* TReferenceCache::Find(std::u16string_view Name) const {
  const auto it = lists_.find(Name);
  return it == lists_.end() ? nullptr : it->second.get();
}

const TReferenceDictionary& TReferenceCache::Obtain(const std::u16string& Name) {
  if (const TReferenceDictionary* cached = Find(Name)) return *cached;
  RequireFile(Name);
  auto list = std::make_unique<TReferenceDictionary>();
  list->Load(std::filesystem::path(Name));
  list->ShouldSurvive = true;
  const TReferenceDictionary& loaded = *list;
  lists_.emplace(Name, std::move(list));
  return loaded;
}

TReferenceDictionaryPair TReferenceCache::Resolve(const TWordOrLemmaNames& Names) {
  for (const std::u16string& name : Names.Names) {
    if (!name.empty() && Find(name) == nullptr) RequireFile(name);
  }
  TReferenceDictionaryPair pair;
  for (std::size_t k = 0; k < Names.Names.size(); ++k) {
    if (!Names.Names[k].empty()) pair.Lists[k] = &Obtain(Names.Names[k]);
  }
  return pair;
}

void TReferenceCache::Put(std::u16string Name, std::unique_ptr<TReferenceDictionary> List) {
  if (!List) throw std::invalid_argument("TReferenceCache::Put: no list given");
  List->ShouldSurvive = true;
  lists_.insert_or_assign(std::move(Name), std::move(List));
}

void TReferenceCache::Store(TPreparedDictionaries Lists, const TWordOrLemmaNames& Names) {
  for (std::size_t k = 0; k < Lists.size(); ++k) {
    if (Lists[k]) Put(Names.Names[k], std::move(Lists[k]));
  }
}

}  // namespace tavora
