// export/ExportOutcome.cpp - the export's completion message and its notes
#include "export/ExportOutcome.h"

#include "core/Translation.h"

namespace pexol {

std::string ExportCompletedMessage(std::string_view source, std::string_view destination,
                                   const std::vector<std::string>& sideFiles,
                                   const ExportOutcome& outcome, std::string_view formatLabel) {
  std::string message = Say("export completed\n\nfrom : {0}\n   to : {1}", source, destination);
  for (const std::string& side : sideFiles) message += "\n      & " + side;
  // Each count says "1 track" or "2 tracks": one whole line for each of the eight forms.
  static constexpr std::string_view lines[8] = {
      ToTranslate("{0} track, {1} clip, {2} transition"),
      ToTranslate("{0} track, {1} clip, {2} transitions"),
      ToTranslate("{0} track, {1} clips, {2} transition"),
      ToTranslate("{0} track, {1} clips, {2} transitions"),
      ToTranslate("{0} tracks, {1} clip, {2} transition"),
      ToTranslate("{0} tracks, {1} clip, {2} transitions"),
      ToTranslate("{0} tracks, {1} clips, {2} transition"),
      ToTranslate("{0} tracks, {1} clips, {2} transitions")};
  const int form = (outcome.tracks == 1 ? 0 : 4) + (outcome.clips == 1 ? 0 : 2) +
                   (outcome.transitions == 1 ? 0 : 1);
  return message + "\n\n" + Say(lines[form], outcome.tracks, outcome.clips, outcome.transitions) +
         "\n\n" + NotesText(formatLabel, outcome.notes);
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
  if (note.count == 1)
    return note.transitions ? Say("1 transition: {0}", clips) : Say("1 clip: {0}", clips);
  if (note.count <= note.clips.size())
    return note.transitions ? Say("{0} transitions: {1}", note.count, clips)
                            : Say("{0} clips: {1}", note.count, clips);
  return note.transitions ? Say("{0} transitions, among them {1}", note.count, clips)
                          : Say("{0} clips, among them {1}", note.count, clips);
}

}  // namespace pexol
