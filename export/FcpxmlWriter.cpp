// export/FcpxmlWriter.cpp - resources, the spine with its transitions, and the connected clips
#include "export/FcpxmlWriter.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "core/FileUrl.h"
#include "core/XmlWriter.h"

namespace pexol {
namespace {

// Final Cut Pro's own identifiers of the effects written (docs/export-formats.md says where
// each was found).
constexpr const char* crossDissolveUid = "FxPlug:4731E73A-8DAC-4113-9A30-AE85B1761265";
constexpr const char* wipeUid = "FxPlug:857E2FBA-98DB-411B-A88C-CE6ABC1F65D8";
constexpr const char* audioCrossfadeUid = "FFAudioTransition";
constexpr const char* basicTitleUid =
    ".../Titles.localized/Bumper:Opener.localized/Basic Title.localized/Basic Title.moti";
constexpr const char* solidUid =
    ".../Generators.localized/Solids.localized/Custom.localized/Custom.motn";
constexpr const char* gradientUid =
    ".../Generators.localized/Textures.localized/Gradient.localized/Gradient.motn";
// The Custom solid's colour parameter.
constexpr const char* solidColourKey = "9999/10008/10006/2/1/1";
// Final Cut Pro writes silence as this many dB.
constexpr double silenceDb = -96;

// The lane of each connected track: higher lanes show over lower ones, so a title's images lie
// under its text; negative lanes are below the spine.
struct ConnectedLane {
  TrackRole role;
  int lane;
  bool sound;
};
constexpr ConnectedLane connectedLanes[] = {
    {TrackRole::Insert, 1, false},      {TrackRole::TitleImages, 2, false},
    {TrackRole::Titles, 3, false},      {TrackRole::ExtraAudio1, -1, true},
    {TrackRole::ExtraAudio2, -2, true},
};

bool IsSoundFileName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
  for (const char* sound : {"wav", "mp3", "aif", "aiff", "m4a", "aac"})
    if (extension == sound) return true;
  return false;
}

// `value` with at most `decimals` decimals and no trailing zeros, whatever the C locale.
std::string Decimal(double value, int decimals) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
  std::string out(text, end);
  if (out.find('.') != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  return out == "-0" ? "0" : out;
}

// A media file as its asset: where it is first used gives its id and name, and its length
// the file's own when it was read, else what its uses reach.
struct Asset {
  std::string id;
  std::string name;
  std::string path;
  bool video = true;
  bool audio = false;
  bool still = false;
  bool fileLength = false;
  std::int64_t frames = 0;
};

// One element of the spine: a clip or a gap from `offset` for `duration` frames, its own time
// at `offset` being `start`, and the clips connected to it. Beside a transition whose sound
// does not cross-fade, a clip's sound keeps to its cut: it starts `soundBefore` frames before
// the element, or ends `soundCut` frames before the element's end.
struct SpineElement {
  const ExportPiece* piece = nullptr;
  std::int64_t offset = 0;
  std::int64_t duration = 0;
  std::int64_t start = 0;
  std::vector<std::pair<const ExportPiece*, const ConnectedLane*>> connected;
  std::int64_t soundBefore = 0;
  std::int64_t soundCut = 0;
};

// Final Cut Pro centres a transition on its edit point: the edit lies this many frames past
// the cut, where the transition starts.
std::int64_t EditShift(Frames transitionLength) {
  return transitionLength.Value() / 2;
}

class FcpxmlBuilder {
 public:
  explicit FcpxmlBuilder(const ExportTimeline& timeline) : timeline_(timeline) {
    const bool pal = TimecodeModeOf(timeline.rate) == TimecodeMode::Pal;
    frameTicks_ = pal ? 100 : timeline.rate.denominator;
    timescale_ = pal ? 2500 : timeline.rate.numerator;
  }

