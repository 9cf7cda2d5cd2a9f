// collect/TranscodeFilesUnavailable.cpp - the Windows build has no media program to transcode with
#include "collect/TranscodeFiles.h"

#include "core/Translation.h"

namespace pexol {

bool RunTranscodeTasks(const std::vector<TranscodeTask>& tasks, int, const std::function<bool()>&,
                       const TranscodeProgress&, std::vector<TranscodeTaskEnd>& ends,
                       std::string& failure) {
  ends.assign(tasks.size(), {});
  if (tasks.empty()) return true;
  failure =
      Tr("this build of pexol cannot transcode: FFmpeg is in the Linux build's media program only; "
         "collect without --transcode, or run the collect on Linux");
  return false;
}

}  // namespace pexol
