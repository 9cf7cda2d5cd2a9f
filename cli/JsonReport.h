// cli/JsonReport.h - the summary of a run as one JSON document (--json), for scripts
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "export/ExportOutcome.h"

namespace pexol::cli {

/// A name's bytes as stored, in text that keeps every byte: printable ASCII as it is, '\' as
/// "\\", any other byte as \xNN ("C:\\Video\\\x89\x5E\x93\xAE.avi").
std::string EscapedBytes(std::string_view bytes);

/// Ends the bar and prints `document` with what every run has added to it: "completed",
/// "status" (completed, failed or stopped), "message", "warnings" and, when the run chose
/// it, "software"; a failure's message also goes to standard error. Returns the exit code.
int ReportJson(const RunResult& result, TerminalObserver& observer, nlohmann::json document);

/// An export's notes: each its kind's id, count, first clips (record timecode and name) and
/// sentence.
nlohmann::json NotesJson(const std::vector<FormatNote>& notes);

/// True, after an error message, when --json was asked for and the run writes its own output
/// to standard output too (DEST -), where the two would mix.
bool JsonClashesWithStandardOutput(bool runWritesToStdout);

}  // namespace pexol::cli
