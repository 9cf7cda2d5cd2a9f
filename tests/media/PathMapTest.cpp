// tests/media/PathMapTest.cpp - map rules and stored names made local paths
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "media/PathMap.h"

namespace pexol {
namespace {

MapRule Rule(const std::string& text) {
  std::string error;
  const std::optional<MapRule> rule = ParseMapRule(text, error);
  EXPECT_TRUE(rule.has_value()) << error;
  return rule.value_or(MapRule{});
}

TEST(PathMapTest, RulesSplitAtTheFirstEqualsAndRefuseAMissingSide) {
  const MapRule rule = Rule("C:\\Video\\=/srv/a=b");
  EXPECT_EQ(rule.prefix, "C:\\Video");
  EXPECT_EQ(rule.folder, "/srv/a=b");
  EXPECT_EQ(Rule("D:=clips").folder, (std::filesystem::current_path() / "clips").string());

  for (const char* bad : {"C:\\Video", "=/srv", "C:\\Video=", "C:\\\xFF=/srv"}) {
    std::string error;
    EXPECT_FALSE(ParseMapRule(bad, error).has_value()) << bad;
    EXPECT_NE(error.find("map rule"), std::string::npos) << bad;
  }
}

TEST(PathMapTest, TheLongestPrefixWinsAtAComponentBoundaryInAnyCaseAndSeparator) {
  PathMap map;
  map.Add(Rule("C:\\Video=/short"));
  map.Add(Rule("c:/video/2009=/long"));
  map.Add(Rule("\\\\server\\share=/net"));
  auto folder = [&](std::string_view name) {
    const MapRule* rule = map.Match(name);
    return rule ? rule->folder : std::string("none");
  };
  EXPECT_EQ(folder("C:\\Video\\a.avi"), "/short");
  EXPECT_EQ(folder("C:\\Video"), "/short");
  EXPECT_EQ(folder("C:\\VIDEO\\2009\\a.avi"), "/long");
  EXPECT_EQ(folder("c:/Video/2009"), "/long");
  EXPECT_EQ(folder("C:\\Video\\20091\\a.avi"), "/short");
  EXPECT_EQ(folder("C:\\Videos\\a.avi"), "none");
  EXPECT_EQ(folder("C:\\Vide"), "none");
  EXPECT_EQ(folder("//SERVER/share/a.avi"), "/net");
}

TEST(PathMapTest, StoredNamesDecodeWholeThenMapOrStayInWindowsForm) {
  PathMap map;
  map.Add(Rule("C:\\ビデオ=/media/v"));
  // 表 (95 5C) and ソ (83 5C) end in the byte of '\': splitting bytes would cut them.
  LocalName mapped =
      LocalMediaPath("c:\\\x83\x72\x83\x66\x83\x49\\\x95\x5C\\\x83\x5C.avi", map, "/p");
  EXPECT_EQ(mapped.path, "/media/v/表/ソ.avi");
  EXPECT_TRUE(mapped.decoded);
  EXPECT_FALSE(mapped.windowsForm);

  LocalName drive = LocalMediaPath("D:\\\x95\x5C\\a.AVI", map, "/p");
  EXPECT_EQ(drive.path, "D:/表/a.AVI");
  EXPECT_TRUE(drive.windowsForm);
  EXPECT_EQ(LocalMediaPath("\\\\host\\share\\a.avi", map, "/p").path, "//host/share/a.avi");

  EXPECT_EQ(LocalMediaPath("clips\\..\\b\\.\\c.avi", map, "/p/q").path, "/p/q/b/c.avi");
  EXPECT_EQ(LocalMediaPath("/abs/x.avi", map, "/p").path, "/abs/x.avi");

  LocalName broken = LocalMediaPath("a\x80.avi", map, "/p");
  EXPECT_FALSE(broken.decoded);
  EXPECT_EQ(broken.path, "/p/a\xEF\xBF\xBD.avi");
}

}  // namespace
}  // namespace pexol
