// transcode/TranscodeStill.cpp - a still's first picture as PNG, with its alpha and depth
#include "transcode/TranscodeParts.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "core/FileIo.h"
#include "core/Translation.h"
#include "sections/ClipKind.h"
#include "transcode/FfmpegObjects.h"
#include "transcode/PictureConvert.h"

namespace pexol::detail {

namespace {

struct IoClose {
  void operator()(AVIOContext* io) const { avio_closep(&io); }
};

// Targa files have no mark of their own to be found by; these endings name them.
constexpr std::array<std::string_view, 5> targaEndings = {".tga", ".targa", ".vda", ".icb", ".vst"};

// Kinds FFmpeg has no decoder for, which its probe might take for something else.
struct UnreadKind {
  std::string_view ending;
  const char* name;
};
constexpr std::array<UnreadKind, 4> unreadKinds = {
    {{".mac", "MacPaint"}, {".pntg", "MacPaint"}, {".pnt", "MacPaint"}, {".fpx", "FlashPix"}}};

[[noreturn]] void FailReading(const std::string& source, const std::string& reason) {
  // TRANSLATORS: {1} is the reason, FFmpeg's or one of this program's, with no full stop.
  FailTranscode(source, Say("FFmpeg cannot read {0} as a picture: {1}. Save it as PNG or TIFF in "
                            "a picture editor.",
                            LeafOf(source), reason));
}

// The first picture `decoder` makes of `packet` (or of what it holds, once it has all).
FramePtr FirstPicture(AVCodecContext& decoder, const AVPacket& packet, int& code) {
  FramePtr picture(av_frame_alloc());
  if (!picture) throw std::bad_alloc();
  if ((code = avcodec_send_packet(&decoder, &packet)) < 0) return nullptr;
  code = avcodec_receive_frame(&decoder, picture.get());
  if (code == AVERROR(EAGAIN)) {
    avcodec_send_packet(&decoder, nullptr);
    code = avcodec_receive_frame(&decoder, picture.get());
  }
  if (code == AVERROR_EOF) code = AVERROR_INVALIDDATA;
  return code < 0 ? nullptr : std::move(picture);
}

CodecPtr OpenDecoder(const AVCodecParameters& parameters, const std::string& source) {
  const AVCodec* codec = avcodec_find_decoder(parameters.codec_id);
  if (!codec) FailReading(source, std::string(Tr("FFmpeg has no decoder for it")));
  CodecPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder) throw std::bad_alloc();
  int code = avcodec_parameters_to_context(decoder.get(), &parameters);
  decoder->thread_count = 1;  // one picture: threads would only cost their start
  if (code >= 0) code = avcodec_open2(decoder.get(), codec, nullptr);
  if (code < 0) FailReading(source, FfmpegReason(code));
  return decoder;
}

// A Targa file decoded whole, as it has no container.
FramePtr DecodeTarga(const std::string& source) {
  std::string error;
  const std::optional<FileBytes> bytes = ReadWholeFile(source, error);
  if (!bytes) FailReading(source, error);
  const PacketPtr packet(av_packet_alloc());
  if (!packet || av_new_packet(packet.get(), static_cast<int>(bytes->size())) < 0)
    throw std::bad_alloc();
  std::memcpy(packet->data, bytes->data(), bytes->size());
  AVCodecParameters* parameters = avcodec_parameters_alloc();
  if (!parameters) throw std::bad_alloc();
  parameters->codec_type = AVMEDIA_TYPE_VIDEO;
  parameters->codec_id = AV_CODEC_ID_TARGA;
  CodecPtr decoder = [&] {
    try {
      CodecPtr opened = OpenDecoder(*parameters, source);
      avcodec_parameters_free(&parameters);
      return opened;
    } catch (...) {
      avcodec_parameters_free(&parameters);
      throw;
    }
  }();
  int code = 0;
  FramePtr picture = FirstPicture(*decoder, *packet, code);
  if (!picture) FailReading(source, FfmpegReason(code));
  return picture;
}

// Any other still: FFmpeg finds its kind from its bytes (not from its name, which may hold
// characters FFmpeg reads as a numbered sequence).
FramePtr DecodeStill(const std::string& source) {
  AVIOContext* io = nullptr;
  int code = avio_open(&io, FileUrl(source).c_str(), AVIO_FLAG_READ);
  const std::unique_ptr<AVIOContext, IoClose> file(io);
  if (code < 0) FailReading(source, FfmpegReason(code));
  AVFormatContext* opened = avformat_alloc_context();
  if (!opened) throw std::bad_alloc();
  opened->pb = io;
  code = avformat_open_input(&opened, FileUrl(source).c_str(), nullptr, nullptr);
  const InputPtr input(opened);
  if (code < 0) FailReading(source, FfmpegReason(code));
  const int index = av_find_best_stream(opened, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) FailReading(source, std::string(Tr("it holds no picture")));
  for (unsigned s = 0; s < opened->nb_streams; ++s)
    if (static_cast<int>(s) != index) opened->streams[s]->discard = AVDISCARD_ALL;
  const CodecPtr decoder = OpenDecoder(*opened->streams[index]->codecpar, source);
  const PacketPtr packet(av_packet_alloc());
  if (!packet) throw std::bad_alloc();
  while ((code = av_read_frame(opened, packet.get())) >= 0) {
    if (packet->stream_index == index) {
      FramePtr picture = FirstPicture(*decoder, *packet, code);
      if (picture) return picture;
      if (code != AVERROR(EAGAIN)) break;
    }
    av_packet_unref(packet.get());
  }
  FailReading(source, FfmpegReason(code == AVERROR_EOF ? AVERROR_INVALIDDATA : code));
}

// True when some pixel of a palette picture is not opaque: the colours it uses, as a decoder
// may leave the palette's unused entries transparent.
bool PaletteHasAlpha(const AVFrame& picture) {
  const auto* palette = reinterpret_cast<const std::uint32_t*>(picture.data[1]);
  if (!palette) return false;
  std::array<bool, 256> used{};
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* line = picture.data[0] + std::ptrdiff_t(y) * picture.linesize[0];
    for (int x = 0; x < picture.width; ++x) used[line[x]] = true;
  }
  for (int c = 0; c < 256; ++c)
    if (used[c] && (palette[c] >> 24) != 0xff) return true;
  return false;
}

