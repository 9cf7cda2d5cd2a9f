// tests/export/CrossFormatTest.cpp - every format of the export's table read back (JSON, XML, EDL
// text, MLT itself) against what the project says: the same clips end at the same frames on the
// same tracks, show the same source frames, with the same transitions and levels
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <mlt++/Mlt.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>

#include "ExportTimelines.h"
#include "FcpxmlRead.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "core/TextEncoding.h"
#include "fuzz/AafReadBack.h"
#include "model/Project.h"
#include "support/AafRead.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

// Where a clip of a format starts on the record side, and the source frame it shows there.
struct Placed {
  std::int64_t record = 0;
  std::int64_t source = 0;
};

// A clip as the project shows it on a one-at-a-time track.
struct ShownClip {
  std::size_t index = 0;
  std::int64_t start = 0;   // record frame it shows from
  std::int64_t source = 0;  // the source frame there
};

// Per track name: where each clip ends (record frames, ascending), where the clips a reader can
// place start and what they show; for V1 also its transitions as (record in, length), and those
// the main clips' sound cross-fades under (on A1, or on V1 where the format plays its sound).
// A clip's gain keyframes as its format keys them (from the item's first frame, the piece's
// or the media's), with levels as the project's (100 = as recorded). Each format counts them
// from its own origin, but every envelope ends at its item's last frame: `end` is where the
// clip ends on the record side.
struct Envelope {
  std::int64_t end = 0;
  std::vector<std::pair<std::int64_t, double>> keys;
  bool amplitude = false;  // its reader goes between keys in a line in amplitude, not in dB
};

struct Tracks {
  std::map<std::string, std::vector<std::int64_t>> clipEnds;
  std::map<std::string, std::vector<Placed>> placed;
  std::map<std::string, std::vector<Envelope>> gains;
  std::set<std::pair<std::int64_t, std::int64_t>> transitions;
  std::set<std::pair<std::int64_t, std::int64_t>> soundTransitions;
  int wipes = 0;            // V1's transitions that wipe rather than dissolve
  int blackReels = 0;       // an EDL's picture events from the black reel
  std::size_t markers = 0;  // titles read as markers
};

constexpr double floorDb = -90;  // the quietest gain the formats write; silence below it

double Db(double level) {
  return level <= 0 ? floorDb : std::max(floorDb, 20 * std::log10(level / 100));
}

double LevelOfDb(double db) {
  return db <= floorDb ? 0 : 100 * std::pow(10, db / 20);
}

// The envelope's level at record frame `at`, going between keyframes as its format's reader
// does.
double LevelAt(const Envelope& envelope, std::int64_t at) {
  const auto& keys = envelope.keys;
  const std::int64_t frame = keys.back().first - (envelope.end - 1 - at);
  std::size_t after = 0;
  while (after < keys.size() && keys[after].first <= frame) ++after;
  if (after == 0) return keys.front().second;
  if (after == keys.size()) return keys.back().second;
  const auto& [x0, y0] = keys[after - 1];
  const auto& [x1, y1] = keys[after];
  const double part = double(frame - x0) / double(x1 - x0);
  if (envelope.amplitude) return y0 + (y1 - y0) * part;
  return LevelOfDb(Db(y0) + (Db(y1) - Db(y0)) * part);
}

bool Sounds(const TimelineItem& item) {
  return item.kind == ItemKind::Movie && item.hasAudio && !item.slow;
}

// The clips of `items` as one-at-a-time tracks show them, stated from the project: in record
// order, each loses the head an earlier clip still covers, goes when nothing is left; a movie
// that starts before its media's first frame starts that many frames (twice as many when slow)
// later.
std::vector<ShownClip> Shown(const std::vector<TimelineItem>& items, bool soundOnly) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (!soundOnly || Sounds(items[i])) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return items[a].recordIn < items[b].recordIn;
  });
  std::vector<ShownClip> shown;
  std::int64_t covered = 0;
  for (std::size_t i : order) {
    const TimelineItem& item = items[i];
    const std::int64_t in = item.recordIn.Value(), out = item.recordOut.Value();
    if (out <= in || out <= covered) continue;
    std::int64_t start = std::max(in, covered);
    // Source frames count in the project's 32-bit arithmetic.
    const Frames trimmed = Frames::Wrapped(start - in);
    Frames source = item.sourceIn + (item.slow ? trimmed.Half() : trimmed);
    if (item.kind == ItemKind::Movie && source < 0) {
      start += (item.slow ? -2 : -1) * std::int64_t{source.Value()};
      source = 0;
    }
    if (start >= out) continue;
    shown.push_back({i, start, source.Value()});
    covered = out;
  }
  return shown;
}

// The project's clips per track, as shown, for the source frames a format places.
struct ShownTrack {
  std::vector<TimelineItem> items;
  std::vector<ShownClip> clips;
};
using ShownTracks = std::map<std::string, ShownTrack>;

ShownTracks ShownOf(const Timeline& timeline) {
  ShownTracks tracks;
  const auto add = [&](const char* name, const std::vector<TimelineItem>& items, bool sound) {
    tracks[name] = {items, Shown(items, sound)};
  };
  add("V1", timeline.main, false);
  add("V2", timeline.insert, false);
  add("Titles", timeline.titles, false);
  // Each image a title shows is a still over the title's frames, under it.
  std::vector<TimelineItem> images;
  for (const TimelineItem& title : timeline.titles)
    for (const TitleText& text : title.texts)
      if (text.namesMedia) images.push_back(title);
  add("Title images", images, false);
  // The main clips' sound is that of the clips V1 shows, as it shows them.
  ShownTrack& sound = tracks["A1"] = tracks["V1"];
  std::erase_if(sound.clips,
                [&](const ShownClip& clip) { return !Sounds(sound.items[clip.index]); });
  add("A2", timeline.exAudio[0], false);
  add("A3", timeline.exAudio[1], false);
  add("V2 sound", timeline.insert, true);
  return tracks;
}

