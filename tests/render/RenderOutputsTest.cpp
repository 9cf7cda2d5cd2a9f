// tests/render/RenderOutputsTest.cpp - renders at other sizes, scans, codecs and sound alone,
// and of a range, measured with FFmpeg's own tools: shapes, combing, samples, profiles
#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/RunObserver.h"
#include "render/RunRender.h"
#include "support/CommandOutput.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

using test::Ffmpeg;
using test::Output;



// One stream's entry ("width", "profile") as ffprobe states it.
std::string Probe(const fs::path& file, const char* stream, const std::string& entry) {
  std::string text =
      Output("ffprobe -v error -select_streams " + std::string(stream) +
             " -show_entries stream=" + entry + " -of csv=p=0 '" + file.string() + "'");
  while (!text.empty() && (text.back() == '\n' || text.back() == ',')) text.pop_back();
  return text;
}

// Frame `n` decoded at the file's own size, one byte a pixel (luma) or three (RGB).
std::vector<std::uint8_t> Frame(const fs::path& file, int n, const char* format) {
  const std::string bytes =
      Output("ffmpeg -v error -i '" + file.string() + "' -vf 'select=eq(n\\," + std::to_string(n) +
             ")' -frames:v 1 -f rawvideo -pix_fmt " + format + " -");
  return {bytes.begin(), bytes.end()};
}

// The samples a decoder gives back, a channel's worth.
long long DecodedSamples(const fs::path& file) {
  const std::string bytes =
      Output("ffmpeg -v error -i '" + file.string() + "' -ac 1 -f s16le -acodec pcm_s16le -");
  return static_cast<long long>(bytes.size() / 2);
}

// A picture as a binary PPM, which the image loader knows by its content.
void WriteCircle(const fs::path& path, int width, int height, int radius) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << width << ' ' << height << "\n255\n";
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int dx = x - width / 2;
      const int dy = y - height / 2;
      const bool inside = dx * dx + dy * dy <= radius * radius;
      out << char(inside ? 255 : 0) << char(inside ? 255 : 0) << char(inside ? 255 : 160);
    }
}

class RenderOutputsTest : public testing::Test {
 protected:
  RunResult Render(const std::string& project, const std::string& destination,
                   const std::function<void(RenderJob&)>& change = {}) {
    RenderJob job;
    job.source = folder.Path(project);
    job.destination = folder.Path(destination);
    job.software = SoftwareChoice::Automatic();
    if (change) change(job);
    NullObserver quiet;
    return RunRender(job, quiet);
  }

  // A still of 4:3 (or 16:9) square pixels with a circle in its middle, as the project's
  // whole picture for `frames` frames.
  void WriteCircleProject(const std::string& name, bool wide, int frames) {
    WriteCircle(folder.Path(name + ".png"), wide ? 854 : 640, 480, 150);
    build::Project project;
    project.aspectRatio = wide ? 1 : 0;
    project.main = {{name + ".png", 0, frames - 1, 0, "still", 0, 0, {}}};
    folder.Write(name + ".mpj", build::BuildProject(project));
  }

  test::TempFolder folder;
};

// The white circle's extent in an RGB frame: across and down.
struct Extent {
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};
Extent WhiteExtent(const std::vector<std::uint8_t>& rgb, int width) {
  Extent extent;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (rgb[i] < 200 || rgb[i + 1] < 200 || rgb[i + 2] < 200) continue;
    const int x = static_cast<int>(i / 3) % width;
    const int y = static_cast<int>(i / 3) / width;
    extent = {std::min(extent.left, x), std::max(extent.right, x), std::min(extent.top, y),
              std::max(extent.bottom, y)};
  }
  return extent;
}

