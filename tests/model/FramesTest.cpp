// tests/model/FramesTest.cpp - frame arithmetic at the ends of the 32-bit range
#include "model/Frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace pexol {
namespace {

constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t small = std::numeric_limits<std::int32_t>::min();

TEST(Frames, SumsAndDifferencesWrapAtThirtyTwoBits) {
  EXPECT_EQ((Frames(big) + 1).Value(), small);
  EXPECT_EQ((Frames(small) - 1).Value(), big);
  EXPECT_EQ((Frames(0) - small).Value(), small);  // the layout's trim of a clip at the minimum
  EXPECT_EQ((Frames(small) - big).Value(), 1);
  EXPECT_EQ((Frames(big) - small).Value(), -1);
  EXPECT_EQ((2 * Frames(big)).Value(), -2);
  EXPECT_EQ((2 * Frames(small)).Value(), 0);
  EXPECT_EQ(Frames::Wrapped(std::int64_t{big} * 3).Value(), big - 2);
  Frames cursor = big;
  cursor += big;
  EXPECT_EQ(cursor.Value(), -2);
  cursor -= small;
  EXPECT_EQ(cursor.Value(), big - 1);
}

TEST(Frames, HalfRoundsTowardZeroAndOrderIsSigned) {
  EXPECT_EQ(Frames(small).Half().Value(), small / 2);
  EXPECT_EQ(Frames(-3).Half().Value(), -1);
  EXPECT_EQ(Frames(big).Half().Value(), big / 2);
  EXPECT_LT(Frames(small), Frames(0));
  EXPECT_GT(Frames(big), Frames(small));
  EXPECT_EQ(std::max(Frames(-5), Frames(3)), Frames(3));
}

TEST(Frames, LastFrameIsCountedWithoutWrapping) {
  EXPECT_EQ(LastFrame(Frames(10), Frames(5)), 14);
  EXPECT_EQ(LastFrame(Frames(0)), -1);
  EXPECT_EQ(LastFrame(Frames(big), Frames(big)), 2 * std::int64_t{big} - 1);
  EXPECT_EQ(LastFrame(Frames(small), Frames(small)), 2 * std::int64_t{small} - 1);
}

}  // namespace
}  // namespace pexol
