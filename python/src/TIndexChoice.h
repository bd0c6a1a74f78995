#pragma once

// What tavora.indices asks for: the indices by the command line's names (--indices) and the
// variants of their definitions, checked as the command line checks them and with its
// messages, the keyword standing for the option ("mtld_threshold: ...").

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

#include "engine/Indices.h"

namespace tavora::python {

namespace py = pybind11;

struct TIndexChoice {
  // Indices: None (the default set), "all", one comma-separated str or an iterable of
  // names. MtldThreshold and LogBase: numbers or str, read as the options' texts. Throws
  // std::invalid_argument for a value the command line refuses.
  TIndexChoice(py::handle Indices, py::handle MtldThreshold, const std::string& MtldRule,
               std::int64_t HddSample, py::handle LogBase, std::int64_t Seed);

  TIndexSet Indices;
  TIndexVariants Variants;
};

}  // namespace tavora::python
