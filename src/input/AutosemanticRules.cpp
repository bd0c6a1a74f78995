#include "input/AutosemanticRules.h"

namespace tavora {

std::vector<std::u16string> SplitTagPrefixes(std::u16string_view Text) {
  std::vector<std::u16string> prefixes;
  if (Text.empty()) return prefixes;
  for (std::size_t start = 0;;) {
    const std::size_t bar = Text.find(u'|', start);
    prefixes.emplace_back(Text.substr(start, bar == std::u16string_view::npos ? bar : bar - start));
    if (bar == std::u16string_view::npos) break;
    start = bar + 1;
  }
  return prefixes;
}

bool IsAutosemanticTag(TAutosemanticRule Rule, std::u16string_view Tag, std::u16string_view Lemma,
                       const std::vector<std::u16string>& Prefixes) {
  switch (Rule) {
    case TAutosemanticRule::None:
      return false;
    case TAutosemanticRule::Builtin:
      if (Tag.size() == 3) {
        return Tag.starts_with(u"AJ") || Tag.starts_with(u"NN") || Tag.starts_with(u"VV") ||
               Tag == u"AV0";
      }
      if (Tag.size() > 3) {
        if (Lemma == u"být" || Lemma == u"mít") return false;
        const char16_t first = Tag.front();
        return first == u'A' || first == u'N' || first == u'V' || first == u'D';
      }
      return false;
    case TAutosemanticRule::Prefixes:
      for (const std::u16string& prefix : Prefixes)
        if (Tag.starts_with(prefix)) return true;
      return false;
    case TAutosemanticRule::Upos:
      return Tag == u"NOUN" || Tag == u"PROPN" || Tag == u"VERB" || Tag == u"ADJ" || Tag == u"ADV";
  }
  return false;
}

}  // namespace tavora
