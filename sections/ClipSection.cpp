// sections/ClipSection.cpp - the video track sections: records to lines and back
#include "sections/ClipSection.h"

#include <string_view>

#include "core/RunFailure.h"
#include "sections/ClipRecord.h"

namespace pexol {

namespace {

constexpr int mainShare = 40;
constexpr int insertShare = 20;

std::string_view SectionName(VideoTrack track) {
  return track == VideoTrack::Main ? "[MainAV]" : "[InsertAV]";
}

// Without a layout the rest of the file would be misread, so the run stops here.
[[noreturn]] void FailUnknownKind(VideoTrack track, std::int32_t index, const std::string& name) {
  throw RunFailure(FailedInput::Project,
                   std::string(track == VideoTrack::Main ? "main" : "insert") + " track clip " +
                       std::to_string(index + 1) + " (\"" + name +
                       "\") is neither a movie, a still image nor a colour clip, so the rest "
                       "of the file cannot be read.");
}

ClipRecord ReadKnownClip(ByteReader& project, VideoTrack track, std::int32_t index) {
  ClipRecord clip = ReadClipRecord(project, track);
  if (clip.kind == ClipKind::Unknown) FailUnknownKind(track, index, clip.name);
  return clip;
}

void DumpTrack(ToTextRun& run, std::int32_t count, VideoTrack track) {
  SectionProgress progress(run.progress, SectionName(track), count,
                           track == VideoTrack::Main ? mainShare : insertShare);
  for (std::int32_t i = 0; i < count; ++i) {
    const ClipRecord clip = ReadKnownClip(run.project, track, i);
    run.text.WriteText(FormatClipLine(clip, track));
    const bool movie = clip.kind == ClipKind::Movie;
    const std::string name = clip.kind == ClipKind::Colour ? "color clip" : clip.name;
    const std::int32_t hasAudio = movie && clip.levels.AnyLevel() ? 1 : 0;
    // Sums wrap like the 32-bit fields they stand for.
    const auto span = static_cast<std::int32_t>(static_cast<std::uint32_t>(clip.out) -
                                                static_cast<std::uint32_t>(clip.in) + 1u);
    const auto outEnd = static_cast<std::int32_t>(static_cast<std::uint32_t>(clip.out) + 1u);
    if (track == VideoTrack::Main) {
      MainTrackEntry& entry = run.entries.main.emplace_back();
      entry.name = name;
      entry.length = span;
      entry.in = movie ? clip.in : 0;
      entry.outEnd = movie ? outEnd : span;
      entry.hasAudio = hasAudio;
    } else {
      InsertTrackEntry& entry = run.entries.insert.emplace_back();
      entry.name = name;
      entry.in = clip.in;
      entry.outEnd = outEnd;
      entry.begin = clip.begin;
      entry.hasAudio = hasAudio;
    }
    progress.RecordDone(i);
  }
}

// A still's or colour clip's in and out keep 24 bits and a sign marker; a value typed
// beyond that would be stored as another one.
void CheckMarkedRange(const ToProjectRun& run, const ClipRecord& clip) {
  constexpr std::int32_t lowest = -0x1000000;
  constexpr std::int32_t highest = 0xFFFFFF;
  for (const auto& [key, value] : {std::pair{"in", clip.in}, std::pair{"out", clip.out}}) {
    if (value >= lowest && value <= highest) continue;
    throw RunFailure(FailedInput::Text,
                     "line " + std::to_string(run.text.LineNumber()) + ": " + key + "=" +
                         std::to_string(value) +
                         " of a still or colour clip is outside what a project can hold "
                         "(-16777216 to 16777215).");
  }
}

void ParseTrack(ToProjectRun& run, std::int32_t count, VideoTrack track) {
  SectionProgress progress(run.progress, SectionName(track), count,
                           track == VideoTrack::Main ? mainShare : insertShare);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string_view line = run.text.ReadRecordLine(SectionName(track), i, count);
    const auto clip = ParseClipLine(line, track);
    if (!clip)
      throw RunFailure(FailedInput::Text,
                       "line " + std::to_string(run.text.LineNumber()) +
                           ": the kind of clip cannot be told from its name (it must end in "
                           "\"avi\", a still-image ending or \"clr\", or the line must start "
                           "with \"ColorClip\").");
    run.CheckFieldLength(clip->name);
    run.CheckFieldLength(clip->stillInfo);
    if (clip->kind != ClipKind::Movie) CheckMarkedRange(run, *clip);
    WriteClipRecord(run.destination, *clip, track);
    progress.RecordDone(i);
  }
}

void SkipTrack(ToProjectRun& run, std::int32_t count, VideoTrack track) {
  for (std::int32_t i = 0; i < count; ++i) {
    run.progress.At(SectionName(track), i + 1, count);
    ReadKnownClip(run.source, track, i);
  }
}

}  // namespace

void DumpMainSection(ToTextRun& run, std::int32_t count) {
  DumpTrack(run, count, VideoTrack::Main);
  run.entries.main.emplace_back();  // the trailing entry
}

void DumpInsertSection(ToTextRun& run, std::int32_t count) {
  DumpTrack(run, count, VideoTrack::Insert);
}

void ParseMainSection(ToProjectRun& run, std::int32_t count) {
  ParseTrack(run, count, VideoTrack::Main);
}

void ParseInsertSection(ToProjectRun& run, std::int32_t count) {
  run.text.ReadHeading("[InsertAV]");
  run.destination.WriteDword(static_cast<std::uint32_t>(count));
  ParseTrack(run, count, VideoTrack::Insert);
}

void SkipMainRecords(ToProjectRun& run, std::int32_t count) {
  SkipTrack(run, count, VideoTrack::Main);
}

void SkipInsertRecords(ToProjectRun& run, std::int32_t count) {
  SkipTrack(run, count, VideoTrack::Insert);
}

}  // namespace pexol
