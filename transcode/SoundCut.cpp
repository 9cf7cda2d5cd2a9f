// transcode/SoundCut.cpp - one sound stream of a movie decoded, cut to the span of the frames kept,
// and encoded again
#include "transcode/SoundCut.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdlib>
#include <new>

#include "core/Translation.h"
#include "run/RunMessages.h"
#include "transcode/TranscodeParts.h"

namespace pexol::detail {

namespace {

// Timestamps of sound read from old containers are rounded to their ticks; samples this
// close to where the last ones ended continue them.
constexpr int soundJitterPerSecond = 1000;  // a millisecond

}  // namespace

void SoundCut::ResamplerFree::operator()(SwrContext* context) const {
  swr_free(&context);
}
void SoundCut::FifoFree::operator()(AVAudioFifo* fifo) const {
  av_audio_fifo_free(fifo);
}

SoundCut::SoundCut(const AVStream& stream, const std::string& source)
    : source_(stream),
      path_(source),
      index_(stream.index),
      decoded_(av_frame_alloc()),
      block_(av_frame_alloc()),
      packet_(av_packet_alloc()) {
  const AVCodecParameters& sound = *stream.codecpar;
  const AVCodec* codec = avcodec_find_decoder(sound.codec_id);
  if (!codec)
    FailTranscode(path_, Say("FFmpeg has no decoder for its sound ({0}); copy the file as it is "
                             "instead.",
                             avcodec_get_name(sound.codec_id)));
  decoder_.reset(avcodec_alloc_context3(codec));
  if (!decoder_ || !decoded_ || !block_ || !packet_) throw std::bad_alloc();
  int code = avcodec_parameters_to_context(decoder_.get(), &sound);
  decoder_->pkt_timebase = stream.time_base;
  if (code >= 0) code = avcodec_open2(decoder_.get(), codec, nullptr);
  if (code < 0)
    FailTranscode(path_, Say("FFmpeg could not decode its sound ({0}).", FfmpegReason(code)));
  if (decoder_->sample_rate <= 0 || decoder_->ch_layout.nb_channels <= 0)
    FailTranscode(path_, std::string(Tr("its sound states no sample rate or channels.")));
  // A layout that names no channels is taken as the usual one for that many.
  if (decoder_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&layout_, decoder_->ch_layout.nb_channels);
  else if (av_channel_layout_copy(&layout_, &decoder_->ch_layout) < 0)
    throw std::bad_alloc();
}

SoundCut::~SoundCut() {
  if (!scratch_.empty()) av_freep(&scratch_[0]);
  av_channel_layout_uninit(&layout_);
}

int SoundCut::Rate() const {
  return decoder_->sample_rate;
}

void SoundCut::AddTo(AVFormatContext& output, const char* encoder, const std::string& destination) {
  destination_ = destination;
  output_ = &output;
  const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
  if (!codec)
    throw TranscodeFailure{
        WriteFailureMessage(destination, Say("FFmpeg has no {0} encoder here.", encoder))};
  encoder_.reset(avcodec_alloc_context3(codec));
  stream_ = avformat_new_stream(&output, nullptr);
  if (!encoder_ || !stream_) throw std::bad_alloc();
  encoder_->sample_rate = decoder_->sample_rate;
  if (av_channel_layout_copy(&encoder_->ch_layout, &layout_) < 0) throw std::bad_alloc();
  encoder_->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  encoder_->time_base = {1, decoder_->sample_rate};
  // AAC as the render writes it beside H.264: 192 kb/s for stereo.
  if (codec->id == AV_CODEC_ID_AAC) encoder_->bit_rate = 96000LL * layout_.nb_channels;
  if (output.oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int code = avcodec_open2(encoder_.get(), codec, nullptr);
  if (code >= 0) code = avcodec_parameters_from_context(stream_->codecpar, encoder_.get());
  if (code < 0)
    FailWritingTranscode(destination, ToTranslate("FFmpeg could not start the {1} encoder ({0})."),
                         code, encoder);
  stream_->time_base = encoder_->time_base;
  av_dict_copy(&stream_->metadata, source_.metadata, 0);  // its language, its title
  stream_->disposition = source_.disposition;

  if (encoder_->frame_size > 0) blockSize_ = encoder_->frame_size;
  if (encoder_->sample_fmt != decoder_->sample_fmt) {
    SwrContext* made = nullptr;
    code = swr_alloc_set_opts2(&made, &layout_, encoder_->sample_fmt, encoder_->sample_rate,
                               &layout_, decoder_->sample_fmt, decoder_->sample_rate, 0, nullptr);
    convert_.reset(made);
    if (code >= 0) code = swr_init(convert_.get());
    if (code < 0)
      FailWritingTranscode(
          destination, ToTranslate("FFmpeg could not convert the sound's samples ({0})."), code);
  }
  fifo_.reset(av_audio_fifo_alloc(encoder_->sample_fmt, layout_.nb_channels, blockSize_));
  if (!fifo_) throw std::bad_alloc();
}

void SoundCut::Keep(std::int64_t origin, AVRational originBase, AVRational frame,
                    std::int64_t firstFrame, std::int64_t lastFrame) {
  const AVRational sample{1, decoder_->sample_rate};
  origin_ = av_rescale_q(origin, originBase, sample);
  first_ = av_rescale_q(firstFrame, frame, sample);
  end_ = lastFrame < 0 ? INT64_MAX : av_rescale_q(lastFrame + 1, frame, sample);
}

void SoundCut::Restart() {
  avcodec_flush_buffers(decoder_.get());
  next_ = INT64_MIN;
  jumped_ = 0;
}

void SoundCut::Take(const AVPacket* packet) {
  const int code = DecodeEach(*decoder_, packet, *decoded_, damaged_, [this](AVFrame& frame) {
    Place(frame);
    return true;
  });
  if (code < 0)
    FailTranscode(path_, Say("FFmpeg could not decode its sound ({0}).", FfmpegReason(code)));
  if (!packet) {
    Drain(true);
    Encode(nullptr);
  }
}

void SoundCut::Place(const AVFrame& frame) {
  const int count = frame.nb_samples;
  if (count <= 0 || done_) return;
  std::int64_t at = next_;
  if (frame.best_effort_timestamp != AV_NOPTS_VALUE) {
    std::int64_t stamped =
        av_rescale_q(frame.best_effort_timestamp, source_.time_base, {1, decoder_->sample_rate}) -
        origin_ - jumped_;
    // A jump longer than any real hole is damage: no hour of silence for it.
    if (next_ != INT64_MIN &&
        stamped - next_ > std::int64_t{maxHoleSeconds} * decoder_->sample_rate) {
      jumped_ += stamped - next_;
      stamped = next_;
    }
    if (next_ == INT64_MIN ||
        std::abs(stamped - next_) > decoder_->sample_rate / soundJitterPerSecond)
      at = stamped;
  }
  if (at == INT64_MIN) at = 0;  // no time at all: the stream's start
  next_ = at + count;
  if (at >= end_) {
    done_ = true;
    return;
  }
  // Where the kept samples end so far; a hole before this frame is silent.
  const std::int64_t filled = first_ + written_;
  const std::int64_t from = std::max(at, filled);
  const std::int64_t to = std::min(at + count, end_);
  if (to <= from) return;
  if (from > filled)
    Queue(nullptr, 0, static_cast<int>(std::min<std::int64_t>(from - filled, INT32_MAX)));
  Queue(&frame, static_cast<int>(from - at), static_cast<int>(to - from));
  if (to >= end_) done_ = true;
  Drain(false);
}

// Puts `count` samples of `frame` from `offset` on in the fifo, converted; silence for null.
void SoundCut::Queue(const AVFrame* frame, int offset, int count) {
  const int channels = layout_.nb_channels;
  while (count > 0) {
    const int part = std::min(count, frame ? count : 1 << 16);
    if (!frame || convert_) {
      if (part > scratchSize_) {
        if (!scratch_.empty()) av_freep(&scratch_[0]);
        scratch_.assign(std::max(channels, 1), nullptr);
        if (av_samples_alloc(scratch_.data(), nullptr, channels, part, encoder_->sample_fmt, 0) < 0)
          throw std::bad_alloc();
        scratchSize_ = part;
      }
      if (!frame) {
        av_samples_set_silence(scratch_.data(), 0, part, channels, encoder_->sample_fmt);
      } else {
        const int bytes = av_get_bytes_per_sample(decoder_->sample_fmt);
        const bool planar = av_sample_fmt_is_planar(decoder_->sample_fmt);
        std::vector<const std::uint8_t*> in(planar ? channels : 1);
        for (std::size_t p = 0; p < in.size(); ++p)
          in[p] = frame->extended_data[p] + std::size_t(offset) * bytes * (planar ? 1 : channels);
        const int made = swr_convert(convert_.get(), scratch_.data(), part, in.data(), part);
        if (made < 0)
          FailWritingTranscode(destination_,
                               ToTranslate("FFmpeg could not convert the sound's samples ({0})."),
                               made);
      }
      if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(scratch_.data()), part) < part)
        throw std::bad_alloc();
    } else {
      const int bytes = av_get_bytes_per_sample(decoder_->sample_fmt);
      const bool planar = av_sample_fmt_is_planar(decoder_->sample_fmt);
      std::vector<std::uint8_t*> in(planar ? channels : 1);
      for (std::size_t p = 0; p < in.size(); ++p)
        in[p] = frame->extended_data[p] + std::size_t(offset) * bytes * (planar ? 1 : channels);
      if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(in.data()), part) < part)
        throw std::bad_alloc();
    }
    written_ += part;
    offset += part;
    count -= part;
    Drain(false);
  }
}

// Encodes whole blocks while the fifo holds one; at the end, what is left as a short one.
void SoundCut::Drain(bool end) {
  while (av_audio_fifo_size(fifo_.get()) >= blockSize_ ||
         (end && av_audio_fifo_size(fifo_.get()) > 0)) {
    const int samples = std::min(blockSize_, av_audio_fifo_size(fifo_.get()));
    av_frame_unref(block_.get());
    block_->nb_samples = samples;
    block_->format = encoder_->sample_fmt;
    block_->sample_rate = encoder_->sample_rate;
    if (av_channel_layout_copy(&block_->ch_layout, &encoder_->ch_layout) < 0 ||
        av_frame_get_buffer(block_.get(), 0) < 0)
      throw std::bad_alloc();
    av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(block_->extended_data), samples);
    block_->pts = pts_;
    pts_ += samples;
    Encode(block_.get());
  }
}

void SoundCut::Encode(AVFrame* frame) {
  if (const int code = EncodeEach(*encoder_, frame, *packet_, *stream_, *output_); code < 0)
    FailWritingTranscode(destination_, ToTranslate("FFmpeg could not encode the sound ({0})."),
                         code);
}

}  // namespace pexol::detail
