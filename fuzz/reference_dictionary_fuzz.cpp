// Arbitrary bytes as a reference-list file: Load never fails on content, and whatever it loaded
// survives Save and Load again with the same counts.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "engine/TReferenceDictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& path = tavora::fuzz::WriteScratch(data, size);
  tavora::TReferenceDictionary list;
  list.Load(path);
  if (!list.IsLoaded) __builtin_trap();

  const std::size_t left = list.Save(path);
  tavora::TReferenceDictionary again;
  again.Load(path);
  if (again.Size() + left != list.Size()) __builtin_trap();
  for (const auto& [type, count] : again) {
    const tavora::TCount* before = list.Find(type);
    if (before == nullptr || before->Count != count.Count) __builtin_trap();
  }
  return 0;
}
