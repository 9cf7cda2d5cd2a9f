// render/ConvertedStills.h - stills MLT's image loader cannot read, converted once to PNG by FFmpeg
#pragma once

#include <map>
#include <optional>
#include <string>

#include "render/RenderTemporaryFolder.h"

namespace pexol {

/// Stills that MLT's image loader cannot read but FFmpeg can (PICT, SGI, PSD, some Targa
/// kinds, ...), each converted once to PNG as a collect's transcode converts it. They are kept
/// in the folder the processes of one render in ranges share, where the first process that
/// needs a still converts it while the others wait for it and take it; or else in the render's
/// own temporary folder.
class ConvertedStills {
 public:
  /// `shared`: that shared folder (UTF-8), made when first needed and removed by whoever named
  /// it (`RemoveSharedStills`); empty for the folder `own`.
  ConvertedStills(std::string shared, RenderTemporaryFolder& own)
      : shared_(std::move(shared)), own_(own) {}

  /// The PNG of the still at `path` (UTF-8). nullopt when FFmpeg cannot read it either (`why`
  /// empty), or when the PNG cannot be written (`why` says why).
  std::optional<std::string> PngOf(const std::string& path, std::string& why);

 private:
  std::optional<std::string> Convert(const std::string& path, const std::string& name,
                                     std::string& why);

  std::string shared_;
  RenderTemporaryFolder& own_;
  /// By the file's key: the PNG, or nullopt when FFmpeg could not read it.
  std::map<std::string, std::optional<std::string>> converted_;
};

}  // namespace pexol
