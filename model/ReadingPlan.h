// model/ReadingPlan.h - how one run reads a project: its status text and steps per section
#pragma once

#include <array>
#include <string_view>

#include "core/Translation.h"
#include "sections/SectionTable.h"

namespace pexol {

/// What a walk does with a main or insert clip whose name gives no known kind.
enum class UnknownClips {
  Fail,  ///< the rest of the file cannot be laid out without it
  Keep,  ///< kept as a record of its name alone, for a run that wants only the names
};

/// One section as a run reads it: the status line while its records are read, and its steps
/// of the 200-step bar, taken at once when it is absent or empty.
struct SectionReading {
  SectionId id;
  std::string_view status;
  int share = 0;
};

using SectionReadings = std::array<SectionReading, sectionTable.size()>;
/// Steps for each section, in file order.
using SectionShares = std::array<int, sectionTable.size()>;

/// The status line shown while a section's records are read, unless a run names them itself:
/// the heading, with one name for both extra audio tracks and one for both audio filters.
constexpr std::string_view ReadingStatus(SectionId id) {
  switch (id) {
    case SectionId::Header:
    case SectionId::End:
      return {};
    case SectionId::ExAudio1:
    case SectionId::ExAudio2:
      return "[ExAudio]";
    case SectionId::FilterExAudio1:
    case SectionId::FilterExAudio2:
      return "[FilterAudio]";
    case SectionId::Option:
      return ToTranslate("the option block");
    default:
      return HeadingOf(id);
  }
}

/// Every section with its usual status line and its steps of `shares`.
constexpr SectionReadings SectionsRead(const SectionShares& shares) {
  SectionReadings sections{};
  for (std::size_t i = 0; i < sections.size(); ++i)
    sections[i] = {sectionTable[i].id, ReadingStatus(sectionTable[i].id), shares[i]};
  return sections;
}

/// The steps of a run that reads the timeline's sections (tracks, effects, titles) and takes
/// the rest of its bar after them.
inline constexpr SectionShares timelineShares = {0, 40, 20, 10, 10, 20, 60, 0, 0, 0, 0, 0, 0, 0};
/// The steps of a run whose reading is a moment beside its own work (a render, a collect): a
/// few for the timeline's sections, and the rest of the bar, `briefReadingLeft`, after them.
inline constexpr SectionShares briefShares = {0, 2, 1, 1, 1, 1, 2, 0, 0, 0, 0, 0, 0, 0};
inline constexpr int briefReadingLeft = 192;

/// A run's reading and what follows it. Each run keeps its own plan beside its code, so the
/// walk names no run and a new run adds a plan without touching the layers below it.
struct ReadingPlan {
  SectionReadings sections;  ///< in file order
  /// A run that wants only the names reads on past clips of no known kind.
  UnknownClips unknownClips = UnknownClips::Fail;
  /// Such a run also does without an option block cut short: it names no file.
  bool optionMayBeShort = false;
  std::string_view afterReadingStatus = {};  ///< status line while the body works; empty keeps it
  int afterReadingShare = 0;      ///< steps after the sections, taken by the body or at once
  bool notesUnreadBytes = false;  ///< the message tells of bytes after the project

  constexpr const SectionReading& Of(SectionId id) const {
    return sections[static_cast<std::size_t>(id)];
  }
  /// The steps the sections make.
  constexpr int ReadingSteps() const {
    int total = 0;
    for (const SectionReading& section : sections) total += section.share;
    return total;
  }
  constexpr int TotalSteps() const { return ReadingSteps() + afterReadingShare; }
  /// True when the plan lists every section once, in file order (checked where it is written).
  constexpr bool InFileOrder() const {
    for (std::size_t i = 0; i < sections.size(); ++i)
      if (sections[i].id != sectionTable[i].id) return false;
    return true;
  }
};

/// A reading that shows nothing and makes no steps, for probes whose progress nobody sees.
constexpr ReadingPlan QuietReading(UnknownClips unknownClips = UnknownClips::Fail) {
  ReadingPlan plan{.sections = SectionsRead({})};
  for (SectionReading& section : plan.sections) section.status = {};
  plan.unknownClips = unknownClips;
  return plan;
}
inline constexpr ReadingPlan quietReading = QuietReading();

}  // namespace pexol
