// sections/ExAudioSection.cpp - extra audio records to lines and back
#include "sections/ExAudioSection.h"

#include "core/TextScanner.h"

namespace pexol {

namespace {

constexpr int exAudioShare = 10;
constexpr std::string_view inKey = "in=";
constexpr std::string_view outKey = "out=";
constexpr std::string_view beginKey = "begin=";
constexpr std::string_view headings[2] = {"[ExAudio1]", "[ExAudio2]"};

}  // namespace

ExAudioClip ReadExAudioClip(ByteReader& project) {
  ExAudioClip clip;
  clip.name = project.ReadCountedString();
  clip.in = project.ReadDword();
  clip.out = project.ReadDword();
  clip.begin = project.ReadDword();
  clip.levels = ReadLevels(project);
  return clip;
}

void DumpExAudioSection(ToTextRun& run, int track, std::int32_t count) {
  // Both tracks show the same status text while they are read.
  SectionProgress progress(run.progress, "[ExAudio]", count, exAudioShare);
  for (std::int32_t i = 0; i < count; ++i) {
    const ExAudioClip clip = ReadExAudioClip(run.project);
    run.text.WriteText(FieldText(clip.name) + "," + std::string(inKey) +
                       std::to_string(clip.in) + "," + std::string(outKey) +
                       std::to_string(clip.out) + "," + std::string(beginKey) +
                       std::to_string(clip.begin) + "," + FormatLevels(clip.levels));
    ExAudioEntry& entry = run.entries.exAudio[track].emplace_back();
    entry.name = clip.name;
    entry.in = clip.in;
    entry.outEnd = static_cast<std::int32_t>(static_cast<std::uint32_t>(clip.out) + 1u);
    entry.begin = clip.begin;
    progress.RecordDone(i);
  }
}

ExAudioClip ParseExAudioLine(std::string_view line) {
  ExAudioClip clip;
  clip.name = GetField(line, 0);
  clip.in = ParseNumber(After(GetField(line, 1), inKey.size()));
  clip.out = ParseNumber(After(GetField(line, 2), outKey.size()));
  clip.begin = ParseNumber(After(GetField(line, 3), beginKey.size()));
  clip.levels = ParseLevels(line, 4);
  return clip;
}

void ParseExAudioSection(ToProjectRun& run, int track, std::int32_t count) {
  run.text.ReadHeading(headings[track]);
  run.destination.WriteDword(static_cast<std::uint32_t>(count));
  SectionProgress progress(run.progress, headings[track], count, exAudioShare);
  for (std::int32_t i = 0; i < count; ++i) {
    const ExAudioClip clip = ParseExAudioLine(run.text.ReadRecordLine(headings[track], i, count));
    run.WriteTextField(clip.name);
    run.destination.WriteDword(static_cast<std::uint32_t>(clip.in));
    run.destination.WriteDword(static_cast<std::uint32_t>(clip.out));
    run.destination.WriteDword(static_cast<std::uint32_t>(clip.begin));
    WriteLevels(run.destination, clip.levels);
    progress.RecordDone(i);
  }
}

void SkipExAudioRecords(ToProjectRun& run, int track, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    run.progress.At(headings[track], i + 1, count);
    ReadExAudioClip(run.source);
  }
}

}  // namespace pexol
