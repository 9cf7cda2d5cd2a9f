// transcode/PosterFrame.cpp - one frame decoded, scaled down by libswscale and encoded as PNG
#include "transcode/PosterFrame.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "transcode/FfmpegObjects.h"
#include "transcode/TranscodeParts.h"

namespace pexol {

namespace {

using detail::CodecPtr;
using detail::FfmpegReason;
using detail::FramePtr;
using detail::InputPtr;
using detail::PacketPtr;

struct ScalerFree {
  void operator()(SwsContext* context) const { sws_freeContext(context); }
};

CodecPtr OpenPosterDecoder(const AVCodecParameters& parameters, int& code) {
  const AVCodec* codec = avcodec_find_decoder(parameters.codec_id);
  if (!codec) {
    code = AVERROR_DECODER_NOT_FOUND;
    return nullptr;
  }
  CodecPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder) throw std::bad_alloc();
  code = avcodec_parameters_to_context(decoder.get(), &parameters);
  decoder->thread_count = 1;  // a frame or two: threads would only cost their start
  if (code >= 0) code = avcodec_open2(decoder.get(), codec, nullptr);
  return code < 0 ? nullptr : std::move(decoder);
}

// The first picture of the video stream of `input` at or after `microseconds`: a seek to the
// key frame before it, then frames decoded up to it. The last one decoded when the file ends
// first (a time past its end), as the render would hold it.
FramePtr FrameAt(AVFormatContext& input, std::int64_t microseconds, int& code) {
  const int index = av_find_best_stream(&input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) {
    code = AVERROR_STREAM_NOT_FOUND;
    return nullptr;
  }
  for (unsigned s = 0; s < input.nb_streams; ++s)
    if (static_cast<int>(s) != index) input.streams[s]->discard = AVDISCARD_ALL;
  const AVStream& stream = *input.streams[index];
  const CodecPtr decoder = OpenPosterDecoder(*stream.codecpar, code);
  if (!decoder) return nullptr;
  const std::int64_t start = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
  const std::int64_t target = start + av_rescale_q(microseconds, AV_TIME_BASE_Q, stream.time_base);
  // A file that cannot seek is read from its start.
  if (microseconds > 0) av_seek_frame(&input, index, target, AVSEEK_FLAG_BACKWARD);
  const PacketPtr packet(av_packet_alloc());
  FramePtr frame(av_frame_alloc());
  FramePtr found;
  if (!packet || !frame) throw std::bad_alloc();
  int damaged = 0;
  const auto take = [&](AVFrame& decoded) {
    if (!found) found.reset(av_frame_alloc());
    if (!found) throw std::bad_alloc();
    av_frame_unref(found.get());
    av_frame_ref(found.get(), &decoded);
    const std::int64_t time = decoded.best_effort_timestamp;
    return time != AV_NOPTS_VALUE && time < target;
  };
  bool more = true;
  while (more && (code = av_read_frame(&input, packet.get())) >= 0) {
    if (packet->stream_index == index) {
      detail::DecodeEach(*decoder, packet.get(), *frame, damaged, [&](AVFrame& decoded) {
        more = take(decoded);
        return more;
      });
    }
    av_packet_unref(packet.get());
  }
  if (more) detail::DecodeEach(*decoder, nullptr, *frame, damaged, take);
  if (!found) code = code < 0 && code != AVERROR_EOF ? code : AVERROR_INVALIDDATA;
  return found;
}

FramePtr OpenAndDecode(const std::string& url, AVIOContext* io, std::int64_t microseconds,
                       int& code) {
  AVFormatContext* opened = avformat_alloc_context();
  if (!opened) throw std::bad_alloc();
  opened->pb = io;
  code = avformat_open_input(&opened, url.c_str(), nullptr, nullptr);
  const InputPtr input(opened);
  if (code < 0) return nullptr;
  if ((code = avformat_find_stream_info(opened, nullptr)) < 0) return nullptr;
  return FrameAt(*opened, microseconds, code);
}

struct BufferIo {
  const std::string* bytes;
  std::size_t at = 0;
};

int ReadBuffer(void* opaque, std::uint8_t* to, int size) {
  auto& io = *static_cast<BufferIo*>(opaque);
  const std::size_t left = io.bytes->size() - io.at;
  const std::size_t count = std::min(left, static_cast<std::size_t>(size));
  if (count == 0) return AVERROR_EOF;
  std::copy_n(io.bytes->data() + io.at, count, to);
  io.at += count;
  return static_cast<int>(count);
}

struct IoFree {
  void operator()(AVIOContext* io) const {
    av_freep(&io->buffer);
    avio_context_free(&io);
  }
};

// A still through the transcode's reading (Targa, palettes, depth and alpha), then decoded
// again from the PNG it made.
FramePtr StillPicture(const std::string& source, int& code, std::string& error) {
  std::string png;
  try {
    png = detail::StillAsPng(source);
  } catch (const detail::TranscodeFailure& failure) {
    error = failure.message;
    return nullptr;
  }
  BufferIo reading{&png};
  auto* buffer = static_cast<std::uint8_t*>(av_malloc(4096));
  if (!buffer) throw std::bad_alloc();
  const std::unique_ptr<AVIOContext, IoFree> io(
      avio_alloc_context(buffer, 4096, 0, &reading, ReadBuffer, nullptr, nullptr));
  if (!io) {
    av_free(buffer);
    throw std::bad_alloc();
  }
  return OpenAndDecode("", io.get(), 0, code);
}

std::string Encoded(const AVFrame& picture, int width, int& code) {
  const double shape =
      picture.sample_aspect_ratio.num > 0 ? av_q2d(picture.sample_aspect_ratio) : 1.0;
  const double shown = picture.width * shape;
  const int outWidth = std::max(1, std::min(width, static_cast<int>(std::lround(shown))));
  const int outHeight = std::max(
      1, static_cast<int>(std::lround(picture.height * static_cast<double>(outWidth) / shown)));
  const std::unique_ptr<SwsContext, ScalerFree> scaler(
      sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format),
                     outWidth, outHeight, AV_PIX_FMT_RGB24, SWS_AREA, nullptr, nullptr, nullptr));
  const FramePtr rgb(av_frame_alloc());
  if (!scaler || !rgb) throw std::bad_alloc();
  rgb->width = outWidth;
  rgb->height = outHeight;
  rgb->format = AV_PIX_FMT_RGB24;
  if ((code = av_frame_get_buffer(rgb.get(), 0)) < 0) return {};
  code = sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, rgb->data,
                   rgb->linesize);
  if (code < 0) return {};
  const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
  const CodecPtr encoder(png ? avcodec_alloc_context3(png) : nullptr);
  const PacketPtr packet(av_packet_alloc());
  if (!encoder || !packet) throw std::bad_alloc();
  encoder->width = outWidth;
  encoder->height = outHeight;
  encoder->pix_fmt = AV_PIX_FMT_RGB24;
  encoder->time_base = {1, 1};
  if ((code = avcodec_open2(encoder.get(), png, nullptr)) < 0 ||
      (code = avcodec_send_frame(encoder.get(), rgb.get())) < 0 ||
      (code = avcodec_receive_packet(encoder.get(), packet.get())) < 0)
    return {};
  return std::string(reinterpret_cast<const char*>(packet->data),
                     static_cast<std::size_t>(packet->size));
}

}  // namespace

std::string PosterPng(const std::string& source, std::optional<std::int64_t> microseconds,
                      int width, std::string& error) {
  int code = 0;
  const FramePtr picture = microseconds
                               ? OpenAndDecode(detail::FileUrl(source), nullptr,
                                               std::max<std::int64_t>(0, *microseconds), code)
                               : StillPicture(source, code, error);
  if (!picture) {
    if (error.empty()) error = FfmpegReason(code);
    return {};
  }
  std::string png = Encoded(*picture, width, code);
  if (png.empty()) error = FfmpegReason(code);
  return png;
}

}  // namespace pexol
