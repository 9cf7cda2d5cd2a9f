// core/SystemReasonWin32.cpp - the C runtime's reasons and Windows' own messages, in the
// language of pexol's texts
#include <windows.h>

#include <memory>

#include "core/FileReplace.h"
#include "core/PlatformPath.h"
#include "core/SystemReason.h"
#include "core/Translation.h"

namespace pexol {

namespace {

// Windows' message for a system error in `language`; empty when it has none in it (its
// language pack is not installed).
std::string WindowsMessage(DWORD error, std::string_view language) {
  // The language's own messages ("de" names German), whatever languages pexol has.
  const LCID locale =
      language.empty() ? 0 : LocaleNameToLCID(platform::WideOf(language).c_str(), 0);
  const WORD id = language.empty() ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                  : locale != 0 ? MAKELANGID(PRIMARYLANGID(LANGIDFROMLCID(locale)), SUBLANG_DEFAULT)
                                : MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, id, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
  std::string message = length > 0 ? platform::Utf8OfWide(std::wstring_view(text, length)) : "";
  // The sentence around it ends it.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  if (message.size() >= 3 && message.ends_with("\xE3\x80\x82")) message.resize(message.size() - 3);
  return message;
}

}  // namespace

// The runtime has no translations of its own: pexol's catalogue holds the common ones, and a
// file another program holds open is told apart from one the user may not write.
std::string SystemReasonIn(int error, std::string_view) {
  return platform::ErrorText(error);
}

std::string SystemReason(int error) {
  return SystemReasonIn(error, CatalogueLanguage());
}

std::string SystemReason(const std::error_code& error) {
  if (error.category() == std::generic_category()) return SystemReason(error.value());
  if (error.category() == std::system_category()) {
    std::string message = WindowsMessage(static_cast<DWORD>(error.value()), CatalogueLanguage());
    if (!message.empty()) return message;
  }
  return error.message();
}

}  // namespace pexol
