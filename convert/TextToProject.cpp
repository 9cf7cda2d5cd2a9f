// convert/TextToProject.cpp - the source project's records with the text's values laid over
#include "convert/TextToProject.h"

#include <algorithm>
#include <array>

#include "convert/ConversionReadings.h"
#include "convert/EdlEdits.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "core/Translation.h"
#include "model/Timeline.h"

namespace pexol {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Names, labels, files, still information and fonts are stored with a one-byte length; the
// 255 escape to a longer one is read back only for title texts.
constexpr std::size_t longestName = 254;

// `line` is what the to-text run writes as `formatted` (which ends with CR LF).
bool IsLineOf(std::string_view line, std::string_view formatted) {
  return formatted.size() == line.size() + 2 && formatted.starts_with(line);
}

// What a Shift-JIS table other than the projects' own (JIS X 0208, as iconv's SHIFT_JIS) gives
// for bytes that code page 932 reads otherwise: 5C as a yen sign instead of the backslash, 7E
// as an overline, and six symbols. None of them encodes back, so a text converted with such a
// table fails on its first one.
constexpr std::array<std::string_view, 8> otherTableCharacters = {
    "\u00A5", "\u203E", "\u301C", "\u2016", "\u2212", "\u00A2", "\u00A3", "\u00AC"};

// What to do about a field that holds one of them.
std::string OtherTableAdvice(std::string_view field) {
  for (const std::string_view character : otherTableCharacters)
    if (field.find(character) != std::string_view::npos)
      return " " +
             std::string(Tr("The text was converted from Shift-JIS with a table other than the "
                            "projects' own (iconv's SHIFT_JIS turns \\ into \u00A5): convert the "
                            "project's text with CP932 instead, as in iconv -f CP932 -t UTF-8."));
  return {};
}

std::optional<SectionId> HeadingId(std::string_view line) {
  for (const SectionRule& rule : sectionTable)
    if (EqualsIgnoreCase(line, rule.heading)) return rule.id;
  return std::nullopt;
}

class ProjectWriter {
 public:
  ProjectWriter(const Project& source, std::string_view text, bool utf8, ByteWriter& destination)
      : source_(source),
        text_(text),
        lines_(text, IsSectionHeading),
        utf8_(utf8),
        out_(destination),
        walker_(destination) {}

  /// Writes the new project; gives the warnings of a completed run.
  std::vector<std::string> WriteAll() {
    CheckIsText();
    CompareWithProject();
    // The header is never rebuilt from the text: its lines there are for people to read.
    out_.WriteText(source_.fixedHeader);
    if (HasAspectRatio(source_.header.version)) out_.WriteDword(source_.aspectRatio);
    if (HasTitleTrack(source_.header.version, source_.software))
      out_.WriteDword(source_.titleTrack);
    lines_.SkipPast(HeadingOf(SectionId::MainAV));
    for (const SectionRule& rule : sectionTable) {
      if (rule.id == SectionId::Header || rule.id == SectionId::End || !source_.Has(rule.id))
        continue;
      if (rule.id != SectionId::MainAV) lines_.ReadHeading(rule.heading);
      WriteSection(rule);
    }
    return std::move(warnings_);
  }

 private:
  // A project given where the text belongs starts with its binary header.
  void CheckIsText() const {
    if (text_.substr(0, 16).find('\0') == std::string_view::npos) return;
    throw RunFailure(FailedInput::Text,
                     std::string(Tr("it starts with binary bytes, as a project does, so it is not "
                                    "a text exchange file. Give the project (.mpj) first and the "
                                    "text second: to-project PROJECT.mpj TEXT.txt NEW.mpj.")));
  }

