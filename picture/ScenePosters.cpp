// picture/ScenePosters.cpp - which clips show a poster, and the posters as the SVG holds them
#include "picture/ScenePosters.h"

#include <algorithm>

#include "layout/ExportTypes.h"
#include "probe/PosterFrames.h"

namespace pexol {

namespace {

bool ShowsPicture(TrackRole role) {
  return role == TrackRole::Main || role == TrackRole::Insert || role == TrackRole::TitleImages;
}

std::uint32_t BigEndianAt(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

PosterSize PngSize(std::string_view png) {
  constexpr std::string_view signature("\x89PNG\r\n\x1a\n", 8);
  if (png.size() < 24 || !png.starts_with(signature) || png.substr(12, 4) != "IHDR") return {};
  const std::uint32_t width = BigEndianAt(png, 16);
  const std::uint32_t height = BigEndianAt(png, 20);
  if (width == 0 || height == 0 || width > 1u << 16 || height > 1u << 16) return {};
  return {static_cast<int>(width), static_cast<int>(height)};
}

std::string PngDataUrl(std::string_view png) {
  static constexpr char digits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string url = "data:image/png;base64,";
  url.reserve(url.size() + (png.size() + 2) / 3 * 4);
  std::size_t at = 0;
  for (; at + 3 <= png.size(); at += 3) {
    const std::uint32_t group = std::uint32_t(static_cast<unsigned char>(png[at])) << 16 |
                                std::uint32_t(static_cast<unsigned char>(png[at + 1])) << 8 |
                                static_cast<unsigned char>(png[at + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) url += digits[(group >> shift) & 63];
  }
  if (const std::size_t left = png.size() - at; left > 0) {
    std::uint32_t group = std::uint32_t(static_cast<unsigned char>(png[at])) << 16;
    if (left == 2) group |= std::uint32_t(static_cast<unsigned char>(png[at + 1])) << 8;
    url += digits[(group >> 18) & 63];
    url += digits[(group >> 12) & 63];
    url += left == 2 ? digits[(group >> 6) & 63] : '=';
    url += '=';
  }
  return url;
}

ScenePosterRequests PosterRequestsOf(const TimelineScene& scene) {
  ScenePosterRequests asked;
  const ExportRate rate = ExportRateOf(scene.timecode).value_or(ExportRate{});
  for (std::size_t r = 0; r < scene.rows.size(); ++r) {
    if (!ShowsPicture(scene.rows[r].role)) continue;
    const std::vector<SceneClip>& clips = scene.rows[r].clips;
    for (std::size_t c = 0; c < clips.size(); ++c) {
      const SceneClip& clip = clips[c];
      if (clip.medium != MediumState::Found || clip.path.empty()) continue;
      if (clip.kind != ItemKind::Movie && clip.kind != ItemKind::Still) continue;
      PosterRequest request{clip.path, std::nullopt};
      if (clip.kind == ItemKind::Movie)
        request.microseconds =
            std::max<std::int64_t>(0, clip.sourceIn) * 1000000 * rate.denominator / rate.numerator;
      asked.requests.push_back(std::move(request));
      asked.places.emplace_back(r, c);
    }
  }
  return asked;
}

ScenePosters PostersOf(const TimelineScene& scene, const std::function<bool()>& stop) {
  ScenePosters posters;
  posters.rows.resize(scene.rows.size());
  for (std::size_t r = 0; r < scene.rows.size(); ++r)
    posters.rows[r].resize(scene.rows[r].clips.size());
  const ScenePosterRequests asked = PosterRequestsOf(scene);
  std::vector<std::string> made = PosterFrames(asked.requests, stop);
  for (std::size_t i = 0; i < made.size(); ++i)
    posters.rows[asked.places[i].first][asked.places[i].second] = std::move(made[i]);
  return posters;
}

}  // namespace pexol
