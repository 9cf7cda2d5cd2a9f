// layout/TrackLayout.h - a track's items and gaps in recorder order, shared by the exports
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "layout/ExportNotes.h"
#include "layout/ExportTypes.h"
#include "model/Timeline.h"

namespace pexol {

/// One stretch of a track: an item, or a gap when `item` is null.
struct TrackPiece {
  const TimelineItem* item = nullptr;
  std::size_t index = 0;  ///< the item's index in its track list
  Frames recordIn;
  Frames recordOut;  ///< exclusive
  Frames sourceIn;   ///< source frame shown at recordIn
  Frames sourceOut;  ///< exclusive
  /// The transition into this item from the piece before it (which is then an item that
  /// abuts it), and the frames it lasts; null and 0 for a cut.
  const Transition* transition = nullptr;
  Frames transitionLength;

  Frames Length() const { return recordOut - recordIn; }
};

/// Where a layout says what it changed: its notes, which name clips as they show (`ItemName`,
/// decoded by the settings) and transitions by their names.
struct NoteTaker {
  ExportNotes& notes;
  const ExportSettings& settings;

  void Clip(NoteKind kind, const TimelineItem& item) const;
  void Transition(NoteKind kind, const pexol::Transition& transition) const;
};

/// The items of `items` that `keep` accepts (all when empty), in recorder order from frame 0,
/// with gaps between them. Interchange formats hold one item at a time per track: an item that
/// starts before the one before it ends loses its head, one that ends by then or has no length
/// is left out. A movie or sound whose in point lies before its media's first frame starts its
/// media at frame 0 and the clip that many frames later: every format then shows the same
/// frames at the same positions. Each such change is noted through `said`, when given.
std::vector<TrackPiece> LayOutTrack(const std::vector<TimelineItem>& items,
                                    const std::function<bool(const TimelineItem&)>& keep = {},
                                    const NoteTaker* said = nullptr);

/// Attaches the transitions to the main-track pieces they lead into. A transition is kept only
/// when both of its clips are on the track, side by side, and it is no longer than the incoming
/// piece, so that no export shows a transition its reader cannot place; the others are noted
/// through `said`, when given.
void AttachTransitions(std::vector<TrackPiece>& mainPieces,
                       const std::vector<Transition>& transitions, const NoteTaker* said = nullptr);

/// True when the sound of the two clips either side of a transition cross-fades under it: both
/// carry sound.
bool CrossFadesSound(const TimelineItem& outgoing, const TimelineItem& incoming);

/// The main clips' sound as the main track shows it: the pieces of `mainPieces` (with their
/// transitions attached) whose clips carry sound, at the same frames, gaps between them, and
/// the transitions between two of them, which their sound cross-fades under.
std::vector<TrackPiece> SoundPieces(const std::vector<TrackPiece>& mainPieces);

/// The gain of a level, in dB: 100 is the recorded level, 0 silence (nullopt), levels above
/// 200 count as 200.
std::optional<double> GainDb(double level);

/// One point of a gain envelope: a frame from the item's first and its level (0 to 200), an
/// amplitude: 100 plays as recorded, and the amplitude goes in a straight line to the next point.
/// The project's points have whole levels; those between them (`GainKeyframes`) need not.
struct GainPoint {
  Frames frame;
  double level = 100;
};

/// How a format's reader goes from one gain keyframe to the next.
enum class GainInterpolation {
  Decibels,   ///< in a straight line in dB (MLT's volume filter, and most editors)
  Amplitude,  ///< in a straight line in amplitude, as the project's levels go
};

/// The levels of `item` over `length` frames: the level at the start, the level points in
/// order and the level at the end; empty when every level is 100 (the sound as recorded).
/// Levels above 200 are taken as 200 (`LevelsAbove200`).
std::vector<GainPoint> GainEnvelope(const TimelineItem& item, Frames length);

/// True when a level of `item` is above 200, the most a gain envelope holds.
bool LevelsAbove200(const TimelineItem& item);

/// The keyframes a reader that goes between them by `interpolation` needs to play `envelope`
/// within 1 dB at every frame: each of its points at its own frame and level, and for a reader
/// in dB as many between them as keep the amplitude of neighbours within a factor of 2 (a line
/// in dB then strays at most 0.52 dB from the line in amplitude).
std::vector<GainPoint> GainKeyframes(const std::vector<GainPoint>& envelope,
                                     GainInterpolation interpolation);

/// The level of `envelope` at `frame`: the first level before its first point, the last after
/// its last.
double LevelAt(const std::vector<GainPoint>& envelope, Frames frame);

/// Text a viewer reads: line breaks (CR LF, CR or LF) become LF, other control characters go,
/// and no line break ends it.
std::string CleanText(std::string text);

/// True for an item whose sound plays: a movie with audio levels at normal speed (the project's
/// own EDL lists slow clips as video only).
bool CarriesAudio(const TimelineItem& item);

/// `stored` decoded with the settings' decoder (bytes as they are without one).
std::string Decode(const ExportSettings& settings, std::string_view stored);

/// The name an item shows: the media file name without its folders (decoded before splitting,
/// as Shift-JIS trail bytes can be backslashes), "Colour #RRGGBB", or a title's first text.
std::string ItemName(const TimelineItem& item, const ExportSettings& settings);

/// A title's texts joined by line breaks, without the elements that name media files.
std::string TitleCaption(const TimelineItem& item, const ExportSettings& settings);

/// "#RRGGBB" of a 0xRRGGBB colour.
std::string HexColour(std::uint32_t colour);

}  // namespace pexol