Tracks Expected(const Timeline& timeline) {
  Tracks expected;
  for (const auto& [name, track] : ShownOf(timeline)) {
    expected.clipEnds[name];
    for (const ShownClip& clip : track.clips)
      expected.clipEnds[name].push_back(track.items[clip.index].recordOut.Value());
  }
  // A transition plays where both its clips show side by side and the incoming one lasts it.
  const auto shown = Shown(timeline.main, false);
  for (std::size_t s = 1; s < shown.size(); ++s)
    for (const Transition& transition : timeline.transitions) {
      const TimelineItem& outgoing = timeline.main[shown[s - 1].index];
      const TimelineItem& incoming = timeline.main[shown[s].index];
      if (transition.from != shown[s - 1].index || transition.from + 1 != shown[s].index ||
          outgoing.recordOut.Value() != shown[s].start || transition.length <= 0 ||
          transition.length.Value() > incoming.recordOut.Value() - shown[s].start)
        continue;
      expected.transitions.insert({shown[s].start, transition.length.Value()});
      // The sound cross-fades where both clips carry it; beside a silent clip it cuts.
      if (Sounds(outgoing) && Sounds(incoming))
        expected.soundTransitions.insert({shown[s].start, transition.length.Value()});
    }
  for (auto& [name, ends] : expected.clipEnds) std::sort(ends.begin(), ends.end());
  return expected;
}

// Each format's reader puts what it found into `found`; tracks it leaves out stay absent.
Tracks ReadOtio(const std::string& document) {
  Tracks found;
  const auto json = nlohmann::json::parse(document);
  for (const auto& track : json["tracks"]["children"]) {
    const std::string name = track["name"].get<std::string>();
    auto& ends = found.clipEnds[name];
    double at = 0;
    for (const auto& child : track["children"]) {
      if (child["OTIO_SCHEMA"] == "Transition.1") {
        const std::pair span{std::int64_t(at), std::int64_t(child["out_offset"]["value"])};
        if (name == "V1") found.transitions.insert(span);
        if (name == "V1" && child["transition_type"] == "Custom") ++found.wipes;
        if (name == "A1") found.soundTransitions.insert(span);
        continue;
      }
      const auto& range = child["source_range"];
      if (child["OTIO_SCHEMA"] == "Clip.2")
        found.placed[name].push_back(
            {std::int64_t(at), std::int64_t(range["start_time"]["value"].get<double>())});
      at += range["duration"]["value"].get<double>();
      if (child["OTIO_SCHEMA"] != "Clip.2") continue;
      ends.push_back(std::int64_t(at));
      const auto own = child["metadata"].find("pexol");
      if (own == child["metadata"].end() || !own->contains("gain_envelope")) continue;
      Envelope envelope{std::int64_t(at), {}};
      for (const auto& key : (*own)["gain_envelope"])
        envelope.keys.push_back(
            {key["frame"], key["gain_db"].is_null() ? 0 : LevelOfDb(key["gain_db"].get<double>())});
      found.gains[name].push_back(std::move(envelope));
    }
  }
  return found;
}

// AAF read by pyaaf2: each track's clips, the titles' markers as their clips, V1's
// transitions and A1's cross-fades, and the gain keyed on sound clips.
Tracks ReadAafTracks(const test::AafRead& read) {
  Tracks found;
  for (const test::AafTrack& track : read.tracks) {
    auto& ends = found.clipEnds[track.name];
    for (const test::AafItem& item : track.items) {
      if (item.kind == test::AafItem::Transition) {
        if (track.name == "V1") found.transitions.insert({item.record, item.length});
        if (track.name == "V1" && item.wipe != 0) ++found.wipes;
        if (track.name == "A1") {
          EXPECT_EQ(item.operation, "Audio Dissolve");
          found.soundTransitions.insert({item.record, item.length});
        }
        continue;
      }
      if (item.kind != test::AafItem::Clip) continue;
      const std::int64_t end = item.record + item.length;
      ends.push_back(end);
      found.placed[track.name].push_back({item.record, item.source});
      if (item.gain.empty()) continue;
      Envelope envelope{end, {}, true};
      for (const auto& [frame, amplitude] : item.gain)
        envelope.keys.push_back({frame, 100 * amplitude});
      found.gains[track.name].push_back(std::move(envelope));
    }
  }
  for (const test::AafMarker& marker : read.markers)
    found.clipEnds["Titles"].push_back(marker.position + marker.length);
  found.markers = read.markers.size();
  return found;
}

// What AAF holds of the project: colour clips are fillers, as its readers share no colour.
Tracks WithoutColours(Tracks expected, const ShownTracks& shown) {
  for (const auto& [name, track] : shown)
    for (const ShownClip& clip : track.clips) {
      const TimelineItem& item = track.items[clip.index];
      if (item.kind != ItemKind::Colour) continue;
      auto& ends = expected.clipEnds[name];
      const auto at = std::find(ends.begin(), ends.end(), item.recordOut.Value());
      if (at != ends.end()) ends.erase(at);
    }
  return expected;
}

