// tests/hardening/ResourceBoundTest.cpp - small inputs end fast in small memory; growth is linear
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "check/MediaCheck.h"
#include "export/aaf/AafModel.h"
#include "fuzz/FuzzInputs.h"
#include "hardening/AllocationMeter.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using namespace std::chrono_literals;
constexpr std::size_t kibibyte = 1024;

std::string Repeated(std::string_view unit) {
  std::string bytes;
  while (bytes.size() < kibibyte) bytes += unit;
  bytes.resize(kibibyte);
  return bytes;
}

// Inputs of one kibibyte meant to trip a reader: noise, extreme counts, near-valid projects,
// text-like noise and texts of odd line ends.
std::vector<std::string> KibibyteInputs() {
  std::vector<std::string> inputs = {Repeated(std::string(1, '\0')),
                                     Repeated("\xFF"),
                                     Repeated("\x7F"),
                                     Repeated(std::string("\xFF\xFF\xFF\x7F", 4)),
                                     Repeated(std::string("\0\0\0\x80", 4)),
                                     Repeated(std::string("\x07\x02\0\0", 4)) + Repeated("\xFF"),
                                     Repeated("a.avi,in=1,out=2,levelpoint(in=0,out=0,1=2)\r\n"),
                                     Repeated("\n"),
                                     Repeated("\r"),
                                     Repeated(","),
                                     Repeated("\"\\"),
                                     Repeated("[MainAV]\r\n"),
                                     "[MainAV]\r\n" + Repeated("ColorClip(,"),
                                     Repeated("[MainAV]\r\na.jpg,in=0,out=0,\"")};
  // A whole project and a whole text (of fixed project 2) with bytes after their ends.
  const fuzz::FixedProject& valid = fuzz::FixedProjects()[2];
  inputs.push_back((valid.bytes + Repeated("\xFF")).substr(0, kibibyte));
  const std::string validText = valid.text.substr(0, valid.text.find("[END]"));
  inputs.push_back((validText + Repeated("\xFF")).substr(0, kibibyte));
  const fuzz::FixedProject& cut = fuzz::FixedProjects()[0];
  inputs.push_back(cut.bytes.substr(0, kibibyte));
  inputs.push_back(cut.text.substr(0, kibibyte));
  std::mt19937 random(1);
  const std::string textBytes = "a.avi,=\"\\\r\n-09ColorClip[MainAV]";
  for (int i = 0; i < 16; ++i) {
    std::string noise(kibibyte, '\0');
    for (char& c : noise)
      c = i % 2 ? static_cast<char>(random()) : textBytes[random() % textBytes.size()];
    inputs.push_back(noise);
  }
  return inputs;
}

// Every run, with every choice, on every input: it keeps its invariants (which bound its
// output), ends within a second or two and never needs more than a fixed heap.
TEST(ResourceBoundTest, AnyKibibyteEndsQuicklyInFixedMemory) {
  // Built once, before anything is measured: the fixed projects, and AAF's tables of classes.
  fuzz::FixedProjects();
  aaf::Model::Get();
  std::size_t peak = 0;
  auto slowest = std::chrono::steady_clock::duration::zero();
  for (const std::string& input : KibibyteInputs()) {
    for (fuzz::Target target : fuzz::allTargets) {
      for (int choice = 0; choice < 16; ++choice) {
        const std::string bytes =
            target == fuzz::Target::TextScanner ? input : static_cast<char>(choice) + input;
        const test::AllocationMeter meter;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(fuzz::CheckInput(target, fuzz::AsBytes(bytes)), std::nullopt)
            << fuzz::TargetName(target) << " choice " << choice;
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
        peak = std::max(peak, meter.PeakBytes());
        if (target == fuzz::Target::TextScanner) break;
      }
    }
  }
  EXPECT_LT(slowest, 2s);
  // An AAF file carries 200 KB of its own class and type definitions whatever the project, and
  // the check reads it back whole.
  EXPECT_LT(peak, 2u << 20);
}

// A project with `n` records in every section.
std::string ProjectOfSize(int n) {
  build::Project shape = fuzz::SeedProject(0x207, build::Software::CorvaneBrisko);
  const build::Project one = shape;
  for (int i = 1; i < n; ++i) {
    for (const auto& clip : one.main) shape.main.push_back(clip);
    shape.insert.push_back(one.insert[0]);
    shape.exAudio1.push_back(one.exAudio1[0]);
    shape.exAudio2.push_back(one.exAudio1[0]);
    shape.effects.push_back(one.effects[0]);
    shape.titles.push_back(one.titles[0]);
    shape.mainFilters.push_back(one.mainFilters[0]);
    for (const auto& item : one.bin) shape.bin.push_back(item);
  }
  return build::BuildProject(shape);
}

struct Cost {
  std::size_t allocations = 0;
  std::size_t peakBytes = 0;
};

template <class Run>
Cost Measure(Run run) {
  const test::AllocationMeter meter;
  run();
  return {meter.Allocations(), meter.PeakBytes()};
}

// Four times the records cost four times the allocations (the work done) and the memory,
// within a tenth; anything worse than linear would cost sixteen times.
void ExpectLinear(const Cost& small, const Cost& large, std::string_view run) {
  EXPECT_LT(large.allocations, small.allocations * 44 / 10) << run;
  EXPECT_GT(large.allocations, small.allocations * 3) << run;
  EXPECT_LT(large.peakBytes, small.peakBytes * 44 / 10) << run;
}

TEST(ResourceBoundTest, WorkAndMemoryGrowLinearlyWithTheProject) {
  constexpr int n = 500;
  const std::string projects[2] = {ProjectOfSize(n), ProjectOfSize(4 * n)};
  std::string texts[2];
  Cost toText[2], toProject[2], check[2];
  for (int i = 0; i < 2; ++i) {
    toText[i] =
        Measure([&] { texts[i] = test::ConvertToText(projects[i], Software::CorvaneBrisko); });
    toProject[i] = Measure([&] {
      EXPECT_TRUE(test::ConvertToProject(texts[i], projects[i], Software::CorvaneBrisko) ==
                  projects[i]);
    });
    check[i] = Measure([&] {
      ByteWriter report;
      NullObserver quiet;
      ScanProjectMedia(
          test::AsBytes(projects[i]), Software::CorvaneBrisko,
          [](std::string_view) { return false; }, report, quiet);
    });
  }
  ExpectLinear(toText[0], toText[1], "project to text");
  ExpectLinear(toProject[0], toProject[1], "text to project");
  ExpectLinear(check[0], check[1], "media check");
}

}  // namespace
}  // namespace pexol
