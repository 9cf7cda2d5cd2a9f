// model/Timeline.h - the editorial view of a project: timed items on tracks, and transitions
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Frames.h"
#include "model/Project.h"

namespace pexol {

/// What an item shows.
enum class ItemKind { Movie, Still, Colour, Title };

/// One text element of a title.
struct TitleText {
  std::string text;  ///< as stored (Shift-JIS bytes)
  std::string font;  ///< as stored
  std::int32_t size = 0;
  bool namesMedia = false;  ///< the element value marks the text as a media file name
};

/// A colour clip's fill: one colour, or a gradient of two to four running in `direction`.
struct ColourFill {
  std::vector<std::uint32_t> colours;  ///< 0xRRGGBB each, `count` of them (1 to 4)
  int direction = 0;  ///< 0 to 7: up, up right, right, down right, down, down left, left, up left
  char type = '0';    ///< the descriptor's type digit, as stored
};

/// One item of a track. Frames are counted from 0 at the project's own rate; every "out" is
/// exclusive. Positions are exactly those the project's own EDL gives, wrapped at 32 bits.
struct TimelineItem {
  ItemKind kind = ItemKind::Movie;
  std::string name;  ///< media name as stored (Shift-JIS bytes); the descriptor for colour clips
  Frames sourceIn;
  Frames sourceOut;
  Frames recordIn;
  Frames recordOut;
  /// Half speed: the source frames play over twice as many recorder frames.
  bool slow = false;
  bool hasAudio = false;         ///< a movie whose levels are not all 0
  Levels levels;                 ///< clips and extra audio; empty for titles
  std::uint32_t colour = 0;      ///< colour clips: the first colour of the descriptor, 0xRRGGBB
  ColourFill fill;               ///< colour clips: every colour of the descriptor
  std::vector<TitleText> texts;  ///< titles only
  std::size_t record = 0;        ///< index of the record in its project section
};

/// A transition between main clip `from` and the clip after it (`from + 1`, which may be
/// past the last clip when an effect sits on the last one). It starts at the incoming clip's
/// record in and lasts `length` frames, during which the outgoing clip plays on past its
/// source out (the frames the effect cut off it).
struct Transition {
  std::size_t from = 0;
  std::string name;  ///< the effect's name as stored
  char code = 'W';   ///< 'D' for the dissolve names, 'W' for any other (never 'C')
  Frames length;
  Frames recordIn;
};

/// A title has no stored length; exports give it this many frames.
constexpr Frames titleDefaultFrames = 150;

struct Timeline {
  std::vector<TimelineItem> main;        ///< the main video track, back to back
  std::vector<TimelineItem> insert;      ///< the insert video track, placed by their begin
  std::vector<TimelineItem> exAudio[2];  ///< the two extra audio tracks, placed by their begin
  std::vector<TimelineItem> titles;      ///< titles at their begin, titleDefaultFrames long
  std::vector<Transition> transitions;   ///< in main track order
  /// Frames an effect cut off the end of main clip i (0 when none); the transition into the
  /// next clip plays them. Kept even when the effect has no name, as the EDL shows it.
  std::vector<Frames> mainTail;
  bool wideScreen = false;  ///< the header's aspect ratio is 16:9
};

/// 'D' when `name` is exactly one of the dissolve names the applications store (two of them
/// Shift-JIS), 'C' when it is empty, 'W' for anything else. Case and blanks count.
char TransitionCode(std::string_view name);

/// The timeline of `project`.
Timeline BuildTimeline(const Project& project);

}  // namespace pexol
