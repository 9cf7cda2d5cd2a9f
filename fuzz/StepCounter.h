// fuzz/StepCounter.h - an observer that remembers how a run moved its progress bar and status
#pragma once

#include <string>
#include <string_view>

#include "core/RunObserver.h"

namespace pexol::fuzz {

/// Keeps the last step count and status line, and whether the bar ever went back or
/// was given another total than 200.
class StepCounter final : public RunObserver {
 public:
  void Status(std::string_view line) override { lastStatus.assign(line); }
  void Progress(int done, int total) override {
    if (done < lastDone || total != 200) wentWrong = true;
    lastDone = done;
  }

  int lastDone = 0;                        ///< the last step count reported
  bool wentWrong = false;                  ///< the bar went back or had another total than 200
  std::string lastStatus = "(never set)";  ///< the last status line
};

}  // namespace pexol::fuzz
