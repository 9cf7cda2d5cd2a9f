// tests/transcode/TranscodeMediaTest.cpp - old movies and stills made by FFmpeg, transcoded for
// today's editors and read back with FFmpeg's tools
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/RunObserver.h"
#include "render/RenderOutcome.h"
#include "transcode/TranscodeMedia.h"
#include "support/CommandOutput.h"
#include "support/OldMedia.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

using test::MeanDifference;
using test::Output;
using test::ShellQuoted;

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// ffprobe's values of `entries` for the streams `streams` ("v:0", "a:0"), one a line.
std::string ProbeStreams(const std::string& file, const std::string& streams,
                         const std::string& entries, const std::string& options = "") {
  return Trimmed(Output("timeout 60 ffprobe -v error " + options + " -select_streams " + streams +
                        " -show_entries " + entries + " -of default=nw=1:nk=1 " +
                        ShellQuoted(file)));
}

long long FramesIn(const std::string& file) {
  return std::atoll(ProbeStreams(file, "v:0", "stream=nb_read_frames", "-count_frames").c_str());
}

// The samples of the first sound stream, decoded.
long long SamplesIn(const std::string& file) {
  return static_cast<long long>(
      Output("timeout 60 ffmpeg -v error -i " + ShellQuoted(file) + " -map 0:a:0 -ac 1 -f s16le -")
          .size() /
      2);
}

// Picture `frame` of `file`, small and grey.
std::string GreyPicture(const std::string& file, int frame) {
  return Output("timeout 60 ffmpeg -v error -i " + ShellQuoted(file) + " -vf 'select=eq(n\\," +
                std::to_string(frame) + "),scale=80:60,format=gray' -frames:v 1 -f rawvideo -");
}

// Asks the run to stop once it has written `after` frames.
class StoppingObserver final : public RunObserver {
 public:
  explicit StoppingObserver(std::int64_t after) : after_(after) {}
  void Status(std::string_view) override {}
  void Progress(int, int) override {}
  void Frames(std::int64_t done, std::int64_t) override { done_ = done; }
  bool StopRequested() const override { return done_ >= after_; }

 private:
  std::int64_t after_;
  std::int64_t done_ = 0;
};

class TranscodeMediaTest : public testing::Test {
 protected:
  RunResult Transcode(const std::string& source, const std::string& destination, TranscodeKind kind,
                      std::int64_t first = 0, std::int64_t last = -1) {
    TranscodeJob job{folder.Path(source), folder.Path(destination), kind, false, first, last};
    return RunTranscode(job, observer);
  }
  RunResult Still(const std::string& source, const std::string& destination) {
    TranscodeJob job{folder.Path(source), folder.Path(destination)};
    job.still = true;
    return RunTranscode(job, observer);
  }
  static long long FramesWritten(const RunResult& result) {
    const auto* outcome = result.OutcomeAs<RenderOutcome>();
    return outcome ? outcome->frames : -1;
  }

  test::TempFolder folder;
  NullObserver observer;
};

TEST_F(TranscodeMediaTest, DvKeepsItsFramesFieldsShapeTimecodeAndSoundInEveryKind) {
  ASSERT_TRUE(test::MakeDvAvi(folder.Path("dv.avi"), 30));
  ASSERT_TRUE(test::MakeDvAvi(folder.Path("wide.avi"), 3, true));
  const long long samples = SamplesIn(folder.Path("dv.avi"));
  ASSERT_EQ(samples, 48048);  // 30 frames at 29.97 and 48 kHz

  struct Case {
    TranscodeKind kind;
    const char* file;
    const char* picture;  // codec and pixels
    const char* fields;   // as ffprobe names them
  };
  // QuickTime states interleaved lower-first fields as "bt" (its 14), as ffmpeg writes them;
  // H.264 states them in its own stream. FFmpeg writes Avid's atoms for DNxHR, without fields.
  for (const Case& c : {Case{TranscodeKind::ProRes, "dv.mov", "prores\nyuv422p10le", "bt"},
                        Case{TranscodeKind::DnxHr, "dv-dnxhr.mov", "dnxhd\nyuv422p", nullptr},
                        Case{TranscodeKind::H264, "dv.mp4", "h264\nyuv420p", "bb"}}) {
    SCOPED_TRACE(c.file);
    const RunResult result = Transcode("dv.avi", c.file, c.kind);
    ASSERT_TRUE(result.Completed()) << result.message;
    EXPECT_EQ(FramesWritten(result), 30);
    const std::string file = folder.Path(c.file);
    EXPECT_EQ(ProbeStreams(file, "v:0", "stream=codec_name,pix_fmt"), c.picture);
    if (c.fields) {
      EXPECT_EQ(ProbeStreams(file, "v:0", "stream=field_order"), c.fields);
    }
    EXPECT_EQ(ProbeStreams(file, "v:0", "stream=width,height,sample_aspect_ratio,r_frame_rate"),
              "720\n480\n10:11\n30000/1001");
    EXPECT_EQ(FramesIn(file), 30);
    if (c.kind == TranscodeKind::H264) {
      EXPECT_EQ(ProbeStreams(file, "a:0", "stream=codec_name,sample_rate,channels"),
                "aac\n48000\n2");
      EXPECT_NEAR(SamplesIn(file), samples, 1024);  // AAC's blocks
    } else {
      EXPECT_EQ(ProbeStreams(file, "a:0", "stream=codec_name,sample_rate,channels"),
                "pcm_s16le\n48000\n2");
      EXPECT_EQ(SamplesIn(file), samples);
      EXPECT_EQ(ProbeStreams(file, "v:0", "stream_tags=timecode"), "01:00:00;00");
    }
  }
  EXPECT_TRUE(Transcode("wide.avi", "wide.mov", TranscodeKind::ProRes).Completed());
  EXPECT_EQ(ProbeStreams(folder.Path("wide.mov"), "v:0", "stream=sample_aspect_ratio"), "40:33");
  EXPECT_EQ(folder.FileCount(), 6u);  // nothing left beside the files written
}