  // Lines the text has in a section for the source's records.
  std::size_t ExpectedLines(SectionId id) const {
    std::size_t lines = 0;
    source_.VisitSection(id, [&lines](const auto& list) { lines = LinesOf(list); });
    return lines;
  }
  static std::size_t LinesOf(const RecordList<TitleRecord>& titles) {
    std::size_t lines = 0;
    for (const TitleRecord& title : titles.records) lines += 1 + title.elements.size();
    return lines;
  }
  template <class List>
  static std::size_t LinesOf(const List& list) {
    using Record = typename List::Record;
    constexpr bool copied = std::is_same_v<Record, EffectRecord> ||
                            std::is_same_v<Record, TrackFilterRecord> ||
                            std::is_same_v<Record, AudioFilterRecord>;
    return copied ? 0 : list.size();
  }

  struct SectionSeen {
    int headingLine = 0;  ///< 0 when the text has no such heading
    bool repeated = false;
    std::size_t lines = 0;
    int firstExtraLine = 0;  ///< the first line beyond what the project has
    int endLine = 0;         ///< the heading after the section; 0 when the text ends in it
  };

  // Reads the whole text once before anything is written: a text made from another project
  // (its header or its counts differ) is told as such, with the evidence, rather than as a
  // single line out of place. Lines out of order are left to the reading that follows.
  void CompareWithProject() const {
    TextReader reader(text_, IsSectionHeading);
    const std::vector<std::string> header = HeaderLines(source_);
    std::vector<std::string> evidence;
    // The header's evidence said as "this text's header has...", for when it is all there is.
    std::vector<std::string> headerClauses;
    bool headerDiffers = false;
    int firstLine = 0;
    const auto note = [&](int line, std::string what) {
      if (firstLine == 0) firstLine = line;
      evidence.push_back(std::move(what));
    };
    const auto noteHeader = [&](int line, std::string what, std::string clause) {
      note(line, std::move(what));
      headerClauses.push_back(std::move(clause));
    };
    std::array<SectionSeen, sectionTable.size()> seen{};
    std::optional<SectionId> current;
    bool inRecords = false;
    int misspelt = 0;  // a line before [MainAV] that looks like a heading but is none
    while (const auto line = reader.ReadTextLine()) {
      if (LooksLikeHeading(*line) && !HeadingId(*line)) {
        if (inRecords) FailNotAHeading(*line, reader.LineNumber());
        if (misspelt == 0) misspelt = reader.LineNumber();
      }
      if (const auto id = HeadingId(*line)) {
        if (current && seen[static_cast<std::size_t>(*current)].endLine == 0)
          seen[static_cast<std::size_t>(*current)].endLine = reader.LineNumber();
        inRecords = inRecords || *id == SectionId::MainAV;
        if (!inRecords) continue;
        SectionSeen& section = seen[static_cast<std::size_t>(*id)];
        section.repeated = section.headingLine != 0;
        if (!section.repeated) section.headingLine = reader.LineNumber();
        if (!source_.Has(*id))
          note(reader.LineNumber(),
               Say("it has the section {0}, which the project has not", RuleOf(*id).heading));
        current = id;
        if (*id == SectionId::Option || *id == SectionId::End) break;
      } else if (!inRecords) {
        if (CompareHeaderLine(*line, header, reader.LineNumber(), noteHeader)) headerDiffers = true;
      } else if (current) {
        SectionSeen& section = seen[static_cast<std::size_t>(*current)];
        if (section.lines++ == ExpectedLines(*current))
          section.firstExtraLine = reader.LineNumber();
      }
    }
    if (!inRecords && misspelt != 0) FailNotAHeading(LineAt(misspelt), misspelt);
    const std::size_t headerEvidence = evidence.size();
    int countsDiffer = 0;
    bool more = false;
    for (const SectionRule& rule : sectionTable) {
      const SectionSeen& section = seen[static_cast<std::size_t>(rule.id)];
      if (!source_.Has(rule.id) || section.headingLine == 0 || section.repeated ||
          section.endLine == 0)
        continue;
      const std::size_t expected = ExpectedLines(rule.id);
      if (section.lines == expected) continue;
      ++countsDiffer;
      more = section.lines > expected;
      note(section.lines > expected ? section.firstExtraLine : section.endLine,
           SayN(section.lines, "{0} has {1} line where the project has {2}",
                "{0} has {1} lines where the project has {2}", rule.heading, section.lines,
                expected));
    }
    if (evidence.empty()) return;
    std::string detail;
    if (headerDiffers && evidence.size() == headerEvidence) {
      detail = evidence.size() > 1
                   // TRANSLATORS: {1} says what differs, as "this text's header has Version=2 where
                   // the project has Version=1".
                   ? Say("line {0}: the header cannot be edited (it always comes from the "
                         "project), but {1}; and more. Put back the project's value, or convert "
                         "the text with the project it was made from.",
                         firstLine, headerClauses.front())
                   : Say("line {0}: the header cannot be edited (it always comes from the "
                         "project), but {1}. Put back the project's value, or convert the text "
                         "with the project it was made from.",
                         firstLine, headerClauses.front());
    } else if (!headerDiffers && evidence.size() == 1 && countsDiffer == 1) {
      // TRANSLATORS: {1} is what differs, as "[MainAV] has 3 lines where the project has 2".
      detail = more ? Say("line {0}: {1}: a line was added, or this text was made from another "
                          "project. Keep one line per record (a title has its position line and "
                          "one line per element).",
                          firstLine, evidence.front())
                    : Say("line {0}: {1}: a line was deleted, or this text was made from another "
                          "project. Keep one line per record (a title has its position line and "
                          "one line per element).",
                          firstLine, evidence.front());
    } else {
      std::string listed;
      for (std::size_t i = 0; i < evidence.size() && i < 4; ++i)
        listed += (i > 0 ? "; " : "") + evidence[i];
      detail = evidence.size() > 4
                   // TRANSLATORS: {1} lists what differs, each part after a semicolon.
                   ? Say("line {0}: this text was made from another project: {1}; and more. "
                         "Convert it with the project it was made from (the header and the "
                         "number of lines always come from the project).",
                         firstLine, listed)
                   : Say("line {0}: this text was made from another project: {1}. Convert it "
                         "with the project it was made from (the header and the number of lines "
                         "always come from the project).",
                         firstLine, listed);
    }
    throw RunFailure(FailedInput::Text, detail);
  }

