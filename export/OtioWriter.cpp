// export/OtioWriter.cpp - OpenTimelineIO objects in the schema versions OpenTimelineIO 0.17 reads
#include "export/OtioWriter.h"

#include <nlohmann/json.hpp>

#include "export/TrackLayout.h"

namespace pexol {
namespace {

using Json = nlohmann::json;

// OpenTimelineIO prints NTSC timecode by itself when the rate is exactly 30000/1001.
class OtioBuilder {
 public:
  OtioBuilder(const ExportSettings& settings, const MediaPathOf& mediaPath)
      : settings_(settings), mediaPath_(mediaPath), rate_(FramesPerSecond(settings.rate)) {}

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

  Json Clip(const TrackPiece& piece) const {
    const TimelineItem& item = *piece.item;
    const bool sounding = item.kind == ItemKind::Movie;
    Json clip = Item("Clip.2", ItemName(item, settings_), Range(piece.sourceIn, piece.Length()));
    clip["media_references"]["DEFAULT_MEDIA"] = Reference(item);
    clip["active_media_reference_key"] = "DEFAULT_MEDIA";
    if (item.slow) {
      clip["effects"].push_back({{"OTIO_SCHEMA", "LinearTimeWarp.1"},
                                 {"name", "Slow"},
                                 {"effect_name", "LinearTimeWarp"},
                                 {"metadata", Json::object()},
                                 {"time_scalar", 0.5}});
    }
    Json own = Metadata(item, sounding);
    if (!own.empty()) clip["metadata"]["pexol"] = std::move(own);
    return clip;
  }

  Json TransitionInto(const TrackPiece& piece) const {
    const Transition& transition = *piece.transition;
    Json json = Schema("Transition.1");
    json["name"] = CleanText(Decode(settings_, transition.name));
    json["metadata"] = Json::object();
    json["metadata"]["pexol"] = {
        {"effect", Decode(settings_, transition.name)},
        {"shown_as", transition.code == 'D' ? "dissolve" : "left-to-right bar wipe"}};
    json["transition_type"] = transition.code == 'D' ? "SMPTE_Dissolve" : "Custom";
    json["in_offset"] = Time(0);
    json["out_offset"] = Time(piece.transitionLength);
    return json;
  }

  Json Track(const char* name, const char* kind, const std::vector<TrackPiece>& pieces,
             ExportCounts* counts) const {
    Json track = Item("Track.1", name, nullptr);
    track["kind"] = kind;
    Json& children = track["children"] = Json::array();
    for (const TrackPiece& piece : pieces) {
      if (!piece.item) {
        children.push_back(Gap(piece.Length()));
        continue;
      }
      // The transition takes no time on its track: it reaches into the clips either side.
      if (piece.transition) {
        children.push_back(TransitionInto(piece));
        if (counts) ++counts->transitions;
      }
      children.push_back(Clip(piece));
      if (counts) ++counts->clips;
    }
    return track;
  }

 private:
  Json Reference(const TimelineItem& item) const {
    const bool external = item.kind == ItemKind::Movie || item.kind == ItemKind::Still;
    Json reference = Schema(external ? "ExternalReference.1" : "GeneratorReference.1");
    reference["name"] = "";
    reference["metadata"] = Json::object();
    reference["available_range"] = nullptr;
    reference["available_image_bounds"] = nullptr;
    if (external) {
      reference["target_url"] = mediaPath_(item.name);
    } else if (item.kind == ItemKind::Colour) {
      reference["generator_kind"] = "SolidColor";
      reference["parameters"] = {{"color", HexColour(item.colour)}};
    } else {
      reference["generator_kind"] = "Text";
      reference["parameters"] = {{"text", TitleCaption(item, settings_)}};
    }
    return reference;
  }

  Json Metadata(const TimelineItem& item, bool sounding) const {
    Json own = Json::object();
    const Levels& levels = item.levels;
    if (levels.in != 0 || levels.out != 0 || !levels.points.empty()) {
      Json points = Json::array();
      for (const LevelPoint& point : levels.points) {
        points.push_back({{"position", point.position}, {"level", point.level}});
      }
      own["levels"] = {{"in", levels.in}, {"out", levels.out}, {"points", std::move(points)}};
      // The same levels as gains (100 is the recorded level); silence has no gain (null).
      const auto envelope = sounding ? GainEnvelope(item, item.recordOut - item.recordIn, settings_)
                                     : std::vector<GainPoint>{};
      if (!envelope.empty()) {
        Json gains = Json::array();
        for (const GainPoint& point : envelope) {
          const auto gain = GainDb(point.level);
          gains.push_back({{"frame", point.frame.Value()},
                           {"level", point.level},
                           {"gain_db", gain ? Json(*gain) : Json(nullptr)}});
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
        texts.push_back({{"text", Decode(settings_, text.text)},
                         {"font", Decode(settings_, text.font)},
                         {"size", text.size},
                         {"names_media", text.namesMedia}});
      }
      own["texts"] = std::move(texts);
    }
    return own;
  }

  const ExportSettings& settings_;
  const MediaPathOf& mediaPath_;
  double rate_;
};

}  // namespace

std::string WriteOtio(const Timeline& timeline, const ExportSettings& settings,
                      const MediaPathOf& mediaPath, ExportCounts& counts) {
  counts = {};
  const OtioBuilder builder(settings, mediaPath);

  std::vector<TrackPiece> main = LayOutTrack(timeline.main, {}, &settings);
  AttachTransitions(main, timeline.transitions, &settings);
  std::vector<TrackPiece> mainAudio = LayOutTrack(timeline.main, CarriesAudio);
  AttachTransitions(mainAudio, timeline.transitions);

  Json children = Json::array();
  const auto add = [&](const char* name, const char* kind, const std::vector<TrackPiece>& pieces,
                       bool always, ExportCounts* itemCounts) {
    if (pieces.empty() && !always) return;
    children.push_back(builder.Track(name, kind, pieces, itemCounts));
    ++counts.tracks;
  };
  add("V1", "Video", main, true, &counts);
  add("V2", "Video", LayOutTrack(timeline.insert, {}, &settings), false, &counts);
  add("Titles", "Video", LayOutTrack(timeline.titles), false, &counts);
  add("A1", "Audio", mainAudio, false, nullptr);  // the V1 clips' sound: counted there
  add("A2", "Audio", LayOutTrack(timeline.exAudio[0], {}, &settings), false, &counts);
  add("A3", "Audio", LayOutTrack(timeline.exAudio[1], {}, &settings), false, &counts);

  Json stack = OtioBuilder::Item("Stack.1", "tracks", nullptr);
  stack["children"] = std::move(children);
  const Json document = {{"OTIO_SCHEMA", "Timeline.1"},
                         {"name", settings.projectName},
                         {"metadata", Json::object()},
                         {"global_start_time", nullptr},
                         {"tracks", std::move(stack)}};
  // A decoder that lets bytes through unchanged must not make the export fail.
  return document.dump(4, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace pexol
