// core/TextEncodingBackend.h - what each platform's code page 932 converter provides
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/TextEncoding.h"

namespace pexol::detail {

/// Decodes bytes that hold at least one non-ASCII byte; the contract of DecodeShiftJis.
DecodedName DecodeCodePage932(std::string_view bytes);

/// Encodes valid UTF-8 text that holds at least one non-ASCII character; nullopt for a
/// character the code page cannot hold.
std::optional<std::string> EncodeCodePage932(std::string_view utf8);

}  // namespace pexol::detail
