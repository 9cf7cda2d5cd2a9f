// export/OtioWriter.h - the timeline as OpenTimelineIO JSON (.otio)
#pragma once

#include <string>

#include "export/ExportTypes.h"
#include "model/Timeline.h"

namespace pexol {

/// The timeline as an OpenTimelineIO document: tracks V1 (main), V2 (insert), Titles, A1 (the
/// main clips' sound), A2 and A3 (the extra audio tracks), each present when it holds items
/// (V1 always). Title texts and audio levels go into clip metadata under "pexol".
std::string WriteOtio(const Timeline& timeline, const ExportSettings& settings,
                      const MediaPathOf& mediaPath, ExportCounts& counts);

}  // namespace pexol
