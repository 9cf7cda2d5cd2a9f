// sections/ClipKind.h - what a media file name says about its clip, and colour clip names
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/TextScanner.h"

namespace pexol {

/// The record layout a clip name selects.
enum class ClipKind { Movie, Still, Colour, Unknown };

/// True when the last four characters are one of the still-image endings (any case).
bool IsStillImageName(std::string_view name);
/// True when `name` ends in `ending` without regard to case; never for a shorter name.
bool EndsWithIgnoreCase(std::string_view name, std::string_view ending);
/// Movie ("avi"), still image, colour clip ("clr") or none, tested in that order.
ClipKind ClipKindOf(std::string_view name);

/// The colour line text of a colour clip name: "ColorClip(type=1,count=2,direction=R,
/// 1st=...,2nd=...,3rd=...,4th=...)"; without the type for the insert track and bin
/// window. Empty when the name is not a descriptor that this form gives back unchanged.
std::string ColourClipText(std::string_view name, bool withType);

/// Reads the colour fields of a colour line (from the type field with `withType`, else from
/// the count field) and rebuilds the colour clip name. A line without the type field takes
/// the type digit of `sourceName` when that is a descriptor, else 0. Each colour must be six
/// hexadecimal digits unless it is the colour `sourceName` has in its place (a field the
/// user left as it was passes whatever it holds). Throws `FieldError`.
std::string ReadColourClipName(FieldReader& fields, bool withType, std::string_view sourceName);

/// True when a line is written in the colour clip form (case counts; a quoted first
/// field never is).
inline bool IsColourLine(std::string_view line) {
  return line.starts_with("ColorClip");
}

/// The text a name takes as the first field of a line: quoted when it holds a comma,
/// CR or LF, starts with a double quote, or would be taken for a colour line.
std::string NameFieldText(std::string_view name);

}  // namespace pexol
