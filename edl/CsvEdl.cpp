// edl/CsvEdl.cpp - one comma-separated line per EDL event
#include "edl/CsvEdl.h"

#include <string_view>

#include "edl/Edl.h"
#include "edl/NumberText.h"
#include "edl/Timecode.h"

namespace pexol {
namespace {

constexpr std::string_view csvHeading =
    "\"EVENT No.\",\"TRACK\",\"MEDIA\",\"TRANSITION\",\"TRANSITION TIME\",\"SOURCE IN\","
    "\"SOURCE OUT\",\"RECORDER IN\",\"RECORDER OUT\",\"CLIP NAME\"\r\n";

std::string_view TrackField(EdlTrack track) {
  switch (track) {
    case EdlTrack::Main:
      return ",\"MAIN\"";
    case EdlTrack::Insert:
      return ",\"INS\"";
    case EdlTrack::ExAudio1:
      return ",\"ExA1\"";
    case EdlTrack::ExAudio2:
      return ",\"ExA2\"";
  }
  return ",\"MAIN\"";
}

void AppendTimecodeField(std::string& line, TimecodeMode mode, std::int32_t frame) {
  line += ",\"";
  AppendTimecode(line, mode, frame);
  line += '"';
}

}  // namespace

void AppendCsvLine(std::string& line, const EdlEvent& event, TimecodeMode mode) {
  detail::AppendZeroPadded(line, event.number, 3);
  line += TrackField(event.track);
  line += ",\"";
  line += event.media;
  // The slow mark belongs to the media field; extra audio is never slow.
  if (event.slow && event.track != EdlTrack::ExAudio1 && event.track != EdlTrack::ExAudio2) {
    line += 'S';
  }
  line += "\",\"";
  line += event.transition;
  line += '"';
  if (event.transitionLength != 0) {
    line += ",\"";
    AppendDuration(line, mode, event.transitionLength.Value());
    line += '"';
  } else {
    line += ',';
  }
  AppendTimecodeField(line, mode, event.sourceIn.Value());
  AppendTimecodeField(line, mode, event.sourceOut.Value());
  AppendTimecodeField(line, mode, event.recorderIn.Value());
  AppendTimecodeField(line, mode, event.recorderOut.Value());
  if (event.clipName) {
    line += ",\"";
    line += *event.clipName;
    line += '"';
  }
  line += "\r\n";
}

void WriteCsvEdl(const Timeline& timeline, TimecodeMode mode, ByteWriter& out,
                 RunProgress& progress) {
  out.WriteText(csvHeading);
  SectionProgress section(progress, "[EDL]", static_cast<long long>(timeline.main.size()),
                          edlShare);
  std::string line;
  BuildEdlEvents(
      timeline,
      [&](const EdlEvent& event) {
        line.clear();
        AppendCsvLine(line, event, mode);
        out.WriteText(line);
      },
      [&](int index) { section.RecordDone(index); });
}

}  // namespace pexol
