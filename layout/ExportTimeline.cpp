// layout/ExportTimeline.cpp - the tracks of the stack laid out from the timeline, once per run
#include "layout/ExportTimeline.h"

#include <algorithm>
#include <optional>

#include "core/TextScanner.h"

namespace pexol {

namespace {

struct RoleOf {
  TrackRole role;
  const char* name;
  bool video;
  bool repeats;
};

constexpr RoleOf roleTable[] = {
    {TrackRole::Main, "V1", true, false},
    {TrackRole::Insert, "V2", true, false},
    {TrackRole::TitleImages, "Title images", true, true},
    {TrackRole::Titles, "Titles", true, false},
    {TrackRole::MainSound, "A1", false, true},
    {TrackRole::ExtraAudio1, "A2", false, false},
    {TrackRole::ExtraAudio2, "A3", false, false},
    {TrackRole::InsertSound, "V2 sound", false, true},
};

// An item's levels counted from the first frame its piece plays, `skipped` frames into it,
// which starts at the level on the way there.
std::vector<GainPoint> FromPieceStart(const std::vector<GainPoint>& envelope, Frames skipped) {
  std::vector<GainPoint> shown;
  for (const GainPoint& point : envelope) {
    if (point.frame < skipped) continue;
    if (shown.empty() && point.frame > skipped) shown.push_back({0, LevelAt(envelope, skipped)});
    shown.push_back({point.frame - skipped, point.level});
  }
  return shown;
}

class Layout {
 public:
  Layout(const Timeline& timeline, const LayoutRules& rules, ExportTimeline& out)
      : timeline_(timeline), rules_(rules), out_(out) {}

  void Track(const RoleOf& role) {
    std::vector<TrackPiece> pieces = Pieces(role.role);
    ExportTrack track{role.role, role.name, role.video, role.repeats, {}};
    track.pieces.reserve(pieces.size());
    for (std::size_t p = 0; p < pieces.size(); ++p) {
      ExportPiece piece;
      static_cast<TrackPiece&>(piece) = pieces[p];
      if (piece.item) Fill(piece, role, p + 1 < pieces.size() ? pieces[p + 1].transitionLength : 0);
      // A sound track holds only the transitions its sound follows.
      piece.crossFadesSound =
          piece.transition && (!role.video || CrossFadesSound(*pieces[p - 1].item, *piece.item));
      track.pieces.push_back(std::move(piece));
    }
    if (!track.pieces.empty()) out_.end = std::max(out_.end, track.pieces.back().recordOut);
    out_.tracks.push_back(std::move(track));
  }

 private:
  std::vector<TrackPiece> Pieces(TrackRole role) {
    const ExportSettings* said = &rules_;
    switch (role) {
      case TrackRole::Main:
        return MainPieces(said);
      case TrackRole::MainSound:
        // The sound of the clips the main track shows, as it shows them.
        return SoundPieces(main_ ? *main_ : MainPieces(nullptr));
      case TrackRole::Insert:
        return LayOutTrack(timeline_.insert, {}, said);
      case TrackRole::InsertSound:
        return LayOutTrack(timeline_.insert, CarriesAudio);
      case TrackRole::Titles:
        return LayOutTrack(timeline_.titles);
      case TrackRole::TitleImages:
        return LayOutTrack(TitleImages());
      case TrackRole::ExtraAudio1:
        return LayOutTrack(timeline_.exAudio[0], {}, said);
      case TrackRole::ExtraAudio2:
        return LayOutTrack(timeline_.exAudio[1], {}, said);
    }
    return {};
  }

  // The main track's pieces with their transitions, kept for its sound track.
  const std::vector<TrackPiece>& MainPieces(const ExportSettings* said) {
    std::vector<TrackPiece> pieces = LayOutTrack(timeline_.main, {}, said);
    AttachTransitions(pieces, timeline_.transitions, said);
    return main_.emplace(std::move(pieces));
  }

  bool WritesLevels(const RoleOf& role, const TimelineItem& item) const {
    switch (rules_.levels) {
      case LevelsWritten::None:
        return false;
      case LevelsWritten::SoundTracks:
        return !role.video;
      case LevelsWritten::SoundingClips:
        return !role.video || CarriesAudio(item);
      case LevelsWritten::EveryMovie:
        break;
    }
    return true;
  }

  // The images titles show under their text, as stills over the title's frames.
  const std::vector<TimelineItem>& TitleImages() {
    for (const TimelineItem& title : timeline_.titles)
      for (const TitleText& text : title.texts) {
        if (!text.namesMedia) continue;
        TimelineItem image = title;
        image.kind = ItemKind::Still;
        image.name = text.text;
        image.texts.clear();
        out_.titleImages.push_back(std::move(image));
      }
    return out_.titleImages;
  }

