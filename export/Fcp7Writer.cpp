// export/Fcp7Writer.cpp - sequence, tracks, clip and generator items, files and transitions
#include "export/Fcp7Writer.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/FileUrl.h"
#include "core/XmlWriter.h"

namespace pexol {
namespace {

// The tracks of one kind up to the last that holds clips; `keepFirst` keeps the first one
// even when empty (a sequence shows at least V1).
std::vector<const ExportTrack*> UpToLastUsed(std::vector<const ExportTrack*> tracks,
                                             bool keepFirst) {
  while (tracks.size() > (keepFirst ? 1u : 0u) && tracks.back()->Empty()) tracks.pop_back();
  return tracks;
}

bool IsSound(const std::string& name) {
  for (const char* extension : {".wav", ".mp3", ".aif", ".aiff", ".m4a", ".aac"}) {
    const std::string_view tail(extension);
    if (name.size() >= tail.size()) {
      bool same = true;
      for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = name[name.size() - tail.size() + i];
        same = same && (c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) == tail[i];
      }
      if (same) return true;
    }
  }
  return false;
}

class Fcp7Builder {
 public:
  explicit Fcp7Builder(const ExportTimeline& timeline) : timeline_(timeline) {}

  // Video tracks V1 to V3 (main, insert, titles; the titles' images under them where titles
  // have any) and audio tracks A1 to A4 (the main clips' sound, the extra audio, the inserts'
  // sound): the sequence numbers its tracks, so the ones between used tracks are written even
  // when empty.
  ExportWritten Write() {
    std::vector<const ExportTrack*> video, audio;
    for (const ExportTrack& track : timeline_.tracks)
      if (track.role != TrackRole::TitleImages || !track.Empty())
        (track.video ? video : audio).push_back(&track);
    video = UpToLastUsed(std::move(video), true);
    audio = UpToLastUsed(std::move(audio), false);

    xml_.Open("xmeml");
    xml_.Attribute("version", "4");
    xml_.Open("sequence");
    xml_.Attribute("id", "sequence-1");
    xml_.Element("name", timeline_.projectName);
    xml_.Element("duration", timeline_.end.Value());
    Rate();
    Timecode();
    xml_.Open("media");
    xml_.Open("video");
    Format(timeline_.wideScreen);
    for (std::size_t t = 0; t < video.size(); ++t)
      Track(*video[t], "V" + std::to_string(t + 1), true);
    xml_.Close();
    xml_.Open("audio");
    xml_.Open("format");
    xml_.Open("samplecharacteristics");
    xml_.Element("depth", 16);
    xml_.Element("samplerate", 48000);
    xml_.Close();
    xml_.Close();
    for (std::size_t t = 0; t < audio.size(); ++t)
      Track(*audio[t], "A" + std::to_string(t + 1), false);
    xml_.Close();
    xml_.Close();
    xml_.Close();
    ExportWritten out;
    out.files.push_back({"", xml_.Finish()});
    std::vector<const ExportTrack*> written = video;
    written.insert(written.end(), audio.begin(), audio.end());
    out.counts = CountWritten(written);
    return out;
  }

 private:
  bool Pal() const { return TimecodeModeOf(timeline_.rate) == TimecodeMode::Pal; }

  void Rate() {
    xml_.Open("rate");
    xml_.Element("timebase", Pal() ? 25 : 30);
    xml_.Element("ntsc", Pal() ? "FALSE" : "TRUE");
    xml_.Close();
  }

  void Timecode() {
    const bool drop = TimecodeModeOf(timeline_.rate) == TimecodeMode::NtscDrop;
    xml_.Open("timecode");
    Rate();
    xml_.Element("string", drop ? "00;00;00;00" : "00:00:00:00");
    xml_.Element("frame", 0);
    xml_.Element("displayformat", drop ? "DF" : "NDF");
    xml_.Close();
  }

  // DV frames: 720 pixels wide, the NTSC or PAL pixel shape, anamorphic for 16:9.
  void Format(bool wideScreen) {
    xml_.Open("format");
    xml_.Open("samplecharacteristics");
    Rate();
    xml_.Element("width", 720);
    xml_.Element("height", Pal() ? 576 : 480);
    xml_.Element("anamorphic", wideScreen ? "TRUE" : "FALSE");
    xml_.Element("pixelaspectratio", Pal() ? "PAL-601" : "NTSC-601");
    xml_.Element("fielddominance", Pal() ? "upper" : "lower");
    xml_.Close();
    xml_.Close();
  }

