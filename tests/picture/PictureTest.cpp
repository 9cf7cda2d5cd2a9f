// tests/picture/PictureTest.cpp - the timeline picture read back as XML: boxes, red, the CLI
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>

#include "core/RunObserver.h"
#include "model/Timeline.h"
#include "picture/RunPicture.h"
#include "picture/ScenePosters.h"
#include "picture/TimelineMarks.h"
#include "probe/PosterFrames.h"
#include "support/Conversions.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

struct Box {
  double x = 0, y = 0, width = 0;
  std::string fill, title, kind;  ///< kind: the class, "clip" or "clip missing"
};

/// Every clip box of an SVG document by its id; fails the test when the text is not XML.
std::map<std::string, Box> BoxesOf(const std::string& svg) {
  std::map<std::string, Box> boxes;
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
      xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "picture.svg", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR),
      &xmlFreeDoc);
  if (!document) {
    ADD_FAILURE() << "the picture is not XML";
    return boxes;
  }
  const auto text = [](xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string copy = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return copy;
  };
  const std::function<void(xmlNode*)> walk = [&](xmlNode* node) {
    for (; node != nullptr; node = node->next) {
      if (node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST "rect") &&
          text(node, "class").starts_with("clip")) {
        Box box{std::stod(text(node, "x")),
                std::stod(text(node, "y")),
                std::stod(text(node, "width")),
                text(node, "fill"),
                "",
                text(node, "class")};
        xmlChar* content = xmlNodeGetContent(node);  // the <title> inside
        box.title = reinterpret_cast<const char*>(content);
        xmlFree(content);
        boxes[text(node, "id")] = box;
      }
      walk(node->children);
    }
  };
  walk(xmlDocGetRootElement(document.get()));
  return boxes;
}

class PictureTest : public testing::Test {
 protected:
  PictureTest() {
    shape.main = {Clip("here.avi", 0, 99), Clip("gone.avi", 20, 79), Clip("here.avi", 0, 29)};
    shape.insert = {Clip("moved/logo.png", 10, 49, 40)};
    shape.exAudio1 = {{"bgm.wav", 0, 59, 15, 100, 100, {}}};
    folder.Write("here.avi", "x");
    std::filesystem::create_directories(folder.Path("elsewhere"));
    folder.Write("elsewhere/logo.png", "x");
    folder.Write("bgm.wav", "x");
    folder.Write("p.mpj", build::BuildProject(shape));
    NullObserver quiet;
    RunProgress progress(quiet);
    bytes = build::BuildProject(shape);
    timeline = BuildTimeline(ReadProject(test::AsBytes(bytes), {}, progress));
  }
  static build::Clip Clip(std::string name, std::int32_t in, std::int32_t out,
                          std::int32_t begin = 0) {
    build::Clip clip;
    clip.name = std::move(name);
    clip.in = in;
    clip.out = out;
    clip.begin = begin;
    clip.levelIn = 100;  // the main clips have sound
    if (clip.name.ends_with(".png")) clip.stillInfo = "still";
    return clip;
  }

  test::TempFolder folder;
  build::Project shape;
  std::string bytes;
  Timeline timeline;
};

