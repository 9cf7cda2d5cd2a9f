// sections/EffectSection.cpp - effect records: what the EDL needs, and exact copies
#include "sections/EffectSection.h"

namespace pexol {

namespace {

constexpr int effectShare = 20;
constexpr int uninterpretedDwords = 5;

}  // namespace

void SkipWordBlock(ByteReader& project, std::int32_t byteCount) {
  if (byteCount <= 0) return;
  const std::uint64_t words = (static_cast<std::uint64_t>(byteCount) + 3) / 4;
  project.Skip(words * 4);
}

EffectRecord ReadEffectRecord(ByteReader& project) {
  EffectRecord effect;
  effect.clipIndex = project.ReadDword();
  effect.clipLength = project.ReadDword();
  project.ReadDword();
  project.ReadWord();
  effect.name = project.ReadCountedString();
  for (int i = 0; i < uninterpretedDwords; ++i) project.ReadDword();
  SkipWordBlock(project, project.ReadDword());
  project.ReadCountedString();
  return effect;
}

void DumpEffectSection(ToTextRun& run, std::int32_t count) {
  SectionProgress progress(run.progress, "[Effect]", count, effectShare);
  auto& main = run.entries.main;
  const std::int32_t mainClips = run.entries.MainClipCount();
  for (std::int32_t i = 0; i < count; ++i) {
    const EffectRecord effect = ReadEffectRecord(run.project);
    // An effect on a clip that is not there has nothing to mark.
    if (effect.clipIndex >= 0 && effect.clipIndex < mainClips) {
      main[static_cast<std::size_t>(effect.clipIndex)].length = effect.clipLength;
      main[static_cast<std::size_t>(effect.clipIndex) + 1].transition = effect.name;
    }
    progress.RecordDone(i);
  }
}

void CopyEffectSection(ToProjectRun& run, std::int32_t count) {
  run.destination.WriteDword(static_cast<std::uint32_t>(count));
  SectionProgress progress(run.progress, "[Effect]", count, effectShare);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::size_t start = run.source.Offset();
    ReadEffectRecord(run.source);
    run.destination.WriteText(run.source.BytesSince(start));
    progress.RecordDone(i);
  }
}

}  // namespace pexol
