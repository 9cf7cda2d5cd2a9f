// render/JoinPieces.cpp - a render's ranges and its sound copied into one file, packet by packet
//
// Each piece starts its picture at time zero, so its packets are moved on by the length of the
// pieces before it. The move is made in frame numbers, not by adding up the pieces' durations:
// Matroska counts whole milliseconds and a frame at 29.97 lasts 33.367 ms, so every rounded
// duration added puts the times up to half a millisecond off a continuous render's, and over a
// long render in many ranges they drift a whole frame off. A timestamp names its frame exactly (a
// frame is many ticks long), the frame number moves by a whole count, and the one rounding back
// to ticks is the one a continuous render makes.
#include "render/JoinPieces.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/FileIo.h"
#include "core/ListInWords.h"
#include "core/TextScanner.h"
#include "media/PathText.h"
#include "render/FfmpegObjects.h"
#include "render/RenderChoices.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

using detail::FfmpegReason;

/// Ends the join with its message; caught by `RunJoin`.
struct JoinFailure {
  std::string message;
};

constexpr std::string_view renderAgain = " Render the ranges again with the same options.";
constexpr std::string_view soundAgain = " Render the sound again.";

[[noreturn]] void Fail(std::string_view path, const std::string& reason) {
  throw JoinFailure{OpenFailureMessage(cannotJoin, path, reason)};
}

[[noreturn]] void FailWriting(std::string_view path, const std::string& what, int code) {
  throw JoinFailure{
      WriteFailureMessage(path, "FFmpeg could not " + what + " (" + FfmpegReason(code) + ").")};
}

// The video container the destination's extension asks for.
const RenderContainer& VideoContainerOf(const std::string& destination) {
  const std::string extension = PathOfUtf8(destination).extension().string();
  for (const RenderContainer& container : RenderContainers()) {
    if (!EqualsIgnoreCase(extension, container.extension)) continue;
    if (container.soundOnly)
      Fail(destination, "the ranges are joined into a video file, and " + extension +
                            " holds sound alone, which is rendered in one piece.");
    return container;
  }
  std::vector<const RenderContainer*> videos;
  for (const RenderContainer& container : RenderContainers())
    if (!container.soundOnly) videos.push_back(&container);
  Fail(destination, "the container follows the file's extension: " +
                        ListInWords(videos,
                                    [](const RenderContainer* container) {
                                      return std::string(container->extension) + " (" +
                                             container->kind + ")";
                                    }) +
                        ".");
}

/// An input file and its one stream that is copied.
struct Source {
  detail::InputPtr file;
  AVStream* stream = nullptr;
  std::string path;
};

// Opens `path` and finds its one stream of `type` (a cover picture is not a picture stream);
// the others are not read.
Source Open(const std::string& path, AVMediaType type, std::string_view again) {
  AVFormatContext* opened = nullptr;
  int code = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
  Source source{detail::InputPtr(opened), nullptr, path};
  if (code >= 0) code = avformat_find_stream_info(opened, nullptr);
  if (code < 0)
    Fail(path, "FFmpeg could not read it (" + FfmpegReason(code) + ")." + std::string(again));
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
  const char* what = type == AVMEDIA_TYPE_VIDEO ? "picture" : "sound";
  if (count != 1)
    Fail(path, (count == 0 ? std::string("it holds no ") + what + " stream"
                           : "it holds " + std::to_string(count) + " " + what + " streams") +
                   "; one is joined." + std::string(again));
  return source;
}

// The stream's frames a second, as the encoder was given them.
AVRational RateOf(const AVStream& stream) {
  AVRational rate = stream.avg_frame_rate;
  if (rate.num <= 0 || rate.den <= 0) rate = stream.r_frame_rate;
  if (rate.num > 0 && rate.den > 0) av_reduce(&rate.num, &rate.den, rate.num, rate.den, INT32_MAX);
  return rate;
}

std::string RateText(AVRational rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", av_q2d(rate));
  return text;
}

const char* FieldOrderName(AVFieldOrder order) {
  switch (order) {
    case AV_FIELD_PROGRESSIVE:
      return "progressive";
    case AV_FIELD_TT:
    case AV_FIELD_TB:
      return "interlaced, top field first";
    case AV_FIELD_BB:
    case AV_FIELD_BT:
      return "interlaced, bottom field first";
    default:
      return "of no stated scan";
  }
}

