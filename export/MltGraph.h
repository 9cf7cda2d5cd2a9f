// export/MltGraph.h - the MLT graph the Shotcut (.mlt) and Kdenlive documents share
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/XmlWriter.h"
#include "layout/ExportTimeline.h"
#include "model/Timeline.h"

namespace pexol {

/// Whose properties the graph carries: Shotcut's or Kdenlive's. The timeline is the same.
enum class MltDialect { Shotcut, Kdenlive };

/// Where a piece's entry starts in its producer's frames (a timewarp producer counts its own).
Frames ProducerIn(const TrackPiece& piece);

/// Writes the parts of the graph both dialects share into `xml`.
class MltGraph {
 public:
  /// `stillService` produces image files: qimage, or pixbuf where there is no display.
  MltGraph(XmlWriter& xml, const ExportTimeline& timeline, MltDialect dialect,
           const char* stillService = "qimage")
      : xml_(xml), timeline_(timeline), dialect_(dialect), stillService_(stillService) {}

  /// The DV profile of the rate, 4:3 or 16:9.
  void Profile(bool wideScreen);
  /// <entry producer in out>; `Close` it unless `open`.
  void Entry(const std::string& producer, Frames in, Frames length, bool open = false);
  /// The service and resource (`path` for media files) of an item's producer (in an open
  /// <producer>), `length` frames long where the service has no length of its own; `muted`
  /// movies play no sound. A movie at full speed whose file was read (`media`) gets the file's
  /// length.
  void Source(const TimelineItem& item, const std::string& path, std::int64_t length, bool muted,
              const MediaReference* media = nullptr);
  /// The name the editor shows for the clip.
  void Caption(const std::string& name);
  /// Filters that belong to the piece's picture: a title's text (over its images, for
  /// Shotcut), a gradient.
  void PictureFilters(const ExportPiece& piece);
  /// A volume filter with a keyframe per level, at `first` plus each point's frame; with a
  /// span (an entry's in and out), its frames count from the span's first.
  void GainFilter(const std::vector<GainPoint>& envelope, Frames first,
                  std::optional<std::pair<std::int64_t, std::int64_t>> span = {});
  /// Shotcut's "Size, Position & Rotate" fit of a still to the frame.
  void KeepAspect();

 private:
  void Mark(const char* shotcut, const char* kdenlive);
  void Gradient(const ColourFill& fill);
  void TextFilter(const ExportPiece& piece);

  XmlWriter& xml_;
  const ExportTimeline& timeline_;
  MltDialect dialect_;
  const char* stillService_;
};

}  // namespace pexol
