// export/aaf/AafObject.cpp - property values as AAF stores them, and the objects' storages
#include "export/aaf/AafObject.h"

#include <cstdio>
#include <stdexcept>

#include "core/TextEncoding.h"

namespace pexol::aaf {

namespace {

// How a property is stored (the stored forms of the structured storage).
constexpr std::uint8_t formData = 0x82;
constexpr std::uint8_t formStrong = 0x22;
constexpr std::uint8_t formStrongVector = 0x32;
constexpr std::uint8_t formStrongSet = 0x3A;
constexpr std::uint8_t formWeak = 0x02;
constexpr std::uint8_t formWeakVector = 0x12;
constexpr std::uint8_t formWeakSet = 0x1A;
constexpr std::uint8_t propertiesVersion = 0x20;
constexpr std::uint8_t littleEndian = 0x4C;

void Put(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The width of an integer stored as `type`: enumerations and renames by what they stand for.
int IntegerWidth(const TypeDef& type) {
  const Model& model = Model::Get();
  switch (type.kind) {
    case TypeKind::Integer:
      return type.size;
    case TypeKind::Enum:
    case TypeKind::Rename:
      return IntegerWidth(model.Type(type.element));
    default:
      throw std::logic_error(std::string("AAF type ") + type.name + " is not an integer");
  }
}

// The name a property's storage or index goes by: its name, squeezed to leave room for "-pid"
// (and, for sets and vectors, an element's "{n}" and " index") within the container's 31.
std::string StorageName(const PropertyDef& def, std::size_t room) {
  char pid[8];
  std::snprintf(pid, sizeof pid, "%x", def.pid);
  const std::string_view name = def.name;
  const std::size_t size = room - std::string_view(pid).size() - 2;
  std::string squeezed;
  if (name.size() <= size) {
    squeezed = name;
  } else {
    const std::size_t half = size / 2;
    squeezed = std::string(name.substr(0, half)) + "-" +
               std::string(name.substr(name.size() - (size - half - 1)));
  }
  return squeezed + "-" + pid;
}

// Every weak reference type's target path as local ids, in the model's order, distinct.
const std::vector<std::vector<std::uint16_t>>& TargetPaths() {
  static const std::vector<std::vector<std::uint16_t>> paths = [] {
    const Model& model = Model::Get();
    std::vector<std::vector<std::uint16_t>> all;
    for (const TypeDef& type : ModelTypes()) {
      if (type.kind != TypeKind::WeakRef) continue;
      std::vector<std::uint16_t> path;
      for (const char* id : type.ids) path.push_back(model.PidOf(id));
      bool known = false;
      for (const auto& seen : all) known = known || seen == path;
      if (!known) all.push_back(std::move(path));
    }
    return all;
  }();
  return paths;
}

}  // namespace

std::string StoredString(std::string_view utf8) {
  std::string out;
  for (const char16_t unit : Utf16Of(utf8)) Put(out, unit, 2);
  Put(out, 0, 2);
  return out;
}

std::uint16_t WeakReferenceTag(const TypeDef& type) {
  const Model& model = Model::Get();
  std::vector<std::uint16_t> path;
  for (const char* id : type.ids) path.push_back(model.PidOf(id));
  const auto& paths = TargetPaths();
  for (std::size_t i = 0; i < paths.size(); ++i)
    if (paths[i] == path) return static_cast<std::uint16_t>(i);
  throw std::logic_error(std::string("no target path for AAF type ") + type.name);
}

Object::Object(std::string_view className) : class_(&Model::Get().Class(className)) {}

Object::Value& Object::Put(std::string_view property, std::uint8_t form) {
  const PropertyDef& def = Model::Get().Property(*class_, property);
  for (Value& value : values_)
    if (value.pid == def.pid) {
      value = Value{};
      value.pid = def.pid;
      value.form = form;
      value.def = &def;
      return value;
    }
  Value& value = values_.emplace_back();
  value.pid = def.pid;
  value.form = form;
  value.def = &def;
  return value;
}

Object& Object::Int(std::string_view property, std::int64_t number) {
  const PropertyDef& def = Model::Get().Property(*class_, property);
  const int width = IntegerWidth(Model::Get().Type(def.type));
  Put(property, formData).bytes.clear();
  std::string bytes;
  aaf::Put(bytes, static_cast<std::uint64_t>(number), width);
  return Bytes(property, std::move(bytes));
}

Object& Object::String(std::string_view property, std::string_view utf8) {
  return Bytes(property, StoredString(utf8));
}

Object& Object::Id(std::string_view property, const Auid& id) {
  return Bytes(property, std::string(id.begin(), id.end()));
}

Object& Object::Mob(std::string_view property, const MobId& id) {
  return Bytes(property, std::string(id.begin(), id.end()));
}

Object& Object::Rational(std::string_view property, std::int32_t numerator,
                         std::int32_t denominator) {
  std::string bytes;
  aaf::Put(bytes, static_cast<std::uint32_t>(numerator), 4);
  aaf::Put(bytes, static_cast<std::uint32_t>(denominator), 4);
  return Bytes(property, std::move(bytes));
}

Object& Object::Bytes(std::string_view property, std::string bytes) {
  Put(property, formData).bytes = std::move(bytes);
  return *this;
}

Object& Object::Indirect(std::string_view property, std::string_view typeId,
                         std::string_view bytes) {
  std::string stored(1, static_cast<char>(littleEndian));
  const Auid type = AuidOf(typeId);
  stored.append(type.begin(), type.end());
  stored += bytes;
  return Bytes(property, std::move(stored));
}

Object& Object::Child(std::string_view property, std::unique_ptr<Object> child) {
  Put(property, formStrong).objects.push_back(std::move(child));
  return *this;
}

Object& Object::Append(std::string_view property, std::unique_ptr<Object> child) {
  const PropertyDef& def = Model::Get().Property(*class_, property);
  for (Value& value : values_)
    if (value.pid == def.pid) {
      value.objects.push_back(std::move(child));
      return *this;
    }
  Put(property, formStrongVector).objects.push_back(std::move(child));
  return *this;
}

Object& Object::AddToSet(std::string_view property, std::unique_ptr<Object> child,
                         std::string_view key) {
  const Model& model = Model::Get();
  const PropertyDef& def = model.Property(*class_, property);
  const PropertyDef* keyDef =
      key.empty() ? model.Key(child->Class()) : &model.Property(child->Class(), key);
  if (keyDef == nullptr) throw std::logic_error("AAF objects in a set need a key");
  Value* set = nullptr;
  for (Value& value : values_)
    if (value.pid == def.pid) set = &value;
  if (set == nullptr) {
    set = &Put(property, formStrongSet);
    // A parameter is keyed by its definition, yet stored under the definitions' key id, as
    // Media Composer and the AAF toolkit write it.
    set->keyPid = key.empty() ? keyDef->pid : model.Key(model.Class("DefinitionObject"))->pid;
  }
  set->keys.emplace_back(child->Stored(keyDef->name));
  set->objects.push_back(std::move(child));
  return *this;
}

Object& Object::Empty(std::string_view property) {
  const Model& model = Model::Get();
  const TypeDef& type = model.Type(model.Property(*class_, property).type);
  if (type.kind != TypeKind::Set) {
    Put(property, formStrongVector);
    return *this;
  }
  const ClassDef& element = *model.ClassWithId(model.Type(type.element).element);
  Put(property, formStrongSet).keyPid = model.Key(element)->pid;
  return *this;
}
Object& Object::Refer(std::string_view property, std::string_view key) {
  const Model& model = Model::Get();
  const TypeDef& type = model.Type(model.Property(*class_, property).type);
  const PropertyDef* keyDef = model.Key(*model.ClassWithId(type.element));
  Value& value = Put(property, formWeak);
  aaf::Put(value.bytes, WeakReferenceTag(type), 2);
  aaf::Put(value.bytes, keyDef->pid, 2);
  aaf::Put(value.bytes, key.size(), 1);
  value.bytes += key;
  return *this;
}

Object& Object::ReferAll(std::string_view property, const std::vector<std::string>& keys) {
  const Model& model = Model::Get();
  const TypeDef& type = model.Type(model.Property(*class_, property).type);
  const TypeDef& element = model.Type(type.element);
  Value& value = Put(property, type.kind == TypeKind::Set ? formWeakSet : formWeakVector);
  value.tag = WeakReferenceTag(element);
  value.keyPid = model.Key(*model.ClassWithId(element.element))->pid;
  value.keys = keys;
  return *this;
}

std::string_view Object::Stored(std::string_view property) const {
  const std::uint16_t pid = Model::Get().Property(*class_, property).pid;
  for (const Value& value : values_)
    if (value.pid == pid) return value.bytes;
  return {};
}

bool Weak(std::uint8_t form) {
  return form == formWeakVector || form == formWeakSet;
}

// Writes objects into a compound file, each as a storage under its parent's.
class StorageWriter {
 public:
  explicit StorageWriter(CompoundFileWriter& file) : file_(file) {}

