// tests/cli/FormatOptionsTest.cpp - a format's own options on the commands that export, read
// back by an independent AAF reader
#include <gtest/gtest.h>

#include <filesystem>

#include "support/AafRead.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t oneHourDropFrame = 30 * 3600 - 108;  // 01:00:00:00 on a drop-frame clock

// --timecode-start comes from AAF's row: export and batch (whose jobs run as child processes
// that are given it again) write AAF at one hour, other formats take it and ignore it as before,
// and a value the row does not take fails with the option's choices and leaves nothing.
TEST(FormatOptions, AafTimecodeStartOnTheCommandLine) {
  test::TempFolder temp;
  fs::create_directories(temp.Path("in"));
  temp.Write("in/demo.mpj", build::BuildProject(build::DemoProject()));
  const auto run = [&temp](const std::string& arguments) {
    return test::RunCli(PEXOL_CLI, temp, arguments);
  };

  const test::CliOutcome help = run("export --help");
  EXPECT_NE(help.out.find("--timecode-start=TIMECODE"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("where AAF's timecode starts"), std::string::npos) << help.out;

  EXPECT_EQ(run("export in/demo.mpj zero.aaf").exitCode, 0);
  EXPECT_EQ(run("export in/demo.mpj hour.aaf --timecode-start 01:00:00:00").exitCode, 0);
  EXPECT_EQ(run("export in/demo.mpj hour.otio --timecode-start=01:00:00:00").exitCode, 0);
  const test::CliOutcome wrong = run("export in/demo.mpj wrong.aaf --timecode-start 02:00:00:00");
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_NE(wrong.err.find("--timecode-start"), std::string::npos) << wrong.err;
  EXPECT_NE(wrong.err.find("01:00:00:00"), std::string::npos) << wrong.err;
  EXPECT_FALSE(fs::exists(temp.Path("wrong.aaf")));
  EXPECT_NE(temp.Read("zero.aaf"), temp.Read("hour.aaf"));

  const test::CliOutcome batch =
      run("batch in --out out --format aaf --timecode-start 01:00:00:00 --progress=none");
  ASSERT_EQ(batch.exitCode, 1) << batch.err;  // the demo's media are not here
  std::string batched;
  for (const auto& entry : fs::recursive_directory_iterator(temp.Path("out")))
    if (entry.path().extension() == ".aaf")
      batched = temp.Read(fs::relative(entry, temp.Folder()).string());
  ASSERT_FALSE(batched.empty());

  const test::AafRead zero = test::ReadAaf(temp.Read("zero.aaf"));
  if (!zero.available) GTEST_SKIP() << "pyaaf2 is not in ../shared";
  EXPECT_EQ(zero.problems, std::vector<std::string>{});
  EXPECT_EQ(zero.timecodeStart, 0);
  for (const std::string& bytes : {temp.Read("hour.aaf"), batched}) {
    const test::AafRead hour = test::ReadAaf(bytes);
    EXPECT_EQ(hour.problems, std::vector<std::string>{});
    EXPECT_EQ(hour.timecodeStart, oneHourDropFrame);
  }
}

}  // namespace
}  // namespace pexol
