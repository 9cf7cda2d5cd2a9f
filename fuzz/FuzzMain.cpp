// fuzz/FuzzMain.cpp - the libFuzzer entry point, built once per target named by PEXOL_FUZZ_TARGET
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzInputs.h"

/// Checks one input; a broken invariant aborts, which libFuzzer keeps as a crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pexol::fuzz;
  static const Target target = *TargetNamed(PEXOL_FUZZ_TARGET);
  if (const Broken broken = CheckInput(target, {data, size})) {
    std::fprintf(stderr, "%s: invariant broken: %s\n", PEXOL_FUZZ_TARGET, broken->c_str());
    std::abort();
  }
  return 0;
}
