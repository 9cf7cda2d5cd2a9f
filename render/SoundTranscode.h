// render/SoundTranscode.h - a PCM WAV file encoded by FFmpeg's libraries, sample for sample
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace pexol {

/// Encodes the PCM WAV file `wav` to `path` in the container `format` (FFmpeg's name: "flac",
/// "mp3", "ipod") with FFmpeg's encoder `codec` at `bitRate` bits a second (0: the codec's
/// own), every sample and no more: the last block of samples goes to the encoder as short as
/// it is, so that the container states the length (MLT's avformat consumer fills it with
/// silence). Asks `keepGoing` between packets; false stops it with `stopped` set. False, with
/// `error` set, when FFmpeg fails.
bool TranscodeSound(const std::string& wav, const std::string& path, const char* format,
                    const char* codec, std::int64_t bitRate, const std::function<bool()>& keepGoing,
                    bool& stopped, std::string& error);

}  // namespace pexol
