// media/TranscodeChoices.h - what a collect can make of a movie or a still for today's editors
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace pexol {

/// What a collect writes for each movie.
enum class TranscodeKind {
  Copy,    ///< the file as it is
  ProRes,  ///< ProRes 422 in QuickTime, which every current editor reads
  DnxHr,   ///< DNxHR (DNxHD where the frame allows) in QuickTime, as Avid links it
  H264,    ///< H.264 and AAC in MP4, small
};

struct TranscodeKindChoice {
  TranscodeKind kind;
  const char* name;       ///< as --transcode takes it: "copy", "prores", "dnxhr", "h264"
  const char* extension;  ///< of the file written, with its dot; null for a copy
  const char* label;      ///< "ProRes 422 (.mov), for every editor"; marked: Tr where shown
  const char* format;     ///< what a file of it holds, in reports: "ProRes 422"
};

/// Every kind, the copy first.
std::span<const TranscodeKindChoice> TranscodeKinds();

/// What the media program's transcode takes for a still, whose first picture it writes as PNG.
inline constexpr const char* stillKindName = "png";

/// The first kind whose files end as `path` does (".mov": ProRes); nullopt for none.
std::optional<TranscodeKind> TranscodeKindOfFile(std::string_view path);

/// The kind `name` names (any case); nullopt for none.
std::optional<TranscodeKind> TranscodeKindNamed(std::string_view name);

const TranscodeKindChoice& ChoiceOf(TranscodeKind kind);

/// True when a still with this name's ending opens in every current editor in every variant
/// (PNG), so that it is copied rather than converted to PNG.
bool StillOpensEverywhere(std::string_view name);

}  // namespace pexol
