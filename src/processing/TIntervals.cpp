#include "processing/TIntervals.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <system_error>

namespace tavora {

namespace {

// Collects output in a string; used for whole lines.
struct StringSink {
  std::string& out;
  std::string& buffer() { return out; }
  void MaybeFlush() {}
};

// Collects output in a small buffer that is handed to a stream when full.
struct StreamSink {
  std::ostream& out;
  std::string buf;
  static constexpr std::size_t kFlushAt = 1 << 16;
  std::string& buffer() { return buf; }
  void MaybeFlush() {
    if (buf.size() >= kFlushAt) Flush();
  }
  void Flush() {
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    buf.clear();
  }
};

void AppendUnsigned(std::string& out, std::uint64_t value) {
  char tmp[24];
  auto res = std::to_chars(tmp, tmp + sizeof tmp, value);
  out.append(tmp, res.ptr);
}

}  // namespace

TIntervals::TIntervals(std::uint32_t Granularity) : aGranularity(Granularity) {
  if (Granularity == 0) {
    throw std::invalid_argument("The granularity of a distribution must be at least 1");
  }
  // Powers of ten up to 10^4 get an exact fixed-point label without going
  // through double formatting; their labels never need an exponent.
  std::uint64_t scale = 1;
  for (int d = 0; d <= 4; ++d, scale *= 10) {
    if (scale == Granularity) {
      decimalScale_ = scale;
      decimals_ = d;
      break;
    }
  }
}

void TIntervals::Clear() {
  NovaDistribuce.clear();
  NovaDistribuceZaporna.clear();
  omitted_ = 0;
}

bool TIntervals::IntervalIndex(double Value, std::uint32_t Granularity, std::int32_t& Index) {
  const double scaled = Value * static_cast<double>(Granularity);
  if (!std::isfinite(scaled)) return false;
  // Round half to even independently of the floating-point rounding mode.
  // scaled - floor(scaled) is exact in binary floating point.
  double rounded = std::floor(scaled);
  const double frac = scaled - rounded;
  if (frac > 0.5 || (frac == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
  if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  Index = static_cast<std::int32_t>(rounded);
  return true;
}

void TIntervals::PridejKDistribuci(double Co, std::uint64_t Kolik) {
  std::int32_t index = 0;
  if (!IntervalIndex(Co, aGranularity, index)) {
    omitted_ += Kolik;
    return;
  }
  if (index >= 0) {
    const auto i = static_cast<std::size_t>(index);
    if (NovaDistribuce.size() <= i) NovaDistribuce.resize(i + 1, 0);
    NovaDistribuce[i] += Kolik;
  } else {
    const auto m = static_cast<std::size_t>(-static_cast<std::int64_t>(index));
    if (NovaDistribuceZaporna.size() < m) NovaDistribuceZaporna.resize(m, 0);
    NovaDistribuceZaporna[m - 1] += Kolik;
  }
}

std::int64_t TIntervals::GetLowestIndex() const {
  return NovaDistribuceZaporna.empty() ? 0 : -static_cast<std::int64_t>(NovaDistribuceZaporna.size());
}

std::int64_t TIntervals::GetHighestIndex() const {
  return static_cast<std::int64_t>(NovaDistribuce.size()) - 1;
}

std::uint64_t TIntervals::GetCount(std::int64_t Index) const {
  if (Index >= 0) {
    const auto i = static_cast<std::uint64_t>(Index);
    return i < NovaDistribuce.size() ? NovaDistribuce[i] : 0;
  }
  const auto m = static_cast<std::uint64_t>(-(Index + 1)) + 1;
  return m <= NovaDistribuceZaporna.size() ? NovaDistribuceZaporna[m - 1] : 0;
}

void TIntervals::AppendLabel(std::string& Out, std::int64_t Index) const {
  if (decimalScale_ != 0) {
    // Exact decimal: integer part, then the fraction without trailing zeros.
    const bool negative = Index < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(Index + 1)) + 1 : static_cast<std::uint64_t>(Index);
    std::uint64_t whole = magnitude / decimalScale_;
    std::uint64_t frac = magnitude % decimalScale_;
    if (negative) Out.push_back('-');
    AppendUnsigned(Out, whole);
    if (frac != 0) {
      int digits = decimals_;
      while (frac % 10 == 0) {
        frac /= 10;
        --digits;
      }
      char tmp[8];
      for (int d = digits - 1; d >= 0; --d) {
        tmp[d] = static_cast<char>('0' + frac % 10);
        frac /= 10;
      }
      Out.push_back('.');
      Out.append(tmp, static_cast<std::size_t>(digits));
    }
    return;
  }
  // General form with at most 15 significant digits, like "%.15g" but free
  // of the C locale.
  const double value = static_cast<double>(Index) / static_cast<double>(aGranularity);
  char tmp[40];
  auto res = std::to_chars(tmp, tmp + sizeof tmp, value, std::chars_format::general, 15);
  Out.append(tmp, res.ptr);
}

template <class Sink>
void TIntervals::EmitLine(Sink& sink, std::string_view sep, bool labels) const {
  std::string& out = sink.buffer();
  auto item = [&](std::int64_t index, std::uint64_t count) {
    if (labels) {
      AppendLabel(out, index);
    } else {
      AppendUnsigned(out, count);
    }
    out.append(sep);
    sink.MaybeFlush();
  };
  const auto negatives = static_cast<std::int64_t>(NovaDistribuceZaporna.size());
  for (std::int64_t k = negatives - 1; k >= 0; --k) {
    item(-(k + 1), NovaDistribuceZaporna[static_cast<std::size_t>(k)]);
  }
  for (std::size_t i = 0; i < NovaDistribuce.size(); ++i) {
    item(static_cast<std::int64_t>(i), NovaDistribuce[i]);
  }
}

void TIntervals::AppendLabelLine(std::string& Line, std::string_view sep) const {
  StringSink sink{Line};
  EmitLine(sink, sep, true);
}

void TIntervals::AppendCountLine(std::string& Line, std::string_view sep) const {
  StringSink sink{Line};
  EmitLine(sink, sep, false);
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
  // byte, so it is spliced in as UTF-16 around the ASCII items.
  auto line = [&](bool labels) {
    std::u16string result;
    std::string item;
    auto add = [&](std::int64_t index, std::uint64_t count) {
      item.clear();
      if (labels) {
        AppendLabel(item, index);
      } else {
        AppendUnsigned(item, count);
      }
      result.append(item.begin(), item.end());
      result.append(sep);
    };
    for (std::size_t k = NovaDistribuceZaporna.size(); k-- > 0;) {
      add(-static_cast<std::int64_t>(k) - 1, NovaDistribuceZaporna[k]);
    }
    for (std::size_t i = 0; i < NovaDistribuce.size(); ++i) {
      add(static_cast<std::int64_t>(i), NovaDistribuce[i]);
    }
    return result;
  };
  OutputList.push_back(line(true));
  OutputList.push_back(line(false));
}

void TIntervals::WriteOutput(std::ostream& Out, std::string_view sep, std::string_view LineEnd) const {
  StreamSink sink{Out, {}};
  sink.buf.reserve(StreamSink::kFlushAt + 64);
  EmitLine(sink, sep, true);
  sink.buf.append(LineEnd);
  EmitLine(sink, sep, false);
  sink.buf.append(LineEnd);
  sink.Flush();
}

}  // namespace tavora
