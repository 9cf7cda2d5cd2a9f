// sections/TitleSection.cpp - title records to escaped lines and back
#include "sections/TitleSection.h"

#include "core/ProjectHeader.h"
#include "core/TextScanner.h"
#include "sections/EffectSection.h"

namespace pexol {

namespace {

constexpr int titleShare = 60;
constexpr std::string_view fontSizeKey = "fontsize=";
constexpr int middleDwords = 9;
// Three dwords, a byte, six blocks of dwords each closed by a word, five dwords.
constexpr std::uint64_t tailBlockDwords = 22 + 18 + 28 + 18 + 29 + 18;
constexpr std::uint64_t elementTailBytes = 3 * 4 + 1 + tailBlockDwords * 4 + 6 * 2 + 5 * 4;

std::string ReadElementText(ByteReader& project) {
  std::size_t length = project.ReadByte();
  if (length == 255) length = project.ReadWord();
  return project.ReadChars(length);
}

TitleElement ReadTitleElement(ByteReader& project, bool withValue) {
  TitleElement element;
  element.hasValue = withValue;
  std::size_t start = project.Offset();
  if (withValue) element.elementValue = static_cast<std::uint32_t>(project.ReadDword());
  element.valueBytes = project.BytesSince(start);
  element.text = ReadElementText(project);
  start = project.Offset();
  project.Skip(middleDwords * 4);
  element.middleBytes = project.BytesSince(start);
  element.fontName = project.ReadCountedString();
  element.fontSize = project.ReadDword();
  start = project.Offset();
  project.Skip(elementTailBytes);
  element.tailBytes = project.BytesSince(start);
  return element;
}

std::string FormatElementLine(const TitleElement& element) {
  std::string line;
  if (element.hasValue) line += "," + std::to_string(element.elementValue);
  line += ",\"" + EscapeQuoted(element.text) + "\"";
  // Font names are escaped too, so that every name reads back as stored.
  line += ",\"" + EscapeQuoted(element.fontName) + "\"";
  line += "," + std::string(fontSizeKey) + std::to_string(element.fontSize) + "\r\n";
  return line;
}

}  // namespace

TitleRecord ReadTitleRecord(ByteReader& project, bool extended) {
  TitleRecord title;
  title.extended = extended;
  const std::size_t start = project.Offset();
  title.begin = project.ReadDword();
  project.ReadDword();
  project.ReadDword();
  project.ReadCountedString();
  SkipWordBlock(project, project.ReadDword());
  project.ReadDword();
  project.ReadCountedString();
  SkipWordBlock(project, project.ReadDword());
  std::uint16_t elementKind = 0;
  if (extended) {
    elementKind = project.ReadWord();
    project.ReadWord();
    title.titleValue = static_cast<std::uint32_t>(project.ReadDword());
  }
  const std::int32_t elementCount = project.ReadDword();
  title.headBytes = project.BytesSince(start);
  const bool withValues = extended && elementKind != elementKindWithoutValues;
  for (std::int32_t i = 0; i < elementCount; ++i)
    title.elements.push_back(ReadTitleElement(project, withValues));
  const std::size_t closing = project.Offset();
  project.ReadCountedString();
  title.closingBytes = project.BytesSince(closing);
  return title;
}

void DumpTitleSection(ToTextRun& run, std::int32_t count) {
  SectionProgress progress(run.progress, "[Title]", count, titleShare);
  const bool extended = HasTitleExtension(run.version, run.software);
  for (std::int32_t i = 0; i < count; ++i) {
    const TitleRecord title = ReadTitleRecord(run.project, extended);
    std::string position = "begin=" + std::to_string(title.begin);
    if (extended) position += "," + std::to_string(title.titleValue);
    run.text.WriteText(position + ",\r\n");
    for (const TitleElement& element : title.elements)
      run.text.WriteText(FormatElementLine(element));
    progress.RecordDone(i);
  }
}

void ParseTitleSection(ToProjectRun& run, std::int32_t count) {
  run.text.ReadHeading("[Title]");
  run.destination.WriteDword(static_cast<std::uint32_t>(count));
  SectionProgress progress(run.progress, "[Title]", count, titleShare);
  const bool extended = HasTitleExtension(run.version, run.software);
  for (std::int32_t i = 0; i < count; ++i) {
    run.text.ReadRecordLine("[Title]", i, count);  // the position always comes from the source
    const TitleRecord title = ReadTitleRecord(run.source, extended);
    run.destination.WriteText(title.headBytes);
    for (const TitleElement& element : title.elements) {
      const std::string_view line = run.text.ReadRecordLine("[Title]", i, count);
      int field = element.hasValue ? 2 : 1;
      run.destination.WriteText(element.valueBytes);
      run.WriteTextField(GetField(line, field++));
      run.destination.WriteText(element.middleBytes);
      run.WriteTextField(GetField(line, field++));
      run.destination.WriteDword(static_cast<std::uint32_t>(
          ParseNumber(After(GetField(line, field), fontSizeKey.size()))));
      run.destination.WriteText(element.tailBytes);
    }
    run.destination.WriteText(title.closingBytes);
    progress.RecordDone(i);
  }
}

}  // namespace pexol
