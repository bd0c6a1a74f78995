// A run that reads on a thread of its own writes exactly what a run on one thread writes:
// every result file of every input format, the frequency lists, the files left by an
// input error or a cancellation, and the series files streamed to disk.

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "TestFolders.h"
#include "engine/TReferenceDictionary.h"
#include "engine/TSimpleTTR.h"
#include "input/TTokenizationStream.h"
#include "processing/RunFixture.h"
#include "processing/TDocumentWorkers.h"
#include "processing/TTokenPipeline.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

// One generated word with its lemma and tag.
struct TGenWord {
  std::string Word, Lemma, Tag;
};

// Words of a Zipf-like vocabulary with upper case, non-ASCII letters, punctuation and
// digits, so that every filter and case rule has work.
class TWordSource {
 public:
  explicit TWordSource(unsigned seed) : rng_(seed) {}
  TGenWord Next() {
    static const TGenWord fixed[] = {
        {"Ärger", "Ärger", "NN1"},
        {"İstanbul", "İstanbul", "NP0"},
        {"naïve", "naïve", "AJ0"},
        {"ÉCOLE", "école", "NN1"},
        {"Paris", "Paris", "NP0"},
        {"The", "the", "AT0"},
        {"was", "být", "VB-x"},
        {",", ",", "PUN"},
        {".", ".", "PUN"},
        {"2024", "2024", "CRD"},
        {"3", "3", "CRD"},
        {"dog", "dog", "NN1"},
        {"Dogs", "dog", "NN2"},
        {"runs", "run", "VVZ"},
        {"quickly", "quickly", "AV0"},
        {"Ωμέγα", "ωμέγα", "Dxxx"},
        {"ran", "run", "VVD"},
        {"red", "red", "AJ0-NN1"},
    };
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
    auto rank = static_cast<unsigned>(std::exp(u * std::log(3000.0)));
    if (rank < std::size(fixed)) return fixed[rank];
    std::string word;
    do {
      word += static_cast<char>('a' + rank % 26);
      rank /= 26;
    } while (rank != 0);
    TGenWord w{word, word, rank % 3 == 0 ? "NN1" : "VVB"};
    if (rng_() % 11 == 0) w.Word[0] = static_cast<char>(w.Word[0] - 'a' + 'A');
    return w;
  }

 private:
  std::mt19937 rng_;
};

// The bytes of one input file in format how, holding `docs` documents of about `words`
// words each (formats without a document marker hold one document per file).
std::string MakeInput(THow how, TWordSource& source, int docs, int words) {
  std::string s;
  for (int d = 0; d < docs; ++d) {
    const std::string id = std::to_string(d + 1);
    if (how == THow::jSYN) s += "<doc id=\"" + id + "\">\n<s>\n";
    if (how == THow::jCOCA) s += "##" + id + "\n";
    if (how == THow::jCustomVertical) s += "<doc n=" + id + ">\n";
    if (how == THow::jCONLLU) s += "# newdoc id = d" + id + "\n# text = x\n";
    if (how == THow::jBNC) s += "<bnc><s n=\"" + id + "\">";
    for (int i = 0; i < words; ++i) {
      const TGenWord w = source.Next();
      switch (how) {
        case THow::JStandard:
          s += w.Word + (i % 9 == 8 ? ".\n" : " ");
          break;
        case THow::JLines:
          s += w.Word + "\n";
          break;
        case THow::JWhiteSpaces:
          s += w.Word + (i % 7 == 6 ? "\n" : i % 5 == 4 ? "\t" : " ");
          break;
        case THow::jSYN:
        case THow::jCOCA:
          s += w.Word + "\t" + w.Lemma + "\t" + w.Tag + "\n";
          if (how == THow::jSYN && i % 13 == 12) s += "</s>\n<s>\n";
          break;
        case THow::jCustomVertical:
          s += w.Word + "\t" + w.Lemma + "\t_\t" + w.Tag + "\n";
          break;
        case THow::jCONLLU:
          s += std::to_string(i + 1) + "\t" + w.Word + "\t" + w.Lemma + "\tX\t" + w.Tag +
               "\t_\t_\t_\t_\t_\n";
          if (i % 11 == 10) s += "\n# text = y\n";
          break;
        case THow::jBNC:
          s += w.Tag == "PUN"
                   ? "<c c5=\"PUN\">" + w.Word + " </c>"
                   : "<w hw=\"" + w.Lemma + "\" pos=\"X\" c5=\"" + w.Tag + "\">" + w.Word + " </w>";
          break;
      }
    }
    if (how == THow::jSYN) s += "</s>\n</doc>\n";
    if (how == THow::jCONLLU) s += "\n";
    if (how == THow::jBNC) s += "</s>\n</bnc>\n";
  }
  return s;
}

