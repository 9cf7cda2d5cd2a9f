// tests/collect/CollectTranscodeTest.cpp - a project collected with its movies transcoded, and
// trimmed, plays the same frames as where its old media were
#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/AafRead.h"
#include "support/CliRun.h"
#include "support/CommandOutput.h"
#include "support/MltFrames.h"
#include "support/OldMedia.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

struct VideoFacts {
  std::string codec, aspect, fields, rate, frames;
};

/// What ffprobe says of a file's first video stream, counting its frames.
VideoFacts FactsOf(const fs::path& path) {
  const std::string line = test::Output(
      "timeout 60 ffprobe -v error -select_streams v:0 -count_frames -show_entries "
      "stream=codec_name,sample_aspect_ratio,field_order,r_frame_rate,nb_read_frames -of "
      "csv=p=0 '" +
      path.string() + "'");
  std::vector<std::string> fields(1);
  for (const char c : line) {
    if (c == ',')
      fields.emplace_back();
    else if (c != '\n')
      fields.back() += c;
  }
  fields.resize(5);
  return {fields[0], fields[1], fields[2], fields[3], fields[4]};
}

std::string_view Bytes(const test::Picture& picture) {
  return {reinterpret_cast<const char*>(picture.bytes.data()), picture.bytes.size()};
}

std::set<std::string> FilesUnder(const fs::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files.insert(entry.path().lexically_relative(folder).string());
  return files;
}

/// Every media file a document names: the file names in its URLs and paths.
std::set<std::string> NamedMedia(const std::string& document) {
  static const std::regex named(R"re(([A-Za-z0-9_-]+\.(avi|mov|mp4|png|sgi|wav|pict?)))re");
  std::set<std::string> names;
  for (auto it = std::sregex_iterator(document.begin(), document.end(), named);
       it != std::sregex_iterator(); ++it)
    names.insert((*it)[1]);
  return names;
}

class CollectTranscodeTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("DISPLAY", ":99", 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Mlt::Factory::init();
    fs::create_directories(folder.Folder() / "shoot");
    ASSERT_TRUE(test::MakeDvAvi(folder.Folder() / "shoot/take.avi", 300));
    test::Ffmpeg("-f lavfi -i color=c=orange:size=320x240 -frames:v 1 '" +
                 folder.Path("shoot/sun.sgi") + "'");
    test::Ffmpeg("-f lavfi -i sine=frequency=220:sample_rate=48000 -t 8 '" +
                 folder.Path("shoot/music.wav") + "'");
    // The same movie twice, far apart, around a still; music under it all.
    build::Project project;
    project.main = {{"E:\\Shoot\\take.avi", 10, 69, 0, "", 0x8000, 0x8000, {}},
                    {"E:\\Shoot\\sun.sgi", 0, 29, 0, "still", 0, 0, {}},
                    {"E:\\Shoot\\take.avi", 200, 259, 0, "", 0x8000, 0x8000, {}}};
    project.exAudio1 = {{"E:\\Shoot\\music.wav", 0, 149, 0, 0x8000, 0x8000, {}}};
    folder.Write("edit.mpj", build::BuildProject(project));
    const test::CliOutcome exported =
        test::RunCli(PEXOL_CLI, folder, "export edit.mpj original.mlt --map 'E:\\Shoot=shoot'");
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
  }

  test::CliOutcome Collect(const std::string& options) {
    return test::RunCli(PEXOL_CLI, folder,
                        "collect edit.mpj collected --map 'E:\\Shoot=shoot' --format mlt "
                        "--format fcpxml --format fcp7 --format otio " +
                            options);
  }

  /// Frames of the original and the collected timeline compared at each movie clip's first and
  /// last; the still, an SGI image that MLT cannot show where it was, shows as its PNG.
  void ExpectSamePictures() {
    for (const int position : {0, 59, 90, 149}) {
      const test::Picture original = test::DocumentFrame(folder.Path("original.mlt"), position);
      const test::Picture collected =
          test::DocumentFrame(folder.Path("collected/edit.mlt"), position);
      EXPECT_LT(test::MeanDifference(Bytes(original), Bytes(collected)), 4.0)
          << "frame " << position;
    }
    for (const int position : {60, 89})
      EXPECT_TRUE(
          test::Near(test::DocumentFrame(folder.Path("collected/edit.mlt"), position).At(360, 240),
                     {255, 165, 0}, 8))
          << "frame " << position;
  }

  test::TempFolder folder;
};

