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
      : timeline_(timeline), rules_(rules), out_(out), said_{out.notes, rules} {}

  void Track(const RoleOf& role) {
    std::vector<TrackPiece> pieces = Pieces(role.role);
    ExportTrack track{role.role, role.name, role.video, role.repeats, {}};
    track.pieces.reserve(pieces.size());
    for (std::size_t p = 0; p < pieces.size(); ++p) {
      ExportPiece piece;
      static_cast<TrackPiece&>(piece) = pieces[p];
      if (piece.item) {
        Fill(piece, role, p + 1 < pieces.size() ? pieces[p + 1].transitionLength : 0);
        Note(role, piece);
      }
      // A sound track holds only the transitions its sound follows.
      piece.crossFadesSound =
          piece.transition && (!role.video || CrossFadesSound(*pieces[p - 1].item, *piece.item));
      track.pieces.push_back(std::move(piece));
    }
    if (!track.pieces.empty()) out_.end = std::max(out_.end, track.pieces.back().recordOut);
    out_.tracks.push_back(std::move(track));
  }

  // A format without titles leaves out every one, with the images it shows.
  void NoteTitlesLeftOut() {
    if (LaysOut(TrackRole::Titles)) return;
    for (const TimelineItem& title : timeline_.titles) said_.Clip(NoteKind::TitlesLeftOut, title);
  }

 private:
  bool LaysOut(TrackRole role) const {
    return rules_.roles.empty() ||
           std::find(rules_.roles.begin(), rules_.roles.end(), role) != rules_.roles.end();
  }

  std::vector<TrackPiece> Pieces(TrackRole role) {
    const NoteTaker* said = &said_;
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
        return LayOutTrack(timeline_.titles, {}, said);
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
  const std::vector<TrackPiece>& MainPieces(const NoteTaker* said) {
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
      piece.gain = GainKeyframes(GainEnvelope(item, item.recordOut - item.recordIn),
                                 rules_.gainInterpolation);
      piece.pieceGain = FromPieceStart(piece.gain, piece.recordIn - item.recordIn);
    }
    piece.name = ItemName(item, rules_);
    if (item.kind == ItemKind::Movie && piece.media->found)
      piece.name = TwinName(std::move(piece.name), piece.media->path);
    if (item.kind == ItemKind::Title) piece.caption = TitleCaption(item, rules_);
  }

  // What the format shows of a clip its own way, noted once: on the track that shows it, its
  // sound on the track the clip is on.
  void Note(const RoleOf& role, const ExportPiece& piece) {
    const TimelineItem& item = *piece.item;
    switch (role.role) {
      case TrackRole::MainSound:
      case TrackRole::InsertSound:
        said_.Clip(NoteKind::SoundOnOwnTracks, item);
        NoteLevels(role, item);
        return;
      case TrackRole::TitleImages:
        said_.Clip(NoteKind::TitleImagesAsClips, item);
        return;
      case TrackRole::Titles:
        NoteTitle(item);
        return;
      case TrackRole::Main:
      case TrackRole::Insert:
      case TrackRole::ExtraAudio1:
      case TrackRole::ExtraAudio2:
        break;
    }
    const FormatHolds& holds = rules_.holds;
    if (const Transition* transition = piece.transition) {
      if (transition->code != 'D') said_.Transition(NoteKind::WipesLeftToRight, *transition);
      if (holds.transitions == TransitionForm::CentredOnEdit)
        said_.Transition(NoteKind::TransitionsCentred, *transition);
    }
    if (item.kind == ItemKind::Colour) NoteColour(item);
    if (item.kind != ItemKind::Movie) return;
    // Half the rate in tenths of a frame a second: 12.5 for PAL, 14.985 cut to 14.9 for NTSC.
    const std::int64_t halfRate = 2 * std::int64_t{rules_.rate.denominator};
    if (item.slow && holds.slowSpeedInTenths && rules_.rate.numerator * 10LL % halfRate != 0)
      said_.Clip(NoteKind::SlowSpeedInTenths, item);
    NoteLevels(role, item);
  }

  void NoteTitle(const TimelineItem& title) {
    switch (rules_.holds.titles) {
      case TitleForm::Markers:
        said_.Clip(NoteKind::TitlesAsMarkers, title);
        return;
      case TitleForm::TextOnly:
        if (std::any_of(title.texts.begin(), title.texts.end(), [](const TitleText& text) {
              return !text.namesMedia && (!text.font.empty() || text.size > 0);
            }))
          said_.Clip(NoteKind::TitleFontsInMetadata, title);
        return;
      case TitleForm::Styled:
        break;
    }
    // Every text shows in the font and size of the first that does not name media.
    const TitleText* first = nullptr;
    for (const TitleText& text : title.texts) {
      if (text.namesMedia) continue;
      if (!first) {
        first = &text;
      } else if ((text.font != first->font || text.size != first->size) &&
                 !CleanText(text.text).empty()) {
        said_.Clip(NoteKind::TitleTextsOneFont, title);
        return;
      }
    }
  }

  void NoteColour(const TimelineItem& item) {
    const bool gradient = item.fill.colours.size() > 1;
    switch (rules_.holds.colours) {
      case ColourForm::Black:
        said_.Clip(NoteKind::ColoursBlack, item);
        break;
      case ColourForm::GradientsFirstColour:
        if (gradient) said_.Clip(NoteKind::GradientsFirstColour, item);
        break;
      case ColourForm::GradientsGeneratorColours:
        if (gradient) said_.Clip(NoteKind::GradientsGeneratorColours, item);
        break;
      case ColourForm::AsStored:
        break;
    }
  }

  // Levels that play, where the format leaves them out, keeps them as metadata or takes them
  // as 200; noted on the track the sound plays from: a picture track's clips play theirs there
  // unless the format lays their sound out on a track of its own, which may show a clip the
  // picture track hides.
  void NoteLevels(const RoleOf& role, const TimelineItem& item) {
    if (role.video) {
      if (!CarriesAudio(item)) return;
      if (LaysOut(role.role == TrackRole::Main ? TrackRole::MainSound : TrackRole::InsertSound))
        return;
    }
    if (GainEnvelope(item, item.recordOut - item.recordIn).empty()) return;  // as recorded
    if (!WritesLevels(role, item))
      said_.Clip(NoteKind::LevelsLeftOut, item);
    else if (rules_.holds.levelsInMetadata)
      said_.Clip(NoteKind::LevelsInMetadata, item);
    else if (LevelsAbove200(item))
      said_.Clip(NoteKind::LevelsAbove200, item);
  }

  const Timeline& timeline_;
  const LayoutRules& rules_;
  ExportTimeline& out_;
  const NoteTaker said_;
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
  out.wideScreen = timeline.wideScreen;
  out.decode = rules.decode;
  out.transitions = timeline.transitions;
  Layout layout(timeline, rules, out);
  layout.NoteTitlesLeftOut();
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
