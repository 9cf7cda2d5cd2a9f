// render/RenderChoices.cpp - the render's tables, apart from MLT so the window can list them;
// the labels and kinds are marked for the catalogue and translated where they are shown
#include "render/RenderChoices.h"

#include <charconv>

#include "core/TextScanner.h"
#include "core/Translation.h"

namespace pexol {

std::span<const RenderContainer> RenderContainers() {
  static constexpr RenderContainer containers[] = {
      {".mp4", "mp4", ToTranslate("MP4 video").data(), ToTranslate("H.264 and AAC").data(), "aac",
       false},
      {".mkv", "matroska", ToTranslate("Matroska video").data(), "Matroska", "aac", false},
      {".mov", "mov", ToTranslate("QuickTime movie").data(), "QuickTime", "aac", false},
      {".wav", "wav", ToTranslate("WAV sound").data(),
       ToTranslate("the sound alone, uncompressed").data(), "pcm_s16le", true},
      {".flac", "flac", ToTranslate("FLAC sound").data(),
       ToTranslate("the sound alone, lossless").data(), "flac", true},
      {".m4a", "ipod", ToTranslate("AAC sound").data(), ToTranslate("the sound alone, AAC").data(),
       "aac", true},
      {".mp3", "mp3", ToTranslate("MP3 sound").data(), ToTranslate("the sound alone, MP3").data(),
       "libmp3lame", true}};
  return containers;
}

std::span<const RenderSizeChoice> RenderSizes() {
  static constexpr RenderSizeChoice sizes[] = {
      {"sd", ToTranslate("SD (the project's 720x480 or 720x576)").data(), {}},
      {"720p", "720p (1280x720)", {1280, 720}},
      {"1080p", "1080p (1920x1080)", {1920, 1080}}};
  return sizes;
}

std::optional<RenderSize> ParseRenderSize(std::string_view text) {
  if (text.empty()) return RenderSize{};
  for (const RenderSizeChoice& choice : RenderSizes())
    if (EqualsIgnoreCase(text, choice.name)) return choice.size;
  const auto cross = text.find_first_of("xX");
  if (cross == std::string_view::npos) return std::nullopt;
  // Even sides: 4:2:0 pictures are coded in pairs of lines and columns.
  const auto side = [](std::string_view digits) -> std::optional<int> {
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < 32 ||
        value > 8192 || value % 2 != 0)
      return std::nullopt;
    return value;
  };
  const auto width = side(text.substr(0, cross));
  const auto height = side(text.substr(cross + 1));
  if (!width || !height) return std::nullopt;
  return RenderSize{*width, *height};
}

std::span<const RenderCodecChoice> RenderCodecs() {
  static constexpr RenderCodecChoice codecs[] = {
      {RenderCodec::H264, "h264", ToTranslate("H.264 (to watch)").data()},
      // Editors keep ProRes's sound uncompressed.
      {RenderCodec::ProRes, "prores", ToTranslate("ProRes 422 (to edit further, .mov only)").data(),
       "pcm_s16le"}};
  return codecs;
}

const char* AudioCodecOf(RenderCodec codec, const RenderContainer& container) {
  for (const RenderCodecChoice& choice : RenderCodecs())
    if (choice.codec == codec && choice.audioCodec != nullptr) return choice.audioCodec;
  return container.audioCodec;
}

std::span<const RenderRate> RenderRates() {
  static constexpr RenderRate rates[] = {
      {TimecodeMode::NtscDrop, ToTranslate("NTSC 720x480, 29.97 frames a second").data()},
      {TimecodeMode::Pal, ToTranslate("PAL 720x576, 25 frames a second").data()}};
  return rates;
}

}  // namespace pexol
