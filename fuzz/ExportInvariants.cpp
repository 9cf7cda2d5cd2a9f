// fuzz/ExportInvariants.cpp - every format of the export's table writes a readable project as a
// well-formed document whose tracks are as long as the project's
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "core/TextEncoding.h"
#include "export/ExportFormats.h"
#include "fuzz/AafReadBack.h"
#include "fuzz/Invariants.h"
#include "fuzz/ReadableTimeline.h"
#include "model/Project.h"

namespace pexol::fuzz {

namespace {

using TrackLengths = std::map<std::string, std::int64_t>;

// What the project says of a track's length, under the name the documents give it: the end of
// its last clip that has frames (`exact`), or at most that when a movie's in point lies before
// its media's first frame (such a clip starts later, or shows nothing).
struct Expected {
  TrackLengths lengths;
  std::map<std::string, bool> exact;
};

bool PlaysSound(const TimelineItem& item) {
  return item.kind == ItemKind::Movie && item.hasAudio && !item.slow;
}

void AddTrack(Expected& expected, const std::string& name, const std::vector<TimelineItem>& items,
              bool soundOnly = false) {
  std::int64_t end = 0;
  bool exact = true;
  for (const TimelineItem& item : items) {
    if (soundOnly && !PlaysSound(item)) continue;
    if (item.recordOut <= item.recordIn) continue;
    end = std::max<std::int64_t>(end, item.recordOut.Value());
    // In the project's 32-bit arithmetic a cut head can also carry the in point past 2^31.
    const std::int64_t lastSource = std::int64_t{item.sourceIn.Value()} + item.recordOut.Value() -
                                    std::int64_t{item.recordIn.Value()};
    if (item.kind == ItemKind::Movie && (item.sourceIn < 0 || lastSource > INT32_MAX))
      exact = false;
  }
  expected.lengths[name] = end;
  expected.exact[name] = exact;
}

// The main clips' sound is that of the clips V1 shows, one at a time in record order, each
// hiding those that end by its end: it ends with the last of those that plays sound. Where V1's
// length is a bound, so is this.
void AddMainSound(Expected& expected, const std::vector<TimelineItem>& main) {
  AddTrack(expected, "A1", main, true);
  if (!expected.exact["V1"]) {
    expected.exact["A1"] = false;
    return;
  }
  std::vector<const TimelineItem*> order;
  for (const TimelineItem& item : main) order.push_back(&item);
  std::stable_sort(order.begin(), order.end(), [](const TimelineItem* a, const TimelineItem* b) {
    return a->recordIn < b->recordIn;
  });
  std::int64_t covered = 0, end = 0;
  for (const TimelineItem* item : order) {
    const std::int64_t out = item->recordOut.Value();
    if (out <= item->recordIn.Value() || out <= covered) continue;
    covered = out;
    if (PlaysSound(*item)) end = std::max(end, out);
  }
  expected.lengths["A1"] = end;
}

Expected ExpectedLengths(const Timeline& timeline) {
  Expected expected;
  AddTrack(expected, "V1", timeline.main);
  AddTrack(expected, "V2", timeline.insert);
  AddTrack(expected, "Titles", timeline.titles);
  std::vector<TimelineItem> images;  // a still under the title for each image it shows
  for (const TimelineItem& title : timeline.titles)
    for (const TitleText& text : title.texts)
      if (text.namesMedia) images.push_back(title);
  AddTrack(expected, "Title images", images);
  AddMainSound(expected, timeline.main);
  AddTrack(expected, "A2", timeline.exAudio[0]);
  AddTrack(expected, "A3", timeline.exAudio[1]);
  AddTrack(expected, "V2 sound", timeline.insert, true);
  return expected;
}

Broken CompareLengths(std::string_view format, const TrackLengths& written,
                      const Expected& expected) {
  for (const auto& [name, length] : written) {
    const auto found = expected.lengths.find(name);
    if (found == expected.lengths.end()) return std::string(format) + ": a track named " + name;
    const bool exact = expected.exact.at(name);
    if (exact ? found->second != length : length > found->second)
      return std::string(format) + ": track " + name + " is " + std::to_string(length) +
             " frames long, the project's " + (exact ? "" : "at most ") +
             std::to_string(found->second);
  }
  return std::nullopt;
}

Broken CheckOtio(const std::string& document, const Expected& expected, const ExportCounts&) {
  const auto json = nlohmann::json::parse(document, nullptr, false);
  if (json.is_discarded()) return "OTIO: not JSON";
  TrackLengths written;
  for (const auto& track : json["tracks"]["children"]) {
    double length = 0;
    for (const auto& child : track["children"]) {
      if (child["OTIO_SCHEMA"] == "Transition.1") continue;
      length += child["source_range"]["duration"]["value"].get<double>();
    }
    written[track["name"].get<std::string>()] = static_cast<std::int64_t>(length);
  }
  return CompareLengths("OTIO", written, expected);
}

std::string Attribute(xmlNode* node, const char* name) {
  std::unique_ptr<xmlChar, decltype(xmlFree)> value(
      xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)), xmlFree);
  return value ? std::string(reinterpret_cast<const char*>(value.get())) : std::string();
}

