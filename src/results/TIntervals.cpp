#include "results/TIntervals.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "results/TResultFile.h"

namespace tavora {

namespace {

// Items written between two requests for buffer space.
constexpr std::size_t kChunk = 1024;
// Room for one item: a label or a 64-bit count.
constexpr std::size_t kItemRoom = 32;

// "0,0,0,...": runs of empty intervals are copied from here; a run as long as
// the whole array goes to a result file without a copy.
constexpr std::size_t kZeroItems = TResultFile::kMaxReserve / 2;
constexpr auto kZeros = [] {
  std::array<char, 2 * kZeroItems> a{};
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = i % 2 == 0 ? '0' : ',';
  return a;
}();

// Label of interval Index at granularity g: Index / g in its shortest general
// form. Powers of ten up to 10^4 are written exactly as fixed-point decimals.
class TLabelFormat {
 public:
  explicit TLabelFormat(std::uint32_t g) : granularity_(g) {
    std::uint64_t scale = 1;
    for (int d = 0; d <= 4; ++d, scale *= 10) {
      if (scale == g) {
        decimalScale_ = scale;
        decimals_ = d;
        break;
      }
    }
  }

  // Writes the label at p (room for kItemRoom bytes) and returns its end.
  char* Put(char* p, std::int64_t Index) const {
    if (decimalScale_ == 0) {
      // At most 15 significant digits, like "%.15g" but free of the C locale.
      const double value = static_cast<double>(Index) / static_cast<double>(granularity_);
      return std::to_chars(p, p + kItemRoom, value, std::chars_format::general, 15).ptr;
    }
    const bool negative = Index < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(Index + 1)) + 1 : static_cast<std::uint64_t>(Index);
    std::uint64_t frac = magnitude % decimalScale_;
    if (negative) *p++ = '-';
    p = std::to_chars(p, p + kItemRoom, magnitude / decimalScale_).ptr;
    if (frac != 0) {
      int digits = decimals_;
      while (frac % 10 == 0) {
        frac /= 10;
        --digits;
      }
      *p++ = '.';
      for (int d = digits - 1; d >= 0; --d) {
        p[d] = static_cast<char>('0' + frac % 10);
        frac /= 10;
      }
      p += digits;
    }
    return p;
  }

 private:
  std::uint32_t granularity_;
  std::uint64_t decimalScale_ = 0;  // 10^decimals_ for the powers of ten handled exactly
  int decimals_ = 0;
};

// Output into a growing string.
struct StringSink {
  std::string& out;
  std::size_t reserved = 0;
  char* Reserve(std::size_t n) {
    reserved = out.size();
    out.resize(reserved + n);
    return out.data() + reserved;
  }
  void Advance(const char* end) { out.resize(static_cast<std::size_t>(end - out.data())); }
  void Write(std::string_view text) { out.append(text); }
};

// Output into a stream through a buffer; large pieces go to the stream directly.
struct StreamSink {
  std::ostream& out;
  static constexpr std::size_t kCapacity = 1 << 16;
  std::unique_ptr<char[]> buf{new char[kCapacity]};
  std::size_t used = 0;
  void Flush() {
    out.write(buf.get(), static_cast<std::streamsize>(used));
    used = 0;
  }
  char* Reserve(std::size_t n) {
    if (n > kCapacity - used) Flush();
    return buf.get() + used;
  }
  void Advance(const char* end) { used = static_cast<std::size_t>(end - buf.get()); }
  void Write(std::string_view text) {
    if (text.size() > kCapacity - used) {
      Flush();
      if (text.size() >= kCapacity / 2) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return;
      }
    }
    std::memcpy(buf.get() + used, text.data(), text.size());
    used += text.size();
  }
};

// Output into a result file.
struct FileSink {
  TResultFile& out;
  char* Reserve(std::size_t n) { return out.Reserve(n); }
  void Advance(const char* end) { out.Advance(end); }
  void Write(std::string_view text) { out.Write(text); }
};

}  // namespace

// Label texts of one granularity, each followed by ",": one string for the
// indexes 0, 1, 2, ... and one for ..., -2, -1, so that a label line is at most
// two slices of them. Both only grow.
class TIntervals::TLabelCache {
 public:
  explicit TLabelCache(std::uint32_t g) : format_(g) {}

  // "0,1,...,Highest,"
  std::string_view Positive(std::int64_t Highest) {
    const auto n = static_cast<std::size_t>(Highest + 1);
    while (posEnd_.size() < n) {
      char tmp[kItemRoom];
      char* end = format_.Put(tmp, static_cast<std::int64_t>(posEnd_.size()));
      *end++ = ',';
      pos_.append(tmp, end);
      posEnd_.push_back(pos_.size());
    }
    return std::string_view(pos_).substr(0, posEnd_[n - 1]);
  }

