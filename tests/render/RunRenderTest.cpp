// tests/render/RunRenderTest.cpp - projects rendered to video files and read back by MLT: length,
// profile, sound, colours; media that cannot be rendered; a stop; no display
#include <gtest/gtest.h>
#include <mlt++/Mlt.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "core/RunObserver.h"
#include "core/TextEncoding.h"
#include "export/ExportFormats.h"
#include "export/MltWriter.h"
#include "model/Timeline.h"
#include "render/ConsumerRun.h"
#include "render/RenderOutcome.h"
#include "render/RunRender.h"
#include "support/CliRun.h"
#include "support/CommandOutput.h"
#include "support/Conversions.h"
#include "support/MltFrames.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

using test::Near;
using test::Rgb;

// Runs a small MLT document through the avformat consumer: how the tests write their media.
void Encode(const std::string& document, int frames, const fs::path& path,
            const std::vector<std::pair<const char*, const char*>>& settings) {
  Mlt::Profile profile;
  profile.set_width(160);
  profile.set_height(120);
  profile.set_frame_rate(30000, 1001);
  profile.set_sample_aspect(1, 1);
  profile.set_display_aspect(4, 3);
  profile.set_progressive(1);
  profile.set_explicit(1);
  Mlt::Producer producer(profile, "xml-string", document.c_str());
  ASSERT_TRUE(producer.is_valid());
  // The tone is as long as MLT's default: the range ends the file.
  producer.set_in_and_out(0, frames - 1);
  Mlt::Consumer consumer(profile, "avformat", path.c_str());
  for (const auto& [name, value] : settings) consumer.set(name, value);
  consumer.set("real_time", -1);
  consumer.set("terminate_on_pause", 1);
  consumer.connect(producer);
  ASSERT_EQ(RunConsumer(consumer, producer, [] { return true; }), ConsumerEnd::Finished);
}

// A colour (0xRRGGBBAA; empty for none) and a tone (1 kHz unless said), `frames` long.
std::string MediaDocument(const std::string& colour, int frames, int frequency = 1000) {
  const std::string length = std::to_string(frames);
  std::string document =
      "<mlt><producer id='a'><property name='mlt_service'>tone</property>"
      "<property name='frequency'>" +
      std::to_string(frequency) +
      "</property><property name='level'>-6"
      "</property><property name='length'>" +
      length + "</property></producer>";
  if (!colour.empty())
    document +=
        "<producer id='v'><property name='mlt_service'>color</property>"
        "<property name='resource'>" +
        colour + "</property><property name='length'>" + length + "</property></producer>";
  document += "<tractor>";
  if (!colour.empty()) document += "<track producer='v'/>";
  document += "<track producer='a'/>";
  if (!colour.empty())
    document +=
        "<transition><property name='a_track'>0</property><property name='b_track'>1"
        "</property><property name='mlt_service'>mix</property><property "
        "name='always_active'>1</property><property name='sum'>1</property>"
        "</transition>";
  return document + "</tractor></mlt>";
}

void WriteMovie(const fs::path& path, const std::string& colour, int frames, int frequency = 1000) {
  Encode(MediaDocument(colour, frames, frequency), frames, path,
         {{"f", "avi"}, {"vcodec", "mpeg4"}, {"qscale", "2"}, {"acodec", "pcm_s16le"}});
}
void WriteSound(const fs::path& path, int frames) {
  Encode(MediaDocument("", frames), frames, path,
         {{"f", "wav"}, {"vn", "1"}, {"acodec", "pcm_s16le"}});
}
// A picture of one colour as a binary PPM, which the image loader knows by its content
// whatever the name's ending.
void WriteImage(const fs::path& path, Rgb colour) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n160 120\n255\n";
  for (int i = 0; i < 160 * 120; ++i) out << char(colour.r) << char(colour.g) << char(colour.b);
}

