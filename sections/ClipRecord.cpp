// sections/ClipRecord.cpp - clip records of the video tracks in both directions
#include "sections/ClipRecord.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/TextScanner.h"

namespace pexol {

namespace {

constexpr std::string_view inKey = "in=";
constexpr std::string_view outKey = "out=";
constexpr std::string_view beginKey = "begin=";
constexpr std::string_view levelKey = "levelpoint(in=";

constexpr std::uint32_t markerNegative = 31;
constexpr std::uint32_t markerPositive = 32;
constexpr std::int32_t tripleRange = 0x1000000;

// A still or colour clip's in or out: 24 bits and a marker byte, 31 meaning negative.
std::int32_t ReadMarked(ByteReader& project) {
  const std::int32_t value = static_cast<std::int32_t>(project.ReadTriple());
  return project.ReadByte() == markerNegative ? value - tripleRange : value;
}

void WriteMarkedIn(ByteWriter& out, std::int32_t in) {
  if (in < 0) {
    out.WriteTriple(static_cast<std::uint32_t>(in) + tripleRange);
    out.WriteByte(markerNegative);
  } else if (in > 0) {
    out.WriteTriple(static_cast<std::uint32_t>(in));
    out.WriteByte(markerPositive);
  } else {
    out.WriteDword(0);
  }
}

// The form of out follows in: marker 32 only when in is not zero.
void WriteMarkedOut(ByteWriter& out, std::int32_t outPoint, std::int32_t in) {
  if (outPoint < 0) {
    out.WriteTriple(static_cast<std::uint32_t>(outPoint) + tripleRange);
    out.WriteByte(markerNegative);
  } else if (in != 0) {
    out.WriteTriple(static_cast<std::uint32_t>(outPoint));
    out.WriteByte(markerPositive);
  } else {
    out.WriteDword(static_cast<std::uint32_t>(outPoint));
  }
}

// Field numbers of a line, by track and by whether the line is in the colour form.
struct LineFields {
  int in;
  int stillInfo;  // -1 for a movie line
  int levels;
};

LineFields FieldsOf(ClipKind kind, bool colourForm, VideoTrack track) {
  const int insertShift = track == VideoTrack::Insert ? 1 : 0;
  if (colourForm) return {track == VideoTrack::Main ? 7 : 6, 9, 10};
  if (kind == ClipKind::Movie) return {1, -1, 3 + insertShift};
  return {1, 3 + insertShift, 4 + insertShift};
}

}  // namespace

bool Levels::AnyLevel() const {
  return in != 0 || out != 0 ||
         std::any_of(points.begin(), points.end(), [](const LevelPoint& p) { return p.level; });
}

Levels ReadLevels(ByteReader& project) {
  Levels levels;
  const std::int32_t count = project.ReadDword();
  levels.in = project.ReadWord();
  levels.out = project.ReadWord();
  // Each point is read before it is stored, so a damaged count cannot size anything.
  for (std::int32_t i = 0; i < count; ++i) {
    LevelPoint point;
    point.position = project.ReadDword();
    point.level = project.ReadWord();
    levels.points.push_back(point);
  }
  return levels;
}

void WriteLevels(ByteWriter& out, const Levels& levels) {
  out.WriteDword(static_cast<std::uint32_t>(levels.points.size()));
  out.WriteWord(levels.in);
  out.WriteWord(levels.out);
  for (const LevelPoint& point : levels.points) {
    out.WriteDword(static_cast<std::uint32_t>(point.position));
    out.WriteWord(point.level);
  }
}

std::string FormatLevels(const Levels& levels) {
  std::string text = std::string(levelKey) + std::to_string(levels.in) + "," + std::string(outKey) +
                     std::to_string(levels.out);
  for (const LevelPoint& point : levels.points)
    text += "," + std::to_string(point.position) + "=" + std::to_string(point.level);
  text += ")\r\n";
  return text;
}

Levels ParseLevels(std::string_view line, int first) {
  Levels levels;
  // One pass over the fields: a line typed by hand may hold any number of points.
  FieldReader fields(line, first);
  levels.in = static_cast<std::uint16_t>(ParseNumber(After(fields.Next(), levelKey.size())));
  levels.out = static_cast<std::uint16_t>(ParseNumber(After(fields.Next(), outKey.size())));
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

ClipRecord ReadClipRecord(ByteReader& project, VideoTrack track) {
  ClipRecord clip;
  clip.name = project.ReadCountedString();
  clip.kind = ClipKindOf(clip.name);
  if (clip.kind == ClipKind::Unknown) return clip;
  const bool marked = clip.kind != ClipKind::Movie;
  clip.in = marked ? ReadMarked(project) : project.ReadDword();
  clip.out = marked ? ReadMarked(project) : project.ReadDword();
  if (track == VideoTrack::Insert) clip.begin = project.ReadDword();
  if (marked) clip.stillInfo = project.ReadCountedString();
  clip.levels = ReadLevels(project);
  return clip;
}

void WriteClipRecord(ByteWriter& out, const ClipRecord& clip, VideoTrack track) {
  out.WriteString(clip.name);
  const bool marked = clip.kind != ClipKind::Movie;
  if (marked) {
    WriteMarkedIn(out, clip.in);
    WriteMarkedOut(out, clip.out, clip.in);
  } else {
    out.WriteDword(static_cast<std::uint32_t>(clip.in));
    out.WriteDword(static_cast<std::uint32_t>(clip.out));
  }
  if (track == VideoTrack::Insert) out.WriteDword(static_cast<std::uint32_t>(clip.begin));
  if (marked) out.WriteString(clip.stillInfo);
  WriteLevels(out, clip.levels);
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
  const bool colourForm = IsColourLine(line);
  if (colourForm) {
    const bool withType = track == VideoTrack::Main;
    std::string fields[7];
    for (int i = 0; i < (withType ? 7 : 6); ++i) fields[i] = GetField(line, i);
    clip.name = ColourClipName(fields, withType);
    clip.kind = ClipKind::Colour;
  } else {
    clip.name = GetField(line, 0);
    clip.kind = ClipKindOf(clip.name);
    if (clip.kind == ClipKind::Unknown) return std::nullopt;
  }
  const LineFields fields = FieldsOf(clip.kind, colourForm, track);
  clip.in = ParseNumber(After(GetField(line, fields.in), inKey.size()));
  clip.out = ParseNumber(After(GetField(line, fields.in + 1), outKey.size()));
  if (track == VideoTrack::Insert)
    clip.begin = ParseNumber(After(GetField(line, fields.in + 2), beginKey.size()));
  if (fields.stillInfo >= 0) clip.stillInfo = GetField(line, fields.stillInfo);
  clip.levels = ParseLevels(line, fields.levels);
  return clip;
}

}  // namespace pexol
