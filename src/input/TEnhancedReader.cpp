#include "input/TEnhancedReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "input/Letters.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavora {
namespace {

inline bool IsSeparator(char16_t c) noexcept { return c == u' ' || c == u'\t' || c == u'\n'; }

// Classes the word splitter asks about, one lookup per code unit.
constexpr std::uint8_t kWordLetter = letters_detail::kLetter;
constexpr std::uint8_t kWordDigit = letters_detail::kDigit;
constexpr std::uint8_t kWordPunctuation = letters_detail::kPunctuation;
constexpr std::uint8_t kWordSeparator = 8;  // space, tab, LF
constexpr std::uint8_t kWordCR = 16;
// U+FFFD, most often a character that the input's encoding lost: it belongs to the item around
// it instead of cutting it.
constexpr std::uint8_t kWordReplacement = 128;

// Built during dynamic initialisation from the constant-initialised character classes.
const std::array<std::uint8_t, 65536> kWordClasses = [] {
  std::array<std::uint8_t, 65536> table = letters_detail::kCharClasses;
  table[u' '] |= kWordSeparator;
  table[u'\t'] |= kWordSeparator;
  table[u'\n'] |= kWordSeparator;
  table[u'\r'] |= kWordCR;
  table[0xFFFD] |= kWordReplacement;
  return table;
}();

// How many of the eight code units at s, from the first on, are letters of the class of the
// ASCII letters and nothing else (A-Z, a-z and the apostrophe): most of a word, in one step.
inline std::size_t LetterRun(const char16_t* s) noexcept {
#if defined(__SSE2__)
  const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  // OR 0x20 folds A-Z onto a-z and takes no other unit into a-z; units from U+8000 on
  // compare as negative numbers and fall below it.
  const __m128i folded = _mm_or_si128(units, _mm_set1_epi16(0x20));
  const __m128i letters = _mm_and_si128(_mm_cmpgt_epi16(folded, _mm_set1_epi16(u'a' - 1)),
                                        _mm_cmplt_epi16(folded, _mm_set1_epi16(u'z' + 1)));
  const __m128i apostrophes = _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\''));
  const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(letters, apostrophes)));
  return static_cast<std::size_t>(std::countr_one(mask)) / 2;
#else
  std::size_t n = 0;
  while (n < 8 && kWordClasses[s[n]] == kWordLetter) ++n;
  return n;
#endif
}

// A buffer of at least this many code units is shrunk again once the long item it held is gone.
constexpr std::size_t kKeptCapacity = std::size_t{1} << 20;

}  // namespace

TEnhancedReader::TEnhancedReader(std::unique_ptr<TByteSource> source, std::size_t blockSize,
                                 std::string_view encoding, std::size_t maxItemLength)
    : source_(std::move(source)),
      decoder_(encoding),
      blockSize_(std::max<std::size_t>(blockSize, 1)),
      maxItemLength_(maxItemLength),
      bytes_(blockSize_ + 4) {
  Resize(blockSize_ + 16);
}

TEnhancedReader::TEnhancedReader(std::istream& stream, std::size_t blockSize, std::string what)
    : TEnhancedReader(std::make_unique<TIstreamSource>(stream, std::move(what)), blockSize) {}

TEnhancedReader::~TEnhancedReader() { std::free(chars_); }

void TEnhancedReader::Resize(std::size_t capacity) {
  void* grown = std::realloc(chars_, capacity * sizeof(char16_t));
  if (grown == nullptr) {
    throw std::runtime_error("Cannot read " + What() + ": not enough memory for an item of " +
                             std::to_string(end_ - front_) + " characters.");
  }
  chars_ = static_cast<char16_t*>(grown);
  capacity_ = capacity;
}

void TEnhancedReader::MakeRoom(std::size_t extra) {
  const std::size_t live = end_ - front_;
  // The scan that asks for more has looked at all but the last few unconsumed characters.
  if (live > maxItemLength_ + 4) {
    throw std::runtime_error("Cannot read " + What() + ": an item (a word, a line or an element) " +
                             "is longer than " + std::to_string(maxItemLength_) +
                             " characters, the longest that Tavora reads.");
  }
  // Move the unconsumed characters to the front when that is cheap relative to what was
  // consumed, or when room is needed; grow geometrically otherwise.
  if (front_ > 0 && (front_ >= live || end_ + extra > capacity_)) {
    std::memmove(chars_, chars_ + front_, live * sizeof(char16_t));
    end_ = live;
    base_ += front_;
    front_ = 0;
  }
  const std::size_t needed = end_ + extra;
  if (needed > capacity_) {
    Resize(std::max(needed, capacity_ * 2));
  } else if (capacity_ > kKeptCapacity && needed * 4 < capacity_) {
    Resize(std::max(needed * 2, kKeptCapacity));
  }
}

