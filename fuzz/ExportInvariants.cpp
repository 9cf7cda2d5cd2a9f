// fuzz/ExportInvariants.cpp - every export of a readable project is well-formed and as long as
// the timeline's tracks
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "core/TextEncoding.h"
#include "export/Cmx3600Writer.h"
#include "export/Fcp7Writer.h"
#include "export/KdenliveWriter.h"
#include "export/MltWriter.h"
#include "export/OtioWriter.h"
#include "export/TrackLayout.h"
#include "fuzz/Invariants.h"
#include "model/Project.h"

namespace pexol::fuzz {

namespace {

using TrackLengths = std::map<std::string, std::int64_t>;

std::int64_t EndOf(const std::vector<TrackPiece>& pieces) {
  return pieces.empty() ? 0 : pieces.back().recordOut.Value();
}

// The length of each track the timeline lays out, under the names the documents give them (the
// inserts' sound has a track of its own in Kdenlive and Final Cut Pro 7 XML).
TrackLengths ExpectedLengths(const Timeline& timeline) {
  return {{"V1", EndOf(LayOutTrack(timeline.main))},
          {"V2", EndOf(LayOutTrack(timeline.insert))},
          {"Titles", EndOf(LayOutTrack(timeline.titles))},
          {"A1", EndOf(LayOutTrack(timeline.main, CarriesAudio))},
          {"A2", EndOf(LayOutTrack(timeline.exAudio[0]))},
          {"A3", EndOf(LayOutTrack(timeline.exAudio[1]))},
          {"V2 sound", EndOf(LayOutTrack(timeline.insert, CarriesAudio))}};
}

Broken CompareLengths(std::string_view format, const TrackLengths& written,
                      const TrackLengths& expected) {
  for (const auto& [name, length] : written) {
    const auto found = expected.find(name);
    if (found == expected.end()) return std::string(format) + ": a track named " + name;
    if (found->second != length)
      return std::string(format) + ": track " + name + " is " + std::to_string(length) +
             " frames long, the timeline's " + std::to_string(found->second);
  }
  return std::nullopt;
}

Broken CheckOtio(const std::string& document, const TrackLengths& expected) {
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

Broken CheckMlt(const std::string& document, const TrackLengths& expected) {
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
Broken CheckKdenlive(const std::string& document, const TrackLengths& expected) {
  const XmlDocument doc = Parse(document);
  if (!doc) return "Kdenlive: not XML";
  std::map<std::string, std::int64_t> playlists;
  TrackLengths written;
  for (xmlNode* node = xmlDocGetRootElement(doc.get())->children; node; node = node->next) {
    // The bin's entries name whole clips, without in and out.
    if (Named(node, "playlist") && Attribute(node, "id") != "main_bin")
      playlists[Attribute(node, "id")] = PlaylistLength(node);
    const std::string name = Named(node, "tractor") ? PropertyOf(node, "kdenlive:track_name") : "";
    if (name.empty() || name == "Title images") continue;
    std::int64_t length = 0;
    for (xmlNode* track = node->children; track; track = track->next)
      if (Named(track, "track")) length = std::max(length, playlists[Attribute(track, "producer")]);
    written[name] = length;
  }
  return CompareLengths("Kdenlive", written, expected);
}

// Final Cut Pro 7 XML names tracks by position; a track ends where its last item does.
Broken CheckFcp7(const std::string& document, const TrackLengths& expected) {
  const XmlDocument doc = Parse(document);
  if (!doc) return "FCP 7 XML: not XML";
  const std::map<std::string, std::vector<std::string>> names = {
      {"video", {"V1", "V2", "Titles"}}, {"audio", {"A1", "A2", "A3", "V2 sound"}}};
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

}  // namespace

Broken CheckExports(std::span<const std::uint8_t> project, Software software) {
  Timeline timeline;
  try {
    NullObserver quiet;
    RunProgress progress(quiet);
    timeline = BuildTimeline(ReadProject(project, {software}, progress));
  } catch (const RunFailure&) {
    return std::nullopt;  // the conversions' checks cover projects that do not read
  }
  const TrackLengths expected = ExpectedLengths(timeline);
  ExportSettings settings;
  settings.projectName = "fuzz";
  settings.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
  const MediaPathOf path = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
  ExportCounts counts;
  if (auto broken = CheckOtio(WriteOtio(timeline, settings, path, counts), expected)) return broken;
  if (auto broken = CheckMlt(WriteMlt(timeline, settings, path, counts), expected)) return broken;
  if (auto broken = CheckKdenlive(WriteKdenlive(timeline, settings, path, counts), expected))
    return broken;
  if (auto broken = CheckFcp7(WriteFcp7(timeline, settings, path, counts), expected)) return broken;
  for (const CmxFile& file : WriteCmx3600(timeline, settings, path, counts))
    if (!file.text.starts_with("TITLE: fuzz")) return "CMX 3600: an EDL without its title";
  return std::nullopt;
}

}  // namespace pexol::fuzz
