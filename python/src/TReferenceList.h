#pragma once

// A reference frequency list for the cross and relative measures, made from a list file
// or from counts. It does not change once made, so the engines of any number of calls and
// threads read it at the same time; each call holds it for as long as it runs.

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/TReferenceDictionary.h"

namespace tavora::python {

namespace py = pybind11;

// A file that cannot be read, raised in Python as OSError (FileNotFoundError when it does
// not exist).
class TFileError : public std::runtime_error {
 public:
  enum class TKind { Missing, NotAFile, Other };
  TFileError(TKind Kind, const std::string& Message) : std::runtime_error(Message), kind_(Kind) {}
  [[nodiscard]] TKind Kind() const { return kind_; }

 private:
  TKind kind_;
};

class TReferenceList {
 public:
  // Reads a list file as tavora-cli reads --word-list: a path that is not an existing file
  // is an error with the command line's message. Releases the GIL while reading.
  static TReferenceList Load(const std::filesystem::path& Path);
  // A list from a mapping of type to count (counts 0 to 2^31 - 1, as a list file holds
  // them); the length of each type is its length in UTF-16 code units. An empty type is
  // skipped, as a list file's line with an empty first field is.
  static TReferenceList FromCounts(py::handle Counts);

  [[nodiscard]] const TReferenceDictionary& Dictionary() const { return *list_; }
  [[nodiscard]] std::shared_ptr<const TReferenceDictionary> Shared() const { return list_; }

 private:
  explicit TReferenceList(std::shared_ptr<const TReferenceDictionary> List)
      : list_(std::move(List)) {}

  std::shared_ptr<const TReferenceDictionary> list_;
};

}  // namespace tavora::python
