// sections/ExAudioClip.h - one clip of an extra audio track: its record layout and its line
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sections/ClipRecord.h"

namespace pexol {

/// One extra audio clip: the insert clip layout without kinds.
struct ExAudioClip {
  std::string name;
  std::int32_t in = 0;
  std::int32_t out = 0;
  std::int32_t begin = 0;
  Levels levels;
  bool operator==(const ExAudioClip&) const = default;
};

template <class Walker>
void WalkExAudioClip(Walker& w, ExAudioClip& clip) {
  w.String(clip.name);
  w.Dword(clip.in);
  w.Dword(clip.out);
  w.Dword(clip.begin);
  WalkLevels(w, clip.levels);
}

/// The clip's line, CR LF included.
std::string FormatExAudioLine(const ExAudioClip& clip);
/// The clip a line stands for. Throws `FieldError` when a field does not read as the layout
/// says.
ExAudioClip ParseExAudioLine(std::string_view line);

}  // namespace pexol
