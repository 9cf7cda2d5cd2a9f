// convert/ProjectToText.cpp - a project's sections as lines of text, then its EDL
#include "convert/ProjectToText.h"

#include <cstdio>

#include "edl/Edl.h"
#include "model/Timeline.h"

namespace pexol {

namespace {

void WriteLine(ByteWriter& text, std::string_view line) {
  text.WriteText(line);
  text.WriteText("\r\n");
}

void WriteHeaderLines(ByteWriter& text, const Project& project) {
  const ProjectHeader& header = project.header;
  char version[32];
  std::snprintf(version, sizeof version, "Version=%02x.%02x", header.version >> 8,
                header.version & 0xFF);
  WriteLine(text, version);
  WriteLine(text, "Frequency=" + FrequencyText(header.audioFrequency));
  if (HasAspectRatio(header.version))
    WriteLine(text, project.aspectRatio == 0 ? "AspectRatio=4:3" : "AspectRatio=16:9");
  if (HasTitleTrack(header.version, project.software))
    WriteLine(text, "TitleTrack=" + std::to_string(project.titleTrack));
}

void WriteSectionLines(ByteWriter& text, const Project& project, SectionId id) {
  switch (id) {
    case SectionId::Header:
      return WriteHeaderLines(text, project);
    case SectionId::MainAV:
      for (const ClipRecord& clip : project.main.records)
        text.WriteText(FormatClipLine(clip, VideoTrack::Main));
      return;
    case SectionId::InsertAV:
      for (const ClipRecord& clip : project.insert.records)
        text.WriteText(FormatClipLine(clip, VideoTrack::Insert));
      return;
    case SectionId::ExAudio1:
    case SectionId::ExAudio2:
      for (const ExAudioClip& clip : project.exAudio[id == SectionId::ExAudio2].records)
        text.WriteText(FormatExAudioLine(clip));
      return;
    case SectionId::Title: {
      const bool extended = project.TitlesExtended();
      for (const TitleRecord& title : project.titles.records) {
        text.WriteText(FormatTitlePositionLine(title, extended));
        const bool withValues = title.ElementsHaveValues(extended);
        for (const TitleElement& element : title.elements)
          text.WriteText(FormatTitleElementLine(element, withValues));
      }
      return;
    }
    case SectionId::BinWindow:
      for (const BinItem& item : project.bin.records) text.WriteText(FormatBinLine(item));
      return;
    case SectionId::End:
      // Four empty lines part the text from the EDL.
      text.WriteText("\r\n\r\n\r\n\r\n");
      return;
    default:  // effects, filters and the option block have no lines
      return;
  }
}

}  // namespace

void WriteProjectText(const Project& project, const ToTextOptions& options, ByteWriter& text,
                      RunProgress& progress) {
  for (const SectionRule& rule : sectionTable) {
    if (!project.Has(rule.id)) continue;
    WriteLine(text, rule.heading);
    WriteSectionLines(text, project, rule.id);
  }
  WriteEdl(BuildTimeline(project), options.timecode, options.csv, text, progress);
}

WalkSummary ProjectToText(std::span<const std::uint8_t> bytes, const ToTextOptions& options,
                          ByteWriter& text, RunObserver& observer) {
  RunProgress progress(observer);
  const Project project = ReadProject(bytes, {options.software, RunKind::ToText}, progress);
  WriteProjectText(project, options, text, progress);
  observer.Status("");
  return {project.unreadBytes};
}

}  // namespace pexol
