// tests/edl/TimecodeTest.cpp - timecode and duration texts, and drop frame labels against stepping
#include "edl/Timecode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace pexol {
namespace {

constexpr std::int32_t maxFrame = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t minFrame = std::numeric_limits<std::int32_t>::min();

// One step of the drop frame counter: labels 00 and 01 of each minute not divisible by ten
// are skipped. The label is kept unsigned so that it wraps at 32 bits like the original counter.
std::uint32_t StepLabel(std::uint32_t label) {
  ++label;
  const auto value = static_cast<std::int32_t>(label);
  if (value % 1800 == 0 && value % 18000 != 0) label += 2;
  return label;
}

// The labelling as the applications define it: start from the table row, then step.
std::int32_t SteppedLabel(std::int32_t frame) {
  struct Row {
    std::int32_t frame;
    std::int32_t label;
  };
  constexpr Row rows[] = {{300000, 300300}, {250000, 250252}, {200000, 200200},
                          {150000, 150150}, {100000, 100100}, {50000, 50050}};
  std::int32_t n = 0;
  std::uint32_t label = 0;
  for (const Row& row : rows) {
    if (row.frame <= frame) {
      n = row.frame;
      label = static_cast<std::uint32_t>(row.label);
      break;
    }
  }
  for (; n < frame; ++n) label = StepLabel(label);
  return static_cast<std::int32_t>(label);
}

TEST(DropFrameLabel, EqualsCounterSteppedFromZero) {
  for (std::int32_t frame = -10; frame <= 0; ++frame) ASSERT_EQ(DropFrameLabel(frame), 0) << frame;
  std::uint32_t label = 0;
  for (std::int32_t frame = 1; frame <= 400000; ++frame) {
    label = StepLabel(label);
    ASSERT_EQ(DropFrameLabel(frame), static_cast<std::int32_t>(label)) << frame;
  }
}

TEST(DropFrameLabel, EqualsTableStartAroundEveryThreshold) {
  for (std::int32_t threshold : {50000, 100000, 150000, 200000, 250000, 300000}) {
    for (std::int32_t frame = threshold - 20; frame <= threshold + 20; ++frame) {
      ASSERT_EQ(DropFrameLabel(frame), SteppedLabel(frame)) << frame;
    }
  }
  EXPECT_EQ(DropFrameLabel(250000), 250252);
}

TEST(DropFrameLabel, KeepsSteppingAcrossTheThirtyTwoBitWrap) {
  // The counter passes the largest int32 label near frame 2145336000 and goes on from the
  // smallest; step through that point up to the last frame.
  std::int32_t frame = 2145000000;
  std::uint32_t label = static_cast<std::uint32_t>(DropFrameLabel(frame));
  bool wrapped = false;
  while (frame < maxFrame) {
    ++frame;
    label = StepLabel(label);
    wrapped = wrapped || static_cast<std::int32_t>(label) < 0;
    ASSERT_EQ(DropFrameLabel(frame), static_cast<std::int32_t>(label)) << frame;
  }
  EXPECT_TRUE(wrapped);
}

TEST(FormatTimecode, NtscDropFrame) {
  constexpr auto mode = TimecodeMode::NtscDrop;
  EXPECT_EQ(FormatTimecode(mode, 0), "00:00:00;00");
  EXPECT_EQ(FormatTimecode(mode, 29), "00:00:00;29");
  EXPECT_EQ(FormatTimecode(mode, 1799), "00:00:59;29");
  EXPECT_EQ(FormatTimecode(mode, 1800), "00:01:00;02");
  EXPECT_EQ(FormatTimecode(mode, 17982), "00:10:00;00");
  EXPECT_EQ(FormatTimecode(mode, 107891), "00:59:59;29");
  EXPECT_EQ(FormatTimecode(mode, 107892), "01:00:00;00");
  EXPECT_EQ(FormatTimecode(mode, 250000), "02:19:01;22");
  EXPECT_EQ(FormatTimecode(mode, -1), "00:00:00;00");
  EXPECT_EQ(FormatTimecode(mode, minFrame), "00:00:00;00");
}

TEST(FormatTimecode, PalAndNonDropKeepSignsAndHours) {
  EXPECT_EQ(FormatTimecode(TimecodeMode::Pal, 1499), "00:00:59:24");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Pal, 90000), "01:00:00:00");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Pal, -1), "00:00:00:-1");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Pal, -30), "00:00:-1:-5");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Pal, minFrame), "-23860:-55:-45:-23");
  EXPECT_EQ(FormatTimecode(TimecodeMode::NtscNonDrop, 107999), "00:59:59:29");
  EXPECT_EQ(FormatTimecode(TimecodeMode::NtscNonDrop, 108000), "01:00:00:00");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Pal, 9000000), "100:00:00:00");
  EXPECT_EQ(FormatTimecode(TimecodeMode::NtscNonDrop, 10800000), "100:00:00:00");
}

TEST(FormatTimecode, FrameCountIsRightAlignedAndNeverCut) {
  EXPECT_EQ(FormatTimecode(TimecodeMode::Frame, 42), "    42");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Frame, -7), "    -7");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Frame, 1234567), "1234567");
  EXPECT_EQ(FormatTimecode(TimecodeMode::Frame, minFrame), "-2147483648");
}

TEST(FormatDuration, SecondsAndFramesWithoutMinutes) {
  EXPECT_EQ(FormatDuration(TimecodeMode::NtscDrop, 45), "01:15");
  EXPECT_EQ(FormatDuration(TimecodeMode::NtscNonDrop, 45), "01:15");
  EXPECT_EQ(FormatDuration(TimecodeMode::Pal, 45), "01:20");
  EXPECT_EQ(FormatDuration(TimecodeMode::Frame, 45), "   45");
  EXPECT_EQ(FormatDuration(TimecodeMode::NtscDrop, 1830), "01:00");
  EXPECT_EQ(FormatDuration(TimecodeMode::NtscNonDrop, 1800), "00:00");
  EXPECT_EQ(FormatDuration(TimecodeMode::Pal, -26), "-1:-1");
}

}  // namespace
}  // namespace pexol
