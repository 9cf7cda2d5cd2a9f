// run/ChildReport.cpp - a child's result, or the words for how it ended without one
#include "run/ChildReport.h"

#include <cstring>

#include "core/FileReplace.h"
#include "core/Translation.h"

namespace pexol {

std::string HowChildEnded(const ChildEnd& end, const std::string& program, bool english) {
  const auto say = [english](std::string_view pattern,
                             std::initializer_list<std::string_view> pieces) {
    return Fill(english ? pattern : Tr(pattern), pieces);
  };
  if (!end.started) {
    if (end.startError == 0)
      return say(ToTranslate("The process {0} could not be started."), {program});
    const std::string why = platform::ErrorText(end.startError);
    return say(ToTranslate("The process {0} could not be started: {1}."), {program, why});
  }
  if (end.killed)
    return say(
        ToTranslate("The process {0} did not end when it was asked to stop, and was killed."),
        {program});
  const std::string code = std::to_string(end.signal != 0 ? end.signal : end.exitCode);
  if (end.signal == 0)
    return say(ToTranslate("The process {0} ended with exit status {1} without saying how it "
                           "went."),
               {program, code});
  // The system names a signal in English only.
  if (const char* name = ::strsignal(end.signal); name != nullptr)
    return say(ToTranslate("The process {0} was ended by signal {1} ({2})."),
               {program, code, name});
  return say(ToTranslate("The process {0} was ended by signal {1}."), {program, code});
}

RunResult ChildResult(ChildReport report, const ChildEnd& end, std::string_view headline,
                      const std::string& program) {
  if (report.ended) return std::move(report.result);
  std::string message = std::string(Tr(headline)) + "\n\n" + HowChildEnded(end, program, false);
  if (!report.notes.empty()) {
    message += "\n\n" + std::string(Tr("It said:"));
    for (const std::string& note : report.notes) message += "\n" + note;
  }
  return RunResult::Failed(std::move(message));
}

}  // namespace pexol
