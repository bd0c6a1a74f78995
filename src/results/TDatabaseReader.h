#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/ResultNames.h"
#include "results/TResultFolder.h"

namespace tavora {

class TSqliteDatabase;

// Reads the measurement runs of a results database (TDatabaseWriter, TDatabaseSink) in the
// shapes of the result files, for TResultFolder: a run lists the CSV files it stands for, and
// each is read on request, values at full precision (NULL read as NaN). Every failure throws
// std::runtime_error "Cannot read the results database "F": PROBLEM.".
class TDatabaseReader {
 public:
  // Opens File for reading (rolling back what a killed run left in it, where the file may be
  // written); fails when it is no results database of Tavora, or a newer one.
  explicit TDatabaseReader(const std::filesystem::path& File);
  ~TDatabaseReader();
  TDatabaseReader(const TDatabaseReader&) = delete;
  TDatabaseReader& operator=(const TDatabaseReader&) = delete;

  // The latest complete measurement run; nullopt when the database holds none.
  [[nodiscard]] std::optional<std::int64_t> LatestRun();
  // The result files that run Run stands for; fails when it is no complete measurement run.
  [[nodiscard]] std::vector<TResultName> Contents(std::int64_t Run);

  [[nodiscard]] TSeriesTable ReadSeries(std::int64_t Run, tWordOrLemma Kind, std::int64_t Doc,
                                        const TResultFolder::TReadProgress& Progress = {});
  [[nodiscard]] std::vector<std::u16string> SeriesCaptions(std::int64_t Run);
  [[nodiscard]] bool SeriesHasNoWindow(std::int64_t Run, tWordOrLemma Kind, std::int64_t Doc);
  // An averages, whole-text or indices table.
  [[nodiscard]] TTextTable ReadTextTable(std::int64_t Run, TOutputType Family, tWordOrLemma Kind);
  // The blocks of a distribution file: one per document, then "TOTAL", each dense over the
  // intervals from the lowest reached (or 0) to the highest (or -1), as the file has them.
  [[nodiscard]] std::vector<TDistributionBlock> ReadDistribution(std::int64_t Run,
                                                                 tWordOrLemma Kind,
                                                                 std::u16string_view Caption);

 private:
  struct TMeasureColumn {
    std::string Name;
    std::u16string Caption;
  };
  [[nodiscard]] std::vector<TMeasureColumn> Measures(std::int64_t Run);
  struct TDocument {
    std::int64_t Number = 0;
    std::u16string File;
    std::u16string Id;  // empty when the input gave none
  };
  // The documents of the run for a kind, in order.
  [[nodiscard]] std::vector<TDocument> Documents(std::int64_t Run, tWordOrLemma Kind);
  [[nodiscard]] std::int64_t WindowLength(std::int64_t Run);
  // The window positions of a document's kind; fails when the run has no such document.
  [[nodiscard]] std::int64_t Windows(std::int64_t Run, tWordOrLemma Kind, std::int64_t Doc);
  [[noreturn]] void Fail(const std::string& Problem) const;

  std::unique_ptr<TSqliteDatabase> db_;
};

}  // namespace tavora
