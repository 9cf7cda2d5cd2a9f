// check/ScanProjectMedia.cpp - the check's walk of a whole project, header to bin window
#include "check/MediaCheck.h"
#include "check/MediaScan.h"
#include "core/ProjectHeader.h"
#include "core/RunFailure.h"

namespace pexol {

namespace {

constexpr int effectsAndTitlesShare = 80;
constexpr int binShare = 40;

// Sections after an empty main track are absent from the file, counts included.
std::int32_t ReadSectionCount(MediaScan& scan, std::int32_t mainCount) {
  return mainCount != 0 ? scan.project.ReadDword() : 0;
}

void WalkSections(MediaScan& scan, const ProjectHeader& header) {
  const std::int32_t mainCount = header.mainClipCount;
  scan.Section("[MainAV]");
  ScanMainTrack(scan, mainCount);

  scan.Section("[InsertAV]");
  const std::int32_t insertCount = ReadSectionCount(scan, mainCount);
  ScanInsertTrack(scan, insertCount);

  std::int32_t exAudioCount[2];
  for (int track = 0; track < 2; ++track) {
    scan.Section(track == 0 ? "[ExAudio1]" : "[ExAudio2]");
    exAudioCount[track] = ReadSectionCount(scan, mainCount);
    ScanExtraAudio(scan, exAudioCount[track]);
  }

  if (HasEffectsAndTitles(header.version)) {
    SkipEffects(scan, ReadSectionCount(scan, mainCount));
    scan.Section("[Title]");
    ScanTitles(scan, ReadSectionCount(scan, mainCount));
  } else {
    scan.progress.Step(effectsAndTitlesShare);
  }

  if (HasFilterBlocks(header.version, scan.software)) {
    SkipTrackFilters(scan, mainCount);
    SkipTrackFilters(scan, insertCount);
    SkipAudioFilters(scan, exAudioCount[0]);
    SkipAudioFilters(scan, exAudioCount[1]);
  }

  scan.Section("[BinWindow]");
  ScanBinWindow(scan, header.binClipCount);
  scan.progress.Step(binShare);
  // The option block names no file and is not read.
}

}  // namespace

MediaCheckSummary ScanProjectMedia(std::span<const std::uint8_t> project, Software software,
                                   const MediaExists& exists, ByteWriter& report,
                                   RunObserver& observer) {
  ByteReader reader(project);
  reader.StopAtEnd();
  RunProgress progress(observer);
  MediaScan scan{reader, report, progress, exists, software, 0, {}};
  try {
    const ProjectHeader header = ReadHeader(reader);
    if (HasAspectRatio(header.version)) reader.ReadDword();
    if (HasTitleTrack(header.version, software)) reader.ReadDword();
    scan.version = header.version;
    WalkSections(scan, header);
  } catch (const ProjectEndsEarly& e) {
    throw ProjectEndsEarly(e.Offset(), progress.Where());
  }
  observer.Status("");
  return std::move(scan.summary);
}

}  // namespace pexol
