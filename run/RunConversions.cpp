// run/RunConversions.cpp - the conversions' bodies in the run frame
#include "run/RunConversions.h"

#include "convert/ConversionReadings.h"
#include "convert/ProjectToText.h"
#include "convert/TextToProject.h"
#include "core/ByteWriter.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

std::string ToTextCompletedMessage(std::string_view source, std::string_view destination) {
  return Say("conversion completed\n\nfrom : {0}\n   to : {1}", source, destination);
}

std::string ToProjectCompletedMessage(std::string_view source, std::string_view text,
                                      std::string_view destination) {
  return Say("conversion completed\n\nfrom : {0}\n      & {1}\n   to : {2}", source, text,
             destination);
}

}  // namespace

RunResult RunProjectToText(const ToTextJob& job, RunObserver& observer) {
  // The text would take the place of the project it is made from.
  const RunPlan plan =
      RunPlan::Writing(toTextReading, job.source, job.software, job.destination,
                       cannotOpenTextDestination, ToTranslate("it is the project being converted"));
  return RunOnProject(
      plan,
      [&job](const RunInput& input) {
        ToTextOptions options = job.options;
        options.software = input.project.software;
        ByteWriter text;
        text.Reserve(input.projectBytes.size() * 2);
        WriteProjectText(input.project, options, text, input.progress);
        return RunOutput{text.TakeBytes(), {}, ToTextCompletedMessage(job.source, job.destination)};
      },
      observer);
}

RunResult RunTextToProject(const ToProjectJob& job, RunObserver& observer) {
  RunPlan plan =
      RunPlan::Writing(toProjectReading, job.source, job.software, job.destination,
                       cannotOpenProjectDestination, ToTranslate("it is the text being converted"));
  plan.text = job.text;
  // The new project would take the place of the edited text; the source project may be
  // replaced, since it is read whole before anything is written.
  plan.guard = RunPlan::Guard::Text;
  return RunOnProject(
      plan,
      [&job](const RunInput& input) {
        ToProjectOptions options = job.options;
        options.software = input.project.software;
        ByteWriter project;
        project.Reserve(input.projectBytes.size() + input.projectBytes.size() / 8);
        const std::string_view lines(reinterpret_cast<const char*>(input.text.data()),
                                     input.text.size());
        std::vector<std::string> warnings =
            WriteEditedProject(input.project, lines, options, project);
        return RunOutput{project.TakeBytes(),
                         {},
                         ToProjectCompletedMessage(job.source, job.text, job.destination),
                         {},
                         std::move(warnings)};
      },
      observer);
}

}  // namespace pexol
