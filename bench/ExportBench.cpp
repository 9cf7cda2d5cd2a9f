// bench/ExportBench.cpp - the layout and each format of the export's table on a timeline the
// size of the largest projects
#include <benchmark/benchmark.h>

#include "export/ExportFormats.h"
#include "export/ExportTimelines.h"

namespace pexol {
namespace {

// 1000 main clips, 300 inserts, 2 x 300 extra audio clips and 200 titles: laid out and
// written, as an export run does.
void BM_Export(benchmark::State& state, const char* format) {
  const Timeline timeline = test::LargeTimeline();
  const ExportSettings settings = test::NtscSettings();
  ExportCounts counts;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        test::ExportFiles(format, timeline, settings, test::MediaUnderSlashMedia, counts));
  }
  state.counters["clips"] = counts.clips;
}

// The layout alone, for the share the writers leave to it.
void BM_LayOutTimeline(benchmark::State& state) {
  const Timeline timeline = test::LargeTimeline();
  for (auto _ : state) benchmark::DoNotOptimize(LayOutTimeline(timeline, LayoutRules{}));
}
BENCHMARK(BM_LayOutTimeline)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool registered = [] {
  for (const ExportFormat& format : ExportFormats())
    benchmark::RegisterBenchmark((std::string("BM_Export/") + format.name).c_str(), BM_Export,
                                 format.name)
        ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
}  // namespace pexol
