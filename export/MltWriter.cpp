// export/MltWriter.cpp - profile, producers, same-track transitions, playlists and the top tractor
#include "export/MltWriter.h"

#include <algorithm>
#include <cstdio>

#include "export/TrackLayout.h"
#include "export/XmlWriter.h"

namespace pexol {
namespace {

struct MltTrack {
  const char* name;
  bool video;
  bool sound;
  std::vector<TrackPiece> pieces;
};

// Where a piece's playlist entry starts in its producer's frames.
Frames ProducerIn(const TrackPiece& piece) {
  switch (piece.item->kind) {
    case ItemKind::Movie:
      // The timewarp producer counts frames at its own (half) speed.
      return piece.item->slow ? 2 * piece.sourceIn : piece.sourceIn;
    case ItemKind::Still:
    case ItemKind::Colour:
    case ItemKind::Title:
      break;
  }
  return 0;
}

std::string MltColour(std::uint32_t colour) {
  std::string text = "0x" + HexColour(colour).substr(1);
  return text + "ff";
}

// Where a gradient starts and ends in the frame (0 to 1 across and down), by direction: up, up
// right, right, down right, down, down left, left, up left.
struct GradientLine {
  double startX, startY, endX, endY;
};
constexpr GradientLine gradientLines[8] = {{0.5, 1, 0.5, 0}, {0, 1, 1, 0},     {0, 0.5, 1, 0.5},
                                           {0, 0, 1, 1},     {0.5, 0, 0.5, 1}, {1, 0, 0, 1},
                                           {1, 0.5, 0, 0.5}, {1, 1, 0, 0}};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// Shotcut's gain filter keyframes: "frame=dB" each, silence as its lowest gain.
std::string GainKeyframes(const std::vector<GainPoint>& envelope, Frames first) {
  std::string text;
  for (const GainPoint& point : envelope) {
    if (!text.empty()) text += ';';
    const auto gain = GainDb(point.level);
    text += std::to_string((first + point.frame).Value()) + "=" + (gain ? Number(*gain) : "-90");
  }
  return text;
}

// The services that differ between the editor's document and one rendered without a display.
struct ServiceNames {
  const char* still;       // an image file's producer
  const char* trackBlend;  // a video track over the ones below it
};

ServiceNames NamesOf(MltServices services) {
  if (services == MltServices::DisplayFree) return {"pixbuf", "affine"};
  return {"qimage", "qtblend"};
}

class MltBuilder {
 public:
  MltBuilder(const ExportSettings& settings, const MediaPathOf& mediaPath, ExportCounts& counts,
             ServiceNames services)
      : settings_(settings), mediaPath_(mediaPath), counts_(counts), services_(services) {}

  void Start(bool wideScreen) {
    xml_.Open("mlt");
    xml_.Attribute("LC_NUMERIC", "C");
    xml_.Attribute("version", "7.12.0");
    xml_.Attribute("title", settings_.projectName);
    xml_.Attribute("producer", "main_bin");
    Profile(wideScreen);
    xml_.Open("playlist");
    xml_.Attribute("id", "main_bin");
    xml_.Property("xml_retain", 1);
    xml_.Close();
  }

  // Shotcut expects its black background as track 0, as long as the timeline.
  void Background(Frames length) {
    xml_.Open("producer");
    xml_.Attribute("id", "black");
    xml_.Property("length", std::max(length, Frames(1)).Value());
    xml_.Property("eof", "pause");
    xml_.Property("resource", "0");
    xml_.Property("mlt_service", "color");
    xml_.Property("set.test_audio", 0);
    xml_.Close();
    xml_.Open("playlist");
    xml_.Attribute("id", "background");
    if (length > 0) Entry("black", 0, length);
    xml_.Close();
  }

