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
#include "results/IResultSink.h"

namespace tavora {

class TResultFile;
class TRunFolder;

// Writes a run's results as CSV files into its output folder, named by ResultFileName: per
// kind, the series of every document ("Serie<n><Kind><L>.csv"), the averages
// ("Averages<Kind><L>.csv"), the whole-text values ("WholeTexts<Kind>.csv"), one distribution
// file per measure ("Distribution<Kind>_<Caption><L>.csv") and the further indices
// ("Indices<Kind>.csv"), each for the families of the layout.
//
// Files are UTF-8 with a byte-order mark and CR LF line ends; every field of a header or data
// line is quoted, a double quote inside a field doubled. Each file is streamed to a temporary
// (TResultFile) and handed, complete, to the run folder (TRunFolder::Keep): a series when its
// document ends, the others in EndRun. The folder puts them in place when the run commits.
class TCsvSink : public IResultSink {
 public:
  // Folder: the run's output folder, which outlives the sink.
  explicit TCsvSink(TRunFolder& Folder);
  ~TCsvSink() override;
  TCsvSink(const TCsvSink&) = delete;
  TCsvSink& operator=(const TCsvSink&) = delete;

  // Called between the files that EndRun completes; throws to stop the run there.
  void SetCancelCheck(std::function<void()> Check) { cancelCheck_ = std::move(Check); }
  // Names and ids that begin with "=", "+", "-" or "@" get an apostrophe before them.
  void SetSafeCsv(bool Safe) { safeCsv_ = Safe; }
  // The column "Document id" after "Text id" in the averages, whole-text and indices files.
  void SetDocumentIds(bool On) { documentIds_ = On; }
  void SetPrecision(TPrecision Precision) { precision_ = Precision; }

  // "," + quoted caption for each measure of the sets, basic ones first; empty when none.
  [[nodiscard]] static std::u16string Header(TMeasureSet Measures,
                                             tMeasureSecondarySet MeasuresSecondary);

  void BeginRun(const TResultLayout& Layout) override;
  void BeginDocument(const TDocumentKey& Document) override;
  void Window(tWordOrLemma Kind, std::uint64_t WindowId, const TPositionResults& Values) override;
  void EndDocument(const TDocumentEnd& End) override;
  void EndRun(const TRunEnd& End) override;
  void Commit() override {}

 private:
  struct TKindFiles {
    std::unique_ptr<TResultFile> Serie;
    std::unique_ptr<TResultFile> Average;
    std::unique_ptr<TResultFile> WholeTexts;
    std::unique_ptr<TResultFile> Indices;
    std::vector<std::unique_ptr<TResultFile>> Dists;  // in the order of the layout's measures
  };

  [[nodiscard]] std::unique_ptr<TResultFile> Open(TOutputType Family, tWordOrLemma Kind,
                                                  std::int64_t Doc = 0,
                                                  std::u16string_view Caption = {}) const;
  void OpenTable(std::unique_ptr<TResultFile>& File, TOutputType Family, tWordOrLemma Kind);
  void WriteKeyHeader(TResultFile& File) const;
  // The key fields of the current document: name, number and, with ids, its id.
  void WriteKey(TResultFile& File, bool WithId);
  void WriteField(TResultFile& File, std::u16string_view Text) const;
  void CheckCancel() const {
    if (cancelCheck_) cancelCheck_();
  }

  TRunFolder& folder_;
  std::function<void()> cancelCheck_;
  bool safeCsv_ = false;
  bool documentIds_ = false;
  TPrecision precision_ = TPrecision::Fixed;
  TResultLayout layout_;
  std::u16string header_;
  std::int64_t docNumber_ = 0;
  std::u16string docName_;
  std::u16string docId_;
  std::array<TKindFiles, kWordOrLemmaCount> files_;
  std::u16string line_;  // scratch for one line, reused
};

}  // namespace tavora
