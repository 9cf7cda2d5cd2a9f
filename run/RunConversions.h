// run/RunConversions.h - the two conversions on named files
#pragma once

#include <string>

#include "convert/ConversionOptions.h"
#include "core/RunObserver.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

struct ToTextJob {
  std::string source;       ///< project file
  std::string destination;  ///< text file; "-" for standard output
  ToTextOptions options;    ///< its software is the one the run reads the project as
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
};

struct ToProjectJob {
  std::string source;       ///< project file the text was made from
  std::string text;         ///< edited text exchange file
  std::string destination;  ///< new project file
  ToProjectOptions options;
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
};

/// Reads `job.source`, converts it and replaces `job.destination` only on success.
RunResult RunProjectToText(const ToTextJob& job, RunObserver& observer);
/// Reads the source project and the text and replaces the destination only on success.
RunResult RunTextToProject(const ToProjectJob& job, RunObserver& observer);

}  // namespace pexol
