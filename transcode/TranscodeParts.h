// transcode/TranscodeParts.h - what the transcode's parts share: its failure, and the parts that
// write a movie and a still
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "core/RunObserver.h"
#include "transcode/TranscodeMedia.h"

namespace pexol::detail {

/// The longest run of missing pictures or sound a transcode fills (with the picture before it,
/// or silence); a longer jump in a stream's times is taken for damage, and the stream goes on
/// from where it was.
inline constexpr int maxHoleSeconds = 60;

/// Ends a transcode with its message; caught by `RunTranscode`.
struct TranscodeFailure {
  std::string message;
};

/// Throws the failure about the file `path` (source or destination) for `reason`.
[[noreturn]] void FailTranscode(std::string_view path, const std::string& reason);

/// Throws the failure to write `destination`; `reason` is a marked sentence in which FFmpeg's
/// reason for `code` is {0}, `name` {1} and `other` {2}.
[[noreturn]] void FailWritingTranscode(std::string_view destination, std::string_view reason,
                                       int code, std::string_view name = {},
                                       std::string_view other = {});

/// Sends `packet` (null at the end) to `decoder` and gives `take` each frame it returns, until
/// `take` says to stop; a damaged packet or frame is counted in `damaged` and passed over.
/// FFmpeg's code of any other failure, else 0.
int DecodeEach(AVCodecContext& decoder, const AVPacket* packet, AVFrame& frame, int& damaged,
               const std::function<bool(AVFrame&)>& take);

/// Sends `frame` (null at the end) to `encoder` and writes each packet it gives back into
/// `stream` of `output`, timed in the stream's base. FFmpeg's code of a failure, else 0.
int EncodeEach(AVCodecContext& encoder, const AVFrame* frame, AVPacket& packet, AVStream& stream,
               AVFormatContext& output);

/// "file:PATH": FFmpeg's name for a file, so that a colon in a relative name is not taken for
/// a protocol.
std::string FileUrl(const std::string& path);

/// The last part of a path, as messages name a file already named in full above.
std::string_view LeafOf(std::string_view path);

/// What a movie's transcode wrote.
struct MovieWritten {
  std::int64_t frames = 0;
  bool stopped = false;  ///< `observer` asked it to stop; the file is incomplete
  std::vector<std::string> warnings;
};

/// Transcodes the movie of `job` into the file `temporary` (the destination's temporary file,
/// which it fills). Throws `TranscodeFailure`.
MovieWritten TranscodeMovie(const TranscodeJob& job, const std::string& temporary,
                            RunObserver& observer);

/// The first picture of the still `source` as a PNG file's bytes. Throws `TranscodeFailure`.
std::string StillAsPng(const std::string& source);

}  // namespace pexol::detail
