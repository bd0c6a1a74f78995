#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/NumberFormat.h"
#include "base/TJsonValue.h"
#include "engine/Measures.h"
#include "results/IResultSink.h"
#include "results/ResultNames.h"
#include "results/TIntervals.h"

namespace tavora {

class TSimpleTTR;
class TIndices;
class TCsvSink;
class TRunFolder;

// Gathers the results of a measurement run from its engines and hands them to its sinks
// (IResultSink): the CSV files of the output folder (TCsvSink) unless SetCsv(false), and the
// sinks added with AddSink, such as the results database. Every sink gets the same values.
// The distributions are counted here, once for all sinks.
//
// The folder holds one run at a time (TRunFolder): it is locked for the run and recorded in, and
// LastDoc commits the sinks and then puts the CSV files in place. A run that does not reach the
// end of LastDoc leaves the folder, and every sink's target, as it was before.
// The results of one document measured apart from the run's engines (by a thread that
// measures whole documents): what its engines held at its end, per kind.
struct TMeasuredDocument {
  struct TKind {
    TAverages Total;             // the engine's Total()
    TPositionResults WholeText;  // the engine's WholeText(), with outWholeTexts
    TIndexValues Indices{};      // the indices' Values(), with outIndices and indices
  };
  std::u16string Name;
  std::u16string Id;
  std::array<TKind, kWordOrLemmaCount> Kinds{};
};

class TOutputStructures {
 public:
  // Creates the output folder with every missing parent, locks it and records the run
  // (Description: the task, options and inputs of the run record; see TRunFolder). Throws
  // std::runtime_error "Unable to create directory" for an empty folder, and a message
  // naming the folder when it cannot be created or another run holds it.
  TOutputStructures(TWordOrLemmaSet WoL, TMeasureSet measures,
                    tMeasureSecondarySet MeasuresSecondary, TOutputTypeSet OutputTypes,
                    const std::filesystem::path& OutputFolder,
                    const TJsonValue& Description = TJsonValue());
  ~TOutputStructures();
  TOutputStructures(const TOutputStructures&) = delete;
  TOutputStructures& operator=(const TOutputStructures&) = delete;

  // The run's engines, one per kind of aWoL; not owned. Set before the first NewDoc.
  std::array<TSimpleTTR*, kWordOrLemmaCount> ttr{};
  // The run's index computations, one per kind; not owned. With outIndices, a kind whose
  // slot is set before the first NewDoc gets an indices file with the slot's indices as
  // columns; a kind whose slot stays null gets none.
  std::array<TIndices*, kWordOrLemmaCount> indices{};

  // Called between the files that LastDoc completes; throws to stop the run there (a cancel).
  void SetCancelCheck(std::function<void()> Check);
  // Document names that begin with "=", "+", "-" or "@" are written with an apostrophe
  // before them, so that spreadsheet programs do not run them as formulas. Off at first.
  void SetSafeCsv(bool Safe);
  // Whether the CSV files are written; on at first. Call before the first NewDoc.
  void SetCsv(bool On) { csvOn_ = On; }
  // A further place the results go, committed before the CSV files are put in place. Call
  // before the first NewDoc.
  void AddSink(std::unique_ptr<IResultSink> Sink);
  // The run folder, for sinks that record what they wrote in it.
  [[nodiscard]] TRunFolder& GetRunFolder() const { return *folder_; }

  // "," + quoted caption for each selected basic, then secondary measure; empty when none.
  [[nodiscard]] std::u16string GetHeader() const;

  // Adds the column "Document id" after "Text id" to the averages, whole-text and indices
  // files. Call before the first NewDoc.
  void SetDocumentIds(bool On);
  // How values are written (NumberFormat.h): the measures' digits, or full precision.
  void SetPrecision(TPrecision Precision);

  // Writes out the document that has ended and begins document `name` (a file path,
  // or empty for pasted text) with the id the input gives it (empty: none). Call before
  // the engines are emptied.
  void NewDoc(std::u16string_view name, std::u16string_view id = {});
  // Records the engines' current window after a token. A window is recorded once: a
  // token that did not move a kind's window (an empty word or lemma) adds nothing for it.
  void AddToken();
  // Writes out a whole document measured apart (TMeasuredDocument), as NewDoc, the
  // document's tokens and its end would. Only for runs without series and distributions,
  // whose documents all come this way.
  void AddMeasuredDocument(const TMeasuredDocument& Document);
  // Writes out the last document, completes every file and puts them all in place. A run
  // without any document writes the averages and whole-text files with their header only,
  // each distribution file with only its "TOTAL" block, and no series file.
  void LastDoc();

  [[nodiscard]] std::int64_t GetTextNumber() const { return TextNumber; }
  // Documents written out so far in which a measured kind completed no window (shorter
  // than the window): their averages are NaN.
  [[nodiscard]] std::uint64_t GetShortDocuments() const { return shortDocuments_; }
  [[nodiscard]] const std::filesystem::path& GetOutputFolder() const { return aOutputFolder; }

 private:
  struct TDistribution {
    TMeasureRef Measure;
    TIntervals Dist;       // the current document
    TIntervals DistTotal;  // the whole run
    TDistribution(TMeasureRef measure, std::uint32_t granularity);
  };
  struct TKindOutput {
    std::uint64_t LastWindow = 0;  // the engine's window last recorded in this document
    std::vector<TDistribution> Dists;
    std::vector<TMeasureDistribution> DistRefs;       // the current document's, for the sinks
    std::vector<TMeasureDistribution> DistTotalRefs;  // the run's
  };

  void BeginRun();
  void EndDocument(tWordOrLemma kind, TKindOutput& out);
  // Hands the end of a document of one kind to the sinks.
  void EndDocument(TDocumentEnd& end, TKindOutput& out);
  // Counts the ended document when a measured kind completed no window in it.
  void CountIfShort();
  void CheckCancel() const {
    if (cancelCheck_) cancelCheck_();
  }
  [[nodiscard]] TSimpleTTR& Engine(tWordOrLemma kind) const;

  TWordOrLemmaSet aWoL;
  TMeasureSet aMeasures;
  tMeasureSecondarySet aMeasuresSecondary;
  TOutputTypeSet aOutputTypes;
  std::filesystem::path aOutputFolder;
  std::unique_ptr<TRunFolder> folder_;
  std::unique_ptr<TCsvSink> csv_;
  bool csvOn_ = true;
  std::vector<std::unique_ptr<IResultSink>> extraSinks_;
  std::vector<IResultSink*> sinks_;  // the sinks of the run, set when it begins
  std::function<void()> cancelCheck_;
  std::int64_t TextNumber = 0;  // documents begun; 64 bits never wrap
  std::u16string LastMETA;
  std::u16string lastId_;  // the id of the current document
  std::uint64_t shortDocuments_ = 0;
  bool begun_ = false;
  bool measuredApart_ = false;  // the documents come by AddMeasuredDocument
  bool series_ = false;         // the run writes series
  std::array<TKindOutput, kWordOrLemmaCount> kinds_;
  TMeasureSecondaryValues secondary_{};  // the current window's secondary values
  TPositionResults wholeText_{};         // the ended document's whole-text values
};

}  // namespace tavora