// How `piece` was coded otherwise than `first`; empty when alike.
std::string Difference(const Source& first, const Source& piece) {
  const AVCodecParameters& a = *first.stream->codecpar;
  const AVCodecParameters& b = *piece.stream->codecpar;
  const auto its = [](const std::string& mine, const std::string& firsts) {
    return mine + ", the first piece's " + firsts;
  };
  if (a.codec_id != b.codec_id)
    return its("its picture is coded as " + std::string(avcodec_get_name(b.codec_id)),
               avcodec_get_name(a.codec_id));
  if (a.width != b.width || a.height != b.height)
    return its("its picture is " + std::to_string(b.width) + "x" + std::to_string(b.height),
               std::to_string(a.width) + "x" + std::to_string(a.height));
  if (a.format != b.format) {
    const auto name = [](int format) {
      const char* text = av_get_pix_fmt_name(static_cast<AVPixelFormat>(format));
      return std::string(text ? text : "unknown");
    };
    return its("its pixels are " + name(b.format), name(a.format));
  }
  if (a.field_order != b.field_order)
    return its(std::string("its picture is ") + FieldOrderName(b.field_order),
               FieldOrderName(a.field_order));
  if (av_cmp_q(RateOf(*first.stream), RateOf(*piece.stream)) != 0)
    return its("it runs at " + RateText(RateOf(*piece.stream)) + " frames a second",
               RateText(RateOf(*first.stream)));
  if (a.extradata_size != b.extradata_size ||
      (a.extradata_size > 0 && std::memcmp(a.extradata, b.extradata, a.extradata_size) != 0))
    return "its codec's headers (the encoder's settings) differ from the first piece's";
  return {};
}

// The tag the stream keeps in the output: its own when the container knows it for its codec
// (ProRes's profile is in its tag), else the container's choice.
unsigned TagIn(const AVOutputFormat& format, const AVCodecParameters& codec) {
  unsigned tag = 0;
  if (!format.codec_tag || av_codec_get_id(format.codec_tag, codec.codec_tag) == codec.codec_id ||
      !av_codec_get_tag2(format.codec_tag, codec.codec_id, &tag))
    return codec.codec_tag;
  return 0;
}

// A stream of `output` carrying `source`'s packets as they are.
AVStream& CopyStream(AVFormatContext& output, const AVStream& source, const std::string& path) {
  AVStream* stream = avformat_new_stream(&output, nullptr);
  if (!stream) FailWriting(path, "add a stream", AVERROR(ENOMEM));
  const int code = avcodec_parameters_copy(stream->codecpar, source.codecpar);
  if (code < 0) FailWriting(path, "add a stream", code);
  stream->codecpar->codec_tag = TagIn(*output.oformat, *source.codecpar);
  // The muxer's time base: the piece's own, which the continuous render had too.
  stream->time_base = source.time_base;
  return *stream;
}

/// Decoding times for a piece whose container keeps showing times only (Matroska), in frame
/// numbers: each frame is decoded when the earliest of the last `delay` + 1 frames read is
/// shown, the encoder's delay (B-frames) read as frames before the first.
class DecodingOrder {
 public:
  explicit DecodingOrder(int delay) : showing_(static_cast<std::size_t>(std::max(delay, 0)) + 1) {}

  std::int64_t Next(std::int64_t shown) {
    if (first_) {
      // The frames the delay holds back come before the first, one a frame.
      const auto delay = static_cast<std::int64_t>(showing_.size()) - 1;
      for (std::size_t i = 1; i < showing_.size(); ++i)
        showing_[i] = shown + static_cast<std::int64_t>(i) - delay - 1;
      first_ = false;
    }
    showing_[0] = shown;
    for (std::size_t i = 0; i + 1 < showing_.size() && showing_[i] > showing_[i + 1]; ++i)
      std::swap(showing_[i], showing_[i + 1]);
    return showing_[0];
  }

 private:
  std::vector<std::int64_t> showing_;
  bool first_ = true;
};

std::uintmax_t SizeOf(const std::string& path) {
  std::error_code code;
  const std::uintmax_t size = std::filesystem::file_size(PathOfUtf8(path), code);
  return code ? 0 : size;
}

std::string JoinCompletedMessage(const JoinJob& job, const RenderOutcome& outcome) {
  char taken[32];
  std::snprintf(taken, sizeof taken, "%.1f", outcome.seconds);
  const std::size_t count = job.pieces.size();
  return "join completed\n\nfrom : " + std::to_string(count) + (count == 1 ? " piece" : " pieces") +
         (job.sound.empty() ? std::string(", no sound") : " and " + job.sound) +
         "\n   to : " + job.destination + "\n\n" + std::to_string(outcome.frames) +
         (outcome.frames == 1 ? " frame" : " frames") + " in " + taken + " s";
}

