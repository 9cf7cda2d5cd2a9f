// picture/TimelinePicture.cpp - the layout of the timeline picture
#include "picture/TimelinePicture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>

#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "edl/Timecode.h"
#include "model/ClipCount.h"
#include "picture/SvgWriter.h"
#include "picture/TimelineMarks.h"

namespace pexol {

namespace {

constexpr double rulerHeight = 28;
constexpr double rowHeight = 30;
constexpr double rowGap = 6;
constexpr double boxPadding = 4;
constexpr double fontSize = 11;
constexpr double rightMargin = 20;

std::string LineOf(std::string_view track, const SceneClip& clip, TimecodeMode mode) {
  std::string line(track);
  line += ": ";
  if (clip.kind == ItemKind::Title || clip.kind == ItemKind::Colour) {
    SceneClip plain;  // its label without the marks the box adds
    plain.kind = clip.kind;
    plain.name = clip.name;
    line += BoxLabel(plain, false);
  } else {
    line += clip.name;
  }
  line += "  ";
  AppendTimecode(line, mode, static_cast<std::int32_t>(clip.recordIn));
  line += " - ";
  AppendTimecode(line, mode, static_cast<std::int32_t>(clip.recordOut));
  line += "  (";
  line += std::to_string(clip.Length());
  line += " frames)";
  if (clip.slow) line += "  slow";
  if (clip.Missing()) line += "  missing";
  return line;
}

void DrawRuler(SvgWriter& svg, std::int64_t end, double width, const PictureSettings& settings) {
  svg.Open("g");
  svg.Attribute("id", "ruler");
  svg.Open("line");
  svg.Attribute("x1", pictureTrackLabelWidth);
  svg.Attribute("y1", rulerHeight - 1);
  svg.Attribute("x2", width - rightMargin);
  svg.Attribute("y2", rulerHeight - 1);
  svg.Attribute("stroke", "#666666");
  svg.Close();
  const std::vector<RulerTick> ticks = RulerTicks(end, settings.timecode, settings.pixelsPerFrame);
  const auto xOf = [&settings](const RulerTick& tick) {
    return pictureTrackLabelWidth + static_cast<double>(tick.frame) * settings.pixelsPerFrame;
  };
  for (const RulerTick& tick : ticks) {
    const double x = xOf(tick);
    svg.Open("line");
    svg.Attribute("x1", x);
    svg.Attribute("y1", rulerHeight - (tick.label.empty() ? 4 : 8));
    svg.Attribute("x2", x);
    svg.Attribute("y2", rulerHeight - 1);
    svg.Attribute("stroke", "#666666");
    svg.Close();
    if (tick.label.empty()) continue;
    svg.Open("text");
    svg.Attribute("class", "tick");
    svg.Attribute("x", x + 2);
    svg.Attribute("y", rulerHeight - 12);
    svg.Attribute("font-size", fontSize);
    svg.Attribute("fill", "#333333");
    svg.Text(tick.label);
    svg.Close();
  }
  svg.Close();
}

bool HasPoster(const ScenePosters& posters) {
  for (const std::vector<std::string>& row : posters.rows)
    for (const std::string& png : row)
      if (!png.empty()) return true;
  return false;
}

// The poster inside the box's outline at its left, its shape kept at the box's height; a box
// narrower than that shows the poster's middle. Its right edge; `x` without one.
double DrawPoster(SvgWriter& svg, std::string_view png, double x, double y, double width,
                  double height) {
  const PosterSize size = PngSize(png);
  const double inner = height - 2;
  if (size.width == 0 || width <= 2 || inner <= 0) return x;
  const double natural = inner * size.width / size.height;
  svg.Open("image");
  svg.Attribute("class", "poster");
  svg.Attribute("x", x + 1);
  svg.Attribute("y", y + 1);
  svg.Attribute("width", std::min(natural, width - 2));
  svg.Attribute("height", inner);
  svg.Attribute("preserveAspectRatio", "xMidYMid slice");
  svg.Attribute("xlink:href", PngDataUrl(png));
  svg.Close();
  return x + 1 + std::min(natural, width - 2);
}

std::string Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", value);
  return text;
}

}  // namespace

