// picture/TimelinePicture.h - a project's timeline drawn as SVG: one row per track, a box per clip
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Options.h"
#include "layout/ExportTimeline.h"
#include "picture/ScenePosters.h"
#include "picture/SvgWriter.h"
#include "picture/TimelineScene.h"

namespace pexol {

/// How the picture is drawn.
struct PictureSettings {
  TimecodeMode timecode = TimecodeMode::NtscDrop;  ///< the ruler's labels and the clip lines
  double pixelsPerFrame = 0.2;                     ///< a box's width per frame it lasts
  /// When above 0, the scale that makes the rows this many pixels wide instead (a thumbnail:
  /// the whole timeline in a few hundred pixels, whatever its length).
  double rowsWidth = 0;
};

/// One box of the picture, for hit-testing: its element id and the line a tooltip shows.
struct PictureBox {
  std::string id;    ///< "main-0", "insert-2", "sound-0", "exaudio1-1", "exaudio2-0", "title-3"
  std::string line;  ///< track, name, record in and out, length, "slow", "missing"
  bool missing = false;
};

struct TimelinePicture {
  std::string svg;
  SvgElement drawing = {};  ///< the same document as elements
  /// The boxes in drawing order: a main clip's sound is a box of its own, transitions are none.
  std::vector<PictureBox> boxes;
  /// The clips, each once (a main clip's sound is part of it): drawn from a `Timeline`, every
  /// clip it holds (`ClipCount`), else those laid out; and those of them whose media were not
  /// found (a file used twice counts twice).
  int clips = 0;
  int missingCount = 0;
  std::vector<std::string> warnings;  ///< drawn smaller, or hatched less, than asked
};

/// Draws `timeline` as the exports show it: a time ruler, then the rows titles, insert, main,
/// the main clips' sound, extra audio 1 and 2. Boxes start at `recordIn * pixelsPerFrame`
/// from the rows' left edge and are as wide as the piece lasts; colour clips are filled with
/// their colour, slow clips are dashed, clips whose media is not found hatched and crossed,
/// transitions are
/// marked over the main row where they play. Names are decoded from Shift-JIS for the labels,
/// which stay English whatever the language: the picture is a file for other programs.
/// A timeline that would be wider than `pictureMaxWidth` is drawn at the scale that fits it.
/// With `posters`, each clip that has one shows it at the left of its box, embedded as PNG.
TimelinePicture DrawTimeline(const TimelineScene& scene, const PictureSettings& settings,
                             const ScenePosters* posters = nullptr);
TimelinePicture DrawTimeline(const ExportTimeline& timeline, const PictureSettings& settings);

/// Lays `timeline` out with the picture's tracks and draws it; `found` tells whether the file a
/// stored media name points to is on this computer, and is asked once for each name.
TimelinePicture DrawTimeline(const Timeline& timeline,
                             const std::function<bool(std::string_view stored)>& found,
                             const PictureSettings& settings);

/// Where the rows start: the width of the track names on their left.
inline constexpr double pictureTrackLabelWidth = 110;

/// The widest picture drawn; a longer timeline is drawn at a smaller scale, with a warning. It
/// holds 500,000 frames (4 h 38 min) at the default scale, and is far below what the viewers
/// can lay out (browsers 2^25 pixels, Qt's raster engine 2^23, GDI 2^27), while the elements
/// drawn along it stay a few megabytes: a ruler tick at most every 18 pixels, and each row's
/// missing clips hatched over at most twice its width.
inline constexpr double pictureMaxWidth = 100000;

}  // namespace pexol
