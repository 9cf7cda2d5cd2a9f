// sections/SectionTable.h - the sections of a project: order, presence, counts, headings, shares
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

/// The runs that walk a project; each has its own share of the 200-step bar per section.
enum class RunKind : std::uint8_t { ToText, ToProject, Check, Export, Relink, Picture, Render };
inline constexpr std::size_t runKindCount = 7;

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
  /// Status text of each run while it reads the section's records (RunKind order).
  std::array<std::string_view, runKindCount> status;
  /// Steps of each run for the section, taken at once when it is absent or empty.
  std::array<int, runKindCount> share;
};

// One row per section, in file order; the columns are the fields of SectionRule.
// clang-format off
inline constexpr std::array<SectionRule, 14> sectionTable = {{
  {SectionId::Header,         "[Header]",         Presence::Always,      CountFrom::None,          SectionId::Header,
   {},                                                         {}},
  {SectionId::MainAV,         "[MainAV]",         Presence::Always,      CountFrom::MainClipCount, SectionId::MainAV,
   {"[MainAV]", "[MainAV]", "[MainAV]", "[MainAV]", "[MainAV]", "[MainAV]", "[MainAV]"},                       {40, 40, 40, 40, 40, 40, 2}},
  {SectionId::InsertAV,       "[InsertAV]",       Presence::Always,      CountFrom::CountBefore,   SectionId::InsertAV,
   {"[InsertAV]", "[InsertAV]", "[InsertAV]", "[InsertAV]", "[InsertAV]", "[InsertAV]", "[InsertAV]"},                 {20, 20, 20, 20, 20, 20, 1}},
  {SectionId::ExAudio1,       "[ExAudio1]",       Presence::Always,      CountFrom::CountBefore,   SectionId::ExAudio1,
   {"[ExAudio]", "[ExAudio1]", "[ExAudio]", "[ExAudio]", "[ExAudio]", "[ExAudio]", "[ExAudio]"},                   {10, 10, 10, 10, 10, 10, 1}},
  {SectionId::ExAudio2,       "[ExAudio2]",       Presence::Always,      CountFrom::CountBefore,   SectionId::ExAudio2,
   {"[ExAudio]", "[ExAudio2]", "[ExAudio]", "[ExAudio]", "[ExAudio]", "[ExAudio]", "[ExAudio]"},                   {10, 10, 10, 10, 10, 10, 1}},
  {SectionId::Effect,         "[Effect]",         Presence::WithEffects, CountFrom::CountBefore,   SectionId::Effect,
   {"[Effect]", "[Effect]", "[Effect]", "[Effect]", "[Effect]", "[Effect]", "[Effect]"},                       {20, 20, 20, 20, 20, 20, 1}},
  {SectionId::Title,          "[Title]",          Presence::WithEffects, CountFrom::CountBefore,   SectionId::Title,
   {"[Title]", "[Title]", "[Title]", "[Title]", "[Title]", "[Title]", "[Title]"},                          {60, 60, 60, 60, 60, 60, 2}},
  {SectionId::FilterMainAV,   "[FilterMainAV]",   Presence::WithFilters, CountFrom::TrackOf,       SectionId::MainAV,
   {"[FilterMainAV]", "[FilterMainAV]", "[FilterVisual]", "[FilterMainAV]", "[FilterMainAV]", "[FilterMainAV]", "[FilterMainAV]"},     {0, 8, 0, 0, 0, 0, 0}},
  {SectionId::FilterInsertAV, "[FilterInsertAV]", Presence::WithFilters, CountFrom::TrackOf,       SectionId::InsertAV,
   {"[FilterInsertAV]", "[FilterInsertAV]", "[FilterVisual]", "[FilterInsertAV]", "[FilterInsertAV]", "[FilterInsertAV]", "[FilterInsertAV]"}, {0, 8, 0, 0, 0, 0, 0}},
  {SectionId::FilterExAudio1, "[FilterExAudio1]", Presence::WithFilters, CountFrom::TrackOf,       SectionId::ExAudio1,
   {"[FilterAudio]", "[FilterExAudio1]", "[FilterAudio]", "[FilterAudio]", "[FilterAudio]", "[FilterAudio]", "[FilterAudio]"},     {0, 8, 0, 0, 0, 0, 0}},
  {SectionId::FilterExAudio2, "[FilterExAudio2]", Presence::WithFilters, CountFrom::TrackOf,       SectionId::ExAudio2,
   {"[FilterAudio]", "[FilterExAudio2]", "[FilterAudio]", "[FilterAudio]", "[FilterAudio]", "[FilterAudio]", "[FilterAudio]"},     {0, 8, 0, 0, 0, 0, 0}},
  {SectionId::BinWindow,      "[BinWindow]",      Presence::Always,      CountFrom::BinClipCount,  SectionId::BinWindow,
   {"[BinWindow]", "[BinWindow]", "[BinWindow]", "[BinWindow]", "[BinWindow]", "[BinWindow]", "[BinWindow]"},              {0, 6, 40, 0, 0, 0, 0}},
  {SectionId::Option,         "[Option]",         Presence::Always,      CountFrom::None,          SectionId::Option,
   {"the option block", "the option block", "the option block", "the option block", "the option block", "the option block", "the option block"}, {0, 1, 0, 0, 0, 0, 0}},
  {SectionId::End,            "[END]",            Presence::Always,      CountFrom::None,          SectionId::End,
   {},                                                         {}},
}};
// clang-format on

/// The to-text run's steps for the edit decision list after "[END]"; export and relink take as
/// many for their own work after reading.
constexpr int edlShare = 40;
/// A render's steps for the encoding, nearly all of its bar: reading takes a moment beside it.
constexpr int renderShare = 192;

namespace detail {
constexpr int ShareTotal(RunKind run) {
  int total = 0;
  for (const SectionRule& rule : sectionTable) total += rule.share[static_cast<int>(run)];
  return total;
}
constexpr bool InFileOrder() {
  for (std::size_t i = 0; i < sectionTable.size(); ++i)
    if (static_cast<std::size_t>(sectionTable[i].id) != i) return false;
  return true;
}
}  // namespace detail

static_assert(detail::InFileOrder(), "the table lists the sections in file order");
static_assert(detail::ShareTotal(RunKind::ToText) + edlShare == 200, "a to-text run makes 200");
// The to-project shares have always added up to one step short of the bar.
static_assert(detail::ShareTotal(RunKind::ToProject) == 199, "a to-project run makes 199");
static_assert(detail::ShareTotal(RunKind::Check) == 200, "a check makes 200");
static_assert(detail::ShareTotal(RunKind::Export) + edlShare == 200, "an export makes 200");
static_assert(detail::ShareTotal(RunKind::Relink) + edlShare == 200, "a relink makes 200");
static_assert(detail::ShareTotal(RunKind::Picture) + edlShare == 200, "a picture makes 200");
static_assert(detail::ShareTotal(RunKind::Render) + renderShare == 200, "a render makes 200");

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
