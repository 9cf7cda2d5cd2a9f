// fuzz/PictureInvariants.cpp - whatever numbers a project holds, its picture is as wide as the
// widest picture at most and its size follows the project's, not the frames its clips reach
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string>

#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "fuzz/Invariants.h"
#include "fuzz/ReadableTimeline.h"
#include "model/Project.h"
#include "picture/TimelinePicture.h"

namespace pexol::fuzz {

namespace {

std::size_t ElementsIn(const SvgElement& element) {
  std::size_t count = 1;
  for (const SvgElement& child : element.children) count += ElementsIn(child);
  return count;
}

}  // namespace

Broken CheckPicture(std::span<const std::uint8_t> project, Software software, TimecodeMode mode) {
  const std::optional<Timeline> read = ReadableTimeline(project, software);
  if (!read) return std::nullopt;
  const Timeline& timeline = *read;
  PictureSettings settings;
  settings.timecode = mode;
  // Every other name missing, so that both kinds of box are drawn.
  const auto found = [](std::string_view stored) { return stored.size() % 2 == 0; };
  const TimelinePicture picture = DrawTimeline(timeline, found, settings);

  const double width = std::stod(std::string(picture.drawing.Get("width")));
  if (!(width <= pictureMaxWidth + 1))
    return "the picture is " + std::to_string(width) + " pixels wide";
  // A clip is a box, its title, its mark and its label (and the main clips' sound again); the
  // ruler and the hatching are bounded by the width; names may come back escaped, decoded and
  // four times over.
  const std::size_t clips = picture.boxes.size() + timeline.transitions.size();
  if (ElementsIn(picture.drawing) > 16 * clips + 20000)
    return std::to_string(ElementsIn(picture.drawing)) + " elements for " + std::to_string(clips) +
           " clips";
  if (picture.svg.size() > 4096 * clips + 64 * project.size() + (16 << 20))
    return std::to_string(picture.svg.size()) + " bytes for " + std::to_string(clips) + " clips";
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
      xmlReadMemory(picture.svg.data(), static_cast<int>(picture.svg.size()), "picture.svg",
                    nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE),
      &xmlFreeDoc);
  if (!document) return "the picture is not XML";
  return std::nullopt;
}

}  // namespace pexol::fuzz
