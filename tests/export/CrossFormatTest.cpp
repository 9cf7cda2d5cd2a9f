// tests/export/CrossFormatTest.cpp - every format of the export's table read back (JSON, XML, EDL
// text, MLT itself) against what the project says: the same clips end at the same frames on the
// same tracks, with the same transitions
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <mlt++/Mlt.h>

#include <algorithm>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "ExportTimelines.h"
#include "FcpxmlRead.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "core/TextEncoding.h"
#include "model/Project.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

// Per track name: where each clip ends (record frames, ascending); for V1 also its
// transitions as (record in, length).
struct Tracks {
  std::map<std::string, std::vector<std::int64_t>> clipEnds;
  std::set<std::pair<std::int64_t, std::int64_t>> transitions;
};

bool Sounds(const TimelineItem& item) {
  return item.kind == ItemKind::Movie && item.hasAudio && !item.slow;
}

// The clips of `items` as one-at-a-time tracks show them, stated from the project: in record
// order, each loses the head an earlier clip still covers, goes when nothing is left; a movie
// that starts before its media's first frame starts that many frames (twice as many when slow)
// later. Returns each shown clip's index with its shown record in.
std::vector<std::pair<std::size_t, std::int64_t>> Shown(const std::vector<TimelineItem>& items,
                                                        bool soundOnly) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (!soundOnly || Sounds(items[i])) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return items[a].recordIn < items[b].recordIn;
  });
  std::vector<std::pair<std::size_t, std::int64_t>> shown;
  std::int64_t covered = 0;
  for (std::size_t i : order) {
    const TimelineItem& item = items[i];
    const std::int64_t in = item.recordIn.Value(), out = item.recordOut.Value();
    if (out <= in || out <= covered) continue;
    std::int64_t start = std::max(in, covered);
    // Source frames count in the project's 32-bit arithmetic.
    const Frames trimmed = Frames::Wrapped(start - in);
    const Frames source = item.sourceIn + (item.slow ? trimmed.Half() : trimmed);
    if (item.kind == ItemKind::Movie && source < 0)
      start += (item.slow ? -2 : -1) * std::int64_t{source.Value()};
    if (start >= out) continue;
    shown.push_back({i, start});
    covered = out;
  }
  return shown;
}

Tracks Expected(const Timeline& timeline) {
  Tracks expected;
  const auto add = [&](const char* name, const std::vector<TimelineItem>& items, bool sound) {
    expected.clipEnds[name];
    for (const auto& [index, start] : Shown(items, sound))
      expected.clipEnds[name].push_back(items[index].recordOut.Value());
  };
  add("V1", timeline.main, false);
  add("V2", timeline.insert, false);
  add("Titles", timeline.titles, false);
  add("A1", timeline.main, true);
  add("A2", timeline.exAudio[0], false);
  add("A3", timeline.exAudio[1], false);
  add("V2 sound", timeline.insert, true);
  // A transition plays where both its clips show side by side and the incoming one lasts it.
  const auto shown = Shown(timeline.main, false);
  for (std::size_t s = 1; s < shown.size(); ++s)
    for (const Transition& transition : timeline.transitions) {
      const TimelineItem& outgoing = timeline.main[shown[s - 1].first];
      const TimelineItem& incoming = timeline.main[shown[s].first];
      if (transition.from != shown[s - 1].first || transition.from + 1 != shown[s].first ||
          outgoing.recordOut.Value() != shown[s].second || transition.length <= 0 ||
          transition.length.Value() > incoming.recordOut.Value() - shown[s].second)
        continue;
      expected.transitions.insert({shown[s].second, transition.length.Value()});
    }
  for (auto& [name, ends] : expected.clipEnds) std::sort(ends.begin(), ends.end());
  return expected;
}

// Each format's reader puts what it found into `found`; tracks it leaves out stay absent.
Tracks ReadOtio(const std::string& document) {
  Tracks found;
  const auto json = nlohmann::json::parse(document);
  for (const auto& track : json["tracks"]["children"]) {
    auto& ends = found.clipEnds[track["name"].get<std::string>()];
    double at = 0;
    for (const auto& child : track["children"]) {
      if (child["OTIO_SCHEMA"] == "Transition.1") {
        if (track["name"] == "V1")
          found.transitions.insert({std::int64_t(at), std::int64_t(child["out_offset"]["value"])});
        continue;
      }
      at += child["source_range"]["duration"]["value"].get<double>();
      if (child["OTIO_SCHEMA"] == "Clip.2") ends.push_back(std::int64_t(at));
    }
  }
  return found;
}

