// sections/BinSection.cpp - bin window items to lines and back
#include "sections/BinSection.h"

#include "core/TextScanner.h"
#include "sections/ClipKind.h"

namespace pexol {

namespace {

constexpr int binShare = 6;  // of a to-project run; a to-text run takes no steps here
constexpr std::string_view inKey = "in=";
constexpr std::string_view outKey = "out=";
constexpr std::string_view audioKey = "audio=";

std::string InOut(std::int32_t in, std::int32_t out) {
  return std::string(inKey) + std::to_string(in) + "," + std::string(outKey) + std::to_string(out);
}

}  // namespace

BinItem ReadBinItem(ByteReader& project) {
  BinItem item;
  item.label = project.ReadCountedString();
  item.file = project.ReadCountedString();
  item.in = project.ReadDword();
  item.out = project.ReadDword();
  item.audioRate = project.ReadDword();
  item.audioBits = project.ReadDword();
  return item;
}

void WriteBinItem(ByteWriter& out, const BinItem& item) {
  out.WriteString(item.label);
  out.WriteString(item.file);
  out.WriteDword(static_cast<std::uint32_t>(item.in));
  out.WriteDword(static_cast<std::uint32_t>(item.out));
  out.WriteDword(static_cast<std::uint32_t>(item.audioRate));
  out.WriteDword(static_cast<std::uint32_t>(item.audioBits));
}

std::string FormatBinLine(const BinItem& item) {
  const ClipKind kind = ClipKindOf(item.file);
  if (kind == ClipKind::Colour) {
    const std::string colour = ColourClipText(item.file, false);
    if (!colour.empty()) return colour + "," + InOut(item.in, item.out) + "\r\n";
  }
  const std::string names = NameFieldText(item.label) + "," + FieldText(item.file) + ",";
  if (kind == ClipKind::Still) return names + InOut(item.in, item.out) + "\r\n";
  // Movies, sound files, colour names without the colour form and any other ending.
  return names + InOut(item.in, item.out) + "," + std::string(audioKey) +
         std::to_string(item.audioRate) + "Hz" + std::to_string(item.audioBits) + "bit\r\n";
}

BinItem ParseBinLine(std::string_view line) {
  BinItem item;
  if (IsColourLine(line)) {
    std::string fields[7];
    for (int i = 0; i < 6; ++i) fields[i] = GetField(line, i);
    item.label = item.file = ColourClipName(fields, false);
    item.in = ParseNumber(After(GetField(line, 6), inKey.size()));
    item.out = ParseNumber(After(GetField(line, 7), outKey.size()));
    return item;
  }
  item.label = GetField(line, 0);
  item.file = GetField(line, 1);
  item.in = ParseNumber(After(GetField(line, 2), inKey.size()));
  item.out = ParseNumber(After(GetField(line, 3), outKey.size()));
  if (!IsStillImageName(item.file)) {
    const std::string audio = GetField(line, 4);
    item.audioRate = ParseNumber(After(audio, audioKey.size()));
    const std::size_t hz = audio.find("Hz", audioKey.size());
    if (hz != std::string::npos) item.audioBits = ParseNumber(After(audio, hz + 2));
  }
  return item;
}

void DumpBinSection(ToTextRun& run, std::int32_t count) {
  SectionProgress progress(run.progress, "[BinWindow]", count, 0);
  for (std::int32_t i = 0; i < count; ++i) {
    run.text.WriteText(FormatBinLine(ReadBinItem(run.project)));
    progress.RecordDone(i);
  }
}

void ParseBinSection(ToProjectRun& run, std::int32_t count) {
  run.text.ReadHeading("[BinWindow]");
  SectionProgress progress(run.progress, "[BinWindow]", count, binShare);
  for (std::int32_t i = 0; i < count; ++i) {
    const BinItem item = ParseBinLine(run.text.ReadRecordLine("[BinWindow]", i, count));
    run.CheckFieldLength(item.label);
    run.CheckFieldLength(item.file);
    WriteBinItem(run.destination, item);
    progress.RecordDone(i);
  }
}

void SkipBinRecords(ToProjectRun& run, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    run.progress.At("[BinWindow]", i + 1, count);
    ReadBinItem(run.source);
  }
}

}  // namespace pexol
