// render/SoundTranscode.cpp - a PCM WAV file encoded by FFmpeg's libraries, sample for sample
#include "render/SoundTranscode.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <memory>

#include "core/Translation.h"
#include "transcode/FfmpegObjects.h"

namespace pexol {

using detail::CodecFree;
using detail::FramePtr;
using detail::InputClose;
using detail::OutputClose;
using detail::PacketFree;

namespace {

struct ResamplerFree {
  void operator()(SwrContext* context) const { swr_free(&context); }
};
struct FifoFree {
  void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

// The encoder's side of the run: samples in, in its own frame size, packets out to the file.
class Encoder {
 public:
  Encoder(AVFormatContext& output, AVCodecContext& codec, AVStream& stream)
      : output_(output), codec_(codec), stream_(stream), packet_(av_packet_alloc()) {}

  /// Sends `frame` (null at the end) and writes the packets it gives back; < 0 on failure.
  int Send(AVFrame* frame) {
    int code = avcodec_send_frame(&codec_, frame);
    while (code >= 0) {
      code = avcodec_receive_packet(&codec_, packet_.get());
      if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return 0;
      if (code < 0) break;
      av_packet_rescale_ts(packet_.get(), codec_.time_base, stream_.time_base);
      packet_->stream_index = stream_.index;
      code = av_interleaved_write_frame(&output_, packet_.get());
    }
    return code;
  }

