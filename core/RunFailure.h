// core/RunFailure.h - a failure a run foresaw: which input was at fault and why
#pragma once

#include <stdexcept>
#include <string>

#include "core/Translation.h"

namespace pexol {

/// Which file a failure is about; the run frame puts that file's name in front of the detail.
enum class FailedInput { Project, Text, Destination };

/// Thrown inside a run and caught by the run frame, which turns it into a message naming the
/// input. The frame also catches what a run did not foresee (any other exception, such as a
/// writer's or a library's), and fails the run with a message naming the file it concerns.
class RunFailure : public std::runtime_error {
 public:
  RunFailure(FailedInput input, const std::string& detail)
      : std::runtime_error(detail), input_(input) {}
  FailedInput Input() const { return input_; }

 private:
  FailedInput input_;
};

/// A name or text that the chosen text encoding cannot carry. The project reads well, so no
/// other software choice is suggested.
class EncodingFailure : public RunFailure {
 public:
  using RunFailure::RunFailure;
};

/// The user asked the run to stop; thrown at the run's next step.
class RunStopped : public RunFailure {
 public:
  RunStopped() : RunFailure(FailedInput::Project, std::string(Tr("the run was stopped"))) {}
};

/// The project ran out while a record was being read; `offset` is where it ended and
/// `where` names the record (filled in by the driver, which knows the section).
class ProjectEndsEarly : public RunFailure {
 public:
  explicit ProjectEndsEarly(std::size_t offset, std::string where = {})
      : RunFailure(FailedInput::Project, std::string(Tr("the project ends too early"))),
        offset_(offset),
        where_(std::move(where)) {}
  std::size_t Offset() const { return offset_; }
  const std::string& Where() const { return where_; }

 private:
  std::size_t offset_;
  std::string where_;
};

}  // namespace pexol
