// export/MltWriter.h - the timeline as an MLT XML document in Shotcut's project layout (.mlt)
#pragma once

#include <string>

#include "export/ExportTypes.h"
#include "model/Timeline.h"

namespace pexol {

/// The MLT services a document names where there is a choice: the editor's (Shotcut's Qt
/// services), or services that load without a display (MLT's Qt module refuses to load when
/// there is no X11 display), for rendering on a machine that has none.
enum class MltServices { Editor, DisplayFree };

/// The timeline as a Shotcut project that melt plays: tracks V1 (main clips with their sound),
/// V2 (insert), Titles, A1 and A2 (the extra audio tracks), each present when it holds items
/// (V1 always), over Shotcut's black background track. Dissolves and wipes become Shotcut's
/// same-track transitions, slow clips timewarp producers, titles transparent clips with a text
/// filter.
std::string WriteMlt(const Timeline& timeline, const ExportSettings& settings,
                     const MediaPathOf& mediaPath, ExportCounts& counts);
/// `WriteMlt` naming the services `services` chooses.
std::string WriteMltWith(const Timeline& timeline, const ExportSettings& settings,
                         const MediaPathOf& mediaPath, ExportCounts& counts, MltServices services);

}  // namespace pexol
