// tests/core/ByteReaderTest.cpp - little-endian primitives and the end-of-data rule
#include <gtest/gtest.h>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/RunFailure.h"

namespace pexol {
namespace {

TEST(ByteReaderTest, ReadsLittleEndianValues) {
  ByteReader allOnes(std::string_view("\xFF\xFF\xFF\xFF", 4));
  EXPECT_EQ(allOnes.ReadDword(), -1);
  ByteReader lowest(std::string_view("\x00\x00\x00\x80", 4));
  EXPECT_EQ(lowest.ReadDword(), INT32_MIN);
  ByteReader mixed(std::string_view("\x07\x02\xFB\xFF\xFF\x2A", 6));
  EXPECT_EQ(mixed.ReadWord(), 0x0207);
  EXPECT_EQ(mixed.ReadTriple(), 0xFFFFFBu);
  EXPECT_EQ(mixed.ReadByte(), 42);
  EXPECT_FALSE(mixed.RanPastEnd());
}

TEST(ByteReaderTest, PastTheEndEveryValueIsZeroAndTheShortReadIsRemembered) {
  ByteReader reader(std::string_view("\x05", 1));
  EXPECT_EQ(reader.ReadWord(), 5);  // the one byte left plus 0
  EXPECT_TRUE(reader.RanPastEnd());
  EXPECT_EQ(reader.ReadDword(), 0);
  EXPECT_EQ(reader.ReadChars(3), std::string(3, '\0'));
  EXPECT_EQ(reader.Offset(), 1u);
}

TEST(ByteReaderTest, StopAtEndThrowsWhereTheDataRanOut) {
  ByteReader reader(std::string_view("\x01\x02\x03", 3));
  reader.StopAtEnd();
  reader.ReadWord();
  try {
    reader.ReadDword();
    FAIL() << "read past the end did not stop";
  } catch (const ProjectEndsEarly& e) {
    EXPECT_EQ(e.Offset(), 3u);
  }
}

TEST(ByteReaderTest, SkipBeyondTheEndDoesNotWalkByteByByte) {
  ByteReader reader(std::string_view("abc", 3));
  reader.Skip(0xFFFFFFFFull);
  EXPECT_TRUE(reader.RanPastEnd());
  EXPECT_EQ(reader.Offset(), 3u);
}

TEST(ByteReaderTest, CountedStringsHonourTheLongForm) {
  const std::string longText(300, 'x');
  ByteWriter writer;
  writer.WriteString("");
  writer.WriteString("abc");
  writer.WriteString(longText);
  EXPECT_EQ(writer.Bytes().substr(0, 5), std::string("\x00\x03"
                                                     "abc",
                                                     5));
  EXPECT_EQ(writer.Bytes().substr(5, 3), std::string("\xFF\x2C\x01", 3));

  ByteReader reader(writer.Bytes());
  EXPECT_EQ(reader.ReadCountedString(), "");
  EXPECT_EQ(reader.ReadCountedString(), "abc");
  EXPECT_EQ(reader.ReadCountedString(), longText);
  EXPECT_FALSE(reader.RanPastEnd());
}

TEST(ByteWriterTest, WritesTheLowBitsOfEachWidth) {
  ByteWriter writer;
  writer.WriteTriple(-5 + 0x1000000);
  writer.WriteWord(0x12345);
  writer.WriteDword(0x80000001u);
  EXPECT_EQ(writer.Bytes(), std::string("\xFB\xFF\xFF\x45\x23\x01\x00\x00\x80", 9));
}

}  // namespace
}  // namespace pexol