// True when some pixel's alpha is below opaque; a format's alpha may be there unused (the GIF
// decoder's BGRA, 32-bit BMP).
bool AlphaUsed(const AVFrame& picture, const AVPixFmtDescriptor& descriptor) {
  const AVComponentDescriptor& alpha = descriptor.comp[descriptor.nb_components - 1];
  if (alpha.depth != 8 && alpha.depth != 16) return true;
  const unsigned opaque = (1u << alpha.depth) - 1;
  const bool bigEndian = (descriptor.flags & AV_PIX_FMT_FLAG_BE) != 0;
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* line =
        picture.data[alpha.plane] + std::ptrdiff_t(y) * picture.linesize[alpha.plane];
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* at = line + std::ptrdiff_t(x) * alpha.step + alpha.offset;
      const unsigned value = alpha.depth == 8 ? at[0]
                             : bigEndian      ? unsigned(at[0]) << 8 | at[1]
                                              : unsigned(at[1]) << 8 | at[0];
      if (value != opaque) return true;
    }
  }
  return false;
}

// RGB, with alpha when the still uses it, 16 bits a sample when it is deeper than 8.
AVPixelFormat PngPixelsFor(const AVFrame& picture) {
  const AVPixFmtDescriptor* descriptor =
      av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture.format));
  if (!descriptor) return AV_PIX_FMT_RGB24;
  const bool alpha = (descriptor->flags & AV_PIX_FMT_FLAG_PAL)     ? PaletteHasAlpha(picture)
                     : (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA) ? AlphaUsed(picture, *descriptor)
                                                                   : false;
  const bool deep = descriptor->comp[0].depth > 8;
  return alpha ? (deep ? AV_PIX_FMT_RGBA64BE : AV_PIX_FMT_RGBA)
               : (deep ? AV_PIX_FMT_RGB48BE : AV_PIX_FMT_RGB24);
}

}  // namespace

std::string StillAsPng(const std::string& source) {
  for (const UnreadKind& kind : unreadKinds)
    if (EndsWithIgnoreCase(source, kind.ending))
      FailReading(source, Say("FFmpeg has no decoder for {0} pictures", kind.name));
  const bool targa =
      std::any_of(targaEndings.begin(), targaEndings.end(),
                  [&](std::string_view ending) { return EndsWithIgnoreCase(source, ending); });
  const FramePtr picture = targa ? DecodeTarga(source) : DecodeStill(source);
  const AVPixelFormat pixels = PngPixelsFor(*picture);
  PictureConvert convert(pixels);
  int code = 0;
  FramePtr rgb = convert.Convert(*picture, false, code);
  if (!rgb) FailReading(source, Say("its pixels could not be converted ({0})", FfmpegReason(code)));

  const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
  CodecPtr encoder(png ? avcodec_alloc_context3(png) : nullptr);
  if (!encoder) throw std::bad_alloc();
  encoder->width = rgb->width;
  encoder->height = rgb->height;
  encoder->pix_fmt = pixels;
  encoder->time_base = {1, 1};
  const PacketPtr packet(av_packet_alloc());
  if (!packet) throw std::bad_alloc();
  if ((code = avcodec_open2(encoder.get(), png, nullptr)) < 0 ||
      (code = avcodec_send_frame(encoder.get(), rgb.get())) < 0 ||
      (code = avcodec_receive_packet(encoder.get(), packet.get())) < 0)
    FailReading(source, Say("it could not be encoded as PNG ({0})", FfmpegReason(code)));
  return std::string(reinterpret_cast<const char*>(packet->data),
                     static_cast<std::size_t>(packet->size));
}

}  // namespace pexol::detail
