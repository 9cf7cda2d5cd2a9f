// tests/export/FcpxmlWriterTest.cpp - FCPXML read back by its timing attributes, and checked
// against Apple's DTD
#include <gtest/gtest.h>

#include "ExportTimelines.h"
#include "FcpxmlRead.h"
#include "XmlRead.h"

namespace pexol {
namespace {

// Every document written here is checked against the DTD too, where it is.
std::string Fcpxml(const Timeline& timeline, const ExportSettings& settings,
                   ExportCounts* counts = nullptr) {
  ExportCounts ignored;
  std::string document = test::Exported("fcpxml", timeline, settings, test::MediaUnderSlashMedia,
                                        counts ? *counts : ignored);
  test::ExpectValidFcpxml(document, settings.projectName);
  return document;
}

// A gradient and a silent start, beside the sample's kinds.
Timeline GradientAndSilence() {
  Timeline timeline = test::SampleTimeline();
  TimelineItem& red = timeline.main[3];
  red.fill.colours = {0xFF0000, 0x0000FF};
  red.fill.direction = 2;
  timeline.exAudio[1][0].levels.in = 0;
  return timeline;
}

// Final Cut Pro refuses a document that does not match its DTD, so every kind of clip, both
// rates, both frame shapes and names in Japanese go through it.
TEST(FcpxmlWriter, DocumentsMatchApplesDtd) {
  const std::string dtd = test::FcpxmlDtdPath();
  if (dtd.empty()) GTEST_SKIP() << "no ../shared beside the sources";
  Timeline wide = GradientAndSilence();
  wide.wideScreen = true;
  wide.main[0].name = "日本 & <1>.avi";
  ExportSettings named = test::PalSettings();
  named.projectName = "日本 & <demo>";
  for (const auto& [what, document] :
       {std::pair{"NTSC drop", Fcpxml(test::SampleTimeline(), test::NtscSettings())},
        {"NTSC non-drop", Fcpxml(test::SampleTimeline(), test::NtscSettings(false))},
        {"PAL 16:9", Fcpxml(wide, named)},
        {"empty", Fcpxml(Timeline{}, test::NtscSettings())},
        {"large", Fcpxml(test::LargeTimeline(), test::NtscSettings())}})
    EXPECT_EQ(test::FcpxmlDtdErrors(document, dtd), "") << what;
  EXPECT_NE(test::FcpxmlDtdErrors("<fcpxml version=\"1.10\"><spine/></fcpxml>", dtd), "");
}

TEST(FcpxmlWriter, SampleAtTheTimelinesFrames) {
  ExportCounts counts;
  const std::string document = Fcpxml(test::SampleTimeline(), test::NtscSettings(), &counts);
  const test::FcpxmlTimeline read = test::ReadFcpxml(document);
  using Clips = std::vector<test::FcpxmlClip>;
  // Each clip shows its first media frame at its cut; the slow clip's time map starts c.avi
  // at its frame 0. Stills and generators are videos in clips, as Final Cut Pro writes them.
  EXPECT_EQ(read.tracks.at("V1"), (Clips{{"asset-clip", "a.avi", 0, 105, 100},
                                         {"asset-clip", "b.avi", 105, 185, 10},
                                         {"asset-clip", "c.avi", 185, 245, 0},
                                         {"clip", "Colour #FF0000", 245, 305, 0},
                                         {"clip", "s.ppm", 305, 335, 0}}));
  EXPECT_EQ(read.transitions,
            (std::vector<test::FcpxmlTransition>{{"Dissolve", 105, 15}, {"Wipe", 305, 10}}));
  EXPECT_EQ(read.tracks.at("V2"),
            (Clips{{"asset-clip", "i.avi", 200, 230, 10}, {"asset-clip", "i.avi", 250, 260, 50}}));
  EXPECT_EQ(read.tracks.at("Title images"), (Clips{{"clip", "logo.bmp", 50, 200, 0}}));
  EXPECT_EQ(read.tracks.at("Titles"), (Clips{{"title", "Hello", 50, 200, 0}}));
  EXPECT_EQ(read.tracks.at("A2"), (Clips{{"asset-clip", "m.wav", 0, 300, 0}}));
  EXPECT_EQ(read.tracks.at("A3"), (Clips{{"asset-clip", "m.wav", 100, 130, 30}}));
  EXPECT_EQ(counts.tracks, 6);
  EXPECT_EQ(counts.clips, 10);
  EXPECT_EQ(counts.transitions, 2);

  const test::XmlRead xml(document);
  EXPECT_EQ(xml.First("/fcpxml/@version"), "1.10");
  EXPECT_EQ(xml.First("//project/@name"), "demo");
  EXPECT_EQ(xml.First("//sequence/@duration"), "335335/30000s");
  EXPECT_EQ(xml.First("//sequence/@tcFormat"), "DF");
  EXPECT_EQ(xml.First("//spine/asset-clip[1]/@duration"), "112112/30000s");  // to the edit
  // The dissolve crossfades a.avi's sound; b.avi has none, so neither does the wipe.
  EXPECT_EQ(xml.Texts("//transition/filter-video/@name"),
            (std::vector<std::string>{"Cross Dissolve", "Wipe"}));
  EXPECT_EQ(xml.Nodes("//transition/filter-audio").size(), 0u);
  EXPECT_EQ(xml.First("//effect[@name='Cross Dissolve']/@uid"),
            "FxPlug:4731E73A-8DAC-4113-9A30-AE85B1761265");
  // The slow clip: own time at twice its media's, and no sound.
  EXPECT_EQ(xml.Texts("//asset-clip[@name='c.avi']/timeMap/timept/@value"),
            (std::vector<std::string>{"0s", "30030/30000s"}));
  EXPECT_EQ(xml.Texts("//asset-clip[@name='c.avi']/timeMap/timept/@time"),
            (std::vector<std::string>{"0s", "60060/30000s"}));
  EXPECT_EQ(xml.First("//asset[@name='c.avi']/@hasAudio"), "");
  // i.avi's second clip has no sound of its own: its asset's is switched off.
  EXPECT_EQ(xml.Texts("//asset-clip[@name='i.avi']/@srcEnable"),
            (std::vector<std::string>{"video"}));
  EXPECT_EQ(xml.First("//video[@name='Colour #FF0000']/param[@name='Color']/@value"), "1 0 0 1");
}

// Levels as volume keyframes in dB (20 log10 of level / 100, silence -96 dB) in the clip's own
// time; a gradient's colours in its note.
TEST(FcpxmlWriter, LevelsInDecibelsAndGradientColours) {
  std::vector<std::string> notes;
  ExportSettings settings = test::NtscSettings();
  settings.warn = [&notes](std::string note) { notes.push_back(std::move(note)); };
  const test::XmlRead xml(Fcpxml(GradientAndSilence(), settings));
  const std::string a2 = "//asset-clip[@lane='-1']/adjust-volume/param/keyframeAnimation/";
  EXPECT_EQ(xml.First(a2 + "keyframe[1]/@time"), "0s");
  EXPECT_EQ(xml.First(a2 + "keyframe[1]/@value"), "0dB");
  EXPECT_EQ(xml.First(a2 + "keyframe[@time='60060/30000s']/@value"), "-1.94dB");
  // m.wav from frame 30 on A3: its own time starts at the media's frame 30.
  EXPECT_EQ(xml.First("//asset-clip[@lane='-2']/adjust-volume//keyframe[1]/@time"), "30030/30000s");
  EXPECT_EQ(xml.First("//asset-clip[@lane='-2']/adjust-volume//keyframe[1]/@value"), "-96dB");
  EXPECT_EQ(xml.First("//effect[@id=//video[note]/@ref]/@name"), "Gradient");
  EXPECT_EQ(xml.First("//video/note"), "Gradient #FF0000 #0000FF, right");
  ASSERT_FALSE(notes.empty());
  EXPECT_NE(notes.back().find("Gradient generator"), std::string::npos);
}

// A title's caption in the style its text-style-def gives: the first text's font and size.
TEST(FcpxmlWriter, TitlesInTheirFontAndSize) {
  const test::XmlRead xml(Fcpxml(test::SampleTimeline(), test::PalSettings()));
  EXPECT_EQ(xml.First("//title/text/text-style"), "Hello\nWorld");
  const std::string ref = xml.First("//title/text/text-style/@ref");
  EXPECT_EQ(xml.First("//title/text-style-def/@id"), ref);
  EXPECT_EQ(xml.First("//title/text-style-def/text-style/@font"), "Arial");
  EXPECT_EQ(xml.First("//title/text-style-def/text-style/@fontSize"), "40");
  EXPECT_EQ(xml.First("//effect[@id=//title/@ref]/@uid"),
            ".../Titles.localized/Bumper:Opener.localized/Basic Title.localized/Basic Title.moti");
  EXPECT_EQ(xml.First("//format/@frameDuration"), "100/2500s");
  EXPECT_EQ(xml.First("//format/@height"), "576");
  EXPECT_EQ(xml.First("//sequence/@tcFormat"), "NDF");
}

// One asset per file, in the order the document uses them, its URL percent-encoded from UTF-8, long
// enough for every use (a.avi's run-on under the dissolve included); sounds have no picture.
TEST(FcpxmlWriter, AssetsOncePerFileWithUrlsAndLengths) {
  Timeline timeline = test::SampleTimeline();
  timeline.main[1].name = "日本 語.avi";
  const test::XmlRead xml(Fcpxml(timeline, test::NtscSettings()));
  EXPECT_EQ(xml.Texts("//asset/@name"),
            (std::vector<std::string>{"a.avi", "logo.bmp", "m.wav", "日本 語.avi", "c.avi", "i.avi",
                                      "s.ppm"}));
  EXPECT_EQ(xml.First("//asset[@name='日本 語.avi']/media-rep/@src"),
            "file:///media/%E6%97%A5%E6%9C%AC%20%E8%AA%9E.avi");
  EXPECT_EQ(xml.First("//asset[@name='a.avi']/@duration"), "220220/30000s");
  EXPECT_EQ(xml.First("//asset[@name='m.wav']/@duration"), "300300/30000s");
  EXPECT_EQ(xml.First("//asset[@name='m.wav']/@hasVideo"), "");
  EXPECT_EQ(xml.First("//asset[@name='s.ppm']/@duration"), "0s");
}

}  // namespace
}  // namespace pexol
