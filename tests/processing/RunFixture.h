#pragma once

// Helpers of the processing tests: a temporary folder, input files written into it, the
// options of a run with small defaults, and result files read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "TestFolders.h"
#include "base/Utf8.h"
#include "processing/RunOptions.h"
#include "processing/TProcessTexts.h"

namespace tavora::testing {

namespace fs = std::filesystem;

class RunFixture : public ::testing::Test {
 protected:
  void SetUp() override { out_ = dir_ / "out"; }

  // Writes bytes to a file in the temporary folder and returns its path.
  fs::path WriteInput(const std::string& name, const std::string& bytes) {
    const fs::path p = dir_ / fs::path(std::u8string(name.begin(), name.end()));
    std::ofstream f(p, std::ios::binary);
    f << bytes;
    return p;
  }
  static std::u16string U16(const fs::path& p) { return p.u16string(); }
  static std::u16string Lines(const std::vector<fs::path>& files) {
    std::u16string list;
    for (const fs::path& f : files) list += f.u16string() + u"\n";
    return list;
  }
  static std::string Utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
  }

  // The file's bytes; "" plus a failure when it is missing.
  static std::string Read(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    EXPECT_TRUE(f.good()) << "missing " << p;
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  // The lines of a result file, after checking its byte-order mark and CR LF ends.
  static std::vector<std::string> ReadLines(const fs::path& p) {
    std::string s = Read(p);
    std::vector<std::string> lines;
    if (s.rfind("\xEF\xBB\xBF", 0) != 0) {
      ADD_FAILURE() << p << " has no byte-order mark";
      return lines;
    }
    s.erase(0, 3);
    if (!s.empty() && !s.ends_with("\r\n")) ADD_FAILURE() << p << " does not end with CR LF";
    for (std::size_t start = 0; start < s.size();) {
      const std::size_t end = s.find("\r\n", start);
      lines.push_back(s.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  // Counts per interval label of every block of a distribution file: name line -> counts.
  static std::vector<std::pair<std::string, std::map<std::string, std::uint64_t>>>
  DistributionBlocks(const std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, std::map<std::string, std::uint64_t>>> blocks;
    EXPECT_EQ(lines.size() % 3, 0u);
    for (std::size_t i = 0; i + 2 < lines.size(); i += 3) {
      std::map<std::string, std::uint64_t> counts;
      std::size_t l = 0, c = 0;
      while (l < lines[i + 1].size()) {
        const std::size_t le = lines[i + 1].find(',', l), ce = lines[i + 2].find(',', c);
        counts[lines[i + 1].substr(l, le - l)] += std::stoull(lines[i + 2].substr(c, ce - c));
        l = le + 1;
        c = ce + 1;
      }
      blocks.emplace_back(lines[i], counts);
    }
    return blocks;
  }
  // The names in the output folder but its run record.
  std::vector<std::string> OutputNames() const {
    std::vector<std::string> names;
    if (!fs::exists(out_)) return names;
    for (const auto& e : fs::directory_iterator(out_))
      if (e.path().filename() != "TavoraRun.json") names.push_back(Utf8(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
  }

  // Options of one run; the defaults are a small plain-text measurement.
  struct TRun {
    THow How = THow::JStandard;
    std::u16string Input;
    bool IsWholeText = false;
    bool OmitPunctuation = true;
    bool OmitDigits = true;
    TCasesensitiveness CS = TCasesensitiveness::csCaseInsensitive;
    TWordOrLemmaSet WoL{tWordOrLemma::tokWord};
    TMeasureSet Measures{tMeasure::vTokens, tMeasure::vTypes};
    tMeasureSecondarySet Secondary{tMeasureSecondary::vTTR};
    TCustomVertical Custom{};
    std::uint32_t Lag = 3;
    TReferenceDictionaryPair Reference{};
    TOutputTypeSet Outputs = TOutputTypeSet::All();
    double Q = 2.0;
    std::string Locale;
    std::u16string Tags = u"N|A|V|D";
    TCorpusOptions Corpus{};
  };
  void Measure(const TRun& r, const TProgressCallback& progress = {}) {
    TProcessTexts process(r.Locale);
    process.SetAutosemanticTags(r.Tags);
    process.SetCorpusOptions(r.Corpus);
    process.Measure(r.How, r.Input, out_, r.IsWholeText, r.OmitPunctuation, r.OmitDigits, r.CS,
                    r.WoL, r.Measures, r.Secondary, r.Custom, r.Lag, r.Reference, r.Outputs, r.Q,
                    false, progress);
    report_ = process.GetReport();
  }

  ::tavora::test::TTempFolder folder_{"tavora_processing"};
  const fs::path& dir_ = folder_.Path();
  fs::path out_;
  TRunReport report_;  // of the last Measure
};

}  // namespace tavora::testing
