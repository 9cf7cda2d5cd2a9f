// core/SystemReasonPosix.cpp - the C library's reasons, translated by glibc's own catalogue
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>

#include "core/SystemReason.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol {

namespace {

// The reason as the C library words it in English, whatever the locale.
std::string EnglishReason(int error) {
#ifdef __GLIBC__
  if (const char* text = ::strerrordesc_np(error)) return text;
  return "Unknown error " + std::to_string(error);
#else
  return std::strerror(error);
#endif
}

// glibc's catalogue for `language` ("pt_BR" tries pt_BR, then pt); read once a run, the first
// time a reason is wanted in it. Its folder is where glibc itself looks, so the catalogue is
// found whether or not the locale was generated.
const std::optional<Catalogue>& LibcCatalogue(const std::string& language) {
  static std::mutex guard;
  static std::map<std::string, std::optional<Catalogue>> read;
  const std::lock_guard<std::mutex> lock(guard);
  const auto [slot, added] = read.try_emplace(language);
  if (!added) return slot->second;
  for (const std::string& name : {language, language.substr(0, language.find('_'))}) {
    std::ifstream in(std::filesystem::path("/usr/share/locale") / name / "LC_MESSAGES/libc.mo",
                     std::ios::binary);
    if (!in) continue;
    slot->second = Catalogue::Parse(std::string{std::istreambuf_iterator<char>(in), {}});
    if (slot->second) break;
  }
  return slot->second;
}

}  // namespace

std::string SystemReasonIn(int error, std::string_view language) {
  const std::string english = EnglishReason(error);
  if (language.empty()) return english;
  if (const std::optional<Catalogue>& libc = LibcCatalogue(std::string(language))) {
    // A catalogue in another character set than UTF-8 (a few old ones) is not used.
    const std::string_view translated = libc->Find(english);
    if (translated != english && IsValidUtf8(translated)) return std::string(translated);
  }
  return std::string(Tr(english));
}

std::string SystemReason(int error) {
  return SystemReasonIn(error, CatalogueLanguage());
}

std::string SystemReason(const std::error_code& error) {
  if (error.category() == std::generic_category() || error.category() == std::system_category())
    return SystemReason(error.value());
  return error.message();
}

}  // namespace pexol
