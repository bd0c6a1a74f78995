#include "processing/RunFiles.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"
#include "engine/TReferenceDictionary.h"
#include "input/TTokenizationStream.h"
#include "results/ResultNames.h"

namespace tavora {

namespace {

// Whether the first line of a UTF-8 file that is not empty once trimmed of control characters,
// spaces and byte-order marks (as the token stream trims its items) begins with marker (ASCII).
// Reads at most the first 64 KiB: a file whose first such line begins later is not taken.
bool BeginsWithMarkerLine(const std::filesystem::path& file, std::u16string_view marker) {
  std::ifstream in(file, std::ios::binary);
  std::string head(std::size_t{1} << 16, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  std::size_t p = 0;
  for (;;) {
    if (p < head.size() && static_cast<unsigned char>(head[p]) <= 0x20) {
      ++p;
    } else if (head.compare(p, 3, "\xEF\xBB\xBF") == 0) {
      p += 3;
    } else {
      break;
    }
  }
  if (p + marker.size() > head.size()) return false;
  for (std::size_t i = 0; i < marker.size(); ++i)
    if (marker[i] >= 0x80 || static_cast<unsigned char>(head[p + i]) != marker[i]) return false;
  return true;
}

}  // namespace

void SetUpStream(TTokenizationStream& Stream, const std::string& Encoding,
                 const TCorpusOptions& Corpus, const TCustomVertical& Custom) {
  Stream.SetEncoding(Encoding);
  Stream.SetUniversalDependencies(Corpus.UniversalDependencies);
  Stream.SetDocumentPerFile(Corpus.DocumentPerFile);
  if (Custom.IsCustomVertical) {
    Stream.SetCustomVerticalFormatting(Custom.WordIndex, Custom.LemmaIndex, Custom.TagIndex,
                                       Custom.NewDocMarker);
  }
}

bool EachFileBeginsADocument(const std::vector<std::filesystem::path>& Files, THow How,
                             std::u16string_view Marker, const std::string& Encoding,
                             bool DocumentPerFile) {
  if (!std::all_of(Files.begin(), Files.end(), [](const std::filesystem::path& f) {
        return std::filesystem::is_regular_file(f);
      }))
    return false;
  if (Marker.empty() || DocumentPerFile) return true;
  // A format of marker lines: each file must begin with a marker line (UTF-8 input).
  if (!Encoding.empty() ||
      (How != THow::jSYN && How != THow::jCustomVertical && How != THow::jCONLLU))
    return false;
  return std::all_of(Files.begin(), Files.end(), [&](const std::filesystem::path& f) {
    return BeginsWithMarkerLine(f, Marker);
  });
}

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

std::vector<std::unique_ptr<TFolderLock>> LockListFolders(
    const std::vector<std::filesystem::path>& lists) {
  std::vector<std::unique_ptr<TFolderLock>> locks;
  std::vector<std::filesystem::path> folders;
  for (const std::filesystem::path& list : lists) {
    const std::filesystem::path folder = list.has_parent_path() ? list.parent_path() : ".";
    std::error_code ec;
    // A folder that does not exist fails when the list is saved, with the list's name.
    if (!std::filesystem::is_directory(folder, ec)) continue;
    bool locked = false;
    for (const std::filesystem::path& f : folders)
      locked = locked || std::filesystem::equivalent(f, folder, ec);
    if (locked) continue;
    folders.push_back(folder);
    locks.push_back(std::make_unique<TFolderLock>(folder, "folder of the frequency list"));
  }
  return locks;
}

std::filesystem::path DatabaseFile(const TResultDestinations& d,
                                   const std::filesystem::path& Folder) {
  if (!d.DatabaseFile.empty()) return std::filesystem::path(d.DatabaseFile);
  return Folder / std::filesystem::path(kDatabaseName);
}

TDatabaseWriter::TRun DatabaseRun(const TJsonValue& Description, std::uint32_t WindowLength,
                                  TOutputTypeSet Families) {
  TDatabaseWriter::TRun run;
  run.Task = Description.Find("task")->AsString();
  run.Options = Description.Find("options")->Dump();
  run.Inputs = Description.Find("inputs")->Dump();
  run.WindowLength = WindowLength;
  run.Families = Families;
  return run;
}

std::unique_ptr<TDatabaseWriter> OpenListDatabase(
    const TJsonValue& Description, const TResultDestinations& Destinations,
    const std::filesystem::path& FirstList,
    const std::vector<std::unique_ptr<TFolderLock>>& Locks) {
  std::vector<std::filesystem::path> locked;
  for (const auto& lock : Locks) locked.push_back(lock->GetPath().parent_path());
  return std::make_unique<TDatabaseWriter>(
      DatabaseFile(Destinations, FirstList.has_parent_path() ? FirstList.parent_path() : "."),
      Destinations.ReplaceDatabase, DatabaseRun(Description, 0, {}), locked);
}

void SaveLists(TPreparedDictionaries& Lists, TWordOrLemmaSet WoL,
               const std::filesystem::path& WordFile, const std::filesystem::path& LemmaFile,
               TDatabaseWriter* Database, const std::function<void(std::string)>& Warn) {
  for (const tWordOrLemma kind : WoL) {
    TReferenceDictionary& list = *Lists[static_cast<std::size_t>(kind)];
    const std::filesystem::path& file = kind == tWordOrLemma::tokWord ? WordFile : LemmaFile;
    const std::size_t typesLeftOut = list.Save(file);
    list.ShouldSurvive = true;
    if (typesLeftOut > 0) {
      Warn("The list " + QuotedPath(file) + " leaves out " + std::to_string(typesLeftOut) +
           (typesLeftOut == 1 ? " type that holds" : " types that hold") +
           " a TAB or a line break, which the list format cannot store.");
    }
  }
  if (Database != nullptr) {
    for (const tWordOrLemma kind : WoL)
      Database->AddFrequencyList(kind, *Lists[static_cast<std::size_t>(kind)]);
    Database->Commit();
  }
}

TWordOrLemmaNames ListNames(const TReferenceDictionaryPair& lists) {
  TWordOrLemmaNames names;
  for (const tWordOrLemma kind : {tWordOrLemma::tokWord, tWordOrLemma::tokLemma})
    if (lists[kind] != nullptr) names[kind] = lists[kind]->LastFileName.u16string();
  return names;
}

std::u16string JoinTags(const std::vector<std::u16string>& tags) {
  std::u16string text;
  for (std::size_t i = 0; i < tags.size(); ++i) text += (i > 0 ? u"|" : u"") + tags[i];
  return text;
}

}  // namespace tavora
