// export/MltGraph.h - the MLT graph the Shotcut (.mlt) and Kdenlive documents share
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "export/ExportTypes.h"
#include "export/TrackLayout.h"
#include "export/XmlWriter.h"
#include "model/Timeline.h"

namespace pexol {

/// Whose properties the graph carries: Shotcut's or Kdenlive's. The timeline is the same.
enum class MltDialect { Shotcut, Kdenlive };

struct MltTrack {
  const char* name;
  bool video;
  bool sound;
  std::vector<TrackPiece> pieces;
  bool repeats = false;  ///< the sound or images of items counted on another track
};

/// The tracks, each present when it holds items (V1 always): V1 (main clips), V2 (insert),
/// Titles, then the sound. Shotcut plays the clips' sound from V1 and V2; Kdenlive from audio
/// tracks of its own, A1 for the main clips and "V2 sound" after the rest. The extra audio
/// tracks are A2 and A3, the names every format gives them.
std::vector<MltTrack> MltTracks(const Timeline& timeline, const ExportSettings& settings,
                                MltDialect dialect);

/// Where a piece's entry starts in its producer's frames (a timewarp producer counts its own).
Frames ProducerIn(const TrackPiece& piece);

/// Writes the parts of the graph both dialects share into `xml`.
class MltGraph {
 public:
  /// `stillService` produces image files: qimage, or pixbuf where there is no display.
  MltGraph(XmlWriter& xml, const ExportSettings& settings, const MediaPathOf& mediaPath,
           MltDialect dialect, const char* stillService = "qimage")
      : xml_(xml),
        settings_(settings),
        mediaPath_(mediaPath),
        dialect_(dialect),
        stillService_(stillService) {}

  /// The DV profile of the rate, 4:3 or 16:9.
  void Profile(bool wideScreen);
  /// <entry producer in out>; `Close` it unless `open`.
  void Entry(const std::string& producer, Frames in, Frames length, bool open = false);
  /// The service and resource of an item's producer (in an open <producer>), `length` frames
  /// long where the service has no length of its own; `muted` movies play no sound.
  void Source(const TimelineItem& item, std::int64_t length, bool muted);
  /// The name the editor shows for the item.
  void Caption(const TimelineItem& item);
  /// Filters that belong to the item's picture: a title's text and images, a gradient.
  void PictureFilters(const TimelineItem& item);
  /// A volume filter with a keyframe per level, at `first` plus each point's frame; with a
  /// span (an entry's in and out), its frames count from the span's first.
  void GainFilter(const std::vector<GainPoint>& envelope, Frames first,
                  std::optional<std::pair<std::int64_t, std::int64_t>> span = {});
  /// Shotcut's "Size, Position & Rotate" fit of a still to the frame.
  void KeepAspect();

 private:
  void Mark(const char* shotcut, const char* kdenlive);
  void Gradient(const ColourFill& fill);
  void TextFilter(const TimelineItem& item);

  XmlWriter& xml_;
  const ExportSettings& settings_;
  const MediaPathOf& mediaPath_;
  MltDialect dialect_;
  const char* stillService_;
};

}  // namespace pexol
