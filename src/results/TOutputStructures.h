#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/TJsonValue.h"
#include "engine/Measures.h"
#include "results/ResultNames.h"
#include "results/TIntervals.h"

namespace tavora {

class TSimpleTTR;
class TIndices;
class TResultFile;
class TRunFolder;

// Writes the result files of a measurement run into the output folder, named by
// ResultFileName: per kind of aWoL, the series of every document ("Serie<n><Kind><L>.csv"),
// the averages ("Averages<Kind><L>.csv"), the whole-text values ("WholeTexts<Kind>.csv")
// and one distribution file per selected measure ("Distribution<Kind>_<Caption><L>.csv"),
// and, with outIndices, the further indices of every document ("Indices<Kind>.csv").
//
// Files are UTF-8 with a byte-order mark and CR LF line ends; every field of a header or
// data line is quoted, a double quote inside a field doubled. The folder holds one run at a
// time (TRunFolder): it is locked for the run, each file is streamed to a temporary beside
// it and closed when complete (a series file when its document ends, the others in
// LastDoc), and LastDoc renames them all into place and records the run as complete. A run
// that does not reach the end of LastDoc leaves the folder as it was before.
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
  void SetCancelCheck(std::function<void()> Check) { cancelCheck_ = std::move(Check); }
  // Document names that begin with "=", "+", "-" or "@" are written with an apostrophe
  // before them, so that spreadsheet programs do not run them as formulas. Off at first.
  void SetSafeCsv(bool Safe) { safeCsv_ = Safe; }

  // "," + quoted caption for each selected basic, then secondary measure; empty when none.
  [[nodiscard]] std::u16string GetHeader() const;

  // Adds the column "Document id" after "Text id" to the averages, whole-text and indices
  // files. Call before the first NewDoc.
  void SetDocumentIds(bool On) { documentIds_ = On; }
  // How values are written (NumberFormat.h): the measures' digits, or full precision.
  void SetPrecision(TPrecision Precision) { precision_ = Precision; }

  // Writes out the document that has ended and begins document `name` (a file path,
  // or empty for pasted text) with the id the input gives it (empty: none). Call before
  // the engines are emptied.
  void NewDoc(std::u16string_view name, std::u16string_view id = {});
  // Records the engines' current window after a token. A window is recorded once: a
  // token that did not move a kind's window (an empty word or lemma) adds nothing for it.
  void AddToken();
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
    bool IsSecondary = false;
    std::uint8_t Ordinal = 0;
    TIntervals Dist;       // the current document
    TIntervals DistTotal;  // the whole run
    std::unique_ptr<TResultFile> File;
    TDistribution(bool secondary, std::uint8_t ordinal, std::uint32_t granularity);
  };
  struct TKindOutput {
    std::uint64_t LastWindow = 0;  // the engine's window last recorded in this document
    std::unique_ptr<TResultFile> Serie;
    std::unique_ptr<TResultFile> Average;
    std::unique_ptr<TResultFile> WholeTexts;
    std::unique_ptr<TResultFile> Indices;
    std::vector<TDistribution> Dists;
  };

  void OpenRunFiles();
  void WriteEndedDocument(tWordOrLemma kind, TKindOutput& out);
  // The key fields of the ended document: name, number and, with ids, its id.
  void WriteKey(TResultFile& file, bool withId);
  void WriteKeyHeader(TResultFile& file) const;
  // Counts the ended document when a measured kind completed no window in it.
  void CountIfShort();
  void CheckCancel() const {
    if (cancelCheck_) cancelCheck_();
  }
  [[nodiscard]] TSimpleTTR& Engine(tWordOrLemma kind) const;
  // A new file of the family for the kind (named by ResultFileName; a series for the
  // document that begins).
  [[nodiscard]] std::unique_ptr<TResultFile> Open(TOutputType family, tWordOrLemma kind,
                                                  std::u16string_view caption = {}) const;

  TWordOrLemmaSet aWoL;
  TMeasureSet aMeasures;
  tMeasureSecondarySet aMeasuresSecondary;
  TOutputTypeSet aOutputTypes;
  std::filesystem::path aOutputFolder;
  std::unique_ptr<TRunFolder> folder_;
  std::function<void()> cancelCheck_;
  bool safeCsv_ = false;
  std::int64_t TextNumber = 0;  // documents begun; 64 bits never wrap
  std::u16string LastMETA;
  std::u16string lastId_;  // the id of the current document
  bool documentIds_ = false;
  TPrecision precision_ = TPrecision::Fixed;
  std::uint64_t shortDocuments_ = 0;
  bool runFilesOpen_ = false;
  std::array<TKindOutput, kWordOrLemmaCount> kinds_;
  std::u16string line_;                  // scratch for one line, reused
  TMeasureSecondaryValues secondary_{};  // the current window's secondary values
};

}  // namespace tavora
