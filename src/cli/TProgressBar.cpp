#include "cli/TProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "processing/RunSummary.h"

#include "cli/TCancelSignals.h"

namespace tavora {

namespace {

std::string Megabytes(std::uint64_t bytes, bool unit = true) {
  char text[32];
  std::snprintf(text, sizeof text, unit ? "%.1f MB" : "%.1f", static_cast<double>(bytes) / 1e6);
  return text;
}

constexpr int kBarWidth = 10;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

}  // namespace

TProgressBar::TProgressBar(bool Draw, std::FILE* Out)
    : draw_(Draw), out_(Out), start_(std::chrono::steady_clock::now()), lastDraw_(start_) {}

TProgressBar::~TProgressBar() { Finish(); }

TProgressCallback TProgressBar::Callback() {
  return [this](std::uint64_t bytesRead, std::uint64_t totalBytes, std::uint64_t tokens) {
    return Report(bytesRead, totalBytes, tokens);
  };
}

TPhaseCallback TProgressBar::PhaseCallback() {
  return [this](TRunPhase phase) {
    phase_ = phase;
    // The reading phases draw at their reports; the writing phases say what they do once.
    if (draw_ && phase != TRunPhase::ReadingAndMeasuring && phase != TRunPhase::ReadingAndCounting)
      Draw(std::string(PhaseName(phase)) + "...");
  };
}

TPairProgressCallback TProgressBar::PairCallback() {
  return [this](std::uint64_t done, std::uint64_t total) { ReportPairs(done, total); };
}

void TProgressBar::ReportPairs(std::uint64_t Done, std::uint64_t Total) {
  const auto now = std::chrono::steady_clock::now();
  if (Total != pairTotal_ || Done == 0) {
    pairTotal_ = Total;
    pairStart_ = now;
  }
  if (!draw_ || Total == 0) return;
  const double share = std::min(1.0, static_cast<double>(Done) / static_cast<double>(Total));
  const int filled = static_cast<int>(share * kBarWidth);
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(share * 100));
  std::string line = std::string(PhaseName(TRunPhase::ComparingPairs)) + " [" +
                     std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
                     percent;
  const std::optional<double> left =
      EstimateSecondsLeft(share, std::chrono::duration<double>(now - pairStart_).count());
  if (left) line += "  " + FormatTimeLeft(*left);
  lastDraw_ = now;
  Draw(line);
}

std::string TProgressBar::FormatLine(TRunPhase Phase, std::uint64_t BytesRead,
                                     std::uint64_t TotalBytes, std::uint64_t Tokens,
                                     double Seconds) {
  std::string line(PhaseName(Phase));
  line += " ";
  std::optional<double> left;
  if (TotalBytes > 0) {
    const double share =
        std::min(1.0, static_cast<double>(BytesRead) / static_cast<double>(TotalBytes));
    const int filled = static_cast<int>(share * kBarWidth);
    line += "[" + std::string(static_cast<std::size_t>(filled), '#') +
            std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(share * 100));
    line += percent;
    line += "  " + Megabytes(BytesRead, false) + " / " + Megabytes(TotalBytes);
    left = EstimateSecondsLeft(share, Seconds);
  } else {
    line += Megabytes(BytesRead);
  }
  const double rate = Seconds > 0 ? static_cast<double>(Tokens) / Seconds : 0.0;
  line += "  " + GroupedNumber(static_cast<std::uint64_t>(rate)) + " tokens/s";
  if (left) line += "  " + FormatTimeLeft(*left);
  return line;
}

bool TProgressBar::Report(std::uint64_t BytesRead, std::uint64_t TotalBytes, std::uint64_t Tokens) {
  if (TCancelSignals::Requested()) return false;
  if (!draw_) return true;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - lastDraw_ < kRedrawEvery) return true;
  lastDraw_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  Draw(FormatLine(phase_, BytesRead, TotalBytes, Tokens, seconds));
  return true;
}

void TProgressBar::Draw(std::string line) {
  const std::size_t width = line.size();
  if (width < lastWidth_) line.append(lastWidth_ - width, ' ');
  lastWidth_ = width;
  std::fprintf(out_, "\r%s", line.c_str());
  std::fflush(out_);
  drawn_ = true;
}

void TProgressBar::Finish() {
  if (!drawn_) return;
  std::fprintf(out_, "\r%s\r", std::string(lastWidth_, ' ').c_str());
  std::fflush(out_);
  drawn_ = false;
}

}  // namespace tavora
