// tests/export/MltRenderTest.cpp - exported MLT documents rendered by MLT in this process: what a
// viewer sees and hears, a few frames each
#include <gtest/gtest.h>
#include <mlt++/Mlt.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

#include "ExportTimelines.h"
#include "export/KdenliveWriter.h"
#include "export/MltWriter.h"
#include "export/OtioWriter.h"
#include "support/MltFrames.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

using test::Near;
using test::Picture;
using test::Rgb;

// With PEXOL_RENDER_FRAMES naming a folder, the documents and the frames the tests look at are
// kept there (the pictures in the README are made so).
void Keep(const Picture& picture, const std::string& name) {
  const char* folder = std::getenv("PEXOL_RENDER_FRAMES");
  if (!folder || picture.bytes.empty()) return;
  std::ofstream out(fs::path(folder) / (name + ".ppm"), std::ios::binary);
  out << "P6\n" << picture.width << ' ' << picture.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(picture.bytes.data()),
            static_cast<std::streamsize>(picture.bytes.size()));
}

bool Dark(Rgb pixel) {
  return pixel.r < 40 && pixel.g < 40 && pixel.b < 40;
}

// 100 frames of the tone from `sourceIn`, at full level but for a dip to 50 over frames 50 to
// 60 and a fade to 0 at the end.
TimelineItem ToneDippingInLevel(int sourceIn) {
  TimelineItem music = test::Movie("tone.wav", sourceIn, sourceIn + 100, 0, 100, true);
  music.levels.in = 100;
  music.levels.out = 0;
  music.levels.points = {{40, 100}, {50, 50}, {60, 50}, {61, 100}};
  return music;
}

// A document loaded as melt loads a file, with the normalising filters MLT's loader adds.
class Render {
 public:
  Render(const fs::path& folder, const std::string& document)
      : file_(folder / ("render-" + std::to_string(count_++) + ".mlt")) {
    std::ofstream(file_, std::ios::binary) << document;
    if (const char* kept = std::getenv("PEXOL_RENDER_FRAMES"))
      std::ofstream(fs::path(kept) / file_.filename(), std::ios::binary) << document;
    frames_ = std::make_unique<test::MltFrames>("dv_ntsc", nullptr, file_.string());
  }

  bool Loaded() const { return frames_->Valid(); }
  Picture Frame(int position) { return frames_->Frame(position); }
  /// The largest sample (of either channel) of frame `position`, 0 to 32767.
  int Peak(int position) { return frames_->Peak(position); }

 private:
  static inline int count_ = 0;
  fs::path file_;
  std::unique_ptr<test::MltFrames> frames_;
};

