#include "input/TEnhancedReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "base/Utf8.h"
#include "input/Letters.h"

namespace tavora {
namespace {

// Decodes UTF-16 bytes [in, in + n) of the given byte order into `out` (n / 2 code units at
// most). A surrogate without its partner becomes U+FFFD. Unless `final`, a lone last byte and a
// last high surrogate are left for the next block, whose first unit may complete the pair; when
// `final`, a lone last byte becomes U+FFFD. Returns the number of bytes consumed and sets
// `produced` and `feffEnd` (one past the output index of the last U+FEFF, when there is one).
std::size_t DecodeUtf16(const unsigned char* in, std::size_t n, bool bigEndian, char16_t* out,
                        std::size_t& produced, std::size_t& feffEnd, bool final) {
  const auto unitAt = [&](std::size_t i) -> char16_t {
    return bigEndian ? static_cast<char16_t>((in[i] << 8) | in[i + 1])
                     : static_cast<char16_t>(in[i] | (in[i + 1] << 8));
  };
  std::size_t i = 0;
  char16_t* o = out;
  while (i + 2 <= n) {
    const char16_t u = unitAt(i);
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 4 > n && !final) break;  // its partner may follow in the next block
      if (i + 4 <= n) {
        const char16_t low = unitAt(i + 2);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          *o++ = u;
          *o++ = low;
          i += 4;
          continue;
        }
      }
      *o++ = 0xFFFD;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      *o++ = 0xFFFD;
    } else {
      *o++ = u;
      if (u == 0xFEFF) feffEnd = static_cast<std::size_t>(o - out);
    }
    i += 2;
  }
  if (final && i < n) {
    // A high surrogate at the very end was handled above; what is left is one odd byte.
    *o++ = 0xFFFD;
    i = n;
  }
  produced = static_cast<std::size_t>(o - out);
  return i;
}

inline bool IsSeparator(char16_t c) noexcept { return c == u' ' || c == u'\t' || c == u'\n'; }

// Classes the word splitter asks about, one lookup per code unit.
constexpr std::uint8_t kWordLetter = letters_detail::kLetter;
constexpr std::uint8_t kWordDigit = letters_detail::kDigit;
constexpr std::uint8_t kWordPunctuation = letters_detail::kPunctuation;
constexpr std::uint8_t kWordSeparator = 8;  // space, tab, LF
constexpr std::uint8_t kWordCR = 16;

// Built during dynamic initialisation from the constant-initialised character classes.
const std::array<std::uint8_t, 65536> kWordClasses = [] {
  std::array<std::uint8_t, 65536> table = letters_detail::kCharClasses;
  table[u' '] |= kWordSeparator;
  table[u'\t'] |= kWordSeparator;
  table[u'\n'] |= kWordSeparator;
  table[u'\r'] |= kWordCR;
  return table;
}();

}  // namespace

TEnhancedReader::TEnhancedReader(std::istream& stream, std::size_t blockSize, std::string name)
    : stream_(&stream),
      name_(std::move(name)),
      blockSize_(std::max<std::size_t>(blockSize, 1)),
      bytes_(blockSize_ + 4) {}

TEnhancedReader::TEnhancedReader(std::unique_ptr<std::istream> stream, std::size_t blockSize,
                                 std::string name)
    : TEnhancedReader(*stream, blockSize, std::move(name)) {
  owned_ = std::move(stream);
}

TEnhancedReader::~TEnhancedReader() = default;

void TEnhancedReader::Refill() {
  if (exhausted_) return;
  stream_->read(reinterpret_cast<char*>(bytes_.data() + carry_),
                static_cast<std::streamsize>(blockSize_));
  const auto got = static_cast<std::size_t>(stream_->gcount());
  if (stream_->bad()) {
    throw std::runtime_error(name_.empty() ? std::string("Cannot read the input stream.")
                                           : "Cannot read file \"" + name_ + "\".");
  }
  bytesRead_ += got;
  if (got < blockSize_) exhausted_ = true;
  const std::size_t total = carry_ + got;

  // The encoding is chosen by the first two bytes: FF FE or FE FF is a UTF-16 byte-order mark,
  // which is skipped; anything else is UTF-8.
  std::size_t skip = 0;
  if (encoding_ == TEncoding::eUnknown) {
    if (total < 2 && !exhausted_) {
      carry_ = total;
      return;
    }
    encoding_ = TEncoding::eUtf8;
    if (total >= 2 && bytes_[0] == 0xFF && bytes_[1] == 0xFE) encoding_ = TEncoding::eUtf16LE;
    if (total >= 2 && bytes_[0] == 0xFE && bytes_[1] == 0xFF) encoding_ = TEncoding::eUtf16BE;
    if (encoding_ != TEncoding::eUtf8) skip = 2;
  }

  // Move the unconsumed characters to the front when that is cheap relative to what was
  // consumed, or when room is needed; grow geometrically otherwise.
  if (front_ > 0 && (front_ >= end_ - front_ || end_ + total > chars_.size())) {
    std::copy(chars_.begin() + static_cast<std::ptrdiff_t>(front_),
              chars_.begin() + static_cast<std::ptrdiff_t>(end_), chars_.begin());
    end_ -= front_;
    base_ += front_;
    front_ = 0;
  }
  if (end_ + total > chars_.size()) chars_.resize(std::max(end_ + total, chars_.size() * 2));

  std::size_t produced = 0;
  std::size_t feffEnd = 0;
  std::size_t consumed = skip;
  if (encoding_ == TEncoding::eUtf8) {
    const TUtf8Decoded d = DecodeUtf8(bytes_.data(), total, chars_.data() + end_, exhausted_);
    consumed += d.Consumed;
    produced = d.Produced;
    feffEnd = d.FeffEnd;
  } else {
    consumed += DecodeUtf16(bytes_.data() + skip, total - skip, encoding_ == TEncoding::eUtf16BE,
                            chars_.data() + end_, produced, feffEnd, exhausted_);
  }
  if (feffEnd != 0) feffEnd_ = base_ + end_ + feffEnd;
  end_ += produced;
  carry_ = total - consumed;
  std::memmove(bytes_.data(), bytes_.data() + consumed, carry_);
}

