// export/AafWriter.cpp - header, dictionary, mobs and their slots of an AAF file
#include "export/AafWriter.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "export/Fcp7Writer.h"
#include "export/aaf/AafDictionary.h"
#include "export/aaf/AafMetaDictionary.h"

namespace pexol {
namespace {

using aaf::KeyOf;
using aaf::Object;
namespace ids = aaf::ids;

std::unique_ptr<Object> Make(const char* cls) {
  return std::make_unique<Object>(cls);
}

std::string Le(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::string RationalBytes(std::int64_t numerator, std::int64_t denominator) {
  const std::int64_t common = std::gcd(numerator, denominator);
  if (common > 1) numerator /= common, denominator /= common;
  return Le(std::uint32_t(std::int32_t(numerator)), 4) +
         Le(std::uint32_t(std::int32_t(denominator)), 4);
}

// No clock: every build writes the same bytes for the same project.
std::string FixedTime() {
  return Le(2000, 2) + std::string{1, 1, 0, 0, 0, 0};
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

class AafBuilder {
 public:
  explicit AafBuilder(const ExportTimeline& timeline)
      : timeline_(timeline), seed_(Hash(timeline.projectName)) {
    rate_ = {timeline.rate.numerator, timeline.rate.denominator};
  }

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

    auto composition = Make("CompositionMob");
    const aaf::MobId compositionId = NewMobId("composition");
    MobHead(*composition, compositionId, timeline_.projectName);
    composition->Id("UsageCode", aaf::AuidOf("0d010102-0101-0700-060e-2b3404010101"));
    composition->Append("Slots", TimecodeSlot());
    std::uint32_t slotId = 2, pictures = 0, sounds = 0;
    std::uint32_t mainSlot = 0;
    for (const ExportTrack* track : slots) {
      if (track->role == TrackRole::Main) mainSlot = slotId;
      composition->Append("Slots",
                          TrackSlot(*track, slotId++, track->video ? ++pictures : ++sounds));
    }
    if (titles != nullptr && !titles->Empty())
      composition->Append("Slots", MarkerSlot(*titles, 1000, mainSlot));

    auto content = Make("ContentStorage");
    content->AddToSet("Mobs", std::move(composition));
    for (auto& [path, medium] : media_) AddMedium(*content, medium);

    auto header = Make("Header");
    header->Int("ByteOrder", 0x4949).Bytes("LastModified", FixedTime());
    header->Bytes("Version", std::string{1, 1}).Int("ObjectModelVersion", 1);
    header->Id("OperationalPattern", aaf::AuidOf("0d011201-0100-0000-060e-2b3404010105"));
    header->Child("Content", std::move(content)).Child("Dictionary", aaf::Dictionary());
    header->Append("IdentificationList", Identification());

    ExportWritten out;
    out.files.push_back({"", aaf::File(aaf::MetaDictionary(), std::move(header)).Bytes()});
    out.counts = CountWritten(written);
    if (colours_ > 0)
      out.notes.push_back("AAF has no colour clip its readers share: " + std::to_string(colours_) +
                          " colour clip" + (colours_ == 1 ? " is" : "s are") +
                          " left empty (black) in it.");
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

  void MobHead(Object& mob, const aaf::MobId& id, std::string_view name) {
    mob.Mob("MobID", id).String("Name", name);
    mob.Bytes("LastModified", FixedTime()).Bytes("CreationTime", FixedTime());
  }

  std::unique_ptr<Object> Slot(std::uint32_t id, std::string_view name, std::uint32_t track,
                               std::unique_ptr<Object> segment) {
    auto slot = Make("TimelineMobSlot");
    slot->Int("SlotID", id).String("SlotName", name).Int("PhysicalTrackNumber", track);
    slot->Bytes("EditRate", Rate()).Int("Origin", 0).Child("Segment", std::move(segment));
    return slot;
  }

  std::string Rate() const { return RationalBytes(rate_.first, rate_.second); }

  bool Pal() const { return TimecodeModeOf(timeline_.rate) == TimecodeMode::Pal; }

  std::unique_ptr<Object> Timecode(std::int64_t length, std::int64_t start) {
    auto timecode = Make("Timecode");
    timecode->Refer("DataDefinition", KeyOf(ids::timecode)).Int("Length", length);
    timecode->Int("Start", start).Int("FPS", Pal() ? 25 : 30);
    timecode->Bool("Drop", TimecodeModeOf(timeline_.rate) == TimecodeMode::NtscDrop);
    return timecode;
  }

  std::unique_ptr<Object> TimecodeSlot() {
    return Slot(1, "TC1", 1, Timecode(std::max<std::int64_t>(timeline_.end.Value(), 1), 0));
  }

  std::unique_ptr<Object> Component(const char* cls, const char* data, std::int64_t length) {
    auto component = Make(cls);
    component->Refer("DataDefinition", KeyOf(data)).Int("Length", length);
    return component;
  }

  std::unique_ptr<Object> TrackSlot(const ExportTrack& track, std::uint32_t id,
                                    std::uint32_t number) {
    const char* data = track.video ? ids::picture : ids::sound;
    auto sequence = Component("Sequence", data, timeline_.end.Value());
    sequence->Empty("Components");
    std::int64_t length = 0;
    for (const ExportPiece& piece : track.pieces) {
      if (piece.transition) {
        sequence->Append("Components", TransitionOf(piece, track.video));
        length -= piece.transitionLength.Value();
      }
      const std::int64_t pieceLength = (piece.Length() + piece.runOn).Value();
      sequence->Append("Components", Piece(piece, data, track.video));
      length += pieceLength;
    }
    sequence->Int("Length", length);
    return Slot(id, track.name, number, std::move(sequence));
  }

  // A transition starting on its cut: the outgoing clip runs on under it.
  std::unique_ptr<Object> TransitionOf(const ExportPiece& incoming, bool video) {
    const std::int64_t length = incoming.transitionLength.Value();
    const char* data = video ? ids::picture : ids::sound;
    const bool dissolve = !video || incoming.transition->code == 'D';
    auto group = Component("OperationGroup", data, length);
    group->Refer("Operation", KeyOf(!video     ? ids::audioDissolve
                                    : dissolve ? ids::videoDissolve
                                               : ids::wipe));
    group->AddToSet("Parameters", Ramp(ids::level, {{0, 1, 0.0}, {1, 1, 1.0}}), "Definition");
    if (!dissolve) {
      auto number = Make("ConstantValue");
      number->Id("Definition", aaf::AuidOf(ids::wipeNumber));
      number->Indirect("Value", ids::int32Type, Le(1, 4));  // a bar wiping from left to right
      group->AddToSet("Parameters", std::move(number), "Definition");
    }
    auto transition = Component("Transition", data, length);
    transition->Int("CutPoint", 0).Child("OperationGroup", std::move(group));
    return transition;
  }

  struct Point {
    std::int64_t timeNumerator, timeDenominator;
    double value;
  };

  // A parameter going in a line between `points`, each at a time in the operation's length
  // (0 its start, 1 its end).
  std::unique_ptr<Object> Ramp(const char* definition, const std::vector<Point>& points) {
    auto varying = Make("VaryingValue");
    varying->Id("Definition", aaf::AuidOf(definition)).Refer("Interpolation", KeyOf(ids::linear));
    for (const Point& point : points) {
      auto control = Make("ControlPoint");
      control->Bytes("Time", RationalBytes(point.timeNumerator, point.timeDenominator));
      control->Indirect("Value", ids::rationalType,
                        RationalBytes(std::llround(point.value * 100000), 100000));
      control->Int("EditHint", 1);  // proportional
      varying->Append("PointList", std::move(control));
    }
    return varying;
  }

  std::unique_ptr<Object> Piece(const ExportPiece& piece, const char* data, bool video) {
    const std::int64_t length = (piece.Length() + piece.runOn).Value();
    if (!Shows(piece)) {
      if (piece.item != nullptr && video) ++colours_;
      return Component("Filler", data, length);
    }
    const TimelineItem& item = *piece.item;
    const Medium& medium = media_.at(piece.media->path);
    const std::int64_t start = item.kind == ItemKind::Movie ? piece.sourceIn.Value() : 0;
    if (item.slow) {
      // Half speed: the media's frames last twice as long.
      auto clip = SourceClip(medium, data, video, start, (length + 1) / 2);
      auto group = Component("OperationGroup", data, length);
      group->Refer("Operation", KeyOf(ids::motionControl));
      group->Append("InputSegments", std::move(clip));
      auto ratio = Make("ConstantValue");
      ratio->Id("Definition", aaf::AuidOf(ids::speedRatio));
      ratio->Indirect("Value", ids::rationalType, RationalBytes(2, 1));
      group->AddToSet("Parameters", std::move(ratio), "Definition");
      return group;
    }
    auto clip = SourceClip(medium, data, video, start, length);
    if (video || piece.pieceGain.empty()) return clip;
    // The levels from the piece's first frame, as amplitudes keyed in the clip's length.
    std::vector<Point> points;
    for (const GainPoint& point : piece.pieceGain)
      points.push_back({point.frame.Value(), length, std::clamp(point.level, 0.0, 200.0) / 100});
    auto group = Component("OperationGroup", data, length);
    group->Refer("Operation", KeyOf(ids::audioGain));
    group->Append("InputSegments", std::move(clip));
    group->AddToSet("Parameters", Ramp(ids::amplitude, points), "Definition");
    return group;
  }

  std::unique_ptr<Object> SourceClip(const Medium& medium, const char* data, bool video,
                                     std::int64_t start, std::int64_t length) {
    auto clip = Component("SourceClip", data, length);
    clip->Mob("SourceID", medium.master).Int("SourceMobSlotID", video ? 1 : 2);
    clip->Int("StartTime", start);
    return clip;
  }

  // The titles' texts and fonts as markers on V1, where Media Composer lists and shows them.
  std::unique_ptr<Object> MarkerSlot(const ExportTrack& titles, std::uint32_t id,
                                     std::uint32_t mainSlot) {
    auto sequence = Make("Sequence");
    sequence->Refer("DataDefinition", KeyOf(ids::descriptiveMetadata)).Empty("Components");
    for (const ExportPiece& piece : titles.pieces) {
      if (!piece.item) continue;
      auto marker = Make("DescriptiveMarker");
      marker->Refer("DataDefinition", KeyOf(ids::descriptiveMetadata));
      marker->Int("Length", piece.Length().Value()).Int("Position", piece.recordIn.Value());
      marker->String("Comment", piece.caption.empty() ? piece.name : piece.caption);
      marker->Bytes("DescribedSlots", Le(mainSlot, 4));
      for (const TitleText& text : piece.item->texts) {
        if (text.namesMedia) continue;
        const std::string font = timeline_.Decoded(text.font);
        if (font.empty()) continue;
        auto comment = Make("TaggedValue");
        comment->String("Name", "Font");
        comment->Indirect("Value", ids::stringType, aaf::StoredString(font));
        marker->Append("UserComments", std::move(comment));
        break;
      }
      sequence->Append("Components", std::move(marker));
    }
    auto slot = Make("EventMobSlot");
    slot->Int("SlotID", id).String("SlotName", "Titles").Int("PhysicalTrackNumber", 1);
    slot->Bytes("EditRate", Rate()).Child("Segment", std::move(sequence));
    return slot;
  }

  // Master mob -> file source mobs (picture, sound) -> import source mob, for one file.
  void AddMedium(Object& content, const Medium& medium) {
    const std::int64_t length = medium.length;
    auto master = Make("MasterMob");
    MobHead(*master, medium.master, medium.name);
    auto import = Make("SourceMob");
    MobHead(*import, medium.import, medium.name);
    import->Child("EssenceDescription", Make("ImportDescriptor"));
    import->Append("Slots", Slot(3, "TC1", 1, Timecode(length, 0)));
    if (medium.picture) {
      master->Append("Slots", Slot(1, "V1", 1, Reference(medium.file, 1, ids::picture, length)));
      auto file = Make("SourceMob");
      MobHead(*file, medium.file, medium.name);
      file->Child("EssenceDescription", PictureDescriptor(medium));
      file->Append("Slots", Slot(1, "V1", 1, Reference(medium.import, 1, ids::picture, length)));
      content.AddToSet("Mobs", std::move(file));
      import->Append("Slots", Slot(1, "V1", 1, Reference({}, 0, ids::picture, length)));
    }
    if (medium.sound) {
      master->Append("Slots", Slot(2, "A1", 1, Reference(medium.soundFile, 2, ids::sound, length)));
      auto file = Make("SourceMob");
      MobHead(*file, medium.soundFile, medium.name);
      file->Child("EssenceDescription", SoundDescriptor(medium));
      file->Append("Slots", Slot(2, "A1", 1, Reference(medium.import, 2, ids::sound, length)));
      content.AddToSet("Mobs", std::move(file));
      import->Append("Slots", Slot(2, "A1", 1, Reference({}, 0, ids::sound, length)));
    }
    content.AddToSet("Mobs", std::move(master));
    content.AddToSet("Mobs", std::move(import));
  }

  std::unique_ptr<Object> Reference(const aaf::MobId& mob, std::uint32_t slot, const char* data,
                                    std::int64_t length) {
    auto clip = Component("SourceClip", data, length);
    clip->Mob("SourceID", mob).Int("SourceMobSlotID", slot).Int("StartTime", 0);
    return clip;
  }

  std::unique_ptr<Object> Locator(const Medium& medium) {
    auto locator = Make("NetworkLocator");
    locator->String("URLString", FileUrl(medium.path));
    return locator;
  }

  // The export's own frame (DV's 720 wide, NTSC or PAL lines), the rate the clips are cut at.
  std::unique_ptr<Object> PictureDescriptor(const Medium& medium) {
    auto descriptor = Make("CDCIDescriptor");
    descriptor->Append("Locator", Locator(medium));
    descriptor->Bytes("SampleRate", Rate()).Int("Length", medium.length);
    const int height = Pal() ? 576 : 480;
    descriptor->Int("StoredWidth", 720).Int("StoredHeight", height);
    descriptor->Int("FrameLayout", medium.still ? 0 : 3);  // full frame, or two fields
    descriptor->Bytes("VideoLineMap", Le(Pal() ? 23 : 21, 4) + Le(Pal() ? 336 : 283, 4));
    descriptor->Bytes("ImageAspectRatio",
                      timeline_.wideScreen ? RationalBytes(16, 9) : RationalBytes(4, 3));
    descriptor->Int("ComponentWidth", 8).Int("HorizontalSubsampling", 2);
    return descriptor;
  }

  std::unique_ptr<Object> SoundDescriptor(const Medium& medium) {
    auto descriptor = Make("PCMDescriptor");
    descriptor->Append("Locator", Locator(medium));
    descriptor->Bytes("SampleRate", Rate()).Int("Length", medium.length);
    descriptor->Bytes("AudioSamplingRate", RationalBytes(48000, 1));
    descriptor->Int("Channels", 2).Int("QuantizationBits", 16);
    descriptor->Int("BlockAlign", 4).Int("AverageBPS", 48000 * 4);
    return descriptor;
  }

  std::unique_ptr<Object> Identification() {
    auto identification = Make("Identification");
    identification->String("CompanyName", "pexol").String("ProductName", "pexol");
    identification->String("ProductVersionString", "1");
    identification->Id("ProductID", aaf::AuidOf("7e1f6a52-3c1b-4f0e-9a57-5d2b8c4e0f13"));
    identification->Bytes("Date", FixedTime());
    identification->Id("GenerationAUID", aaf::AuidOf("7e1f6a52-3c1b-4f0e-9a57-5d2b8c4e0f14"));
    identification->String("Platform", "pexol");
    return identification;
  }

  const ExportTimeline& timeline_;
  std::uint64_t seed_;
  std::pair<int, int> rate_;
  std::uint32_t mobs_ = 0;
  int colours_ = 0;
  std::map<std::string, Medium> media_;
};

}  // namespace

ExportWritten WriteAaf(const ExportTimeline& timeline) {
  AafBuilder builder(timeline);
  return builder.Write();
}

}  // namespace pexol
