// tools/builder/ProjectBuilder.cpp - lays a project description out as project file bytes
#include "tools/builder/ProjectBuilder.h"

#include <algorithm>

#include "tools/builder/ClipKind.h"

namespace pexol::build {
namespace {

constexpr std::uint16_t versionWithEffects = 0x200;
constexpr std::uint16_t versionWithAspectRatio = 0x205;
constexpr std::uint16_t versionWithTitleTrack = 0x207;  // also filters and the title extension
constexpr std::uint16_t elementKindWithoutValue = 0x300;
constexpr std::uint8_t markerNegative = 31;
constexpr std::uint8_t markerPositive = 32;

std::int32_t CountOf(std::size_t size) {
  return static_cast<std::int32_t>(size);
}

void WriteMarkedIn(Bytes& out, std::int32_t in) {
  const auto raw = static_cast<std::uint32_t>(in);
  if (in < 0)
    out.Triple(raw + 0x1000000u).Byte(markerNegative);
  else if (in > 0)
    out.Triple(raw).Byte(markerPositive);
  else
    out.Dword(0);
}

void WriteMarkedOut(Bytes& out, std::int32_t in, std::int32_t value) {
  const auto raw = static_cast<std::uint32_t>(value);
  if (value < 0)
    out.Triple(raw + 0x1000000u).Byte(markerNegative);
  else if (in != 0)
    out.Triple(raw).Byte(markerPositive);  // the form follows in, not out
  else
    out.Dword(value);
}

void WriteLevels(Bytes& out, std::uint16_t levelIn, std::uint16_t levelOut,
                 const std::vector<LevelPoint>& points) {
  out.Dword(CountOf(points.size())).Word(levelIn).Word(levelOut);
  for (const LevelPoint& p : points) out.Dword(p.position).Word(p.level);
}

void WriteClip(Bytes& out, const Clip& clip, bool insert) {
  out.Str(clip.name);
  switch (detail::KindOfName(clip.name)) {
    case detail::ClipKind::Movie:
      out.Dword(clip.in).Dword(clip.out);
      if (insert) out.Dword(clip.begin);
      break;
    case detail::ClipKind::Still:
    case detail::ClipKind::Color:
      WriteMarkedIn(out, clip.in);
      WriteMarkedOut(out, clip.in, clip.out);
      if (insert) out.Dword(clip.begin);
      out.Str(clip.stillInfo);
      break;
    case detail::ClipKind::Unknown:
      return;  // no layout is known past the name
  }
  WriteLevels(out, clip.levelIn, clip.levelOut, clip.points);
}

void WriteExAudioTrack(Bytes& out, const std::vector<ExAudioClip>& clips) {
  out.Dword(CountOf(clips.size()));
  for (const ExAudioClip& c : clips) {
    out.Str(c.name).Dword(c.in).Dword(c.out).Dword(c.begin);
    WriteLevels(out, c.levelIn, c.levelOut, c.points);
  }
}

void WriteWords(Bytes& out, std::int32_t byteCount, const std::vector<std::int32_t>& words) {
  out.Dword(byteCount);
  for (std::int32_t w : words) out.Dword(w);
}

void WriteEffect(Bytes& out, const Effect& e) {
  out.Dword(e.clipIndex).Dword(e.clipLength).Dword(e.value3).Word(e.value4).Str(e.name);
  for (std::int32_t v : e.values) out.Dword(v);
  WriteWords(out, e.parameterBytes, e.words);
  out.Str(e.tail);
}

// The opaque tail of an element: six blocks of i32 closed by a u16, then five i32.
void WriteElementFill(Bytes& out, std::uint32_t fill) {
  std::uint32_t state = fill * 2654435761u + 1;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state;
  };
  for (int words : {22, 18, 28, 18, 29, 18}) {
    for (int i = 0; i < words; ++i) out.Dword(next());
    out.Word(static_cast<std::uint16_t>(next() >> 16));
  }
  for (int i = 0; i < 5; ++i) out.Dword(next());
}

void WriteTitle(Bytes& out, const Title& t, bool extension) {
  out.Dword(t.begin).Dword(t.value2).Dword(t.value3).Str(t.str4);
  WriteWords(out, t.block1Bytes, t.block1);
  out.Dword(t.value7).Str(t.str8);
  WriteWords(out, t.block2Bytes, t.block2);
  if (extension) out.Word(t.elementKind).Word(t.value12).Dword(t.titleValue);
  out.Dword(CountOf(t.elements.size()));
  for (const TitleElement& e : t.elements) {
    if (extension && t.elementKind != elementKindWithoutValue) out.Dword(e.elementValue);
    out.Str(e.text);
    for (std::int32_t v : e.values) out.Dword(v);
    out.Str(e.fontName).Dword(e.fontSize);
    for (std::int32_t v : e.more) out.Dword(v);
    out.Byte(e.flag);
    WriteElementFill(out, e.fill);
  }
  out.Str(t.tail);
}

void WriteFilterList(Bytes& out, const std::vector<FilterBlock>& filters) {
  out.Dword(CountOf(filters.size()));
  for (const FilterBlock& f : filters) out.Str(f.name).Dword(CountOf(f.data.size())).Raw(f.data);
}

void WriteTrackFilter(Bytes& out, const TrackFilter& f) {
  out.Dword(f.hasBlock1).Dword(f.hasBlock2).Dword(f.hasBlock3);
  out.Dword(f.slow).Dword(f.value5).Dword(f.value6);
  if (f.hasBlock1 == 1) {
    out.Dword(f.block1Size.value_or(static_cast<std::uint32_t>(f.block1.size() + 4)));
    out.Raw(f.block1);
  }
  if (f.hasBlock2 == 1) out.Dword(f.block2Value).Dword(CountOf(f.block2.size())).Raw(f.block2);
  if (f.hasBlock3 == 1) out.Dword(CountOf(f.block3.size())).Raw(f.block3);
  WriteFilterList(out, f.first);
  WriteFilterList(out, f.second);
}

// One record per clip: missing entries are empty records, surplus entries are dropped.
template <class Record, class WriteOne>
void WriteFilterBlock(Bytes& out, const std::vector<Record>& records, std::size_t clipCount,
                      WriteOne writeOne) {
  const Record empty{};
  for (std::size_t i = 0; i < clipCount; ++i)
    writeOne(out, i < records.size() ? records[i] : empty);
}

void WriteHeader(Bytes& out, const Project& p) {
  out.Word(p.version).Word(p.reserved);
  out.Dword(p.binClipCountOverride.value_or(CountOf(p.bin.size())));
  out.Dword(p.mainClipCountOverride.value_or(CountOf(p.main.size())));
  out.Dword(p.audioFrequency);
  if (p.version >= versionWithAspectRatio) out.Dword(p.aspectRatio);
  if (p.version >= versionWithTitleTrack && p.software == Software::CorvaneBrisko)
    out.Dword(p.titleTrack);
}

}  // namespace