std::u16string_view TEnhancedReader::ReadWord() {
  std::size_t p = 0;
  std::size_t avail = end_ - front_;
  const char16_t* b = chars_.data() + front_;
  for (;;) {
    if (p + 2 > avail && !exhausted_) {
      avail = Ensure(p + 2);
      b = chars_.data() + front_;
    }
    if (p >= avail) return Take(p, p);  // input exhausted: the rest is the item
    const std::uint8_t cc = kWordClasses[b[p]];
    if (cc & (kWordSeparator | kWordPunctuation | kWordCR)) {
      if (cc & kWordSeparator) return Take(p, p + 1);
      if (cc & kWordPunctuation) return Take(p + 1, p + 1);
      return Take(p, (p + 1 < avail && b[p + 1] == u'\n') ? p + 2 : p + 1);  // CR
    }
    if (p + 1 >= avail) {
      ++p;
      continue;
    }
    const std::uint8_t nc = kWordClasses[b[p + 1]];
    if (nc & kWordSeparator) return Take(p + 1, p + 2);
    if ((cc ^ nc) & (kWordLetter | kWordDigit)) return Take(p + 1, p + 1);
    ++p;
  }
}

std::u16string_view TEnhancedReader::ReadLineWS() {
  std::size_t p = 0;
  std::size_t avail = end_ - front_;
  const char16_t* b = chars_.data() + front_;
  for (;;) {
    if (p + 2 > avail && !exhausted_) {
      avail = Ensure(p + 2);
      b = chars_.data() + front_;
    }
    if (p >= avail) return Take(p, p);
    const char16_t c = b[p];
    if (IsSeparator(c)) return Take(p, p + 1);
    if (c == u'\r') return Take(p, (p + 1 < avail && b[p + 1] == u'\n') ? p + 2 : p + 1);
    ++p;
  }
}

std::u16string_view TEnhancedReader::ReadLine() {
  std::size_t p = 0;
  std::size_t avail = end_ - front_;
  const char16_t* b = chars_.data() + front_;
  for (;;) {
    if (p + 2 > avail && !exhausted_) {
      avail = Ensure(p + 2);
      b = chars_.data() + front_;
    }
    if (p >= avail) return Take(p, p);
    // Scan while the successor is buffered (a CR needs it to tell CR LF from CR).
    while (p + 1 < avail && b[p] != u'\n' && b[p] != u'\r') ++p;
    if (p + 1 >= avail && !exhausted_) continue;  // refill before looking at the last character
    const char16_t c = b[p];
    if (c == u'\n') return Take(p, p + 1);
    if (c == u'\r') return Take(p, (p + 1 < avail && b[p + 1] == u'\n') ? p + 2 : p + 1);
    ++p;
  }
}

std::u16string_view TEnhancedReader::ReadBNC() {
  skipLength_ = 0;
  std::size_t p = 0;
  std::size_t avail = end_ - front_;
  const char16_t* b = chars_.data() + front_;
  for (;;) {
    if (p + 4 > avail && !exhausted_) {
      avail = Ensure(p + 4);
      b = chars_.data() + front_;
    }
    if (p >= avail) return Take(p, p);
    if (p + 3 <= avail) {
      const char16_t c0 = b[p];
      const char16_t c1 = b[p + 1];
      const char16_t c2 = b[p + 2];
      if (c1 == u'w' || c1 == u'c') {
        // Start of a w or c element: drop everything before it, with its "<".
        if (c0 == u'<' && c2 == u' ') {
          skipStart_ = front_;
          skipLength_ = p;
          return Take(0, p + 1);
        }
        // End of such an element: return it and consume one character more when there is one.
        if (c0 == u'/' && c2 == u'>') return Take(p + 3, std::min(p + 4, avail));
      }
    }
    ++p;
  }
}

}  // namespace tavora