  // A line in brackets is meant as a heading: no record line has that shape.
  static bool LooksLikeHeading(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
  }

  std::string_view LineAt(int number) const {
    TextReader reader(text_);
    while (const auto line = reader.ReadTextLine())
      if (reader.LineNumber() == number) return *line;
    return {};
  }

  // A misspelt heading would otherwise be counted as a record line of the section before it.
  [[noreturn]] void FailNotAHeading(std::string_view line, int number) const {
    std::string headings;
    for (const SectionRule& rule : sectionTable)
      if (source_.Has(rule.id))
        headings += (headings.empty() ? "" : ", ") + std::string(rule.heading);
    FailAt(number, Say("\"{0}\" is not a heading. The text must have the headings {1}, in "
                       "this order, each on a line of its own (any case).",
                       Printable(line), headings));
  }

  // A "Key=value" line of [Header] that names a header field must say what the project
  // says; other lines are for people and are not read. True when it differs.
  template <class Note>
  static bool CompareHeaderLine(std::string_view line, const std::vector<std::string>& header,
                                int number, const Note& note) {
    constexpr std::string_view keys[] = {"Version", "Frequency", "AspectRatio", "TitleTrack"};
    const std::string_view key = line.substr(0, line.find('='));
    if (key.size() == line.size()) return false;
    if (std::none_of(std::begin(keys), std::end(keys),
                     [key](std::string_view known) { return EqualsIgnoreCase(key, known); }))
      return false;
    for (const std::string& expected : header) {
      if (!EqualsIgnoreCase(std::string_view(expected).substr(0, expected.find('=')), key))
        continue;
      if (EqualsIgnoreCase(line, expected)) return false;
      note(number, Say("its header has {0} where the project has {1}", Printable(line), expected),
           Say("this text's header has {0} where the project has {1}", Printable(line), expected));
      return true;
    }
    note(number, Say("its header has {0}, which the project has not", Printable(line)),
         Say("this text's header has {0}, which the project has not", Printable(line)));
    return true;
  }

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
    for (int i = 0; i < count; ++i) {
      const std::string_view line = lines_.ReadRecordLine(rule.heading, i, count);
      try {
        writeLine(line, static_cast<std::size_t>(i));
      } catch (const FieldError& error) {
        Fail(error.what());
      }
    }
  }

