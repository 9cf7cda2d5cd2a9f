// edl/Timecode.cpp - drop frame labelling and the four timecode layouts
#include "edl/Timecode.h"

#include <algorithm>
#include <limits>

#include "edl/NumberText.h"

namespace pexol {
namespace {

// Drop frame labels repeat every ten minutes: 18000 labels, of which 18 are skipped (labels
// 00 and 01 of minutes 1 to 9), so 17982 frames.
constexpr std::int64_t labelsPerTenMinutes = 18000;
constexpr std::int64_t framesPerTenMinutes = 17982;
constexpr std::int64_t labelsPerMinute = 1800;
constexpr std::int64_t framesPerDroppingMinute = 1798;
constexpr std::int64_t droppedPerMinute = 2;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  const std::int64_t quotient = value / divisor;
  return (value % divisor < 0) ? quotient - 1 : quotient;
}

// How many labels a counter stepping up through the labels passes before reaching `label`,
// counted from label 0 (negative below it). Equals the frame of `label` when it is not skipped.
std::int64_t FramesBeforeLabel(std::int64_t label) {
  const std::int64_t block = FloorDiv(label, labelsPerTenMinutes);
  const std::int64_t offset = label - block * labelsPerTenMinutes;
  std::int64_t inBlock = offset;
  if (offset > labelsPerMinute) {
    const std::int64_t minute = offset / labelsPerMinute;
    const std::int64_t rest = offset % labelsPerMinute;
    inBlock = labelsPerMinute + (minute - 1) * framesPerDroppingMinute +
              std::max<std::int64_t>(rest - droppedPerMinute, 0);
  }
  return block * framesPerTenMinutes + inBlock;
}

// The inverse: the label that frame `frame` (counted as above) carries.
std::int64_t LabelOfFrame(std::int64_t frame) {
  const std::int64_t block = FloorDiv(frame, framesPerTenMinutes);
  const std::int64_t inBlock = frame - block * framesPerTenMinutes;
  std::int64_t offset = inBlock;
  if (inBlock >= labelsPerMinute) {
    const std::int64_t rest = inBlock - labelsPerMinute;
    offset = labelsPerMinute * (1 + rest / framesPerDroppingMinute) + droppedPerMinute +
             rest % framesPerDroppingMinute;
  }
  return block * labelsPerTenMinutes + offset;
}

void AppendClock(std::string& text, std::int32_t value, std::int32_t perSecond, char frameMark) {
  const std::int32_t perMinute = perSecond * 60;
  const std::int32_t perHour = perMinute * 60;
  detail::AppendZeroPadded(text, value / perHour, 2);
  text += ':';
  detail::AppendZeroPadded(text, value / perMinute % 60, 2);
  text += ':';
  detail::AppendZeroPadded(text, value / perSecond % 60, 2);
  text += frameMark;
  detail::AppendZeroPadded(text, value % perSecond, 2);
}

void AppendSeconds(std::string& text, std::int32_t frames, std::int32_t perSecond) {
  detail::AppendZeroPadded(text, frames / perSecond % 60, 2);
  text += ':';
  detail::AppendZeroPadded(text, frames % perSecond, 2);
}

}  // namespace

std::int32_t DropFrameLabel(std::int32_t frame) {
  if (frame <= 0) return 0;
  constexpr std::int32_t maxLabel = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t minLabel = std::numeric_limits<std::int32_t>::min();
  // The 32-bit counter runs up to maxLabel (not a skipped label), then wraps to minLabel
  // (not skipped either) and carries on skipping by the wrapped value.
  const std::int64_t lastUnwrapped = FramesBeforeLabel(maxLabel);
  if (frame <= lastUnwrapped) return static_cast<std::int32_t>(LabelOfFrame(frame));
  const std::int64_t wrappedFrame = FramesBeforeLabel(minLabel) + (frame - lastUnwrapped - 1);
  return static_cast<std::int32_t>(LabelOfFrame(wrappedFrame));
}

void AppendTimecode(std::string& text, TimecodeMode mode, std::int32_t frame) {
  switch (mode) {
    case TimecodeMode::NtscDrop:
      AppendClock(text, DropFrameLabel(frame), 30, ';');
      return;
    case TimecodeMode::Pal:
      AppendClock(text, frame, 25, ':');
      return;
    case TimecodeMode::NtscNonDrop:
      AppendClock(text, frame, 30, ':');
      return;
    case TimecodeMode::Frame:
      break;
  }
  detail::AppendSpacePadded(text, frame, 6);
}

void AppendDuration(std::string& text, TimecodeMode mode, std::int32_t frames) {
  switch (mode) {
    case TimecodeMode::NtscDrop:
    case TimecodeMode::NtscNonDrop:
      AppendSeconds(text, frames, 30);
      return;
    case TimecodeMode::Pal:
      AppendSeconds(text, frames, 25);
      return;
    case TimecodeMode::Frame:
      break;
  }
  detail::AppendSpacePadded(text, frames, 5);
}

std::string FormatTimecode(TimecodeMode mode, std::int32_t frame) {
  std::string text;
  AppendTimecode(text, mode, frame);
  return text;
}

std::string FormatDuration(TimecodeMode mode, std::int32_t frames) {
  std::string text;
  AppendDuration(text, mode, frames);
  return text;
}

}  // namespace pexol
