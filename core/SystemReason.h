// core/SystemReason.h - the system's reason for a failed call, in the language of pexol's texts
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace pexol {

/// The C library's reason for the errno value `error` ("Read-only file system") in the
/// language of the catalogue in use (`CatalogueLanguage`): the system's own translation where
/// it has one (glibc's catalogue on Linux, read whether or not the locale is generated), else
/// pexol's catalogue's, else English. Quote it in one whole sentence of the catalogue:
/// `Say("cannot create \"{0}\": {1}", path, SystemReason(errno))`.
std::string SystemReason(int error);

/// The reason of an error a library call reported: by its number for the generic and the
/// system category (on Windows the system category's through the system's own message, in
/// the user's language), else the category's message.
std::string SystemReason(const std::error_code& error);

/// `SystemReason(error)` in `language` ("ja"; empty for English).
std::string SystemReasonIn(int error, std::string_view language);

}  // namespace pexol
