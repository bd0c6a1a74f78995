#include "TCorpusRun.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <Python.h>

#include <exception>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "TMemorySink.h"
#include "TReferenceList.h"
#include "base/Paths.h"
#include "base/Utf8.h"
#include "cli/TCliOptionMapper.h"
#include "cli/TCommandLine.h"
#include "cli/TUsageError.h"
#include "options/TOptionsModel.h"
#include "options/TReferenceCache.h"
#include "processing/TProcessTexts.h"

namespace fs = std::filesystem;

namespace tavora::python {

namespace {

constexpr std::size_t Slot(tWordOrLemma k) { return static_cast<std::size_t>(k); }
constexpr tWordOrLemma kKinds[] = {tWordOrLemma::tokWord, tWordOrLemma::tokLemma};

TCliChoices ParseArguments(const char* Command, const std::vector<std::string>& Arguments,
                           const TOptionsModel& Model) {
  std::vector<const char*> argv{"tavora-cli", Command};
  for (const std::string& argument : Arguments) argv.push_back(argument.c_str());
  TCommandLine line(Model);
  if (line.Parse(static_cast<int>(argv.size()), argv.data()))
    throw TUsageError("help and version are not options of a run");
  if (line.Choices().ReadsStandardInput())
    throw TUsageError("standard input cannot be read here: pass the text as tokens");
  return line.Choices();
}

// The input list of the run, one path a line, checked as the command line checks it: a
// missing entry is skipped with a warning, and a run with none left fails.
std::u16string InputList(const TCliChoices& Choices, std::vector<std::string>& Warnings) {
  std::vector<fs::path> missing;
  std::u16string list;
  for (const std::string& input : Choices.Inputs) {
    if (input.find_first_of("\r\n") != std::string::npos)
      throw TUsageError("An INPUT name cannot hold a line break");
    const fs::path path = PathFromCommandLine(input);
    std::error_code ec;
    if (!fs::exists(path, ec)) missing.push_back(path);
    if (!list.empty()) list += u"\n";
    list += PathToUtf16(path);
  }
  if (missing.size() == Choices.Inputs.size()) {
    throw TFileError(
        TFileError::TKind::Missing,
        "Cannot open input " + QuotedPath(missing.front()) + ": no such file or folder.");
  }
  for (const fs::path& path : missing)
    Warnings.push_back("input " + QuotedPath(path) + " does not exist; skipped.");
  return list;
}

// Lets Python's signal handlers run every few thousand reads; an exception they raise
// (KeyboardInterrupt) cancels the run.
class TSignalCheck {
 public:
  TProgressCallback Callback() {
    return [this](std::uint64_t, std::uint64_t, std::uint64_t) {
      py::gil_scoped_acquire held;
      if (PyErr_CheckSignals() == 0) return true;
      raised_ = true;
      return false;
    };
  }
  [[nodiscard]] bool Raised() const { return raised_; }

 private:
  bool raised_ = false;
};

// Runs Work without the GIL and raises what it throws as the matching Python exception.
template <typename F>
void RunReleased(F&& Work) {
  TSignalCheck signals;
  std::exception_ptr error;
  {
    py::gil_scoped_release unlocked;
    try {
      Work(signals.Callback());
    } catch (...) {
      error = std::current_exception();
    }
  }
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const TRunCancelled&) {
    if (signals.Raised()) throw py::error_already_set();
    throw;
  } catch (const std::invalid_argument&) {
    throw;  // ValueError
  } catch (const TFileError&) {
    throw;
  } catch (const std::runtime_error& e) {
    if (std::string_view(e.what()).starts_with("Not enough memory")) {
      PyErr_SetString(PyExc_MemoryError, e.what());
      throw py::error_already_set();
    }
    throw TFileError(TFileError::TKind::Other, e.what());
  }
}

py::list Strings(const std::vector<std::string>& Lines) {
  py::list list;
  for (const std::string& line : Lines) list.append(py::str(line));
  return list;
}

// A NumPy array that takes the vector over without a copy; Columns 0: one dimension.
template <typename T>
py::array_t<T> Array(std::vector<T>&& Values, std::size_t Columns = 0) {
  auto held = std::make_unique<std::vector<T>>(std::move(Values));
  T* data = held->data();
  const auto size = static_cast<py::ssize_t>(held->size());
  py::capsule owner(held.release(), [](void* v) { delete static_cast<std::vector<T>*>(v); });
  if (Columns == 0)
    return py::array_t<T>({size}, {static_cast<py::ssize_t>(sizeof(T))}, data, owner);
  const auto columns = static_cast<py::ssize_t>(Columns);
  return py::array_t<T>(
      {size / columns, columns},
      {static_cast<py::ssize_t>(Columns * sizeof(T)), static_cast<py::ssize_t>(sizeof(T))}, data,
      owner);
}

// The raw data of the frames (see tavora.measure_files).
py::dict Results(TMemoryResults& r, bool DocumentIds) {
  const TResultLayout& layout = r.Layout;
  py::dict out;
  py::list kinds;
  for (const tWordOrLemma kind : layout.Kinds) kinds.append(KindName(kind));
  out["kinds"] = kinds;
  py::list families;
  for (const TOutputType family : layout.Families) families.append(OutputTypeName(family));
  out["families"] = families;
  py::list measures;
  for (const TMeasureRef m : r.Measures) measures.append(Utf16ToUtf8(m.Caption()));
  out["measures"] = measures;
  py::list numbers, names, ids;
  for (const TMemoryResults::TDocument& d : r.Documents) {
    numbers.append(d.Number);
    names.append(Utf16ToUtf8(d.Name));
    ids.append(Utf16ToUtf8(d.Id));
  }
  out["numbers"] = numbers;
  out["names"] = names;
  out["ids"] = DocumentIds ? py::object(ids) : py::object(py::none());
  const std::size_t width = std::max<std::size_t>(r.Measures.size(), 1);
  py::dict indices, averages, wholeTexts, series;
  for (const tWordOrLemma kind : layout.Kinds) {
    TMemoryResults::TKind& k = r.Kinds[Slot(kind)];
    const py::str name(KindName(kind));
    py::list captions;
    for (const tIndex i : layout.Indices[Slot(kind)]) captions.append(Utf16ToUtf8(IndexCaption(i)));
    const std::size_t indexWidth = std::max<std::size_t>(layout.Indices[Slot(kind)].Count(), 1);
    indices[name] = py::make_tuple(captions, Array(std::move(k.Indices), indexWidth));
    averages[name] = Array(std::move(k.Averages), width);
    wholeTexts[name] = Array(std::move(k.WholeTexts), width);
    series[name] =
        py::make_tuple(Array(std::move(k.SeriesDocuments)), Array(std::move(k.SeriesWindows)),
                       Array(std::move(k.Series), width));
  }
  out["indices"] = indices;
  out["averages"] = averages;
  out["whole_texts"] = wholeTexts;
  out["series"] = series;
  return out;
}

}  // namespace

