// layout/TrackLayout.cpp - recorder-order layout of a track, transitions, names and colours
#include "layout/TrackLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace pexol {

namespace {

// Levels above this are taken as it (+6 dB): the project states no scale beyond.
constexpr int maxLevel = 200;

}  // namespace

void NoteTaker::Clip(NoteKind kind, const TimelineItem& item) const {
  notes.Add(kind, item.recordIn, [&] { return ItemName(item, settings); });
}

void NoteTaker::Transition(NoteKind kind, const pexol::Transition& transition) const {
  notes.Add(kind, transition.recordIn,
            [&] { return CleanText(Decode(settings, transition.name)); });
}

std::optional<ExportRate> ExportRateOf(TimecodeMode mode) {
  switch (mode) {
    case TimecodeMode::NtscDrop:
      return ExportRate{30000, 1001, true};
    case TimecodeMode::NtscNonDrop:
      return ExportRate{30000, 1001, false};
    case TimecodeMode::Pal:
      return ExportRate{25, 1, false};
    case TimecodeMode::Frame:
      break;
  }
  return std::nullopt;
}

double FramesPerSecond(const ExportRate& rate) {
  return static_cast<double>(rate.numerator) / rate.denominator;
}

TimecodeMode TimecodeModeOf(const ExportRate& rate) {
  if (rate.numerator == 25 * rate.denominator) return TimecodeMode::Pal;
  return rate.dropFrame ? TimecodeMode::NtscDrop : TimecodeMode::NtscNonDrop;
}

std::vector<TrackPiece> LayOutTrack(const std::vector<TimelineItem>& items,
                                    const std::function<bool(const TimelineItem&)>& keep,
                                    const NoteTaker* said) {
  std::vector<std::size_t> order(items.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&items](std::size_t a, std::size_t b) {
    return items[a].recordIn < items[b].recordIn;
  });

  std::vector<TrackPiece> pieces;
  pieces.reserve(items.size() + 1);
  Frames cursor = 0;
  for (std::size_t index : order) {
    const TimelineItem& item = items[index];
    if (keep && !keep(item)) continue;
    if (item.recordOut <= cursor || item.recordOut <= item.recordIn) {
      if (said) said->Clip(NoteKind::ClipsLeftOut, item);
      continue;
    }
    TrackPiece piece;
    piece.item = &item;
    piece.index = index;
    piece.recordIn = std::max(item.recordIn, cursor);
    piece.recordOut = item.recordOut;
    // A slow item shows one source frame over two recorder frames.
    const Frames trimmed = piece.recordIn - item.recordIn;
    piece.sourceIn = item.sourceIn + (item.slow ? trimmed.Half() : trimmed);
    // No reader shows frames before a media's first: the clip starts where frame 0 plays.
    if (item.kind == ItemKind::Movie && piece.sourceIn < 0) {
      // Counted in 64 bits: the earliest in point is 2^31 frames early.
      const std::int64_t early = -std::int64_t{piece.sourceIn.Value()};
      const std::int64_t start =
          std::int64_t{piece.recordIn.Value()} + (item.slow ? 2 * early : early);
      // Its media would start only after it ends: nothing of it shows.
      if (start >= piece.recordOut.Value()) {
        if (said) said->Clip(NoteKind::ClipsLeftOut, item);
        continue;
      }
      if (said) said->Clip(NoteKind::InBeforeMedia, item);
      piece.recordIn = Frames::Wrapped(start);
      piece.sourceIn = 0;
    }
    if (said && item.recordIn < cursor) said->Clip(NoteKind::HeadsUnderClipBefore, item);
    piece.sourceOut = std::max(item.sourceOut, piece.sourceIn);
    if (piece.recordIn > cursor) {
      TrackPiece gap;
      gap.recordIn = cursor;
      gap.recordOut = piece.recordIn;
      pieces.push_back(gap);
    }
    cursor = piece.recordOut;
    pieces.push_back(piece);
  }
  return pieces;
}

