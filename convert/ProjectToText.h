// convert/ProjectToText.h - the project-to-text conversion over bytes in memory
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "model/Project.h"

namespace pexol {

/// What a successful walk of a project leaves to be said.
struct WalkSummary {
  std::size_t unreadBytes = 0;  ///< bytes after the option block
};

/// Writes the text exchange file of `project`, then its EDL, to `text`; makes exactly
/// 200 progress steps and clears the status line at the end. Throws `RunFailure` when
/// the project ends too early or holds a clip of no known kind.
WalkSummary ProjectToText(std::span<const std::uint8_t> project, const ToTextOptions& options,
                          ByteWriter& text, RunObserver& observer);

/// The same for a project already read; takes the EDL's steps on `progress`.
void WriteProjectText(const Project& project, const ToTextOptions& options, ByteWriter& text,
                      RunProgress& progress);

}  // namespace pexol
