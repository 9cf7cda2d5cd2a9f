// tools/builder/ProjectModel.h - plain description of a project file for the builder
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pexol::build {

/// Which application family the bytes are laid out for (the file itself does not say).
enum class Software { CorvaneBrisko = 0, Lumetta = 1 };

/// One point of a level curve.
struct LevelPoint {
  std::int32_t position = 0;
  std::uint16_t level = 0;
};

/// A main or insert track clip. The kind follows from the end of `name`: "avi" (any case)
/// is a movie (plain i32 in/out, no stillInfo); one of the 27 still endings or "clr" is a
/// still or colour clip (marked in/out, then stillInfo); any other name is written alone,
/// as a record of unknown kind.
struct Clip {
  std::string name;
  std::int32_t in = 0, out = 0;
  std::int32_t begin = 0;  ///< insert track only
  std::string stillInfo;   ///< still and colour clips only
  std::uint16_t levelIn = 0, levelOut = 0;
  std::vector<LevelPoint> points;
};

/// A clip of an extra audio track.
struct ExAudioClip {
  std::string name;
  std::int32_t in = 0, out = 0, begin = 0;
  std::uint16_t levelIn = 0, levelOut = 0;
  std::vector<LevelPoint> points;
};

/// A transition effect. `words` are written as given, after `parameterBytes`; a well-formed
/// record has ceil(parameterBytes / 4) of them.
struct Effect {
  std::int32_t clipIndex = 0, clipLength = 0, value3 = 0;
  std::uint16_t value4 = 0;
  std::string name;
  std::array<std::int32_t, 5> values{};
  std::int32_t parameterBytes = 0;
  std::vector<std::int32_t> words;
  std::string tail;
};

/// One text element of a title. The six opaque blocks and the five closing i32 are filled
/// with a pattern derived from `fill`.
struct TitleElement {
  std::uint32_t elementValue = 0;  ///< written only with the extension and elementKind != 0x300
  std::string text;                ///< 255 bytes or more: byte 255 and a 16-bit length
  std::array<std::int32_t, 9> values{};
  std::string fontName;
  std::int32_t fontSize = 0;
  std::array<std::int32_t, 3> more{};
  std::uint8_t flag = 0;
  std::uint32_t fill = 0;
};

/// A title. The extension (elementKind, value12, titleValue) is written when the version
/// is at least 0x207 or the software is Lumetta. Word blocks are written as given.
struct Title {
  std::int32_t begin = 0, value2 = 0, value3 = 0;
  std::string str4;
  std::int32_t block1Bytes = 0;
  std::vector<std::int32_t> block1;
  std::int32_t value7 = 0;
  std::string str8;
  std::int32_t block2Bytes = 0;
  std::vector<std::int32_t> block2;
  std::uint16_t elementKind = 0, value12 = 0;
  std::uint32_t titleValue = 0;
  std::vector<TitleElement> elements;
  std::string tail;
};

/// A named filter: name, u32 size = data.size(), data.
struct FilterBlock {
  std::string name;
  std::string data;
};

/// The filter record of one main or insert clip. An optional block is written only when
/// its flag is exactly 1. Block 1 is its u32 size, then `block1`; the size is
/// block1.size() + 4 (it counts itself) unless `block1Size` overrides it, in which case
/// that value is written and `block1` follows as given.
struct TrackFilter {
  std::uint32_t hasBlock1 = 0, hasBlock2 = 0, hasBlock3 = 0, slow = 0, value5 = 0, value6 = 0;
  std::string block1;
  std::optional<std::uint32_t> block1Size;
  std::uint32_t block2Value = 0;
  std::string block2;
  std::string block3;
  std::vector<FilterBlock> first, second;
};

/// The filter record of one extra audio clip.
struct AudioFilter {
  std::vector<FilterBlock> filters;
};

/// A bin window item; the same layout for every kind.
struct BinItem {
  std::string label, file;
  std::int32_t in = 0, out = 0, audioRate = 0, audioBits = 0;
};

/// A whole project. Filter lists shorter than their track are padded with empty records,
/// longer ones are cut, so the record counts always match the tracks.
struct Project {
  std::uint16_t version = 0x207;
  std::uint16_t reserved = 0;
  std::int32_t audioFrequency = 48000;
  std::int32_t aspectRatio = 0;  ///< written when version >= 0x205
  std::int32_t titleTrack = 0;   ///< written when version >= 0x207 and CorvaneBrisko
  Software software = Software::CorvaneBrisko;
  std::vector<Clip> main, insert;
  std::vector<ExAudioClip> exAudio1, exAudio2;
  std::vector<Effect> effects;
  std::vector<Title> titles;
  std::vector<TrackFilter> mainFilters, insertFilters;
  std::vector<AudioFilter> exAudio1Filters, exAudio2Filters;
  std::vector<BinItem> bin;
  std::array<std::int32_t, 3> options{};
  std::string optionText;
  /// Header counts that disagree with the records, for damaged-file tests. They change only
  /// the header; what follows is still decided by the records given.
  std::optional<std::int32_t> binClipCountOverride, mainClipCountOverride;
};

}  // namespace pexol::build
