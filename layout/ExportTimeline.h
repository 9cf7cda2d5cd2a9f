// layout/ExportTimeline.h - the timeline as every export, the picture and the render show it:
// a stack of tracks of clips and gaps, laid out once per run
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "layout/ExportNotes.h"
#include "layout/ExportTypes.h"
#include "layout/TrackLayout.h"
#include "model/Timeline.h"

namespace pexol {

/// What a track of the stack holds; the picture tracks from the bottom.
enum class TrackRole {
  Main,         ///< the main clips ("V1")
  Insert,       ///< the insert clips ("V2")
  TitleImages,  ///< the images the titles show, as stills under their text ("Title images")
  Titles,       ///< the titles ("Titles")
  MainSound,    ///< the main clips' sound ("A1")
  ExtraAudio1,  ///< "A2"
  ExtraAudio2,  ///< "A3"
  InsertSound,  ///< the inserts' sound ("V2 sound")
};

/// A media file's own length, as reading its headers gave it.
struct FileLength {
  std::int64_t frames =
      0;                  ///< what it holds in frames of the export's rate, a part of one left out
  int rateNumerator = 0;  ///< its own frame rate; 0/1 for a sound file
  int rateDenominator = 1;
  double seconds = 0;
};

/// A media file as a piece names it.
struct MediaReference {
  std::string stored;  ///< the name as the project stores it (Shift-JIS bytes)
  std::string path;    ///< the path to write (UTF-8); empty when there is none
  bool found = true;   ///< false when the file is not on this computer (or cannot be used)
  /// The file's whole length, for formats that say it; unknown unless the export read the
  /// file, and for stills.
  std::optional<FileLength> length = {};
};

/// One stretch of a track: a clip, or a gap when `item` is null, with its record and source
/// frames and the transition into it (`TrackPiece`), and all a writer shows of it.
///
/// The sound under a transition, one rule that every format and the render follow: where both
/// main clips carry sound (`CarriesAudio`) their sound cross-fades over the transition's frames,
/// as the picture does, for dissolves and wipes alike: the outgoing clip's sound plays on for its
/// `runOn` frames falling in a straight line in amplitude while the incoming clip's rises, the
/// two gains summing to 1 (0 dB), over each clip's own levels. Where either clip is silent the
/// transition is the picture's alone: the outgoing clip's sound ends at its recordOut and the
/// incoming clip's starts at its recordIn at its own level. (The project's EDL gives a dissolve
/// the media of its incoming clip, "VA" or "V"; a fade against silence has no form in CMX 3600
/// nor a Kdenlive mix.) The main track's pieces say so in `crossFadesSound`. The main clips'
/// sound track (`TrackRole::MainSound`) holds the main track's pieces whose clips carry sound,
/// at the same frames, with the transition (and its outgoing piece the `runOn`) exactly where
/// that is true and nowhere else: a writer of a sound track shows its pieces' transitions as
/// cross-fades and needs no rule of its own, and a format that plays the sound from the main
/// track plays the same.
struct ExportPiece : TrackPiece {
  /// The frames its media plays on past recordOut, under the transition into the next clip.
  Frames runOn;
  /// True when the sound of the clips either side of `transition` cross-fades over its frames
  /// (see above); false without a transition, and always true with one on a sound track.
  bool crossFadesSound = false;
  /// A movie's levels (where the rules' `levels` asks for them) as keyframes for the format's
  /// reader (`GainKeyframes`), from the item's first frame, and from this piece's first frame (a
  /// head cut off by the clip before, or by media that starts late: the level there is the one
  /// on the way between the points either side); empty when the sound plays as recorded.
  std::vector<GainPoint> gain;
  std::vector<GainPoint> pieceGain;
  std::string name;     ///< decoded, as the item shows (`ItemName`)
  std::string caption;  ///< a title's texts (`TitleCaption`)
  /// The file of a movie or still, and the image files a title shows; null and empty for
  /// colours and gaps.
  const MediaReference* media = nullptr;
  std::vector<const MediaReference*> images;
  /// True for a clip whose media cannot be used, shown as black and silence in its place
  /// (`BlackOutMissing`).
  bool black = false;
};

struct ExportTrack {
  TrackRole role;
  const char* name;  ///< "V1", "V2", "Title images", "Titles", "A1", "A2", "A3", "V2 sound"
  bool video;        ///< pictures (the first four roles) or sound
  bool repeats;      ///< the sound or images of clips counted on another track
  std::vector<ExportPiece> pieces;

