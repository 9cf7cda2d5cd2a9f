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

// The length of each track the timeline lays out, under the names both documents give them.
TrackLengths ExpectedLengths(const Timeline& timeline) {
  return {{"V1", EndOf(LayOutTrack(timeline.main))},
          {"V2", EndOf(LayOutTrack(timeline.insert))},
          {"Titles", EndOf(LayOutTrack(timeline.titles))},
          {"A1", EndOf(LayOutTrack(timeline.main, CarriesAudio))},
          {"A2", EndOf(LayOutTrack(timeline.exAudio[0]))},
          {"A3", EndOf(LayOutTrack(timeline.exAudio[1]))}};
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

Broken CheckMlt(const std::string& document, const TrackLengths& expected) {
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "export.mlt", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
      xmlFreeDoc);
  if (!doc) return "MLT: not XML";
  TrackLengths written;
  for (xmlNode* node = xmlDocGetRootElement(doc.get())->children; node; node = node->next) {
    if (!Named(node, "playlist")) continue;
    const std::string name = PropertyOf(node, "shotcut:name");
    if (name.empty()) continue;
    std::int64_t length = 0;
    for (xmlNode* item = node->children; item; item = item->next) {
      if (Named(item, "blank")) length += std::stoll(Attribute(item, "length"));
      if (Named(item, "entry"))
        length += std::stoll(Attribute(item, "out")) - std::stoll(Attribute(item, "in")) + 1;
    }
    written[name] = length;
  }
  return CompareLengths("MLT", written, expected);
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
  for (const CmxFile& file : WriteCmx3600(timeline, settings, path, counts))
    if (!file.text.starts_with("TITLE: fuzz")) return "CMX 3600: an EDL without its title";
  return std::nullopt;
}

}  // namespace pexol::fuzz
