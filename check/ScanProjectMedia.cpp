// check/ScanProjectMedia.cpp - the media names of a project tested in file order
#include "check/CheckReading.h"
#include "check/MediaCheck.h"
#include "core/RunProgress.h"
#include "core/TextEncoding.h"
#include "media/MissingMediaList.h"
#include "model/MediaNames.h"
#include "model/Project.h"

namespace pexol {

namespace {

class MediaScan {
 public:
  MediaScan(const MediaExists& exists, ByteWriter& report, const MediaReportStyle& style)
      : exists_(exists), report_(report), style_(style) {}

  /// Opens a section: its line in the report and in the list.
  void Section(SectionId id) {
    const std::string_view line = HeadingOf(id);
    report_.WriteText(line);
    report_.WriteText("\r\n");
    list_.Section(line);
  }

  /// Tests `name`; a missing one goes to the report and the list, where its note follows it.
  /// The report keeps one name a line, as programs read it.
  void Test(std::string_view name) {
    if (exists_(name)) return;
    const std::string note = style_.note ? style_.note() : std::string();
    report_.WriteText(style_.encoding == TextEncoding::Utf8 ? DecodeShiftJis(name).utf8
                                                            : std::string(name));
    report_.WriteText("\r\n");
    list_.Add(name, note);
  }

  MediaCheckSummary Take() { return {list_.Count(), list_.Take()}; }

 private:
  const MediaExists& exists_;
  ByteWriter& report_;
  const MediaReportStyle& style_;
  MissingMediaList list_;
};

}  // namespace

MediaCheckSummary ScanProjectMedia(std::span<const std::uint8_t> bytes, Software software,
                                   const MediaExists& exists, ByteWriter& report,
                                   RunObserver& observer) {
  RunProgress progress(observer);
  const Project project = ReadProject(bytes, {software, checkReading}, progress);
  MediaCheckSummary summary = ScanProjectMedia(project, exists, report);
  observer.Status("");
  return summary;
}

MediaCheckSummary ScanProjectMedia(const Project& project, const MediaExists& exists,
                                   ByteWriter& report, const MediaReportStyle& style) {
  MediaScan scan(exists, report, style);
  ForEachMediaName(project, [&scan](SectionId id, const std::string* name) {
    if (name == nullptr) {
      scan.Section(id);
    } else {
      scan.Test(*name);
    }
  });
  return scan.Take();
}

}  // namespace pexol
