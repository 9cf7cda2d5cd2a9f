// edl/ColumnarEdl.cpp - one fixed-width line per EDL event
#include "edl/ColumnarEdl.h"

#include <string_view>

#include "edl/Edl.h"
#include "edl/NumberText.h"
#include "edl/Timecode.h"

namespace pexol {
namespace {

// Column words sit over the first character of each timecode, or over the last digit of each
// six-wide frame count.
constexpr std::string_view clockHeading =
    "Event                    Source                      Recorder\r\n"
    "                         IN            OUT           IN            OUT\r\n";
constexpr std::string_view frameHeading =
    "Event                        Source            Recorder\r\n"
    "                             IN      OUT       IN      OUT\r\n";

std::string_view TrackColumn(EdlTrack track) {
  switch (track) {
    case EdlTrack::Main:
      return " MAIN";
    case EdlTrack::Insert:
      return " INS ";
    case EdlTrack::ExAudio1:
      return " ExA1";
    case EdlTrack::ExAudio2:
      return " ExA2";
  }
  return " MAIN";
}

}  // namespace

void AppendColumnarLine(std::string& line, const EdlEvent& event, TimecodeMode mode) {
  detail::AppendZeroPadded(line, event.number, 3);
  line += TrackColumn(event.track);
  if (event.track == EdlTrack::ExAudio1 || event.track == EdlTrack::ExAudio2) {
    line += "  A  ";
  } else {
    line += "  ";
    line += event.media;
    if (event.media.size() < 2) line += ' ';
    line += event.slow ? 'S' : ' ';
  }
  line += "  ";
  line += event.transition;
  if (event.transitionLength != 0) {
    line += "  ";
    AppendDuration(line, mode, event.transitionLength.Value());
  } else {
    line += "       ";
  }
  line += "  ";
  AppendTimecode(line, mode, event.sourceIn.Value());
  line += "   ";
  AppendTimecode(line, mode, event.sourceOut.Value());
  line += "   ";
  AppendTimecode(line, mode, event.recorderIn.Value());
  line += "   ";
  AppendTimecode(line, mode, event.recorderOut.Value());
  if (event.clipName) {
    line += "   ";
    line += *event.clipName;
  }
  line += "\r\n";
}

void WriteColumnarEdl(const Timeline& timeline, TimecodeMode mode, ByteWriter& out,
                      RunProgress& progress) {
  out.WriteText(mode == TimecodeMode::Frame ? frameHeading : clockHeading);
  SectionProgress section(progress, "[EDL]", static_cast<long long>(timeline.main.size()),
                          edlShare);
  std::string line;
  BuildEdlEvents(
      timeline,
      [&](const EdlEvent& event) {
        line.clear();
        AppendColumnarLine(line, event, mode);
        out.WriteText(line);
      },
      [&](int index) { section.RecordDone(index); });
}

}  // namespace pexol
