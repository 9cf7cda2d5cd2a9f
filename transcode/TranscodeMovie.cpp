// transcode/TranscodeMovie.cpp - a movie decoded and encoded again for today's editors (ProRes,
// DNxHR or H.264), its frames, fields, pixel shape, timecode and sounds kept
#include "transcode/TranscodeParts.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/timecode.h>
}

#include <algorithm>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "core/Translation.h"
#include "run/RunMessages.h"
#include "transcode/FfmpegObjects.h"
#include "transcode/PictureConvert.h"
#include "transcode/SoundCut.h"

namespace pexol::detail {

namespace {

// How a kind is written: the container, the picture's encoder and pixels, the sound's encoder.
struct MovieCoding {
  const char* muxer;
  const char* picture;
  AVPixelFormat pixels;
  const char* sound;
};

MovieCoding CodingOf(TranscodeKind kind) {
  switch (kind) {
    case TranscodeKind::DnxHr:
      return {"mov", "dnxhd", AV_PIX_FMT_YUV422P, "pcm_s16le"};
    case TranscodeKind::H264:
      return {"mp4", "libx264", AV_PIX_FMT_YUV420P, "aac"};
    default:
      return {"mov", "prores_ks", AV_PIX_FMT_YUV422P10LE, "pcm_s16le"};
  }
}

// The timecode `frames` after `start` ("01:00:00;00") at `rate`; empty when FFmpeg does not
// count timecodes at that rate, as a start that is not the first frame's would mislead.
std::string TimecodeAfter(const char* start, AVRational rate, std::int64_t frames) {
  if (frames == 0) return start;
  AVTimecode timecode;
  if (frames > INT32_MAX || av_timecode_init_from_string(&timecode, rate, start, nullptr) < 0)
    return {};
  char text[AV_TIMECODE_STR_SIZE];
  return av_timecode_make_string(&timecode, text, static_cast<int>(frames));
}

class MovieTranscode {
 public:
  MovieTranscode(const TranscodeJob& job, const std::string& temporary, RunObserver& observer)
      : job_(job),
        temporary_(temporary),
        observer_(observer),
        coding_(CodingOf(job.kind)),
        convert_(coding_.pixels),
        packet_(av_packet_alloc()),
        encoded_(av_packet_alloc()),
        decoded_(av_frame_alloc()),
        held_(av_frame_alloc()) {
    if (!packet_ || !encoded_ || !decoded_ || !held_) throw std::bad_alloc();
  }

  MovieWritten Run();

 private:
  void Open();
  bool SeekBefore(std::int64_t frame);
  void Rewind();
  void Start(const AVFrame& frame);
  void Decode(const AVPacket* packet);
  void TakePicture(const AVFrame& frame);
  void Emit(const AVFrame& frame);
  void Encode(const AVFrame* frame);
  SoundCut* SoundOf(int stream) const;
  bool Finished() const;

