// export/ExportOutcome.cpp - the export's completion message and its notes
#include "export/ExportOutcome.h"

#include <algorithm>

#include "core/Translation.h"

namespace pexol {

std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& outcome, std::string_view formatLabel) {
  std::string message = Say("export completed\n\nfrom : {0}\n   to : {1}", source, destination);
  for (const std::string& side : sideFiles) message += "\n      & " + side;
  // Three counts, each with its own form: a list of three, which a translation may order.
  const std::string tracks = SayN(outcome.tracks, "{0} track", "{0} tracks", outcome.tracks);
  const std::string clips = SayN(outcome.clips, "{0} clip", "{0} clips", outcome.clips);
  const std::string transitions =
      SayN(outcome.transitions, "{0} transition", "{0} transitions", outcome.transitions);
  // TRANSLATORS: an export's counts: {0} its tracks, {1} its clips, {2} its transitions.
  return message + "\n\n" + Say("{0}, {1}, {2}", tracks, clips, transitions) + "\n\n" +
         NotesText(formatLabel, outcome.notes);
}

std::string NotesText(std::string_view formatLabel, const std::vector<FormatNote>& notes) {
  // TRANSLATORS: {0} is an export format, such as "AAF (Media Composer, Pro Tools)".
  if (notes.empty()) return Say("{0} keeps everything this timeline holds.", formatLabel);
  // TRANSLATORS: {0} is an export format; a list of what it changed follows.
  std::string text = Say("What {0} keeps differently or cannot keep:", formatLabel);
  for (const FormatNote& note : notes) text += "\n" + NoteText(note);
  return text;
}

std::string NoteText(const FormatNote& note) {
  return "- " + note.sentence + "\n  " + NoteClipsText(note);
}

std::string NoteClipsText(const FormatNote& note) {
  std::string clips;
  for (const FormatNoteClip& clip : note.clips) {
    if (!clips.empty()) clips += ", ";
    // TRANSLATORS: {0} is a record timecode, {1} the name of the clip or transition there.
    clips += Say("{0} \"{1}\"", clip.record, clip.name);
  }
  // A note of one names its one clip (which it always shows).
  if (note.count <= std::max<std::size_t>(note.clips.size(), 1))
    return note.transitions
               ? SayN(note.count, "{0} transition: {1}", "{0} transitions: {1}", note.count, clips)
               : SayN(note.count, "{0} clip: {1}", "{0} clips: {1}", note.count, clips);
  return note.transitions ? SayN(note.count, "{0} transition, among them {1}",
                                 "{0} transitions, among them {1}", note.count, clips)
                          : SayN(note.count, "{0} clip, among them {1}",
                                 "{0} clips, among them {1}", note.count, clips);
}

}  // namespace pexol
