// app/DisplayText.h - file names the window takes, as the file system expects them
#pragma once

#include <QString>
#include <string_view>

namespace pexol {

/// The bytes of a file name typed or chosen in the window, as the file system expects them.
std::string EncodePath(const QString& path);

}  // namespace pexol
