// tavora._core: the engine of Tavora for Python. Every function reads its tokens into a
// TTokenSource with the GIL held, then releases the GIL while TSimpleTTR runs, so that
// threads measure in parallel. The pure-Python layer (tavora/__init__.py) documents the
// functions and turns the raw results into pandas objects.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "TCorpusRun.h"
#include "TIndexChoice.h"
#include "TMeasureChoice.h"
#include "TReferenceList.h"
#include "TTokenSource.h"
#include "base/Utf8.h"
#include "base/Version.h"
#include "engine/TIndices.h"
#include "engine/TSimpleTTR.h"
#include "processing/TTypeCounter.h"

namespace tavora::python {

namespace {

// The smoothing of reference probabilities that a measurement run uses.
constexpr double kSmoothingConstant = 0.5;
// Whole texts are measured with a window longer than the text (no window position is
// computed) up to this length; longer texts slide a window of this length, which leaves
// the whole-text values as they are.
constexpr std::size_t kMaxWholeTextWindow = std::size_t{1} << 24;

// A reference list argument: None, a ReferenceList, or the path of a list file.
std::shared_ptr<const TReferenceDictionary> ReferenceOf(py::handle Reference) {
  if (Reference.is_none()) return nullptr;
  if (py::isinstance<TReferenceList>(Reference))
    return Reference.cast<const TReferenceList&>().Shared();
  if (PyUnicode_Check(Reference.ptr()) || py::hasattr(Reference, "__fspath__")) {
    return TReferenceList::Load(Reference.cast<std::filesystem::path>()).Shared();
  }
  throw py::type_error("reference must be a ReferenceList, a path or None, not " +
                       std::string(Py_TYPE(Reference.ptr())->tp_name));
}

std::unique_ptr<TSimpleTTR> MakeEngine(std::uint32_t Window, const TMeasureChoice& Choice,
                                       const TReferenceDictionary* Reference,
                                       bool ReferenceContainsText) {
  auto engine =
      std::make_unique<TSimpleTTR>(Window, Choice.Basic(), Choice.Secondary(), Choice.HillsQ(),
                                   ReferenceContainsText, kSmoothingConstant);
  if (Reference != nullptr) engine->SetReferenceDictionary(Reference);
  return engine;
}

double Mattr(py::handle Tokens, std::int64_t Window, py::handle Separator) {
  const std::uint32_t window = TMeasureChoice::Window(Window);
  TTokenSource source(Tokens, Separator);
  if (source.MaxTokens() < window) return std::numeric_limits<double>::quiet_NaN();
  py::gil_scoped_release unlocked;
  const TMeasureChoice choice = TMeasureChoice::Ttr();
  TSimpleTTR engine(window, choice.Basic(), choice.Secondary(), choice.HillsQ(), false,
                    kSmoothingConstant);
  source.ForEach([&](std::u16string_view token) { engine.AddToken(token, false); });
  if (engine.Total().NumberOfWindowsInText == 0) return std::numeric_limits<double>::quiet_NaN();
  return engine.Total().SecondaryMetrics(tMeasureSecondary::vTTR);
}

// The columns' captions and an array of one row per window position.
py::tuple Series(py::handle Tokens, std::int64_t Window, py::handle Measures, py::handle HillsQ,
                 py::handle Reference, bool ReferenceContainsText, py::handle Separator) {
  const std::uint32_t window = TMeasureChoice::Window(Window);
  const TMeasureChoice choice(Measures, HillsQ);
  const auto reference = ReferenceOf(Reference);
  TTokenSource source(Tokens, Separator);
  const std::size_t columns = choice.ColumnCount();
  auto values = std::make_unique<std::vector<double>>();
  {
    py::gil_scoped_release unlocked;
    if (source.CountsItems() && source.MaxTokens() >= window)
      values->reserve((source.MaxTokens() - window + 1) * columns);
    auto engine = MakeEngine(window, choice, reference.get(), ReferenceContainsText);
    std::uint64_t rows = 0;
    source.ForEach([&](std::u16string_view token) {
      engine->AddToken(token, false);
      if (engine->Total().NumberOfWindowsInText == rows) return;
      rows = engine->Total().NumberOfWindowsInText;
      values->resize(values->size() + columns);
      choice.Values(engine->Actual(), values->data() + values->size() - columns);
    });
  }
  // The array takes the values over without a copy.
  const auto rows = static_cast<py::ssize_t>(values->size() / std::max<std::size_t>(columns, 1));
  double* data = values->data();
  py::capsule owner(values.release(), [](void* v) { delete static_cast<std::vector<double>*>(v); });
  py::array_t<double> array({rows, static_cast<py::ssize_t>(columns)},
                            {static_cast<py::ssize_t>(columns * sizeof(double)),
                             static_cast<py::ssize_t>(sizeof(double))},
                            data, owner);
  return py::make_tuple(choice.Captions(), array);
}

py::dict WholeText(py::handle Tokens, py::handle Measures, py::handle HillsQ, py::handle Reference,
                   bool ReferenceContainsText, py::handle Separator) {
  const TMeasureChoice choice(Measures, HillsQ);
  const auto reference = ReferenceOf(Reference);
  TTokenSource source(Tokens, Separator);
  std::vector<double> values(choice.ColumnCount());
  {
    py::gil_scoped_release unlocked;
    const auto window =
        static_cast<std::uint32_t>(std::min(source.MaxTokens() + 1, kMaxWholeTextWindow));
    auto engine = MakeEngine(window, choice, reference.get(), ReferenceContainsText);
    source.ForEach([&](std::u16string_view token) { engine->AddToken(token, false); });
    choice.Values(engine->WholeText(), values.data());
  }
  py::dict result;
  const std::vector<std::string> captions = choice.Captions();
  for (std::size_t i = 0; i < captions.size(); ++i) result[py::str(captions[i])] = values[i];
  return result;
}

py::dict Indices(py::handle Tokens, std::int64_t Window, py::handle Chosen,
                 py::handle MtldThreshold, const std::string& MtldRule, std::int64_t HddSample,
                 py::handle LogBase, std::int64_t Seed, py::handle Separator) {
  const std::uint32_t window = TMeasureChoice::Window(Window);
  const TIndexChoice choice(Chosen, MtldThreshold, MtldRule, HddSample, LogBase, Seed);
  TTokenSource source(Tokens, Separator);
  TIndexValues values{};
  {
    py::gil_scoped_release unlocked;
    TIndices indices(choice.Indices, window, choice.Variants);
    source.ForEach([&](std::u16string_view token) { indices.AddToken(token); });
    values = indices.Values();
  }
  py::dict result;
  for (const tIndex i : choice.Indices) result[py::str(Utf16ToUtf8(IndexCaption(i)))] = values[i];
  return result;
}

py::tuple FreqListOfTokens(py::handle Tokens, py::handle Separator) {
  TTokenSource source(Tokens, Separator);
  TReferenceDictionary list;
  {
    py::gil_scoped_release unlocked;
    TTypeCounter counter;
    source.ForEach([&](std::u16string_view token) { counter.Add(token); });
    counter.MoveInto(list);
  }
  return ListItems(list);
}

py::dict CliDefaults() {
  const TCliDefaults d = TMeasureChoice::Defaults();
  py::dict result;
  result["window"] = d.Window;
  result["measures"] = d.Measures;
  result["hill_q"] = d.HillsQ;
  return result;
}

void TranslateFileErrors(std::exception_ptr Error) {
  try {
    if (Error) std::rethrow_exception(Error);
  } catch (const TFileError& e) {
    PyErr_SetString(
        e.Kind() == TFileError::TKind::Missing ? PyExc_FileNotFoundError : PyExc_OSError, e.what());
  }
}

void DefineReferenceList(py::module_& m) {
  py::class_<TReferenceList>(m, "ReferenceList",
                             "A reference frequency list for the cross and relative measures.")
      .def_static("load", &TReferenceList::Load, py::arg("path"),
                  "Reads a list file (one \"type TAB count\" a line, UTF-8).")
      .def_static("from_counts", &TReferenceList::FromCounts, py::arg("counts"),
                  "Makes a list from a mapping of type to count.")
      .def_property_readonly(
          "total_tokens", [](const TReferenceList& l) { return l.Dictionary().TotalTokens; },
          "The number of tokens the list stands for (the sum of its counts).")
      .def_property_readonly(
          "path",
          [](const TReferenceList& l) -> py::object {
            const auto& path = l.Dictionary().LastFileName;
            if (path.empty()) return py::none();
            return py::cast(path);
          },
          "The file the list was read from; None for a list made from counts.")
      .def("__len__", [](const TReferenceList& l) { return l.Dictionary().Size(); })
      .def("__contains__",
           [](const TReferenceList& l, const std::string& type) {
             return l.Dictionary().Find(Utf8ToUtf16(type)) != nullptr;
           })
      .def("__getitem__",
           [](const TReferenceList& l, const std::string& type) {
             const TCount* count = l.Dictionary().Find(Utf8ToUtf16(type));
             if (count == nullptr) throw py::key_error(type);
             return count->Count;
           })
      .def("__repr__", [](const TReferenceList& l) {
        return "<tavora.ReferenceList of " + std::to_string(l.Dictionary().Size()) + " types, " +
               std::to_string(l.Dictionary().TotalTokens) + " tokens>";
      });
}

}  // namespace

}  // namespace tavora::python

