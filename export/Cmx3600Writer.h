// export/Cmx3600Writer.h - the timeline as CMX 3600 edit decision lists, one per track
#pragma once

#include <string>
#include <vector>

#include "export/ExportTypes.h"
#include "model/Timeline.h"

namespace pexol {

/// One EDL: the file name suffix ("" for the main track, "-insert", "-exaudio1", "-exaudio2")
/// and its text.
struct CmxFile {
  std::string suffix;
  std::string text;
};

/// One EDL per track that holds clips (titles have no media and no EDL). Source and record
/// timecodes count from 00:00:00:00; outs are exclusive.
std::vector<CmxFile> WriteCmx3600(const Timeline& timeline, const ExportSettings& settings,
                                  const MediaPathOf& mediaPath, ExportCounts& counts);

}  // namespace pexol
