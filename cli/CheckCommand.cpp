// cli/CheckCommand.cpp - `pexol-cli check`: the media files a project names that are missing
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>

#include "check/MediaCheck.h"
#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "cli/JsonReport.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "core/Translation.h"
#include "media/MediaCount.h"
#include "media/PathText.h"
#include "probe/EditorSupport.h"

namespace pexol::cli {

namespace {

std::string_view StatusWord(MediaStatus status) {
  switch (status) {
    case MediaStatus::Found:
      return "found";
    case MediaStatus::Ambiguous:
      return "ambiguous";
    case MediaStatus::Missing:
      break;
  }
  return "missing";
}

// A name or path as one column of --list, as it reads, unless it holds a control character or
// starts with a double quote: then quoted and escaped as the text exchange file writes such a
// name (\r, \n, \" and \\), a tab as \t and any other control character as \xNN, so that
// every reference keeps its one line and each column its place. The bytes are in --json.
std::string Column(std::string_view text) {
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  if (std::none_of(text.begin(), text.end(), control) && !text.starts_with('"'))
    return std::string(text);
  constexpr char digits[] = "0123456789ABCDEF";
  std::string column = "\"";
  for (const char c : EscapeQuoted(text)) {
    if (c == '\t') {
      column += "\\t";
    } else if (control(c)) {
      const auto byte = static_cast<unsigned char>(c);
      column += {'\\', 'x', digits[byte >> 4], digits[byte & 0xF]};
    } else {
      column += c;
    }
  }
  return column + '"';
}

// A path found on this computer as its column: a folder named in Shift-JIS shows decoded.
std::string PathColumn(std::string_view path) {
  return Column(PathToShow(path));
}

// "found", a tab, the name in UTF-8, a tab, where it was found (or the candidates, a column
// each). Only the first column is a keyword for scripts; the rest is in the reader's language.
void ListReference(std::string_view stored, const MediaResolution& found) {
  std::string line(StatusWord(found.status));
  line += '\t';
  line += Column(DecodeShiftJis(stored).utf8);
  line += '\t';
  if (found.status == MediaStatus::Ambiguous) {
    for (std::size_t i = 0; i < found.candidates.size(); ++i)
      line += (i == 0 ? "" : "\t") + PathColumn(found.candidates[i]);
  } else if (found.status == MediaStatus::Missing) {
    // The last path tried is no location: say so.
    if (!found.path.empty()) line += Say("last tried: {0}", PathColumn(found.path));
  } else {
    line += PathColumn(found.path);
  }
  std::cout << line << '\n';
}

// `path` under `key` as it reads, and, when its bytes are not UTF-8 (a folder copied with its
// Shift-JIS name), under `key` + "Bytes" as the name's "stored" gives them.
void AddPath(nlohmann::json& reference, const std::string& key, const std::string& path) {
  reference[key] = PathToShow(path);
  if (!IsValidUtf8(path)) reference[key + "Bytes"] = EscapedBytes(path);
}

// One reference of --json: the status, the name as stored and in UTF-8, and where it is.
nlohmann::json ReferenceJson(std::string_view stored, const MediaResolution& found) {
  const DecodedName decoded = DecodeShiftJis(stored);
  nlohmann::json reference = {{"status", StatusWord(found.status)},
                              {"stored", EscapedBytes(stored)},
                              {"name", decoded.utf8},
                              {"decoded", decoded.valid}};
  if (found.status == MediaStatus::Found) AddPath(reference, "path", found.path);
  if (found.status == MediaStatus::Ambiguous) {
    nlohmann::json shown = nlohmann::json::array();
    nlohmann::json bytes = nlohmann::json::array();
    for (const std::string& candidate : found.candidates) {
      shown.push_back(PathToShow(candidate));
      bytes.push_back(EscapedBytes(candidate));
    }
    reference["candidates"] = std::move(shown);
    if (!std::all_of(found.candidates.begin(), found.candidates.end(), IsValidUtf8))
      reference["candidatesBytes"] = std::move(bytes);
  }
  if (found.status == MediaStatus::Missing && !found.path.empty())
    AddPath(reference, "lastTried", found.path);
  return reference;
}

// A found file's line of --list: "media", a tab, its path, a tab, what it is, a tab, the
// editors that open it as it is, in the reader's language.
void ListProbed(const std::string& path, const MediaFacts& facts) {
  std::cout << "media\t" << PathColumn(path) << '\t' << Column(FactsSummaryShown(facts)) << '\t'
            << Column(OpensSummaryShown(EditorsThatOpen(facts, path))) << '\n';
}

// What --json adds to a found reference: the file's facts and each editor's answer.
nlohmann::json ProbedJson(const std::string& path, const MediaFacts& facts) {
  nlohmann::json media = nlohmann::json::parse(FactsLine(facts));
  media.erase("type");
  media["summary"] = FactsSummary(facts);
  nlohmann::json editors = nlohmann::json::object();
  for (const EditorOpens& answer : EditorsThatOpen(facts, path))
    editors[std::string(EditorKey(answer.editor))] = OpensWord(answer.opens);
  return {{"media", std::move(media)}, {"editors", std::move(editors)}};
}

// After --list's lines and the message: the references and files counted, for a person.
void TellMediaCount(const RunResult& result, const TerminalObserver& observer) {
  const auto* check = result.OutcomeAs<CheckOutcome>();
  if (check == nullptr || Output().quiet || observer.Mode() == ProgressMode::Json) return;
  std::cerr << MediaCountText(check->media) << '\n';
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& exitCode) {
  struct Settings {
    MediaCheckJob job;
    bool list = false;
    bool noProbe = false;
  };
  auto settings = std::make_shared<Settings>();
  auto* sub = app.add_subcommand(
      "check",
      std::string(Tr("Find the media files a project names that are missing on this computer")));
  AddFile(*sub, "SOURCE", settings->job.source, std::string(Tr("project file (.mpj)")));
  sub->add_option("--report", settings->job.report,
                  std::string(Tr("file to list the missing names in; nul (the default) for "
                                 "none, - for standard output")))
      ->option_text("=FILE");
  AddEncodingOption(*sub, settings->job.reportEncoding,
                    std::string(Tr("encoding of the names in the report: shift-jis (the "
                                   "default, the projects' own, with CR LF) or utf-8")));
  AddSoftwareOption(*sub, settings->job.software);
  AddMapOption(*sub, settings->job.maps,
               std::string(Tr("find names under the Windows folder PREFIX in the local FOLDER, "
                              "e.g. 'C:\\Video=/media/archive/video' (repeatable; the longest "
                              "PREFIX wins; a relative FOLDER is taken from the current "
                              "folder)")));
  AddSearchOption(*sub, settings->job.searchFolders);
  sub->add_flag("--list", settings->list,
                std::string(Tr("print a line per media reference: found, missing or "
                               "ambiguous, the name and where it is, the candidates or the last "
                               "path tried (tab-separated)")));
  sub->add_flag("--no-probe", settings->noProbe,
                std::string(Tr("with --list or --json, leave out what each file found is "
                               "(container, codecs, length) and which editors open it, which "
                               "reads every file's headers")));
  AddJsonOption(*sub);
  sub->footer(
      std::string(Tr("Names are looked up as stored, relative to the project's folder; then "
                     "decoded from Shift-JIS with the map rules applied; then in any letter "
                     "case; then in the search folders.")) +
      "\n\n" + std::string(Tr("Example:")) +
      "\n  pexol-cli check demo.mpj --map 'C:\\Video=/media/video' --search ~/footage --list");
  sub->callback([settings, &exitCode] {
    const bool reportToStdout = settings->job.report == "-";
    if (JsonClashesWithStandardOutput(reportToStdout || settings->list)) {
      exitCode = exitTrouble;
      return;
    }
    // Only a run that lists the media reads what they are.
    settings->job.probe = (settings->list || Output().json) && !settings->noProbe;
    if (!Output().json) {
      if (settings->list) {
        settings->job.onReference = ListReference;
        settings->job.onProbed = ListProbed;
      }
      TerminalObserver observer(reportToStdout || settings->list);
      const RunResult result = RunMediaCheck(settings->job, observer);
      exitCode = Report(result, observer, reportToStdout || settings->list);
      if (settings->list) TellMediaCount(result, observer);
      return;
    }
    nlohmann::json references = nlohmann::json::array();
    std::vector<std::string> paths;  // each reference's file found, as its bytes are
    std::map<std::string_view, int> counts = {{"found", 0}, {"missing", 0}, {"ambiguous", 0}};
    settings->job.onReference = [&](std::string_view stored, const MediaResolution& found) {
      references.push_back(ReferenceJson(stored, found));
      paths.push_back(found.status == MediaStatus::Found ? found.path : std::string());
      ++counts[StatusWord(found.status)];
    };
    std::map<std::string, nlohmann::json> probed;
    settings->job.onProbed = [&probed](const std::string& path, const MediaFacts& facts) {
      probed.emplace(path, ProbedJson(path, facts));
    };
    TerminalObserver observer(true);
    const RunResult result = RunMediaCheck(settings->job, observer);
    nlohmann::json document = {{"command", "check"}, {"source", settings->job.source}};
    if (const auto* check = result.OutcomeAs<CheckOutcome>(); result.Completed() && check) {
      for (std::size_t i = 0; i < references.size(); ++i)
        if (const auto at = probed.find(paths[i]); at != probed.end())
          references[i].update(at->second);
      document["references"] = std::move(references);
      document["counts"] = {{"references", check->media.References()},
                            {"found", counts["found"]},
                            {"missing", counts["missing"]},
                            {"ambiguous", counts["ambiguous"]},
                            {"undetected", check->missingCount},
                            {"files", check->media.Files()},
                            {"undetectedFiles", check->media.MissingFiles()}};
    }
    exitCode = ReportJson(result, observer, std::move(document));
  });
}

}  // namespace pexol::cli
