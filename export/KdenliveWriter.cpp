// export/KdenliveWriter.cpp - Kdenlive's dialect: project bin, document properties, a tractor of
// two playlists per track with same-track mixes, and the timeline tractor
#include "export/KdenliveWriter.h"

#include <algorithm>
#include <map>

#include "core/XmlWriter.h"
#include "export/MltGraph.h"

namespace pexol {
namespace {

// Kdenlive's own projects number their bin clips from 2.
constexpr int firstBinId = 2;

// One clip of the project bin: a media file (movies and stills), or one colour or title item.
struct BinClip {
  const ExportPiece* piece = nullptr;  // its first use
  int binId = 0;
  std::int64_t length = 1;  // the frames its longest use needs (colours, titles, stills)
  bool slowUse = false;     // some use plays it at half speed (a timewarp producer)
};

// Where a piece plays: which of its track's two playlists, from which frame, for how long
// (an outgoing clip runs on under its mix).
struct Placement {
  const ExportPiece* piece = nullptr;
  int side = 0;
  Frames start;
  Frames length;
  std::size_t bin = 0;
};

struct PlacedTrack {
  const ExportTrack* track = nullptr;
  std::vector<Placement> placements;
  Frames end;
};

std::string ProducerId(std::size_t bin) {
  return "producer" + std::to_string(bin);
}

std::string TimewarpId(std::size_t bin) {
  return "timewarp" + std::to_string(bin);
}

class KdenliveBuilder {
 public:
  explicit KdenliveBuilder(const ExportTimeline& timeline)
      : timeline_(timeline), graph_(xml_, timeline, MltDialect::Kdenlive) {}

  ExportWritten Write() {
    ExportWritten out;
    // V1 always, every other track that holds clips. Kdenlive plays no sound from a video
    // track, so the clips' sound is on tracks of their own, and has no effect that shows an
    // image, so a title's images are stills of the track "Title images" under the titles.
    std::vector<const ExportTrack*> tracks;
    for (const ExportTrack& track : timeline_.tracks)
      if (!track.Empty() || track.role == TrackRole::Main) tracks.push_back(&track);
    // The bin lists clips in the order the tracks first use them, V1 first; Kdenlive stacks
    // the tracks from the bottom: the sound tracks last to first, then the video tracks.
    std::vector<PlacedTrack> used;
    for (const ExportTrack* track : tracks) used.push_back(Place(*track));
    std::vector<PlacedTrack> placed;
    for (std::size_t t = used.size(); t-- > 0;)
      if (!used[t].track->video) placed.push_back(used[t]);
    for (const PlacedTrack& track : used)
      if (track.track->video) placed.push_back(track);
    Frames length = 0;
    for (const PlacedTrack& track : placed) length = std::max(length, track.end);

    xml_.Open("mlt");
    xml_.Attribute("LC_NUMERIC", "C");
    xml_.Attribute("version", "7.12.0");
    xml_.Attribute("title", timeline_.projectName);
    xml_.Attribute("producer", "main_bin");
    // No "root": MLT would resolve media named relative to the document from the working folder
    // (an empty root) or from where the document was written; without one, MLT and Kdenlive take
    // them from the document's own folder wherever it was moved.
    graph_.Profile(timeline_.wideScreen);
    for (std::size_t b = 0; b < bin_.size(); ++b) BinProducer(b);
    for (std::size_t b = 0; b < bin_.size(); ++b)
      if (bin_[b].slowUse) Timewarp(b);
    MainBin(timeline_.wideScreen, length);
    BlackTrack();
    for (std::size_t t = 0; t < placed.size(); ++t) Track(placed[t], t);
    TimelineTractor(placed, length);
    out.files.push_back({"", xml_.Finish()});
    out.counts = CountWritten(tracks);
    return out;
  }

 private:
  // The bin clip of an item, added at its first use.
  std::size_t BinOf(const ExportPiece& piece, Frames length) {
    const TimelineItem& item = *piece.item;
    std::size_t b = bin_.size();
    const bool media = item.kind == ItemKind::Movie || item.kind == ItemKind::Still;
    if (media) {
      const auto [found, added] = media_.try_emplace(item.name, b);
      b = found->second;
      if (added) bin_.push_back({&piece, firstBinId + static_cast<int>(b)});
    } else {
      bin_.push_back({&piece, firstBinId + static_cast<int>(b)});
    }
    bin_[b].length = std::max<std::int64_t>(bin_[b].length, length.Value());
    bin_[b].slowUse = bin_[b].slowUse || item.slow;
    return b;
  }

  // Two clips joined by a mix overlap, so they lie on the track's two playlists; Kdenlive
  // moves any other clip to the first playlist, with a note.
  PlacedTrack Place(const ExportTrack& track) {
    PlacedTrack placed{&track, {}, 0};
    Frames ends[2] = {0, 0};
    int side = 0;
    for (std::size_t p = 0; p < track.pieces.size(); ++p) {
      const ExportPiece& piece = track.pieces[p];
      if (!piece.item) continue;
      side = piece.transition ? 1 - side : 0;
      const Frames length = piece.Length() + piece.runOn;
      Placement placement{&piece, side, piece.recordIn, length, BinOf(piece, length)};
      ends[side] = piece.recordIn + length;
      placed.end = std::max(placed.end, ends[side]);
      placed.placements.push_back(placement);
    }
    return placed;
  }

