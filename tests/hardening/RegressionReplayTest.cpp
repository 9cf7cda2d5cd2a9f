// tests/hardening/RegressionReplayTest.cpp - replays fuzz findings and seeds through their checks
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "check/MediaCheck.h"
#include "convert/ProjectToText.h"
#include "convert/TextToProject.h"
#include "core/RunFailure.h"
#include "fuzz/FuzzInputs.h"
#include "run/RunConversions.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

struct KeptInput {
  fuzz::Target target;
  fs::path path;
  std::string bytes;
};

// Every finding kept under tests/regressions/TARGET and every seed under fuzz/corpus/TARGET.
std::vector<KeptInput> KeptInputs() {
  std::vector<KeptInput> inputs;
  for (fuzz::Target target : fuzz::allTargets) {
    const std::string name(fuzz::TargetName(target));
    for (const fs::path& folder : {fs::path(PEXOL_SOURCE_DIR) / "tests/regressions" / name,
                                   fs::path(PEXOL_SOURCE_DIR) / "fuzz/corpus" / name}) {
      if (!fs::is_directory(folder)) continue;
      for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        inputs.push_back({target, entry.path(), {std::istreambuf_iterator<char>(in), {}}});
      }
    }
  }
  return inputs;
}

TEST(RegressionReplayTest, EveryKeptInputKeepsTheInvariantsOfItsTarget) {
  const std::vector<KeptInput> inputs = KeptInputs();
  for (fuzz::Target target : fuzz::allTargets)
    EXPECT_TRUE(std::any_of(inputs.begin(), inputs.end(),
                            [target](const KeptInput& input) { return input.target == target; }))
        << "no seeds for " << fuzz::TargetName(target);
  for (const KeptInput& input : inputs)
    EXPECT_EQ(fuzz::CheckInput(input.target, fuzz::AsBytes(input.bytes)), std::nullopt)
        << input.path;
}

// What the run would write, or nullopt when it fails.
std::optional<std::string> InMemory(fuzz::Target target, const fuzz::RunInput& run) {
  ByteWriter out;
  NullObserver quiet;
  try {
    if (target == fuzz::Target::ProjectToText)
      ProjectToText(fuzz::AsBytes(run.project), run.options, out, quiet);
    else if (target == fuzz::Target::MediaCheck)
      ScanProjectMedia(fuzz::AsBytes(run.project), run.options.software, MediaFileExists, out,
                       quiet);
    else
      TextToProject(fuzz::AsBytes(run.project), run.text, {run.options.software}, out, quiet);
  } catch (const RunFailure&) {
    return std::nullopt;
  }
  return out.TakeBytes();
}

// On real files a run that fails leaves the destination as it was and no file beside it; one
// that succeeds writes what the conversion made in memory.
TEST(RegressionReplayTest, KeptInputsRunOnFilesWriteAllOrNothing) {
  const test::TempFolder folder;
  for (const KeptInput& input : KeptInputs()) {
    // The scanner writes nothing; the export's and the picture's own runs are tested in their
    // tests.
    if (input.target == fuzz::Target::TextScanner || input.target == fuzz::Target::Export ||
        input.target == fuzz::Target::Picture)
      continue;
    const fuzz::RunInput run = fuzz::DecodeInput(input.target, fuzz::AsBytes(input.bytes));
    folder.Write("in.mpj", run.project);
    folder.Write("in.txt", run.text);
    folder.Write("out", "precious");
    NullObserver quiet;
    const std::string source = folder.Path("in.mpj");
    const std::string out = folder.Path("out");
    RunResult result;
    if (input.target == fuzz::Target::ProjectToText)
      result = RunProjectToText(
          {source, out, run.options, SoftwareChoice::Named(run.options.software)}, quiet);
    else if (input.target == fuzz::Target::MediaCheck)
      result = RunMediaCheck({source, out, SoftwareChoice::Named(run.options.software)}, quiet);
    else
      result = RunTextToProject(
          {source, folder.Path("in.txt"), out, {}, SoftwareChoice::Named(run.options.software)},
          quiet);

    const auto expected = InMemory(input.target, run);
    EXPECT_EQ(result.Completed(), expected.has_value()) << input.path << "\n" << result.message;
    EXPECT_EQ(folder.Read("out"), expected.value_or("precious")) << input.path;
    EXPECT_EQ(folder.FileCount(), 3u) << input.path;
  }
}

}  // namespace
}  // namespace pexol
