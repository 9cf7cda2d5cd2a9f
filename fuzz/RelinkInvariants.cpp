// fuzz/RelinkInvariants.cpp - the invariants of a relink: a project in, a project out
#include <string>

#include "convert/ConversionReadings.h"
#include "core/RunFailure.h"
#include "core/RunObserver.h"
#include "fuzz/Invariants.h"
#include "relink/RelinkProject.h"
#include "sections/ClipKind.h"

namespace pexol::fuzz {

namespace {

Project Read(std::span<const std::uint8_t> bytes, Software software) {
  NullObserver quiet;
  RunProgress progress(quiet);
  return ReadProject(bytes, {software, toTextReading}, progress);
}

template <class Record>
bool SameCounts(const RecordList<Record>& a, const RecordList<Record>& b) {
  return a.size() == b.size();
}

}  // namespace

Broken CheckRelink(std::span<const std::uint8_t> project, std::string_view rules,
                   Software software) {
  PathMap map;
  while (!rules.empty()) {
    const std::size_t end = rules.find('\n');
    std::string error;
    if (auto rule = ParseRelinkRule(rules.substr(0, end), error)) map.Add(std::move(*rule));
    rules = end == std::string_view::npos ? std::string_view{} : rules.substr(end + 1);
  }
  std::optional<Project> before;
  try {
    before = Read(project, software);
  } catch (const RunFailure&) {
    return std::nullopt;
  }
  std::string relinked;
  std::size_t changes = 0;
  try {
    relinked = RelinkProject(project, *before, map, [&](const NameChange&) { ++changes; });
  } catch (const RunFailure&) {
    return std::nullopt;
  }
  const std::span<const std::uint8_t> after(reinterpret_cast<const std::uint8_t*>(relinked.data()),
                                            relinked.size());
  if (changes == 0 &&
      relinked != std::string_view(reinterpret_cast<const char*>(project.data()), project.size()))
    return "a relink without changes altered the bytes";
  Project reread;
  try {
    reread = Read(after, software);
  } catch (const RunFailure& failure) {
    return "the relinked project does not read back: " + std::string(failure.what());
  }
  if (reread.unreadBytes != before->unreadBytes) return "the relink changed the unread bytes";
  if (!SameCounts(reread.main, before->main) || !SameCounts(reread.insert, before->insert) ||
      !SameCounts(reread.exAudio[0], before->exAudio[0]) ||
      !SameCounts(reread.exAudio[1], before->exAudio[1]) ||
      !SameCounts(reread.titles, before->titles) || !SameCounts(reread.bin, before->bin))
    return "the relink changed a section's record count";
  for (std::size_t i = 0; i < reread.bin.size(); ++i)
    if (NamesMediaFile(reread.bin.records[i]) != NamesMediaFile(before->bin.records[i]))
      return "the relink changed a bin item's kind";
  const auto shortNames = [](const auto& clips) {
    for (const auto& clip : clips.records)
      if (clip.name.size() >= 255) return false;
    return true;
  };
  // Names the relink wrote stay within what the format's readers read back.
  if (changes > 0 && shortNames(before->main) && !shortNames(reread.main))
    return "the relink wrote a main clip name of 255 bytes or more";
  // A second run of the same rules has nothing left that differs in kind or count.
  try {
    const std::string again = RelinkProject(after, reread, map, nullptr);
    Project third =
        Read({reinterpret_cast<const std::uint8_t*>(again.data()), again.size()}, software);
    if (third.unreadBytes != reread.unreadBytes) return "a second relink changed the unread bytes";
  } catch (const RunFailure&) {
  }
  return std::nullopt;
}

}  // namespace pexol::fuzz
