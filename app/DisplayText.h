// app/DisplayText.h - turns message bytes (file names, project names) into display text
#pragma once

#include <QString>
#include <string_view>

namespace pexol {

/// Decodes `bytes` line by line: ASCII and valid UTF-8 lines (this system's file names) as
/// UTF-8, other lines as Shift-JIS (names from projects). Bytes that neither decodes show
/// as U+FFFD, so a damaged name is visible, never silently dropped.
QString DecodeForDisplay(std::string_view bytes);

/// The bytes of a file name typed or chosen in the window, as the file system expects them.
std::string EncodePath(const QString& path);

}  // namespace pexol
