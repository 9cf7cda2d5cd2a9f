// export/MltWriter.h - the timeline as an MLT XML document in Shotcut's project layout (.mlt)
#pragma once

#include <string>

#include "export/ExportWritten.h"

namespace pexol {

/// The MLT services a document names where there is a choice: the editor's (Shotcut's Qt
/// services), or services that load without a display (MLT's Qt module refuses to load when
/// there is no X11 display), for rendering on a machine that has none.
enum class MltServices { Editor, DisplayFree };

/// The stack as a Shotcut project that melt plays: V1 always, then every other track it holds
/// that has clips (V2, Titles, the extra audio tracks A2 and A3), over Shotcut's black
/// background track. Shotcut plays a clip's sound from its video track, so the clips' sound
/// has no track of its own; a title's images are filters over its text. Dissolves and wipes
/// become Shotcut's same-track transitions (with a mix of the sound where the layout
/// cross-fades it, else the sound cut on the cut), slow clips timewarp producers, titles
/// transparent clips with a text filter.
ExportWritten WriteMlt(const ExportTimeline& timeline, const FormatOptions& options = {});
/// The document `WriteMlt` writes, naming the services `services` chooses; `counts`, when
/// given, takes what it holds.
std::string WriteMltWith(const ExportTimeline& timeline, MltServices services,
                         ExportCounts* counts = nullptr);

}  // namespace pexol
