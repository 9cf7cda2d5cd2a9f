// join/JoinInputs.cpp - the pieces and the sound opened, compared and read packet by packet
#include "join/JoinInputs.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "core/Translation.h"
#include "render/RenderOutcome.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

using detail::FfmpegReason;

std::string RateText(AVRational rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", av_q2d(rate));
  return text;
}

const char* FieldOrderName(AVFieldOrder order) {
  switch (order) {
    case AV_FIELD_PROGRESSIVE:
      return Tr("progressive").data();
    case AV_FIELD_TT:
    case AV_FIELD_TB:
      return Tr("interlaced, top field first").data();
    case AV_FIELD_BB:
    case AV_FIELD_BT:
      return Tr("interlaced, bottom field first").data();
    default:
      return Tr("of no stated scan").data();
  }
}

// The next packet of `source`'s own stream, its bytes counted in `read`; false at the file's
// end. A packet that cannot be read fails the join, followed by `again`, what to do.
bool NextOwnPacket(JoinSource& source, AVPacket& packet, std::uintmax_t& read,
                   std::string_view again) {
  while (true) {
    const int got = av_read_frame(source.file.get(), &packet);
    if (got == AVERROR_EOF) return false;
    if (got < 0)
      FailJoin(source.path,
               Say("FFmpeg could not read it ({0}).", FfmpegReason(got)) + std::string(Tr(again)));
    if (packet.stream_index == source.stream->index) {
      read += static_cast<std::uintmax_t>(packet.size);
      return true;
    }
    av_packet_unref(&packet);
  }
}

}  // namespace

void FailJoin(std::string_view path, const std::string& reason) {
  throw JoinFailure{OpenFailureMessage(Tr(cannotJoin), path, reason)};
}