// A 16:9 still over red in a 4:3 project: fitted across, round on the display (its pixels are
// 8:9 here), with red showing through its bars.
TEST_F(RenderOutputsTest, AStillOnAnUpperTrackFitsTheFrameOverTheTrackBelow) {
  WriteCircle(folder.Path("wide.png"), 854, 480, 150);
  build::Project project;
  const std::string red = build::ColorClipName(0, 1, 0, "FF0000", "", "", "");
  project.main = {{red, 0, 5, 0, "", 0, 0, {}}};
  project.insert = {{"wide.png", 0, 5, 0, "still", 0, 0, {}}};
  folder.Write("over.mpj", build::BuildProject(project));
  ASSERT_TRUE(Render("over.mpj", "over.mp4").Completed());
  const std::vector<std::uint8_t> rgb = Frame(folder.Path("over.mp4"), 3, "rgb24");
  ASSERT_EQ(rgb.size(), 720u * 480 * 3);
  const Extent circle = WhiteExtent(rgb, 720);
  EXPECT_NEAR(circle.Height(), 300 * 360 / 480, 4);
  EXPECT_NEAR(circle.Width() * 8 / 9, circle.Height(), 4) << circle.Width();
  const auto pixel = [&rgb](int x, int y) { return &rgb[(std::size_t(y) * 720 + x) * 3]; };
  EXPECT_GT(pixel(360, 20)[0], 200);  // red above the picture
  EXPECT_LT(pixel(360, 20)[2], 60);
  EXPECT_GT(pixel(360, 460)[0], 200);  // and below it
  EXPECT_GT(pixel(20, 100)[2], 120);   // the picture's blue, to the frame's sides
  EXPECT_LT(pixel(20, 100)[0], 60);
}

TEST_F(RenderOutputsTest, SizesScaleTheWholeFrameWithItsShapeKept) {
  // A 4:3 project in 1080p: 1440x1080 of picture between black bars, the circle round.
  WriteCircleProject("narrow", false, 6);
  RunResult result = Render("narrow.mpj", "hd.mp4", [](RenderJob& job) { job.size = "1080p"; });
  ASSERT_TRUE(result.Completed()) << result.message;
  const fs::path hd = folder.Path("hd.mp4");
  EXPECT_EQ(Probe(hd, "v", "width,height,sample_aspect_ratio"), "1920,1080,1:1");
  std::vector<std::uint8_t> rgb = Frame(hd, 3, "rgb24");
  ASSERT_EQ(rgb.size(), 1920u * 1080 * 3);
  Extent circle = WhiteExtent(rgb, 1920);
  EXPECT_NEAR(circle.Width(), circle.Height(), circle.Height() / 50) << circle.Width();
  EXPECT_NEAR(circle.Height(), 150 * 2 * 1080 / 480, 12);
  EXPECT_NEAR((circle.left + circle.right) / 2, 960, 4);
  const auto at = [&rgb](int x, int y) { return rgb[(std::size_t(y) * 1920 + x) * 3 + 2]; };
  EXPECT_LT(at(200, 100), 30);   // the bar
  EXPECT_GT(at(280, 100), 120);  // the picture's blue, from 240 to 1680
  EXPECT_GT(at(1640, 100), 120);
  EXPECT_LT(at(1720, 100), 30);

  // A 16:9 project fills a 16:9 frame of any size.
  WriteCircleProject("wide", true, 6);
  result = Render("wide.mpj", "small.mkv", [](RenderJob& job) { job.size = "640x360"; });
  ASSERT_TRUE(result.Completed()) << result.message;
  const fs::path small = folder.Path("small.mkv");
  EXPECT_EQ(Probe(small, "v", "width,height"), "640,360");
  rgb = Frame(small, 3, "rgb24");
  ASSERT_EQ(rgb.size(), 640u * 360 * 3);
  circle = WhiteExtent(rgb, 640);
  EXPECT_NEAR(circle.Width(), circle.Height(), 3);
  EXPECT_GT(rgb[(100 * 640 + 4) * 3 + 2], 120);  // blue to the edges

  EXPECT_FALSE(Render("wide.mpj", "x.mp4", [](RenderJob& job) { job.size = "1080i"; }).Completed());
  const RunResult odd = Render("wide.mpj", "x.mp4", [](RenderJob& job) { job.size = "641x360"; });
  EXPECT_NE(odd.message.find("WIDTHxHEIGHT"), std::string::npos) << odd.message;
  const RunResult fields = Render("wide.mpj", "x.mp4", [](RenderJob& job) {
    job.size = "720p";
    job.interlaced = true;
  });
  EXPECT_NE(fields.message.find("--interlaced"), std::string::npos) << fields.message;
  EXPECT_FALSE(fs::exists(folder.Path("x.mp4")));
}

