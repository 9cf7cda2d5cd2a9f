// core/CompoundFile.h - a compound file (MS-CFB) built in memory and written in one piece: the
// container AAF files live in
#pragma once

#include <array>
#include <cstdint>
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
  void AddStreamIn(std::size_t parent, std::string_view name, std::string bytes);

  /// The whole file. Throws `std::length_error` past 436 MB, which the header's own list of
  /// allocation-table sectors can no longer name.
  std::string Bytes() const;

 private:
  struct Entry {
    std::u16string name;
    int type = 0;  ///< 1 storage, 2 stream, 5 root
    ClassId classId{};
    std::string bytes;
    std::vector<std::size_t> children;
  };
  std::size_t Parent(std::string_view path, std::u16string& name) const;
  bool Add(std::string_view path, Entry entry);

  ClassId headerClassId_{};
  std::vector<Entry> entries_;
};

}  // namespace pexol
