// export/KdenliveWriter.h - the timeline as a Kdenlive project (.kdenlive)
#pragma once

#include "export/ExportWritten.h"

namespace pexol {

/// Where Kdenlive's wipe pattern lies on Debian; Kdenlive finds it by name elsewhere.
inline constexpr const char* kdenliveWipeLuma = "/usr/share/kdenlive/lumas/PAL/linear_x.pgm";

/// The stack as a Kdenlive 22.12 project: every media file, colour and title a clip of the
/// project bin, the tracks as Kdenlive lays them out (a tractor of two playlists each) from the
/// bottom: the inserts' sound, A3, A2, A1 (the main clips' sound), V1, V2, Title images, Titles,
/// each present when it holds clips (V1 always). Kdenlive plays no sound from a video track and
/// has no effect that shows an image: both have tracks of their own. Dissolves and wipes are
/// Kdenlive's same-track mixes (on A1 an audio mix where the layout cross-fades the sound), slow
/// clips timewarp producers, titles transparent clips with a dynamic text effect (the images a
/// title shows are stills of a track "Title images" under it), levels volume keyframes on the
/// clips.
ExportWritten WriteKdenlive(const ExportTimeline& timeline, const FormatOptions& options = {});

}  // namespace pexol
