// convert/ProjectToText.h - the project-to-text conversion over bytes in memory
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ConversionOptions.h"
#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "model/Project.h"

namespace pexol {

/// What a successful walk of a project leaves to be said.
struct WalkSummary {
  std::size_t unreadBytes = 0;             ///< bytes after the option block
  std::vector<std::string> warnings = {};  ///< what the user should know of the run
};

/// Writes the text exchange file of `project`, then its EDL, to `text`; makes exactly
/// 200 progress steps and clears the status line at the end. Throws `RunFailure` when
/// the project ends too early or holds a clip of no known kind, and `EncodingFailure` when
/// a name is not valid Shift-JIS and the text is to be UTF-8.
WalkSummary ProjectToText(std::span<const std::uint8_t> project, const ToTextOptions& options,
                          ByteWriter& text, RunObserver& observer);

/// The same for a project already read; takes the EDL's steps on `progress`.
void WriteProjectText(const Project& project, const ToTextOptions& options, ByteWriter& text,
                      RunProgress& progress);

/// The EDL alone, as the text shows it after "[END]" and its empty lines.
void WriteProjectEdl(const Project& project, const ToTextOptions& options, ByteWriter& text,
                     RunProgress& progress);

/// The lines of [Header] as the text shows them, without line ends.
std::vector<std::string> HeaderLines(const Project& project);

/// A field that does not decode from Shift-JIS: what it is and its bytes.
struct UndecodedField {
  std::string_view what;  ///< "its name", "its text", ... (marked texts)
  std::string_view bytes;
};

/// `shown` (a copy of `stored`) with every name and text decoded from Shift-JIS, as a UTF-8
/// text shows the record; the first field that does not decode, if any.
std::optional<UndecodedField> DecodeShown(const ClipRecord& stored, ClipRecord& shown);
std::optional<UndecodedField> DecodeShown(const ExAudioClip& stored, ExAudioClip& shown);
std::optional<UndecodedField> DecodeShown(const TitleElement& stored, TitleElement& shown);
std::optional<UndecodedField> DecodeShown(const BinItem& stored, BinItem& shown);

}  // namespace pexol
