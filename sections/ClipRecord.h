// sections/ClipRecord.h - one main or insert track clip: its record layout and its line
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/TextScanner.h"
#include "sections/ClipKind.h"
#include "sections/RecordWalk.h"

namespace pexol {

/// The two video tracks share one record layout; the insert track adds `begin`.
enum class VideoTrack { Main, Insert };

/// Keys of the clip and extra audio lines.
inline constexpr std::string_view inKey = "in=";
inline constexpr std::string_view outKey = "out=";
inline constexpr std::string_view beginKey = "begin=";
inline constexpr std::string_view levelKey = "levelpoint(in=";

struct LevelPoint {
  std::int32_t position = 0;
  std::uint16_t level = 0;
  bool operator==(const LevelPoint&) const = default;
};

/// The level curve that closes clip and extra audio records.
struct Levels {
  std::uint16_t in = 0;
  std::uint16_t out = 0;
  std::vector<LevelPoint> points;

  /// True when any level is not 0: a movie clip with such levels carries audio.
  bool AnyLevel() const;
  bool operator==(const Levels&) const = default;
};

template <class Walker>
void WalkLevels(Walker& w, Levels& levels) {
  std::int32_t count = CountOf(levels.points);
  w.Dword(count);
  w.Word(levels.in);
  w.Word(levels.out);
  w.Items(levels.points, count, [&w](LevelPoint& point) {
    w.Dword(point.position);
    w.Word(point.level);
  });
}

struct ClipRecord {
  std::string name;
  ClipKind kind = ClipKind::Unknown;
  std::int32_t in = 0;
  std::int32_t out = 0;
  std::int32_t begin = 0;  ///< insert track only
  std::string stillInfo;   ///< still and colour clips only
  Levels levels;
  bool operator==(const ClipRecord&) const = default;
};

/// The clip record. A name of no known kind ends the record after the name; still and
/// colour clips keep in and out as marked positions and carry `stillInfo`.
template <class Walker>
void WalkClipRecord(Walker& w, ClipRecord& clip, VideoTrack track) {
  w.String(clip.name);
  if constexpr (Walker::reads) clip.kind = ClipKindOf(clip.name);
  if (clip.kind == ClipKind::Unknown) return;
  const bool marked = clip.kind != ClipKind::Movie;
  if (marked) {
    w.MarkedIn(clip.in);
    w.MarkedOut(clip.out, clip.in);
  } else {
    w.Dword(clip.in);
    w.Dword(clip.out);
  }
  if (track == VideoTrack::Insert) w.Dword(clip.begin);
  if (marked) w.String(clip.stillInfo);
  WalkLevels(w, clip.levels);
}

/// True for a clip that names a media file: a movie or a still. Colour clips are made by the
/// editor, and a clip of no known kind is no reference either.
inline bool NamesMediaFile(const ClipRecord& clip) {
  return clip.kind == ClipKind::Movie || clip.kind == ClipKind::Still;
}

/// The record's line, CR LF included.
std::string FormatClipLine(const ClipRecord& clip, VideoTrack track);
/// The record a line stands for; nullopt when its kind cannot be told. `source`, the record
/// the line was written from (names as the text shows them), gives what the line does not
/// show: the kind when the name is unchanged, an insert colour clip's type digit, and the
/// colours that pass unchecked. Throws `FieldError` when a field does not read as the layout
/// of the clip's kind says.
std::optional<ClipRecord> ParseClipLine(std::string_view line, VideoTrack track,
                                        const ClipRecord* source = nullptr);

/// "levelpoint(in=%d,out=%d" then ",%d=%d" per point, then ")\r\n".
std::string FormatLevels(const Levels& levels);
/// The level fields of a line, from the "levelpoint(in=" field to the end; each point is
/// POSITION=LEVEL. Throws `FieldError`.
Levels ParseLevels(FieldReader& fields);
/// How a level curve reads, for the layouts in messages.
inline constexpr std::string_view levelsLayout = "levelpoint(in=N,out=N,POSITION=LEVEL,...)";

}  // namespace pexol
