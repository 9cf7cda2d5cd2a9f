// sections/SectionTable.cpp - presence rules and the heading test
#include "sections/SectionTable.h"

#include "core/TextScanner.h"

namespace pexol {

bool SectionPresent(const SectionRule& rule, int version, Software software) {
  switch (rule.presence) {
    case Presence::Always:
      return true;
    case Presence::WithEffects:
      return HasEffectsAndTitles(version);
    case Presence::WithFilters:
      return HasFilterBlocks(version, software);
  }
  return false;
}

bool IsSectionHeading(std::string_view line) {
  for (const SectionRule& rule : sectionTable)
    if (EqualsIgnoreCase(line, rule.heading)) return true;
  return false;
}

}  // namespace pexol