  const MediaReference* Reference(const std::string& stored) {
    out_.references.push_back(rules_.resolve ? rules_.resolve(stored)
                                             : MediaReference{stored, stored, true});
    return &out_.references.back();
  }

  void Fill(ExportPiece& piece, const RoleOf& role, Frames runOn) {
    const TimelineItem& item = *piece.item;
    piece.runOn = runOn;
    if (item.kind == ItemKind::Movie || item.kind == ItemKind::Still) {
      piece.media = Reference(item.name);
    }
    if (item.kind == ItemKind::Title && rules_.titlesDrawImages)
      for (const TitleText& text : item.texts)
        if (text.namesMedia) piece.images.push_back(Reference(text.text));
    if (item.kind == ItemKind::Movie && WritesLevels(role, item)) {
      piece.gain = GainKeyframes(GainEnvelope(item, item.recordOut - item.recordIn, rules_),
                                 rules_.gainInterpolation);
      piece.pieceGain = FromPieceStart(piece.gain, piece.recordIn - item.recordIn);
    }
    piece.name = ItemName(item, rules_);
    if (item.kind == ItemKind::Movie && piece.media->found)
      piece.name = TwinName(std::move(piece.name), piece.media->path);
    if (item.kind == ItemKind::Title) piece.caption = TitleCaption(item, rules_);
  }

  const Timeline& timeline_;
  const LayoutRules& rules_;
  ExportTimeline& out_;
  std::optional<std::vector<TrackPiece>> main_;
};

}  // namespace

std::string TwinName(std::string name, std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t fileDot = file.rfind('.');
  const std::size_t nameDot = name.rfind('.');
  if (fileDot == std::string_view::npos || nameDot == std::string::npos) return name;
  // The same stem with another ending: the movie transcoded beside the name that leads to it.
  if (file.substr(0, fileDot) != std::string_view(name).substr(0, nameDot) ||
      EqualsIgnoreCase(file.substr(fileDot), std::string_view(name).substr(nameDot)))
    return name;
  return name.substr(0, nameDot) + std::string(file.substr(fileDot));
}

const ExportTrack* ExportTimeline::Track(TrackRole role) const {
  for (const ExportTrack& track : tracks)
    if (track.role == role) return &track;
  return nullptr;
}

ExportTimeline LayOutTimeline(const Timeline& timeline, const LayoutRules& rules) {
  ExportTimeline out;
  out.projectName = rules.projectName;
  out.rate = rules.rate;
  out.startAtOneHour = rules.startAtOneHour;
  out.wideScreen = timeline.wideScreen;
  out.decode = rules.decode;
  out.transitions = timeline.transitions;
  Layout layout(timeline, rules, out);
  for (const RoleOf& role : roleTable)
    if (rules.roles.empty() ||
        std::find(rules.roles.begin(), rules.roles.end(), role.role) != rules.roles.end())
      layout.Track(role);
  return out;
}

void BlackOutMissing(ExportTimeline& timeline) {
  for (ExportTrack& track : timeline.tracks) {
    for (ExportPiece& piece : track.pieces) {
      std::erase_if(piece.images, [](const MediaReference* image) { return !image->found; });
      if (!piece.media || piece.media->found) continue;
      TimelineItem black = *piece.item;
      black.kind = ItemKind::Colour;
      black.colour = 0;
      black.fill.colours = {0};
      black.hasAudio = false;
      black.slow = false;
      timeline.standIns.push_back(std::move(black));
      piece.item = &timeline.standIns.back();
      piece.media = nullptr;
      piece.black = true;
      piece.gain.clear();
      piece.pieceGain.clear();
      piece.name = ItemName(*piece.item, ExportSettings{});
    }
    // Silence beside a transition: the sound there cuts, and a sound track has no transition.
    for (std::size_t p = 1; p < track.pieces.size(); ++p) {
      ExportPiece& piece = track.pieces[p];
      ExportPiece& before = track.pieces[p - 1];
      if (!piece.transition || !(piece.black || before.black)) continue;
      piece.crossFadesSound = false;
      if (track.video) continue;
      piece.transition = nullptr;
      piece.transitionLength = 0;
      before.runOn = 0;
    }
  }
}

ExportCounts CountWritten(std::span<const ExportTrack* const> written) {
  ExportCounts counts;
  for (const ExportTrack* track : written) {
    ++counts.tracks;
    if (track->repeats) continue;
    for (const ExportPiece& piece : track->pieces) {
      if (!piece.item) continue;
      ++counts.clips;
      if (piece.transition) ++counts.transitions;
    }
  }
  return counts;
}

}  // namespace pexol
