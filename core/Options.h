// core/Options.h - the small choices every layer shares: software family, timecode mode, encoding
#pragma once

#include <span>
#include <string_view>

namespace pexol {

/// Which application wrote the project. The file does not say; the user chooses.
enum class Software { CorvaneBrisko = 0, Lumetta = 1 };

/// How positions and lengths are printed in the EDL.
enum class TimecodeMode { NtscDrop = 0, Pal = 1, Frame = 2, NtscNonDrop = 3 };

/// A timecode mode as the command line names it; `rated` modes count frames at a rate (an
/// export or a render needs one), "frame" counts frames alone.
struct TimecodeModeName {
  TimecodeMode mode;
  std::string_view name;  ///< "ntsc-drop", "ntsc-nondrop", "pal", "frame"
  bool rated;
};

/// Every timecode mode, the default (ntsc-drop) first.
std::span<const TimecodeModeName> TimecodeModeNames();

/// The name the window shows for a software choice, e.g. "Corvane, Brisko".
std::string_view SoftwareName(Software software);

/// The other software choice.
constexpr Software OtherSoftware(Software software) {
  return software == Software::CorvaneBrisko ? Software::Lumetta : Software::CorvaneBrisko;
}

/// How names, title texts, fonts and labels are written in the text exchange file.
enum class TextEncoding { ShiftJis = 0, Utf8 = 1 };

}  // namespace pexol