  ExportWritten Write() {
    LayOutSpine();
    CollectResources();
    xml_.DocType("fcpxml");  // Final Cut Pro's own documents name their type
    xml_.Open("fcpxml");
    xml_.Attribute("version", "1.10");
    Resources();
    xml_.Open("library");
    xml_.Open("event");
    xml_.Attribute("name", timeline_.projectName);
    xml_.Open("project");
    xml_.Attribute("name", timeline_.projectName);
    xml_.Open("sequence");
    xml_.Attribute("format", "r1");
    xml_.Attribute("duration", Time(spineEnd_));
    xml_.Attribute("tcStart", "0s");
    xml_.Attribute("tcFormat",
                   TimecodeModeOf(timeline_.rate) == TimecodeMode::NtscDrop ? "DF" : "NDF");
    xml_.Attribute("audioLayout", "stereo");
    xml_.Attribute("audioRate", "48k");
    xml_.Open("spine");
    for (std::size_t e = 0; e < spine_.size(); ++e) {
      const SpineElement& element = spine_[e];
      if (element.piece && element.piece->transition) TransitionElement(element);
      SpineItem(element);
    }
    xml_.Close();
    ExportWritten out;
    out.files.push_back({"", xml_.Finish()});
    std::vector<const ExportTrack*> written;
    for (const ExportTrack& track : timeline_.tracks)
      if (track.role == TrackRole::Main || !track.Empty()) written.push_back(&track);
    out.counts = CountWritten(written);
    return out;
  }

 private:
  std::string Time(std::int64_t frames) const {
    if (frames == 0) return "0s";
    return std::to_string(frames * frameTicks_) + "/" + std::to_string(timescale_) + "s";
  }

  static bool IsClip(const ExportPiece& piece, ItemKind kind) {
    return piece.item && piece.item->kind == kind;
  }

  // A clip's own time at its first frame: media frames, twice as many for a slow clip, whose
  // time map plays them at half speed; 0 for stills and generators.
  static std::int64_t OwnStart(const ExportPiece& piece) {
    if (!IsClip(piece, ItemKind::Movie)) return 0;
    const std::int64_t source = piece.sourceIn.Value();
    return piece.item->slow ? 2 * source : source;
  }

  // The media frames a clip reaches, its run-on under the next transition included.
  static std::int64_t MediaEnd(const ExportPiece& piece) {
    const std::int64_t played = std::int64_t{piece.Length().Value()} + piece.runOn.Value();
    return std::int64_t{piece.sourceIn.Value()} + (piece.item->slow ? (played + 1) / 2 : played);
  }

  // The spine's clips with their edit points moved by the transitions around them, a gap up to
  // the end of the timeline, and every connected clip on the element its first frame lies in.
  void LayOutSpine() {
    const ExportTrack* main = timeline_.Track(TrackRole::Main);
    std::int64_t end = 0;
    if (main) {
      const auto& pieces = main->pieces;
      for (std::size_t p = 0; p < pieces.size(); ++p) {
        const ExportPiece& piece = pieces[p];
        const std::int64_t shiftIn = EditShift(piece.transitionLength);
        const std::int64_t shiftOut =
            p + 1 < pieces.size() ? EditShift(pieces[p + 1].transitionLength) : 0;
        const std::int64_t in = piece.recordIn.Value() + shiftIn;
        const std::int64_t out = piece.recordOut.Value() + shiftOut;
        SpineElement element;
        element.piece = piece.item ? &piece : nullptr;
        element.offset = in;
        element.duration = out - in;
        element.start = piece.item ? OwnStart(piece) + (in - piece.recordIn.Value()) : 0;
        if (piece.item && PlaysSound(piece, false)) {
          if (piece.transition && !piece.crossFadesSound) element.soundBefore = shiftIn;
          if (shiftOut > 0 && !pieces[p + 1].crossFadesSound) element.soundCut = shiftOut;
        }
        spine_.push_back(std::move(element));
        end = out;
      }
    }
    spineEnd_ = std::max<std::int64_t>(end, timeline_.end.Value());
    if (spineEnd_ > end) spine_.push_back({nullptr, end, spineEnd_ - end, 0, {}, 0, 0});
    for (const ConnectedLane& lane : connectedLanes) {
      const ExportTrack* track = timeline_.Track(lane.role);
      if (!track) continue;
      for (const ExportPiece& piece : track->pieces) {
        if (!piece.item) continue;
        const std::int64_t at = piece.recordIn.Value();
        auto element = std::upper_bound(
            spine_.begin(), spine_.end(), at,
            [](std::int64_t frame, const SpineElement& e) { return frame < e.offset; });
        if (element == spine_.begin()) continue;  // none: the spine starts at frame 0
        (element - 1)->connected.push_back({&piece, &lane});
      }
    }
  }

  bool PlaysSound(const ExportPiece& piece, bool soundLane) const {
    return IsClip(piece, ItemKind::Movie) && (soundLane || CarriesAudio(*piece.item));
  }

