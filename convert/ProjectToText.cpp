// convert/ProjectToText.cpp - a project's sections as lines of text, then its EDL
#include "convert/ProjectToText.h"

#include <cstdio>

#include "convert/ConversionReadings.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "edl/Edl.h"
#include "model/Timeline.h"

namespace pexol {

namespace {

void WriteLine(ByteWriter& text, std::string_view line) {
  text.WriteText(line);
  text.WriteText("\r\n");
}

// Decodes `field` in place; the field as it was when it does not decode.
std::optional<UndecodedField> Decode(std::string_view what, std::string_view stored,
                                     std::string& field) {
  DecodedName decoded = DecodeShiftJis(stored);
  if (!decoded.valid) return UndecodedField{what, stored};
  field = std::move(decoded.utf8);
  return std::nullopt;
}

// A name that UTF-8 cannot show without changing it; the default encoding keeps its bytes.
[[noreturn]] void FailUndecoded(const std::string& record, const UndecodedField& field) {
  throw EncodingFailure(
      FailedInput::Project,
      // TRANSLATORS: {0} names the record, as "main track clip 3"; {1} the field, as "its name".
      Say("{0}: {1} \"{2}\" is not valid Shift-JIS, so it cannot be written "
          "as UTF-8. Convert with the default encoding (Shift-JIS), which keeps "
          "every byte.",
          record, Tr(field.what), Printable(field.bytes)));
}

class TextWriter {
 public:
  TextWriter(const Project& project, bool utf8, ByteWriter& text)
      : project_(project), utf8_(utf8), text_(text) {}

  void WriteSection(SectionId id) {
    if (id == SectionId::Header) {
      for (const std::string& line : HeaderLines(project_)) WriteLine(text_, line);
    } else if (id == SectionId::End) {
      // Four empty lines part the text from the EDL.
      text_.WriteText("\r\n\r\n\r\n\r\n");
    } else {
      project_.VisitSection(id, [this, id](const auto& list) { WriteList(id, list); });
    }
  }

 private:
  void WriteList(SectionId id, const RecordList<ClipRecord>& clips) {
    const VideoTrack track = TrackOf(id);
    WriteRecords(clips.records,
                 track == VideoTrack::Main ? ToTranslate("main track clip {0}")
                                           : ToTranslate("insert track clip {0}"),
                 [track](const ClipRecord& clip) { return FormatClipLine(clip, track); });
  }
  void WriteList(SectionId id, const RecordList<ExAudioClip>& clips) {
    WriteRecords(clips.records,
                 id == SectionId::ExAudio2 ? ToTranslate("extra audio 2 clip {0}")
                                           : ToTranslate("extra audio 1 clip {0}"),
                 [](const ExAudioClip& clip) { return FormatExAudioLine(clip); });
  }
  void WriteList(SectionId, const RecordList<TitleRecord>&) { WriteTitles(); }
  void WriteList(SectionId, const RecordList<BinItem>& bin) {
    WriteRecords(bin.records, ToTranslate("bin item {0}"),
                 [](const BinItem& item) { return FormatBinLine(item); });
  }
  // Effects and filters have no lines.
  template <class List>
  void WriteList(SectionId, const List&) {}

  template <class Record, class Format>
  // `which` names a record by its number: a marked text with {0}, as "bin item {0}".
  void WriteRecords(const std::vector<Record>& records, std::string_view which, Format format) {
    if (!utf8_) {
      for (const Record& record : records) text_.WriteText(format(record));
      return;
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
      Record shown = records[i];
      if (const auto bad = DecodeShown(records[i], shown)) FailUndecoded(Say(which, i + 1), *bad);
      text_.WriteText(format(shown));
    }
  }

  void WriteTitles() {
    const bool extended = project_.TitlesExtended();
    for (std::size_t t = 0; t < project_.titles.records.size(); ++t) {
      const TitleRecord& title = project_.titles.records[t];
      text_.WriteText(FormatTitlePositionLine(title, extended));
      const bool withValues = title.ElementsHaveValues(extended);
      for (std::size_t e = 0; e < title.elements.size(); ++e) {
        if (!utf8_) {
          text_.WriteText(FormatTitleElementLine(title.elements[e], withValues));
          continue;
        }
        TitleElement shown = title.elements[e];
        if (const auto bad = DecodeShown(title.elements[e], shown))
          FailUndecoded(Say("title {0} element {1}", t + 1, e + 1), *bad);
        text_.WriteText(FormatTitleElementLine(shown, withValues));
      }
    }
  }

