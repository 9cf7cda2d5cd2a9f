// render/RenderOutcome.cpp - the render's completion and stop messages
#include "render/RenderOutcome.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/PlatformPath.h"
#include "core/Translation.h"

namespace pexol {

std::string RenderCompletedMessage(std::string_view source, std::string_view destination,
                                   std::string_view length, const RenderOutcome& outcome) {
  char taken[32];
  std::snprintf(taken, sizeof taken, "%.1f", outcome.seconds);
  // TRANSLATORS: {2} is the rendered length as a timecode, {4} the seconds taken.
  return SayN(outcome.frames,
              "render completed\n\nfrom : {0}\n   to : {1}\n\n{2} ({3} frame) in {4} s",
              "render completed\n\nfrom : {0}\n   to : {1}\n\n{2} ({3} frames) in {4} s", source,
              destination, length, outcome.frames, taken);
}

namespace {

// A stopped run never replaces its destination: what is there now was there before it.
bool DestinationThere(std::string_view destination) {
  std::error_code ignored;
  return std::filesystem::exists(platform::PathOf(destination), ignored);
}

}  // namespace

std::string RenderStoppedMessage(std::string_view source, std::string_view destination) {
  if (!DestinationThere(destination))
    return Say("render stopped\n\n{0}\n\nThe partial file was removed; nothing was written.",
               source);
  return Say("render stopped\n\n{0}\n\nThe partial file was removed; {1} was left as it was.",
             source, destination);
}

std::string JoinStoppedMessage(std::string_view destination) {
  if (!DestinationThere(destination))
    return Say("join stopped\n\n{0}\n\nThe partial file was removed; nothing was written.",
               destination);
  return Say("join stopped\n\n{0}\n\nThe partial file was removed; {0} was left as it was.",
             destination);
}

}  // namespace pexol