JoinSource OpenJoinSource(const std::string& path, AVMediaType type, std::string_view again) {
  AVFormatContext* opened = nullptr;
  int code = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
  JoinSource source{detail::InputPtr(opened), nullptr, path};
  if (code >= 0) code = avformat_find_stream_info(opened, nullptr);
  if (code < 0)
    FailJoin(path,
             Say("FFmpeg could not read it ({0}).", FfmpegReason(code)) + std::string(Tr(again)));
  int count = 0;
  for (unsigned i = 0; i < opened->nb_streams; ++i) {
    AVStream* stream = opened->streams[i];
    if (stream->codecpar->codec_type == type &&
        (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
      ++count;
      source.stream = stream;
    } else {
      stream->discard = AVDISCARD_ALL;
    }
  }
  const bool picture = type == AVMEDIA_TYPE_VIDEO;
  if (count == 0)
    FailJoin(path, std::string(picture ? Tr("it holds no picture stream; one is joined.")
                                       : Tr("it holds no sound stream; one is joined.")) +
                       std::string(Tr(again)));
  if (count != 1)
    FailJoin(path, (picture ? SayN(count, "it holds {0} picture stream; one is joined.",
                                   "it holds {0} picture streams; one is joined.", count)
                            : SayN(count, "it holds {0} sound stream; one is joined.",
                                   "it holds {0} sound streams; one is joined.", count)) +
                       std::string(Tr(again)));
  return source;
}

AVRational FrameRateOf(const AVStream& stream) {
  AVRational rate = stream.avg_frame_rate;
  if (rate.num <= 0 || rate.den <= 0) rate = stream.r_frame_rate;
  if (rate.num > 0 && rate.den > 0) av_reduce(&rate.num, &rate.den, rate.num, rate.den, INT32_MAX);
  return rate;
}

std::string CodedOtherwise(const JoinSource& first, const JoinSource& piece) {
  const AVCodecParameters& a = *first.stream->codecpar;
  const AVCodecParameters& b = *piece.stream->codecpar;
  // Each says the piece's value first, then the first piece's.
  if (a.codec_id != b.codec_id)
    return Say("its picture is coded as {0}, the first piece's {1}", avcodec_get_name(b.codec_id),
               avcodec_get_name(a.codec_id));
  if (a.width != b.width || a.height != b.height)
    return Say("its picture is {0}x{1}, the first piece's {2}x{3}", b.width, b.height, a.width,
               a.height);
  if (a.format != b.format) {
    const auto name = [](int format) {
      const char* text = av_get_pix_fmt_name(static_cast<AVPixelFormat>(format));
      return std::string(text ? text : "unknown");
    };
    return Say("its pixels are {0}, the first piece's {1}", name(b.format), name(a.format));
  }
  if (a.field_order != b.field_order)
    // TRANSLATORS: {0} and {1} are "progressive", "interlaced, top field first" and the like.
    return Say("its picture is {0}, the first piece's {1}", FieldOrderName(b.field_order),
               FieldOrderName(a.field_order));
  if (av_cmp_q(FrameRateOf(*first.stream), FrameRateOf(*piece.stream)) != 0)
    return Say("it runs at {0} frames a second, the first piece's {1}",
               RateText(FrameRateOf(*piece.stream)), RateText(FrameRateOf(*first.stream)));
  if (a.extradata_size != b.extradata_size ||
      (a.extradata_size > 0 && std::memcmp(a.extradata, b.extradata, a.extradata_size) != 0))
    return std::string(
        Tr("its codec's headers (the encoder's settings) differ from the first piece's"));
  return {};
}

PicturePackets::PicturePackets(std::vector<JoinSource> pieces, const AVStream& output)
    : pieces_(std::move(pieces)),
      output_(output),
      frame_(av_inv_q(FrameRateOf(*pieces_.front().stream))) {}

std::int64_t PicturePackets::DecodedAt(std::int64_t shown) {
  if (!orderStarted_) {
    // The frames the delay holds back come before the first, one a frame.
    const auto delay = static_cast<std::int64_t>(showing_.size()) - 1;
    for (std::size_t i = 1; i < showing_.size(); ++i)
      showing_[i] = shown + static_cast<std::int64_t>(i) - delay - 1;
    orderStarted_ = true;
  }
  showing_[0] = shown;
  for (std::size_t i = 0; i + 1 < showing_.size() && showing_[i] > showing_[i + 1]; ++i)
    std::swap(showing_[i], showing_[i + 1]);
  return showing_[0];
}

bool PicturePackets::Next(AVPacket& packet) {
  while (at_ < pieces_.size()) {
    JoinSource& piece = pieces_[at_];
    if (!NextOwnPacket(piece, packet, read_, renderAgain)) {
      before_ += frames_;
      frames_ = 0;
      piece.file.reset();
      ++at_;
      continue;
    }
    if (frames_++ == 0) {
      ordered_ = packet.dts == AV_NOPTS_VALUE;
      orderStarted_ = false;
      // The delay is read from the file: held to what a codec can have (H.264 reorders at
      // most 16 frames), not trusted to size memory.
      showing_.assign(
          static_cast<std::size_t>(std::clamp(piece.stream->codecpar->video_delay, 0, 16)) + 1, 0);
    }
    const auto frameOf = [&](std::int64_t time) {
      return av_rescale_q(time, piece.stream->time_base, frame_) + before_;
    };
    const auto timeOf = [&](std::int64_t number) {
      return av_rescale_q(number, frame_, output_.time_base);
    };
    if (packet.pts != AV_NOPTS_VALUE) {
      const std::int64_t number = frameOf(packet.pts);
      packet.pts = timeOf(number);
      packet.duration = timeOf(number + 1) - packet.pts;
      if (ordered_) packet.dts = timeOf(DecodedAt(number));
    } else {
      packet.duration = timeOf(1);
    }
    if (!ordered_ && packet.dts != AV_NOPTS_VALUE) packet.dts = timeOf(frameOf(packet.dts));
    if (packet.dts != AV_NOPTS_VALUE) {
      if (lastDts_ != AV_NOPTS_VALUE && packet.dts <= lastDts_)
        FailJoin(piece.path,
                 Say("its frame {0} is decoded before the frames of the piece before it, so the "
                     "pieces do not follow one another as ranges of one render (another "
                     "encoder's delay, or a range left out or repeated).",
                     frames_ - 1) +
                     std::string(Tr(renderAgain)));
      lastDts_ = packet.dts;
    }
    packet.stream_index = output_.index;
    packet.pos = -1;
    return true;
  }
  return false;
}

bool SoundPackets::Next(AVPacket& packet) {
  if (!NextOwnPacket(sound_, packet, read_, soundAgain)) return false;
  av_packet_rescale_ts(&packet, sound_.stream->time_base, output_.time_base);
  packet.stream_index = output_.index;
  packet.pos = -1;
  return true;
}

}  // namespace pexol