  static std::string PathOf(const BinClip& clip) {
    return clip.piece->media ? clip.piece->media->path : std::string();
  }

  void BinProducer(std::size_t b) {
    const BinClip& clip = bin_[b];
    TimelineItem item = *clip.piece->item;
    item.slow = false;  // the bin holds the media; a slow use plays it through a timewarp
    xml_.Open("producer");
    xml_.Attribute("id", ProducerId(b));
    graph_.Source(item, PathOf(clip), clip.length, false, clip.piece->media);
    graph_.Caption(clip.piece->name);
    xml_.Property("kdenlive:id", clip.binId);
    xml_.Property("kdenlive:folderid", -1);
    // Kdenlive marks clips without sound as video only.
    if (item.kind != ItemKind::Movie) xml_.Property("kdenlive:clip_type", 2);
    graph_.PictureFilters(*clip.piece);
    xml_.Close();
  }

  void Timewarp(std::size_t b) {
    xml_.Open("producer");
    xml_.Attribute("id", TimewarpId(b));
    TimelineItem item = *bin_[b].piece->item;  // the bin's first use may play at full speed
    item.slow = true;
    graph_.Source(item, PathOf(bin_[b]), bin_[b].length, false);
    xml_.Property("kdenlive:id", bin_[b].binId);
    xml_.Close();
  }

  // The bin and the document properties Kdenlive reads before anything else: without the
  // version it refuses the project, without the profile it asks for one.
  void MainBin(bool wideScreen, Frames length) {
    const bool pal = TimecodeModeOf(timeline_.rate) == TimecodeMode::Pal;
    std::string profile = pal ? "dv_pal" : "dv_ntsc";
    if (wideScreen) profile += "_wide";
    xml_.Open("playlist");
    xml_.Attribute("id", "main_bin");
    const auto property = [this](const std::string& name, const std::string& value) {
      xml_.Property(("kdenlive:docproperties." + name).c_str(), value);
    };
    property("audioChannels", "2");
    property("compositing", "1");
    property("documentid", std::to_string(DocumentId(length)));
    property("enableproxy", "0");
    property("kdenliveversion", "22.12.3");
    property("position", "0");
    property("profile", profile);
    property("version", "1.04");
    property("zonein", "0");
    property("zoneout", std::to_string(length.Value()));
    xml_.Property("kdenlive:documentnotes", "");
    xml_.Property("xml_retain", 1);
    for (std::size_t b = 0; b < bin_.size(); ++b) {
      xml_.Open("entry");
      xml_.Attribute("producer", ProducerId(b));
      xml_.Close();
    }
    xml_.Close();
  }

  // Kdenlive keeps thumbnails and proxies by this number: one of its own per project, the same
  // on every export of it.
  std::int64_t DocumentId(Frames length) const {
    std::uint64_t hash = 1469598103934665603u;
    const std::string key = timeline_.projectName + '\n' + std::to_string(length.Value()) + '\n' +
                            std::to_string(bin_.size());
    for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return static_cast<std::int64_t>(hash % 1000000000000u);
  }

  void BlackTrack() {
    xml_.Open("producer");
    xml_.Attribute("id", "black_track");
    xml_.Property("length", 2147483647);
    xml_.Property("eof", "continue");
    xml_.Property("resource", "black");
    xml_.Property("aspect_ratio", 1);
    xml_.Property("mlt_service", "color");
    xml_.Property("mlt_image_format", "rgba");
    xml_.Property("set.test_audio", 0);
    xml_.Close();
  }

  void Track(const PlacedTrack& placed, std::size_t number) {
    const ExportTrack& track = *placed.track;
    for (int side = 0; side < 2; ++side) {
      xml_.Open("playlist");
      xml_.Attribute("id", "playlist" + std::to_string(2 * number + std::size_t(side)));
      if (!track.video) xml_.Property("kdenlive:audio_track", 1);
      Frames cursor = 0;
      for (const Placement& placement : placed.placements) {
        if (placement.side != side) continue;
        if (placement.start > cursor) {
          xml_.Open("blank");
          xml_.Attribute("length", (placement.start - cursor).Value());
          xml_.Close();
        }
        Entry(placement, track);
        cursor = placement.start + placement.length;
      }
      xml_.Close();
    }
    xml_.Open("tractor");
    xml_.Attribute("id", "tractor" + std::to_string(number));
    xml_.Attribute("in", 0);
    if (placed.end > 0) xml_.Attribute("out", LastFrame(placed.end));
    if (!track.video) xml_.Property("kdenlive:audio_track", 1);
    xml_.Property("kdenlive:track_name", track.name);
    xml_.Property("kdenlive:trackheight", 67);
    xml_.Property("kdenlive:timeline_active", 1);
    xml_.Property("kdenlive:collapsed", 0);
    for (int side = 0; side < 2; ++side) {
      xml_.Open("track");
      xml_.Attribute("hide", track.video ? "audio" : "video");
      xml_.Attribute("producer", "playlist" + std::to_string(2 * number + std::size_t(side)));
      xml_.Close();
    }
    for (const Placement& placement : placed.placements)
      if (placement.piece->transition) Mix(placement, track.video);
    xml_.Close();
  }

