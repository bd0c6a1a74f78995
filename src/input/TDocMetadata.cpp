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

// The text after the marker up to the first blank: "##4001 text" gives "4001".
std::u16string TextAfterMarker(std::u16string_view raw, std::u16string_view marker) {
  if (!raw.starts_with(marker)) return {};
  std::u16string_view rest = TrimControl(raw.substr(marker.size()));
  std::size_t end = 0;
  while (end < rest.size() && rest[end] > u' ') ++end;
  return std::u16string(rest.substr(0, end));
}

// The value of attribute `name` (such as xml:id) in a start tag, or nothing.
std::u16string_view AttributeValue(std::u16string_view tag, std::u16string_view name) {
  for (std::size_t at = tag.find(name); at != std::u16string_view::npos;
       at = tag.find(name, at + 1)) {
    const bool startsName = at > 0 && (tag[at - 1] <= u' ');
    std::size_t p = at + name.size();
    while (p < tag.size() && tag[p] <= u' ') ++p;
    if (!startsName || p >= tag.size() || tag[p] != u'=') continue;
    ++p;
    while (p < tag.size() && tag[p] <= u' ') ++p;
    if (p >= tag.size() || (tag[p] != u'"' && tag[p] != u'\'')) continue;
    const std::size_t close = tag.find(tag[p], p + 1);
    if (close == std::u16string_view::npos) return {};
    return tag.substr(p + 1, close - p - 1);
  }
  return {};
}

}  // namespace

std::u16string TDocMetadata::GetDocumentId() {
  const TInputFormat& format = InputFormat(How);
  switch (format.Id) {
    case TDocumentId::None:
      return {};
    case TDocumentId::IdAttribute:
      return Find(u"id");
    case TDocumentId::NewdocId:
      return ConlluDocumentId(aRaw);
    case TDocumentId::MarkerText:
      return TextAfterMarker(aRaw, format.DocumentMarker);
    case TDocumentId::BncDocId:
      return fileDocumentId_;
  }
  return {};
}

void TDocMetadata::NoteSkippedMarkup(std::u16string_view markup) {
  const std::size_t start = markup.find(u"<bncDoc");
  if (start == std::u16string_view::npos) return;
  std::u16string_view tag = markup.substr(start);
  tag = tag.substr(0, tag.find(u'>'));
  std::u16string_view id = AttributeValue(tag, u"xml:id");
  if (id.empty()) id = AttributeValue(tag, u"id");
  fileDocumentId_.assign(TrimControl(id));
}

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