// How much a frame's lines differ from their neighbours (the other field) beyond how much they
// differ from the lines two away (their own field): about 1 for a whole picture, far above
// it where moving fields are woven together.
double Combing(const std::vector<std::uint8_t>& luma, int width, int height) {
  double across = 0, within = 0;
  for (int y = 2; y + 2 < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int here = luma[std::size_t(y) * width + x];
      across += std::abs(here - luma[std::size_t(y + 1) * width + x]);
      within += std::abs(here - luma[std::size_t(y + 2) * width + x]);
    }
  return across / std::max(within, 1.0);
}

TEST_F(RenderOutputsTest, InterlacedMotionIsDeinterlacedUnlessTheFieldsAreKept) {
  // DV as cameras recorded it: a bar moving fast, its fields 1/60 s apart, lower first.
  Ffmpeg(
      "-f lavfi -i 'color=c=black:s=720x480:r=60000/1001[b];color=c=white:s=48x480[w];"
      "[b][w]overlay=x=mod(n*12\\,640):y=0:eval=frame' -frames:v 60 "
      "-vf tinterlace=mode=interleave_bottom,setfield=bff -aspect 4:3 -c:v dvvideo "
      "-pix_fmt yuv411p '" +
      folder.Path("bar.avi") + "'");
  build::Project project;
  project.main = {{"bar.avi", 0, 19, 0, "", 0, 0, {}}};
  folder.Write("bar.mpj", build::BuildProject(project));

  ASSERT_TRUE(Render("bar.mpj", "progressive.mp4").Completed());
  ASSERT_TRUE(
      Render("bar.mpj", "fields.mp4", [](RenderJob& job) { job.interlaced = true; }).Completed());
  const fs::path fields = folder.Path("fields.mp4");
  EXPECT_NE(Probe(fields, "v", "field_order"), "progressive");
  const double woven = Combing(Frame(fields, 10, "gray"), 720, 480);
  const double whole = Combing(Frame(folder.Path("progressive.mp4"), 10, "gray"), 720, 480);
  EXPECT_GT(woven, 1.5);
  EXPECT_LT(whole, 1.15) << "woven " << woven;
  EXPECT_EQ(Probe(folder.Path("progressive.mp4"), "v", "field_order"), "progressive");

  // Scaled, still whole.
  ASSERT_TRUE(
      Render("bar.mpj", "hd.mp4", [](RenderJob& job) { job.size = "1280x720"; }).Completed());
  EXPECT_LT(Combing(Frame(folder.Path("hd.mp4"), 10, "gray"), 1280, 720), 1.15);
}

TEST_F(RenderOutputsTest, SoundFilesHoldTheMixAloneToTheSample) {
  Ffmpeg("-f lavfi -i sine=frequency=1000:sample_rate=48000:duration=5 -c:a pcm_s16le '" +
         folder.Path("tone.wav") + "'");
  build::Project project;
  const std::string red = build::ColorClipName(0, 1, 0, "FF0000", "", "", "");
  project.main = {{red, 0, 119, 0, "", 0, 0, {}}};
  project.exAudio1 = {{"tone.wav", 0, 119, 0, 100, 100, {}}};
  folder.Write("tone.mpj", build::BuildProject(project));
  // NTSC frames hold 1601 or 1602 samples at 48 kHz; a range from frame 7 to 101 is a file
  // of 94 frames.
  long long expected = 0;
  for (int frame = 0; frame < 94; ++frame)
    expected += mlt_audio_calculate_frame_samples(30000.0f / 1001, 48000, frame);
  for (const char* name : {"mix.wav", "mix.flac", "mix.m4a", "mix.mp3"}) {
    const RunResult result = Render("tone.mpj", name, [](RenderJob& job) {
      job.from = "7";
      job.to = "101";
    });
    ASSERT_TRUE(result.Completed()) << name << ": " << result.message;
    const fs::path file = folder.Path(name);
    EXPECT_EQ(Probe(file, "v", "codec_name"), "") << name;  // no picture
    EXPECT_EQ(Probe(file, "a", "sample_rate,channels"), "48000,2") << name;
    // FFmpeg's AAC in MP4 states its length to the block of 1024 samples (its own command
    // line's too); the others to the sample.
    if (std::string(name) == "mix.m4a")
      EXPECT_NEAR(DecodedSamples(file), expected, 1024) << name;
    else
      EXPECT_EQ(DecodedSamples(file), expected) << name;
  }
  EXPECT_EQ(Probe(folder.Path("mix.flac"), "a", "codec_name"), "flac");
  EXPECT_EQ(Probe(folder.Path("mix.m4a"), "a", "codec_name"), "aac");
}

