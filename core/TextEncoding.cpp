// core/TextEncoding.cpp - the parts every converter shares: ASCII shortcuts and UTF-8 checking
#include "core/TextEncoding.h"

#include <cstdint>
#include <cstdio>

#include "core/TextEncodingBackend.h"
#include "core/Translation.h"

namespace pexol {

namespace {

// Most names are ASCII, which code page 932 keeps byte for byte; they skip the converter.
bool IsAscii(std::string_view bytes) {
  unsigned char any = 0;
  for (const char byte : bytes) any |= static_cast<unsigned char>(byte);
  return any < 0x80;
}

}  // namespace

DecodedName DecodeShiftJis(std::string_view bytes) {
  if (IsAscii(bytes)) return {std::string(bytes), true};
  return detail::DecodeCodePage932(bytes);
}

std::optional<std::string> EncodeShiftJis(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  if (!IsValidUtf8(utf8)) return std::nullopt;
  std::optional<std::string> bytes = detail::EncodeCodePage932(utf8);
  // Only bytes that read back as the text typed name the same file: ICU drops characters it
  // calls ignorable (U+200B, U+FEFF, ...) and maps some private ones to other characters.
  if (bytes) {
    const DecodedName back = DecodeShiftJis(*bytes);
    if (!back.valid || back.utf8 != utf8) return std::nullopt;
  }
  return bytes;
}

std::string FirstUnencodable(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string_view character = text.substr(at, length);
    if (!EncodeShiftJis(character)) {
      std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
      for (std::size_t i = 1; i < character.size(); ++i)
        code = (code << 6) | (static_cast<unsigned char>(character[i]) & 0x3Fu);
      char number[16];
      std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code));
      return "\"" + Printable(character) + "\" (" + number + ")";
    }
    at += length;
  }
  return std::string(Tr("a character"));
}

bool IsValidShiftJis(std::string_view bytes) {
  return IsAscii(bytes) || detail::DecodeCodePage932(bytes).valid;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
      ++at;
      continue;
    }
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07u;
    } else {
      return false;  // a continuation byte, an overlong two-byte lead, or beyond U+10FFFF
    }
    if (bytes.size() - at < length) return false;
    for (std::size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(bytes[at + i]);
      if ((next & 0xC0u) != 0x80u) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    at += length;
  }
  return true;
}

namespace {

void AppendHexByte(std::string& out, unsigned char byte) {
  constexpr char digits[] = "0123456789ABCDEF";
  out += "\\x";
  out += digits[byte >> 4];
  out += digits[byte & 0xF];
}

// The UTF-8 text of `bytes` by the rules of Printable, before control bytes are escaped.
std::string ReadableText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  DecodedName decoded = DecodeShiftJis(bytes);
  if (decoded.valid) return std::move(decoded.utf8);
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80)
      text += c;
    else
      AppendHexByte(text, byte);
  }
  return text;
}

}  // namespace

std::string Printable(std::string_view bytes, std::size_t maxChars) {
  // No message needs more than the start of a long line; a character takes at most 4 bytes.
  const std::size_t room = maxChars * 4 + 4;
  std::string_view start = bytes.substr(0, room);
  if (start.size() < bytes.size()) {
    // A cut may split the last character: drop its pieces rather than show them as bytes.
    for (std::size_t drop = 0; drop < 4 && start.size() > drop; ++drop) {
      const std::string_view shorter = start.substr(0, start.size() - drop);
      if (IsValidUtf8(shorter) || IsValidShiftJis(shorter)) {
        start = shorter;
        break;
      }
    }
  }
  const std::string text = ReadableText(start);
  std::string shown;
  std::size_t chars = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if ((byte & 0xC0) == 0x80) {  // the rest of a character already counted
      shown += text[at];
      continue;
    }
    if (chars++ == maxChars) return shown + "...";
    if (byte == '\n')
      shown += "\\n";
    else if (byte == '\r')
      shown += "\\r";
    else if (byte == '\t')
      shown += "\\t";
    else if (byte < 0x20 || byte == 0x7F)
      AppendHexByte(shown, byte);
    else
      shown += text[at];
  }
  if (start.size() < bytes.size()) shown += "...";
  return shown;
}

namespace {

// A lead byte of a two-byte code page 932 character.
bool IsDoubleByteLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

// True when UTF-8 `text` holds a control character or one of the private use area (what code
// page 932's user-defined characters decode to), which no other system shows.
bool HoldsUnshowable(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (IsControl(byte)) return true;
    // U+E000 to U+F8FF: EE 80 80 to EF A3 BF.
    if (byte == 0xEE && at + 1 < text.size()) return true;
    if (byte == 0xEF && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) <= 0xA3)
      return true;
  }
  return false;
}

