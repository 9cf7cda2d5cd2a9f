// batch/ReportPage.cpp - the report page: a summary to act on, then a section per project
#include "batch/ReportPage.h"

#include <filesystem>

#include "core/FileUrl.h"
#include "core/Translation.h"
#include "core/XmlText.h"
#include "export/ExportFormats.h"
#include "media/MediaCount.h"
#include "media/PathText.h"

namespace pexol {

namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  AppendXmlEscaped(out, text, true);
  return out;
}

/// `text` escaped, with a line allowed to break after each "/", "_" or "-" before it breaks
/// anywhere: long folder and file names wrap where a reader expects.
std::string Breakable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    AppendXmlEscaped(out, std::string_view(&c, 1), false);
    if (c == '/' || c == '_' || c == '-') out += "<wbr>";
  }
  return out;
}

/// A path relative to the page as a link, percent-encoded, so that "#", "?", "%" or a ':' in a
/// first folder's name read as part of the name.
std::string Link(std::string_view relative) {
  return Escaped(FileUrl(relative, UrlForm::Relative));
}

std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// "5 references to 2 missing files.": the words a check says on screen, in English, as the
// page is.
std::string MissingMediaSaid(const JobResult& result) {
  const int files = static_cast<int>(result.missing.size());
  return EnglishCount(MissingFilesPattern(result.missingReferences, files),
                      result.missingReferences, files);
}

constexpr const char* classes[] = {"succeeded", "missing", "failed"};

std::string ClassOf(const JobResult& result) {
  return classes[static_cast<int>(result.status)];
}

std::string Anchor(std::size_t index) {
  return "project-" + std::to_string(index + 1);
}

/// "2019/wedding/edit.mpj": the project's folder below the batch's, and its file.
std::string NameOf(const JobResult& result) {
  const std::filesystem::path into = PathOfUtf8(result.into);
  const std::string file = Utf8OfPath(PathOfUtf8(result.project).filename());
  const std::string folder = Utf8OfPath(into.parent_path());
  if (file.empty()) return result.into;
  return folder.empty() ? file : folder + "/" + file;
}

