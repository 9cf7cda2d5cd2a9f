// export/AafWriter.cpp - header, dictionary, mobs and their slots of an AAF file
#include "export/AafWriter.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/ByteWriter.h"
#include "core/FileUrl.h"
#include "export/aaf/AafDictionary.h"
#include "export/aaf/AafMetaDictionary.h"

namespace pexol {
namespace {

using aaf::KeyOf;
using aaf::Node;
namespace ids = aaf::ids;

using aaf::RationalBytes;

// 32-bit integers as stored, one after another.
std::string Dwords(std::initializer_list<std::uint32_t> values) {
  ByteWriter out;
  for (const std::uint32_t value : values) out.WriteDword(value);
  return out.TakeBytes();
}

// No clock: every build writes the same bytes for the same project. A time stamp is the year,
// month, day, hour, minute, second and hundredths: 2000-01-01 00:00:00.
const std::string& FixedTime() {
  static const std::string time = [] {
    ByteWriter stamp;
    stamp.WriteWord(2000);
    for (const std::uint32_t part : {1, 1, 0, 0, 0, 0}) stamp.WriteByte(part);
    return stamp.TakeBytes();
  }();
  return time;
}

// 64-bit FNV-1a, to make mob ids that differ between projects.
std::uint64_t Hash(std::string_view text, std::uint64_t hash = 14695981039346656037ull) {
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

struct Medium {
  aaf::MobId master{}, file{}, soundFile{}, import{};
  std::string name;
  std::string path;
  bool picture = false;
  bool sound = false;
  bool still = false;
  std::int64_t length = 1;  // frames of the timeline's rate the file holds, at least
};

// A point of a parameter that goes in a line: at a time in the operation's length (0 its
// start, 1 its end).
struct Point {
  std::int64_t timeNumerator, timeDenominator;
  double value;
};

class AafBuilder {
 public:
  AafBuilder(const ExportTimeline& timeline, bool startAtOneHour)
      : timeline_(timeline),
        startAtOneHour_(startAtOneHour),
        seed_(Hash(timeline.projectName)),
        rate_(RationalBytes(timeline.rate.numerator, timeline.rate.denominator)),
        pal_(TimecodeModeOf(timeline.rate) == TimecodeMode::Pal) {}

  ExportWritten Write() {
    std::vector<const ExportTrack*> slots, written;
    const ExportTrack* titles = nullptr;
    for (const ExportTrack& track : timeline_.tracks) {
      if (track.role == TrackRole::Titles) {
        titles = &track;
        if (!track.Empty()) written.push_back(&track);
        continue;
      }
      if (track.Empty() && track.role != TrackRole::Main) continue;
      slots.push_back(&track);
      written.push_back(&track);
      for (const ExportPiece& piece : track.pieces) Use(piece, track.video);
    }
    const aaf::MobId compositionId = NewMobId("composition");

    // About 12 objects a piece (a clip with its gain's points, a transition) and 26 a medium.
    std::size_t pieces = 0;
    for (const ExportTrack* track : slots) pieces += track->pieces.size();
    aaf::File file;
    file.Reserve(12 * pieces + 26 * media_.size());
    ExportWritten out;
    out.files.push_back({"", file.Write(aaf::FillMetaDictionary, [&](Node& header) {
                           header.Int("ByteOrder", 0x4949).Bytes("LastModified", FixedTime());
                           header.Bytes("Version", std::string{1, 1}).Int("ObjectModelVersion", 1);
                           header.Id("OperationalPattern", ids::editProtocol);
                           header.Child("Content", "ContentStorage", [&](Node& content) {
                             Composition(content, compositionId, slots, titles);
                             for (const auto& [path, medium] : media_) AddMedium(content, medium);
                           });
                           header.Child("Dictionary", "Dictionary", aaf::FillDictionary);
                           header.Append("IdentificationList", "Identification", Identification);
                         })});
    out.counts = CountWritten(written);
    return out;
  }

 private:
  // A medium's first use makes its mobs; every use widens its length to what the clips show.
  void Use(const ExportPiece& piece, bool video) {
    if (!Shows(piece)) return;
    const TimelineItem& item = *piece.item;
    auto [found, added] = media_.try_emplace(piece.media->path);
    Medium& medium = found->second;
    if (added) {
      medium.name = piece.name;
      medium.path = piece.media->path;
      medium.still = item.kind == ItemKind::Still;
      const std::string key = piece.media->stored + '\n' + piece.media->path;
      medium.master = NewMobId("master\n" + key);
      medium.file = NewMobId("file\n" + key);
      medium.soundFile = NewMobId("sound\n" + key);
      medium.import = NewMobId("import\n" + key);
      if (piece.media->length && item.kind == ItemKind::Movie)
        medium.length = std::max<std::int64_t>(1, piece.media->length->frames);
    }
    (video ? medium.picture : medium.sound) = true;
    // A still shows its one picture from frame 0 for as long as the clip lasts.
    const std::int64_t length = (piece.Length() + piece.runOn).Value();
    const std::int64_t shown = item.kind == ItemKind::Still ? length
                               : item.slow ? piece.sourceIn.Value() + (length + 1) / 2
                                           : piece.sourceIn.Value() + length;
    medium.length = std::max(medium.length, shown);
  }

  // Clips with a file: movies and stills that are not shown black in place of missing media.
  static bool Shows(const ExportPiece& piece) {
    return piece.item != nullptr && !piece.black && piece.media != nullptr &&
           (piece.item->kind == ItemKind::Movie || piece.item->kind == ItemKind::Still);
  }

  aaf::MobId NewMobId(std::string_view key) {
    // SMPTE's UMID label (instance numbering by the writer), then a material number: the
    // project's hash, the key's and a count, so that two files imported together differ.
    aaf::MobId id{0x06, 0x0a, 0x2b, 0x34, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x0f, 0x00, 0x13};
    const std::uint64_t own = Hash(key, seed_);
    const std::uint32_t count = ++mobs_;
    for (int i = 0; i < 8; ++i) id[16 + i] = std::uint8_t(seed_ >> (8 * i));
    for (int i = 0; i < 4; ++i) id[24 + i] = std::uint8_t(own >> (8 * i));
    for (int i = 0; i < 4; ++i) id[28 + i] = std::uint8_t(count >> (8 * i));
    return id;
  }

  static void MobHead(Node& mob, const aaf::MobId& id, std::string_view name) {
    mob.Mob("MobID", id).String("Name", name);
    mob.Bytes("LastModified", FixedTime()).Bytes("CreationTime", FixedTime());
  }

  template <class Fill>
  void Slot(Node& mob, std::uint32_t id, std::string_view name, std::uint32_t track,
            const char* segment, Fill&& fill) {
    mob.Append("Slots", "TimelineMobSlot", [&](Node& slot) {
      slot.Int("SlotID", id).String("SlotName", name).Int("PhysicalTrackNumber", track);
      slot.Bytes("EditRate", rate_).Int("Origin", 0).Child("Segment", segment, fill);
    });
  }

  static void Component(Node& component, const aaf::Auid& data, std::int64_t length) {
    component.Refer("DataDefinition", KeyOf(data)).Int("Length", length);
  }

  void Timecode(Node& timecode, std::int64_t length, std::int64_t start = 0) const {
    Component(timecode, ids::timecode, length);
    timecode.Int("Start", start).Int("FPS", pal_ ? 25 : 30);
    timecode.Bool("Drop", TimecodeModeOf(timeline_.rate) == TimecodeMode::NtscDrop);
  }

  // 01:00:00:00 counted in frames: on a drop-frame clock 18 numbers a minute are skipped.
  std::int64_t TimelineStart() const {
    if (!startAtOneHour_) return 0;
    if (pal_) return 25 * 3600;
    return TimecodeModeOf(timeline_.rate) == TimecodeMode::NtscDrop ? 30 * 3600 - 108 : 30 * 3600;
  }

  void Composition(Node& content, const aaf::MobId& id,
                   const std::vector<const ExportTrack*>& slots, const ExportTrack* titles) {
    content.AddToSet("Mobs", "CompositionMob", KeyOf(id), [&](Node& mob) {
      MobHead(mob, id, timeline_.projectName);
      mob.Id("UsageCode", ids::topLevel);
      Slot(mob, 1, "TC1", 1, "Timecode", [&](Node& timecode) {
        Timecode(timecode, std::max<std::int64_t>(timeline_.end.Value(), 1), TimelineStart());
      });
      std::uint32_t slotId = 2, pictures = 0, sounds = 0, mainSlot = 0;
      for (const ExportTrack* track : slots) {
        if (track->role == TrackRole::Main) mainSlot = slotId;
        const std::uint32_t number = track->video ? ++pictures : ++sounds;
        Slot(mob, slotId++, track->name, number, "Sequence",
             [&](Node& sequence) { Track(sequence, *track); });
      }
      if (titles != nullptr && !titles->Empty()) Markers(mob, *titles, 1000, mainSlot);
    });
  }

  void Track(Node& sequence, const ExportTrack& track) {
    const aaf::Auid& data = track.video ? ids::picture : ids::sound;
    std::int64_t length = 0;
    for (const ExportPiece& piece : track.pieces)
      length += (piece.Length() + piece.runOn - piece.transitionLength).Value();
    Component(sequence, data, length);
    sequence.Empty("Components");
    for (const ExportPiece& piece : track.pieces) {
      if (piece.transition) TransitionInto(sequence, piece, track.video);
      Piece(sequence, piece, data, track.video);
    }
  }

  // A transition starting on its cut: the outgoing clip runs on under it.
  void TransitionInto(Node& sequence, const ExportPiece& incoming, bool video) {
    const std::int64_t length = incoming.transitionLength.Value();
    const aaf::Auid& data = video ? ids::picture : ids::sound;
    const bool dissolve = !video || incoming.transition->code == 'D';
    sequence.Append("Components", "Transition", [&](Node& transition) {
      Component(transition, data, length);
      transition.Int("CutPoint", 0);
      transition.Child("OperationGroup", "OperationGroup", [&](Node& group) {
        Component(group, data, length);
        group.Refer("Operation", KeyOf(!video     ? ids::audioDissolve
                                       : dissolve ? ids::videoDissolve
                                                  : ids::wipe));
        Ramp(group, ids::level, {{0, 1, 0.0}, {1, 1, 1.0}});
        if (!dissolve)
          group.AddToSet("Parameters", "ConstantValue", KeyOf(ids::wipeNumber), [](Node& number) {
            number.Id("Definition", ids::wipeNumber);
            number.Indirect("Value", ids::int32Type, Dwords({1}));  // a bar from left to right
          });
      });
    });
  }

  // A parameter going in a line between `points`.
  static void Ramp(Node& group, const aaf::Auid& definition, const std::vector<Point>& points) {
    group.AddToSet("Parameters", "VaryingValue", KeyOf(definition), [&](Node& varying) {
      varying.Id("Definition", definition).Refer("Interpolation", KeyOf(ids::linear));
      for (const Point& point : points)
        varying.Append("PointList", "ControlPoint", [&](Node& control) {
          control.Rational("Time", point.timeNumerator, point.timeDenominator);
          control.Indirect("Value", ids::rationalType,
                           RationalBytes(std::llround(point.value * 100000), 100000));
          control.Int("EditHint", 1);  // proportional
        });
    });
  }

  void Piece(Node& sequence, const ExportPiece& piece, const aaf::Auid& data, bool video) {
    const std::int64_t length = (piece.Length() + piece.runOn).Value();
    if (!Shows(piece)) {
      sequence.Append("Components", "Filler",
                      [&](Node& filler) { Component(filler, data, length); });
      return;
    }
    const TimelineItem& item = *piece.item;
    const Medium& medium = media_.at(piece.media->path);
    const std::int64_t start = item.kind == ItemKind::Movie ? piece.sourceIn.Value() : 0;
    const auto clip = [&](Node& clip, std::int64_t clipLength) {
      Component(clip, data, clipLength);
      clip.Mob("SourceID", medium.master).Int("SourceMobSlotID", video ? 1 : 2);
      clip.Int("StartTime", start);
    };
    if (item.slow) {
      // Half speed: the media's frames last twice as long.
      sequence.Append("Components", "OperationGroup", [&](Node& group) {
        Component(group, data, length);
        group.Refer("Operation", KeyOf(ids::motionControl));
        group.Append("InputSegments", "SourceClip",
                     [&](Node& input) { clip(input, (length + 1) / 2); });
        group.AddToSet("Parameters", "ConstantValue", KeyOf(ids::speedRatio), [](Node& ratio) {
          ratio.Id("Definition", ids::speedRatio);
          ratio.Indirect("Value", ids::rationalType, RationalBytes(2, 1));
        });
      });
      return;
    }
    if (video || piece.pieceGain.empty()) {
      sequence.Append("Components", "SourceClip", [&](Node& source) { clip(source, length); });
      return;
    }
    // The levels from the piece's first frame, as amplitudes keyed in the clip's length.
    std::vector<Point> points;
    for (const GainPoint& point : piece.pieceGain)
      points.push_back({point.frame.Value(), length, std::clamp(point.level, 0.0, 200.0) / 100});
    sequence.Append("Components", "OperationGroup", [&](Node& group) {
      Component(group, data, length);
      group.Refer("Operation", KeyOf(ids::audioGain));
      group.Append("InputSegments", "SourceClip", [&](Node& input) { clip(input, length); });
      Ramp(group, ids::amplitude, points);
    });
  }

  // The titles' texts and fonts as markers on V1, where Media Composer lists and shows them.
  void Markers(Node& mob, const ExportTrack& titles, std::uint32_t id, std::uint32_t mainSlot) {
    mob.Append("Slots", "EventMobSlot", [&](Node& slot) {
      slot.Int("SlotID", id).String("SlotName", "Titles").Int("PhysicalTrackNumber", 1);
      slot.Bytes("EditRate", rate_);
      slot.Child("Segment", "Sequence", [&](Node& sequence) {
        sequence.Refer("DataDefinition", KeyOf(ids::descriptiveMetadata)).Empty("Components");
        for (const ExportPiece& piece : titles.pieces) {
          if (!piece.item) continue;
          sequence.Append("Components", "DescriptiveMarker", [&](Node& marker) {
            Component(marker, ids::descriptiveMetadata, piece.Length().Value());
            marker.Int("Position", piece.recordIn.Value());
            marker.String("Comment", piece.caption.empty() ? piece.name : piece.caption);
            marker.Bytes("DescribedSlots", Dwords({mainSlot}));
            for (const TitleText& text : piece.item->texts) {
              if (text.namesMedia) continue;
              const std::string font = timeline_.Decoded(text.font);
              if (font.empty()) continue;
              marker.Append("UserComments", "TaggedValue", [&](Node& comment) {
                comment.String("Name", "Font");
                comment.Indirect("Value", ids::stringType, aaf::StoredString(font));
              });
              break;
            }
          });
        }
      });
    });
  }

  // Master mob -> file source mobs (picture, sound) -> import source mob, for one file.
  void AddMedium(Node& content, const Medium& medium) {
    const std::int64_t length = medium.length;
    const auto reference = [&](Node& clip, const aaf::MobId& mob, std::uint32_t slot,
                               const aaf::Auid& data) {
      Component(clip, data, length);
      clip.Mob("SourceID", mob).Int("SourceMobSlotID", slot).Int("StartTime", 0);
    };
    content.AddToSet("Mobs", "MasterMob", KeyOf(medium.master), [&](Node& master) {
      MobHead(master, medium.master, medium.name);
      if (medium.picture)
        Slot(master, 1, "V1", 1, "SourceClip",
             [&](Node& clip) { reference(clip, medium.file, 1, ids::picture); });
      if (medium.sound)
        Slot(master, 2, "A1", 1, "SourceClip",
             [&](Node& clip) { reference(clip, medium.soundFile, 2, ids::sound); });
    });
    if (medium.picture)
      content.AddToSet("Mobs", "SourceMob", KeyOf(medium.file), [&](Node& file) {
        MobHead(file, medium.file, medium.name);
        file.Child("EssenceDescription", "CDCIDescriptor",
                   [&](Node& descriptor) { PictureDescriptor(descriptor, medium); });
        Slot(file, 1, "V1", 1, "SourceClip",
             [&](Node& clip) { reference(clip, medium.import, 1, ids::picture); });
      });
    if (medium.sound)
      content.AddToSet("Mobs", "SourceMob", KeyOf(medium.soundFile), [&](Node& file) {
        MobHead(file, medium.soundFile, medium.name);
        file.Child("EssenceDescription", "PCMDescriptor",
                   [&](Node& descriptor) { SoundDescriptor(descriptor, medium); });
        Slot(file, 2, "A1", 1, "SourceClip",
             [&](Node& clip) { reference(clip, medium.import, 2, ids::sound); });
      });
    content.AddToSet("Mobs", "SourceMob", KeyOf(medium.import), [&](Node& import) {
      MobHead(import, medium.import, medium.name);
      import.Child("EssenceDescription", "ImportDescriptor", [](Node&){});
      Slot(import, 3, "TC1", 1, "Timecode", [&](Node& timecode) { Timecode(timecode, length); });
      const aaf::MobId none{};
      if (medium.picture)
        Slot(import, 1, "V1", 1, "SourceClip",
             [&](Node& clip) { reference(clip, none, 0, ids::picture); });
      if (medium.sound)
        Slot(import, 2, "A1", 1, "SourceClip",
             [&](Node& clip) { reference(clip, none, 0, ids::sound); });
    });
  }

  static void Locator(Node& descriptor, const Medium& medium) {
    descriptor.Append("Locator", "NetworkLocator",
                      [&](Node& locator) { locator.String("URLString", FileUrl(medium.path)); });
  }

  // The export's own frame (DV's 720 wide, NTSC or PAL lines), the rate the clips are cut at.
  void PictureDescriptor(Node& descriptor, const Medium& medium) const {
    Locator(descriptor, medium);
    descriptor.Bytes("SampleRate", rate_).Int("Length", medium.length);
    descriptor.Int("StoredWidth", 720).Int("StoredHeight", pal_ ? 576 : 480);
    descriptor.Int("FrameLayout", medium.still ? 0 : 3);  // full frame, or two fields
    descriptor.Bytes("VideoLineMap", pal_ ? Dwords({23, 336}) : Dwords({21, 283}));
    descriptor.Rational("ImageAspectRatio", timeline_.wideScreen ? 16 : 4,
                        timeline_.wideScreen ? 9 : 3);
    descriptor.Int("ComponentWidth", 8).Int("HorizontalSubsampling", 2);
  }

  void SoundDescriptor(Node& descriptor, const Medium& medium) const {
    Locator(descriptor, medium);
    descriptor.Bytes("SampleRate", rate_).Int("Length", medium.length);
    descriptor.Rational("AudioSamplingRate", 48000, 1);
    descriptor.Int("Channels", 2).Int("QuantizationBits", 16);
    descriptor.Int("BlockAlign", 4).Int("AverageBPS", 48000 * 4);
  }

  static void Identification(Node& identification) {
    identification.String("CompanyName", "pexol").String("ProductName", "pexol");
    identification.String("ProductVersionString", "1");
    identification.Id("ProductID", aaf::AuidOf("7e1f6a52-3c1b-4f0e-9a57-5d2b8c4e0f13"));
    identification.Bytes("Date", FixedTime());
    identification.Id("GenerationAUID", aaf::AuidOf("7e1f6a52-3c1b-4f0e-9a57-5d2b8c4e0f14"));
    identification.String("Platform", "pexol");
  }

  const ExportTimeline& timeline_;
  const bool startAtOneHour_;  // the timecode starts at 01:00:00:00, as Avid's sequences do
  std::uint64_t seed_;
  std::string rate_;
  bool pal_;
  std::uint32_t mobs_ = 0;
  std::map<std::string, Medium> media_;
};

}  // namespace

ExportWritten WriteAaf(const ExportTimeline& timeline, const FormatOptions& options) {
  const auto start = options.find(std::string_view("timecode-start"));
  AafBuilder builder(timeline, start != options.end() && start->second == "01:00:00:00");
  return builder.Write();
}

}  // namespace pexol