  // "Lowest,...,-2,-1,"
  std::string_view Negative(std::int64_t Lowest) {
    const auto m = static_cast<std::size_t>(-Lowest);
    if (negStart_.size() < m) {
      // Rebuilt from the far end, at least doubling, since it grows at the front.
      const std::size_t count = std::max({m, 2 * negStart_.size(), std::size_t{16}});
      neg_.clear();
      negStart_.assign(count, 0);
      for (std::size_t k = count; k > 0; --k) {
        negStart_[k - 1] = neg_.size();
        char tmp[kItemRoom];
        char* end = format_.Put(tmp, -static_cast<std::int64_t>(k));
        *end++ = ',';
        neg_.append(tmp, end);
      }
    }
    return std::string_view(neg_).substr(negStart_[m - 1]);
  }

  const TLabelFormat& Format() const { return format_; }

 private:
  TLabelFormat format_;
  std::string pos_;
  std::vector<std::size_t> posEnd_;  // element i: end of the label of index i in pos_
  std::string neg_;
  std::vector<std::size_t> negStart_;  // element k: start of the label of index -(k+1) in neg_
};

TIntervals::TIntervals(std::uint32_t Granularity) : aGranularity(Granularity) {
  if (Granularity == 0) {
    throw std::invalid_argument("The granularity of a distribution must be at least 1");
  }
}

TIntervals::~TIntervals() = default;
TIntervals::TIntervals(TIntervals&&) noexcept = default;
TIntervals& TIntervals::operator=(TIntervals&&) noexcept = default;

template <class Visit>
void TIntervals::ForEachUsed(Visit&& visit) const {
  if (IsEmpty()) return;
  std::vector<std::pair<std::int64_t, std::size_t>> pages(pageStart_.begin(), pageStart_.end());
  std::sort(pages.begin(), pages.end());
  for (const auto& [page, start] : pages) {
    for (std::int64_t i = 0; i < kPageSize; ++i) {
      const std::uint64_t count = counts_[start + static_cast<std::size_t>(i)];
      if (count != 0) visit(page * kPageSize + i, count);
    }
  }
}

void TIntervals::ForEachCount(const std::function<void(std::int64_t, std::uint64_t)>& Visit) const {
  ForEachUsed(Visit);
}

void TIntervals::Clear() {
  counts_.clear();
  pageStart_.clear();
  lastPage_ = std::numeric_limits<std::int64_t>::min();
  lastBase_ = 0;
  lo_ = 1;
  hi_ = 0;
  omitted_ = 0;
}

void TIntervals::SelectPage(std::int64_t page) {
  const auto [it, added] = pageStart_.try_emplace(page, counts_.size());
  if (added) counts_.resize(counts_.size() + static_cast<std::size_t>(kPageSize), 0);
  lastPage_ = page;
  lastBase_ = it->second;
}

void TIntervals::Reach(std::int64_t Index) {
  const std::int64_t newLo = IsEmpty() ? Index : std::min(lo_, Index);
  const std::int64_t newHi = IsEmpty() ? Index : std::max(hi_, Index);
  // The output runs from the lower of -1 and the lowest index to the higher of 0 and the
  // highest.
  const std::int64_t first = std::min<std::int64_t>(newLo, 0);
  const std::int64_t last = std::max<std::int64_t>(newHi, -1);
  if (last - first + 1 > kMaxRange) {
    std::string from, to;
    AppendLabel(from, newLo < 0 ? newLo : 0);
    AppendLabel(to, newHi >= 0 ? newHi : -1);
    throw std::runtime_error(
        "The distribution of " + (name_.empty() ? std::string("a measure") : name_) +
        " would span " + std::to_string(last - first + 1) + " intervals, from " + from + " to " +
        to + ", more than the " + std::to_string(kMaxRange) +
        " a distribution may have. Leave this measure out of runs that write distributions.");
  }
  lo_ = newLo;
  hi_ = newHi;
}

void TIntervals::Add(const TIntervals& Other) {
  if (Other.aGranularity != aGranularity) {
    throw std::invalid_argument("Distributions of different granularity cannot be added");
  }
  omitted_ += Other.omitted_;
  if (Other.IsEmpty()) return;
  Reach(Other.lo_);
  Reach(Other.hi_);
  for (const auto& [page, start] : Other.pageStart_) {
    SelectPage(page);
    for (std::size_t i = 0; i < static_cast<std::size_t>(kPageSize); ++i)
      counts_[lastBase_ + i] += Other.counts_[start + i];
  }
}

std::uint64_t TIntervals::GetCount(std::int64_t Index) const {
  if (Index < lo_ || Index > hi_) return 0;
  const auto it = pageStart_.find(Index >> kPageBits);
  return it == pageStart_.end()
             ? 0
             : counts_[it->second + static_cast<std::size_t>(Index & (kPageSize - 1))];
}

void TIntervals::AppendLabel(std::string& Out, std::int64_t Index) const {
  char tmp[kItemRoom];
  Out.append(tmp, TLabelFormat(aGranularity).Put(tmp, Index));
}

