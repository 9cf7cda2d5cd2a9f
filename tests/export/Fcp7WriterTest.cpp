// tests/export/Fcp7WriterTest.cpp - Final Cut Pro 7 XML read back as its importers read it
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ExportTimelines.h"
#include "XmlRead.h"
#include "export/Fcp7Writer.h"

namespace pexol {
namespace {

struct Placed {
  std::string name;
  std::int64_t start, end, in, out;
  bool operator==(const Placed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placed& item) {
  return out << item.name << " " << item.start << "-" << item.end << " [" << item.in << ","
             << item.out << ")";
}

// The items of a track where a reader puts them: a start or end of -1 is the cut of the
// transition next to it, which starts on its cut.
std::vector<Placed> ItemsOf(const test::XmlRead& xml, xmlNode* track) {
  std::vector<Placed> items;
  std::int64_t transitionStart = -1;
  bool openEnd = false;
  for (xmlNode* node : xml.Nodes("clipitem|generatoritem|transitionitem", track)) {
    const auto number = [&](const char* name) { return std::stoll(xml.First(name, node)); };
    if (xmlStrEqual(node->name, BAD_CAST "transitionitem")) {
      EXPECT_EQ(xml.First("alignment", node), "start");
      transitionStart = number("start");
      if (openEnd) items.back().end = transitionStart;
      openEnd = false;
      items.push_back({"transition", number("start"), number("end"), 0, 0});
      continue;
    }
    Placed item{xml.First("name", node), number("start"), number("end"), number("in"),
                number("out")};
    if (item.start == -1) item.start = transitionStart;
    openEnd = item.end == -1;
    items.push_back(item);
  }
  return items;
}

// Every percent escape undone.
std::string Unescaped(const std::string& url) {
  std::string text;
  for (std::size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size()) {
      text += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      text += url[i];
    }
  }
  return text;
}

TEST(Fcp7Writer, SampleAtTheTimelinesFrames) {
  ExportCounts counts;
  const std::string document = test::Exported("fcp7", test::SampleTimeline(), test::NtscSettings(),
                                              test::MediaUnderSlashMedia, counts);
  const test::XmlRead xml(document);
  ASSERT_TRUE(xml.Loaded());
  EXPECT_EQ(xml.First("/xmeml/sequence/name"), "demo");
  EXPECT_EQ(xml.First("/xmeml/sequence/duration"), "335");
  EXPECT_EQ(xml.First("/xmeml/sequence/rate/timebase"), "30");
  EXPECT_EQ(xml.First("/xmeml/sequence/rate/ntsc"), "TRUE");
  EXPECT_EQ(xml.First("/xmeml/sequence/timecode/displayformat"), "DF");

  const auto video = xml.Nodes("/xmeml/sequence/media/video/track");
  const auto audio = xml.Nodes("/xmeml/sequence/media/audio/track");
  ASSERT_EQ(video.size(), 4u);
  ASSERT_EQ(audio.size(), 4u);
  // The outgoing clip runs on under each transition: its out lies that many frames past its
  // cut. The slow clip's 30 source frames play over 60, which its in and out count.
  EXPECT_EQ(ItemsOf(xml, video[0]), (std::vector<Placed>{{"a.avi", 0, 105, 100, 220},
                                                         {"transition", 105, 120, 0, 0},
                                                         {"b.avi", 105, 185, 10, 90},
                                                         {"c.avi", 185, 245, 0, 60},
                                                         {"Colour #FF0000", 245, 305, 0, 70},
                                                         {"transition", 305, 315, 0, 0},
                                                         {"s.ppm", 305, 335, 0, 30}}));
  EXPECT_EQ(ItemsOf(xml, video[1]),
            (std::vector<Placed>{{"i.avi", 200, 230, 10, 40}, {"i.avi", 250, 260, 50, 60}}));
  // The title's image under it.
  EXPECT_EQ(ItemsOf(xml, video[2]),
            (std::vector<Placed>{
                {"logo.bmp", 50, 50 + titleDefaultFrames.Value(), 0, titleDefaultFrames.Value()}}));
  EXPECT_EQ(ItemsOf(xml, video[3]),
            (std::vector<Placed>{
                {"Hello", 50, 50 + titleDefaultFrames.Value(), 0, titleDefaultFrames.Value()}}));
  // A1: the sound of a.avi alone (b.avi has none, so no transition); A4: the first insert's.
  EXPECT_EQ(ItemsOf(xml, audio[0]), (std::vector<Placed>{{"a.avi", 0, 105, 100, 205}}));
  EXPECT_EQ(ItemsOf(xml, audio[1]), (std::vector<Placed>{{"m.wav", 0, 300, 0, 300}}));
  EXPECT_EQ(ItemsOf(xml, audio[2]), (std::vector<Placed>{{"m.wav", 100, 130, 30, 60}}));
  EXPECT_EQ(ItemsOf(xml, audio[3]), (std::vector<Placed>{{"i.avi", 200, 230, 10, 40}}));
  EXPECT_EQ(counts.tracks, 8);
  EXPECT_EQ(counts.clips, 10);
  EXPECT_EQ(counts.transitions, 2);

  EXPECT_EQ(xml.Texts("//transitionitem/effect/effectid"),
            (std::vector<std::string>{"Cross Dissolve", "Edge Wipe"}));
  EXPECT_EQ(xml.First("//clipitem[name='c.avi']/filter/effect[effectid='timeremap']"
                      "/parameter[parameterid='speed']/value"),
            "50");
  EXPECT_EQ(xml.First("//generatoritem/effect[effectid='Text']/parameter[parameterid='str']/value"),
            "Hello\nWorld");
  // m.wav's levels 100, 80 at frame 60, 100 from 120: linear gains keyed in its media's frames.
  EXPECT_EQ(xml.Texts("(//track)[6]/clipitem/filter/effect[effectid='audiolevels']"
                      "/parameter/keyframe/when"),
            (std::vector<std::string>{"0", "60", "120", "299"}));
  EXPECT_EQ(xml.Texts("(//track)[6]/clipitem/filter/effect/parameter/keyframe/value"),
            (std::vector<std::string>{"1", "0.8", "1", "1"}));
}

// Each media file is defined once, at its first use, and referred to by its id after; every
// pathurl leads back to its media's path.
TEST(Fcp7Writer, FilesDefinedOnceWithUrlsOfTheirPaths) {
  ExportCounts counts;
  const test::XmlRead xml(test::Exported("fcp7", test::SampleTimeline(), test::NtscSettings(),
                                         test::MediaUnderSlashMedia, counts));
  std::map<std::string, std::string> defined;  // id to path
  for (xmlNode* file : xml.Nodes("//file")) {
    const std::string id = xml.First("@id", file);
    const std::string url = xml.First("pathurl", file);
    if (url.empty()) {
      EXPECT_EQ(defined.count(id), 1u) << id << " used before it is defined";
      continue;
    }
    ASSERT_TRUE(url.starts_with("file://localhost/")) << url;
    EXPECT_TRUE(defined.emplace(id, Unescaped(url.substr(16))).second) << id << " defined twice";
  }
  std::set<std::string> paths;
  for (const auto& [id, path] : defined) paths.insert(path);
  EXPECT_EQ(paths,
            (std::set<std::string>{"/media/a.avi", "/media/b.avi", "/media/c.avi", "/media/s.ppm",
                                   "/media/i.avi", "/media/m.wav", "/media/logo.bmp"}));
  EXPECT_EQ(defined.size(), paths.size());
}

TEST(Fcp7Writer, RatesTimecodesAndFrameShape) {
  Timeline timeline = test::SampleTimeline();
  timeline.wideScreen = true;
  ExportCounts counts;
  const test::XmlRead pal(
      test::Exported("fcp7", timeline, test::PalSettings(), test::MediaUnderSlashMedia, counts));
  EXPECT_EQ(pal.First("/xmeml/sequence/rate/timebase"), "25");
  EXPECT_EQ(pal.First("/xmeml/sequence/rate/ntsc"), "FALSE");
  EXPECT_EQ(pal.First("/xmeml/sequence/timecode/displayformat"), "NDF");
  EXPECT_EQ(pal.First("//video/format/samplecharacteristics/height"), "576");
  EXPECT_EQ(pal.First("//video/format/samplecharacteristics/anamorphic"), "TRUE");
  const test::XmlRead nonDrop(test::Exported("fcp7", test::SampleTimeline(),
                                             test::NtscSettings(false), test::MediaUnderSlashMedia,
                                             counts));
  EXPECT_EQ(nonDrop.First("/xmeml/sequence/timecode/string"), "00:00:00:00");
  EXPECT_EQ(nonDrop.First("/xmeml/sequence/timecode/displayformat"), "NDF");
  EXPECT_EQ(nonDrop.First("//video/format/samplecharacteristics/anamorphic"), "FALSE");
}

// A file's URL names the file found, from its UTF-8 name; its name the decoded stored name.
TEST(Fcp7Writer, PathUrlNamesTheFileFound) {
  Timeline timeline;
  timeline.main.push_back(test::Movie("\x93\xfa\x96\x7b.avi", 0, 30, 0, 30, true));  // 日本
  ExportSettings settings = test::NtscSettings();
  settings.decode = [](std::string_view stored) {
    return stored == "\x93\xfa\x96\x7b.avi" ? std::string("日本.avi") : std::string(stored);
  };
  ExportCounts counts;
  const test::XmlRead xml(test::Exported(
      "fcp7", timeline, settings, [](std::string_view) { return std::string("/v/日本.avi"); },
      counts));
  EXPECT_EQ(xml.First("//file/pathurl"), "file://localhost/v/%E6%97%A5%E6%9C%AC.avi");
  EXPECT_EQ(Unescaped(xml.First("//file/pathurl")), "file://localhost/v/日本.avi");
  EXPECT_EQ(xml.First("//file/name"), "日本.avi");
}

}  // namespace
}  // namespace pexol
