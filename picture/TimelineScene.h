// picture/TimelineScene.h - the timeline as the picture and both windows show it: its rows of
// clips, each found by position
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Options.h"
#include "layout/ExportTimeline.h"
#include "media/MediaResolver.h"

namespace pexol {

/// Spans added in the order of their starts, found by position with a binary search: over the
/// starts, and over the latest end of the spans up to each (which never falls), so that spans
/// lying over one another are found too.
class SpanIndex {
 public:
  /// Adds the span from `start` to `end` (exclusive); starts never fall.
  void Add(std::int64_t start, std::int64_t end);
  std::size_t Size() const { return starts.size(); }
  /// The first span that reaches past `frame` (or, with those before it, `frame` itself is
  /// past them all); Size() when none does.
  std::size_t FirstReaching(std::int64_t frame) const;
  /// The first span that starts at `frame` or later; Size() when none does.
  std::size_t FirstStartingFrom(std::int64_t frame) const;

 private:
  std::vector<std::int64_t> starts;
  std::vector<std::int64_t> reach;  ///< the latest end of the spans up to each
};

/// Where a clip's medium is, as the run that laid the timeline out found it.
enum class MediumState {
  None,       ///< a title or a colour clip: no file
  Found,      ///< at `SceneClip::path`
  Missing,    ///< not on this computer
  Ambiguous,  ///< in several places, so none is used
};

struct SceneClip {
  /// As the project places the clip: under a transition it reaches into the clip before.
  std::int64_t recordIn = 0;
  std::int64_t recordOut = 0;  ///< exclusive; before recordIn in a damaged project
  std::int64_t sourceIn = 0;
  std::int64_t sourceOut = 0;
  std::size_t index = 0;  ///< in its track's list: its box is "main-3"
  ItemKind kind = ItemKind::Movie;
  bool slow = false;
  MediumState medium = MediumState::None;
  std::uint32_t fill = 0;  ///< 0xRRGGBB
  /// Decoded: a file's whole stored name, a title's first text (empty when it has none), a
  /// colour's "#rrggbb".
  std::string name;
  std::string stored;  ///< the medium's name as stored (Shift-JIS bytes); empty without one
  std::string path;    ///< where the medium was found (UTF-8); empty when it was not

  bool Missing() const {
    return medium == MediumState::Missing || medium == MediumState::Ambiguous;
  }
  std::int64_t Length() const { return recordOut - recordIn; }
};

struct SceneRow {
  TrackRole role;
  std::string_view name;              ///< "main sound": English, marked for translation
  std::string_view idPrefix;          ///< "sound": its boxes' ids start with it
  std::vector<SceneClip> clips = {};  ///< by recordIn
  SpanIndex spans = {};               ///< the clips' frames, for finding them by position
  std::vector<std::uint32_t> missingBefore = {0};  ///< missing clips among the first i

  /// The missing clips among clips [first, last).
  std::uint32_t MissingIn(std::size_t first, std::size_t last) const {
    return missingBefore[last] - missingBefore[first];
  }
};

struct SceneTransition {
  std::int64_t recordIn = 0;
  std::int64_t length = 0;
  std::size_t id = 0;  ///< its place in the timeline's transitions: "transition-4"
  std::string name;    ///< decoded
};

struct TimelineScene {
  /// From the top: titles, insert, main, the main clips' sound, extra audio 1 and 2.
  std::vector<SceneRow> rows;
  std::vector<SceneTransition> transitions;  ///< over the main row, by recordIn
  SpanIndex transitionSpans;
  std::int64_t end = 0;  ///< the last frame any clip or transition reaches
  TimecodeMode timecode = TimecodeMode::NtscDrop;

  /// The row transitions are drawn over.
  static constexpr std::size_t mainRow = 2;
  std::size_t Clips() const;
  std::size_t MissingClips() const;
};

/// The scene of `timeline` (laid out with `PictureRoles`), names decoded from Shift-JIS; a
/// reference not found is missing unless `state` (given the stored name) says more.
TimelineScene SceneOf(const ExportTimeline& timeline, TimecodeMode mode,
                      const std::function<MediumState(std::string_view stored)>& state = {});

/// Lays `timeline` out with the picture's tracks, asking `resolve` once for each stored name,
/// and makes its scene: where each medium is, or why it is not used.
TimelineScene SceneOf(const Timeline& timeline, TimecodeMode mode,
                      const std::function<MediaResolution(std::string_view stored)>& resolve);

/// The tracks the picture and the windows show: lay the timeline out with these.
std::span<const TrackRole> PictureRoles();

/// What the box of `clip` says: a file's name without its folders, a title's text, "colour
/// #rrggbb", after "½× " when it plays slow and "missing: " when its medium is not found.
/// `shown` words it in the chosen language, for a person on screen; else English, for files.
std::string BoxLabel(const SceneClip& clip, bool shown);

/// "movie", "still", "colour clip", "title", "sound" (any clip of a sound row): English, marked
/// for translation.
std::string_view KindWord(TrackRole role, ItemKind kind);

/// The colours the picture and the windows draw with, 0xRRGGBB.
namespace scene_colours {
inline constexpr std::uint32_t background = 0xffffff;
inline constexpr std::uint32_t row = 0xf2f2f2;
inline constexpr std::uint32_t ink = 0x000000;
inline constexpr std::uint32_t outline = 0x222222;
inline constexpr std::uint32_t ruler = 0x666666;
inline constexpr std::uint32_t rulerText = 0x333333;
inline constexpr std::uint32_t missing = 0xfff4f4;  ///< under the hatched, crossed mark
inline constexpr std::uint32_t missingHatch = 0xe89a9a;
inline constexpr std::uint32_t missingMark = 0xc00000;
inline constexpr std::uint32_t missingText = 0x8b0000;
inline constexpr std::uint32_t transition = 0x333333;
inline constexpr double transitionOpacity = 0.45;
}  // namespace scene_colours

/// "#rrggbb".
std::string PictureColour(std::uint32_t rgb);

}  // namespace pexol
