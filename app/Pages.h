// app/Pages.h - where the pages lie: over the display area of the tab control
#pragma once

#include "app/Controls.h"

namespace pexol {

/// The part of the tab control below its tabs, in dialog units; every page control lies in it.
inline constexpr DialogRect pageArea{5, 25, 175, 185};

// Some buttons and labels are wider than the window's original face needed: common Latin
// faces draw these texts wider, and a clipped option name is worse than a longer control.
// Each grows only into free space, so nothing overlaps.
inline constexpr int wideLumetta = 45;

}  // namespace pexol
