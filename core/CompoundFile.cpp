// core/CompoundFile.cpp - the sectors, allocation tables, directory and mini stream of a
// version 4 compound file, laid out once the whole tree is known
#include "core/CompoundFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>
#include <stdexcept>

#include "core/TextEncoding.h"
#include "core/Translation.h"

namespace pexol {

namespace {

constexpr std::size_t sectorSize = 4096;
constexpr std::size_t miniSectorSize = 64;
constexpr std::size_t miniStreamCutoff = 4096;
constexpr std::size_t entrySize = 128;
constexpr std::size_t entriesPerSector = sectorSize / entrySize;
constexpr std::size_t idsPerSector = sectorSize / 4;
constexpr std::size_t headerFatSectors = 109;
constexpr std::uint32_t freeSector = 0xFFFFFFFF;
constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t fatSector = 0xFFFFFFFD;
constexpr std::uint32_t noStream = 0xFFFFFFFF;
constexpr std::size_t maxNameUnits = 31;

std::size_t Ceil(std::size_t value, std::size_t unit) {
  return (value + unit - 1) / unit;
}

void Put16(std::string& out, std::size_t at, std::uint16_t value) {
  char* to = out.data() + at;
  to[0] = static_cast<char>(value & 0xFF);
  to[1] = static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::size_t at, std::uint32_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out.data() + at, &value, sizeof value);
  } else {
    char* to = out.data() + at;
    for (int i = 0; i < 4; ++i) to[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

// The format's order of siblings: shorter names first, then unit by unit in upper case.
bool NameBefore(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return a.size() < b.size();
  const auto upper = [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  };
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && upper(a[i]) != upper(b[i])) return upper(a[i]) < upper(b[i]);
  return false;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  return !NameBefore(a, b) && !NameBefore(b, a);
}

struct TreeLinks {
  std::uint32_t left = noStream;
  std::uint32_t right = noStream;
  std::uint32_t child = noStream;
  bool red = false;
};

// The entries `sorted[from, to)` as a balanced tree, its root returned; the level `redLevel`
// (the last, when it is not full) red.
std::uint32_t BuildTree(std::span<const std::size_t> sorted, std::size_t from, std::size_t to,
                        std::size_t depth, std::size_t redLevel, std::vector<TreeLinks>& links) {
  if (from >= to) return noStream;
  const std::size_t middle = from + (to - from) / 2;
  const std::size_t id = sorted[middle];
  links[id].left = BuildTree(sorted, from, middle, depth + 1, redLevel, links);
  links[id].right = BuildTree(sorted, middle + 1, to, depth + 1, redLevel, links);
  links[id].red = depth == redLevel;
  return static_cast<std::uint32_t>(id);
}

}  // namespace

CompoundFileWriter::CompoundFileWriter() {
  Entry root;
  names_ = u"Root Entry";
  root.nameLength = static_cast<std::uint8_t>(names_.size());
  root.type = 5;
  entries_.push_back(root);
}

void CompoundFileWriter::SetRootClassId(const ClassId& id) {
  entries_.front().classId = id;
}

void CompoundFileWriter::SetHeaderClassId(const ClassId& id) {
  headerClassId_ = id;
}

std::size_t CompoundFileWriter::Parent(std::string_view path, std::u16string& name) const {
  std::size_t parent = 0;
  while (true) {
    const std::size_t slash = path.find('/');
    name = Utf16Of(path.substr(0, slash));
    if (name.size() > maxNameUnits) return entries_.size();
    if (slash == std::string_view::npos) return parent;
    std::size_t found = entries_.size();
    for (std::size_t i = 1; i < entries_.size() && found == entries_.size(); ++i)
      if (entries_[i].parent == parent && entries_[i].type == 1 &&
          SameName(NameOf(entries_[i]), name))
        found = i;
    if (found == entries_.size()) return found;
    parent = found;
    path.remove_prefix(slash + 1);
  }
}

bool CompoundFileWriter::Add(std::string_view path, Entry entry, std::string_view bytes) {
  std::u16string name;
  const std::size_t parent = Parent(path, name);
  if (parent == entries_.size() || name.empty()) return false;
  for (std::size_t i = 1; i < entries_.size(); ++i)
    if (entries_[i].parent == parent && SameName(NameOf(entries_[i]), name)) return false;
  const std::string utf8(
      path.substr(path.rfind('/') == std::string_view::npos ? 0 : path.rfind('/') + 1));
  Append(parent, utf8, entry, bytes);
  return true;
}

bool CompoundFileWriter::AddStorage(std::string_view path, const ClassId& classId) {
  Entry entry;
  entry.type = 1;
  entry.classId = classId;
  return Add(path, entry, {});
}

bool CompoundFileWriter::AddStream(std::string_view path, std::string bytes) {
  Entry entry;
  entry.type = 2;
  return Add(path, entry, bytes);
}

std::size_t CompoundFileWriter::Append(std::size_t parent, std::string_view name, Entry entry,
                                       std::string_view bytes) {
  entry.name = static_cast<std::uint32_t>(names_.size());
  // Writers' names are ASCII; any other goes through the text unit.
  bool ascii = true;
  for (const char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii)
    names_.append(name.begin(), name.end());
  else
    names_ += Utf16Of(name);
  const std::size_t length = std::min(names_.size() - entry.name, maxNameUnits);
  names_.resize(entry.name + length);
  entry.nameLength = static_cast<std::uint8_t>(length);
  entry.parent = static_cast<std::uint32_t>(parent);
  entry.offset = data_.size();
  entry.size = bytes.size();
  data_ += bytes;
  entries_.push_back(entry);
  return entries_.size() - 1;
}

std::size_t CompoundFileWriter::AddStorageIn(std::size_t parent, std::string_view name,
                                             const ClassId& classId) {
  Entry entry;
  entry.type = 1;
  entry.classId = classId;
  return Append(parent, name, entry, {});
}

void CompoundFileWriter::AddStreamIn(std::size_t parent, std::string_view name,
                                     std::string_view bytes) {
  Entry entry;
  entry.type = 2;
  Append(parent, name, entry, bytes);
}

void CompoundFileWriter::Reserve(std::size_t entries, std::size_t bytes) {
  entries_.reserve(entries);
  names_.reserve(entries * 16);
  data_.reserve(bytes);
}

void CompoundFileWriter::AddStreamIn(std::size_t parent, std::string_view name,
                                     std::initializer_list<std::string_view> pieces) {
  Entry entry;
  entry.type = 2;
  const std::size_t index = Append(parent, name, entry, {});
  for (const std::string_view piece : pieces) data_ += piece;
  entries_[index].size = data_.size() - entries_[index].offset;
}

std::string CompoundFileWriter::Bytes() const {
  // Each storage's children as a balanced tree in the format's order; the last level red when
  // it is not full, so that every path holds as many black entries.
  std::vector<TreeLinks> links(entries_.size());
  // Every storage's children, gathered by parent in one pass.
  std::vector<std::size_t> first(entries_.size() + 1, 0);
  for (std::size_t i = 1; i < entries_.size(); ++i) ++first[entries_[i].parent + 1];
  for (std::size_t i = 0; i < entries_.size(); ++i) first[i + 1] += first[i];
  std::vector<std::size_t> children(entries_.size() - 1);
  {
    std::vector<std::size_t> at(first.begin(), first.end() - 1);
    for (std::size_t i = 1; i < entries_.size(); ++i) children[at[entries_[i].parent]++] = i;
  }
  for (std::size_t self = 0; self < entries_.size(); ++self) {
    if (first[self] == first[self + 1]) continue;
    const auto begin = children.begin() + static_cast<long>(first[self]);
    const auto end = children.begin() + static_cast<long>(first[self + 1]);
    const auto before = [&](std::size_t a, std::size_t b) {
      const Entry& x = entries_[a];
      const Entry& y = entries_[b];
      if (x.nameLength != y.nameLength) return x.nameLength < y.nameLength;
      return NameBefore(NameOf(x), NameOf(y));
    };
    // Writers add most children in order: a few out of place are moved in, any other order
    // sorted.
    std::size_t descents = 0;
    for (auto at = begin; at + 1 < end && descents <= 8; ++at) descents += before(at[1], at[0]);
    if (descents > 8) {
      std::sort(begin, end, before);
    } else if (descents > 0) {
      for (auto at = begin + 1; at < end; ++at)
        for (auto back = at; back > begin && before(back[0], back[-1]); --back)
          std::iter_swap(back, back - 1);
    }
    const std::span<const std::size_t> sorted(&*begin, static_cast<std::size_t>(end - begin));
    std::size_t fullLevels = 0;
    while ((std::size_t{2} << fullLevels) - 1 <= sorted.size()) ++fullLevels;
    const bool perfect = (std::size_t{1} << fullLevels) - 1 == sorted.size();
    links[self].child =
        BuildTree(sorted, 0, sorted.size(), 0, perfect ? ~std::size_t{0} : fullLevels, links);
  }

  // Where each stream lies: small ones in the mini stream, the others in sectors of their own.
  std::vector<std::uint32_t> start(entries_.size(), endOfChain);
  std::vector<std::uint32_t> miniChain;  // the mini FAT
  std::size_t miniStreamSize = 0;        // its bytes go straight into the file once it is laid out
  std::vector<std::size_t> large;
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (entry.type != 2 || entry.size == 0) continue;
    if (entry.size >= miniStreamCutoff) {
      large.push_back(i);
      continue;
    }
    const std::size_t first = miniChain.size();
    const std::size_t count = Ceil(entry.size, miniSectorSize);
    start[i] = static_cast<std::uint32_t>(first);
    for (std::size_t k = 0; k < count; ++k)
      miniChain.push_back(k + 1 < count ? static_cast<std::uint32_t>(first + k + 1) : endOfChain);
    miniStreamSize += count * miniSectorSize;
  }