TEST_F(PictureTest, EveryClipIsABoxAsLongAsItLastsAndMissingMediaIsRed) {
  PictureJob job;
  job.source = folder.Path("p.mpj");
  job.destination = folder.Path("p.svg");
  job.pixelsPerFrame = 0.5;
  job.searchFolders = {folder.Path("elsewhere")};
  NullObserver quiet;
  const RunResult result = RunPicture(job, quiet);
  ASSERT_TRUE(result.Completed()) << result.message;
  // The project's clips, the missing one once: its sound is drawn, and marked, but no clip.
  EXPECT_NE(result.message.find("5 clips, 1 not found"), std::string::npos) << result.message;

  const auto boxes = BoxesOf(folder.Read("p.svg"));
  const auto expectBox = [&](const std::string& id, const TimelineItem& item) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(boxes.contains(id));
    const Box& box = boxes.at(id);
    EXPECT_DOUBLE_EQ(box.x, pictureTrackLabelWidth + item.recordIn.Value() * 0.5);
    EXPECT_DOUBLE_EQ(box.width, (item.recordOut - item.recordIn).Value() * 0.5);
  };
  ASSERT_EQ(timeline.main.size(), 3u);
  for (std::size_t i = 0; i < timeline.main.size(); ++i) {
    expectBox("main-" + std::to_string(i), timeline.main[i]);
    expectBox("sound-" + std::to_string(i), timeline.main[i]);
  }
  expectBox("insert-0", timeline.insert[0]);
  expectBox("exaudio1-0", timeline.exAudio[0][0]);
  // Back to back on the main row; the rows lie one under another.
  EXPECT_DOUBLE_EQ(boxes.at("main-0").x + boxes.at("main-0").width, boxes.at("main-1").x);
  EXPECT_LT(boxes.at("insert-0").y, boxes.at("main-0").y);
  EXPECT_LT(boxes.at("main-0").y, boxes.at("sound-0").y);
  EXPECT_LT(boxes.at("sound-0").y, boxes.at("exaudio1-0").y);

  // Only the file found nowhere is marked; the search folder found the moved logo.
  EXPECT_EQ(boxes.at("main-1").kind, "clip missing");
  EXPECT_EQ(boxes.at("sound-1").kind, "clip missing");
  EXPECT_NE(boxes.at("main-1").title.find("gone.avi"), std::string::npos);
  EXPECT_NE(boxes.at("main-1").title.find("missing"), std::string::npos);
  for (const char* found : {"main-0", "main-2", "insert-0", "exaudio1-0"})
    EXPECT_EQ(boxes.at(found).kind, "clip") << found;
}

// The elements a window draws the picture from are the document's: each box where the SVG puts
// it, with its fill and its line.
TEST_F(PictureTest, TheDrawingHandedToAWindowIsTheDocumentItWrites) {
  PictureJob job;
  job.source = folder.Path("p.mpj");
  job.destination = folder.Path("p.svg");
  TimelinePicture handed;
  job.onPicture = [&handed](const TimelinePicture& picture) { handed = picture; };
  NullObserver quiet;
  ASSERT_TRUE(RunPicture(job, quiet).Completed());
  EXPECT_EQ(handed.drawing.name, "svg");
  const auto boxes = BoxesOf(folder.Read("p.svg"));
  std::size_t found = 0;
  const std::function<void(const SvgElement&)> visit = [&](const SvgElement& element) {
    const auto box = boxes.find(std::string(element.Get("id")));
    if (element.name == "rect" && box != boxes.end()) {
      ++found;
      EXPECT_DOUBLE_EQ(std::stod(std::string(element.Get("x"))), box->second.x);
      EXPECT_EQ(element.Get("fill"), box->second.fill);
      ASSERT_FALSE(element.children.empty());
      EXPECT_NE(box->second.title.find(element.children.front().text), std::string::npos);
    }
    for (const SvgElement& child : element.children) visit(child);
  };
  visit(handed.drawing);
  EXPECT_EQ(found, boxes.size());
  EXPECT_EQ(found, handed.boxes.size());
}

