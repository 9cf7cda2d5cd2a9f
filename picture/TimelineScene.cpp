// picture/TimelineScene.cpp - the rows of clips the picture and the windows draw, by position
#include "picture/TimelineScene.h"

#include <algorithm>
#include <map>

#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol {

namespace {

constexpr std::uint32_t movieFill = 0x8fb3d9;
constexpr std::uint32_t soundFill = 0x9fd0a4;
constexpr std::uint32_t titleFill = 0xe3c26f;
constexpr std::uint32_t stillFill = 0xb9a3d6;

// The rows from the top, each a track of the layout.
struct RowKind {
  TrackRole role;
  std::string_view name;
  std::string_view idPrefix;
};
// TRANSLATORS: the names of the timeline's rows, left of their clips.
constexpr RowKind rowKinds[] = {
    {TrackRole::Titles, ToTranslate("titles"), "title"},
    {TrackRole::Insert, ToTranslate("insert"), "insert"},
    {TrackRole::Main, ToTranslate("main"), "main"},
    {TrackRole::MainSound, ToTranslate("main sound"), "sound"},
    {TrackRole::ExtraAudio1, ToTranslate("extra audio 1"), "exaudio1"},
    {TrackRole::ExtraAudio2, ToTranslate("extra audio 2"), "exaudio2"},
};

std::uint32_t FillOf(TrackRole role, const TimelineItem& item) {
  switch (item.kind) {
    case ItemKind::Title:
      return titleFill;
    case ItemKind::Still:
      return stillFill;
    case ItemKind::Colour:
      return item.colour & 0xFFFFFF;
    case ItemKind::Movie:
      break;
  }
  return role == TrackRole::MainSound ? soundFill : movieFill;
}

std::string NameOf(const TimelineItem& item) {
  if (item.kind == ItemKind::Title) {
    for (const TitleText& text : item.texts)
      if (!text.namesMedia && !text.text.empty()) return DecodeShiftJis(text.text).utf8;
    return {};
  }
  if (item.kind == ItemKind::Colour) return PictureColour(item.colour);
  return DecodeShiftJis(item.name).utf8;
}

SceneClip ClipOf(TrackRole role, const ExportPiece& piece,
                 const std::function<MediumState(std::string_view)>& state) {
  const TimelineItem& item = *piece.item;
  SceneClip clip;
  clip.recordIn = item.recordIn.Value();
  clip.recordOut = item.recordOut.Value();
  clip.sourceIn = item.sourceIn.Value();
  clip.sourceOut = item.sourceOut.Value();
  clip.index = piece.index;
  clip.kind = item.kind;
  clip.slow = item.slow;
  clip.fill = FillOf(role, item);
  clip.name = NameOf(item);
  if (piece.media != nullptr) {
    clip.stored = piece.media->stored;
    if (piece.media->found) {
      clip.medium = MediumState::Found;
      clip.path = piece.media->path;
    } else {
      clip.medium = state ? state(clip.stored) : MediumState::Missing;
      if (clip.medium == MediumState::Found || clip.medium == MediumState::None)
        clip.medium = MediumState::Missing;
    }
  }
  return clip;
}

}  // namespace

void SpanIndex::Add(std::int64_t start, std::int64_t end) {
  starts.push_back(start);
  reach.push_back(reach.empty() ? end : std::max(reach.back(), end));
}

std::size_t SpanIndex::FirstReaching(std::int64_t frame) const {
  return static_cast<std::size_t>(std::upper_bound(reach.begin(), reach.end(), frame) -
                                  reach.begin());
}

std::size_t SpanIndex::FirstStartingFrom(std::int64_t frame) const {
  return static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), frame) -
                                  starts.begin());
}

std::size_t TimelineScene::Clips() const {
  std::size_t count = 0;
  for (const SceneRow& row : rows) count += row.clips.size();
  return count;
}

std::size_t TimelineScene::MissingClips() const {
  std::size_t count = 0;
  for (const SceneRow& row : rows) count += row.missingBefore.back();
  return count;
}

std::span<const TrackRole> PictureRoles() {
  static constexpr TrackRole roles[] = {TrackRole::Main,        TrackRole::Insert,
                                        TrackRole::Titles,      TrackRole::MainSound,
                                        TrackRole::ExtraAudio1, TrackRole::ExtraAudio2};
  return roles;
}

