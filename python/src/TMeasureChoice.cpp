#include "TMeasureChoice.h"

#include <cmath>
#include <stdexcept>

#include "base/Utf8.h"
#include "cli/CliNames.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"
#include "options/TOptionsModel.h"

namespace tavora::python {

namespace {

constexpr std::string_view kWindowField = ctl::SpinEditWindowLength;
constexpr std::string_view kHillsQField = ctl::EditHillsQ;
// The command line's smallest window (the window's own field starts at 10).
constexpr std::int64_t kMinWindow = 1;

double ReadHillsQ(py::handle Q) {
  if (PyUnicode_Check(Q.ptr())) {
    const std::string text = Q.cast<std::string>();
    double q = 0;
    try {
      q = ReadFloat(Utf8ToUtf16(text));
    } catch (const EConvertError& e) {
      throw std::invalid_argument(std::string("hill_q: ") + e.what());
    }
    if (!IsAcceptedHillsQ(q)) throw std::invalid_argument("hill_q: " + HillsQRangeMessage(q));
    return q;
  }
  if (PyBool_Check(Q.ptr()) || !PyNumber_Check(Q.ptr()) || PyComplex_Check(Q.ptr())) {
    throw py::type_error("hill_q must be a number or str, not " +
                         std::string(Py_TYPE(Q.ptr())->tp_name));
  }
  const double q = Q.cast<double>();
  if (!std::isfinite(q)) {
    throw std::invalid_argument("hill_q: '" + py::str(Q).cast<std::string>() +
                                "' is not a valid floating point value");
  }
  if (!IsAcceptedHillsQ(q)) throw std::invalid_argument("hill_q: " + HillsQRangeMessage(q));
  return q;
}

}  // namespace

TMeasureChoice::TMeasureChoice(py::handle Measures, py::handle HillsQ)
    : hillsQ_(ReadHillsQ(HillsQ)) {
  if (Measures.is_none()) {
    for (const std::string& name : Defaults().Measures) Include(name);
  } else if (PyUnicode_Check(Measures.ptr())) {
    for (const std::string& name : SplitCommaList(Measures.cast<std::string>())) Include(name);
  } else {
    for (py::handle item : py::iter(Measures)) {
      if (!PyUnicode_Check(item.ptr())) {
        throw py::type_error("measures must be names (str), not " +
                             std::string(Py_TYPE(item.ptr())->tp_name));
      }
      Include(item.cast<std::string>());
    }
  }
}

TMeasureChoice TMeasureChoice::Ttr() {
  TMeasureChoice choice;
  choice.Include("ttr");
  return choice;
}

void TMeasureChoice::Include(const std::string& Name) {
  const std::optional<TCliMeasure> m = FindCliMeasure(Name);
  if (!m) throw std::invalid_argument("Unknown measure '" + Name + "'");
  if (m->IsSecondary) {
    secondary_.Include(static_cast<tMeasureSecondary>(m->Ordinal));
  } else {
    basic_.Include(static_cast<tMeasure>(m->Ordinal));
  }
}

TCliDefaults TMeasureChoice::Defaults() {
  // Read once: the model is the same at every start.
  static const TCliDefaults defaults = [] {
    const TOptionsModel model;
    TCliDefaults d;
    d.Window = model.GetValue(kWindowField);
    for (const TCliMeasure& m : kCliMeasures)
      if (!m.Box().empty() && model.IsChecked(m.Box())) d.Measures.emplace_back(m.Name);
    d.HillsQ = ReadFloat(model.GetText(kHillsQField));
    return d;
  }();
  return defaults;
}

std::uint32_t TMeasureChoice::Window(std::int64_t Length) {
  static const std::int64_t max = TOptionsModel().Control(kWindowField).MaxValue;
  if (Length < kMinWindow || Length > max) {
    throw std::invalid_argument("window: Value " + std::to_string(Length) + " not in range " +
                                std::to_string(kMinWindow) + " to " + std::to_string(max));
  }
  return static_cast<std::uint32_t>(Length);
}

std::vector<std::string> TMeasureChoice::Captions() const {
  std::vector<std::string> captions;
  for (const tMeasure m : basic_) captions.push_back(Utf16ToUtf8(MeasureCaption(m)));
  for (const tMeasureSecondary m : secondary_)
    captions.push_back(Utf16ToUtf8(MeasureSecondaryCaption(m)));
  return captions;
}

void TMeasureChoice::Values(const TPositionResults& Record, double* Out) const {
  for (const tMeasure m : basic_) *Out++ = Record.BasicMetrics(m);
  TMeasureSecondaryValues secondary{};
  Record.SecondaryMetricsOf(secondary_, secondary);
  for (const tMeasureSecondary m : secondary_) *Out++ = secondary[m];
}

void TMeasureChoice::Values(const TAverages& Record, double* Out) const {
  for (const tMeasure m : basic_) *Out++ = Record.BasicMetrics(m);
  for (const tMeasureSecondary m : secondary_) *Out++ = Record.SecondaryMetrics(m);
}

}  // namespace tavora::python