void TIntervals::ShareLabels(TIntervals& Other) {
  if (Other.aGranularity != aGranularity) return;
  Other.Labels();
  labels_ = Other.labels_;
}

TIntervals::TLabelCache& TIntervals::Labels() const {
  if (!labels_) labels_ = std::make_shared<TLabelCache>(aGranularity);
  return *labels_;
}

template <class Sink>
void TIntervals::EmitLabels(Sink& sink, std::string_view sep) const {
  const std::int64_t lowest = GetLowestIndex();
  const std::int64_t highest = GetHighestIndex();
  if (sep == ",") {
    if (lowest < 0) sink.Write(Labels().Negative(lowest));
    if (highest >= 0) sink.Write(Labels().Positive(highest));
    return;
  }
  const TLabelFormat format(aGranularity);
  const std::size_t room = kItemRoom + sep.size();
  for (std::int64_t index = lowest; index <= highest;) {
    const std::int64_t end = std::min(highest + 1, index + static_cast<std::int64_t>(kChunk));
    char* p = sink.Reserve(static_cast<std::size_t>(end - index) * room);
    for (; index < end; ++index) {
      p = format.Put(p, index);
      std::memcpy(p, sep.data(), sep.size());
      p += sep.size();
    }
    sink.Advance(p);
  }
}

template <class Sink>
void TIntervals::EmitCounts(Sink& sink, std::string_view sep) const {
  const bool comma = sep == ",";
  const std::size_t room = kItemRoom + sep.size();
  // n empty intervals
  auto zeros = [&](std::int64_t n) {
    if (comma) {
      for (; n > 0; n -= static_cast<std::int64_t>(kZeroItems)) {
        const auto items = static_cast<std::size_t>(std::min<std::int64_t>(n, kZeroItems));
        sink.Write(std::string_view(kZeros.data(), 2 * items));
      }
      return;
    }
    while (n > 0) {
      const auto items = static_cast<std::size_t>(std::min<std::int64_t>(n, kChunk));
      char* p = sink.Reserve(items * room);
      for (std::size_t i = 0; i < items; ++i) {
        *p++ = '0';
        std::memcpy(p, sep.data(), sep.size());
        p += sep.size();
      }
      sink.Advance(p);
      n -= static_cast<std::int64_t>(items);
    }
  };
  if (IsEmpty()) return;
  // Only used counters can be non-zero: the runs between them are empty.
  std::int64_t next = GetLowestIndex();
  ForEachUsed([&](std::int64_t index, std::uint64_t count) {
    zeros(index - next);
    char* p = sink.Reserve(room);
    p = std::to_chars(p, p + kItemRoom, count).ptr;
    std::memcpy(p, sep.data(), sep.size());
    sink.Advance(p + sep.size());
    next = index + 1;
  });
  zeros(GetHighestIndex() + 1 - next);
}

void TIntervals::AppendLabelLine(std::string& Line, std::string_view sep) const {
  StringSink sink{Line};
  EmitLabels(sink, sep);
}

void TIntervals::AppendCountLine(std::string& Line, std::string_view sep) const {
  StringSink sink{Line};
  EmitCounts(sink, sep);
}

void TIntervals::GetOutput(std::vector<std::string>& OutputList, std::string_view sep) const {
  std::string labels;
  AppendLabelLine(labels, sep);
  std::string counts;
  AppendCountLine(counts, sep);
  OutputList.push_back(std::move(labels));
  OutputList.push_back(std::move(counts));
}

void TIntervals::GetOutput(std::vector<std::u16string>& OutputList, std::u16string_view sep) const {
  // Labels and counts are ASCII; only the separator may need more than one
  // byte, so the items are written with a placeholder separator of one
  // character that never occurs in them and spliced with sep afterwards.
  auto line = [&](bool labels) {
    std::string ascii;
    if (labels) {
      AppendLabelLine(ascii, ";");
    } else {
      AppendCountLine(ascii, ";");
    }
    std::u16string result;
    result.reserve(ascii.size() + ascii.size() / 2 * sep.size());
    for (const char ch : ascii) {
      if (ch == ';') {
        result.append(sep);
      } else {
        result += static_cast<char16_t>(ch);
      }
    }
    return result;
  };
  OutputList.push_back(line(true));
  OutputList.push_back(line(false));
}

void TIntervals::WriteOutput(std::ostream& Out, std::string_view sep,
                             std::string_view LineEnd) const {
  StreamSink sink{Out};
  EmitLabels(sink, sep);
  sink.Write(LineEnd);
  EmitCounts(sink, sep);
  sink.Write(LineEnd);
  sink.Flush();
}

void TIntervals::WriteOutput(TResultFile& Out) const {
  FileSink sink{Out};
  EmitLabels(sink, ",");
  sink.Write("\r\n");
  EmitCounts(sink, ",");
  sink.Write("\r\n");
}

}  // namespace tavora
