// export/AafWriter.h - the timeline as AAF (.aaf), which Avid Media Composer and Pro Tools
// exchange timelines in, and Premiere Pro and Resolve import
#pragma once

#include "export/ExportWritten.h"

namespace pexol {

/// One top-level composition named after the project: a timecode slot, then a slot per track
/// that holds clips (V1 always): V1, V2 and the title images as picture slots, A1, the inserts'
/// sound, A2 and A3 as stereo sound slots. Each medium is a master mob over a file source mob
/// (its locator the file's URL) over an import source mob with a timecode from 0; every use is
/// a source clip of the master mob. Gaps are fillers, dissolves and wipes transitions
/// (VideoDissolve_2 and the SMPTE bar wipe 1, Audio Dissolve on sound), slow clips Motion
/// Control at a speed ratio of 2, levels Audio Gain with its amplitude keyed at the level
/// points, titles markers on V1 with their text and font. Colour clips and black stand-ins are
/// fillers: the format has no colour its readers share.
ExportWritten WriteAaf(const ExportTimeline& timeline, const FormatOptions& options = {});

}  // namespace pexol
