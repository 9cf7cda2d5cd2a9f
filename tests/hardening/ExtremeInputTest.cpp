// tests/hardening/ExtremeInputTest.cpp - NUL bytes, largest values, longest texts, most clips
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "check/MediaCheck.h"
#include "core/RunFailure.h"
#include "fuzz/FuzzInputs.h"
#include "fuzz/Invariants.h"
#include "hardening/AllocationMeter.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::ConvertToProject;
using test::ConvertToText;
using namespace std::chrono_literals;

std::size_t CountOf(const std::string& text, std::string_view part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(ExtremeInputTest, NulBytesInNamesPassThroughAndAreNeverFoundOnDisk) {
  // Each name is "/" and a NUL: cut at the NUL it would name the root folder, which exists.
  const auto name = [](std::string_view ending) {
    return std::string("/\0", 2) + std::string(ending);
  };
  build::Project shape;
  shape.main = {{name(".avi"), 0, 9, 0, "", 0, 0, {}},
                {name(".jpg"), 0, 9, 0, std::string("i\0", 2), 0, 0, {}}};
  shape.insert = {{name(".png"), 0, 9, 4, "", 0, 0, {}}};
  shape.exAudio1 = {{name(".wav"), 0, 9, 0, 0, 0, {}}};
  build::TitleElement element;
  element.elementValue = 1;
  element.text = name(".bmp");
  element.fontName = std::string("f\0", 2);
  build::Title title;
  title.elements = {element};
  shape.titles = {title};
  shape.bin = {{std::string("g\0", 2), name(".avi"), 0, 9, 48000, 16}};
  const std::string project = build::BuildProject(shape);

  const std::string text = ConvertToText(project, Software::CorvaneBrisko);
  EXPECT_EQ(ConvertToProject(text, project, Software::CorvaneBrisko), project);

  ByteWriter report;
  NullObserver quiet;
  const MediaCheckSummary summary = ScanProjectMedia(
      test::AsBytes(project), Software::CorvaneBrisko, MediaFileExists, report, quiet);
  EXPECT_EQ(summary.missingCount, 6);
}

// Every count, size and string length of a project set to its largest values in turn, at every
// offset: each run ends, keeps its invariants and stays within a fixed memory.
TEST(ExtremeInputTest, EveryFieldAtItsLargestValueEndsTheRunsInBoundedMemory) {
  const fuzz::FixedProject& seed = fuzz::FixedProjects()[0];
  constexpr std::uint32_t largest[] = {0x7FFFFFFF, 0xFFFFFFFF, 0x80000000};
  std::size_t peak = 0;
  const auto check = [&](const std::string& project, std::size_t offset) {
    const test::AllocationMeter meter;
    const auto bytes = fuzz::AsBytes(project);
    const Software software = seed.software;
    EXPECT_EQ(fuzz::CheckProjectToText(bytes, {software}), std::nullopt) << "at " << offset;
    EXPECT_EQ(fuzz::CheckTextToProject(bytes, seed.text, software), std::nullopt)
        << "at " << offset;
    EXPECT_EQ(fuzz::CheckMediaWalk(bytes, software, false), std::nullopt) << "at " << offset;
    peak = std::max(peak, meter.PeakBytes());
  };
  for (std::size_t offset = 0; offset < seed.bytes.size(); ++offset) {
    for (std::uint32_t value : largest) {
      std::string project = seed.bytes;
      for (std::size_t i = 0; i < 4 && offset + i < project.size(); ++i)
        project[offset + i] = static_cast<char>(value >> (8 * i));
      check(project, offset);
    }
    std::string longForm = seed.bytes;  // a counted string's length byte 255, then any length
    longForm[offset] = '\xFF';
    check(longForm, offset);
  }
  EXPECT_LT(peak, 1u << 20);
}

TEST(ExtremeInputTest, TitleTextsOf65535BytesComeBackAndOneMoreIsRefused) {
  build::TitleElement element;
  element.text = std::string(65535, 'x');
  element.fontName = std::string(65535, 'f');
  build::Title title;
  title.elements = {element};
  build::Project shape;
  shape.main = {{"a.avi", 0, 9, 0, "", 0, 0, {}}};
  shape.titles = {title};
  const std::string project = build::BuildProject(shape);

  const std::string text = ConvertToText(project, Software::CorvaneBrisko);
  EXPECT_EQ(ConvertToProject(text, project, Software::CorvaneBrisko), project);
  const std::string longer = test::ReplaceOnce(text, element.text, element.text + "x");
  try {
    ConvertToProject(longer, project, Software::CorvaneBrisko);
    ADD_FAILURE() << "a text of 65536 bytes was written";
  } catch (const RunFailure& failure) {
    EXPECT_STREQ(failure.what(),
                 "line 14: a text of 65536 bytes is longer than a project can hold (65535 bytes).");
  }
}

TEST(ExtremeInputTest, AHundredThousandClipsConvertBothWays) {
  constexpr int clips = 100000;
  build::Project shape;
  const std::string colour = build::ColorClipName(1, 1, 2, "FF0000", "00FF00", "0000FF", "FFFFFF");
  for (int i = 0; i < clips; ++i) {
    const std::string index = std::to_string(i);
    if (i % 3 == 0) shape.main.push_back({"m" + index + ".avi", i, i + 9, 0, "", 1, 1, {{i, 7}}});
    if (i % 3 == 1) shape.main.push_back({"s" + index + ".jpg", 0, 9, 0, "s", 0, 0, {}});
    if (i % 3 == 2) shape.main.push_back({colour, 0, 9, 0, "", 0, 0, {}});
    shape.bin.push_back({"b" + index, "b" + index + ".wav", 0, i, 44100, 16});
  }
  const std::string project = build::BuildProject(shape);

  const auto start = std::chrono::steady_clock::now();
  test::RecordingObserver observer;
  ByteWriter text;
  ProjectToText(test::AsBytes(project), {}, text, observer);
  EXPECT_EQ(observer.lastDone, 200);
  EXPECT_EQ(CountOf(text.Bytes(), " MAIN "), static_cast<std::size_t>(clips));
  EXPECT_EQ(ConvertToProject(text.Bytes(), project, Software::CorvaneBrisko), project);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 60s);
}

TEST(ExtremeInputTest, ALineOfManyLevelPointsIsReadInOnePass) {
  build::Project shape;
  shape.main = {{"a.avi", 0, 9, 0, "", 0, 0, {}}};
  const std::string project = build::BuildProject(shape);
  const std::string text = ConvertToText(project, Software::CorvaneBrisko);
  std::string points;
  for (int i = 0; i < 300000; ++i) points += "," + std::to_string(i) + "=7";
  const std::string edited =
      test::ReplaceOnce(text, "levelpoint(in=0,out=0)", "levelpoint(in=0,out=0" + points + ")");

  // Reading each field from the start of the line took minutes here; one pass takes a moment.
  const auto start = std::chrono::steady_clock::now();
  const std::string rebuilt = ConvertToProject(edited, project, Software::CorvaneBrisko);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_EQ(test::TextPart(ConvertToText(rebuilt, Software::CorvaneBrisko)),
            test::TextPart(edited));
}

}  // namespace
}  // namespace pexol