  const TranscodeJob& job_;
  const std::string& temporary_;
  RunObserver& observer_;
  MovieCoding coding_;
  InputPtr input_;
  AVStream* video_ = nullptr;
  CodecPtr decoder_;
  AVRational rate_{0, 1};
  AVRational frame_{0, 1};  // a frame's duration
  std::int64_t start_ = 0;  // the picture's first time, in its stream's time base
  std::vector<std::unique_ptr<SoundCut>> sounds_;
  std::vector<PacketPtr> pending_;  // sound read before the first picture kept
  OutputPtr output_;
  CodecPtr encoder_;
  AVStream* picture_ = nullptr;
  PictureConvert convert_;
  PacketPtr packet_;
  PacketPtr encoded_;
  FramePtr decoded_;
  FramePtr held_;  // the picture last decoded, shown until the next
  bool holding_ = false;
  bool started_ = false;
  bool interlaced_ = false;
  bool pictureDone_ = false;
  // Where the reading was last moved to, in frames before the first kept; -1 for none. A
  // container whose seek lands after the first frame kept (MPEG's, by bytes) is moved further
  // back.
  std::int64_t soughtBack_ = -1;
  bool rewind_ = false;
  std::int64_t last_ = INT64_MAX;  // the last source frame kept
  std::int64_t next_ = 0;          // the next source frame written
  std::int64_t decodedNumber_ = -1;
  std::int64_t jumped_ = 0;         // frames taken out of the times after a damaged jump
  std::int64_t maxHoleFrames_ = 0;  // the longest run of missing pictures repeated over
  std::int64_t written_ = 0;
  std::int64_t total_ = 0;  // frames to write, as far as the file tells; 0 when not
  int step_ = -1;
  int damaged_ = 0;
};

SoundCut* MovieTranscode::SoundOf(int stream) const {
  for (const auto& sound : sounds_)
    if (sound->Index() == stream) return sound.get();
  return nullptr;
}

bool MovieTranscode::Finished() const {
  return pictureDone_ && std::all_of(sounds_.begin(), sounds_.end(),
                                     [](const auto& sound) { return sound->Done(); });
}

void MovieTranscode::Open() {
  const std::string& source = job_.source;
  AVFormatContext* opened = nullptr;
  int code = avformat_open_input(&opened, FileUrl(source).c_str(), nullptr, nullptr);
  input_.reset(opened);
  if (code >= 0) code = avformat_find_stream_info(opened, nullptr);
  if (code < 0)
    FailTranscode(
        source, Say("FFmpeg cannot read {0} as a movie: {1}.", LeafOf(source), FfmpegReason(code)));
  const int index = av_find_best_stream(opened, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0 || (opened->streams[index]->disposition & AV_DISPOSITION_ATTACHED_PIC))
    FailTranscode(source,
                  std::string(Tr("it holds no picture to transcode; copy it as it is instead.")));
  video_ = opened->streams[index];
  const AVCodec* codec = avcodec_find_decoder(video_->codecpar->codec_id);
  if (!codec)
    FailTranscode(source, Say("FFmpeg has no decoder for its picture ({0}); copy it as it is "
                              "instead.",
                              avcodec_get_name(video_->codecpar->codec_id)));
  decoder_.reset(avcodec_alloc_context3(codec));
  if (!decoder_) throw std::bad_alloc();
  code = avcodec_parameters_to_context(decoder_.get(), video_->codecpar);
  decoder_->pkt_timebase = video_->time_base;
  decoder_->thread_count = 0;  // as many as the machine has, as ffmpeg decodes
  if (code >= 0) code = avcodec_open2(decoder_.get(), codec, nullptr);
  if (code < 0)
    FailTranscode(source, Say("FFmpeg could not decode its picture ({0}).", FfmpegReason(code)));
  rate_ = av_guess_frame_rate(opened, video_, nullptr);
  if (rate_.num <= 0 || rate_.den <= 0)
    FailTranscode(source, std::string(Tr("it states no frame rate, which the transcode keeps.")));
  frame_ = av_inv_q(rate_);
  start_ = video_->start_time != AV_NOPTS_VALUE ? video_->start_time : 0;

  for (unsigned s = 0; s < opened->nb_streams; ++s) {
    AVStream* stream = opened->streams[s];
    if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
      sounds_.push_back(std::make_unique<SoundCut>(*stream, source));
    else if (stream != video_)
      stream->discard = AVDISCARD_ALL;
  }

  std::int64_t count = 0;
  if (video_->nb_frames > 0)
    count = video_->nb_frames;
  else if (video_->duration != AV_NOPTS_VALUE && video_->duration > 0)
    count = av_rescale_q(video_->duration, video_->time_base, frame_);
  else if (opened->duration > 0)
    count = av_rescale_q(opened->duration, AV_TIME_BASE_Q, frame_);
  maxHoleFrames_ = av_rescale_q(maxHoleSeconds, {1, 1}, frame_);
  const std::int64_t first = job_.firstFrame;
  if (job_.lastFrame >= 0) last_ = job_.lastFrame;
  if (count > 0 && first >= count)
    FailTranscode(source,
                  SayN(count, "it holds {0} frame; there is no frame {1} to start at.",
                       "it holds {0} frames; there is no frame {1} to start at.", count, first));
  total_ = count > 0 ? std::min(count - 1, last_) - first + 1
                     : (job_.lastFrame >= 0 ? last_ - first + 1 : 0);
  for (const auto& sound : sounds_)
    sound->Keep(start_, video_->time_base, frame_, first, job_.lastFrame);
  next_ = first;
  // From the key frame at or before the first frame kept; the frames before it are decoded
  // and dropped. Where the container cannot seek, everything before it is.
  if (first > 0) SeekBefore(0);
}

bool MovieTranscode::SeekBefore(std::int64_t frames) {
  const std::int64_t at = std::max<std::int64_t>(job_.firstFrame - frames, 0);
  if (av_seek_frame(input_.get(), video_->index,
                    start_ + av_rescale_q(at, frame_, video_->time_base), AVSEEK_FLAG_BACKWARD) < 0)
    return false;
  soughtBack_ = at == 0 ? -1 : frames;
  return true;
}

// The first picture decoded came after the first frame kept: reads again from further back
// (ten seconds, then the start), the decoders emptied of what they held.
void MovieTranscode::Rewind() {
  const std::int64_t back =
      std::max<std::int64_t>(soughtBack_ * 2, av_rescale_q(10, {1, 1}, frame_));
  if (!SeekBefore(back) && !SeekBefore(job_.firstFrame)) {
    soughtBack_ = -1;
    return;
  }
  avcodec_flush_buffers(decoder_.get());
  for (const auto& sound : sounds_) sound->Restart();
  pending_.clear();
  decodedNumber_ = -1;
  jumped_ = 0;
}

void MovieTranscode::Start(const AVFrame& frame) {
  const std::string& destination = job_.destination;
  // The container's word for the fields first, else the decoder's.
  bool topFirst = frame.top_field_first != 0;
  switch (video_->codecpar->field_order) {
    case AV_FIELD_PROGRESSIVE:
      interlaced_ = false;
      break;
    case AV_FIELD_TT:
    case AV_FIELD_TB:
      interlaced_ = topFirst = true;
      break;
    case AV_FIELD_BB:
    case AV_FIELD_BT:
      interlaced_ = true;
      topFirst = false;
      break;
    default:
      interlaced_ = frame.interlaced_frame != 0;
  }
  AVFormatContext* created = nullptr;
  int code = avformat_alloc_output_context2(&created, nullptr, coding_.muxer, nullptr);
  output_.reset(created);
  if (code < 0)
    FailWritingTranscode(destination, ToTranslate("FFmpeg could not write {1} ({0})."), code,
                         coding_.muxer);
  const AVCodec* codec = avcodec_find_encoder_by_name(coding_.picture);
  if (!codec)
    throw TranscodeFailure{
        WriteFailureMessage(destination, Say("FFmpeg has no {0} encoder here.", coding_.picture))};
  encoder_.reset(avcodec_alloc_context3(codec));
  picture_ = avformat_new_stream(output_.get(), nullptr);
  if (!encoder_ || !picture_) throw std::bad_alloc();
  AVCodecContext& encoder = *encoder_;
  encoder.width = frame.width;
  encoder.height = frame.height;
  encoder.pix_fmt = coding_.pixels;
  encoder.time_base = frame_;
  encoder.framerate = rate_;
  encoder.sample_aspect_ratio =
      av_guess_sample_aspect_ratio(input_.get(), video_, const_cast<AVFrame*>(&frame));
  // QuickTime's words for interleaved fields, as ffmpeg writes them.
  encoder.field_order =
      !interlaced_ ? AV_FIELD_PROGRESSIVE : (topFirst ? AV_FIELD_TB : AV_FIELD_BT);
  encoder.color_primaries = frame.color_primaries;
  encoder.color_trc = frame.color_trc;
  encoder.colorspace = frame.colorspace;
  encoder.color_range = AVCOL_RANGE_MPEG;
  encoder.thread_count = 0;
  switch (job_.kind) {
    case TranscodeKind::DnxHr:
      // DNxHR has a profile for any size, SD too, but codes whole frames only: the fields
      // are kept in them and the field order is stated.
      av_opt_set(encoder.priv_data, "profile", "dnxhr_sq", 0);
      break;
    case TranscodeKind::H264:
      av_opt_set(encoder.priv_data, "crf", "18", 0);
      av_opt_set(encoder.priv_data, "preset", "medium", 0);
      if (interlaced_) {
        encoder.flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
        // Said from the start, so that the stream's headers state it too, not only its frames.
        av_opt_set(encoder.priv_data, "x264-params", topFirst ? "tff=1" : "bff=1", 0);
      }
      break;
    default:
      av_opt_set(encoder.priv_data, "profile", "standard", 0);
      if (interlaced_) encoder.flags |= AV_CODEC_FLAG_INTERLACED_DCT;
  }
  if (output_->oformat->flags & AVFMT_GLOBALHEADER) encoder.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  code = avcodec_open2(encoder_.get(), codec, nullptr);
  if (code >= 0) code = avcodec_parameters_from_context(picture_->codecpar, encoder_.get());
  if (code < 0)
    FailWritingTranscode(
        destination, ToTranslate("FFmpeg could not start the {1} encoder for {2} pictures ({0})."),
        code, coding_.picture, std::to_string(frame.width) + "x" + std::to_string(frame.height));
  picture_->time_base = encoder.time_base;
  picture_->avg_frame_rate = picture_->r_frame_rate = rate_;
  picture_->sample_aspect_ratio = encoder.sample_aspect_ratio;
  // The source's timecode, moved on to the first frame kept, becomes QuickTime's timecode track.
  const AVDictionaryEntry* timecode = av_dict_get(video_->metadata, "timecode", nullptr, 0);
  if (!timecode) timecode = av_dict_get(input_->metadata, "timecode", nullptr, 0);
  if (timecode && std::string_view(coding_.muxer) == "mov") {
    const std::string first = TimecodeAfter(timecode->value, rate_, job_.firstFrame);
    if (!first.empty()) av_dict_set(&picture_->metadata, "timecode", first.c_str(), 0);
  }
  for (const auto& sound : sounds_) sound->AddTo(*output_, coding_.sound, destination);

  if ((code = avio_open(&output_->pb, FileUrl(temporary_).c_str(), AVIO_FLAG_WRITE)) < 0 ||
      (code = avformat_write_header(output_.get(), nullptr)) < 0)
    FailWritingTranscode(destination, ToTranslate("FFmpeg could not start the file ({0})."), code);
  started_ = true;
  for (const PacketPtr& packet : pending_)
    if (SoundCut* sound = SoundOf(packet->stream_index); sound && !sound->Done())
      sound->Take(packet.get());
  pending_.clear();
}

void MovieTranscode::Decode(const AVPacket* packet) {
  const int code = DecodeEach(*decoder_, packet, *decoded_, damaged_, [this](AVFrame& frame) {
    TakePicture(frame);
    return !rewind_;
  });
  if (code < 0)
    FailTranscode(job_.source, Say("FFmpeg could not decode its picture past frame {0} ({1}).",
                                   std::max<std::int64_t>(decodedNumber_, 0), FfmpegReason(code)));
}

// Places a decoded picture at its frame number: the frames before the first kept are dropped,
// a frame missing in the source shows the picture before it (the sound goes on), and one given
// twice is dropped, so the frame count and times follow the source's rate.
void MovieTranscode::TakePicture(const AVFrame& frame) {
  if (pictureDone_) return;
  std::int64_t number =
      frame.best_effort_timestamp != AV_NOPTS_VALUE
          ? av_rescale_q(frame.best_effort_timestamp - start_, video_->time_base, frame_) - jumped_
          : decodedNumber_ + 1;
  // A hole longer than a real capture drops is a damaged time, not missing pictures: the
  // frames go on from the one before it, and the work stays with what the file holds.
  if (holding_ && number - decodedNumber_ > maxHoleFrames_) {
    jumped_ += number - (decodedNumber_ + 1);
    number = decodedNumber_ + 1;
  }
  decodedNumber_ = number;
  if (!started_ && !holding_ && soughtBack_ >= 0 && number > job_.firstFrame) {
    rewind_ = true;
    return;
  }
  if (number >= job_.firstFrame) {
    if (!started_) Start(frame);
    while (next_ < number && !pictureDone_) Emit(holding_ ? *held_ : frame);
    if (next_ == number && !pictureDone_) Emit(frame);
  }
  av_frame_unref(held_.get());
  if (av_frame_ref(held_.get(), &frame) < 0) throw std::bad_alloc();
  holding_ = true;
}

void MovieTranscode::Emit(const AVFrame& frame) {
  int code = 0;
  FramePtr picture = convert_.Convert(frame, interlaced_, code);
  if (!picture)
    FailWritingTranscode(job_.destination,
                         ToTranslate("FFmpeg could not convert the pictures' pixels ({0})."), code);
  picture->pts = next_ - job_.firstFrame;
  picture->pict_type = AV_PICTURE_TYPE_NONE;
  picture->interlaced_frame = interlaced_;
  Encode(picture.get());
  ++written_;
  if (next_++ >= last_) pictureDone_ = true;
  observer_.Frames(written_, std::max(total_, written_));
  if (total_ > 0) {
    const int step = static_cast<int>(std::min<std::int64_t>(written_ * 200 / total_, 200));
    if (step != step_) observer_.Progress(step_ = step, 200);
  }
}

void MovieTranscode::Encode(const AVFrame* frame) {
  if (const int code = EncodeEach(*encoder_, frame, *encoded_, *picture_, *output_); code < 0)
    FailWritingTranscode(job_.destination,
                         ToTranslate("FFmpeg could not encode the pictures ({0})."), code);
}

MovieWritten MovieTranscode::Run() {
  Open();
  observer_.Frames(0, total_);
  MovieWritten result;
  for (;;) {
    while (!Finished()) {
      if (observer_.StopRequested()) {
        result.stopped = true;
        return result;
      }
      const int code = av_read_frame(input_.get(), packet_.get());
      if (code == AVERROR_EOF) break;
      if (code < 0)
        FailTranscode(job_.source,
                      Say("FFmpeg could not read it past frame {0} ({1}).",
                          std::max<std::int64_t>(decodedNumber_, 0), FfmpegReason(code)));
      if (packet_->stream_index == video_->index) {
        if (!pictureDone_) Decode(packet_.get());
      } else if (SoundCut* sound = SoundOf(packet_->stream_index)) {
        if (!started_) {
          PacketPtr kept(av_packet_alloc());
          if (!kept || av_packet_ref(kept.get(), packet_.get()) < 0) throw std::bad_alloc();
          pending_.push_back(std::move(kept));
        } else if (!sound->Done()) {
          sound->Take(packet_.get());
        }
      }
      av_packet_unref(packet_.get());
      if (rewind_) break;
    }
    if (!pictureDone_ && !rewind_) Decode(nullptr);
    if (!rewind_) break;
    rewind_ = false;
    Rewind();
  }
  if (!started_)
    FailTranscode(job_.source, job_.firstFrame > 0
                                   ? Say("it has no frame {0} to start at.", job_.firstFrame)
                                   : std::string(Tr("FFmpeg decoded no picture of it.")));
  for (const auto& sound : sounds_) {
    sound->Take(nullptr);
    damaged_ += sound->Damaged();
  }
  Encode(nullptr);
  int code = av_write_trailer(output_.get());
  if (code >= 0) code = avio_closep(&output_->pb);
  if (code < 0)
    FailWritingTranscode(job_.destination, ToTranslate("FFmpeg could not finish the file ({0})."),
                         code);
  result.frames = written_;
  if (damaged_ > 0)
    result.warnings.push_back(
        SayN(damaged_,
             "{0}: {1} damaged packet was skipped; the frame before stands in for a picture, "
             "silence for sound.",
             "{0}: {1} damaged packets were skipped; the frame before stands in for a "
             "picture, silence for sound.",
             job_.source, damaged_));
  return result;
}

}  // namespace

MovieWritten TranscodeMovie(const TranscodeJob& job, const std::string& temporary,
                            RunObserver& observer) {
  MovieTranscode movie(job, temporary, observer);
  return movie.Run();
}

}  // namespace pexol::detail
