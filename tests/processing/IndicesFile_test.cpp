// The indices file of a measurement run, checked against a plain recomputation of every
// index from the same tokens, and runs without indices left as they were.

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "base/NumberFormat.h"
#include "processing/RunFixture.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAre;
using Tokens = std::vector<std::string>;

// ---- A plain recomputation, written from the definitions ----

double TtrOf(const Tokens& t, std::size_t from, std::size_t to) {
  return static_cast<double>(std::set<std::string>(t.begin() + from, t.begin() + to).size()) /
         static_cast<double>(to - from);
}

// The definitions' settings: MTLD's threshold and rule, HD-D's sample, the logarithm.
struct TPlainVariants {
  double threshold = 0.72;
  bool belowFromTen = false;  // a factor ends at TTR < threshold with 10 tokens or more
  double sample = 42;
  bool decimal = false;
};

bool FactorEnds(const Tokens& s, std::size_t from, std::size_t to, double threshold,
                bool belowFromTen) {
  const double ttr = TtrOf(s, from, to);
  return belowFromTen ? ttr < threshold && to - from >= 10 : ttr <= threshold;
}

double PlainMtld(const Tokens& t, const TPlainVariants& x = {}) {
  double sum = 0;
  for (int direction = 0; direction < 2; ++direction) {
    Tokens s = t;
    if (direction == 1) std::reverse(s.begin(), s.end());
    double factors = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (FactorEnds(s, start, i + 1, x.threshold, x.belowFromTen)) {
        factors += 1;
        start = i + 1;
      }
    }
    if (start < s.size()) factors += (1 - TtrOf(s, start, s.size())) / (1 - x.threshold);
    if (factors == 0) return NAN;
    sum += static_cast<double>(s.size()) / factors;
  }
  return sum / 2;
}

// Mean length of the completed factors from every start; wrapped, the text is read twice
// and a factor takes at most N tokens.
double PlainMtldMa(const Tokens& t, bool backward, bool wrap, double threshold, bool belowFromTen) {
  Tokens s = t;
  if (backward) std::reverse(s.begin(), s.end());
  const std::size_t n = s.size();
  if (wrap) s.insert(s.end(), t.begin(), t.end());
  double lengths = 0, completed = 0;
  for (std::size_t start = 0; start < n; ++start) {
    const std::size_t last = wrap ? start + n : n;
    for (std::size_t end = start + 1; end <= last; ++end) {
      if (FactorEnds(s, start, end, threshold, belowFromTen)) {
        lengths += static_cast<double>(end - start);
        completed += 1;
        break;
      }
    }
  }
  return lengths / completed;
}

// Every index but vocd-D as the indices file writes it, in column order.
std::vector<std::string> PlainIndices(const Tokens& t, std::size_t lag,
                                      const TPlainVariants& x = {}) {
  std::map<std::string, double> f;
  for (const std::string& w : t) f[w] += 1;
  const double N = static_cast<double>(t.size()), V = static_cast<double>(f.size());
  double squares = 0, pairs = 0, hdd = 0;
  for (const auto& [w, count] : f) {
    squares += count * count;
    pairs += count * (count - 1);
    // Probability that a sample misses the type, drawn one by one.
    double miss = 1;
    for (int k = 0; k < x.sample; ++k) miss *= std::max(0.0, (N - count - k) / (N - k));
    hdd += (1 - miss) / x.sample;
  }
  double msttr = 0;
  const std::size_t segments = t.size() / lag;
  for (std::size_t s = 0; s < segments; ++s) msttr += TtrOf(t, s * lag, (s + 1) * lag);
  const auto log = [&](double v) { return x.decimal ? std::log10(v) : std::log(v); };
  const double r = std::log(V) / std::log(N);
  const double values[] = {
      PlainMtld(t, x),
      (PlainMtldMa(t, false, false, x.threshold, x.belowFromTen) +
       PlainMtldMa(t, true, false, x.threshold, x.belowFromTen)) /
          2,
      N < x.sample ? NAN : hdd,
      segments == 0 ? NAN : msttr / static_cast<double>(segments),
      1e4 * (squares - N) / (N * N),
      V * V / (squares - V),
      pairs / (N * (N - 1)),
      std::sqrt(squares / (N * N) - 1 / V),
      (log(N) - log(V)) / std::pow(log(N), 2),
      std::pow(log(N), 2) / (log(N) - log(V)),
      log(log(V)) / log(log(N)),
      V / std::sqrt(2 * N),
      PlainMtldMa(t, false, true, x.threshold, true),
      (PlainMtldMa(t, false, false, x.threshold, true) +
       PlainMtldMa(t, true, false, x.threshold, true)) /
          2,
      NAN,
      NAN,
      std::log10(V) / std::sqrt(1 - r * r),
      std::log(V) / std::sqrt(1 - r * r),
      std::pow(std::log10(N), 2) / (std::log10(N) - std::log10(V)),
  };
  const int digits[] = {2, 4, 4, 4, 2, 4, 4, 4, 4, 2, 4, 2, 4, 4, 2, 2, 4, 4, 2};
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < kIndexCount; ++i) texts.push_back(FormatFixed(values[i], digits[i]));
  return texts;
}

