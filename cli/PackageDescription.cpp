// cli/PackageDescription.cpp - the package's description, its formats read off the table
#include "cli/PackageDescription.h"

#include "export/ExportFormats.h"

namespace pexol::cli {

std::string PackageDescription() {
  std::string text =
      "pexol reads the project files (.mpj) of the video editors Corvane, Brisko and\n"
      "Lumetta, names in Shift-JIS and all, and brings each edit, or a whole archive\n"
      "of them, to the editors of today exactly as it played. It finds and relinks a\n"
      "project's media, collects it with its media (copied, or transcoded and\n"
      "trimmed) into one folder, converts it to an editable text and back, renders\n"
      "it to a finished video, and exports its timeline to:\n";
  for (const ExportFormat& format : ExportFormats()) {
    text += " * " + std::string(format.label) + ":";
    for (const std::string& extension : format.extensions)
      text += (extension == format.extensions.front() ? " " : ", ") + extension;
    text += "\n";
  }
  text +=
      "\n"
      "pexol is the window, in English and Japanese; pexol-cli is the command line,\n"
      "which also converts a whole archive at once with a report. File managers show\n"
      "a project's timeline as its thumbnail.\n";
  return text;
}

}  // namespace pexol::cli
