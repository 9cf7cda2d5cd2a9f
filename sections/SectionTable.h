// sections/SectionTable.h - the sections of a project: order, presence, counts, headings
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/Options.h"
#include "sections/ProjectHeader.h"

namespace pexol {

/// Every section of the text exchange file, in file order.
enum class SectionId : std::uint8_t {
  Header,
  MainAV,
  InsertAV,
  ExAudio1,
  ExAudio2,
  Effect,
  Title,
  FilterMainAV,
  FilterInsertAV,
  FilterExAudio1,
  FilterExAudio2,
  BinWindow,
  Option,
  End,
};

/// When a section is in the project (its heading is in the text exactly then).
enum class Presence : std::uint8_t {
  Always,
  WithEffects,  ///< version 0x200 and later
  WithFilters,  ///< version 0x207 and later, "Corvane, Brisko" only
};

/// Where a section's record count comes from.
enum class CountFrom : std::uint8_t {
  None,           ///< no records (header, option block, end)
  MainClipCount,  ///< the header's main track count
  BinClipCount,   ///< the header's bin count
  CountBefore,    ///< a 32-bit count before the records; absent (0) when the main track is empty
  TrackOf,        ///< one record per clip of the track `track` names
};

struct SectionRule {
  SectionId id;
  std::string_view heading;
  Presence presence;
  CountFrom count;
  SectionId track;  ///< for CountFrom::TrackOf
};

// One row per section, in file order; the columns are the fields of SectionRule.
// clang-format off
inline constexpr std::array<SectionRule, 14> sectionTable = {{
  {SectionId::Header,         "[Header]",         Presence::Always,      CountFrom::None,          SectionId::Header},
  {SectionId::MainAV,         "[MainAV]",         Presence::Always,      CountFrom::MainClipCount, SectionId::MainAV},
  {SectionId::InsertAV,       "[InsertAV]",       Presence::Always,      CountFrom::CountBefore,   SectionId::InsertAV},
  {SectionId::ExAudio1,       "[ExAudio1]",       Presence::Always,      CountFrom::CountBefore,   SectionId::ExAudio1},
  {SectionId::ExAudio2,       "[ExAudio2]",       Presence::Always,      CountFrom::CountBefore,   SectionId::ExAudio2},
  {SectionId::Effect,         "[Effect]",         Presence::WithEffects, CountFrom::CountBefore,   SectionId::Effect},
  {SectionId::Title,          "[Title]",          Presence::WithEffects, CountFrom::CountBefore,   SectionId::Title},
  {SectionId::FilterMainAV,   "[FilterMainAV]",   Presence::WithFilters, CountFrom::TrackOf,       SectionId::MainAV},
  {SectionId::FilterInsertAV, "[FilterInsertAV]", Presence::WithFilters, CountFrom::TrackOf,       SectionId::InsertAV},
  {SectionId::FilterExAudio1, "[FilterExAudio1]", Presence::WithFilters, CountFrom::TrackOf,       SectionId::ExAudio1},
  {SectionId::FilterExAudio2, "[FilterExAudio2]", Presence::WithFilters, CountFrom::TrackOf,       SectionId::ExAudio2},
  {SectionId::BinWindow,      "[BinWindow]",      Presence::Always,      CountFrom::BinClipCount,  SectionId::BinWindow},
  {SectionId::Option,         "[Option]",         Presence::Always,      CountFrom::None,          SectionId::Option},
  {SectionId::End,            "[END]",            Presence::Always,      CountFrom::None,          SectionId::End},
}};
// clang-format on

namespace detail {
constexpr bool InFileOrder() {
  for (std::size_t i = 0; i < sectionTable.size(); ++i)
    if (static_cast<std::size_t>(sectionTable[i].id) != i) return false;
  return true;
}
}  // namespace detail

static_assert(detail::InFileOrder(), "the table lists the sections in file order");

constexpr const SectionRule& RuleOf(SectionId id) {
  return sectionTable[static_cast<std::size_t>(id)];
}
constexpr std::string_view HeadingOf(SectionId id) {
  return RuleOf(id).heading;
}

/// True when the section is in a project of `version` written by `software`.
bool SectionPresent(const SectionRule& rule, int version, Software software);

/// True when `line` is one of the section headings (any case).
bool IsSectionHeading(std::string_view line);

}  // namespace pexol
