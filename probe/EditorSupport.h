// probe/EditorSupport.h - which of today's editors open a media file as it is
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "probe/MediaFacts.h"

namespace pexol {

enum class Editor { FinalCutPro, PremierePro, Resolve, MediaComposer, Shotcut, Kdenlive };

/// Whether an editor opens a file.
enum class Opens {
  Unknown,  ///< the file was not probed, or its vendor's lists do not say
  No,
  WithPlugIn,  ///< once a codec or plug-in of another maker is installed
  Yes,
};

struct EditorOpens {
  Editor editor;
  Opens opens;
};

/// Every editor, in the order the answers come.
std::span<const Editor> Editors();
/// "Final Cut Pro", "DaVinci Resolve".
std::string_view EditorName(Editor editor);
/// "finalCutPro", "resolve": the editor's key in JSON.
std::string_view EditorKey(Editor editor);
/// "yes", "no", "plug-in", "unknown".
std::string_view OpensWord(Opens opens);

/// What each editor makes of the file, from its vendor's published lists of containers and
/// codecs (docs/editor-inputs.md); Shotcut and Kdenlive open what FFmpeg reads. `fileName`
/// names the still formats FFmpeg cannot read (PICT, MacPaint, QuickTime Image, FlashPix) by
/// their endings.
std::vector<EditorOpens> EditorsThatOpen(const MediaFacts& facts, std::string_view fileName = {});

/// "Premiere Pro, DaVinci Resolve, Shotcut, Kdenlive; with a plug-in: Media Composer; not:
/// Final Cut Pro": the answers as one line, in English for the command line's lines; empty when
/// none is known.
std::string OpensSummary(std::span<const EditorOpens> answers);
/// The same line in the chosen language, for a person on screen.
std::string OpensSummaryShown(std::span<const EditorOpens> answers);

}  // namespace pexol
