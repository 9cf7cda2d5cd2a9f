// convert/TextToProject.h - the text-to-project conversion over bytes in memory
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ConversionOptions.h"
#include "convert/ProjectToText.h"
#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunObserver.h"
#include "model/Project.h"

namespace pexol {

/// Builds a new project in `destination` from the source project `source` (the template:
/// header, counts and everything the text does not carry) and the edited `text`.
/// Throws `RunFailure` when the source ends too early or the text does not match it.
WalkSummary TextToProject(std::span<const std::uint8_t> source, std::string_view text,
                          const ToProjectOptions& options, ByteWriter& destination,
                          RunObserver& observer);

/// The same with the source project already read. Gives the warnings of the run: edits
/// that change how long a transition lasts.
std::vector<std::string> WriteEditedProject(const Project& source, std::string_view text,
                                            const ToProjectOptions& options,
                                            ByteWriter& destination);

}  // namespace pexol