// Colours keep to WCAG's 4.5:1 on their backgrounds; the page reads printed in grey too, as
// every status is also a word.
constexpr const char* style = R"(<style>
:root { --text: #1f2328; --muted: #57606a; --line: #d0d7de; --page: #f6f8fa;
  --ok: #1a7f37; --ok-bg: #dafbe1; --warn: #7d4e00; --warn-bg: #fff1c2;
  --bad: #c11f2b; --bad-bg: #ffebe9; --link: #0550ae; }
* { box-sizing: border-box; }
html { background: var(--page); }
body { margin: 0; color: var(--text); overflow-wrap: anywhere;
  font: 15px/1.5 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans",
    Arial, sans-serif; }
main { max-width: 76rem; margin: 0 auto; padding: 2rem clamp(0.75rem, 3vw, 2rem) 3rem; }
h1 { font-size: 1.75rem; line-height: 1.25; margin: 0 0 0.25rem; }
h2 { font-size: 1.25rem; line-height: 1.3; margin: 0; }
.summary h2 { margin-bottom: 0.75rem; }
h3 { font-size: 0.8rem; text-transform: uppercase; letter-spacing: 0.05em; color: var(--muted);
  margin: 1.25rem 0 0.4rem; }
p { margin: 0; }
a { color: var(--link); }
ul { margin: 0; padding-left: 1.25rem; }
li + li { margin-top: 0.2rem; }
.lead { color: var(--muted); }
.card { background: #fff; border: 1px solid var(--line); border-radius: 8px;
  padding: 1.25rem clamp(0.75rem, 2.5vw, 1.5rem); margin-top: 1.5rem; }
.tiles { display: grid; grid-template-columns: repeat(auto-fit, minmax(10rem, 1fr));
  gap: 0.75rem; margin: 0; }
.tile { border: 1px solid var(--line); border-top-width: 4px; border-radius: 6px;
  padding: 0.6rem 0.9rem; min-width: 0; }
.tile .n { display: block; font-size: 1.75rem; font-weight: 600; line-height: 1.2; }
.tile.succeeded { border-top-color: var(--ok); }
.tile.missing { border-top-color: var(--warn); }
.tile.failed { border-top-color: var(--bad); }
.tile.removed { border-top-color: var(--muted); }
.todo li .why { color: var(--muted); }
.all-clear { margin-top: 1rem; color: var(--ok); font-weight: 600; }
.project { border-left: 6px solid var(--line); scroll-margin-top: 1rem; }
.project.succeeded { border-left-color: var(--ok); }
.project.missing { border-left-color: var(--warn); }
.project.failed { border-left-color: var(--bad); }
.head { display: flex; flex-wrap: wrap; align-items: center; gap: 0.25rem 0.75rem; }
.head h2 { min-width: 0; }
.folder { color: var(--muted); font-weight: 400; }
.badge { display: inline-block; font-size: 0.8rem; font-weight: 600; padding: 0.1rem 0.6rem;
  border-radius: 999px; white-space: nowrap; }
.badge.succeeded { color: var(--ok); background: var(--ok-bg); }
.badge.missing { color: var(--warn); background: var(--warn-bg); }
.badge.failed { color: var(--bad); background: var(--bad-bg); }
.source { color: var(--muted); font-size: 0.85rem; margin-top: 0.25rem; }
code, .path { font-family: ui-monospace, "SFMono-Regular", Menlo, Consolas, "DejaVu Sans Mono",
  monospace; font-size: 0.85em; }
.facts { display: flex; flex-wrap: wrap; gap: 0.5rem 2.5rem; margin: 1rem 0 0; }
.facts div { min-width: 0; }
.facts dt { font-size: 0.75rem; text-transform: uppercase; letter-spacing: 0.05em;
  color: var(--muted); }
.facts dd { margin: 0; font-weight: 600; font-variant-numeric: tabular-nums; }
.facts dd.unknown { font-weight: 400; font-style: italic; color: var(--muted); }
figure { margin: 1rem 0 0; }
figure a { display: block; border: 1px solid var(--line); border-radius: 4px;
  background: #fff; padding: 0.5rem; }
figure img { display: block; width: 100%; height: auto; max-height: 20rem; object-fit: contain;
  object-position: left top; }
figcaption { font-size: 0.8rem; color: var(--muted); margin-top: 0.25rem; }
.names { columns: 20rem; column-gap: 2rem; }
.names li { break-inside: avoid; }
.outputs { display: flex; flex-wrap: wrap; gap: 0.4rem; list-style: none; padding: 0; }
.outputs li { margin: 0; min-width: 0; }
.outputs a { display: inline-block; padding: 0.15rem 0.6rem; border: 1px solid var(--line);
  border-radius: 4px; text-decoration: none; }
.outputs a:hover { text-decoration: underline; }
.warnings + .warnings, .kept + .kept { margin-top: 0.75rem; }
.kept .format { color: var(--muted); }
.kept .clips { color: var(--muted); font-size: 0.85rem; }
.tags { display: flex; flex-wrap: wrap; gap: 0.25rem; margin-bottom: 0.25rem; }
.tag { font-size: 0.75rem; color: var(--muted); background: var(--page); min-width: 0;
  border: 1px solid var(--line); border-radius: 4px; padding: 0 0.4rem; }
.note { color: var(--muted); margin-top: 1rem; }
.failures { color: var(--bad); }
@media print { html { background: #fff; } .card { break-inside: avoid-page; } }
</style>
)";

void SummarySection(std::string& html, const std::vector<JobResult>& results) {
  int counts[3] = {0, 0, 0};
  std::size_t removed = 0;
  for (const JobResult& result : results) {
    ++counts[static_cast<int>(result.status)];
    removed += result.removed.size();
  }
  html += "<section class=\"card summary\" aria-labelledby=\"summary\">\n";
  html += "<h2 id=\"summary\">Summary</h2>\n<div class=\"tiles\">";
  const auto tile = [&](const char* css, std::size_t count, std::string_view label) {
    html += "<p class=\"tile " + std::string(css) + "\"><span class=\"n\">" +
            std::to_string(count) + "</span>" + std::string(label) + "</p>";
  };
  tile("succeeded", counts[0], "opened cleanly");
  tile("missing", counts[1], counts[1] == 1 ? "needs media" : "need media");
  tile("failed", counts[2], "failed");
  tile("removed", removed, removed == 1 ? "old output removed" : "old outputs removed");
  html += "</div>\n";
  // The projects of one status, each linked to its section with why it is listed.
  const auto todo = [&](JobStatus status, const char* heading, const char* between,
                        const auto& why) {
    html += "<h3>" + std::string(heading) + "</h3>\n<ul class=\"todo\">";
    for (std::size_t i = 0; i < results.size(); ++i)
      if (results[i].status == status)
        html += "<li><a href=\"#" + Anchor(i) + "\">" + Breakable(NameOf(results[i])) + "</a>" +
                between + "<span class=\"why\">" + why(results[i]) + "</span></li>";
    html += "</ul>\n";
  };
  if (counts[1] > 0) todo(JobStatus::Missing, "Need media", ": ", MissingMediaSaid);
  if (counts[2] > 0)
    todo(JobStatus::Failed, "Failed", "<br>", [](const JobResult& result) {
      return Escaped(result.failures.empty() ? std::string("no reason given")
                                             : result.failures.front());
    });
  if (!results.empty() && counts[0] == static_cast<int>(results.size()))
    html += "<p class=\"all-clear\">Every project opened cleanly.</p>\n";
  html += "</section>\n";
}

void Names(std::string& html, const char* css, const std::vector<std::string>& names) {
  html += "<ul class=\"" + std::string(css) + "\">";
  for (const std::string& name : names) html += "<li>" + Breakable(name) + "</li>";
  html += "</ul>\n";
}

/// The warnings under what gave them: those given by the same outputs together, in the order
/// first given.
void Warnings(std::string& html, const std::vector<JobWarning>& warnings) {
  std::vector<bool> done(warnings.size(), false);
  for (std::size_t i = 0; i < warnings.size(); ++i) {
    if (done[i]) continue;
    html += "<div class=\"warnings\">";
    if (!warnings[i].concerns.empty()) {
      html += "<p class=\"tags\">";
      for (const std::string& what : warnings[i].concerns)
        html += "<span class=\"tag\">" + Escaped(what) + "</span>";
      html += "</p>";
    }
    html += "<ul>";
    for (std::size_t j = i; j < warnings.size(); ++j)
      if (!done[j] && warnings[j].concerns == warnings[i].concerns) {
        done[j] = true;
        html += "<li>" + Breakable(warnings[j].message) + "</li>";
      }
    html += "</ul></div>\n";
  }
}

/// "2 clips: 00:00:05;00 “voice.wav”, 00:01:10;02 “bgm.wav”", or "12 clips, among them ...".
std::string NotedClips(const FormatNote& note) {
  std::string text = note.transitions ? Counted(note.count, "transition", "transitions")
                                      : Counted(note.count, "clip", "clips");
  text += note.count > note.clips.size() ? ", among them " : ": ";
  for (std::size_t c = 0; c < note.clips.size(); ++c) {
    if (c > 0) text += ", ";
    text += Escaped(note.clips[c].record) + " &ldquo;" + Breakable(note.clips[c].name) + "&rdquo;";
  }
  return text;
}

/// Each export with what its format keeps differently from the project or cannot keep.
void EditorNotes(std::string& html, const std::vector<OutputNotes>& outputs) {
  html += "<h3>What each editor gets</h3>\n";
  for (const OutputNotes& output : outputs) {
    const ExportFormat* format = ExportFormatNamed(output.format);
    html += "<div class=\"kept\"><p><a href=\"" + Link(output.output) + "\">" +
            Breakable(Utf8OfPath(PathOfUtf8(output.output).filename())) +
            "</a> <span class=\"format\">(" + Escaped(format ? format->label : output.format) +
            ")</span>";
    if (output.notes.empty()) {
      html += " keeps everything this timeline holds.</p></div>\n";
      continue;
    }
    html += " keeps differently or cannot keep:</p><ul>";
    for (const FormatNote& note : output.notes)
      html += "<li data-kind=\"" + Escaped(note.kind) + "\">" + Escaped(note.sentence) +
              "<br><span class=\"clips\">" + NotedClips(note) + "</span></li>";
    html += "</ul></div>\n";
  }
}

void ProjectSection(std::string& html, const JobResult& result, std::size_t index) {
  const std::string css = ClassOf(result);
  const std::filesystem::path into = PathOfUtf8(result.into);
  const std::string folder = Utf8OfPath(into.parent_path());
  std::string file = Utf8OfPath(PathOfUtf8(result.project).filename());
  if (file.empty()) file = Utf8OfPath(into.filename());
  html += "<section class=\"card project " + css + "\" id=\"" + Anchor(index) + "\">\n";
  html += "<div class=\"head\"><h2>";
  if (!folder.empty()) html += "<span class=\"folder\">" + Breakable(folder) + "/</span>";
  html += Breakable(file) + "</h2><span class=\"badge " + css + "\">" +
          Escaped(StatusName(result.status)) + "</span></div>\n";
  html += "<p class=\"source\">Project file <span class=\"path\">" + Breakable(result.project) +
          "</span>; outputs in <span class=\"path\">" + Breakable(result.into) + "/</span></p>\n";
  // A project that could not be read has nothing to tell of it but its failures.
  if (!result.software.empty()) {
    html += "<dl class=\"facts\"><div><dt>Read as</dt><dd>" + Escaped(result.software) +
            "</dd></div><div><dt>Clips</dt><dd>" + std::to_string(result.clips) +
            "</dd></div><div><dt>Length</dt>";
    html += result.frames ? "<dd>" + Escaped(result.length) + "</dd>"
                          : std::string(
                                "<dd class=\"unknown\" title=\"the project's positions "
                                "cannot be right\">unknown</dd>");
    html += "</div></dl>\n";
  }
  if (!result.failures.empty()) {
    html += "<h3>" + std::string(result.failures.size() == 1 ? "Failure" : "Failures") + "</h3>\n";
    Names(html, "failures", result.failures);
  }
  // Fitted to the page's width, no taller than a third of a screen: a long timeline's picture
  // is thin, and opens at its own size. Positions that cannot be right draw no timeline worth
  // showing, only a link.
  if (!result.picture.empty() && result.frames)
    html += "<figure><a href=\"" + Link(result.picture) + "\"><img src=\"" + Link(result.picture) +
            "\" alt=\"Timeline of " + Escaped(file) +
            "\"></a><figcaption>A row per track; clips whose media is missing are hatched and "
            "crossed. Open the picture for its full size.</figcaption></figure>\n";
  else if (!result.picture.empty())
    html += "<p class=\"note\">The project's positions cannot be right, so its <a href=\"" +
            Link(result.picture) + "\">timeline picture</a> shows little.</p>\n";
  if (!result.missing.empty()) {
    html += "<h3>Missing media</h3>\n<p>" + MissingMediaSaid(result) + "</p>\n";
    Names(html, "names path", result.missing);
  }
  if (!result.outputs.empty()) {
    html += "<h3>Outputs</h3>\n<ul class=\"outputs\">";
    for (const std::string& output : result.outputs)
      html += "<li><a href=\"" + Link(output) + "\" title=\"" + Escaped(output) + "\">" +
              Breakable(Utf8OfPath(PathOfUtf8(output).filename())) + "</a></li>";
    html += "</ul>\n";
  }
  if (!result.notes.empty()) EditorNotes(html, result.notes);
  if (!result.removed.empty()) {
    html += "<h3>Removed: no longer asked for</h3>\n";
    Names(html, "path", result.removed);
  }
  if (!result.warnings.empty()) {
    html += "<h3>Warnings (" + std::to_string(result.warnings.size()) + ")</h3>\n";
    Warnings(html, result.warnings);
  }
  html += "</section>\n";
}

}  // namespace

std::string ReportHtml(const std::vector<JobResult>& results) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>pexol batch report</title>\n";
  html += style;
  html += "</head>\n<body>\n<main>\n<h1>Batch report</h1>\n<p class=\"lead\">" +
          Counted(results.size(), "project", "projects") + "</p>\n";
  SummarySection(html, results);
  for (std::size_t i = 0; i < results.size(); ++i) ProjectSection(html, results[i], i);
  html += "</main>\n</body>\n</html>\n";
  return html;
}

}  // namespace pexol
