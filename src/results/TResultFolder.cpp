#include "results/TResultFolder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <stdexcept>
#include <tuple>

#include "base/Paths.h"
#include "base/Utf8.h"
#include "results/TDatabaseReader.h"
#include "results/TRunFolder.h"

namespace tavora {

namespace {

// A comma-separated record: its fields and whether the first one was quoted.
struct TRecord {
  std::vector<std::string> Fields;
  bool FirstQuoted = false;
};

// Walks the records of a result file held in memory. Quoted fields may hold commas,
// doubled quotes and line breaks; line ends are CR LF or LF.
class TCsvCursor {
 public:
  TCsvCursor(const std::filesystem::path& file, std::string text)
      : file_(file), text_(std::move(text)) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  }

  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }
  [[nodiscard]] std::size_t Line() const { return line_; }
  [[nodiscard]] double Share() const {
    return text_.empty() ? 1.0 : static_cast<double>(pos_) / static_cast<double>(text_.size());
  }

  // Reads the next record into r; a trailing empty unquoted field (a line ended by ",")
  // is dropped.
  void Next(TRecord& r) {
    r.Fields.clear();
    r.FirstQuoted = false;
    ++line_;
    if (AtEnd()) return;
    bool lastQuoted = false;
    for (;;) {
      std::string field;
      const bool quoted = pos_ < text_.size() && text_[pos_] == '"';
      if (quoted) {
        ++pos_;
        for (;;) {
          if (pos_ >= text_.size()) Fail("a quoted field is not closed");
          const char c = text_[pos_++];
          if (c == '"') {
            if (pos_ < text_.size() && text_[pos_] == '"') {
              field += '"';
              ++pos_;
            } else {
              break;
            }
          } else {
            if (c == '\n') ++line_;
            field += c;
          }
        }
      } else {
        const std::size_t end = text_.find_first_of(",\r\n", pos_);
        const std::size_t stop = end == std::string::npos ? text_.size() : end;
        field.assign(text_, pos_, stop - pos_);
        pos_ = stop;
      }
      if (r.Fields.empty()) r.FirstQuoted = quoted;
      r.Fields.push_back(std::move(field));
      lastQuoted = quoted;
      if (pos_ >= text_.size()) break;
      const char c = text_[pos_];
      if (c == ',') {
        ++pos_;
        continue;
      }
      if (c == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
        pos_ += 2;
        break;
      }
      if (c == '\n') {
        ++pos_;
        break;
      }
      Fail("a quoted field is followed by text");
    }
    if (!lastQuoted && !r.Fields.empty() && r.Fields.back().empty()) r.Fields.pop_back();
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    throw std::runtime_error("Cannot read result file " + QuotedPath(file_) + ": line " +
                             std::to_string(line_) + ": " + problem + ".");
  }

  [[nodiscard]] double Number(const std::string& field) const {
    if (field.empty()) return std::numeric_limits<double>::quiet_NaN();
    if (field == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (field == "Inf") return std::numeric_limits<double>::infinity();
    if (field == "-Inf") return -std::numeric_limits<double>::infinity();
    double value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size())
      Fail("\"" + field + "\" is not a number");
    return value;
  }

  [[nodiscard]] std::uint64_t Count(const std::string& field) const {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || ec != std::errc() || end != field.data() + field.size())
      Fail("\"" + field + "\" is not a count");
    return value;
  }

 private:
  std::filesystem::path file_;
  std::string text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
};

TCsvCursor Open(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    throw std::runtime_error("Cannot read result file " + QuotedPath(file) +
                             ": it cannot be opened.");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    throw std::runtime_error("Cannot read result file " + QuotedPath(file) + ": reading failed.");
  return TCsvCursor(file, std::move(text));
}

// A result that a database holds, addressed as "<database>/<run id>/<file name>".
struct TDatabaseItem {
  std::filesystem::path File;
  std::int64_t Run = 0;
  TResultName Name;
};

