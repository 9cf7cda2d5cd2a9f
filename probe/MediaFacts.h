// probe/MediaFacts.h - what reading a media file's headers says of it, and its line of JSON
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/Translation.h"

namespace pexol {

/// What a file turned out to be.
enum class MediaKind {
  Unknown,     ///< not probed (no media program, or a stop before its turn)
  Unreadable,  ///< FFmpeg could not read it; `error` says why
  Movie,       ///< moving pictures, with or without sound
  Still,       ///< one picture
  Sound,       ///< sound only
};

/// The reasons that are pexol's own, not FFmpeg's: a summary says them whole, in the chosen
/// language.
inline constexpr std::string_view noPicturesNorSound =
    ToTranslate("it holds neither pictures nor sound");
inline constexpr std::string_view crashedReading =
    ToTranslate("FFmpeg crashed reading it (signal {0})");

/// A rate or a shape as a fraction; 0/1 when unknown.
struct Fraction {
  int numerator = 0;
  int denominator = 1;

  bool Known() const { return numerator > 0 && denominator > 0; }
  double Value() const { return Known() ? double(numerator) / denominator : 0.0; }
  friend bool operator==(const Fraction&, const Fraction&) = default;
};

/// A file as FFmpeg reads its headers (and the few packets it looks at to fill them in).
struct MediaFacts {
  MediaKind kind = MediaKind::Unknown;
  std::string error;    ///< FFmpeg's reason, for an unreadable file (English, as JSON gives it)
  int crashSignal = 0;  ///< the signal that ended FFmpeg while it read the file

  std::string container;       ///< FFmpeg's demuxer name: "avi", "mov,mp4,m4a,3gp,3g2,mj2", "wav"
  std::string containerLabel;  ///< "AVI (Audio Video Interleaved)"

  std::string videoCodec;       ///< FFmpeg's name: "dvvideo", "mjpeg", "png"; empty without video
  std::string videoCodecLabel;  ///< "DV (Digital Video)"
  std::string fourcc;       ///< the stream's four-character code ("dvsd", "MJPG"), when it has one
  std::string pixelFormat;  ///< "yuv411p"
  int width = 0;
  int height = 0;
  Fraction sampleAspect;    ///< the pixel's shape (10/11 for NTSC DV 4:3)
  std::string fieldOrder;   ///< "progressive", "top first", "bottom first", ...; empty: unknown
  Fraction frameRate;       ///< 30000/1001
  std::int64_t frames = 0;  ///< the movie's frames at `frameRate`; 0 for stills and sounds
  double seconds = 0;       ///< its length; 0 for stills and when unknown

  std::string audioCodec;       ///< "pcm_s16le"; empty without sound
  std::string audioCodecLabel;  ///< "PCM signed 16-bit little-endian"
  int sampleRate = 0;
  int channels = 0;

  bool timecode = false;  ///< it carries a start timecode (a tag or a timecode track)

  bool Read() const {
    return kind == MediaKind::Movie || kind == MediaKind::Still || kind == MediaKind::Sound;
  }
  bool HasVideo() const { return !videoCodec.empty(); }
  bool HasAudio() const { return !audioCodec.empty(); }
};

/// "movie", "still", "sound", "unreadable", "unknown".
std::string_view KindName(MediaKind kind);

/// `facts` as one line of JSON (no newline), with "type": "probe"; bytes of names that are not
/// UTF-8 become U+FFFD.
std::string FactsLine(const MediaFacts& facts);

/// The facts of a line `FactsLine` wrote; nullopt for any other line.
std::optional<MediaFacts> FactsOfLine(std::string_view line);

/// "AVI, DV (Digital Video) 720x480, PCM signed 16-bit little-endian": what a person reads of
/// the file; FFmpeg's reason for one that could not be read. English, as the command line's
/// lines and JSON give it to programs.
std::string FactsSummary(const MediaFacts& facts);
/// The same summary in the chosen language, for a person on screen.
std::string FactsSummaryShown(const MediaFacts& facts);

}  // namespace pexol