// Quoted fields of a result line.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t close = line.find('"', i + 1);
    fields.push_back(line.substr(i + 1, close - i - 1));
    i = close + 2;
  }
  return fields;
}

class IndicesFile : public RunFixture {
 protected:
  // Words from a small vocabulary, the frequent ones more often.
  static Tokens RandomWords(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, 999);
    Tokens words;
    for (std::size_t i = 0; i < n; ++i) {
      const int r = pick(rng);
      const int rank = r < 400 ? r % 8 : r < 800 ? 8 + r % 30 : 38 + r % 120;
      std::string w;
      for (int x = rank + 1; x > 0; x /= 26) w += static_cast<char>('a' + x % 26);
      words.push_back(w);
    }
    return words;
  }
  static std::string Joined(const Tokens& t) {
    std::string s;
    for (const std::string& w : t) s += w + " ";
    return s;
  }
  void MeasureWithIndices(const TRun& r, TIndexSet indices, const TIndexVariants& variants = {}) {
    TProcessTexts process(r.Locale);
    process.SetAutosemanticTags(r.Tags);
    process.SetIndices(indices);
    process.SetIndexVariants(variants);
    process.Measure(r.How, r.Input, out_, r.IsWholeText, r.OmitPunctuation, r.OmitDigits, r.CS,
                    r.WoL, r.Measures, r.Secondary, r.Custom, r.Lag, r.Reference, r.Outputs, r.Q,
                    false);
  }
};

// The chosen fields of a plain recomputation, in column order.
std::vector<std::string> Chosen(const std::vector<std::string>& all, TIndexSet indices) {
  std::vector<std::string> chosen;
  for (const tIndex i : indices) chosen.push_back(all[static_cast<std::size_t>(i)]);
  return chosen;
}

TEST_F(IndicesFile, FieldsEqualAPlainRecomputation) {
  // Three documents: a long one, one shorter than 42 tokens and the window, one of a
  // single repeated word. Punctuation and digits are dropped and case is folded first.
  const Tokens long1 = RandomWords(400, 7), short2 = RandomWords(30, 8);
  const Tokens same3(12, "la");
  const fs::path a = WriteInput("a.txt", Joined(long1) + ", 12 ");
  const fs::path b = WriteInput("b.txt", Joined(short2));
  const fs::path c = WriteInput("c.txt", "LA la. La 1 la la la la la la la la la");
  TRun r;
  r.Input = Lines({a, b, c});
  r.Lag = 50;
  r.Outputs = TOutputTypeSet{TOutputType::outIndices};
  MeasureWithIndices(r, kDefaultIndices);
  EXPECT_THAT(OutputNames(), ElementsAre("IndicesWord.csv"));
  const auto lines = ReadLines(out_ / "IndicesWord.csv");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "\"File Name\",\"Text id\",\"MTLD\",\"MTLD-MA\",\"HD-D\",\"MSTTR\",\"Yule's K\","
            "\"Yule's I\",\"Simpson's D\",\"Herdan's Vm\",\"Maas a\xC2\xB2\",\"Dugast U\","
            "\"Summer S\",\"CTTR\"");
  const std::vector<std::pair<fs::path, Tokens>> docs = {{a, long1}, {b, short2}, {c, same3}};
  for (std::size_t d = 0; d < docs.size(); ++d) {
    std::vector<std::string> expected = {Utf8(docs[d].first), std::to_string(d + 1)};
    for (const std::string& v : Chosen(PlainIndices(docs[d].second, 50), kDefaultIndices))
      expected.push_back(v);
    EXPECT_EQ(Fields(lines[d + 1]), expected) << d + 1;
  }
}

// Every index but vocd-D under variants of the definitions, against the recomputation.
TEST_F(IndicesFile, VariantsEqualAPlainRecomputation) {
  const std::vector<Tokens> docs = {RandomWords(300, 11), RandomWords(60, 12), RandomWords(35, 13),
                                    Tokens(20, "la")};
  std::vector<fs::path> files;
  for (std::size_t d = 0; d < docs.size(); ++d)
    files.push_back(WriteInput("v" + std::to_string(d) + ".txt", Joined(docs[d])));
  TRun r;
  r.Input = Lines({files[0], files[1], files[2], files[3]});
  r.Lag = 20;
  r.Outputs = TOutputTypeSet{TOutputType::outIndices};
  const TIndexSet indices = TIndexSet::All() - TIndexSet{tIndex::ixVocdD, tIndex::ixVocdD3};
  struct Case {
    TIndexVariants variants;
    TPlainVariants plain;
  };
  const Case cases[] = {
      {{0.72, TMtldRule::mrAtOrBelow, 42, TLogBase::lbNatural, 42}, {}},
      {{0.7, TMtldRule::mrBelowMinTen, 30, TLogBase::lbDecimal, 42}, {0.7, true, 30, true}},
      {{0.8, TMtldRule::mrAtOrBelow, 1, TLogBase::lbDecimal, 42}, {0.8, false, 1, true}},
  };
  for (const Case& c : cases) {
    fs::remove_all(out_);
    MeasureWithIndices(r, indices, c.variants);
    const auto lines = ReadLines(out_ / "IndicesWord.csv");
    ASSERT_EQ(lines.size(), docs.size() + 1);
    for (std::size_t d = 0; d < docs.size(); ++d) {
      std::vector<std::string> fields = Fields(lines[d + 1]);
      fields.erase(fields.begin(), fields.begin() + 2);
      EXPECT_EQ(fields, Chosen(PlainIndices(docs[d], 20, c.plain), indices))
          << c.plain.threshold << " " << d;
    }
  }
}

