// export/ExportFormats.cpp - the table of formats: a format is a writer and a row here
#include "export/ExportFormats.h"

#include <algorithm>

#include "core/ListInWords.h"
#include "core/TextScanner.h"
#include "export/AafWriter.h"
#include "export/Cmx3600Writer.h"
#include "export/Fcp7Writer.h"
#include "export/FcpxmlWriter.h"
#include "export/KdenliveWriter.h"
#include "export/MltWriter.h"
#include "export/OtioWriter.h"
#include "media/PathText.h"

namespace pexol {

namespace {

using enum TrackRole;

}  // namespace

std::span<const ExportFormat> ExportFormats() {
  // Each writer's header says what its format leaves out of the stack and why.
  static const ExportFormat formats[] = {
      {.name = "otio",
       .extensions = {".otio"},
       .label = "OpenTimelineIO",
       .content = ExportContent::Json,
       .files = {""},
       .roles = {Main, Insert, TitleImages, Titles, MainSound, ExtraAudio1, ExtraAudio2,
                 InsertSound},
       .levels = LevelsWritten::EveryMovie,
       .write = WriteOtio,
       // Its gain envelope gives each point's dB beside its level.
       .gainInterpolation = GainInterpolation::Decibels,
       .mediaRelative = true,
       // A text generator names no font; colours are solid; its levels are metadata.
       .holds = {.titles = TitleForm::TextOnly,
                 .colours = ColourForm::GradientsFirstColour,
                 .levelsInMetadata = true}},
      {.name = "cmx3600",
       .extensions = {".edl"},
       .label = "CMX 3600",
       .content = ExportContent::Bytes,
       .files = {"", "-insert", "-exaudio1", "-exaudio2"},
       .roles = {Main, Insert, ExtraAudio1, ExtraAudio2},
       .levels = LevelsWritten::None,
       .write = WriteCmx3600,
       // Colour clips are the black reel; the M2 line's speed has tenths of a frame a second.
       .holds = {.colours = ColourForm::Black, .slowSpeedInTenths = true}},
      {.name = "mlt",
       .extensions = {".mlt"},
       .label = "MLT (Shotcut)",
       .content = ExportContent::Xml,
       .files = {""},
       .roles = {Main, Insert, Titles, ExtraAudio1, ExtraAudio2},
       .titlesDrawImages = true,
       .levels = LevelsWritten::SoundingClips,
       .write = WriteMlt,
       .mediaRelative = true},
      {.name = "kdenlive",
       .extensions = {".kdenlive"},
       .label = "Kdenlive",
       .content = ExportContent::Xml,
       .files = {""},
       .roles = {Main, Insert, TitleImages, Titles, MainSound, ExtraAudio1, ExtraAudio2,
                 InsertSound},
       .levels = LevelsWritten::SoundTracks,
       .write = WriteKdenlive,
       // MLT's loader resolves them from the document's folder, and Kdenlive opens such a
       // document from wherever it was moved with every clip present.
       .mediaRelative = true},
      {.name = "fcp7",
       .extensions = {".xml"},
       .label = "Final Cut Pro 7 XML (Premiere Pro, Resolve)",
       .content = ExportContent::Xml,
       .files = {""},
       .roles = {Main, Insert, TitleImages, Titles, MainSound, ExtraAudio1, ExtraAudio2,
                 InsertSound},
       .levels = LevelsWritten::SoundTracks,
       .write = WriteFcp7,
       // Neither the format nor its readers say how Audio Levels go between keyframes: points
       // for a reader in dB lie on the project's line, so they hold for either.
       .gainInterpolation = GainInterpolation::Decibels,
       // The Color generator has one colour.
       .holds = {.colours = ColourForm::GradientsFirstColour}},
      {.name = "fcpxml",
       .extensions = {".fcpxml"},
       .label = "FCPXML 1.10 (Final Cut Pro, Resolve)",
       .content = ExportContent::Xml,
       .files = {""},
       .roles = {Main, Insert, TitleImages, Titles, ExtraAudio1, ExtraAudio2},
       .levels = LevelsWritten::SoundingClips,
       .write = WriteFcpxml,
       // Final Cut Pro centres a transition on its edit; its Gradient's colours are not set.
       .holds = {.colours = ColourForm::GradientsGeneratorColours,
                 .transitions = TransitionForm::CentredOnEdit}},
      {.name = "aaf",
       .extensions = {".aaf"},
       .label = "AAF (Media Composer, Pro Tools)",
       .content = ExportContent::Utf16,
       .files = {""},
       // The titles' track is laid out for their markers; their images are stills below.
       .roles = {Main, Insert, TitleImages, Titles, MainSound, ExtraAudio1, ExtraAudio2,
                 InsertSound},
       .levels = LevelsWritten::SoundTracks,
       .write = WriteAaf,
       // Audio Gain goes between its keyframes in a line in amplitude, as the project's levels.
       .gainInterpolation = GainInterpolation::Amplitude,
       // Titles are markers; colour clips are fillers.
       .holds = {.titles = TitleForm::Markers, .colours = ColourForm::Black},
       .options = {{.name = "timecode-start",
                    .choices = {"00:00:00:00", "01:00:00:00"},
                    .placeholder = "TIMECODE",
                    .help = ToTranslate("where AAF's timecode starts: 00:00:00:00 (the default) "
                                        "or 01:00:00:00, as Avid's sequences do"),
                    .title = ToTranslate("AAF timecode start")}}},
  };
  return formats;
}

const ExportFormat* ExportFormatNamed(std::string_view name) {
  for (const ExportFormat& format : ExportFormats())
    if (EqualsIgnoreCase(name, format.name)) return &format;
  return nullptr;
}

const ExportFormat* ExportFormatOfPath(const std::string& path) {
  const std::string extension = PathOfUtf8(path).extension().string();
  for (const ExportFormat& format : ExportFormats())
    for (const std::string& own : format.extensions)
      if (EqualsIgnoreCase(extension, own)) return &format;
  return nullptr;
}

std::vector<const FormatOption*> AllFormatOptions() {
  std::vector<const FormatOption*> all;
  for (const ExportFormat& format : ExportFormats())
    for (const FormatOption& option : format.options)
      if (!FormatOptionNamed(option.name) || FormatOptionNamed(option.name) == &option)
        all.push_back(&option);
  return all;
}

const FormatOption* FormatOptionNamed(std::string_view name) {
  for (const ExportFormat& format : ExportFormats())
    for (const FormatOption& option : format.options)
      if (name == option.name) return &option;
  return nullptr;
}

FormatOptions OptionsFor(const ExportFormat& format, const FormatOptions& chosen,
                         std::string& error) {
  FormatOptions own;
  for (const FormatOption& option : format.options) {
    const auto given = chosen.find(std::string_view(option.name));
    std::string value = given == chosen.end() ? option.choices.front() : given->second;
    if (std::find(option.choices.begin(), option.choices.end(), value) == option.choices.end()) {
      error =
          Say("--{0} takes {1}, not \"{2}\".", option.name,
              ListInWords(option.choices, [](const std::string& choice) { return choice; }), value);
      return {};
    }
    own.emplace(option.name, std::move(value));
  }
  return own;
}

std::string ListOfFormats(std::string (*part)(const ExportFormat& format)) {
  return ListInWords(ExportFormats(), part);
}

LayoutRules LayoutRulesFor(const ExportFormat& format) {
  LayoutRules rules;
  rules.roles = format.roles;
  rules.titlesDrawImages = format.titlesDrawImages;
  rules.levels = format.levels;
  rules.gainInterpolation = format.gainInterpolation;
  rules.holds = format.holds;
  return rules;
}

}  // namespace pexol
