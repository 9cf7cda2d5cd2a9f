// convert/TextToProject.cpp - the source project's records with the text's values laid over
#include "convert/TextToProject.h"

#include "core/RunFailure.h"
#include "core/TextScanner.h"

namespace pexol {

namespace {

class ProjectWriter {
 public:
  ProjectWriter(const Project& source, TextReader& text, ByteWriter& destination)
      : source_(source), text_(text), out_(destination), walker_(destination) {}

  void WriteAll() {
    // The header is never rebuilt from the text: its lines there are for people to read.
    out_.WriteText(source_.fixedHeader);
    if (HasAspectRatio(source_.header.version)) out_.WriteDword(source_.aspectRatio);
    if (HasTitleTrack(source_.header.version, source_.software))
      out_.WriteDword(source_.titleTrack);
    text_.SkipPast(HeadingOf(SectionId::MainAV));
    for (const SectionRule& rule : sectionTable) {
      if (rule.id == SectionId::Header || rule.id == SectionId::End || !source_.Has(rule.id))
        continue;
      if (rule.id != SectionId::MainAV) text_.ReadHeading(rule.heading);
      WriteSection(rule);
    }
  }

 private:
  // Counts come from the source project; one stands before the records when the file has it.
  template <class Record>
  void WriteCount(const SectionRule& rule, const RecordList<Record>& list) {
    if (rule.count == CountFrom::CountBefore && source_.header.mainClipCount != 0)
      out_.WriteDword(static_cast<std::uint32_t>(list.count));
  }

  template <class Record>
  void CopyRecords(const SectionRule& rule, const RecordList<Record>& list) {
    WriteCount(rule, list);
    for (std::string_view bytes : list.bytes) out_.WriteText(bytes);
  }

  template <class Record, class WriteLine>
  void WriteLines(const SectionRule& rule, const RecordList<Record>& list, WriteLine writeLine) {
    WriteCount(rule, list);
    const int count = static_cast<int>(list.size());
    for (int i = 0; i < count; ++i)
      writeLine(text_.ReadRecordLine(rule.heading, i, count), static_cast<std::size_t>(i));
  }

  [[noreturn]] void Fail(const std::string& detail) const {
    throw RunFailure(FailedInput::Text, "line " + std::to_string(text_.LineNumber()) + ": " + detail);
  }

  // A text taken from a line must fit a counted string.
  void CheckLength(std::string_view field) const {
    if (field.size() > maxCountedStringLength)
      Fail("a text of " + std::to_string(field.size()) +
           " bytes is longer than a project can hold (65535 bytes).");
  }

  // A still's or colour clip's in and out keep 24 bits and a sign marker; a value typed
  // beyond that would be stored as another one.
  void CheckMarkedRange(const ClipRecord& clip) const {
    constexpr std::int32_t lowest = -markedRange;
    constexpr std::int32_t highest = markedRange - 1;
    for (const auto& [key, value] : {std::pair{"in", clip.in}, std::pair{"out", clip.out}}) {
      if (value >= lowest && value <= highest) continue;
      Fail(std::string(key) + "=" + std::to_string(value) +
           " of a still or colour clip is outside what a project can hold "
           "(-16777216 to 16777215).");
    }
  }

  void WriteClip(std::string_view line, VideoTrack track) {
    auto clip = ParseClipLine(line, track);
    if (!clip)
      Fail("the kind of clip cannot be told from its name (it must end in \"avi\", a "
           "still-image ending or \"clr\", or the line must start with \"ColorClip\").");
    CheckLength(clip->name);
    CheckLength(clip->stillInfo);
    if (clip->kind != ClipKind::Movie) CheckMarkedRange(*clip);
    WalkClipRecord(walker_, *clip, track);
  }

  // Texts, fonts and sizes come from the lines; everything else of a title from the source.
  void WriteTitles(const SectionRule& rule) {
    WriteCount(rule, source_.titles);
    const int count = static_cast<int>(source_.titles.size());
    const bool extended = source_.TitlesExtended();
    for (int i = 0; i < count; ++i) {
      text_.ReadRecordLine(rule.heading, i, count);  // the position always comes from the source
      TitleRecord title = source_.titles.records[static_cast<std::size_t>(i)];
      const bool withValues = title.ElementsHaveValues(extended);
      for (TitleElement& element : title.elements) {
        const TitleElementLine line =
            ParseTitleElementLine(text_.ReadRecordLine(rule.heading, i, count), withValues);
        CheckLength(line.text);
        CheckLength(line.fontName);
        element.text = line.text;
        element.fontName = line.fontName;
        element.fontSize = line.fontSize;
      }
      WalkTitleRecord(walker_, title, extended);
    }
  }

  void WriteSection(const SectionRule& rule) {
    switch (rule.id) {
      case SectionId::MainAV:
        return WriteLines(rule, source_.main,
                          [this](std::string_view line, std::size_t) { WriteClip(line, VideoTrack::Main); });
      case SectionId::InsertAV:
        return WriteLines(rule, source_.insert, [this](std::string_view line, std::size_t) {
          WriteClip(line, VideoTrack::Insert);
        });
      case SectionId::ExAudio1:
      case SectionId::ExAudio2:
        return WriteLines(rule, source_.exAudio[rule.id == SectionId::ExAudio2],
                          [this](std::string_view line, std::size_t) {
                            ExAudioClip clip = ParseExAudioLine(line);
                            CheckLength(clip.name);
                            WalkExAudioClip(walker_, clip);
                          });
      case SectionId::Effect:
        return CopyRecords(rule, source_.effects);
      case SectionId::Title:
        return WriteTitles(rule);
      case SectionId::FilterMainAV:
        return CopyRecords(rule, source_.mainFilters);
      case SectionId::FilterInsertAV:
        return CopyRecords(rule, source_.insertFilters);
      case SectionId::FilterExAudio1:
      case SectionId::FilterExAudio2:
        return CopyRecords(rule, source_.exAudioFilters[rule.id == SectionId::FilterExAudio2]);
      case SectionId::BinWindow:
        return WriteLines(rule, source_.bin, [this](std::string_view line, std::size_t) {
          BinItem item = ParseBinLine(line);
          CheckLength(item.label);
          CheckLength(item.file);
          WalkBinItem(walker_, item);
        });
      case SectionId::Option:
        out_.WriteText(source_.option);
        return;
      case SectionId::Header:
      case SectionId::End:
        return;
    }
  }

  const Project& source_;
  TextReader& text_;
  ByteWriter& out_;
  WriteWalker walker_;
};

}  // namespace

void WriteEditedProject(const Project& source, std::string_view text,
                        const ToProjectOptions&, ByteWriter& destination) {
  TextReader lines(text, IsSectionHeading);
  ProjectWriter(source, lines, destination).WriteAll();
}

WalkSummary TextToProject(std::span<const std::uint8_t> source, std::string_view text,
                          const ToProjectOptions& options, ByteWriter& destination,
                          RunObserver& observer) {
  RunProgress progress(observer);
  const Project project = ReadProject(source, {options.software, RunKind::ToProject}, progress);
  WriteEditedProject(project, text, options, destination);
  observer.Status("");
  return {project.unreadBytes};
}

}  // namespace pexol