class MltRender : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // MLT's Qt module (titles, stills) needs a display name even when it draws off screen.
    setenv("DISPLAY", ":99", 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Mlt::Factory::init();
    folder_ = fs::temp_directory_path() / ("pexol-mlt-render-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    WriteTone(folder_ / "tone.wav", 4);
    WritePpm(folder_ / "square.ppm", 200, 200, {255, 255, 255});
    WriteBmp(folder_ / "logo.bmp", 64, {255, 0, 0});
  }

  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // A 1 kHz tone at half the full scale, mono, 16 bits at 48 kHz.
  static void WriteTone(const fs::path& path, int seconds) {
    const std::uint32_t samples = 48000u * static_cast<std::uint32_t>(seconds);
    std::string bytes = "RIFF";
    const auto add = [&bytes](std::uint32_t value, int count) {
      for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    add(36 + samples * 2, 4);
    bytes += "WAVEfmt ";
    for (const auto& [value, count] :
         {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {48000u, 4}, {96000u, 4}, {2u, 2}, {16u, 2}})
      add(value, count);
    bytes += "data";
    add(samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
      const double value = 16384 * std::sin(2 * M_PI * 1000 * i / 48000.0);
      add(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value))), 2);
    }
    std::ofstream(path, std::ios::binary) << bytes;
  }

  static void WritePpm(const fs::path& path, int width, int height, Rgb colour) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    for (int i = 0; i < width * height; ++i)
      out << char(colour.r) << char(colour.g) << char(colour.b);
  }

  // A square of one colour as a 24-bit BMP, the kind of image titles name.
  static void WriteBmp(const fs::path& path, int side, Rgb colour) {
    const auto rowBytes = static_cast<std::uint32_t>((side * 3 + 3) / 4 * 4);
    const std::uint32_t dataBytes = rowBytes * static_cast<std::uint32_t>(side);
    std::string bytes = "BM";
    const auto add = [&bytes](std::uint32_t value, int count) {
      for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    const auto width = static_cast<std::uint32_t>(side);
    for (const auto& [value, count] : {std::pair{54 + dataBytes, 4},
                                       {0u, 4},
                                       {54u, 4},
                                       {40u, 4},
                                       {width, 4},
                                       {width, 4},
                                       {1u, 2},
                                       {24u, 2},
                                       {0u, 4},
                                       {dataBytes, 4},
                                       {2835u, 4},
                                       {2835u, 4},
                                       {0u, 4},
                                       {0u, 4}})
      add(value, count);
    std::string row;
    for (int x = 0; x < side; ++x) row += {char(colour.b), char(colour.g), char(colour.r)};
    row.resize(rowBytes, '\0');
    for (int y = 0; y < side; ++y) bytes += row;
    std::ofstream(path, std::ios::binary) << bytes;
  }

  static std::string Media(std::string_view stored) {
    return (folder_ / std::string(stored)).string();
  }

  static std::string Mlt(const Timeline& timeline, std::vector<ExportNote>* notes = nullptr) {
    ExportSettings settings;
    settings.projectName = "render";
    ExportCounts counts;
    return test::Exported("mlt", timeline, settings, Media, counts, notes);
  }

  static std::string Kdenlive(const Timeline& timeline) {
    ExportSettings settings;
    settings.projectName = "render";
    ExportCounts counts;
    return test::Exported("kdenlive", timeline, settings, Media, counts);
  }

  static TimelineItem Colour(std::uint32_t colour, Frames in, Frames out) {
    TimelineItem item = test::Of(ItemKind::Colour, in, out);
    item.colour = colour;
    item.fill.colours = {colour};
    return item;
  }

  // A red clip and a blue one joined by a 20-frame transition from frame 60.
  static Timeline RedToBlue(char code) {
    Timeline timeline;
    timeline.main = {Colour(0xFF0000, 0, 60), Colour(0x0000FF, 60, 120)};
    timeline.mainTail = {20, 0};
    timeline.transitions = {test::Effect(0, code, code == 'D' ? "Dissolve" : "Wipe", 20, 60)};
    return timeline;
  }

  static inline fs::path folder_;
};

TEST_F(MltRender, DissolveMixesBothClipsOverItsFrames) {
  Render render(folder_, Mlt(RedToBlue('D')));
  ASSERT_TRUE(render.Loaded());
  EXPECT_TRUE(Near(render.Frame(59).At(360, 240), {255, 0, 0}));
  const Picture frame = render.Frame(70);
  Keep(frame, "dissolve");
  const Rgb middle = frame.At(360, 240);
  EXPECT_GT(middle.r, 60) << middle.r << " " << middle.b;
  EXPECT_LT(middle.r, 200);
  EXPECT_GT(middle.b, 60);
  EXPECT_LT(middle.b, 200);
  EXPECT_TRUE(Near(render.Frame(80).At(360, 240), {0, 0, 255}));
}

TEST_F(MltRender, WipeShowsBothClipsSideBySide) {
  Render render(folder_, Mlt(RedToBlue('W')));
  ASSERT_TRUE(render.Loaded());
  const Picture middle = render.Frame(70);
  Keep(middle, "wipe");
  int red = 0, blue = 0;
  for (int x = 0; x < middle.width; x += 8) {
    red += Near(middle.At(x, 240), {255, 0, 0});
    blue += Near(middle.At(x, 240), {0, 0, 255});
  }
  EXPECT_GT(red, 10);
  EXPECT_GT(blue, 10);
  EXPECT_TRUE(Near(render.Frame(80).At(700, 240), {0, 0, 255}));
}

// The rows of `picture` that hold a pixel brighter than the background.
std::vector<int> LitRows(const Picture& picture) {
  std::vector<int> rows;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      if (picture.At(x, y).g > 160) {
        rows.push_back(y);
        break;
      }
  return rows;
}

