#!/usr/bin/env python3
"""Writes export/aaf/AafModelTable.cpp: the AAF classes the writer makes objects of, their
ancestors and every type their properties name, with SMPTE's registered identifiers.

The baseline model is read from pyaaf2's tables (../shared/aaf/pyaaf2/aaf2/model):
    tools/aaf/generate-model.py ../shared/aaf/pyaaf2 > export/aaf/AafModelTable.cpp
    clang-format -i export/aaf/AafModelTable.cpp
Add a class to USED and run it again to write objects of another class."""
import os
import runpy
import sys

USED = [
    "Header", "ContentStorage", "Dictionary", "Identification", "MetaDictionary",
    "ClassDefinition", "PropertyDefinition",
    "TypeDefinitionInteger", "TypeDefinitionStrongObjectReference",
    "TypeDefinitionWeakObjectReference", "TypeDefinitionEnumeration",
    "TypeDefinitionFixedArray", "TypeDefinitionVariableArray", "TypeDefinitionSet",
    "TypeDefinitionString", "TypeDefinitionStream", "TypeDefinitionRecord",
    "TypeDefinitionRename", "TypeDefinitionExtendibleEnumeration",
    "TypeDefinitionIndirect", "TypeDefinitionOpaque", "TypeDefinitionCharacter",
    "DataDefinition", "OperationDefinition", "ParameterDefinition",
    "InterpolationDefinition", "ContainerDefinition",
    "CompositionMob", "MasterMob", "SourceMob", "TimelineMobSlot", "EventMobSlot",
    "Sequence", "SourceClip", "Filler", "Transition", "OperationGroup", "ConstantValue",
    "VaryingValue", "ControlPoint", "Timecode", "DescriptiveMarker", "TaggedValue",
    "CDCIDescriptor", "PCMDescriptor", "TapeDescriptor", "ImportDescriptor",
    "NetworkLocator",
]


def load(root, name):
    return runpy.run_path(os.path.join(root, "aaf2", "model", name + ".py"))


def main():
    root = sys.argv[1]
    classdefs = load(root, "classdefs")["classdefs"]
    t = type("Tables", (), load(root, "typedefs"))
    by_id = {v[0]: k for k, v in classdefs.items()}

    classes = []
    for name in USED:
        while name and name not in classes:
            classes.append(name)
            parent = classdefs[name][1]
            name = by_id.get(parent) if parent else None
    # Parents first, so a reader meets a class's parent before the class.
    order = []

    def place(name):
        if name in order:
            return
        parent = classdefs[name][1]
        if parent and by_id[parent] != name:
            place(by_id[parent])
        order.append(name)

    for name in classes:
        place(name)

    types = {}
    for kind, table in (("Integer", t.ints), ("Enum", t.enums), ("Record", t.records),
                        ("FixedArray", t.fixed_arrays), ("VarArray", t.var_arrays),
                        ("Rename", t.renames), ("String", t.strings), ("Stream", t.streams),
                        ("Opaque", t.opaques), ("ExtEnum", t.extenums), ("Character", t.chars),
                        ("Indirect", t.indirects), ("Set", t.sets), ("StrongRef", t.strongrefs),
                        ("WeakRef", t.weakrefs)):
        for name, value in table.items():
            if isinstance(value, str):
                value = (value,)
            types[value[0]] = (kind, name, value)

    used_types = []

    def use_type(type_id):
        if type_id in used_types:
            return
        kind, name, value = types[type_id]
        used_types.append(type_id)
        if kind in ("Enum", "FixedArray", "VarArray", "Rename", "String", "Set"):
            use_type(value[1])
        elif kind == "Record":
            for _, member in value[1]:
                use_type(member)

    for name in order:
        for prop in classdefs[name][3].values():
            if prop[1] is not None:
                use_type(prop[2])

    out = []
    w = out.append
    w("// export/aaf/AafModelTable.cpp - the AAF classes and types the writer uses, with SMPTE's")
    w("// registered identifiers (written by tools/aaf/generate-model.py; run it again to change)")
    w('#include "export/aaf/AafModel.h"')
    w("")
    w("namespace pexol::aaf {")
    w("")
    w("std::span<const ClassDef> ModelClasses() {")
    w("  static const ClassDef classes[] = {")
    for name in order:
        cid, parent, concrete, props = classdefs[name]
        w('      {.name = "%s", .id = "%s", .parent = "%s", .concrete = %s, .properties = {' % (
            name, cid, parent or cid, "true" if concrete else "false"))
        for pname, (pid_auid, pid, type_id, optional, unique) in props.items():
            if pid is None:  # a later extension with a pid given per file; never written
                continue
            w('        {"%s", "%s", 0x%04x, "%s", %s, %s},' % (
                pname, pid_auid, pid, type_id, "true" if optional else "false", "true" if unique else "false"))
        w("      }},")
    w("  };")
    w("  return classes;")
    w("}")
    w("")
    w("std::span<const TypeDef> ModelTypes() {")
    w("  static const TypeDef types[] = {")
    for type_id in used_types:
        kind, name, value = types[type_id]
        fields = []
        if kind == "Integer":
            fields.append(".size = %d, .isSigned = %s" % (value[1], "true" if value[2] else "false"))
        elif kind == "Enum":
            items = sorted(value[2].items())
            fields.append('.element = "%s"' % value[1])
            fields.append(".names = {%s}" % ", ".join('"%s"' % n for _, n in items))
            fields.append(".values = {%s}" % ", ".join(str(v) for v, _ in items))
        elif kind == "Record":
            fields.append(".names = {%s}" % ", ".join('"%s"' % n for n, _ in value[1]))
            fields.append(".ids = {%s}" % ", ".join('"%s"' % m for _, m in value[1]))
        elif kind == "FixedArray":
            fields.append('.element = "%s", .size = %d' % (value[1], value[2]))
        elif kind in ("VarArray", "Rename", "String", "Set", "StrongRef"):
            fields.append('.element = "%s"' % value[1])
        elif kind == "WeakRef":
            fields.append('.element = "%s"' % value[1])
            fields.append(".ids = {%s}" % ", ".join('"%s"' % p for p in value[2]))
        elif kind == "ExtEnum":
            items = list(value[1].items())
            fields.append(".names = {%s}" % ", ".join('"%s"' % n for _, n in items))
            fields.append(".ids = {%s}" % ", ".join('"%s"' % i for i, _ in items))
        w('      {.kind = TypeKind::%s, .name = "%s", .id = "%s"%s},' % (
            kind, name, type_id, "".join(", " + f for f in fields)))
    w("  };")
    w("  return types;")
    w("}")
    w("")
    w("}  // namespace pexol::aaf")
    print("\n".join(out))


main()
