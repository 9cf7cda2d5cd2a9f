// sections/ClipRecord.cpp - clip lines of the video tracks in both directions
#include "sections/ClipRecord.h"

#include <algorithm>

namespace pexol {

bool Levels::AnyLevel() const {
  return in != 0 || out != 0 ||
         std::any_of(points.begin(), points.end(), [](const LevelPoint& p) { return p.level; });
}

std::string FormatLevels(const Levels& levels) {
  std::string text = std::string(levelKey) + std::to_string(levels.in) + "," + std::string(outKey) +
                     std::to_string(levels.out);
  for (const LevelPoint& point : levels.points)
    text += "," + std::to_string(point.position) + "=" + std::to_string(point.level);
  text += ")\r\n";
  return text;
}

Levels ParseLevels(FieldReader& fields) {
  Levels levels;
  levels.in = static_cast<std::uint16_t>(fields.Number(levelKey));
  levels.out = static_cast<std::uint16_t>(fields.Number(outKey));
  // One pass over the fields: a line typed by hand may hold any number of points.
  for (;;) {
    const std::string field = fields.Next();
    if (field.empty()) break;
    const std::size_t equals = field.find('=');
    LevelPoint point;
    point.position = ParseNumber(field);
    point.level = static_cast<std::uint16_t>(
        ParseNumber(equals == std::string::npos ? std::string_view(field)
                                                : std::string_view(field).substr(equals + 1)));
    levels.points.push_back(point);
  }
  return levels;
}

std::string FormatClipLine(const ClipRecord& clip, VideoTrack track) {
  std::string line;
  if (clip.kind == ClipKind::Colour) line = ColourClipText(clip.name, track == VideoTrack::Main);
  // A colour name that the colour form cannot give back is written like a still's name.
  if (line.empty()) line = NameFieldText(clip.name);
  line += "," + std::string(inKey) + std::to_string(clip.in) + "," + std::string(outKey) +
          std::to_string(clip.out) + ",";
  if (track == VideoTrack::Insert) line += std::string(beginKey) + std::to_string(clip.begin) + ",";
  if (clip.kind != ClipKind::Movie) line += FieldText(clip.stillInfo) + ",";
  line += FormatLevels(clip.levels);
  return line;
}

std::optional<ClipRecord> ParseClipLine(std::string_view line, VideoTrack track) {
  ClipRecord clip;
  FieldReader fields(line);
  if (IsColourLine(line)) {
    // The colour form: type (main track only), count, direction and four colours.
    const bool withType = track == VideoTrack::Main;
    std::string colour[7];
    for (int i = 0; i < (withType ? 7 : 6); ++i) colour[i] = fields.Next();
    clip.name = ColourClipName(colour, withType);
    clip.kind = ClipKind::Colour;
  } else {
    clip.name = fields.Next();
    clip.kind = ClipKindOf(clip.name);
    if (clip.kind == ClipKind::Unknown) return std::nullopt;
  }
  clip.in = fields.Number(inKey);
  clip.out = fields.Number(outKey);
  if (track == VideoTrack::Insert) clip.begin = fields.Number(beginKey);
  if (clip.kind != ClipKind::Movie) clip.stillInfo = fields.Next();
  clip.levels = ParseLevels(fields);
  return clip;
}

}  // namespace pexol
