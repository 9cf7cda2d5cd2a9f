// bench/MediaCheckBench.cpp - the media check's walk of the large project, names on disk or not
#include <benchmark/benchmark.h>

#include <string>

#include "check/MediaCheck.h"
#include "core/ByteWriter.h"
#include "core/RunObserver.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

using namespace pexol;

void BM_MediaCheckWalk(benchmark::State& state) {
  const std::string project = build::BuildProject(build::LargeProject());
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(project.data()),
                                            project.size());
  // Every name missing: the walk, the report and the list, without the file system's cost.
  const MediaExists noneFound = [](std::string_view) { return false; };
  NullObserver quiet;
  for (auto _ : state) {
    ByteWriter report;
    const MediaCheckSummary summary =
        ScanProjectMedia(bytes, Software::CorvaneBrisko, noneFound, report, quiet);
    benchmark::DoNotOptimize(summary.missingCount);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(project.size()));
}
BENCHMARK(BM_MediaCheckWalk)->Unit(benchmark::kMillisecond);

void BM_MediaCheckOnDisk(benchmark::State& state) {
  const std::string project = build::BuildProject(build::LargeProject());
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(project.data()),
                                            project.size());
  NullObserver quiet;
  ByteWriter scratch;
  // With every name missing, the count is the number of names a walk tests.
  const int names =
      ScanProjectMedia(
          bytes, Software::CorvaneBrisko, [](std::string_view) { return false; }, scratch, quiet)
          .missingCount;
  for (auto _ : state) {
    ByteWriter report;
    const MediaCheckSummary summary =
        ScanProjectMedia(bytes, Software::CorvaneBrisko, MediaFileExists, report, quiet);
    benchmark::DoNotOptimize(summary.missingCount);
  }
  state.counters["names"] = names;
  state.counters["perName"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * names,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MediaCheckOnDisk)->Unit(benchmark::kMillisecond);

}  // namespace