bool HasLemmata(THow how) {
  return how != THow::JStandard && how != THow::JLines && how != THow::JWhiteSpaces;
}

class ThreadedRun : public RunFixture {
 protected:
  // Every file of a folder by name, but the run record (it holds the run's times).
  static std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().filename() != "TavoraRun.json")
        files[Utf8(e.path().filename())] = Read(e.path());
    return files;
  }
  static void ExpectSameFiles(const fs::path& a, const fs::path& b) {
    const auto fa = Files(a), fb = Files(b);
    std::set<std::string> na, nb;
    for (const auto& [name, bytes] : fa) na.insert(name);
    for (const auto& [name, bytes] : fb) nb.insert(name);
    ASSERT_EQ(na, nb);
    for (const auto& [name, bytes] : fa) EXPECT_TRUE(bytes == fb.at(name)) << name << " differs";
  }

  // Measures r with `threads` into out_/<folder>; the run's report, without its time.
  TRunReport MeasureWith(const TRun& r, unsigned threads, const std::string& folder,
                         const TProgressCallback& progress = {}) {
    TProcessTexts process(r.Locale);
    process.SetThreads(threads);
    process.SetCorpusOptions(r.Corpus);
    process.SetAutosemanticTags(r.Tags);
    process.SetIndices(TIndexSet::All());
    process.Measure(r.How, r.Input, out_ / folder, r.IsWholeText, r.OmitPunctuation, r.OmitDigits,
                    r.CS, r.WoL, r.Measures, r.Secondary, r.Custom, r.Lag, r.Reference, r.Outputs,
                    r.Q, false, progress);
    TRunReport report = process.GetReport();
    report.Seconds = 0;
    return report;
  }
  static void ExpectSameReports(const TRunReport& a, const TRunReport& b) {
    EXPECT_EQ(a.Documents, b.Documents);
    EXPECT_EQ(a.Tokens, b.Tokens);
    EXPECT_EQ(a.ShortDocuments, b.ShortDocuments);
    EXPECT_EQ(a.Warnings, b.Warnings);
  }
  // The frequency lists of r made with `threads`: the bytes of the saved files (types in
  // order of first occurrence) and the run's report.
  std::pair<std::string, TRunReport> ListsWith(const TRun& r, unsigned threads,
                                               const TProgressCallback& progress = {}) {
    TProcessTexts process(r.Locale);
    process.SetThreads(threads);
    process.SetCorpusOptions(r.Corpus);
    const std::string name = "list" + std::to_string(threads);
    const fs::path words = dir_ / (name + "w.tsv"), lemmata = dir_ / (name + "l.tsv");
    process.PrepareDictionary(r.How, r.Input, words, lemmata, r.IsWholeText, r.OmitPunctuation,
                              r.OmitDigits, r.CS, r.WoL, r.Custom, progress);
    TRunReport report = process.GetReport();
    report.Seconds = 0;
    std::string saved;
    for (const fs::path& file : {words, lemmata})
      if (fs::exists(file)) saved += Read(file) + "\n--\n";
    return {saved, report};
  }
  void ExpectSameLists(const TRun& r) {
    const auto [saved, report] = ListsWith(r, 1);
    EXPECT_FALSE(saved.empty());
    for (const unsigned threads : {2u, 7u}) {
      const auto [other, otherReport] = ListsWith(r, threads);
      EXPECT_TRUE(saved == other) << threads << " threads";
      ExpectSameReports(report, otherReport);
    }
  }

  // A run of every measure, result family and index over the given files.
  TRun FullRun(THow how, const std::vector<fs::path>& files) const {
    TRun r;
    r.How = how;
    r.Input = Lines(files);
    r.WoL = HasLemmata(how) ? TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma}
                            : TWordOrLemmaSet{tWordOrLemma::tokWord};
    r.Measures = TMeasureSet::All();
    r.Secondary = tMeasureSecondarySet::All();
    r.Lag = 10;
    if (how == THow::jCustomVertical) r.Custom = TCustomVertical{true, 1, 2, 4, u"<doc"};
    return r;
  }
};

