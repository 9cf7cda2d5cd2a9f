// app/pages/TimelineHover.cpp - a clip's lines: name, kind, times and its medium's state
#include "app/pages/TimelineHover.h"

#include "core/Translation.h"
#include "edl/Timecode.h"

namespace pexol::pages {

namespace {

std::string Timecode(TimecodeMode mode, std::int64_t frame) {
  return FormatTimecode(mode, static_cast<std::int32_t>(frame));
}

std::string NameOf(const SceneClip& clip) {
  if (clip.kind == ItemKind::Title && clip.name.empty()) return std::string(Tr("title"));
  if (clip.kind == ItemKind::Colour) return Say("colour {0}", clip.name);
  return clip.name;
}

}  // namespace

std::string HoverText(const TimelineScene& scene, const TimelineHit& hit,
                      const MediumFacts* facts) {
  const SceneRow& row = scene.rows.at(hit.row);
  const SceneClip& clip = row.clips.at(hit.clip);
  const TimecodeMode mode = scene.timecode;
  const std::string kind(Tr(KindWord(row.role, clip.kind)));
  std::string text = NameOf(clip);
  text += '\n';
  text += clip.slow ? Say("{0} on the {1} row, played at half speed", kind, Tr(row.name))
                    : Say("{0} on the {1} row", kind, Tr(row.name));
  text += '\n';
  text += SayN(clip.Length(), "record: {0} to {1} ({2} frame)", "record: {0} to {1} ({2} frames)",
               Timecode(mode, clip.recordIn), Timecode(mode, clip.recordOut), clip.Length());
  if (clip.kind == ItemKind::Movie || clip.kind == ItemKind::Still) {
    text += '\n';
    text +=
        Say("source: {0} to {1}", Timecode(mode, clip.sourceIn), Timecode(mode, clip.sourceOut));
  }
  switch (clip.medium) {
    case MediumState::Found:
      text += '\n';
      text += Say("found: {0}", clip.path);
      if (facts == nullptr) {
        text += '\n';
        text += Tr("Reading the file...");
      } else {
        if (!facts->summary.empty()) text += '\n' + Say("file: {0}", facts->summary);
        if (!facts->editors.empty()) text += '\n' + Say("opens in: {0}", facts->editors);
      }
      break;
    case MediumState::Missing:
      text += '\n';
      text += Tr("Not found. Click the clip to choose the media folders.");
      break;
    case MediumState::Ambiguous:
      text += '\n';
      text +=
          Tr("Found in more than one place, so none is used. Click the clip to choose the "
             "media folders.");
      break;
    case MediumState::None:
      break;
  }
  return text;
}

}  // namespace pexol::pages
