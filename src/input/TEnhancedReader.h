#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/TByteSource.h"
#include "input/TTextDecoder.h"

namespace tavora {

// Buffered reader over a byte source that cuts the decoded text into raw items. Bytes are read
// in blocks of a fixed size and decoded by a TTextDecoder (UTF-8 unless told otherwise, UTF-16
// after a byte-order mark, or any ICU encoding) into a buffer of UTF-16 code units; a sequence
// split between blocks decodes whole, an ill-formed one becomes U+FFFD (counted), and a UTF-8
// byte-order mark is not skipped (it decodes to U+FEFF). Items never depend on the block size.
//
// Every Read* returns a view into the reader's buffer, valid until the next call on the reader.
// Memory use is bounded by the block size plus the longest item; an item longer than the
// reader's limit ends the read with an error naming the input.
class TEnhancedReader {
 public:
  static constexpr std::size_t kDefaultBlockSize = 4096;
  // The longest item, in UTF-16 code units: 2^30, that is 1 GiB of ASCII text (2 GiB in
  // memory), far beyond any word, line or element of a text.
  static constexpr std::size_t kMaxItemLength = std::size_t{1} << 30;

  // Reads the source in `encoding` (see TTextDecoder; empty: the default). Throws
  // TUnknownEncoding for a name that no converter answers to.
  explicit TEnhancedReader(std::unique_ptr<TByteSource> source,
                           std::size_t blockSize = kDefaultBlockSize,
                           std::string_view encoding = {},
                           std::size_t maxItemLength = kMaxItemLength);
  // Reads from a stream the caller keeps alive, in the default encoding; `what` names it in
  // messages (empty: "the input").
  explicit TEnhancedReader(std::istream& stream, std::size_t blockSize = kDefaultBlockSize,
                           std::string what = {});
  ~TEnhancedReader();
  TEnhancedReader(const TEnhancedReader&) = delete;
  TEnhancedReader& operator=(const TEnhancedReader&) = delete;

  // True when the input is exhausted and every decoded character consumed (refills first).
  [[nodiscard]] bool GetEndOfStream() {
    if (front_ < end_) return false;
    Ensure(1);
    return exhausted_ && front_ == end_;
  }

  // True when the input is known to be exhausted and every character consumed (never reads).
  [[nodiscard]] bool IsAtEnd() const noexcept { return exhausted_ && front_ == end_; }

  // Plain-text item: a word, a number or one punctuation character; may be empty. U+FFFD never
  // cuts an item: it takes the class of the item it stands in (of the last other character
  // before it, or at the start of an item of the first one after it).
  std::u16string_view ReadWord();
  // The token classes (letters_detail::kTokenPunctuation, kTokenDigit) of the characters of
  // the item that ReadWord returned last, so that callers need not look at it again.
  [[nodiscard]] std::uint8_t LastWordClasses() const noexcept { return lastWordClasses_; }
  // Item delimited by space, tab, CR, LF or CR LF; may be empty.
  std::u16string_view ReadLineWS();
  // One BNC `w` or `c` element without its opening "<", or empty text after skipping to the
  // next element, or at the end the text left after the last element.
  std::u16string_view ReadBNC();
  // The text that the last ReadBNC skipped before the element it found (the XML header and
  // markup between elements), valid until the next call on the reader; empty otherwise.
  [[nodiscard]] std::u16string_view LastSkipped() const noexcept {
    return {chars_ + skipStart_, skipLength_};
  }
  // The characters up to the next CR, LF or CR LF (the break consumed); at the end, the rest.
  std::u16string_view ReadLine();

  // False when the item returned last cannot contain U+FEFF (none was decoded at or after its
  // start), so callers can skip searching it.
  [[nodiscard]] bool LastItemMayContainFEFF() const noexcept { return lastItemStart_ < feffEnd_; }

  // Gives back the memory that a long item took, once it has been copied; views returned
  // before are invalid afterwards.
  void ReleaseMemory();

  // Bytes taken from the byte source so far.
  [[nodiscard]] std::uint64_t GetBytesRead() const noexcept { return bytesRead_; }
  // Byte sequences decoded as U+FFFD so far (ill-formed, or without a character in the
  // encoding).
  [[nodiscard]] std::uint64_t GetReplaced() const noexcept { return decoder_.GetReplaced(); }
  [[nodiscard]] const std::string& GetEncodingName() const noexcept { return decoder_.GetName(); }
  // The input as messages name it ("file \"PATH\"", "standard input").
  [[nodiscard]] const std::string& What() const noexcept { return source_->What(); }

 private:
  void Refill();
  // Makes room for `extra` more code units after end_: moves the unconsumed ones to the front,
  // grows or shrinks the buffer; fails when the unconsumed text passes the item limit.
  void MakeRoom(std::size_t extra);
  void Resize(std::size_t capacity);
  // Refills until at least `count` characters are buffered or the input is exhausted;
  // returns the number buffered.
  std::size_t Ensure(std::size_t count) {
    while (end_ - front_ < count && !exhausted_) Refill();
    return end_ - front_;
  }
  std::u16string_view Take(std::size_t length, std::size_t consume) {
    const std::u16string_view item(chars_ + front_, length);
    lastItemStart_ = base_ + front_;
    front_ += consume;
    return item;
  }

  std::unique_ptr<TByteSource> source_;
  TTextDecoder decoder_;
  std::size_t blockSize_;
  std::size_t maxItemLength_;
  std::vector<unsigned char> bytes_;  // carry of an incomplete sequence + one block
  std::size_t carry_ = 0;
  // Decoded text, [front_, end_) not yet consumed. Grown with realloc, which moves the pages
  // of a large buffer instead of copying them.
  char16_t* chars_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t front_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
  // Absolute character positions (counted over all decoded text): chars_[0] is at base_.
  std::uint64_t base_ = 0;
  std::uint64_t lastItemStart_ = 0;
  std::uint64_t feffEnd_ = 0;  // one past the last decoded U+FEFF; 0 when none
  std::uint64_t bytesRead_ = 0;
  std::size_t skipStart_ = 0;  // LastSkipped, as positions in chars_
  std::size_t skipLength_ = 0;
  std::uint8_t lastWordClasses_ = 0;
};

}  // namespace tavora