// A picture of one colour as a 24-bit BMP, which FFmpeg's image reader knows by its ending.
void WriteBmp(const fs::path& path, Rgb colour) {
  constexpr std::uint32_t width = 160, height = 120, data = width * 3 * height;
  std::string bytes = "BM";
  const auto add = [&bytes](std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  for (const auto& [value, count] : {std::pair{54 + data, 4},
                                     {0u, 4},
                                     {54u, 4},
                                     {40u, 4},
                                     {width, 4},
                                     {height, 4},
                                     {1u, 2},
                                     {24u, 2},
                                     {0u, 4},
                                     {data, 4},
                                     {2835u, 4},
                                     {2835u, 4},
                                     {0u, 4},
                                     {0u, 4}})
    add(value, count);
  for (std::uint32_t i = 0; i < width * height; ++i)
    bytes += {char(colour.b), char(colour.g), char(colour.r)};
  std::ofstream(path, std::ios::binary) << bytes;
}

/// A rendered file as MLT's avformat producer reads it back.
class Rendered {
 public:
  Rendered(const std::string& path, bool pal = false)
      : frames_(pal ? "dv_pal" : "dv_ntsc", "avformat", path) {
    // The producer states the picture's size, rate and scan once it has decoded a frame.
    if (Valid()) frames_.Frame(0);
  }
  bool Valid() const { return frames_.Valid(); }
  int Length() { return frames_.Producer().get_length(); }
  int Int(const std::string& name) { return frames_.Producer().get_int(name.c_str()); }
  std::string Text(const std::string& name) {
    const char* value = frames_.Producer().get(name.c_str());
    return value ? value : "";
  }
  /// The index of the first stream of `type` ("video", "audio"); -1 when there is none.
  int Stream(const std::string& type) {
    for (int i = 0; i < Int("meta.media.nb_streams"); ++i)
      if (Text("meta.media." + std::to_string(i) + ".stream.type") == type) return i;
    return -1;
  }
  /// Frame `position` as RGB, 8 bits a channel.
  std::vector<std::uint8_t> Picture(int position) { return frames_.Frame(position).bytes; }
  Rgb Pixel(int position, int x, int y) { return frames_.Frame(position).At(x, y); }
  int Peak(int position) { return frames_.Peak(position); }

 private:
  test::MltFrames frames_;
};

class RunRenderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { Mlt::Factory::init(); }

  RunResult Render(const std::string& project, const std::string& destination,
                   MissingMedia missing = MissingMedia::Fail, std::string from = "",
                   std::string to = "", TimecodeMode timecode = TimecodeMode::NtscDrop) {
    RenderJob job;
    job.source = folder.Path(project);
    job.destination = folder.Path(destination);
    job.software = SoftwareChoice::Automatic();
    job.missing = missing;
    job.from = std::move(from);
    job.to = std::move(to);
    job.timecode = timecode;
    NullObserver quiet;
    return RunRender(job, quiet);
  }

  /// Starts `pexol-cli render` with `arguments` in the folder as a process of its own, its
  /// standard error in err.txt and its files no larger than `fileLimit` bytes (0: as they come).
  pid_t StartRender(std::vector<std::string> arguments, rlim_t fileLimit = 0) const {
    arguments.insert(arguments.begin(), {PEXOL_CLI, "render"});
    const pid_t child = ::fork();
    if (child != 0) return child;
    const rlimit limit{fileLimit, fileLimit};
    if (::chdir(folder.Folder().c_str()) != 0 ||
        (fileLimit != 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0))
      ::_exit(99);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("err.txt", "w", stderr);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(PEXOL_CLI, argv.data());
    ::_exit(98);
  }

  /// The size of a run's temporary file in the folder; nullopt when there is none.
  std::optional<std::uintmax_t> TemporaryFile() const {
    for (const auto& entry : fs::directory_iterator(folder.Folder()))
      if (entry.path().filename().string().starts_with(".pexol-")) {
        std::error_code gone;  // renamed or removed since it was listed
        const std::uintmax_t size = fs::file_size(entry.path(), gone);
        return gone ? 0 : size;
      }
    return std::nullopt;
  }

  // The demo's media: movies of one colour each with a tone, images, sounds.
  void WriteDemoMedia() const {
    fs::create_directories(folder.Path("clips"));
    fs::create_directories(folder.Path("audio"));
    WriteMovie(folder.Path("clips/intro.avi"), "0xff0000ff", 310);
    WriteMovie(folder.Path("clips/scene2.AVI"), "0x00ff00ff", 490);
    WriteMovie(folder.Path("clips/outro.avi"), "0x0000ffff", 210);
    WriteMovie(folder.Path("clips/overlay.avi"), "0xffff00ff", 100);
    WriteImage(folder.Path("clips/sunset.jpg"), {255, 255, 255});
    WriteImage(folder.Path("clips/logo.png"), {255, 0, 255});
    WriteSound(folder.Path("audio/bgm.wav"), 310);
    WriteSound(folder.Path("audio/voice.wav"), 220);
    WriteSound(folder.Path("audio/effect.wav"), 40);
  }

  static Timeline TimelineOf(const build::Project& project) {
    const std::string bytes = build::BuildProject(project);
    NullObserver quiet;
    RunProgress progress(quiet);
    return BuildTimeline(ReadProject(test::AsBytes(bytes), {}, progress));
  }

  // A red colour clip of `frames` frames with a tone under it for its whole length.
  static build::Project RedWithTone(int frames) {
    build::Project project;
    const std::string red = build::ColorClipName(0, 1, 0, "FF0000", "", "", "");
    project.main = {{red, 0, frames - 1, 0, "", 0, 0, {}}};
    project.exAudio1 = {{"tone.wav", 0, frames - 1, 0, 100, 100, {}}};
    return project;
  }

  test::TempFolder folder;
};

