// render/RenderTemporaryFolder.h - the render's own temporary folder: links to media under plain
// names, and stills converted for MLT
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pexol {

/// A private temporary folder, made at its first use and removed with the object (or by a run
/// ended by a signal, or by the run that started this one when it was killed). The render
/// opens an image whose name MLT's loaders would misread (ImageLoadersMisread), and a medium
/// whose name XML cannot hold (bytes in another encoding), through a link of a plain name there:
/// the display-free image loader, which seeks, and MLT's document take it. Stills MLT cannot read
/// are converted into it (`ConvertedStills`).
class RenderTemporaryFolder {
 public:
  RenderTemporaryFolder() = default;
  ~RenderTemporaryFolder();
  RenderTemporaryFolder(const RenderTemporaryFolder&) = delete;
  RenderTemporaryFolder& operator=(const RenderTemporaryFolder&) = delete;

  /// The folder, made now if it is not yet; nullopt, with `error` set, when none can be made.
  /// Its name holds no '%' and nothing XML cannot hold.
  std::optional<std::filesystem::path> Path(std::string& error);

  /// The link to `path` (UTF-8), a copy where no link can be made; nullopt, with `error`
  /// set, when neither can.
  std::optional<std::string> LinkTo(const std::string& path, std::string& error);

 private:
  std::filesystem::path folder_;
  int registration_ = -1;
  int count_ = 0;
};

}  // namespace pexol
