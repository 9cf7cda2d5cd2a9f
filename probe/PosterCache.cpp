// probe/PosterCache.cpp - the cache's folder and its files' names
#include "probe/PosterCache.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/PlatformPath.h"
#include "media/FileIdentity.h"

namespace pexol {

namespace {

// 64-bit FNV-1a: the key holds the identity's bytes, which a file name cannot.
std::uint64_t KeyHash(std::string_view key) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : key) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

#ifndef _WIN32
std::filesystem::path EnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? platform::PathOf(value) : std::filesystem::path();
}
#endif

}  // namespace

std::filesystem::path PosterCacheFolder() {
#ifdef _WIN32
  // The wide form: the folder may hold letters outside the ANSI code page.
  const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
  if (!local || !*local) return {};
  return std::filesystem::path(local) / "pexol" / "cache" / "posters";
#else
  std::filesystem::path base = EnvironmentFolder("XDG_CACHE_HOME");
  if (base.empty() || !base.is_absolute()) {
    const std::filesystem::path home = EnvironmentFolder("HOME");
    if (home.empty()) return {};
    base = home / ".cache";
  }
  return base / "pexol" / "posters";
#endif
}

std::filesystem::path PosterCacheFile(const PosterRequest& request) {
  const std::filesystem::path medium = platform::PathOf(request.path);
  const std::optional<std::string> identity = FileIdentity(medium);
  if (!identity) return {};
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(medium, error);
  if (error) return {};
  const auto changed = std::filesystem::last_write_time(medium, error);
  if (error) return {};
  const std::filesystem::path folder = PosterCacheFolder();
  if (folder.empty()) return {};
  std::string key = *identity;
  key += '\0' + std::to_string(size) + '\0' + std::to_string(changed.time_since_epoch().count()) +
         '\0' + (request.microseconds ? std::to_string(*request.microseconds) : "still") + '\0' +
         std::to_string(posterWidth);
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.png", static_cast<unsigned long long>(KeyHash(key)));
  return folder / name;
}

std::optional<std::string> CachedPoster(const std::filesystem::path& file) {
  if (file.empty()) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace pexol
