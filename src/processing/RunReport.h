#pragma once

// What a run did, for the summary that the front ends show when it ends.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavora {

struct TRunReport {
  std::uint64_t FilesRead = 0;       // input files read (0 for pasted text)
  std::uint64_t Documents = 0;       // documents measured or counted
  std::uint64_t Tokens = 0;          // normal words read, before the filters
  std::uint64_t ShortDocuments = 0;  // documents with fewer tokens than the window
  double Seconds = 0;                // wall-clock time of the run
  // Inputs that named nothing existing, then the entries of walked folders left out (an
  // unreadable folder, a link to nothing, a loop of links, a FIFO, socket or device).
  std::vector<std::filesystem::path> SkippedEntries;
  std::vector<std::string> Warnings;  // UTF-8, one line each, in the order met
};

}  // namespace tavora