TimelinePicture DrawTimeline(const TimelineScene& scene, const PictureSettings& asked,
                             const ScenePosters* posters) {
  const std::int64_t end = scene.end;
  TimelinePicture picture;
  // Past the widest picture, the scale that fits it: what is drawn is bounded by the pixels,
  // never the frames.
  PictureSettings settings = asked;
  const double rowsWidth = pictureMaxWidth - pictureTrackLabelWidth - rightMargin;
  if (asked.rowsWidth > 0 && end > 0) {
    settings.pixelsPerFrame = std::min(asked.rowsWidth, rowsWidth) / static_cast<double>(end);
  } else if (static_cast<double>(end) * asked.pixelsPerFrame > rowsWidth) {
    settings.pixelsPerFrame = rowsWidth / static_cast<double>(end);
    picture.warnings.push_back(
        Say("the timeline is {0} frames long: drawn at {1} pixels per frame instead of {2}, so "
            "that the picture is no wider than {3} pixels.",
            end, Decimal(settings.pixelsPerFrame), Decimal(asked.pixelsPerFrame),
            static_cast<int>(pictureMaxWidth)));
  }
  const double width =
      pictureTrackLabelWidth + static_cast<double>(end) * settings.pixelsPerFrame + rightMargin;
  const double height = rulerHeight + scene.rows.size() * (rowHeight + rowGap) + rowGap;
  const auto topOf = [](std::size_t row) {
    return rulerHeight + rowGap + row * (rowHeight + rowGap);
  };
  const auto xOf = [&settings](std::int64_t frame) {
    return pictureTrackLabelWidth + static_cast<double>(frame) * settings.pixelsPerFrame;
  };

  SvgWriter svg(width, height);
  // Older viewers (Qt's among them) find an image's data only by the xlink name; declared only
  // where it is used, so that a picture without posters stays as it was.
  if (posters && HasPoster(*posters)) svg.Attribute("xmlns:xlink", "http://www.w3.org/1999/xlink");
  svg.Attribute("font-family", "sans-serif");
  svg.Open("rect");
  svg.Attribute("width", width);
  svg.Attribute("height", height);
  svg.Attribute("fill", PictureColour(scene_colours::background));
  svg.Close();
  DrawRuler(svg, end, width, settings);
  bool unhatched = false;

  for (std::size_t r = 0; r < scene.rows.size(); ++r) {
    const SceneRow& row = scene.rows[r];
    const double top = topOf(r);
    svg.Open("g");
    svg.Attribute("id", "track-" + std::string(row.idPrefix));
    svg.Open("rect");
    svg.Attribute("x", pictureTrackLabelWidth);
    svg.Attribute("y", top);
    svg.Attribute("width", width - pictureTrackLabelWidth - rightMargin);
    svg.Attribute("height", rowHeight);
    svg.Attribute("fill", PictureColour(scene_colours::row));
    svg.Close();
    svg.Open("text");
    svg.Attribute("x", 6);
    svg.Attribute("y", top + rowHeight / 2 + fontSize / 3);
    svg.Attribute("font-size", fontSize);
    svg.Attribute("fill", PictureColour(scene_colours::ink));
    svg.Text(row.name);
    svg.Close();
    // Clips that lie over one another would hatch the same pixels again and again.
    double hatchRoom = 2 * pictureMaxWidth;

    for (std::size_t c = 0; c < row.clips.size(); ++c) {
      const SceneClip& clip = row.clips[c];
      const bool missing = clip.Missing();
      PictureBox box{std::string(row.idPrefix) + "-" + std::to_string(clip.index),
                     LineOf(row.name, clip, settings.timecode), missing};
      const double x = xOf(clip.recordIn);
      const double boxWidth =
          static_cast<double>(std::max<std::int64_t>(0, clip.Length())) * settings.pixelsPerFrame;
      svg.Open("rect");
      svg.Attribute("id", box.id);
      svg.Attribute("class", missing ? "clip missing" : "clip");
      svg.Attribute("x", x);
      svg.Attribute("y", top + 2);
      svg.Attribute("width", boxWidth);
      svg.Attribute("height", rowHeight - 4);
      svg.Attribute("fill", PictureColour(missing ? scene_colours::missing : clip.fill));
      svg.Attribute("stroke", PictureColour(scene_colours::outline));
      if (clip.slow) svg.Attribute("stroke-dasharray", "4,2");
      svg.TextElement("title", box.line);
      svg.Close();
      // The label after the poster.
      const double labelX = posters && !missing ? DrawPoster(svg, posters->Of(r, c), x, top + 2,
                                                             boxWidth, rowHeight - 4)
                                                : x;
      if (missing) {
        const bool hatched = boxWidth <= hatchRoom;
        hatchRoom -= hatched ? boxWidth : 0;
        unhatched = unhatched || !hatched;
        DrawMissingMark(svg, x, top + 2, boxWidth, rowHeight - 4, hatched);
      }
      const std::string fitting =
          FittedLabel(BoxLabel(clip, false), boxWidth - (labelX - x) - 2 * boxPadding, fontSize);
      if (!fitting.empty()) {
        svg.Open("text");
        svg.Attribute("x", labelX + boxPadding);
        svg.Attribute("y", top + rowHeight / 2 + fontSize / 3);
        svg.Attribute("font-size", fontSize);
        svg.Attribute("fill",
                      PictureColour(missing ? scene_colours::missingText : scene_colours::ink));
        svg.Text(fitting);
        svg.Close();
      }
      // The main clips' sound repeats clips counted on the main row.
      const bool repeats = row.role == TrackRole::MainSound;
      picture.clips += repeats ? 0 : 1;
      picture.missingCount += missing && !repeats ? 1 : 0;
      picture.boxes.push_back(std::move(box));
    }
    svg.Close();
  }

  // Transitions over the main row, where the incoming clip starts.
  const double mainTop = topOf(TimelineScene::mainRow);
  svg.Open("g");
  svg.Attribute("id", "transitions");
  for (const SceneTransition& transition : scene.transitions) {
    const double x = xOf(transition.recordIn);
    const double length =
        std::max(2.0, static_cast<double>(transition.length) * settings.pixelsPerFrame);
    svg.Open("polygon");
    svg.Attribute("id", "transition-" + std::to_string(transition.id));
    svg.Attribute("class", "transition");
    svg.Attribute("points", SvgNumber(x) + "," + SvgNumber(mainTop + rowHeight - 2) + " " +
                                SvgNumber(x + length) + "," + SvgNumber(mainTop + 2) + " " +
                                SvgNumber(x + length) + "," + SvgNumber(mainTop + rowHeight - 2));
    svg.Attribute("fill", PictureColour(scene_colours::transition));
    svg.Attribute("fill-opacity", scene_colours::transitionOpacity);
    std::string line = "transition: " + transition.name + "  ";
    AppendTimecode(line, settings.timecode, static_cast<std::int32_t>(transition.recordIn));
    line += "  (" + std::to_string(transition.length) + " frames)";
    svg.TextElement("title", line);
    svg.Close();
  }
  svg.Close();
  if (unhatched)
    picture.warnings.push_back(std::string(Tr(
        "so many missing clips lie over one another that some are crossed out but not hatched.")));
  picture.svg = svg.Finish();
  picture.drawing = svg.TakeTree();
  return picture;
}