TEST_F(RunRenderTest, DemoRendersItsTimelineFrameForFrameWithSoundProfileAndColours) {
  WriteDemoMedia();
  folder.Write("demo.mpj", build::BuildProject(build::DemoProject()));
  const RunResult result = Render("demo.mpj", "demo.mp4");
  ASSERT_TRUE(result.Completed()) << result.message;
  EXPECT_TRUE(result.warnings.empty());
  EXPECT_EQ(result.message.rfind("render completed", 0), 0u) << result.message;

  // As long as the exported document of the same timeline.
  const Timeline timeline = TimelineOf(build::DemoProject());
  LayoutRules rules = LayoutRulesFor(*ExportFormatNamed("mlt"));
  rules.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
  rules.resolve = [this](std::string_view name) {
    return MediaReference{std::string(name), folder.Path(std::string(name)), true};
  };
  const std::string exported =
      WriteMltWith(LayOutTimeline(timeline, rules), MltServices::DisplayFree);
  Mlt::Profile profile("dv_ntsc");
  Mlt::Producer document(profile, "xml-string", exported.c_str());
  ASSERT_TRUE(document.is_valid());
  const auto* outcome = result.OutcomeAs<RenderOutcome>();
  ASSERT_NE(outcome, nullptr);
  EXPECT_EQ(outcome->frames, document.get_length());
  EXPECT_NE(result.message.find("(" + std::to_string(document.get_length()) + " frames)"),
            std::string::npos);

  Rendered video(folder.Path("demo.mp4"));
  ASSERT_TRUE(video.Valid());
  EXPECT_EQ(video.Length(), document.get_length());
  const int v = video.Stream("video");
  const int a = video.Stream("audio");
  ASSERT_GE(v, 0);
  ASSERT_GE(a, 0);
  const std::string vs = "meta.media." + std::to_string(v) + ".codec.";
  const std::string as = "meta.media." + std::to_string(a) + ".codec.";
  EXPECT_EQ(video.Text(vs + "name"), "h264");
  EXPECT_EQ(video.Int(vs + "width"), 720);
  EXPECT_EQ(video.Int("meta.media.width"), 720);
  EXPECT_EQ(video.Int("meta.media.height"), 480);
  EXPECT_EQ(video.Int("meta.media.frame_rate_num"), 30000);
  EXPECT_EQ(video.Int("meta.media.frame_rate_den"), 1001);
  EXPECT_EQ(video.Int("meta.media.progressive"), 1);
  // The demo is 16:9: 720 pixels of 32:27.
  EXPECT_EQ(video.Int("meta.media.sample_aspect_num") * 27,
            video.Int("meta.media.sample_aspect_den") * 32);
  EXPECT_EQ(video.Text(as + "name"), "aac");
  EXPECT_EQ(video.Int(as + "sample_rate"), 48000);

  // The red intro, then the dissolve into the white still at its middle frame.
  EXPECT_TRUE(Near(video.Pixel(30, 360, 240), {255, 0, 0}));  // before the insert track
  ASSERT_FALSE(timeline.transitions.empty());
  const Transition& dissolve = timeline.transitions[0];
  ASSERT_EQ(dissolve.code, 'D');
  const auto middle = static_cast<int>(dissolve.recordIn.Value() + dissolve.length.Value() / 2);
  const Rgb mixed = video.Pixel(middle, 360, 240);
  EXPECT_GT(mixed.r, 200);
  EXPECT_GT(mixed.g, 60);
  EXPECT_LT(mixed.g, 200);
  EXPECT_GT(video.Peak(30), 3000);  // the intro's tone
}

TEST_F(RunRenderTest, PartOfAPalTimelineWithItsSoundToTheLastFrame) {
  WriteSound(folder.Path("tone.wav"), 200);
  folder.Write("red.mpj", build::BuildProject(RedWithTone(150)));
  const RunResult result =
      Render("red.mpj", "part.mov", MissingMedia::Fail, "00:00:01:00", "100", TimecodeMode::Pal);
  ASSERT_TRUE(result.Completed()) << result.message;
  Rendered video(folder.Path("part.mov"), true);
  ASSERT_TRUE(video.Valid());
  EXPECT_EQ(video.Length(), 75);
  EXPECT_EQ(video.Int("meta.media.width"), 720);
  EXPECT_EQ(video.Int("meta.media.height"), 576);
  EXPECT_EQ(video.Int("meta.media.frame_rate_num"), 25);
  EXPECT_EQ(video.Int("meta.media.sample_aspect_num") * 15,
            video.Int("meta.media.sample_aspect_den") * 16);  // 4:3
  EXPECT_TRUE(Near(video.Pixel(0, 360, 288), {255, 0, 0}));
  EXPECT_GT(video.Peak(1), 3000);
  EXPECT_GT(video.Peak(73), 3000);

  EXPECT_FALSE(Render("red.mpj", "x.mkv", MissingMedia::Fail, "120", "110").Completed());
  const RunResult badTime =
      Render("red.mpj", "x.mkv", MissingMedia::Fail, "00:00:01:25", "", TimecodeMode::Pal);
  EXPECT_FALSE(badTime.Completed());
  // The ends are named in words that fit the command line's options and the window's fields.
  EXPECT_NE(badTime.message.find("the first frame to render, \"00:00:01:25\", is neither"),
            std::string::npos)
      << badTime.message;
  // A label drop frame skips is named as one, with the labels on either side.
  const RunResult skipped = Render("red.mpj", "x.mkv", MissingMedia::Fail, "", "01:21:00;01");
  EXPECT_NE(skipped.message.find(
                "the frame to end before, \"01:21:00;01\", names no frame: drop frame timecode"),
            std::string::npos)
      << skipped.message;
  EXPECT_NE(skipped.message.find("either side are 01:20:59;29 and 01:21:00;02."), std::string::npos)
      << skipped.message;
  const RunResult tenth = Render("red.mpj", "x.mkv", MissingMedia::Fail, "00:10:00;00");
  EXPECT_NE(tenth.message.find("holds no frames"), std::string::npos) << tenth.message;
  const RunResult badContainer = Render("red.mpj", "x.avi");
  EXPECT_NE(badContainer.message.find(".mp4"), std::string::npos) << badContainer.message;
  EXPECT_FALSE(fs::exists(folder.Path("x.mkv")));
  EXPECT_FALSE(fs::exists(folder.Path("x.avi")));
}