constexpr THow kAllFormats[] = {THow::JStandard, THow::JLines, THow::JWhiteSpaces,
                                THow::jSYN,      THow::jCOCA,  THow::jCustomVertical,
                                THow::jCONLLU,   THow::jBNC};

// Small inputs of every format under every filter and case rule, then a large one of
// every format that crosses many batches: same result files, same frequency lists, on 1, 2
// and 7 threads.
TEST_F(ThreadedRun, EveryFormatWritesTheSameFiles) {
  struct Case {
    int files, docs, words;
    bool omitPunctuation, omitDigits;
    TCasesensitiveness cs;
  };
  const Case cases[] = {
      {3, 2, 40, true, true, TCasesensitiveness::csCaseInsensitive},
      {2, 3, 25, false, false, TCasesensitiveness::csOnlyIfLemma},
      {1, 1, 5, true, false, TCasesensitiveness::csCaseSensitive},
      {4, 2, 6500, false, true, TCasesensitiveness::csOnlyIfLemma},  // 52,000 words
  };
  unsigned seed = 1;
  for (const THow how : kAllFormats) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "format " << static_cast<int>(how) << ", "
                                        << c.files * c.docs * c.words << " words");
      TWordSource source(seed++);
      std::vector<fs::path> files;
      for (int f = 0; f < c.files; ++f) {
        files.push_back(WriteInput("in" + std::to_string(seed) + "_" + std::to_string(f) + ".txt",
                                   MakeInput(how, source, c.docs, c.words)));
      }
      TRun r = FullRun(how, files);
      r.OmitPunctuation = c.omitPunctuation;
      r.OmitDigits = c.omitDigits;
      r.CS = c.cs;
      if (c.words > 1000) {  // keep the large runs short: no edit distances
        r.Measures = TMeasureSet::All();
        r.Measures.Exclude(tMeasure::vDifference);
      }
      // All outputs, then none per window (the files are then measured a file per thread
      // where each begins a document, also with a document per file).
      for (const bool perWindow : {true, false}) {
        if (!perWindow) {
          r.Outputs = {TOutputType::outAverage, TOutputType::outWholeTexts,
                       TOutputType::outIndices};
          r.Corpus.DocumentPerFile = seed % 2 == 0;
        }
        const TRunReport one = MeasureWith(r, 1, "one");
        ExpectSameReports(one, MeasureWith(r, 2, "two"));
        ExpectSameReports(one, MeasureWith(r, 7, "seven"));
        EXPECT_FALSE(Files(out_ / "one").empty());
        ExpectSameFiles(out_ / "one", out_ / "two");
        ExpectSameFiles(out_ / "one", out_ / "seven");
        fs::remove_all(out_);
      }
      ExpectSameLists(r);
    }
  }
}

// A vocabulary too large for the cache, where type look-ups are prefetched ahead: the list
// and each document's types count every word exactly once, on 1 thread and a file per thread.
TEST_F(ThreadedRun, LargeVocabulariesCountEveryTypeOnce) {
  std::mt19937 rng(5);
  std::vector<std::string> order;  // the types
  std::map<std::string, std::uint64_t> counts;
  std::vector<std::size_t> typesPerFile;
  std::vector<fs::path> files;
  for (int f = 0; f < 2; ++f) {
    std::string text;
    std::set<std::string> seen;
    for (int i = 0; i < 90000; ++i) {
      std::string word;
      for (unsigned n = rng() % 70000 + 1; n != 0; n /= 26) word += static_cast<char>('a' + n % 26);
      text += word + "\n";
      seen.insert(word);
      if (counts[word]++ == 0) order.push_back(word);
    }
    typesPerFile.push_back(seen.size());
    files.push_back(WriteInput("big" + std::to_string(f) + ".txt", text));
  }
  // Lists go by falling count, ties in code-point order.
  std::sort(order.begin(), order.end(), [&](const std::string& a, const std::string& b) {
    return counts[a] != counts[b] ? counts[a] > counts[b] : a < b;
  });
  std::string expected = "\xEF\xBB\xBF";
  for (const std::string& word : order)
    expected += word + "\t" + std::to_string(counts[word]) + "\r\n";
  TRun r = FullRun(THow::JLines, files);
  for (const unsigned threads : {1u, 2u}) {
    EXPECT_TRUE(ListsWith(r, threads).first == expected + "\n--\n") << threads << " threads";
    r.Measures = {tMeasure::vTypes};
    r.Secondary = {};
    r.Outputs = {TOutputType::outWholeTexts};
    MeasureWith(r, threads, "big");
    const std::vector<std::string> lines = ReadLines(out_ / "big" / "WholeTextsWord.csv");
    ASSERT_EQ(lines.size(), 3u);
    for (std::size_t f = 0; f < 2; ++f)
      EXPECT_TRUE(lines[f + 1].ends_with(",\"" + std::to_string(typesPerFile[f]) + "\""))
          << lines[f + 1];
    fs::remove_all(out_);
  }
}

