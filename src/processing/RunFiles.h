#pragma once

// What a run does around its measuring: the setup of its token streams, whether its files can
// be read apart, the folders and locks of the frequency lists, the results database and the
// names the run record keeps.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/TFolderLock.h"
#include "base/TJsonValue.h"
#include "input/THow.h"
#include "processing/RunOptions.h"
#include "results/TDatabaseWriter.h"

namespace tavora {

class TTokenizationStream;

// Sets up Stream for the encoding, the corpus options and the custom vertical columns.
void SetUpStream(TTokenizationStream& Stream, const std::string& Encoding,
                 const TCorpusOptions& Corpus, const TCustomVertical& Custom);

// Whether each of Files begins a document of its own for a stream of format How with
// document marker Marker (empty: every file is a document), so that the files can be read
// apart. A format of marker lines needs UTF-8 files (Encoding empty) whose first line
// begins with the marker.
[[nodiscard]] bool EachFileBeginsADocument(const std::vector<std::filesystem::path>& Files,
                                           THow How, std::u16string_view Marker,
                                           const std::string& Encoding, bool DocumentPerFile);

// Creates the folder of a frequency-list file with its missing parents; fails naming the
// list of kind when no file is named or the folder cannot be made.
void CreateListFolder(const std::filesystem::path& file, tWordOrLemma kind);

// Locks the existing folders of the frequency lists, each once.
[[nodiscard]] std::vector<std::unique_ptr<TFolderLock>> LockListFolders(
    const std::vector<std::filesystem::path>& lists);

// The database of a run: the one named, or "Tavora.sqlite" in Folder.
[[nodiscard]] std::filesystem::path DatabaseFile(const TResultDestinations& d,
                                                 const std::filesystem::path& Folder);

// What the database's table "runs" says of a run that the description describes.
[[nodiscard]] TDatabaseWriter::TRun DatabaseRun(const TJsonValue& Description,
                                                std::uint32_t WindowLength,
                                                TOutputTypeSet Families);

// The results database of a frequency-list run described by Description, in the folder of
// its first list FirstList unless Destinations names another, written with the lists' folders
// locked by Locks.
[[nodiscard]] std::unique_ptr<TDatabaseWriter> OpenListDatabase(
    const TJsonValue& Description, const TResultDestinations& Destinations,
    const std::filesystem::path& FirstList, const std::vector<std::unique_ptr<TFolderLock>>& Locks);

// Saves the list of each kind of WoL to its file (word forms to WordFile, lemmata to
// LemmaFile), marks it to survive, warns through Warn of the types a file cannot store, and
// then adds the lists to Database (when given) and commits it.
void SaveLists(TPreparedDictionaries& Lists, TWordOrLemmaSet WoL,
               const std::filesystem::path& WordFile, const std::filesystem::path& LemmaFile,
               TDatabaseWriter* Database, const std::function<void(std::string)>& Warn);

// The reference lists' file names, for the run record.
[[nodiscard]] TWordOrLemmaNames ListNames(const TReferenceDictionaryPair& lists);

// Tag prefixes joined by "|", as the user typed them.
[[nodiscard]] std::u16string JoinTags(const std::vector<std::u16string>& tags);

}  // namespace tavora
