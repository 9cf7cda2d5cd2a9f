// probe/EditorSupport.cpp - the editors' documented inputs in one table, and a file's answers
#include "probe/EditorSupport.h"

#include <algorithm>
#include <array>

#include "core/Translation.h"

namespace pexol {

namespace {

constexpr Editor everyEditor[] = {Editor::FinalCutPro,   Editor::PremierePro, Editor::Resolve,
                                  Editor::MediaComposer, Editor::Shotcut,     Editor::Kdenlive};

// The editors whose vendors publish lists; Shotcut and Kdenlive read through FFmpeg.
constexpr std::size_t listedEditors = 4;

enum class Part {
  Container,    ///< FFmpeg's demuxer name of a movie or sound file
  Video,        ///< a movie's picture codec
  Audio,        ///< the sound codec of a movie or sound file
  Still,        ///< the codec of a picture file, as FFmpeg's image readers name it
  StillEnding,  ///< the ending of a picture file FFmpeg cannot read
};

struct FormatRow {
  Part part;
  const char* names;  ///< separated by spaces; a trailing '*' matches any name it starts
  std::array<Opens, listedEditors> opens;  ///< Final Cut Pro, Premiere Pro, Resolve, Media Composer
};

constexpr Opens Y = Opens::Yes;
constexpr Opens N = Opens::No;
constexpr Opens P = Opens::WithPlugIn;
constexpr Opens U = Opens::Unknown;

// Where each answer was found is in docs/editor-inputs.md, row for row.
constexpr FormatRow formatTable[] = {
    {Part::Container, "avi", {Y, Y, Y, Y}},
    {Part::Container, "mov,mp4,m4a,3gp,3g2,mj2", {Y, Y, Y, Y}},
    {Part::Container, "dv", {Y, Y, U, U}},
    {Part::Container, "mxf", {Y, Y, Y, Y}},
    {Part::Container, "mpegts", {Y, Y, Y, Y}},
    {Part::Container, "mpeg", {N, Y, U, U}},
    {Part::Container, "wav", {Y, Y, Y, Y}},
    {Part::Container, "aiff", {Y, Y, Y, Y}},
    {Part::Container, "mp3", {Y, Y, Y, Y}},

    {Part::Video, "dvvideo", {Y, Y, Y, Y}},
    {Part::Video, "mjpeg", {Y, Y, Y, U}},
    {Part::Video, "mpeg4", {N, P, N, N}},
    {Part::Video, "cinepak", {N, N, N, N}},
    {Part::Video, "indeo2 indeo3 indeo4 indeo5", {N, N, N, N}},
    {Part::Video, "huffyuv ffvhuff", {N, P, N, N}},
    {Part::Video, "rawvideo v210 v308 v408 r210", {Y, Y, Y, Y}},
    {Part::Video, "prores", {Y, Y, Y, Y}},
    {Part::Video, "dnxhd", {Y, Y, Y, Y}},
    {Part::Video, "h264", {Y, Y, Y, Y}},
    {Part::Video, "hevc", {Y, Y, Y, Y}},
    {Part::Video, "mpeg2video", {Y, Y, Y, Y}},
    {Part::Video, "qtrle", {Y, Y, Y, Y}},

    {Part::Audio, "pcm_*", {Y, Y, Y, Y}},
    {Part::Audio, "mp3", {Y, Y, Y, Y}},
    {Part::Audio, "aac", {Y, Y, Y, Y}},
    {Part::Audio, "ac3", {N, Y, Y, U}},
    {Part::Audio, "adpcm_*", {U, U, N, N}},

    {Part::Still, "png", {Y, Y, Y, Y}},
    {Part::Still, "mjpeg", {Y, Y, Y, Y}},
    {Part::Still, "tiff", {Y, Y, Y, Y}},
    {Part::Still, "bmp", {Y, Y, U, Y}},
    {Part::Still, "gif", {Y, Y, N, Y}},
    {Part::Still, "psd", {Y, Y, U, Y}},
    {Part::Still, "targa", {Y, Y, Y, Y}},
    {Part::Still, "sgi", {N, N, U, Y}},
    {Part::Still, "qdraw", {N, N, N, Y}},

    {Part::StillEnding, "pict pct pic", {N, N, N, Y}},
    {Part::StillEnding, "mac pntg", {N, N, N, N}},
    {Part::StillEnding, "qtif qti", {N, N, N, N}},
    {Part::StillEnding, "fpx", {N, N, N, N}},
};

bool NameMatches(std::string_view names, std::string_view name) {
  while (!names.empty()) {
    const std::size_t space = names.find(' ');
    const std::string_view each = names.substr(0, space);
    names = space == std::string_view::npos ? std::string_view() : names.substr(space + 1);
    if (!each.empty() && each.back() == '*') {
      if (name.starts_with(each.substr(0, each.size() - 1))) return true;
    } else if (each == name) {
      return true;
    }
  }
  return false;
}

const FormatRow* RowOf(Part part, std::string_view name) {
  if (name.empty()) return nullptr;
  for (const FormatRow& row : formatTable)
    if (row.part == part && NameMatches(row.names, name)) return &row;
  return nullptr;
}

// A file opens when every part of it does: one part it does not open is enough to fail.
Opens Both(Opens a, Opens b) {
  if (a == Opens::No || b == Opens::No) return Opens::No;
  if (a == Opens::Unknown || b == Opens::Unknown) return Opens::Unknown;
  if (a == Opens::WithPlugIn || b == Opens::WithPlugIn) return Opens::WithPlugIn;
  return Opens::Yes;
}

std::string LowerEnding(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  const std::size_t slash = fileName.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string ending(fileName.substr(dot + 1));
  for (char& c : ending) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
  return ending;
}

// The four listed editors' answers for a file FFmpeg read, part by part.
std::array<Opens, listedEditors> ListedAnswers(const MediaFacts& facts) {
  std::array<Opens, listedEditors> answers;
  answers.fill(Opens::Yes);
  const auto take = [&answers](const FormatRow* row) {
    for (std::size_t e = 0; e < listedEditors; ++e)
      answers[e] = Both(answers[e], row != nullptr ? row->opens[e] : Opens::Unknown);
  };
  if (facts.kind == MediaKind::Still) {
    take(RowOf(Part::Still, facts.videoCodec));
    return answers;
  }
  take(RowOf(Part::Container, facts.container));
  if (facts.HasVideo()) take(RowOf(Part::Video, facts.videoCodec));
  if (facts.HasAudio()) take(RowOf(Part::Audio, facts.audioCodec));
  return answers;
}

}  // namespace

std::span<const Editor> Editors() {
  return everyEditor;
}

std::string_view EditorName(Editor editor) {
  switch (editor) {
    case Editor::FinalCutPro:
      return "Final Cut Pro";
    case Editor::PremierePro:
      return "Premiere Pro";
    case Editor::Resolve:
      return "DaVinci Resolve";
    case Editor::MediaComposer:
      return "Media Composer";
    case Editor::Shotcut:
      return "Shotcut";
    case Editor::Kdenlive:
      break;
  }
  return "Kdenlive";
}

std::string_view EditorKey(Editor editor) {
  switch (editor) {
    case Editor::FinalCutPro:
      return "finalCutPro";
    case Editor::PremierePro:
      return "premierePro";
    case Editor::Resolve:
      return "resolve";
    case Editor::MediaComposer:
      return "mediaComposer";
    case Editor::Shotcut:
      return "shotcut";
    case Editor::Kdenlive:
      break;
  }
  return "kdenlive";
}

std::string_view OpensWord(Opens opens) {
  switch (opens) {
    case Opens::Yes:
      return "yes";
    case Opens::No:
      return "no";
    case Opens::WithPlugIn:
      return "plug-in";
    case Opens::Unknown:
      break;
  }
  return "unknown";
}

std::vector<EditorOpens> EditorsThatOpen(const MediaFacts& facts, std::string_view fileName) {
  std::array<Opens, listedEditors> listed;
  listed.fill(Opens::Unknown);
  // MLT's avformat producer, which both use, opens what FFmpeg reads.
  Opens ffmpegBased = Opens::Unknown;
  if (facts.Read()) {
    listed = ListedAnswers(facts);
    ffmpegBased = Opens::Yes;
  } else if (facts.kind == MediaKind::Unreadable) {
    ffmpegBased = Opens::No;
    if (const FormatRow* row = RowOf(Part::StillEnding, LowerEnding(fileName))) listed = row->opens;
  }
  std::vector<EditorOpens> answers;
  for (std::size_t e = 0; e < listedEditors; ++e) answers.push_back({everyEditor[e], listed[e]});
  answers.push_back({Editor::Shotcut, ffmpegBased});
  answers.push_back({Editor::Kdenlive, ffmpegBased});
  return answers;
}

namespace {

// The line of answers: English for the command line's lines, which programs read, or in the
// chosen language for a person (`shown`).
std::string Summary(std::span<const EditorOpens> answers, bool shown) {
  const auto worded = [shown](std::string_view english, std::string_view names) {
    return Fill(shown ? Tr(english) : english, {names});
  };
  std::string groups[4];  // yes, with a plug-in, no, unknown
  for (const EditorOpens& answer : answers) {
    const std::size_t group = answer.opens == Opens::Yes          ? 0
                              : answer.opens == Opens::WithPlugIn ? 1
                              : answer.opens == Opens::No         ? 2
                                                                  : 3;
    groups[group] += (groups[group].empty() ? "" : ", ") + std::string(EditorName(answer.editor));
  }
  if (groups[0].empty() && groups[1].empty() && groups[2].empty()) return {};
  // TRANSLATORS: no editor opens the file as it is.
  std::string line = groups[0].empty() ? worded(ToTranslate("none"), {}) : groups[0];
  // TRANSLATORS: {0} lists editors; the line starts with those that open the file.
  if (!groups[1].empty()) line += worded(ToTranslate("; with a plug-in: {0}"), groups[1]);
  if (!groups[2].empty()) line += worded(ToTranslate("; not: {0}"), groups[2]);
  if (!groups[3].empty()) line += worded(ToTranslate("; not known: {0}"), groups[3]);
  return line;
}

}  // namespace

std::string OpensSummary(std::span<const EditorOpens> answers) {
  return Summary(answers, false);
}

std::string OpensSummaryShown(std::span<const EditorOpens> answers) {
  return Summary(answers, true);
}

}  // namespace pexol
