// tests/hardening/RandomExportTest.cpp - random and extreme projects exported in every format
// (under the sanitizers in `make sanitize`, where any overflow aborts)
#include <gtest/gtest.h>

#include <limits>

#include "fuzz/FuzzInputs.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

TEST(RandomExportTest, EveryVersionAndSoftwareExportsInEveryFormat) {
  for (std::uint32_t seed = 0; seed < 30; ++seed)
    for (std::uint16_t version : {0x1FF, 0x200, 0x206, 0x207})
      for (build::Software software : {build::Software::CorvaneBrisko, build::Software::Lumetta}) {
        const std::string bytes =
            build::BuildProject(build::RandomProject(seed, version, software));
        EXPECT_EQ(fuzz::CheckExports(test::AsBytes(bytes), test::CoreSoftware(software)),
                  std::nullopt)
            << "seed " << seed << ", version " << version;
      }
}

TEST(RandomExportTest, InsertAtTheEndsOfTheRange) {
  constexpr std::int32_t small = std::numeric_limits<std::int32_t>::min();
  build::Project demo = build::DemoProject();
  ASSERT_FALSE(demo.insert.empty());
  demo.insert[0].in = small;
  demo.insert[0].out = std::numeric_limits<std::int32_t>::max() - 1;
  demo.insert[0].begin = small;
  const std::string bytes = build::BuildProject(demo);
  EXPECT_EQ(fuzz::CheckExports(test::AsBytes(bytes), Software::CorvaneBrisko), std::nullopt);
}

}  // namespace
}  // namespace pexol
