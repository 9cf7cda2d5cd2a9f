// export/ExportFormats.h - every format an export writes, one row each
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/ExportWritten.h"

namespace pexol {

/// What a format's bytes must be: what its paths and names can hold follows from it.
enum class ExportContent {
  Json,   ///< UTF-8; bytes that are not become U+FFFD
  Xml,    ///< UTF-8 without control characters, or the export fails
  Bytes,  ///< any bytes, as they are
  Utf16,  ///< UTF-16 in a binary file: bytes that are not UTF-8 become U+FFFD
};

/// An option only some formats understand: the command line and the window offer it from the
/// rows that declare it, and the format's writer reads the value chosen. Rows that declare the
/// same name mean the same option.
struct FormatOption {
  const char* name;                  ///< as the command line spells it after "--"
  std::vector<std::string> choices;  ///< the values it takes, the default first
  const char* placeholder;           ///< the command line's word for its value: "TIMECODE"
  std::string_view help;             ///< the command line's help (`ToTranslate`)
  std::string_view title;            ///< the window's box of its choices (`ToTranslate`)
};

/// A row of the table, written with named fields.
struct ExportFormat {
  const char* name;                     ///< as --format takes it: "otio", ...
  std::vector<std::string> extensions;  ///< with their dots; the first names new files
  const char* label;                    ///< what people call it, in lists and file filters
  ExportContent content;
  /// The suffixes of the files it writes beside the destination, "" first (the destination).
  std::vector<std::string> files;
  /// The tracks it holds.
  std::vector<TrackRole> roles;
  /// Whether its titles draw their images themselves.
  bool titlesDrawImages = false;
  /// Whose levels it writes.
  LevelsWritten levels;
  ExportWriter write;
  /// How its readers go between the gain keyframes it writes.
  GainInterpolation gainInterpolation = GainInterpolation::Decibels;
  /// Whether its readers take media named relative to the document's folder (MLT's loader,
  /// so Shotcut and Kdenlive, resolves them from the document's folder, Kdenlive's
  /// OpenTimelineIO import from the .otio's), so that a folder holding both can move.
  bool mediaRelative = false;
  /// What it holds its own way beyond its tracks and levels: with those, what an export's notes
  /// say it keeps differently or cannot keep.
  FormatHolds holds = {};
  /// The options only it understands.
  std::vector<FormatOption> options = {};
};

/// Every format, in the order lists show them.
std::span<const ExportFormat> ExportFormats();

/// The format `name` names (any case), or the one whose extension ends `path`; null for none.
const ExportFormat* ExportFormatNamed(std::string_view name);
const ExportFormat* ExportFormatOfPath(const std::string& path);

/// Every option some row declares, each name once, in the table's order.
std::vector<const FormatOption*> AllFormatOptions();

/// The option `name` some row declares; null for none.
const FormatOption* FormatOptionNamed(std::string_view name);

/// `chosen` (options by name, any format's) narrowed to the options `format` declares, each
/// not chosen at its default. An option of its with a value it does not take sets `error` to
/// a sentence naming the option, the value and the values it takes.
FormatOptions OptionsFor(const ExportFormat& format, const FormatOptions& chosen,
                         std::string& error);

/// "a, b, c or d" of the formats' names, extensions or labels.
std::string ListOfFormats(std::string (*part)(const ExportFormat& format));

/// The rules a run lays the timeline out by for `format`.
LayoutRules LayoutRulesFor(const ExportFormat& format);

}  // namespace pexol
