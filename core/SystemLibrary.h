// core/SystemLibrary.h - a system library opened when a run first needs it, not at every start
#pragma once

namespace pexol {

/// A shared library of the system opened by its name (its soname, "libmagic.so.1"), so that
/// only the runs that call it pay for loading it and what it pulls in; closed with the object.
class SystemLibrary {
 public:
  explicit SystemLibrary(const char* soname);
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  /// False when the system has no such library; every symbol is then null.
  bool Loaded() const { return handle_ != nullptr; }

  /// The function `name`, of the type its header declares (`decltype(magic_open)`); null when
  /// the library lacks it.
  template <class Function>
  Function* Find(const char* name) const {
    return reinterpret_cast<Function*>(Address(name));
  }

 private:
  void* Address(const char* name) const;
  void* handle_;
};

}  // namespace pexol
