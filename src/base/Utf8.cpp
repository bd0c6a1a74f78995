#include "base/Utf8.h"

#include <cstring>

namespace tavora {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsSurrogate(std::uint32_t u) noexcept { return u >= 0xD800 && u <= 0xDFFF; }

}  // namespace

TUtf8Decoded DecodeUtf8(const unsigned char* in, std::size_t n, char16_t* out, bool final,
                        TOnInvalid onInvalid) noexcept {
  TUtf8Decoded result;
  std::size_t i = 0;
  char16_t* o = out;
  auto finish = [&] {
    result.Consumed = i;
    result.Produced = static_cast<std::size_t>(o - out);
    return result;
  };
  while (i < n) {
    // ASCII fast path, eight bytes at a time.
    while (i + 8 <= n) {
      std::uint64_t w;
      std::memcpy(&w, in + i, 8);
      if (w & 0x8080808080808080ull) break;
      for (int k = 0; k < 8; ++k) o[k] = in[i + k];
      o += 8;
      i += 8;
    }
    if (i >= n) break;
    const unsigned lead = in[i];
    if (lead < 0x80) {
      *o++ = static_cast<char16_t>(lead);
      ++i;
      continue;
    }
    std::size_t need = 0;
    std::uint32_t cp = 0;
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      need = 1;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      need = 2;
      cp = lead & 0x0F;
      if (lead == 0xE0) lo = 0xA0;  // no overlong forms
      if (lead == 0xED) hi = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      need = 3;
      cp = lead & 0x07;
      if (lead == 0xF0) lo = 0x90;
      if (lead == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    }
    // j: the byte that breaks the sequence (0 for a lead that cannot start one).
    std::size_t j = need == 0 ? 0 : 1;
    bool bad = need == 0;
    for (; !bad && j <= need; ++j) {
      if (i + j >= n) {
        if (!final) return finish();  // the rest of the sequence comes with the next block
        bad = true;
        break;
      }
      const unsigned c = in[i + j];
      if (c < (j == 1 ? lo : 0x80u) || c > (j == 1 ? hi : 0xBFu)) {
        bad = true;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if (bad) {
      if (onInvalid == TOnInvalid::Stop) {
        result.Invalid = i + j;
        return finish();
      }
      ++result.Replaced;
      // The lead and its fitting continuations; the breaking byte is read again.
      const std::size_t length = j == 0 ? 1 : j;
      if (onInvalid == TOnInvalid::Escape) {
        for (std::size_t k = 0; k < length; ++k) *o++ = static_cast<char16_t>(0xDC00 + in[i + k]);
      } else {
        *o++ = kReplacement;
      }
      i += length;
      continue;
    }
    i += need + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
      if (cp == 0xFEFF) result.FeffEnd = static_cast<std::size_t>(o - out);
    }
  }
  return finish();
}

void AppendUtf8ToUtf16(std::u16string& out, std::string_view in, TOnInvalid onInvalid) {
  const std::size_t start = out.size();
  out.resize(start + in.size());
  const TUtf8Decoded d = DecodeUtf8(reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                    out.data() + start, true, onInvalid);
  out.resize(start + d.Produced);
}

std::u16string Utf8ToUtf16(std::string_view in, TOnInvalid onInvalid) {
  std::u16string out;
  AppendUtf8ToUtf16(out, in, onInvalid);
  return out;
}

void AppendCodePointUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool AppendUtf16ToUtf8(std::string& out, std::u16string_view in, TOnInvalid onInvalid) {
  const std::size_t n = in.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t cp = in[i];
    if (IsSurrogate(cp)) {
      if (cp <= 0xDBFF && i + 1 < n && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
      } else if (onInvalid == TOnInvalid::Stop) {
        return false;
      } else if (onInvalid == TOnInvalid::Escape && cp >= 0xDC80 && cp <= 0xDCFF) {
        out.push_back(static_cast<char>(cp - 0xDC00));
        continue;
      } else {
        cp = kReplacement;
      }
    }
    AppendCodePointUtf8(out, cp);
  }
  return true;
}

std::string Utf16ToUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size());
  AppendUtf16ToUtf8(out, in);
  return out;
}

}  // namespace tavora
