#pragma once

// The temporary folder of a test, shared by every suite.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace tavora::test {

// A fresh empty folder under the system's temporary folder, named after the running test
// and unique across the processes that run tests at the same time. The destructor removes
// it with everything in it, after giving it back the write permission a test may have taken.
class TTempFolder {
 public:
  explicit TTempFolder(std::string_view Prefix = "tavora") {
    static std::atomic<unsigned> counter{0};
    std::string name(Prefix);
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
      name += "_" + std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    name += "_" + std::to_string(std::random_device{}()) + "_" + std::to_string(counter++);
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& Path() const noexcept { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace tavora::test
