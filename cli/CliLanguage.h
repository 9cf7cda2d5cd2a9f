// cli/CliLanguage.h - the language the command line speaks: the system's, or English where what
// it prints is recorded as data
#pragma once

#include <string>
#include <vector>

namespace pexol::cli {

/// True when the run's messages are data that must stay English: a run given --json (its
/// document holds them), the one project a batch job does (its result file holds them), and a
/// transcode reporting to the collect that started it (collect's report holds its reason).
/// `arguments` are the program's, UTF-8.
bool RunsInEnglish(const std::vector<std::string>& arguments);

/// Reads the catalogue of the system's language from beside the program, before any text of
/// the command line is made; in English where `RunsInEnglish`, and then the programs this run
/// starts (the render program) speak English too.
void UseLanguageOf(const std::vector<std::string>& arguments);

/// Reads the catalogue of `language` ("ja") from beside the program, or none for ""; false
/// when there is none for it.
bool UseLanguage(const std::string& language);

}  // namespace pexol::cli
