// media/TranscodeChoices.cpp - the transcode kinds' names, endings and labels
#include "media/TranscodeChoices.h"

#include <algorithm>
#include <array>

#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol {

namespace {

constexpr std::array<TranscodeKindChoice, 4> kinds = {{
    {TranscodeKind::Copy, "copy", nullptr, ToTranslate("Copy (the files as they are)").data(),
     "a copy"},
    {TranscodeKind::ProRes, "prores", ".mov",
     ToTranslate("ProRes 422 (.mov), for every editor").data(), "ProRes 422"},
    {TranscodeKind::DnxHr, "dnxhr", ".mov",
     ToTranslate("DNxHR (.mov), for Avid Media Composer").data(), "DNxHR"},
    {TranscodeKind::H264, "h264", ".mp4", ToTranslate("H.264 (.mp4), small").data(),
     "H.264 and AAC"},
}};

// Final Cut Pro, Premiere Pro, Resolve, Media Composer, Shotcut and Kdenlive all import PNG in
// every variant. JPEG and TIFF not quite: CMYK and progressive JPEGs, and TIFF's rarer
// compressions and layouts, are refused by some, so they are made PNG too.
constexpr std::array<std::string_view, 1> everywhereEndings = {".png"};

}  // namespace

std::span<const TranscodeKindChoice> TranscodeKinds() {
  return kinds;
}

std::optional<TranscodeKind> TranscodeKindNamed(std::string_view name) {
  for (const TranscodeKindChoice& choice : kinds)
    if (EqualsIgnoreCase(name, choice.name)) return choice.kind;
  return std::nullopt;
}

const TranscodeKindChoice& ChoiceOf(TranscodeKind kind) {
  return *std::find_if(kinds.begin(), kinds.end(),
                       [kind](const TranscodeKindChoice& choice) { return choice.kind == kind; });
}

namespace {

bool EndsAs(std::string_view name, std::string_view ending) {
  return name.size() >= ending.size() &&
         EqualsIgnoreCase(name.substr(name.size() - ending.size()), ending);
}

}  // namespace

std::optional<TranscodeKind> TranscodeKindOfFile(std::string_view path) {
  for (const TranscodeKindChoice& choice : kinds)
    if (choice.extension != nullptr && EndsAs(path, choice.extension)) return choice.kind;
  return std::nullopt;
}

bool StillOpensEverywhere(std::string_view name) {
  return std::any_of(everywhereEndings.begin(), everywhereEndings.end(),
                     [name](std::string_view ending) { return EndsAs(name, ending); });
}

}  // namespace pexol
