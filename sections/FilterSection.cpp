// sections/FilterSection.cpp - filter records: walked, marked and copied byte for byte
#include "sections/FilterSection.h"

namespace pexol {

namespace {

constexpr int filterShare = 8;  // of a to-project run; a to-text run takes no steps here

std::uint32_t ReadCount(ByteReader& project) {
  return static_cast<std::uint32_t>(project.ReadDword());
}

void SkipFilterBlocks(ByteReader& project) {
  const std::uint32_t count = ReadCount(project);
  for (std::uint32_t i = 0; i < count; ++i) {
    project.ReadCountedString();
    project.Skip(ReadCount(project));
  }
}

template <class ReadRecord>
void CopyFilterSection(ToProjectRun& run, std::string_view section, std::int32_t count,
                       ReadRecord readRecord) {
  run.text.ReadHeading(section);
  SectionProgress progress(run.progress, section, count, filterShare);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::size_t start = run.source.Offset();
    readRecord(run.source);
    run.destination.WriteText(run.source.BytesSince(start));
    progress.RecordDone(i);
  }
}

}  // namespace

std::uint32_t ReadTrackFilterRecord(ByteReader& project);

namespace {

// Filter record i belongs to clip i of its track; its slow mark goes to that clip's entry.
template <class Entries>
void MarkSlowClips(ToTextRun& run, std::string_view section, std::int32_t count, Entries& entries) {
  SectionProgress progress(run.progress, section, count, 0);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint32_t slow = ReadTrackFilterRecord(run.project);
    entries.at(static_cast<std::size_t>(i)).slow = static_cast<std::int32_t>(slow);
    progress.RecordDone(i);
  }
}

}  // namespace

std::uint32_t ReadTrackFilterRecord(ByteReader& project) {
  const std::uint32_t hasBlock1 = ReadCount(project);
  const std::uint32_t hasBlock2 = ReadCount(project);
  const std::uint32_t hasBlock3 = ReadCount(project);
  const std::uint32_t slow = ReadCount(project);
  ReadCount(project);
  ReadCount(project);
  if (hasBlock1 == 1) {
    const std::uint32_t size = ReadCount(project);  // counts its own four bytes
    if (size > 4) project.Skip(size - 4);
  }
  if (hasBlock2 == 1) {
    ReadCount(project);
    project.Skip(ReadCount(project));
  }
  if (hasBlock3 == 1) project.Skip(ReadCount(project));
  SkipFilterBlocks(project);
  SkipFilterBlocks(project);
  return slow;
}

void ReadAudioFilterRecord(ByteReader& project) {
  SkipFilterBlocks(project);
}

void DumpMainFilterSection(ToTextRun& run, std::int32_t count) {
  MarkSlowClips(run, "[FilterMainAV]", count, run.entries.main);
}

void DumpInsertFilterSection(ToTextRun& run, std::int32_t count) {
  MarkSlowClips(run, "[FilterInsertAV]", count, run.entries.insert);
}

void DumpAudioFilterSection(ToTextRun& run, std::int32_t count) {
  SectionProgress progress(run.progress, "[FilterAudio]", count, 0);
  for (std::int32_t i = 0; i < count; ++i) {
    ReadAudioFilterRecord(run.project);
    progress.RecordDone(i);
  }
}

void CopyTrackFilterSection(ToProjectRun& run, std::string_view section, std::int32_t count) {
  CopyFilterSection(run, section, count, ReadTrackFilterRecord);
}

void CopyAudioFilterSection(ToProjectRun& run, std::string_view section, std::int32_t count) {
  CopyFilterSection(run, section, count, ReadAudioFilterRecord);
}

}  // namespace pexol
