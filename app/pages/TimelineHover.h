// app/pages/TimelineHover.h - what the window says of the clip under the pointer
#pragma once

#include <string>

#include "app/pages/MediumFacts.h"
#include "app/pages/TimelineShapes.h"
#include "picture/TimelineScene.h"

namespace pexol::pages {

/// The lines the window shows over the clip `hit` of `scene`, in the chosen language: its name,
/// kind and row, its record and source in and out in the scene's timecode, and its medium:
/// where it was found and, once read (`facts`; null while being read), what it is and which
/// editors open it; or that it was not found and a click leads to the media folders.
std::string HoverText(const TimelineScene& scene, const TimelineHit& hit, const MediumFacts* facts);

}  // namespace pexol::pages