  [[noreturn]] void Fail(const std::string& detail) const { FailAt(lines_.LineNumber(), detail); }

  [[noreturn]] static void FailAt(int line, const std::string& detail) {
    throw RunFailure(FailedInput::Text, Say("line {0}: {1}", line, detail));
  }

  // A text taken from a line must fit a counted string; a name, the one-byte length the
  // format's readers take.
  void CheckLength(std::string_view field, std::string_view what, bool name) const {
    if (name && field.size() > longestName)
      Fail(
          // TRANSLATORS: {0} names the field, as "the name" or "the label".
          Say("{0} \"{1}\" is {2} bytes long; a project holds names of up to {3} bytes (as "
              "Shift-JIS).",
              Tr(what), Printable(field), field.size(), longestName));
    if (field.size() > maxCountedStringLength)
      Fail(Say("a text of {0} bytes is longer than a project can hold (65535 bytes).",
               field.size()));
  }

  // A clip lasts out - in + 1 frames; an out typed before the in would play backwards. A
  // project that already holds such a clip keeps it while the line keeps its in and out.
  template <class Clip>
  void CheckInOut(const Clip& clip, const Clip& stored) const {
    const std::int32_t in = clip.in;
    const std::int32_t out = clip.out;
    if (out < in && (in != stored.in || out != stored.out))
      Fail(
          Say("out={0} falls before in={1}: a clip lasts from its in to its out frame, so out "
              "must not be less than in.",
              out, in));
  }

  // An effect stores the length its clip keeps on the timeline; the transition after the
  // clip plays the rest of the clip. Refuses main clip edits that leave the transition a
  // negative length or one longer than the clip it leads into; warns when it changes. What
  // the project already held passes: only a change is the edit's doing.
  void CheckTransitions() {
    const auto count = mainSpans_.size();
    for (const EffectRecord& effect : source_.effects.records) {
      if (effect.clipIndex < 0 || static_cast<std::size_t>(effect.clipIndex) >= count) continue;
      const auto i = static_cast<std::size_t>(effect.clipIndex);
      const bool hasNext = i + 1 < count;
      const ClipSpan& clip = mainSpans_[i];
      if (!clip.edited && !(hasNext && mainSpans_[i + 1].edited)) continue;
      const ClipRecord& stored = source_.main.records[i];
      const std::int64_t was = Span(stored.in, stored.out) - effect.clipLength;
      const std::int64_t span = Span(clip.in, clip.out);
      const std::int64_t length = span - effect.clipLength;
      const std::string_view what =
          TransitionCode(effect.name) == 'D' ? Tr("the dissolve") : Tr("the transition");
      // TRANSLATORS: {1} is "the dissolve" or "the transition".
      const std::string lengths = Say("the clip now lasts {0}, the project places {1} after {2}",
                                      span, what, effect.clipLength);
      if (length < 0 && length != was)
        // TRANSLATORS: {0} is "the dissolve" or "the transition"; {2} says the lengths, as "the
        // clip now lasts 20, the project places the dissolve after 15".
        FailAt(clip.line,
               SayN(effect.clipLength,
                    "{0} after this clip would last {1} frames: {2}. Keep the clip at least {3} "
                    "frame long; transitions are changed in the editor.",
                    "{0} after this clip would last {1} frames: {2}. Keep the clip at least {3} "
                    "frames long; transitions are changed in the editor.",
                    what, length, lengths, effect.clipLength));
      if (hasNext) {
        const ClipSpan& next = mainSpans_[i + 1];
        const ClipRecord& storedNext = source_.main.records[i + 1];
        const std::int64_t nextSpan = Span(next.in, next.out);
        const bool nextChanged = nextSpan != Span(storedNext.in, storedNext.out);
        if (length > nextSpan && (length != was || nextChanged))
          FailAt(length != was ? clip.line : next.line,
                 SayN(length,
                      "{0} after this clip would last {1} frame, longer than the clip after it "
                      "(line {2}), which lasts {3}: {4}. Keep the transition within the clip "
                      "after it; transitions are changed in the editor.",
                      "{0} after this clip would last {1} frames, longer than the clip after it "
                      "(line {2}), which lasts {3}: {4}. Keep the transition within the clip "
                      "after it; transitions are changed in the editor.",
                      what, length, next.line, nextSpan, lengths));
      }
      if (length != was)
        warnings_.push_back(
            SayN(length, "line {0}: {1} after this clip now lasts {2} frame instead of {3} ({4}).",
                 "line {0}: {1} after this clip now lasts {2} frames instead of {3} ({4}).",
                 clip.line, what, length, was, lengths));
    }
  }

