// join/JoinInputs.h - what a join reads: the pieces and the sound, checked alike, and their
// packets with the joined file's times
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Translation.h"
#include "transcode/FfmpegObjects.h"

namespace pexol {

/// Ends a join with its message; caught by `RunJoin`.
struct JoinFailure {
  std::string message;
};

/// Throws the join's failure about the file `path` for `reason`.
[[noreturn]] void FailJoin(std::string_view path, const std::string& reason);

/// What ends the failure message about a piece, and about the sound.
inline constexpr std::string_view renderAgain =
    ToTranslate(" Render the ranges again with the same options.");
inline constexpr std::string_view soundAgain = ToTranslate(" Render the sound again.");

/// An input file and its one stream that is copied.
struct JoinSource {
  detail::InputPtr file;
  AVStream* stream = nullptr;
  std::string path;
};

/// Opens `path` and finds its one stream of `type` (a cover picture is not a picture stream);
/// the others are not read. Fails the join, ending with `again`, when there is not one.
JoinSource OpenJoinSource(const std::string& path, AVMediaType type, std::string_view again);

/// The stream's frames a second, as the encoder was given them; 0/0 when it states none.
AVRational FrameRateOf(const AVStream& stream);

/// How `piece` was coded otherwise than `first` (codec, size, pixels, scan, rate, the codec's
/// headers); empty when alike.
std::string CodedOtherwise(const JoinSource& first, const JoinSource& piece);

/// The pieces' picture packets one after another, each moved on by the frames of the pieces
/// before it. The move is made in frame numbers, not by adding up durations: Matroska counts
/// whole milliseconds and a frame at 29.97 lasts 33.367 ms, so every rounded duration added
/// puts the times up to half a millisecond off a continuous render's, and over many ranges a
/// whole frame. A timestamp names its frame exactly, the frame number moves by a whole count,
/// and the one rounding back to ticks is the one a continuous render makes.
class PicturePackets {
 public:
  /// `output`: the joined file's picture stream, whose time base the packets get (read at
  /// each packet: the muxer may set it as the file starts).
  PicturePackets(std::vector<JoinSource> pieces, const AVStream& output);

  /// The next packet, its times the whole timeline's; false after the last. Fails the join
  /// when a piece cannot be read or would be decoded before the one before it.
  bool Next(AVPacket& packet);

  std::int64_t Frames() const { return before_ + frames_; }  ///< read so far
  std::uintmax_t BytesRead() const { return read_; }

 private:
  // For a piece whose container keeps showing times only (Matroska), the decoding time of the
  // frame shown at `shown`, in frame numbers: each frame is decoded when the earliest of the
  // last delay + 1 frames read is shown, the encoder's delay (B-frames) read as frames before
  // the first.
  std::int64_t DecodedAt(std::int64_t shown);

  std::vector<JoinSource> pieces_;
  const AVStream& output_;
  AVRational frame_;         // a frame's duration
  std::size_t at_ = 0;       // the piece being read
  std::int64_t before_ = 0;  // the frames of the pieces before it
  std::int64_t frames_ = 0;  // its frames read so far
  std::int64_t lastDts_ = AV_NOPTS_VALUE;
  std::vector<std::int64_t> showing_;  // a piece without decoding times: the frames held back
  bool ordered_ = false;               // its decoding times are made from `showing_`
  bool orderStarted_ = false;
  std::uintmax_t read_ = 0;
};

/// The sound's packets as they are, in the time base of the joined file's sound stream.
class SoundPackets {
 public:
  SoundPackets(JoinSource sound, const AVStream& output)
      : sound_(std::move(sound)), output_(output) {}
  bool Next(AVPacket& packet);
  std::uintmax_t BytesRead() const { return read_; }

 private:
  JoinSource sound_;
  const AVStream& output_;
  std::uintmax_t read_ = 0;
};

}  // namespace pexol
