#pragma once

#include <stdexcept>

namespace tavora {

// A command line that asks for something the program cannot do (an unknown name, a value
// out of range, a combination of options that does not apply). Exit status 2.
class TUsageError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

}  // namespace tavora
