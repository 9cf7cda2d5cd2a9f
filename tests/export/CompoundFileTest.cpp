// tests/export/CompoundFileTest.cpp - compound files read back by an independent reader
// (pyaaf2's, in ../shared), every stream's bytes and every class id compared
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/CompoundFile.h"
#include "support/CommandOutput.h"
#include "support/SharedFolder.h"
#include "support/TempFolder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

std::string Hex(const std::string& bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

// Reads FILE with pyaaf2's compound-file reader and compares each stream of MANIFEST ("path
// TAB hex" lines) and the root's class id; prints "same" or the first difference.
constexpr const char* readBack = R"py(
import sys
sys.path.insert(0, sys.argv[1])
from aaf2 import cfb
f = cfb.CompoundFileBinary(open(sys.argv[2], 'rb'), 'rb')
if str(f.root.class_id) != sys.argv[4]:
    print('root class id', f.root.class_id); sys.exit()
expected = dict(line.rstrip('\n').split('\t') for line in open(sys.argv[3], encoding='utf-8'))
seen = {}
for root, storages, streams in f.walk():
    for entry in streams:
        seen[entry.path().lstrip('/')] = entry.open('r').read().hex()
if seen != expected:
    print('streams differ:', sorted(set(seen.items()) ^ set(expected.items()))[:3]); sys.exit()
print('same')
)py";

TEST(CompoundFileTest, AnIndependentReaderFindsEveryStreamAndClassId) {
  if (!test::SharedFolderHere()) GTEST_SKIP() << "no ../shared beside the sources";
  const fs::path reader = test::SharedFolder() / "aaf/pyaaf2";
  ASSERT_TRUE(fs::exists(reader / "aaf2/cfb.py"))
      << "../shared is here but pyaaf2 is not at " << reader;
  CompoundFileWriter file;
  // AAF's root class and the signature AAF files carry in their header.
  file.SetRootClassId({0xa5, 0x98, 0xb3, 0xb3, 0x90, 0x1c, 0xd4, 0x11, 0x80, 0x53, 0x08, 0x00, 0x36,
                       0x21, 0x08, 0x04});
  file.SetHeaderClassId({0x01, 0x02, 0x01, 0x0d, 0x00, 0x02, 0x00, 0x00, 0x06, 0x0e, 0x2b, 0x34,
                         0x03, 0x02, 0x01, 0x01});
  std::string manifest;
  const auto stream = [&](const std::string& path, std::string bytes) {
    manifest += path + "\t" + Hex(bytes) + "\n";
    EXPECT_TRUE(file.AddStream(path, std::move(bytes))) << path;
  };
  // Small streams (in the mini stream), one exactly at and one past the cutoff, an empty one,
  // a large one over many sectors, storages three deep and enough entries for several directory
  // sectors; names of every length up to the limit, one not ASCII.
  stream("properties", std::string(100, 'p'));
  stream("empty", "");
  std::string large(300000, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 251);
  stream("large", large);
  stream("cutoff", std::string(4096, 'c'));
  stream("under", std::string(4095, 'u'));
  ASSERT_TRUE(file.AddStorage("Header-2"));
  ASSERT_TRUE(file.AddStorage("Header-2/Content-3b03"));
  ASSERT_TRUE(file.AddStorage("Header-2/Content-3b03/Mobs-1901{0}"));
  stream("Header-2/properties", std::string(70, 'h'));
  stream("Header-2/Content-3b03/Mobs-1901{0}/properties", std::string(5000, 'm'));
  for (int i = 0; i < 80; ++i)
    stream("Header-2/s" + std::string(static_cast<std::size_t>(i % 29), 'x') + std::to_string(i),
           std::string(static_cast<std::size_t>(i * 37), static_cast<char>('a' + i % 26)));
  stream("Header-2/名前", "日本語");
  // What the format cannot hold, or that has nowhere to go, is refused.
  EXPECT_FALSE(file.AddStream(std::string(32, 'n'), "too long a name"));
  EXPECT_FALSE(file.AddStream("Missing/stream", "no storage"));
  EXPECT_FALSE(file.AddStream("PROPERTIES", "the same name, as the format compares names"));

  const test::TempFolder folder;
  const std::string bytes = file.Bytes();
  EXPECT_EQ(bytes, file.Bytes());  // the same bytes every time
  ASSERT_EQ(bytes.size() % 4096, 0u);
  folder.Write("file.aaf", bytes);
  folder.Write("manifest", manifest);
  folder.Write("read.py", readBack);
  EXPECT_EQ(test::Output("timeout 60 python3 '" + folder.Path("read.py") + "' '" + reader.string() +
                         "' '" + folder.Path("file.aaf") + "' '" + folder.Path("manifest") +
                         "' b3b398a5-1c90-11d4-8053-080036210804"),
            "same\n");
}

}  // namespace
}  // namespace pexol
