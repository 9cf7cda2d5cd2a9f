// convert/TextToProject.cpp - reads the source project and the text side by side
#include "convert/TextToProject.h"

#include "core/ByteReader.h"
#include "core/ProjectHeader.h"
#include "sections/RunContext.h"
#include "core/RunFailure.h"
#include "sections/BinSection.h"
#include "sections/ClipSection.h"
#include "sections/EffectSection.h"
#include "sections/ExAudioSection.h"
#include "sections/FilterSection.h"
#include "sections/TitleSection.h"

namespace pexol {

namespace {

constexpr std::size_t fixedHeaderBytes = 16;

void CopyDword(ToProjectRun& run) {
  run.destination.WriteDword(static_cast<std::uint32_t>(run.source.ReadDword()));
}

// A section that an empty main track leaves out still has its heading in the text.
void SkipEmptySection(ToProjectRun& run, std::string_view heading, int share) {
  run.text.ReadHeading(heading);
  run.progress.Step(share);
}

void WalkSections(ToProjectRun& run, const ProjectHeader& header) {
  const std::int32_t mainCount = header.mainClipCount;
  ParseMainSection(run, mainCount);
  SkipMainRecords(run, mainCount);

  std::int32_t insertCount = 0;
  std::int32_t exAudioCount[2] = {0, 0};
  if (mainCount != 0) {
    insertCount = run.source.ReadDword();
    ParseInsertSection(run, insertCount);
    SkipInsertRecords(run, insertCount);
    for (int track = 0; track < 2; ++track) {
      exAudioCount[track] = run.source.ReadDword();
      ParseExAudioSection(run, track, exAudioCount[track]);
      SkipExAudioRecords(run, track, exAudioCount[track]);
    }
  } else {
    SkipEmptySection(run, "[InsertAV]", 20);
    SkipEmptySection(run, "[ExAudio1]", 10);
    SkipEmptySection(run, "[ExAudio2]", 10);
  }

  if (!HasEffectsAndTitles(header.version)) {
    run.progress.Step(80);
  } else if (mainCount != 0) {
    const std::int32_t effectCount = run.source.ReadDword();
    run.text.ReadHeading("[Effect]");
    CopyEffectSection(run, effectCount);
    ParseTitleSection(run, run.source.ReadDword());
  } else {
    SkipEmptySection(run, "[Effect]", 20);
    SkipEmptySection(run, "[Title]", 60);
  }

  if (HasFilterBlocks(header.version, run.software)) {
    CopyTrackFilterSection(run, "[FilterMainAV]", mainCount);
    CopyTrackFilterSection(run, "[FilterInsertAV]", insertCount);
    CopyAudioFilterSection(run, "[FilterExAudio1]", exAudioCount[0]);
    CopyAudioFilterSection(run, "[FilterExAudio2]", exAudioCount[1]);
  } else {
    run.progress.Step(32);
  }

  ParseBinSection(run, header.binClipCount);
  SkipBinRecords(run, header.binClipCount);

  run.text.ReadHeading("[Option]");
  run.progress.At("the option block", 0, 0);
  const std::size_t start = run.source.Offset();
  for (int i = 0; i < 3; ++i) run.source.ReadDword();
  run.source.ReadCountedString();
  run.destination.WriteText(run.source.BytesSince(start));
  run.progress.Step(1);
}

}  // namespace

WalkSummary TextToProject(std::span<const std::uint8_t> source, std::string_view text,
                          const ToProjectOptions& options, ByteWriter& destination,
                          RunObserver& observer) {
  ByteReader reader(source);
  reader.StopAtEnd();
  TextReader lines(text);
  RunProgress progress(observer);
  try {
    const ProjectHeader header = ReadHeader(reader);
    ToProjectRun run{reader, lines, destination, progress, options.software, header.version};
    // The header is never rebuilt from the text: its lines there are for people to read.
    destination.WriteText(reader.BytesSince(0).substr(0, fixedHeaderBytes));
    lines.SkipToMainSection();
    if (HasAspectRatio(header.version)) CopyDword(run);
    if (HasTitleTrack(header.version, run.software)) CopyDword(run);
    WalkSections(run, header);
  } catch (const ProjectEndsEarly& e) {
    throw ProjectEndsEarly(e.Offset(), progress.Where());
  }
  observer.Status("");
  return {reader.Remaining()};
}

}  // namespace pexol