  const std::size_t directorySectors = Ceil(entries_.size(), entriesPerSector);
  const std::size_t miniFatSectors = Ceil(miniChain.size(), idsPerSector);
  const std::size_t miniStreamSectors = Ceil(miniStreamSize, sectorSize);
  std::size_t dataSectors = directorySectors + miniFatSectors + miniStreamSectors;
  for (const std::size_t i : large) dataSectors += Ceil(entries_[i].size, sectorSize);
  // The allocation table covers itself; the header lists its sectors.
  std::size_t fatSectors = 0;
  while (Ceil(dataSectors + fatSectors, idsPerSector) != fatSectors)
    fatSectors = Ceil(dataSectors + fatSectors, idsPerSector);
  if (fatSectors > headerFatSectors)
    throw std::length_error(
        std::string(Tr("a compound file of more than 436 MB needs a longer table")));

  std::vector<std::uint32_t> fat(fatSectors * idsPerSector, freeSector);
  std::uint32_t next = 0;
  // A run of `count` sectors chained one after another; its first sector.
  const auto chain = [&](std::size_t count, std::uint32_t mark) {
    const std::uint32_t first = count == 0 ? endOfChain : next;
    for (std::size_t k = 0; k < count; ++k, ++next)
      fat[next] = mark != 0 ? mark : (k + 1 < count ? next + 1 : endOfChain);
    return first;
  };
  const std::uint32_t firstDirectory = chain(directorySectors, 0);
  const std::uint32_t firstMiniFat = chain(miniFatSectors, 0);
  const std::uint32_t firstMiniStream = chain(miniStreamSectors, 0);
  for (const std::size_t i : large) start[i] = chain(Ceil(entries_[i].size, sectorSize), 0);
  const std::uint32_t firstFat = next;
  chain(fatSectors, fatSector);
  start[0] = firstMiniStream;

