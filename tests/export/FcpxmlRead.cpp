// tests/export/FcpxmlRead.cpp - a reader of the timing attributes (offset, start, duration, lane)
#include "FcpxmlRead.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/valid.h>

#include <cstdarg>
#include <filesystem>
#include <memory>

#include "support/SharedFolder.h"

namespace pexol::test {
namespace {

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

std::string Attribute(xmlNode* node, const char* name) {
  const std::unique_ptr<xmlChar, decltype(xmlFree)> value(xmlGetProp(node, BAD_CAST name), xmlFree);
  return value ? reinterpret_cast<const char*>(value.get()) : "";
}

bool IsElement(xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name);
}

// Times as "0s", "5s" or "N/Ds", in frames of `frameDuration` ("N/Ds" too).
class FrameGrid {
 public:
  explicit FrameGrid(const std::string& frameDuration) { Parse(frameDuration, ticks_, scale_); }

  std::int64_t Frames(const std::string& time) const {
    if (time.empty()) return 0;
    std::int64_t numerator = 0, denominator = 1;
    Parse(time, numerator, denominator);
    const std::int64_t over = numerator * scale_, under = denominator * ticks_;
    EXPECT_EQ(over % under, 0) << time << " is not on the frame grid";
    return over / under;
  }

 private:
  static void Parse(const std::string& time, std::int64_t& numerator, std::int64_t& denominator) {
    EXPECT_EQ(time.back(), 's') << time;
    const std::size_t slash = time.find('/');
    numerator = std::stoll(time.substr(0, slash));
    denominator = slash == std::string::npos ? 1 : std::stoll(time.substr(slash + 1));
  }

