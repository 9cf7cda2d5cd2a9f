// tests/edl/EdlEndToEndTest.cpp - the EDL a whole to-text run appends to a built project
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>

#include "EdlTestProjects.h"
#include "convert/ProjectToText.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

build::Clip MakeClip(std::string name, std::int32_t in, std::int32_t out, bool audio) {
  build::Clip clip;
  clip.name = std::move(name);
  clip.in = in;
  clip.out = out;
  clip.levelIn = audio ? 100 : 0;  // a movie with any audio level carries audio
  return clip;
}

build::Effect MakeEffect(std::int32_t clipIndex, std::int32_t clipLength, std::string name) {
  build::Effect effect;
  effect.clipIndex = clipIndex;
  effect.clipLength = clipLength;
  effect.name = std::move(name);
  return effect;
}

build::Project EndToEndProject() {
  build::Project project;  // version 0x207, so the filter records are read too
  project.main.push_back(MakeClip("a.avi", 100, 249, true));
  project.main.push_back(MakeClip("b.avi", 0, 299, false));
  project.main.push_back(MakeClip(
      build::ColorClipName(0, 1, 0, "FFFFFF", "000000", "000000", "000000"), 0, 89, false));
  build::Clip insert = MakeClip("i.avi", 10, 39, true);
  insert.begin = 200;
  project.insert.push_back(insert);
  build::ExAudioClip music;
  music.name = "m.wav";
  music.out = 599;
  project.exAudio1.push_back(music);
  project.effects.push_back(MakeEffect(0, 120, "Dissolve"));
  project.effects.push_back(MakeEffect(1, 285, "Wipe"));
  return project;
}

std::string EdlOf(const build::Project& project, TimecodeMode mode, bool csv) {
  const std::string bytes = build::BuildProject(project);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  ToTextOptions options;
  options.timecode = mode;
  options.csv = csv;
  ByteWriter text;
  NullObserver observer;
  ProjectToText(std::span(data, bytes.size()), options, text, observer);
  const std::string& all = text.Bytes();
  const std::string end = "[END]\r\n\r\n\r\n\r\n\r\n";
  const auto at = all.find(end);
  return at == std::string::npos ? std::string() : all.substr(at + end.size());
}

TEST(EdlEndToEnd, ProjectToTextAppendsTheExampleEdl) {
  EXPECT_EQ(EdlOf(EndToEndProject(), TimecodeMode::Frame, false), test::exampleFrameEdl);
  EXPECT_EQ(EdlOf(EndToEndProject(), TimecodeMode::NtscDrop, true), test::exampleCsvEdl);
}

TEST(EdlEndToEnd, SlowFilterMakesAClipHalfSpeed) {
  build::Project project = EndToEndProject();
  project.mainFilters.resize(1);
  project.mainFilters[0].slow = 1;
  const std::string edl = EdlOf(project, TimecodeMode::Frame, false);
  EXPECT_NE(edl.find("001 MAIN  V S  C            100      220        0      270   a.avi\r\n"
                     "001 MAIN  V    D     30       0      285      270      555   b.avi\r\n"),
            std::string::npos)
      << edl;
}

TEST(EdlEndToEnd, EmptyMainTrackLeavesTheHeadingAlone) {
  EXPECT_EQ(EdlOf(build::Project{}, TimecodeMode::Pal, false),
            "Event                    Source                      Recorder\r\n"
            "                         IN            OUT           IN            OUT\r\n");
}

}  // namespace
}  // namespace pexol
