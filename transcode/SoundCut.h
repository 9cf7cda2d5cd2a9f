// transcode/SoundCut.h - one sound stream of a movie decoded, cut to the span of the frames kept,
// and encoded again
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "transcode/FfmpegObjects.h"

struct SwrContext;
struct AVAudioFifo;

namespace pexol::detail {

/// The samples of one stream from the first frame kept to the end of the last, every one and
/// no more, at the stream's own rate and channels. Samples are placed by their times: a hole
/// or a late start is filled with silence and samples given twice are dropped, so the sound
/// stays with the picture.
class SoundCut {
 public:
  /// Opens the decoder of `stream`, a stream of the movie `source` (named in failures).
  SoundCut(const AVStream& stream, const std::string& source);
  ~SoundCut();
  SoundCut(const SoundCut&) = delete;
  SoundCut& operator=(const SoundCut&) = delete;

  int Index() const { return index_; }
  int Rate() const;

  /// Adds the stream to `output` with FFmpeg's encoder `encoder` ("pcm_s16le", "aac") and opens
  /// it; before the header. `destination` is named in failures.
  void AddTo(AVFormatContext& output, const char* encoder, const std::string& destination);

  /// The samples kept: from the time of frame `firstFrame` to the end of `lastFrame` (-1: to
  /// the end), frames of `frame` seconds counted from `origin` (in `originBase`), the time of
  /// the picture's first frame.
  void Keep(std::int64_t origin, AVRational originBase, AVRational frame, std::int64_t firstFrame,
            std::int64_t lastFrame);

  /// Decodes `packet` (null: the end, when everything held is encoded) and writes what it
  /// gives to the output.
  void Take(const AVPacket* packet);

  /// Forgets what the decoder holds, before the reading is moved back; nothing was written yet.
  void Restart();

  /// True once samples past the last kept were decoded: the rest of the stream is not needed.
  bool Done() const { return done_; }
  /// Packets the decoder refused as damaged; their time is silent.
  int Damaged() const { return damaged_; }

 private:
  struct ResamplerFree {
    void operator()(SwrContext* context) const;
  };
  struct FifoFree {
    void operator()(AVAudioFifo* fifo) const;
  };

  void Place(const AVFrame& frame);
  void Queue(const AVFrame* frame, int offset, int count);
  void Drain(bool end);
  void Encode(AVFrame* frame);

  const AVStream& source_;
  std::string path_;
  int index_;
  CodecPtr decoder_;
  CodecPtr encoder_;
  AVFormatContext* output_ = nullptr;
  AVStream* stream_ = nullptr;
  std::string destination_;
  AVChannelLayout layout_{};
  std::unique_ptr<SwrContext, ResamplerFree> convert_;
  std::unique_ptr<AVAudioFifo, FifoFree> fifo_;
  FramePtr decoded_;
  FramePtr block_;
  PacketPtr packet_;
  std::vector<std::uint8_t*> scratch_;  ///< converted samples, planes into one buffer
  int scratchSize_ = 0;
  int blockSize_ = 4096;
  std::int64_t origin_ = 0;        // the picture's first time, in samples
  std::int64_t first_ = 0;         // the first sample kept, from the origin
  std::int64_t end_ = INT64_MAX;   // the sample after the last kept
  std::int64_t written_ = 0;       // samples queued, from the first kept
  std::int64_t next_ = INT64_MIN;  // where the next decoded samples should start
  std::int64_t jumped_ = 0;        // samples taken out of the times after a damaged jump
  std::int64_t pts_ = 0;           // of the next block encoded
  bool done_ = false;
  int damaged_ = 0;
};

}  // namespace pexol::detail
