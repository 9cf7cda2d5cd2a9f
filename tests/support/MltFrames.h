// tests/support/MltFrames.h - pictures and sound of what an MLT producer plays, for assertions
#pragma once

#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace pexol::test {

struct Rgb {
  int r = 0, g = 0, b = 0;
};

inline bool Near(Rgb pixel, Rgb colour, int tolerance = 40) {
  return std::abs(pixel.r - colour.r) <= tolerance && std::abs(pixel.g - colour.g) <= tolerance &&
         std::abs(pixel.b - colour.b) <= tolerance;
}

// A picture as MLT delivered it, RGB, 8 bits a channel; empty when it delivered none.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;

  /// The pixel at (x, y); far from every colour when the picture is empty.
  Rgb At(int x, int y) const {
    const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)) *
                    3;
    if (bytes.size() < at + 3) return {-999, -999, -999};
    return {bytes[at], bytes[at + 1], bytes[at + 2]};
  }
};

/// A producer in a DV profile, read a frame at a time.
class MltFrames {
 public:
  /// `service` null: MLT picks the producer by the resource (an .mlt file loads as melt loads
  /// it, with the normalising filters of its loader).
  MltFrames(const char* profile, const char* service, const std::string& resource)
      : profile_(profile) {
    producer_ = service ? std::make_unique<Mlt::Producer>(profile_, service, resource.c_str())
                        : std::make_unique<Mlt::Producer>(profile_, resource.c_str());
  }

  Mlt::Producer& Producer() { return *producer_; }
  bool Valid() const { return producer_->is_valid(); }

  Picture Frame(int position) {
    producer_->seek(position);
    std::unique_ptr<Mlt::Frame> frame(producer_->get_frame());
    Picture picture;
    mlt_image_format format = mlt_image_rgb;
    picture.width = profile_.width();
    picture.height = profile_.height();
    const std::uint8_t* data = frame->get_image(format, picture.width, picture.height);
    if (data && format == mlt_image_rgb)
      picture.bytes.assign(data, data + std::size_t(picture.width) * picture.height * 3);
    return picture;
  }

  /// The largest sample (of either channel) of frame `position`, 0 to 32767.
  int Peak(int position) {
    producer_->seek(position);
    std::unique_ptr<Mlt::Frame> frame(producer_->get_frame());
    mlt_audio_format format = mlt_audio_s16;
    int frequency = 48000;
    int channels = 2;
    int samples = mlt_audio_calculate_frame_samples(float(profile_.fps()), frequency, position);
    const void* data = frame->get_audio(format, frequency, channels, samples);
    int peak = 0;
    // FFmpeg's AAC decoder gives floats, which the avformat producer alone does not convert.
    for (int i = 0; data && i < samples * channels; ++i) {
      const double sample = format == mlt_audio_s16
                                ? static_cast<const std::int16_t*>(data)[i] / 32768.0
                            : format == mlt_audio_float || format == mlt_audio_f32le
                                ? double(static_cast<const float*>(data)[i])
                                : 1.0;
      peak = std::max(peak, static_cast<int>(std::abs(sample) * 32767));
    }
    return peak;
  }

 private:
  Mlt::Profile profile_;
  std::unique_ptr<Mlt::Producer> producer_;
};

/// Frame `position` of an MLT document as melt plays it in the NTSC DV profile.
inline Picture DocumentFrame(const std::string& document, int position) {
  MltFrames frames("dv_ntsc", nullptr, document);
  EXPECT_TRUE(frames.Valid()) << document;
  return frames.Frame(position);
}

}  // namespace pexol::test