TEST_F(RenderOutputsTest, ProResIsWrittenInQuickTimeForEditors) {
  WriteCircleProject("narrow", false, 5);
  const auto prores = [](RenderJob& job) { job.codec = RenderCodec::ProRes; };
  ASSERT_TRUE(Render("narrow.mpj", "edit.mov", prores).Completed());
  const fs::path file = folder.Path("edit.mov");
  EXPECT_EQ(Probe(file, "v", "codec_name,profile,pix_fmt"), "prores,Standard,yuv422p10le");
  EXPECT_EQ(Probe(file, "a", "codec_name"), "pcm_s16le");
  EXPECT_EQ(Probe(file, "v", "nb_frames"), "5");
  const RunResult mp4 = Render("narrow.mpj", "edit.mp4", prores);
  EXPECT_NE(mp4.message.find(".mov"), std::string::npos) << mp4.message;
}

// Media a range does not use are not looked at: here they are not even media, and the render
// (which fails for media that do not decode) succeeds; a transition at the range's start plays
// as in the whole timeline.
TEST_F(RenderOutputsTest, ARangeOpensOnlyTheMediaItUses) {
  Ffmpeg("-f lavfi -i color=c=0x00ff00:s=160x120:r=30000/1001 -frames:v 300 -c:v mpeg4 '" +
         folder.Path("used.avi") + "'");
  Ffmpeg("-f lavfi -i color=c=0x0000ff:s=160x120:r=30000/1001 -frames:v 300 -c:v mpeg4 '" +
         folder.Path("next.avi") + "'");
  for (const char* name : {"early.avi", "late.avi", "early.wav", "late.wav"})
    folder.Write(name, "not media");
  build::Project project;
  project.main = {{"early.avi", 0, 899, 0, "", 0, 0, {}},
                  {"used.avi", 0, 299, 0, "", 0, 0, {}},
                  {"next.avi", 0, 299, 0, "", 0, 0, {}},
                  {"late.avi", 0, 8999, 0, "", 0, 0, {}}};
  project.exAudio1 = {{"early.wav", 0, 899, 0, 100, 100, {}},
                      {"late.wav", 0, 899, 9000, 100, 100, {}}};
  // used.avi ends at 1170 in a dissolve into next.avi, which plays alone from 1200.
  build::Effect dissolve;
  dissolve.clipIndex = 1;
  dissolve.clipLength = 270;
  dissolve.name = "Dissolve";
  project.effects = {dissolve};
  folder.Write("long.mpj", build::BuildProject(project));
  const RunResult result = Render("long.mpj", "part.mkv", [](RenderJob& job) {
    job.from = "1000";
    job.to = "1215";
  });
  ASSERT_TRUE(result.Completed()) << result.message;
  const fs::path part = folder.Path("part.mkv");
  const auto pixel = [&part](int frame) {
    const std::vector<std::uint8_t> rgb = Frame(part, frame, "rgb24");
    return rgb.size() > 3 ? std::array<int, 3>{rgb[0], rgb[1], rgb[2]} : std::array<int, 3>{};
  };
  const auto green = pixel(50);
  EXPECT_TRUE(green[1] > 200 && green[2] < 60) << green[1] << " " << green[2];
  const auto mixed = pixel(185);
  EXPECT_TRUE(mixed[1] > 60 && mixed[2] > 60) << mixed[1] << " " << mixed[2];
  const auto blue = pixel(212);
  EXPECT_TRUE(blue[1] < 60 && blue[2] > 200) << blue[1] << " " << blue[2];
}

}  // namespace
}  // namespace pexol