  static std::int64_t Span(std::int32_t in, std::int32_t out) { return std::int64_t{out} - in + 1; }

  // A still's or colour clip's in and out keep 24 bits and a sign marker; a value typed
  // beyond that would be stored as another one.
  void CheckMarkedRange(const ClipRecord& clip) const {
    constexpr std::int32_t lowest = -markedRange;
    constexpr std::int32_t highest = markedRange - 1;
    for (const auto& [key, value] : {std::pair{"in", clip.in}, std::pair{"out", clip.out}}) {
      if (value >= lowest && value <= highest) continue;
      Fail(
          Say("{0}={1} of a still or colour clip is outside what a project can hold "
              "(-16777216 to 16777215).",
              key, value));
    }
  }

  // The record as the text shows it: the stored one, or with UTF-8 a decoded copy.
  template <class Record>
  const Record& Shown(const Record& stored, Record& decoded) const {
    if (!utf8_) return stored;
    decoded = stored;
    DecodeShown(stored, decoded);
    return decoded;
  }

  // What a text field of an edited line puts into the project. A field that reads as the
  // source's keeps the source's bytes: some Shift-JIS pairs decode to characters that encode
  // back to other bytes.
  std::string Stored(std::string field, std::string_view stored, std::string_view shown,
                     std::string_view what, bool name = true) const {
    if (field == shown) return std::string(stored);
    if (utf8_) {
      if (!IsValidUtf8(field))
        Fail(
            // TRANSLATORS: {0} names the field, as "the name" or "the label"; {1} is its text.
            Say("{0} \"{1}\" is not valid UTF-8. Save the text as UTF-8, or convert it with the "
                "default encoding (Shift-JIS).",
                Tr(what), Printable(field)));
      auto bytes = EncodeShiftJis(field);
      if (!bytes)
        // TRANSLATORS: {2} names a character, as ""♥" (U+2665)".
        Fail(Say("{0} \"{1}\" holds {2}, which Shift-JIS cannot hold; a project stores its "
                 "names in Shift-JIS.",
                 Tr(what), Printable(field), FirstUnencodable(field)) +
             OtherTableAdvice(field));
      field = std::move(*bytes);
    } else if (IsValidUtf8(field) &&
               (!IsValidShiftJis(field) || DecodeShiftJis(stored).utf8 == field)) {
      // Some UTF-8 is valid Shift-JIS too; the source's own text in UTF-8 gives it away.
      Fail(
          Say("{0} \"{1}\" is UTF-8, not Shift-JIS: the text was saved as UTF-8. Convert it "
              "with the UTF-8 encoding (--encoding utf-8), or save it as Shift-JIS.",
              Tr(what), Printable(field)));
    }
    CheckLength(field, what, name);  // as stored: UTF-8 takes more bytes than Shift-JIS
    return field;
  }

