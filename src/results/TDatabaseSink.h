#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "results/IResultSink.h"
#include "results/TDatabaseWriter.h"

namespace tavora {

class TRunFolder;
class TSqliteStatement;

// Writes a measurement run into the results database (TDatabaseWriter): its documents and
// measures, and for the families of the layout the series, averages, whole-text values,
// further indices and distributions (non-zero intervals only; the run's own with a NULL
// document), every value at full precision. Series rows are collected in a fixed buffer and
// inserted many to a statement. Commit commits the database and records it in the run folder
// (TRunFolder::KeepDatabase).
class TDatabaseSink : public IResultSink {
 public:
  // Opens the database at once, so that a database that cannot be written stops the run
  // before its input is read (TDatabaseWriter's errors). Folder: the run's output folder,
  // which outlives the sink and whose lock covers a database inside it.
  TDatabaseSink(std::filesystem::path File, bool Replace, const TDatabaseWriter::TRun& Run,
                TRunFolder& Folder);
  ~TDatabaseSink() override;
  TDatabaseSink(const TDatabaseSink&) = delete;
  TDatabaseSink& operator=(const TDatabaseSink&) = delete;

  [[nodiscard]] std::int64_t RunId() const noexcept { return writer_.RunId(); }

  void BeginRun(const TResultLayout& Layout) override;
  void BeginDocument(const TDocumentKey& Document) override;
  void Window(tWordOrLemma Kind, std::uint64_t WindowId, const TPositionResults& Values) override;
  void EndDocument(const TDocumentEnd& End) override;
  void EndRun(const TRunEnd& End) override;
  void Commit() override;

 private:
  static constexpr std::size_t kMaxMeasures = kMeasureCount + kMeasureSecondaryCount;
  struct TSeriesRow {
    std::int64_t Id = 0;
    std::int64_t Doc = 0;
    std::int64_t Window = 0;
    tWordOrLemma Kind = tWordOrLemma::tokWord;
    std::array<double, kMaxMeasures> Values{};
  };

  void PrepareSeries();
  // Inserts the buffered series rows.
  void FlushSeries();
  void BindSeriesRow(TSqliteStatement& Insert, int First, const TSeriesRow& Row) const;
  // One row per measure of the layout into averages or whole_texts.
  void AddValues(TSqliteStatement& Insert, std::string_view Kind,
                 const std::function<double(TMeasureRef)>& Value);
  void AddDistributions(std::string_view Kind, std::span<const TMeasureDistribution> Counts,
                        bool Total);

  TDatabaseWriter writer_;
  TRunFolder& folder_;
  TResultLayout layout_;
  std::vector<TMeasureRef> measures_;
  std::unique_ptr<TSqliteStatement> seriesBatch_;  // inserts rows_.size() rows
  std::unique_ptr<TSqliteStatement> seriesOne_;    // inserts one row
  std::unique_ptr<TSqliteStatement> document_;
  std::unique_ptr<TSqliteStatement> average_;
  std::unique_ptr<TSqliteStatement> wholeText_;
  std::unique_ptr<TSqliteStatement> index_;
  std::unique_ptr<TSqliteStatement> distribution_;
  std::vector<TSeriesRow> rows_;
  std::size_t used_ = 0;
  std::int64_t nextRow_ = 1;
  std::int64_t doc_ = 0;
  std::string docName_;
  std::string docId_;
  std::array<std::int64_t, kWordOrLemmaCount> firstRow_{};  // 0: no series row yet
  std::array<std::int64_t, kWordOrLemmaCount> lastRow_{};
  TMeasureSecondaryValues secondary_{};
};

}  // namespace tavora
