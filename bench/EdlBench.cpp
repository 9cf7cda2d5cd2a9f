// bench/EdlBench.cpp - EDL export time per event on the timeline of the largest project
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "core/ByteWriter.h"
#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "edl/Edl.h"
#include "edl/EdlEvents.h"
#include "model/Project.h"
#include "model/Timeline.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

// The timeline of the large generated project: 1000 main clips with effects, slow clips,
// 300 inserts and 300 clips on each extra audio track.
Timeline LargeTimeline() {
  const std::string bytes = build::BuildProject(build::LargeProject());
  NullObserver quiet;
  RunProgress progress(quiet);
  const Project project = ReadProject(
      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, {}, progress);
  return BuildTimeline(project);
}

void BenchWriteEdl(benchmark::State& state, TimecodeMode mode, bool csv) {
  const Timeline timeline = LargeTimeline();
  long long events = 0;
  BuildEdlEvents(timeline, [&](const EdlEvent&) { ++events; });
  NullObserver observer;
  {
    RunProgress progress(observer);
    ByteWriter out;
    WriteEdl(timeline, mode, csv, out, progress);
    const auto lines = std::count(out.Bytes().begin(), out.Bytes().end(), '\n');
    if (lines != events + (csv ? 1 : 2) || progress.Done() != edlShare) {
      state.SkipWithError("unexpected EDL");
      return;
    }
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    RunProgress progress(observer);
    ByteWriter out;
    WriteEdl(timeline, mode, csv, out, progress);
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
