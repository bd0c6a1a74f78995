// Arbitrary bytes through both table loaders in each encoding: they either both reject the
// file, leaving the table as it was, or both give the same rows.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "FuzzFile.h"
#include "input/TTable.h"

namespace {

std::optional<std::vector<tavora::TArrayOfStrings>> Load(tavora::TTableEncoding encoding,
                                                         char16_t separator,
                                                         const std::filesystem::path& path,
                                                         bool large) {
  tavora::TTable table(encoding, separator);
  table.ParseRow(0, u"kept");
  try {
    large ? table.LoadFromLargeFile(path) : table.LoadFromFile(path);
  } catch (const std::runtime_error&) {
    if (table.Count() != 1 || table.GetA(0, 0) != u"kept") __builtin_trap();
    return std::nullopt;
  }
  std::vector<tavora::TArrayOfStrings> rows;
  for (std::uint64_t i = 0; i < table.Count(); ++i) rows.push_back(table.GetRow(i));
  (void)table.SumColInt(0);
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& path = tavora::fuzz::WriteScratch(data, size);
  for (const auto encoding : {tavora::TTableEncoding::teUTF8, tavora::TTableEncoding::teUTF16LE,
                              tavora::TTableEncoding::teUTF16BE}) {
    for (const char16_t separator : {u'\t', u','}) {
      if (Load(encoding, separator, path, false) != Load(encoding, separator, path, true))
        __builtin_trap();
    }
  }
  return 0;
}
