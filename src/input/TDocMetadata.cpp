#include "input/TDocMetadata.h"

#include <algorithm>

#include "base/Trim.h"

namespace tavora {
namespace {

char16_t AsciiLower(char16_t c) noexcept { return (c >= u'A' && c <= u'Z') ? c + 32 : c; }

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) noexcept {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return AsciiLower(x) == AsciiLower(y); });
}

// Names of the attributes of a header line such as <doc id="a1" title="Spring">: the text before
// each quoted value, from the first space on, with "=" turned into spaces and trimmed.
void GatherNames(std::u16string_view raw, std::vector<std::u16string>& names) {
  const std::size_t space = raw.find(u' ');
  std::u16string_view rest = space == std::u16string_view::npos ? raw : raw.substr(space);
  bool collecting = true;
  std::u16string name;
  for (const char16_t c : rest) {
    if (collecting) {
      if (c == u'"') {
        std::replace(name.begin(), name.end(), u'=', u' ');
        names.emplace_back(TrimControl(name));
        name.clear();
        collecting = false;
      } else {
        name.push_back(c);
      }
    } else if (c == u'"') {
      collecting = true;
    }
  }
}

void GatherValues(std::u16string_view raw, std::vector<std::u16string>& values) {
  bool inside = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != u'"') continue;
    if (inside) {
      values.emplace_back(TrimControl(raw.substr(start, i - start)));
    } else {
      start = i + 1;
    }
    inside = !inside;
  }
}

// "# newdoc id = X" gives X; a marker line without an id gives empty text.
std::u16string ConlluDocumentId(std::u16string_view raw) {
  constexpr std::u16string_view kMarker = u"# newdoc";
  if (!raw.starts_with(kMarker)) return {};
  std::u16string_view rest = TrimControl(raw.substr(kMarker.size()));
  if (!rest.starts_with(u"id")) return {};
  rest = TrimControl(rest.substr(2));
  if (!rest.starts_with(u'=')) return {};
  return std::u16string(TrimControl(rest.substr(1)));
}

}  // namespace

void TDocMetadata::SetRaw(std::u16string_view raw) {
  aRaw.assign(raw);
  aIsParsed = false;
}

const std::vector<std::u16string>& TDocMetadata::GetParsed() {
  if (aIsParsed) return aParsed;
  switch (InputFormat(How).Header) {
    case TDocumentHeader::Attributes:
      // Names are gathered from every header, so that they always match its values even when
      // documents carry different attributes.
      aHeader.clear();
      GatherNames(aRaw, aHeader);
      aParsed.clear();
      GatherValues(aRaw, aParsed);
      break;
    case TDocumentHeader::NewdocId:
      if (aHeader.empty()) aHeader.emplace_back(u"ID");
      aParsed.clear();
      aParsed.push_back(ConlluDocumentId(aRaw));
      break;
    case TDocumentHeader::None:
      break;
  }
  aIsParsed = true;
  return aParsed;
}

const std::vector<std::u16string>& TDocMetadata::GetHeader() {
  (void)GetParsed();
  return aHeader;
}

std::u16string TDocMetadata::Find(std::u16string_view headerItem) {
  const auto& values = GetParsed();
  for (std::size_t i = 0; i < aHeader.size(); ++i) {
    if (EqualsIgnoringCase(aHeader[i], headerItem)) {
      return i < values.size() ? values[i] : std::u16string();
    }
  }
  return {};
}

}  // namespace tavora
