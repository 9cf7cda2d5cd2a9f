// render/EncoderSettings.cpp - codecs, scan, quality and sound of the avformat consumer
#include "render/EncoderSettings.h"

#include <mlt++/Mlt.h>

#include <string>

#include "core/Translation.h"
#include "render/MltRender.h"

namespace pexol {

namespace {

void SetPicture(Mlt::Consumer& consumer, const EncodeSettings& settings) {
  if (settings.codec == RenderCodec::ProRes) {
    // ProRes 422 as editors take it: 10 bits, 4:2:2, the standard data rate; with its sound
    // uncompressed, as editors keep it.
    consumer.set("vcodec", "prores_ks");
    consumer.set("vprofile", "standard");
    consumer.set("pix_fmt", "yuv422p10le");
  } else {
    consumer.set("vcodec", "libx264");
    consumer.set("crf", settings.crf);
    consumer.set("pix_fmt", "yuv420p");
  }
  consumer.set("acodec", settings.audioCodec.c_str());
  if (settings.audioCodec != "pcm_s16le") consumer.set("ab", "192k");
  if (settings.interlaced) {
    // The fields as DV records them, lower first; the encoder codes them as fields.
    consumer.set("progressive", 0);
    consumer.set("top_field_first", 0);
  } else {
    consumer.set("progressive", 1);
    // Interlaced media are deinterlaced as they are read, before compositing or scaling.
    consumer.set("deinterlacer", "yadif");
  }
  if (!settings.size.Standard()) consumer.set("rescale", "bicubic");
}

}  // namespace

void SetEncoder(Mlt::Consumer& consumer, const EncodeSettings& settings) {
  consumer.set("f", settings.format.c_str());
  if (settings.soundOnly) {
    consumer.set("vn", 1);
    // No picture is rendered at all, not only not encoded.
    consumer.set("video_off", 1);
    consumer.set("acodec", settings.audioCodec.c_str());
    if (settings.audioCodec == "aac" || settings.audioCodec == "libmp3lame")
      consumer.set("ab", "192k");
  } else {
    SetPicture(consumer, settings);
  }
  if (settings.pictureOnly) {
    consumer.set("an", 1);
    // The sound is not mixed at all, not only not encoded.
    consumer.set("audio_off", 1);
    // A range runs beside others, a core each: one encoder thread costs least, where x264's
    // own threads would contend with the other ranges for the cores (about a tenth more CPU).
    consumer.set("threads", 1);
  }
  consumer.set("channels", 2);
  consumer.set("frequency", settings.frequency);
  // Every frame, none dropped, in order; the end of the range ends it. One thread renders them:
  // on two, MLT 7.12's image and text producers free memory the other still reads, and the
  // deinterlacer's neighbouring frames (which frame asks first, whether they are fetched at
  // all) depend on the threads' timing, so that a range rendered twice differed in its
  // pixels; on one, a range gives the same packets however and wherever it is rendered.
  consumer.set("real_time", -1);
  consumer.set("terminate_on_pause", 1);
}

const char* EncodingName(const EncodeSettings& settings) {
  if (settings.soundOnly) {
    if (settings.audioCodec == "pcm_s16le") return ToTranslate("PCM sound").data();
    if (settings.audioCodec == "flac") return "FLAC";
    if (settings.audioCodec == "libmp3lame") return "MP3";
    return "AAC";
  }
  return settings.codec == RenderCodec::ProRes ? ToTranslate("ProRes 422 and PCM").data()
                                               : ToTranslate("H.264 and AAC").data();
}

}  // namespace pexol
