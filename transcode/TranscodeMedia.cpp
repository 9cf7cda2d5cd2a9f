// transcode/TranscodeMedia.cpp - one movie or still turned into a file today's editors open: the
// checks, the destination written beside itself and put in place, the result
#include "transcode/TranscodeMedia.h"

#include <chrono>
#include <cstdio>

#include "core/FileIo.h"
#include "core/Translation.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"
#include "run/WrittenOutcome.h"
#include "transcode/FfmpegObjects.h"
#include "transcode/TranscodeParts.h"

namespace pexol {

namespace detail {

void FailTranscode(std::string_view path, const std::string& reason) {
  throw TranscodeFailure{OpenFailureMessage(Tr(cannotTranscode), path, reason)};
}

void FailWritingTranscode(std::string_view destination, std::string_view reason, int code,
                          std::string_view name, std::string_view other) {
  throw TranscodeFailure{
      WriteFailureMessage(destination, Say(reason, FfmpegReason(code), name, other))};
}

int DecodeEach(AVCodecContext& decoder, const AVPacket* packet, AVFrame& frame, int& damaged,
               const std::function<bool(AVFrame&)>& take) {
  int code = avcodec_send_packet(&decoder, packet);
  if (code == AVERROR_INVALIDDATA) {
    ++damaged;
    return 0;
  }
  while (code >= 0) {
    code = avcodec_receive_frame(&decoder, &frame);
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return 0;
    if (code == AVERROR_INVALIDDATA) {
      ++damaged;
      code = 0;
      continue;
    }
    if (code < 0) break;
    const bool more = take(frame);
    av_frame_unref(&frame);
    if (!more) return 0;
  }
  return code;
}

int EncodeEach(AVCodecContext& encoder, const AVFrame* frame, AVPacket& packet, AVStream& stream,
               AVFormatContext& output) {
  int code = avcodec_send_frame(&encoder, frame);
  while (code >= 0) {
    code = avcodec_receive_packet(&encoder, &packet);
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return 0;
    if (code < 0) break;
    av_packet_rescale_ts(&packet, encoder.time_base, stream.time_base);
    packet.stream_index = stream.index;
    code = av_interleaved_write_frame(&output, &packet);
  }
  return code;
}

std::string FileUrl(const std::string& path) {
  return "file:" + path;
}

std::string_view LeafOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace detail

namespace {

using detail::FailTranscode;

// What the destination holds, in words.
const char* WrittenAs(const TranscodeJob& job) {
  return job.still ? "PNG" : ChoiceOf(job.kind).format;
}

std::string TranscodeCompletedMessage(const TranscodeJob& job, const WrittenOutcome& outcome) {
  char taken[32];
  std::snprintf(taken, sizeof taken, "%.1f", outcome.seconds);
  // TRANSLATORS: {2} is the format written, such as PNG; {4} the seconds taken.
  return SayN(outcome.frames,
              "transcode completed\n\nfrom : {0}\n   to : {1} ({2})\n\n{3} frame in {4} s",
              "transcode completed\n\nfrom : {0}\n   to : {1} ({2})\n\n{3} frames in {4} s",
              job.source, job.destination, WrittenAs(job), outcome.frames, taken);
}

RunResult Stopped(const TranscodeJob& job, RunObserver& observer) {
  observer.Status("");
  return {RunResult::Status::Stopped,
          Say("transcode stopped\n\n{0}\n\nThe partial file was removed; {1} was left as it was.",
              job.source, job.destination),
          std::nullopt};
}

RunResult Transcode(const TranscodeJob& job, RunObserver& observer) {
  const auto started = std::chrono::steady_clock::now();
  // What goes wrong is said in the result; FFmpeg's own lines would only mix into the progress.
  av_log_set_level(AV_LOG_QUIET);
  if (job.source.empty())
    FailTranscode(job.source,
                  std::string(Tr("the file name is empty: name the movie or still to read.")));
  if (job.destination.empty())
    FailTranscode(job.destination, std::string(Tr(emptyDestinationName)));
  if (!job.still && job.kind == TranscodeKind::Copy)
    FailTranscode(job.destination,
                  std::string(Tr("a copy is made by copying the file, not by transcoding it.")));
  if (job.firstFrame < 0 || (job.lastFrame >= 0 && job.lastFrame < job.firstFrame) ||
      job.lastFrame < -1)
    FailTranscode(job.source, Say("the frames kept run from {0} to {1}: the first is 0 or more "
                                  "and the last not before it.",
                                  job.firstFrame, job.lastFrame));
  if (SameFile(job.source, job.destination))
    FailTranscode(job.destination,
                  std::string(Tr("it is the file being transcoded; name another file.")));

  OutputFile destination;
  std::string error;
  if (!destination.Open(job.destination, error))
    throw detail::TranscodeFailure{WriteFailureMessage(job.destination, error)};
  if (!destination.Renames())
    FailTranscode(job.destination,
                  std::string(Tr("a transcode is written into a file: name a file such as "
                                 "clip.mov (not a device, standard output, or a file with more "
                                 "than one hard link).")));
  observer.Status(Say("[Transcode] {0}", detail::LeafOf(job.source)));

  RunResult result;
  WrittenOutcome outcome;
  if (job.still) {
    const std::string png = detail::StillAsPng(job.source);
    if (observer.StopRequested()) return Stopped(job, observer);
    if (!destination.Commit(png, error))
      throw detail::TranscodeFailure{WriteFailureMessage(job.destination, error)};
    outcome.frames = 1;
  } else {
    detail::MovieWritten written =
        detail::TranscodeMovie(job, destination.TemporaryPath(), observer);
    if (written.stopped) return Stopped(job, observer);
    if (!destination.PrepareWritten(error) || !destination.Place(error))
      throw detail::TranscodeFailure{WriteFailureMessage(job.destination, error)};
    outcome.frames = written.frames;
    result.warnings = std::move(written.warnings);
  }
  observer.Progress(200, 200);
  observer.Status("");
  outcome.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  result.message = TranscodeCompletedMessage(job, outcome);
  result.outcome = outcome;
  return result;
}

}  // namespace

RunResult RunTranscode(const TranscodeJob& job, RunObserver& observer) {
  return CatchUnforeseen(job.destination, observer, [&] {
    try {
      return Transcode(job, observer);
    } catch (const detail::TranscodeFailure& failure) {
      observer.Status("");
      return RunResult::Failed(failure.message);
    }
  });
}

}  // namespace pexol