  void Track(const MltTrack& track, int number) {
    std::vector<std::string> producers(track.pieces.size());
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      const TrackPiece& piece = track.pieces[p];
      if (!piece.item) continue;
      const bool next = p + 1 < track.pieces.size() && track.pieces[p + 1].transition;
      // Clips on video tracks whose sound the project has turned off play silent.
      const bool muted = track.video && !CarriesAudio(*piece.item);
      producers[p] = Producer(piece, next ? track.pieces[p + 1].transitionLength : 0, muted);
      ++counts_.clips;
    }
    std::vector<std::string> transitions(track.pieces.size());
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      if (!track.pieces[p].transition) continue;
      transitions[p] =
          SameTrackTransition(track.pieces[p - 1], producers[p - 1], track.pieces[p], producers[p]);
      ++counts_.transitions;
    }

    xml_.Open("playlist");
    xml_.Attribute("id", "playlist" + std::to_string(number));
    xml_.Property(track.video ? "shotcut:video" : "shotcut:audio", 1);
    xml_.Property("shotcut:name", track.name);
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      const TrackPiece& piece = track.pieces[p];
      if (!piece.item) {
        xml_.Open("blank");
        xml_.Attribute("length", piece.Length().Value());
        xml_.Close();
        continue;
      }
      // A transition plays the head of the incoming clip, so its entry starts after it.
      const Frames skip = piece.transitionLength;
      if (skip > 0) Entry(transitions[p], 0, skip);
      if (piece.Length() > skip) {
        Entry(producers[p], ProducerIn(piece) + skip, piece.Length() - skip);
      }
    }
    xml_.Close();
    ++counts_.tracks;
  }

  // Shotcut does not add the compositing back: without a mix per sounding track and a blend
  // per video track above V1, upper tracks would not show and audio tracks would not play.
  void TopTractor(const std::vector<MltTrack>& tracks, Frames length) {
    xml_.Open("tractor");
    xml_.Attribute("id", "tractor0");
    xml_.Attribute("title", settings_.projectName);
    if (length > 0) {
      xml_.Attribute("in", 0);
      xml_.Attribute("out", LastFrame(length));
    }
    xml_.Property("shotcut", 1);
    xml_.Open("track");
    xml_.Attribute("producer", "background");
    xml_.Close();
    for (std::size_t t = 0; t < tracks.size(); ++t) {
      xml_.Open("track");
      xml_.Attribute("producer", "playlist" + std::to_string(t));
      if (!tracks[t].video) xml_.Attribute("hide", "video");
      xml_.Close();
    }
    for (std::size_t t = 0; t < tracks.size(); ++t) {
      const std::int64_t index = static_cast<std::int64_t>(t) + 1;
      if (tracks[t].sound) {
        xml_.Open("transition");
        xml_.Property("a_track", 0);
        xml_.Property("b_track", index);
        xml_.Property("mlt_service", "mix");
        xml_.Property("always_active", 1);
        xml_.Property("sum", 1);
        xml_.Close();
      }
      if (tracks[t].video && t > 0) {
        xml_.Open("transition");
        xml_.Property("a_track", 1);
        xml_.Property("b_track", index);
        xml_.Property("mlt_service", services_.trackBlend);
        xml_.Property("threads", 0);
        xml_.Close();
      }
    }
    xml_.Close();
  }

  std::string Finish() { return xml_.Finish(); }

 private:
  void Profile(bool wideScreen) {
    const bool pal = TimecodeModeOf(settings_.rate) == TimecodeMode::Pal;
    // 720 pixels wide on a 4:3 or 16:9 display: 8:9 or 32:27 (NTSC), 16:15 or 64:45 (PAL).
    const int aspect[2][2][2] = {{{8, 9}, {32, 27}}, {{16, 15}, {64, 45}}};
    const auto* pixel = aspect[pal][wideScreen];
    xml_.Open("profile");
    xml_.Attribute("description", pal ? "DV/DVD PAL" : "DV/DVD NTSC");
    xml_.Attribute("width", 720);
    xml_.Attribute("height", pal ? 576 : 480);
    xml_.Attribute("progressive", 0);
    xml_.Attribute("sample_aspect_num", pixel[0]);
    xml_.Attribute("sample_aspect_den", pixel[1]);
    xml_.Attribute("display_aspect_num", wideScreen ? 16 : 4);
    xml_.Attribute("display_aspect_den", wideScreen ? 9 : 3);
    xml_.Attribute("frame_rate_num", settings_.rate.numerator);
    xml_.Attribute("frame_rate_den", settings_.rate.denominator);
    xml_.Attribute("colorspace", 601);
    xml_.Close();
  }

  void Entry(const std::string& producer, Frames in, Frames length) {
    xml_.Open("entry");
    xml_.Attribute("producer", producer);
    xml_.Attribute("in", in.Value());
    xml_.Attribute("out", LastFrame(in, length));
    xml_.Close();
  }

  // Writes the producer of one piece; `tail` frames past its end feed a transition.
  std::string Producer(const TrackPiece& piece, Frames tail, bool muted) {
    const TimelineItem& item = *piece.item;
    std::string id = "producer" + std::to_string(producerCount_++);
    xml_.Open("producer");
    xml_.Attribute("id", id);
    const std::int64_t length = (piece.Length() + tail).Value();
    switch (item.kind) {
      case ItemKind::Movie: {
        const std::string path = mediaPath_(item.name);
        if (item.slow) {
          xml_.Property("resource", "0.5:" + path);
          xml_.Property("mlt_service", "timewarp");
          xml_.Property("warp_speed", "0.5");
          xml_.Property("warp_resource", path);
          xml_.Property("shotcut:producer", "avformat");
        } else {
          xml_.Property("resource", path);
          xml_.Property("mlt_service", "avformat");
        }
        if (muted) xml_.Property("audio_index", -1);
        break;
      }
      case ItemKind::Still:
        xml_.Property("length", length);
        xml_.Property("resource", mediaPath_(item.name));
        xml_.Property("ttl", 1);
        xml_.Property("mlt_service", services_.still);
        break;
      case ItemKind::Colour:
        xml_.Property("length", length);
        xml_.Property("resource", MltColour(item.colour));
        xml_.Property("mlt_service", "color");
        break;
      case ItemKind::Title:
        xml_.Property("length", length);
        xml_.Property("resource", "0x00000000");
        xml_.Property("mlt_service", "color");
        xml_.Property("mlt_image_format", "rgba");
        break;
    }
    xml_.Property("shotcut:caption", ItemName(item, settings_));
    if (item.kind == ItemKind::Title) TextFilter(item);
    if (item.kind == ItemKind::Colour && item.fill.colours.size() > 1) Gradient(item.fill);
    if (item.kind == ItemKind::Still) KeepAspect();
    if (!muted && item.kind == ItemKind::Movie) {
      const std::vector<GainPoint> envelope =
          GainEnvelope(item, item.recordOut - item.recordIn, settings_);
      if (!envelope.empty()) GainFilter(envelope, item.sourceIn);
    }
    xml_.Close();
    return id;
  }

  // Shotcut's "Gain / Volume" filter with a keyframe per level, in frames of the media.
  void GainFilter(const std::vector<GainPoint>& envelope, Frames first) {
    xml_.Open("filter");
    xml_.Property("window", 75);
    xml_.Property("max_gain", "20dB");
    xml_.Property("level", GainKeyframes(envelope, first));
    xml_.Property("mlt_service", "volume");
    xml_.Property("shotcut:filter", "audioGain");
    xml_.Close();
  }

  // A still keeps its shape inside the frame, with bars where it does not fill it: Shotcut's
  // "Size, Position & Rotate" filter fitting it to the frame.
  void KeepAspect() {
    xml_.Open("filter");
    xml_.Property("transition.rect", "0/0:100%x100%");
    xml_.Property("transition.fill", 1);
    xml_.Property("transition.distort", 0);
    xml_.Property("transition.halign", "center");
    xml_.Property("transition.valign", "middle");
    xml_.Property("mlt_service", "affine");
    xml_.Property("shotcut:filter", "affineSizePosition");
    xml_.Close();
  }

  // Shotcut's "Gradient" filter (frei0r's cairogradient, parameters by number: pattern, start
  // colour and opacity, end colour and opacity, start x and y, end x and y, offset, blend) from
  // the first colour to the second; each further colour fades in over its own equal stretch on
  // top of the one before.
  void Gradient(const ColourFill& fill) {
    const GradientLine& line = gradientLines[fill.direction & 7];
    const std::size_t stretches = fill.colours.size() - 1;
    for (std::size_t s = 0; s < stretches; ++s) {
      const auto at = [&](std::size_t stop, double from, double to) {
        return Number(from + (to - from) * double(stop) / double(stretches));
      };
      xml_.Open("filter");
      xml_.Property("0", "gradient_linear");  // the pattern
      xml_.Property("1", HexColour(fill.colours[s == 0 ? 0 : s + 1]));
      xml_.Property("2", s == 0 ? 1 : 0);
      xml_.Property("3", HexColour(fill.colours[s + 1]));
      xml_.Property("4", 1);
      // cairogradient puts its start colour at its end point.
      xml_.Property("5", at(s + 1, line.startX, line.endX));
      xml_.Property("6", at(s + 1, line.startY, line.endY));
      xml_.Property("7", at(s, line.startX, line.endX));
      xml_.Property("8", at(s, line.startY, line.endY));
      xml_.Property("9", 0);          // no offset
      xml_.Property("10", "normal");  // the blend mode
      xml_.Property("mlt_service", "frei0r.cairogradient");
      xml_.Property("shotcut:filter", "gradient");
      xml_.Close();
    }
  }

  // Shotcut's "Text: Simple" filter, which its filter panel shows and edits.
  void TextFilter(const TimelineItem& item) {
    const auto shown = std::find_if(item.texts.begin(), item.texts.end(),
                                    [](const TitleText& text) { return !text.namesMedia; });
    xml_.Open("filter");
    xml_.Property("argument", TitleCaption(item, settings_));
    if (shown != item.texts.end()) {
      const std::string family = Decode(settings_, shown->font);
      if (!family.empty()) xml_.Property("family", family);
      const int size = shown->size > 0 ? shown->size : 48;
      xml_.Property("size", size);
      // Shotcut scales a text filter to its frame unless told the size is the font's own.
      xml_.Property("shotcut:usePointSize", 1);
      xml_.Property("shotcut:pointSize", size);
    }
    xml_.Property("geometry", "0%/0%:100%x100%:100");
    xml_.Property("fgcolour", "0xffffffff");
    xml_.Property("bgcolour", "0x00000000");
    xml_.Property("olcolour", "0x000000ff");
    xml_.Property("outline", 1);
    xml_.Property("halign", "center");
    xml_.Property("valign", "middle");
    xml_.Property("mlt_service", "dynamictext");
    xml_.Property("shotcut:filter", "dynamicText");
    xml_.Close();
    // Image elements over the text, for the title's length.
    for (const TitleText& text : item.texts) {
      if (!text.namesMedia) continue;
      xml_.Open("filter");
      xml_.Property("resource", mediaPath_(text.text));
      xml_.Property("composite.halign", "centre");
      xml_.Property("composite.valign", "centre");
      xml_.Property("composite.fill", 0);
      xml_.Property("mlt_service", "watermark");
      xml_.Close();
    }
  }

  // Shotcut's same-track transition: the outgoing clip's frames after its cut and the
  // incoming clip's first frames, mixed by a luma over exactly its frames: a plain dissolve
  // without a wipe pattern, every other transition as a left-to-right bar wipe.
  std::string SameTrackTransition(const TrackPiece& outgoing, const std::string& outgoingId,
                                  const TrackPiece& incoming, const std::string& incomingId) {
    const Frames length = incoming.transitionLength;
    std::string id = "transition" + std::to_string(transitionCount_++);
    xml_.Open("tractor");
    xml_.Attribute("id", id);
    xml_.Attribute("in", 0);
    xml_.Attribute("out", LastFrame(length));
    xml_.Property("shotcut:transition", "lumaMix");
    xml_.Property("shotcut:caption", Decode(settings_, incoming.transition->name));
    const Frames outgoingIn = ProducerIn(outgoing) + outgoing.Length();
    const Frames incomingIn = ProducerIn(incoming);
    for (const auto& [producer, in] :
         {std::pair{&outgoingId, outgoingIn}, std::pair{&incomingId, incomingIn}}) {
      xml_.Open("track");
      xml_.Attribute("producer", *producer);
      xml_.Attribute("in", in.Value());
      xml_.Attribute("out", LastFrame(in, length));
      xml_.Close();
    }
    xml_.Open("transition");
    xml_.Attribute("in", 0);
    xml_.Attribute("out", LastFrame(length));
    xml_.Property("a_track", 0);
    xml_.Property("b_track", 1);
    xml_.Property("mlt_service", "luma");
    if (incoming.transition->code != 'D') xml_.Property("resource", "%luma01.pgm");
    xml_.Close();
    xml_.Open("transition");
    xml_.Attribute("in", 0);
    xml_.Attribute("out", LastFrame(length));
    xml_.Property("a_track", 0);
    xml_.Property("b_track", 1);
    xml_.Property("start", -1);
    xml_.Property("mlt_service", "mix");
    xml_.Close();
    xml_.Close();
    return id;
  }

  const ExportSettings& settings_;
  const MediaPathOf& mediaPath_;
  ExportCounts& counts_;
  ServiceNames services_;
  XmlWriter xml_;
  int producerCount_ = 0;
  int transitionCount_ = 0;
};

}  // namespace

