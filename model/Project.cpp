// model/Project.cpp - the one walk over a project's sections
#include "model/Project.h"

#include <algorithm>
#include <type_traits>

#include "core/ByteReader.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol {

namespace {

class ProjectReader {
 public:
  ProjectReader(ByteReader& bytes, const ReadSettings& settings, RunProgress& progress,
                Project& project)
      : bytes_(bytes),
        walker_(bytes),
        settings_(settings),
        progress_(progress),
        project_(project) {}

  void ReadAll() {
    ReadHeaderFields();
    for (const SectionRule& rule : sectionTable) ReadSection(rule);
  }

 private:
  void ReadHeaderFields() {
    project_.header = ReadHeader(bytes_);
    project_.fixedHeader = bytes_.BytesSince(0);
    if (HasAspectRatio(project_.header.version)) project_.aspectRatio = bytes_.ReadDword();
    if (HasTitleTrack(project_.header.version, project_.software))
      project_.titleTrack = bytes_.ReadDword();
  }

  std::int32_t CountOf(const SectionRule& rule) {
    switch (rule.count) {
      case CountFrom::MainClipCount:
        return project_.header.mainClipCount;
      case CountFrom::BinClipCount:
        return project_.header.binClipCount;
      case CountFrom::CountBefore:
        // Sections after an empty main track are absent from the file, counts included.
        return project_.header.mainClipCount != 0 ? bytes_.ReadDword() : 0;
      case CountFrom::TrackOf:
        return TrackCount(rule.track);
      case CountFrom::None:
        break;
    }
    return 0;
  }

  std::int32_t TrackCount(SectionId track) const {
    std::int32_t count = 0;
    project_.VisitSection(track, [&count](const auto& list) { count = list.count; });
    return count;
  }

  // `minBytes` is the smallest record of the section: room is made for no more records than
  // the bytes left could hold, whatever count the file states.
  template <class Record, class WalkRecord>
  void ReadRecords(const SectionRule& rule, RecordList<Record>& list, WalkRecord walkRecord,
                   std::size_t minBytes) {
    const bool present = SectionPresent(rule, project_.header.version, project_.software);
    list.count = present ? CountOf(rule) : 0;
    if (list.count > 0) {
      const std::size_t room =
          std::min(static_cast<std::size_t>(list.count), bytes_.Remaining() / minBytes);
      list.records.reserve(room);
      list.bytes.reserve(room);
    }
    const SectionReading& reading = settings_.plan.get().Of(rule.id);
    SectionProgress progress(progress_, reading.status, list.count, reading.share);
    for (std::int32_t i = 0; i < list.count; ++i) {
      const std::size_t start = bytes_.Offset();
      Record record;
      walkRecord(record, i);
      list.bytes.push_back(bytes_.BytesSince(start));
      list.records.push_back(std::move(record));
      progress.RecordDone(i);
    }
  }

  // One record of section `id` in its layout. A clip of no known kind stops a run that
  // cannot read on without it.
  void WalkOne(SectionId id, ClipRecord& clip, std::int32_t index) {
    const VideoTrack track = TrackOf(id);
    WalkClipRecord(walker_, clip, track);
    if (clip.kind == ClipKind::Unknown && settings_.plan.get().unknownClips == UnknownClips::Fail)
      FailUnknownKind(track, index, clip.name);
  }
  void WalkOne(SectionId, ExAudioClip& clip, std::int32_t) { WalkExAudioClip(walker_, clip); }
  void WalkOne(SectionId, EffectRecord& effect, std::int32_t) { WalkEffectRecord(walker_, effect); }
  void WalkOne(SectionId, TitleRecord& title, std::int32_t) {
    WalkTitleRecord(walker_, title, project_.TitlesExtended());
  }
  void WalkOne(SectionId, TrackFilterRecord& filter, std::int32_t) {
    WalkTrackFilterRecord(walker_, filter);
  }
  void WalkOne(SectionId, AudioFilterRecord& filter, std::int32_t) {
    WalkAudioFilterRecord(walker_, filter);
  }
  void WalkOne(SectionId, BinItem& item, std::int32_t) { WalkBinItem(walker_, item); }

  // The smallest record of each layout.
  static constexpr std::size_t MinBytes(const ClipRecord*) { return 17; }
  static constexpr std::size_t MinBytes(const ExAudioClip*) { return 21; }
  static constexpr std::size_t MinBytes(const EffectRecord*) { return 40; }
  static constexpr std::size_t MinBytes(const TitleRecord*) { return 35; }
  static constexpr std::size_t MinBytes(const TrackFilterRecord*) { return 32; }
  static constexpr std::size_t MinBytes(const AudioFilterRecord*) { return 4; }
  static constexpr std::size_t MinBytes(const BinItem*) { return 18; }