// PAL timecodes: 25 frames a second.
std::int64_t PalFrames(const std::string& timecode) {
  int h = 0, m = 0, s = 0, f = 0;
  std::sscanf(timecode.c_str(), "%d:%d:%d:%d", &h, &m, &s, &f);
  return ((std::int64_t{h} * 60 + m) * 60 + s) * 25 + f;
}

void ReadCmx(const std::string& name, const std::string& text, Tracks& found) {
  auto& ends = found.clipEnds[name];
  if (name == "V1") found.clipEnds["A1"];
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() < 70 || !std::isdigit(static_cast<unsigned char>(line[0]))) continue;
    std::istringstream fields(line);
    std::string number, reel, channel, kind, word;
    std::vector<std::string> words;
    fields >> number >> reel >> channel >> kind;
    while (fields >> word) words.push_back(word);
    const std::int64_t in = PalFrames(words[words.size() - 2]);
    const std::int64_t out = PalFrames(words.back());
    // On the main list "B" is picture and sound, the sound being the track A1.
    const bool picture = name != "V1" || channel != "A";
    const bool sound = name == "V1" && channel != "V";
    if (kind != "C" && name == "V1") {
      found.transitions.insert({in, std::stoll(words.front())});
      found.wipes += kind[0] == 'W';
      if (sound) found.soundTransitions.insert({in, std::stoll(words.front())});
    }
    // The outgoing clip of a transition is repeated as a cut of no length: its end is known.
    if (out <= in) continue;
    const Placed placed{in, PalFrames(words[words.size() - 4])};
    if (picture) {
      ends.push_back(out);
      found.placed[name].push_back(placed);
      found.blackReels += reel == "BL";
    }
    if (sound) {
      found.clipEnds["A1"].push_back(out);
      found.placed["A1"].push_back(placed);
    }
  }
}

using XmlDocument = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

bool Named(xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name);
}

std::string Content(xmlNode* node) {
  xmlChar* text = xmlNodeGetContent(node);
  std::string copy = text ? reinterpret_cast<const char*>(text) : "";
  xmlFree(text);
  return copy;
}

xmlNode* Child(xmlNode* node, const char* name) {
  for (xmlNode* child = node->children; child; child = child->next)
    if (Named(child, name)) return child;
  return nullptr;
}

// Final Cut Pro 7 XML numbers its tracks (the titles' images under the titles where there are
// any); a clip next to a transition ends at -1, where the transition that follows it starts.
Tracks ReadFcp7(const std::string& document) {
  Tracks found;
  const XmlDocument doc(xmlReadMemory(document.data(), static_cast<int>(document.size()),
                                      "fcp7.xml", nullptr, XML_PARSE_NONET),
                        &xmlFreeDoc);
  EXPECT_TRUE(doc);
  if (!doc) return found;
  xmlNode* media = Child(Child(xmlDocGetRootElement(doc.get()), "sequence"), "media");
  std::size_t videoTracks = 0;
  for (xmlNode* track = Child(media, "video")->children; track; track = track->next)
    videoTracks += Named(track, "track");
  const std::map<std::string, std::vector<std::string>> names = {
      {"video", videoTracks == 4 ? std::vector<std::string>{"V1", "V2", "Title images", "Titles"}
                                 : std::vector<std::string>{"V1", "V2", "Titles"}},
      {"audio", {"A1", "A2", "A3", "V2 sound"}}};
  for (const auto& [kind, trackNames] : names) {
    std::size_t index = 0;
    for (xmlNode* track = Child(media, kind.c_str())->children; track; track = track->next) {
      if (!Named(track, "track")) continue;
      const std::string name = trackNames.at(index++);
      auto& ends = found.clipEnds[name];
      bool open = false;
      for (xmlNode* item = track->children; item; item = item->next) {
        if (Named(item, "transitionitem")) {
          const std::int64_t start = std::stoll(Content(Child(item, "start")));
          if (open) ends.push_back(start), open = false;
          const std::pair span{start, std::stoll(Content(Child(item, "end"))) - start};
          if (name == "V1") found.transitions.insert(span);
          if (name == "V1" && Content(Child(Child(item, "effect"), "effectid")) == "Edge Wipe")
            ++found.wipes;
          if (name == "A1") {
            found.soundTransitions.insert(span);
            EXPECT_EQ(Content(Child(Child(item, "effect"), "effectid")),
                      "KGAudioTransCrossFade0dB");
          }
        }
        if (!Named(item, "clipitem") && !Named(item, "generatoritem")) continue;
        const std::int64_t end = std::stoll(Content(Child(item, "end")));
        // A clip after a transition starts at -1, in the transition.
        if (const std::int64_t start = std::stoll(Content(Child(item, "start"))); start >= 0)
          if (xmlNode* in = Child(item, "in"))
            found.placed[name].push_back({start, std::stoll(Content(in))});
        if (end < 0) {
          open = true;
          continue;
        }
        ends.push_back(end);
        for (xmlNode* filter = item->children; filter; filter = filter->next) {
          xmlNode* effect = Named(filter, "filter") ? Child(filter, "effect") : nullptr;
          if (!effect || Content(Child(effect, "effectid")) != "audiolevels") continue;
          Envelope envelope{end, {}};
          for (xmlNode* key = Child(effect, "parameter")->children; key; key = key->next)
            if (Named(key, "keyframe"))
              envelope.keys.push_back({std::stoll(Content(Child(key, "when"))),
                                       100 * std::stod(Content(Child(key, "value")))});
          found.gains[name].push_back(std::move(envelope));
        }
      }
    }
  }
  return found;
}

