#pragma once

// Runs over files as tavora-cli runs them: the arguments are the command line's (the Python
// layer turns keywords into options), parsed by TCommandLine and mapped by TCliOptionMapper,
// so that every option, start value, check and message is the command line's. The run
// itself (TProcessTexts) goes without the GIL; its results come back as Python objects.
//
// Errors: ValueError (TUsageError, std::invalid_argument) for options, OSError for inputs,
// lists and output folders that cannot be read or written, MemoryError when memory runs
// out, and a Python signal's exception (KeyboardInterrupt) when one stops the run, which
// then leaves the output folder as it was.

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace tavora {
class TReferenceDictionary;
}

namespace tavora::python {

namespace py = pybind11;

// (types, counts) of a frequency list in the order of its file: the most frequent type
// first, equal counts in code-unit order of the type.
py::tuple ListItems(const TReferenceDictionary& List);

class TCorpusRun {
 public:
  // Arguments: the options and the inputs of "tavora-cli measure" (after the command).
  // Lists: {"word": ReferenceList, "lemma": ReferenceList}, lists given as objects rather
  // than files. CsvFiles: whether the result files are written (false: the output folder
  // only holds the run's record while it runs). Returns the frames' raw data (see
  // tavora/__init__.py) and the warnings of the run.
  static py::dict Measure(const std::vector<std::string>& Arguments, py::dict Lists, bool CsvFiles);
  // Arguments: those of "tavora-cli freqlist". Returns {kind: (types, counts)}, the types
  // in the order of the list file, and the warnings.
  static py::dict FreqList(const std::vector<std::string>& Arguments);
};

}  // namespace tavora::python
