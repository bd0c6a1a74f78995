#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Measures.h"
#include "results/ResultNames.h"

namespace tavora {

// One result file recognised by its name.
struct TResultFileInfo : TResultName {
  std::filesystem::path Path;
  friend bool operator==(const TResultFileInfo&, const TResultFileInfo&) = default;
};

// A series file: window ids and one column of values per caption.
struct TSeriesTable {
  std::vector<std::u16string> Captions;
  std::vector<double> WindowIds;
  std::vector<std::vector<double>> Columns;  // Columns[c][row]
  // The column of a caption; nullopt when the file has none.
  [[nodiscard]] std::optional<std::size_t> ColumnOf(std::u16string_view caption) const;
};

// An averages, whole-text or indices file: one row per document.
struct TTextRow {
  std::u16string FileName;
  std::u16string TextId;
  std::u16string DocumentId;   // empty when the file has no "Document id" column
  std::vector<double> Values;  // one per caption
};
struct TTextTable {
  bool HasDocumentIds = false;  // the file has the column "Document id" after "Text id"
  std::vector<std::u16string> Captions;
  std::vector<TTextRow> Rows;
  [[nodiscard]] std::optional<std::size_t> ColumnOf(std::u16string_view caption) const;
};

// One block of a distribution file: a document (or "TOTAL", with an empty TextId), its
// interval labels as written and their counts.
struct TDistributionBlock {
  std::u16string Name;
  std::u16string TextId;
  std::vector<std::string> Labels;
  std::vector<double> LabelValues;
  std::vector<std::uint64_t> Counts;
};

// Reads the result files of an output folder: the files of the latest complete run that the
// folder's run record (TRunFolder) lists, or, in a folder without such a record (written by
// an older version), every file recognised by its name. Each file is parsed on request. Values
// "NaN", "Inf" and "-Inf" are read as the IEEE values. A file that cannot be read or parsed
// throws std::runtime_error naming the file, the line and the problem.
//
// Results in a database (TDatabaseReader) are read in the same shapes. A run is read from a
// database when the folder's latest complete run wrote one (its CSV files, if any, hold the
// same values rounded), when a folder without a record holds "Tavora.sqlite" with a complete
// measurement run, and when the path given is a database file itself (its latest complete
// measurement run). Such a run is listed as the files it stands for, under the path
// "<database>/<run id>/<file name>" ("out/Tavora.sqlite/3/Serie1Word200.csv"), which the
// static readers below accept like the path of a file.
class TResultFolder {
 public:
  // Lists the result files of the folder (not its subfolders), or of the database, sorted by
  // family, kind, window length, document and caption. Throws when the folder does not exist,
  // its run record cannot be read, or the database it names cannot be read.
  explicit TResultFolder(std::filesystem::path folder);

  [[nodiscard]] const std::filesystem::path& GetFolder() const { return folder_; }
  // The database the results are read from, and its run; empty and 0 for result files.
  [[nodiscard]] const std::filesystem::path& GetDatabase() const { return database_; }
  [[nodiscard]] std::int64_t GetDatabaseRun() const { return databaseRun_; }
  [[nodiscard]] const std::vector<TResultFileInfo>& GetFiles() const { return files_; }
  // The files of one family (and kind and window length, when given).
  [[nodiscard]] std::vector<TResultFileInfo> Find(TOutputType family,
                                                  std::optional<tWordOrLemma> kind = {},
                                                  std::optional<std::int64_t> lag = {}) const;

  // The rows of the first averages, whole-text or indices file of the folder that can be
  // read (in that order of families): the documents' names, numbers and ids. Empty when
  // the folder has none.
  [[nodiscard]] std::vector<TTextRow> ReadDocuments() const;
  // The number of document doc's tokens from a whole-text file's "Tokens" column;
  // nullopt without such a file or row.
  [[nodiscard]] std::optional<double> ReadTokens(tWordOrLemma kind, std::int64_t doc) const;

  // The average of a measure for document doc (its text id) from the averages file of
  // the kind and window length; nullopt when there is no such file, row or column.
  [[nodiscard]] std::optional<double> ReadAverage(tWordOrLemma kind, std::int64_t lag,
                                                  std::int64_t doc,
                                                  std::u16string_view caption) const;

  // The description of a result file name; nullopt for any other name.
  [[nodiscard]] static std::optional<TResultFileInfo> Classify(const std::filesystem::path& file);

  // Reporting reads call progress with the share done (0 to 1); progress returning false
  // stops the read with std::runtime_error "cancelled".
  using TReadProgress = std::function<bool(double)>;

  [[nodiscard]] static TSeriesTable ReadSeries(const std::filesystem::path& file,
                                               const TReadProgress& progress = {});
  // Whether a series file holds its header only: its document completed no window.
  [[nodiscard]] static bool SeriesHasNoWindow(const std::filesystem::path& file);
  // The captions of a series file's header, without reading its rows.
  [[nodiscard]] static std::vector<std::u16string> ReadSeriesCaptions(
      const std::filesystem::path& file);
  [[nodiscard]] static TTextTable ReadTextTable(const std::filesystem::path& file);
  [[nodiscard]] static std::vector<TDistributionBlock> ReadDistribution(
      const std::filesystem::path& file);

 private:
  void ListFolder();
  // Lists run Run of the database (0: its latest complete measurement run); false when it
  // holds no complete measurement run to list.
  bool ListDatabase(const std::filesystem::path& File, std::int64_t Run);

  std::filesystem::path folder_;
  std::filesystem::path database_;
  std::int64_t databaseRun_ = 0;
  std::vector<TResultFileInfo> files_;
};

}  // namespace tavora
