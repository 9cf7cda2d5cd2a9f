// fuzz/Invariants.h - what every run keeps whatever its input; checked by the fuzz targets and
// tests
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "convert/ConversionOptions.h"
#include "core/Options.h"

namespace pexol::fuzz {

/// The description of the first invariant an input broke; nullopt when it kept them all.
using Broken = std::optional<std::string>;

/// A project-to-text run either fails with `RunFailure` or: makes exactly 200 steps of 200
/// and clears the status line; writes at most a fixed multiple of its input; and its text
/// converts back with the same source, after which the new project gives the very same
/// text again and converts to itself byte for byte (the text is a fixed point, and the
/// new project is canonical).
Broken CheckProjectToText(std::span<const std::uint8_t> project, const ToTextOptions& options);

/// A text-to-project run either fails with `RunFailure` or: makes 199 steps of 200 and
/// clears the status line; writes at most the source plus a fixed multiple of the text; and
/// its new project converts to text, that text converts back, and from there on text and
/// project are fixed points: the second project gives the same text and is rebuilt from it
/// byte for byte. (The first new project itself may not be: a text can give a still's in or
/// out a value beyond the 24 bits its record keeps.)
Broken CheckTextToProject(std::span<const std::uint8_t> source, std::string_view text,
                          Software software);

/// A media check walk either fails with `RunFailure` or: makes exactly 200 steps and clears
/// the status line; counts exactly the names the test said were missing; lists at most 19 of
/// them and then "e.t.c.."; and writes a report no larger than a fixed multiple of the
/// project. A project that converts to text is always walked to its end. `useFileSystem`
/// tests the names on disk instead of by a rule of their own.
Broken CheckMediaWalk(std::span<const std::uint8_t> project, Software software, bool useFileSystem);

/// Lines are never empty, hold no CR or LF and come in order; `FieldReader` and `GetField` agree;
/// `FieldText` and `EscapeQuoted` give back what they were given; `LeadingNumber` reads back
/// every 32-bit number; heading and record reads fail only with `RunFailure`.
Broken CheckTextScanner(std::string_view text);

/// A relink with `rules` (one OLD=NEW per line, unparsable lines skipped) either fails with
/// `RunFailure` or writes a project that reads back as `software` wrote it, with the same
/// record counts, unread bytes and bin item kinds, no new name of 255 bytes or more, and the
/// very same bytes when nothing changed.
Broken CheckRelink(std::span<const std::uint8_t> project, std::string_view rules,
                   Software software);

/// A project that reads exports to OpenTimelineIO, CMX 3600 and MLT, and: the OpenTimelineIO
/// document is JSON, the MLT document XML, every EDL has its title, and every track of both
/// documents is exactly as long as the timeline's track of that name.
Broken CheckExports(std::span<const std::uint8_t> project, Software software);

/// A project that reads is drawn as a picture no wider than `pictureMaxWidth`, whose elements
/// and bytes are bounded by its clips and its size (never by the frames they reach), and
/// whose document is XML.
Broken CheckPicture(std::span<const std::uint8_t> project, Software software, TimecodeMode mode);

}  // namespace pexol::fuzz