  void Write(const Object& object, std::size_t parent, std::string_view name) {
    const Auid classId = AuidOf(object.class_->id);
    const std::size_t storage = file_.AddStorageIn(parent, name, classId);
    std::string head, data;
    head += static_cast<char>(littleEndian);
    head += static_cast<char>(propertiesVersion);
    Put(head, object.values_.size(), 2);
    for (const Object::Value& value : object.values_) {
      std::string bytes = value.bytes;
      if (value.form == formStrong) {
        const std::string child = StorageName(*value.def, 32);
        bytes = StoredString(child);
        Write(*value.objects.front(), storage, child);
      } else if (value.form == formStrongVector || value.form == formStrongSet ||
                 Weak(value.form)) {
        const std::string set = StorageName(*value.def, 22);
        bytes = StoredString(set);
        WriteIndex(value, storage, set);
        for (std::size_t i = 0; i < value.objects.size(); ++i) {
          char element[24];
          std::snprintf(element, sizeof element, "{%zx}", i);
          Write(*value.objects[i], storage, set + element);
        }
      }
      Put(head, value.pid, 2);
      Put(head, value.form, 2);
      Put(head, bytes.size(), 2);
      data += bytes;
    }
    file_.AddStreamIn(storage, "properties", head + data);
  }

 private:
  void WriteIndex(const Object::Value& value, std::size_t storage, const std::string& set) {
    std::string index;
    const std::size_t count = Weak(value.form) ? value.keys.size() : value.objects.size();
    Put(index, count, 4);
    if (Weak(value.form)) {
      Put(index, value.tag, 2);
      Put(index, value.keyPid, 2);
      Put(index, value.keys.empty() ? 16 : value.keys.front().size(), 1);
      for (const std::string& key : value.keys) index += key;
    } else {
      Put(index, count, 4);        // the next free local key
      Put(index, 0xFFFFFFFFu, 4);  // the last free one: none
      if (value.form == formStrongSet) {
        Put(index, value.keyPid, 2);
        Put(index, value.keys.empty() ? 16 : value.keys.front().size(), 1);
      }
      for (std::size_t i = 0; i < count; ++i) {
        Put(index, i, 4);
        if (value.form == formStrongSet) {
          Put(index, 1, 4);  // references to it
          index += value.keys[i];
        }
      }
    }
    file_.AddStreamIn(storage, set + " index", std::move(index));
  }