TimelineScene SceneOf(const ExportTimeline& timeline, TimecodeMode mode,
                      const std::function<MediumState(std::string_view stored)>& state) {
  TimelineScene scene;
  scene.timecode = mode;
  for (const RowKind& kind : rowKinds) {
    SceneRow& row = scene.rows.emplace_back(SceneRow{kind.role, kind.name, kind.idPrefix});
    if (const ExportTrack* track = timeline.Track(kind.role))
      for (const ExportPiece& piece : track->pieces)
        if (piece.item != nullptr) row.clips.push_back(ClipOf(kind.role, piece, state));
    // Placed by their record in, which under a transition lies before the piece's own.
    std::stable_sort(
        row.clips.begin(), row.clips.end(),
        [](const SceneClip& a, const SceneClip& b) { return a.recordIn < b.recordIn; });
    for (const SceneClip& clip : row.clips) {
      row.spans.Add(clip.recordIn, clip.recordOut);
      row.missingBefore.push_back(row.missingBefore.back() + (clip.Missing() ? 1 : 0));
      scene.end = std::max(scene.end, clip.recordOut);
    }
  }
  if (const ExportTrack* main = timeline.Track(TrackRole::Main))
    for (const ExportPiece& piece : main->pieces) {
      if (piece.transition == nullptr) continue;
      const Transition& transition = *piece.transition;
      SceneTransition drawn;
      drawn.recordIn = transition.recordIn.Value();
      drawn.length = std::max<std::int64_t>(0, transition.length.Value());
      drawn.id = static_cast<std::size_t>(piece.transition - timeline.transitions.data());
      drawn.name = DecodeShiftJis(transition.name).utf8;
      scene.end =
          std::max<std::int64_t>(scene.end, LastFrame(transition.recordIn, transition.length) + 1);
      scene.transitions.push_back(std::move(drawn));
    }
  std::stable_sort(
      scene.transitions.begin(), scene.transitions.end(),
      [](const SceneTransition& a, const SceneTransition& b) { return a.recordIn < b.recordIn; });
  for (const SceneTransition& transition : scene.transitions)
    scene.transitionSpans.Add(transition.recordIn, transition.recordIn + transition.length);
  return scene;
}

TimelineScene SceneOf(const Timeline& timeline, TimecodeMode mode,
                      const std::function<MediaResolution(std::string_view stored)>& resolve) {
  std::map<std::string, MediaResolution, std::less<>> known;
  const auto resolved = [&](std::string_view stored) -> const MediaResolution& {
    auto at = known.find(stored);
    if (at == known.end()) at = known.emplace(std::string(stored), resolve(stored)).first;
    return at->second;
  };
  LayoutRules rules;
  rules.roles.assign(PictureRoles().begin(), PictureRoles().end());
  rules.levels = LevelsWritten::None;
  rules.resolve = [&](std::string_view stored) {
    const MediaResolution& resolution = resolved(stored);
    const bool found = resolution.status == MediaStatus::Found;
    return MediaReference{std::string(stored), found ? resolution.path : std::string(), found};
  };
  const ExportTimeline laidOut = LayOutTimeline(timeline, rules);
  return SceneOf(laidOut, mode, [&](std::string_view stored) {
    return resolved(stored).status == MediaStatus::Ambiguous ? MediumState::Ambiguous
                                                             : MediumState::Missing;
  });
}

std::string PictureColour(std::uint32_t rgb) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text += digits[(rgb >> shift) & 0xF];
  return text;
}

std::string BoxLabel(const SceneClip& clip, bool shown) {
  const auto worded = [shown](std::string_view english, std::string_view piece) {
    return Fill(shown ? Tr(english) : english, {piece});
  };
  std::string label;
  if (clip.kind == ItemKind::Title)
    label = clip.name.empty() ? std::string(shown ? Tr("title") : "title") : clip.name;
  else if (clip.kind == ItemKind::Colour)
    // TRANSLATORS: a colour clip's box; {0} is its colour as #rrggbb.
    label = worded(ToTranslate("colour {0}"), clip.name);
  else  // The file name alone: the folders make the box's label too long to read.
    label = clip.name.substr(std::min(clip.name.size(), clip.name.find_last_of("\\/") + 1));
  if (clip.slow) label = "\xC2\xBD\xC3\x97 " + label;  // "½× ": half speed
  // TRANSLATORS: the box of a clip whose file is not found; {0} is its name.
  if (clip.Missing()) label = worded(ToTranslate("missing: {0}"), label);
  return label;
}

std::string_view KindWord(TrackRole role, ItemKind kind) {
  if (role == TrackRole::MainSound || role == TrackRole::ExtraAudio1 ||
      role == TrackRole::ExtraAudio2)
    return ToTranslate("sound");
  switch (kind) {
    case ItemKind::Still:
      return ToTranslate("still");
    case ItemKind::Colour:
      return ToTranslate("colour clip");
    case ItemKind::Title:
      return ToTranslate("title");
    case ItemKind::Movie:
      break;
  }
  return ToTranslate("movie");
}

}  // namespace pexol
