// sections/BinItem.cpp - bin window lines in both directions
#include "sections/BinItem.h"

#include <algorithm>
#include <cstdint>

#include "core/TextScanner.h"
#include "core/Translation.h"
#include "sections/ClipKind.h"
#include "sections/ClipRecord.h"
#include "sections/SectionTable.h"

namespace pexol {

namespace {

constexpr std::string_view audioKey = "audio=";

std::string InOut(std::int32_t in, std::int32_t out) {
  return std::string(inKey) + std::to_string(in) + "," + std::string(outKey) + std::to_string(out);
}

}  // namespace

bool NamesMediaFile(const BinItem& item) {
  return ClipKindOf(item.file) != ClipKind::Colour;
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

BinItem ParseBinLine(std::string_view line, const BinItem* source) {
  BinItem item;
  if (source) {
    item.audioRate = source->audioRate;
    item.audioBits = source->audioBits;
  }
  FieldReader fields(line);
  if (IsColourLine(line)) {
    fields.SetLayout(
        Say("a colour item line of {0} reads {1}", HeadingOf(SectionId::BinWindow),
            "ColorClip(count=C,direction=D,1st=RRGGBB,2nd=RRGGBB,3rd=RRGGBB,4th=RRGGBB),in=N,"
            "out=N"));
    item.file = ReadColourClipName(fields, false, source ? std::string_view(source->file) : "");
    // The line shows no label: an item labelled with its own name keeps that pairing.
    item.label = source && source->label != source->file ? source->label : item.file;
    item.in = fields.Number(inKey);
    item.out = fields.Number(outKey);
    fields.End();
    return item;
  }
  fields.SetLayout(Say("an item line of {0} reads {1} (without the audio for still images)",
                       HeadingOf(SectionId::BinWindow),
                       "LABEL,FILE,in=N,out=N,audio=RATEHzBITSbit"));
  item.label = fields.Text(ToTranslate("the label"));
  item.file = fields.Text(ToTranslate("the file name"));
  const bool still = source && source->file == item.file
                         ? ClipKindOf(source->file) == ClipKind::Still
                         : IsStillImageName(item.file);
  fields.SetLayout(still ? Say("a still image item line of {0} reads {1}",
                               HeadingOf(SectionId::BinWindow), "LABEL,FILE,in=N,out=N")
                         : Say("an item line of {0} reads {1}", HeadingOf(SectionId::BinWindow),
                               "LABEL,FILE,in=N,out=N,audio=RATEHzBITSbit"));
  item.in = fields.Number(inKey);
  item.out = fields.Number(outKey);
  if (!still) {
    const std::string audio = fields.Key(audioKey);
    const std::string_view text(audio);
    const std::size_t hz = text.find_first_not_of("0123456789", text.starts_with('-'));
    const auto rate = LeadingNumber(text, INT32_MIN, UINT32_MAX);
    const bool hzFollows =
        hz != std::string_view::npos && EqualsIgnoreCase(text.substr(hz, 2), "Hz");
    const std::string_view bitsText = After(text, hz + 2);
    const auto bits = hzFollows ? LeadingNumber(bitsText, INT32_MIN, UINT32_MAX) : std::nullopt;
    const std::string_view unit = AfterNumber(bitsText);
    if (!rate || !bits || !(unit.empty() || EqualsIgnoreCase(unit, "bit")))
      fields.Fail(
          Say("the audio reads {0}, such as {1}", "audio=RATEHzBITSbit", "audio=48000Hz16bit"));
    item.audioRate = static_cast<std::int32_t>(static_cast<std::uint32_t>(*rate));
    item.audioBits = static_cast<std::int32_t>(static_cast<std::uint32_t>(*bits));
  }
  fields.End();
  return item;
}

}  // namespace pexol
