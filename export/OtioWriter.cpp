// export/OtioWriter.cpp - OpenTimelineIO objects in the schema versions OpenTimelineIO 0.17 reads
#include "export/OtioWriter.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace pexol {
namespace {

using Json = nlohmann::json;

// OpenTimelineIO prints NTSC timecode by itself when the rate is exactly 30000/1001.
class OtioBuilder {
 public:
  explicit OtioBuilder(const ExportTimeline& timeline)
      : timeline_(timeline), rate_(FramesPerSecond(timeline.rate)) {}

  // Objects are filled by moving values in: brace lists would copy every nested object.
  Json Time(Frames frames) const {
    Json time = Schema("RationalTime.1");
    time["rate"] = rate_;
    time["value"] = double(frames.Value());
    return time;
  }

  Json Range(Frames start, Frames duration) const {
    Json range = Schema("TimeRange.1");
    range["start_time"] = Time(start);
    range["duration"] = Time(duration);
    return range;
  }

  static Json Schema(const char* schema) {
    Json object = Json::object();
    object["OTIO_SCHEMA"] = schema;
    return object;
  }

  static Json Item(const char* schema, std::string name, Json sourceRange) {
    Json item = Schema(schema);
    item["name"] = std::move(name);
    item["metadata"] = Json::object();
    item["source_range"] = std::move(sourceRange);
    item["effects"] = Json::array();
    item["markers"] = Json::array();
    item["enabled"] = true;
    return item;
  }

  Json Gap(Frames length) const { return Item("Gap.1", "", Range(0, length)); }

  Json Clip(const ExportPiece& piece) const {
    const TimelineItem& item = *piece.item;
    Json clip = Item("Clip.2", piece.name, Range(piece.sourceIn, piece.Length()));
    clip["media_references"]["DEFAULT_MEDIA"] = Reference(piece);
    clip["active_media_reference_key"] = "DEFAULT_MEDIA";
    if (item.slow) {
      clip["effects"].push_back({{"OTIO_SCHEMA", "LinearTimeWarp.1"},
                                 {"name", "Slow"},
                                 {"effect_name", "LinearTimeWarp"},
                                 {"metadata", Json::object()},
                                 {"time_scalar", 0.5}});
    }
    Json own = Metadata(piece);
    if (!own.empty()) clip["metadata"]["pexol"] = std::move(own);
    return clip;
  }

  // On a sound track every transition is the linear cross-fade its sound makes (a wipe has no
  // meaning for sound), which OpenTimelineIO's dissolve is.
  Json TransitionInto(const ExportPiece& piece, bool video) const {
    const Transition& transition = *piece.transition;
    const bool dissolve = transition.code == 'D' || !video;
    Json json = Schema("Transition.1");
    json["name"] = CleanText(Decode(transition.name));
    json["metadata"] = Json::object();
    json["metadata"]["pexol"] = {{"effect", Decode(transition.name)},
                                 {"shown_as", !video     ? "linear cross-fade"
                                              : dissolve ? "dissolve"
                                                         : "left-to-right bar wipe"}};
    json["transition_type"] = dissolve ? "SMPTE_Dissolve" : "Custom";
    json["in_offset"] = Time(0);
    json["out_offset"] = Time(piece.transitionLength);
    return json;
  }

  Json Track(const ExportTrack& exportTrack) const {
    Json track = Item("Track.1", exportTrack.name, nullptr);
    track["kind"] = exportTrack.video ? "Video" : "Audio";
    Json& children = track["children"] = Json::array();
    for (const ExportPiece& piece : exportTrack.pieces) {
      if (!piece.item) {
        children.push_back(Gap(piece.Length()));
        continue;
      }
      // The transition takes no time on its track: it reaches into the clips either side.
      if (piece.transition) children.push_back(TransitionInto(piece, exportTrack.video));
      children.push_back(Clip(piece));
    }
    return track;
  }

