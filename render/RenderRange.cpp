// render/RenderRange.cpp - frame numbers and timecodes to a range of the timeline
#include "render/RenderRange.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <tuple>
#include <vector>

#include "core/Translation.h"

namespace pexol {

namespace {

std::optional<std::int64_t> Number(std::string_view text) {
  std::int64_t value = 0;
  if (text.empty() || text.size() > 10) return std::nullopt;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (code != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

using TimecodeFieldValues = std::array<std::int64_t, 4>;

// Hours, minutes, seconds and frames of "hh:mm:ss:ff" (';' or ':' between any of them), each
// in its range for `mode`'s rate; nullopt when `text` is no such timecode.
std::optional<TimecodeFieldValues> TimecodeFields(std::string_view text, TimecodeMode mode) {
  if (mode == TimecodeMode::Frame) return std::nullopt;
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ':' || text[i] == ';') {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (parts.size() != 4) return std::nullopt;
  TimecodeFieldValues field{};
  for (std::size_t i = 0; i < 4; ++i) {
    const auto value = Number(parts[i]);
    if (!value) return std::nullopt;
    field[i] = *value;
  }
  const std::int64_t base = mode == TimecodeMode::Pal ? 25 : 30;
  if (field[1] > 59 || field[2] > 59 || field[3] >= base) return std::nullopt;
  return field;
}

// Drop frame labels skip 00 and 01 of every minute not divisible by ten.
bool SkippedByDropFrame(const TimecodeFieldValues& field) {
  return field[2] == 0 && field[3] < 2 && field[1] % 10 != 0;
}

std::string DropFrameLabel(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                           std::int64_t frames) {
  char text[48];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld;%02lld", static_cast<long long>(hours),
                static_cast<long long>(minutes), static_cast<long long>(seconds),
                static_cast<long long>(frames));
  return text;
}

}  // namespace

std::optional<std::int64_t> ParseFramePosition(std::string_view text, TimecodeMode mode) {
  std::optional<std::int64_t> result;
  if (text.find_first_of(":;") == std::string_view::npos) {
    result = Number(text);
  } else if (const auto field = TimecodeFields(text, mode)) {
    const std::int64_t base = mode == TimecodeMode::Pal ? 25 : 30;
    const std::int64_t minutes = (*field)[0] * 60 + (*field)[1];
    result = (minutes * 60 + (*field)[2]) * base + (*field)[3];
    if (mode == TimecodeMode::NtscDrop) {
      if (SkippedByDropFrame(*field)) return std::nullopt;
      *result -= 2 * (minutes - minutes / 10);
    }
  }
  if (result && *result > INT32_MAX) return std::nullopt;
  return result;
}

// The words name the range's ends as both the command line's --from and --to and the window's
// fields say them: the first frame to render and the frame to end before.
std::string PositionError(const std::string& from, const std::string& to, TimecodeMode mode) {
  for (const bool first : {true, false}) {
    const std::string& text = first ? from : to;
    if (text.empty() || ParseFramePosition(text, mode)) continue;
    const auto field = TimecodeFields(text, mode);
    if (field && mode == TimecodeMode::NtscDrop && SkippedByDropFrame(*field)) {
      const std::int64_t hours = (*field)[0], minutes = (*field)[1];
      const std::string before = DropFrameLabel(hours, minutes - 1, 59, 29);
      const std::string after = DropFrameLabel(hours, minutes, 0, 2);
      // TRANSLATORS: {1} and {2} are timecodes.
      if (first)
        return Say(
            "the first frame to render, \"{0}\", names no frame: drop frame timecode skips the "
            "labels ;00 and ;01 at the start of each minute but every tenth; the labels on "
            "either side are {1} and {2}.",
            text, before, after);
      return Say(
          "the frame to end before, \"{0}\", names no frame: drop frame timecode skips the "
          "labels ;00 and ;01 at the start of each minute but every tenth; the labels on either "
          "side are {1} and {2}.",
          text, before, after);
    }
    if (first)
      return Say(
          "the first frame to render, \"{0}\", is neither a frame number nor a timecode in the "
          "project's rate (hh:mm:ss:ff, or hh:mm:ss;ff in drop frame).",
          text);
    return Say(
        "the frame to end before, \"{0}\", is neither a frame number nor a timecode in the "
        "project's rate (hh:mm:ss:ff, or hh:mm:ss;ff in drop frame).",
        text);
  }
  return {};
}

std::optional<FrameRange> RangeOf(std::int64_t length, const std::string& from,
                                  const std::string& to, TimecodeMode mode, std::int64_t maxFrames,
                                  std::string& error) {
  FrameRange range{0, length};
  error = PositionError(from, to, mode);
  if (!error.empty()) return std::nullopt;
  if (!from.empty()) range.first = *ParseFramePosition(from, mode);
  if (!to.empty()) range.end = *ParseFramePosition(to, mode);
  if (range.end > length) range.end = length;
  if (range.first >= range.end) {
    error = SayN(length,
                 "the range to render holds no frames: the timeline is {0} frame long, and the "
                 "range starts at frame {1} and ends before frame {2}.",
                 "the range to render holds no frames: the timeline is {0} frames long, and the "
                 "range starts at frame {1} and ends before frame {2}.",
                 length, range.first, range.end);
    return std::nullopt;
  }
  if (range.end - range.first > maxFrames) {
    error =
        Say("the timeline is {0} frames long, more than 24 hours (its positions are wrapped "
            "or absurd); render a part of it: name its first frame and the frame to end before.",
            length);
    return std::nullopt;
  }
  return range;
}

}  // namespace pexol