// Missing media look like nothing a colour clip can be (even a red one): hatched and crossed,
// labelled "missing"; the ruler labels round timecodes, and a cut name ends in "…".
TEST(PictureMarksTest, MissingMediaRulerAndCutNames) {
  build::Project shape;
  const std::string red = build::ColorClipName(0, 1, 0, "D62728", "", "", "");
  shape.main = {{red, 0, 1799, 0, "", 0, 0, {}},
                {"a-rather-long-name-of-a-file.avi", 0, 1799, 0, "", 100, 100, {}}};
  const std::string bytes = build::BuildProject(shape);
  NullObserver quiet;
  RunProgress progress(quiet);
  const Timeline timeline = BuildTimeline(ReadProject(test::AsBytes(bytes), {}, progress));
  PictureSettings settings;
  settings.pixelsPerFrame = 0.1;
  const auto found = [](std::string_view stored) { return !stored.ends_with(".avi"); };
  const TimelinePicture picture = DrawTimeline(timeline, found, settings);
  const std::string& svg = picture.svg;
  EXPECT_EQ(picture.missingCount, 1);  // the clip; its sound is part of it
  std::size_t marks = 0;
  for (std::size_t at = svg.find("missing-mark"); at != std::string::npos;
       at = svg.find("missing-mark", at + 1))
    ++marks;
  EXPECT_EQ(marks, 2u);
  const auto boxes = BoxesOf(svg);
  EXPECT_EQ(boxes.at("main-0").kind, "clip");  // the red colour clip
  EXPECT_EQ(boxes.at("main-1").kind, "clip missing");
  EXPECT_NE(svg.find(">missing: a-rather"), std::string::npos);
  EXPECT_NE(svg.find("\xE2\x80\xA6</text>"), std::string::npos);  // cut with "…"
  EXPECT_EQ(svg.find("file.avi</text>"), std::string::npos);

  // Drop frame: the minute's first frame is 00:01:00;02, frame 1800; a label every 30 s.
  const std::vector<RulerTick> ticks = RulerTicks(3600, TimecodeMode::NtscDrop, 0.1, 80);
  std::map<std::int64_t, std::string> labels;
  for (const RulerTick& tick : ticks)
    if (!tick.label.empty()) labels[tick.frame] = tick.label;
  ASSERT_EQ(labels.size(), 5u);
  EXPECT_EQ(labels[0], "00:00:00;00");
  EXPECT_EQ(labels[900], "00:00:30;00");
  EXPECT_EQ(labels[1800], "00:01:00;02");
  EXPECT_EQ(labels[2698], "00:01:30;00");
  EXPECT_GT(ticks.size(), labels.size());  // ticks between the labels
  // An hour at a pixel a second: labels a few minutes apart, never closer than 90 pixels.
  const std::vector<RulerTick> hour = RulerTicks(90000, TimecodeMode::Pal, 1.0 / 25);
  std::int64_t previous = -1;
  for (const RulerTick& tick : hour) {
    if (tick.label.empty()) continue;
    EXPECT_EQ(tick.frame % (25 * 60), 0) << tick.label;
    if (previous >= 0) {
      EXPECT_GE((tick.frame - previous) / 25.0, 90) << tick.label;
    }
    previous = tick.frame;
  }
  EXPECT_EQ(FittedLabel("abcdef", 6 * 11 * 0.6, 11), "abcdef");
  EXPECT_EQ(FittedLabel("abcdefg", 6 * 11 * 0.6, 11), "abcde\xE2\x80\xA6");
}

