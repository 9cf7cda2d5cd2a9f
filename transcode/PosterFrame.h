// transcode/PosterFrame.h - a small picture of a movie's frame or a still, for the timeline's boxes
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pexol {

/// `source` as a PNG at most `width` pixels wide, its shape kept: a movie's first frame at or
/// after `microseconds` from its start, a still's picture when there is no time. Empty, with
/// `error` set, when FFmpeg cannot read it.
std::string PosterPng(const std::string& source, std::optional<std::int64_t> microseconds,
                      int width, std::string& error);

}  // namespace pexol