  const std::size_t sectors = next;
  std::string out((sectors + 1) * sectorSize, '\0');
  const auto sector = [](std::size_t n) { return (n + 1) * sectorSize; };

  // The header, in the first sector.
  static constexpr unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(std::begin(signature), std::end(signature), out.begin());
  std::copy(headerClassId_.begin(), headerClassId_.end(), out.begin() + 8);
  Put16(out, 24, 0x003E);
  Put16(out, 26, 0x0004);
  Put16(out, 28, 0xFFFE);
  Put16(out, 30, 12);
  Put16(out, 32, 6);
  Put32(out, 40, static_cast<std::uint32_t>(directorySectors));
  Put32(out, 44, static_cast<std::uint32_t>(fatSectors));
  Put32(out, 48, firstDirectory);
  Put32(out, 56, static_cast<std::uint32_t>(miniStreamCutoff));
  Put32(out, 60, firstMiniFat);
  Put32(out, 64, static_cast<std::uint32_t>(miniFatSectors));
  Put32(out, 68, endOfChain);  // no sectors beyond the header list the allocation table
  for (std::size_t k = 0; k < headerFatSectors; ++k)
    Put32(out, 76 + 4 * k, k < fatSectors ? firstFat + static_cast<std::uint32_t>(k) : freeSector);
  for (std::size_t k = 0; k < fat.size(); ++k) Put32(out, sector(firstFat) + 4 * k, fat[k]);

