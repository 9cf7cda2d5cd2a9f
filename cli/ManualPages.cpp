// cli/ManualPages.cpp - pexol-cli(1) and pexol(1) in roff, from the commands' own help texts
#include <sstream>

#include "cli/Documents.h"
#include "core/Translation.h"
#include "core/Version.h"

namespace pexol::cli {

namespace {

// Text for roff: backslashes written as \e, a line never starting with a control character.
std::string Roff(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
    lineStart = c == '\n';
  }
  return out;
}

std::vector<std::string> Paragraphs(const std::string& text) {
  std::vector<std::string> paragraphs;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\n\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) paragraphs.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return paragraphs;
}

// A paragraph of the help: an "Example:" block keeps its lines, any other text flows.
void WriteParagraph(std::ostringstream& out, const std::string& paragraph) {
  const std::size_t colon = paragraph.find(":\n");
  const bool example = paragraph.starts_with(std::string(Tr("Example:")) + "\n") ||
                       paragraph.starts_with(std::string(Tr("Examples:")) + "\n");
  if (colon != std::string::npos && example) {
    out << ".PP\n" << Roff(paragraph.substr(0, colon + 1)) << "\n.RS\n.nf\n";
    std::istringstream lines(paragraph.substr(colon + 2));
    for (std::string line; std::getline(lines, line);) {
      const std::size_t first = line.find_first_not_of(' ');
      out << Roff(first == std::string::npos ? "" : line.substr(first)) << "\n";
    }
    out << ".fi\n.RE\n";
  } else {
    out << ".PP\n" << Roff(paragraph) << "\n";
  }
}

void WriteOption(std::ostringstream& out, const OptionEntry& option) {
  out << ".TP\n";
  if (!option.positional.empty()) {
    out << ".I " << option.positional << "\n";
  } else {
    std::string names;
    for (const std::string& name : option.names)
      names += (names.empty() ? "" : ", ") + std::string("\\fB") + Roff(name) + "\\fR";
    if (!option.valueName.empty()) names += "=\\fI" + Roff(option.valueName) + "\\fR";
    out << names << "\n";
  }
  out << Roff(option.description) << "\n";
  if (!option.choices.empty()) {
    std::string values;
    for (const std::string& choice : option.choices)
      values += (values.empty() ? "" : ", ") + std::string("\\fB") + Roff(choice) + "\\fR";
    out << ".br\n" << Say("Values: {0}.", values) << "\n";
  }
}

std::string Synopsis(const CommandEntry& command) {
  std::string synopsis = "\\fBpexol\\-cli " + Roff(command.name) + "\\fR";
  for (const OptionEntry& positional : command.positionals)
    synopsis += " \\fI" + positional.positional + "\\fR";
  return synopsis + " [\\fI" + std::string(Tr("OPTIONS")) + "\\fR]";
}

std::string Header(const std::string& name) {
  return ".TH " + name + " 1 \"\" \"pexol " + std::string(version) + "\" \"" +
         std::string(Tr("User Commands")) + "\"\n";
}

// A section's heading, in capitals in English.
std::string Section(std::string_view english) {
  return ".SH " + std::string(Tr(english)) + "\n";
}

// A description as a sentence: a full stop after English, "。" after a translation that ends
// in a character of its own script.
std::string Sentence(const std::string& text) {
  const bool wide = !text.empty() && static_cast<unsigned char>(text.back()) >= 0x80;
  return text + (wide ? "。" : ".");
}

}  // namespace