// Workers hand their counts over with a file's results once they pass HandOverTypes: what
// comes with the files and what is left at the end add up to the counts of the whole input.
TEST_F(ThreadedRun, WorkersHandCountsOverAndTheyAddUp) {
  std::mt19937 rng(3);
  std::map<std::u16string, std::uint64_t> expected;
  std::vector<fs::path> files;
  for (int f = 0; f < 6; ++f) {
    std::string text;
    for (int i = 0; i < 500; ++i) {
      std::string word;
      for (unsigned n = rng() % 400 + 1; n != 0; n /= 26) word += static_cast<char>('a' + n % 26);
      text += word + "\n";
      ++expected[Utf8ToUtf16(word)];
    }
    files.push_back(WriteInput("hand" + std::to_string(f) + ".txt", text));
  }
  TWorkerSetup setup;
  setup.How = THow::JLines;
  setup.Kinds = {tWordOrLemma::tokWord};
  setup.Count = true;
  setup.HandOverTypes = 50;
  TDocumentWorkers workers(setup, files, 3);
  std::map<std::u16string, std::uint64_t> got;
  const auto add = [&](const std::vector<TTypeCounter>& counts) {
    for (const TTypeCounter& counter : counts)
      counter.ForEach([&](std::u16string_view t, std::uint64_t n) { got[std::u16string(t)] += n; });
  };
  std::size_t handedOver = 0;
  while (const auto file = workers.Next(std::function<void()>())) {
    ASSERT_FALSE(file->Error);
    handedOver += file->Counts.empty() ? 0 : 1;
    add(file->Counts);
  }
  for (const std::vector<TTypeCounter>& counts : workers.TakeCounts()) add(counts);
  EXPECT_GT(handedOver, 0u);
  EXPECT_EQ(got, expected);
}

// Pasted text takes the same way.
TEST_F(ThreadedRun, PastedTextWritesTheSameFiles) {
  TWordSource source(99);
  TRun r = FullRun(THow::JStandard, {});
  r.Input = Utf8ToUtf16(MakeInput(THow::JStandard, source, 1, 9000));
  r.IsWholeText = true;
  MeasureWith(r, 1, "one");
  MeasureWith(r, 2, "two");
  ExpectSameFiles(out_ / "one", out_ / "two");
  ExpectSameLists(r);
}

// A listed file that cannot be opened when its turn comes (it vanished after the folder was
// walked), after files that span several batches: the same error and the same files on disk
// either way.
TEST_F(ThreadedRun, FileThatCannotBeOpenedEndsBothRunsAlike) {
  TWordSource source(7);
  const fs::path corpus = dir_ / "corpus";
  fs::create_directories(corpus);
  WriteInput("corpus/a.txt", MakeInput(THow::JWhiteSpaces, source, 1, 30000));
  WriteInput("corpus/b.txt", MakeInput(THow::JWhiteSpaces, source, 1, 5000));
  const std::string c = MakeInput(THow::JWhiteSpaces, source, 1, 10);
  WriteInput("corpus/d.txt", MakeInput(THow::JWhiteSpaces, source, 1, 100));
  const std::string expected =
      "Cannot open file \"" + Utf8(corpus / "c.txt") + "\". No such file or directory.";
  // At the first report the reading, a few batches ahead at most, is still in a.txt.
  const TProgressCallback vanish = [&](std::uint64_t, std::uint64_t, std::uint64_t) {
    fs::remove(corpus / "c.txt");
    return true;
  };

  TRun r = FullRun(THow::JWhiteSpaces, {corpus});
  for (const unsigned threads : {1u, 2u}) {
    WriteInput("corpus/c.txt", c);
    EXPECT_THAT([&] { MeasureWith(r, threads, "m" + std::to_string(threads), vanish); },
                ThrowsMessage<std::runtime_error>(StrEq(expected)));
    WriteInput("corpus/c.txt", c);
    EXPECT_THAT([&] { ListsWith(r, threads, vanish); },
                ThrowsMessage<std::runtime_error>(StrEq(expected)));
  }
  // A failed run leaves nothing behind, not even the series of the documents before.
  EXPECT_TRUE(Files(out_ / "m1").empty());
  EXPECT_TRUE(Files(out_ / "m2").empty());
}

