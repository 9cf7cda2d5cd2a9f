// relink/RunRelink.h - the bulk rename of a project's media names on files
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/RunObserver.h"
#include "relink/RelinkOutcome.h"
#include "relink/RelinkProject.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

struct RelinkJob {
  std::string source;                   ///< project file
  std::string destination;              ///< new project file; may be the source
  std::vector<std::string> rules = {};  ///< "OLD=NEW" Windows folders
  SoftwareChoice software = SoftwareChoice::Named(Software::CorvaneBrisko);
  bool dryRun = false;  ///< say what would change, write nothing
  std::function<void(const NameChange&)> onChange = {};
};

/// Reads the project, rewrites its media names and replaces the destination only on success
/// (never with --dry-run). The message says how many names changed.
RunResult RunRelink(const RelinkJob& job, RunObserver& observer);

}  // namespace pexol
