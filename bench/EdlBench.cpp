// bench/EdlBench.cpp - EDL export time per event on entries the size of the largest project
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "core/ByteWriter.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "edl/Edl.h"
#include "edl/EdlEvents.h"

namespace pexol {
namespace {

// 1000 main clips with an effect on each but the last (dissolves, wipes and unnamed effects
// in turn), 300 inserts and 300 clips on each extra audio track spread along the recorder.
TrackEntries LargeEntries() {
  TrackEntries entries;
  const char* const transitions[] = {"Dissolve", "Wipe", ""};
  std::int32_t recorder = 0;
  for (int i = 0; i < 1000; ++i) {
    MainTrackEntry clip;
    clip.name = "clip" + std::to_string(i) + ".avi";
    clip.in = 30 * (i % 7);
    clip.outEnd = clip.in + 300;
    clip.length = i < 999 ? 285 : 300;
    clip.transition = i == 0 ? "" : transitions[i % 3];
    clip.hasAudio = i % 2;
    clip.slow = i % 50 == 0 ? 1 : 0;
    recorder += clip.length;
    entries.main.push_back(std::move(clip));
  }
  entries.main.emplace_back();
  for (int i = 0; i < 300; ++i) {
    const std::int32_t begin = recorder / 300 * i;
    entries.insert.push_back({"insert" + std::to_string(i) + ".avi", 0, 90, begin, 1, 0});
    entries.exAudio[0].push_back({"music" + std::to_string(i) + ".wav", 0, 600, begin});
    entries.exAudio[1].push_back({"voice" + std::to_string(i) + ".wav", 30, 150, begin + 60});
  }
  return entries;
}

void BenchWriteEdl(benchmark::State& state, TimecodeMode mode, bool csv) {
  TrackEntries entries = LargeEntries();
  long long events = 0;
  BuildEdlEvents(entries, [&](const EdlEvent&) { ++events; });
  NullObserver observer;
  {
    RunProgress progress(observer);
    ByteWriter out;
    WriteEdl(entries, mode, csv, out, progress);
    const auto lines = std::count(out.Bytes().begin(), out.Bytes().end(), '\n');
    if (lines != events + (csv ? 1 : 2) || progress.Done() != edlProgressSteps) {
      state.SkipWithError("unexpected EDL");
      return;
    }
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    RunProgress progress(observer);
    ByteWriter out;
    WriteEdl(entries, mode, csv, out, progress);
    bytes = out.Size();
    benchmark::DoNotOptimize(out.Bytes().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["events"] = static_cast<double>(events);
  state.counters["perEvent"] = benchmark::Counter(
      static_cast<double>(events),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(BenchWriteEdl, ColumnarDropFrame, TimecodeMode::NtscDrop, false);
BENCHMARK_CAPTURE(BenchWriteEdl, ColumnarFrame, TimecodeMode::Frame, false);
BENCHMARK_CAPTURE(BenchWriteEdl, CsvDropFrame, TimecodeMode::NtscDrop, true);
BENCHMARK_CAPTURE(BenchWriteEdl, CsvPal, TimecodeMode::Pal, true);

}  // namespace
}  // namespace pexol
