// relink/RunRelink.cpp - the relink's body in the run frame: the rules, then the rewritten bytes
#include "relink/RunRelink.h"

#include "core/Translation.h"
#include "relink/RelinkOutcome.h"
#include "relink/RelinkReading.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

RunResult RunRelink(const RelinkJob& job, RunObserver& observer) {
  PathMap rules;
  std::string error;
  for (const std::string& text : job.rules) {
    auto rule = ParseRelinkRule(text, error);
    if (!rule) return RunResult::Failed(Say("Can not use the rule \"{0}\"\n\n{1}", text, error));
    rules.Add(std::move(*rule));
  }
  if (rules.Rules().empty())
    return RunResult::Failed(std::string(
        Tr("Nothing to relink\n\nGive at least one rule, e.g. --map 'C:\\Video=D:\\Video'.")));

  RunPlan plan = RunPlan::Writing(relinkReading, job.source, job.software,
                                  job.dryRun ? std::string() : job.destination,
                                  cannotOpenProjectDestination, {});
  // The source is read whole before anything is written, so it may be its own destination.
  plan.guard = RunPlan::Guard::None;
  plan.mayWriteNothing = job.dryRun;
  return RunOnProject(
      plan,
      [&job, &rules](const RunInput& input) {
        int changes = 0;
        std::string relinked =
            RelinkProject(input.projectBytes, input.project, rules, [&](const NameChange& change) {
              ++changes;
              if (job.onChange) job.onChange(change);
            });
        // Otherwise a run whose rules fit no name would pass for one that did its work.
        std::vector<std::string> warnings;
        if (changes == 0) warnings.push_back(std::string(Tr("no name matched any rule")));
        if (job.dryRun)
          return RunOutput{{},
                           {},
                           RelinkTriedMessage(job.source, changes),
                           RelinkOutcome{changes},
                           std::move(warnings)};
        return RunOutput{std::move(relinked),
                         {},
                         RelinkCompletedMessage(job.source, job.destination, changes),
                         RelinkOutcome{changes},
                         std::move(warnings)};
      },
      observer);
}

}  // namespace pexol
