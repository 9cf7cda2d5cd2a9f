// core/PlatformPath.h - UTF-8 names to the system's paths and back
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pexol::platform {

/// The path a UTF-8 name stands for. Names are UTF-8 everywhere inside pexol; on Windows a
/// plain std::string would be read in the ANSI code page, which holds no Japanese characters
/// unless the system is set to Japanese.
std::filesystem::path PathOf(std::string_view utf8);

/// The UTF-8 name of a path.
std::string Utf8Of(const std::filesystem::path& path);

/// True for a name that does not depend on the current folder. On Windows that is a drive
/// letter with a root (C:\, C:/) and also a UNC or device name (\\server\share, \\?\C:\), which
/// the standard library of MinGW's g++ 12 does not count as absolute.
bool IsAbsolute(const std::filesystem::path& path);

/// The folder of the running program, where its catalogues are looked for; empty when the
/// system does not say.
std::filesystem::path ProgramFolder();

#ifdef _WIN32
/// UTF-16 for the wide Windows calls; bytes that are not UTF-8 become U+FFFD.
std::wstring WideOf(std::string_view utf8);
std::string Utf8OfWide(std::wstring_view wide);
#endif

}  // namespace pexol::platform