 private:
  Json Reference(const ExportPiece& piece) const {
    const TimelineItem& item = *piece.item;
    const bool external = item.kind == ItemKind::Movie || item.kind == ItemKind::Still;
    Json reference = Schema(external ? "ExternalReference.1" : "GeneratorReference.1");
    reference["name"] = "";
    reference["metadata"] = Json::object();
    reference["available_range"] = nullptr;
    reference["available_image_bounds"] = nullptr;
    if (external) {
      reference["target_url"] = piece.media->path;
      // The whole file, where it was read: a reader may then trim past the clip's ends.
      if (item.kind == ItemKind::Movie && piece.media->length)
        reference["available_range"] = Range(0, Frames::Wrapped(piece.media->length->frames));
    } else if (item.kind == ItemKind::Colour) {
      reference["generator_kind"] = "SolidColor";
      reference["parameters"] = {{"color", HexColour(item.colour)}};
    } else {
      reference["generator_kind"] = "Text";
      reference["parameters"] = {{"text", piece.caption}};
    }
    return reference;
  }

  Json Metadata(const ExportPiece& piece) const {
    const TimelineItem& item = *piece.item;
    Json own = Json::object();
    const Levels& levels = item.levels;
    if (levels.in != 0 || levels.out != 0 || !levels.points.empty()) {
      Json points = Json::array();
      for (const LevelPoint& point : levels.points) {
        points.push_back({{"position", point.position}, {"level", point.level}});
      }
      own["levels"] = {{"in", levels.in}, {"out", levels.out}, {"points", std::move(points)}};
      // The same levels as gains (100 is the recorded level); silence has no gain (null).
      if (!piece.gain.empty()) {
        Json gains = Json::array();
        for (const GainPoint& point : piece.gain) {
          // To a millionth of a dB: the last bits of a logarithm differ between the C libraries
          // of the Linux and Windows builds, which write the same bytes.
          const auto gain = GainDb(point.level);
          const double db = gain ? std::round(*gain * 1e6) / 1e6 : 0;
          // The project's own levels are whole numbers; those between them need not be.
          const double whole = std::round(point.level);
          gains.push_back({{"frame", point.frame.Value()},
                           {"level", whole == point.level ? Json(int(whole)) : Json(point.level)},
                           {"gain_db", gain ? Json(db) : Json(nullptr)}});
        }
        own["gain_envelope"] = std::move(gains);
      }
    }
    if (item.kind == ItemKind::Still) own["fit"] = "keep aspect ratio";
    if (item.kind == ItemKind::Colour) {
      Json colours = Json::array();
      for (std::uint32_t colour : item.fill.colours) colours.push_back(HexColour(colour));
      static constexpr const char* directions[8] = {"up",   "up right",  "right", "down right",
                                                    "down", "down left", "left",  "up left"};
      own["colour"] = {{"type", std::string(1, item.fill.type)},
                       {"colours", std::move(colours)},
                       {"direction", directions[item.fill.direction & 7]}};
    }
    if (!item.texts.empty()) {
      Json texts = Json::array();
      for (const TitleText& text : item.texts) {
        texts.push_back({{"text", Decode(text.text)},
                         {"font", Decode(text.font)},
                         {"size", text.size},
                         {"names_media", text.namesMedia}});
      }
      own["texts"] = std::move(texts);
    }
    return own;
  }

  std::string Decode(std::string_view stored) const { return timeline_.Decoded(stored); }

  const ExportTimeline& timeline_;
  double rate_;
};

}  // namespace

ExportWritten WriteOtio(const ExportTimeline& timeline, const FormatOptions& /*options*/) {
  const OtioBuilder builder(timeline);
  // V1 always; every other track that holds clips.
  std::vector<const ExportTrack*> written;
  Json children = Json::array();
  for (const ExportTrack& track : timeline.tracks) {
    if (track.Empty() && track.role != TrackRole::Main) continue;
    children.push_back(builder.Track(track));
    written.push_back(&track);
  }

  Json stack = OtioBuilder::Item("Stack.1", "tracks", nullptr);
  stack["children"] = std::move(children);
  const Json document = {{"OTIO_SCHEMA", "Timeline.1"},
                         {"name", timeline.projectName},
                         {"metadata", Json::object()},
                         {"global_start_time", nullptr},
                         {"tracks", std::move(stack)}};
  ExportWritten out;
  // A decoder that lets bytes through unchanged must not make the export fail.
  out.files.push_back({"", document.dump(4, ' ', false, Json::error_handler_t::replace) + '\n'});
  out.counts = CountWritten(written);
  return out;
}

}  // namespace pexol
