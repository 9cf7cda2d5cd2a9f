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

constexpr std::string_view foundFill = "#8fb3d9";
constexpr std::string_view soundFill = "#9fd0a4";
constexpr std::string_view titleFill = "#e3c26f";
constexpr std::string_view stillFill = "#b9a3d6";
constexpr std::string_view missingFill = "#fff4f4";  // under the hatched, crossed mark
constexpr std::string_view transitionFill = "#333333";

// The rows from the top, each a track of the layout.
struct Row {
  TrackRole role;
  std::string_view name;  ///< shown left of the row
  std::string_view idPrefix;
};
constexpr Row rows[] = {
    {TrackRole::Titles, "titles", "title"},
    {TrackRole::Insert, "insert", "insert"},
    {TrackRole::Main, "main", "main"},
    {TrackRole::MainSound, "main sound", "sound"},
    {TrackRole::ExtraAudio1, "extra audio 1", "exaudio1"},
    {TrackRole::ExtraAudio2, "extra audio 2", "exaudio2"},
};
constexpr std::size_t mainRow = 2;

std::string Hex(std::uint32_t rgb) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text += digits[(rgb >> shift) & 0xF];
  return text;
}

std::string LabelOf(const TimelineItem& item) {
  if (item.kind == ItemKind::Title) {
    for (const TitleText& text : item.texts)
      if (!text.namesMedia && !text.text.empty()) return DecodeShiftJis(text.text).utf8;
    return "title";
  }
  if (item.kind == ItemKind::Colour) return "colour " + Hex(item.colour);
  const std::string decoded = DecodeShiftJis(item.name).utf8;
  // The file name alone: the folders make the box's label too long to read.
  const std::size_t cut = decoded.find_last_of("\\/");
  return cut == std::string::npos ? decoded : decoded.substr(cut + 1);
}

std::string LineOf(std::string_view track, const TimelineItem& item, bool missing,
                   TimecodeMode mode) {
  std::string line(track);
  line += ": ";
  line += item.kind == ItemKind::Title || item.kind == ItemKind::Colour
              ? LabelOf(item)
              : DecodeShiftJis(item.name).utf8;
  line += "  ";
  AppendTimecode(line, mode, item.recordIn.Value());
  line += " - ";
  AppendTimecode(line, mode, item.recordOut.Value());
  line += "  (";
  line += std::to_string((item.recordOut - item.recordIn).Value());
  line += " frames)";
  if (item.slow) line += "  slow";
  if (missing) line += "  missing";
  return line;
}

// The last frame any clip or transition drawn reaches.
std::int64_t EndOf(const ExportTimeline& timeline, const std::vector<const Transition*>& drawn) {
  std::int64_t end = 0;
  for (const Row& row : rows)
    if (const ExportTrack* track = timeline.Track(row.role))
      for (const ExportPiece& piece : track->pieces)
        if (piece.item) end = std::max<std::int64_t>(end, piece.item->recordOut.Value());
  for (const Transition* transition : drawn)
    end = std::max<std::int64_t>(end, LastFrame(transition->recordIn, transition->length) + 1);
  return end;
}

void DrawRuler(SvgWriter& svg, std::int64_t end, double width, const PictureSettings& settings,
               std::vector<PictureLabel>& labels) {
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
  double nextLabel = width;  // where the label right of the one drawn stands
  std::vector<double> rooms(ticks.size());
  for (std::size_t t = ticks.size(); t-- > 0;) {
    if (ticks[t].label.empty()) continue;
    rooms[t] = nextLabel - xOf(ticks[t]) - 6;
    nextLabel = xOf(ticks[t]);
  }
  for (std::size_t t = 0; t < ticks.size(); ++t) {
    const RulerTick& tick = ticks[t];
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
    labels.push_back({x + 2, rulerHeight - 12 - fontSize / 3, rooms[t], tick.label, "#333333"});
  }
  svg.Close();
}

std::string Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", value);
  return text;
}

}  // namespace

