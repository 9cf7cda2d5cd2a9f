// export/KdenliveWriter.h - the timeline as a Kdenlive project (.kdenlive)
#pragma once

#include <string>

#include "export/ExportTypes.h"
#include "model/Timeline.h"

namespace pexol {

/// Where Kdenlive's wipe pattern lies on Debian; Kdenlive finds it by name elsewhere.
inline constexpr const char* kdenliveWipeLuma = "/usr/share/kdenlive/lumas/PAL/linear_x.pgm";

/// The timeline as a Kdenlive 22.12 project: every media file, colour and title a clip of the
/// project bin, the tracks as Kdenlive lays them out (a tractor of two playlists each) from the
/// bottom: the inserts' sound, A3, A2, A1 (the main clips' sound), V1, V2, Titles, each present
/// when it holds items (V1 always). Dissolves and wipes are Kdenlive's same-track mixes, slow
/// clips timewarp producers, titles transparent clips with a dynamic text effect (the images a
/// title shows are stills of a track "Title images" above), levels volume keyframes on the
/// clips.
std::string WriteKdenlive(const Timeline& timeline, const ExportSettings& settings,
                          const MediaPathOf& mediaPath, ExportCounts& counts);

}  // namespace pexol
