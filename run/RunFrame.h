// run/RunFrame.h - the one frame every run goes through: sources in, destinations out, a result
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "model/Project.h"
#include "model/ReadingPlan.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

/// What a run reads and writes, and how it reads the project.
struct RunPlan {
  /// How the run reads the project and what it does after; the run's own constant table.
  const ReadingPlan* reading = nullptr;
  std::string source;  ///< the project file
  SoftwareChoice software;
  /// A second source read whole before the project is read (the edited text of to-project).
  std::string text;
  /// The file written; empty when the run writes nothing (a dry run), which only a plan that
  /// `mayWriteNothing` allows: any other empty name is refused as a bad destination.
  std::string destination;
  bool mayWriteNothing = false;
  std::string_view destinationHeadline;  ///< opens a failure about the destination
  /// The destination may not replace this source (the project, or the text of to-project),
  /// for the reason `sameFile` gives: "it is the project being converted".
  enum class Guard { Project, Text, None } guard = Guard::Project;
  std::string_view sameFile;

  /// A run that reads the project `source` as `reading` says and writes `destination`, which
  /// may not replace the project (`sameFile` says why).
  static RunPlan Writing(const ReadingPlan& reading, std::string source, SoftwareChoice software,
                         std::string destination, std::string_view headline,
                         std::string_view sameFile) {
    RunPlan plan;
    plan.reading = &reading;
    plan.source = std::move(source);
    plan.software = software;
    plan.destination = std::move(destination);
    plan.destinationHeadline = headline;
    plan.sameFile = sameFile;
    return plan;
  }
};

/// What a run's body is given.
struct RunInput {
  const Project& project;
  std::span<const std::uint8_t> projectBytes;
  std::span<const std::uint8_t> text;  ///< the second source, when the plan names one
  RunProgress& progress;
  /// The destination's temporary file, for a body that writes it itself (an encoder writing
  /// by name); empty when the destination is not replaced by renaming.
  std::string temporaryPath = {};
};

/// A file written beside the destination (the other tracks of a CMX 3600 export).
struct SideFile {
  std::string path;
  std::string bytes;
};

/// What a run's body made: the destination's bytes, the message and the run's own outcome.
/// A body refuses its destination by throwing `RunFailure` for `FailedInput::Destination`; any
/// other exception it throws fails the run as well, naming the destination.
struct RunOutput {
  std::string bytes;
  std::vector<SideFile> sideFiles = {};
  std::string message;    ///< the completion message, before any note the frame adds
  std::any outcome = {};  ///< the driver's own outcome, passed on as the result's
  std::vector<std::string> warnings = {};
  /// Files of an earlier run's set that this one no longer writes: removed when the set is in
  /// place, each named in a warning.
  std::vector<std::string> obsolete = {};
  /// The body wrote the destination's temporary file itself (`bytes` is unused); the commit
  /// syncs and renames it.
  bool wroteTemporary = false;
};

using RunBody = std::function<RunOutput(const RunInput& input)>;

/// Runs `body` on the project of `plan`: opens the sources and the destination, chooses the
/// software once, reads the project, turns every failure into the result (an exception of
/// any kind the reading or the body throws, not only `RunFailure`), and replaces the
/// destination and its side files as one set (every file written before the first is
/// renamed) only when everything succeeded. Makes the plan's steps (200, or 199 for
/// to-project) and clears the status line at the end.
RunResult RunOnProject(const RunPlan& plan, const RunBody& body, RunObserver& observer);

/// Runs `run`, a run's whole entry with what it does before and after `RunOnProject`, and
/// fails it with a message naming `path` (and clears the status line) when it throws an
/// exception it did not foresee. A `RunFailure` is left to the caller, who threw it on purpose.
RunResult CatchUnforeseen(std::string_view path, RunObserver& observer,
                          const std::function<RunResult()>& run);

}  // namespace pexol
