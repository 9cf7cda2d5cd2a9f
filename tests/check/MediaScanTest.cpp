// tests/check/MediaScanTest.cpp - which names the walk tests, its report, list and progress
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "check/MediaCheck.h"
#include "core/RunFailure.h"
#include "run/RunMessages.h"
#include "support/SoftwareChosen.h"
#include "tests/check/CheckProjects.h"
#include "tools/builder/Bytes.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using build::Project;
using namespace test;

std::span<const std::uint8_t> AsBytes(std::string_view bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

class Recorder : public RunObserver {
 public:
  void Status(std::string_view line) override { statuses.emplace_back(line); }
  void Progress(int done, int total) override {
    EXPECT_GE(done, steps);  // the bar never goes back
    EXPECT_EQ(total, 200);
    steps = done;
  }
  std::vector<std::string> statuses;
  int steps = 0;
};

struct Outcome {
  MediaCheckSummary summary;
  std::string report;
  std::vector<std::string> tested;
  Recorder observer;
};

// Runs the walk with every name in `present` found and all others missing.
Outcome Scan(std::string_view bytes, build::Software software, std::set<std::string> present = {}) {
  Outcome out;
  const MediaExists exists = [&](std::string_view name) {
    out.tested.emplace_back(name);
    return present.contains(std::string(name));
  };
  ByteWriter report;
  out.summary = ScanProjectMedia(AsBytes(bytes), static_cast<Software>(software), exists, report,
                                 out.observer);
  out.report = report.TakeBytes();
  return out;
}

Outcome Scan(const Project& project, std::set<std::string> present = {}) {
  return Scan(build::BuildProject(project), project.software, std::move(present));
}

TEST(MediaScanTest, TestsMediaNamesOnlyAndReportsThemBySection) {
  const std::string colour = build::ColorClipName(1, 2, 3, "ff0000", "00ff00", "0000ff", "ffffff");
  Project p;  // 0x207 "Corvane, Brisko": every section, filter blocks included
  p.main = {ClipNamed("a.avi"), ClipNamed("b.jpg"), ClipNamed(colour), ClipNamed("notes.txt"),
            ClipNamed("c.AVI")};
  p.insert = {ClipNamed(colour), ClipNamed("d.avi"), ClipNamed("e.png")};
  p.exAudio1 = {AudioNamed("voice.wav"), AudioNamed("tone.clr")};
  p.exAudio2 = {AudioNamed("x")};
  p.effects.resize(1);
  p.effects[0].name = "Dissolve";
  p.effects[0].parameterBytes = 6;
  p.effects[0].words = {1, 2};
  p.titles = {TitleOf({Element(1, "logo.bmp"), Element(0, "caption")})};
  p.mainFilters.resize(1);
  p.mainFilters[0].hasBlock1 = p.mainFilters[0].hasBlock3 = 1;
  p.mainFilters[0].block1 = "abcd";
  p.mainFilters[0].block3 = "xy";
  p.exAudio2Filters.resize(1);
  p.exAudio2Filters[0].filters = {{"Echo", "12345"}};
  p.bin = {{"A", "f.avi"}, {colour, colour}, {"B", "music.wav"}, {"C", "g.tif"}};

  const Outcome out = Scan(p, {"b.jpg", "d.avi", "x", "music.wav"});
  EXPECT_EQ(out.tested,
            (std::vector<std::string>{"a.avi", "b.jpg", "c.AVI", "d.avi", "e.png", "voice.wav",
                                      "tone.clr", "x", "logo.bmp", "f.avi", "music.wav", "g.tif"}));
  EXPECT_EQ(out.report,
            "[MainAV]\r\na.avi\r\nc.AVI\r\n[InsertAV]\r\ne.png\r\n[ExAudio1]\r\nvoice.wav\r\n"
            "tone.clr\r\n[ExAudio2]\r\n[Title]\r\nlogo.bmp\r\n[BinWindow]\r\nf.avi\r\ng.tif\r\n");
  EXPECT_EQ(out.summary.missingCount, 8);
  EXPECT_EQ(out.observer.steps, 200);
  for (const char* status : {"[MainAV] 5 / 5", "[InsertAV] 3 / 3", "[ExAudio] 2 / 2",
                             "[ExAudio] 1 / 1", "[Effect] 1 / 1", "[Title] 1 / 1",
                             "[FilterVisual] 5 / 5", "[FilterAudio] 1 / 1", "[BinWindow] 4 / 4"})
    EXPECT_NE(std::find(out.observer.statuses.begin(), out.observer.statuses.end(), status),
              out.observer.statuses.end())
        << status;
  EXPECT_EQ(out.observer.statuses.back(), "");
}

TEST(MediaScanTest, TitleElementIsTestedOnlyWithValueOne) {
  const std::string longName = std::string(296, 'L') + ".bmp";  // needs the 255 escape
  struct Case {
    std::uint16_t version;
    build::Software software;
    std::uint16_t elementKind;
    bool tested;
  };
  for (const Case c : {Case{0x207, build::Software::CorvaneBrisko, 0, true},
                       Case{0x207, build::Software::CorvaneBrisko, 0x300, false},
                       Case{0x205, build::Software::CorvaneBrisko, 0, false},
                       Case{0x205, build::Software::Lumetta, 0, true},
                       Case{0x207, build::Software::Lumetta, 0, true}}) {
    Project p = ProjectOf(c.version, c.software, {ClipNamed("a.avi")});
    p.titles = {TitleOf({Element(1, "logo.bmp"), Element(0, "plain.bmp"), Element(1, longName)},
                        c.elementKind)};
    const Outcome out = Scan(p, {"a.avi"});
    const std::vector<std::string> expected =
        c.tested ? std::vector<std::string>{"a.avi", "logo.bmp", longName}
                 : std::vector<std::string>{"a.avi"};
    EXPECT_EQ(out.tested, expected) << std::hex << c.version << " kind " << c.elementKind;
  }
}

TEST(MediaScanTest, ListStopsAfterNineteenNamesButCountAndReportKeepAll) {
  Project p;
  for (int i = 0; i < 24; ++i) p.main.push_back(ClipNamed("m" + std::to_string(i) + ".avi"));
  p.main.push_back(ClipNamed("m0.avi"));  // the same file twice counts twice
  const Outcome out = Scan(p);

  std::string list = "[MainAV]\n";
  std::string report = "[MainAV]\r\n";
  for (int i = 0; i < 24; ++i) {
    if (i < 19) list += "m" + std::to_string(i) + ".avi\n";
    report += "m" + std::to_string(i) + ".avi\r\n";
  }
  list += "e.t.c..\n[InsertAV]\n[ExAudio1]\n[ExAudio2]\n[Title]\n[BinWindow]\n";
  report += "m0.avi\r\n[InsertAV]\r\n[ExAudio1]\r\n[ExAudio2]\r\n[Title]\r\n[BinWindow]\r\n";
  EXPECT_EQ(out.summary.missingCount, 25);
  EXPECT_EQ(out.summary.missingList, list);
  EXPECT_EQ(out.report, report);
  EXPECT_EQ(MediaCheckMessage("p.mpj", out.summary.missingCount, out.summary.missingList),
            "complete\n\np.mpj\n\n25 files undetected\n\n" + list + "\n");
}

TEST(MediaScanTest, CompletionMessageForms) {
  EXPECT_EQ(MediaCheckMessage("p.mpj", 0, "[MainAV]\n"), "complete\n\np.mpj\n\n0 file undetected");
  EXPECT_EQ(MediaCheckMessage("p.mpj", 1, "[MainAV]\na.avi\n"),
            "complete\n\np.mpj\n\n1 file undetected\n\n[MainAV]\na.avi\n\n");
}

TEST(MediaScanTest, SectionsThatAreAbsentStillMakeTwoHundredSteps) {
  Project old = ProjectOf(0x1FF, build::Software::CorvaneBrisko, {ClipNamed("a.avi")});
  old.bin = {{"A", "b.avi"}};
  const Outcome oldOut = Scan(old);
  EXPECT_EQ(oldOut.report,
            "[MainAV]\r\na.avi\r\n[InsertAV]\r\n[ExAudio1]\r\n[ExAudio2]\r\n"
            "[BinWindow]\r\nb.avi\r\n");
  EXPECT_EQ(oldOut.observer.steps, 200);

  Project noMain;
  noMain.bin = {{"A", "b.avi"}};
  noMain.titles = {TitleOf({Element(1, "never.bmp")})};  // not written with no main clips
  const Outcome noMainOut = Scan(noMain);
  EXPECT_EQ(noMainOut.tested, std::vector<std::string>{"b.avi"});
  EXPECT_EQ(noMainOut.report,
            "[MainAV]\r\n[InsertAV]\r\n[ExAudio1]\r\n[ExAudio2]\r\n[Title]\r\n"
            "[BinWindow]\r\nb.avi\r\n");
  EXPECT_EQ(noMainOut.observer.steps, 200);

  // Negative counts read no records, yet their sections' shares are stepped.
  const std::string negative = build::Bytes{}
                                   .Word(0x0200)
                                   .Word(0)
                                   .Dword(-2)
                                   .Dword(-1)
                                   .Dword(48000)
                                   .Dword(-5)
                                   .Dword(-1)
                                   .Dword(0)
                                   .Dword(-3)
                                   .Dword(-4)
                                   .data;
  const Outcome negativeOut = Scan(negative, build::Software::CorvaneBrisko);
  EXPECT_EQ(negativeOut.summary.missingCount, 0);
  EXPECT_EQ(negativeOut.observer.steps, 200);
}

TEST(MediaScanTest, ProjectCutShortFailsInsteadOfCompleting) {
  const Project demo = build::DemoProject();
  const std::string bytes = build::BuildProject(demo);
  // Everything but the option block (three dwords and its text) is read.
  const std::size_t walked = bytes.size() - 13 - demo.optionText.size();
  for (std::size_t cut = 0; cut < walked; ++cut)
    EXPECT_THROW(Scan(std::string_view(bytes).substr(0, cut), demo.software), ProjectEndsEarly)
        << cut;
  EXPECT_NO_THROW(Scan(std::string_view(bytes).substr(0, walked), demo.software));

  try {
    Scan(std::string_view(bytes).substr(0, 30), demo.software);
    ADD_FAILURE() << "a project cut in its first clip was walked to the end";
  } catch (const ProjectEndsEarly& e) {
    EXPECT_EQ(e.Where(), "[MainAV] record 1 of " + std::to_string(demo.main.size()));
  }
}

}  // namespace
}  // namespace pexol

namespace pexol {
namespace {

TEST(MediaScanTest, AutomaticSoftwareChoiceFollowsTheCheckWalk) {
  // A clip of no known kind stops every conversion, but the check still walks the project.
  build::Project shape;
  shape.software = build::Software::Lumetta;
  shape.main.push_back({"a.avi", 0, 9, 0, "", 0, 0, {}});
  shape.main.push_back({"song.mp3", 0, 0, 0, "", 0, 0, {}});
  shape.bin.push_back({"b", "b.avi", 0, 9, 48000, 16});
  const std::string project = build::BuildProject(shape);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(project.data()),
                                            project.size());
  EXPECT_EQ(ChooseSoftware(bytes), std::nullopt);
  EXPECT_EQ(ChooseSoftware(bytes, UnknownClips::Keep), Software::Lumetta);
  shape.software = build::Software::CorvaneBrisko;
  shape.main.pop_back();
  const std::string plain = build::BuildProject(shape);
  EXPECT_EQ(ChooseSoftware({reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()},
                           UnknownClips::Keep),
            Software::CorvaneBrisko);
}

}  // namespace
}  // namespace pexol