// Clips that reach billions of frames (a damaged project can hold any numbers): the picture is
// drawn at the scale that fits the widest picture, its ruler and hatching bounded by the pixels,
// and the run says so.
TEST(PictureBoundsTest, AHugeFrameSpanIsDrawnSmallerAndSaysSo) {
  const test::TempFolder folder;
  build::Project shape;
  shape.main = {{"here.avi", 0, 99, 0, "", 100, 100, {}}};
  shape.insert = {{"far.avi", 0, 99, 2'000'000'000, "", 0, 0, {}}};
  shape.exAudio1 = {{"gone.wav", 0, 1'999'999'999, 0, 1, 1, {}}};  // missing: hatched
  folder.Write("here.avi", "x");
  folder.Write("far.mpj", build::BuildProject(shape));
  PictureJob job;
  job.source = folder.Path("far.mpj");
  job.destination = folder.Path("far.svg");
  job.pixelsPerFrame = 2;
  NullObserver quiet;
  const RunResult result = RunPicture(job, quiet);
  ASSERT_TRUE(result.Completed()) << result.message;
  const std::string joined = [&] {
    std::string all;
    for (const std::string& warning : result.warnings) all += warning + "\n";
    return all;
  }();
  EXPECT_NE(joined.find("the timeline is 2000000100 frames long: drawn at 4.99e-05 pixels per "
                        "frame instead of 2, so that the picture is no wider than 100000 pixels."),
            std::string::npos)
      << joined;

  const std::string svg = folder.Read("far.svg");
  EXPECT_LT(svg.size(), 8u << 20);
  const auto boxes = BoxesOf(svg);
  ASSERT_EQ(boxes.size(), 4u);
  const Box& far = boxes.at("insert-0");
  EXPECT_LE(far.x + far.width, pictureMaxWidth - 20 + 0.01);
  EXPECT_GT(far.x, pictureMaxWidth - 21);
  std::size_t lines = 0;
  for (std::size_t at = svg.find("<line"); at != std::string::npos; at = svg.find("<line", at + 1))
    ++lines;
  EXPECT_LT(lines, pictureMaxWidth / 18);
  EXPECT_NE(svg.find(" width=\"100000\""), std::string::npos);
  EXPECT_EQ(boxes.at("exaudio1-0").kind, "clip missing");
  EXPECT_GT(boxes.at("exaudio1-0").width, 99000);

  // The ruler alone, at any scale: its labels never closer than asked, so never more of them
  // than the width holds.
  for (const TimecodeMode mode : {TimecodeMode::NtscDrop, TimecodeMode::Frame}) {
    for (const double scale : {1e-9, 1e-5, 4e-5}) {
      const std::vector<RulerTick> ticks = RulerTicks(4'000'000'000, mode, scale);
      const double width = std::min(4e9 * scale, double{INT32_MAX} * scale);
      EXPECT_LE(ticks.size(), static_cast<std::size_t>(width / 18) + 6) << scale;
      EXPECT_GE(ticks.size(), 1u);
      for (const RulerTick& tick : ticks) EXPECT_LE(tick.frame, INT32_MAX);
    }
  }
}

TEST_F(PictureTest, AStoppedOrFailedRunLeavesTheDestination) {
  folder.Write("p.svg", "old");
  class Stopping final : public RunObserver {
   public:
    void Status(std::string_view) override {}
    void Progress(int, int) override {}
    bool StopRequested() const override { return true; }
  } stopping;
  PictureJob job;
  job.source = folder.Path("p.mpj");
  job.destination = folder.Path("p.svg");
  EXPECT_EQ(RunPicture(job, stopping).status, RunResult::Status::Stopped);
  job.source = folder.Path("none.mpj");
  NullObserver quiet;
  EXPECT_EQ(RunPicture(job, quiet).status, RunResult::Status::Failed);
  EXPECT_EQ(folder.Read("p.svg"), "old");
}

TEST_F(PictureTest, TheCommandLineWritesTheSamePictureAtTheChosenScale) {
  // A name with markup characters and Shift-JIS bytes reaches the document as text.
  shape.main[0].name = "a&b<\x83\x5e>.avi";
  folder.Write("odd.mpj", build::BuildProject(shape));
  const std::string command = std::string(PEXOL_CLI) + " picture '" + folder.Path("odd.mpj") +
                              "' '" + folder.Path("odd.svg") +
                              "' --scale 2 --timecode pal 2>/dev/null >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string svg = folder.Read("odd.svg");
  const auto boxes = BoxesOf(svg);
  ASSERT_EQ(boxes.size(), 8u);  // 3 main, their sound, 1 insert, 1 extra audio
  for (std::size_t i = 0; i < timeline.main.size(); ++i)
    EXPECT_DOUBLE_EQ(boxes.at("main-" + std::to_string(i)).width,
                     (timeline.main[i].recordOut - timeline.main[i].recordIn).Value() * 2.0);
  EXPECT_NE(boxes.at("main-0").title.find("a&b<\xE3\x82\xBF>.avi"), std::string::npos);
  EXPECT_NE(svg.find(">00:00:02:00<"), std::string::npos);  // the ruler in PAL timecode
}

// A movie red for a second and blue after it, a still, and a file FFmpeg cannot read, through
// one run of the media program: a frame a time, as small PNGs, kept by file and time; asked
// again, the cache answers without the program (which now fails at once).
TEST(PosterFramesTest, EachTimeItsFrameOnceThenFromTheCache) {
  test::TempFolder folder;
  setenv("XDG_CACHE_HOME", folder.Path("cache").c_str(), 1);
  const std::string make =
      "ffmpeg -v error -y -f lavfi -i color=c=red:size=720x480:rate=30000/1001:d=1 -f lavfi -i "
      "color=c=blue:size=720x480:rate=30000/1001:d=1 -filter_complex concat=n=2 -c:v dvvideo "
      "-pix_fmt yuv411p '" +
      folder.Path("two.avi") + "' && ffmpeg -v error -y -f lavfi -i color=c=green:size=64x48 " +
      "-frames:v 1 '" + folder.Path("still.png") + "'";
  ASSERT_EQ(std::system(make.c_str()), 0);
  folder.Write("broken.avi", "RIFF not a movie");
  const std::vector<PosterRequest> requests = {{folder.Path("two.avi"), 0},
                                               {folder.Path("two.avi"), 1500000},
                                               {folder.Path("still.png"), std::nullopt},
                                               {folder.Path("broken.avi"), 0},
                                               {folder.Path("two.avi"), 0}};
  setenv("PEXOL_RENDER", PEXOL_RENDER_PROGRAM, 1);
  const std::vector<std::string> posters = PosterFrames(requests, {});
  ASSERT_EQ(posters.size(), requests.size());
  // DV's pixels are narrower than square: 720 of them are 640 wide.
  EXPECT_EQ(PngSize(posters[0]).width, posterWidth);
  EXPECT_EQ(PngSize(posters[0]).height, 120);
  EXPECT_NE(posters[0], posters[1]);
  EXPECT_EQ(posters[0], posters[4]);
  EXPECT_EQ(PngSize(posters[2]).width, 64);
  EXPECT_TRUE(posters[3].empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("cache/pexol/posters")),
                          std::filesystem::directory_iterator()),
            4);

  setenv("PEXOL_RENDER", "/bin/false", 1);
  EXPECT_EQ(PosterFrames(requests, {}), posters);
  // A medium changed since is decoded again: here by a program that fails, so it has none.
  folder.Write("still.png", "changed");
  EXPECT_TRUE(PosterFrames({requests[2]}, {})[0].empty());
  unsetenv("PEXOL_RENDER");
  unsetenv("XDG_CACHE_HOME");

  EXPECT_EQ(PngDataUrl("Man"), "data:image/png;base64,TWFu");
  EXPECT_EQ(PngDataUrl("Ma"), "data:image/png;base64,TWE=");
  EXPECT_EQ(PngDataUrl("M"), "data:image/png;base64,TQ==");
  EXPECT_EQ(PngSize("not a png at all, really not").width, 0);
}

// With media found the picture asks for posters only with the option; with none found, the
// option changes nothing.
TEST_F(PictureTest, PostersAreOnlyAskedForAndNeverDrawnWithoutMedia) {
  setenv("XDG_CACHE_HOME", folder.Path("cache").c_str(), 1);
  setenv("PEXOL_RENDER", "/bin/false", 1);
  PictureJob job;
  job.source = folder.Path("p.mpj");
  job.destination = folder.Path("plain.svg");
  NullObserver quiet;
  ASSERT_TRUE(RunPicture(job, quiet).Completed());
  job.destination = folder.Path("posters.svg");
  job.posters = true;
  ASSERT_TRUE(RunPicture(job, quiet).Completed());
  // here.avi is found but holds no movie: no poster, the same picture byte for byte.
  EXPECT_EQ(folder.Read("plain.svg"), folder.Read("posters.svg"));
  EXPECT_EQ(folder.Read("plain.svg").find("<image"), std::string::npos);
  unsetenv("PEXOL_RENDER");
  unsetenv("XDG_CACHE_HOME");
}

}  // namespace
}  // namespace pexol
