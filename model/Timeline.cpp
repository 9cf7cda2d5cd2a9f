// model/Timeline.cpp - record positions, slow clips and transitions, worked out once
#include "model/Timeline.h"

#include <algorithm>

namespace pexol {

namespace {

// The frames from `in` to `out`, both included.
Frames Span(Frames in, Frames out) {
  return out - in + 1;
}

ItemKind KindOf(ClipKind kind) {
  switch (kind) {
    case ClipKind::Still:
      return ItemKind::Still;
    case ClipKind::Colour:
      return ItemKind::Colour;
    default:
      return ItemKind::Movie;
  }
}

// Colour `index` of the descriptor (six hexadecimal digits after the type, count and direction
// digits, each colour after two more); 0 when they are not hexadecimal.
std::uint32_t DescriptorColour(std::string_view name, std::size_t index) {
  const std::size_t at = 5 + 8 * index;
  if (name.size() < at + 6) return 0;
  std::uint32_t colour = 0;
  for (char c : name.substr(at, 6)) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
    if (digit < 0) return 0;
    colour = colour << 4 | static_cast<std::uint32_t>(digit);
  }
  return colour;
}

// The type, count and direction digits and the colours they count; a count or direction that
// is not one gives one colour and the first direction.
ColourFill FillOf(std::string_view name) {
  ColourFill fill;
  const auto digit = [&name](std::size_t at) { return at < name.size() ? name[at] - '0' : -1; };
  if (!name.empty()) fill.type = name[0];
  const int count = digit(1) >= 1 && digit(1) <= 4 ? digit(1) : 1;
  fill.direction = digit(2) >= 0 && digit(2) <= 7 ? digit(2) : 0;
  for (int i = 0; i < count; ++i)
    fill.colours.push_back(DescriptorColour(name, static_cast<std::size_t>(i)));
  return fill;
}

bool SlowMark(const RecordList<TrackFilterRecord>& filters, std::size_t index) {
  return index < filters.size() && filters.records[index].slow != 0;
}

TimelineItem ClipItem(const ClipRecord& clip, std::size_t index) {
  TimelineItem item;
  item.kind = KindOf(clip.kind);
  item.name = clip.name;
  item.hasAudio = clip.kind == ClipKind::Movie && clip.levels.AnyLevel();
  item.levels = clip.levels;
  if (clip.kind == ClipKind::Colour) {
    item.fill = FillOf(clip.name);
    item.colour = item.fill.colours.front();
  }
  item.record = index;
  return item;
}

// Main clips lie back to back. An effect on clip i gives that clip's length on the recorder
// (cutting frames off its end) and names the transition into clip i + 1, which plays the
// frames cut off. A slow clip plays its whole source span on top of its length.
void PlaceMainTrack(const Project& project, Timeline& timeline) {
  const std::size_t count = project.main.size();
  std::vector<Frames> length(count);
  std::vector<const std::string*> transitionInto(count + 1, nullptr);
  for (std::size_t i = 0; i < count; ++i) {
    const ClipRecord& clip = project.main.records[i];
    length[i] = Span(clip.in, clip.out);
  }
  for (const EffectRecord& effect : project.effects.records) {
    // An effect on a clip that is not there has nothing to mark.
    if (effect.clipIndex < 0 || static_cast<std::size_t>(effect.clipIndex) >= count) continue;
    const auto index = static_cast<std::size_t>(effect.clipIndex);
    length[index] = effect.clipLength;
    transitionInto[index + 1] = &effect.name;
  }

  Frames recorder = 0;
  timeline.mainTail.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const ClipRecord& clip = project.main.records[i];
    TimelineItem item = ClipItem(clip, i);
    const bool movie = clip.kind == ClipKind::Movie;
    const Frames span = Span(clip.in, clip.out);
    item.slow = SlowMark(project.mainFilters, i);
    item.sourceIn = movie ? clip.in : 0;
    item.sourceOut = item.sourceIn + length[i];
    item.recordIn = recorder;
    recorder += item.slow ? length[i] + span : length[i];
    item.recordOut = recorder;
    timeline.mainTail[i] = span - length[i];
    timeline.main.push_back(std::move(item));
    const std::string* next = transitionInto[i + 1];
    if (next != nullptr && !next->empty())
      timeline.transitions.push_back(
          {i, *next, TransitionCode(*next), timeline.mainTail[i], recorder});
  }
}

// Insert and extra audio clips lie where their begin puts them; a slow insert plays its span
// over twice as many frames.
void PlaceOtherTracks(const Project& project, Timeline& timeline) {
  for (std::size_t i = 0; i < project.insert.size(); ++i) {
    const ClipRecord& clip = project.insert.records[i];
    TimelineItem item = ClipItem(clip, i);
    item.slow = SlowMark(project.insertFilters, i);
    item.sourceIn = clip.in;
    item.sourceOut = Frames(clip.out) + 1;
    const Frames span = item.sourceOut - item.sourceIn;
    item.recordIn = clip.begin;
    item.recordOut = item.recordIn + (item.slow ? 2 * span : span);
    timeline.insert.push_back(std::move(item));
  }
  for (int track = 0; track < 2; ++track) {
    for (std::size_t i = 0; i < project.exAudio[track].size(); ++i) {
      const ExAudioClip& clip = project.exAudio[track].records[i];
      TimelineItem item;
      item.name = clip.name;
      item.hasAudio = true;
      item.levels = clip.levels;
      item.record = i;
      item.sourceIn = clip.in;
      item.sourceOut = Frames(clip.out) + 1;
      item.recordIn = clip.begin;
      item.recordOut = item.recordIn + (item.sourceOut - item.sourceIn);
      timeline.exAudio[track].push_back(std::move(item));
    }
  }
}

void PlaceTitles(const Project& project, Timeline& timeline) {
  const bool withValues = project.TitlesExtended();
  for (std::size_t i = 0; i < project.titles.size(); ++i) {
    const TitleRecord& title = project.titles.records[i];
    TimelineItem item;
    item.kind = ItemKind::Title;
    item.record = i;
    item.recordIn = title.begin;
    item.recordOut = item.recordIn + titleDefaultFrames;
    item.sourceOut = titleDefaultFrames;
    for (const TitleElement& element : title.elements) {
      const bool namesMedia = NamesMediaFile(title, element, withValues);
      item.texts.push_back({element.text, element.fontName, element.fontSize, namesMedia});
    }
    timeline.titles.push_back(std::move(item));
  }
}

}  // namespace

char TransitionCode(std::string_view name) {
  using namespace std::string_view_literals;
  // The names under which the applications store a dissolve: the katakana word in full width
  // and, after "Basic - ", in half width (both Shift-JIS), and the two English spellings.
  constexpr std::string_view dissolveNames[] = {
      "\x83\x66\x83\x42\x83\x5D\x83\x8B\x83\x75"sv,
      "Basic - \xC3\xDE\xA8\xBF\xDE\xD9\xCC\xDE"sv,
      "Dissolve"sv,
      "Basic - Dissolve"sv,
  };
  if (name.empty()) return 'C';
  return std::find(std::begin(dissolveNames), std::end(dissolveNames), name) !=
                 std::end(dissolveNames)
             ? 'D'
             : 'W';
}

Timeline BuildTimeline(const Project& project) {
  Timeline timeline;
  timeline.wideScreen = HasAspectRatio(project.header.version) && project.aspectRatio != 0;
  PlaceMainTrack(project, timeline);
  PlaceOtherTracks(project, timeline);
  PlaceTitles(project, timeline);
  return timeline;
}

}  // namespace pexol
