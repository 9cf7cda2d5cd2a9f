// collect/CollectReport.cpp - the report's text, the same in the folder and on the terminal
#include "collect/CollectReport.h"

#include <cstdio>

#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "export/ExportFormats.h"

namespace pexol {

namespace {

void Listing(std::string& text, const char* heading, const std::vector<UncollectedName>& names) {
  if (names.empty()) return;
  text += heading;
  text += " (" + std::to_string(names.size()) + "):\n";
  for (const UncollectedName& name : names) {
    text += "  " + name.name;
    if (!name.detail.empty()) text += "\t" + name.detail;
    text += '\n';
  }
}

}  // namespace

std::string ByteCount(std::uintmax_t bytes) {
  if (bytes < 1000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  static constexpr const char* units[] = {"kB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1000;
  int unit = 0;
  while (value >= 1000 && unit < 3) {
    value /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, value < 10 ? "%.2f %s" : "%.1f %s", value, units[unit]);
  return text;
}

std::string ShownByteCount(std::uintmax_t bytes) {
  if (bytes == 1) return Say("{0} byte", bytes);
  if (bytes < 1000) return Say("{0} bytes", bytes);
  return ByteCount(bytes);
}

std::string CollectReportText(const CollectJob& job, const CollectPlan& plan,
                              const CollectSummary& summary) {
  // UTF-8 throughout, whatever the names: the folders given may be named in Shift-JIS.
  std::string text =
      "Collected \"" + Utf8PathName(job.source) + "\" into \"" + Utf8PathName(job.folder) + "\"\n";
  const int copied = summary.files - summary.transcoded - summary.converted;
  text += "Copied: " + std::to_string(copied) + " media file" + (copied == 1 ? "" : "s");
  if (summary.transcoded + summary.converted == 0) text += ", " + ByteCount(summary.bytes);
  if (summary.linked > 0) text += " (" + std::to_string(summary.linked) + " as hard links)";
  text += ", into media/\n";
  if (!summary.done.empty()) {
    text += "Transcoded (" + std::to_string(summary.done.size()) + "; " + ByteCount(summary.bytes) +
            " in media/ in all):\n";
    for (const std::string& line : summary.done) text += "  " + line + '\n';
  }
  Listing(text, "Could not be read to transcode (copied as they were)", summary.notTranscoded);
  Listing(text, "Missing", plan.missing);
  Listing(text, "Ambiguous (not copied; use --map or narrower --search folders)", plan.ambiguous);
  Listing(text, "Left out (found, not copied)", plan.leftOut);
  if (!summary.exports.empty()) {
    text += "Exports:";
    for (const std::string& name : summary.exports) text += " " + name;
    text += '\n';
    // Those whose readers take only whole paths point at this folder where it was made.
    std::string absolute;
    for (const std::string& name : summary.exports) {
      const ExportFormat* format = ExportFormatOfPath(name);
      if (format && !format->mediaRelative) absolute += " " + name;
    }
    if (!absolute.empty())
      text +=
          "Named by their whole paths, for their readers take no other (after a move, the "
          "editor relinks them by name from media/):" +
          absolute + '\n';
  }
  return text;
}

}  // namespace pexol
