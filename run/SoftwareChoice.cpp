// run/SoftwareChoice.cpp - the automatic choice: the reading that fits the project best
#include "run/SoftwareChoice.h"

#include "core/RunFailure.h"
#include "core/RunObserver.h"

namespace pexol {

std::span<const SoftwareChoiceName> SoftwareChoiceNames() {
  static const SoftwareChoiceName names[] = {
      {"corvane", SoftwareChoice::Named(Software::CorvaneBrisko)},
      {"brisko", SoftwareChoice::Named(Software::CorvaneBrisko)},
      {"lumetta", SoftwareChoice::Named(Software::Lumetta)},
      {"auto", SoftwareChoice::Automatic()}};
  return names;
}

ChosenReading ReadWithChoice(std::span<const std::uint8_t> bytes, const SoftwareChoice& choice,
                             const ReadingPlan& plan, RunProgress& progress, Software& tried) {
  tried = choice.named;
  if (choice.automatic) {
    // The probe's reading is the run's: a project is read once when the first choice fits.
    std::optional<Project> readable;
    for (const Software candidate : {Software::CorvaneBrisko, Software::Lumetta}) {
      NullObserver quiet;
      RunProgress quietProgress(quiet);
      try {
        Project project = ReadProject(bytes, {candidate, plan}, quietProgress);
        const bool exact = project.unreadBytes == 0 && !project.HasUnknownClips();
        if (exact || !readable) {
          readable = std::move(project);
          if (exact) break;
        }
      } catch (const RunFailure&) {
      }
    }
    if (readable) {
      tried = readable->software;
      progress.Step(plan.ReadingSteps());  // the steps the quiet reading made
      return {std::move(*readable), tried};
    }
    tried = Software::CorvaneBrisko;  // neither reads it: say why with the first choice
  }
  return {ReadProject(bytes, {tried, plan}, progress), std::nullopt};
}

}  // namespace pexol
