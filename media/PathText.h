// media/PathText.h - the text operations on names that the media lookups share
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pexol {

/// True for '\' and '/', which Windows names use alike.
constexpr bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

/// The byte with an ASCII capital letter made small; every other byte is kept.
constexpr char FoldAsciiCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

/// `text` with ASCII letters made small. Only ASCII letters fold: they are the bytes that
/// mean the same letter in every name's encoding (full-width letters keep their case).
std::string FoldAsciiCase(std::string_view text);

/// True when `a` and `b` differ at most in ASCII letter case.
bool EqualFoldingAsciiCase(std::string_view a, std::string_view b);

/// The non-empty parts of `name` between separators of either kind.
std::vector<std::string_view> PathComponents(std::string_view name);

/// The path named by UTF-8 text, converted for the platform's file names.
std::filesystem::path PathOfUtf8(std::string_view utf8);

/// The UTF-8 text of a path (on POSIX systems: its bytes as they are).
std::string Utf8OfPath(const std::filesystem::path& path);

/// A file or folder name on disk as a project's decoded names are compared with it: itself
/// when it is UTF-8; decoded when it is Shift-JIS, as folders copied from a Japanese Windows
/// drive with their bytes kept are named; else its bytes as they are.
std::string NameToMatch(std::string_view onDisk);

/// A path on this computer as a person reads it: each part between '/' read as `NameToMatch`
/// reads it (a folder copied with its Shift-JIS name shows decoded beside UTF-8 ones); a part
/// that is neither UTF-8 nor Shift-JIS shows U+FFFD for the bytes that do not decode.
std::string PathToShow(std::string_view path);

}  // namespace pexol