void AttachTransitions(std::vector<TrackPiece>& mainPieces,
                       const std::vector<Transition>& transitions, const NoteTaker* said) {
  std::vector<std::size_t> pieceOf;
  constexpr std::size_t none = static_cast<std::size_t>(-1);
  for (std::size_t p = 0; p < mainPieces.size(); ++p) {
    const TrackPiece& piece = mainPieces[p];
    if (!piece.item) continue;
    if (pieceOf.size() <= piece.index) pieceOf.resize(piece.index + 1, none);
    pieceOf[piece.index] = p;
  }
  const auto leftOut = [said](const Transition& transition) {
    if (said) said->Transition(NoteKind::TransitionsLeftOut, transition);
  };
  for (const Transition& transition : transitions) {
    const std::size_t incoming = transition.from + 1;
    if (transition.length <= 0) continue;
    const std::size_t p = incoming < pieceOf.size() ? pieceOf[incoming] : none;
    if (p == none) {
      leftOut(transition);
      continue;
    }
    if (p == 0 || pieceOf[transition.from] != p - 1) {
      leftOut(transition);
      continue;
    }
    TrackPiece& piece = mainPieces[p];
    if (transition.length > piece.Length()) {
      leftOut(transition);
      continue;
    }
    piece.transition = &transition;
    piece.transitionLength = transition.length;
  }
}

bool CrossFadesSound(const TimelineItem& outgoing, const TimelineItem& incoming) {
  return CarriesAudio(outgoing) && CarriesAudio(incoming);
}

std::vector<TrackPiece> SoundPieces(const std::vector<TrackPiece>& mainPieces) {
  std::vector<TrackPiece> sound;
  for (std::size_t p = 0; p < mainPieces.size(); ++p) {
    const TrackPiece& piece = mainPieces[p];
    if (!piece.item || !CarriesAudio(*piece.item)) continue;
    const Frames end = sound.empty() ? Frames(0) : sound.back().recordOut;
    if (piece.recordIn > end) {
      TrackPiece gap;
      gap.recordIn = end;
      gap.recordOut = piece.recordIn;
      sound.push_back(gap);
    }
    sound.push_back(piece);
    // Beside a silent clip the transition is the picture's alone.
    if (piece.transition && !CrossFadesSound(*mainPieces[p - 1].item, *piece.item)) {
      sound.back().transition = nullptr;
      sound.back().transitionLength = 0;
    }
  }
  return sound;
}

bool CarriesAudio(const TimelineItem& item) {
  return item.kind == ItemKind::Movie && item.hasAudio && !item.slow;
}

std::optional<double> GainDb(double level) {
  if (level <= 0) return std::nullopt;
  return 20 * std::log10(std::min(level, double(maxLevel)) / 100.0);
}

bool LevelsAbove200(const TimelineItem& item) {
  const Levels& levels = item.levels;
  return levels.in > maxLevel || levels.out > maxLevel ||
         std::any_of(levels.points.begin(), levels.points.end(),
                     [](const LevelPoint& point) { return point.level > maxLevel; });
}

std::vector<GainPoint> GainEnvelope(const TimelineItem& item, Frames length) {
  const Levels& levels = item.levels;
  const auto recorded = [](int level) { return level == 100; };
  if (recorded(levels.in) && recorded(levels.out) &&
      std::all_of(levels.points.begin(), levels.points.end(),
                  [&](const LevelPoint& point) { return recorded(point.level); }))
    return {};
  const Frames last = std::max(length - 1, Frames(0));
  std::vector<GainPoint> envelope;
  const auto add = [&](Frames frame, int level) {
    envelope.push_back({std::clamp(frame, Frames(0), last), double(std::min(level, maxLevel))});
  };
  add(0, levels.in);
  for (const LevelPoint& point : levels.points) add(point.position, point.level);
  add(last, levels.out);
  std::stable_sort(envelope.begin(), envelope.end(),
                   [](const GainPoint& a, const GainPoint& b) { return a.frame < b.frame; });
  // Of two levels at one frame the later one holds: a point at the last frame gives way to
  // the level at the end.
  for (std::size_t i = envelope.size(); i-- > 1;)
    if (envelope[i - 1].frame == envelope[i].frame) envelope.erase(envelope.begin() + long(i) - 1);
  if (std::all_of(envelope.begin(), envelope.end(),
                  [](const GainPoint& point) { return point.level == 100; }))
    return {};
  return envelope;
}