  // The directory: an entry each, then unused ones to the sector's end.
  for (std::size_t i = 0; i < directorySectors * entriesPerSector; ++i) {
    const std::size_t at = sector(firstDirectory) + i * entrySize;
    if (i >= entries_.size()) {
      Put32(out, at + 68, noStream);
      Put32(out, at + 72, noStream);
      Put32(out, at + 76, noStream);
      continue;
    }
    const Entry& entry = entries_[i];
    const std::u16string_view name = NameOf(entry);
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(out.data() + at, name.data(), 2 * name.size());
    } else {
      char* to = out.data() + at;
      for (const char16_t unit : name) {
        *to++ = static_cast<char>(unit & 0xFF);
        *to++ = static_cast<char>(unit >> 8);
      }
    }
    Put16(out, at + 64, static_cast<std::uint16_t>(2 * (name.size() + 1)));
    out[at + 66] = static_cast<char>(entry.type);
    out[at + 67] = links[i].red ? 0 : 1;
    Put32(out, at + 68, links[i].left);
    Put32(out, at + 72, links[i].right);
    Put32(out, at + 76, links[i].child);
    std::copy(entry.classId.begin(), entry.classId.end(), out.begin() + at + 80);
    const std::size_t size = i == 0 ? miniStreamSize : entry.size;
    Put32(out, at + 116, entry.type == 1 ? 0 : start[i]);
    Put32(out, at + 120, static_cast<std::uint32_t>(size));
    Put32(out, at + 124, static_cast<std::uint32_t>(static_cast<std::uint64_t>(size) >> 32));
  }
  for (std::size_t k = 0; k < miniChain.size(); ++k)
    Put32(out, sector(firstMiniFat) + 4 * k, miniChain[k]);
  for (std::size_t k = miniChain.size(); k < miniFatSectors * idsPerSector; ++k)
    Put32(out, sector(firstMiniFat) + 4 * k, freeSector);
  for (std::size_t i = 1; i < entries_.size(); ++i)
    if (entries_[i].type == 2 && entries_[i].size > 0 && entries_[i].size < miniStreamCutoff)
      std::copy_n(
          data_.begin() + static_cast<long>(entries_[i].offset), entries_[i].size,
          out.begin() + static_cast<long>(sector(firstMiniStream) + start[i] * miniSectorSize));
  for (const std::size_t i : large)
    std::copy_n(data_.begin() + static_cast<long>(entries_[i].offset), entries_[i].size,
                out.begin() + static_cast<long>(sector(start[i])));
  return out;
}

}  // namespace pexol
