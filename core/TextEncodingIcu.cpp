// core/TextEncodingIcu.cpp - code page 932 through ICU's "windows-31j" converter
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "core/TextEncodingBackend.h"
#include "core/Translation.h"

namespace pexol::detail {

namespace {

struct ConverterClose {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

void ThrowIfFailed(UErrorCode status) {
  if (U_FAILURE(status))
    throw std::runtime_error(
        Say("cannot open the windows-31j converter: {0}", u_errorName(status)));
}

Converter OpenConverter() {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open("windows-31j", &status));
  ThrowIfFailed(status);
  // Stop at every sequence or character the code page does not hold: a silent substitute
  // would name another file (a typed ¥ would become 5C, a path separator).
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
  ThrowIfFailed(status);
  return converter;
}

// Opening a converter costs far more than a conversion; each thread keeps one.
UConverter& ThreadConverter() {
  thread_local const Converter converter = OpenConverter();
  ucnv_reset(converter.get());
  return *converter;
}

// ICU's table is IBM's, which rotates three control bytes (1A -> U+001C, 1C -> U+007F,
// 7F -> U+001A); Windows keeps them ASCII. None of them is ever a trail byte and no pair
// decodes to these characters, so undoing the rotation character by character is exact.
UChar WindowsControl(UChar unit) {
  switch (unit) {
    case 0x1C:
      return 0x1A;
    case 0x7F:
      return 0x1C;
    case 0x1A:
      return 0x7F;
    default:
      return unit;
  }
}
UChar IcuControl(UChar unit) {
  switch (unit) {
    case 0x1A:
      return 0x1C;
    case 0x1C:
      return 0x7F;
    case 0x7F:
      return 0x1A;
    default:
      return unit;
  }
}

}  // namespace

DecodedName DecodeCodePage932(std::string_view bytes) {
  UConverter& converter = ThreadConverter();
  DecodedName result;
  // A character is one or two bytes and at most two UTF-16 units; a U+FFFD stands for at least
  // one byte. Twice the byte count always suffices; the growth below is only a safeguard.
  std::vector<UChar> units(bytes.size() * 2 + 2);
  std::size_t used = 0;
  const char* source = bytes.data();
  const char* const end = source + bytes.size();
  for (;;) {
    UChar* target = units.data() + used;
    const char* const before = source;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(&converter, &target, units.data() + units.size(), &source, end, nullptr, true,
                   &status);
    used = static_cast<std::size_t>(target - units.data());
    if (U_SUCCESS(status)) break;
    if (status != U_BUFFER_OVERFLOW_ERROR) {
      // The stop callback has consumed the offending bytes; one U+FFFD stands for them and
      // decoding resumes after them.
      result.valid = false;
      if (used == units.size()) units.resize(units.size() * 2);
      units[used++] = 0xFFFD;
      ucnv_reset(&converter);
      if (source == before && source != end) ++source;  // never loop on a byte left in place
    } else {
      units.resize(units.size() * 2);
    }
  }
  for (std::size_t i = 0; i < used; ++i) units[i] = WindowsControl(units[i]);

  result.utf8.resize(used * 3);
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(result.utf8.data(), static_cast<int32_t>(result.utf8.size()), &length, units.data(),
              static_cast<int32_t>(used), &status);
  result.utf8.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return result;
}

std::optional<std::string> EncodeCodePage932(std::string_view utf8) {
  std::vector<UChar> units(utf8.size() + 1);
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8(units.data(), static_cast<int32_t>(units.size()), &length, utf8.data(),
                static_cast<int32_t>(utf8.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  for (int32_t i = 0; i < length; ++i) units[i] = IcuControl(units[i]);

  UConverter& converter = ThreadConverter();
  std::string bytes(static_cast<std::size_t>(length) * 2 + 2, '\0');
  const int32_t written = ucnv_fromUChars(
      &converter, bytes.data(), static_cast<int32_t>(bytes.size()), units.data(), length, &status);
  if (U_FAILURE(status)) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(written));
  return bytes;
}

}  // namespace pexol::detail