std::string WriteMlt(const Timeline& timeline, const ExportSettings& settings,
                     const MediaPathOf& mediaPath, ExportCounts& counts) {
  return WriteMltWith(timeline, settings, mediaPath, counts, MltServices::Editor);
}

std::string WriteMltWith(const Timeline& timeline, const ExportSettings& settings,
                         const MediaPathOf& mediaPath, ExportCounts& counts, MltServices services) {
  counts = {};
  std::vector<MltTrack> tracks;
  tracks.push_back({"V1", true, true, LayOutTrack(timeline.main, {}, &settings)});
  AttachTransitions(tracks.back().pieces, timeline.transitions, &settings);
  const auto add = [&tracks](const char* name, bool video, bool sound,
                             std::vector<TrackPiece> pieces) {
    if (!pieces.empty()) tracks.push_back({name, video, sound, std::move(pieces)});
  };
  // The main clips' sound plays from V1; the extra audio tracks follow as A2 and A3, the
  // names every format gives them.
  add("V2", true, true, LayOutTrack(timeline.insert, {}, &settings));
  add("Titles", true, false, LayOutTrack(timeline.titles));
  add("A2", false, true, LayOutTrack(timeline.exAudio[0], {}, &settings));
  add("A3", false, true, LayOutTrack(timeline.exAudio[1], {}, &settings));

  std::vector<const std::vector<TrackPiece>*> pieces;
  for (const MltTrack& track : tracks) pieces.push_back(&track.pieces);
  const Frames length = TimelineEnd(pieces);

  MltBuilder builder(settings, mediaPath, counts, NamesOf(services));
  builder.Start(timeline.wideScreen);
  builder.Background(length);
  for (std::size_t t = 0; t < tracks.size(); ++t) builder.Track(tracks[t], static_cast<int>(t));
  builder.TopTractor(tracks, length);
  return builder.Finish();
}

}  // namespace pexol
