// bench/ExportBench.cpp - each timeline export on a timeline the size of the largest projects
#include <benchmark/benchmark.h>

#include "export/Cmx3600Writer.h"
#include "export/Fcp7Writer.h"
#include "export/KdenliveWriter.h"
#include "export/MltWriter.h"
#include "export/OtioWriter.h"
#include "tests/export/ExportTimelines.h"

namespace pexol {
namespace {

// 1000 main clips, 300 inserts, 2 x 300 extra audio clips and 200 titles.
template <class Write>
void RunExport(benchmark::State& state, Write write) {
  const Timeline timeline = test::LargeTimeline();
  const ExportSettings settings = test::NtscSettings();
  ExportCounts counts;
  for (auto _ : state) {
    benchmark::DoNotOptimize(write(timeline, settings, test::MediaUnderSlashMedia, counts));
  }
  state.counters["clips"] = counts.clips;
}

void BM_ExportOtio(benchmark::State& state) {
  RunExport(state, WriteOtio);
}
BENCHMARK(BM_ExportOtio)->Unit(benchmark::kMillisecond);

void BM_ExportMlt(benchmark::State& state) {
  RunExport(state, [](const Timeline& timeline, const ExportSettings& settings,
                      const MediaPathOf& mediaPath, ExportCounts& counts) {
    return WriteMlt(timeline, settings, mediaPath, counts);
  });
}
BENCHMARK(BM_ExportMlt)->Unit(benchmark::kMillisecond);

void BM_ExportKdenlive(benchmark::State& state) {
  RunExport(state, WriteKdenlive);
}
BENCHMARK(BM_ExportKdenlive)->Unit(benchmark::kMillisecond);

void BM_ExportFcp7(benchmark::State& state) {
  RunExport(state, WriteFcp7);
}
BENCHMARK(BM_ExportFcp7)->Unit(benchmark::kMillisecond);

void BM_ExportCmx3600(benchmark::State& state) {
  RunExport(state, WriteCmx3600);
}
BENCHMARK(BM_ExportCmx3600)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pexol
