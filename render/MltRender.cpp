// render/MltRender.cpp - MLT started once, the document loaded, the consumer driven and watched
#include "render/MltRender.h"

#include <fcntl.h>
#include <mlt++/Mlt.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "render/ConsumerRun.h"
#include "render/EncoderSettings.h"
#include "render/ScaledPicture.h"

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

bool MltDocument::Encode(const std::string& path, std::int64_t first, std::int64_t end,
                         const EncodeSettings& settings, const RenderProgress& progress,
                         bool& stopped, std::string& error) {
  stopped = false;
  Mlt::Producer& producer = *graph_->producer;
  producer.set_in_and_out(static_cast<int>(first), static_cast<int>(end - 1));
  // Another size has a profile of its own, and the finished frame is scaled into it.
  std::unique_ptr<ScaledPicture> scaled;
  if (!settings.soundOnly && !settings.size.Standard()) {
    scaled = std::make_unique<ScaledPicture>(graph_->profile, producer, settings.size);
    if (!scaled->Valid()) {
      error = "MLT's scaler (swscale) is not available.";
      return false;
    }
  }
  Mlt::Consumer consumer(scaled ? scaled->Profile() : graph_->profile, "avformat", path.c_str());
  if (!consumer.is_valid()) {
    error = "MLT's avformat consumer (FFmpeg) is not available.";
    return false;
  }
  SetEncoder(consumer, settings);
  consumer.connect(producer);
  const std::int64_t total = end - first;
  const ConsumerEnd ending = RunConsumer(consumer, producer, [&] {
    return progress(std::min<std::int64_t>(producer.position(), total), total);
  });
  if (ending == ConsumerEnd::NotStarted) {
    error = "the encoder could not start.";
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
        "the encoder could not write the file (is the disk full, or the file too large "
        "for it?).";
    return false;
  }
  std::error_code code;
  if (std::filesystem::file_size(path, code) == 0 || code) {
    error = "the encoder wrote nothing (FFmpeg could not write " + settings.format + " with " +
            EncodingName(settings) + ").";
    return false;
  }
  return true;
}

bool MediaDecodes(const std::string& path, bool image) {
  StartMlt();
  Mlt::Profile profile;
  Mlt::Producer producer(profile, image ? "pixbuf" : "avformat", path.c_str());
  return producer.is_valid() && producer.get_length() > 0;
}

}  // namespace pexol