std::optional<TDatabaseItem> DatabaseItem(const std::filesystem::path& path) {
  const std::filesystem::path runFolder = path.parent_path();
  const std::filesystem::path database = runFolder.parent_path();
  if (runFolder.empty() || database.empty()) return std::nullopt;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(database, ec)) return std::nullopt;
  const std::string run = PathToUtf8(runFolder.filename());
  TDatabaseItem item;
  const auto [end, error] = std::from_chars(run.data(), run.data() + run.size(), item.Run);
  std::optional<TResultName> name = ParseResultFileName(PathToUtf8(path.filename()));
  if (error != std::errc() || end != run.data() + run.size() || !name) return std::nullopt;
  item.File = database;
  item.Name = std::move(*name);
  return item;
}

template <class TTable>
std::optional<std::size_t> FindCaption(const TTable& table, std::u16string_view caption) {
  const auto it = std::find(table.Captions.begin(), table.Captions.end(), caption);
  if (it == table.Captions.end()) return std::nullopt;
  return static_cast<std::size_t>(it - table.Captions.begin());
}

}  // namespace

std::optional<std::size_t> TSeriesTable::ColumnOf(std::u16string_view caption) const {
  return FindCaption(*this, caption);
}

std::optional<std::size_t> TTextTable::ColumnOf(std::u16string_view caption) const {
  return FindCaption(*this, caption);
}

TResultFolder::TResultFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(folder_, ec)) {
    if (!ListDatabase(folder_, 0))
      throw std::runtime_error("Cannot read results: the database " + QuotedPath(folder_) +
                               " holds no complete measurement run.");
  } else if (!std::filesystem::is_directory(folder_, ec)) {
    throw std::runtime_error("Cannot read results: the folder " + QuotedPath(folder_) +
                             " does not exist.");
  } else {
    const auto run = TRunFolder::CompleteRun(folder_);
    const std::filesystem::path recorded =
        run && !run->Database.empty() ? folder_ / run->Database : std::filesystem::path();
    const bool listed = run ? !recorded.empty() && std::filesystem::exists(recorded, ec) &&
                                  ListDatabase(recorded, run->DatabaseRun)
                            : std::filesystem::is_regular_file(folder_ / kDatabaseName, ec) &&
                                  ListDatabase(folder_ / kDatabaseName, 0);
    if (!listed) ListFolder();
  }
  std::sort(files_.begin(), files_.end(), [](const TResultFileInfo& a, const TResultFileInfo& b) {
    return std::tie(a.Family, a.Kind, a.Lag, a.Doc, a.Caption) <
           std::tie(b.Family, b.Kind, b.Lag, b.Doc, b.Caption);
  });
}

void TResultFolder::ListFolder() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    if (auto info = Classify(entry.path())) files_.push_back(std::move(*info));
  }
  if (ec)
    throw std::runtime_error("Cannot read results: the folder " + QuotedPath(folder_) +
                             " cannot be listed: " + ec.message() + ".");
  // Only the latest complete run's files, never files of earlier runs beside them.
  if (const auto listed = TRunFolder::CompleteRunFiles(folder_)) {
    const std::set<std::string> names(listed->begin(), listed->end());
    std::erase_if(files_, [&names](const TResultFileInfo& f) {
      return names.count(PathToUtf8(f.Path.filename())) == 0;
    });
  }
}

bool TResultFolder::ListDatabase(const std::filesystem::path& File, std::int64_t Run) {
  TDatabaseReader reader(File);
  if (Run == 0) {
    const auto latest = reader.LatestRun();
    if (!latest) return false;
    Run = *latest;
  }
  for (TResultName& name : reader.Contents(Run)) {
    TResultFileInfo info;
    info.Path = File / std::to_string(Run) / std::filesystem::path(ResultFileName(name));
    static_cast<TResultName&>(info) = std::move(name);
    files_.push_back(std::move(info));
  }
  database_ = File;
  databaseRun_ = Run;
  return true;
}

std::vector<TResultFileInfo> TResultFolder::Find(TOutputType family,
                                                 std::optional<tWordOrLemma> kind,
                                                 std::optional<std::int64_t> lag) const {
  std::vector<TResultFileInfo> found;
  for (const TResultFileInfo& f : files_) {
    if (f.Family != family || (kind && f.Kind != *kind) || (lag && f.Lag != *lag)) continue;
    found.push_back(f);
  }
  return found;
}

std::optional<TResultFileInfo> TResultFolder::Classify(const std::filesystem::path& file) {
  std::optional<TResultName> name = ParseResultFileName(PathToUtf8(file.filename()));
  if (!name) return std::nullopt;
  TResultFileInfo info;
  static_cast<TResultName&>(info) = std::move(*name);
  info.Path = file;
  return info;
}