PYBIND11_MODULE(_core, m) {
  using namespace tavora::python;
  m.doc() = "The compiled engine of the tavora package; use the functions of tavora.";
  m.attr("__version__") = std::string(tavora::TavoraVersion());
  py::register_exception_translator(&TranslateFileErrors);
  DefineReferenceList(m);
  m.def("mattr", &Mattr, py::arg("tokens"), py::arg("window"), py::arg("sep"),
        "Mean TTR over all window positions; NaN without a full window.");
  m.def("series", &Series, py::arg("tokens"), py::arg("window"), py::arg("measures"),
        py::arg("hill_q"), py::arg("reference"), py::arg("reference_contains_text"), py::arg("sep"),
        "(captions, values): one row of values per window position.");
  m.def("whole_text", &WholeText, py::arg("tokens"), py::arg("measures"), py::arg("hill_q"),
        py::arg("reference"), py::arg("reference_contains_text"), py::arg("sep"),
        "The values of the whole text, by caption.");
  m.def("indices", &Indices, py::arg("tokens"), py::arg("window"), py::arg("indices"),
        py::arg("mtld_threshold"), py::arg("mtld_rule"), py::arg("hdd_sample"), py::arg("log_base"),
        py::arg("seed"), py::arg("sep"), "The chosen indices of the whole text, by caption.");
  m.def("freqlist_tokens", &FreqListOfTokens, py::arg("tokens"), py::arg("sep"),
        "(types, counts) of the tokens, in the order of a list file.");
  m.def(
      "list_order",
      [](py::handle Counts) { return ListItems(TReferenceList::FromCounts(Counts).Dictionary()); },
      py::arg("counts"),
      "(types, counts) of a mapping of type to count, in the order of a list file.");
  m.def("measure_files", &TCorpusRun::Measure, py::arg("arguments"), py::arg("lists"),
        py::arg("csv_files"), "A measurement run over files, as tavora-cli measure ARGUMENTS.");
  m.def("freqlist_files", &TCorpusRun::FreqList, py::arg("arguments"),
        "A frequency-list run over files, as tavora-cli freqlist ARGUMENTS.");
  m.def("cli_defaults", &CliDefaults, "The command line's defaults: window, measures and hill_q.");
}
