// render/RenderOutcome.cpp - the render's completion and stop messages
#include "render/RenderOutcome.h"

#include <cstdio>

namespace pexol {

std::string RenderCompletedMessage(std::string_view source, std::string_view destination,
                                   std::string_view length, const RenderOutcome& outcome) {
  char taken[32];
  std::snprintf(taken, sizeof taken, "%.1f", outcome.seconds);
  return "render completed\n\nfrom : " + std::string(source) +
         "\n   to : " + std::string(destination) + "\n\n" + std::string(length) + " (" +
         std::to_string(outcome.frames) + (outcome.frames == 1 ? " frame" : " frames") + ") in " +
         taken + " s";
}

std::string RenderStoppedMessage(std::string_view source, std::string_view destination) {
  return "render stopped\n\n" + std::string(source) + "\n\nThe partial file was removed; " +
         std::string(destination) + " was left as it was.";
}

}  // namespace pexol