 private:
  AVFormatContext& output_;
  AVCodecContext& codec_;
  AVStream& stream_;
  std::unique_ptr<AVPacket, PacketFree> packet_;
};

}  // namespace

bool TranscodeSound(const std::string& wav, const std::string& path, const char* format,
                    const char* codecName, std::int64_t bitRate,
                    const std::function<bool()>& keepGoing, bool& stopped, std::string& error) {
  stopped = false;
  // `reason` is a marked sentence: {0} is FFmpeg's reason for `code`, `name` is {1}.
  const auto fail = [&error](std::string_view reason, int code, std::string_view name = {}) {
    error = Say(reason, detail::FfmpegReason(code), name);
    return false;
  };

  AVFormatContext* opened = nullptr;
  int code = avformat_open_input(&opened, wav.c_str(), nullptr, nullptr);
  // TRANSLATORS: {0} is FFmpeg's reason.
  if (code < 0)
    return fail(ToTranslate("the encoder could not read back the mixed sound ({0})."), code);
  const std::unique_ptr<AVFormatContext, InputClose> input(opened);
  if ((code = avformat_find_stream_info(input.get(), nullptr)) >= 0 && input->nb_streams != 1)
    code = AVERROR_INVALIDDATA;
  if (code < 0)
    return fail(ToTranslate("the encoder could not read back the mixed sound ({0})."), code);
  const AVCodecParameters* pcm = input->streams[0]->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(pcm->codec_id);
  const std::unique_ptr<AVCodecContext, CodecFree> decoding(avcodec_alloc_context3(decoder));
  code = !decoder ? AVERROR_DECODER_NOT_FOUND : !decoding ? AVERROR(ENOMEM) : 0;
  if (code == 0 && (code = avcodec_parameters_to_context(decoding.get(), pcm)) >= 0)
    code = avcodec_open2(decoding.get(), decoder, nullptr);
  if (code < 0)
    return fail(ToTranslate("the encoder could not read back the mixed sound ({0})."), code);

  const AVCodec* encoder = avcodec_find_encoder_by_name(codecName);
  if (!encoder) {
    error = Say("the encoder could not find FFmpeg's {0} encoder.", codecName);
    return false;
  }
  AVFormatContext* created = nullptr;
  if ((code = avformat_alloc_output_context2(&created, nullptr, format, path.c_str())) < 0)
    return fail(ToTranslate("the encoder could not write {1} ({0})."), code, format);
  const std::unique_ptr<AVFormatContext, OutputClose> output(created);
  AVStream* stream = avformat_new_stream(output.get(), nullptr);
  const std::unique_ptr<AVCodecContext, CodecFree> encoding(avcodec_alloc_context3(encoder));
  if (!stream || !encoding)
    return fail(ToTranslate("the encoder could not start ({0})."), AVERROR(ENOMEM));
  encoding->sample_rate = decoding->sample_rate;
  // The mix is stereo; the WAV file may not say which channel is which.
  encoding->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
  encoding->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  if (bitRate > 0) encoding->bit_rate = bitRate;
  encoding->time_base = {1, decoding->sample_rate};
  if (output->oformat->flags & AVFMT_GLOBALHEADER) encoding->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if ((code = avcodec_open2(encoding.get(), encoder, nullptr)) < 0 ||
      (code = avcodec_parameters_from_context(stream->codecpar, encoding.get())) < 0)
    return fail(ToTranslate("the encoder could not start FFmpeg's {1} encoder ({0})."), code,
                codecName);
  stream->time_base = encoding->time_base;
  if ((code = avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0 ||
      (code = avformat_write_header(output.get(), nullptr)) < 0)
    return fail(ToTranslate("the encoder could not write the file ({0})."), code);

  // Both sides stereo: the WAV file may not say which channel is which.
  SwrContext* made = nullptr;
  code = swr_alloc_set_opts2(&made, &encoding->ch_layout, encoding->sample_fmt,
                             encoding->sample_rate, &encoding->ch_layout, decoding->sample_fmt,
                             decoding->sample_rate, 0, nullptr);
  const std::unique_ptr<SwrContext, ResamplerFree> convert(made);
  if (code < 0 || (code = swr_init(convert.get())) < 0)
    return fail(ToTranslate("the encoder could not convert the samples ({0})."), code);
  // Codecs that take blocks of samples are given whole blocks, and the rest as a short last one.
  const int block = encoding->frame_size > 0 ? encoding->frame_size : 4096;
  const std::unique_ptr<AVAudioFifo, FifoFree> fifo(
      av_audio_fifo_alloc(encoding->sample_fmt, encoding->ch_layout.nb_channels, block));
  const FramePtr decoded(av_frame_alloc());
  const FramePtr send(av_frame_alloc());
  const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
  if (!fifo || !decoded || !send || !packet)
    return fail(ToTranslate("the encoder could not start ({0})."), AVERROR(ENOMEM));
  Encoder encode(*output, *encoding, *stream);
  std::int64_t pts = 0;

  // Sends blocks from the fifo while it holds a whole one (or, at the end, anything).
  const auto drain = [&](bool end) {
    while (av_audio_fifo_size(fifo.get()) >= block || (end && av_audio_fifo_size(fifo.get()) > 0)) {
      const int samples = std::min(block, av_audio_fifo_size(fifo.get()));
      av_frame_unref(send.get());
      send->nb_samples = samples;
      send->format = encoding->sample_fmt;
      send->sample_rate = encoding->sample_rate;
      av_channel_layout_copy(&send->ch_layout, &encoding->ch_layout);
      int sent = av_frame_get_buffer(send.get(), 0);
      if (sent < 0) return sent;
      av_audio_fifo_read(fifo.get(), reinterpret_cast<void**>(send->data), samples);
      send->pts = pts;
      pts += samples;
      if ((sent = encode.Send(send.get())) < 0) return sent;
    }
    return 0;
  };
  // Converts `frame` (null: what the converter holds) into the fifo.
  const auto take = [&](const AVFrame* frame) {
    const int room = swr_get_out_samples(convert.get(), frame ? frame->nb_samples : 0);
    if (room > 0) {
      std::uint8_t** planes = nullptr;
      int took = av_samples_alloc_array_and_samples(
          &planes, nullptr, encoding->ch_layout.nb_channels, room, encoding->sample_fmt, 0);
      if (took < 0) return took;
      took = swr_convert(convert.get(), planes, room,
                         frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                         frame ? frame->nb_samples : 0);
      if (took > 0) av_audio_fifo_write(fifo.get(), reinterpret_cast<void**>(planes), took);
      av_freep(&planes[0]);
      av_freep(&planes);
      if (took < 0) return took;
    }
    return drain(false);
  };

  while ((code = av_read_frame(input.get(), packet.get())) >= 0) {
    if (!keepGoing()) {
      stopped = true;
      return true;
    }
    code = avcodec_send_packet(decoding.get(), packet.get());
    av_packet_unref(packet.get());
    while (code >= 0) {
      code = avcodec_receive_frame(decoding.get(), decoded.get());
      if (code == AVERROR(EAGAIN)) break;
      if (code < 0)
        return fail(ToTranslate("the encoder could not read back the mixed sound ({0})."), code);
      if ((code = take(decoded.get())) < 0)
        return fail(ToTranslate("the encoder could not encode the sound ({0})."), code);
    }
  }
  if (code != AVERROR_EOF && code < 0)
    return fail(ToTranslate("the encoder could not read back the mixed sound ({0})."), code);
  if ((code = take(nullptr)) < 0 || (code = drain(true)) < 0 || (code = encode.Send(nullptr)) < 0)
    return fail(ToTranslate("the encoder could not encode the sound ({0})."), code);
  if ((code = av_write_trailer(output.get())) < 0)
    return fail(ToTranslate("the encoder could not write the file ({0})."), code);
  return true;
}

}  // namespace pexol
