// tests/core/FileKindTest.cpp - what a file given in a project's place is called, with libmagic
// here and with the signature table of the Windows build
#include "core/FileKind.h"

#include <gtest/gtest.h>

#include <string>

namespace pexol {
namespace {

std::string KindOf(const std::string& bytes) {
  return DescribeFileKind({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

TEST(FileKindTest, PhotosVideosAndDocumentsAreNamedAndUnknownBytesAreNot) {
  using namespace std::string_literals;
  EXPECT_NE(KindOf("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xFF\xD9"s)
                .find("JPEG image data"),
            std::string::npos);
  EXPECT_NE(KindOf("\x00\x00\x00\x18"s
                   "ftypmp42\x00\x00\x00\x00mp42isom\x00\x00\x00\x08"s
                   "free")
                .find("ISO Media"),
            std::string::npos);
  EXPECT_NE(KindOf("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<mlt>\n</mlt>\n").find("XML"),
            std::string::npos);
  EXPECT_EQ(KindOf(std::string(64, '\0')), "");
  EXPECT_EQ(KindOf(""), "");
}

}  // namespace
}  // namespace pexol