  // A line as the to-text run wrote it gives back the source record's own bytes: only an
  // edited line is read, so a field nobody touched passes whatever it holds.
  void WriteClip(std::string_view line, const RecordList<ClipRecord>& list, std::size_t i,
                 VideoTrack track) {
    const ClipRecord& stored = list.records[i];
    ClipRecord decoded;
    const ClipRecord& shown = Shown(stored, decoded);
    const bool main = track == VideoTrack::Main;
    if (IsLineOf(line, FormatClipLine(shown, track))) {
      if (main) mainSpans_.push_back({stored.in, stored.out, lines_.LineNumber(), false});
      out_.WriteText(list.bytes[i]);
      return;
    }
    auto clip = ParseClipLine(line, track, &shown);
    if (!clip)
      Fail(std::string(
          Tr("the kind of clip cannot be told from its name (it must end in \"avi\", a "
             "still-image ending or \"clr\", or the line must start with \"ColorClip\").")));
    clip->name = Stored(std::move(clip->name), stored.name, shown.name, ToTranslate("the name"));
    if (ClipKindOf(clip->name) != clip->kind)
      Fail(
          Say("the name \"{0}\" ends otherwise in Shift-JIS than in the text, so its kind of "
              "clip changes; choose another name.",
              Printable(clip->name)));
    if (clip->kind != ClipKind::Movie) {
      clip->stillInfo = Stored(std::move(clip->stillInfo), stored.stillInfo, shown.stillInfo,
                               ToTranslate("the still information"));
      CheckMarkedRange(*clip);
    }
    CheckInOut(*clip, stored);
    if (main) mainSpans_.push_back({clip->in, clip->out, lines_.LineNumber(), true});
    WalkClipRecord(walker_, *clip, track);
  }

  void WriteExAudio(std::string_view line, const RecordList<ExAudioClip>& list, std::size_t i) {
    const ExAudioClip& stored = list.records[i];
    ExAudioClip decoded;
    const ExAudioClip& shown = Shown(stored, decoded);
    if (IsLineOf(line, FormatExAudioLine(shown))) {
      out_.WriteText(list.bytes[i]);
      return;
    }
    ExAudioClip clip = ParseExAudioLine(line);
    clip.name = Stored(std::move(clip.name), stored.name, shown.name, ToTranslate("the name"));
    CheckInOut(clip, stored);
    WalkExAudioClip(walker_, clip);
  }

  void WriteBinItem(std::string_view line, std::size_t i) {
    const BinItem& stored = source_.bin.records[i];
    BinItem decoded;
    const BinItem& shown = Shown(stored, decoded);
    if (IsLineOf(line, FormatBinLine(shown))) {
      out_.WriteText(source_.bin.bytes[i]);
      return;
    }
    BinItem item = ParseBinLine(line, &shown);
    item.label = Stored(std::move(item.label), stored.label, shown.label, ToTranslate("the label"));
    item.file = Stored(std::move(item.file), stored.file, shown.file, ToTranslate("the file name"));
    WalkBinItem(walker_, item);
  }

  // Texts, fonts and sizes come from the lines; everything else of a title from the source.
  void WriteTitles(const SectionRule& rule) {
    WriteCount(rule, source_.titles);
    const int count = static_cast<int>(source_.titles.size());
    const bool extended = source_.TitlesExtended();
    for (int i = 0; i < count; ++i) {
      const std::string_view position = lines_.ReadRecordLine(rule.heading, i, count);
      // The position always comes from the source; the line only has to be in its place.
      if (!IsTitlePositionLine(position))
        Fail(
            Say("\"{0}\" stands where the position line of title {1} (begin=N) belongs. Keep one "
                "position line per title, then one line per element.",
                Printable(position), i + 1));
      const auto index = static_cast<std::size_t>(i);
      TitleRecord title = source_.titles.records[index];
      const bool withValues = title.ElementsHaveValues(extended);
      bool edited = false;
      for (TitleElement& element : title.elements) {
        const std::string_view line = lines_.ReadRecordLine(rule.heading, i, count);
        TitleElement decoded;
        const TitleElement& shown = Shown(element, decoded);
        if (IsLineOf(line, FormatTitleElementLine(shown, withValues))) continue;
        edited = true;
        try {
          TitleElementLine parsed = ParseTitleElementLine(line, withValues);
          element.text = Stored(std::move(parsed.text), element.text, shown.text,
                                ToTranslate("the text"), false);
          element.fontName = Stored(std::move(parsed.fontName), element.fontName, shown.fontName,
                                    ToTranslate("the font name"));
          element.fontSize = parsed.fontSize;
        } catch (const FieldError& error) {
          Fail(error.what());
        }
      }
      if (edited)
        WalkTitleRecord(walker_, title, extended);
      else
        out_.WriteText(source_.titles.bytes[index]);
    }
  }

