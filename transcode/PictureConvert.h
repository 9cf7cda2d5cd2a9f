// transcode/PictureConvert.h - decoded pictures in the pixel format an encoder takes, by libswscale
#pragma once

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include <memory>
#include <vector>

#include "transcode/FfmpegObjects.h"

struct SwsContext;

namespace pexol::detail {

/// Converts pictures to one pixel format at their own size. An interlaced picture whose colour
/// is halved vertically on the way (4:1:1 or 4:2:2 to 4:2:0) is converted field by field, so
/// that the two fields' colours are not blended. The pictures made are reused once the encoder
/// has let them go, so that a long movie does not allocate a picture a frame.
class PictureConvert {
 public:
  explicit PictureConvert(AVPixelFormat target);
  ~PictureConvert();
  PictureConvert(const PictureConvert&) = delete;
  PictureConvert& operator=(const PictureConvert&) = delete;

  /// `frame` in the target format with its properties (times, fields, pixel shape): a new
  /// reference to it when it is in that format already. Null, with `code` set, when FFmpeg
  /// fails.
  FramePtr Convert(const AVFrame& frame, bool interlaced, int& code);

 private:
  struct ScaleFree {
    void operator()(SwsContext* context) const;
  };

  AVFrame* FreePicture(int width, int height, int& code);

  // What the context was made for: the lines it converts at once (a field's or the
  // picture's), the source's pixels, their range and colour matrix.
  struct Shape {
    int width = 0;
    int lines = 0;
    AVPixelFormat from = AV_PIX_FMT_NONE;
    bool fullRange = false;
    AVColorSpace matrix = AVCOL_SPC_UNSPECIFIED;
    bool operator==(const Shape&) const = default;
  };

  AVPixelFormat target_;
  std::unique_ptr<SwsContext, ScaleFree> scale_;
  Shape shape_;
  std::vector<FramePtr> pictures_;
};

}  // namespace pexol::detail