TEST_F(RunRenderTest, MissingOrUndecodableMediaFailBeforeTheRenderOrRenderBlack) {
  folder.Write("red.mpj", build::BuildProject(RedWithTone(30)));
  folder.Write("out.mp4", "old");
  RunResult result = Render("red.mpj", "out.mp4");
  EXPECT_EQ(result.status, RunResult::Status::Failed);
  EXPECT_NE(result.message.find("[ExAudio1]\ntone.wav\n"), std::string::npos) << result.message;
  // What to do is data, which each front end words: no option in the run's message.
  EXPECT_EQ(result.remedy, Remedy::FindOrBlackOutMedia);
  EXPECT_EQ(result.message.find("--"), std::string::npos) << result.message;
  // A file that is there but is no media counts as missing.
  folder.Write("tone.wav", "not a sound");
  result = Render("red.mpj", "out.mp4");
  EXPECT_NE(result.message.find("does not decode"), std::string::npos) << result.message;
  EXPECT_EQ(folder.Read("out.mp4"), "old");
  EXPECT_EQ(folder.FileCount(), 3u);

  result = Render("red.mpj", "out.mkv", MissingMedia::Black);
  ASSERT_TRUE(result.Completed()) << result.message;
  ASSERT_EQ(result.warnings.size(), 1u);
  EXPECT_NE(result.warnings[0].find("\"tone.wav\""), std::string::npos) << result.warnings[0];
  Rendered video(folder.Path("out.mkv"));
  EXPECT_NEAR(video.Length(), 30, 1);  // Matroska states its length in milliseconds
  EXPECT_TRUE(Near(video.Pixel(10, 360, 240), {255, 0, 0}));
  EXPECT_LT(video.Peak(10), 100);  // silence where the sound was
}

// The window-less case: MLT's Qt services refuse to load without DISPLAY, so the render uses
// others; the command line is run with no display at all. A title's text shows over its image;
// a fade from 200 to 0 goes down in a straight line in amplitude, at the recorded level halfway.
TEST_F(RunRenderTest, StillsTitlesAndFadesRenderWithoutADisplay) {
  WriteImage(folder.Path("square.png"), {0, 255, 0});
  WriteImage(folder.Path("blue.png"), {0, 0, 255});
  WriteSound(folder.Path("tone.wav"), 270);
  build::Project project;
  const std::string black = build::ColorClipName(0, 1, 0, "000000", "", "", "");
  project.main = {{"square.png", 0, 59, 0, "still", 0, 0, {}}, {black, 0, 199, 0, "", 0, 0, {}}};
  project.exAudio1 = {{"tone.wav", 0, 59, 0, 100, 100, {}}, {"tone.wav", 60, 259, 60, 200, 0, {}}};
  build::Title title;
  title.begin = 70;
  title.elementKind = 0x200;
  build::TitleElement image;
  image.elementValue = 1;
  image.text = "blue.png";
  build::TitleElement text;
  text.text = "HELLO";
  text.fontName = "DejaVu Sans";
  text.fontSize = 60;
  title.elements = {text, image};
  project.titles = {title};
  project.titleTrack = 1;
  folder.Write("p.mpj", build::BuildProject(project));
  const std::string command = "cd '" + folder.Folder().string() + "' && env -u DISPLAY '" +
                              PEXOL_CLI + "' render p.mpj p.mp4 2>err.txt";
  ASSERT_EQ(std::system(command.c_str()), 0) << folder.Read("err.txt");
  Rendered video(folder.Path("p.mp4"));
  ASSERT_TRUE(video.Valid());
  EXPECT_TRUE(Near(video.Pixel(30, 360, 240), {0, 255, 0}));
  const std::vector<std::uint8_t> picture = video.Picture(120);
  int lit = 0;
  for (std::size_t i = 1; i < picture.size(); i += 3) lit += picture[i] > 160;
  EXPECT_GT(lit, 100);                                       // the title's text over its image,
  EXPECT_TRUE(Near(video.Pixel(120, 20, 20), {0, 0, 255}));  // which fills the 4:3 frame
  EXPECT_LT(video.Pixel(240, 360, 240).g, 40);               // the title is over

  const double full = video.Peak(30);
  ASSERT_GT(full, 8000);
  for (int frame : {50, 100, 150}) {
    const double level = 2 * (1 - frame / 199.0);
    EXPECT_NEAR(20 * std::log10(video.Peak(60 + frame) / full), 20 * std::log10(level), 1) << frame;
  }
}