  void WriteSection(const SectionRule& rule) {
    if (rule.id == SectionId::Option) return out_.WriteText(source_.option);
    source_.VisitSection(rule.id, [this, &rule](const auto& list) { WriteList(rule, list); });
  }

  void WriteList(const SectionRule& rule, const RecordList<ClipRecord>& clips) {
    const VideoTrack track = TrackOf(rule.id);
    WriteLines(rule, clips, [this, &clips, track](std::string_view line, std::size_t i) {
      WriteClip(line, clips, i, track);
    });
    if (track == VideoTrack::Main) CheckTransitions();
  }
  void WriteList(const SectionRule& rule, const RecordList<ExAudioClip>& clips) {
    WriteLines(rule, clips, [this, &clips](std::string_view line, std::size_t i) {
      WriteExAudio(line, clips, i);
    });
  }
  void WriteList(const SectionRule& rule, const RecordList<TitleRecord>&) { WriteTitles(rule); }
  void WriteList(const SectionRule& rule, const RecordList<BinItem>& bin) {
    WriteLines(rule, bin, [this](std::string_view line, std::size_t i) { WriteBinItem(line, i); });
  }
  // Effects and filters have no lines: they are copied from the source.
  template <class List>
  void WriteList(const SectionRule& rule, const List& list) {
    CopyRecords(rule, list);
  }

  const Project& source_;
  std::string_view text_;
  TextReader lines_;
  bool utf8_;
  ByteWriter& out_;
  WriteWalker walker_;
  /// The main clips as the new project has them, for the transitions that follow them.
  struct ClipSpan {
    std::int32_t in = 0;
    std::int32_t out = 0;
    int line = 0;
    bool edited = false;
  };
  std::vector<ClipSpan> mainSpans_;
  std::vector<std::string> warnings_;
};

}  // namespace

std::vector<std::string> WriteEditedProject(const Project& source, std::string_view text,
                                            const ToProjectOptions& options,
                                            ByteWriter& destination) {
  // A byte-order mark is written only by editors saving UTF-8, whatever the option says.
  const bool marked = text.starts_with(byteOrderMark);
  if (marked) text.remove_prefix(byteOrderMark.size());
  const bool utf8 = marked || options.encoding == TextEncoding::Utf8;
  std::vector<std::string> warnings = ProjectWriter(source, text, utf8, destination).WriteAll();
  if (auto edl = EdlEditsWarning(source, text, utf8)) warnings.push_back(std::move(*edl));
  return warnings;
}

WalkSummary TextToProject(std::span<const std::uint8_t> source, std::string_view text,
                          const ToProjectOptions& options, ByteWriter& destination,
                          RunObserver& observer) {
  RunProgress progress(observer);
  std::optional<Project> project;
  try {
    project = ReadProject(source, {options.software, toProjectReading}, progress);
  } catch (const RunFailure&) {
    if (LooksLikeText(source))
      throw RunFailure(FailedInput::Project, std::string(Tr(textGivenAsProject)));
    throw;
  }
  std::vector<std::string> warnings = WriteEditedProject(*project, text, options, destination);
  observer.Status("");
  return {project->unreadBytes, std::move(warnings)};
}

}  // namespace pexol
