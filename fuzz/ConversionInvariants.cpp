// fuzz/ConversionInvariants.cpp - the invariants of both conversions, run after one another
#include <string>

#include "core/ByteWriter.h"
#include "convert/ProjectToText.h"
#include "core/RunFailure.h"
#include "convert/TextToProject.h"
#include "fuzz/FuzzInputs.h"
#include "fuzz/Invariants.h"
#include "fuzz/StepCounter.h"

namespace pexol::fuzz {

namespace {

constexpr int toTextSteps = 200;
// A to-project run's shares add up to one step less than the bar.
constexpr int toProjectSteps = 199;

// The densest records print about twelve characters per byte (a 20-byte clip becomes a line
// and an EDL event); headings and the EDL heading are a fixed part on top.
constexpr std::size_t textBytesPerProjectByte = 32;
constexpr std::size_t fixedTextBytes = 2048;
// A three-byte text line becomes at most a bin colour item of 98 bytes.
constexpr std::size_t projectBytesPerTextByte = 16;
constexpr std::size_t fixedProjectBytes = 64;

struct Converted {
  std::string bytes;
  StepCounter steps;
  std::optional<std::string> failure;  ///< the RunFailure's text when the run failed
  WalkSummary summary;
};

Converted ToText(std::span<const std::uint8_t> project, const ToTextOptions& options) {
  Converted result;
  ByteWriter text;
  try {
    result.summary = ProjectToText(project, options, text, result.steps);
  } catch (const RunFailure& failure) {
    result.failure = failure.what();
  }
  result.bytes = text.TakeBytes();
  return result;
}

Converted ToProject(std::span<const std::uint8_t> source, std::string_view text,
                    Software software) {
  Converted result;
  ByteWriter project;
  try {
    result.summary = TextToProject(source, text, ToProjectOptions{software}, project, result.steps);
  } catch (const RunFailure& failure) {
    result.failure = failure.what();
  }
  result.bytes = project.TakeBytes();
  return result;
}

// The progress of a finished run, or of a failed one so far.
Broken CheckSteps(const Converted& run, int total, std::string_view what) {
  const std::string name(what);
  if (run.steps.wentWrong) return name + ": the progress bar went back or had another total";
  if (run.failure) {
    if (run.steps.lastDone > total) return name + ": a failed run went past its total";
    return std::nullopt;
  }
  if (run.steps.lastDone != total)
    return name + ": ended at step " + std::to_string(run.steps.lastDone) + " of " +
           std::to_string(total);
  if (!run.steps.lastStatus.empty())
    return name + ": left the status \"" + run.steps.lastStatus + "\"";
  return std::nullopt;
}

ToTextOptions WithSoftware(Software software) {
  ToTextOptions options;
  options.software = software;
  return options;
}

}  // namespace

Broken CheckProjectToText(std::span<const std::uint8_t> project, const ToTextOptions& options) {
  const Converted text = ToText(project, options);
  if (auto broken = CheckSteps(text, toTextSteps, "project to text")) return broken;
  if (text.failure) return std::nullopt;
  if (text.bytes.size() > textBytesPerProjectByte * project.size() + fixedTextBytes)
    return "project to text: " + std::to_string(project.size()) + " bytes gave a text of " +
           std::to_string(text.bytes.size());
  if (text.summary.unreadBytes > project.size())
    return "project to text: more unread bytes than bytes";

  const Converted back = ToProject(project, text.bytes, options.software);
  if (auto broken = CheckSteps(back, toProjectSteps, "its text back to a project")) return broken;
  if (back.failure) return "its text does not convert back: " + *back.failure;

  const Converted again = ToText(AsBytes(back.bytes), options);
  if (again.failure) return "the new project does not convert to text: " + *again.failure;
  if (again.bytes != text.bytes) return "the new project gives another text";
  if (again.summary.unreadBytes != 0) return "the new project has bytes after its end";

  const Converted same = ToProject(AsBytes(back.bytes), again.bytes, options.software);
  if (same.failure) return "the new project's text does not convert back: " + *same.failure;
  if (same.bytes != back.bytes) return "the new project is not rebuilt byte for byte";
  return std::nullopt;
}

Broken CheckTextToProject(std::span<const std::uint8_t> source, std::string_view text,
                          Software software) {
  const Converted project = ToProject(source, text, software);
  if (auto broken = CheckSteps(project, toProjectSteps, "text to project")) return broken;
  if (project.failure) return std::nullopt;
  if (project.bytes.size() >
      source.size() + projectBytesPerTextByte * text.size() + fixedProjectBytes)
    return "text to project: " + std::to_string(source.size()) + " and " +
           std::to_string(text.size()) + " bytes gave a project of " +
           std::to_string(project.bytes.size());

  const Converted itsText = ToText(AsBytes(project.bytes), WithSoftware(software));
  if (auto broken = CheckSteps(itsText, toTextSteps, "the new project to text")) return broken;
  if (itsText.failure) return "the new project does not convert to text: " + *itsText.failure;
  if (itsText.summary.unreadBytes != 0) return "the new project has bytes after its end";

  // A hand-made text may hold a still's in or out beyond the 24 bits its record keeps; the new
  // project then reads back another value, so it need not be rebuilt as it is. What it reads
  // back as must survive every further round.
  const Converted again = ToProject(AsBytes(project.bytes), itsText.bytes, software);
  if (again.failure) return "the new project's text does not convert back: " + *again.failure;
  const Converted againText = ToText(AsBytes(again.bytes), WithSoftware(software));
  if (againText.failure || againText.bytes != itsText.bytes)
    return "the new project's text does not come back from its own project";
  const Converted same = ToProject(AsBytes(again.bytes), againText.bytes, software);
  if (same.failure || same.bytes != again.bytes)
    return "a project made from a project's own text is not rebuilt byte for byte";
  return std::nullopt;
}

}  // namespace pexol::fuzz
