// join/JoinPieces.cpp - a render's ranges and its sound copied into one file, packet by packet
// (the inputs are read in join/JoinInputs.cpp)
#include "join/JoinPieces.h"

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
#include "core/Translation.h"
#include "media/PathText.h"
#include "transcode/FfmpegObjects.h"
#include "join/JoinInputs.h"
#include "render/RenderChoices.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

using detail::FfmpegReason;

// `reason` is a marked sentence: FFmpeg's reason for `code` is {0}, `names` {1} on.
template <class... Names>
[[noreturn]] void FailWriting(std::string_view path, std::string_view reason, int code,
                              const Names&... names) {
  throw JoinFailure{WriteFailureMessage(path, Say(reason, FfmpegReason(code), names...))};
}

// The video container the destination's extension asks for.
const RenderContainer& VideoContainerOf(const std::string& destination) {
  if (const RenderContainer* container = ContainerOf(destination)) {
    if (!container->soundOnly) return *container;
    FailJoin(destination, Say("the ranges are joined into a video file, and {0} holds sound "
                              "alone, which is rendered in one piece.",
                              container->extension));
  }
  std::vector<const RenderContainer*> videos;
  for (const RenderContainer& container : RenderContainers())
    if (!container.soundOnly) videos.push_back(&container);
  FailJoin(destination, Say("the container follows the file's extension: {0}.",
                            ListInWords(videos, [](const RenderContainer* container) {
                              return std::string(container->extension) + " (" +
                                     std::string(Tr(container->kind)) + ")";
                            })));
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
  if (!stream)
    FailWriting(path, ToTranslate("FFmpeg could not add a stream ({0})."), AVERROR(ENOMEM));
  const int code = avcodec_parameters_copy(stream->codecpar, source.codecpar);
  if (code < 0) FailWriting(path, ToTranslate("FFmpeg could not add a stream ({0})."), code);
  stream->codecpar->codec_tag = TagIn(*output.oformat, *source.codecpar);
  // The muxer's time base: the piece's own, which the continuous render had too.
  stream->time_base = source.time_base;
  return *stream;
}

std::uintmax_t SizeOf(const std::string& path) {
  std::error_code code;
  const std::uintmax_t size = std::filesystem::file_size(PathOfUtf8(path), code);
  return code ? 0 : size;
}

std::string JoinCompletedMessage(const JoinJob& job, const RenderOutcome& outcome) {
  char taken[32];
  std::snprintf(taken, sizeof taken, "%.1f", outcome.seconds);
  const std::size_t count = job.pieces.size();
  // TRANSLATORS: what was joined: "3 pieces, no sound" or "3 pieces and sound.wav".
  const std::string from =
      job.sound.empty() ? SayN(count, "{0} piece, no sound", "{0} pieces, no sound", count)
                        : SayN(count, "{0} piece and {1}", "{0} pieces and {1}", count, job.sound);
  return SayN(outcome.frames, "join completed\n\nfrom : {0}\n   to : {1}\n\n{2} frame in {3} s",
              "join completed\n\nfrom : {0}\n   to : {1}\n\n{2} frames in {3} s", from,
              job.destination, outcome.frames, taken);
}

