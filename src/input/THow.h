#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavora {

// The input format of a token stream.
enum class THow : std::uint8_t {
  JStandard,        // plain text, cut into words by the character classes
  JLines,           // one word per line
  JWhiteSpaces,     // words delimited by white space
  jSYN,             // standard vertical (tab-separated columns, "<doc " headers)
  jCOCA,            // COCA vertical ("##" document markers)
  jCustomVertical,  // vertical with user-chosen columns and marker
  jCONLLU,          // CoNLL-U
  jBNC              // BNC XML
};

inline constexpr std::size_t kHowCount = 8;

// Captions under which the window offers the formats, in enumeration order.
inline constexpr std::array<std::u16string_view, kHowCount> kHowCaptions = {
    u"Plain text (UTF-8)",
    u"Words delimited by new lines (UTF-8)",
    u"Words delimited by white spaces (UTF-8)",
    u"Standard vertical (UTF-8)",
    u"COCA vertical (UTF-8)",
    u"Custom vertical (UTF-8)",
    u"CoNLL-U (UTF-8)",
    u"BNC xml (UTF-8)",
};

[[nodiscard]] constexpr std::u16string_view HowCaption(THow how) noexcept {
  return kHowCaptions[static_cast<std::size_t>(how)];
}

}  // namespace tavora
