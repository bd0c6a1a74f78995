#include "results/TRunFolder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"
#include "base/Platform.h"
#include "base/TAtomicFile.h"
#include "base/TFolderLock.h"
#include "base/Timestamp.h"
#include "base/Utf8.h"
#include "base/Version.h"
#include "results/ResultNames.h"
#include "results/TResultFile.h"

namespace fs = std::filesystem;

namespace tavora {

namespace {

constexpr std::string_view kTemporaryEnd = ".part";
constexpr std::size_t kSuffixDigits = 16;  // TAtomicFile's ".<16 hex digits>.part"

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// The name of the file whose temporary this is; empty when it is no temporary.
std::string_view TemporaryOf(std::string_view name) {
  if (!name.ends_with(kTemporaryEnd)) return {};
  name.remove_suffix(kTemporaryEnd.size());
  if (name.size() <= kSuffixDigits + 1) return {};
  const std::string_view digits = name.substr(name.size() - kSuffixDigits);
  for (const char c : digits)
    if (!IsHexDigit(c)) return {};
  name.remove_suffix(kSuffixDigits);
  if (!name.ends_with('.')) return {};
  name.remove_suffix(1);
  return name;
}

bool IsOwnName(std::string_view name) {
  if (name.starts_with(kDatabaseName)) {
    const std::string_view rest = name.substr(kDatabaseName.size());
    if (rest.empty() || rest == "-journal" || rest == "-wal" || rest == "-shm") return true;
  }
  return name == TRunFolder::kRecordName || name == TFolderLock::kFileName ||
         ParseResultFileName(name).has_value();
}

std::string ReadText(const fs::path& file, bool& readable) {
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  readable = in.is_open() && !in.bad();
  return text;
}

[[noreturn]] void FailRecord(const fs::path& record, const std::string& problem) {
  throw std::runtime_error("Cannot read the run record " + QuotedPath(record) + ": " + problem +
                           ".");
}

}  // namespace

TRunFolder::TRunFolder(fs::path folder, const TJsonValue& description)
    : folder_(std::move(folder)),
      description_(description),
      started_(std::chrono::system_clock::now()) {
  if (folder_.empty()) throw std::runtime_error("Unable to create directory");
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec || !fs::is_directory(folder_)) {
    throw std::runtime_error("Unable to create directory " + QuotedPath(folder_) + ": " +
                             (ec ? ec.message() : std::string("a file of that name exists")) + ".");
  }
  lock_ = std::make_unique<TFolderLock>(folder_);
  if (lock_->TookOverLeftLock()) RemoveLeftTemporaries();
  ReadPreviousRecord();
  WriteRecord(Record("running", true));
}

TRunFolder::~TRunFolder() {
  if (!committed_) Undo();
}

void TRunFolder::ReadPreviousRecord() {
  const fs::path path = folder_ / kRecordName;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return;
  bool readable = false;
  oldRecord_ = ReadText(path, readable);
  if (!readable) FailRecord(path, "it cannot be opened");
  try {
    const TJsonValue old = TJsonValue::Parse(*oldRecord_);
    const TJsonValue* state = old.Find("state");
    if (state != nullptr && state->IsString() && state->AsString() == "complete") {
      previous_ = old;
    } else if (const TJsonValue* previous = old.Find("previous")) {
      previous_ = *previous;
    }
  } catch (const std::runtime_error&) {
    // A record that cannot be read names no complete run; it is put back if this run fails.
  }
}

void TRunFolder::RemoveLeftTemporaries() const {
  // Only the temporaries of a run that was killed: no other run can write here now.
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = PathToUtf8(it->path().filename());
    const std::string_view of = TemporaryOf(name);
    std::error_code removeError;
    if (!of.empty() && IsOwnName(of) && it->is_regular_file(removeError))
      fs::remove(it->path(), removeError);
  }
}

std::string TRunFolder::Record(std::string_view state, bool withPrevious) const {
  TJsonValue record = TJsonValue::Object();
  record.Set("program", "Tavora");
  record.Set("version", std::string(TavoraVersion()));
  record.Set("state", std::string(state));
  record.Set("started", UtcTimestamp(started_));
  record.Set("ended", state == "running"
                          ? TJsonValue()
                          : TJsonValue(UtcTimestamp(std::chrono::system_clock::now())));
  if (description_.IsObject())
    for (const auto& [key, value] : description_.AsObject()) record.Set(key, value);
  TJsonValue files = TJsonValue::Array();
  if (state == "complete") {
    for (const TKept& k : kept_) files.Push(PathToUtf8(k.Target));
    if (!database_.empty()) files.Push(PathToUtf8(database_));
  }
  record.Set("files", std::move(files));
  if (state == "complete" && !database_.empty()) {
    TJsonValue database = TJsonValue::Object();
    database.Set("file", PathToUtf8(database_));
    database.Set("run", databaseRun_);
    record.Set("database", std::move(database));
  }
  if (withPrevious) record.Set("previous", previous_);
  return record.Dump() + "\n";
}