  const Project& project_;
  bool utf8_;
  ByteWriter& text_;
};

// With UTF-8 the EDL names the clips in UTF-8 as the lines above it do. Every name has been
// decoded once already, so none fails here.
void DecodeClipNames(Timeline& timeline) {
  for (auto* track : {&timeline.main, &timeline.insert, &timeline.exAudio[0], &timeline.exAudio[1]})
    for (TimelineItem& item : *track)
      if (item.kind != ItemKind::Colour) item.name = DecodeShiftJis(item.name).utf8;
}

}  // namespace

std::vector<std::string> HeaderLines(const Project& project) {
  const ProjectHeader& header = project.header;
  char version[32];
  std::snprintf(version, sizeof version, "Version=%02x.%02x", header.version >> 8,
                header.version & 0xFF);
  std::vector<std::string> lines = {version, "Frequency=" + FrequencyText(header.audioFrequency)};
  if (HasAspectRatio(header.version))
    lines.emplace_back(project.aspectRatio == 0 ? "AspectRatio=4:3" : "AspectRatio=16:9");
  if (HasTitleTrack(header.version, project.software))
    lines.push_back("TitleTrack=" + std::to_string(project.titleTrack));
  return lines;
}

std::optional<UndecodedField> DecodeShown(const ClipRecord& stored, ClipRecord& shown) {
  if (auto bad = Decode(ToTranslate("its name"), stored.name, shown.name)) return bad;
  return Decode(ToTranslate("its still information"), stored.stillInfo, shown.stillInfo);
}

std::optional<UndecodedField> DecodeShown(const ExAudioClip& stored, ExAudioClip& shown) {
  return Decode(ToTranslate("its name"), stored.name, shown.name);
}

std::optional<UndecodedField> DecodeShown(const TitleElement& stored, TitleElement& shown) {
  if (auto bad = Decode(ToTranslate("its text"), stored.text, shown.text)) return bad;
  return Decode(ToTranslate("its font name"), stored.fontName, shown.fontName);
}

std::optional<UndecodedField> DecodeShown(const BinItem& stored, BinItem& shown) {
  if (auto bad = Decode(ToTranslate("its label"), stored.label, shown.label)) return bad;
  return Decode(ToTranslate("its file name"), stored.file, shown.file);
}

void WriteProjectText(const Project& project, const ToTextOptions& options, ByteWriter& text,
                      RunProgress& progress) {
  const bool utf8 = options.encoding == TextEncoding::Utf8;
  TextWriter writer(project, utf8, text);
  for (const SectionRule& rule : sectionTable) {
    if (!project.Has(rule.id)) continue;
    WriteLine(text, rule.heading);
    writer.WriteSection(rule.id);
  }
  WriteProjectEdl(project, options, text, progress);
}

void WriteProjectEdl(const Project& project, const ToTextOptions& options, ByteWriter& text,
                     RunProgress& progress) {
  Timeline timeline = BuildTimeline(project);
  if (options.encoding == TextEncoding::Utf8) DecodeClipNames(timeline);
  WriteEdl(timeline, options.timecode, options.csv, text, progress);
}

WalkSummary ProjectToText(std::span<const std::uint8_t> bytes, const ToTextOptions& options,
                          ByteWriter& text, RunObserver& observer) {
  RunProgress progress(observer);
  std::optional<Project> project;
  try {
    project = ReadProject(bytes, {options.software, toTextReading}, progress);
  } catch (const RunFailure&) {
    if (LooksLikeText(bytes))
      throw RunFailure(FailedInput::Project, std::string(Tr(textGivenAsProject)));
    throw;
  }
  WriteProjectText(*project, options, text, progress);
  observer.Status("");
  return {project->unreadBytes};
}

}  // namespace pexol