  // Without a layout the rest of the file would be misread, so the run stops here.
  [[noreturn]] static void FailUnknownKind(VideoTrack track, std::int32_t index,
                                           const std::string& name) {
    throw RunFailure(
        FailedInput::Project,
        track == VideoTrack::Main
            ? Say("main track clip {0} (\"{1}\") is neither a movie, a still image nor a colour "
                  "clip, so the rest of the file cannot be read.",
                  index + 1, Printable(name))
            : Say("insert track clip {0} (\"{1}\") is neither a movie, a still image nor a "
                  "colour clip, so the rest of the file cannot be read.",
                  index + 1, Printable(name)));
  }

  void ReadSection(const SectionRule& rule) {
    if (rule.id == SectionId::Option) return ReadOption(rule);
    project_.VisitSection(rule.id, [this, &rule](auto& list) {
      using Record = typename std::remove_reference_t<decltype(list)>::Record;
      ReadRecords(
          rule, list,
          [this, &rule](Record& record, std::int32_t i) { WalkOne(rule.id, record, i); },
          MinBytes(static_cast<const Record*>(nullptr)));
    });
  }

  // The option block is read to find the end of the project; nothing in it is interpreted.
  // It names no file, so a plan that wants only the names does without it when it is cut short.
  void ReadOption(const SectionRule& rule) {
    const SectionReading& reading = settings_.plan.get().Of(rule.id);
    progress_.At(reading.status, 0, 0);
    ByteReader option = bytes_;
    option.StopAtEnd(!settings_.plan.get().optionMayBeShort);
    const std::size_t start = option.Offset();
    for (int i = 0; i < 3; ++i) option.ReadDword();
    std::string_view text;
    ReadWalker(option).RawString(text);
    if (option.RanPastEnd()) return;
    project_.option = option.BytesSince(start);
    bytes_.Skip(project_.option.size());
    progress_.Step(reading.share);
  }

  ByteReader& bytes_;
  ReadWalker walker_;
  const ReadSettings& settings_;
  RunProgress& progress_;
  Project& project_;
};

}  // namespace

bool LooksLikeText(std::span<const std::uint8_t> project) {
  std::string_view start(reinterpret_cast<const char*>(project.data()), project.size());
  if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
  constexpr std::string_view heading = HeadingOf(SectionId::Header);
  return start.size() >= heading.size() &&
         EqualsIgnoreCase(start.substr(0, heading.size()), heading);
}

bool HeaderMayBeAProject(std::span<const std::uint8_t> project) {
  constexpr std::size_t headerBytes = 16;  // version, reserved, the bin and the main counts
  if (project.size() < headerBytes) return false;
  ByteReader header(project.subspan(0, headerBytes));
  header.Skip(4);
  const std::int32_t binClips = header.ReadDword();
  const std::int32_t mainClips = header.ReadDword();
  // Every record takes at least a byte.
  return binClips >= 0 && mainClips >= 0 &&
         static_cast<std::uint64_t>(binClips) + static_cast<std::uint64_t>(mainClips) <=
             project.size();
}

bool Project::HasUnknownClips() const {
  const auto unknown = [](const ClipRecord& clip) { return clip.kind == ClipKind::Unknown; };
  return std::any_of(main.records.begin(), main.records.end(), unknown) ||
         std::any_of(insert.records.begin(), insert.records.end(), unknown);
}

Project ReadProject(std::span<const std::uint8_t> bytes, const ReadSettings& settings,
                    RunProgress& progress) {
  ByteReader reader(bytes);
  reader.StopAtEnd();
  Project project;
  project.software = settings.software;
  try {
    ProjectReader(reader, settings, progress, project).ReadAll();
  } catch (const ProjectEndsEarly& e) {
    throw ProjectEndsEarly(e.Offset(), progress.Where());
  }
  project.unreadBytes = reader.Remaining();
  return project;
}

ProjectFit ProbeProject(std::span<const std::uint8_t> project, Software software,
                        UnknownClips unknownClips) {
  NullObserver quiet;
  RunProgress progress(quiet);
  const ReadingPlan probe = QuietReading(unknownClips);
  try {
    return {true, ReadProject(project, {software, probe}, progress).unreadBytes};
  } catch (const RunFailure&) {
    return {};
  }
}

}  // namespace pexol
