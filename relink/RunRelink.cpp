// relink/RunRelink.cpp - the relink's run frame: read, rewrite, replace, one message
#include "relink/RunRelink.h"

#include "convert/Messages.h"
#include "core/FileIo.h"
#include "core/RunFailure.h"

namespace pexol {

namespace {

RunResult Failed(std::string message) {
  return {RunResult::Status::Failed, std::move(message), 0, {}, {}};
}

std::string Count(int n) {
  return std::to_string(n) + (n == 1 ? " media name" : " media names");
}

}  // namespace

RunResult RunRelink(const RelinkJob& job, RunObserver& observer) {
  PathMap rules;
  std::string error;
  for (const std::string& text : job.rules) {
    auto rule = ParseRelinkRule(text, error);
    if (!rule) return Failed("Can not use the rule \"" + text + "\"\n\n" + error);
    rules.Add(std::move(*rule));
  }
  if (rules.Rules().empty())
    return Failed("Nothing to relink\n\nGive at least one rule, e.g. --map 'C:\\Video=D:\\Video'.");
  const auto bytes = ReadWholeFile(job.source, error);
  if (!bytes) return Failed(OpenFailureMessage(cannotOpenProjectSource, job.source, error));
  // The source is read whole before anything is written, so it may be its own destination.
  OutputFile destination;
  if (!job.dryRun && !destination.Open(job.destination, error))
    return Failed(OpenFailureMessage(cannotOpenProjectDestination, job.destination, error));
  observer.Progress(0, RunProgress::totalSteps);

  Software software = job.software;
  std::optional<Software> chosen;
  RunProgress progress(observer);
  std::string relinked;
  int changes = 0;
  try {
    const Project project =
        ReadProjectForRun(*bytes, software, job.chooseSoftware, RunKind::ToText, progress, chosen);
    relinked = RelinkProject(*bytes, project, rules, [&](const NameChange& change) {
      ++changes;
      if (job.onChange) job.onChange(change);
    });
    progress.Step(edlShare);
  } catch (const RunFailure& failure) {
    observer.Status("");
    return Failed(ProjectFailure(failure, *bytes, job.source, software));
  }
  observer.Status("");
  // Otherwise a run whose rules fit no name would pass for one that did its work.
  std::vector<std::string> warnings;
  if (changes == 0) warnings.push_back("no name matched any rule");
  if (job.dryRun)
    return {RunResult::Status::Completed,
            "relink dry run\n\n" + job.source + "\n\n" + Count(changes) +
                " would change; nothing written",
            0, chosen, std::move(warnings)};
  if (!destination.Commit(relinked, error))
    return Failed(WriteFailureMessage(job.destination, error));
  return {RunResult::Status::Completed,
          "relink completed\n\nfrom : " + job.source + "\n   to : " + job.destination + "\n\n" +
              Count(changes) + " changed",
          0, chosen, std::move(warnings)};
}

}  // namespace pexol
