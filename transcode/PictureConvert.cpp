// transcode/PictureConvert.cpp - decoded pictures in the pixel format an encoder takes, by
// libswscale
#include "transcode/PictureConvert.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace pexol::detail {

namespace {

// libswscale's planar YUV for JPEG's full-range formats, which it asks to be given with the
// range stated apart.
AVPixelFormat LimitedTwin(AVPixelFormat format, bool& fullRange) {
  switch (format) {
    case AV_PIX_FMT_YUVJ420P:
      fullRange = true;
      return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
      fullRange = true;
      return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
      fullRange = true;
      return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
      fullRange = true;
      return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
      fullRange = true;
      return AV_PIX_FMT_YUV411P;
    default:
      return format;
  }
}

// How many times the colour's lines are halved.
int ChromaHalvings(AVPixelFormat format) {
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
  return descriptor && descriptor->nb_components >= 3 &&
                 (descriptor->flags & AV_PIX_FMT_FLAG_RGB) == 0
             ? descriptor->log2_chroma_h
             : 0;
}

// The picture's planes from line `first` on, every `step`th line.
void Lines(const AVFrame& frame, int first, int step, const std::uint8_t* planes[4],
           int strides[4]) {
  for (int p = 0; p < 4; ++p) {
    planes[p] = frame.data[p] ? frame.data[p] + first * frame.linesize[p] : nullptr;
    strides[p] = frame.linesize[p] * step;
  }
}

}  // namespace

void PictureConvert::ScaleFree::operator()(SwsContext* context) const {
  sws_freeContext(context);
}

PictureConvert::PictureConvert(AVPixelFormat target) : target_(target) {}

PictureConvert::~PictureConvert() = default;

AVFrame* PictureConvert::FreePicture(int width, int height, int& code) {
  for (const FramePtr& picture : pictures_)
    if (picture->width == width && picture->height == height && av_frame_is_writable(picture.get()))
      return picture.get();
  FramePtr made(av_frame_alloc());
  if (!made) {
    code = AVERROR(ENOMEM);
    return nullptr;
  }
  made->format = target_;
  made->width = width;
  made->height = height;
  if ((code = av_frame_get_buffer(made.get(), 0)) < 0) return nullptr;
  // An encoder working on several frames at once holds a few; more means the size changed.
  if (pictures_.size() >= 16) pictures_.clear();
  pictures_.push_back(std::move(made));
  return pictures_.back().get();
}

FramePtr PictureConvert::Convert(const AVFrame& frame, bool interlaced, int& code) {
  FramePtr converted(av_frame_alloc());
  if (!converted) {
    code = AVERROR(ENOMEM);
    return nullptr;
  }
  const auto source = static_cast<AVPixelFormat>(frame.format);
  if (source == target_) {
    if ((code = av_frame_ref(converted.get(), &frame)) < 0) return nullptr;
    return converted;
  }
  bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
  const AVPixelFormat from = LimitedTwin(source, fullRange);
  const bool fields =
      interlaced && frame.height % 2 == 0 && ChromaHalvings(target_) > ChromaHalvings(from);
  const int lines = fields ? frame.height / 2 : frame.height;
  const Shape shape{frame.width, lines, from, fullRange, frame.colorspace};
  if (!scale_ || !(shape == shape_)) {
    // The ranges given before the context is made, so that it converts between them.
    scale_.reset(sws_alloc_context());
    SwsContext* made = scale_.get();
    if (!made) {
      code = AVERROR(ENOMEM);
      return nullptr;
    }
    av_opt_set_int(made, "srcw", frame.width, 0);
    av_opt_set_int(made, "srch", lines, 0);
    av_opt_set_int(made, "src_format", from, 0);
    av_opt_set_int(made, "dstw", frame.width, 0);
    av_opt_set_int(made, "dsth", lines, 0);
    av_opt_set_int(made, "dst_format", target_, 0);
    av_opt_set_int(made, "sws_flags", SWS_BICUBIC, 0);
    av_opt_set_int(made, "src_range", fullRange ? 1 : 0, 0);
    av_opt_set_int(made, "dst_range", 0, 0);
    if ((code = sws_init_context(made, nullptr, nullptr)) < 0) {
      scale_.reset();
      return nullptr;
    }
    // BT.601 unless the picture states otherwise (high-definition stills, BT.709).
    if (frame.colorspace != AVCOL_SPC_UNSPECIFIED && frame.colorspace != AVCOL_SPC_BT470BG &&
        frame.colorspace != AVCOL_SPC_SMPTE170M) {
      const int* matrix = sws_getCoefficients(frame.colorspace);
      sws_setColorspaceDetails(made, matrix, fullRange ? 1 : 0, matrix, 0, 0, 1 << 16, 1 << 16);
    }
    shape_ = shape;
  }
  SwsContext* context = scale_.get();
  AVFrame* picture = FreePicture(frame.width, frame.height, code);
  if (!picture) return nullptr;
  const std::uint8_t* in[4];
  std::uint8_t* out[4];
  int inStrides[4];
  int outStrides[4];
  const int step = fields ? 2 : 1;
  for (int field = 0; field < step; ++field) {
    Lines(frame, field, step, in, inStrides);
    const std::uint8_t* outLines[4];
    Lines(*picture, field, step, outLines, outStrides);
    for (int p = 0; p < 4; ++p) out[p] = const_cast<std::uint8_t*>(outLines[p]);
    if ((code = sws_scale(context, in, inStrides, 0, lines, out, outStrides)) < 0) return nullptr;
  }
  if ((code = av_frame_ref(converted.get(), picture)) < 0 ||
      (code = av_frame_copy_props(converted.get(), &frame)) < 0)
    return nullptr;
  const AVPixFmtDescriptor* made = av_pix_fmt_desc_get(target_);
  converted->color_range =
      made && (made->flags & AV_PIX_FMT_FLAG_RGB) == 0 ? AVCOL_RANGE_MPEG : AVCOL_RANGE_UNSPECIFIED;
  return converted;
}

}  // namespace pexol::detail
