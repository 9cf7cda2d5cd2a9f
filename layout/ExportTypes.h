// layout/ExportTypes.h - what every timeline export takes and reports
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/Options.h"

namespace pexol {

/// The frame rate an export is written at: 30000/1001 (drop or non-drop labels) or 25/1.
struct ExportRate {
  int numerator = 30000;
  int denominator = 1001;
  bool dropFrame = true;
};

/// Text as stored in the project (Shift-JIS bytes) to UTF-8.
using TextDecoder = std::function<std::string(std::string_view stored)>;

struct ExportSettings {
  std::string projectName;  ///< UTF-8
  ExportRate rate;
  /// Decodes media names, effect names and title texts and fonts; empty passes bytes through.
  TextDecoder decode;
};

/// What an export wrote: tracks (files, for a format of one track a file), timeline items (a
/// main clip counts once even when its audio also fills an audio track) and transitions.
struct ExportCounts {
  int tracks = 0;
  int clips = 0;
  int transitions = 0;
};

/// The rate a timecode mode counts at: NTSC 30000/1001 (drop or non-drop labels), PAL 25/1;
/// nullopt for frame counts, which have none.
std::optional<ExportRate> ExportRateOf(TimecodeMode mode);

/// The rate as frames per second.
double FramesPerSecond(const ExportRate& rate);

/// The timecode labelling of the rate: 25 fps counts PAL, anything else on a 30-frame clock.
TimecodeMode TimecodeModeOf(const ExportRate& rate);

}  // namespace pexol
