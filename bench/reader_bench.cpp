// Reading speed of the token stream against `wc -w` over the same files.
//
// Generates, when missing, a plain-text file of Zipf-distributed words with punctuation and a
// standard vertical file (seeded, so every machine gets the same bytes) in the folder named by
// TAVORA_BENCH_DATA (default: the system temporary folder), each TAVORA_BENCH_MB megabytes
// (default 200). Then reads every token of each through TTokenizationStream, taking the word of
// each, and times `wc -w` over the same file in the same run. Prints MB/s and the ratio.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "input/TTokenizationStream.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::vector<std::string> MakeVocabulary(std::mt19937_64& rng, std::size_t size) {
  static const char* const kLetters[] = {
      "a", "b", "c", "d", "e",        "f",        "g",        "h",        "i",
      "k", "l", "m", "n", "o",        "p",        "r",        "s",        "t",
      "u", "v", "w", "y", "\xC3\xA4", "\xC3\xB6", "\xC3\xA9", "\xD0\xB0", "\xD0\xBA"};
  std::uniform_int_distribution<int> length(1, 9);
  std::uniform_int_distribution<int> letter(0, 21);
  std::uniform_int_distribution<int> anyLetter(0, 26);
  std::vector<std::string> words;
  words.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    std::string w;
    const int n = length(rng) + (i > 1000 ? 2 : 0);
    for (int k = 0; k < n; ++k) w += kLetters[(i % 50 == 7) ? anyLetter(rng) : letter(rng)];
    words.push_back(std::move(w));
  }
  return words;
}

// Zipf sampler over ranks 0..n-1 with exponent 1.
class TZipf {
 public:
  explicit TZipf(std::size_t n) : cumulative_(n) {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) cumulative_[i] = (sum += 1.0 / static_cast<double>(i + 1));
    for (double& c : cumulative_) c /= sum;
  }
  std::size_t operator()(std::mt19937_64& rng) {
    const double u = std::uniform_real_distribution<double>(0, 1)(rng);
    return static_cast<std::size_t>(std::lower_bound(cumulative_.begin(), cumulative_.end(), u) -
                                    cumulative_.begin()) %
           cumulative_.size();
  }

 private:
  std::vector<double> cumulative_;
};

void Generate(const fs::path& path, std::uint64_t bytes, bool vertical) {
  if (fs::exists(path) && fs::file_size(path) >= bytes) return;
  std::cout << "generating " << path << " ..." << std::endl;
  std::mt19937_64 rng(vertical ? 20240602 : 20240601);
  const auto vocabulary = MakeVocabulary(rng, 50000);
  TZipf zipf(vocabulary.size());
  std::uniform_int_distribution<int> dice(0, 99);
  const fs::path partial = path.string() + ".part";
  {
    std::ofstream out(partial, std::ios::binary);
    std::string chunk;
    std::uint64_t written = 0;
    std::uint64_t tokens = 0;
    while (written < bytes) {
      chunk.clear();
      while (chunk.size() < (1u << 20)) {
        const std::string& w = vocabulary[zipf(rng)];
        ++tokens;
        if (vertical) {
          if (tokens % 5000 == 1) {
            chunk += "<doc id=\"";
            chunk += std::to_string(tokens / 5000);
            chunk += "\" genre=\"x\">\n";
          }
          if (tokens % 15 == 1) chunk += "<s>\n";
          chunk += w;
          chunk += '\t';
          chunk += w.substr(0, std::max<std::size_t>(1, w.size() - 1));
          chunk += dice(rng) < 30 ? "\tNN\tN\n" : "\tVB\tV\n";
          if (tokens % 15 == 0) chunk += "</s>\n";
          if (tokens % 5000 == 0) chunk += "</doc>\n";
        } else {
          if (tokens % 13 == 1 && dice(rng) < 50) {  // sentence-initial capital
            chunk += static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
            chunk.append(w, 1);
          } else {
            chunk += w;
          }
          const int d = dice(rng);
          if (d < 6)
            chunk += ',';
          else if (d < 9)
            chunk += '.';
          else if (d < 10)
            chunk += "\xE2\x80\x99s";
          chunk += (tokens % 12 == 0) ? "\n" : " ";
        }
      }
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      written += chunk.size();
    }
  }
  fs::rename(partial, path);
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double TimeStream(const fs::path& path, tavora::THow how, std::uint64_t& tokens) {
  const auto start = Clock::now();
  tavora::TTokenizationStream stream(how);
  stream.LoadFromFiles(path.u16string());
  std::uint64_t length = 0;
  tokens = 0;
  while (tavora::TToken* token = stream.ReadToken()) {
    if (!token->IsNormalWord()) continue;
    length += token->GetWord().size();
    ++tokens;
  }
  const double seconds = Seconds(start);
  if (length == 0) std::cout << "(no text)\n";
  return seconds;
}

double TimeWc(const fs::path& path) {
  const std::string command = "wc -w '" + path.string() + "' > /dev/null";
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) return NAN;
  return Seconds(start);
}

}  // namespace

int main() {
  const char* folderVar = std::getenv("TAVORA_BENCH_DATA");
  const fs::path folder =
      folderVar ? fs::path(folderVar) : fs::temp_directory_path() / "tavora-bench";
  const char* mbVar = std::getenv("TAVORA_BENCH_MB");
  const std::uint64_t megabytes = mbVar ? std::strtoull(mbVar, nullptr, 10) : 200;
  fs::create_directories(folder);

  struct TInput {
    const char* Name;
    tavora::THow How;
    bool Vertical;
    double Target;  // required ratio to wc -w
  };
  const TInput inputs[] = {{"plain", tavora::THow::JStandard, false, 0.7},
                           {"vertical", tavora::THow::jSYN, true, 1.0}};
  bool allMet = true;
  for (const TInput& input : inputs) {
    const fs::path path = folder / (std::string(input.Name) + "_" + std::to_string(megabytes) +
                                    (input.Vertical ? "mb.vert" : "mb.txt"));
    Generate(path, megabytes * 1000000, input.Vertical);
    const double mb = static_cast<double>(fs::file_size(path)) / 1e6;
    // Best of two runs each; the first run also warms the page cache.
    std::uint64_t tokens = 0;
    double stream = TimeStream(path, input.How, tokens);
    stream = std::min(stream, TimeStream(path, input.How, tokens));
    const double wc = std::min(TimeWc(path), TimeWc(path));
    const double ratio = wc / stream;
    allMet = allMet && ratio >= input.Target;
    std::printf(
        "%-8s %8.1f MB  %10llu tokens  stream %7.1f MB/s  wc -w %7.1f MB/s  ratio %.2f (target "
        "%.2f)\n",
        input.Name, mb, static_cast<unsigned long long>(tokens), mb / stream, mb / wc, ratio,
        input.Target);
  }
  std::printf(allMet ? "all targets met\n" : "a target was missed\n");
  return 0;
}
