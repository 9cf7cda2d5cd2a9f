// render/RenderChoices.h - what a render can be asked for: containers, rates, missing media
#pragma once

#include <span>

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
};

/// Every container, the default (.mp4) first.
std::span<const RenderContainer> RenderContainers();

/// A rate the window offers for a render (the command line takes every rated timecode mode).
struct RenderRate {
  TimecodeMode mode;
  const char* label;  ///< "NTSC 720x480, 29.97 frames a second"
};
std::span<const RenderRate> RenderRates();

}  // namespace pexol
