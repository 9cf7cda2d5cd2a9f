// export/aaf/AafObject.h - AAF objects in memory and their structured storage: each object a
// storage holding a "properties" stream, its strong references storages inside it, sets and
// vectors with index streams, weak references by key through the file's table of target paths
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/CompoundFile.h"
#include "export/aaf/AafModel.h"

namespace pexol::aaf {

/// A MobID as stored: the 12-byte SMPTE label, length, instance numbers, then a material AUID.
using MobId = std::array<std::uint8_t, 32>;

class Object {
 public:
  explicit Object(std::string_view className);
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  const ClassDef& Class() const { return *class_; }

  // Values, by property name (of the class or a parent). Integers take the width their type
  // (or the type an enumeration or rename stands for) gives them.
  Object& Int(std::string_view property, std::int64_t value);
  Object& Bool(std::string_view property, bool value) { return Int(property, value ? 1 : 0); }
  Object& String(std::string_view property, std::string_view utf8);
  Object& Id(std::string_view property, const Auid& id);
  Object& Mob(std::string_view property, const MobId& id);
  Object& Rational(std::string_view property, std::int32_t numerator, std::int32_t denominator);
  /// Bytes as they are stored (records, arrays).
  Object& Bytes(std::string_view property, std::string bytes);
  /// An indirect value: the type named by id, then the value's bytes.
  Object& Indirect(std::string_view property, std::string_view typeId, std::string_view bytes);

  /// Strong references: the object `property` holds, or one more in its vector or set. A set's
  /// objects are keyed by their class's unique property (`key` names another: a parameter's
  /// definition).
  Object& Child(std::string_view property, std::unique_ptr<Object> child);
  Object& Append(std::string_view property, std::unique_ptr<Object> child);
  Object& AddToSet(std::string_view property, std::unique_ptr<Object> child,
                   std::string_view key = {});
  /// A set or vector that holds nothing (yet) is still written, so readers find its index.
  Object& Empty(std::string_view property);
  /// Weak references to the object whose key is `key` (an AUID or MobID as stored), in the set
  /// that the property's type names; and a set of them.
  Object& Refer(std::string_view property, std::string_view key);
  Object& ReferAll(std::string_view property, const std::vector<std::string>& keys);

  /// The stored bytes of a property set before; empty when it is not set.
  std::string_view Stored(std::string_view property) const;

 private:
  friend class StorageWriter;
  struct Value {
    std::uint16_t pid = 0;
    std::uint8_t form = 0;
    std::string bytes;                             // data, or the weak reference
    std::vector<std::unique_ptr<Object>> objects;  // strong references
    std::vector<std::string> keys;                 // a set's keys, or weak references'
    std::uint16_t keyPid = 0;
    std::uint16_t tag = 0;  // the weak references' target path
    const PropertyDef* def = nullptr;
  };
  Value& Put(std::string_view property, std::uint8_t form);
  const ClassDef* class_;
  std::vector<Value> values_;
};

/// The whole file: the meta-dictionary and the header under the root, and the table of weak
/// reference targets. Objects are moved in; `Bytes` writes them.
class File {
 public:
  File(std::unique_ptr<Object> metaDictionary, std::unique_ptr<Object> header);
  std::string Bytes() const;

 private:
  std::unique_ptr<Object> metaDictionary_, header_;
};

/// UTF-8 text as AAF stores strings: UTF-16 little-endian, ending in a zero unit.
std::string StoredString(std::string_view utf8);

/// The index, in the file's table of target paths, of the set a weak reference of `type`
/// points into. The table holds every weak reference type's path in the model's order, so it
/// is the same in every file.
std::uint16_t WeakReferenceTag(const TypeDef& type);

}  // namespace pexol::aaf
