// export/aaf/AafObject.cpp - property values as AAF stores them, and the objects' storages
#include "export/aaf/AafObject.h"

#include <charconv>
#include <numeric>
#include <stdexcept>

#include "core/ByteWriter.h"
#include "core/TextEncoding.h"

namespace pexol::aaf {

namespace {

// How a property is stored (the stored forms of the structured storage).
constexpr std::uint8_t formData = 0x82;
constexpr std::uint8_t formWeak = 0x02;
constexpr std::uint8_t formWeakVector = 0x12;
constexpr std::uint8_t formWeakSet = 0x1A;
constexpr std::uint8_t propertiesVersion = 0x20;
constexpr char littleEndian = 0x4C;

bool Weak(std::uint8_t form) {
  return form == formWeakVector || form == formWeakSet;
}

}  // namespace

std::string StoredString(std::string_view utf8) {
  ByteWriter out;
  out.Reserve(2 * utf8.size() + 2);
  bool ascii = true;
  for (const char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    for (const char c : utf8) out.WriteWord(static_cast<unsigned char>(c));
  } else {
    for (const char16_t unit : Utf16Of(utf8)) out.WriteWord(unit);
  }
  out.WriteWord(0);
  return out.TakeBytes();
}

std::string RationalBytes(std::int64_t numerator, std::int64_t denominator) {
  const std::int64_t common = std::gcd(numerator, denominator);
  if (common > 1) numerator /= common, denominator /= common;
  ByteWriter bytes;
  bytes.WriteDword(static_cast<std::uint32_t>(static_cast<std::int32_t>(numerator)));
  bytes.WriteDword(static_cast<std::uint32_t>(static_cast<std::int32_t>(denominator)));
  return bytes.TakeBytes();
}

Node::Node(CompoundFileWriter& file, Scratches& scratches, std::size_t depth, std::size_t storage,
           const ClassInfo& cls)
    : file_(file),
      scratches_(scratches),
      depth_(depth),
      storage_(storage),
      class_(cls),
      head_((scratches.size() <= depth ? scratches.emplace_back() : scratches[depth]).head),
      data_(scratches[depth].data),
      collections_(scratches[depth].collections) {
  head_.clear();
  data_.clear();
  collections_.clear();
}

const PropertyInfo& Node::Property(std::string_view name) const {
  const PropertyInfo* found = class_.Find(name);
  if (found == nullptr)
    throw std::logic_error("the AAF class " + std::string(class_.def->name) + " has no property " +
                           std::string(name));
  return *found;
}

void Node::Put(const PropertyInfo& property, std::uint8_t form, std::string_view bytes) {
  // A property's size is 16 bits: a longer value would corrupt the stream, not shorten it.
  if (bytes.size() > 0xFFFF)
    throw std::length_error("an AAF property of " + std::to_string(bytes.size()) + " bytes");
  const std::uint16_t pid = property.def->pid;
  const auto size = static_cast<std::uint16_t>(bytes.size());
  const char entry[6] = {static_cast<char>(pid & 0xFF),  static_cast<char>(pid >> 8),
                         static_cast<char>(form),        '\0',
                         static_cast<char>(size & 0xFF), static_cast<char>(size >> 8)};
  head_.append(entry, sizeof entry);
  data_ += bytes;
  ++count_;
}

Node& Node::Int(std::string_view name, std::int64_t value) {
  const PropertyInfo& property = Property(name);
  if (property.width == 0)
    throw std::logic_error("the AAF property " + std::string(name) + " is not an integer");
  char bytes[8];
  for (int i = 0; i < property.width; ++i)
    bytes[i] = static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
  Put(property, formData, {bytes, static_cast<std::size_t>(property.width)});
  return *this;
}

Node& Node::String(std::string_view name, std::string_view utf8) {
  Put(Property(name), formData, StoredString(utf8));
  return *this;
}

Node& Node::Id(std::string_view name, const Auid& id) {
  Put(Property(name), formData, {reinterpret_cast<const char*>(id.data()), id.size()});
  return *this;
}

Node& Node::Mob(std::string_view name, const MobId& id) {
  Put(Property(name), formData, {reinterpret_cast<const char*>(id.data()), id.size()});
  return *this;
}

Node& Node::Rational(std::string_view name, std::int64_t numerator, std::int64_t denominator) {
  Put(Property(name), formData, RationalBytes(numerator, denominator));
  return *this;
}

Node& Node::Bytes(std::string_view name, std::string_view bytes) {
  Put(Property(name), formData, bytes);
  return *this;
}

Node& Node::Indirect(std::string_view name, const Auid& type, std::string_view bytes) {
  std::string stored(1, littleEndian);
  stored.append(type.begin(), type.end());
  stored += bytes;
  Put(Property(name), formData, stored);
  return *this;
}

Node& Node::Refer(std::string_view name, std::string_view key) {
  const PropertyInfo& property = Property(name);
  ByteWriter bytes;
  bytes.WriteWord(property.weakTag);
  bytes.WriteWord(property.weakKeyPid);
  bytes.WriteByte(static_cast<std::uint32_t>(key.size()));
  bytes.WriteText(key);
  Put(property, formWeak, bytes.Bytes());
  return *this;
}

Node& Node::ReferAll(std::string_view name, std::span<const Auid> keys) {
  const PropertyInfo& property = Property(name);
  Collection& collection =
      CollectionOf(property, property.type->kind == TypeKind::Set ? formWeakSet : formWeakVector);
  for (const Auid& key : keys) collection.keys.append(key.begin(), key.end());
  collection.count += static_cast<std::uint32_t>(keys.size());
  return *this;
}

Node& Node::Empty(std::string_view name) {
  const PropertyInfo& property = Property(name);
  CollectionOf(property, property.type->kind == TypeKind::Set ? formStrongSet : formStrongVector);
  return *this;
}

Node::Collection& Node::CollectionOf(const PropertyInfo& property, std::uint8_t form) {
  for (Collection& collection : collections_)
    if (collection.property == &property) return collection;
  return collections_.emplace_back(Collection{&property, form, 0, {}, 16});
}

Node Node::Open(std::string_view name, std::string_view cls, std::uint8_t form,
                std::string_view key) {
  const PropertyInfo& property = Property(name);
  const ClassInfo& info = Model::Get().Info(cls);
  // The storage's name, built in place: "Segment-4803", or "Components-1001{1f}".
  char storage[48];
  std::size_t length = 0;
  if (form == formStrong) {
    length = property.strongName.copy(storage, sizeof storage);
    Put(property, formStrong, property.strongNameStored);
  } else {
    Collection& collection = CollectionOf(property, form);
    if (form == formStrongSet) {
      collection.keys += key;
      collection.keySize = static_cast<std::uint8_t>(key.size());
    }
    length = property.collectionName.copy(storage, sizeof storage - 12);
    storage[length++] = '{';
    const auto end =
        std::to_chars(storage + length, storage + sizeof storage - 1, collection.count++, 16);
    *end.ptr = '}';
    length = static_cast<std::size_t>(end.ptr + 1 - storage);
  }
  return Node(file_, scratches_, depth_ + 1,
              file_.AddStorageIn(storage_, {storage, length}, info.id), info);
}

void Node::Close() {
  for (const Collection& collection : collections_) {
    const PropertyInfo& property = *collection.property;
    Put(property, collection.form, property.collectionNameStored);
    ByteWriter index;
    index.WriteDword(collection.count);
    if (Weak(collection.form)) {
      index.WriteWord(property.weakTag);
      index.WriteWord(property.weakKeyPid);
      index.WriteByte(16);
      index.WriteText(collection.keys);
    } else {
      index.WriteDword(collection.count);  // the next free local key
      index.WriteDword(0xFFFFFFFFu);       // the last free one: none
      const bool set = collection.form == formStrongSet;
      if (set) {
        index.WriteWord(property.setKeyPid);
        index.WriteByte(collection.keySize);
      }
      for (std::uint32_t i = 0; i < collection.count; ++i) {
        index.WriteDword(i);
        if (!set) continue;
        index.WriteDword(1);  // references to it
        index.WriteText(std::string_view(collection.keys)
                            .substr(i * std::size_t{collection.keySize}, collection.keySize));
      }
    }
    file_.AddStreamIn(storage_, property.indexName, index.Bytes());
  }
  const char start[4] = {littleEndian, static_cast<char>(propertiesVersion),
                         static_cast<char>(count_ & 0xFF), static_cast<char>(count_ >> 8)};
  file_.AddStreamIn(storage_, "properties", {{start, sizeof start}, head_, data_});
}

File::File() {
  // The header's class id is AAF's signature; the root's is the structured storage's.
  file_.SetHeaderClassId({0x01, 0x02, 0x01, 0x0d, 0x00, 0x02, 0x00, 0x00, 0x06, 0x0e, 0x2b, 0x34,
                          0x03, 0x02, 0x01, 0x01});
  file_.SetRootClassId({0xa5, 0x98, 0xb3, 0xb3, 0x90, 0x1c, 0xd4, 0x11, 0x80, 0x53, 0x08, 0x00,
                        0x36, 0x21, 0x08, 0x04});
}

std::string File::Finish() {
  // The root's two strong references: the meta-dictionary (local id 1) and the header (2).
  const std::string meta = StoredString("MetaDictionary-1"), header = StoredString("Header-2");
  ByteWriter root;
  root.WriteByte(littleEndian);
  root.WriteByte(propertiesVersion);
  root.WriteWord(2);
  for (const auto& [pid, name] : {std::pair{1u, &meta}, std::pair{2u, &header}}) {
    root.WriteWord(pid);
    root.WriteWord(Node::formStrong);
    root.WriteWord(static_cast<std::uint32_t>(name->size()));
  }
  root.WriteText(meta);
  root.WriteText(header);
  file_.AddStreamIn(0, "properties", root.Bytes());
  // The weak references' target paths, each a list of local ids ending in 0.
  ByteWriter table;
  table.WriteByte(littleEndian);
  const auto& paths = Model::Get().TargetPaths();
  std::size_t ids = 0;
  for (const auto& path : paths) ids += path.size() + 1;
  table.WriteWord(static_cast<std::uint32_t>(paths.size()));
  table.WriteDword(static_cast<std::uint32_t>(ids));
  for (const auto& path : paths) {
    for (const std::uint16_t pid : path) table.WriteWord(pid);
    table.WriteWord(0);
  }
  file_.AddStreamIn(0, "referenced properties", table.Bytes());
  return file_.Bytes();
}

}  // namespace pexol::aaf