TSeriesTable TResultFolder::ReadSeries(const std::filesystem::path& file,
                                       const TReadProgress& progress) {
  if (const auto item = DatabaseItem(file))
    return TDatabaseReader(item->File)
        .ReadSeries(item->Run, item->Name.Kind, item->Name.Doc, progress);
  TCsvCursor cursor = Open(file);
  TRecord r;
  cursor.Next(r);
  if (r.Fields.empty() || r.Fields[0] != "Window id")
    cursor.Fail("the header does not begin with \"Window id\"");
  TSeriesTable table;
  for (std::size_t i = 1; i < r.Fields.size(); ++i)
    table.Captions.push_back(Utf8ToUtf16(r.Fields[i]));
  table.Columns.resize(table.Captions.size());
  std::size_t rows = 0;
  while (!cursor.AtEnd()) {
    cursor.Next(r);
    if (r.Fields.empty()) continue;
    if (r.Fields.size() != table.Captions.size() + 1)
      cursor.Fail("the line has " + std::to_string(r.Fields.size()) + " fields, the header " +
                  std::to_string(table.Captions.size() + 1));
    table.WindowIds.push_back(cursor.Number(r.Fields[0]));
    for (std::size_t c = 0; c < table.Columns.size(); ++c)
      table.Columns[c].push_back(cursor.Number(r.Fields[c + 1]));
    if (progress && ++rows % 65536 == 0 && !progress(cursor.Share()))
      throw std::runtime_error("cancelled");
  }
  if (progress) progress(1.0);
  return table;
}

std::vector<std::u16string> TResultFolder::ReadSeriesCaptions(const std::filesystem::path& file) {
  if (const auto item = DatabaseItem(file))
    return TDatabaseReader(item->File).SeriesCaptions(item->Run);
  std::ifstream in(file, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line))
    throw std::runtime_error("Cannot read result file " + QuotedPath(file) +
                             ": it cannot be opened or is empty.");
  if (!line.empty() && line.back() == '\r') line.pop_back();
  TCsvCursor cursor(file, std::move(line));
  TRecord r;
  cursor.Next(r);
  if (r.Fields.empty() || r.Fields[0] != "Window id")
    cursor.Fail("the header does not begin with \"Window id\"");
  std::vector<std::u16string> captions;
  for (std::size_t i = 1; i < r.Fields.size(); ++i) captions.push_back(Utf8ToUtf16(r.Fields[i]));
  return captions;
}

std::optional<double> TResultFolder::ReadAverage(tWordOrLemma kind, std::int64_t lag,
                                                 std::int64_t doc,
                                                 std::u16string_view caption) const {
  const std::vector<TResultFileInfo> files = Find(TOutputType::outAverage, kind, lag);
  if (files.empty()) return std::nullopt;
  const TTextTable table = ReadTextTable(files.front().Path);
  const auto column = table.ColumnOf(caption);
  if (!column) return std::nullopt;
  std::string id = std::to_string(doc);
  const std::u16string id16(id.begin(), id.end());
  for (const TTextRow& row : table.Rows)
    if (row.TextId == id16) return row.Values[*column];
  return std::nullopt;
}

std::vector<TTextRow> TResultFolder::ReadDocuments() const {
  for (const TOutputType family :
       {TOutputType::outAverage, TOutputType::outWholeTexts, TOutputType::outIndices}) {
    for (const TResultFileInfo& f : Find(family)) {
      try {
        return ReadTextTable(f.Path).Rows;
      } catch (const std::runtime_error&) {
        continue;  // a broken table is reported when it is shown
      }
    }
  }
  return {};
}

std::optional<double> TResultFolder::ReadTokens(tWordOrLemma kind, std::int64_t doc) const {
  const std::vector<TResultFileInfo> files = Find(TOutputType::outWholeTexts, kind);
  if (files.empty()) return std::nullopt;
  const TTextTable table = ReadTextTable(files.front().Path);
  const auto column = table.ColumnOf(u"Tokens");
  if (!column) return std::nullopt;
  const std::string id = std::to_string(doc);
  const std::u16string id16(id.begin(), id.end());
  for (const TTextRow& row : table.Rows)
    if (row.TextId == id16) return row.Values[*column];
  return std::nullopt;
}

