#pragma once

// Points in time as the records of the program write them.

#include <chrono>
#include <string>

namespace tavora {

// The time in UTC as ISO 8601 text to the second: "2025-03-14T09:26:53Z".
[[nodiscard]] std::string UtcTimestamp(std::chrono::system_clock::time_point time);

}  // namespace tavora
