// core/Version.h - the version, as the build states it once
#pragma once

#include <string_view>

namespace pexol {

inline constexpr std::string_view version = PEXOL_VERSION;

}  // namespace pexol
