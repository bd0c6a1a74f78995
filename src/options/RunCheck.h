#pragma once

// The checks made before a run starts: a run that could not do anything (no texts, no
// folder for the results, no file for a frequency list) is refused with a message for the
// control at fault, instead of ending as if it had done its work.

#include <string>
#include <vector>

namespace tavora {

class TOptionsModel;

enum class TRunTask { Measuring, FrequencyLists };

struct TRunProblem {
  std::string Control;  // the name of the control at fault
  std::string Message;  // UTF-8, one sentence
};

// The problems of a run of Task with the model's options, in window order; empty when the
// run can start.
[[nodiscard]] std::vector<TRunProblem> CheckRun(const TOptionsModel& Model, TRunTask Task);

}  // namespace tavora
