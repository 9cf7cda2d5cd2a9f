// bench/ConversionBench.cpp - both conversions on the large project, against a plain copy
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "core/ByteWriter.h"
#include "convert/ProjectToText.h"
#include "core/RunObserver.h"
#include "convert/TextToProject.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

using namespace pexol;

std::span<const std::uint8_t> AsBytes(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

class LargeProject : public benchmark::Fixture {
 public:
  void SetUp(benchmark::State&) override {
    if (!project.empty()) return;
    project = build::BuildProject(build::LargeProject());
    ByteWriter out;
    NullObserver quiet;
    ProjectToText(AsBytes(project), {}, out, quiet);
    text = out.TakeBytes();
  }
  static inline std::string project;
  static inline std::string text;
};

BENCHMARK_F(LargeProject, ToText)(benchmark::State& state) {
  NullObserver quiet;
  for (auto _ : state) {
    ByteWriter out;
    ProjectToText(AsBytes(project), {}, out, quiet);
    benchmark::DoNotOptimize(out.Bytes().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(project.size()));
}

BENCHMARK_F(LargeProject, ToProject)(benchmark::State& state) {
  NullObserver quiet;
  for (auto _ : state) {
    ByteWriter out;
    TextToProject(AsBytes(project), text, {}, out, quiet);
    if (out.Bytes() != project) state.SkipWithError("the project did not come back");
    benchmark::DoNotOptimize(out.Bytes().data());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(project.size() + text.size()));
}

// What the observer costs: a run that counts every call.
class CountingObserver final : public RunObserver {
 public:
  void Status(std::string_view line) override { calls += line.size() != 0; }
  void Progress(int, int) override { ++calls; }
  long long calls = 0;
};

BENCHMARK_F(LargeProject, ToTextCountingObserver)(benchmark::State& state) {
  CountingObserver counting;
  for (auto _ : state) {
    ByteWriter out;
    ProjectToText(AsBytes(project), {}, out, counting);
    benchmark::DoNotOptimize(out.Bytes().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(project.size()));
}

BENCHMARK_F(LargeProject, MemcpyBaseline)(benchmark::State& state) {
  std::string copy(project.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), project.data(), project.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(project.size()));
}

}  // namespace
