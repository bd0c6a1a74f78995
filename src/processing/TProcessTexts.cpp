#include "processing/TProcessTexts.h"

#include <chrono>
#include <limits>
#include <stdexcept>
#include <thread>

#include "base/Paths.h"
#include "engine/TIndices.h"
#include "engine/TReferenceDictionary.h"
#include "engine/TSimpleTTR.h"
#include "engine/TTypeIndex.h"
#include "input/TTokenizationStream.h"
#include "processing/TTokenPipeline.h"
#include "results/TOutputStructures.h"

namespace tavora {

namespace {

constexpr std::size_t Slot(tWordOrLemma k) { return static_cast<std::size_t>(k); }

// The token filter. Word forms come lowered by the pipeline, so a kept word is handed on
// as views into its batch.
class TTokenFilter {
 public:
  TTokenFilter(bool omitPunctuation, bool omitDigits)
      : omitPunctuation_(omitPunctuation), omitDigits_(omitDigits) {}
  [[nodiscard]] bool Keeps(const TTokenBatch::TWord& token) const {
    return !(omitPunctuation_ && token.IsPunctuation) && !(omitDigits_ && token.IsDigit);
  }

 private:
  bool omitPunctuation_;
  bool omitDigits_;
};

// The text of one kind of a batch's word.
std::u16string_view TextOf(const TTokenBatch& batch, const TTokenBatch::TWord& token,
                           tWordOrLemma kind) {
  return kind == tWordOrLemma::tokWord ? batch.Word(token) : batch.Lemma(token);
}

// Counts the tokens of one frequency list by type in a type index (ids in order of first
// occurrence) and hands the counts over at the end. The list then gets the very entries,
// inserted in the same order, that counting token by token into it would give, without a
// node-based map look-up per token.
class TTypeCounter {
 public:
  // The same rule as TReferenceDictionary::AddToken: an empty token is not counted.
  void Add(std::u16string_view token) {
    if (token.empty()) return;
    ++total_;
    bool inserted = false;
    const std::uint32_t id = index_.FindOrInsert(token, inserted);
    if (inserted) counts_.push_back(0);
    // A list count is 32 bits: it stops at its largest value instead of wrapping to 0.
    if (counts_[id] != std::numeric_limits<std::uint32_t>::max()) ++counts_[id];
  }

  // Moves the counts into a list that was empty.
  void MoveInto(TReferenceDictionary& list) {
    list.TotalTokens += total_;
    for (std::uint32_t id = 0; id < counts_.size(); ++id) {
      const std::u16string_view type = index_.Text(id);
      list.Set(type, TCount(counts_[id], static_cast<std::uint32_t>(type.size())));
    }
    index_.Clear();
    counts_ = {};
    total_ = 0;
  }

 private:
  TTypeIndex index_;
  std::vector<std::uint32_t> counts_;  // by id
  std::uint64_t total_ = 0;
};

// Calls the progress callback at the reports that the reading recorded in a batch, on
// the calling thread; throws TRunCancelled when it says stop.
class TProgressTicker {
 public:
  explicit TProgressTicker(const TProgressCallback& progress) : progress_(progress) {}
  void Start(const TTokenBatch& batch) {
    ticks_ = &batch.Ticks();
    next_ = 0;
  }
  // Makes the reports due before word i of the batch.
  void Before(std::size_t i) {
    for (; next_ < ticks_->size() && (*ticks_)[next_].Before == i; ++next_) {
      const TTokenBatch::TTick& t = (*ticks_)[next_];
      if (progress_ && !progress_(t.BytesRead, t.TotalBytes, t.Tokens)) throw TRunCancelled();
    }
  }

