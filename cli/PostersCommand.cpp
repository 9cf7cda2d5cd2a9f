// cli/PostersCommand.cpp - `pexol-render posters`: small pictures of media for the timeline
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <system_error>

#include "cli/CliCommon.h"
#include "cli/Commands.h"
#include "core/PlatformPath.h"
#include "core/Translation.h"
#include "probe/PosterCache.h"
#include "probe/ProbeWithFfmpeg.h"
#include "transcode/PosterFrame.h"

namespace pexol::cli {

namespace {

// Written beside the destination and renamed over it, so that a reader never sees half a
// picture (the window may read the cache while this writes it).
bool WritePoster(const std::string& destination, const std::string& png) {
  const std::filesystem::path path = platform::PathOf(destination);
  std::filesystem::path temporary = path;
  temporary += ".part" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(png.data(), static_cast<std::streamsize>(png.size()));
    if (!out.flush()) return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}

}  // namespace

void AddPostersCommand(CLI::App& app, int& exitCode) {
  auto arguments = std::make_shared<std::vector<std::string>>();
  auto* sub = app.add_subcommand(
      "posters", std::string(Tr("Make a small picture of each medium for the timeline's boxes")));
  sub->add_option("SOURCE TIME DEST", *arguments,
                  std::string(Tr("triples: a medium, microseconds from its start or 'still', "
                                 "and the PNG file to write")))
      ->required()
      ->option_text(" ");
  sub->footer(
      std::string(Tr("Writes one line of JSON per picture, in their order, to standard "
                     "error, where pexol-cli reads it; a medium FFmpeg cannot read gets "
                     "an empty file.")));
  sub->callback([arguments, &exitCode] {
    if (arguments->size() % 3 != 0)
      throw CLI::ValidationError(std::string(Tr("posters are asked in triples: SOURCE TIME DEST")));
    SilenceFfmpegLog();
    for (std::size_t at = 0; at < arguments->size(); at += 3) {
      const std::string& time = (*arguments)[at + 1];
      std::optional<std::int64_t> microseconds;
      if (time != "still") microseconds = std::stoll(time);
      std::string error;
      const std::string png = PosterPng((*arguments)[at], microseconds, posterWidth, error);
      nlohmann::json line{{"poster", at / 3}};
      if (!WritePoster((*arguments)[at + 2], png))
        line["error"] = "not written";
      else if (png.empty())
        line["error"] = error;
      std::cerr << line.dump() << '\n';
      std::cerr.flush();
    }
    exitCode = exitSuccess;
  });
}

}  // namespace pexol::cli
