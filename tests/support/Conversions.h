// tests/support/Conversions.h - in-memory conversions and a recording observer for tests
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ProjectToText.h"
#include "convert/TextToProject.h"
#include "core/ByteWriter.h"
#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol::test {

inline std::span<const std::uint8_t> AsBytes(std::string_view bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

inline Software CoreSoftware(build::Software software) {
  return software == build::Software::Lumetta ? Software::Lumetta : Software::CorvaneBrisko;
}

/// Remembers everything a run tells its observer.
class RecordingObserver : public RunObserver {
 public:
  void Status(std::string_view line) override { statuses.emplace_back(line); }
  void Progress(int done, int total) override {
    lastDone = done;
    lastTotal = total;
  }
  std::vector<std::string> statuses;
  int lastDone = 0;
  int lastTotal = 0;
};

inline std::string ConvertToText(std::string_view project, Software software,
                                 TimecodeMode mode = TimecodeMode::NtscDrop, bool csv = false) {
  ByteWriter text;
  NullObserver quiet;
  ProjectToText(AsBytes(project), {software, mode, csv}, text, quiet);
  return text.TakeBytes();
}

inline std::string ConvertToProject(std::string_view text, std::string_view project,
                                    Software software) {
  ByteWriter out;
  NullObserver quiet;
  TextToProject(AsBytes(project), text, {software}, out, quiet);
  return out.TakeBytes();
}

/// The message of the RunFailure that `run` throws, or "no failure".
inline std::string FailureMessage(const std::function<void()>& run) {
  try {
    run();
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "no failure";
}

/// The text exchange part of a to-text output, up to and including "[END]\r\n".
inline std::string TextPart(const std::string& output) {
  const std::size_t end = output.find("[END]\r\n");
  return end == std::string::npos ? output : output.substr(0, end + 7);
}

/// Replaces the first `from` in `text` by `to`; fails the test when it is not there.
inline std::string ReplaceOnce(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("not found: " + std::string(from));
  return text.replace(at, from.size(), to);
}

}  // namespace pexol::test
