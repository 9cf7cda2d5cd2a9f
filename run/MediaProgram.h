// run/MediaProgram.h - where the program that loads MLT and FFmpeg is, for the runs that need it
#pragma once

#include <string>

namespace pexol {

/// The program that renders, probes and transcodes with MLT and FFmpeg, which no other command
/// loads: PEXOL_RENDER when set, else "pexol-render" beside the running program (the build
/// tree), else in ../libexec/pexol/ from its folder (an installed system), else in cli/ below
/// it (the build tree's window). Empty when there is none.
std::string MediaProgram();

}  // namespace pexol