// A chosen subset for both kinds; the lemma of plain text is the word form as it stands.
TEST_F(IndicesFile, ChosenIndicesForBothKinds) {
  TRun r;
  r.Input = u"A b a c b a";
  r.IsWholeText = true;
  r.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma};
  r.Outputs = TOutputTypeSet{TOutputType::outIndices, TOutputType::outWholeTexts};
  MeasureWithIndices(r, TIndexSet{tIndex::ixYuleK, tIndex::ixMTLD});
  EXPECT_THAT(OutputNames(), ElementsAre("IndicesLemma.csv", "IndicesWord.csv",
                                         "WholeTextsLemma.csv", "WholeTextsWord.csv"));
  EXPECT_EQ(Read(out_ / "IndicesWord.csv"),
            "\xEF\xBB\xBF\"File Name\",\"Text id\",\"MTLD\",\"Yule's K\"\r\n"
            "\"\",\"1\",\"6.00\",\"2222.22\"\r\n");
  const auto lemma = ReadLines(out_ / "IndicesLemma.csv");
  ASSERT_EQ(lemma.size(), 2u);
  EXPECT_EQ(Fields(lemma[1])[2], FormatFixed(PlainMtld({"A", "b", "a", "c", "b", "a"}), 2));
}

// Without indices chosen, or without the family, a run writes what it always wrote.
TEST_F(IndicesFile, RunWithoutIndicesIsUnchanged) {
  const fs::path a = WriteInput("a.txt", Joined(RandomWords(120, 3)));
  const fs::path b = WriteInput("b.txt", "x y x z");
  TRun r;
  r.Input = Lines({a, b});
  r.Outputs = TOutputTypeSet{TOutputType::outAverage, TOutputType::outDistribution,
                             TOutputType::outSerie, TOutputType::outWholeTexts};
  Measure(r);
  const std::vector<std::string> names = OutputNames();
  std::map<std::string, std::string> before;
  for (const std::string& n : names) before[n] = Read(out_ / n);
  fs::remove_all(out_);

  // Every family, no index chosen: no indices file.
  r.Outputs = TOutputTypeSet::All();
  Measure(r);
  EXPECT_EQ(OutputNames(), names);
  fs::remove_all(out_);

  // Indices chosen: the same files, byte for byte, plus the indices file.
  MeasureWithIndices(r, TIndexSet::All());
  std::vector<std::string> withIndices = names;
  withIndices.push_back("IndicesWord.csv");
  std::sort(withIndices.begin(), withIndices.end());
  EXPECT_EQ(OutputNames(), withIndices);
  for (const auto& [n, bytes] : before) EXPECT_EQ(Read(out_ / n), bytes) << n;
  fs::remove_all(out_);

  // Indices chosen but not the family.
  r.Outputs = TOutputTypeSet{TOutputType::outAverage, TOutputType::outDistribution,
                             TOutputType::outSerie, TOutputType::outWholeTexts};
  MeasureWithIndices(r, TIndexSet::All());
  EXPECT_EQ(OutputNames(), names);
}

// The parameter bundle carries the chosen indices and their variants.
TEST_F(IndicesFile, ParameterBundleCarriesTheIndices) {
  TMeasureParameters p;
  EXPECT_EQ(p.Indices, kDefaultIndices);
  EXPECT_EQ(p.IndexVariants, TIndexVariants{});
  p.InputFile = u"a b a";
  p.IsWholeText = true;
  p.OutputFolder = out_.u16string();
  p.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord};
  p.OutputTypes = TOutputTypeSet{TOutputType::outIndices};
  p.Indices = TIndexSet{tIndex::ixCTTR, tIndex::ixMaas};
  p.IndexVariants.LogBase = TLogBase::lbDecimal;
  TProcessTexts process;
  process.Measure(p, TReferenceDictionaryPair{});
  EXPECT_EQ(process.GetIndices(), p.Indices);
  EXPECT_EQ(process.GetIndexVariants(), p.IndexVariants);
  // Maas a² of N = 3, V = 2 in decimal logarithms: log10 1.5 / log10² 3.
  EXPECT_EQ(Read(out_ / "IndicesWord.csv"),
            "\xEF\xBB\xBF\"File Name\",\"Text id\",\"Maas a\xC2\xB2\",\"CTTR\"\r\n"
            "\"\",\"1\",\"0.7735\",\"0.82\"\r\n");
}

}  // namespace
}  // namespace tavora::testing