// Names MLT's image loaders read as printf patterns of image sequences (and FFmpeg's reader as
// frame numbers or globs), in folder and file names: the render shows every still, and MLT
// loads both editors' exports at once (a loader that loops is stopped after a minute).
TEST_F(RunRenderTest, MediaNamedLikePatternsRenderAndLoadAtOnce) {
  build::Project project;
  std::vector<Rgb> colours;
  for (const std::string mark : {"%", "%d", "%%", "%s", "%$", "%03d", "%[1]"}) {
    for (const std::string& name : {"p/s" + mark + "x.bmp", "f" + mark + "x/still.bmp"}) {
      fs::create_directories(fs::path(folder.Path(name)).parent_path());
      const auto k = static_cast<int>(colours.size());
      colours.push_back(
          {static_cast<std::uint8_t>(40 + 14 * k), static_cast<std::uint8_t>(230 - 14 * k), 90});
      WriteBmp(folder.Path(name), colours.back());
      project.main.push_back({name, 0, 4, 0, "still", 0, 0, {}});
    }
  }
  fs::create_directories(folder.Path("m%d"));
  WriteMovie(folder.Path("m%d/m%d.avi"), "0xff0000ff", 30);
  project.main.push_back({"m%d/m%d.avi", 0, 29, 0, "", 100, 100, {}});
  folder.Write("p.mpj", build::BuildProject(project));

  const test::CliOutcome rendered =
      test::RunCli(PEXOL_CLI, folder, "render p.mpj p.mp4", "timeout 60");
  ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
  Rendered video(folder.Path("p.mp4"));
  ASSERT_TRUE(video.Valid());
  for (std::size_t k = 0; k < colours.size(); ++k)
    EXPECT_TRUE(Near(video.Pixel(static_cast<int>(5 * k + 2), 360, 240), colours[k], 12)) << k;
  EXPECT_TRUE(Near(video.Pixel(static_cast<int>(5 * colours.size() + 15), 360, 240), {255, 0, 0}));

  for (const std::string destination : {"p.mlt", "p.kdenlive"}) {
    const test::CliOutcome exported =
        test::RunCli(PEXOL_CLI, folder, "export p.mpj " + destination);
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    // MLT's Qt module (the editors' image loader) needs a display name even off screen.
    const std::string command = "DISPLAY=:99 QT_QPA_PLATFORM=offscreen timeout 60 '" +
                                std::string(PEXOL_MLT_PROBE) + "' '" + folder.Path(destination) +
                                "' >/dev/null 2>'" + folder.Path("probe.err") + "'";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(std::system(command.c_str()), 0) << destination << folder.Read("probe.err");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  }
  // The editor's document shows the stills too, each first asked for in its middle (the
  // frame-number patterns through the Qt image loader, which needs a display name).
  setenv("DISPLAY", ":99", 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  test::MltFrames shotcut("dv_ntsc", nullptr, folder.Path("p.mlt"));
  ASSERT_TRUE(shotcut.Valid());
  for (std::size_t k = 0; k < colours.size(); ++k)
    EXPECT_TRUE(Near(shotcut.Frame(static_cast<int>(5 * k + 2)).At(360, 240), colours[k], 12)) << k;
}

// A movie cut short (30 frames where the clip plays 60): the render completes, black from the
// movie's end, and says so, naming the clip and where it runs out.
TEST_F(RunRenderTest, AMovieShorterThanItsClipIsNamedInAWarning) {
  WriteMovie(folder.Path("short.avi"), "0xff0000ff", 30);
  build::Project project;
  project.main = {{"short.avi", 0, 59, 0, "", 100, 100, {}}};
  folder.Write("p.mpj", build::BuildProject(project));
  const RunResult result = Render("p.mpj", "p.mp4");
  ASSERT_TRUE(result.Completed()) << result.message;
  ASSERT_EQ(result.warnings.size(), 1u);
  EXPECT_NE(result.warnings[0].find("\"short.avi\" is 30 frames long, but the timeline plays it to "
                                    "frame 60"),
            std::string::npos)
      << result.warnings[0];
  Rendered video(folder.Path("p.mp4"));
  EXPECT_TRUE(Near(video.Pixel(10, 360, 240), {255, 0, 0}));
  EXPECT_LT(video.Pixel(50, 360, 240).r, 40);  // black from its end
}

// A movie and a still in a folder named in Shift-JIS ("素材"), found by the search: MLT's
// document, which is XML, cannot name them, so the render opens them through links.
TEST_F(RunRenderTest, MediaInAShiftJisFolderRenderThroughLinks) {
  const std::string shiftJis = "\x91\x66\x8d\xde";
  fs::create_directories(folder.Path("footage/" + shiftJis));
  WriteMovie(folder.Path("footage/" + shiftJis + "/take.avi"), "0xff0000ff", 30);
  WriteBmp(folder.Path("footage/" + shiftJis + "/still.bmp"), {0, 0, 255});
  build::Project project;
  project.main = {{"take.avi", 0, 29, 0, "", 100, 100, {}},
                  {"still.bmp", 0, 9, 0, "still", 0, 0, {}}};
  folder.Write("p.mpj", build::BuildProject(project));
  const test::CliOutcome rendered =
      test::RunCli(PEXOL_CLI, folder, "render p.mpj p.mp4 --search footage", "timeout 60");
  ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
  Rendered video(folder.Path("p.mp4"));
  ASSERT_TRUE(video.Valid());
  EXPECT_TRUE(Near(video.Pixel(15, 360, 240), {255, 0, 0}));
  EXPECT_TRUE(Near(video.Pixel(35, 360, 240), {0, 0, 255}));
  EXPECT_GT(video.Peak(15), 3000);
}

// What scripts and the window read: every line of standard error one JSON object, frames
// counting up to the total, warnings as objects and one result at the end; standard output
// stays empty.
TEST_F(RunRenderTest, JsonProgressIsOneObjectALineEndingWithTheResult) {
  WriteSound(folder.Path("tone.wav"), 30);
  folder.Write("red.mpj", build::BuildProject(RedWithTone(30)));
  folder.Write("gone.mpj", build::BuildProject(RedWithTone(30)));
  const auto objects = [](const std::string& err) {
    std::vector<nlohmann::json> read;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
      read.push_back(nlohmann::json::parse(line, nullptr, false));
      EXPECT_TRUE(read.back().is_object()) << line;
    }
    return read;
  };

  const test::CliOutcome done = test::RunCli(
      PEXOL_CLI, folder, "render red.mpj red.mkv --timecode pal --progress=json --software auto");
  ASSERT_EQ(done.exitCode, 0) << done.err;
  EXPECT_EQ(done.out, "");
  const auto read = objects(done.err);
  ASSERT_GE(read.size(), 3u) << done.err;
  long long lastFrame = -1;
  for (std::size_t i = 0; i + 1 < read.size(); ++i) {
    if (read[i].value("type", "") != "progress" || read[i].value("unit", "") != "frames") continue;
    EXPECT_GE(read[i].value("done", -1LL), lastFrame);
    EXPECT_EQ(read[i].value("total", 0LL), 30);
    lastFrame = read[i].value("done", -1LL);
  }
  EXPECT_EQ(lastFrame, 30) << done.err;
  const nlohmann::json& result = read.back();
  EXPECT_EQ(result.value("type", ""), "result");
  EXPECT_TRUE(result.value("success", false));
  EXPECT_EQ(result.value("status", ""), "completed");
  EXPECT_EQ(result.value("exit", -1), 0);
  EXPECT_EQ(result.value("frames", 0), 30);
  EXPECT_EQ(result.value("software", ""), "Corvane, Brisko");
  EXPECT_EQ(result.value("message", "").rfind("render completed", 0), 0u);

  // Media not found: rendered black with a warning object, or a failed result.
  fs::remove(folder.Path("tone.wav"));
  const test::CliOutcome black =
      test::RunCli(PEXOL_CLI, folder, "render gone.mpj black.mkv --progress=json --missing black");
  ASSERT_EQ(black.exitCode, 0) << black.err;
  const auto warned = objects(black.err);
  EXPECT_TRUE(std::any_of(warned.begin(), warned.end(), [](const nlohmann::json& object) {
    return object.value("type", "") == "warning" &&
           object.value("message", "").find("tone.wav") != std::string::npos;
  })) << black.err;
  const test::CliOutcome failed =
      test::RunCli(PEXOL_CLI, folder, "render gone.mpj failed.mkv --progress=json");
  EXPECT_EQ(failed.exitCode, 2);
  const auto end = objects(failed.err);
  ASSERT_FALSE(end.empty());
  EXPECT_FALSE(end.back().value("success", true));
  EXPECT_EQ(end.back().value("exit", -1), 2);
  EXPECT_NE(end.back().value("message", "").find("tone.wav"), std::string::npos);
  EXPECT_EQ(end.back().value("remedy", ""), "find-or-black-out-media");
  EXPECT_FALSE(fs::exists(folder.Path("failed.mkv")));

  // Plain lines name the percent reached, one percentage and one estimate a line (the
  // status adds the rate alone); "none" prints the result alone.
  const test::CliOutcome lines =
      test::RunCli(PEXOL_CLI, folder, "render gone.mpj lines.mkv --progress=lines --missing black");
  EXPECT_NE(lines.err.find("100%"), std::string::npos) << lines.err;
  std::istringstream lineList(lines.err);
  for (std::string line; std::getline(lineList, line);) {
    EXPECT_LE(std::count(line.begin(), line.end(), '%'), 1) << line;
    EXPECT_EQ(line.find(" left"), line.rfind(" left")) << line;
  }
  for (const nlohmann::json& object : read)
    EXPECT_EQ(object.value("status", "").find('%'), std::string::npos) << object;
  const test::CliOutcome none =
      test::RunCli(PEXOL_CLI, folder, "render gone.mpj none.mkv --progress=none --missing black");
  EXPECT_EQ(none.err.find('%'), std::string::npos) << none.err;
}

