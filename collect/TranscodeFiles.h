// collect/TranscodeFiles.h - a collect's movies and stills encoded by the media program, several
// files at once
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pexol {

/// One file the media program writes.
struct TranscodeTask {
  std::string source;       ///< UTF-8, absolute
  std::string destination;  ///< UTF-8, absolute, in the folder being built
  std::string kind;         ///< as the program's --kind takes it: "prores", ..., "png"
  std::int64_t first = 0;   ///< the frames kept, both included; `last` -1: to the end
  std::int64_t last = -1;
  std::uintmax_t weight = 0;  ///< its share of the work (bytes read), for the progress
};

struct TranscodeTaskEnd {
  bool completed = false;
  std::string message;      ///< why it failed, as the program said
  std::int64_t frames = 0;  ///< frames written
};

/// What the tasks have done so far: their weight done and the frames written of those known.
using TranscodeProgress =
    std::function<void(std::uintmax_t weightDone, std::int64_t frames, std::int64_t ofFrames)>;

/// Runs every task in the media program, `parallel` at a time, filling `ends` (one per task).
/// False, with `failure` set, when the program is not there; false with `failure` empty when
/// `stop` said so (the running tasks are ended and their files removed by them).
bool RunTranscodeTasks(const std::vector<TranscodeTask>& tasks, int parallel,
                       const std::function<bool()>& stop, const TranscodeProgress& progress,
                       std::vector<TranscodeTaskEnd>& ends, std::string& failure);

}  // namespace pexol