void TRunFolder::WriteRecord(const std::string& text) const {
  TAtomicFile file(folder_ / kRecordName, "the run record");
  file.Write(text);
  file.Commit();
}

void TRunFolder::Keep(TResultFile& file) {
  const fs::path target = file.GetTarget().filename();
  const fs::path temporary = file.Release().filename();
  kept_.push_back({temporary, target});
}

void TRunFolder::KeepDatabase(const fs::path& File, std::int64_t Run) {
  std::error_code ec;
  const bool inFolder =
      fs::equivalent(File.has_parent_path() ? File.parent_path() : fs::path("."), folder_, ec);
  database_ = inFolder ? File.filename() : fs::absolute(File, ec);
  if (ec) database_ = File;
  databaseRun_ = Run;
}

void TRunFolder::Commit(const std::function<void()>& BeforeRenames) {
  for (const TKept& k : kept_) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(folder_ / k.Target, ec)))
      throw std::runtime_error("Cannot write file " + QuotedPath(folder_ / k.Target) +
                               ": a folder of that name exists.");
  }
  if (BeforeRenames) BeforeRenames();
  for (; renamed_ < kept_.size(); ++renamed_) {
    const TKept& k = kept_[renamed_];
    std::error_code ec;
    if (!RenameReplacing(folder_ / k.Temporary, folder_ / k.Target, ec))
      throw std::runtime_error("Cannot write file " + QuotedPath(folder_ / k.Target) + ": " +
                               ec.message() + ".");
  }
  std::error_code ec;
  if (!SyncFolder(folder_, ec))
    throw std::runtime_error("Cannot write to the folder " + QuotedPath(folder_) +
                             ": it cannot be flushed: " + ec.message() + ".");
  WriteRecord(Record("complete", false));
  committed_ = true;
}

void TRunFolder::Undo() const {
  std::error_code ec;
  for (std::size_t i = renamed_; i < kept_.size(); ++i)
    fs::remove(folder_ / kept_[i].Temporary, ec);
  try {
    if (renamed_ > 0) {
      // Some files are already replaced: no complete run is left in the folder.
      WriteRecord(Record("failed", false));
    } else if (oldRecord_) {
      WriteRecord(*oldRecord_);
    } else {
      fs::remove(folder_ / kRecordName, ec);
    }
  } catch (const std::exception&) {
    // The "running" record stays; its "previous" still names the latest complete run.
  }
}

std::optional<TRunFolder::TCompleteRun> TRunFolder::CompleteRun(const fs::path& folder) {
  const fs::path path = folder / kRecordName;
  std::error_code ec;
  if (!fs::exists(path, ec)) return std::nullopt;
  bool readable = false;
  const std::string text = ReadText(path, readable);
  if (!readable) FailRecord(path, "it cannot be opened");
  try {
    const TJsonValue record = TJsonValue::Parse(text);
    const TJsonValue* run = &record;
    const TJsonValue* state = record.Find("state");
    if (state == nullptr || !state->IsString() || state->AsString() != "complete") {
      run = record.Find("previous");
      if (run == nullptr || run->IsNull()) return std::nullopt;
    }
    const TJsonValue* files = run->Find("files");
    if (files == nullptr) throw std::runtime_error("it lists no files");
    TCompleteRun complete;
    for (const TJsonValue& name : files->AsArray()) complete.Files.push_back(name.AsString());
    if (const TJsonValue* database = run->Find("database"); database != nullptr) {
      const TJsonValue* file = database->Find("file");
      const TJsonValue* id = database->Find("run");
      if (file == nullptr || id == nullptr) throw std::runtime_error("its database is incomplete");
      complete.Database = fs::path(Utf8ToUtf16(file->AsString()));
      complete.DatabaseRun = static_cast<std::int64_t>(id->AsNumber());
    }
    return complete;
  } catch (const std::runtime_error& e) {
    FailRecord(path, e.what());
  }
}

std::optional<std::vector<std::string>> TRunFolder::CompleteRunFiles(const fs::path& folder) {
  std::optional<TCompleteRun> run = CompleteRun(folder);
  if (!run) return std::nullopt;
  return std::move(run->Files);
}

std::string_view TRunFolder::TemporaryTarget(std::string_view fileName) {
  return TemporaryOf(fileName);
}

bool TRunFolder::IsWrittenByRuns(std::string_view fileName) {
  if (IsOwnName(fileName)) return true;
  const std::string_view of = TemporaryOf(fileName);
  return !of.empty() && IsOwnName(of);
}

}  // namespace tavora
