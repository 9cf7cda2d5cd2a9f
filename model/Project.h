// model/Project.h - a project as values: every section's records, read by one walk
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "core/Options.h"
#include "core/RunProgress.h"
#include "core/Translation.h"
#include "model/ReadingPlan.h"
#include "sections/BinItem.h"
#include "sections/ClipRecord.h"
#include "sections/EffectRecord.h"
#include "sections/ExAudioClip.h"
#include "sections/FilterRecord.h"
#include "sections/ProjectHeader.h"
#include "sections/SectionTable.h"
#include "sections/TitleRecord.h"

namespace pexol {

/// The records of one section, with the bytes each was read from (for copying it unchanged).
template <class RecordType>
struct RecordList {
  using Record = RecordType;
  std::int32_t count = 0;  ///< as the project states it (0 when absent; may be negative)
  std::vector<Record> records;
  std::vector<std::string_view> bytes;

  std::size_t size() const { return records.size(); }
};

struct Project;
namespace detail {
template <class ProjectType, class Visit>
void VisitSectionOf(ProjectType& project, SectionId id, Visit& visit);
}  // namespace detail

/// A whole project. Views point into the bytes it was read from, which must outlive it.
struct Project {
  Software software = Software::CorvaneBrisko;
  ProjectHeader header;
  std::string_view fixedHeader;  ///< the first 16 bytes
  std::int32_t aspectRatio = 0;  ///< when HasAspectRatio
  std::int32_t titleTrack = 0;   ///< when HasTitleTrack
  RecordList<ClipRecord> main;
  RecordList<ClipRecord> insert;
  RecordList<ExAudioClip> exAudio[2];
  RecordList<EffectRecord> effects;
  RecordList<TitleRecord> titles;
  RecordList<TrackFilterRecord> mainFilters;
  RecordList<TrackFilterRecord> insertFilters;
  RecordList<AudioFilterRecord> exAudioFilters[2];
  RecordList<BinItem> bin;
  std::string_view option;      ///< the option block as stored
  std::size_t unreadBytes = 0;  ///< bytes after the option block

  bool Has(SectionId id) const { return SectionPresent(RuleOf(id), header.version, software); }

  /// Calls `visit(list)` with the records of section `id`, a `RecordList` of its record type;
  /// nothing for the header, the option block and the end, which hold no records. The one
  /// dispatch on a section's id: every walk over the sections goes through it.
  template <class Visit>
  void VisitSection(SectionId id, Visit&& visit) const {
    detail::VisitSectionOf(*this, id, visit);
  }
  template <class Visit>
  void VisitSection(SectionId id, Visit&& visit) {
    detail::VisitSectionOf(*this, id, visit);
  }
  bool TitlesExtended() const { return HasTitleExtension(header.version, software); }
  /// True when a video track kept a clip of no known kind (`UnknownClips::Keep`).
  bool HasUnknownClips() const;
};

namespace detail {
template <class ProjectType, class Visit>
void VisitSectionOf(ProjectType& project, SectionId id, Visit& visit) {
  switch (id) {
    case SectionId::MainAV:
      return visit(project.main);
    case SectionId::InsertAV:
      return visit(project.insert);
    case SectionId::ExAudio1:
    case SectionId::ExAudio2:
      return visit(project.exAudio[id == SectionId::ExAudio2]);
    case SectionId::Effect:
      return visit(project.effects);
    case SectionId::Title:
      return visit(project.titles);
    case SectionId::FilterMainAV:
      return visit(project.mainFilters);
    case SectionId::FilterInsertAV:
      return visit(project.insertFilters);
    case SectionId::FilterExAudio1:
    case SectionId::FilterExAudio2:
      return visit(project.exAudioFilters[id == SectionId::FilterExAudio2]);
    case SectionId::BinWindow:
      return visit(project.bin);
    case SectionId::Header:
    case SectionId::Option:
    case SectionId::End:
      return;
  }
}
}  // namespace detail

/// The video track of a clip section: main for [MainAV] and its filters, insert otherwise.
constexpr VideoTrack TrackOf(SectionId id) {
  return id == SectionId::MainAV || id == SectionId::FilterMainAV ? VideoTrack::Main
                                                                  : VideoTrack::Insert;
}

struct ReadSettings {
  Software software = Software::CorvaneBrisko;
  /// The run's status texts, shares and treatment of unknown clips; a quiet reading by default.
  std::reference_wrapper<const ReadingPlan> plan = quietReading;
};

/// Reads every section of `bytes` in file order, stepping `progress` by the plan's shares.
/// Throws `ProjectEndsEarly` (naming the record) when the bytes run out, and `RunFailure`
/// for a clip of no known kind unless the plan keeps such clips.
Project ReadProject(std::span<const std::uint8_t> bytes, const ReadSettings& settings,
                    RunProgress& progress);

/// The detail of a failure on a source project that is a text exchange file: the files were
/// given in the wrong order (a marked text: thrown through Tr).
inline constexpr std::string_view textGivenAsProject = ToTranslate(
    "it starts with \"[Header]\", so it is a text exchange file, not a project. Give the "
    "project (.mpj) first and the text second: to-project PROJECT.mpj TEXT.txt NEW.mpj.");

/// True when `project` starts as a text exchange file does: "[Header]" (any case), perhaps
/// behind a UTF-8 byte-order mark. A run that fails to read such a project says so.
bool LooksLikeText(std::span<const std::uint8_t> project);

/// False when the header of `project` cannot be a project's: too short for one, or a record
/// count below 0 or above the file's size (a JPEG's, an MP4's or an XML document's first bytes
/// read as counts of millions). True says nothing of the records behind it.
bool HeaderMayBeAProject(std::span<const std::uint8_t> project);

/// How well a software choice reads a project.
struct ProjectFit {
  bool readable = false;        ///< the walk did not run past the end or stop on a record
  std::size_t unreadBytes = 0;  ///< bytes after the option block
  bool Exact() const { return readable && unreadBytes == 0; }
};

/// Walks `project` as `software` wrote it, keeping nothing.
ProjectFit ProbeProject(std::span<const std::uint8_t> project, Software software,
                        UnknownClips unknownClips = UnknownClips::Fail);

}  // namespace pexol
