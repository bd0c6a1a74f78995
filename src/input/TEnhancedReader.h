#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavora {

// Buffered UTF-8 reader over a byte stream that cuts the decoded text into raw items.
// Bytes are read in blocks of a fixed size and decoded into a buffer of UTF-16 code units;
// a multi-byte sequence split between blocks decodes whole, invalid bytes decode to U+FFFD,
// and a UTF-8 byte-order mark is not skipped (it decodes to U+FEFF). A stream that starts with
// the bytes FF FE or FE FF (a UTF-16 byte-order mark, as editors write "Unicode" text) is read
// as UTF-16LE or UTF-16BE instead, the mark skipped and unpaired surrogates and a lone final
// byte decoded to U+FFFD. Items never depend on the block size.
//
// Every Read* returns a view into the reader's buffer, valid until the next call on the reader.
// Memory use is bounded by the block size plus the longest item.
class TEnhancedReader {
 public:
  static constexpr std::size_t kDefaultBlockSize = 4096;

  // Reads from a stream the caller keeps alive; `name` appears in read-error messages.
  explicit TEnhancedReader(std::istream& stream, std::size_t blockSize = kDefaultBlockSize,
                           std::string name = {});
  // Reads from a stream the reader owns.
  explicit TEnhancedReader(std::unique_ptr<std::istream> stream,
                           std::size_t blockSize = kDefaultBlockSize, std::string name = {});
  ~TEnhancedReader();
  TEnhancedReader(const TEnhancedReader&) = delete;
  TEnhancedReader& operator=(const TEnhancedReader&) = delete;

  // True when the input is exhausted and every decoded character consumed (refills first).
  [[nodiscard]] bool GetEndOfStream() {
    if (front_ < end_) return false;
    Ensure(1);
    return exhausted_ && front_ == end_;
  }

  // Plain-text item: a word, a number or one punctuation character; may be empty.
  std::u16string_view ReadWord();
  // Item delimited by space, tab, CR, LF or CR LF; may be empty.
  std::u16string_view ReadLineWS();
  // One BNC `w` or `c` element without its opening "<", or empty text after skipping to the
  // next element, or at the end the text left after the last element.
  std::u16string_view ReadBNC();
  // The text that the last ReadBNC skipped before the element it found (the XML header and
  // markup between elements), valid until the next call on the reader; empty otherwise.
  [[nodiscard]] std::u16string_view LastSkipped() const noexcept {
    return {chars_.data() + skipStart_, skipLength_};
  }
  // The characters up to the next CR, LF or CR LF (the break consumed); at the end, the rest.
  std::u16string_view ReadLine();

  // False when the item returned last cannot contain U+FEFF (none was decoded at or after its
  // start), so callers can skip searching it.
  [[nodiscard]] bool LastItemMayContainFEFF() const noexcept { return lastItemStart_ < feffEnd_; }

  // Bytes taken from the byte stream so far.
  [[nodiscard]] std::uint64_t GetBytesRead() const noexcept { return bytesRead_; }

 private:
  void Refill();
  // Refills until at least `count` characters are buffered or the input is exhausted;
  // returns the number buffered.
  std::size_t Ensure(std::size_t count) {
    while (end_ - front_ < count && !exhausted_) Refill();
    return end_ - front_;
  }
  std::u16string_view Take(std::size_t length, std::size_t consume) {
    const std::u16string_view item(chars_.data() + front_, length);
    lastItemStart_ = base_ + front_;
    front_ += consume;
    return item;
  }

  enum class TEncoding : std::uint8_t { eUnknown, eUtf8, eUtf16LE, eUtf16BE };

  std::unique_ptr<std::istream> owned_;
  std::istream* stream_;
  std::string name_;
  std::size_t blockSize_;
  std::vector<unsigned char> bytes_;  // carry of an incomplete sequence + one block
  std::size_t carry_ = 0;
  std::vector<char16_t> chars_;  // decoded text; [front_, end_) not yet consumed
  std::size_t front_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
  TEncoding encoding_ = TEncoding::eUnknown;  // chosen by the first two bytes
  // Absolute character positions (counted over all decoded text): chars_[0] is at base_.
  std::uint64_t base_ = 0;
  std::uint64_t lastItemStart_ = 0;
  std::uint64_t feffEnd_ = 0;  // one past the last decoded U+FEFF; 0 when none
  std::uint64_t bytesRead_ = 0;
  std::size_t skipStart_ = 0;  // LastSkipped, as positions in chars_
  std::size_t skipLength_ = 0;
};

}  // namespace tavora
