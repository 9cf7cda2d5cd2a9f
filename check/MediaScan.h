// check/MediaScan.h - one media check walk: its state, the name test and each section's scan
#pragma once

#include <cstdint>
#include <string_view>

#include "check/MediaCheck.h"
#include "core/ByteReader.h"
#include "core/RunProgress.h"

namespace pexol {

/// The list in the message stops at this many missing names; the report keeps them all.
constexpr int missingListLimit = 20;
inline constexpr std::string_view missingListCutOff = "e.t.c..\n";

/// Everything a section scan reads from and writes to.
struct MediaScan {
  ByteReader& project;
  ByteWriter& report;
  RunProgress& progress;
  const MediaExists& exists;
  Software software = Software::CorvaneBrisko;
  std::uint16_t version = 0;
  MediaCheckSummary summary;

  /// Opens a section: its line in the report and in the list.
  void Section(std::string_view line);
  /// Tests `name`; a missing one goes to the report, the count and (up to the cut-off) the list.
  void NoteIfMissing(std::string_view name);
};

/// Each reads `count` records (none when below 1) and tests the names the check cares
/// about; the weighted ones step their share of the bar, the others only set the status.
void ScanMainTrack(MediaScan& scan, std::int32_t count);
void ScanInsertTrack(MediaScan& scan, std::int32_t count);
void ScanExtraAudio(MediaScan& scan, std::int32_t count);
void SkipEffects(MediaScan& scan, std::int32_t count);
void ScanTitles(MediaScan& scan, std::int32_t count);
void SkipTrackFilters(MediaScan& scan, std::int32_t count);
void SkipAudioFilters(MediaScan& scan, std::int32_t count);
/// Sets the status per item and leaves the bin window's 40 steps to the caller.
void ScanBinWindow(MediaScan& scan, std::int32_t count);

}  // namespace pexol