 private:
  const TProgressCallback& progress_;
  const std::vector<TTokenBatch::TTick>* ticks_ = nullptr;
  std::size_t next_ = 0;
};

// Starts a run's report afresh and records the run's time when the run ends, also by an
// error.
class TReportClock {
 public:
  explicit TReportClock(TRunReport& report)
      : report_(report), start_(std::chrono::steady_clock::now()) {
    report_ = TRunReport{};
  }
  ~TReportClock() {
    report_.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  TReportClock(const TReportClock&) = delete;
  TReportClock& operator=(const TReportClock&) = delete;

 private:
  TRunReport& report_;
  std::chrono::steady_clock::time_point start_;
};

// Creates the folder of a frequency-list file with its missing parents.
void CreateListFolder(const std::filesystem::path& file, tWordOrLemma kind) {
  const char* what = kind == tWordOrLemma::tokWord ? "word forms" : "lemmata";
  if (file.empty())
    throw std::runtime_error(std::string("No file is named for the frequency list of ") + what +
                             ".");
  const std::filesystem::path folder = file.parent_path();
  if (folder.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder)) {
    throw std::runtime_error("Unable to create directory " + QuotedPath(folder) +
                             " for the frequency list " + QuotedPath(file) + ": " +
                             (ec ? ec.message() : std::string("a file of that name exists")) + ".");
  }
}

void LoadInput(TTokenizationStream& stream, const TCustomVertical& Custom,
               std::u16string_view InputFile, bool IsWholeText, TRunReport& report) {
  if (Custom.IsCustomVertical) {
    stream.SetCustomVerticalFormatting(Custom.WordIndex, Custom.LemmaIndex, Custom.TagIndex,
                                       Custom.NewDocMarker);
  }
  if (IsWholeText)
    stream.LoadFromString(InputFile);
  else
    stream.LoadFromFiles(InputFile);
  report.FilesRead = stream.GetListOfFiles().size();
  report.SkippedEntries = stream.GetMissingEntries();
}

}  // namespace

TProcessTexts::TProcessTexts(std::string locale)
    : lowercaser_(std::move(locale)), threads_(std::thread::hardware_concurrency() > 1 ? 2 : 1) {}

TProcessTexts::~TProcessTexts() = default;

void TProcessTexts::SetAutosemanticTags(std::u16string_view a) {
  AutosemanticTags.clear();
  if (a.empty()) return;
  for (std::size_t start = 0;;) {
    const std::size_t bar = a.find(u'|', start);
    AutosemanticTags.emplace_back(
        a.substr(start, bar == std::u16string_view::npos ? bar : bar - start));
    if (bar == std::u16string_view::npos) break;
    start = bar + 1;
  }
}

bool TProcessTexts::IsAutosemantic(THow How, std::u16string_view Tag,
                                   std::u16string_view Lemma) const {
  return IsAutosemantic(InputFormat(How).Autosemantic, Tag, Lemma);
}

bool TProcessTexts::IsAutosemantic(TAutosemanticRule Rule, std::u16string_view Tag,
                                   std::u16string_view Lemma) const {
  switch (Rule) {
    case TAutosemanticRule::None:
      return false;
    case TAutosemanticRule::Builtin:
      if (Tag.size() == 3) {
        return Tag.starts_with(u"AJ") || Tag.starts_with(u"NN") || Tag.starts_with(u"VV") ||
               Tag == u"AV0";
      }
      if (Tag.size() > 3) {
        if (Lemma == u"být" || Lemma == u"mít") return false;
        const char16_t first = Tag.front();
        return first == u'A' || first == u'N' || first == u'V' || first == u'D';
      }
      return false;
    case TAutosemanticRule::Prefixes:
      for (const std::u16string& pattern : AutosemanticTags)
        if (Tag.starts_with(pattern)) return true;
      return false;
  }
  return false;
}

void TProcessTexts::Warn(std::string Text) {
  if (diagnostics_) diagnostics_(Text);
  report_.Warnings.push_back(std::move(Text));
}

TDiagnosticSink TProcessTexts::EngineSink() {
  // Without a sink of the caller's, the engines keep writing to standard output.
  if (!diagnostics_) return {};
  return [this](std::string_view line) { Warn(std::string(line)); };
}

void TProcessTexts::Measure(THow How, std::u16string_view InputFile,
                            const std::filesystem::path& OutputFolder, bool IsWholeText,
                            bool DoOmitPunctuation, bool DoOmitDigits, TCasesensitiveness CS,
                            TWordOrLemmaSet WoL, TMeasureSet measures,
                            tMeasureSecondarySet MeasuresSecondary, const TCustomVertical& Custom,
                            std::uint32_t LagLength,
                            const TReferenceDictionaryPair& ReferenceDictionary,
                            TOutputTypeSet OutputTypes, double HillsQ, bool RefDicContrainsText,
                            const TProgressCallback& progress) {
  if (LagLength == 0) throw std::invalid_argument("The window length must be at least 1.");

  const TReportClock clock(report_);
  TTokenizationStream stream(How);
  std::array<std::unique_ptr<TSimpleTTR>, kWordOrLemmaCount> engines;
  for (const tWordOrLemma kind : WoL) {
    engines[Slot(kind)] = std::make_unique<TSimpleTTR>(LagLength, measures, MeasuresSecondary,
                                                       HillsQ, RefDicContrainsText, 0.5);
    engines[Slot(kind)]->SetDiagnosticSink(EngineSink());
  }
  // The further indices see exactly the strings the engines see.
  std::array<std::unique_ptr<TIndices>, kWordOrLemmaCount> indices;
  const bool withIndices = OutputTypes.Contains(TOutputType::outIndices) && !indices_.Empty();
  if (withIndices) {
    for (const tWordOrLemma kind : WoL)
      indices[Slot(kind)] = std::make_unique<TIndices>(indices_, LagLength);
  }
  TOutputStructures output(WoL, measures, MeasuresSecondary, OutputTypes, OutputFolder);
  for (const tWordOrLemma kind : WoL) {
    output.ttr[Slot(kind)] = engines[Slot(kind)].get();
    output.indices[Slot(kind)] = indices[Slot(kind)].get();
  }
  LoadInput(stream, Custom, InputFile, IsWholeText, report_);
  for (const tWordOrLemma kind : WoL) {
    if (ReferenceDictionary[kind] != nullptr)
      engines[Slot(kind)]->SetReferenceDictionary(ReferenceDictionary[kind]);
  }

  // The kinds measured, with their engines and indices, in the order of WoL.
  std::vector<tWordOrLemma> kinds;
  std::vector<TSimpleTTR*> kindEngines;
  std::vector<TIndices*> kindIndices;
  for (const tWordOrLemma kind : WoL) {
    kinds.push_back(kind);
    kindEngines.push_back(engines[Slot(kind)].get());
    kindIndices.push_back(indices[Slot(kind)].get());
  }
  const std::size_t kindCount = kinds.size();
  const TAutosemanticRule rule = InputFormat(How).Autosemantic;
  EnterPhase(TRunPhase::ReadingAndMeasuring);
  // A document that ends before its first window is full completes no window position.
  auto countShortDocument = [&] {
    if (report_.Documents > 0 && kindCount > 0 &&
        kindEngines[0]->Total().NumberOfTokens < LagLength)
      ++report_.ShortDocuments;
  };
  const bool tagged = rule != TAutosemanticRule::None;

  const bool withLemma = WoL.Contains(tWordOrLemma::tokLemma);
  const TTokenFilter filter(DoOmitPunctuation, DoOmitDigits);
  TProgressTicker ticker(progress);
  TTokenPipeline pipeline(stream, withLemma, threads_ > 1, TTokenPipeline::kDefaultBatchSize,
                          &lowercaser_, CS);
  while (const TTokenBatch* batch = pipeline.Next()) {
    ticker.Start(*batch);
    report_.Tokens += batch->Size();
    std::size_t document = 0;
    for (std::size_t i = 0; i < batch->Size(); ++i) {
      ticker.Before(i);
      const TTokenBatch::TWord& token = (*batch)[i];
      // A document begins at its first word even when the filters drop that word.
      if (token.StartsDocument) {
        countShortDocument();
        output.NewDoc(batch->DocumentName(document++));
        ++report_.Documents;
        for (const tWordOrLemma kind : WoL) engines[Slot(kind)]->Clear();
        if (withIndices)
          for (const tWordOrLemma kind : WoL) indices[Slot(kind)]->Clear();
      }
      if (!filter.Keeps(token)) continue;
      const bool autosemantic =
          tagged && IsAutosemantic(rule, batch->Tag(token), batch->Lemma(token));
      for (std::size_t k = 0; k < kindCount; ++k)
        kindEngines[k]->AddToken(TextOf(*batch, token, kinds[k]), autosemantic);
      if (withIndices)
        for (std::size_t k = 0; k < kindCount; ++k)
          kindIndices[k]->AddToken(TextOf(*batch, token, kinds[k]));
      output.AddToken();
    }
    ticker.Before(batch->Size());
  }
  countShortDocument();
  EnterPhase(OutputTypes.Contains(TOutputType::outDistribution) ? TRunPhase::WritingDistributions
                                                                : TRunPhase::WritingResults);
  output.LastDoc();
}

void TProcessTexts::Measure(const TMeasureParameters& p,
                            const TReferenceDictionaryPair& ReferenceDictionary,
                            const TProgressCallback& progress) {
  SetAutosemanticTags(p.AutosemanticTags);
  SetIndices(p.Indices);
  Measure(p.How, p.InputFile, p.OutputFolder, p.IsWholeText, p.DoOmitPunctuation, p.DoOmitDigits,
          p.CS, p.WoL, p.measures, p.MeasuresSecondary, p.Custom, p.LagLength, ReferenceDictionary,
          p.OutputTypes, p.HillsQ, p.RefDicContrainsText, progress);
}

TPreparedDictionaries TProcessTexts::PrepareDictionary(
    THow How, std::u16string_view InputFile, const std::filesystem::path& OutputFileWF,
    const std::filesystem::path& OutputFileLemma, bool IsWholeText, bool DoOmitPunctuation,
    bool DoOmitDigits, TCasesensitiveness CS, TWordOrLemmaSet WoL, const TCustomVertical& Custom,
    const TProgressCallback& progress) {
  const TReportClock clock(report_);
  for (const tWordOrLemma kind : WoL)
    CreateListFolder(kind == tWordOrLemma::tokWord ? OutputFileWF : OutputFileLemma, kind);
  TTokenizationStream stream(How);
  TPreparedDictionaries lists;
  for (const tWordOrLemma kind : WoL) lists[Slot(kind)] = std::make_unique<TReferenceDictionary>();
  LoadInput(stream, Custom, InputFile, IsWholeText, report_);

  std::vector<tWordOrLemma> kinds;
  for (const tWordOrLemma kind : WoL) kinds.push_back(kind);
  const std::size_t kindCount = kinds.size();
  std::vector<TTypeCounter> counters(kindCount);
  EnterPhase(TRunPhase::ReadingAndCounting);

  const bool withLemma = WoL.Contains(tWordOrLemma::tokLemma);
  const TTokenFilter filter(DoOmitPunctuation, DoOmitDigits);
  TProgressTicker ticker(progress);
  TTokenPipeline pipeline(stream, withLemma, threads_ > 1, TTokenPipeline::kDefaultBatchSize,
                          &lowercaser_, CS);
  while (const TTokenBatch* batch = pipeline.Next()) {
    ticker.Start(*batch);
    report_.Tokens += batch->Size();
    for (std::size_t i = 0; i < batch->Size(); ++i) {
      ticker.Before(i);
      const TTokenBatch::TWord& token = (*batch)[i];
      if (token.StartsDocument) ++report_.Documents;
      if (!filter.Keeps(token)) continue;
      for (std::size_t k = 0; k < kindCount; ++k) counters[k].Add(TextOf(*batch, token, kinds[k]));
    }
    ticker.Before(batch->Size());
  }
  EnterPhase(TRunPhase::WritingLists);
  for (std::size_t k = 0; k < kindCount; ++k) counters[k].MoveInto(*lists[Slot(kinds[k])]);

  for (const tWordOrLemma kind : WoL) {
    TReferenceDictionary& list = *lists[Slot(kind)];
    list.Save(kind == tWordOrLemma::tokWord ? OutputFileWF : OutputFileLemma);
    list.ShouldSurvive = true;
  }
  return lists;
}

TPreparedDictionaries TProcessTexts::PrepareDictionary(const TDictionaryParameters& p,
                                                       const TProgressCallback& progress) {
  return PrepareDictionary(p.How, p.InputFile, p.OutputFileWF, p.OutputFileLemma, p.IsWholeText,
                           p.DoOmitPunctuation, p.DoOmitDigits, p.CS, p.WoL, p.Custom, progress);
}

}  // namespace tavora
