// render/EncoderSettings.h - the avformat consumer's properties for a render's settings
#pragma once

namespace Mlt {
class Consumer;
}

namespace pexol {

struct EncodeSettings;

/// Names the container and codecs on `consumer` (the temporary file's name says nothing of
/// them), the picture's scan and quality, the sound's codec and rate, and how MLT renders:
/// every frame, none dropped, in order on one thread, the range's end ending it.
void SetEncoder(Mlt::Consumer& consumer, const EncodeSettings& settings);

/// "H.264 and AAC", "ProRes 422 and PCM", "FLAC": what the encoder was asked to write.
const char* EncodingName(const EncodeSettings& settings);

}  // namespace pexol
