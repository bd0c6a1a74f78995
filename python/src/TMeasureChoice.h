#pragma once

// What a call asks of the engine: the window length, the measures by the command line's
// names ("types", "ttr"; "tokens" always included) and the order of Hill's continuum,
// checked as the command line checks them and with the command line's messages. Also the
// columns these measures give, named and ordered as in the result files.

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Measures.h"

namespace tavora::python {

namespace py = pybind11;

// The command line's start values (the window's), for the package's defaults.
struct TCliDefaults {
  std::int64_t Window = 0;
  std::vector<std::string> Measures;
  double HillsQ = 0;
};

class TMeasureChoice {
 public:
  // Measures: None (the command line's default), one comma-separated str, or an iterable
  // of names. HillsQ: a number or a str read as --hill-q reads it. Throws
  // std::invalid_argument with the command line's message for an unknown measure or an
  // unreadable Q.
  TMeasureChoice(py::handle Measures, py::handle HillsQ);
  // Only TTR (and tokens), as "-m ttr".
  static TMeasureChoice Ttr();

  [[nodiscard]] static TCliDefaults Defaults();
  // Checks a window length against the command line's range (std::invalid_argument).
  [[nodiscard]] static std::uint32_t Window(std::int64_t Length);

  [[nodiscard]] TMeasureSet Basic() const { return basic_; }
  [[nodiscard]] tMeasureSecondarySet Secondary() const { return secondary_; }
  [[nodiscard]] double HillsQ() const { return hillsQ_; }

  // Result-file captions of the columns: basic measures, then secondary ones.
  [[nodiscard]] std::vector<std::string> Captions() const;
  [[nodiscard]] std::size_t ColumnCount() const { return basic_.Count() + secondary_.Count(); }
  // The reported values of the columns, into Out[0 .. ColumnCount()).
  void Values(const TPositionResults& Record, double* Out) const;
  void Values(const TAverages& Record, double* Out) const;

 private:
  TMeasureChoice() = default;
  void Include(const std::string& Name);

  TMeasureSet basic_{tMeasure::vTokens};
  tMeasureSecondarySet secondary_;
  double hillsQ_ = 0;
};

}  // namespace tavora::python
