// tests/join/JoinPiecesTest.cpp - ranges encoded apart by FFmpeg's own program and joined: the
// file one encode of the whole would have been, read back with FFmpeg's tools
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/RunObserver.h"
#include "join/JoinPieces.h"
#include "render/RenderOutcome.h"
#include "support/CommandOutput.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

using test::Ffmpeg;
using test::Output;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

// Each picture packet as copied: decoding and showing times, duration, size and checksum.
std::vector<std::string> PicturePackets(const std::string& file) {
  return Lines(Output("ffmpeg -v error -i '" + file + "' -map 0:v -c copy -f framemd5 -"));
}

// The checksum of every decoded picture, in showing order.
std::vector<std::string> DecodedPictures(const std::string& file) {
  std::vector<std::string> sums;
  for (const std::string& line : Lines(Output("ffmpeg -v error -i '" + file +
                                              "' -map 0:v -fps_mode passthrough -f framemd5 -")))
    sums.push_back(line.substr(line.rfind(',') + 1));
  return sums;
}

// The pictures' showing times in the stream's ticks, in order.
std::vector<long long> ShowingTimes(const std::string& file) {
  std::vector<long long> times;
  for (const std::string& line : Lines(Output("ffprobe -v error -select_streams v -show_entries "
                                              "packet=pts -of csv=p=0 '" +
                                              file + "'")))
    times.push_back(std::stoll(line));
  std::sort(times.begin(), times.end());
  return times;
}

// The decoded sound, as floats; `options` go before the input.
std::string DecodedSound(const std::string& file, const std::string& options = "") {
  return Output("ffmpeg -v error " + options + " -i '" + file +
                "' -map 0:a -f f32le -c:a pcm_f32le -");
}

