// sections/BinItem.cpp - bin window lines in both directions
#include "sections/BinItem.h"

#include "core/TextScanner.h"
#include "sections/ClipKind.h"
#include "sections/ClipRecord.h"

namespace pexol {

namespace {

constexpr std::string_view audioKey = "audio=";

std::string InOut(std::int32_t in, std::int32_t out) {
  return std::string(inKey) + std::to_string(in) + "," + std::string(outKey) + std::to_string(out);
}

}  // namespace

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
  FieldReader fields(line);
  if (IsColourLine(line)) {
    std::string colour[7];
    for (int i = 0; i < 6; ++i) colour[i] = fields.Next();
    item.label = item.file = ColourClipName(colour, false);
    item.in = fields.Number(inKey);
    item.out = fields.Number(outKey);
    return item;
  }
  item.label = fields.Next();
  item.file = fields.Next();
  item.in = fields.Number(inKey);
  item.out = fields.Number(outKey);
  if (!IsStillImageName(item.file)) {
    const std::string audio = fields.Next();
    item.audioRate = ParseNumber(After(audio, audioKey.size()));
    const std::size_t hz = audio.find("Hz", audioKey.size());
    if (hz != std::string::npos) item.audioBits = ParseNumber(After(audio, hz + 2));
  }
  return item;
}

}  // namespace pexol
