// sections/ClipRecord.h - one main or insert track clip: its record layout and its line
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sections/ClipKind.h"

namespace pexol {

class ByteReader;
class ByteWriter;

/// The two video tracks share one record layout; the insert track adds `begin`.
enum class VideoTrack { Main, Insert };

struct LevelPoint {
  std::int32_t position = 0;
  std::uint16_t level = 0;
};

/// The level curve that closes clip and extra audio records.
struct Levels {
  std::uint16_t in = 0;
  std::uint16_t out = 0;
  std::vector<LevelPoint> points;

  /// True when any level is not 0: a movie clip with such levels carries audio.
  bool AnyLevel() const;
};

struct ClipRecord {
  std::string name;
  ClipKind kind = ClipKind::Unknown;
  std::int32_t in = 0;
  std::int32_t out = 0;
  std::int32_t begin = 0;  ///< insert track only
  std::string stillInfo;   ///< still and colour clips only
  Levels levels;
};

/// Reads one record. A name of no known kind ends the record after the name.
ClipRecord ReadClipRecord(ByteReader& project, VideoTrack track);
/// Writes one record of a known kind.
void WriteClipRecord(ByteWriter& out, const ClipRecord& clip, VideoTrack track);

/// The record's line, CR LF included.
std::string FormatClipLine(const ClipRecord& clip, VideoTrack track);
/// The record a line stands for; nullopt when its kind cannot be told.
std::optional<ClipRecord> ParseClipLine(std::string_view line, VideoTrack track);

/// Level curve reading and writing, shared with the extra audio tracks.
Levels ReadLevels(ByteReader& project);
void WriteLevels(ByteWriter& out, const Levels& levels);
/// "levelpoint(in=%d,out=%d" then ",%d=%d" per point, then ")\r\n".
std::string FormatLevels(const Levels& levels);
/// Parses the level fields of `line` starting at field `first` (the "levelpoint(in=" one).
Levels ParseLevels(std::string_view line, int first);

}  // namespace pexol