std::string MltProperty(xmlNode* node, const char* name) {
  for (xmlNode* child = node->children; child; child = child->next) {
    if (!Named(child, "property")) continue;
    xmlChar* own = xmlGetProp(child, BAD_CAST "name");
    const bool match = own && xmlStrEqual(own, BAD_CAST name);
    xmlFree(own);
    if (match) return Content(child);
  }
  return "";
}

std::int64_t AttributeNumber(xmlNode* node, const char* attribute) {
  xmlChar* value = xmlGetProp(node, BAD_CAST attribute);
  const std::int64_t number = value ? std::stoll(reinterpret_cast<const char*>(value)) : 0;
  xmlFree(value);
  return number;
}

// The cross-fades of the main clips' sound in an MLT document: Kdenlive's mixes on its track
// A1; in Shotcut's, where V1 plays the sound, the mixes of V1's transitions that cross-fade (the
// others take the incoming clip's sound alone; without a mix the outgoing clip's plays on).
std::set<std::pair<std::int64_t, std::int64_t>> MltSoundTransitions(const std::string& document,
                                                                    bool kdenlive) {
  std::set<std::pair<std::int64_t, std::int64_t>> found;
  const XmlDocument doc(xmlReadMemory(document.data(), static_cast<int>(document.size()), "mlt.xml",
                                      nullptr, XML_PARSE_NONET),
                        &xmlFreeDoc);
  if (!doc) return found;
  std::map<std::string, xmlNode*> byId;
  xmlNode* root = xmlDocGetRootElement(doc.get());
  for (xmlNode* node = root->children; node; node = node->next)
    if (Named(node, "tractor") || Named(node, "playlist")) {
      xmlChar* id = xmlGetProp(node, BAD_CAST "id");
      if (id) byId[reinterpret_cast<const char*>(id)] = node;
      xmlFree(id);
    }
  const auto mix = [](xmlNode* tractor) {
    for (xmlNode* child = tractor->children; child; child = child->next)
      if (Named(child, "transition") && MltProperty(child, "mlt_service") == "mix")
        return MltProperty(child, "start");
    return std::string("none");
  };
  for (const auto& [id, node] : byId) {
    if (kdenlive && Named(node, "tractor") && MltProperty(node, "kdenlive:track_name") == "A1")
      for (xmlNode* child = node->children; child; child = child->next)
        if (Named(child, "transition") && MltProperty(child, "mlt_service") == "mix")
          found.insert({AttributeNumber(child, "in"),
                        AttributeNumber(child, "out") - AttributeNumber(child, "in") + 1});
    if (kdenlive || !Named(node, "playlist") || MltProperty(node, "shotcut:name") != "V1") continue;
    std::int64_t at = 0;
    for (xmlNode* child = node->children; child; child = child->next) {
      if (Named(child, "blank")) at += AttributeNumber(child, "length");
      if (!Named(child, "entry")) continue;
      const std::int64_t length = AttributeNumber(child, "out") - AttributeNumber(child, "in") + 1;
      xmlChar* producer = xmlGetProp(child, BAD_CAST "producer");
      const auto transition = byId.find(reinterpret_cast<const char*>(producer));
      xmlFree(producer);
      if (transition != byId.end() && Named(transition->second, "tractor")) {
        const std::string start = mix(transition->second);
        if (start == "-1") found.insert({at, length});
        EXPECT_TRUE(start == "-1" || start == "1") << "the sound under the transition at " << at;
      }
      at += length;
    }
  }
  return found;
}

// Where the clips of an MLT playlist start and their first frames; transitions (tractors) and
// slow clips (timewarp, which counts its own frames) are not placed.
void PlaceMltClips(Mlt::Producer& track, std::vector<Placed>& placed,
                   std::vector<Envelope>& gains) {
  Mlt::Playlist playlist(track);
  for (int i = 0; i < playlist.count(); ++i) {
    if (playlist.is_blank(i)) continue;
    Mlt::ClipInfo* info = playlist.clip_info(i);
    const char* service = info->producer->get("mlt_service");
    const std::string kind = service ? service : "";
    if (kind != "tractor" && kind != "timewarp") placed.push_back({info->start, info->frame_in});
    // The volume filter's keyframes: "frame=dB;...".
    for (Mlt::Service* holder :
         {static_cast<Mlt::Service*>(info->cut), static_cast<Mlt::Service*>(info->producer)}) {
      for (int f = 0; f < holder->filter_count(); ++f) {
        std::unique_ptr<Mlt::Filter> filter(holder->filter(f));
        const char* filterService = filter->get("mlt_service");
        if (!filterService || std::string(filterService) != "volume") continue;
        Envelope envelope{info->start + info->frame_count, {}};
        std::istringstream keys(filter->get("level"));
        std::string key;
        while (std::getline(keys, key, ';')) {
          const auto equals = key.find('=');
          envelope.keys.push_back(
              {std::stoll(key.substr(0, equals)), LevelOfDb(std::stod(key.substr(equals + 1)))});
        }
        gains.push_back(std::move(envelope));
      }
    }
    Mlt::Playlist::delete_clip_info(info);
  }
}

