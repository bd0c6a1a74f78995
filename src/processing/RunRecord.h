#pragma once

// What the run record of an output folder (TRunFolder) says of a measurement run, and what
// a run leaves out of the walk of its input folders.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/TJsonValue.h"
#include "input/TTokenizationStream.h"
#include "processing/RunOptions.h"

namespace tavora {

// The task, the options and the inputs of a measurement run: an object with the members
// "task" ("measure"), "options" and "inputs" (the input lines as given; none for a text,
// which "inputText" marks). p.InputFile is not read: the input comes as Input.
[[nodiscard]] TJsonValue MeasureRunDescription(const TMeasureParameters& p,
                                               std::u16string_view Input);

// The same for a frequency-list run: "task" ("freqlist"), "options" (the reading choices and
// the list files) and "inputs".
[[nodiscard]] TJsonValue DictionaryRunDescription(const TDictionaryParameters& p,
                                                  std::u16string_view Input);

// The folders a run writes into and the files it writes, left out of the walk of its input
// folders together with every file that runs write into output folders (result files, run
// records, locks and their temporaries), so that a run never reads what it or an earlier run
// wrote as a text. The filter counts what it leaves out; it refers to this object, which
// must outlive the walk.
class TOwnFilesLeftOut {
 public:
  void AddFolder(std::filesystem::path Folder) { folders_.push_back(std::move(Folder)); }
  void AddFile(std::filesystem::path File) { files_.push_back(std::move(File)); }
  [[nodiscard]] TTokenizationStream::TWalkFilter Filter();
  // One sentence on what was left out; empty when nothing was.
  [[nodiscard]] std::string Warning() const;

 private:
  bool LeavesOut(const std::filesystem::path& entry, bool isFolder);

  std::vector<std::filesystem::path> folders_;
  std::vector<std::filesystem::path> files_;
  std::vector<std::filesystem::path> foldersMet_;
  std::uint64_t filesMet_ = 0;
};

}  // namespace tavora