std::span<const TrackRole> PictureRoles() {
  static constexpr TrackRole roles[] = {TrackRole::Main,        TrackRole::Insert,
                                        TrackRole::Titles,      TrackRole::MainSound,
                                        TrackRole::ExtraAudio1, TrackRole::ExtraAudio2};
  return roles;
}

TimelinePicture DrawTimeline(const ExportTimeline& timeline, const PictureSettings& asked) {
  std::vector<const Transition*> transitions;
  if (const ExportTrack* main = timeline.Track(TrackRole::Main))
    for (const ExportPiece& piece : main->pieces)
      if (piece.transition) transitions.push_back(piece.transition);
  const std::int64_t end = EndOf(timeline, transitions);
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
  const double height = rulerHeight + std::size(rows) * (rowHeight + rowGap) + rowGap;
  const auto topOf = [](std::size_t row) {
    return rulerHeight + rowGap + row * (rowHeight + rowGap);
  };
  const auto xOf = [&settings](std::int64_t frame) {
    return pictureTrackLabelWidth + static_cast<double>(frame) * settings.pixelsPerFrame;
  };

  SvgWriter svg(width, height);
  svg.Attribute("font-family", "sans-serif");
  svg.Open("rect");
  svg.Attribute("width", width);
  svg.Attribute("height", height);
  svg.Attribute("fill", "#ffffff");
  svg.Close();
  DrawRuler(svg, end, width, settings, picture.labels);
  bool unhatched = false;

  for (std::size_t r = 0; r < std::size(rows); ++r) {
    const Row& row = rows[r];
    const double top = topOf(r);
    svg.Open("g");
    svg.Attribute("id", "track-" + std::string(row.idPrefix));
    svg.Open("rect");
    svg.Attribute("x", pictureTrackLabelWidth);
    svg.Attribute("y", top);
    svg.Attribute("width", width - pictureTrackLabelWidth - rightMargin);
    svg.Attribute("height", rowHeight);
    svg.Attribute("fill", "#f2f2f2");
    svg.Close();
    svg.Open("text");
    svg.Attribute("x", 6);
    svg.Attribute("y", top + rowHeight / 2 + fontSize / 3);
    svg.Attribute("font-size", fontSize);
    svg.Attribute("fill", "#000000");
    svg.Text(row.name);
    svg.Close();
    picture.labels.push_back(
        {6, top + rowHeight / 2, pictureTrackLabelWidth - 10, std::string(row.name), "#000000"});
    // Clips that lie over one another would hatch the same pixels again and again.
    double hatchRoom = 2 * pictureMaxWidth;

    const ExportTrack* track = timeline.Track(row.role);
    for (const ExportPiece& piece : track ? track->pieces : std::vector<ExportPiece>{}) {
      if (!piece.item) continue;
      const TimelineItem& item = *piece.item;
      const bool missing = piece.media && !piece.media->found;
      PictureBox box{std::string(row.idPrefix) + "-" + std::to_string(piece.index),
                     LineOf(row.name, item, missing, settings.timecode), missing};
      // The clip as the project places it: under a transition it reaches into the one before.
      const double x = xOf(item.recordIn.Value());
      const double boxWidth =
          static_cast<double>((item.recordOut - item.recordIn).Value()) * settings.pixelsPerFrame;
      std::string fill(row.role == TrackRole::MainSound ? soundFill : foundFill);
      if (item.kind == ItemKind::Title) fill = titleFill;
      if (item.kind == ItemKind::Still) fill = stillFill;
      if (item.kind == ItemKind::Colour) fill = Hex(item.colour);
      if (missing) fill = missingFill;
      svg.Open("rect");
      svg.Attribute("id", box.id);
      svg.Attribute("class", missing ? "clip missing" : "clip");
      svg.Attribute("x", x);
      svg.Attribute("y", top + 2);
      svg.Attribute("width", std::max(0.0, boxWidth));
      svg.Attribute("height", rowHeight - 4);
      svg.Attribute("fill", fill);
      svg.Attribute("stroke", "#222222");
      if (item.slow) svg.Attribute("stroke-dasharray", "4,2");
      svg.TextElement("title", box.line);
      svg.Close();
      if (missing) {
        const bool hatched = boxWidth <= hatchRoom;
        hatchRoom -= hatched ? std::max(0.0, boxWidth) : 0;
        unhatched = unhatched || !hatched;
        DrawMissingMark(svg, x, top + 2, std::max(0.0, boxWidth), rowHeight - 4, hatched);
      }
      std::string label = LabelOf(item);
      if (item.slow) label = "\xC2\xBD\xC3\x97 " + label;  // "½× ": half speed
      if (missing) label = "missing: " + label;
      const std::string fitting = FittedLabel(label, boxWidth - 2 * boxPadding, fontSize);
      if (!fitting.empty()) {
        svg.Open("text");
        svg.Attribute("x", x + boxPadding);
        svg.Attribute("y", top + rowHeight / 2 + fontSize / 3);
        svg.Attribute("font-size", fontSize);
        svg.Attribute("fill", missing ? "#8b0000" : "#000000");
        svg.Text(fitting);
        svg.Close();
      }
      // A window scaling the picture up may have room where the document has none.
      if (boxWidth > 2 * boxPadding)
        picture.labels.push_back({x + boxPadding, top + rowHeight / 2, boxWidth - 2 * boxPadding,
                                  std::move(label), missing ? "#8b0000" : "#000000"});
      // A track that repeats another's clips (their sound) adds no clip.
      picture.clips += track->repeats ? 0 : 1;
      picture.missingCount += missing && !track->repeats ? 1 : 0;
      picture.boxes.push_back(std::move(box));
    }
    svg.Close();
  }

  // Transitions over the main row, where the incoming clip starts.
  const double mainTop = topOf(mainRow);
  svg.Open("g");
  svg.Attribute("id", "transitions");
  for (const Transition* drawn : transitions) {
    const Transition& transition = *drawn;
    const auto t = static_cast<std::size_t>(drawn - timeline.transitions.data());
    const double x = xOf(transition.recordIn.Value());
    const double length = std::max(2.0, transition.length.Value() * settings.pixelsPerFrame);
    svg.Open("polygon");
    svg.Attribute("id", "transition-" + std::to_string(t));
    svg.Attribute("class", "transition");
    svg.Attribute("points", SvgNumber(x) + "," + SvgNumber(mainTop + rowHeight - 2) + " " +
                                SvgNumber(x + length) + "," + SvgNumber(mainTop + 2) + " " +
                                SvgNumber(x + length) + "," + SvgNumber(mainTop + rowHeight - 2));
    svg.Attribute("fill", transitionFill);
    svg.Attribute("fill-opacity", 0.45);
    std::string line = "transition: " + DecodeShiftJis(transition.name).utf8 + "  ";
    AppendTimecode(line, settings.timecode, transition.recordIn.Value());
    line += "  (" + std::to_string(transition.length.Value()) + " frames)";
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

TimelinePicture DrawTimeline(const Timeline& timeline,
                             const std::function<bool(std::string_view stored)>& found,
                             const PictureSettings& settings) {
  std::map<std::string, bool, std::less<>> known;
  LayoutRules rules;
  rules.roles.assign(PictureRoles().begin(), PictureRoles().end());
  rules.levels = LevelsWritten::None;
  rules.resolve = [&](std::string_view stored) {
    auto at = known.find(stored);
    if (at == known.end()) at = known.emplace(std::string(stored), found(stored)).first;
    return MediaReference{std::string(stored), {}, at->second};
  };
  TimelinePicture picture = DrawTimeline(LayOutTimeline(timeline, rules), settings);
  // The project's clips, also those the layout leaves out (hidden under the one before).
  picture.clips = static_cast<int>(ClipCount(timeline));
  picture.missingCount = static_cast<int>(ClipCount(timeline, [&](const TimelineItem& item) {
    return PlaysMediaFile(item) && !rules.resolve(item.name).found;
  }));
  return picture;
}

}  // namespace pexol
