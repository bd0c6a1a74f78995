#include "input/TToken.h"

#include <algorithm>

#include "base/Trim.h"
#include "input/Letters.h"

namespace tavora {
namespace {

void SplitAtTabs(std::u16string_view raw, std::vector<std::u16string_view>& out) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = raw.find(u'\t', start);
    if (tab == std::u16string_view::npos) {
      // A tab at the very end adds no empty last value.
      if (start < raw.size() || start == 0) out.push_back(raw.substr(start));
      return;
    }
    out.push_back(raw.substr(start, tab - start));
    start = tab + 1;
  }
}

// Attribute values and element text of one BNC element (without its opening "<").
void ScanBnc(std::u16string_view raw, std::vector<std::u16string_view>& out) {
  bool inside = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char16_t c = raw[i];
    if (inside) {
      if (c == u'"' || c == u'<') {
        out.push_back(raw.substr(start, i - start));
        inside = false;
      }
    } else if (c == u'"' || c == u'>') {
      inside = true;
      start = i + 1;
    }
  }
  // A value still open at the end is dropped.
}

}  // namespace

void TToken::SetRaw(std::u16string_view raw) {
  own_.assign(raw);
  LendRaw(own_);
}

const std::vector<std::u16string_view>& TToken::GetParsed() const {
  if (IsParsed_) return aParsed;
  aParsed.clear();
  switch (InputFormat(How).Split) {
    case TValueSplit::Whole:
      aParsed.push_back(aRaw);
      break;
    case TValueSplit::Tabs:
      SplitAtTabs(aRaw, aParsed);
      break;
    case TValueSplit::ElementValues:
      ScanBnc(aRaw, aParsed);
      break;
  }
  IsParsed_ = true;
  return aParsed;
}

std::u16string_view TToken::Value(std::int32_t zeroBasedIndex) const {
  const auto& values = GetParsed();
  if (zeroBasedIndex < 0 || static_cast<std::size_t>(zeroBasedIndex) >= values.size()) return {};
  return values[static_cast<std::size_t>(zeroBasedIndex)];
}

std::u16string_view TToken::Field(const TColumn& column, std::int32_t chosenIndex) const {
  switch (column.Source) {
    case TFieldSource::None:
      return {};
    case TFieldSource::Raw:
      return aRaw;
    case TFieldSource::Custom:
      return Value(chosenIndex);
    case TFieldSource::Value:
      if (column.MinValues == 0 && !column.Trimmed) return Value(column.Index);
      return ConditionalField(column);
  }
  return {};
}

std::u16string_view TToken::ConditionalField(const TColumn& column) const {
  if (GetParsed().size() < column.MinValues) return Value(column.Otherwise);
  return column.Trimmed ? TrimControl(Value(column.Index)) : Value(column.Index);
}

std::u16string_view TToken::GetWord() const {
  return Field(InputFormat(How).Word, CustomIndexWord);
}

std::u16string_view TToken::GetLemma() const {
  return Field(InputFormat(How).Lemma, CustomIndexLemma);
}

std::u16string_view TToken::GetTag() const { return Field(InputFormat(How).Tag, CustomIndexTag); }

std::u16string_view TToken::GetPOS() const { return Field(InputFormat(How).POS, -1); }

TToken::TClasses TToken::Classify(std::u16string_view word, std::u16string_view tag) noexcept {
  // One table look-up per code unit answers both questions.
  std::uint8_t classes = 0;
  for (const char16_t c : word) classes |= letters_detail::kCharClasses[c];
  TClasses result = ClassesOf(classes, word);
  result.IsPunctuation = result.IsPunctuation || tag.starts_with(u"Z:") || tag.starts_with(u"PUN");
  result.IsDigit = result.IsDigit || tag.starts_with(u"C=") || tag.starts_with(u"C}");
  return result;
}

TToken::TClasses TToken::ClassesOf(std::uint8_t classBits, std::u16string_view word) noexcept {
  TClasses result;
  result.IsPunctuation =
      word == u"-" || word == u"\u2013" || (classBits & letters_detail::kTokenPunctuation) != 0;
  result.IsDigit = (classBits & letters_detail::kTokenDigit) != 0;
  return result;
}

bool TToken::GetIsPunctuation() const { return GetClasses().IsPunctuation; }

bool TToken::GetIsDigit() const { return GetClasses().IsDigit; }

}  // namespace tavora
