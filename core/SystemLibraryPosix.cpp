// core/SystemLibraryPosix.cpp - dlopen and dlsym
#include <dlfcn.h>

#include "core/SystemLibrary.h"

namespace pexol {

SystemLibrary::SystemLibrary(const char* soname)
    : handle_(::dlopen(soname, RTLD_LAZY | RTLD_LOCAL)) {}

SystemLibrary::~SystemLibrary() {
  if (handle_ != nullptr) ::dlclose(handle_);
}

void* SystemLibrary::Address(const char* name) const {
  return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

}  // namespace pexol
