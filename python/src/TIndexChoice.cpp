#include "TIndexChoice.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "base/Utf8.h"
#include "cli/CliNames.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"
#include "options/TOptionEncoders.h"
#include "options/TOptionsModel.h"

namespace tavora::python {

namespace {

// The text of a keyword's value as the option would take it: a str as it stands, a number
// as Python writes it.
std::string Text(py::handle Value, std::string_view Keyword) {
  if (PyUnicode_Check(Value.ptr())) return Value.cast<std::string>();
  if (PyBool_Check(Value.ptr()) || !PyNumber_Check(Value.ptr())) {
    throw py::type_error(std::string(Keyword) + " must be a number or str, not " +
                         std::string(Py_TYPE(Value.ptr())->tp_name));
  }
  return py::str(Value).cast<std::string>();
}

template <std::size_t N>
std::size_t Member(const std::array<std::string_view, N>& Names, const std::string& Name,
                   std::string_view Keyword) {
  const auto it = std::find(Names.begin(), Names.end(), Name);
  if (it != Names.end()) return static_cast<std::size_t>(it - Names.begin());
  std::string set;
  for (const std::string_view n : Names) {
    if (!set.empty()) set += ',';
    set += n;
  }
  throw std::invalid_argument(std::string(Keyword) + ": " + Name + " not in {" + set + "}");
}

std::int64_t InRange(std::int64_t Value, std::string_view Field, std::string_view Keyword) {
  static const TOptionsModel model;
  const auto& control = model.Control(Field);
  if (Value < control.MinValue || Value > control.MaxValue) {
    throw std::invalid_argument(std::string(Keyword) + ": Value " + std::to_string(Value) +
                                " not in range " + std::to_string(control.MinValue) + " to " +
                                std::to_string(control.MaxValue));
  }
  return Value;
}

TIndexSet ReadIndices(py::handle Indices) {
  if (Indices.is_none()) return kDefaultIndices;
  std::string list;
  if (PyUnicode_Check(Indices.ptr())) {
    list = Indices.cast<std::string>();
  } else {
    for (py::handle item : py::iter(Indices)) {
      if (!PyUnicode_Check(item.ptr())) {
        throw py::type_error("indices must be names (str), not " +
                             std::string(Py_TYPE(item.ptr())->tp_name));
      }
      if (!list.empty()) list += ',';
      list += item.cast<std::string>();
    }
  }
  try {
    return ParseIndexList(list);
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(std::string("indices: ") + e.what());
  }
}

}  // namespace

TIndexChoice::TIndexChoice(py::handle Indices, py::handle MtldThreshold,
                           const std::string& MtldRule, std::int64_t HddSample, py::handle LogBase,
                           std::int64_t Seed)
    : Indices(ReadIndices(Indices)) {
  try {
    Variants.MtldThreshold =
        TOptionEncoders::ReadMtldThreshold(Utf8ToUtf16(Text(MtldThreshold, "mtld_threshold")));
  } catch (const EConvertError& e) {
    throw std::invalid_argument(std::string("mtld_threshold: ") + e.what());
  }
  Variants.MtldRule = static_cast<TMtldRule>(Member(kCliMtldRuleNames, MtldRule, "mtld_rule"));
  Variants.HddSample =
      static_cast<std::uint32_t>(InRange(HddSample, ctl::SpinEditHddSample, "hdd_sample"));
  Variants.LogBase =
      static_cast<TLogBase>(Member(kCliLogBaseNames, Text(LogBase, "log_base"), "log_base"));
  Variants.Seed = static_cast<std::uint64_t>(InRange(Seed, ctl::SpinEditSeed, "seed"));
}

}  // namespace tavora::python