  void Use(const ExportPiece& piece, bool soundLane) {
    const TimelineItem& item = *piece.item;
    if (item.kind == ItemKind::Colour) {
      (item.fill.colours.size() > 1 ? usesGradient_ : usesSolid_) = true;
      return;
    }
    if (item.kind == ItemKind::Title) {
      usesTitle_ = true;
      return;
    }
    const std::string& path = piece.media->path;
    auto [found, added] = assetOf_.try_emplace(path, assets_.size());
    if (added) {
      Asset asset;
      asset.name = piece.name;
      asset.path = path;
      asset.still = item.kind == ItemKind::Still;
      asset.video = !IsSoundFileName(piece.name);
      if (!asset.still && piece.media->length) {
        asset.fileLength = true;
        asset.frames = piece.media->length->frames;
      }
      assets_.push_back(std::move(asset));
    }
    Asset& asset = assets_[found->second];
    asset.audio = asset.audio || PlaysSound(piece, soundLane);
    if (!asset.still && !asset.fileLength && item.kind == ItemKind::Movie)
      asset.frames = std::max(asset.frames, MediaEnd(piece));
  }

  void CollectResources() {
    for (const SpineElement& element : spine_) {
      if (element.piece) {
        Use(*element.piece, false);
        if (const Transition* transition = element.piece->transition) {
          (transition->code == 'D' ? usesDissolve_ : usesWipe_) = true;
        }
      }
      for (const auto& [piece, lane] : element.connected) Use(*piece, lane->sound);
    }
    for (std::size_t e = 1; e < spine_.size(); ++e)
      if (spine_[e].piece && spine_[e].piece->transition && CrossFades(spine_[e]))
        usesCrossfade_ = true;
    int next = 2;  // r1 is the format
    for (Asset& asset : assets_) asset.id = "r" + std::to_string(next++);
    const auto effect = [&next](bool used) { return used ? "r" + std::to_string(next++) : ""; };
    dissolveId_ = effect(usesDissolve_);
    wipeId_ = effect(usesWipe_);
    crossfadeId_ = effect(usesCrossfade_);
    titleId_ = effect(usesTitle_);
    solidId_ = effect(usesSolid_);
    gradientId_ = effect(usesGradient_);
  }

  static bool CrossFades(const SpineElement& incoming) { return incoming.piece->crossFadesSound; }

  // A DV frame at the project's rate, with the DV pixel shape (anamorphic for 16:9).
  void Resources() {
    const bool pal = TimecodeModeOf(timeline_.rate) == TimecodeMode::Pal;
    const bool wide = timeline_.wideScreen;
    xml_.Open("resources");
    xml_.Open("format");
    xml_.Attribute("id", "r1");
    xml_.Attribute("name",
                   std::string(pal ? "FFVideoFormatDV720x576i50" : "FFVideoFormatDV720x480i5994") +
                       (wide ? "_16x9" : ""));
    xml_.Attribute("frameDuration", Time(1));
    xml_.Attribute("fieldOrder", "lower first");
    xml_.Attribute("width", 720);
    xml_.Attribute("height", pal ? 576 : 480);
    xml_.Attribute("paspH", pal ? (wide ? 118 : 59) : (wide ? 40 : 10));
    xml_.Attribute("paspV", pal ? (wide ? 81 : 54) : (wide ? 33 : 11));
    xml_.Close();
    for (const Asset& asset : assets_) {
      xml_.Open("asset");
      xml_.Attribute("id", asset.id);
      xml_.Attribute("name", asset.name);
      xml_.Attribute("start", "0s");
      // A still has no length of its own.
      xml_.Attribute("duration", Time(asset.frames));
      if (asset.video) xml_.Attribute("hasVideo", "1");
      // Only moving pictures have the frame's format; a still's size is its own.
      if (asset.video && !asset.still) xml_.Attribute("format", "r1");
      if (asset.audio) xml_.Attribute("hasAudio", "1");
      xml_.Open("media-rep");
      xml_.Attribute("kind", "original-media");
      xml_.Attribute("src", MediaUrl(asset.path));
      xml_.Close();
      xml_.Close();
    }
    Effect(dissolveId_, "Cross Dissolve", crossDissolveUid);
    Effect(wipeId_, "Wipe", wipeUid);
    Effect(crossfadeId_, "Audio Crossfade", audioCrossfadeUid);
    Effect(titleId_, "Basic Title", basicTitleUid);
    Effect(solidId_, "Custom", solidUid);
    Effect(gradientId_, "Gradient", gradientUid);
    xml_.Close();
  }

  static std::string MediaUrl(const std::string& path) { return FileUrl(path, UrlForm::NoHost); }

