// export/aaf/AafMetaDictionary.cpp - class and type definitions as AAF's own objects
#include "export/aaf/AafMetaDictionary.h"

#include <string>

namespace pexol::aaf {

namespace {

std::string Key(std::string_view id) {
  return std::string(KeyOf(AuidOf(id)));
}

std::string Utf16Array(const std::vector<const char*>& names) {
  std::string out;
  for (const char* name : names) {
    for (const char* c = name; *c != '\0'; ++c) {
      out += *c;
      out += '\0';
    }
    out += std::string(2, '\0');
  }
  return out;
}

std::string Integers64(const std::vector<std::int64_t>& values) {
  std::string out;
  for (const std::int64_t value : values)
    for (int i = 0; i < 8; ++i) out += static_cast<char>((std::uint64_t(value) >> (8 * i)) & 0xFF);
  return out;
}

std::string Ids(const std::vector<const char*>& ids) {
  std::string out;
  for (const char* id : ids) out += Key(id);
  return out;
}

void ClassDefinition(Node& object, const ClassDef& cls) {
  object.String("Name", cls.name).Id("Identification", AuidOf(cls.id));
  object.Bool("IsConcrete", cls.concrete).Refer("ParentClass", Key(cls.parent));
  object.Empty("Properties");
  for (const PropertyDef& property : cls.properties)
    object.AddToSet("Properties", "PropertyDefinition", Key(property.id), [&](Node& definition) {
      definition.String("Name", property.name).Id("Identification", AuidOf(property.id));
      definition.Id("Type", AuidOf(property.type)).Bool("IsOptional", property.optional);
      definition.Int("LocalIdentification", property.pid);
      if (property.unique) definition.Bool("IsUniqueIdentifier", true);
    });
}

const char* TypeClass(TypeKind kind) {
  switch (kind) {
    case TypeKind::Integer:
      return "TypeDefinitionInteger";
    case TypeKind::Enum:
      return "TypeDefinitionEnumeration";
    case TypeKind::Record:
      return "TypeDefinitionRecord";
    case TypeKind::FixedArray:
      return "TypeDefinitionFixedArray";
    case TypeKind::VarArray:
      return "TypeDefinitionVariableArray";
    case TypeKind::Rename:
      return "TypeDefinitionRename";
    case TypeKind::String:
      return "TypeDefinitionString";
    case TypeKind::Stream:
      return "TypeDefinitionStream";
    case TypeKind::Opaque:
      return "TypeDefinitionOpaque";
    case TypeKind::ExtEnum:
      return "TypeDefinitionExtendibleEnumeration";
    case TypeKind::Character:
      return "TypeDefinitionCharacter";
    case TypeKind::Indirect:
      return "TypeDefinitionIndirect";
    case TypeKind::Set:
      return "TypeDefinitionSet";
    case TypeKind::StrongRef:
      return "TypeDefinitionStrongObjectReference";
    case TypeKind::WeakRef:
      return "TypeDefinitionWeakObjectReference";
  }
  return "TypeDefinition";
}

void TypeDefinition(Node& object, const TypeDef& type) {
  object.String("Name", type.name).Id("Identification", AuidOf(type.id));
  switch (type.kind) {
    case TypeKind::Integer:
      object.Int("Size", type.size).Bool("IsSigned", type.isSigned);
      break;
    case TypeKind::Enum:
      object.Refer("ElementType", Key(type.element));
      object.Bytes("ElementNames", Utf16Array(type.names));
      object.Bytes("ElementValues", Integers64(type.values));
      break;
    case TypeKind::Record: {
      std::vector<Auid> members;
      for (const char* id : type.ids) members.push_back(AuidOf(id));
      object.ReferAll("MemberTypes", members).Bytes("MemberNames", Utf16Array(type.names));
      break;
    }
    case TypeKind::FixedArray:
      object.Refer("ElementType", Key(type.element)).Int("ElementCount", type.size);
      break;
    case TypeKind::VarArray:
    case TypeKind::Set:
    case TypeKind::String:
      object.Refer("ElementType", Key(type.element));
      break;
    case TypeKind::Rename:
      object.Refer("RenamedType", Key(type.element));
      break;
    case TypeKind::ExtEnum:
      object.Bytes("ElementNames", Utf16Array(type.names)).Bytes("ElementValues", Ids(type.ids));
      break;
    case TypeKind::StrongRef:
      object.Refer("ReferencedType", Key(type.element));
      break;
    case TypeKind::WeakRef:
      object.Refer("ReferencedType", Key(type.element)).Bytes("TargetSet", Ids(type.ids));
      break;
    case TypeKind::Stream:
    case TypeKind::Opaque:
    case TypeKind::Character:
    case TypeKind::Indirect:
      break;
  }
}

}  // namespace

void FillMetaDictionary(Node& dictionary) {
  for (const ClassDef& cls : ModelClasses())
    dictionary.AddToSet("ClassDefinitions", "ClassDefinition", Key(cls.id),
                        [&](Node& object) { ClassDefinition(object, cls); });
  for (const TypeDef& type : ModelTypes())
    dictionary.AddToSet("TypeDefinitions", TypeClass(type.kind), Key(type.id),
                        [&](Node& object) { TypeDefinition(object, type); });
}

}  // namespace pexol::aaf
