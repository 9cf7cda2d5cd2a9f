// probe/ProbeWithFfmpeg.cpp - avformat's view of a file: container, streams, rate and length
#include "probe/ProbeWithFfmpeg.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include <cmath>
#include <memory>
#include <string_view>

namespace pexol {

namespace {

struct ProbeInputClose {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using ProbeInput = std::unique_ptr<AVFormatContext, ProbeInputClose>;

std::string ProbeReason(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

std::string CodecLabel(AVCodecID id) {
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
  return descriptor != nullptr && descriptor->long_name != nullptr ? descriptor->long_name
                                                                   : avcodec_get_name(id);
}

// The four characters of a stream's tag ("dvsd"), when they are all printable.
std::string FourCc(unsigned tag) {
  std::string code;
  for (int shift = 0; shift < 32; shift += 8) {
    const char c = static_cast<char>((tag >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return {};
    code += c;
  }
  return code;
}

std::string FieldOrderName(AVFieldOrder order) {
  switch (order) {
    case AV_FIELD_PROGRESSIVE:
      return "progressive";
    case AV_FIELD_TT:
      return "top first";
    case AV_FIELD_BB:
      return "bottom first";
    case AV_FIELD_TB:
      return "top coded first, bottom shown first";
    case AV_FIELD_BT:
      return "bottom coded first, top shown first";
    case AV_FIELD_UNKNOWN:
      break;
  }
  return {};
}

// Image files come through FFmpeg's image readers: image2 by the name's ending, or one that
// knows the format by its first bytes ("png_pipe"); a GIF stands for a picture here.
bool IsImageReader(std::string_view demuxer) {
  return demuxer == "image2" || demuxer == "image2pipe" || demuxer == "gif" ||
         (demuxer.size() > 5 && demuxer.substr(demuxer.size() - 5) == "_pipe");
}

// "PNG image", "JPEG image": the picture's format, which its reader does not name.
std::string ImageLabel(std::string_view codec) {
  if (codec == "mjpeg") return "JPEG image";
  if (codec == "qdraw") return "PICT image";
  std::string label;
  for (const char c : codec) label += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
  return label + " image";
}

bool HasTimecode(const AVFormatContext& context) {
  if (av_dict_get(context.metadata, "timecode", nullptr, 0) != nullptr) return true;
  for (unsigned s = 0; s < context.nb_streams; ++s)
    if (av_dict_get(context.streams[s]->metadata, "timecode", nullptr, 0) != nullptr) return true;
  return false;
}

double SecondsOf(const AVFormatContext& context, const AVStream& stream) {
  if (stream.duration > 0 && stream.duration != AV_NOPTS_VALUE)
    return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
  if (context.duration > 0 && context.duration != AV_NOPTS_VALUE)
    return static_cast<double>(context.duration) / AV_TIME_BASE;
  return 0;
}

void ReadVideo(AVFormatContext& context, AVStream& stream, MediaFacts& facts) {
  const AVCodecParameters& codec = *stream.codecpar;
  facts.videoCodec = avcodec_get_name(codec.codec_id);
  facts.videoCodecLabel = CodecLabel(codec.codec_id);
  facts.fourcc = FourCc(codec.codec_tag);
  const char* pixels = av_get_pix_fmt_name(static_cast<AVPixelFormat>(codec.format));
  facts.pixelFormat = pixels != nullptr ? pixels : "";
  facts.width = codec.width;
  facts.height = codec.height;
  const AVRational aspect = av_guess_sample_aspect_ratio(&context, &stream, nullptr);
  if (aspect.num > 0 && aspect.den > 0) facts.sampleAspect = {aspect.num, aspect.den};
  facts.fieldOrder = FieldOrderName(codec.field_order);
  if (facts.kind == MediaKind::Still) return;
  const AVRational rate = av_guess_frame_rate(&context, &stream, nullptr);
  if (rate.num > 0 && rate.den > 0) facts.frameRate = {rate.num, rate.den};
  facts.seconds = SecondsOf(context, stream);
  if (stream.nb_frames > 0) {
    facts.frames = stream.nb_frames;
    if (facts.frameRate.Known()) facts.seconds = facts.frames / facts.frameRate.Value();
  } else if (facts.frameRate.Known()) {
    facts.frames = std::llround(facts.seconds * facts.frameRate.Value());
  }
}

void ReadAudio(const AVFormatContext& context, const AVStream& stream, MediaFacts& facts) {
  const AVCodecParameters& codec = *stream.codecpar;
  facts.audioCodec = avcodec_get_name(codec.codec_id);
  facts.audioCodecLabel = CodecLabel(codec.codec_id);
  facts.sampleRate = codec.sample_rate;
  facts.channels = codec.ch_layout.nb_channels;
  if (facts.kind == MediaKind::Sound) facts.seconds = SecondsOf(context, stream);
}

}  // namespace

MediaFacts ProbeWithFfmpeg(const std::string& path) {
  MediaFacts facts;
  AVFormatContext* opened = nullptr;
  if (const int code = avformat_open_input(&opened, path.c_str(), nullptr, nullptr); code < 0) {
    facts.kind = MediaKind::Unreadable;
    facts.error = ProbeReason(code);
    return facts;
  }
  const ProbeInput context(opened);
  if (const int code = avformat_find_stream_info(context.get(), nullptr); code < 0) {
    facts.kind = MediaKind::Unreadable;
    facts.error = ProbeReason(code);
    return facts;
  }
  const int video = av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const int audio = av_find_best_stream(context.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  // A cover picture in a sound file is no video of its own.
  const bool moving =
      video >= 0 && (context->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0;
  const std::string_view demuxer = context->iformat->name;
  if (!moving && audio < 0) {
    facts.kind = MediaKind::Unreadable;
    facts.error = noPicturesNorSound;
    return facts;
  }
  facts.kind = !moving                  ? MediaKind::Sound
               : IsImageReader(demuxer) ? MediaKind::Still
                                        : MediaKind::Movie;
  facts.container = context->iformat->name;
  facts.containerLabel =
      context->iformat->long_name != nullptr ? context->iformat->long_name : facts.container;
  if (moving) ReadVideo(*context, *context->streams[video], facts);
  if (facts.kind == MediaKind::Still) facts.containerLabel = ImageLabel(facts.videoCodec);
  if (audio >= 0) ReadAudio(*context, *context->streams[audio], facts);
  facts.timecode = HasTimecode(*context);
  return facts;
}

void SilenceFfmpegLog() {
  av_log_set_level(AV_LOG_QUIET);
}

}  // namespace pexol
