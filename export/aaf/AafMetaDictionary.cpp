// export/aaf/AafMetaDictionary.cpp - class and type definitions as AAF's own objects
#include "export/aaf/AafMetaDictionary.h"

#include <string>

#include "core/ByteWriter.h"

namespace pexol::aaf {

namespace {

std::string Key(std::string_view id) {
  return std::string(KeyOf(AuidOf(id)));
}

// Names as AAF's string arrays hold them: each UTF-16, ending in a zero unit; they are ASCII.
std::string Utf16Array(const std::vector<const char*>& names) {
  ByteWriter out;
  for (const char* name : names) {
    for (const char* c = name; *c != '\0'; ++c) out.WriteWord(static_cast<unsigned char>(*c));
    out.WriteWord(0);
  }
  return out.TakeBytes();
}

std::string Integers64(const std::vector<std::int64_t>& values) {
  ByteWriter out;
  for (const std::int64_t value : values) {
    out.WriteDword(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
    out.WriteDword(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) >> 32));
  }
  return out.TakeBytes();
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
