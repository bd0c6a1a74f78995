#pragma once

// The rules that say whether a tagged token is autosemantic (a content word).

#include <string>
#include <string_view>
#include <vector>

#include "input/THow.h"

namespace tavora {

// Splits Text at every "|" into tag prefixes; empty pieces stay (an empty prefix matches
// every tag), an empty text gives none.
[[nodiscard]] std::vector<std::u16string> SplitTagPrefixes(std::u16string_view Text);

// Whether a token with this tag and lemma (empty when lemmata are not measured) is
// autosemantic by Rule; TAutosemanticRule::Prefixes matches Prefixes, and
// TAutosemanticRule::Upos takes Tag for the token's universal part of speech.
[[nodiscard]] bool IsAutosemanticTag(TAutosemanticRule Rule, std::u16string_view Tag,
                                     std::u16string_view Lemma,
                                     const std::vector<std::u16string>& Prefixes);

}  // namespace tavora