bool Named(xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE &&
         xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

std::string PropertyOf(xmlNode* element, const char* name) {
  for (xmlNode* child = element->children; child; child = child->next) {
    if (!Named(child, "property") || Attribute(child, "name") != name) continue;
    std::unique_ptr<xmlChar, decltype(xmlFree)> text(xmlNodeGetContent(child), xmlFree);
    return text ? std::string(reinterpret_cast<const char*>(text.get())) : std::string();
  }
  return {};
}

using XmlDocument = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

XmlDocument Parse(const std::string& document) {
  return XmlDocument(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "export.xml", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
      xmlFreeDoc);
}

// The frames a playlist lasts: its blanks and entries end to end.
std::int64_t PlaylistLength(xmlNode* playlist) {
  std::int64_t length = 0;
  for (xmlNode* item = playlist->children; item; item = item->next) {
    if (Named(item, "blank")) length += std::stoll(Attribute(item, "length"));
    if (Named(item, "entry"))
      length += std::stoll(Attribute(item, "out")) - std::stoll(Attribute(item, "in")) + 1;
  }
  return length;
}

Broken CheckMlt(const std::string& document, const Expected& expected, const ExportCounts&) {
  const XmlDocument doc = Parse(document);
  if (!doc) return "MLT: not XML";
  TrackLengths written;
  for (xmlNode* node = xmlDocGetRootElement(doc.get())->children; node; node = node->next) {
    if (!Named(node, "playlist")) continue;
    const std::string name = PropertyOf(node, "shotcut:name");
    if (name.empty()) continue;
    written[name] = PlaylistLength(node);
  }
  return CompareLengths("MLT", written, expected);
}

// A Kdenlive track is a tractor of two playlists: it lasts as long as the longer.
Broken CheckKdenlive(const std::string& document, const Expected& expected, const ExportCounts&) {
  const XmlDocument doc = Parse(document);
  if (!doc) return "Kdenlive: not XML";
  std::map<std::string, std::int64_t> playlists;
  TrackLengths written;
  for (xmlNode* node = xmlDocGetRootElement(doc.get())->children; node; node = node->next) {
    // The bin's entries name whole clips, without in and out.
    if (Named(node, "playlist") && Attribute(node, "id") != "main_bin")
      playlists[Attribute(node, "id")] = PlaylistLength(node);
    const std::string name = Named(node, "tractor") ? PropertyOf(node, "kdenlive:track_name") : "";
    if (name.empty()) continue;
    std::int64_t length = 0;
    for (xmlNode* track = node->children; track; track = track->next)
      if (Named(track, "track")) length = std::max(length, playlists[Attribute(track, "producer")]);
    written[name] = length;
  }
  return CompareLengths("Kdenlive", written, expected);
}

// Final Cut Pro 7 XML names tracks by position, the titles' images under the titles where
// there are any; a track ends where its last item does.
Broken CheckFcp7(const std::string& document, const Expected& expected, const ExportCounts&) {
  const XmlDocument doc = Parse(document);
  if (!doc) return "FCP 7 XML: not XML";
  const bool images = expected.lengths.at("Title images") > 0;
  const std::map<std::string, std::vector<std::string>> names = {
      {"video", images ? std::vector<std::string>{"V1", "V2", "Title images", "Titles"}
                       : std::vector<std::string>{"V1", "V2", "Titles"}},
      {"audio", {"A1", "A2", "A3", "V2 sound"}}};
  TrackLengths written;
  xmlNode* sequence = xmlDocGetRootElement(doc.get())->children;
  while (sequence && !Named(sequence, "sequence")) sequence = sequence->next;
  if (!sequence) return "FCP 7 XML: no sequence";
  for (xmlNode* media = sequence->children; media; media = media->next) {
    if (!Named(media, "media")) continue;
    for (xmlNode* kind = media->children; kind; kind = kind->next) {
      if (kind->type != XML_ELEMENT_NODE) continue;
      const auto& trackNames = names.at(reinterpret_cast<const char*>(kind->name));
      std::size_t index = 0;
      for (xmlNode* track = kind->children; track; track = track->next) {
        if (!Named(track, "track")) continue;
        if (index == trackNames.size()) return "FCP 7 XML: too many tracks";
        std::int64_t end = 0;
        for (xmlNode* item = track->children; item; item = item->next)
          if (Named(item, "clipitem") || Named(item, "generatoritem"))
            for (xmlNode* field = item->children; field; field = field->next)
              if (Named(field, "end")) {
                std::unique_ptr<xmlChar, decltype(xmlFree)> text(xmlNodeGetContent(field), xmlFree);
                end = std::stoll(reinterpret_cast<const char*>(text.get()));
              }
        written[trackNames[index++]] = end;
      }
    }
  }
  return CompareLengths("FCP 7 XML", written, expected);
}

// AAF read back by a reader of its own: a container that holds together, one top-level
// composition starting with its timecode, every track as long as the project's, and the main
// track's transitions as many as were written.
Broken CheckAaf(const std::string& document, const Expected& expected, const ExportCounts& counts) {
  const AafReadResult read = ReadAafBack(document);
  if (read.broken) return "AAF: " + *read.broken;
  if (read.file.topLevel != 1 || !read.file.timecode)
    return "AAF: not one top-level composition with its timecode";
  TrackLengths written;
  for (const AafTrackRead& track : read.file.tracks) {
    written[track.name] = track.length;
    if (track.name == "V1" && track.transitions != counts.transitions)
      return "AAF: " + std::to_string(track.transitions) + " transitions on V1 of " +
             std::to_string(counts.transitions) + " written";
  }
  return CompareLengths("AAF", written, expected);
}

Broken CheckCmx(const std::string& document, const Expected&, const ExportCounts&) {
  if (!document.starts_with("TITLE: fuzz")) return "CMX 3600: an EDL without its title";
  return std::nullopt;
}

Broken CheckWellFormed(const ExportFormat& format, const std::string& document) {
  switch (format.content) {
    case ExportContent::Json:
      if (nlohmann::json::parse(document, nullptr, false).is_discarded())
        return std::string(format.name) + ": not JSON";
      break;
    case ExportContent::Xml:
      if (!Parse(document)) return std::string(format.name) + ": not XML";
      break;
    case ExportContent::Bytes:
    case ExportContent::Utf16:
      break;
  }
  return std::nullopt;
}

}  // namespace