bool TResultFolder::SeriesHasNoWindow(const std::filesystem::path& file) {
  if (const auto item = DatabaseItem(file))
    return TDatabaseReader(item->File)
        .SeriesHasNoWindow(item->Run, item->Name.Kind, item->Name.Doc);
  std::ifstream in(file, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line))
    throw std::runtime_error("Cannot read result file " + QuotedPath(file) +
                             ": it cannot be opened or is empty.");
  for (char c; in.get(c);)
    if (c != '\r' && c != '\n') return false;
  return true;
}

TTextTable TResultFolder::ReadTextTable(const std::filesystem::path& file) {
  if (const auto item = DatabaseItem(file))
    return TDatabaseReader(item->File).ReadTextTable(item->Run, item->Name.Family, item->Name.Kind);
  TCsvCursor cursor = Open(file);
  TRecord r;
  cursor.Next(r);
  if (r.Fields.size() < 2 || r.Fields[0] != "File Name" || r.Fields[1] != "Text id")
    cursor.Fail("the header does not begin with \"File Name\",\"Text id\"");
  TTextTable table;
  table.HasDocumentIds = r.Fields.size() > 2 && r.Fields[2] == "Document id";
  const std::size_t keys = table.HasDocumentIds ? 3 : 2;
  for (std::size_t i = keys; i < r.Fields.size(); ++i)
    table.Captions.push_back(Utf8ToUtf16(r.Fields[i]));
  while (!cursor.AtEnd()) {
    cursor.Next(r);
    if (r.Fields.empty()) continue;
    // A line ending in an empty unquoted field lost it; an empty id is always quoted.
    if (r.Fields.size() != table.Captions.size() + keys)
      cursor.Fail("the line has " + std::to_string(r.Fields.size()) + " fields, the header " +
                  std::to_string(table.Captions.size() + keys));
    TTextRow row;
    row.FileName = Utf8ToUtf16(r.Fields[0]);
    row.TextId = Utf8ToUtf16(r.Fields[1]);
    if (table.HasDocumentIds) row.DocumentId = Utf8ToUtf16(r.Fields[2]);
    row.Values.reserve(table.Captions.size());
    for (std::size_t c = keys; c < r.Fields.size(); ++c)
      row.Values.push_back(cursor.Number(r.Fields[c]));
    table.Rows.push_back(std::move(row));
  }
  return table;
}

std::vector<TDistributionBlock> TResultFolder::ReadDistribution(const std::filesystem::path& file) {
  if (const auto item = DatabaseItem(file))
    return TDatabaseReader(item->File)
        .ReadDistribution(item->Run, item->Name.Kind, item->Name.Caption);
  TCsvCursor cursor = Open(file);
  std::vector<TDistributionBlock> blocks;
  TRecord key;
  TRecord labels;
  TRecord counts;
  while (!cursor.AtEnd()) {
    cursor.Next(key);
    if (key.Fields.empty()) continue;
    if (!key.FirstQuoted) cursor.Fail("a quoted document name was expected");
    TDistributionBlock block;
    block.Name = Utf8ToUtf16(key.Fields[0]);
    if (key.Fields.size() > 1) block.TextId = Utf8ToUtf16(key.Fields[1]);
    if (cursor.AtEnd()) cursor.Fail("the block ends without its labels");
    cursor.Next(labels);
    if (cursor.AtEnd()) cursor.Fail("the block ends without its counts");
    cursor.Next(counts);
    if (labels.FirstQuoted || counts.FirstQuoted)
      cursor.Fail("a block has a quoted line where labels or counts were expected");
    if (labels.Fields.size() != counts.Fields.size())
      cursor.Fail(std::to_string(labels.Fields.size()) + " labels but " +
                  std::to_string(counts.Fields.size()) + " counts");
    block.Labels = labels.Fields;
    for (const std::string& l : labels.Fields) block.LabelValues.push_back(cursor.Number(l));
    for (const std::string& c : counts.Fields) block.Counts.push_back(cursor.Count(c));
    blocks.push_back(std::move(block));
  }
  return blocks;
}

}  // namespace tavora