std::string StreamEntry(const std::string& file, const std::string& entry) {
  std::string text = Output("ffprobe -v error -select_streams v -show_entries stream=" + entry +
                            " -of csv=p=0 '" + file + "'");
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

class RecordingObserver : public RunObserver {
 public:
  void Status(std::string_view line) override { statuses.emplace_back(line); }
  void Progress(int done, int total) override { last = done * 200 / total; }
  bool StopRequested() const override { return stop; }
  std::vector<std::string> statuses;
  int last = -1;
  bool stop = false;
};

constexpr int pieceFrames = 15;
constexpr const char* source = "-f lavfi -i testsrc2=size=720x480:rate=30000/1001 ";

class JoinPiecesTest : public testing::Test {
 protected:
  // The whole (`pieceFrames` × 3 frames) and its three ranges, encoded alike through `filters`
  // with `codec` to whole`extension` and piece0`extension` to piece2; `sound` adds an input and
  // its options to the whole.
  void Encode(const std::string& filters, const std::string& codec, const std::string& extension,
              const std::string& sound = "") {
    Ffmpeg(std::string(source) + sound + " -frames:v " + std::to_string(3 * pieceFrames) + " -vf " +
           filters + " " + codec + " '" + folder.Path("whole" + extension) + "'");
    for (int piece = 0; piece < 3; ++piece) {
      pieces.push_back(folder.Path("piece" + std::to_string(piece) + extension));
      Ffmpeg(std::string(source) + "-frames:v " + std::to_string(pieceFrames) +
             " -vf trim=start_frame=" + std::to_string(piece * pieceFrames) +
             ":end_frame=" + std::to_string((piece + 1) * pieceFrames) + ",setpts=PTS-STARTPTS," +
             filters + " " + codec + " '" + pieces.back() + "'");
    }
  }
  // The sound of the whole length, as a WAV file and as AAC.
  void MakeSound() {
    Ffmpeg("-f lavfi -i sine=frequency=440:sample_rate=48000:duration=" +
           std::to_string(3 * pieceFrames * 1001 / 30000.0) + " -ac 2 -c:a pcm_s16le '" +
           folder.Path("sound.wav") + "'");
    Ffmpeg("-i '" + folder.Path("sound.wav") + "' -c:a aac -b:a 192k '" + folder.Path("sound.m4a") +
           "'");
  }
  RunResult Join(const std::string& destination, const std::string& sound) {
    return RunJoin({folder.Path(destination), pieces, sound.empty() ? "" : folder.Path(sound)},
                   observer);
  }
  bool TemporaryLeft() const {
    for (const auto& entry : fs::directory_iterator(folder.Folder()))
      if (entry.path().filename().string().rfind(".pexol-", 0) == 0) return true;
    return false;
  }

  test::TempFolder folder;
  std::vector<std::string> pieces;
  RecordingObserver observer;
};

TEST_F(JoinPiecesTest, ProResInQuickTimeIsTheWholeEncodePacketForPacket) {
  // Lower field first, as DV records it, with DV's pixel shape.
  Encode("setfield=bff,setsar=10/11",
         "-c:v prores_ks -profile:v standard -pix_fmt yuv422p10le -flags +ildct", ".mov");
  MakeSound();
  const RunResult result = Join("joined.mov", "sound.wav");
  ASSERT_TRUE(result.Completed()) << result.message;
  ASSERT_NE(result.OutcomeAs<RenderOutcome>(), nullptr);
  EXPECT_EQ(result.OutcomeAs<RenderOutcome>()->frames, 3 * pieceFrames);
  EXPECT_EQ(result.message.rfind("join completed\n\nfrom : 3 pieces and ", 0), 0u)
      << result.message;

  const std::vector<std::string> whole = PicturePackets(folder.Path("whole.mov"));
  EXPECT_EQ(whole.size(), 3u * pieceFrames);
  EXPECT_EQ(PicturePackets(folder.Path("joined.mov")), whole);
  EXPECT_EQ(StreamEntry(folder.Path("joined.mov"), "field_order,sample_aspect_ratio"),
            StreamEntry(folder.Path("whole.mov"), "field_order,sample_aspect_ratio"));
  const std::string wav =
      Output("ffmpeg -v error -i '" + folder.Path("sound.wav") + "' -f s16le -c:a pcm_s16le -");
  EXPECT_GT(wav.size(), 0u);
  EXPECT_EQ(Output("ffmpeg -v error -i '" + folder.Path("joined.mov") +
                   "' -map 0:a -f s16le -c:a pcm_s16le -"),
            wav);
  EXPECT_EQ(observer.statuses.front(), "[Render] joining the ranges");
  EXPECT_EQ(observer.last, 200);
  EXPECT_FALSE(TemporaryLeft());
}

class JoinH264Test : public JoinPiecesTest, public testing::WithParamInterface<const char*> {};

TEST_P(JoinH264Test, HasTheWholeEncodesTimesThePiecesPicturesAndTheSoundsSamples) {
  const std::string extension = GetParam();
  MakeSound();
  // The whole with its sound encoded beside it: Matroska moves every stream by AAC's priming.
  Encode("setsar=10/11", "-c:v libx264 -crf 18 -pix_fmt yuv420p", extension,
         "-i '" + folder.Path("sound.wav") + "' -map 0:v -map 1:a -c:a aac -b:a 192k");
  const RunResult result = Join("joined" + extension, "sound.m4a");
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(result.OutcomeAs<RenderOutcome>()->frames, 3 * pieceFrames);

  const std::string joined = folder.Path("joined" + extension);
  const std::vector<long long> times = ShowingTimes(folder.Path("whole" + extension));
  EXPECT_EQ(times.size(), 3u * pieceFrames);
  EXPECT_EQ(ShowingTimes(joined), times);
  std::vector<std::string> pictures;
  for (const std::string& piece : pieces) {
    const std::vector<std::string> own = DecodedPictures(piece);
    EXPECT_EQ(own.size(), std::size_t{pieceFrames}) << piece;
    pictures.insert(pictures.end(), own.begin(), own.end());
  }
  EXPECT_EQ(DecodedPictures(joined), pictures);
  EXPECT_EQ(StreamEntry(joined, "sample_aspect_ratio"), "10:11");

  const std::string sound = DecodedSound(folder.Path("sound.m4a"));
  EXPECT_GT(sound.size(), 0u);
  if (extension == ".mp4") {
    EXPECT_EQ(DecodedSound(joined), sound);
  } else {
    // Matroska has no word for AAC's priming (FFmpeg writes it for Opus only): the decoder
    // gives the primed samples first, as it does for any encode to Matroska, then the same sound.
    const std::string primed = DecodedSound(folder.Path("sound.m4a"), "-ignore_editlist 1");
    EXPECT_EQ(DecodedSound(joined), primed);
    ASSERT_GT(primed.size(), sound.size());
    EXPECT_EQ(primed.substr(1024 * 2 * 4, sound.size()), sound);
  }
}

INSTANTIATE_TEST_SUITE_P(Containers, JoinH264Test, testing::Values(".mp4", ".mkv"),
                         [](const auto& info) { return std::string(info.param + 1); });

TEST_F(JoinPiecesTest, PieceCodedOtherwiseFailsNamingItAndWritesNothing) {
  const std::string prores = "-c:v prores_ks -profile:v standard -pix_fmt yuv422p10le ";
  const auto piece = [&](const std::string& name, const std::string& options) {
    pieces.push_back(folder.Path(name));
    Ffmpeg(std::string(source) + "-frames:v 3 " + options + " '" + pieces.back() + "'");
  };
  piece("first.mov", prores);
  piece("second.mov", prores);
  piece("smaller.mov", "-vf scale=640:480 " + prores);
  const std::size_t files = folder.FileCount();
  RunResult result = Join("joined.mov", "");
  EXPECT_EQ(result.status, RunResult::Status::Failed);
  EXPECT_NE(result.message.find(folder.Path("smaller.mov") +
                                "\nit was not rendered like the first piece: its picture is "
                                "640x480, the first piece's 720x480."),
            std::string::npos)
      << result.message;
  EXPECT_EQ(folder.FileCount(), files);

  pieces.pop_back();
  piece("other.mov", "-c:v mpeg4");
  folder.Write("joined.mov", "an earlier render");
  result = Join("joined.mov", "");
  EXPECT_EQ(result.status, RunResult::Status::Failed);
  EXPECT_NE(result.message.find(folder.Path("other.mov") + "\nit was not rendered like the first "
                                                           "piece: its picture is coded as mpeg4"),
            std::string::npos)
      << result.message;
  EXPECT_EQ(folder.Read("joined.mov"), "an earlier render");
  EXPECT_FALSE(TemporaryLeft());

  // A stop leaves the destination as it was too.
  pieces.pop_back();
  observer.stop = true;
  result = Join("joined.mov", "");
  EXPECT_EQ(result.status, RunResult::Status::Stopped) << result.message;
  EXPECT_EQ(folder.Read("joined.mov"), "an earlier render");
  EXPECT_FALSE(TemporaryLeft());
}

TEST_F(JoinPiecesTest, SoundAloneAndUnknownContainersAreRefused) {
  pieces = {folder.Path("piece.mov")};
  RunResult result = Join("joined.wav", "");
  EXPECT_NE(result.message.find("joined.wav\nthe ranges are joined into a video file, and .wav "
                                "holds sound alone"),
            std::string::npos)
      << result.message;
  result = Join("joined.avi", "");
  EXPECT_NE(result.message.find("joined.avi\nthe container follows the file's extension: .mp4 "
                                "(H.264 and AAC), .mkv (Matroska) or .mov (QuickTime)."),
            std::string::npos)
      << result.message;
  EXPECT_EQ(folder.FileCount(), 0u);
}

// A stop says the destination was left as it was only when there was one; otherwise that
// nothing was written.
TEST(StoppedMessages, SayWhatWasLeftOnlyWhereThereWasSomething) {
  test::TempFolder folder;
  const std::string absent = folder.Path("absent.mp4");
  folder.Write("earlier.mp4", "earlier");
  const std::string earlier = folder.Path("earlier.mp4");
  EXPECT_NE(RenderStoppedMessage("p.mpj", absent).find("removed; nothing was written."),
            std::string::npos);
  EXPECT_NE(RenderStoppedMessage("p.mpj", earlier).find(earlier + " was left as it was."),
            std::string::npos);
  EXPECT_NE(JoinStoppedMessage(absent).find("removed; nothing was written."), std::string::npos);
  EXPECT_NE(JoinStoppedMessage(earlier).find(earlier + " was left as it was."), std::string::npos);
}

}  // namespace
}  // namespace pexol
