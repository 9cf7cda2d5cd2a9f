// media/FileIdentity.cpp - device and file numbers on POSIX systems, the canonical path elsewhere
#include "media/FileIdentity.h"

#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace pexol {

std::optional<std::string> FileIdentity(const std::filesystem::path& path) {
#ifndef _WIN32
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  std::string key(sizeof status.st_dev + sizeof status.st_ino, '\0');
  key.replace(0, sizeof status.st_dev, reinterpret_cast<const char*>(&status.st_dev),
              sizeof status.st_dev);
  key.replace(sizeof status.st_dev, sizeof status.st_ino,
              reinterpret_cast<const char*>(&status.st_ino), sizeof status.st_ino);
  return key;
#else
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::canonical(path, error);
  if (error) return std::nullopt;
  return canonical.generic_string();
#endif
}

}  // namespace pexol
