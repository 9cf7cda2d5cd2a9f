// export/ExportOutcome.h - what an export adds to its result, and its messages
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/Translation.h"

namespace pexol {

/// A clip a note names, as a person finds it in the export: its record timecode (from the
/// timeline's start, at the export's rate) and its name (UTF-8).
struct FormatNoteClip {
  std::string record;
  std::string name;
  friend bool operator==(const FormatNoteClip&, const FormatNoteClip&) = default;
};

/// One way the format changed the timeline (`NoteKind`), as the run tells it.
struct FormatNote {
  std::string kind;  ///< the kind's id: "levels-left-out", ...
  std::size_t count = 0;
  std::vector<FormatNoteClip> clips;  ///< the first few by record timecode
  std::string sentence;               ///< what the kind says, in the run's language
  /// True when it names transitions rather than clips.
  bool transitions = false;
  friend bool operator==(const FormatNote&, const FormatNote&) = default;
};

/// What an export wrote: tracks (EDL files for CMX 3600) and transitions as the format holds
/// them, the project's clips as every command counts them (`ClipCount`), and what its format
/// keeps differently from the project or cannot keep.
struct ExportOutcome {
  int tracks = 0;
  int clips = 0;
  int transitions = 0;
  std::string format;             ///< the format's name: "otio", ...
  std::vector<FormatNote> notes;  ///< none: the format keeps everything the timeline holds
};

inline constexpr std::string_view cannotExport = ToTranslate("Can not export the timeline");

/// "export completed", the files written (`sideFiles` beside the destination), the counts and
/// what the format (`formatLabel`) keeps differently or cannot keep (`NotesText`).
std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& outcome, std::string_view formatLabel);

/// "What {label} keeps differently or cannot keep:" and each note (`NoteText`), or "{label}
/// keeps everything this timeline holds."
std::string NotesText(std::string_view formatLabel, const std::vector<FormatNote>& notes);

/// A note as two lines: its sentence, then its clips (`NoteClipsText`).
std::string NoteText(const FormatNote& note);

/// How many clips (or transitions) a note concerns and the first of them: "2 clips:
/// 00:00:05;00 "voice.wav", 00:01:10;02 "bgm.wav"".
std::string NoteClipsText(const FormatNote& note);

}  // namespace pexol
