// core/RunProgress.h - the 200-step progress bar and the status line of a run
#pragma once

#include <string>
#include <string_view>

#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "core/Translation.h"

namespace pexol {

/// Counts a run's steps and tells the observer; remembers which record is being read,
/// so that a failure can say where it happened.
class RunProgress {
 public:
  static constexpr int totalSteps = 200;

  explicit RunProgress(RunObserver& observer) : observer_(observer) {}

  /// Takes `count` steps at once (for an absent or empty section).
  void Step(int count);
  /// Shows `line`, translated when it is a marked text.
  void Status(std::string_view line) {
    StopIfRequested();
    observer_.Status(Tr(line));
  }
  /// Throws `RunStopped` when the observer says the user asked the run to stop.
  void StopIfRequested() const {
    if (observer_.StopRequested()) throw RunStopped();
  }
  int Done() const { return done_; }

  /// Where the run is: the section's name (translated when it is a marked text) and the
  /// 1-based record being read.
  void At(std::string_view section, long long record, long long count);
  /// "[Title] record 3 of 5", or the section name alone between records, in the chosen
  /// language: a failure's message puts it in its sentence.
  std::string Where() const;

 private:
  RunObserver& observer_;
  int done_ = 0;
  std::string section_;
  long long record_ = 0;
  long long count_ = 0;
};

/// One section's share of the bar, spread over its records: after record i of n the
/// section has made (i + 1) * share / n steps. A section with no records takes its
/// share at once.
class SectionProgress {
 public:
  /// `name` is the section's status text, e.g. "[MainAV]"; a marked text is translated.
  SectionProgress(RunProgress& run, std::string_view name, long long count, int share);
  /// Record `index` (0-based) is done: status "<name> <index+1> / <count>" and the steps.
  void RecordDone(long long index);

 private:
  RunProgress& run_;
  std::string name_;
  long long count_;
  int share_;
  int taken_ = 0;
};

}  // namespace pexol