TimelinePicture DrawTimeline(const ExportTimeline& timeline, const PictureSettings& settings) {
  return DrawTimeline(SceneOf(timeline, settings.timecode), settings);
}

TimelinePicture DrawTimeline(const Timeline& timeline,
                             const std::function<bool(std::string_view stored)>& found,
                             const PictureSettings& settings) {
  std::map<std::string, bool, std::less<>> known;
  const auto isFound = [&](std::string_view stored) {
    auto at = known.find(stored);
    if (at == known.end()) at = known.emplace(std::string(stored), found(stored)).first;
    return at->second;
  };
  TimelinePicture picture = DrawTimeline(
      SceneOf(timeline, settings.timecode,
              [&isFound](std::string_view stored) {
                MediaResolution resolution;
                resolution.status = isFound(stored) ? MediaStatus::Found : MediaStatus::Missing;
                resolution.path = std::string(stored);
                return resolution;
              }),
      settings);
  // The project's clips, also those the layout leaves out (hidden under the one before).
  picture.clips = static_cast<int>(ClipCount(timeline));
  picture.missingCount = static_cast<int>(ClipCount(timeline, [&](const TimelineItem& item) {
    return PlaysMediaFile(item) && !isFound(item.name);
  }));
  return picture;
}

}  // namespace pexol