// The progress reports come with the same values in the same order either way; a stop
// at the third report ends both runs alike, and no reading thread outlives the run.
TEST_F(ThreadedRun, ProgressAndCancellationMatch) {
  TWordSource source(11);
  std::vector<fs::path> files;
  for (int f = 0; f < 4; ++f)
    files.push_back(
        WriteInput("p" + std::to_string(f) + ".txt", MakeInput(THow::jSYN, source, 2, 2500)));
  const TRun r = FullRun(THow::jSYN, files);
  using TReport = std::array<std::uint64_t, 3>;
  std::vector<TReport> reports[3];
  const fs::path tasks("/proc/self/task");
  auto threadCount = [&] {
    std::size_t n = 0;
    std::error_code ec;
    for (fs::directory_iterator it(tasks, ec), end; !ec && it != end; it.increment(ec)) ++n;
    return n;
  };
  const std::size_t threadsBefore = threadCount();
  for (const unsigned threads : {1u, 2u}) {
    MeasureWith(r, threads, "full" + std::to_string(threads),
                [&](std::uint64_t read, std::uint64_t total, std::uint64_t tokens) {
                  reports[threads].push_back({read, total, tokens});
                  return true;
                });
    int calls = 0;
    EXPECT_THROW(
        MeasureWith(r, threads, "cancel" + std::to_string(threads),
                    [&](std::uint64_t, std::uint64_t, std::uint64_t) { return ++calls < 3; }),
        TRunCancelled);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(threadCount(), threadsBefore);
  }
  // A report made again while a long whole-text comparison runs repeats the one before,
  // as often as time says: the sequences match once the repeats are dropped.
  for (std::vector<TReport>& r : reports) r.erase(std::unique(r.begin(), r.end()), r.end());
  EXPECT_GE(reports[1].size(), 5u);
  EXPECT_EQ(reports[1], reports[2]);
  ExpectSameFiles(out_ / "full1", out_ / "full2");
  // A cancelled run leaves nothing, not even the series of the documents that had ended.
  EXPECT_TRUE(Files(out_ / "cancel1").empty());
  EXPECT_TRUE(Files(out_ / "cancel2").empty());
}

// The pipeline hands out the same words, documents and reports whatever the batch size
// and whether it reads on a thread, and delivers an error after the words before it.
TEST(TTokenPipeline, BatchesCarryTheSameWordsThreadedOrNot) {
  TWordSource source(5);
  std::string text = MakeInput(THow::jSYN, source, 5, 3000);
  const std::vector<std::u16string> lines = [&] {
    std::vector<std::u16string> l;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      l.push_back(Utf8ToUtf16(text.substr(start, end - start)));
    return l;
  }();
  auto collect = [&](bool threaded, std::size_t batchSize) {
    TTokenizationStream stream(THow::jSYN);
    stream.LoadFromStringList(lines);
    TTokenPipeline pipeline(stream, true, threaded, batchSize);
    EXPECT_EQ(pipeline.IsThreaded(), threaded);
    std::u16string all;
    std::size_t batches = 0;
    while (const TTokenBatch* b = pipeline.Next()) {
      ++batches;
      EXPECT_LE(b->Size(), batchSize);
      std::size_t doc = 0;
      for (std::size_t i = 0; i < b->Size(); ++i) {
        for (const auto& t : b->Ticks())
          if (t.Before == i) all += u"@" + Utf8ToUtf16(std::to_string(t.Tokens)) + u"\n";
        const auto& w = (*b)[i];
        if (w.StartsDocument) all += u"#" + std::u16string(b->DocumentName(doc++)) + u"\n";
        all += std::u16string(b->Word(w)) + u"|" + std::u16string(b->Lemma(w)) + u"|" +
               std::u16string(b->Tag(w)) + (w.IsPunctuation ? u"p" : u"") +
               (w.IsDigit ? u"d" : u"") + u"\n";
      }
    }
    EXPECT_GT(batches, 15000 / batchSize);
    return all;
  };
  const std::u16string expected = collect(false, 4096);
  EXPECT_NE(expected.find(u"@"), std::u16string::npos);  // progress reports were made
  for (const std::size_t size : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
    EXPECT_TRUE(collect(true, size) == expected) << size;
    EXPECT_TRUE(collect(false, size) == expected) << size;
  }
}