// The MLT documents as MLT itself loads them: the frames each named track lasts, and where
// its clips start in `found`.
std::map<std::string, std::int64_t> MltTrackLengths(const std::string& document, bool kdenlive,
                                                    Tracks& found) {
  static Mlt::Repository* repository = Mlt::Factory::init();
  (void)repository;
  Mlt::Profile profile("dv_pal");
  Mlt::Producer producer(profile, "xml-string", document.c_str());
  EXPECT_TRUE(producer.is_valid());
  std::map<std::string, std::int64_t> lengths;
  if (!producer.is_valid()) return lengths;
  Mlt::Tractor tractor(producer);
  std::unique_ptr<Mlt::Multitrack> tracks(tractor.multitrack());
  for (int t = 0; t < tracks->count(); ++t) {
    std::unique_ptr<Mlt::Producer> track(tracks->track(t));
    const char* name = track->get(kdenlive ? "kdenlive:track_name" : "shotcut:name");
    if (name == nullptr || *name == '\0') continue;
    std::int64_t length = 0;
    if (kdenlive) {
      Mlt::Tractor inner(*track);
      std::unique_ptr<Mlt::Multitrack> sides(inner.multitrack());
      for (int s = 0; s < sides->count(); ++s) {
        std::unique_ptr<Mlt::Producer> side(sides->track(s));
        length = std::max<std::int64_t>(length, side->get_playtime());
        PlaceMltClips(*side, found.placed[name], found.gains[name]);
      }
    } else {
      length = track->get_playtime();
      PlaceMltClips(*track, found.placed[name], found.gains[name]);
    }
    lengths[name] = length;
  }
  return lengths;
}

void ExpectSame(const Tracks& expected, const Tracks& found, const std::string& format,
                const std::string& project) {
  for (const auto& [name, ends] : found.clipEnds) {
    const auto want = expected.clipEnds.find(name);
    ASSERT_NE(want, expected.clipEnds.end()) << format << " " << project << ": track " << name;
    std::vector<std::int64_t> sorted = ends;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, want->second) << format << " " << project << ": track " << name;
  }
  EXPECT_EQ(found.transitions, expected.transitions) << format << " " << project;
  EXPECT_EQ(found.soundTransitions, expected.soundTransitions) << format << " " << project;
}

// Each placed movie shows the source frame the project has at that record frame; stills,
// colours and titles have no source frames to compare, slow clips count theirs at half speed.
void ExpectSameSources(const ShownTracks& shown, const Tracks& found, const std::string& format,
                       const std::string& project) {
  for (const auto& [name, placed] : found.placed) {
    const auto track = shown.find(name);
    if (track == shown.end()) continue;  // the titles' images: no track of the project
    const std::vector<TimelineItem>& items = track->second.items;
    const std::vector<ShownClip>& clips = track->second.clips;
    for (const Placed& clip : placed) {
      const auto covering = std::find_if(clips.begin(), clips.end(), [&](const ShownClip& c) {
        return c.start <= clip.record && clip.record < items[c.index].recordOut.Value();
      });
      if (covering == clips.end()) {
        ADD_FAILURE() << format << " " << project << ": " << name << " has a clip at "
                      << clip.record << " where the project shows none";
        continue;
      }
      const TimelineItem& item = items[covering->index];
      if (item.kind != ItemKind::Movie || item.slow) continue;
      EXPECT_EQ(clip.source, covering->source + (clip.record - covering->start))
          << format << " " << project << ": " << name << " at " << clip.record;
    }
  }
}

// Each clip a format gives levels has the project's level at each of its level points, and
// between two points goes in a line in amplitude, within 1 dB halfway.
void ExpectSameLevels(const ShownTracks& shown, const Tracks& found, const std::string& format,
                      const std::string& project) {
  for (const auto& [name, envelopes] : found.gains) {
    const auto track = shown.find(name);
    ASSERT_NE(track, shown.end()) << format << " " << project << ": " << name;
    const std::vector<TimelineItem>& items = track->second.items;
    const std::vector<ShownClip>& clips = track->second.clips;
    for (const Envelope& envelope : envelopes) {
      const auto clip = std::find_if(clips.begin(), clips.end(), [&](const ShownClip& c) {
        return items[c.index].recordOut.Value() == envelope.end;
      });
      ASSERT_NE(clip, clips.end()) << format << " " << project << ": " << name << " levels of a "
                                   << "clip ending at " << envelope.end;
      ASSERT_FALSE(envelope.keys.empty());
      const TimelineItem& item = items[clip->index];
      const std::int64_t first = item.recordIn.Value(), last = item.recordOut.Value() - 1;
      // In, the points, out; of two at one frame the later holds.
      std::map<std::int64_t, int> points;
      const auto add = [&](std::int64_t frame, int level) {
        points[std::clamp(first + frame, first, std::max(first, last))] = std::min(level, 200);
      };
      add(0, item.levels.in);
      for (const LevelPoint& point : item.levels.points) add(point.position, point.level);
      add(last - first, item.levels.out);
      const std::string where =
          format + " " + project + ": " + name + " clip ending at " + std::to_string(envelope.end);
      std::optional<std::pair<std::int64_t, int>> before;
      for (const auto& [frame, level] : points) {
        if (frame < clip->start) continue;  // cut off by the clip before
        EXPECT_NEAR(Db(LevelAt(envelope, frame)), Db(level), 0.01) << where << " at " << frame;
        if (before && frame - before->first > 1) {
          const std::int64_t middle = (before->first + frame) / 2;
          const double straight = before->second + (level - before->second) *
                                                       double(middle - before->first) /
                                                       double(frame - before->first);
          EXPECT_NEAR(Db(LevelAt(envelope, middle)), Db(straight), 1) << where << " at " << middle;
        }
        before = {frame, level};
      }
    }
  }
}

