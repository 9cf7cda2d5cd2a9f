// export/aaf/AafModel.cpp - lookups into the model's tables
#include "export/aaf/AafModel.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace pexol::aaf {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  throw std::invalid_argument("not an AUID");
}

[[noreturn]] void Missing(std::string_view what, std::string_view name) {
  throw std::logic_error("the AAF model has no " + std::string(what) + " " + std::string(name));
}

// The name a property's storage or index goes by: its name, squeezed to leave room for "-pid"
// (and, for sets and vectors, an element's "{n}" and " index") within the container's 31.
std::string StorageName(const PropertyDef& def, std::size_t room) {
  char pid[8];
  std::snprintf(pid, sizeof pid, "%x", def.pid);
  const std::string_view name = def.name;
  const std::size_t size = room - std::string_view(pid).size() - 2;
  std::string squeezed(name);
  if (name.size() > size) {
    const std::size_t half = size / 2;
    squeezed = std::string(name.substr(0, half)) + "-" +
               std::string(name.substr(name.size() - (size - half - 1)));
  }
  return squeezed + "-" + pid;
}

}  // namespace

Auid AuidOf(std::string_view text) {
  std::array<std::uint8_t, 16> plain{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '-') continue;
    if (at >= 32 || i + 1 >= text.size()) throw std::invalid_argument("not an AUID");
    plain[at / 2] = std::uint8_t(HexDigit(text[i]) * 16 + HexDigit(text[i + 1]));
    at += 2;
    ++i;
  }
  if (at != 32) throw std::invalid_argument("not an AUID");
  // Data1 (4 bytes), Data2 and Data3 (2 each) are integers, stored little-endian.
  return {plain[3], plain[2], plain[1],  plain[0],  plain[5],  plain[4],  plain[7],  plain[6],
          plain[8], plain[9], plain[10], plain[11], plain[12], plain[13], plain[14], plain[15]};
}

Model::Model() {
  for (const ClassDef& cls : ModelClasses()) {
    classes_[cls.name] = &cls;
    classIds_[cls.id] = &cls;
    for (const PropertyDef& property : cls.properties) pids_[property.id] = property.pid;
  }
  for (const TypeDef& type : ModelTypes()) types_[type.id] = &type;
  // The root storage's two properties.
  pids_["0d010301-0101-0100-060e-2b3401010102"] = 0x0001;  // MetaDictionary
  pids_["0d010301-0102-0100-060e-2b3401010102"] = 0x0002;  // Header
  for (const TypeDef& type : ModelTypes()) {
    if (type.kind != TypeKind::WeakRef) continue;
    std::vector<std::uint16_t> path;
    for (const char* id : type.ids) path.push_back(PidOf(id));
    if (std::find(targetPaths_.begin(), targetPaths_.end(), path) == targetPaths_.end())
      targetPaths_.push_back(std::move(path));
  }
  for (const ClassDef& cls : ModelClasses()) {
    ClassInfo& info = infos_[cls.name];
    info.def = &cls;
    info.id = AuidOf(cls.id);
    for (const ClassDef* at = &cls;;) {
      for (const PropertyDef& property : at->properties)
        info.properties.try_emplace(property.name, InfoOf(property));
      const ClassDef* parent = ClassWithId(at->parent);
      if (parent == nullptr || parent == at) break;
      at = parent;
    }
    std::size_t size = 8;
    while (size < 4 * info.properties.size()) size *= 2;
    info.table.assign(size, {});
    for (const auto& [name, property] : info.properties) {
      std::size_t at = info.Slot(name);
      while (info.table[at].second != nullptr) at = (at + 1) & (size - 1);
      info.table[at] = {name, &property};
    }
  }
}

std::uint16_t Model::TagOf(const TypeDef& weakReference) const {
  std::vector<std::uint16_t> path;
  for (const char* id : weakReference.ids) path.push_back(PidOf(id));
  const auto found = std::find(targetPaths_.begin(), targetPaths_.end(), path);
  return static_cast<std::uint16_t>(found - targetPaths_.begin());
}

PropertyInfo Model::InfoOf(const PropertyDef& property) const {
  PropertyInfo info;
  info.def = &property;
  info.type = &Type(property.type);
  const TypeDef* base = info.type;
  while (base->kind == TypeKind::Enum || base->kind == TypeKind::Rename)
    base = &Type(base->element);
  if (base->kind == TypeKind::Integer) info.width = base->size;
  info.strongName = StorageName(property, 32);
  info.collectionName = StorageName(property, 22);
  info.indexName = info.collectionName + " index";
  // As AAF stores strings: UTF-16 little-endian ending in a zero unit; the names are ASCII.
  for (const auto& [name, stored] : {std::pair{&info.strongName, &info.strongNameStored},
                                     std::pair{&info.collectionName, &info.collectionNameStored}}) {
    for (const char c : *name) *stored += c, *stored += '\0';
    *stored += std::string(2, '\0');
  }
  const TypeDef* element = info.type;
  if (element->kind == TypeKind::Set || element->kind == TypeKind::VarArray)
    element = &Type(element->element);
  if (element->kind == TypeKind::WeakRef) {
    info.weakTag = TagOf(*element);
    if (const ClassDef* target = ClassWithId(element->element))
      if (const PropertyDef* key = Key(*target)) info.weakKeyPid = key->pid;
  }
  if (element->kind == TypeKind::StrongRef) {
    const ClassDef* held = ClassWithId(element->element);
    const PropertyDef* key = held != nullptr ? Key(*held) : nullptr;
    // A parameter has no key of its own: its set goes by its definition, stored under the
    // definitions' key id, as Media Composer and the AAF toolkit write it.
    info.setKeyPid = key != nullptr ? key->pid : 0x1b01;
  }
  return info;
}

const ClassInfo& Model::Info(std::string_view name) const {
  const auto found = infos_.find(name);
  if (found == infos_.end()) Missing("class", name);
  return found->second;
}

const Model& Model::Get() {
  static const Model model;
  return model;
}

const ClassDef& Model::Class(std::string_view name) const {
  const auto found = classes_.find(name);
  if (found == classes_.end()) Missing("class", name);
  return *found->second;
}

const ClassDef* Model::ClassWithId(std::string_view id) const {
  const auto found = classIds_.find(id);
  return found == classIds_.end() ? nullptr : found->second;
}

const PropertyDef& Model::Property(const ClassDef& cls, std::string_view name) const {
  for (const ClassDef* at = &cls;;) {
    for (const PropertyDef& property : at->properties)
      if (name == property.name) return property;
    const ClassDef* parent = ClassWithId(at->parent);
    if (parent == nullptr || parent == at) Missing(std::string(cls.name) + " property", name);
    at = parent;
  }
}

const TypeDef& Model::Type(std::string_view id) const {
  const auto found = types_.find(id);
  if (found == types_.end()) Missing("type", id);
  return *found->second;
}

std::uint16_t Model::PidOf(std::string_view id) const {
  const auto found = pids_.find(id);
  if (found == pids_.end()) Missing("property", id);
  return found->second;
}

const PropertyDef* Model::Key(const ClassDef& cls) const {
  for (const ClassDef* at = &cls;;) {
    for (const PropertyDef& property : at->properties)
      if (property.unique) return &property;
    const ClassDef* parent = ClassWithId(at->parent);
    if (parent == nullptr || parent == at) return nullptr;
    at = parent;
  }
}

}  // namespace pexol::aaf