TEST_F(CollectTranscodeTest, ProResKeepsEveryFrameAndTheExportsNameOnlyTheNewFiles) {
  const test::CliOutcome collected = Collect("--transcode=prores");
  ASSERT_EQ(collected.exitCode, 0) << collected.err << collected.out;
  EXPECT_EQ(FilesUnder(folder.Folder() / "collected/media"),
            (std::set<std::string>{"take.mov", "sun.png", "music.wav"}));
  // The codec changes; the frames, their rate, the pixels' shape and the fields do not.
  const VideoFacts source = FactsOf(folder.Folder() / "shoot/take.avi");
  const VideoFacts result = FactsOf(folder.Folder() / "collected/media/take.mov");
  ASSERT_EQ(source.codec, "dvvideo");
  ASSERT_EQ(source.frames, "300");
  EXPECT_EQ(result.codec, "prores");
  EXPECT_EQ(result.frames, source.frames);
  EXPECT_EQ(result.rate, source.rate);
  EXPECT_EQ(result.aspect, source.aspect);
  EXPECT_EQ(result.fields.front(), 'b') << result.fields;  // DV's lower field first
  for (const char* document : {"edit.fcpxml", "edit.xml", "edit.otio", "edit.mlt"})
    EXPECT_EQ(NamedMedia(folder.Read(std::string("collected/") + document)),
              (std::set<std::string>{"take.mov", "sun.png", "music.wav"}))
        << document;
  EXPECT_NE(collected.out.find("media/take.avi: transcoded to ProRes 422"), std::string::npos)
      << collected.out;
  ExpectSamePictures();
  // The same sound: the movie's PCM and the music, mixed as before, sample for sample (the SGI
  // still, which the render cannot read where it was, is left black there).
  const test::CliOutcome original =
      test::RunCli(PEXOL_CLI, folder,
                   "render edit.mpj original.wav --map 'E:\\Shoot=shoot' --missing black --jobs 1");
  ASSERT_EQ(original.exitCode, 0) << original.err;
  const test::CliOutcome again =
      test::RunCli(PEXOL_CLI, folder, "render collected/edit.mpj collected.wav --jobs 1");
  ASSERT_EQ(again.exitCode, 0) << again.err;
  const std::string samples = test::DecodedSound(folder.Path("original.wav"));
  EXPECT_GT(samples.size(), 100000u);
  EXPECT_EQ(test::DecodedSound(folder.Path("collected.wav")), samples);
  // The project itself still reads, and the check finds every file the collect wrote.
  const test::CliOutcome check = test::RunCli(PEXOL_CLI, folder, "check collected/edit.mpj");
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
}

TEST_F(CollectTranscodeTest, TrimKeepsTheUsedFramesAndHandlesAndMovesTheInPoints) {
  const test::CliOutcome collected = Collect("--transcode=prores --trim --handles=24");
  ASSERT_EQ(collected.exitCode, 0) << collected.err << collected.out;
  // Frames 10-69 and 200-259 with 24 each side lie apart: two pieces, 0-93 and 176-283.
  EXPECT_EQ(FilesUnder(folder.Folder() / "collected/media"),
            (std::set<std::string>{"take-1.mov", "take-2.mov", "sun.png", "music.wav"}));
  EXPECT_EQ(FactsOf(folder.Folder() / "collected/media/take-1.mov").frames, "94");
  EXPECT_EQ(FactsOf(folder.Folder() / "collected/media/take-2.mov").frames, "108");
  const std::string text =
      test::RunCli(PEXOL_CLI, folder, "to-text collected/edit.mpj - --encoding utf-8").out;
  EXPECT_NE(text.find("media\\take-1.avi"), std::string::npos) << text;
  EXPECT_NE(text.find("media\\take-2.avi"), std::string::npos) << text;
  ExpectSamePictures();
}

// Media Composer links DNxHR in a QuickTime movie: the AAF written beside it names that file.
TEST_F(CollectTranscodeTest, DnxhrForMediaComposerIsWhatTheAafNames) {
  const test::CliOutcome collected = Collect("--transcode=dnxhr --format aaf");
  ASSERT_EQ(collected.exitCode, 0) << collected.err << collected.out;
  EXPECT_EQ(FactsOf(folder.Folder() / "collected/media/take.mov").codec, "dnxhd");
  const test::AafRead read = test::ReadAaf(folder.Read("collected/edit.aaf"));
  if (!read.available) GTEST_SKIP() << "pyaaf2 is not in " << PEXOL_SHARED_DIR;
  EXPECT_EQ(read.problems, std::vector<std::string>{});
  std::set<std::string> files;
  for (const test::AafTrack& track : read.tracks)
    for (const test::AafItem& item : track.items)
      if (item.kind == test::AafItem::Clip)
        files.insert(fs::path(item.url.substr(item.url.rfind('/') + 1)).string());
  EXPECT_EQ(files, (std::set<std::string>{"take.mov", "sun.png", "music.wav"}));
}

TEST_F(CollectTranscodeTest, AMovieThatCannotBeReadIsCopiedAsItWasAndNamed) {
  folder.Write("shoot/take.avi", "RIFF, but no movie at all");
  const test::CliOutcome collected = Collect("--transcode=h264");
  EXPECT_EQ(collected.exitCode, 1) << collected.err << collected.out;
  EXPECT_EQ(folder.Read("collected/media/take.avi"), "RIFF, but no movie at all");
  EXPECT_NE(folder.Read("collected/collect-report.txt")
                .find("Could not be read to transcode (copied as they were) (1):\n  "
                      "media/take.avi"),
            std::string::npos)
      << folder.Read("collected/collect-report.txt");
}

TEST_F(CollectTranscodeTest, ATrimWithoutATranscodeIsRefused) {
  const test::CliOutcome collected = Collect("--trim");
  EXPECT_NE(collected.exitCode, 0);
  EXPECT_NE(collected.err.find("--trim cuts movies by encoding them again"), std::string::npos)
      << collected.err;
  EXPECT_FALSE(fs::exists(folder.Folder() / "collected"));
}

}  // namespace
}  // namespace pexol