// PAL timecodes: 25 frames a second.
std::int64_t PalFrames(const std::string& timecode) {
  int h = 0, m = 0, s = 0, f = 0;
  std::sscanf(timecode.c_str(), "%d:%d:%d:%d", &h, &m, &s, &f);
  return ((std::int64_t{h} * 60 + m) * 60 + s) * 25 + f;
}

void ReadCmx(const std::string& name, const std::string& text, Tracks& found) {
  auto& ends = found.clipEnds[name];
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
    if (kind != "C" && name == "V1") found.transitions.insert({in, std::stoll(words.front())});
    // The outgoing clip of a transition is repeated as a cut of no length: its end is known.
    if (out > in) ends.push_back(out);
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

// Final Cut Pro 7 XML numbers its tracks; a clip next to a transition ends at -1, where the
// transition that follows it starts.
Tracks ReadFcp7(const std::string& document) {
  Tracks found;
  const XmlDocument doc(xmlReadMemory(document.data(), static_cast<int>(document.size()),
                                      "fcp7.xml", nullptr, XML_PARSE_NONET),
                        &xmlFreeDoc);
  EXPECT_TRUE(doc);
  if (!doc) return found;
  const std::map<std::string, std::vector<std::string>> names = {
      {"video", {"V1", "V2", "Titles"}}, {"audio", {"A1", "A2", "A3", "V2 sound"}}};
  xmlNode* media = Child(Child(xmlDocGetRootElement(doc.get()), "sequence"), "media");
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
          if (name == "V1")
            found.transitions.insert({start, std::stoll(Content(Child(item, "end"))) - start});
        }
        if (!Named(item, "clipitem") && !Named(item, "generatoritem")) continue;
        const std::int64_t end = std::stoll(Content(Child(item, "end")));
        if (end < 0)
          open = true;
        else
          ends.push_back(end);
      }
    }
  }
  return found;
}

// The MLT documents as MLT itself loads them: the frames each named track lasts.
std::map<std::string, std::int64_t> MltTrackLengths(const std::string& document, bool kdenlive) {
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
      }
    } else {
      length = track->get_playtime();
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

TEST(CrossFormat, EveryFormatHoldsTheProjectsClipsAndTransitions) {
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
        ExpectSame(expected, ReadOtio(files[0].bytes), name, label);
      } else if (name == "fcp7") {
        ExpectSame(expected, ReadFcp7(files[0].bytes), name, label);
      } else if (name == "fcpxml") {
        test::ExpectValidFcpxml(files[0].bytes, label);
        const test::FcpxmlTimeline read = test::ReadFcpxml(files[0].bytes);
        ExpectSame(expected, Tracks{read.ClipEnds(), read.TransitionSpans()}, name, label);
      } else if (name == "cmx3600") {
        Tracks found;
        const std::map<std::string, std::string> trackOf = {
            {"", "V1"}, {"-insert", "V2"}, {"-exaudio1", "A2"}, {"-exaudio2", "A3"}};
        for (const ExportFile& file : files) ReadCmx(trackOf.at(file.suffix), file.bytes, found);
        if (found.clipEnds.count("V1") == 0) found.transitions = expected.transitions;
        ExpectSame(expected, found, name, label);
      } else if (name == "mlt" || name == "kdenlive") {
        // MLT counts frames in an int and plays no more than a day; random projects reach
        // further, their documents are read back by the fuzz target's XML checks. Loading the
        // large project's thousands of producers takes MLT half a minute.
        bool playable = label != "large";
        for (const auto& [track, ends] : expected.clipEnds)
          playable = playable && (ends.empty() || ends.back() <= 24 * 3600 * 25);
        if (!playable) continue;
        for (const auto& [track, length] : MltTrackLengths(files[0].bytes, name == "kdenlive")) {
          if (track == "Title images") continue;  // the titles' images: no track of the project
          const auto want = expected.clipEnds.find(track);
          ASSERT_NE(want, expected.clipEnds.end()) << name << " " << label << ": " << track;
          EXPECT_EQ(length, want->second.empty() ? 0 : want->second.back())
              << name << " " << label << ": " << track;
        }
      } else {
        ADD_FAILURE() << "a format this test does not read back: " << name;
      }
    }
  }
}

}  // namespace
}  // namespace pexol