  CompoundFileWriter& file_;
};

File::File(std::unique_ptr<Object> metaDictionary, std::unique_ptr<Object> header)
    : metaDictionary_(std::move(metaDictionary)), header_(std::move(header)) {}

std::string File::Bytes() const {
  CompoundFileWriter file;
  // The header's class id is AAF's signature; the root's is the structured storage's.
  file.SetHeaderClassId({0x01, 0x02, 0x01, 0x0d, 0x00, 0x02, 0x00, 0x00, 0x06, 0x0e, 0x2b, 0x34,
                         0x03, 0x02, 0x01, 0x01});
  file.SetRootClassId({0xa5, 0x98, 0xb3, 0xb3, 0x90, 0x1c, 0xd4, 0x11, 0x80, 0x53, 0x08, 0x00, 0x36,
                       0x21, 0x08, 0x04});
  StorageWriter writer(file);
  std::string head;
  head += static_cast<char>(littleEndian);
  head += static_cast<char>(propertiesVersion);
  Put(head, 2, 2);
  const std::string meta = StoredString("MetaDictionary-1"), header = StoredString("Header-2");
  Put(head, 0x0001, 2);
  Put(head, formStrong, 2);
  Put(head, meta.size(), 2);
  Put(head, 0x0002, 2);
  Put(head, formStrong, 2);
  Put(head, header.size(), 2);
  writer.Write(*header_, 0, "Header-2");
  writer.Write(*metaDictionary_, 0, "MetaDictionary-1");
  file.AddStreamIn(0, "properties", head + meta + header);
  // The weak references' target paths, each a list of local ids ending in 0.
  std::string table(1, static_cast<char>(littleEndian));
  const auto& paths = TargetPaths();
  std::size_t ids = 0;
  for (const auto& path : paths) ids += path.size() + 1;
  Put(table, paths.size(), 2);
  Put(table, ids, 4);
  for (const auto& path : paths) {
    for (const std::uint16_t pid : path) Put(table, pid, 2);
    Put(table, 0, 2);
  }
  file.AddStreamIn(0, "referenced properties", std::move(table));
  return file.Bytes();
}

}  // namespace pexol::aaf