RunResult Join(const JoinJob& job, RunObserver& observer) {
  const auto started = std::chrono::steady_clock::now();
  const RenderContainer& container = VideoContainerOf(job.destination);
  if (job.pieces.empty()) Fail(job.destination, "there are no rendered ranges to join.");
  for (const std::string& input : job.pieces)
    if (SameFile(job.destination, input))
      Fail(job.destination, "it is one of the pieces being joined; name another file.");
  if (!job.sound.empty() && SameFile(job.destination, job.sound))
    Fail(job.destination, "it is the sound being joined; name another file.");
  observer.Status("[Render] joining the ranges");

  std::vector<Source> pieces;
  std::uintmax_t total = 0;
  for (const std::string& path : job.pieces) {
    pieces.push_back(Open(path, AVMEDIA_TYPE_VIDEO, renderAgain));
    const std::string different = Difference(pieces.front(), pieces.back());
    if (!different.empty())
      Fail(path, "it was not rendered like the first piece: " + different + "." +
                     std::string(renderAgain));
    total += SizeOf(path);
  }
  const AVRational rate = RateOf(*pieces.front().stream);
  if (rate.num <= 0 || rate.den <= 0)
    Fail(job.pieces.front(), "it states no frame rate." + std::string(renderAgain));
  const AVRational frame = av_inv_q(rate);
  std::optional<Source> sound;
  if (!job.sound.empty()) {
    sound = Open(job.sound, AVMEDIA_TYPE_AUDIO, soundAgain);
    total += SizeOf(job.sound);
  }

  OutputFile destination;
  std::string error;
  if (!destination.Open(job.destination, error)) Fail(job.destination, error);
  if (!destination.Renames())
    Fail(job.destination,
         "the ranges are joined into a file: name a file such as video.mp4 (not a device, "
         "standard output, or a file with more than one hard link).");
  const std::string temporary = destination.TemporaryPath();
  AVFormatContext* created = nullptr;
  int code =
      avformat_alloc_output_context2(&created, nullptr, container.ffmpegName, temporary.c_str());
  const detail::OutputPtr output(created);
  if (code < 0) FailWriting(job.destination, std::string("write ") + container.ffmpegName, code);

  const AVStream& first = *pieces.front().stream;
  AVStream& video = CopyStream(*output, first, job.destination);
  video.avg_frame_rate = video.r_frame_rate = rate;
  // The shape of the pixels goes in the stream's header (mp4 and mov keep it there).
  const AVRational aspect = first.sample_aspect_ratio.num > 0 ? first.sample_aspect_ratio
                                                              : first.codecpar->sample_aspect_ratio;
  video.sample_aspect_ratio = video.codecpar->sample_aspect_ratio = aspect;
  AVStream* audio = sound ? &CopyStream(*output, *sound->stream, job.destination) : nullptr;
  if ((code = avio_open(&output->pb, temporary.c_str(), AVIO_FLAG_WRITE)) < 0)
    FailWriting(job.destination, "open the file", code);
  if ((code = avformat_write_header(output.get(), nullptr)) < 0)
    FailWriting(job.destination,
                std::string("start the file; ") + container.extension + " may not hold " +
                    avcodec_get_name(video.codecpar->codec_id) +
                    (audio ? std::string(" with ") + avcodec_get_name(audio->codecpar->codec_id)
                           : std::string()),
                code);

  const detail::PacketPtr picture(av_packet_alloc());
  const detail::PacketPtr samples(av_packet_alloc());
  if (!picture || !samples) throw std::bad_alloc();
  std::size_t at = 0;       // the piece being read
  std::int64_t before = 0;  // the frames of the pieces before it
  std::int64_t frames = 0;  // its frames read so far
  std::int64_t lastDts = AV_NOPTS_VALUE;
  std::optional<DecodingOrder> order;  // when the piece keeps no decoding times
  std::uintmax_t read = 0;

  // The next picture packet, its times moved to the whole timeline's; false after the last.
  const auto nextPicture = [&] {
    while (at < pieces.size()) {
      Source& piece = pieces[at];
      const int got = av_read_frame(piece.file.get(), picture.get());
      if (got == AVERROR_EOF) {
        before += frames;
        frames = 0;
        piece.file.reset();
        ++at;
        continue;
      }
      if (got < 0)
        Fail(piece.path,
             "FFmpeg could not read it (" + FfmpegReason(got) + ")." + std::string(renderAgain));
      if (picture->stream_index != piece.stream->index) {
        av_packet_unref(picture.get());
        continue;
      }
      read += static_cast<std::uintmax_t>(picture->size);
      if (frames++ == 0) {
        order.reset();
        if (picture->dts == AV_NOPTS_VALUE) order.emplace(piece.stream->codecpar->video_delay);
      }
      const auto frameOf = [&](std::int64_t time) {
        return av_rescale_q(time, piece.stream->time_base, frame) + before;
      };
      const auto timeOf = [&](std::int64_t number) {
        return av_rescale_q(number, frame, video.time_base);
      };
      if (picture->pts != AV_NOPTS_VALUE) {
        const std::int64_t number = frameOf(picture->pts);
        picture->pts = timeOf(number);
        picture->duration = timeOf(number + 1) - picture->pts;
        if (order) picture->dts = timeOf(order->Next(number));
      } else {
        picture->duration = timeOf(1);
      }
      if (!order && picture->dts != AV_NOPTS_VALUE) picture->dts = timeOf(frameOf(picture->dts));
      if (picture->dts != AV_NOPTS_VALUE) {
        if (lastDts != AV_NOPTS_VALUE && picture->dts <= lastDts)
          Fail(piece.path,
               "its frame " + std::to_string(frames - 1) +
                   " is decoded before the frames of the piece before it, so the pieces do not "
                   "follow one another as ranges of one render (another encoder's delay, or a "
                   "range left out or repeated)." +
                   std::string(renderAgain));
        lastDts = picture->dts;
      }
      picture->stream_index = video.index;
      picture->pos = -1;
      return true;
    }
    return false;
  };
  // The next sound packet, its times in the output's time base; false after the last.
  const auto nextSound = [&] {
    while (true) {
      const int got = av_read_frame(sound->file.get(), samples.get());
      if (got == AVERROR_EOF) return false;
      if (got < 0)
        Fail(sound->path,
             "FFmpeg could not read it (" + FfmpegReason(got) + ")." + std::string(soundAgain));
      if (samples->stream_index != sound->stream->index) {
        av_packet_unref(samples.get());
        continue;
      }
      read += static_cast<std::uintmax_t>(samples->size);
      av_packet_rescale_ts(samples.get(), sound->stream->time_base, audio->time_base);
      samples->stream_index = audio->index;
      samples->pos = -1;
      return true;
    }
  };
  const auto decodedAt = [](const AVPacket& packet) {
    return packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
  };

  // Whichever packet is decoded first goes first, so neither stream is held back in memory.
  bool pictureLeft = nextPicture();
  bool soundLeft = sound && nextSound();
  int step = 0;
  for (std::int64_t written = 0; pictureLeft || soundLeft; ++written) {
    // Asked before the first packet too, so that a stop asked during the opening is heard.
    if (written % 256 == 0) {
      if (observer.StopRequested()) {
        observer.Status("");
        return {RunResult::Status::Stopped,
                "join stopped\n\n" + job.destination + "\n\nThe partial file was removed; " +
                    job.destination + " was left as it was.",
                std::nullopt};
      }
      const int now =
          total > 0 ? static_cast<int>(std::min<std::uintmax_t>(read * 200 / total, 200)) : 0;
      if (now != step) observer.Progress(step = now, 200);
    }
    const bool takePicture =
        pictureLeft && (!soundLeft || av_compare_ts(decodedAt(*picture), video.time_base,
                                                    decodedAt(*samples), audio->time_base) <= 0);
    code = av_interleaved_write_frame(output.get(), takePicture ? picture.get() : samples.get());
    if (code < 0) FailWriting(job.destination, "write the joined file", code);
    if (takePicture)
      pictureLeft = nextPicture();
    else
      soundLeft = nextSound();
  }
  if ((code = av_write_trailer(output.get())) < 0 || (code = avio_closep(&output->pb)) < 0)
    FailWriting(job.destination, "finish the joined file", code);
  if (!destination.PrepareWritten(error) || !destination.Place(error))
    throw JoinFailure{WriteFailureMessage(job.destination, error)};
  observer.Progress(200, 200);
  observer.Status("");

  RunResult result;
  const RenderOutcome outcome{
      before, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()};
  result.message = JoinCompletedMessage(job, outcome);
  result.outcome = outcome;
  return result;
}

}  // namespace

RunResult RunJoin(const JoinJob& job, RunObserver& observer) {
  return CatchUnforeseen(job.destination, observer, [&] {
    try {
      return Join(job, observer);
    } catch (const JoinFailure& failure) {
      observer.Status("");
      return RunResult::Failed(failure.message);
    }
  });
}

}  // namespace pexol
