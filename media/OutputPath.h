// media/OutputPath.h - how a found media path is written into the files other programs read
#pragma once

#include <string>
#include <string_view>

namespace pexol {

/// `path` (UTF-8) as written for another program: a path relative to the working folder (a
/// relative --search folder or project path) made absolute and lexically normal, which every
/// reader resolves; absolute paths and names still in Windows form ("C:/Video/a.avi",
/// "//server/share/a.avi") as they are.
std::string OutputPath(const std::string& path);

/// What a document of each kind can hold: JSON any UTF-8; XML UTF-8 without control
/// characters (and MLT undoes no escape).
bool JsonCanHold(std::string_view text);
bool XmlCanHold(std::string_view text);

}  // namespace pexol
