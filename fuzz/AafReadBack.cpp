// fuzz/AafReadBack.cpp - the compound file's sectors, tables and directory, then the AAF
// objects' property streams, read with every size and link checked
#include "fuzz/AafReadBack.h"

#include <cstring>
#include <functional>
#include <set>
#include <stdexcept>

namespace pexol::fuzz {

namespace {

struct Fault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::uint64_t Le(const std::string& bytes, std::size_t at, int size) {
  if (at + static_cast<std::size_t>(size) > bytes.size()) throw Fault("a read past the end");
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

struct Entry {
  std::string name;  // ASCII names as they are; other units as '?'
  int type = 0;
  std::uint32_t left, right, child, start;
  std::uint64_t size;
  std::string clsid;
  std::vector<std::size_t> children;
  std::string bytes;
};

// The container: header, allocation tables, directory, and every stream's bytes.
class Container {
 public:
  explicit Container(const std::string& file) : file_(file) {
    if (file.size() < 512 || file.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") != 0)
      throw Fault("no compound file signature");
    sector_ = std::size_t{1} << Le(file, 30, 2);
    miniSector_ = std::size_t{1} << Le(file, 32, 2);
    if (sector_ != 512 && sector_ != 4096)
      throw Fault("a sector size of " + std::to_string(sector_));
    cutoff_ = Le(file, 56, 4);
    const std::size_t fatSectors = Le(file, 44, 4);
    if (Le(file, 68, 4) != 0xFFFFFFFE && Le(file, 72, 4) != 0)
      throw Fault("more allocation-table sectors than the header lists");
    for (std::size_t k = 0; k < fatSectors && k < 109; ++k) {
      const std::size_t at = SectorAt(Le(file, 76 + 4 * k, 4));
      for (std::size_t i = 0; i < sector_ / 4; ++i)
        fat_.push_back(static_cast<std::uint32_t>(Le(file, at + 4 * i, 4)));
    }
    const std::string directory = Chain(static_cast<std::uint32_t>(Le(file, 48, 4)), fat_, nullptr);
    for (std::size_t at = 0; at + 128 <= directory.size(); at += 128) {
      Entry entry;
      const std::size_t nameBytes = Le(directory, at + 64, 2);
      if (nameBytes > 64) throw Fault("a name longer than 32 units");
      for (std::size_t k = 0; k + 2 < nameBytes; k += 2) {
        const auto unit = Le(directory, at + k, 2);
        entry.name += unit < 0x80 ? static_cast<char>(unit) : '?';
      }
      entry.type = static_cast<int>(Le(directory, at + 66, 1));
      entry.left = static_cast<std::uint32_t>(Le(directory, at + 68, 4));
      entry.right = static_cast<std::uint32_t>(Le(directory, at + 72, 4));
      entry.child = static_cast<std::uint32_t>(Le(directory, at + 76, 4));
      entry.clsid = directory.substr(at + 80, 16);
      entry.start = static_cast<std::uint32_t>(Le(directory, at + 116, 4));
      entry.size = Le(directory, at + 120, 8);
      entries_.push_back(std::move(entry));
    }
    if (entries_.empty() || entries_[0].type != 5) throw Fault("no root entry");
    const std::string miniFat = Chain(static_cast<std::uint32_t>(Le(file, 60, 4)), fat_, nullptr);
    for (std::size_t i = 0; i + 4 <= miniFat.size(); i += 4)
      miniFat_.push_back(static_cast<std::uint32_t>(Le(miniFat, i, 4)));
    miniStream_ = Chain(entries_[0].start, fat_, nullptr);
    // Every entry reached once from the root, its siblings a tree.
    std::vector<bool> seen(entries_.size(), false);
    seen[0] = true;
    Collect(0, seen);
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (!seen[i] && entries_[i].type != 0)
        throw Fault("entry " + entries_[i].name + " is unreachable");
  }

  Entry& At(std::size_t i) { return entries_[i]; }

  const Entry* Child(const Entry& storage, const std::string& name) const {
    for (const std::size_t i : storage.children)
      if (entries_[i].name == name) return &entries_[i];
    return nullptr;
  }

 private:
  std::size_t SectorAt(std::uint64_t sector) const {
    const std::size_t at = (static_cast<std::size_t>(sector) + 1) * sector_;
    if (sector >= 0xFFFFFFFA || at + sector_ > file_.size()) throw Fault("a sector past the file");
    return at;
  }

  // The bytes of a chain of sectors (or of mini sectors, from the mini stream).
  std::string Chain(std::uint32_t first, const std::vector<std::uint32_t>& table,
                    const std::string* mini) {
    std::string out;
    std::set<std::uint32_t> visited;
    for (std::uint32_t at = first; at != 0xFFFFFFFE;) {
      if (!visited.insert(at).second) throw Fault("a chain of sectors that loops");
      if (mini) {
        if ((at + 1) * miniSector_ > mini->size())
          throw Fault("a mini sector past the mini stream");
        out.append(*mini, at * miniSector_, miniSector_);
      } else {
        out.append(file_, SectorAt(at), sector_);
      }
      if (at >= table.size()) throw Fault("a sector past the allocation table");
      at = table[at];
    }
    return out;
  }

  void Collect(std::size_t storage, std::vector<bool>& seen) {
    std::function<void(std::uint32_t)> walk = [&](std::uint32_t id) {
      if (id == 0xFFFFFFFF) return;
      if (id >= entries_.size() || seen[id]) throw Fault("a sibling tree that loops");
      seen[id] = true;
      walk(entries_[id].left);
      entries_[storage].children.push_back(id);
      walk(entries_[id].right);
    };
    walk(entries_[storage].child);
    for (const std::size_t child : entries_[storage].children) {
      Entry& entry = entries_[child];
      if (entry.type == 1) Collect(child, seen);
      if (entry.type != 2) continue;
      const bool small = entry.size < cutoff_;
      entry.bytes = entry.size == 0 ? std::string()
                                    : Chain(entry.start, small ? miniFat_ : fat_,
                                            small ? &miniStream_ : nullptr);
      if (entry.bytes.size() < entry.size) throw Fault("stream " + entry.name + " is cut short");
      entry.bytes.resize(entry.size);
    }
  }

  const std::string& file_;
  std::size_t sector_ = 0, miniSector_ = 0, cutoff_ = 0;
  std::vector<std::uint32_t> fat_, miniFat_;
  std::string miniStream_;
  std::vector<Entry> entries_;
};

struct Property {
  std::uint16_t pid;
  std::uint16_t form;
  std::string data;
};

// An object: its properties by local id.
std::map<std::uint16_t, Property> PropertiesOf(const Container& container, const Entry& object) {
  const Entry* stream = container.Child(object, "properties");
  if (stream == nullptr) throw Fault(object.name + " has no properties");
  const std::string& bytes = stream->bytes;
  if (Le(bytes, 0, 1) != 0x4C) throw Fault(object.name + ": properties not little-endian");
  const std::size_t count = Le(bytes, 2, 2);
  std::size_t data = 4 + 6 * count;
  std::map<std::uint16_t, Property> properties;
  for (std::size_t i = 0; i < count; ++i) {
    Property property{static_cast<std::uint16_t>(Le(bytes, 4 + 6 * i, 2)),
                      static_cast<std::uint16_t>(Le(bytes, 6 + 6 * i, 2)),
                      {}};
    const std::size_t size = Le(bytes, 8 + 6 * i, 2);
    if (data + size > bytes.size()) throw Fault(object.name + ": a property past its stream");
    property.data = bytes.substr(data, size);
    data += size;
    properties[property.pid] = property;
  }
  if (data != bytes.size()) throw Fault(object.name + ": properties that do not add up");
  return properties;
}

std::string Ascii(const std::string& utf16) {
  std::string out;
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const auto unit = Le(utf16, i, 2);
    if (unit == 0) break;
    out += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return out;
}

// The objects a strong reference, vector or set holds, checked against its index.
std::vector<const Entry*> Held(const Container& container, const Entry& object,
                               const Property& property) {
  const std::string name = Ascii(property.data);
  if (property.form == 0x22) {
    const Entry* child = container.Child(object, name);
    if (child == nullptr || child->type != 1) throw Fault(object.name + ": no " + name);
    return {child};
  }
  const Entry* index = container.Child(object, name + " index");
  if (index == nullptr) throw Fault(object.name + ": no index of " + name);
  const std::size_t count = Le(index->bytes, 0, 4);
  const bool set = property.form == 0x3A;
  const std::size_t keySize = set ? Le(index->bytes, 14, 1) : 0;
  const std::size_t first = set ? 15 : 12, each = set ? 8 + keySize : 4;
  if (index->bytes.size() != first + count * each) throw Fault(name + ": an index of another size");
  std::vector<const Entry*> held;
  for (std::size_t i = 0; i < count; ++i) {
    char element[16];
    std::snprintf(element, sizeof element, "{%x}",
                  static_cast<unsigned>(Le(index->bytes, first + i * each, 4)));
    const Entry* child = container.Child(object, name + element);
    if (child == nullptr) throw Fault(name + element + " is not there");
    held.push_back(child);
  }
  return held;
}

std::int64_t Signed(const std::string& data) {
  return static_cast<std::int64_t>(Le(data, 0, static_cast<int>(data.size())));
}

constexpr char compositionClass[] =
    "\x01\x01\x01\x0d\x01\x01\x00\x35\x06\x0e\x2b\x34\x02\x06\x01\x01";
constexpr char sourceClipClass[] =
    "\x01\x01\x01\x0d\x01\x01\x00\x11\x06\x0e\x2b\x34\x02\x06\x01\x01";
constexpr char fillerClass[] = "\x01\x01\x01\x0d\x01\x01\x00\x09\x06\x0e\x2b\x34\x02\x06\x01\x01";
constexpr char transitionClass[] =
    "\x01\x01\x01\x0d\x01\x01\x00\x17\x06\x0e\x2b\x34\x02\x06\x01\x01";
constexpr char groupClass[] = "\x01\x01\x01\x0d\x01\x01\x00\x0a\x06\x0e\x2b\x34\x02\x06\x01\x01";
constexpr char sequenceClass[] = "\x01\x01\x01\x0d\x01\x01\x00\x0f\x06\x0e\x2b\x34\x02\x06\x01\x01";
constexpr char timecodeClass[] = "\x01\x01\x01\x0d\x01\x01\x00\x14\x06\x0e\x2b\x34\x02\x06\x01\x01";

bool Is(const Entry& entry, const char (&clsid)[17]) {
  return entry.clsid == std::string(clsid, 16);
}

AafTrackRead ReadTrack(const Container& container, const Entry& sequence, const std::string& name) {
  AafTrackRead track{name};
  const auto properties = PropertiesOf(container, sequence);
  std::int64_t sum = 0;
  for (const Entry* component : Held(container, sequence, properties.at(0x1001))) {
    const auto own = PropertiesOf(container, *component);
    const std::int64_t length = own.count(0x0202) ? Signed(own.at(0x0202).data) : 0;
    if (Is(*component, transitionClass)) {
      sum -= length;
      ++track.transitions;
      continue;
    }
    sum += length;
    const Entry* inner = component;
    if (Is(*component, groupClass)) {
      const auto inputs = Held(container, *component, own.at(0x0b02));
      if (inputs.size() != 1)
        throw Fault(name + ": an effect of " + std::to_string(inputs.size()) + " inputs");
      inner = inputs[0];
    }
    if (!Is(*inner, sourceClipClass) && !Is(*inner, fillerClass))
      throw Fault(name + ": a component of another class");
  }
  track.length = sum;
  if (Signed(properties.at(0x0202).data) != sum)
    throw Fault(name + ": a sequence whose length is not its components'");
  return track;
}

}  // namespace

AafReadResult ReadAafBack(const std::string& bytes) {
  AafReadResult result;
  try {
    Container container(bytes);
    const Entry* header = container.Child(container.At(0), "Header-2");
    const Entry* content = header ? container.Child(*header, "Content-3b03") : nullptr;
    if (content == nullptr) throw Fault("no header or content");
    const auto mobs = Held(container, *content, PropertiesOf(container, *content).at(0x1901));
    for (const Entry* mob : mobs) {
      if (!Is(*mob, compositionClass)) continue;
      ++result.file.topLevel;
      const auto properties = PropertiesOf(container, *mob);
      bool first = true;
      for (const Entry* slot : Held(container, *mob, properties.at(0x4403))) {
        const auto own = PropertiesOf(container, *slot);
        const Entry* segment = Held(container, *slot, own.at(0x4803)).front();
        if (first) result.file.timecode = Is(*segment, timecodeClass);
        first = false;
        if (!Is(*segment, sequenceClass) || !own.count(0x4b01)) continue;  // timecode, markers
        result.file.tracks.push_back(ReadTrack(container, *segment, Ascii(own.at(0x4802).data)));
      }
    }
  } catch (const std::exception& fault) {
    result.broken = fault.what();
  }
  return result;
}

}  // namespace pexol::fuzz
