// picture/TimelineMarks.cpp - ruler ticks at round timecodes, the missing-media mark, cut labels
#include "picture/TimelineMarks.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

#include "edl/Timecode.h"

namespace pexol {

namespace {

constexpr std::string_view ellipsis = "\xE2\x80\xA6";  // …
constexpr double hatchSpacing = 7;

/// The frame that timecode `second`:00 starts on in `mode`'s counting.
std::int64_t FrameOfSecond(std::int64_t second, TimecodeMode mode) {
  if (mode == TimecodeMode::Pal) return second * 25;
  if (mode != TimecodeMode::NtscDrop) return second * 30;
  // Drop frame skips labels ;00 and ;01 at each minute but every tenth; such a minute's first
  // frame is ;02.
  const std::int64_t minutes = second / 60;
  const std::int64_t dropped = 2 * (minutes - minutes / 10);
  const bool skipped = second % 60 == 0 && minutes % 10 != 0;
  return second * 30 - dropped + (skipped ? 2 : 0);
}

/// Timecodes are written from 32-bit frame numbers; no tick stands past the last.
constexpr std::int64_t labelEnd = INT32_MAX;

/// The first of `steps` (in units of `perUnit` frames) whose labels stand `minSpacing` pixels
/// apart; past the last, it doubled until they do, so that however small the scale the ruler
/// holds no more labels than its width has room for (and a step past `end` draws only 0).
template <std::size_t count>
std::int64_t StepFor(const std::int64_t (&steps)[count], double perUnit, double pixelsPerFrame,
                     double minSpacing, std::int64_t end) {
  const auto apart = [&](std::int64_t step) {
    return static_cast<double>(step) * perUnit * pixelsPerFrame >= minSpacing;
  };
  for (const std::int64_t candidate : steps)
    if (apart(candidate)) return candidate;
  std::int64_t step = steps[count - 1];
  while (!apart(step) && static_cast<double>(step) * perUnit <= static_cast<double>(end)) step *= 2;
  return step;
}

}  // namespace

std::vector<RulerTick> RulerTicks(std::int64_t end, TimecodeMode mode, double pixelsPerFrame,
                                  double minSpacing) {
  return RulerTicks(0, end, mode, pixelsPerFrame, minSpacing);
}

std::vector<RulerTick> RulerTicks(std::int64_t from, std::int64_t to, TimecodeMode mode,
                                  double pixelsPerFrame, double minSpacing) {
  std::vector<RulerTick> ticks;
  if (pixelsPerFrame <= 0) return ticks;
  from = std::max<std::int64_t>(from, 0);
  to = std::min(to, labelEnd);
  if (mode == TimecodeMode::Frame) {
    static constexpr std::int64_t frameSteps[] = {10,     20,     50,     100,    200,   500,
                                                  1000,   2000,   5000,   10000,  20000, 50000,
                                                  100000, 200000, 500000, 1000000};
    const std::int64_t step = StepFor(frameSteps, 1, pixelsPerFrame, minSpacing, to);
    const std::int64_t minor = step / 5;
    for (std::int64_t frame = from / minor * minor; frame <= to; frame += minor)
      if (frame >= from)
        ticks.push_back({frame, frame % step == 0 ? std::to_string(frame) : std::string()});
    return ticks;
  }
  const double fps = mode == TimecodeMode::Pal ? 25 : 30000.0 / 1001;
  static constexpr std::int64_t secondSteps[] = {1,   2,   5,   10,   15,   30,   60,
                                                 120, 300, 600, 1800, 3600, 7200, 21600};
  const std::int64_t step = StepFor(secondSteps, fps, pixelsPerFrame, minSpacing, to);
  // Five ticks to a label (three for 15 s and 15 min steps' thirds would not be round).
  const std::int64_t minor = std::max<std::int64_t>(step % 5 == 0   ? step / 5
                                                    : step % 3 == 0 ? step / 3
                                                                    : step,
                                                    1);
  // The tick at or before `from`: a second counted at the rate lies within a frame of its
  // timecode's, so one step back is always early enough.
  const auto near = static_cast<std::int64_t>(static_cast<double>(from) / fps);
  for (std::int64_t second = std::max<std::int64_t>(0, near / minor * minor - minor);;
       second += minor) {
    const std::int64_t frame = FrameOfSecond(second, mode);
    if (frame > to) break;
    if (frame < from) continue;
    // Ticks between labels only where they stand a few pixels apart.
    const bool labelled = second % step == 0;
    if (!labelled && static_cast<double>(minor) * fps * pixelsPerFrame < 6) continue;
    ticks.push_back(
        {frame, labelled ? FormatTimecode(mode, static_cast<std::int32_t>(frame)) : std::string()});
  }
  return ticks;
}

void DrawMissingMark(SvgWriter& svg, double x, double y, double width, double height,
                     bool hatched) {
  if (width <= 0 || height <= 0) return;
  // Hatching: lines rising at 45 degrees, cut to the box, as one path.
  std::string hatch;
  const int first = static_cast<int>(std::floor(-height / hatchSpacing));
  const int last = hatched ? static_cast<int>(std::ceil(width / hatchSpacing)) : first - 1;
  for (int k = first; k <= last; ++k) {
    const double start = x + k * hatchSpacing;  // where the line meets the box's bottom edge
    const double from = std::max(0.0, x - start);
    const double to = std::min(height, x + width - start);
    if (to <= from) continue;
    hatch += "M" + SvgNumber(start + from) + " " + SvgNumber(y + height - from) + "L" +
             SvgNumber(start + to) + " " + SvgNumber(y + height - to);
  }
  svg.Open("g");
  svg.Attribute("class", "missing-mark");
  if (!hatch.empty()) {
    svg.Open("path");
    svg.Attribute("d", hatch);
    svg.Attribute("stroke", "#e89a9a");
    svg.Attribute("stroke-width", 1);
    svg.Attribute("fill", "none");
    svg.Close();
  }
  svg.Open("path");
  svg.Attribute("d", "M" + SvgNumber(x) + " " + SvgNumber(y) + "L" + SvgNumber(x + width) + " " +
                         SvgNumber(y + height) + "M" + SvgNumber(x + width) + " " + SvgNumber(y) +
                         "L" + SvgNumber(x) + " " + SvgNumber(y + height));
  svg.Attribute("stroke", "#c00000");
  svg.Attribute("stroke-width", 1.5);
  svg.Attribute("fill", "none");
  svg.Close();
  svg.Open("rect");
  svg.Attribute("x", x);
  svg.Attribute("y", y);
  svg.Attribute("width", width);
  svg.Attribute("height", height);
  svg.Attribute("fill", "none");
  svg.Attribute("stroke", "#c00000");
  svg.Attribute("stroke-width", 2);
  svg.Attribute("stroke-dasharray", "5,3");
  svg.Close();
  svg.Close();
}

std::string FittedLabel(const std::string& label, double width, double fontSize) {
  const auto fits = static_cast<std::size_t>(std::max(0.0, width / (fontSize * 0.6)));
  std::size_t characters = 0;
  std::size_t keep = 0;  // the bytes of the characters that fit with the "…" after them
  for (std::size_t i = 0; i < label.size(); ++i) {
    if ((static_cast<unsigned char>(label[i]) & 0xC0) == 0x80) continue;  // continuation byte
    if (characters + 1 == fits) keep = i;
    if (++characters > fits)
      return fits < 2 ? std::string() : label.substr(0, keep) + std::string(ellipsis);
  }
  return label;
}

}  // namespace pexol