std::string ManualPage(const CLI::App& app, const std::vector<CommandEntry>& commands) {
  std::ostringstream out;
  out << Header("PEXOL\\-CLI");
  std::string summary = app.get_description();
  if (summary.starts_with("pexol-cli - ")) summary = summary.substr(12);
  out << Section(ToTranslate("NAME")) << "pexol\\-cli \\- " << Roff(summary) << "\n";
  out << Section(ToTranslate("SYNOPSIS"));
  for (const CommandEntry& command : commands) out << Synopsis(command) << "\n.br\n";
  out << "\\fBpexol\\-cli\\fR \\fI" << Tr("COMMAND")
      << "\\fR \\fB\\-\\-help\\fR\n.br\n"
         "\\fBpexol\\-cli \\-\\-version\\fR\n";
  out << Section(ToTranslate("DESCRIPTION")) << ".B pexol\\-cli\n"
      << Tr("reads the project files (.mpj) of the video editors Corvane, Brisko and Lumetta: "
            "it converts them to an editable text and back, finds and relinks their media, and "
            "exports their timelines for other editors. Every command reads its sources whole "
            "and replaces its destination only when the whole run succeeded; a failed or "
            "interrupted run leaves no file behind.")
      << "\n";
  out << Section(ToTranslate("COMMANDS"));
  for (const CommandEntry& command : commands) {
    out << ".SS \"" << Roff(command.name) << "\"\n"
        << Synopsis(command) << "\n.PP\n"
        << Sentence(Roff(command.description)) << "\n";
    for (const OptionEntry& positional : command.positionals) WriteOption(out, positional);
    for (const OptionEntry& option : command.options) WriteOption(out, option);
    for (const std::string& paragraph : Paragraphs(command.footer)) WriteParagraph(out, paragraph);
  }
  // TRANSLATORS: roff: \fB...\fR is bold, \fI...\fR italic, \- a minus, \e a backslash.
  out << Section(ToTranslate("ENCODINGS"))
      << Tr("Names in a project (media files, titles, fonts, labels) are bytes in Shift\\-JIS, "
            "as the editors wrote them; they pass through every command untouched unless a rule "
            "changes them. A text exchange file is Shift\\-JIS with CR LF line ends by default, "
            "or UTF\\-8 with \\fB\\-\\-encoding=utf\\-8\\fR; a text that starts with a UTF\\-8 "
            "byte\\-order mark is read as UTF\\-8 whatever the option says. Messages, file paths "
            "on this system and \\fB\\-\\-json\\fR documents are UTF\\-8; a name quoted from a "
            "project is decoded from Shift\\-JIS for display, and control bytes show as "
            "\\e\\fIxNN\\fR. In \\fB\\-\\-json\\fR the stored name is given as escaped bytes "
            "(\\e\\e for a backslash, \\e\\fIxNN\\fR for any byte that is not printable ASCII) "
            "beside its UTF\\-8 reading.")
      << "\n";
  // TRANSLATORS: roff, as above; the words in bold are the document's fields and stay as they
  // are.
  out << Section(ToTranslate("JSON"))
      << Tr("With \\fB\\-\\-json\\fR a command prints one JSON document on standard output. "
            "Every document has \\fBcommand\\fR, \\fBsource\\fR, \\fBcompleted\\fR (true or "
            "false), \\fBstatus\\fR (completed, failed or stopped), \\fBmessage\\fR, "
            "\\fBwarnings\\fR and, when the run chose it, \\fBsoftware\\fR. \\fBcheck\\fR adds "
            "\\fBreferences\\fR, one per media reference in file order, each with \\fBstatus\\fR "
            "(found, missing or ambiguous), \\fBstored\\fR (the name's bytes as escaped text), "
            "\\fBname\\fR (its UTF\\-8 reading), \\fBdecoded\\fR, and \\fBpath\\fR, "
            "\\fBcandidates\\fR or \\fBlastTried\\fR (as the path reads, a folder named in "
            "Shift\\-JIS decoded; when its bytes are not UTF\\-8, \\fBpathBytes\\fR, "
            "\\fBcandidatesBytes\\fR or \\fBlastTriedBytes\\fR give them escaped as "
            "\\fBstored\\fR is); and \\fBcounts\\fR (references, found, missing, ambiguous, and "
            "undetected: missing and ambiguous together, as the exit status and the message "
            "count them; files, the distinct files the references name, and undetectedFiles, "
            "those of them not found). \\fBexport\\fR adds \\fBdestination\\fR, \\fBtracks\\fR, "
            "\\fBclips\\fR and \\fBtransitions\\fR; \\fBrelink\\fR adds \\fBdestination\\fR "
            "(null on a dry run), \\fBdryRun\\fR, \\fBchanges\\fR and \\fBnames\\fR (section, "
            "before, after).")
      << "\n"
         ".PP\n.nf\n"
         "pexol\\-cli check demo.mpj \\-\\-json | jq \\-r \\(aq.references[] | "
         "select(.status != \"found\") | .name\\(aq\n"
         ".fi\n";
  // The program's own footer holds the examples and the exit statuses.
  const std::string examples(Tr("Examples:"));
  const std::string exitStatus = std::string(Tr("Exit status:")) + " ";
  for (const std::string& paragraph : Paragraphs(app.get_footer())) {
    if (paragraph.starts_with(examples)) {
      out << Section(ToTranslate("EXAMPLES")) << ".nf\n";
      std::istringstream lines(paragraph.substr(paragraph.find('\n') + 1));
      for (std::string line; std::getline(lines, line);)
        out << Roff(line.substr(std::min(line.find_first_not_of(' '), line.size()))) << "\n";
      out << ".fi\n";
    } else if (paragraph.starts_with(exitStatus)) {
      out << Section(ToTranslate("EXIT STATUS")) << Roff(paragraph.substr(exitStatus.size()))
          << "\n.PP\n"
          << Tr("SIGINT (Ctrl\\-C) and SIGTERM end a run within a second with status 2, its "
                "temporary files removed and its destination left as it was.")
          << "\n";
    }
  }
  out << Section(ToTranslate("SEE ALSO")) << ".BR pexol (1)\n";
  return out.str();
}

std::string WindowManualPage(const std::vector<CommandEntry>& commands) {
  std::ostringstream out;
  out << Header("PEXOL");
  out << Section(ToTranslate("NAME")) << "pexol \\- "
      << Roff(std::string(Tr("the window for video project files (.mpj): to text and back, "
                             "their media found and moved, their timelines exported")))
      << "\n";
  out << Section(ToTranslate("SYNOPSIS")) << ".B pexol\n.RI [ PROJECT ]\n";
  out << Section(ToTranslate("DESCRIPTION")) << ".B pexol\n"
      << Tr("opens a window with a page for each job that \\fBpexol\\-cli\\fR(1) does from the "
            "command line, with the same choices and the same messages:")
      << "\n";
  for (const CommandEntry& command : commands)
    out << ".TP\n.B " << Roff(command.name) << "\n" << Sentence(Roff(command.description)) << "\n";
  out << ".PP\n"
      << Tr("A \\fIPROJECT\\fR named on the command line (as a file manager names the file "
            "opened), or dropped on the window, is put into every page's source field.")
      << "\n.PP\n"
      << Tr("It takes the standard options of Qt programs, such as \\fB\\-platform\\fR.") << "\n"
      << Section(ToTranslate("SEE ALSO")) << ".BR pexol\\-cli (1)\n";
  return out.str();
}

}  // namespace pexol::cli
