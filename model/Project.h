// model/Project.h - a project as values: every section's records, read by one walk
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/Options.h"
#include "core/ProjectHeader.h"
#include "core/RunProgress.h"
#include "sections/BinItem.h"
#include "sections/ClipRecord.h"
#include "sections/EffectRecord.h"
#include "sections/ExAudioClip.h"
#include "sections/FilterRecord.h"
#include "sections/SectionTable.h"
#include "sections/TitleRecord.h"

namespace pexol {

/// The records of one section, with the bytes each was read from (for copying it unchanged).
template <class Record>
struct RecordList {
  std::int32_t count = 0;  ///< as the project states it (0 when absent; may be negative)
  std::vector<Record> records;
  std::vector<std::string_view> bytes;

  std::size_t size() const { return records.size(); }
};

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
  bool TitlesExtended() const { return HasTitleExtension(header.version, software); }
  /// True when a video track kept a clip of no known kind (`UnknownClips::Keep`).
  bool HasUnknownClips() const;
};

/// What a walk does with a main or insert clip whose name gives no known kind.
enum class UnknownClips {
  Fail,  ///< the rest of the file cannot be read as a conversion needs it
  Keep,  ///< kept as a record of its name alone (the media check reads on)
};

struct ReadSettings {
  Software software = Software::CorvaneBrisko;
  RunKind run = RunKind::ToText;  ///< whose progress shares and status texts to use
  UnknownClips unknownClips = UnknownClips::Fail;
};

/// Reads every section of `bytes` in file order, stepping `progress` by the run's shares.
/// Throws `ProjectEndsEarly` (naming the record) when the bytes run out, and `RunFailure`
/// for a clip of no known kind unless such clips are kept.
Project ReadProject(std::span<const std::uint8_t> bytes, const ReadSettings& settings,
                    RunProgress& progress);

/// How well a software choice reads a project.
struct ProjectFit {
  bool readable = false;        ///< the walk did not run past the end or stop on a record
  std::size_t unreadBytes = 0;  ///< bytes after the option block
  bool Exact() const { return readable && unreadBytes == 0; }
};

/// Walks `project` as `software` wrote it, keeping nothing.
ProjectFit ProbeProject(std::span<const std::uint8_t> project, Software software,
                        UnknownClips unknownClips = UnknownClips::Fail);
/// The first choice that reads the project exactly to its end; failing that, the first
/// that reads it without running past its end; nullopt when neither does.
std::optional<Software> ChooseSoftware(std::span<const std::uint8_t> project);

}  // namespace pexol