std::vector<std::pair<std::string, std::string>> Projects() {
  std::vector<std::pair<std::string, std::string>> projects{
      {"demo", build::BuildProject(build::DemoProject())},
      {"large", build::BuildProject(build::LargeProject())}};
  for (std::uint16_t version : {0x1FF, 0x200, 0x205, 0x206, 0x207})
    for (std::uint32_t seed = 0; seed < 3; ++seed)
      projects.push_back({"random " + std::to_string(seed) + " v" + std::to_string(version),
                          build::BuildProject(build::RandomProject(
                              seed, version, build::Software::CorvaneBrisko))});
  return projects;
}

TEST(CrossFormat, EveryFormatHoldsTheProjectsClipsTransitionsAndLevels) {
  for (const auto& [label, bytes] : Projects()) {
    Timeline timeline;
    try {
      NullObserver quiet;
      RunProgress progress(quiet);
      timeline = BuildTimeline(ReadProject(test::AsBytes(bytes), {}, progress));
    } catch (const std::exception&) {
      continue;  // a random project that does not read is the conversions' concern
    }
    const Tracks expected = Expected(timeline);
    const ShownTracks shown = ShownOf(timeline);
    ExportSettings settings = test::PalSettings();
    settings.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
    const MediaPathOf path = [](std::string_view stored) {
      return "/media/" + DecodeShiftJis(stored).utf8;
    };
    for (const ExportFormat& format : ExportFormats()) {
      ExportCounts counts;
      const std::vector<ExportFile> files =
          test::ExportFiles(format.name, timeline, settings, path, counts);
      ASSERT_FALSE(files.empty() && counts.clips > 0) << format.name;
      const std::string name = format.name;
      if (name == "otio") {
        const Tracks found = ReadOtio(files[0].bytes);
        ExpectSame(expected, found, name, label);
        ExpectSameSources(shown, found, name, label);
        ExpectSameLevels(shown, found, name, label);
      } else if (name == "fcp7") {
        const Tracks found = ReadFcp7(files[0].bytes);
        ExpectSame(expected, found, name, label);
        ExpectSameSources(shown, found, name, label);
        ExpectSameLevels(shown, found, name, label);
      } else if (name == "fcpxml") {
        test::ExpectValidFcpxml(files[0].bytes, label);
        const test::FcpxmlTimeline read = test::ReadFcpxml(files[0].bytes);
        Tracks found;
        found.clipEnds = read.ClipEnds();
        // The main clips' sound plays from V1: where each ends.
        found.clipEnds["A1"] = read.SoundEnds();
        found.transitions = read.TransitionSpans();
        found.soundTransitions = read.TransitionSpans(true);
        for (const auto& [track, clips] : read.tracks)
          for (const test::FcpxmlClip& clip : clips)
            found.placed[track].push_back({clip.recordIn, clip.mediaIn});
        ExpectSame(expected, found, name, label);
        ExpectSameSources(shown, found, name, label);
      } else if (name == "aaf") {
        EXPECT_EQ(fuzz::ReadAafBack(files[0].bytes).broken, std::nullopt) << label;
        const test::AafRead read = test::ReadAaf(files[0].bytes);
        if (!read.available) continue;  // pyaaf2 is not beside the sources
        EXPECT_EQ(read.problems, std::vector<std::string>{}) << label;
        EXPECT_EQ(read.topLevel, 1) << label;
        EXPECT_EQ(read.timecodeFps, 25) << label;
        const Tracks found = ReadAafTracks(read);
        ExpectSame(WithoutColours(expected, shown), found, name, label);
        ExpectSameSources(shown, found, name, label);
        ExpectSameLevels(shown, found, name, label);
      } else if (name == "cmx3600") {
        Tracks found;
        const std::map<std::string, std::string> trackOf = {
            {"", "V1"}, {"-insert", "V2"}, {"-exaudio1", "A2"}, {"-exaudio2", "A3"}};
        for (const ExportFile& file : files) ReadCmx(trackOf.at(file.suffix), file.bytes, found);
        if (found.clipEnds.count("V1") == 0) {
          found.transitions = expected.transitions;
          found.soundTransitions = expected.soundTransitions;
        }
        ExpectSame(expected, found, name, label);
        ExpectSameSources(shown, found, name, label);
      } else if (name == "mlt" || name == "kdenlive") {
        // MLT counts frames in an int and plays no more than a day; random projects reach
        // further, their documents are read back by the fuzz target's XML checks. Loading the
        // large project's thousands of producers takes MLT half a minute.
        bool playable = label != "large";
        for (const auto& [track, ends] : expected.clipEnds)
          playable = playable && (ends.empty() || ends.back() <= 24 * 3600 * 25);
        if (!playable) continue;
        Tracks found;
        for (const auto& [track, length] :
             MltTrackLengths(files[0].bytes, name == "kdenlive", found)) {
          const auto want = expected.clipEnds.find(track);
          ASSERT_NE(want, expected.clipEnds.end()) << name << " " << label << ": " << track;
          EXPECT_EQ(length, want->second.empty() ? 0 : want->second.back())
              << name << " " << label << ": " << track;
        }
        ExpectSameSources(shown, found, name, label);
        ExpectSameLevels(shown, found, name, label);
        EXPECT_EQ(MltSoundTransitions(files[0].bytes, name == "kdenlive"),
                  expected.soundTransitions)
            << name << " " << label;
      } else {
        ADD_FAILURE() << "a format this test does not read back: " << name;
      }
    }
  }
}

