// convert/RunFrame.h - a whole run on named files: open, convert, write, and the message
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/FileIo.h"
#include "core/Options.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "model/Project.h"

namespace pexol {

/// How a run ended and the message a front end shows for it.
struct RunResult {
  enum class Status { Completed, Failed };
  Status status = Status::Completed;
  std::string message;                     ///< the completion message, or the failure message
  int missingCount = 0;                    ///< media check only: names not found
  std::optional<Software> chosenSoftware;  ///< set when the run chose the software itself
  std::vector<std::string> warnings = {};  ///< what the user should know of a completed run

  bool Completed() const { return status == Status::Completed; }
};

struct ToTextJob {
  std::string source;       ///< project file
  std::string destination;  ///< text file; "-" for standard output
  ToTextOptions options;
  bool chooseSoftware = false;  ///< choose as `ChooseSoftware` does instead of options.software
};

struct ToProjectJob {
  std::string source;       ///< project file the text was made from
  std::string text;         ///< edited text exchange file
  std::string destination;  ///< new project file
  ToProjectOptions options;
  bool chooseSoftware = false;  ///< choose as `ChooseSoftware` does instead of options.software
};

/// Reads `job.source`, converts it and replaces `job.destination` only on success.
RunResult RunProjectToText(const ToTextJob& job, RunObserver& observer);
/// Reads the source project and the text and replaces the destination only on success.
RunResult RunTextToProject(const ToProjectJob& job, RunObserver& observer);

/// The start of a run that reads a project and writes one destination: the project read
/// whole, and the destination opened beside its place, never over the project (`sameFile`
/// says why: "it is the project being converted"). nullopt, with the failure message in
/// `failure`, when either cannot be; `headline` opens a failure about the destination.
std::optional<FileBytes> OpenProjectRun(const std::string& source, const std::string& destination,
                                        std::string_view headline, std::string_view sameFile,
                                        OutputFile& output, std::string& failure);

/// The message of a failure to read `project` (at `path`) as `used` wrote it: names the other
/// software when it reads the project, or says the file is a text given in a project's place.
std::string ProjectFailure(const RunFailure& failure, std::span<const std::uint8_t> project,
                           const std::string& path, Software used);

/// The project read for `run`: as `software` wrote it, or, with `choose`, as the first
/// choice that reads it exactly (to its end, every clip of a known kind), else the first that
/// reads it at all, which is then stored in `chosen` and `software`. The reading makes the
/// run's steps for the sections.
Project ReadProjectForRun(std::span<const std::uint8_t> bytes, Software& software, bool choose,
                          RunKind run, RunProgress& progress, std::optional<Software>& chosen,
                          UnknownClips unknownClips = UnknownClips::Fail);

}  // namespace pexol
