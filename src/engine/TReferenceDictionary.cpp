#include "engine/TReferenceDictionary.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "base/Paths.h"
#include "base/TAtomicFile.h"
#include "base/Utf8.h"

namespace tavora {

namespace {

// A decimal whole number from 0 to max with an optional "+"; anything else (empty, a
// sign alone, other characters, negative, larger than max) is absent.
bool ParseNumber(std::u16string_view field, std::uint64_t max, std::uint64_t& value) {
  if (!field.empty() && field.front() == u'+') field.remove_prefix(1);
  if (field.empty()) return false;
  std::uint64_t v = 0;
  for (char16_t c : field) {
    if (c < u'0' || c > u'9') return false;
    const auto digit = static_cast<std::uint64_t>(c - u'0');
    if (v > (max - digit) / 10) return false;
    v = v * 10 + digit;
  }
  value = v;
  return true;
}

constexpr std::uint64_t kMaxLength = std::numeric_limits<std::int32_t>::max();

bool Storable(std::u16string_view type) {
  if (type.empty()) return false;
  for (char16_t c : type)
    if (c == u'\t' || c == u'\r' || c == u'\n') return false;
  return true;
}

}  // namespace

void TReferenceDictionary::AddToken(std::u16string_view Token) {
  if (Token.empty()) return;
  ++TotalTokens;
  if (auto it = map_.find(Token); it != map_.end()) {
    ++it->second.Count;  // 64 bits: no corpus reaches the end
    return;
  }
  map_.emplace(std::u16string(Token), TCount(1, static_cast<std::uint32_t>(Token.size())));
}

const TCount* TReferenceDictionary::Find(std::u16string_view Type) const {
  auto it = map_.find(Type);
  return it == map_.end() ? nullptr : &it->second;
}

void TReferenceDictionary::Set(std::u16string_view Type, TCount Value) {
  if (auto it = map_.find(Type); it != map_.end()) {
    it->second = Value;
  } else {
    map_.emplace(std::u16string(Type), Value);
  }
}

void TReferenceDictionary::Load(const std::filesystem::path& FileName) {
  try {
    Read(FileName);
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("Not enough memory to load the frequency list " +
                             QuotedPath(FileName) + ".");
  }
}

void TReferenceDictionary::Read(const std::filesystem::path& FileName) {
  std::error_code ec;
  if (!std::filesystem::exists(FileName, ec)) return;

  std::ifstream in(FileName, std::ios::binary);
  if (!in || std::filesystem::is_directory(FileName, ec)) {
    throw std::runtime_error("Cannot open the frequency list " + QuotedPath(FileName) +
                             " for reading.");
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    throw std::runtime_error("Cannot read the frequency list " + QuotedPath(FileName) + ".");
  }
  LastFileName = FileName;
  TotalTokens = 0;

  std::string_view view(bytes);
  if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
  const std::u16string text = Utf8ToUtf16(view);
  const std::u16string_view all(text);

  std::size_t pos = 0;
  while (pos < all.size()) {
    // A line ends at CR LF, LF or CR.
    std::size_t eol = all.find_first_of(u"\r\n", pos);
    if (eol == std::u16string_view::npos) eol = all.size();
    std::u16string_view line = all.substr(pos, eol - pos);
    pos = eol;
    if (pos < all.size()) {
      if (all[pos] == u'\r' && pos + 1 < all.size() && all[pos + 1] == u'\n') ++pos;
      ++pos;
    }

    std::size_t tab1 = line.find(u'\t');
    std::u16string_view type = line.substr(0, tab1);
    if (type.empty()) continue;
    std::u16string_view countField, lengthField;
    if (tab1 != std::u16string_view::npos) {
      std::u16string_view rest = line.substr(tab1 + 1);
      std::size_t tab2 = rest.find(u'\t');
      countField = rest.substr(0, tab2);
      if (tab2 != std::u16string_view::npos) {
        rest = rest.substr(tab2 + 1);
        lengthField = rest.substr(0, rest.find(u'\t'));
      }
    }
    std::uint64_t count = 0;
    if (!ParseNumber(countField, TCount::kMaxCount, count)) count = 0;
    std::uint64_t length = 0;
    if (!ParseNumber(lengthField, kMaxLength, length)) length = type.size();
    Set(type, TCount(count, static_cast<std::uint32_t>(length)));
    if (count > std::numeric_limits<std::uint64_t>::max() - TotalTokens) {
      throw std::runtime_error("The counts of the frequency list " + QuotedPath(FileName) +
                               " add up to more than 18446744073709551615 tokens.");
    }
    TotalTokens += count;
  }
  IsLoaded = true;
}

std::vector<const TReferenceDictionary::TMap::value_type*> TReferenceDictionary::InListOrder()
    const {
  std::vector<const TMap::value_type*> entries;
  entries.reserve(map_.size());
  for (const auto& entry : map_) entries.push_back(&entry);
  std::sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) {
    if (a->second.Count != b->second.Count) return a->second.Count > b->second.Count;
    return a->first < b->first;
  });
  return entries;
}

std::size_t TReferenceDictionary::Save(const std::filesystem::path& FileName) {
  LastFileName = FileName;

  std::vector<const TMap::value_type*> entries = InListOrder();
  const std::size_t all = entries.size();
  std::erase_if(entries, [](const auto* entry) { return !Storable(entry->first); });
  const std::size_t skipped = all - entries.size();
  std::string out = "\xEF\xBB\xBF";
  for (const auto* entry : entries) {
    AppendUtf16ToUtf8(out, entry->first);
    out.push_back('\t');
    out.append(std::to_string(entry->second.Count));
    out.append("\r\n");
  }

  TAtomicFile file(FileName, "the frequency list");
  file.Write(out);
  file.Commit();
  return skipped;
}

}  // namespace tavora