  void Entry(const Placement& placement, const ExportTrack& track) {
    const ExportPiece& piece = *placement.piece;
    const TimelineItem& item = *piece.item;
    const std::string producer = item.slow ? TimewarpId(placement.bin) : ProducerId(placement.bin);
    const Frames in = ProducerIn(piece);
    graph_.Entry(producer, in, placement.length, true);
    xml_.Property("kdenlive:id", bin_[placement.bin].binId);
    // MLT counts a filter's frames from its in point, Kdenlive its keyframes from the clip's
    // first frame on the track: the filter spans the entry.
    if (!track.video && item.kind == ItemKind::Movie && !piece.pieceGain.empty())
      graph_.GainFilter(piece.pieceGain, 0,
                        std::pair{std::int64_t{in.Value()}, LastFrame(in, placement.length)});
    xml_.Close();
  }

  // Kdenlive's same-track mix over the frames both clips play: the incoming clip's head and
  // the outgoing clip's frames past the cut, which lies at the mix's start.
  void Mix(const Placement& incoming, bool video) {
    const ExportPiece& piece = *incoming.piece;
    xml_.Open("transition");
    xml_.Attribute("id", "mix" + std::to_string(mixCount_++));
    xml_.Attribute("in", piece.recordIn.Value());
    xml_.Attribute("out", LastFrame(piece.recordIn, piece.transitionLength));
    xml_.Property("a_track", 0);
    xml_.Property("b_track", 1);
    if (video) {
      xml_.Property("factory", "loader");
      xml_.Property("resource", piece.transition->code == 'D' ? "" : kdenliveWipeLuma);
      xml_.Property("mlt_service", "luma");
      xml_.Property("kdenlive_id", "luma");
    } else {
      // A sound track holds only the transitions its sound cross-fades under: linearly, the
      // two weights summing to 1, a clip whose file has no sound fading to silence.
      xml_.Property("start", -1);
      xml_.Property("accepts_blanks", 1);
      xml_.Property("mlt_service", "mix");
      xml_.Property("kdenlive_id", "mix");
    }
    xml_.Property("kdenlive:mixcut", 0);
    // The mix runs from the first playlist to the second unless the incoming clip is on the
    // first.
    xml_.Property("reverse", incoming.side == 0 ? 1 : 0);
    if (video) {
      xml_.Property("softness", 0);
      xml_.Property("alpha_over", 1);
      xml_.Property("invert", 0);
    }
    xml_.Close();
  }

  // The timeline: Kdenlive's black track under the tracks, every sound track mixed into the
  // sound below and every video track blended over the picture below.
  void TimelineTractor(const std::vector<PlacedTrack>& placed, Frames length) {
    xml_.Open("tractor");
    xml_.Attribute("id", "tractor" + std::to_string(placed.size()));
    xml_.Attribute("in", 0);
    if (length > 0) xml_.Attribute("out", LastFrame(length));
    xml_.Open("track");
    xml_.Attribute("producer", "black_track");
    xml_.Close();
    for (std::size_t t = 0; t < placed.size(); ++t) {
      xml_.Open("track");
      xml_.Attribute("producer", "tractor" + std::to_string(t));
      xml_.Close();
    }
    for (std::size_t t = 0; t < placed.size(); ++t) {
      const bool video = placed[t].track->video;
      xml_.Open("transition");
      xml_.Property("a_track", 0);
      xml_.Property("b_track", static_cast<std::int64_t>(t) + 1);
      if (video) {
        xml_.Property("version", "0.1");
        xml_.Property("mlt_service", "frei0r.cairoblend");
      } else {
        xml_.Property("mlt_service", "mix");
        xml_.Property("kdenlive_id", "mix");
        xml_.Property("accepts_blanks", 1);
        xml_.Property("sum", 1);
      }
      xml_.Property("always_active", 1);
      xml_.Property("internal_added", 237);
      xml_.Close();
    }
    xml_.Close();
  }

  const ExportTimeline& timeline_;
  XmlWriter xml_;
  MltGraph graph_;
  std::vector<BinClip> bin_;
  std::map<std::string, std::size_t> media_;  // stored name to bin clip
  int mixCount_ = 0;
};

}  // namespace

ExportWritten WriteKdenlive(const ExportTimeline& timeline, const FormatOptions& /*options*/) {
  KdenliveBuilder builder(timeline);
  return builder.Write();
}

}  // namespace pexol
