// render/MltRender.h - an MLT document encoded to a file by MLT's avformat consumer, in process
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "render/RenderChoices.h"

namespace pexol {

/// How the file is encoded: in the container `format` (FFmpeg's name: "mp4", "matroska",
/// "mov", "wav"), the picture as `codec` writes it (H.264 at constant quality `crf`, or ProRes
/// 422) unless `soundOnly`, the sound by FFmpeg's `audioCodec` at `frequency` Hz.
struct EncodeSettings {
  std::string format = "mp4";
  RenderCodec codec = RenderCodec::H264;
  int crf = 18;
  std::string audioCodec = "aac";
  int frequency = 48000;
  bool soundOnly = false;
  bool pictureOnly = false;  ///< no sound stream, and no sound mixed
  /// The picture: the document's own frame (`Standard`), or square pixels that frame is
  /// scaled into, bars where its shape differs.
  RenderSize size;
  /// Keeps the fields of interlaced media (the document's own frame only); otherwise they
  /// are deinterlaced.
  bool interlaced = false;
};

/// Called while a render runs with the frames encoded so far and the total; false stops it.
using RenderProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

/// A document loaded by MLT (the XML producer), with the profile it states.
class MltDocument {
 public:
  /// nullopt-like: `Valid()` is false, with `error` set, when MLT cannot load it.
  explicit MltDocument(const std::string& document);
  ~MltDocument();
  MltDocument(const MltDocument&) = delete;
  MltDocument& operator=(const MltDocument&) = delete;

  bool Valid() const;
  std::int64_t Length() const;  ///< frames

  /// Encodes frames [first, end) to `path`; false, with `error` set, when the encoder fails.
  /// Returns true with `stopped` set when `progress` asked to stop.
  bool Encode(const std::string& path, std::int64_t first, std::int64_t end,
              const EncodeSettings& settings, const RenderProgress& progress, bool& stopped,
              std::string& error);

 private:
  // MLT's avformat consumer writes the file.
  bool EncodeByMlt(const std::string& path, std::int64_t first, std::int64_t end,
                   const EncodeSettings& settings, const RenderProgress& progress, bool& stopped,
                   std::string& error);

  struct Graph;
  std::unique_ptr<Graph> graph_;
};

/// When MLT opens `path` and decodes it (a movie or sound file by FFmpeg, an image (`image`)
/// by the image loader), its length in frames at `rateNumerator`/`rateDenominator` (an image's
/// as MLT states it); nullopt when it does not.
std::optional<std::int64_t> MediaLength(const std::string& path, bool image, int rateNumerator,
                                        int rateDenominator);

}  // namespace pexol
