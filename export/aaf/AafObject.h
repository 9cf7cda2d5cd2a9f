// export/aaf/AafObject.h - AAF objects written straight into their structured storage: each
// object a storage holding a "properties" stream, the objects it holds storages inside it (sets
// and vectors with index streams), weak references by key through the file's table of target
// paths. An object is filled by a function given the object: its children are written inside
// it, so nothing is kept once written.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/CompoundFile.h"
#include "export/aaf/AafModel.h"

namespace pexol::aaf {

/// A MobID as stored: the 12-byte SMPTE label, length, instance numbers, then a material AUID.
using MobId = std::array<std::uint8_t, 32>;

/// UTF-8 text as AAF stores strings: UTF-16 little-endian, ending in a zero unit.
std::string StoredString(std::string_view utf8);

/// A rational as AAF stores it, reduced: two 32-bit integers.
std::string RationalBytes(std::int64_t numerator, std::int64_t denominator);

/// An AUID or MobID as keys and weak references hold it.
inline std::string_view KeyOf(const Auid& id) {
  return {reinterpret_cast<const char*>(id.data()), id.size()};
}
inline std::string_view KeyOf(const MobId& id) {
  return {reinterpret_cast<const char*>(id.data()), id.size()};
}

class Node {
 public:
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  // Values, by property name (of the class or a parent). Integers take the width their type
  // (or the type an enumeration or rename stands for) gives them.
  Node& Int(std::string_view property, std::int64_t value);
  Node& Bool(std::string_view property, bool value) { return Int(property, value ? 1 : 0); }
  Node& String(std::string_view property, std::string_view utf8);
  Node& Id(std::string_view property, const Auid& id);
  Node& Mob(std::string_view property, const MobId& id);
  /// A rational, reduced.
  Node& Rational(std::string_view property, std::int64_t numerator, std::int64_t denominator);
  /// Bytes as they are stored (records, arrays).
  Node& Bytes(std::string_view property, std::string_view bytes);
  /// An indirect value: the type named by id, then the value's bytes.
  Node& Indirect(std::string_view property, const Auid& type, std::string_view bytes);
  /// A weak reference to the object whose key is `key` (an AUID or MobID as stored), in the set
  /// the property's type names; and a set or vector of them.
  Node& Refer(std::string_view property, std::string_view key);
  Node& ReferAll(std::string_view property, std::span<const Auid> keys);

  /// Strong references: the object `property` holds, one more in its vector, or in its set
  /// under `key` (the value of the object's unique property, or of a parameter's definition).
  template <class Fill>
  Node& Child(std::string_view property, std::string_view cls, Fill&& fill) {
    Node child = Open(property, cls, formStrong, {});
    fill(child);
    child.Close();
    return *this;
  }
  template <class Fill>
  Node& Append(std::string_view property, std::string_view cls, Fill&& fill) {
    Node child = Open(property, cls, formStrongVector, {});
    fill(child);
    child.Close();
    return *this;
  }
  template <class Fill>
  Node& AddToSet(std::string_view property, std::string_view cls, std::string_view key,
                 Fill&& fill) {
    Node child = Open(property, cls, formStrongSet, key);
    fill(child);
    child.Close();
    return *this;
  }
  /// A set or vector that holds nothing (yet) is still written, so readers find its index.
  Node& Empty(std::string_view property);

  static constexpr std::uint8_t formStrong = 0x22;
  static constexpr std::uint8_t formStrongVector = 0x32;
  static constexpr std::uint8_t formStrongSet = 0x3A;

 private:
  friend class File;
  struct Collection {
    const PropertyInfo* property;
    std::uint8_t form;
    std::uint32_t count = 0;
    std::string keys;  // a set's keys, or weak references', one after another
    std::uint8_t keySize = 16;
  };

  /// What a node builds its streams in, kept from one object to the next at its depth: a file
  /// of tens of thousands of objects allocates a few dozen buffers.
  struct Scratch {
    std::string head, data, index;
    std::vector<Collection> collections;
  };
  using Scratches = std::deque<Scratch>;

  Node(CompoundFileWriter& file, Scratches& scratches, std::size_t depth, std::size_t storage,
       const ClassInfo& cls);
  Node(Node&&) = default;
  const PropertyInfo& Property(std::string_view name) const;
  void Put(const PropertyInfo& property, std::uint8_t form, std::string_view bytes);
  Collection& CollectionOf(const PropertyInfo& property, std::uint8_t form);
  Node Open(std::string_view property, std::string_view cls, std::uint8_t form,
            std::string_view key);
  void Close();

  CompoundFileWriter& file_;
  Scratches& scratches_;
  std::size_t depth_;
  std::size_t storage_;
  const ClassInfo& class_;
  std::uint16_t count_ = 0;
  std::string& head_;
  std::string& data_;
  std::vector<Collection>& collections_;
};

/// The whole file: the meta-dictionary and the header under the root, and the table of weak
/// reference targets.
class File {
 public:
  File();
  /// Room for a file of about `objects` objects (see `CompoundFileWriter::Reserve`).
  void Reserve(std::size_t objects) { file_.Reserve(2 * objects + 2000, 64 * objects + 100000); }

  template <class FillMeta, class FillHeader>
  std::string Write(FillMeta&& metaDictionary, FillHeader&& header) {
    const ClassInfo& meta = Model::Get().Info("MetaDictionary");
    Node metaNode(file_, scratches_, 0, file_.AddStorageIn(0, "MetaDictionary-1", meta.id), meta);
    metaDictionary(metaNode);
    metaNode.Close();
    const ClassInfo& head = Model::Get().Info("Header");
    Node headNode(file_, scratches_, 0, file_.AddStorageIn(0, "Header-2", head.id), head);
    header(headNode);
    headNode.Close();
    return Finish();
  }

 private:
  std::string Finish();
  CompoundFileWriter file_;
  Node::Scratches scratches_;
};

}  // namespace pexol::aaf