TEST_F(TranscodeMediaTest, ATrimKeepsTheFramesAskedForAndTheSoundOfTheirTime) {
  ASSERT_TRUE(test::MakeDvAvi(folder.Path("dv.avi"), 60));
  ASSERT_TRUE(test::MakeMpeg4Avi(folder.Path("xvid.avi"), 40));
  ASSERT_TRUE(test::MakeMjpegAvi(folder.Path("mjpeg.avi"), 20));
  ASSERT_TRUE(test::MakeMpeg2Mpg(folder.Path("dvd.mpg"), 300));

  const RunResult dv = Transcode("dv.avi", "dv.mov", TranscodeKind::ProRes, 17, 40);
  ASSERT_TRUE(dv.Completed()) << dv.message;
  EXPECT_EQ(FramesWritten(dv), 24);
  EXPECT_EQ(FramesIn(folder.Path("dv.mov")), 24);
  // Frames 17 to 40 at 30000/1001 and 48 kHz: samples 27227 (17 × 1601.6, rounded) to 65666.
  EXPECT_EQ(SamplesIn(folder.Path("dv.mov")), 65666 - 27227);
  EXPECT_EQ(ProbeStreams(folder.Path("dv.mov"), "v:0", "stream_tags=timecode"), "01:00:00;17");
  const std::string first = GreyPicture(folder.Path("dv.mov"), 0);
  EXPECT_LT(MeanDifference(first, GreyPicture(folder.Path("dv.avi"), 17)), 2);
  EXPECT_GT(MeanDifference(first, GreyPicture(folder.Path("dv.avi"), 16)), 10);
  EXPECT_LT(MeanDifference(GreyPicture(folder.Path("dv.mov"), 23),
                           GreyPicture(folder.Path("dv.avi"), 40)),
            2);

  // Key frames every 12: the trim decodes from frame 12 and drops what comes before 15.
  const RunResult xvid = Transcode("xvid.avi", "xvid.mp4", TranscodeKind::H264, 15);
  ASSERT_TRUE(xvid.Completed()) << xvid.message;
  EXPECT_EQ(FramesIn(folder.Path("xvid.mp4")), 25);
  EXPECT_EQ(ProbeStreams(folder.Path("xvid.mp4"), "v:0", "stream=field_order,r_frame_rate"),
            "progressive\n25/1");
  EXPECT_LT(MeanDifference(GreyPicture(folder.Path("xvid.mp4"), 0),
                           GreyPicture(folder.Path("xvid.avi"), 15)),
            3);

  // The program stream's seek by bytes lands past frame 200's key frame: read from before it.
  const RunResult dvd = Transcode("dvd.mpg", "dvd.mov", TranscodeKind::ProRes, 200, 209);
  ASSERT_TRUE(dvd.Completed()) << dvd.message;
  EXPECT_EQ(FramesIn(folder.Path("dvd.mov")), 10);
  EXPECT_LT(MeanDifference(GreyPicture(folder.Path("dvd.mov"), 0),
                           GreyPicture(folder.Path("dvd.mpg"), 200)),
            2);

  const RunResult mjpeg = Transcode("mjpeg.avi", "mjpeg.mov", TranscodeKind::DnxHr, 0, 4);
  ASSERT_TRUE(mjpeg.Completed()) << mjpeg.message;
  EXPECT_EQ(FramesIn(folder.Path("mjpeg.mov")), 5);
  // Full-range JPEG pixels brought to video range, not copied as they are.
  EXPECT_LT(MeanDifference(GreyPicture(folder.Path("mjpeg.mov"), 4),
                           GreyPicture(folder.Path("mjpeg.avi"), 4)),
            2);

  const RunResult past = Transcode("mjpeg.avi", "past.mov", TranscodeKind::ProRes, 20);
  EXPECT_EQ(past.status, RunResult::Status::Failed);
  EXPECT_NE(past.message.find("there is no frame 20"), std::string::npos) << past.message;
}

