// cli/RelinkCommand.cpp - `pexol-cli relink`: media names rewritten by folder, in bulk
#include <iostream>
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/JsonReport.h"
#include "core/Translation.h"
#include "relink/RunRelink.h"

namespace pexol::cli {

void AddRelinkCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    RelinkJob job;
  };
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand(
      "relink", std::string(Tr("Rewrite the media names of a project whose media moved on the "
                               "Windows side")));
  AddFile(*sub, "SOURCE", settings->job.source, std::string(Tr("project file (.mpj)")));
  AddFile(*sub, "DEST", settings->job.destination,
          std::string(Tr("project file to write; may be SOURCE; - for standard output")));
  sub->add_option("--map", settings->job.rules,
                  std::string(Tr("names under the Windows folder OLD move under NEW, e.g. "
                                 "'C:\\Video=D:\\Archive\\Video' (repeatable; the longest OLD "
                                 "wins; letter case and \\ or / do not matter in OLD)")))
      ->option_text("='OLD=NEW'")
      ->take_all()
      ->required();
  AddSoftwareOption(*sub, settings->job.software);
  sub->add_flag("--dry-run", settings->job.dryRun,
                std::string(Tr("print each change and write nothing")));
  AddJsonOption(*sub);
  sub->footer(
      std::string(
          Tr("Every other byte of the project is kept, and so are names no rule matches.")) +
      "\n\n" + std::string(Tr("Example:")) +
      "\n  pexol-cli relink old.mpj new.mpj --map 'C:\\Video=D:\\Archive\\Video' --dry-run");
  sub->callback([settings, &exitCode] {
    if (JsonClashesWithStandardOutput(settings->job.destination == "-" && !settings->job.dryRun)) {
      exitCode = exitTrouble;
      return;
    }
    if (!Output().json) {
      if (settings->job.dryRun)
        settings->job.onChange = [](const NameChange& change) {
          std::cout << change.section << '\t' << change.before << " -> " << change.after << '\n';
        };
      const bool toStdout = settings->job.dryRun || settings->job.destination == "-";
      TerminalObserver observer(toStdout);
      const RunResult result = RunRelink(settings->job, observer);
      exitCode = Report(result, observer, toStdout);
      return;
    }
    // The names a run changes (or, dry, would change), in file order.
    nlohmann::json names = nlohmann::json::array();
    settings->job.onChange = [&names](const NameChange& change) {
      names.push_back(
          {{"section", change.section}, {"before", change.before}, {"after", change.after}});
    };
    TerminalObserver observer(true);
    const RunResult result = RunRelink(settings->job, observer);
    nlohmann::json document = {
        {"command", "relink"},
        {"source", settings->job.source},
        {"destination",
         settings->job.dryRun ? nlohmann::json() : nlohmann::json(settings->job.destination)},
        {"dryRun", settings->job.dryRun}};
    if (const auto* outcome = result.OutcomeAs<RelinkOutcome>()) {
      document["changes"] = outcome->changes;
      document["names"] = std::move(names);
    }
    exitCode = ReportJson(result, observer, std::move(document));
  });
}

}  // namespace pexol::cli
