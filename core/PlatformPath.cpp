// core/PlatformPath.cpp - the conversion at the system boundary: none on POSIX, UTF-16 on Windows
#include "core/PlatformPath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <climits>
#endif

namespace pexol::platform {

#ifndef _WIN32

// POSIX names are bytes; a name that is not UTF-8 still names its file.
std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::string(utf8));
}

std::string Utf8Of(const std::filesystem::path& path) {
  return path.string();
}

bool IsAbsolute(const std::filesystem::path& path) {
  return path.is_absolute();
}

std::filesystem::path ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  return std::filesystem::path(std::string(path, static_cast<std::size_t>(length))).parent_path();
}

#else

std::wstring WideOf(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');  // never more units than bytes
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size);
  wide.resize(static_cast<std::size_t>(length));
  return wide;
}

std::string Utf8OfWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  std::string utf8(static_cast<std::size_t>(size) * 3, '\0');  // a unit is at most 3 bytes
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(),
                                         static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(length));
  return utf8;
}

std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(WideOf(utf8));
}

std::string Utf8Of(const std::filesystem::path& path) {
  return Utf8OfWide(path.native());
}

bool IsAbsolute(const std::filesystem::path& path) {
  const std::wstring& name = path.native();
  const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  return path.is_absolute() || (name.size() > 2 && separator(name[0]) && separator(name[1]));
}

std::filesystem::path ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path();
}

#endif

}  // namespace pexol::platform
