// export/ExportFormats.cpp - the table of formats: a format is a writer and a row here
#include "export/ExportFormats.h"

#include "core/ListInWords.h"
#include "core/TextScanner.h"
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
      {"otio",
       {".otio"},
       "OpenTimelineIO",
       ExportContent::Json,
       {""},
       {Main, Insert, TitleImages, Titles, MainSound, ExtraAudio1, ExtraAudio2, InsertSound},
       false,
       LevelsWritten::EveryMovie,
       WriteOtio,
       1095,
       // Its gain envelope gives each point's dB beside its level.
       GainInterpolation::Decibels},
      {"cmx3600",
       {".edl"},
       "CMX 3600",
       ExportContent::Bytes,
       {"", "-insert", "-exaudio1", "-exaudio2"},
       {Main, Insert, ExtraAudio1, ExtraAudio2},
       false,
       LevelsWritten::None,
       WriteCmx3600,
       1096},
      {"mlt",
       {".mlt"},
       "MLT (Shotcut)",
       ExportContent::Xml,
       {""},
       {Main, Insert, Titles, ExtraAudio1, ExtraAudio2},
       true,
       LevelsWritten::SoundingClips,
       WriteMlt,
       1097,
       GainInterpolation::Decibels},
      {"kdenlive",
       {".kdenlive"},
       "Kdenlive",
       ExportContent::Xml,
       {""},
       {Main, Insert, TitleImages, Titles, MainSound, ExtraAudio1, ExtraAudio2, InsertSound},
       false,
       LevelsWritten::SoundTracks,
       WriteKdenlive,
       1117,
       GainInterpolation::Decibels},
      {"fcp7",
       {".xml"},
       "Final Cut Pro 7 XML (Premiere Pro, Resolve)",
       ExportContent::Xml,
       {""},
       {Main, Insert, TitleImages, Titles, MainSound, ExtraAudio1, ExtraAudio2, InsertSound},
       false,
       LevelsWritten::SoundTracks,
       WriteFcp7,
       1118,
       // Neither the format nor its readers say how Audio Levels go between keyframes: points
       // for a reader in dB lie on the project's line, so they hold for either.
       GainInterpolation::Decibels},
      {"fcpxml",
       {".fcpxml"},
       "FCPXML 1.10 (Final Cut Pro, Resolve)",
       ExportContent::Xml,
       {""},
       {Main, Insert, TitleImages, Titles, ExtraAudio1, ExtraAudio2},
       false,
       LevelsWritten::SoundingClips,
       WriteFcpxml,
       1119,
       GainInterpolation::Decibels},
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

std::string ListOfFormats(std::string (*part)(const ExportFormat& format)) {
  return ListInWords(ExportFormats(), part);
}

LayoutRules LayoutRulesFor(const ExportFormat& format) {
  LayoutRules rules;
  rules.roles = format.roles;
  rules.titlesDrawImages = format.titlesDrawImages;
  rules.levels = format.levels;
  rules.gainInterpolation = format.gainInterpolation;
  return rules;
}

}  // namespace pexol