py::dict TCorpusRun::Measure(const std::vector<std::string>& Arguments, py::dict Lists,
                             bool CsvFiles) {
  TOptionsModel model;
  const TCliChoices choices = ParseArguments("measure", Arguments, model);
  TCliOptionMapper mapper(choices, model);
  TMeasureParameters p = mapper.MeasureParameters();
  std::vector<std::string> warnings = mapper.Warnings();
  p.Destinations.CsvFiles = p.Destinations.CsvFiles && CsvFiles;
  // Lists given as objects, held for the run.
  std::array<std::shared_ptr<const TReferenceDictionary>, kWordOrLemmaCount> objects;
  for (const tWordOrLemma kind : kKinds) {
    const py::str name(KindName(kind));
    if (!Lists.contains(name)) continue;
    if (p.WoL.Contains(kind)) {
      objects[Slot(kind)] = Lists[name].cast<const TReferenceList&>().Shared();
    } else {
      warnings.push_back("--" + std::string(KindName(kind)) + "-list needs " +
                         std::string(KindName(kind)) + " in --kinds; ignored");
    }
  }
  p.InputFile = InputList(choices, warnings);

  TMemoryResults results;
  TProcessTexts processor;
  processor.SetDiagnosticSink([](std::string_view) {});  // the report keeps every line
  processor.SetSinkFactory([&results] { return std::make_unique<TMemorySink>(results); });
  TReferenceCache cache;
  RunReleased([&](const TProgressCallback& progress) {
    TReferenceDictionaryPair lists = cache.Resolve(p.ReferenceDictionary);
    for (const tWordOrLemma kind : kKinds)
      if (objects[Slot(kind)]) lists[kind] = objects[Slot(kind)].get();
    processor.Measure(p, lists, progress);
  });
  for (const std::string& line : processor.GetReport().Warnings) warnings.push_back(line);
  py::dict out = Results(results, p.Corpus.DocumentIds);
  out["warnings"] = Strings(warnings);
  return out;
}

py::dict TCorpusRun::FreqList(const std::vector<std::string>& Arguments) {
  TOptionsModel model;
  const TCliChoices choices = ParseArguments("freqlist", Arguments, model);
  TCliOptionMapper mapper(choices, model);
  TDictionaryParameters p = mapper.DictionaryParameters();
  std::vector<std::string> warnings = mapper.Warnings();
  p.InputFile = InputList(choices, warnings);

  TProcessTexts processor;
  processor.SetDiagnosticSink([](std::string_view) {});
  TPreparedDictionaries lists;
  RunReleased(
      [&](const TProgressCallback& progress) { lists = processor.PrepareDictionary(p, progress); });
  for (const std::string& line : processor.GetReport().Warnings) warnings.push_back(line);
  py::dict out;
  for (const tWordOrLemma kind : p.WoL)
    out[py::str(KindName(kind))] = ListItems(*lists[Slot(kind)]);
  out["warnings"] = Strings(warnings);
  return out;
}

py::tuple ListItems(const TReferenceDictionary& List) {
  const auto entries = List.InListOrder();
  py::list types;
  std::vector<std::int64_t> counts;
  counts.reserve(entries.size());
  for (const auto* entry : entries) {
    types.append(py::str(Utf16ToUtf8(entry->first)));
    counts.push_back(static_cast<std::int64_t>(entry->second.Count));
  }
  return py::make_tuple(types, Array(std::move(counts)));
}

}  // namespace tavora::python