// Ctrl-C while the encoder writes: the partial file goes and the destination stays as it was.
TEST_F(RunRenderTest, InterruptedRenderRemovesItsPartialFileAndKeepsTheDestination) {
  WriteSound(folder.Path("tone.wav"), 20);
  folder.Write("long.mpj", build::BuildProject(RedWithTone(20000)));
  folder.Write("out.mp4", "old");
  const pid_t child = StartRender({"long.mpj", "out.mp4", "--missing", "black"});
  ASSERT_GE(child, 0);
  // Waits for the encoder to have written something, not for a time.
  int status = 0;
  bool writing = false;
  while (!writing && ::waitpid(child, &status, WNOHANG) == 0) {
    writing = TemporaryFile().value_or(0) > 0;
    if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(writing) << "the render ended before it was seen writing";
  ::kill(child, SIGINT);
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
  const std::string err = folder.Read("err.txt");
  EXPECT_NE(err.find("render stopped"), std::string::npos) << err;
  EXPECT_EQ(folder.Read("out.mp4"), "old");
  EXPECT_FALSE(TemporaryFile());
}

// SIGTERM or Ctrl-C while the encoder writes real media ends the render within a second, with
// "render stopped" and status 2, leaving neither the file nor a temporary one; also at a size
// whose encoder takes longer than that to give back the frames it holds.
TEST_F(RunRenderTest, ASignalStopsARenderOfMoviesWithinASecond) {
  WriteMovie(folder.Path("take.avi"), "0x00ff00ff", 300);
  build::Project project;
  for (int i = 0; i < 30; ++i) project.main.push_back({"take.avi", 0, 299, 0, "", 0, 0, {}});
  folder.Write("takes.mpj", build::BuildProject(project));
  for (const auto& [signal, size] : {std::pair{SIGTERM, "sd"}, std::pair{SIGINT, "1080p"}}) {
    SCOPED_TRACE(size);
    fs::remove(folder.Path("err.txt"));  // the last run's must not pass for this one's
    const pid_t child = StartRender({"takes.mpj", "out.mp4", "--size", size, "--progress=json"});
    ASSERT_GE(child, 0);
    // Signalled once frames have been encoded, not after a time.
    int status = 0;
    while (folder.Read("err.txt").find("\"unit\":\"frames\"") == std::string::npos &&
           ::waitpid(child, &status, WNOHANG) == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the render ended before the signal";
    const auto signalled = std::chrono::steady_clock::now();
    ::kill(child, signal);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const auto took = std::chrono::steady_clock::now() - signalled;
    const std::string err = folder.Read("err.txt");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status << err;
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_NE(err.find("\"message\":\"render stopped"), std::string::npos) << err;
    EXPECT_FALSE(TemporaryFile());
    EXPECT_FALSE(fs::exists(folder.Path("out.mp4")));
  }
}

// SIGTERM ends a render within a second, with its temporary file gone, also while MLT's image
// loader is in a call that does not return for seconds: an SVG (under a still's name, which
// the loader reads by its content) of nested blurs over the whole picture.
TEST_F(RunRenderTest, ASignalEndsARenderWithinASecondEvenInALoader) {
  std::string blurs;
  for (int i = 0; i < 20; ++i) blurs += "<g filter='url(#b)'>";
  blurs += "<rect width='800' height='800' fill='red'/>";
  for (int i = 0; i < 20; ++i) blurs += "</g>";
  folder.Write("sunset.png",
               "<svg xmlns='http://www.w3.org/2000/svg' width='800' height='800'><defs><filter "
               "id='b'><feGaussianBlur stdDeviation='200'/></filter></defs>" +
                   blurs + "</svg>");
  build::Project project;
  project.main = {{"sunset.png", 0, 19999, 0, "still", 0, 0, {}}};
  folder.Write("stuck.mpj", build::BuildProject(project));
  const pid_t child = StartRender({"stuck.mpj", "out.mp4"});
  ASSERT_GE(child, 0);
  int status = 0;
  while (!TemporaryFile() && ::waitpid(child, &status, WNOHANG) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  // Past the destination's opening, into the loading of the media.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the render ended before the signal";
  const auto signalled = std::chrono::steady_clock::now();
  ::kill(child, SIGTERM);
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  const auto took = std::chrono::steady_clock::now() - signalled;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status << folder.Read("err.txt");
  EXPECT_LT(took, std::chrono::seconds(1));
  EXPECT_FALSE(TemporaryFile());
  EXPECT_FALSE(fs::exists(folder.Path("out.mp4")));
}

// The encoder's writes fail part-way (here a file-size limit, as a full disk would): the run
// fails, and neither a short file nor the temporary one is left.
TEST_F(RunRenderTest, AWriteFailureMidwayFailsTheRender) {
  WriteSound(folder.Path("tone.wav"), 20);
  folder.Write("long.mpj", build::BuildProject(RedWithTone(600)));
  folder.Write("out.mp4", "old");
  const pid_t child = StartRender({"long.mpj", "out.mp4", "--missing", "black"}, 16 * 1024);
  ASSERT_GE(child, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0 && WEXITSTATUS(status) < 98) << status;
  EXPECT_TRUE(folder.Read("out.mp4") == "old");  // not a short video
  EXPECT_FALSE(TemporaryFile());
}

// The amplitude (0 to 1) of the tone of `frequency` in the left channel of NTSC frame `frame`
// of 16-bit stereo samples at 48 kHz: over 1600 samples, which hold whole periods of the tones
// measured (multiples of 30 Hz), so that one tone does not count in the other's.
double ToneAmplitude(const std::string& samples, int frequency, int frame) {
  constexpr int window = 1600;
  const auto first = static_cast<std::size_t>(std::llround(frame * 48000.0 * 1001 / 30000));
  if (samples.size() < (first + window) * 4) return -1;
  double re = 0, im = 0;
  for (int n = 0; n < window; ++n) {
    const std::size_t at = (first + std::size_t(n)) * 4;
    const auto value = static_cast<std::int16_t>(static_cast<unsigned char>(samples[at]) |
                                                 static_cast<unsigned char>(samples[at + 1]) << 8);
    const double phase = 2 * M_PI * frequency * n / 48000;
    re += value * std::cos(phase);
    im += value * std::sin(phase);
  }
  return 2 * std::hypot(re, im) / window / 32768;
}

// The sound of two sounding clips cross-fades under the dissolve between them, in a line in
// amplitude, the two summing to the clips' level; beside a silent still it cuts on the cut.
TEST_F(RunRenderTest, SoundCrossFadesUnderADissolveAndCutsBesideASilentClip) {
  WriteMovie(folder.Path("a.avi"), "0xff0000ff", 120, 600);
  WriteMovie(folder.Path("b.avi"), "0x0000ffff", 120, 1200);
  WriteImage(folder.Path("white.png"), {255, 255, 255});
  build::Project project;
  project.main = {{"a.avi", 0, 99, 0, "", 100, 100, {}},
                  {"b.avi", 0, 99, 0, "", 100, 100, {}},
                  {"white.png", 0, 59, 0, "still", 0, 0, {}}};
  // a.avi to 80, dissolving into b.avi over 80 to 99; b.avi to 160, then into the still.
  build::Effect into, out;
  into.clipIndex = 0;
  into.clipLength = 80;
  into.name = out.name = "Dissolve";
  out.clipIndex = 1;
  out.clipLength = 80;
  project.effects = {into, out};
  folder.Write("p.mpj", build::BuildProject(project));
  const RunResult result = Render("p.mpj", "p.mp4");
  ASSERT_TRUE(result.Completed()) << result.message;
  const std::string samples = test::DecodedSound(folder.Path("p.mp4"));
  const double a = ToneAmplitude(samples, 600, 40), b = ToneAmplitude(samples, 1200, 120);
  ASSERT_GT(a, 0.2);
  ASSERT_GT(b, 0.2);
  for (int frame : {83, 89, 95}) {
    const double in = (frame - 80) / 20.0;
    const double outgoing = ToneAmplitude(samples, 600, frame) / a;
    const double incoming = ToneAmplitude(samples, 1200, frame) / b;
    EXPECT_NEAR(outgoing, 1 - in, 0.1) << frame;
    EXPECT_NEAR(incoming, in, 0.1) << frame;
    EXPECT_NEAR(outgoing + incoming, 1, 0.1) << frame;
  }
  EXPECT_LT(ToneAmplitude(samples, 600, 103) / a, 0.05);
  EXPECT_NEAR(ToneAmplitude(samples, 1200, 157) / b, 1, 0.1);
  for (int frame : {162, 170}) EXPECT_LT(ToneAmplitude(samples, 1200, frame) / b, 0.05) << frame;
}

}  // namespace
}  // namespace pexol
