#include "processing/Indices.h"

#include <stdexcept>

namespace tavora {

namespace {

constexpr std::array<std::u16string_view, kIndexCount> kCaptions = {
    u"MTLD",        u"MTLD-MA",     u"HD-D",         u"MSTTR",    u"Yule's K", u"Yule's I",
    u"Simpson's D", u"Herdan's Vm", u"Maas a\u00B2", u"Dugast U", u"Summer S", u"CTTR",
};

constexpr std::array<std::string_view, kIndexCount> kNames = {
    "mtld",      "mtld-ma",   "hdd",  "msttr",  "yule-k", "yule-i",
    "simpson-d", "herdan-vm", "maas", "dugast", "summer", "cttr",
};

constexpr std::array<int, kIndexCount> kDigits = {2, 4, 4, 4, 2, 4, 4, 4, 4, 2, 4, 2};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::u16string_view IndexCaption(tIndex i) { return kCaptions[static_cast<std::size_t>(i)]; }

std::string_view IndexName(tIndex i) { return kNames[static_cast<std::size_t>(i)]; }

int IndexDigits(tIndex i) { return kDigits[static_cast<std::size_t>(i)]; }

std::optional<tIndex> FindIndex(std::string_view Name) {
  for (std::size_t i = 0; i < kIndexCount; ++i) {
    if (kNames[i] == Name) return static_cast<tIndex>(i);
  }
  return std::nullopt;
}

TIndexSet ParseIndexList(std::string_view List) {
  TIndexSet set;
  for (std::size_t start = 0;;) {
    const std::size_t comma = List.find(',', start);
    const std::string_view name =
        Trim(List.substr(start, comma == std::string_view::npos ? comma : comma - start));
    const std::optional<tIndex> index = FindIndex(name);
    if (!index) {
      std::string message = "Unknown index '" + std::string(name) + "' (known indices: ";
      for (std::size_t i = 0; i < kIndexCount; ++i) {
        if (i > 0) message += ", ";
        message += kNames[i];
      }
      message += ")";
      throw std::invalid_argument(message);
    }
    set.Include(*index);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return set;
}

}  // namespace tavora
