// render/RenderChoices.cpp - the render's tables, apart from MLT so the window can list them
#include "render/RenderChoices.h"

namespace pexol {

std::span<const RenderContainer> RenderContainers() {
  static constexpr RenderContainer containers[] = {
      {".mp4", "mp4", "MP4 video", "H.264 and AAC"},
      {".mkv", "matroska", "Matroska video", "Matroska"},
      {".mov", "mov", "QuickTime movie", "QuickTime"}};
  return containers;
}

std::span<const RenderRate> RenderRates() {
  static constexpr RenderRate rates[] = {
      {TimecodeMode::NtscDrop, "NTSC 720x480, 29.97 frames a second"},
      {TimecodeMode::Pal, "PAL 720x576, 25 frames a second"}};
  return rates;
}

}  // namespace pexol