// The counts of a layout's notes by kind; kinds absent count 0.
std::map<NoteKind, std::size_t> CountsOf(const std::vector<ExportNote>& notes) {
  std::map<NoteKind, std::size_t> counts;
  for (std::size_t k = 0; k < noteKindCount; ++k) counts[static_cast<NoteKind>(k)] = 0;
  for (const ExportNote& note : notes) counts[note.kind] = note.count;
  return counts;
}

// A format's document read back by its reader; nullopt where none runs here (pyaaf2 absent, or
// a document MLT would take too long to load). For MLT the tracks it plays stand for their clips.
std::optional<Tracks> ReadBack(const ExportFormat& format, const std::vector<ExportFile>& files,
                               bool playable) {
  const std::string name = format.name;
  if (name == "otio") return ReadOtio(files[0].bytes);
  if (name == "fcp7") return ReadFcp7(files[0].bytes);
  if (name == "fcpxml") {
    const test::FcpxmlTimeline read = test::ReadFcpxml(files[0].bytes);
    Tracks found;
    for (const auto& [track, clips] : read.tracks)
      for (const test::FcpxmlClip& clip : clips) found.clipEnds[track].push_back(clip.recordOut);
    found.transitions = read.TransitionSpans();
    for (const auto& [track, clips] : read.tracks)
      for (const test::FcpxmlClip& clip : clips)
        found.placed[track].push_back({clip.recordIn, clip.mediaIn});
    return found;
  }
  if (name == "aaf") {
    const test::AafRead read = test::ReadAaf(files[0].bytes);
    if (!read.available) return std::nullopt;
    return ReadAafTracks(read);
  }
  if (name == "cmx3600") {
    Tracks found;
    const std::map<std::string, std::string> trackOf = {
        {"", "V1"}, {"-insert", "V2"}, {"-exaudio1", "A2"}, {"-exaudio2", "A3"}};
    for (const ExportFile& file : files) ReadCmx(trackOf.at(file.suffix), file.bytes, found);
    found.clipEnds.erase("A1");  // the main clips' sound on their own events, not a track
    return found;
  }
  if (!playable) return std::nullopt;
  Tracks found;
  for (const auto& [track, length] : MltTrackLengths(files[0].bytes, name == "kdenlive", found))
    found.clipEnds[track];
  return found;
}

std::size_t ClipsOn(const Tracks& found, const std::string& track, bool mlt) {
  if (mlt) {
    const auto placed = found.placed.find(track);
    return placed == found.placed.end() ? 0 : placed->second.size();
  }
  const auto ends = found.clipEnds.find(track);
  return ends == found.clipEnds.end() ? 0 : ends->second.size();
}

