// tests/core/FileUrlTest.cpp - paths as the URLs the exports write and the links the batch's
// report holds
#include <gtest/gtest.h>

#include "core/FileUrl.h"
#include "core/TextEncoding.h"

namespace pexol {
namespace {

// Every byte outside RFC 3986's unreserved set and the folders' "/" is escaped from the UTF-8
// bytes, whichever form the URL takes; only a file URL reads "\" as a separator.
TEST(FileUrl, PercentEncodesUtf8InEachForm) {
  // A name stored in Shift-JIS is encoded from its decoded UTF-8: three escapes a character.
  const std::string decoded =
      DecodeShiftJis("/\x89\x66\x91\x9c/\x93\xfa\x96\x7b \x8c\xea.avi").utf8;
  ASSERT_EQ(decoded, "/映像/日本 語.avi");
  EXPECT_EQ(FileUrl(decoded),
            "file://localhost/%E6%98%A0%E5%83%8F/%E6%97%A5%E6%9C%AC%20%E8%AA%9E.avi");
  // Markup and URL characters stay part of the name; a drive's colon too.
  EXPECT_EQ(FileUrl("C:/Video/a&b #1 100%.avi"),
            "file://localhost/C%3A/Video/a%26b%20%231%20100%25.avi");
  EXPECT_EQ(FileUrl("C:\\Video\\take?1.avi"), "file://localhost/C%3A/Video/take%3F1.avi");
  EXPECT_EQ(FileUrl("/a-b._~c/d+e=f;g,h'i(j)"),
            "file://localhost/a-b._~c/d%2Be%3Df%3Bg%2Ch%27i%28j%29");
  EXPECT_EQ(FileUrl(""), "file://localhost/");

  EXPECT_EQ(FileUrl("/v/日本 #2.mov", UrlForm::NoHost), "file:///v/%E6%97%A5%E6%9C%AC%20%232.mov");
  EXPECT_EQ(FileUrl("D:/v.mov", UrlForm::NoHost), "file:///D%3A/v.mov");

  // A link relative to its page: no scheme, no leading "/" added, "\" a byte of a name.
  EXPECT_EQ(FileUrl("early #2/a\\b%.svg", UrlForm::Relative), "early%20%232/a%5Cb%25.svg");
  EXPECT_EQ(FileUrl("2019/運動会/edit.otio", UrlForm::Relative),
            "2019/%E9%81%8B%E5%8B%95%E4%BC%9A/edit.otio");
}

}  // namespace
}  // namespace pexol