  void Track(const ExportTrack& track, const std::string& name, bool video) {
    xml_.Open("track");
    xml_.Attribute("MZ.TrackName", name);
    for (const ExportPiece& piece : track.pieces) {
      if (!piece.item) continue;
      if (piece.transition) TransitionItem(piece, video);
      Item(piece, video);
    }
    xml_.Element("enabled", "TRUE");
    xml_.Element("locked", "FALSE");
    xml_.Close();
  }

  // A transition starting on its cut: it plays the incoming clip's head over the outgoing
  // clip's frames past the cut.
  void TransitionItem(const ExportPiece& incoming, bool video) {
    const bool dissolve = incoming.transition->code == 'D';
    xml_.Open("transitionitem");
    xml_.Element("start", incoming.recordIn.Value());
    xml_.Element("end", (incoming.recordIn + incoming.transitionLength).Value());
    xml_.Element("alignment", "start");
    Rate();
    xml_.Open("effect");
    if (!video) {
      // A sound track holds only the transitions whose sound cross-fades: linearly, 0 dB.
      EffectHead("Cross Fade (0dB)", "KGAudioTransCrossFade0dB", nullptr, "transition", "audio");
    } else if (dissolve) {
      EffectHead("Cross Dissolve", "Cross Dissolve", "Dissolve", "transition", "video");
    } else {
      // A bar wiping from left to right.
      EffectHead("Edge Wipe", "Edge Wipe", "Wipe", "transition", "video");
      xml_.Open("parameter");
      xml_.Element("parameterid", "angle");
      xml_.Element("name", "Angle");
      xml_.Element("value", 0);
      xml_.Close();
    }
    xml_.Close();
    xml_.Close();
  }

  // A clip (movie, still) or generator (colour, title) item. Next to a transition its start
  // or end is -1, the reader taking the transition's cut, and its media runs on under it.
  void Item(const ExportPiece& piece, bool video) {
    const TimelineItem& item = *piece.item;
    const Frames tail = piece.runOn;
    const bool generator = item.kind == ItemKind::Colour || item.kind == ItemKind::Title;
    xml_.Open(generator ? "generatoritem" : "clipitem");
    xml_.Attribute("id", "clipitem-" + std::to_string(++itemCount_));
    xml_.Element("name", piece.name);
    xml_.Element("enabled", "TRUE");
    const Frames sourceIn = item.kind == ItemKind::Movie ? piece.sourceIn : Frames(0);
    // Under Time Remap the in, out and duration count the clip's own frames, as the sequence
    // plays them: at half speed two for each source frame.
    const Frames in = item.slow ? 2 * sourceIn : sourceIn;
    const Frames out = in + piece.Length() + tail;
    xml_.Element("duration", out.Value());
    Rate();
    xml_.Element("start", piece.transition ? -1 : piece.recordIn.Value());
    xml_.Element("end", tail > 0 ? -1 : piece.recordOut.Value());
    xml_.Element("in", in.Value());
    xml_.Element("out", out.Value());
    if (generator) {
      Generator(piece);
    } else {
      File(piece, video);
      if (!video) {
        xml_.Open("sourcetrack");
        xml_.Element("mediatype", "audio");
        xml_.Element("trackindex", 1);
        xml_.Close();
      }
      if (item.slow) TimeRemap();
      if (!video && item.kind == ItemKind::Movie && !piece.gain.empty())
        AudioLevels(piece.gain, item.sourceIn);
    }
    xml_.Close();
  }

