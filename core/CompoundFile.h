// core/CompoundFile.h - a compound file (MS-CFB) built in memory and written in one piece: the
// container AAF files live in
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pexol {

using ClassId = std::array<std::uint8_t, 16>;

/// The storages and streams of a compound file, version 4 (4096-byte sectors, as Media
/// Composer writes AAF), laid out the same byte for byte on every system: no times, names
/// sorted as the format orders them. Paths are '/'-separated names below the root, each at most
/// 31 UTF-16 units; a stream's storages must be added first.
class CompoundFileWriter {
 public:
  CompoundFileWriter();

  /// The class id the root storage carries, and the one in the header (AAF puts its signature
  /// there).
  void SetRootClassId(const ClassId& id);
  void SetHeaderClassId(const ClassId& id);
  /// A storage at `path`; false when its name is too long, taken, or its parent is missing.
  bool AddStorage(std::string_view path, const ClassId& classId = {});
  /// A stream at `path` holding `bytes`; false as for a storage.
  bool AddStream(std::string_view path, std::string bytes);

  /// The same by the parent's number (0 the root, a storage's as `AddStorageIn` returns it),
  /// for writers that make thousands: the caller keeps siblings' names distinct and valid.
  std::size_t AddStorageIn(std::size_t parent, std::string_view name, const ClassId& classId);
  void AddStreamIn(std::size_t parent, std::string_view name, std::string_view bytes);
  /// A stream of several pieces one after another, copied once.
  void AddStreamIn(std::size_t parent, std::string_view name,
                   std::initializer_list<std::string_view> pieces);

  /// Room for about `entries` storages and streams holding `bytes` in all, so that a large
  /// file is not copied as it grows.
  void Reserve(std::size_t entries, std::size_t bytes);

  /// The whole file. Throws `std::length_error` past 436 MB, which the header's own list of
  /// allocation-table sectors can no longer name.
  std::string Bytes() const;

 private:
  /// Entries are small and their names and bytes kept apart: writers add tens of thousands.
  struct Entry {
    std::uint32_t name = 0;  ///< where its name starts in `names_`
    std::uint8_t nameLength = 0;
    std::uint8_t type = 0;  ///< 1 storage, 2 stream, 5 root
    ClassId classId{};
    std::uint32_t parent = 0;
    std::size_t offset = 0;  ///< a stream's bytes in `data_`
    std::size_t size = 0;
  };
  std::u16string_view NameOf(const Entry& entry) const {
    return std::u16string_view(names_).substr(entry.name, entry.nameLength);
  }
  /// The entry of the storage `path` names the parent of, and the last name in `name`; the
  /// number of entries when there is no such storage or a name is too long.
  std::size_t Parent(std::string_view path, std::u16string& name) const;
  bool Add(std::string_view path, Entry entry, std::string_view bytes);
  std::size_t Append(std::size_t parent, std::string_view name, Entry entry,
                     std::string_view bytes);

  ClassId headerClassId_{};
  std::vector<Entry> entries_;
  std::string data_;      ///< every stream's bytes, one after another
  std::u16string names_;  ///< every entry's name, one after another
};

}  // namespace pexol