Broken CheckExports(std::span<const std::uint8_t> project, Software software) {
  const std::optional<Timeline> read = ReadableTimeline(project, software);
  if (!read) return std::nullopt;
  const Timeline& timeline = *read;
  const Expected expected = ExpectedLengths(timeline);
  // The formats this target knows how to read back; any other is checked for being well-formed.
  using Reader = Broken (*)(const std::string&, const Expected&, const ExportCounts&);
  const std::map<std::string, Reader> readers = {{"otio", CheckOtio},         {"mlt", CheckMlt},
                                                 {"kdenlive", CheckKdenlive}, {"fcp7", CheckFcp7},
                                                 {"cmx3600", CheckCmx},       {"aaf", CheckAaf}};
  for (const ExportFormat& format : ExportFormats()) {
    LayoutRules rules = LayoutRulesFor(format);
    rules.projectName = "fuzz";
    rules.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
    rules.resolve = [](std::string_view stored) {
      return MediaReference{std::string(stored), DecodeShiftJis(stored).utf8, true};
    };
    const ExportWritten written = format.write(LayOutTimeline(timeline, rules), {});
    for (const ExportFile& file : written.files) {
      if (auto broken = CheckWellFormed(format, file.bytes)) return broken;
      const auto reader = readers.find(format.name);
      if (reader != readers.end())
        if (auto broken = reader->second(file.bytes, expected, written.counts)) return broken;
    }
  }
  return std::nullopt;
}

}  // namespace pexol::fuzz
