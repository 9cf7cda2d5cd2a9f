// sections/RunContext.h - what the section codecs of one run work on
#pragma once

#include <string_view>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Options.h"
#include "core/RunProgress.h"
#include "core/TextScanner.h"
#include "core/TrackEntries.h"

namespace pexol {

/// A project-to-text run: records come from `project`, lines go to `text`.
struct ToTextRun {
  ByteReader& project;
  ByteWriter& text;
  RunProgress& progress;
  Software software;
  int version;
  TrackEntries& entries;
};

/// A text-to-project run: `source` is the template project, `text` the edited lines.
struct ToProjectRun {
  ByteReader& source;
  TextReader& text;
  ByteWriter& destination;
  RunProgress& progress;
  Software software;
  int version;

  /// Fails, naming the line, when a text taken from the line is longer than a counted
  /// string can hold.
  void CheckFieldLength(std::string_view field) const;
  /// Writes a counted string taken from the text, after `CheckFieldLength`.
  void WriteTextField(std::string_view field) {
    CheckFieldLength(field);
    destination.WriteString(field);
  }
};

}  // namespace pexol
