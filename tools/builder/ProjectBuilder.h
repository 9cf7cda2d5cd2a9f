// tools/builder/ProjectBuilder.h - writes project files from a description, for tests and tools
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/builder/Bytes.h"
#include "tools/builder/ProjectModel.h"

namespace pexol::build {

/// The project file bytes: the header (16 bytes; aspectRatio from 0x205; titleTrack from
/// 0x207 with CorvaneBrisko), the main records, and only when `main` is not empty the insert
/// and both extra audio tracks (each with its count) and, from 0x200, effects and titles;
/// then, from 0x207 with CorvaneBrisko, one filter record per clip of each track; then the
/// bin items and the option block. Still and colour in/out are written in the canonical
/// marked form: in < 0: 24-bit (in + 0x1000000), marker 31; in > 0: 24-bit, marker 32;
/// in == 0: dword 0. out < 0: marker 31; else in != 0: 24-bit, marker 32; else dword.
std::string BuildProject(const Project& project);

/// The 39-character colour clip name "TCD00aaaaaa00bbbbbb00cccccc00dddddd.clr": type, count
/// and direction as single digits ('0' + value), each colour cut or padded with '0' to six
/// characters.
std::string ColorClipName(int type, int count, int direction, std::string_view c1,
                          std::string_view c2, std::string_view c3, std::string_view c4);

/// A small project with every clip kind, extra audio, a dissolve and another transition, a
/// Shift-JIS title with a line break, filters with all three blocks and a slow clip, and bin
/// items of every kind (version 0x207, CorvaneBrisko).
Project DemoProject();

/// The largest project the converter keeps in memory: 1000 main clips, 300 insert clips,
/// 300 on each extra audio track, 999 effects, 200 titles of 3 elements, filters with
/// blocks and 5000 bin items (version 0x207, CorvaneBrisko).
/// `scale` times as many records of each kind (1: 1000 main clips, 5000 bin items).
Project LargeProject(std::size_t scale = 1);

/// A deterministic random project for `seed` that converts to text and back byte for byte:
///  - names, stillInfo, labels: 1..254 bytes, no NUL, never starting with "ColorClip";
///    commas, quotes, backslashes, CR, LF and bytes >= 0x80 occur;
///  - colour clips: well-formed 39-character names, type/count digits '0'..'9', direction
///    '0'..'7', hex colours; insert colour clips and bin colour items have type '0';
///  - still and colour in/out within -8388608..16777215 (a plain out dword, written when in is
///    0, is still read as 24 bits and a marker); movie and extra audio values any int32;
///  - bin items: label and file share their kind; colour items have label == file and rate
///    and bits 0; still items rate and bits 0; sound items (avi, wav) a five-digit rate;
///  - all other counted strings (effect, title, filter and option texts, font names) stay
///    below 255 bytes, since only title element texts use the 255 escape; title texts reach
///    300 bytes now and then; opaque data is arbitrary;
///  - effects point at main clips; flag values 2 (absent) occur; sometimes the main track
///    is empty, and then nothing of the insert, audio, effect and title sections is written.
Project RandomProject(std::uint32_t seed, std::uint16_t version, Software software);

}  // namespace pexol::build
