// model/Project.cpp - the one walk over a project's sections
#include "model/Project.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "core/RunFailure.h"
#include "core/TextEncoding.h"

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
    switch (track) {
      case SectionId::MainAV:
        return project_.main.count;
      case SectionId::InsertAV:
        return project_.insert.count;
      case SectionId::ExAudio1:
        return project_.exAudio[0].count;
      default:
        return project_.exAudio[1].count;
    }
  }

  // `minBytes` is the smallest record of the section: room is made for no more records than
  // the bytes left could hold, whatever count the file states.
  template <class Record, class WalkRecord>
  void ReadRecords(const SectionRule& rule, RecordList<Record>& list, WalkRecord walkRecord,
                   std::size_t minBytes) {
    const int run = static_cast<int>(settings_.run);
    const bool present = SectionPresent(rule, project_.header.version, project_.software);
    list.count = present ? CountOf(rule) : 0;
    if (list.count > 0) {
      const std::size_t room =
          std::min(static_cast<std::size_t>(list.count), bytes_.Remaining() / minBytes);
      list.records.reserve(room);
      list.bytes.reserve(room);
    }
    SectionProgress progress(progress_, rule.status[run], list.count, rule.share[run]);
    for (std::int32_t i = 0; i < list.count; ++i) {
      const std::size_t start = bytes_.Offset();
      Record record;
      walkRecord(record, i);
      list.bytes.push_back(bytes_.BytesSince(start));
      list.records.push_back(std::move(record));
      progress.RecordDone(i);
    }
  }

  void ReadClips(const SectionRule& rule, RecordList<ClipRecord>& list, VideoTrack track) {
    ReadRecords(
        rule, list,
        [&](ClipRecord& clip, std::int32_t index) {
          WalkClipRecord(walker_, clip, track);
          if (clip.kind == ClipKind::Unknown && settings_.unknownClips == UnknownClips::Fail)
            FailUnknownKind(track, index, clip.name);
        },
        17);
  }

  // Without a layout the rest of the file would be misread, so the run stops here.
  [[noreturn]] static void FailUnknownKind(VideoTrack track, std::int32_t index,
                                           const std::string& name) {
    throw RunFailure(FailedInput::Project,
                     std::string(track == VideoTrack::Main ? "main" : "insert") + " track clip " +
                         std::to_string(index + 1) + " (\"" + Printable(name) +
                         "\") is neither a movie, a still image nor a colour clip, so the rest "
                         "of the file cannot be read.");
  }

  void ReadSection(const SectionRule& rule) {
    auto& w = walker_;
    const bool extended = project_.TitlesExtended();
    switch (rule.id) {
      case SectionId::MainAV:
        return ReadClips(rule, project_.main, VideoTrack::Main);
      case SectionId::InsertAV:
        return ReadClips(rule, project_.insert, VideoTrack::Insert);
      case SectionId::ExAudio1:
      case SectionId::ExAudio2:
        return ReadRecords(
            rule, project_.exAudio[rule.id == SectionId::ExAudio2],
            [&w](ExAudioClip& clip, std::int32_t) { WalkExAudioClip(w, clip); }, 21);
      case SectionId::Effect:
        return ReadRecords(
            rule, project_.effects,
            [&w](EffectRecord& effect, std::int32_t) { WalkEffectRecord(w, effect); }, 40);
      case SectionId::Title:
        return ReadRecords(
            rule, project_.titles,
            [&w, extended](TitleRecord& title, std::int32_t) {
              WalkTitleRecord(w, title, extended);
            },
            35);
      case SectionId::FilterMainAV:
      case SectionId::FilterInsertAV:
        return ReadRecords(
            rule,
            rule.id == SectionId::FilterMainAV ? project_.mainFilters : project_.insertFilters,
            [&w](TrackFilterRecord& filter, std::int32_t) { WalkTrackFilterRecord(w, filter); },
            32);
      case SectionId::FilterExAudio1:
      case SectionId::FilterExAudio2:
        return ReadRecords(
            rule, project_.exAudioFilters[rule.id == SectionId::FilterExAudio2],
            [&w](AudioFilterRecord& filter, std::int32_t) { WalkAudioFilterRecord(w, filter); }, 4);
      case SectionId::BinWindow:
        return ReadRecords(
            rule, project_.bin, [&w](BinItem& item, std::int32_t) { WalkBinItem(w, item); }, 18);
      case SectionId::Option:
        return ReadOption(rule);
      case SectionId::Header:
      case SectionId::End:
        return;
    }
  }

  // The option block is read to find the end of the project; nothing in it is interpreted.
  // It names no file, so the media check does without it when it is cut short.
  void ReadOption(const SectionRule& rule) {
    progress_.At(rule.status[static_cast<int>(settings_.run)], 0, 0);
    ByteReader option = bytes_;
    option.StopAtEnd(settings_.run != RunKind::Check);
    const std::size_t start = option.Offset();
    for (int i = 0; i < 3; ++i) option.ReadDword();
    std::string_view text;
    ReadWalker(option).RawString(text);
    if (option.RanPastEnd()) return;
    project_.option = option.BytesSince(start);
    bytes_.Skip(project_.option.size());
    progress_.Step(rule.share[static_cast<int>(settings_.run)]);
  }

  ByteReader& bytes_;
  ReadWalker walker_;
  const ReadSettings& settings_;
  RunProgress& progress_;
  Project& project_;
};

}  // namespace

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
  try {
    return {true,
            ReadProject(project, {software, RunKind::ToText, unknownClips}, progress).unreadBytes};
  } catch (const RunFailure&) {
    return {};
  }
}

std::optional<Software> ChooseSoftware(std::span<const std::uint8_t> project) {
  const ProjectFit first = ProbeProject(project, Software::CorvaneBrisko);
  if (first.Exact()) return Software::CorvaneBrisko;
  const ProjectFit second = ProbeProject(project, Software::Lumetta);
  if (second.Exact()) return Software::Lumetta;
  if (first.readable) return Software::CorvaneBrisko;
  if (second.readable) return Software::Lumetta;
  return std::nullopt;
}

}  // namespace pexol