TEST_F(MltRender, TitleLinesAtTheirSizeOverTheirImage) {
  Timeline timeline;
  timeline.main = {Colour(0x000000, 0, 200)};
  timeline.mainTail = {0};
  TimelineItem title = test::Of(ItemKind::Title, 10, 10 + titleDefaultFrames);
  title.texts = {{"HELLO\r\nWORLD", "DejaVu Sans", 40, false}, {"logo.bmp", "", 0, true}};
  timeline.titles.push_back(title);
  Render render(folder_, Mlt(timeline));
  ASSERT_TRUE(render.Loaded());
  EXPECT_TRUE(LitRows(render.Frame(5)).empty());
  const Picture picture = render.Frame(50);
  Keep(picture, "title");
  const std::vector<int> rows = LitRows(picture);
  ASSERT_FALSE(rows.empty());
  // Two lines: two bands of lit rows, each about as tall as the font's size.
  std::vector<std::pair<int, int>> bands;
  for (int y : rows) {
    if (bands.empty() || y > bands.back().second + 1) bands.push_back({y, y});
    bands.back().second = y;
  }
  ASSERT_EQ(bands.size(), 2u);
  for (const auto& [top, bottom] : bands) {
    EXPECT_GT(bottom - top + 1, 40 / 2);
    EXPECT_LT(bottom - top + 1, 40 * 3 / 2);
  }
  // The square image as large as fits the frame, centred, at its own aspect: 480 rows of a
  // 4:3 frame of 8:9 pixels are 540 columns.
  EXPECT_TRUE(Near(picture.At(360, 4), {255, 0, 0}));
  EXPECT_TRUE(Near(picture.At(110, 240), {255, 0, 0}));
  EXPECT_TRUE(Dark(picture.At(70, 240)));
  EXPECT_TRUE(Dark(picture.At(650, 240)));
  // The text over it: white among red.
  int white = 0;
  for (int y = bands.front().first; y <= bands.back().second; ++y)
    for (int x = 120; x < 600; ++x) white += Near(picture.At(x, y), {255, 255, 255});
  EXPECT_GT(white, 200);
}

TEST_F(MltRender, StillKeepsItsAspect) {
  Timeline timeline;
  TimelineItem still = test::Of(ItemKind::Still, 0, 30);
  still.name = "square.ppm";
  timeline.main = {still};
  timeline.mainTail = {0};
  Render render(folder_, Mlt(timeline));
  ASSERT_TRUE(render.Loaded());
  const Picture picture = render.Frame(10);
  EXPECT_TRUE(Near(picture.At(360, 240), {255, 255, 255}));
  EXPECT_TRUE(Dark(picture.At(10, 240)));  // bars at the sides
  EXPECT_TRUE(Dark(picture.At(709, 240)));
  EXPECT_TRUE(Near(picture.At(360, 10), {255, 255, 255}));  // full height
}

TEST_F(MltRender, GradientRunsInItsDirection) {
  Timeline timeline;
  TimelineItem gradient = Colour(0xFF0000, 0, 30);
  gradient.fill.colours = {0xFF0000, 0x0000FF};
  gradient.fill.direction = 2;  // to the right
  timeline.main = {gradient};
  timeline.mainTail = {0};
  Render render(folder_, Mlt(timeline));
  ASSERT_TRUE(render.Loaded());
  const Picture picture = render.Frame(10);
  const Rgb left = picture.At(4, 240);
  const Rgb right = picture.At(715, 240);
  EXPECT_GT(left.r, left.b + 100);
  EXPECT_GT(right.b, right.r + 100);
}

TEST_F(MltRender, GainFollowsTheLevels) {
  Timeline timeline;
  timeline.main = {Colour(0x000000, 0, 100)};
  timeline.mainTail = {0};
  timeline.exAudio[0].push_back(ToneDippingInLevel(0));
  Render render(folder_, Mlt(timeline));
  ASSERT_TRUE(render.Loaded());
  const double full = render.Peak(20);  // the tone at its recorded level, panned to two channels
  EXPECT_GT(full, 8000);
  EXPECT_NEAR(render.Peak(55) / full, 0.5, 0.08);  // level 50: -6 dB
  EXPECT_LT(render.Peak(99) / full, 0.1);          // level 0 at the end: silence
}