TEST_F(TranscodeMediaTest, ADamagedJumpInTheTimesIsNotAnHourOfRepeatedPictures) {
  // 60 pictures and 2.4 s of sound whose times jump an hour halfway, as a damaged index says.
  test::Ffmpeg(
      "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=sample_rate=48000 "
      "-vf \"trim=end_frame=60,setpts='if(gte(N,30),PTS+3600/TB,PTS)'\" -af "
      "\"atrim=end=2.4,asetpts='if(gte(T,1.2),PTS+3600/TB,PTS)'\" -c:v mjpeg -c:a "
      "pcm_s16le " +
      ShellQuoted(folder.Path("jump.mkv")));
  const RunResult result = Transcode("jump.mkv", "jump.mov", TranscodeKind::ProRes);
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_EQ(FramesIn(folder.Path("jump.mov")), 60);
  EXPECT_EQ(SamplesIn(folder.Path("jump.mov")), 2400 * 48);
}

TEST_F(TranscodeMediaTest, StillsBecomePngsOfTheirSizeKeepingAlpha) {
  for (const char* name : {"a.bmp", "b.dib", "c.png", "d.jpg", "e.jfif", "f.tif", "g.gif", "h.sgi",
                           "i.rgb", "j.tga", "k.vda", "l.icb", "m.vst", "n.targa"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(test::MakeStill(folder.Path(name)));
    const std::string png = std::string(name) + ".png";
    const RunResult result = Still(name, png);
    ASSERT_TRUE(result.Completed()) << result.message;
    EXPECT_EQ(ProbeStreams(folder.Path(png), "v:0", "stream=codec_name,width,height,pix_fmt"),
              "png\n320\n240\nrgb24");
  }
  for (const char* name : {"alpha.png", "alpha.tga", "alpha.tif", "alpha.sgi"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(test::MakeStill(folder.Path(name), true));
    const RunResult result = Still(name, std::string(name) + ".png");
    ASSERT_TRUE(result.Completed()) << result.message;
    EXPECT_EQ(ProbeStreams(folder.Path(std::string(name) + ".png"), "v:0", "stream=pix_fmt"),
              "rgba");
  }
}

TEST_F(TranscodeMediaTest, WhatCannotBeReadOrIsStoppedLeavesNothing) {
  folder.Write("scan.pct", std::string(2048, 'x'));
  const RunResult still = Still("scan.pct", "scan.png");
  EXPECT_EQ(still.status, RunResult::Status::Failed);
  EXPECT_NE(still.message.find("cannot read scan.pct as a picture: "), std::string::npos)
      << still.message;
  folder.Write("clip.avi", std::string(4096, 'x'));
  const RunResult movie = Transcode("clip.avi", "clip.mov", TranscodeKind::ProRes);
  EXPECT_EQ(movie.status, RunResult::Status::Failed);
  EXPECT_NE(movie.message.find("cannot read clip.avi as a movie: "), std::string::npos)
      << movie.message;
  EXPECT_EQ(folder.FileCount(), 2u);

  ASSERT_TRUE(test::MakeDvAvi(folder.Path("dv.avi"), 30));
  folder.Write("dv.mov", "kept");
  StoppingObserver stopping(10);
  const RunResult stopped =
      RunTranscode({folder.Path("dv.avi"), folder.Path("dv.mov"), TranscodeKind::H264}, stopping);
  EXPECT_EQ(stopped.status, RunResult::Status::Stopped) << stopped.message;
  EXPECT_EQ(folder.Read("dv.mov"), "kept");
  EXPECT_EQ(folder.FileCount(), 4u);
}

TEST_F(TranscodeMediaTest, TheRenderProgramReportsATranscodeAsJson) {
  ASSERT_TRUE(test::MakeStill(folder.Path("title.bmp")));
  const std::string lines =
      Output("timeout 60 " PEXOL_RENDER_PROGRAM " transcode " +
             ShellQuoted(folder.Path("title.bmp")) + " " + ShellQuoted(folder.Path("title.png")) +
             " --progress json 2>&1 >/dev/null; echo exit=$?");
  EXPECT_NE(lines.find("\"type\":\"result\""), std::string::npos) << lines;
  EXPECT_NE(lines.find("\"frames\":1"), std::string::npos) << lines;
  EXPECT_NE(lines.find("exit=0"), std::string::npos) << lines;
  EXPECT_EQ(ProbeStreams(folder.Path("title.png"), "v:0", "stream=codec_name"), "png");
}

}  // namespace
}  // namespace pexol
