// convert/ConversionOptions.h - what a user chooses for a conversion either way
#pragma once

#include "core/Options.h"

namespace pexol {

struct ToTextOptions {
  Software software = Software::CorvaneBrisko;
  TimecodeMode timecode = TimecodeMode::NtscDrop;
  bool csv = false;  ///< CSV EDL instead of fixed columns
  TextEncoding encoding = TextEncoding::ShiftJis;
};

struct ToProjectOptions {
  Software software = Software::CorvaneBrisko;
  TextEncoding encoding = TextEncoding::ShiftJis;  ///< a byte-order mark makes it UTF-8
};

}  // namespace pexol
