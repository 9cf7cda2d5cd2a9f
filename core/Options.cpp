// core/Options.cpp - display names of the run options
#include "core/Options.h"

namespace pexol {

std::string_view SoftwareName(Software software) {
  return software == Software::Lumetta ? "Lumetta" : "Corvane, Brisko";
}

std::span<const TimecodeModeName> TimecodeModeNames() {
  static constexpr TimecodeModeName names[] = {{TimecodeMode::NtscDrop, "ntsc-drop", true},
                                               {TimecodeMode::NtscNonDrop, "ntsc-nondrop", true},
                                               {TimecodeMode::Pal, "pal", true},
                                               {TimecodeMode::Frame, "frame", false}};
  return names;
}

}  // namespace pexol
