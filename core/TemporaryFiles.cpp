// core/TemporaryFiles.cpp - stamped temporary names, their cleanup, the children and results of a
// run ended by a signal, and the interrupt handler
#include "core/TemporaryFiles.h"

#include <array>
#include <atomic>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "core/PlatformPath.h"
#include "core/TemporaryFilesPlatform.h"
#include "core/Translation.h"

namespace pexol {

namespace {

constexpr std::string_view prefix = ".pexol-";
constexpr std::string_view suffix = ".tmp";

std::string FolderOf(const std::string& path) {
  const std::filesystem::path parent = platform::PathOf(path).parent_path();
  return parent.empty() ? std::string(".") : platform::Utf8Of(parent);
}

const platform::ProcessStamp& Self() {
  static const platform::ProcessStamp self = platform::ThisProcess();
  return self;
}

// Reads "PID-START-N" from a name of ours: a temporary file's, or one a run made beside it
// under the same name with an ending of its own (".tmp.wav"); false for any other name.
bool ParseStamp(std::string_view name, platform::ProcessStamp& stamp) {
  if (!name.starts_with(prefix)) return false;
  name.remove_prefix(prefix.size());
  std::uint64_t count = 0;
  for (std::uint64_t* field : {&stamp.id, &stamp.start, &count}) {
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), *field);
    if (error != std::errc() || end == name.data()) return false;
    name.remove_prefix(static_cast<std::size_t>(end - name.data()));
    if (field != &count) {
      if (name.empty() || name.front() != '-') return false;
      name.remove_prefix(1);
    }
  }
  if (!name.starts_with(suffix)) return false;
  name.remove_prefix(suffix.size());
  return name.empty() || name.front() == '.';
}

// The interrupt handler may run at any point of a registration, so each slot is claimed, then
// filled, then marked ready; the handler reads only ready slots. Lock-free atomics are safe to
// read in a signal handler.
constexpr std::size_t pathRoom = 4096;

enum class Removal : char { File, Folder, FolderContents };

struct Slot {
  std::atomic<bool> claimed{false};
  std::atomic<bool> ready{false};
  Removal removal = Removal::File;
  std::array<char, pathRoom> path{};
};
std::array<Slot, 64> slots;
static_assert(std::atomic<bool>::is_always_lock_free);

// A child's group: its leader's id, 0 when the slot is free.
std::array<std::atomic<std::int64_t>, 64> childGroups{};
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

// The placing of results against the end of the run: the count of placings under way, and a
// bit set once the run is being ended.
constexpr int endingBit = 1 << 30;
std::atomic<int> placingState{0};
static_assert(std::atomic<int>::is_always_lock_free);

int Register(const std::string& path, Removal removal) {
  if (path.size() >= pathRoom) return -1;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    bool expected = false;
    if (!slots[i].claimed.compare_exchange_strong(expected, true)) continue;
    slots[i].removal = removal;
    std::memcpy(slots[i].path.data(), path.c_str(), path.size() + 1);
    slots[i].ready.store(true);
    return static_cast<int>(i);
  }
  return -1;
}

void OnInterrupt(int) {
  EndInterruptedRun();
}

}  // namespace

void EndChildrenAndTemporaries(std::chrono::milliseconds grace) {
  placingState.fetch_or(endingBit);
  std::array<std::int64_t, childGroups.size()> groups{};
  for (std::size_t i = 0; i < groups.size(); ++i) groups[i] = childGroups[i].load();
  platform::EndChildGroups(groups.data(), groups.size(), static_cast<long>(grace.count()));
  // Reaped now: their ids may be another process's from here on.
  for (std::size_t i = 0; i < groups.size(); ++i)
    childGroups[i].compare_exchange_strong(groups[i], 0);
  for (Slot& slot : slots) {
    if (!slot.ready.load()) continue;
    if (slot.removal == Removal::File)
      platform::RemoveNamed(slot.path.data());
    else
      platform::RemoveTree(slot.path.data(), slot.removal == Removal::FolderContents);
  }
}

void EndInterruptedRun() {
  EndChildrenAndTemporaries({});
  // Tr only looks the text up in the catalogue chosen at the start: nothing is allocated.
  const std::string_view message =
      Tr("\npexol: interrupted; the run was stopped and its temporary files removed.\n");
  platform::ExitInterrupted(message.data(), message.size());
}

void EndStoppedRun() {
  EndChildrenAndTemporaries({});
  platform::ExitInterrupted("", 0);
}

std::string TemporaryPathFor(const std::string& destination) {
  static std::atomic<unsigned> next{0};
  const std::string name = std::string(prefix) + std::to_string(Self().id) + "-" +
                           std::to_string(Self().start) + "-" + std::to_string(next++) +
                           std::string(suffix);
  const std::filesystem::path parent = platform::PathOf(destination).parent_path();
  return parent.empty() ? name : platform::Utf8Of(parent / platform::PathOf(name));
}

void RemoveStaleTemporaries(const std::string& destination) {
  const std::string folder = FolderOf(destination);
  for (const std::string& name : platform::NamesIn(folder)) {
    platform::ProcessStamp stamp;
    if (!ParseStamp(name, stamp)) continue;
    if ((stamp.id == Self().id && stamp.start == Self().start) || !platform::ProcessGone(stamp))
      continue;
    std::error_code ignored;
    // A collect builds a whole folder under such a name.
    std::filesystem::remove_all(platform::PathOf(folder) / platform::PathOf(name), ignored);
  }
}

void RemoveStaleTemporariesOfChildren(const std::string& destination) {
  RemoveStaleTemporaries(destination);
  std::error_code code;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(code);
  if (!code) RemoveStaleTemporaries(platform::Utf8Of(temporary / "pexol"));
}

int RegisterTemporary(const std::string& path) {
  return Register(path, Removal::File);
}

int RegisterTemporaryFolder(const std::string& path, bool keepFolder) {
  return Register(path, keepFolder ? Removal::FolderContents : Removal::Folder);
}

void ForgetTemporary(int registration) {
  if (registration < 0 || registration >= static_cast<int>(slots.size())) return;
  Slot& slot = slots[static_cast<std::size_t>(registration)];
  slot.ready.store(false);
  slot.claimed.store(false);
}

int RegisterChildGroup(std::int64_t group) {
  for (std::size_t i = 0; i < childGroups.size(); ++i) {
    std::int64_t expected = 0;
    if (childGroups[i].compare_exchange_strong(expected, group)) return static_cast<int>(i);
  }
  return -1;
}

void ForgetChildGroup(int registration) {
  if (registration >= 0 && registration < static_cast<int>(childGroups.size()))
    childGroups[static_cast<std::size_t>(registration)].store(0);
}

PlacingResults::PlacingResults() {
  int seen = placingState.load();
  while ((seen & endingBit) == 0)
    if (placingState.compare_exchange_weak(seen, seen + 1)) {
      allowed_ = true;
      return;
    }
}

PlacingResults::~PlacingResults() {
  if (allowed_) placingState.fetch_sub(1);
}

bool BeginEndingRun() {
  int idle = 0;
  return placingState.compare_exchange_strong(idle, endingBit) ||
         (placingState.load() & endingBit) != 0;
}

void InstallRunSignals() {
  (void)Self();  // the stamp is read now, not first inside a run
  platform::InstallSignalHandlers(&OnInterrupt);
}

}  // namespace pexol