  bool Empty() const { return pieces.empty(); }
};

/// Which clips' levels a format writes (and so which levels above 200 are said to be cut).
enum class LevelsWritten {
  None,           ///< no levels at all
  SoundTracks,    ///< the clips of sound tracks
  SoundingClips,  ///< those, and the clips of picture tracks whose sound plays
  EveryMovie,     ///< every movie's
};

/// How a format shows titles, where it has a track for them.
enum class TitleForm {
  Styled,    ///< their text in their first text's font and size
  TextOnly,  ///< their text; fonts and sizes only in its metadata
  Markers,   ///< markers holding their text
};

/// How a format shows colour clips.
enum class ColourForm {
  AsStored,                   ///< one colour or a gradient, as the project has them
  GradientsFirstColour,       ///< one colour: a gradient's first
  GradientsGeneratorColours,  ///< a gradient is a generator in colours of its own
  Black,                      ///< black: it has no colour clip
};

/// Where a format's transitions lie.
enum class TransitionForm {
  FromCut,        ///< from the cut, as the project has them
  CentredOnEdit,  ///< centred on an edit point written half the transition past the cut
};

/// What a format holds of the timeline its own way, beyond its tracks and levels: the layout
/// notes each clip it shows so (`ExportTimeline::notes`).
struct FormatHolds {
  TitleForm titles = TitleForm::Styled;
  ColourForm colours = ColourForm::AsStored;
  TransitionForm transitions = TransitionForm::FromCut;
  bool levelsInMetadata = false;   ///< its levels are metadata its editors do not apply
  bool slowSpeedInTenths = false;  ///< a slow clip's speed is in tenths of a frame a second
};

/// How a run lays the timeline out: the settings every export takes (name, rate, decoder) and
/// what the format asks for.
struct LayoutRules : ExportSettings {
  /// The tracks to lay out, in the order of `TrackRole`; an empty list lays out all.
  std::vector<TrackRole> roles;
  /// Where a stored media name points; asked once for each use, in stack order. Empty: the
  /// name as stored, found.
  std::function<MediaReference(std::string_view stored)> resolve;
  /// A title's pieces name the image files it shows (`ExportPiece::images`), for formats whose
  /// titles draw them, under their text.
  bool titlesDrawImages = false;
  LevelsWritten levels = LevelsWritten::EveryMovie;
  /// How the format's reader goes between gain keyframes: the pieces' `gain` holds as many as
  /// it needs to play the levels as the project does.
  GainInterpolation gainInterpolation = GainInterpolation::Decibels;
  /// What the format holds its own way, which the layout notes.
  FormatHolds holds;
};

/// The stack: the tracks of the roles asked for, in role order (a title's images under its
/// text), V1 always and the others whether or not they hold clips (`Empty`).
struct ExportTimeline {
  std::string projectName;
  ExportRate rate;
  bool wideScreen = false;
  std::vector<ExportTrack> tracks;
  /// The timeline's transitions, which the pieces' `transition` point into.
  std::span<const Transition> transitions;
  /// The end of the last piece of any track.
  Frames end;
  /// The track of `role`, null when it was not laid out.
  const ExportTrack* Track(TrackRole role) const;
  /// Stored text (effect names, title texts and fonts) as the rules' decoder gives it.
  std::string Decoded(std::string_view stored) const {
    return decode ? decode(stored) : std::string(stored);
  }
  TextDecoder decode;

  // What the pieces point to besides the timeline: resolved references, black stand-ins and
  // the title images as stills.
  std::deque<MediaReference> references;
  std::deque<TimelineItem> standIns;
  std::vector<TimelineItem> titleImages;

  /// What the format keeps differently from the project or cannot keep, clip by clip.
  ExportNotes notes;
};

/// Lays `timeline` out. Interchange formats hold one clip at a time per track: a clip that starts
/// before the one before it ends loses its head, one that ends by then or has no length is left
/// out; a movie whose in point lies before its media's first frame starts its media at frame 0
/// and the clip that many frames later. Transitions stay where both clips are side by side on
/// the main track and the incoming clip is at least as long; the main clips' sound follows them
/// where both carry sound (`ExportPiece::crossFadesSound`). Every change, and every clip the
/// format shows its own way (the rules' `holds`, `roles` and `levels`), is noted once in the
/// result's `notes`. Throws `std::bad_alloc` only. The timeline must outlive the result.
ExportTimeline LayOutTimeline(const Timeline& timeline, const LayoutRules& rules);

/// Black and silence in place of media whose reference is not `found`: each such clip keeps
/// its place and length as a black colour clip; a title's image that is not found goes. The
/// sound under a transition beside such a clip then cuts, as beside any silent clip.
void BlackOutMissing(ExportTimeline& timeline);

/// The counts of the tracks a format wrote: each track, each clip of a track that does not
/// repeat another, each transition on the main track.
ExportCounts CountWritten(std::span<const ExportTrack* const> written);

/// The name a movie goes by: `name` (its file name as the project stores it), or, when the file
/// found at `path` has the same stem and another ending (a collect's transcoded twin), the
/// found file's name.
std::string TwinName(std::string name, std::string_view path);

}  // namespace pexol
