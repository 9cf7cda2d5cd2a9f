// convert/ProjectToText.cpp - walks a project section by section and writes its text
#include "convert/ProjectToText.h"

#include <cstdio>

#include "core/ByteReader.h"
#include "core/ProjectHeader.h"
#include "sections/RunContext.h"
#include "core/RunFailure.h"
#include "edl/Edl.h"
#include "sections/BinSection.h"
#include "sections/ClipSection.h"
#include "sections/EffectSection.h"
#include "sections/ExAudioSection.h"
#include "sections/FilterSection.h"
#include "sections/TitleSection.h"

namespace pexol {

namespace {

void WriteHeaderLines(ToTextRun& run, const ProjectHeader& header) {
  char version[32];
  std::snprintf(version, sizeof version, "Version=%02x.%02x\r\n", header.version >> 8,
                header.version & 0xFF);
  run.text.WriteText("[Header]\r\n");
  run.text.WriteText(version);
  run.text.WriteText("Frequency=" + FrequencyText(header.audioFrequency) + "\r\n");
  if (HasAspectRatio(header.version))
    run.text.WriteText(run.project.ReadDword() == 0 ? "AspectRatio=4:3\r\n"
                                                    : "AspectRatio=16:9\r\n");
  if (HasTitleTrack(header.version, run.software))
    run.text.WriteText("TitleTrack=" + std::to_string(run.project.ReadDword()) + "\r\n");
}

// The count in front of a section's records; sections after an empty main track are absent.
std::int32_t ReadSectionCount(ToTextRun& run, std::int32_t mainCount) {
  return mainCount != 0 ? run.project.ReadDword() : 0;
}

void WalkSections(ToTextRun& run, const ProjectHeader& header, const ToTextOptions& options) {
  const std::int32_t mainCount = header.mainClipCount;
  run.text.WriteText("[MainAV]\r\n");
  DumpMainSection(run, mainCount);

  run.text.WriteText("[InsertAV]\r\n");
  const std::int32_t insertCount = ReadSectionCount(run, mainCount);
  DumpInsertSection(run, insertCount);

  std::int32_t exAudioCount[2];
  for (int track = 0; track < 2; ++track) {
    run.text.WriteText(track == 0 ? "[ExAudio1]\r\n" : "[ExAudio2]\r\n");
    exAudioCount[track] = ReadSectionCount(run, mainCount);
    DumpExAudioSection(run, track, exAudioCount[track]);
  }

  if (HasEffectsAndTitles(header.version)) {
    run.text.WriteText("[Effect]\r\n");
    DumpEffectSection(run, ReadSectionCount(run, mainCount));
    run.text.WriteText("[Title]\r\n");
    DumpTitleSection(run, ReadSectionCount(run, mainCount));
  } else {
    run.progress.Step(80);
  }

  if (HasFilterBlocks(header.version, run.software)) {
    run.text.WriteText("[FilterMainAV]\r\n");
    DumpMainFilterSection(run, mainCount);
    run.text.WriteText("[FilterInsertAV]\r\n");
    DumpInsertFilterSection(run, insertCount);
    run.text.WriteText("[FilterExAudio1]\r\n");
    DumpAudioFilterSection(run, exAudioCount[0]);
    run.text.WriteText("[FilterExAudio2]\r\n");
    DumpAudioFilterSection(run, exAudioCount[1]);
  }

  run.text.WriteText("[BinWindow]\r\n");
  DumpBinSection(run, header.binClipCount);

  // The option block is read to find the end of the project, and not written.
  run.text.WriteText("[Option]\r\n");
  run.progress.At("the option block", 0, 0);
  for (int i = 0; i < 3; ++i) run.project.ReadDword();
  run.project.ReadCountedString();
  run.text.WriteText("[END]\r\n\r\n\r\n\r\n\r\n");

  WriteEdl(run.entries, options.timecode, options.csv, run.text, run.progress);
}

}  // namespace

WalkSummary ProjectToText(std::span<const std::uint8_t> project, const ToTextOptions& options,
                          ByteWriter& text, RunObserver& observer) {
  ByteReader reader(project);
  reader.StopAtEnd();
  RunProgress progress(observer);
  TrackEntries entries;
  try {
    const ProjectHeader header = ReadHeader(reader);
    ToTextRun run{reader, text, progress, options.software, header.version, entries};
    WriteHeaderLines(run, header);
    WalkSections(run, header, options);
  } catch (const ProjectEndsEarly& e) {
    throw ProjectEndsEarly(e.Offset(), progress.Where());
  }
  observer.Status("");
  return {reader.Remaining()};
}

}  // namespace pexol
