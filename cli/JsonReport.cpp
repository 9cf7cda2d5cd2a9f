// cli/JsonReport.cpp - one JSON document per run, on standard output
#include "cli/JsonReport.h"

#include <iostream>

#include "core/TextEncoding.h"

namespace pexol::cli {

std::string EscapedBytes(std::string_view bytes) {
  constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      text += "\\\\";
    } else if (byte >= 0x20 && byte < 0x7F) {
      text += c;
    } else {
      text += "\\x";
      text += digits[byte >> 4];
      text += digits[byte & 0xF];
    }
  }
  return text;
}

int ReportJson(const RunResult& result, TerminalObserver& observer, nlohmann::json document) {
  observer.Finish(result.Completed());
  const std::string message = MessageWithRemedy(result);
  document["completed"] = result.Completed();
  document["status"] = result.Completed()                            ? "completed"
                       : result.status == RunResult::Status::Stopped ? "stopped"
                                                                     : "failed";
  document["message"] = message;
  nlohmann::json warnings = nlohmann::json::array();
  for (const std::string& warning : result.warnings) warnings.push_back(DisplayText(warning));
  document["warnings"] = std::move(warnings);
  if (result.chosenSoftware) document["software"] = SoftwareName(*result.chosenSoftware);
  // Names are UTF-8 by now; a byte that still is not becomes U+FFFD rather than no document.
  std::cout << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
  if (!result.Completed()) std::cerr << message << '\n';
  return ExitCodeOf(result);
}

nlohmann::json NotesJson(const std::vector<FormatNote>& notes) {
  nlohmann::json list = nlohmann::json::array();
  for (const FormatNote& note : notes) {
    nlohmann::json clips = nlohmann::json::array();
    for (const FormatNoteClip& clip : note.clips)
      clips.push_back({{"record", clip.record}, {"name", clip.name}});
    list.push_back({{"kind", note.kind},
                    {"count", note.count},
                    {"clips", std::move(clips)},
                    {"sentence", note.sentence}});
  }
  return list;
}

bool JsonClashesWithStandardOutput(bool runWritesToStdout) {
  if (!Output().json || !runWritesToStdout) return false;
  std::cerr << "pexol-cli: --json prints the summary on standard output, where this run "
               "writes its file too; give DEST a file name, or leave out --json.\n";
  return true;
}

}  // namespace pexol::cli
