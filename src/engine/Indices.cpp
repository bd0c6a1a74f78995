#include "engine/Indices.h"

namespace tavora {

namespace {

constexpr std::array<std::u16string_view, kIndexCount> kCaptions = {
    u"MTLD",         u"MTLD-MA",     u"HD-D",        u"MSTTR",
    u"Yule's K",     u"Yule's I",    u"Simpson's D", u"Herdan's Vm",
    u"Maas a\u00B2", u"Dugast U",    u"Summer S",    u"CTTR",
    u"MTLD-MA wrap", u"MTLD-MA bid", u"vocd-D",      u"vocd-D (3 trials)",
    u"Maas lgV0",    u"Maas lgeV0",  u"Uber U",
};

constexpr std::array<std::string_view, kIndexCount> kNames = {
    "mtld",      "mtld-ma",  "hdd",    "msttr",  "yule-k", "yule-i",       "simpson-d",
    "herdan-vm", "maas",     "dugast", "summer", "cttr",   "mtld-ma-wrap", "mtld-ma-bid",
    "vocd-d",    "vocd-d-3", "lgv0",   "lgev0",  "uber",
};

constexpr std::array<int, kIndexCount> kDigits = {2, 4, 4, 4, 2, 4, 4, 4, 4, 2,
                                                  4, 2, 4, 4, 2, 2, 4, 4, 2};

}  // namespace

std::string_view IndexName(tIndex i) { return kNames[static_cast<std::size_t>(i)]; }

std::u16string_view IndexCaption(tIndex i) { return kCaptions[static_cast<std::size_t>(i)]; }

int IndexDigits(tIndex i) { return kDigits[static_cast<std::size_t>(i)]; }

}  // namespace tavora