RunResult Join(const JoinJob& job, RunObserver& observer) {
  const auto started = std::chrono::steady_clock::now();
  const RenderContainer& container = VideoContainerOf(job.destination);
  if (job.pieces.empty())
    FailJoin(job.destination, std::string(Tr("there are no rendered ranges to join.")));
  for (const std::string& input : job.pieces)
    if (SameFile(job.destination, input))
      FailJoin(job.destination,
               std::string(Tr("it is one of the pieces being joined; name another file.")));
  if (!job.sound.empty() && SameFile(job.destination, job.sound))
    FailJoin(job.destination, std::string(Tr("it is the sound being joined; name another file.")));
  observer.Status(std::string(Tr("[Render] joining the ranges")));

  std::vector<JoinSource> pieces;
  std::uintmax_t total = 0;
  for (const std::string& path : job.pieces) {
    pieces.push_back(OpenJoinSource(path, AVMEDIA_TYPE_VIDEO, renderAgain));
    const std::string different = CodedOtherwise(pieces.front(), pieces.back());
    if (!different.empty())
      FailJoin(path, Say("it was not rendered like the first piece: {0}.", different) +
                         std::string(Tr(renderAgain)));
    total += SizeOf(path);
  }
  const AVRational rate = FrameRateOf(*pieces.front().stream);
  if (rate.num <= 0 || rate.den <= 0)
    FailJoin(job.pieces.front(),
             std::string(Tr("it states no frame rate.")) + std::string(Tr(renderAgain)));
  std::optional<JoinSource> sound;
  if (!job.sound.empty()) {
    sound = OpenJoinSource(job.sound, AVMEDIA_TYPE_AUDIO, soundAgain);
    total += SizeOf(job.sound);
  }

  OutputFile destination;
  std::string error;
  if (!destination.Open(job.destination, error)) FailJoin(job.destination, error);
  if (!destination.Renames())
    FailJoin(
        job.destination,
        std::string(Tr("the ranges are joined into a file: name a file such as video.mp4 (not a "
                       "device, standard output, or a file with more than one hard link).")));
  const std::string temporary = destination.TemporaryPath();
  AVFormatContext* created = nullptr;
  int code =
      avformat_alloc_output_context2(&created, nullptr, container.ffmpegName, temporary.c_str());
  const detail::OutputPtr output(created);
  if (code < 0)
    FailWriting(job.destination, ToTranslate("FFmpeg could not write {1} ({0})."), code,
                container.ffmpegName);

  const AVStream& first = *pieces.front().stream;
  AVStream& video = CopyStream(*output, first, job.destination);
  video.avg_frame_rate = video.r_frame_rate = rate;
  // The shape of the pixels goes in the stream's header (mp4 and mov keep it there).
  const AVRational aspect = first.sample_aspect_ratio.num > 0 ? first.sample_aspect_ratio
                                                              : first.codecpar->sample_aspect_ratio;
  video.sample_aspect_ratio = video.codecpar->sample_aspect_ratio = aspect;
  AVStream* audio = sound ? &CopyStream(*output, *sound->stream, job.destination) : nullptr;
  if ((code = avio_open(&output->pb, temporary.c_str(), AVIO_FLAG_WRITE)) < 0)
    FailWriting(job.destination, ToTranslate("FFmpeg could not open the file ({0})."), code);
  if ((code = avformat_write_header(output.get(), nullptr)) < 0)
    FailWriting(
        job.destination,
        audio ? ToTranslate("FFmpeg could not start the file; {1} may not hold {2} with {3} ({0}).")
              : ToTranslate("FFmpeg could not start the file; {1} may not hold {2} ({0})."),
        code, container.extension, avcodec_get_name(video.codecpar->codec_id),
        audio ? avcodec_get_name(audio->codecpar->codec_id) : "");

  const detail::PacketPtr picture(av_packet_alloc());
  const detail::PacketPtr samples(av_packet_alloc());
  if (!picture || !samples) throw std::bad_alloc();
  PicturePackets pictures(std::move(pieces), video);
  std::optional<SoundPackets> sounds;
  if (sound) sounds.emplace(std::move(*sound), *audio);
  const auto decodedAt = [](const AVPacket& packet) {
    return packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
  };

  // Whichever packet is decoded first goes first, so neither stream is held back in memory.
  bool pictureLeft = pictures.Next(*picture);
  bool soundLeft = sounds && sounds->Next(*samples);
  int step = 0;
  for (std::int64_t written = 0; pictureLeft || soundLeft; ++written) {
    // Asked before the first packet too, so that a stop asked during the opening is heard.
    if (written % 256 == 0) {
      if (observer.StopRequested()) {
        observer.Status("");
        return {RunResult::Status::Stopped, JoinStoppedMessage(job.destination), std::nullopt};
      }
      const std::uintmax_t read = pictures.BytesRead() + (sounds ? sounds->BytesRead() : 0);
      const int now =
          total > 0 ? static_cast<int>(std::min<std::uintmax_t>(read * 200 / total, 200)) : 0;
      if (now != step) observer.Progress(step = now, 200);
    }
    const bool takePicture =
        pictureLeft && (!soundLeft || av_compare_ts(decodedAt(*picture), video.time_base,
                                                    decodedAt(*samples), audio->time_base) <= 0);
    code = av_interleaved_write_frame(output.get(), takePicture ? picture.get() : samples.get());
    if (code < 0)
      FailWriting(job.destination, ToTranslate("FFmpeg could not write the joined file ({0})."),
                  code);
    if (takePicture)
      pictureLeft = pictures.Next(*picture);
    else
      soundLeft = sounds->Next(*samples);
  }
  if ((code = av_write_trailer(output.get())) < 0 || (code = avio_closep(&output->pb)) < 0)
    FailWriting(job.destination, ToTranslate("FFmpeg could not finish the joined file ({0})."),
                code);
  if (!destination.PrepareWritten(error) || !destination.Place(error))
    throw JoinFailure{WriteFailureMessage(job.destination, error)};
  observer.Progress(200, 200);
  observer.Status("");

  RunResult result;
  const RenderOutcome outcome{
      pictures.Frames(),
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()};
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
