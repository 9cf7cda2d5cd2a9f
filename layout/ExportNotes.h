// layout/ExportNotes.h - what an export's format keeps differently from the project or cannot
// keep, as notes of kinds, each counting the clips it concerns and naming the first few
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Frames.h"

namespace pexol {

/// One way a format changes the timeline. Notes are listed in this order: what is left out
/// first, then what is shown otherwise.
enum class NoteKind {
  TitlesLeftOut,              ///< the format has no titles
  ClipsLeftOut,               ///< one clip at a time: wholly under the clip before, or no length
  TransitionsLeftOut,         ///< no clip on one side, or longer than the clip after
  LevelsLeftOut,              ///< the format writes no levels
  ColoursBlack,               ///< the format has no colour clip
  TitlesAsMarkers,            ///< titles are markers
  GradientsFirstColour,       ///< a colour clip of several colours shows its first
  GradientsGeneratorColours,  ///< a colour clip of several colours shows a generator's own
  LevelsInMetadata,           ///< levels are metadata editors do not apply
  TitleFontsInMetadata,       ///< titles show their text; fonts and sizes are metadata
  TitleTextsOneFont,          ///< a title's texts all show in its first text's font and size
  LevelsAbove200,             ///< written as 200 (+6 dB)
  HeadsUnderClipBefore,       ///< one clip at a time: a clip loses the head the one before covers
  InBeforeMedia,              ///< the media starts at frame 0, the clip later
  PastMediaEnd,               ///< the clip needs more frames than its file holds
  WipesLeftToRight,           ///< every transition but a dissolve is one bar wipe
  TransitionsCentred,         ///< the edit point lies half a transition past the cut
  SlowSpeedInTenths,          ///< half speed written to a tenth of a frame a second
  TitleImagesAsClips,         ///< a title's images are clips of their own under it
  SoundOnOwnTracks,           ///< the clips' sound is clips of its own, apart from the pictures
};
inline constexpr std::size_t noteKindCount = 20;

/// The kind's id in JSON and reports: "titles-left-out", ...
std::string_view NoteKindId(NoteKind kind);
/// The kind an id names; nullopt for none.
std::optional<NoteKind> NoteKindOfId(std::string_view id);
/// The kind's sentence, marked for the catalogue: show it through `Tr`.
std::string_view NoteSentence(NoteKind kind);
/// True for the kinds whose notes name transitions rather than clips.
bool NoteNamesTransitions(NoteKind kind);

/// A clip (or transition) a note names: where the project starts it on the record side, and its
/// name as the export shows it (UTF-8).
struct NotedClip {
  Frames record;
  std::string name;
};

struct ExportNote {
  NoteKind kind = NoteKind::TitlesLeftOut;
  std::size_t count = 0;         ///< the clips it concerns
  std::vector<NotedClip> clips;  ///< the first `ExportNotes::keptClips` of them by record frame
};

/// The notes of one layout, gathered as it goes: a count per kind and the first few clips.
class ExportNotes {
 public:
  static constexpr std::size_t keptClips = 3;

  /// Counts a clip of `kind` starting at `record`; `name()` names it, asked only when it is
  /// among the first few.
  template <class Name>
  void Add(NoteKind kind, Frames record, Name&& name) {
    ExportNote& note = notes_[static_cast<std::size_t>(kind)];
    ++note.count;
    if (note.clips.size() == keptClips && !(record < note.clips.back().record)) return;
    Keep(note, {record, name()});
  }

  /// The kinds given, in the order of `NoteKind`.
  std::vector<ExportNote> List() const;
  bool Empty() const;
  /// The clips of `kind` counted so far.
  std::size_t Count(NoteKind kind) const { return notes_[static_cast<std::size_t>(kind)].count; }

 private:
  static void Keep(ExportNote& note, NotedClip clip);

  std::array<ExportNote, noteKindCount> notes_{};
};

}  // namespace pexol
