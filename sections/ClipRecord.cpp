// sections/ClipRecord.cpp - clip lines of the video tracks in both directions
#include "sections/ClipRecord.h"

#include <algorithm>
#include <cstdint>

#include "core/Translation.h"
#include "sections/SectionTable.h"

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

namespace {

// The bracket closes the level list, so only the line's last field may end with it.
void CheckClosing(FieldReader& fields) {
  if (fields.LastField().ends_with(')') && !fields.AtEnd())
    fields.Fail(Tr("its \")\" closes the level list, so no field may follow it"));
}

}  // namespace

Levels ParseLevels(FieldReader& fields) {
  Levels levels;
  levels.in = fields.Level(levelKey);
  levels.out = fields.Level(outKey, ")");
  CheckClosing(fields);
  // One pass over the fields: a line typed by hand may hold any number of points.
  while (!fields.AtEnd()) {
    const std::string field = fields.Text(ToTranslate("a level point"));
    const std::size_t equals = field.find('=');
    const std::string_view text(field);
    const std::string_view before = text.substr(0, equals);
    const auto position = LeadingNumber(before, INT32_MIN, UINT32_MAX);
    // Only the level may carry something after its digits: the closing bracket.
    const std::string_view levelText = After(text, equals + 1);
    const auto level = equals == std::string::npos
                           ? std::nullopt
                           : LeadingNumber(levelText, INT16_MIN, UINT16_MAX);
    const std::string_view rest = AfterNumber(levelText);
    if (!position || !AfterNumber(before).empty() || !level || !(rest.empty() || rest == ")"))
      fields.FailSaying(ToTranslate(
          "field {0} is \"{1}\", where a level point POSITION=LEVEL belongs, POSITION a 32-bit "
          "number and LEVEL a 16-bit one, nothing after them but the closing \")\""));
    CheckClosing(fields);
    levels.points.push_back({static_cast<std::int32_t>(static_cast<std::uint32_t>(*position)),
                             static_cast<std::uint16_t>(*level)});
  }
  return levels;
}

namespace {

std::string ClipLayout(ClipKind kind, VideoTrack track, bool colourForm) {
  const bool main = track == VideoTrack::Main;
  std::string layout;
  if (colourForm)
    layout +=
        main ? "ColorClip(type=T,count=C,direction=D,1st=RRGGBB,2nd=RRGGBB,3rd=RRGGBB,4th=RRGGBB)"
             : "ColorClip(count=C,direction=D,1st=RRGGBB,2nd=RRGGBB,3rd=RRGGBB,4th=RRGGBB)";
  else
    layout += "NAME";
  layout += ",in=N,out=N,";
  if (!main) layout += "begin=N,";
  if (kind != ClipKind::Movie) layout += "INFO,";
  layout += levelsLayout;
  const std::string_view heading = HeadingOf(main ? SectionId::MainAV : SectionId::InsertAV);
  // TRANSLATORS: {0} is the track's heading, {1} the line's fields, such as NAME,in=N,out=N.
  return kind == ClipKind::Movie   ? Say("a movie clip line of {0} reads {1}", heading, layout)
         : kind == ClipKind::Still ? Say("a still clip line of {0} reads {1}", heading, layout)
                                   : Say("a colour clip line of {0} reads {1}", heading, layout);
}

}  // namespace

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

std::optional<ClipRecord> ParseClipLine(std::string_view line, VideoTrack track,
                                        const ClipRecord* source) {
  ClipRecord clip;
  FieldReader fields(line);
  const bool colourForm = IsColourLine(line);
  if (colourForm) {
    fields.SetLayout(ClipLayout(ClipKind::Colour, track, true));
    clip.name = ReadColourClipName(fields, track == VideoTrack::Main,
                                   source ? std::string_view(source->name) : std::string_view{});
    clip.kind = ClipKind::Colour;
  } else {
    clip.name = fields.Text(ToTranslate("the name"));
    // An unchanged name keeps the layout it was written with.
    clip.kind = source && source->name == clip.name ? source->kind : ClipKindOf(clip.name);
    if (clip.kind == ClipKind::Unknown) return std::nullopt;
    fields.SetLayout(ClipLayout(clip.kind, track, false));
  }
  clip.in = fields.Number(inKey);
  clip.out = fields.Number(outKey);
  if (track == VideoTrack::Insert) clip.begin = fields.Number(beginKey);
  if (clip.kind != ClipKind::Movie)
    clip.stillInfo = fields.Text(ToTranslate("the still information"));
  clip.levels = ParseLevels(fields);
  return clip;
}

}  // namespace pexol
