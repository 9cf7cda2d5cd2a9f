// core/TemporaryFiles.cpp - stamped temporary names, their cleanup, and the interrupt handler
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

// Reads "PID-START-N" from a name of ours; false for any other name.
bool ParseStamp(std::string_view name, platform::ProcessStamp& stamp) {
  if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(suffix))
    return false;
  name = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
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
  return name.empty();
}

// The interrupt handler may run at any point of a registration, so each slot is claimed, then
// filled, then marked ready; the handler reads only ready slots. Lock-free atomics are safe to
// read in a signal handler.
constexpr std::size_t pathRoom = 4096;

struct Slot {
  std::atomic<bool> claimed{false};
  std::atomic<bool> ready{false};
  std::array<char, pathRoom> path{};
};
std::array<Slot, 64> slots;
static_assert(std::atomic<bool>::is_always_lock_free);

void RemoveRegistered() {
  for (Slot& slot : slots)
    if (slot.ready.load()) platform::RemoveNamed(slot.path.data());
}

void OnInterrupt(int) {
  EndInterruptedRun();
}

}  // namespace

void EndInterruptedRun() {
  RemoveRegistered();
  // Tr only looks the text up in the catalogue chosen at the start: nothing is allocated.
  const std::string_view message =
      Tr("\npexol: interrupted; the run was stopped and its temporary files removed.\n");
  platform::ExitInterrupted(message.data(), message.size());
}

void EndStoppedRun() {
  RemoveRegistered();
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

int RegisterTemporary(const std::string& path) {
  if (path.size() >= pathRoom) return -1;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    bool expected = false;
    if (!slots[i].claimed.compare_exchange_strong(expected, true)) continue;
    std::memcpy(slots[i].path.data(), path.c_str(), path.size() + 1);
    slots[i].ready.store(true);
    return static_cast<int>(i);
  }
  return -1;
}

void ForgetTemporary(int registration) {
  if (registration < 0 || registration >= static_cast<int>(slots.size())) return;
  Slot& slot = slots[static_cast<std::size_t>(registration)];
  slot.ready.store(false);
  slot.claimed.store(false);
}

void InstallRunSignals() {
  (void)Self();  // the stamp is read now, not first inside a run
  platform::InstallSignalHandlers(&OnInterrupt);
}

}  // namespace pexol
