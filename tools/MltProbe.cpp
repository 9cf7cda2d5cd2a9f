// tools/MltProbe.cpp - loads an MLT document as melt does and prints what MLT made of it
//
// Usage: mlt-probe FILE.mlt. Prints the frame rate, the length, each track of the top tractor
// with its entries (service, id, in, out; blanks with their length; the two clips inside a
// same-track transition) and the top tractor's transitions, then renders a frame in the middle
// of every entry. Exits 1 when MLT logs any error, 2 when the document does not load at all.
#include <mlt++/Mlt.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

int errorCount = 0;

// MLT reports failures (unknown services, unreadable media) only through its log.
void LogCallback(void* /*service*/, int level, const char* format, va_list arguments) {
  if (level > MLT_LOG_ERROR) return;
  ++errorCount;
  std::fputs("mlt error: ", stderr);
  std::vfprintf(stderr, format, arguments);
}

std::string Text(const char* value) {
  return value ? value : "-";
}

std::string ServiceName(Mlt::Producer& producer) {
  if (producer.type() == mlt_service_tractor_type) return "tractor";
  if (producer.type() == mlt_service_playlist_type) return "playlist";
  return Text(producer.get("mlt_service"));
}

struct Probe {
  std::int64_t position;
};

void PrintParts(Mlt::Producer& transition) {
  Mlt::Tractor inner(transition);
  for (int k = 0; k < inner.count(); ++k) {
    std::unique_ptr<Mlt::Producer> part(inner.track(k));
    if (!part || !part->is_valid()) continue;
    std::unique_ptr<Mlt::Producer> parent(new Mlt::Producer(part->parent()));
    std::printf("  part %s %s %d %d\n", ServiceName(*parent).c_str(),
                Text(parent->get("id")).c_str(), part->get_in(), part->get_out());
  }
}

void PrintTrack(Mlt::Tractor& tractor, int index, std::vector<Probe>& probes) {
  std::unique_ptr<Mlt::Producer> track(tractor.track(index));
  if (!track || !track->is_valid()) {
    std::printf("track %d invalid\n", index);
    ++errorCount;
    return;
  }
  std::printf("track %d %s %s hide=%s length=%d\n", index, Text(track->get("id")).c_str(),
              Text(track->get("shotcut:name")).c_str(), Text(track->get("hide")).c_str(),
              track->get_playtime());
  if (track->type() != mlt_service_playlist_type) return;
  Mlt::Playlist playlist(*track);
  for (int entry = 0; entry < playlist.count(); ++entry) {
    std::unique_ptr<Mlt::ClipInfo> info(playlist.clip_info(entry));
    if (!info) continue;
    if (playlist.is_blank(entry)) {
      std::printf("blank %d\n", info->frame_count);
      continue;
    }
    Mlt::Producer& producer = *info->producer;
    std::printf("entry %s %s %d %d\n", ServiceName(producer).c_str(),
                Text(producer.get("id")).c_str(), info->frame_in, info->frame_out);
    if (producer.type() == mlt_service_tractor_type) PrintParts(producer);
    probes.push_back({std::int64_t{info->start} + info->frame_count / 2});
  }
}

void PrintTransitions(Mlt::Tractor& tractor) {
  std::unique_ptr<Mlt::Service> service(tractor.producer());
  while (service && service->is_valid() && service->type() == mlt_service_transition_type) {
    std::printf("transition %s %d %d\n", Text(service->get("mlt_service")).c_str(),
                service->get_int("a_track"), service->get_int("b_track"));
    service.reset(service->producer());
  }
}

// Pulls the image and sound of one frame, so that media and effects are actually opened.
void Render(Mlt::Producer& producer, Mlt::Profile& profile, std::int64_t position) {
  producer.seek(static_cast<int>(position));
  std::unique_ptr<Mlt::Frame> frame(producer.get_frame());
  if (!frame || !frame->is_valid()) {
    std::fprintf(stderr, "no frame at %lld\n", static_cast<long long>(position));
    ++errorCount;
    return;
  }
  mlt_image_format imageFormat = mlt_image_rgba;
  int width = profile.width();
  int height = profile.height();
  if (!frame->get_image(imageFormat, width, height)) {
    std::fprintf(stderr, "no image at %lld\n", static_cast<long long>(position));
    ++errorCount;
  }
  mlt_audio_format audioFormat = mlt_audio_s16;
  int frequency = 48000;
  int channels = 2;
  int samples =
      mlt_audio_calculate_frame_samples(static_cast<float>(profile.fps()), frequency, position);
  frame->get_audio(audioFormat, frequency, channels, samples);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: mlt-probe FILE.mlt\n", stderr);
    return 2;
  }
  mlt_log_set_level(MLT_LOG_WARNING);
  mlt_log_set_callback(LogCallback);
  std::unique_ptr<Mlt::Repository> repository(Mlt::Factory::init());
  int status = 0;
  {
    Mlt::Profile profile;
    Mlt::Producer producer(profile, "xml", argv[1]);
    if (!producer.is_valid()) {
      std::fprintf(stderr, "cannot load %s\n", argv[1]);
      status = 2;
    } else {
      std::printf("fps %d/%d\n", profile.frame_rate_num(), profile.frame_rate_den());
      std::printf("size %dx%d aspect %d:%d\n", profile.width(), profile.height(),
                  profile.display_aspect_num(), profile.display_aspect_den());
      std::printf("length %d\n", producer.get_playtime());
      std::vector<Probe> probes;
      // The XML producer hands back the document's top tractor relabelled as an "xml"
      // producer; it keeps the original type.
      if (producer.get_int("_original_type") == mlt_service_tractor_type) {
        Mlt::Tractor tractor(reinterpret_cast<mlt_tractor>(producer.get_producer()));
        std::printf("shotcut %s\n", Text(tractor.get("shotcut")).c_str());
        for (int t = 0; t < tractor.count(); ++t) PrintTrack(tractor, t, probes);
        PrintTransitions(tractor);
      } else {
        std::printf("top %s\n", ServiceName(producer).c_str());
      }
      for (const Probe& probe : probes) Render(producer, profile, probe.position);
    }
  }
  Mlt::Factory::close();
  if (status == 0 && errorCount > 0) status = 1;
  std::fflush(stdout);
  return status;
}