  void Effect(const std::string& id, const char* name, const char* uid) {
    if (id.empty()) return;
    xml_.Open("effect");
    xml_.Attribute("id", id);
    xml_.Attribute("name", name);
    xml_.Attribute("uid", uid);
    xml_.Close();
  }

  // Dissolves cross-dissolve, every other name wipes; the stored name is the transition's.
  void TransitionElement(const SpineElement& incoming) {
    const ExportPiece& piece = *incoming.piece;
    const bool dissolve = piece.transition->code == 'D';
    xml_.Open("transition");
    xml_.Attribute("name", CleanText(timeline_.Decoded(piece.transition->name)));
    xml_.Attribute("offset", Time(piece.recordIn.Value()));
    xml_.Attribute("duration", Time(piece.transitionLength.Value()));
    xml_.Open("filter-video");
    xml_.Attribute("ref", dissolve ? dissolveId_ : wipeId_);
    xml_.Attribute("name", dissolve ? "Cross Dissolve" : "Wipe");
    xml_.Close();
    if (CrossFades(incoming)) {
      xml_.Open("filter-audio");
      xml_.Attribute("ref", crossfadeId_);
      xml_.Attribute("name", "Audio Crossfade");
      xml_.Close();
    }
    xml_.Close();
  }

  void SpineItem(const SpineElement& element) {
    if (!element.piece) {
      xml_.Open("gap");
      xml_.Attribute("name", "Gap");
      xml_.Attribute("offset", Time(element.offset));
      xml_.Attribute("duration", Time(element.duration));
      Connected(element);
      xml_.Close();
      return;
    }
    Clip(*element.piece, 0, false, element.offset, element.start, element.duration, &element);
  }

  // The clips connected to `element`, at their record frames in its own time.
  void Connected(const SpineElement& element) {
    for (const auto& [piece, lane] : element.connected) {
      const std::int64_t offset = element.start + (piece->recordIn.Value() - element.offset);
      Clip(*piece, lane->lane, lane->sound, offset, OwnStart(*piece), piece->Length().Value(),
           nullptr);
    }
  }

  // A clip of any kind; `element` names the spine element it is, whose connected clips it holds.
  // A still or a generator is a `video` inside a `clip`, as Final Cut Pro writes them: the clip
  // holds the timing and the connected clips, which readers (OpenTimelineIO's adapter among
  // them) look for on a clip, and the video starts where the clip does in its own time.
  void Clip(const ExportPiece& piece, int lane, bool soundLane, std::int64_t offset,
            std::int64_t start, std::int64_t duration, const SpineElement* element) {
    const TimelineItem& item = *piece.item;
    const bool movie = item.kind == ItemKind::Movie;
    const bool wrapped = !movie && item.kind != ItemKind::Title;
    xml_.Open(movie ? "asset-clip" : wrapped ? "clip" : "title");
    if (lane != 0) xml_.Attribute("lane", std::to_string(lane));
    xml_.Attribute("name", piece.name);
    xml_.Attribute("offset", Time(offset));
    if (wrapped) {
      xml_.Attribute("start", Time(start));
      xml_.Attribute("duration", Time(duration));
      xml_.Open("video");
      xml_.Attribute("name", piece.name);
      xml_.Attribute("offset", Time(start));
    }
    const Asset* asset = nullptr;
    if (item.kind == ItemKind::Movie || item.kind == ItemKind::Still) {
      asset = &assets_[assetOf_.at(piece.media->path)];
      xml_.Attribute("ref", asset->id);
    } else if (item.kind == ItemKind::Title) {
      xml_.Attribute("ref", titleId_);
    } else {
      xml_.Attribute("ref", item.fill.colours.size() > 1 ? gradientId_ : solidId_);
    }
    xml_.Attribute("start", Time(start));
    xml_.Attribute("duration", Time(duration));
    const bool sound = PlaysSound(piece, soundLane);
    // A split edit: the sound from the cut where the element starts or ends past it.
    if (sound && element && (element->soundBefore > 0 || element->soundCut > 0)) {
      xml_.Attribute("audioStart", Time(start - element->soundBefore));
      xml_.Attribute("audioDuration", Time(duration + element->soundBefore - element->soundCut));
    }
    if (movie && soundLane && asset->video) xml_.Attribute("srcEnable", "audio");
    if (movie && !sound && asset->audio) xml_.Attribute("srcEnable", "video");
    if (item.kind == ItemKind::Colour) ColourOf(item);
    if (item.kind == ItemKind::Title) Caption(piece);
    if (movie && item.slow) HalfSpeed(piece);
    if (sound && !piece.pieceGain.empty()) Volume(piece);
    if (wrapped) xml_.Close();  // the video
    if (element) Connected(*element);
    xml_.Close();
  }