void TEnhancedReader::ReleaseMemory() {
  if (capacity_ > kKeptCapacity) MakeRoom(0);
}

void TEnhancedReader::Refill() {
  if (exhausted_) return;
  const std::size_t got = source_->Read(bytes_.data() + carry_, blockSize_);
  bytesRead_ += got;
  if (got < blockSize_) exhausted_ = true;
  const std::size_t total = carry_ + got;

  // One code unit per byte is enough for UTF-8 and UTF-16; an ICU encoding whose bytes stand for
  // more says so, and gets more room.
  std::size_t consumed = 0;
  MakeRoom(total + 1);
  for (;;) {
    const TTextDecoder::TDecoded d = decoder_.Decode(bytes_.data() + consumed, total - consumed,
                                                     chars_ + end_, capacity_ - end_, exhausted_);
    if (d.FeffEnd != 0) feffEnd_ = base_ + end_ + d.FeffEnd;
    end_ += d.Produced;
    consumed += d.Consumed;
    if (!d.OutputFull) break;
    MakeRoom(total - consumed + blockSize_ + 16);
  }
  carry_ = total - consumed;
  std::memmove(bytes_.data(), bytes_.data() + consumed, carry_);
}

std::u16string_view TEnhancedReader::ReadWord() {
  std::size_t p = 0;
  std::size_t avail = Ensure(2);
  const char16_t* b = chars_ + front_;
  // The letter and digit classes of the item's last character other than U+FFFD;
  // kWordReplacement while it has none.
  std::uint8_t run = kWordReplacement;
  std::uint8_t seen = 0;  // the classes of the item's characters
  const auto take = [&](std::size_t length, std::size_t consume) {
    lastWordClasses_ = seen & (letters_detail::kTokenPunctuation | letters_detail::kTokenDigit);
    return Take(length, consume);
  };
  if (avail == 0) return take(0, 0);
  // Each character's class is looked up once: as the successor of the one before, then as
  // the current one.
  std::uint8_t cc = kWordClasses[b[0]];
  for (;;) {
    if (cc & (kWordSeparator | kWordPunctuation | kWordCR)) {
      if (cc & kWordSeparator) return take(p, p + 1);
      if (cc & kWordPunctuation) {
        seen |= cc;
        return take(p + 1, p + 1);
      }
      return take(p, (p + 1 < avail && b[p + 1] == u'\n') ? p + 2 : p + 1);  // CR
    }
    seen |= cc;
    if (cc & kWordReplacement) {
      cc = run;
    } else {
      run = cc;
    }
    if (cc == kWordLetter) {
      // Over a run of letters, which neither cut nor change the classes, eight at a time.
      while (p + 9 < avail) {
        const std::size_t n = LetterRun(b + p + 1);
        p += n;
        if (n < 8) break;
      }
    }
    if (p + 1 >= avail) return take(p + 1, p + 1);  // input exhausted: the rest is the item
    const std::uint8_t nc = kWordClasses[b[p + 1]];
    if (nc & kWordSeparator) return take(p + 1, p + 2);
    // A change between letters, digits and other characters cuts, unless U+FFFD is involved.
    if (((cc ^ nc) & (kWordLetter | kWordDigit)) && !((cc | nc) & kWordReplacement)) {
      return take(p + 1, p + 1);
    }
    ++p;
    cc = nc;
    if (p + 2 > avail && !exhausted_) {
      avail = Ensure(p + 2);
      b = chars_ + front_;
    }
  }
}

std::u16string_view TEnhancedReader::ReadLineWS() {
  std::size_t p = 0;
  std::size_t avail = end_ - front_;
  const char16_t* b = chars_ + front_;
  for (;;) {
    if (p + 2 > avail && !exhausted_) {
      avail = Ensure(p + 2);
      b = chars_ + front_;
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
  const char16_t* b = chars_ + front_;
  for (;;) {
    if (p + 2 > avail && !exhausted_) {
      avail = Ensure(p + 2);
      b = chars_ + front_;
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
  const char16_t* b = chars_ + front_;
  for (;;) {
    if (p + 4 > avail && !exhausted_) {
      avail = Ensure(p + 4);
      b = chars_ + front_;
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