std::string BuildProject(const Project& p) {
  Bytes out;
  WriteHeader(out, p);
  for (const Clip& c : p.main) WriteClip(out, c, false);
  const bool tracks = !p.main.empty();
  if (tracks) {
    out.Dword(CountOf(p.insert.size()));
    for (const Clip& c : p.insert) WriteClip(out, c, true);
    WriteExAudioTrack(out, p.exAudio1);
    WriteExAudioTrack(out, p.exAudio2);
    if (p.version >= versionWithEffects) {
      out.Dword(CountOf(p.effects.size()));
      for (const Effect& e : p.effects) WriteEffect(out, e);
      const bool extension = p.version >= versionWithTitleTrack || p.software == Software::Lumetta;
      out.Dword(CountOf(p.titles.size()));
      for (const Title& t : p.titles) WriteTitle(out, t, extension);
    }
  }
  if (p.version >= versionWithTitleTrack && p.software == Software::CorvaneBrisko) {
    // Without a main track the reader takes every other count as 0.
    const auto countOr0 = [tracks](std::size_t n) { return tracks ? n : 0; };
    WriteFilterBlock(out, p.mainFilters, p.main.size(), WriteTrackFilter);
    WriteFilterBlock(out, p.insertFilters, countOr0(p.insert.size()), WriteTrackFilter);
    const auto writeAudio = [](Bytes& o, const AudioFilter& f) { WriteFilterList(o, f.filters); };
    WriteFilterBlock(out, p.exAudio1Filters, countOr0(p.exAudio1.size()), writeAudio);
    WriteFilterBlock(out, p.exAudio2Filters, countOr0(p.exAudio2.size()), writeAudio);
  }
  for (const BinItem& b : p.bin)
    out.Str(b.label).Str(b.file).Dword(b.in).Dword(b.out).Dword(b.audioRate).Dword(b.audioBits);
  for (std::int32_t v : p.options) out.Dword(v);
  out.Str(p.optionText);
  return std::move(out.data);
}

}  // namespace pexol::build
