// fuzz/MediaInvariants.cpp - the invariants of the media check's walk
#include <string>

#include "check/MediaCheck.h"
#include "core/ByteWriter.h"
#include "convert/ProjectToText.h"
#include "core/RunFailure.h"
#include "fuzz/Invariants.h"
#include "fuzz/StepCounter.h"

namespace pexol::fuzz {

namespace {

constexpr int checkSteps = 200;
constexpr int listedNames = 19;
constexpr std::string_view cutOff = "e.t.c..\n";
// Every name is read from bytes of its own, and a record of the smallest kind (an empty bin
// item, 18 bytes) adds two bytes of line end; section lines are the fixed part.
constexpr std::size_t reportBytesPerProjectByte = 3;
constexpr std::size_t fixedReportBytes = 256;

bool ConvertsToText(std::span<const std::uint8_t> project, Software software) {
  ByteWriter text;
  NullObserver quiet;
  ToTextOptions options;
  options.software = software;
  try {
    ProjectToText(project, options, text, quiet);
    return true;
  } catch (const RunFailure&) {
    return false;
  }
}

}  // namespace

Broken CheckMediaWalk(std::span<const std::uint8_t> project, Software software,
                      bool useFileSystem) {
  int missingAnswers = 0;
  // A rule of the name's own keeps the walk independent of the disk when that is not wanted.
  const MediaExists exists = [&](std::string_view name) {
    const bool present = useFileSystem ? MediaFileExists(name) : name.size() % 2 == 0;
    if (!present) ++missingAnswers;
    return present;
  };
  StepCounter steps;
  ByteWriter report;
  MediaCheckSummary summary;
  try {
    summary = ScanProjectMedia(project, software, exists, report, steps);
  } catch (const RunFailure&) {
    if (steps.wentWrong || steps.lastDone > checkSteps) return "a failed check overran its bar";
    if (ConvertsToText(project, software)) return "the check fails on a project that converts";
    return std::nullopt;
  }
  if (steps.wentWrong) return "the check's progress bar went back or had another total";
  if (steps.lastDone != checkSteps)
    return "the check ended at step " + std::to_string(steps.lastDone);
  if (!steps.lastStatus.empty()) return "the check left the status \"" + steps.lastStatus + "\"";
  if (summary.missingCount != missingAnswers)
    return "the check counted " + std::to_string(summary.missingCount) + " missing names of " +
           std::to_string(missingAnswers);
  if (report.Size() > reportBytesPerProjectByte * project.size() + fixedReportBytes)
    return "the report of " + std::to_string(project.size()) + " bytes has " +
           std::to_string(report.Size());
  if (summary.missingList.size() > report.Size() + cutOff.size())
    return "the missing list is longer than the report";
  const bool cut = summary.missingList.find(cutOff) != std::string::npos;
  if (summary.missingCount > listedNames && !cut) return "a long missing list is not cut off";
  return std::nullopt;
}

}  // namespace pexol::fuzz
