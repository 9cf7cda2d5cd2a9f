// media/FileIdentity.h - which file or folder a path leads to, through symbolic links
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pexol {

/// A key equal for every path that leads to the same file or folder (device and file number
/// where the system has them); nullopt when the path leads nowhere. Never throws.
std::optional<std::string> FileIdentity(const std::filesystem::path& path);

}  // namespace pexol