  std::int64_t ticks_ = 1, scale_ = 1;
};

const std::map<int, std::string> laneTracks = {
    {1, "V2"}, {2, "Title images"}, {3, "Titles"}, {-1, "A2"}, {-2, "A3"}};

// The media frame a clip shows at its own time `own`: a two-point linear time map, or the same.
std::int64_t MediaFrame(xmlNode* clip, std::int64_t own, const FrameGrid& grid) {
  for (xmlNode* child = clip->children; child; child = child->next) {
    if (!IsElement(child, "timeMap")) continue;
    std::vector<std::pair<std::int64_t, std::int64_t>> points;
    for (xmlNode* point = child->children; point; point = point->next)
      if (IsElement(point, "timept"))
        points.push_back(
            {grid.Frames(Attribute(point, "time")), grid.Frames(Attribute(point, "value"))});
    EXPECT_EQ(points.size(), 2u);
    if (points.size() != 2 || points[1].first == points[0].first) return own;
    return points[0].second + (own - points[0].first) * (points[1].second - points[0].second) /
                                  (points[1].first - points[0].first);
  }
  return own;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const FcpxmlClip& clip) {
  return out << clip.element << " " << clip.name << " " << clip.recordIn << "-" << clip.recordOut
             << " from " << clip.mediaIn;
}

FcpxmlTimeline ReadFcpxml(const std::string& document) {
  FcpxmlTimeline read;
  const Document doc(xmlReadMemory(document.data(), static_cast<int>(document.size()),
                                   "export.fcpxml", nullptr, XML_PARSE_NONET),
                     &xmlFreeDoc);
  EXPECT_TRUE(doc);
  if (!doc) return read;
  xmlNode* root = xmlDocGetRootElement(doc.get());
  xmlNode* format = nullptr;
  xmlNode* spine = nullptr;
  for (xmlNode* node = root; node;) {
    if (IsElement(node, "format") && !format) format = node;
    if (IsElement(node, "spine")) spine = node;
    // Depth first, to the first spine: the sequence's own.
    if (spine) break;
    if (node->children) {
      node = node->children;
    } else {
      while (node && !node->next) node = node->parent;
      if (node) node = node->next;
    }
  }
  EXPECT_TRUE(format && spine);
  if (!format || !spine) return read;
  std::set<std::string> withSound;  // the assets that have sound
  for (xmlNode* node = format->parent->children; node; node = node->next)
    if (IsElement(node, "asset") && Attribute(node, "hasAudio") == "1")
      withSound.insert(Attribute(node, "id"));
  const FrameGrid grid(Attribute(format, "frameDuration"));
  const auto frames = [&grid](xmlNode* node, const char* name) {
    return grid.Frames(Attribute(node, name));
  };
  auto& main = read.tracks["V1"];
  bool splitEdit = false;  // the clip before has its own sound timing
  std::int64_t cut = -1;   // where the transition before the next clip starts
  std::int64_t edit = -1;
  for (xmlNode* element = spine->children; element; element = element->next) {
    if (element->type != XML_ELEMENT_NODE) continue;
    const std::int64_t offset = frames(element, "offset");
    const std::int64_t duration = frames(element, "duration");
    if (IsElement(element, "transition")) {
      bool crossfade = false;
      for (xmlNode* child = element->children; child; child = child->next)
        crossfade = crossfade || IsElement(child, "filter-audio");
      read.transitions.push_back({Attribute(element, "name"), offset, duration, crossfade});
      if (!main.empty()) {
        main.back().recordOut = offset;
        if (crossfade && main.back().soundOut >= 0 && !splitEdit) main.back().soundOut = offset;
      }
      cut = offset;
      edit = offset + duration;  // checked against the next clip's edit point
      continue;
    }
    const std::int64_t start = frames(element, "start");
    if (!IsElement(element, "gap")) {
      FcpxmlClip clip{reinterpret_cast<const char*>(element->name), Attribute(element, "name"),
                      offset, offset + duration, MediaFrame(element, start, grid)};
      splitEdit = !Attribute(element, "audioDuration").empty();
      if (withSound.count(Attribute(element, "ref")) && Attribute(element, "srcEnable") != "video")
        clip.soundOut = splitEdit ? offset + frames(element, "audioStart") - start +
                                        frames(element, "audioDuration")
                                  : offset + duration;
      if (cut >= 0) {
        // Centred: its edit point lies half its length past its start, to half a frame.
        EXPECT_LE(std::abs(2 * offset - (cut + edit)), 1) << clip.name;
        clip.mediaIn = MediaFrame(element, start - (offset - cut), grid);
        clip.recordIn = cut;
      }
      main.push_back(clip);
    }
    cut = edit = -1;
    for (xmlNode* child = element->children; child; child = child->next) {
      const std::string lane = child->type == XML_ELEMENT_NODE ? Attribute(child, "lane") : "";
      if (lane.empty()) continue;
      // Anchored: its offset is in the time of the clip it is connected to.
      const std::int64_t in = offset + frames(child, "offset") - start;
      read.tracks[laneTracks.at(std::stoi(lane))].push_back(
          {reinterpret_cast<const char*>(child->name), Attribute(child, "name"), in,
           in + frames(child, "duration"), MediaFrame(child, frames(child, "start"), grid)});
    }
  }
  return read;
}

std::map<std::string, std::vector<std::int64_t>> FcpxmlTimeline::ClipEnds() const {
  std::map<std::string, std::vector<std::int64_t>> ends;
  for (const auto& [name, clips] : tracks) {
    if (name == "Title images") continue;  // no track of the project
    for (const FcpxmlClip& clip : clips) ends[name].push_back(clip.recordOut);
  }
  return ends;
}

std::vector<std::int64_t> FcpxmlTimeline::SoundEnds() const {
  std::vector<std::int64_t> ends;
  for (const FcpxmlClip& clip : tracks.at("V1"))
    if (clip.soundOut >= 0) ends.push_back(clip.soundOut);
  return ends;
}

std::set<std::pair<std::int64_t, std::int64_t>> FcpxmlTimeline::TransitionSpans(
    bool crossfades) const {
  std::set<std::pair<std::int64_t, std::int64_t>> spans;
  for (const FcpxmlTransition& transition : transitions)
    if (!crossfades || transition.audioCrossfade)
      spans.insert({transition.start, transition.length});
  return spans;
}

std::string FcpxmlDtdPath() {
  return SharedFolderHere() ? (SharedFolder() / "fcpxml/FCPXMLv1_10.dtd").string() : "";
}

namespace {

void CollectError(void* context, const char* format, ...) {
  char message[1024];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);
  *static_cast<std::string*>(context) += message;
}

}  // namespace

std::string FcpxmlDtdErrors(const std::string& document, const std::string& dtdPath) {
  const Document doc(xmlReadMemory(document.data(), static_cast<int>(document.size()),
                                   "export.fcpxml", nullptr, XML_PARSE_NONET),
                     &xmlFreeDoc);
  if (!doc) return "not well-formed XML";
  const std::unique_ptr<xmlDtd, decltype(&xmlFreeDtd)> dtd(
      xmlParseDTD(nullptr, BAD_CAST dtdPath.c_str()), &xmlFreeDtd);
  if (!dtd) return "the DTD " + dtdPath + " does not read";
  const std::unique_ptr<xmlValidCtxt, decltype(&xmlFreeValidCtxt)> context(xmlNewValidCtxt(),
                                                                           &xmlFreeValidCtxt);
  std::string errors;
  context->userData = &errors;
  context->error = CollectError;
  context->warning = CollectError;
  if (xmlValidateDtd(context.get(), doc.get(), dtd.get()) != 1 && errors.empty())
    errors = "invalid";
  return errors;
}

void ExpectValidFcpxml(const std::string& document, const std::string& what) {
  const std::string dtd = FcpxmlDtdPath();
  if (!dtd.empty()) {
    EXPECT_EQ(FcpxmlDtdErrors(document, dtd), "") << what;
  }
}

}  // namespace pexol::test