std::vector<GainPoint> GainKeyframes(const std::vector<GainPoint>& envelope,
                                     GainInterpolation interpolation) {
  if (interpolation == GainInterpolation::Amplitude || envelope.size() < 2) return envelope;
  // Amplitudes of neighbouring keyframes differ by at most this factor.
  constexpr double step = 2;
  std::vector<GainPoint> keyframes{envelope.front()};
  for (std::size_t i = 1; i < envelope.size(); ++i) {
    const GainPoint& from = envelope[i - 1];
    const GainPoint& to = envelope[i];
    const double slope = (to.level - from.level) / double((to.frame - from.frame).Value());
    // Counted in 64 bits: a fade may span the whole 32-bit range of frames.
    const std::int64_t start = from.frame.Value(), end = to.frame.Value();
    std::int64_t at = start;
    double level = from.level;
    while (slope != 0) {
      // The frames to the level `step` times higher or lower; from silence the next frame.
      const double target = slope < 0 ? level / step : level * step;
      const double frames = std::floor((target - level) / slope);
      if (frames >= double(end - at)) break;
      at += std::max<std::int64_t>(1, std::int64_t(frames));
      if (at >= end) break;
      level = from.level + slope * double(at - start);
      keyframes.push_back({Frames::Wrapped(at), level});
    }
    keyframes.push_back(to);
  }
  return keyframes;
}

double LevelAt(const std::vector<GainPoint>& envelope, Frames frame) {
  const auto after =
      std::upper_bound(envelope.begin(), envelope.end(), frame,
                       [](Frames frame, const GainPoint& point) { return frame < point.frame; });
  if (after == envelope.begin()) return envelope.empty() ? 100 : after->level;
  const GainPoint& before = *(after - 1);
  if (after == envelope.end()) return before.level;
  const double part =
      double((frame - before.frame).Value()) / double((after->frame - before.frame).Value());
  return before.level + (after->level - before.level) * part;
}

std::string CleanText(std::string text) {
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  if (std::none_of(text.begin(), text.end(), control)) return text;
  std::string clean;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      clean += '\n';
    } else if (!control(c)) {
      clean += c;
    }
  }
  while (!clean.empty() && clean.back() == '\n') clean.pop_back();
  return clean;
}

std::string Decode(const ExportSettings& settings, std::string_view stored) {
  return settings.decode ? settings.decode(stored) : std::string(stored);
}

std::string HexColour(std::uint32_t colour) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text += digits[(colour >> shift) & 0xF];
  return text;
}

std::string TitleCaption(const TimelineItem& item, const ExportSettings& settings) {
  std::string caption;
  for (const TitleText& text : item.texts) {
    if (text.namesMedia) continue;
    const std::string line = CleanText(Decode(settings, text.text));
    if (line.empty()) continue;
    if (!caption.empty()) caption += '\n';
    caption += line;
  }
  return caption;
}

std::string ItemName(const TimelineItem& item, const ExportSettings& settings) {
  switch (item.kind) {
    case ItemKind::Colour:
      return "Colour " + HexColour(item.colour);
    case ItemKind::Title: {
      const std::string caption = TitleCaption(item, settings);
      const std::string firstLine = caption.substr(0, caption.find('\n'));
      return firstLine.empty() ? std::string("Title") : firstLine;
    }
    case ItemKind::Movie:
    case ItemKind::Still:
      break;
  }
  const std::string name = CleanText(Decode(settings, item.name));
  const std::size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace pexol
