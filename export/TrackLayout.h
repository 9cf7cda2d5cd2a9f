// export/TrackLayout.h - a track's items and gaps in recorder order, shared by the exports
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/ExportTypes.h"
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

/// The items of `items` that `keep` accepts (all when empty), in recorder order from frame 0,
/// with gaps between them. Interchange formats hold one item at a time per track: an item that
/// starts before the one before it ends loses its head, one that ends by then or has no length
/// is left out.
std::vector<TrackPiece> LayOutTrack(const std::vector<TimelineItem>& items,
                                    const std::function<bool(const TimelineItem&)>& keep = {});

/// Attaches the transitions to the main-track pieces they lead into. A transition is kept only
/// when both of its clips are on the track, side by side, and is shortened to the incoming
/// piece, so that no export shows a transition its reader cannot place.
void AttachTransitions(std::vector<TrackPiece>& mainPieces,
                       const std::vector<Transition>& transitions);

/// True for an item whose sound plays: a movie with audio levels at normal speed (the project's
/// own EDL lists slow clips as video only).
bool CarriesAudio(const TimelineItem& item);

/// The end of the last piece of any of the tracks.
Frames TimelineEnd(const std::vector<const std::vector<TrackPiece>*>& tracks);

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