TEST_F(MltRender, NegativeInPointStartsLaterAsInOpenTimelineIo) {
  Timeline timeline;
  timeline.main = {Colour(0x000000, 0, 100)};
  timeline.mainTail = {0};
  timeline.exAudio[0] = {test::Movie("tone.wav", -5, 55, 0, 60, true),
                         test::Movie("tone.wav", 0, 30, 60, 90, true)};
  std::vector<ExportNote> notes;
  Render render(folder_, Mlt(timeline, &notes));
  ASSERT_TRUE(render.Loaded());
  ASSERT_EQ(test::KindsOf(notes), std::vector<NoteKind>{NoteKind::InBeforeMedia});
  EXPECT_EQ(notes[0].clips[0].name, "tone.wav");
  // Silence until the media's first frame, then the first clip; the second clip from frame 60
  // to 89 (MLT alone would have started it 5 frames early, so it would have ended by 85).
  EXPECT_LT(render.Peak(2), 100);
  EXPECT_GT(render.Peak(7), 8000);
  EXPECT_GT(render.Peak(87), 8000);
  EXPECT_LT(render.Peak(92), 100);

  ExportSettings settings;
  ExportCounts counts;
  const auto otio =
      nlohmann::json::parse(test::Exported("otio", timeline, settings, Media, counts));
  for (const auto& track : otio["tracks"]["children"]) {
    if (track["name"] != "A2") continue;
    double start = 0;
    const auto& children = track["children"];
    for (std::size_t i = 0; i + 1 < children.size(); ++i)
      start += children[i]["source_range"]["duration"]["value"].get<double>();
    EXPECT_EQ(start, 60);
    EXPECT_EQ(children[1]["source_range"]["start_time"]["value"], 0);
  }
}

// The level of frame `position` of `render` in dB against `full`.
double Decibels(Render& render, int position, double full) {
  return 20 * std::log10(std::max(render.Peak(position), 1) / full);
}

// A fade from 200 to 0 goes down in a straight line in amplitude: at the recorded level
// halfway, whereas MLT's volume filter goes in dB between its keyframes; Kdenlive's project
// the same.
TEST_F(MltRender, FadeGoesDownInAmplitude) {
  Timeline timeline;
  timeline.main = {Colour(0x000000, 0, 130)};
  timeline.mainTail = {0};
  TimelineItem fade = test::Movie("tone.wav", 30, 130, 30, 130, true);
  fade.levels.in = 200;
  fade.levels.out = 0;
  timeline.exAudio[0] = {test::Movie("tone.wav", 0, 30, 0, 30, true), fade};
  for (const std::string& document : {Mlt(timeline), Kdenlive(timeline)}) {
    Render render(folder_, document);
    ASSERT_TRUE(render.Loaded());
    const double full = render.Peak(15);
    ASSERT_GT(full, 8000);
    // The fade's frames 0 to 99 go from 200 to 0; a frame's peak is at its first sample.
    for (int frame : {20, 50, 70, 85}) {
      const double level = 2 * (1 - (frame - 0.5) / 99);
      EXPECT_NEAR(Decibels(render, 30 + frame, full), 20 * std::log10(level), 1) << frame;
    }
  }
}

// The Kdenlive project plays as the MLT one: the same mid-dissolve frames from the clips on the
// track's two playlists, either way between them, and levels keyed from the clip's first frame
// on the track, not from its media's (the tone starts 30 frames into its file).
TEST_F(MltRender, KdenliveProjectPlaysTheSameDissolvesAndLevels) {
  Timeline timeline = RedToBlue('D');
  timeline.main.push_back(Colour(0x00FF00, 120, 180));
  timeline.transitions.push_back(test::Effect(1, 'D', "Dissolve", 20, 120));
  timeline.mainTail = {20, 20, 0};
  timeline.exAudio[0].push_back(ToneDippingInLevel(30));
  Render render(folder_, Kdenlive(timeline));
  ASSERT_TRUE(render.Loaded());
  EXPECT_TRUE(Near(render.Frame(59).At(360, 240), {255, 0, 0}));
  const Rgb middle = render.Frame(70).At(360, 240);
  EXPECT_GT(middle.r, 60) << middle.r << " " << middle.b;
  EXPECT_LT(middle.r, 200);
  EXPECT_GT(middle.b, 60);
  EXPECT_LT(middle.b, 200);
  EXPECT_TRUE(Near(render.Frame(80).At(360, 240), {0, 0, 255}));
  // Blue on the second playlist into green on the first.
  const Rgb second = render.Frame(130).At(360, 240);
  EXPECT_GT(second.g, 60) << second.g << " " << second.b;
  EXPECT_LT(second.g, 200);
  EXPECT_GT(second.b, 60);
  EXPECT_LT(second.b, 200);
  EXPECT_TRUE(Near(render.Frame(140).At(360, 240), {0, 255, 0}));
  const double full = render.Peak(20);
  EXPECT_GT(full, 8000);
  EXPECT_NEAR(render.Peak(55) / full, 0.5, 0.08);
  EXPECT_LT(render.Peak(99) / full, 0.1);
}

}  // namespace
}  // namespace pexol