  void ColourOf(const TimelineItem& item) {
    const auto component = [](std::uint32_t colour, int shift) {
      return Decimal(((colour >> shift) & 0xFF) / 255.0, 4);
    };
    if (item.fill.colours.size() > 1) {
      static constexpr const char* directions[8] = {"up",   "up right",  "right", "down right",
                                                    "down", "down left", "left",  "up left"};
      std::string note = "Gradient";
      for (std::uint32_t colour : item.fill.colours) note += " " + HexColour(colour);
      note += std::string(", ") + directions[item.fill.direction & 7];
      xml_.Element("note", note);
      return;
    }
    const std::uint32_t colour = item.fill.colours.empty() ? item.colour : item.fill.colours[0];
    xml_.Open("param");
    xml_.Attribute("name", "Color");
    xml_.Attribute("key", solidColourKey);
    xml_.Attribute("value", component(colour, 16) + " " + component(colour, 8) + " " +
                                component(colour, 0) + " 1");
    xml_.Close();
  }

  // The caption in the first text's font and size, white and centred.
  void Caption(const ExportPiece& piece) {
    const std::string style = "ts" + std::to_string(++styles_);
    xml_.Open("text");
    xml_.Open("text-style");
    xml_.Attribute("ref", style);
    xml_.Text(piece.caption);
    xml_.Close();
    xml_.Close();
    xml_.Open("text-style-def");
    xml_.Attribute("id", style);
    xml_.Open("text-style");
    for (const TitleText& text : piece.item->texts) {
      if (text.namesMedia) continue;
      const std::string family = timeline_.Decoded(text.font);
      if (!family.empty()) xml_.Attribute("font", family);
      xml_.Attribute("fontSize", text.size > 0 ? text.size : 48);
      break;
    }
    xml_.Attribute("fontColor", "1 1 1 1");
    xml_.Attribute("alignment", "center");
    xml_.Close();
    xml_.Close();
  }

  // Constant half speed: own time runs at twice the media's.
  void HalfSpeed(const ExportPiece& piece) {
    const std::int64_t end = MediaEnd(piece);
    xml_.Open("timeMap");
    xml_.Open("timept");
    xml_.Attribute("time", "0s");
    xml_.Attribute("value", "0s");
    xml_.Attribute("interp", "linear");
    xml_.Close();
    xml_.Open("timept");
    xml_.Attribute("time", Time(2 * end));
    xml_.Attribute("value", Time(end));
    xml_.Attribute("interp", "linear");
    xml_.Close();
    xml_.Close();
  }

  // The piece's levels as keyframes of its volume, in its own time, in dB.
  void Volume(const ExportPiece& piece) {
    const std::int64_t first = OwnStart(piece);
    xml_.Open("adjust-volume");
    xml_.Open("param");
    xml_.Attribute("name", "amount");
    xml_.Open("keyframeAnimation");
    for (const GainPoint& point : piece.pieceGain) {
      xml_.Open("keyframe");
      xml_.Attribute("time", Time(first + point.frame.Value()));
      xml_.Attribute("value", Decimal(GainDb(point.level).value_or(silenceDb), 2) + "dB");
      xml_.Attribute("curve", "linear");
      xml_.Close();
    }
    xml_.Close();
    xml_.Close();
    xml_.Close();
  }

  const ExportTimeline& timeline_;
  XmlWriter xml_;
  std::int64_t frameTicks_ = 1001;
  std::int64_t timescale_ = 30000;
  std::vector<SpineElement> spine_;
  std::int64_t spineEnd_ = 0;
  std::vector<Asset> assets_;
  std::map<std::string, std::size_t> assetOf_;  // path to its index in assets_
  bool usesDissolve_ = false, usesWipe_ = false, usesCrossfade_ = false, usesTitle_ = false,
       usesSolid_ = false, usesGradient_ = false;
  std::string dissolveId_, wipeId_, crossfadeId_, titleId_, solidId_, gradientId_;
  int styles_ = 0;
};

}  // namespace

ExportWritten WriteFcpxml(const ExportTimeline& timeline, const FormatOptions& /*options*/) {
  FcpxmlBuilder builder(timeline);
  return builder.Write();
}

}  // namespace pexol