void AppendNameEscape(std::string& out, unsigned char byte) {
  constexpr char digits[] = "0123456789ABCDEF";
  out += "(x";
  out += digits[byte >> 4];
  out += digits[byte & 0xF];
  out += ')';
}

}  // namespace

std::string Utf8FileName(std::string_view name) {
  if (IsValidUtf8(name) && !HoldsUnshowable(name)) return std::string(name);
  if (!IsValidUtf8(name)) {
    DecodedName whole = DecodeShiftJis(name);
    if (whole.valid && !HoldsUnshowable(whole.utf8)) return std::move(whole.utf8);
  }
  // Character by character: each one that decodes to something shown, else its bytes escaped.
  const bool utf8 = IsValidUtf8(name);
  std::string out;
  for (std::size_t at = 0; at < name.size();) {
    const auto byte = static_cast<unsigned char>(name[at]);
    if (IsControl(byte)) {
      AppendNameEscape(out, byte);
      ++at;
      continue;
    }
    if (byte < 0x80) {
      out += name[at++];
      continue;
    }
    std::size_t length = 0;
    std::string text;
    if (utf8) {  // a private character in a UTF-8 name
      length = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
      text = name.substr(at, length);
    } else {
      length = IsDoubleByteLead(byte) && at + 1 < name.size() ? 2 : 1;
      DecodedName decoded = DecodeShiftJis(name.substr(at, length));
      if (!decoded.valid && length == 2) {  // a lead byte whose partner is none
        length = 1;
        decoded = DecodeShiftJis(name.substr(at, 1));
      }
      if (decoded.valid) text = std::move(decoded.utf8);
    }
    if (!text.empty() && !HoldsUnshowable(text)) {
      out += text;
    } else {
      for (std::size_t i = 0; i < length; ++i)
        AppendNameEscape(out, static_cast<unsigned char>(name[at + i]));
    }
    at += length;
  }
  return out;
}

namespace {

// `path` with each piece between '/' made by `piece`.
template <class Piece>
std::string ByComponent(std::string_view path, const Piece& piece) {
  std::string out;
  out.reserve(path.size() + path.size() / 4);
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    out += piece(path.substr(start, end - start));
    if (end == path.size()) break;
    out += '/';
    start = end + 1;
  }
  return out;
}

}  // namespace

std::string Utf8PathName(std::string_view path) {
  // '/' is never part of a code page 932 character, so the pieces are the names.
  return ByComponent(path, Utf8FileName);
}

std::string EscapedPath(std::string_view path) {
  return ByComponent(path, [](std::string_view name) {
    const bool utf8 = IsValidUtf8(name);
    std::string shown;
    for (const char c : name) {
      const auto byte = static_cast<unsigned char>(c);
      if (IsControl(byte) || (!utf8 && byte >= 0x80))
        AppendHexByte(shown, byte);
      else
        shown += c;
    }
    return shown;
  });
}

std::string DisplayText(std::string_view message) {
  std::string shown;
  shown.reserve(message.size() + message.size() / 4);
  for (std::size_t start = 0; start <= message.size();) {
    std::size_t end = message.find('\n', start);
    if (end == std::string_view::npos) end = message.size();
    const std::string_view line = message.substr(start, end - start);
    // Piece by piece between '/', which no Shift-JIS character holds: a path with folders named
    // in both encodings shows each as it reads.
    const std::string decoded =
        IsValidUtf8(line) ? std::string(line) : ByComponent(line, [](std::string_view piece) {
          return IsValidUtf8(piece) ? std::string(piece) : DecodeShiftJis(piece).utf8;
        });
    // A control byte quoted from the input would act on the terminal, a NUL cut the text
    // short in a window; each shows as \xNN. Tabs lay out lists and stay.
    for (const char c : decoded) {
      const auto byte = static_cast<unsigned char>(c);
      if ((byte < 0x20 && byte != '\t') || byte == 0x7F)
        AppendHexByte(shown, byte);
      else
        shown += c;
    }
    if (end == message.size()) break;
    shown += '\n';
    start = end + 1;
  }
  return shown;
}

std::u16string Utf16Of(std::string_view utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    std::size_t length = byte < 0x80    ? 1
                         : byte >= 0xF0 ? 4
                         : byte >= 0xE0 ? 3
                         : byte >= 0xC0 ? 2
                                        : 0;
    // A sequence that is not well-formed UTF-8 becomes one U+FFFD for its first byte.
    if (length == 0 || i + length > utf8.size() || !IsValidUtf8(utf8.substr(i, length))) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    char32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += length;
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
  }
  return out;
}

}  // namespace pexol
