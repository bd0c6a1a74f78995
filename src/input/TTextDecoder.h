#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct UConverter;

namespace tavora {

// An encoding name that no converter answers to.
class TUnknownEncoding : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// The stage between the bytes of an input and the reader's splitter: turns blocks of bytes in
// the input's encoding into UTF-16 code units.
//
// The default is UTF-8, or UTF-16 when the input starts with a byte-order mark (FF FE or FE FF,
// which is then skipped). Any other encoding is named as ICU names its converters and their
// aliases ("windows-1250", "ISO-8859-2", "KOI8-R", "UTF-16LE", "Shift_JIS"); UTF-8 and UTF-16
// named so are decoded by the program's own decoders, without a look for a byte-order mark.
//
// A byte sequence that is ill-formed in the encoding, or has no character in it, becomes one
// U+FFFD (for UTF-8: each maximal ill-formed subpart, see base/Utf8.h) and is counted.
class TTextDecoder {
 public:
  // Throws TUnknownEncoding for a name that no converter answers to; empty means the default.
  explicit TTextDecoder(std::string_view encoding = {});
  ~TTextDecoder();
  TTextDecoder(const TTextDecoder&) = delete;
  TTextDecoder& operator=(const TTextDecoder&) = delete;

  struct TDecoded {
    std::size_t Consumed = 0;  // bytes taken
    std::size_t Produced = 0;  // code units written
    std::size_t FeffEnd = 0;   // one past the output index of the last U+FEFF written; 0: none
    bool OutputFull = false;   // stopped for want of room: call again with the rest and more room
  };
  // Decodes bytes [in, in + n) into out, which has room for `room` code units. A sequence cut by
  // the end of the block is left unconsumed or kept by the decoder until the next call; with
  // final the input ends here, and an incomplete sequence is ill-formed. With room > n the
  // output never runs out of room except in an ICU encoding whose bytes may stand for several
  // code units each.
  TDecoded Decode(const unsigned char* in, std::size_t n, char16_t* out, std::size_t room,
                  bool final);

  // Byte sequences replaced by U+FFFD so far.
  [[nodiscard]] std::uint64_t GetReplaced() const noexcept { return replaced_; }
  // The encoding as named, or "UTF-8" (or "UTF-16LE", "UTF-16BE" after a byte-order mark) for
  // the default.
  [[nodiscard]] const std::string& GetName() const noexcept { return name_; }

  // Whether a decoder can be made for `encoding` (empty: the default).
  [[nodiscard]] static bool IsKnown(std::string_view encoding);

 private:
  enum class TKind : std::uint8_t { Sniff, Utf8, Utf16LE, Utf16BE, Icu };

  TDecoded DecodeIcu(const unsigned char* in, std::size_t n, char16_t* out, std::size_t room,
                     bool final);

  TKind kind_ = TKind::Sniff;
  std::string name_;
  UConverter* converter_ = nullptr;
  std::uint64_t replaced_ = 0;
};

}  // namespace tavora
