// tests/export/ExportTimelines.h - timelines built by hand for the export tests
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/ExportFormats.h"
#include "layout/ExportTypes.h"
#include "model/Timeline.h"
#include "support/Timelines.h"

namespace pexol {

/// The path a test writes for a stored media name.
using MediaPathOf = std::function<std::string(std::string_view storedName)>;

}  // namespace pexol

namespace pexol::test {

/// `timeline` laid out as `format` (a name of the export's table) lays it out, with the
/// settings' name, rate and decoder and the paths `mediaPath` gives, and written: every file,
/// the counts in `counts`, the layout's notes in `notes` when given.
inline std::vector<ExportFile> ExportFiles(std::string_view format, const Timeline& timeline,
                                           const ExportSettings& settings,
                                           const MediaPathOf& mediaPath, ExportCounts& counts,
                                           std::vector<ExportNote>* notes = nullptr) {
  const ExportFormat& row = *ExportFormatNamed(format);
  LayoutRules rules = LayoutRulesFor(row);
  static_cast<ExportSettings&>(rules) = settings;
  rules.resolve = [&mediaPath](std::string_view stored) {
    return MediaReference{std::string(stored), mediaPath(stored), true};
  };
  const ExportTimeline laid = LayOutTimeline(timeline, rules);
  ExportWritten written = row.write(laid, {});
  if (notes) *notes = laid.notes.List();
  counts = written.counts;
  return std::move(written.files);
}

/// The first file of `ExportFiles`: the whole document of every format but CMX 3600.
inline std::string Exported(std::string_view format, const Timeline& timeline,
                            const ExportSettings& settings, const MediaPathOf& mediaPath,
                            ExportCounts& counts, std::vector<ExportNote>* notes = nullptr) {
  std::vector<ExportFile> files = ExportFiles(format, timeline, settings, mediaPath, counts, notes);
  return files.empty() ? std::string() : std::move(files.front().bytes);
}

/// The kinds of `notes`, in their order.
inline std::vector<NoteKind> KindsOf(const std::vector<ExportNote>& notes) {
  std::vector<NoteKind> kinds;
  for (const ExportNote& note : notes) kinds.push_back(note.kind);
  return kinds;
}

/// Media under /media, named as stored.
inline std::string MediaUnderSlashMedia(std::string_view stored) {
  return "/media/" + std::string(stored);
}

}  // namespace pexol::test
