// render/MltRender.cpp - MLT started once, the document loaded, the consumer driven and watched
#include "render/MltRender.h"

#include <fcntl.h>
#include <mlt++/Mlt.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>

#include "core/TemporaryFiles.h"
#include "core/Translation.h"
#include "render/ConsumerRun.h"
#include "render/EncoderSettings.h"
#include "render/ScaledPicture.h"
#include "render/SoundTranscode.h"

namespace pexol {

namespace {

void StartMlt() {
  static std::once_flag started;
  std::call_once(started, [] {
    // Modules print notes while they load ("No LADSPA plugins were found!") that say nothing
    // about a render; standard error is muted meanwhile.
    const int saved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const bool muted = saved >= 0 && null >= 0 && ::dup2(null, STDERR_FILENO) >= 0;
    Mlt::Factory::init();
    if (muted) ::dup2(saved, STDERR_FILENO);
    if (saved >= 0) ::close(saved);
    if (null >= 0) ::close(null);
    // The command's own messages say what went wrong; MLT's are for its developers.
    mlt_log_set_level(MLT_LOG_QUIET);
  });
}

}  // namespace

struct MltDocument::Graph {
  Mlt::Profile profile;
  std::unique_ptr<Mlt::Producer> producer;
};

MltDocument::MltDocument(const std::string& document) : graph_(std::make_unique<Graph>()) {
  StartMlt();
  // The profile is not explicit, so the document's own <profile> sets it.
  graph_->producer =
      std::make_unique<Mlt::Producer>(graph_->profile, "xml-string", document.c_str());
}

MltDocument::~MltDocument() = default;

bool MltDocument::Valid() const {
  return graph_->producer->is_valid();
}

std::int64_t MltDocument::Length() const {
  return Valid() ? graph_->producer->get_length() : 0;
}

namespace {

// A file of this run's own beside the destination's temporary file, removed however it ends.
// Registered as a temporary file: a run ended by a signal removes it too.
struct ScratchFile {
  explicit ScratchFile(std::string name) : path(std::move(name)) {}
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    ForgetTemporary(registration);
  }
  std::string path;
  int registration = RegisterTemporary(path);
};

// Codecs that code blocks of samples: MLT's encoder pads their last block with silence.
bool CodesBlocks(const EncodeSettings& settings) {
  return settings.soundOnly && settings.audioCodec != "pcm_s16le";
}

}  // namespace

bool MltDocument::Encode(const std::string& path, std::int64_t first, std::int64_t end,
                         const EncodeSettings& settings, const RenderProgress& progress,
                         bool& stopped, std::string& error) {
  stopped = false;
  const std::int64_t total = end - first;
  if (!CodesBlocks(settings))
    return EncodeByMlt(path, first, end, settings, progress, stopped, error);
  // The mix as MLT renders it, sample for sample, then encoded by FFmpeg's libraries, which
  // end on the last sample.
  const ScratchFile mix{path + ".wav"};
  EncodeSettings pcm = settings;
  pcm.format = "wav";
  pcm.audioCodec = "pcm_s16le";
  if (!EncodeByMlt(mix.path, first, end, pcm, progress, stopped, error)) return false;
  if (stopped) return true;
  const std::int64_t bitRate = settings.audioCodec == "flac" ? 0 : 192000;
  if (!TranscodeSound(
          mix.path, path, settings.format.c_str(), settings.audioCodec.c_str(), bitRate,
          [&] { return progress(total, total); }, stopped, error))
    return false;
  std::error_code code;
  if (!stopped && (std::filesystem::file_size(path, code) == 0 || code)) {
    error = Tr("the encoder wrote nothing.");
    return false;
  }
  return true;
}

bool MltDocument::EncodeByMlt(const std::string& path, std::int64_t first, std::int64_t end,
                              const EncodeSettings& settings, const RenderProgress& progress,
                              bool& stopped, std::string& error) {
  Mlt::Producer& producer = *graph_->producer;
  producer.set_in_and_out(static_cast<int>(first), static_cast<int>(end - 1));
  // Another size has a profile of its own, and the finished frame is scaled into it.
  std::unique_ptr<ScaledPicture> scaled;
  if (!settings.soundOnly && !settings.size.Standard()) {
    scaled = std::make_unique<ScaledPicture>(graph_->profile, producer, settings.size);
    if (!scaled->Valid()) {
      error = Tr("MLT's scaler (swscale) is not available.");
      return false;
    }
  }
  Mlt::Consumer consumer(scaled ? scaled->Profile() : graph_->profile, "avformat", path.c_str());
  if (!consumer.is_valid()) {
    error = Tr("MLT's avformat consumer (FFmpeg) is not available.");
    return false;
  }
  SetEncoder(consumer, settings);
  consumer.connect(producer);
  const std::int64_t total = end - first;
  const ConsumerEnd ending = RunConsumer(consumer, producer, [&] {
    return progress(std::min<std::int64_t>(producer.position(), total), total);
  });
  if (ending == ConsumerEnd::NotStarted) {
    error = Tr("the encoder could not start.");
    return false;
  }
  stopped = ending == ConsumerEnd::Stopped;
  if (stopped) return true;
  // MLT 7.12 logs a failed write and carries on, so the file is read back: a short or
  // unreadable one is a failure, not a finished video.
  bool failed = ending == ConsumerEnd::WriteFailed;
  if (!failed) {
    Mlt::Producer written(graph_->profile, "avformat", path.c_str());
    failed = !written.is_valid() || written.get_length() + 2 < total;
  }
  if (failed) {
    error =
        Tr("the encoder could not write the file (is the disk full, or the file too large for "
           "it?).");
    return false;
  }
  std::error_code code;
  if (std::filesystem::file_size(path, code) == 0 || code) {
    // TRANSLATORS: {0} is FFmpeg's name of the container, {1} what it holds ("H.264 and AAC").
    error = Say("the encoder wrote nothing (FFmpeg could not write {0} with {1}).", settings.format,
                Tr(EncodingName(settings)));
    return false;
  }
  return true;
}

std::optional<std::int64_t> MediaLength(const std::string& path, bool image, int rateNumerator,
                                        int rateDenominator) {
  StartMlt();
  Mlt::Profile profile;
  // The length is counted in the profile's frames: the render's.
  profile.set_frame_rate(rateNumerator, rateDenominator);
  profile.set_explicit(1);
  Mlt::Producer producer(profile, image ? "pixbuf" : "avformat", path.c_str());
  if (!producer.is_valid() || producer.get_length() <= 0) return std::nullopt;
  return producer.get_length();
}

}  // namespace pexol
