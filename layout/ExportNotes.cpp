// layout/ExportNotes.cpp - the kinds' ids and sentences, and the first few clips of each kind
#include "layout/ExportNotes.h"

#include <algorithm>

#include "core/Translation.h"

namespace pexol {

namespace {

struct KindText {
  NoteKind kind;
  std::string_view id;
  std::string_view sentence;
  bool transitions = false;
};

// In the order of `NoteKind`.
constexpr KindText kindTexts[] = {
    {NoteKind::TitlesLeftOut, "titles-left-out",
     ToTranslate("Titles are left out, with the images they show: the format has no titles.")},
    {NoteKind::ClipsLeftOut, "clips-left-out",
     ToTranslate("A track holds one clip at a time: clips that end no later than the clip before "
                 "them or before the timeline starts, that have no length, or that end before "
                 "their media's first frame would show, are left out.")},
    {NoteKind::TransitionsLeftOut, "transitions-left-out",
     ToTranslate("Transitions without a clip on each side of them on the main track, or longer "
                 "than the clip after them, are left out."),
     true},
    {NoteKind::LevelsLeftOut, "levels-left-out",
     ToTranslate("Levels are left out: the sound plays as recorded.")},
    {NoteKind::ColoursBlack, "colours-black",
     ToTranslate("Colour clips are black: the format has no colour clip its editors share.")},
    {NoteKind::TitlesAsMarkers, "titles-as-markers",
     ToTranslate("Titles are markers on V1 that hold their text and first font.")},
    {NoteKind::GradientsFirstColour, "gradients-first-colour",
     ToTranslate("Colour clips of several colours show only their first colour.")},
    {NoteKind::GradientsGeneratorColours, "gradients-generator-colours",
     ToTranslate("Colour clips of several colours are Final Cut Pro's Gradient generator in its "
                 "own colours; each clip's note names its colours and direction.")},
    {NoteKind::LevelsInMetadata, "levels-in-metadata",
     ToTranslate("Levels are kept only in the clips' metadata, which editors do not apply: the "
                 "sound plays as recorded.")},
    {NoteKind::TitleFontsInMetadata, "title-fonts-in-metadata",
     ToTranslate("Titles show their text; their fonts and sizes are kept only in the metadata.")},
    {NoteKind::TitleTextsOneFont, "title-texts-one-font",
     ToTranslate("Titles of several texts show them all in the first text's font and size.")},
    {NoteKind::LevelsAbove200, "levels-above-200",
     ToTranslate("Levels above 200 are written as 200 (+6 dB).")},
    {NoteKind::HeadsUnderClipBefore, "heads-under-clip-before",
     ToTranslate("A track holds one clip at a time: clips that start before the clip before them "
                 "ends, or before the timeline starts, lose their head and start there.")},
    {NoteKind::InBeforeMedia, "in-before-media",
     ToTranslate("Clips whose in point lies before their media's first frame start their media "
                 "at frame 0, and the clip as many frames later.")},
    {NoteKind::PastMediaEnd, "past-media-end",
     ToTranslate("Clips need more frames than their media file holds: editors show nothing past "
                 "its end.")},
    {NoteKind::WipesLeftToRight, "wipes-left-to-right",
     ToTranslate("Transitions other than dissolves are one left-to-right bar wipe, under their "
                 "own names."),
     true},
    {NoteKind::TransitionsCentred, "transitions-centred",
     ToTranslate("Transitions are centred on their edit point: each edit lies half the "
                 "transition's length after the cut, and the same frames show."),
     true},
    {NoteKind::SlowSpeedInTenths, "slow-speed-in-tenths",
     ToTranslate("Slow clips state their speed to a tenth of a frame a second (014.9): readers "
                 "may play them at 49.7 % rather than 50 %.")},
    {NoteKind::TitleImagesAsClips, "title-images-as-clips",
     ToTranslate("The images titles show are clips of their own under the titles.")},
    {NoteKind::SoundOnOwnTracks, "sound-on-own-tracks",
     ToTranslate("The clips' sound is clips of its own on sound tracks, not linked to their "
                 "pictures.")},
};
static_assert(std::size(kindTexts) == noteKindCount);

const KindText& TextOf(NoteKind kind) {
  return kindTexts[static_cast<std::size_t>(kind)];
}

}  // namespace

std::string_view NoteKindId(NoteKind kind) {
  return TextOf(kind).id;
}

std::optional<NoteKind> NoteKindOfId(std::string_view id) {
  for (const KindText& text : kindTexts)
    if (text.id == id) return text.kind;
  return std::nullopt;
}

std::string_view NoteSentence(NoteKind kind) {
  return TextOf(kind).sentence;
}

bool NoteNamesTransitions(NoteKind kind) {
  return TextOf(kind).transitions;
}

void ExportNotes::Keep(ExportNote& note, NotedClip clip) {
  // After those at the same frame: of two at one frame the one laid out first stays.
  const auto at =
      std::upper_bound(note.clips.begin(), note.clips.end(), clip.record,
                       [](Frames record, const NotedClip& kept) { return record < kept.record; });
  note.clips.insert(at, std::move(clip));
  if (note.clips.size() > keptClips) note.clips.pop_back();
}

std::vector<ExportNote> ExportNotes::List() const {
  std::vector<ExportNote> given;
  for (std::size_t k = 0; k < notes_.size(); ++k) {
    if (notes_[k].count == 0) continue;
    given.push_back(notes_[k]);
    given.back().kind = static_cast<NoteKind>(k);
  }
  return given;
}

bool ExportNotes::Empty() const {
  return std::all_of(notes_.begin(), notes_.end(),
                     [](const ExportNote& note) { return note.count == 0; });
}

}  // namespace pexol
