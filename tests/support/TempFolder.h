// tests/support/TempFolder.h - a fresh folder per test for runs on real files
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace pexol::test {

inline long ProcessId() {
#ifdef _WIN32
  return static_cast<long>(_getpid());
#else
  return static_cast<long>(::getpid());
#endif
}

/// The folder name of the running test, unique to this process: two runs of the suite on one
/// machine (two checkouts, a developer and CI) must not share their files.
inline std::string TestFolderName(std::string_view prefix) {
  // Outside a GoogleTest test (a Qt Test program borrowing a helper) there is no test's name.
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  const std::string test =
      info ? std::string(info->test_suite_name()) + "-" + info->name() : std::string("helper");
  return std::string(prefix) + test + "-" + std::to_string(ProcessId());
}

/// Creates an empty folder named after the running test and removes it afterwards.
class TempFolder {
 public:
  TempFolder() {
    // A second folder made while the first lives (a helper's own) gets a name of its own: the
    // first one's removal must not take the test's files with it.
    static int made = 0;
    path_ = std::filesystem::temp_directory_path() /
            (TestFolderName("pexol-test-") + (made++ == 0 ? "" : "-" + std::to_string(made)));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  /// The path of `name` in the folder.
  std::string Path(const std::string& name) const { return (path_ / name).string(); }
  /// The folder itself.
  const std::filesystem::path& Folder() const { return path_; }

  /// Creates or replaces the file `name` with `bytes`.
  void Write(const std::string& name, std::string_view bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  /// The bytes of the file `name`; empty when it cannot be read.
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  /// Every entry of the folder; a run that failed must not have added one.
  std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                  std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace pexol::test