TEST(TTokenPipeline, ErrorFollowsTheWordsReadBeforeIt) {
  const ::tavora::test::TTempFolder folder("tavora_pipeline");
  const fs::path& dir = folder.Path();
  const fs::path a = dir / "a.txt", b = dir / "b.txt";
  std::ofstream(a) << "one two three four five";
  std::ofstream(b) << "six";
  for (const bool threaded : {false, true}) {
    TTokenizationStream stream(THow::JStandard);
    stream.LoadFromFiles(a.u16string() + u"\n" + b.u16string());
    fs::remove(b);
    TTokenPipeline pipeline(stream, false, threaded, 2);
    std::vector<std::u16string> words;
    EXPECT_THROW(
        {
          while (const TTokenBatch* batch = pipeline.Next())
            for (std::size_t i = 0; i < batch->Size(); ++i)
              words.emplace_back(batch->Word((*batch)[i]));
        },
        std::runtime_error);
    EXPECT_THAT(words, ElementsAre(u"one", u"two", u"three", u"four", u"five"));
    EXPECT_EQ(pipeline.Next(), nullptr);  // the error is raised once
    std::ofstream(b) << "six";
  }
  // Left after one batch of many: the destructor stops the reading thread.
  {
    TTokenizationStream stream(THow::JStandard);
    stream.LoadFromFiles(a.u16string());
    TTokenPipeline pipeline(stream, false, true, 1);
    ASSERT_NE(pipeline.Next(), nullptr);
  }
}

// A long document streamed to its series file gives the text built in memory from the
// engine's values, token by token.
TEST_F(ThreadedRun, StreamedSeriesEqualsTheSeriesHeldInMemory) {
  TWordSource source(3);
  std::string text;
  std::vector<std::u16string> words;
  for (int i = 0; i < 30000; ++i) {
    std::string w = source.Next().Lemma;
    if (w == "," || w == "." || w == "2024" || w == "3") w = "x";
    for (char& c : w)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    text += w + " ";
    words.push_back(Utf8ToUtf16(w));
  }
  TRun r;
  r.How = THow::JWhiteSpaces;
  r.CS = TCasesensitiveness::csCaseSensitive;
  r.Input = Lines({WriteInput("long.txt", text)});
  r.Measures = TMeasureSet::All();
  r.Measures.Exclude(tMeasure::vDifference);
  r.Secondary = tMeasureSecondarySet::All();
  r.Lag = 50;
  r.Outputs = TOutputTypeSet{TOutputType::outSerie};

  TSimpleTTR engine(r.Lag, r.Measures, r.Secondary, r.Q, false, 0.5);
  std::u16string expected = u"\"Window id\"";
  for (const tMeasure m : r.Measures)
    expected += u",\"" + std::u16string(MeasureCaption(m)) + u"\"";
  for (const tMeasureSecondary m : r.Secondary)
    expected += u",\"" + std::u16string(MeasureSecondaryCaption(m)) + u"\"";
  expected += u"\r\n";
  std::uint64_t last = 0;
  for (const std::u16string& w : words) {
    engine.AddToken(w, false);
    const std::uint64_t window = engine.Total().NumberOfWindowsInText;
    if (window == 0 || window == last) continue;
    last = window;
    expected += u"\"" + Utf8ToUtf16(std::to_string(window)) + u"\"";
    engine.Actual().AppendToLine(expected, u",", u"\"", r.Measures, r.Secondary);
    expected += u"\r\n";
  }
  ASSERT_EQ(last, 30000u - 50u + 1u);
  const std::string expectedBytes = "\xEF\xBB\xBF" + Utf16ToUtf8(expected);
  for (const unsigned threads : {1u, 2u}) {
    const std::string folder = "s" + std::to_string(threads);
    MeasureWith(r, threads, folder);
    EXPECT_TRUE(Read(out_ / folder / "Serie1Word50.csv") == expectedBytes) << threads;
  }
}

}  // namespace
}  // namespace tavora::testing