  // A media file in full at its first use, by its id after.
  void File(const ExportPiece& piece, bool video) {
    const TimelineItem& item = *piece.item;
    const std::string& path = piece.media->path;
    const auto [found, added] = files_.try_emplace(path, files_.size() + 1);
    xml_.Open("file");
    xml_.Attribute("id", "file-" + std::to_string(found->second));
    if (added) {
      const std::string& name = piece.name;
      xml_.Element("name", name);
      xml_.Element("pathurl", FileUrl(path));
      Rate();
      if (item.kind == ItemKind::Movie && piece.media->length)
        xml_.Element("duration", piece.media->length->frames);
      xml_.Open("media");
      if (!IsSound(name)) xml_.Element("video", "");
      if (!video || item.hasAudio) xml_.Element("audio", "");
      xml_.Close();
    }
    xml_.Close();
  }

  void Generator(const ExportPiece& piece) {
    const TimelineItem& item = *piece.item;
    xml_.Open("effect");
    if (item.kind == ItemKind::Colour) {
      EffectHead("Color", "Color", "Matte", "generator", "video");
      xml_.Open("parameter");
      xml_.Element("parameterid", "fillcolor");
      xml_.Element("name", "Color");
      xml_.Open("value");
      xml_.Element("alpha", 255);
      xml_.Element("red", (item.colour >> 16) & 0xFF);
      xml_.Element("green", (item.colour >> 8) & 0xFF);
      xml_.Element("blue", item.colour & 0xFF);
      xml_.Close();
      xml_.Close();
    } else {
      EffectHead("Text", "Text", "Text", "generator", "video");
      Parameter("str", "Text", piece.caption);
      for (const TitleText& text : item.texts) {
        if (text.namesMedia) continue;
        const std::string family = timeline_.Decoded(text.font);
        if (!family.empty()) Parameter("fontname", "Font", family);
        Parameter("fontsize", "Size", std::to_string(text.size > 0 ? text.size : 48));
        break;
      }
      Parameter("fontalign", "Alignment", "2");  // centred
    }
    xml_.Close();
  }

  // What names an effect, a transition or a generator; `category` may be absent.
  void EffectHead(const char* name, const char* id, const char* category, const char* type,
                  const char* mediaType) {
    xml_.Element("name", name);
    xml_.Element("effectid", id);
    if (category != nullptr) xml_.Element("effectcategory", category);
    xml_.Element("effecttype", type);
    xml_.Element("mediatype", mediaType);
  }

  void Parameter(const char* id, const char* name, const std::string& value) {
    xml_.Open("parameter");
    xml_.Element("parameterid", id);
    xml_.Element("name", name);
    xml_.Element("value", value);
    xml_.Close();
  }

  // Constant half speed.
  void TimeRemap() {
    xml_.Open("filter");
    xml_.Open("effect");
    EffectHead("Time Remap", "timeremap", "motion", "motion", "video");
    Parameter("variablespeed", "variablespeed", "0");
    Parameter("speed", "speed", "50");
    Parameter("reverse", "reverse", "FALSE");
    Parameter("frameblending", "frameblending", "FALSE");
    xml_.Close();
    xml_.Close();
  }

  // The "Audio Levels" filter: linear gain (1 the recorded level) keyed at frames of the media.
  void AudioLevels(const std::vector<GainPoint>& envelope, Frames first) {
    xml_.Open("filter");
    xml_.Open("effect");
    EffectHead("Audio Levels", "audiolevels", "audiolevels", "audiolevels", "audio");
    xml_.Open("parameter");
    xml_.Element("parameterid", "level");
    xml_.Element("name", "Level");
    xml_.Element("valuemin", 0);
    xml_.Element("valuemax", "3.98109");
    xml_.Element("value", Gain(envelope.front().level));
    for (const GainPoint& point : envelope) {
      xml_.Open("keyframe");
      xml_.Element("when", (first + point.frame).Value());
      xml_.Element("value", Gain(point.level));
      xml_.Close();
    }
    xml_.Close();
    xml_.Close();
    xml_.Close();
  }

  static std::string Gain(double level) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::clamp(level, 0.0, 200.0) / 100);
    return text;
  }

  const ExportTimeline& timeline_;
  XmlWriter xml_;
  std::map<std::string, std::size_t> files_;  // path to file id
  int itemCount_ = 0;
};

}  // namespace

ExportWritten WriteFcp7(const ExportTimeline& timeline, const FormatOptions& /*options*/) {
  Fcp7Builder builder(timeline);
  return builder.Write();
}

}  // namespace pexol
