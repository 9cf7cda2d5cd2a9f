// tools/builder/ClipKind.h - the builder's own reading of clip name endings
#pragma once

#include <array>
#include <string_view>

namespace pexol::build::detail {

/// The endings of still image names, each compared with the last four characters.
inline constexpr std::array<std::string_view, 27> stillEndings = {
    ".bmp", ".dib", ".rle", ".jpg", "jpeg", "jfif", ".pic", "pict", ".pct",
    ".png", "pntg", ".pnt", ".mac", ".psd", ".qti", "qtif", ".sgi", ".rgb",
    ".tga", "arga", ".vda", ".icb", ".vst", ".tif", "tiff", ".fpx", ".gif"};

enum class ClipKind { Movie, Still, Color, Unknown };

/// Movie when the name ends in "avi", still when its last four characters are a still
/// image ending, colour when it ends in "clr" (all without regard to case), in that order.
ClipKind KindOfName(std::string_view name);

/// True when the last four characters of `name` are one of the 27 still image endings.
bool HasStillEnding(std::string_view name);

}  // namespace pexol::build::detail
