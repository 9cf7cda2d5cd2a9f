// tests/export/OtioWriterTest.cpp - OpenTimelineIO documents: schema keys, timing, transitions
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "ExportTimelines.h"
#include "export/OtioWriter.h"

namespace pexol {
namespace {

using Json = nlohmann::json;

struct SchemaKeys {
  std::set<std::string> allowed;
  std::set<std::string> required;  // what the reader refuses to do without
};

// The keys of each schema OpenTimelineIO 0.17 serializes (docs/tutorials/
// otio-serialized-schema.md of that release; "children" is read by every composition although
// that page leaves it out). The reader keeps any other key silently, so a misspelling would
// only show as a lost value in the editor.
const std::map<std::string, SchemaKeys>& PublishedSchema() {
  static const std::map<std::string, SchemaKeys> schema = {
      {"Timeline.1", {{"global_start_time", "metadata", "name", "tracks"}, {"tracks"}}},
      {"Stack.1",
       {{"children", "effects", "enabled", "markers", "metadata", "name", "source_range"},
        {"children"}}},
      {"Track.1",
       {{"children", "effects", "enabled", "kind", "markers", "metadata", "name", "source_range"},
        {"children", "kind"}}},
      {"Clip.2",
       {{"active_media_reference_key", "effects", "enabled", "markers", "media_references",
         "metadata", "name", "source_range"},
        {"active_media_reference_key", "media_references"}}},
      {"Gap.1", {{"effects", "enabled", "markers", "metadata", "name", "source_range"}, {}}},
      {"Transition.1",
       {{"in_offset", "metadata", "name", "out_offset", "transition_type"},
        {"in_offset", "out_offset", "transition_type"}}},
      {"ExternalReference.1",
       {{"available_image_bounds", "available_range", "metadata", "name", "target_url"},
        {"target_url"}}},
      {"GeneratorReference.1",
       {{"available_image_bounds", "available_range", "generator_kind", "metadata", "name",
         "parameters"},
        {"generator_kind", "parameters"}}},
      {"LinearTimeWarp.1",
       {{"effect_name", "metadata", "name", "time_scalar"}, {"effect_name", "time_scalar"}}},
      {"RationalTime.1", {{"rate", "value"}, {"rate", "value"}}},
      {"TimeRange.1", {{"duration", "start_time"}, {"duration", "start_time"}}},
  };
  return schema;
}

// Checks every object below `node` that names a schema; metadata and generator parameters are
// free-form and not walked.
void CheckSchemaKeys(const Json& node, const std::string& where, int& objects) {
  if (node.is_array()) {
    for (std::size_t i = 0; i < node.size(); ++i) {
      CheckSchemaKeys(node[i], where + "[" + std::to_string(i) + "]", objects);
    }
    return;
  }
  if (!node.is_object()) return;
  if (node.contains("OTIO_SCHEMA")) {
    ++objects;
    const std::string name = node["OTIO_SCHEMA"];
    const auto schema = PublishedSchema().find(name);
    ASSERT_NE(schema, PublishedSchema().end()) << where << ": " << name;
    for (const auto& [key, value] : node.items()) {
      if (key == "OTIO_SCHEMA") continue;
      EXPECT_TRUE(schema->second.allowed.count(key)) << where << ": " << name << "." << key;
    }
    for (const std::string& key : schema->second.required) {
      EXPECT_TRUE(node.contains(key)) << where << ": " << name << " lacks " << key;
    }
  }
  for (const auto& [key, value] : node.items()) {
    if (key != "metadata" && key != "parameters")
      CheckSchemaKeys(value, where + "." + key, objects);
  }
}

Json Parse(const Timeline& timeline, const ExportSettings& settings, ExportCounts& counts) {
  return Json::parse(
      test::Exported("otio", timeline, settings, test::MediaUnderSlashMedia, counts));
}

double FrameCount(const Json& time) {
  return time["value"].get<double>();
}

const Json& TrackNamed(const Json& document, const std::string& name) {
  for (const Json& track : document["tracks"]["children"]) {
    if (track["name"] == name) return track;
  }
  static const Json none;
  ADD_FAILURE() << "no track " << name;
  return none;
}

// Where each clip of a track starts: gaps and clips take their duration, transitions none.
std::vector<std::pair<std::string, double>> ClipStarts(const Json& track, double& end) {
  std::vector<std::pair<std::string, double>> starts;
  end = 0;
  for (const Json& child : track["children"]) {
    if (child["OTIO_SCHEMA"] == "Transition.1") continue;
    if (child["OTIO_SCHEMA"] == "Clip.2") starts.emplace_back(child["name"], end);
    end += FrameCount(child["source_range"]["duration"]);
  }
  return starts;
}

TEST(OtioWriter, EveryObjectHasThePublishedKeys) {
  for (const Timeline& timeline : {test::SampleTimeline(), test::LargeTimeline()}) {
    ExportCounts counts;
    const Json document = Parse(timeline, test::NtscSettings(), counts);
    int objects = 0;
    CheckSchemaKeys(document, "timeline", objects);
    EXPECT_GT(objects, 50);
    EXPECT_EQ(document["OTIO_SCHEMA"], "Timeline.1");
    EXPECT_EQ(document["name"], "demo");
    EXPECT_TRUE(document["global_start_time"].is_null());
  }
}

TEST(OtioWriter, TracksPlaceEveryClipAtItsRecordPosition) {
  const Timeline timeline = test::SampleTimeline();
  ExportCounts counts;
  const std::string text =
      test::Exported("otio", timeline, test::NtscSettings(), test::MediaUnderSlashMedia, counts);
  // The exact NTSC rate, from which OpenTimelineIO derives drop frame timecode by itself.
  EXPECT_NE(text.find("\"rate\": 29.97002997002997"), std::string::npos);
  const Json document = Json::parse(text);

  std::vector<std::string> names;
  for (const Json& track : document["tracks"]["children"]) names.push_back(track["name"]);
  EXPECT_EQ(names, (std::vector<std::string>{"V1", "V2", "Title images", "Titles", "A1", "A2", "A3",
                                             "V2 sound"}));
  EXPECT_EQ(counts.tracks, 8);
  EXPECT_EQ(counts.clips, 5 + 2 + 1 + 1 + 1);
  EXPECT_EQ(counts.transitions, 2);

  const std::pair<std::string, const std::vector<TimelineItem>*> tracks[] = {
      {"V1", &timeline.main},
      {"V2", &timeline.insert},
      {"Titles", &timeline.titles},
      {"A2", &timeline.exAudio[0]},
      {"A3", &timeline.exAudio[1]}};
  for (const auto& [name, items] : tracks) {
    SCOPED_TRACE(name);
    const Json& track = TrackNamed(document, name);
    double end = 0;
    const auto starts = ClipStarts(track, end);
    ASSERT_EQ(starts.size(), items->size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
      EXPECT_EQ(starts[i].second, (*items)[i].recordIn) << starts[i].first;
    }
    EXPECT_EQ(end, items->back().recordOut);
  }
  // A1 holds the sound of the main clips that have it: only a.avi.
  double end = 0;
  const auto sound = ClipStarts(TrackNamed(document, "A1"), end);
  ASSERT_EQ(sound.size(), 1u);
  EXPECT_EQ(sound[0].first, "a.avi");
  EXPECT_EQ(TrackNamed(document, "A1")["kind"], "Audio");
  // The inserts' sound, as every other format holds it.
  const auto insertSound = ClipStarts(TrackNamed(document, "V2 sound"), end);
  ASSERT_EQ(insertSound.size(), 1u);
  EXPECT_EQ(TrackNamed(document, "V2 sound")["kind"], "Audio");
  EXPECT_EQ(TrackNamed(document, "Titles")["kind"], "Video");
}

TEST(OtioWriter, TransitionsReachIntoTheIncomingClip) {
  ExportCounts counts;
  const Json document = Parse(test::SampleTimeline(), test::PalSettings(), counts);
  const Json& children = TrackNamed(document, "V1")["children"];
  ASSERT_EQ(children.size(), 7u);
  const Json& dissolve = children[1];
  EXPECT_EQ(dissolve["OTIO_SCHEMA"], "Transition.1");
  EXPECT_EQ(children[0]["name"], "a.avi");
  EXPECT_EQ(children[2]["name"], "b.avi");
  EXPECT_EQ(dissolve["transition_type"], "SMPTE_Dissolve");
  EXPECT_EQ(FrameCount(dissolve["in_offset"]), 0);
  EXPECT_EQ(FrameCount(dissolve["out_offset"]), 15);
  EXPECT_EQ(dissolve["out_offset"]["rate"], 25.0);

  const Json& wipe = children[5];
  EXPECT_EQ(wipe["transition_type"], "Custom");
  EXPECT_EQ(wipe["name"], "Wipe");
  EXPECT_EQ(FrameCount(wipe["out_offset"]), 10);

  // An effect on the last clip has no incoming clip to reach into, and a transition longer
  // than its incoming clip cannot stand: both are left out, as in every other format.
  Timeline timeline = test::SampleTimeline();
  timeline.transitions.push_back(test::Effect(4, 'D', "Dissolve", 20, 335));
  timeline.transitions[1].length = 40;
  const Json clipped = Parse(timeline, test::PalSettings(), counts);
  EXPECT_EQ(TrackNamed(clipped, "V1")["children"][5]["OTIO_SCHEMA"], "Clip.2");
  EXPECT_EQ(counts.transitions, 1);
}

TEST(OtioWriter, MediaReferencesEffectsAndMetadata) {
  ExportSettings settings = test::NtscSettings();
  settings.decode = [](std::string_view stored) { return "<" + std::string(stored) + ">"; };
  ExportCounts counts;
  const Json document = Parse(test::SampleTimeline(), settings, counts);
  const Json& main = TrackNamed(document, "V1")["children"];

  const Json& movie = main[0];
  EXPECT_EQ(movie["name"], "<a.avi>");
  EXPECT_EQ(movie["active_media_reference_key"], "DEFAULT_MEDIA");
  const Json& reference = movie["media_references"]["DEFAULT_MEDIA"];
  EXPECT_EQ(reference["OTIO_SCHEMA"], "ExternalReference.1");
  EXPECT_EQ(reference["target_url"], "/media/a.avi");  // a plain path, not a file:// URL
  EXPECT_EQ(FrameCount(movie["source_range"]["start_time"]), 100);
  EXPECT_EQ(movie["metadata"]["pexol"]["levels"]["in"], 100);

  const Json& slow = main[3];
  EXPECT_EQ(slow["effects"][0]["OTIO_SCHEMA"], "LinearTimeWarp.1");
  EXPECT_EQ(slow["effects"][0]["time_scalar"], 0.5);
  EXPECT_EQ(FrameCount(slow["source_range"]["duration"]), 60);  // its length on the track

  const Json& colour = main[4]["media_references"]["DEFAULT_MEDIA"];
  EXPECT_EQ(colour["OTIO_SCHEMA"], "GeneratorReference.1");
  EXPECT_EQ(colour["generator_kind"], "SolidColor");
  EXPECT_EQ(colour["parameters"]["color"], "#FF0000");

  const Json& title = TrackNamed(document, "Titles")["children"][1];
  EXPECT_EQ(title["name"], "<Hello>");
  const Json& texts = title["metadata"]["pexol"]["texts"];
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]["font"], "<Arial>");
  EXPECT_EQ(texts[0]["size"], 40);
  EXPECT_EQ(texts[1]["names_media"], true);

  const Json& music = TrackNamed(document, "A2")["children"][0];
  EXPECT_EQ(music["metadata"]["pexol"]["levels"]["points"][0]["level"], 80);
}

TEST(OtioWriter, UndecodedBytesDoNotFailTheExport) {
  Timeline timeline;
  timeline.main.push_back(test::Movie("\x95\x5C.avi", 0, 10, 0, 10));  // 表.avi, not decoded
  ExportCounts counts;
  const Json document = Parse(timeline, test::NtscSettings(), counts);
  EXPECT_EQ(TrackNamed(document, "V1")["children"].size(), 1u);
}

}  // namespace
}  // namespace pexol
