// core/XmlText.h - text and attribute values escaped for XML 1.0: the one rule of every writer
#pragma once

#include <string>
#include <string_view>

namespace pexol {

/// Appends `text` to `out` escaped as the exports were first written (by libxml2's text writer):
/// markup characters as entities; in an attribute value tabs and line breaks as character
/// references, in text tabs and LF as they are; CR always as a reference. Other control characters,
/// which XML 1.0 cannot hold, become U+FFFD; every other byte, UTF-8 or not, passes unchanged.
void AppendXmlEscaped(std::string& out, std::string_view text, bool attribute);

}  // namespace pexol
