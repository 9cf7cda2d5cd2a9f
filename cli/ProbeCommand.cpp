// cli/ProbeCommand.cpp - `pexol-render probe`: what each media file is, a line of JSON each
#include <iostream>
#include <memory>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "core/Translation.h"
#include "probe/ProbeWithFfmpeg.h"

namespace pexol::cli {

void AddProbeCommand(CLI::App& app, int& exitCode) {
  auto files = std::make_shared<std::vector<std::string>>();
  auto* sub = app.add_subcommand(
      "probe",
      std::string(Tr("Say what each media file is: container, codecs, size, rate and length")));
  sub->add_option("FILE", *files, std::string(Tr("media files to read")))
      ->required()
      ->option_text(" ");
  sub->footer(
      std::string(Tr("Writes one line of JSON per file, in their order, to standard "
                     "error, where pexol-cli reads it; a file FFmpeg cannot read gets a "
                     "line with its reason.")));
  sub->callback([files, &exitCode] {
    SilenceFfmpegLog();
    for (const std::string& file : *files) std::cerr << FactsLine(ProbeWithFfmpeg(file)) << '\n';
    std::cerr.flush();
    exitCode = exitSuccess;
  });
}

}  // namespace pexol::cli