// Whatever a format's reader finds changed from the project is named by a note, as many times
// as it happens, and no note names a change the reader does not find: tracks left out or
// added, titles turned into markers, transitions left out or turned into wipes, colour clips
// made black, levels left out, kept as metadata or cut to 200, clips left out or starting later.
TEST(CrossFormat, WhatAReaderFindsChangedIsNoted) {
  for (const auto& [label, bytes] : Projects()) {
    Timeline timeline;
    try {
      NullObserver quiet;
      RunProgress progress(quiet);
      timeline = BuildTimeline(ReadProject(test::AsBytes(bytes), {}, progress));
    } catch (const std::exception&) {
      continue;
    }
    const ShownTracks shown = ShownOf(timeline);
    ExportSettings settings = test::PalSettings();
    settings.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
    const MediaPathOf path = [](std::string_view stored) {
      return "/media/" + DecodeShiftJis(stored).utf8;
    };
    bool withinADay = true;
    for (const auto& [track, ends] : Expected(timeline).clipEnds)
      withinADay = withinADay && (ends.empty() || ends.back() <= 24 * 3600 * 25);
    const bool playable = withinADay && label != "large";
    // The clips whose sound plays with levels other than as recorded, and those above 200: the
    // inserts' sound plays from a track of its own where the format has one, which shows a
    // clip a silent insert hides on V2; elsewhere it plays from V2.
    const std::vector<std::string> soundTracks = {"A1", "A2", "A3", "V2 sound"};
    // `silent`: only the extra audio muted throughout (levels all 0), of which OpenTimelineIO's
    // metadata keeps nothing.
    const auto levelled = [&](bool insertSound, bool above200, bool silent = false) {
      std::size_t count = 0;
      for (const std::string track : {"A1", "A2", "A3", "V2 sound", "V2"}) {
        if (track == (insertSound ? "V2" : "V2 sound")) continue;
        for (const ShownClip& clip : shown.at(track).clips) {
          const TimelineItem& item = shown.at(track).items[clip.index];
          if ((track == "V2" && !Sounds(item)) ||
              GainEnvelope(item, item.recordOut - item.recordIn).empty())
            continue;
          if (silent &&
              (item.levels.in != 0 || item.levels.out != 0 || !item.levels.points.empty()))
            continue;
          count += !above200 || LevelsAbove200(item);
        }
      }
      return count;
    };
    std::size_t transitions = 0;
    for (const Transition& transition : timeline.transitions) transitions += transition.length > 0;

    for (const ExportFormat& format : ExportFormats()) {
      const std::string name = format.name;
      const std::string where = name + " " + label;
      ExportCounts counts;
      std::vector<ExportNote> given;
      const std::vector<ExportFile> files =
          test::ExportFiles(name, timeline, settings, path, counts, &given);
      std::map<NoteKind, std::size_t> noted = CountsOf(given);
      const std::optional<Tracks> read = ReadBack(format, files, playable);
      if (!read) continue;
      const Tracks& found = *read;
      const bool mlt = name == "mlt" || name == "kdenlive";
      const auto has = [&](const std::string& track) { return found.clipEnds.contains(track); };
      const bool insertSound = std::find(format.roles.begin(), format.roles.end(),
                                         TrackRole::InsertSound) != format.roles.end();
      const std::size_t withLevels = levelled(insertSound, false);
      const std::size_t louder = levelled(insertSound, true);
      // Each kind is held against what the reader found and set aside; none may be left.
      const auto check = [&](NoteKind kind, std::size_t count) {
        EXPECT_EQ(noted[kind], count) << where << ": " << NoteKindId(kind);
        noted.erase(kind);
      };

      // Tracks: every one the project fills is there, unless the format has no titles; the
      // sound and the titles' images on tracks of their own are noted clip by clip.
      for (const char* track : {"V1", "V2", "A2", "A3"})
        EXPECT_TRUE(shown.at(track).clips.empty() || has(track)) << where << ": " << track;
      const bool titlesLeftOut = !timeline.titles.empty() && !has("Titles");
      check(NoteKind::TitlesLeftOut, titlesLeftOut ? timeline.titles.size() : 0);
      check(NoteKind::TitleImagesAsClips, ClipsOn(found, "Title images", mlt));
      check(NoteKind::SoundOnOwnTracks,
            ClipsOn(found, "A1", mlt) + ClipsOn(found, "V2 sound", mlt));
      check(NoteKind::TitlesAsMarkers, found.markers);

      // Transitions: those the reader lacks are left out; the wipes it reads are noted.
      if (!mlt) check(NoteKind::TransitionsLeftOut, transitions - found.transitions.size());
      if (name != "fcpxml" && !mlt) check(NoteKind::WipesLeftToRight, std::size_t(found.wipes));

      // Colour clips: AAF's readers find none, an EDL's the black reel.
      std::size_t colourless = 0;
      if (name == "aaf")
        for (const char* track : {"V1", "V2"})
          colourless += shown.at(track).clips.size() - ClipsOn(found, track, false);
      check(NoteKind::ColoursBlack, name == "cmx3600" ? std::size_t(found.blackReels) : colourless);

      // Levels: a reader that finds none where the project has them is noted for each clip;
      // OpenTimelineIO's are its metadata's.
      std::size_t envelopes = 0;
      for (const auto& [track, list] : found.gains)
        if (name != "otio" ||
            std::find(soundTracks.begin(), soundTracks.end(), track) != soundTracks.end())
          envelopes += list.size();
      // pyaaf2 finds no gain on some clips of the random timelines that run past a day (clips of
      // 2^31 frames); their levels are held against the other readers.
      if (name != "fcpxml" && (name != "aaf" || withinADay)) {
        const std::size_t kept =
            name == "otio" ? withLevels - levelled(insertSound, false, true) : withLevels;
        EXPECT_EQ(envelopes, name == "cmx3600" ? 0 : kept) << where;
      }
      check(NoteKind::LevelsLeftOut, name == "cmx3600" ? withLevels : 0);
      check(NoteKind::LevelsInMetadata, name == "otio" ? withLevels : 0);
      check(NoteKind::LevelsAbove200, name == "otio" || name == "cmx3600" ? 0 : louder);

      // Clips: those a one-at-a-time track cannot hold are left out, as the reader shows.
      if (!mlt) {
        std::size_t leftOut = 0;
        for (const std::string track : {"V1", "V2", "A2", "A3", "Titles"}) {
          if (track == "Titles" && titlesLeftOut) continue;
          leftOut += shown.at(track).items.size() - ClipsOn(found, track, false);
        }
        check(NoteKind::ClipsLeftOut, leftOut - colourless);
      }
      // A clip the reader starts later than the project does lost its head to the clip before
      // it, or starts where its media does.
      std::size_t later = 0;
      for (const char* track : {"V1", "V2", "A2", "A3"}) {
        const ShownTrack& own = shown.at(track);
        const auto placed = found.placed.find(track);
        if (placed == found.placed.end()) continue;
        for (const Placed& clip : placed->second)
          for (const ShownClip& each : own.clips)
            later += each.start == clip.record && each.start > own.items[each.index].recordIn;
      }
      EXPECT_LE(later, noted[NoteKind::HeadsUnderClipBefore] + noted[NoteKind::InBeforeMedia])
          << where;
      // What no reader here shows (each changes no clip's place or length, which the test above
      // holds for every format) is held in ExportNotesTest against hand-made timelines.
      for (const NoteKind kind :
           {NoteKind::ClipsLeftOut, NoteKind::TransitionsLeftOut, NoteKind::WipesLeftToRight,
            NoteKind::HeadsUnderClipBefore, NoteKind::InBeforeMedia, NoteKind::TransitionsCentred,
            NoteKind::GradientsFirstColour, NoteKind::GradientsGeneratorColours,
            NoteKind::TitleTextsOneFont, NoteKind::TitleFontsInMetadata,
            NoteKind::SlowSpeedInTenths})
        noted.erase(kind);
      for (const auto& [kind, count] : noted)
        EXPECT_EQ(count, 0u) << where << ": " << NoteKindId(kind) << " is not checked here";
    }
  }
}

}  // namespace
}  // namespace pexol
