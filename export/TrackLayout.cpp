// export/TrackLayout.cpp - recorder-order layout of a track, transitions, names and colours
#include "export/TrackLayout.h"

#include <algorithm>
#include <numeric>

namespace pexol {

double FramesPerSecond(const ExportRate& rate) {
  return static_cast<double>(rate.numerator) / rate.denominator;
}

TimecodeMode TimecodeModeOf(const ExportRate& rate) {
  if (rate.numerator == 25 * rate.denominator) return TimecodeMode::Pal;
  return rate.dropFrame ? TimecodeMode::NtscDrop : TimecodeMode::NtscNonDrop;
}

std::vector<TrackPiece> LayOutTrack(const std::vector<TimelineItem>& items,
                                    const std::function<bool(const TimelineItem&)>& keep) {
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
    if (item.recordOut <= cursor || item.recordOut <= item.recordIn) continue;
    TrackPiece piece;
    piece.item = &item;
    piece.index = index;
    piece.recordIn = std::max(item.recordIn, cursor);
    piece.recordOut = item.recordOut;
    // A slow item shows one source frame over two recorder frames.
    const Frames trimmed = piece.recordIn - item.recordIn;
    piece.sourceIn = item.sourceIn + (item.slow ? trimmed.Half() : trimmed);
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
                       const std::vector<Transition>& transitions) {
  std::vector<std::size_t> pieceOf;
  constexpr std::size_t none = static_cast<std::size_t>(-1);
  for (std::size_t p = 0; p < mainPieces.size(); ++p) {
    const TrackPiece& piece = mainPieces[p];
    if (!piece.item) continue;
    if (pieceOf.size() <= piece.index) pieceOf.resize(piece.index + 1, none);
    pieceOf[piece.index] = p;
  }
  for (const Transition& transition : transitions) {
    const std::size_t incoming = transition.from + 1;
    if (transition.length <= 0 || incoming >= pieceOf.size()) continue;
    const std::size_t p = pieceOf[incoming];
    if (p == none || p == 0 || pieceOf[transition.from] != p - 1) continue;
    TrackPiece& piece = mainPieces[p];
    piece.transition = &transition;
    piece.transitionLength = std::min(transition.length, piece.Length());
  }
}

bool CarriesAudio(const TimelineItem& item) {
  return item.kind == ItemKind::Movie && item.hasAudio && !item.slow;
}

Frames TimelineEnd(const std::vector<const std::vector<TrackPiece>*>& tracks) {
  Frames end = 0;
  for (const auto* track : tracks) {
    if (!track->empty()) end = std::max(end, track->back().recordOut);
  }
  return end;
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
    if (!caption.empty()) caption += '\n';
    caption += Decode(settings, text.text);
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
  const std::string name = Decode(settings, item.name);
  const std::size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace pexol
