// convert/RunFrame.h - a whole run on named files: open, convert, write, and the message
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "core/Options.h"
#include "core/RunObserver.h"

namespace pexol {

/// How a run ended and the message a front end shows for it.
struct RunResult {
  enum class Status { Completed, Failed };
  Status status = Status::Completed;
  std::string message;   ///< the completion message, or the failure message
  int missingCount = 0;  ///< media check only: names not found

  bool Completed() const { return status == Status::Completed; }
};

struct ToTextJob {
  std::string source;       ///< project file
  std::string destination;  ///< text file; "-" for standard output
  ToTextOptions options;
};

struct ToProjectJob {
  std::string source;       ///< project file the text was made from
  std::string text;         ///< edited text exchange file
  std::string destination;  ///< new project file
  ToProjectOptions options;
};

/// Reads `job.source`, converts it and replaces `job.destination` only on success.
RunResult RunProjectToText(const ToTextJob& job, RunObserver& observer);
/// Reads the source project and the text and replaces the destination only on success.
RunResult RunTextToProject(const ToProjectJob& job, RunObserver& observer);

/// How well a software choice reads a project.
struct ProjectFit {
  bool readable = false;        ///< the walk did not run past the end or stop on a record
  std::size_t unreadBytes = 0;  ///< bytes after the option block
  bool Exact() const { return readable && unreadBytes == 0; }
};

/// Walks `project` as `software` wrote it, without keeping anything.
ProjectFit ProbeProject(std::span<const std::uint8_t> project, Software software);
/// The first choice that reads the project exactly to its end; failing that, the first
/// that reads it without running past its end; nullopt when neither does.
std::optional<Software> ChooseSoftware(std::span<const std::uint8_t> project);

}  // namespace pexol
