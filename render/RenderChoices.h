// render/RenderChoices.h - what a render can be asked for: containers, sizes, codecs, rates,
// missing media
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "core/Options.h"

namespace pexol {

/// What a render does with media that are not found or do not decode.
enum class MissingMedia {
  Fail,   ///< the render does not start; the message lists them
  Black,  ///< black and silence in their place, with a warning naming them
};

/// A container a render writes, chosen by the destination's extension.
struct RenderContainer {
  const char* extension;   ///< with its dot: ".mp4"
  const char* ffmpegName;  ///< FFmpeg's name of it: "mp4", "matroska", "mov"
  const char* label;       ///< in file filters: "MP4 video"
  const char* kind;        ///< in messages and help: "H.264 and AAC", "Matroska", "QuickTime"
  const char* audioCodec;  ///< FFmpeg's encoder of its sound (of a video's with H.264)
  bool soundOnly;          ///< the mix alone, no picture
};

/// Every container, the default (.mp4) first.
std::span<const RenderContainer> RenderContainers();

/// A render's picture: the project's own DV frame (`width` 0), or a frame of square pixels
/// that the DV frame is scaled into with its shape kept.
struct RenderSize {
  int width = 0;
  int height = 0;
  bool Standard() const { return width == 0; }
};

/// A size the window offers and --size names.
struct RenderSizeChoice {
  const char* name;   ///< "sd", "720p", "1080p"
  const char* label;  ///< "SD (the project's 720x480 or 720x576)"
  RenderSize size;
};
std::span<const RenderSizeChoice> RenderSizes();

/// The size `text` names: a name of `RenderSizes` (any case; empty for "sd") or
/// WIDTHxHEIGHT, even numbers from 32 to 8192; nullopt for anything else.
std::optional<RenderSize> ParseRenderSize(std::string_view text);

/// The picture's codec.
enum class RenderCodec {
  H264,    ///< at a constant quality, for watching
  ProRes,  ///< ProRes 422, for finishing in another editor (QuickTime only)
};
struct RenderCodecChoice {
  RenderCodec codec;
  const char* name;   ///< as --codec takes it: "h264", "prores"
  const char* label;  ///< "H.264 (to watch)"
  /// FFmpeg's encoder of the sound beside it; null for the container's own (`audioCodec`).
  const char* audioCodec = nullptr;
};
std::span<const RenderCodecChoice> RenderCodecs();

/// FFmpeg's encoder of the sound a video in `container` with the picture in `codec` holds.
const char* AudioCodecOf(RenderCodec codec, const RenderContainer& container);

/// A rate the window offers for a render (the command line takes every rated timecode mode).
struct RenderRate {
  TimecodeMode mode;
  const char* label;  ///< "NTSC 720x480, 29.97 frames a second"
};
std::span<const RenderRate> RenderRates();

}  // namespace pexol
