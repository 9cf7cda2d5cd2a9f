// bench/MediaResolveBench.cpp - resolving a large project's names against a large tree on disk
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "core/TextEncoding.h"
#include "media/MediaResolver.h"

namespace {

using namespace pexol;
namespace fs = std::filesystem;

constexpr int folderCount = 1000;
constexpr int filesPerFolder = 100;

// 100 000 files in 1000 folders of 10 groups: "group3/撮影17/clip42.avi". The project's 5500
// names reach them through every step: 2000 mapped, 1500 in another letter case, 1500 only by
// file name in the search folder, 500 missing.
class MediaTree {
 public:
  MediaTree() : root_(fs::temp_directory_path() / "pexol-bench-media") {
    fs::remove_all(root_);
    for (int folder = 0; folder < folderCount; ++folder) {
      const fs::path dir = root_ / "disk" / Folder(folder);
      fs::create_directories(dir);
      for (int file = 0; file < filesPerFolder; ++file)
        std::ofstream(dir / ("clip" + std::to_string(file) + ".avi"));
    }
    for (int i = 0; i < 2000; ++i) names_.push_back(Stored("C:\\Video\\", i, "clip"));
    for (int i = 0; i < 1500; ++i) names_.push_back(Stored("c:\\VIDEO\\", i * 7 + 3, "CLIP"));
    // Unique names: the folder number is in the file name of a file moved to "moved/".
    for (int i = 0; i < 1500; ++i) {
      const fs::path dir = root_ / "disk" / "moved" / std::to_string(i % 50);
      fs::create_directories(dir);
      std::ofstream(dir / ("take" + std::to_string(i) + ".avi"));
      names_.push_back(*EncodeShiftJis("D:\\古い\\take" + std::to_string(i) + ".avi"));
    }
    for (int i = 0; i < 500; ++i) names_.push_back("E:\\gone\\lost" + std::to_string(i) + ".avi");
  }
  ~MediaTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  ResolveOptions Options() const {
    ResolveOptions options;
    options.projectFolder = root_.string();
    std::string error;
    options.map.Add(*ParseMapRule("C:\\Video=" + (root_ / "disk").string(), error));
    options.searchFolders = {(root_ / "disk" / "moved").string()};
    return options;
  }
  const std::vector<std::string>& Names() const { return names_; }

 private:
  static std::string Folder(int folder) {
    return "group" + std::to_string(folder % 10) + "/撮影" + std::to_string(folder);
  }
  static std::string Stored(const std::string& prefix, int i, const std::string& clip) {
    const int folder = i % folderCount;
    std::string name = prefix + "group" + std::to_string(folder % 10) + "\\撮影" +
                       std::to_string(folder) + "\\" + clip +
                       std::to_string((i / folderCount) % filesPerFolder) + ".avi";
    return *EncodeShiftJis(name);
  }

  fs::path root_;
  std::vector<std::string> names_;
};

void BM_MediaResolve(benchmark::State& state) {
  // Creating 100 000 files takes most of a minute here; repetitions share one tree.
  static const MediaTree tree;
  int found = 0;
  for (auto _ : state) {
    MediaResolver resolver(tree.Options());
    found = 0;
    for (const std::string& name : tree.Names())
      found += resolver.Resolve(name).status == MediaStatus::Found;
    benchmark::DoNotOptimize(found);
  }
  state.counters["names"] = static_cast<double>(tree.Names().size());
  state.counters["found"] = found;
}
BENCHMARK(BM_MediaResolve)->Unit(benchmark::kMillisecond);

}  // namespace
