#pragma once

// UTF-8 <-> UTF-16 conversion with the one set of decoding rules of the whole program. A
// well-formed sequence (Unicode's table of well-formed byte sequences: no overlong forms, no
// surrogates, nothing past U+10FFFF) is one code point. Each maximal ill-formed subpart (a lead
// byte with the continuation bytes that still fit it, or a lone byte that cannot start a
// sequence) becomes one U+FFFD, and decoding resumes at the byte that broke it. Encoding writes
// an unpaired UTF-16 surrogate as U+FFFD.
//
// File names are bytes on most systems and need not be UTF-8. With Escape, each byte of an
// ill-formed sequence becomes the lone surrogate U+DC80..U+DCFF (U+DC00 + the byte), which
// encoding with Escape turns back into that byte, so that such a name survives a round trip
// through UTF-16 text; encoding without Escape shows it as U+FFFD, one per byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavora {

// What a conversion does with ill-formed input: replace it by U+FFFD, stop before it, or escape
// each of its bytes as a lone surrogate (see above).
enum class TOnInvalid : std::uint8_t { Replace, Stop, Escape };

// The outcome of DecodeUtf8 on one block of bytes.
struct TUtf8Decoded {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::size_t Consumed = 0;     // bytes decoded (or, on a stop, the bytes before the bad sequence)
  std::size_t Produced = 0;     // UTF-16 code units written
  std::size_t FeffEnd = 0;      // one past the output index of the last U+FEFF written; 0 when none
  std::size_t Invalid = kNone;  // with Stop: offset of the byte that made the input ill-formed
  std::size_t Replaced = 0;     // ill-formed sequences replaced (or escaped)
};

// Decodes bytes [in, in + n) into out, which has room for n code units (no sequence yields more
// code units than bytes). Unless final, an incomplete but so far well-formed sequence at the end
// is left unconsumed, to be decoded with the bytes of the next block; when final, it is
// ill-formed. Runs of ASCII are copied eight bytes at a time.
TUtf8Decoded DecodeUtf8(const unsigned char* in, std::size_t n, char16_t* out, bool final,
                        TOnInvalid onInvalid = TOnInvalid::Replace) noexcept;

[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view in,
                                         TOnInvalid onInvalid = TOnInvalid::Replace);
void AppendUtf8ToUtf16(std::u16string& out, std::string_view in,
                       TOnInvalid onInvalid = TOnInvalid::Replace);

[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view in);
// With Stop, an unpaired surrogate ends the conversion: the text before it is appended and
// the result is false. With Escape, an unpaired U+DC80..U+DCFF becomes the byte it escapes.
bool AppendUtf16ToUtf8(std::string& out, std::u16string_view in,
                       TOnInvalid onInvalid = TOnInvalid::Replace);
// One code point (at most U+10FFFF, not a surrogate) as UTF-8.
void AppendCodePointUtf8(std::string& out, char32_t cp);

}  // namespace tavora
