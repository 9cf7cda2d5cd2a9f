// export/aaf/AafModel.h - the part of AAF's object model the writer uses: classes with their
// properties and local ids, and the types that say how each property is stored
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pexol::aaf {

struct PropertyDef {
  const char* name;
  const char* id;
  std::uint16_t pid;  ///< the local id objects store it under
  const char* type;
  bool optional;
  bool unique;  ///< the key of the class's objects in sets and weak references
};

struct ClassDef {
  const char* name;
  const char* id;
  const char* parent;  ///< its own id for the root class
  bool concrete;
  std::vector<PropertyDef> properties;
};

enum class TypeKind {
  Integer,
  Enum,
  Record,
  FixedArray,
  VarArray,
  Rename,
  String,
  Stream,
  Opaque,
  ExtEnum,
  Character,
  Indirect,
  Set,
  StrongRef,
  WeakRef,
};

/// A type; `element` is the type it is made of (a class for references), `ids` a record's
/// member types, an extendible enumeration's values or a weak reference's target path.
struct TypeDef {
  TypeKind kind;
  const char* name;
  const char* id;
  const char* element = nullptr;
  int size = 0;  ///< an integer's bytes, a fixed array's count
  bool isSigned = false;
  std::vector<const char*> names = {};
  std::vector<std::int64_t> values = {};
  std::vector<const char*> ids = {};
};

std::span<const ClassDef> ModelClasses();
std::span<const TypeDef> ModelTypes();

/// An AUID as AAF stores it: the first three fields little-endian, the last eight as written.
using Auid = std::array<std::uint8_t, 16>;
/// "0d010101-0101-2f00-060e-2b3402060101" as stored.
Auid AuidOf(std::string_view text);

/// What writing a property takes, worked out once: its type, an integer's width, the names of
/// the storages and streams it makes, and the keys of the objects it holds or names.
struct PropertyInfo {
  const PropertyDef* def = nullptr;
  const TypeDef* type = nullptr;
  int width = 0;               ///< an integer's bytes (enumerations and renames by what they are)
  std::string strongName;      ///< the storage a strong reference names: "Segment-4803"
  std::string collectionName;  ///< a set's or vector's, before "{n}" and " index"
  std::string indexName;       ///< its index stream's
  std::string strongNameStored, collectionNameStored;  ///< the names as the property stores them
  std::uint16_t weakTag = 0;  ///< weak references: the target path's index in the file's table
  std::uint16_t weakKeyPid = 0;
  std::uint16_t setKeyPid = 0;  ///< strong sets: the property their objects are keyed by
};

struct ClassInfo {
  const ClassDef* def = nullptr;
  Auid id{};
  std::unordered_map<std::string_view, PropertyInfo> properties;  ///< its own and its parents'

  /// The property `name`, null when the class has none. Writers look properties up hundreds of
  /// thousands of times: an open table hashed on the name's length and ends does it in a probe
  /// or two.
  const PropertyInfo* Find(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (std::size_t at = Slot(name);; at = (at + 1) & (table.size() - 1)) {
      const auto& [key, info] = table[at];
      if (info == nullptr) return nullptr;
      if (key == name) return info;
    }
  }
  std::size_t Slot(std::string_view name) const {
    return (name.size() * 131 + static_cast<unsigned char>(name.front()) * 31 +
            static_cast<unsigned char>(name.back())) &
           (table.size() - 1);
  }
  std::vector<std::pair<std::string_view, const PropertyInfo*>> table;
};

/// Lookups into the tables, built once.
class Model {
 public:
  static const Model& Get();

  const ClassDef& Class(std::string_view name) const;
  const ClassDef* ClassWithId(std::string_view id) const;
  /// The property `name` of `cls` or of a class it derives from.
  const PropertyDef& Property(const ClassDef& cls, std::string_view name) const;
  const TypeDef& Type(std::string_view id) const;
  /// The local id of the property whose id is `id`, the root's two included.
  std::uint16_t PidOf(std::string_view id) const;
  /// The key property of objects of `cls` (the unique property of it or a parent).
  const PropertyDef* Key(const ClassDef& cls) const;
  /// Everything about writing objects of the class `name`.
  const ClassInfo& Info(std::string_view name) const;
  /// The target paths of weak references (local ids from the root), each once, in the model's
  /// order: every file holds the same table.
  const std::vector<std::vector<std::uint16_t>>& TargetPaths() const { return targetPaths_; }

 private:
  Model();
  PropertyInfo InfoOf(const PropertyDef& property) const;
  std::uint16_t TagOf(const TypeDef& weakReference) const;
  std::unordered_map<std::string_view, const ClassDef*> classes_, classIds_;
  std::unordered_map<std::string_view, const TypeDef*> types_;
  std::unordered_map<std::string_view, std::uint16_t> pids_;
  std::vector<std::vector<std::uint16_t>> targetPaths_;
  std::unordered_map<std::string_view, ClassInfo> infos_;
};

}  // namespace pexol::aaf
