#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace tavora::fuzz {

// One scratch file per fuzzing process, rewritten for every input (the loaders read paths).
inline const std::filesystem::path& ScratchFile() {
  static const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                            ("tavora-fuzz-" + std::to_string(::getpid()) + ".txt");
  return path;
}

inline const std::filesystem::path& WriteScratch(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return ScratchFile();
}

}  // namespace tavora::fuzz
